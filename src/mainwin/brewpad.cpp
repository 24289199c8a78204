// Program entry: the application title and icon, the main window, the message loop.
#include "mainwin/fmain.h"
#include "platform/freedmemory.h"

#include <QApplication>
#include <QDirIterator>
#include <QIcon>

int main(int argc, char* argv[])
{
    bp::KeepFreedMemory();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarviksoft"));
    QApplication::setApplicationName(QStringLiteral("Brewpad"));
    QApplication::setApplicationVersion(QStringLiteral("2.09"));
    // Every window shows the program's icon in each size built into it, and
    // desktops that match windows to their desktop entry find brewpad.desktop.
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/icons"), {QStringLiteral("brewpad.png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (sizes.hasNext())
        icon.addFile(sizes.next());
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("brewpad"));

    QStringList args = QApplication::arguments();
    args.removeFirst();
    bp::TfrmMain frmMain(args);
    frmMain.show();
    return QApplication::exec();
}
