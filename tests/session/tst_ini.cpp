// The settings file: Windows-1250 with CR LF, found whatever the case, unknown lines kept;
// a file that cannot be read whole is never replaced; and the login page's own boxes.

#include "TestClient.h"

#include "session/IniFile.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

class TstIni : public QObject
{
    Q_OBJECT
private slots:
    void missingFileReadsDefaults();
    void windowsFileRoundTrip();
    void unknownLinesKept();
    void unchangedFileKeepsItsBytes();
    void writesKeepSectionsApart();
    void integers_data();
    void integers();
    void unwritablePlace();
    void fileNotReadWholeIsKept_data();
    void fileNotReadWholeIsKept();
    void unreadableFileIsKept();
    void failedSaveAtLoginKeepsSessionState();
    void passwordBoxesShowStars();

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

// Saving writes only what changed: a file edited elsewhere (LF line ends, here) stays as it
// was while the values written are the ones it holds.
void TstIni::unchangedFileKeepsItsBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.ini"));
    const QByteArray original = "[Connect]\nPort=5053\n";
    writeAll(path, original);
    IniFile ini(path);
    QVERIFY(ini.load());
    ini.writeInteger(QStringLiteral("Connect"), QStringLiteral("Port"), 5053);
    QVERIFY(ini.save());
    QCOMPARE(readAll(path), original);

    ini.writeInteger(QStringLiteral("Connect"), QStringLiteral("Port"), 5054);
    QVERIFY(ini.save());
    QCOMPARE(readAll(path), QByteArray("[Connect]\r\nPort=5054\r\n"));
}

