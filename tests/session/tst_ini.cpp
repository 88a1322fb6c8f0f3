// The settings file: Windows-1250 with CR LF, found whatever the case, unknown lines kept.

#include "session/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TstIni : public QObject
{
    Q_OBJECT
private slots:
    void missingFileReadsDefaults();
    void windowsFileRoundTrip();
    void unknownLinesKept();
    void integers_data();
    void integers();
    void unwritablePlace();

private:
    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    static void writeAll(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

void TstIni::missingFileReadsDefaults()
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath(QStringLiteral("none.ini")));
    QVERIFY(ini.load());
    QCOMPARE(ini.readString(QStringLiteral("Connect"), QStringLiteral("User"), QStringLiteral("x")), QStringLiteral("x"));
    QCOMPARE(ini.readInteger(QStringLiteral("Connect"), QStringLiteral("Port"), 5052), 5052);
}

void TstIni::windowsFileRoundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("VimoTarokk.INI"));
    // As a Windows program writes it: "Gödöllő Árpád" in Windows-1250, CR LF.
    const QByteArray original = "[connect]\r\nUSER=G\xF6" "d\xF6ll\xF5 \xC1rp\xE1" "d\r\nPort=5053\r\n";
    writeAll(path, original);
    IniFile ini(path);
    QVERIFY(ini.load());
    QCOMPARE(ini.readString(QStringLiteral("Connect"), QStringLiteral("User"), QString()),
             QStringLiteral("Gödöllő Árpád"));
    QCOMPARE(ini.readInteger(QStringLiteral("CONNECT"), QStringLiteral("port"), 0), 5053);
    QVERIFY(ini.save());
    QCOMPARE(readAll(path), original); // unchanged, byte for byte

    ini.writeString(QStringLiteral("Connect"), QStringLiteral("User"), QStringLiteral("Őrző Ütő"));
    QVERIFY(ini.save());
    QCOMPARE(readAll(path), QByteArray("[connect]\r\nUser=\xD5rz\xF5 \xDCt\xF5\r\nPort=5053\r\n"));
}

void TstIni::unknownLinesKept()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.ini"));
    writeAll(path, "; comment, with \\ backslash\r\n[Connect]\r\nOther=a;b,c\\d\r\n\r\n[Mine]\r\nKey=1\r\n");
    IniFile ini(path);
    QVERIFY(ini.load());
    ini.writeInteger(QStringLiteral("Connect"), QStringLiteral("Port"), 5052);
    ini.writeInteger(QStringLiteral("View"), QStringLiteral("Card"), 1);
    QVERIFY(ini.save());
    QCOMPARE(readAll(path),
             QByteArray("; comment, with \\ backslash\r\n[Connect]\r\nOther=a;b,c\\d\r\nPort=5052\r\n\r\n"
                        "[Mine]\r\nKey=1\r\n\r\n[View]\r\nCard=1\r\n"));
}

void TstIni::integers_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("decimal") << "42" << 42;
    QTest::newRow("negative") << "-3" << -3;
    QTest::newRow("hex") << "0x1F" << 31;
    QTest::newRow("hex upper X") << "0XfF" << 255;
    QTest::newRow("blanks around") << "  7 " << 7;
    QTest::newRow("garbage") << "abc" << 99;
    QTest::newRow("hex garbage") << "0xZZ" << 99;
    QTest::newRow("trailing letters") << "12px" << 99;
    QTest::newRow("too big") << "99999999999" << 99;
}

void TstIni::integers()
{
    QFETCH(QString, value);
    QFETCH(int, expected);
    IniFile ini;
    ini.setLines({QStringLiteral("[View]"), QStringLiteral("Card=") + value});
    QCOMPARE(ini.readInteger(QStringLiteral("View"), QStringLiteral("Card"), 99), expected);
}

void TstIni::unwritablePlace()
{
    IniFile ini(QStringLiteral("/proc/no-such-dir/VimoTarokk.INI"));
    QVERIFY(ini.load()); // missing reads as empty
    ini.writeInteger(QStringLiteral("View"), QStringLiteral("Card"), 1);
    QVERIFY(!ini.save());
}

QTEST_APPLESS_MAIN(TstIni)
#include "tst_ini.moc"
