// Program entry: the application title, the main window, the message loop.
#include "mainwin/fmain.h"
#include "platform/freedmemory.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    bp::KeepFreedMemory();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarviksoft"));
    QApplication::setApplicationName(QStringLiteral("Brewpad"));
    QApplication::setApplicationVersion(QStringLiteral("2.09"));

    QStringList args = QApplication::arguments();
    args.removeFirst();
    bp::TfrmMain frmMain(args);
    frmMain.show();
    return QApplication::exec();
}
