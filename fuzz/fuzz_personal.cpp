// A member's personal record from any text, as a "D" reply or a registration line brings it:
// the member form's reader and checks, and the club's. A record read and written again reads
// the same, and whatever the club accepts the member's own form accepts too.

#include "cards/Hands.h"
#include "history/PersonalData.h"
#include "server/Wire.h"
#include "session/Cp1250.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString payload = Cp1250::decode(reinterpret_cast<const char *>(data), qsizetype(size));

    const PersonalData record = PersonalData::Parse(payload);
    for (const QString &field : record.fields)
        if (field.contains(QLatin1Char(';')))
            std::abort();
    // Written and read again, a record is the same record: no field spills into the next.
    if (PersonalData::Parse(record.Fields()).fields != record.fields)
        std::abort();
    const QString line = record.Line(true);
    if (!line.startsWith(QLatin1String("D1 ")) || line.count(QLatin1Char(';')) != PersonalData::FieldCount)
        std::abort();

    bool formAccepts = true;
    try {
        CheckPersonalData(record);
    } catch (const VimoError &e) {
        formAccepts = false;
        if (e.text().isEmpty())
            std::abort(); // the user is told why
    }

    const club::wire::PersonalData stored = club::wire::PersonalData::parse(payload, true);
    if (stored.fields.size() != club::wire::PersonalData::FieldCount)
        std::abort();
    if (club::wire::PersonalData::parse(stored.payload(), true).fields != stored.fields)
        std::abort();
    const QString clubFault = club::wire::CheckPersonalData(stored);
    if (clubFault.isEmpty() && !formAccepts)
        std::abort();
    if (clubFault.isEmpty()) {
        const QString nick = stored.nick();
        if (!club::wire::CheckNick(nick).isEmpty() || club::wire::IsReservedNick(nick))
            std::abort();
    }
    return 0;
}
