#include "IniFile.h"

#include "Cp1250.h"
#include "cards/Hands.h"

#include <QFile>
#include <QSaveFile>
#include <QScopeGuard>

#include <algorithm>

namespace {

// Only blanks and tabs are trimmed: a no-break space belongs to the value. Views, since every
// lookup walks the file's lines and a copy of each would cost more than the whole lookup.
QStringView trimBlanks(QStringView text)
{
    qsizetype from = 0, to = text.size();
    while (from < to && (text[from] == QLatin1Char(' ') || text[from] == QLatin1Char('\t')))
        ++from;
    while (to > from && (text[to - 1] == QLatin1Char(' ') || text[to - 1] == QLatin1Char('\t')))
        --to;
    return text.sliced(from, to - from);
}

bool isHeader(QStringView line, QStringView *name = nullptr)
{
    const QStringView t = trimBlanks(line);
    if (t.size() < 2 || !t.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return false;
    if (name)
        *name = trimBlanks(t.sliced(1, close - 1));
    return true;
}

bool keyOf(QStringView line, QStringView *key, QStringView *value)
{
    const QStringView t = trimBlanks(line);
    if (t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#')))
        return false;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    *key = trimBlanks(t.first(eq));
    if (value)
        *value = trimBlanks(t.sliced(eq + 1));
    return true;
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

bool IniFile::load()
{
    m_lines.clear();
    m_headersKnown = false;
    m_sameAsDisk = false;
    QFile file(m_path);
    // Opened first and asked about after: most files exist, and one look at the disk is enough.
    if (!file.open(QIODevice::ReadOnly))
        return !QFile::exists(m_path);
    // Settings files are small; anything larger than this is not ours to parse. What was
    // read is still read, but the file was not read whole: saving it would lose the rest.
    // In pieces: a file of a few hundred bytes should not cost a buffer of the largest size.
    QByteArray bytes;
    char piece[16384];
    while (bytes.size() <= MaxBytes) {
        const qint64 got = file.read(piece, std::min<qint64>(sizeof piece, MaxBytes + 1 - bytes.size()));
        if (got <= 0)
            break;
        bytes.append(piece, got);
    }
    const bool whole = bytes.size() <= MaxBytes && file.error() == QFileDevice::NoError;
    bytes.truncate(MaxBytes);
    QString text = Cp1250::decode(bytes);
    // CR LF is the line end; a file edited elsewhere may use LF alone.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_lines = text.split(QLatin1Char('\n'));
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
    m_sameAsDisk = whole;
    return whole;
}

bool IniFile::save() const
{
    // Settings are saved whenever a page closes; a file nothing was written to keeps its
    // bytes, its time and the disk's work.
    if (m_sameAsDisk)
        return true;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray bytes;
    for (const QString &line : m_lines) {
        bytes += Cp1250::encode(line);
        bytes += "\r\n";
    }
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

const QList<int> &IniFile::headers() const
{
    if (!m_headersKnown) {
        m_headers.clear();
        m_sectionsFound.clear();
        for (int i = 0; i < m_lines.size(); ++i)
            if (isHeader(m_lines[i]))
                m_headers.append(i);
        m_headersKnown = true;
    }
    return m_headers;
}

int IniFile::findSection(const QString &section) const
{
    const QList<int> &all = headers();
    for (const auto &[asked, header] : std::as_const(m_sectionsFound))
        if (asked == section)
            return header;
    int found = -1;
    QStringView name;
    for (int i : all)
        if (isHeader(m_lines[i], &name) && name.compare(section, Qt::CaseInsensitive) == 0) {
            found = i;
            break;
        }
    m_sectionsFound.append({section, found});
    return found;
}

int IniFile::sectionEnd(int header) const
{
    const QList<int> &all = headers();
    const auto next = std::upper_bound(all.cbegin(), all.cend(), header);
    return next == all.cend() ? int(m_lines.size()) : *next;
}

int IniFile::findKey(int header, const QString &key) const
{
    const int end = sectionEnd(header);
    QStringView name;
    for (int i = header + 1; i < end; ++i)
        if (keyOf(m_lines[i], &name, nullptr) && name.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &fallback) const
{
    const int header = findSection(section);
    if (header < 0)
        return fallback;
    const int at = findKey(header, key);
    if (at < 0)
        return fallback;
    QStringView name, value;
    keyOf(m_lines[at], &name, &value);
    return value.toString();
}

int IniFile::parseInteger(const QString &text, int fallback)
{
    const QString t = trimBlanks(text).toString();
    if (t.size() > 2 && t[0] == QLatin1Char('0') && (t[1] == QLatin1Char('x') || t[1] == QLatin1Char('X'))) {
        bool ok = false;
        const uint value = t.mid(2).toUInt(&ok, 16);
        for (QChar c : t.mid(2))
            ok = ok && (c.isDigit() || QStringLiteral("abcdefABCDEF").contains(c)) && c.unicode() < 128;
        return ok ? int(value) : fallback;
    }
    return StrToIntDef(t, fallback);
}

int IniFile::readInteger(const QString &section, const QString &key, int fallback) const
{
    const QString text = readString(section, key, QString());
    return text.isEmpty() ? fallback : parseInteger(text, fallback);
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    const QString line = key + QLatin1Char('=') + value;
    // A key line that reads as a header too (a key of "[x]") makes a section of its own.
    const bool lineIsHeader = isHeader(line);
    const auto recount = qScopeGuard([&] {
        if (lineIsHeader)
            m_headersKnown = false;
    });
    int header = findSection(section);
    if (header < 0) {
        if (!m_lines.isEmpty() && !trimBlanks(m_lines.last()).isEmpty())
            m_lines << QString();
        if (m_headersKnown)
            m_headers.append(int(m_lines.size()));
        m_sectionsFound.clear();
        m_lines << QLatin1Char('[') + section + QLatin1Char(']') << line;
        m_sameAsDisk = false;
        return;
    }
    const int at = findKey(header, key);
    if (at >= 0) {
        if (m_lines[at] != line) {
            m_lines[at] = line;
            m_sameAsDisk = false;
        }
        return;
    }
    // After the section's last non-empty line, so a blank line before the next section stays.
    int insert = sectionEnd(header);
    while (insert > header + 1 && trimBlanks(m_lines[insert - 1]).isEmpty())
        --insert;
    m_lines.insert(insert, line);
    m_sameAsDisk = false;
    for (int &h : m_headers)
        if (h >= insert)
            ++h;
    for (auto &found : m_sectionsFound)
        if (found.second >= insert)
            ++found.second;
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}
