#pragma once
// What every client benchmark starts with: offscreen unless a platform is asked for, and
// whole-number options given as "--name value".

#include <QByteArray>
#include <QStringList>

namespace bench {

// Before the QApplication exists: a benchmark measures the client, not a display.
inline void DefaultToOffscreen()
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

inline int IntOption(const QStringList &args, const QString &name, int fallback)
{
    const qsizetype at = args.indexOf(name);
    if (at < 0 || at + 1 >= args.size())
        return fallback;
    bool ok = false;
    const int value = args[at + 1].toInt(&ok);
    return ok ? value : fallback;
}

} // namespace bench