// Writes that add lines move every section below them: reads and writes after them must still
// find each section where it now is.
void TstIni::writesKeepSectionsApart()
{
    IniFile ini;
    ini.setLines({QStringLiteral("[A]"), QStringLiteral("a=1"), QString(), QStringLiteral("[B]"), QStringLiteral("b=1"),
                  QStringLiteral("[C]"), QStringLiteral("c=1")});
    // Sections once found, or found missing, are remembered: the lines written after must
    // move or make them.
    QCOMPARE(ini.readString(QStringLiteral("c"), QStringLiteral("c"), QString()), QStringLiteral("1"));
    QCOMPARE(ini.readString(QStringLiteral("D"), QStringLiteral("d"), QStringLiteral("-")), QStringLiteral("-"));
    ini.writeInteger(QStringLiteral("A"), QStringLiteral("x"), 2);
    ini.writeInteger(QStringLiteral("A"), QStringLiteral("y"), 3);
    ini.writeInteger(QStringLiteral("B"), QStringLiteral("z"), 4);
    QCOMPARE(ini.readString(QStringLiteral("c"), QStringLiteral("c"), QString()), QStringLiteral("1"));
    ini.writeInteger(QStringLiteral("D"), QStringLiteral("d"), 5);
    QCOMPARE(ini.readInteger(QStringLiteral("D"), QStringLiteral("d"), 0), 5);
    ini.writeInteger(QStringLiteral("C"), QStringLiteral("w"), 6);
    ini.writeInteger(QStringLiteral("D"), QStringLiteral("e"), 7);
    ini.writeInteger(QStringLiteral("B"), QStringLiteral("b"), 8);
    // A key that reads as a header starts a section of its own.
    ini.writeString(QStringLiteral("D"), QStringLiteral("[E]"), QStringLiteral("1"));
    ini.writeInteger(QStringLiteral("E"), QStringLiteral("f"), 9);
    ini.writeInteger(QStringLiteral("D"), QStringLiteral("g"), 10);
    QCOMPARE(ini.lines(),
             QStringList({QStringLiteral("[A]"), QStringLiteral("a=1"), QStringLiteral("x=2"), QStringLiteral("y=3"),
                          QString(), QStringLiteral("[B]"), QStringLiteral("b=8"), QStringLiteral("z=4"),
                          QStringLiteral("[C]"), QStringLiteral("c=1"), QStringLiteral("w=6"), QString(),
                          QStringLiteral("[D]"), QStringLiteral("d=5"), QStringLiteral("e=7"), QStringLiteral("g=10"),
                          QStringLiteral("[E]=1"), QStringLiteral("f=9")}));
    QCOMPARE(ini.readInteger(QStringLiteral("e"), QStringLiteral("f"), 0), 9);
    QCOMPARE(ini.readInteger(QStringLiteral("a"), QStringLiteral("y"), 0), 3);
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

void TstIni::fileNotReadWholeIsKept_data()
{
    QTest::addColumn<bool>("atLogin"); // SaveConnect at login, or SaveView by "&Megőriz"
    QTest::newRow("settings page") << false;
    QTest::newRow("login") << true;
}

// A file larger than what is read would come back as its first part and the keys just
// written: everything after the cut would be lost.
void TstIni::fileNotReadWholeIsKept()
{
    QFETCH(bool, atLogin);
    TestClient c;
    const QString path = c.ctx.connect->IniPath();
    const QByteArray original = "[View]\r\nCard=1\r\n; " + QByteArray(1 << 20, 'x')
                                + "\r\n[Connect]\r\nUser=Anna\r\n[Arrange]\r\nFT=7\r\n";
    writeAll(path, original);
    QVERIFY(!IniFile(path).load());

    if (atLogin) {
        c.ctx.guard([&] { c.ctx.connect->SaveConnect(); });
    } else {
        c.pageAnswer = [](TConnect &) { return TConnect::SaveResult; };
        c.ctx.guard([&] { c.ctx.connect->ShowSetup(); });
    }
    QCOMPARE(c.dialogs->errors(), QStringList{QStringLiteral("A beállítások nem írhatók ki ide: ") + path});
    QCOMPARE(readAll(path), original);
}

void TstIni::unreadableFileIsKept()
{
    TestClient c;
    const QString path = c.ctx.connect->IniPath();
    const QByteArray original = "[Connect]\r\nUser=Anna\r\n";
    writeAll(path, original);
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    if (QFile file(path); file.open(QIODevice::ReadOnly))
        QSKIP("this user reads files whatever their permissions say");
    QVERIFY(!IniFile(path).load());
    c.pageAnswer = [](TConnect &) { return TConnect::SaveResult; };
    c.ctx.guard([&] { c.ctx.connect->ShowSetup(); });
    QCOMPARE(c.dialogs->errors(), QStringList{QStringLiteral("A beállítások nem írhatók ki ide: ") + path});
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(readAll(path), original);
}

// A login from the lobby whose settings cannot be written: the error is shown, and the
// menus still go back to "not logged in" until the club's lobby snapshot comes.
void TstIni::failedSaveAtLoginKeepsSessionState()
{
    FakeClub club;
    TestClient c;
    c.ctx.connect->setIniPath(QStringLiteral("/proc/no-such-dir/VimoTarokk.INI"));
    c.frame()->SetPlaceMenus(true);
    c.pageAnswer = [&](TConnect &d) {
        d.fdServer->setCurrentText(QStringLiteral("127.0.0.1"));
        d.fdPort->setText(QString::number(club.port()));
        d.fdUser->setCurrentText(QStringLiteral("Anna"));
        d.fdSave->setChecked(true);
        return int(QDialog::Accepted);
    };
    c.frame()->menuItem("mnConnect")->trigger();
    QVERIFY(club.waitForLines(1));
    QCOMPARE(club.received.first(), QStringLiteral("LAnna 0"));
    QTRY_COMPARE(c.dialogs->errors(),
                 QStringList{QStringLiteral("A beállítások nem írhatók ki ide: /proc/no-such-dir/VimoTarokk.INI")});
    for (const char *name : {"mnMsgs", "mnRoom", "mnView", "mnPlay", "mnPassw"})
        QVERIFY2(!c.frame()->menuItem(name)->isEnabled(), name);
    QVERIFY(!c.frame()->fdRooms->isEnabled());
}

void TstIni::passwordBoxesShowStars()
{
    TestClient c;
    TConnect *d = c.ctx.connect;
    for (QLineEdit *box : {d->fdPw, d->fdPw0, d->fdPw1, d->fdPw2}) {
        box->setText(QStringLiteral("titok"));
        QCOMPARE(box->displayText(), QStringLiteral("*****"));
    }
}

QTEST_MAIN(TstIni)
#include "tst_ini.moc"
