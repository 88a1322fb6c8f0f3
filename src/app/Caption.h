#pragma once
// Captions that carry a nickname or other club text.

#include <QString>

// Qt reads "[*]" in a caption as the "modified" mark and drops it; doubled, it shows as
// itself. A nickname must appear exactly as it is.
inline QString PlainCaption(QString text)
{
    return text.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}
