#pragma once
// The settings file as a Windows program would write it: Windows-1250 text with CR LF
// line ends, sections and keys found whatever their letter case. Lines the program does not
// know (other keys, other sections, comments) are kept as they stand when it writes.
// QSettings cannot do this: it reads UTF-8 only, sorts and rewrites the whole file, and
// gives backslashes, commas and semicolons meanings of its own.

#include <QString>
#include <QStringList>

class IniFile
{
public:
    explicit IniFile(QString path = QString());

    const QString &path() const { return m_path; }
    // The most of a file that is read.
    static constexpr qint64 MaxBytes = 1 << 20;

    // Reads the file; a missing file reads as empty. False when the file could not be read
    // whole: unreadable (reads as empty) or larger than MaxBytes (its first part is read).
    // Such a file must not be saved back, or the rest of it would be lost.
    bool load();
    // Writes the whole file atomically; false when it cannot be written. A file that was
    // read whole and has not changed since is left as it is on the disk.
    bool save() const;

    QString readString(const QString &section, const QString &key, const QString &fallback) const;
    // Decimal, or "0x" followed by hexadecimal digits; anything else gives the fallback.
    int readInteger(const QString &section, const QString &key, int fallback) const;
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);

    // The file's lines, decoded.
    const QStringList &lines() const { return m_lines; }
    void setLines(QStringList lines)
    {
        m_lines = std::move(lines);
        m_headersKnown = false;
        m_sectionsFound.clear();
        m_sameAsDisk = false;
    }

    static int parseInteger(const QString &text, int fallback);

private:
    int findSection(const QString &section) const;
    // Index of the key's line inside the section that starts at `header`, or -1.
    int findKey(int header, const QString &key) const;
    int sectionEnd(int header) const;
    // The indexes of the section header lines, found once after each change: every lookup
    // starts from them, and a settings page reads a few dozen keys from one file.
    const QList<int> &headers() const;

    QString m_path;
    QStringList m_lines;
    mutable QList<int> m_headers;
    mutable bool m_headersKnown = false;
    // Sections already looked up, by the name as asked: a page asks for the same two or
    // three sections dozens of times, and each search trims every header line. Cleared
    // whenever a header may have moved.
    mutable QList<std::pair<QString, int>> m_sectionsFound;
    // The lines are those of the file on the disk, read whole, and nothing has been written.
    bool m_sameAsDisk = false;
};
