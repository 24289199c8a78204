// Program entry: the application title, the main window, the message loop.
#include "dialogs/dgotoln.h"
#include "dialogs/dmultisave.h"
#include "mainwin/fmain.h"
#include "platform/largepages.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    bp::StartWithHugePages(argv);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarviksoft"));
    QApplication::setApplicationName(QStringLiteral("Brewpad"));
    QApplication::setApplicationVersion(QStringLiteral("2.09"));

    QStringList args = QApplication::arguments();
    args.removeFirst();
    bp::TfrmMain frmMain(args);
    // The multi-save and go-to-line dialogs exist from the start, hidden.
    bp::TdlgMultiSave dlgMultiSave(&frmMain);
    bp::TdlgGoToLine dlgGoToLine(&frmMain);
    frmMain.show();
    return QApplication::exec();
}
