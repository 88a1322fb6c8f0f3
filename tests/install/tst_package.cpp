// The Debian package made from this build with CPack, unpacked into a scratch root with
// dpkg -x: the menu entry and the AppStream file pass their validators, point at files the
// package holds, the icon is there at every size, the club's manual page covers its options,
// and the installed client keeps its settings in the user's folder.

#include "app/PracticeClub.h"
#include "session/VmConnect.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

Run run(const QString &program, const QStringList &args, int timeoutMs = 60000,
        const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    Run r;
    if (!p.waitForStarted()) {
        r.err = program + QStringLiteral(": ") + p.errorString();
        return r;
    }
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = program + QStringLiteral(": took longer than %1 ms").arg(timeoutMs);
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err += QString::fromUtf8(p.readAllStandardError());
    return r;
}

// The keys of the [Desktop Entry] group, unlocalised ones only.
QMap<QString, QString> desktopKeys(const QString &path)
{
    QMap<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    bool inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'['))
            inGroup = line == QLatin1String("[Desktop Entry]");
        else if (inGroup && line.contains(u'=') && !line.startsWith(u'#'))
            keys.insert(line.section(u'=', 0, 0).trimmed(), line.section(u'=', 1).trimmed());
    }
    return keys;
}

// The settings path that a copy of this program works out from where it lies.
int printIniPath()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Vimo"));
    QCoreApplication::setApplicationName(QStringLiteral("vimo-tarokk"));
    QTextStream(stdout) << TConnect::DefaultIniPath() << Qt::endl;
    return 0;
}

} // namespace

class TestPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_scratch.isValid());
        const QString out = m_scratch.filePath(QStringLiteral("out"));
        // The package of the tree already built: cpack installs it and packs, nothing is compiled.
        const Run cpack = run(QStringLiteral(VIMO_CPACK), {QStringLiteral("--config"),
                                                            QStringLiteral(VIMO_BUILD_DIR "/CPackConfig.cmake"),
                                                            QStringLiteral("-G"), QStringLiteral("DEB"),
                                                            QStringLiteral("-B"), out},
                              300000);
        QVERIFY2(cpack.code == 0, qPrintable(cpack.out + cpack.err));
        const QStringList debs = QDir(out).entryList({QStringLiteral("*.deb")}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        m_deb = QDir(out).filePath(debs.first());
        const Run extract = run(QStringLiteral("dpkg"), {QStringLiteral("-x"), m_deb, root()});
        QVERIFY2(extract.code == 0, qPrintable(extract.err));
    }

    void packageName()
    {
        const Run arch = run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")});
        QCOMPARE(arch.code, 0);
        // The name `apt install ./vimo-tarokk_*.deb` finds.
        QCOMPARE(QFileInfo(m_deb).fileName(),
                 QStringLiteral("vimo-tarokk_" VIMO_VERSION "_%1.deb").arg(arch.out.trimmed()));
        const Run name = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_deb, QStringLiteral("Package")});
        QCOMPARE(name.out.trimmed(), QStringLiteral("vimo-tarokk"));
    }

    void dependsOn_data()
    {
        QTest::addColumn<QString>("package");
        // What the programs link, found by dpkg-shlibdeps...
        for (const char *p : {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6network6",
                              "libqt6multimedia6", "libqt6sql6"})
            QTest::newRow(p) << QString::fromLatin1(p);
        // ...and what Qt loads or draws with, which no linker sees.
        QTest::newRow("SQLite driver") << QStringLiteral("libqt6sql6-sqlite");
        QTest::newRow("card fonts") << QStringLiteral("fonts-dejavu-core");
    }

    void dependsOn()
    {
        QFETCH(QString, package);
        const Run depends = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_deb, QStringLiteral("Depends")});
        QCOMPARE(depends.code, 0);
        QStringList names;
        for (const QString &item : depends.out.split(QRegularExpression(QStringLiteral("[,|]"))))
            names << item.trimmed().section(u' ', 0, 0).section(u':', 0, 0);
        QVERIFY2(names.contains(package), qPrintable(depends.out));
    }

    void desktopEntryValidates()
    {
        const Run check = run(QStringLiteral("desktop-file-validate"), {desktopEntry()});
        QVERIFY2(check.code == 0 && check.out.isEmpty(), qPrintable(check.out + check.err));
        const QMap<QString, QString> keys = desktopKeys(desktopEntry());
        QCOMPARE(keys.value(QStringLiteral("Categories")), QStringLiteral("Game;CardGame;"));
        QCOMPARE(keys.value(QStringLiteral("Terminal")), QStringLiteral("false"));
    }

    void metainfoValidates()
    {
        const QString metainfo = root() + QStringLiteral("/usr/share/metainfo/hu.vimo.tarokk.metainfo.xml");
        const Run check = run(QStringLiteral("appstreamcli"), {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                                               QStringLiteral("--explain"), metainfo});
        QVERIFY2(check.code == 0, qPrintable(check.out + check.err));
        // Software centres find the menu entry and the programs by these names.
        QFile file(metainfo);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        const QRegularExpression launchable(QStringLiteral(R"(<launchable type="desktop-id">([^<]+)</launchable>)"));
        QCOMPARE(launchable.match(text).captured(1), QFileInfo(desktopEntry()).fileName());
        const QRegularExpression binary(QStringLiteral(R"(<binary>([^<]+)</binary>)"));
        int binaries = 0;
        for (auto it = binary.globalMatch(text); it.hasNext(); ++binaries) {
            const QString name = it.next().captured(1);
            QVERIFY2(QFileInfo(root() + QStringLiteral("/usr/bin/") + name).isExecutable(), qPrintable(name));
        }
        QCOMPARE(binaries, 2);
    }

    void desktopEntryPointsAtFiles()
    {
        const QMap<QString, QString> keys = desktopKeys(desktopEntry());
        // Exec and TryExec name programs on the PATH: /usr/bin once installed.
        for (const QString &key : {QStringLiteral("Exec"), QStringLiteral("TryExec")}) {
            const QString program = keys.value(key).section(u' ', 0, 0);
            QVERIFY2(!program.isEmpty() && !program.contains(u'/'), qPrintable(key));
            QVERIFY2(QFileInfo(root() + QStringLiteral("/usr/bin/") + program).isExecutable(), qPrintable(program));
        }
        m_icon = keys.value(QStringLiteral("Icon"));
        QVERIFY(!m_icon.isEmpty() && !m_icon.contains(u'/'));
        // The installed client finds its practice club where the package put it.
        QCOMPARE(PracticeClub::ProgramBeside(root() + QStringLiteral("/usr/bin")),
                 root() + QStringLiteral("/usr/bin/vimo-club"));
    }

    void icon_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {48, 128, 256})
            QTest::addRow("%dx%d", size, size) << size;
    }

    void icon()
    {
        QFETCH(int, size);
        const QString name = m_icon.isEmpty() ? QStringLiteral("hu.vimo.tarokk") : m_icon;
        const QString path = root() + QStringLiteral("/usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(name);
        QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        // The theme takes the folder's word for the size.
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        // The felt at the middle of the lower edge, the cards' white faces in the middle.
        QCOMPARE(qAlpha(image.pixel(size / 2, size * 9 / 10)), 255);
        int light = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                light += qGray(image.pixel(x, y)) > 200 && qAlpha(image.pixel(x, y)) == 255;
        QVERIFY2(light > size * size / 8, qPrintable(QString::number(light)));
    }

    void clubRunsAndManPageCoversItsOptions()
    {
        const QString club = root() + QStringLiteral("/usr/bin/vimo-club");
        const Run version = run(club, {QStringLiteral("--version")});
        QVERIFY2(version.code == 0, qPrintable(version.err));
        QCOMPARE(version.out.trimmed(), QStringLiteral("vimo-club " VIMO_VERSION));

        const Run man = run(QStringLiteral("gzip"), {QStringLiteral("-dc"),
                                                     root() + QStringLiteral("/usr/share/man/man6/vimo-club.6.gz")});
        QVERIFY2(man.code == 0, qPrintable(man.err));
        const QString page = QString(man.out).replace(QStringLiteral("\\-"), QStringLiteral("-"));
        QVERIFY(page.contains(QStringLiteral(".TH VIMO-CLUB 6")));

        const Run help = run(club, {QStringLiteral("--help")});
        QCOMPARE(help.code, 0);
        const QRegularExpression option(QStringLiteral(R"(^\s+(?:-\w, )?(--[\w-]+))"),
                                        QRegularExpression::MultilineOption);
        int options = 0;
        for (auto it = option.globalMatch(help.out); it.hasNext(); ++options) {
            const QString name = it.next().captured(1);
            QVERIFY2(page.contains(name), qPrintable(name + QStringLiteral(" is not in the manual page")));
        }
        QVERIFY(options >= 5);
    }

    void settingsFile_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("beside");
        // The package's /usr/bin is writable here (as root it would be anywhere): the menu entry
        // beside it still makes the settings the user's.
        QTest::newRow("installed") << QStringLiteral("root/usr/bin") << false;
        QTest::newRow("a folder of its own") << QStringLiteral("portable") << true;
    }

    void settingsFile()
    {
        QFETCH(QString, folder);
        QFETCH(bool, beside);
        const QString dir = m_scratch.filePath(folder);
        QVERIFY(QDir().mkpath(dir));
        const QString program = QDir(dir).filePath(QStringLiteral("settings-place"));
        QFile::remove(program);
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString config = m_scratch.filePath(QStringLiteral("config"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        const Run place = run(program, {QStringLiteral("--print-ini-path")}, 60000, env);
        QVERIFY2(place.code == 0, qPrintable(place.err));
        const QString expected = beside ? QDir(dir).filePath(QStringLiteral("VimoTarokk.INI"))
                                        : config + QStringLiteral("/Vimo/vimo-tarokk/VimoTarokk.INI");
        QCOMPARE(QFileInfo(place.out.trimmed()).absoluteFilePath(), QFileInfo(expected).absoluteFilePath());
    }

private:
    QString root() const { return m_scratch.filePath(QStringLiteral("root")); }
    QString desktopEntry() const { return root() + QStringLiteral("/usr/share/applications/hu.vimo.tarokk.desktop"); }

    QTemporaryDir m_scratch;
    QString m_deb;
    QString m_icon;
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (QCoreApplication::arguments().value(1) == QLatin1String("--print-ini-path"))
        return printIniPath();
    TestPackage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_package.moc"
