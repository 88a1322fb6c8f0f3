#pragma once
// Windows-1250, byte for byte in both directions. The five bytes the code page leaves
// undefined (81, 83, 88, 90, 98) map to the C1 controls of the same value so that any
// byte a server sends comes back unchanged when the client echoes it.

#include <QByteArray>
#include <QString>

namespace Cp1250 {
QString decode(const QByteArray &bytes);
QString decode(const char *data, qsizetype size);
// Characters the code page cannot hold become "?" (one per character, not per UTF-16 unit).
QByteArray encode(const QString &text);
} // namespace Cp1250
