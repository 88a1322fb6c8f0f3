// The settings file as anyone may have edited it, through the real settings page: loaded
// into the controls and the window places, then saved back. Loading never fails, and saving
// keeps every line the program does not own: comments, other sections and odd lines stay.

#include "FuzzClient.h"

#include "session/Cp1250.h"
#include "session/IniFile.h"
#include "session/VmConnect.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

QString iniPath()
{
    // Memory-backed when the system has it: a fuzz run writes the file a few million times.
    static QTemporaryDir *dir = [] {
        auto *d = QFile::exists(QStringLiteral("/dev/shm")) ? new QTemporaryDir(QStringLiteral("/dev/shm/vimo-fuzz-XXXXXX"))
                                                            : new QTemporaryDir;
        return d;
    }();
    return dir->filePath(QStringLiteral("VimoTarokk.INI"));
}

bool ownedLine(const QString &line)
{
    // Key lines may be rewritten; every other line must come back as it was.
    const QString t = line.trimmed();
    return t.contains(QLatin1Char('=')) && !t.startsWith(QLatin1Char(';')) && !t.startsWith(QLatin1Char('#'));
}

// The file's lines as a Windows editor shows them: CR LF or LF ends a line.
QStringList linesOf(const uint8_t *data, size_t size)
{
    QString text = Cp1250::decode(reinterpret_cast<const char *>(data), qsizetype(size));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Sorted, so that two files' kept lines compare as multisets in one pass.
QStringList keptLines(const QStringList &lines)
{
    QStringList kept;
    for (const QString &line : lines)
        if (!ownedLine(line))
            kept << line;
    std::sort(kept.begin(), kept.end());
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzclient::Client &client = fuzzclient::client();
    Context &ctx = client.context(false);
    const QString path = iniPath();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    // What must come back is read here from the bytes, not by the code under test.
    const QStringList before = linesOf(data, size);
    const bool whole = qint64(size) <= IniFile::MaxBytes;

    ctx.connect->setIniPath(path);
    ctx.guard([&] { ctx.connect->LoadSettings(); });
    // Saved by one of the two pages that save, the one the input's length picks: both load,
    // write and save through the same file code, and the file work is most of an input's time.
    const bool loginPage = size % 2 == 0;
    const bool saved = ctx.guard([&] {
        if (loginPage)
            ctx.connect->SaveConnect();
        else
            ctx.connect->SaveView();
    });
    if (saved != whole)
        std::abort(); // a file read in part must never be written back

    if (saved) {
        IniFile after(path);
        if (!after.load())
            std::abort();
        const QStringList was = keptLines(before);
        const QStringList now = keptLines(after.lines());
        if (!std::includes(now.cbegin(), now.cend(), was.cbegin(), was.cend()))
            std::abort(); // a line the program does not own was lost
        // What was saved is what the page holds.
        if (loginPage && after.readInteger(QStringLiteral("Connect"), QStringLiteral("Port"), -1) != ctx.connect->Port())
            std::abort();
        if (!loginPage && after.readInteger(QStringLiteral("View"), QStringLiteral("Card"), -1) != ctx.connect->CardSize())
            std::abort();
    }
    // No window opened: what is left is the events the page posted.
    client.drain();
    return 0;
}
