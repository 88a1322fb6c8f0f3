#include "Context.h"
#include "Dialogs.h"
#include "PracticeClub.h"
#include "session/VmFrame.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vimo"));
    QApplication::setApplicationName(QStringLiteral("vimo-tarokk"));
    // No application display name: on X11 Qt would append it to every window caption.
    // The menu entry's name lets the desktop show its icon on the program's windows.
    QGuiApplication::setDesktopFileName(QStringLiteral("hu.vimo.tarokk"));

    // Qt's own Hungarian texts: "Igen", "Nem", "Mégse" on the standard buttons.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Hungarian), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // Before the windows, whose first showing logs in; it stops after them, once the
    // connection is closed.
    PracticeClub club;
    club.startBesideClient();

    Context ctx(std::make_unique<QtDialogs>([&ctx]() -> QWidget * { return ctx.frame; }));
    ctx.createWindows();
    ctx.frame->show();
    return QApplication::exec();
}
