#include "PersonalData.h"

#include "cards/Hands.h"
#include "session/Cp1250.h"

namespace {

struct Limit
{
    const char *name;
    int least;
    int most;
};

const Limit kLimits[PersonalData::FieldCount] = {
    {"Teljes név", 5, 63}, {"Email-cím", 5, 64}, {"Becenév", 2, 8},   {"Városnév", 2, 32},
    {"Utcanév", 4, 64},    {"Telefonok", 0, 32}, {"Mobil", 0, 16},    {"Megjegyzés", 0, 64},
};

} // namespace

PersonalData PersonalData::Parse(QString payload)
{
    PersonalData data;
    for (QString &field : data.fields)
        field = NextField(payload, QLatin1Char(';'));
    return data;
}

QString PersonalData::Fields() const
{
    QString text;
    for (const QString &field : fields)
        text += SafeField(field);
    return text;
}

QString PersonalData::Line(bool isPublic) const
{
    return (isPublic ? QStringLiteral("D1 ") : QStringLiteral("D0 ")) + Fields();
}

void CheckPersonalData(const PersonalData &data)
{
    for (int i = 0; i < PersonalData::FieldCount; ++i) {
        // Lengths count the bytes the club receives: one per character.
        const int length = int(Cp1250::encode(data.fields[i]).size());
        const QString name = QString::fromUtf8(kLimits[i].name);
        if (length < kLimits[i].least)
            Fail(name + QStringLiteral(" rövid"));
        if (length > kLimits[i].most)
            Fail(name + QStringLiteral(" hosszú"));
    }
    const QString &nick = data.fields[PersonalData::Nick];
    if (!nick.isEmpty() && nick.at(0).toUpper() != nick.at(0))
        Fail(QStringLiteral("Becenév nem nagybetűvel kezdődik"));
    if (nick.contains(QLatin1Char(' ')))
        Fail(QStringLiteral("Becenévben nem lehet szóköz"));
    if (nick.contains(QLatin1Char('"')) || nick.contains(QLatin1Char('\'')))
        Fail(QStringLiteral("Becenévben nem lehet idézőjel"));
    const QString &mail = data.fields[PersonalData::Email];
    if (!mail.contains(QLatin1Char('@')) || !mail.contains(QLatin1Char('.')))
        Fail(QStringLiteral("Hibás e-mail-cím"));
}
