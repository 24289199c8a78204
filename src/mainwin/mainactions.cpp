#include "mainwin/mainactions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolButton>

namespace bp {

namespace {

QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                 const QString& hint = QString(), const QKeySequence& shortcut = {})
{
    auto* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    // Every item shows its hint in the status line while highlighted; an
    // item without a hint empties the line.
    a->setStatusTip(hint);
    a->setIconVisibleInMenu(false);
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::ApplicationShortcut);
    }
    return a;
}

QMenu* addMenu(QMenuBar* bar, QMenu* parent, const char* name, const QString& caption,
               const QString& hint = QString())
{
    QMenu* m = parent ? parent->addMenu(caption) : bar->addMenu(caption);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setStatusTip(hint);
    return m;
}

} // namespace

TMainActions CreateMainMenu(QMainWindow& window)
{
    TMainActions a;
    QMenuBar* bar = window.menuBar();
    // The button that offers the menus a narrow window has no room for.
    if (auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button")))
        more->setAccessibleName(QStringLiteral("More menus"));
    auto key = [](QKeyCombination k) { return QKeySequence(k); };

    a.mnuFile = addMenu(bar, nullptr, "mnuFile", QStringLiteral("&File"),
                        QStringLiteral("File related commands"));
    a.mnuFileNew = addMenu(bar, a.mnuFile, "mnuFileNew", QStringLiteral("&New"),
                           QStringLiteral("Create a new file"));
    a.mnuFileNewProject = addItem(a.mnuFileNew, "mnuFileNewProject", QStringLiteral("Project"));
    a.mnuFileNew->addSeparator();
    a.mnuFileNewDoc[0] = addItem(a.mnuFileNew, "mnuFileNewJava", QStringLiteral("Java Document"));
    a.mnuFileNewDoc[1] = addItem(a.mnuFileNew, "mnuFileNewHtml", QStringLiteral("Html Document"));
    a.mnuFileNewDoc[2] = addItem(a.mnuFileNew, "mnuFileNewText", QStringLiteral("Text Document"));
    a.mnuFileNewDoc[3] =
        addItem(a.mnuFileNew, "mnuFileNewOther", QStringLiteral("Other Document"));
    a.mnuFileOpenDoc = addItem(a.mnuFile, "mnuFileOpenDoc", QStringLiteral("&Open Document..."),
                               QStringLiteral("Open an existing file"));
    a.mnuFileOpenProject =
        addItem(a.mnuFile, "mnuFileOpenProject", QStringLiteral("Open &Project..."));
    a.mnuFileReopen = addMenu(bar, a.mnuFile, "mnuFileReopen", QStringLiteral("&Reopen"));
    a.mnuFileSave = addItem(a.mnuFile, "mnuFileSave", QStringLiteral("&Save Document"),
                            QStringLiteral("Save current file"), key(Qt::CTRL | Qt::Key_S));
    a.mnuFileSaveAll = addItem(a.mnuFile, "mnuFileSaveAll", QStringLiteral("Sa&ve All"));
    a.mnuFileSaveAs = addItem(a.mnuFile, "mnuFileSaveAs", QStringLiteral("Save Document &As..."),
                              QStringLiteral("Save current file as..."));
    a.mnuFileSaveProjectAs =
        addItem(a.mnuFile, "mnuFileSaveProjectAs", QStringLiteral("Sav&e Project As..."));
    a.mnuFileClose = addItem(a.mnuFile, "mnuFileClose", QStringLiteral("&Close"),
                             QStringLiteral("Close current file"));
    a.mnuFileCloseAll = addItem(a.mnuFile, "mnuFileCloseAll", QStringLiteral("C&lose All"));
    a.mnuFile->addSeparator();
    a.mnuFilePrint = addItem(a.mnuFile, "mnuFilePrint", QStringLiteral("&Print..."));
    a.mnuFile->addSeparator();
    a.mnuFileConfigure =
        addItem(a.mnuFile, "mnuFileConfigure", QStringLiteral("Confi&gure Editor..."));
    a.mnuFile->addSeparator();
    a.mnuFileExit = addItem(a.mnuFile, "mnuFileExit", QStringLiteral("E&xit"),
                            QStringLiteral("Exit the application"));

    a.mnuEdit = addMenu(bar, nullptr, "mnuEdit", QStringLiteral("&Edit"));
    a.mnuEditUndo = addItem(a.mnuEdit, "mnuEditUndo", QStringLiteral("&Undo"), QString(),
                            key(Qt::CTRL | Qt::Key_Z));
    a.mnuEdit->addSeparator();
    a.mnuEditCut = addItem(a.mnuEdit, "mnuEditCut", QStringLiteral("Cu&t"),
                           QStringLiteral("Cut to clipboard"), key(Qt::CTRL | Qt::Key_X));
    a.mnuEditCopy = addItem(a.mnuEdit, "mnuEditCopy", QStringLiteral("&Copy"),
                            QStringLiteral("Copy to clipboard"), key(Qt::CTRL | Qt::Key_C));
    a.mnuEditPaste = addItem(a.mnuEdit, "mnuEditPaste", QStringLiteral("&Paste"),
                             QStringLiteral("Paste from clipboard"), key(Qt::CTRL | Qt::Key_V));
    a.mnuEditDelete = addItem(a.mnuEdit, "mnuEditDelete", QStringLiteral("&Delete"), QString(),
                              key(Qt::CTRL | Qt::Key_Delete));

    a.mnuSearch = addMenu(bar, nullptr, "mnuSearch", QStringLiteral("&Search"));
    a.mnuSearchFind = addItem(a.mnuSearch, "mnuSearchFind", QStringLiteral("&Find..."), QString(),
                              key(Qt::CTRL | Qt::Key_F));
    a.mnuSearchFindNext = addItem(a.mnuSearch, "mnuSearchFindNext", QStringLiteral("Find &Next"),
                                  QString(), key(Qt::Key_F3));
    a.mnuSearchReplace = addItem(a.mnuSearch, "mnuSearchReplace", QStringLiteral("&Replace..."),
                                 QString(), key(Qt::CTRL | Qt::Key_R));
    a.mnuSearch->addSeparator();
    a.mnuSearchGotoLine =
        addItem(a.mnuSearch, "mnuSearchGotoLine", QStringLiteral("&Go to Line..."));

    a.mnuProject = addMenu(bar, nullptr, "mnuProject", QStringLiteral("&Project"));
    a.mnuProjectViewProjectManager = addItem(a.mnuProject, "mnuProjectViewProjectManager",
                                             QStringLiteral("&Project Manager"));
    a.mnuProjectViewProjectManager->setCheckable(true);
    a.mnuProject->addSeparator();
    a.mnuProjectAddDoc =
        addItem(a.mnuProject, "mnuProjectAddDoc", QStringLiteral("Add &File to Project..."));
    a.mnuProjectAddActiveDoc =
        addItem(a.mnuProject, "mnuProjectAddActiveDoc", QStringLiteral("Add &Active Document"));
    a.mnuProjectAddAllDoc =
        addItem(a.mnuProject, "mnuProjectAddAllDoc", QStringLiteral("Add All &Open Documents"));
    a.mnuProject->addSeparator();
    a.mnuProjectRemoveDoc =
        addItem(a.mnuProject, "mnuProjectRemoveDoc", QStringLiteral("&Remove Active Document"));

    a.mnuRun = addMenu(bar, nullptr, "mnuRun", QStringLiteral("&Run"));
    a.mnuRunCompileDocument =
        addItem(a.mnuRun, "mnuRunCompileDocument", QStringLiteral("Compile &Document"));
    a.mnuRunStopCompile =
        addItem(a.mnuRun, "mnuRunStopCompile", QStringLiteral("&Stop Compile"));
    a.mnuRunLoadBrowser = addItem(a.mnuRun, "mnuRunLoadBrowser", QStringLiteral("Load in &Browser"));
    a.mnuRunAppletViewer =
        addItem(a.mnuRun, "mnuRunAppletViewer", QStringLiteral("Run Apple&t Viewer"));
    a.mnuRunAppletViewer->setVisible(false);
    a.mnuRun->addSeparator();
    a.mnuRunJava = addItem(a.mnuRun, "mnuRunJava", QStringLiteral("&Run Java"));

    a.mnuWindow = addMenu(bar, nullptr, "mnuWindow", QStringLiteral("&Window"),
                          QStringLiteral("Window related commands such as Tile and Cascade"));
    a.mnuWindowCascade = addItem(a.mnuWindow, "mnuWindowCascade", QStringLiteral("&Cascade"),
                                 QStringLiteral("Arrange windows to overlap"));
    a.mnuWindowTile = addItem(a.mnuWindow, "mnuWindowTile", QStringLiteral("&Tile"),
                              QStringLiteral("Arrange windows without overlap"));
    a.mnuWindowArrange =
        addItem(a.mnuWindow, "mnuWindowArrange", QStringLiteral("&Arrange Icons"),
                QStringLiteral("Arrange window icons at bottom of main window"));
    a.mnuWindowMinimize = addItem(a.mnuWindow, "mnuWindowMinimize",
                                  QStringLiteral("&Minimize All"),
                                  QStringLiteral("Minimize all windows"));

    a.mnuHelp = addMenu(bar, nullptr, "mnuHelp", QStringLiteral("&Help"),
                        QStringLiteral("Help topics"));
    a.mnuHelpAbout = addItem(a.mnuHelp, "mnuHelpAbout", QStringLiteral("&About"));

    // The New button's popup: the four new-document commands, with captions
    // of their own.
    a.mnpFileNew = new QMenu(&window);
    a.mnpFileNew->setObjectName(QStringLiteral("mnpFileNew"));
    for (const QString& caption :
         {QStringLiteral("New Java Document"), QStringLiteral("New Html Document"),
          QStringLiteral("New Text Document"), QStringLiteral("Other Document")})
        a.mnpFileNew->addAction(caption);

    a.cmdSaveProject = new QAction(QStringLiteral("Save Project"), &window);
    a.cmdSaveProject->setObjectName(QStringLiteral("cmdSaveProject"));

    // The items the menu starts with disabled; the menu state takes over.
    for (QAction* item :
         {a.mnuFileSave, a.mnuFileSaveAll, a.mnuFileSaveAs, a.mnuFileSaveProjectAs, a.mnuFileClose,
          a.mnuFileCloseAll, a.mnuFilePrint, a.mnuEditUndo, a.mnuEditCut, a.mnuEditCopy,
          a.mnuEditPaste, a.mnuEditDelete, a.mnuSearchFind, a.mnuSearchFindNext,
          a.mnuSearchReplace, a.mnuSearchGotoLine, a.mnuRunCompileDocument, a.mnuRunStopCompile,
          a.mnuRunLoadBrowser, a.mnuRunAppletViewer, a.cmdSaveProject})
        item->setEnabled(false);
    return a;
}

TSpeedButtons CreateSpeedButtons(QWidget& panel, const TMainActions& actions)
{
    TSpeedButtons out;
    auto add = [&](const char* name, int left, const QString& tooltip, QStyle::StandardPixmap icon,
                   QAction* action) {
        auto* b = new QToolButton(&panel);
        if (action) {
            action->setIcon(panel.style()->standardIcon(icon));
            // The button shows its own tooltip; its status-line text is empty.
            action->setToolTip(tooltip);
            b->setDefaultAction(action);
        } else {
            b->setIcon(panel.style()->standardIcon(icon));
            b->setToolTip(tooltip);
        }
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(left, 3, 25, 25);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAccessibleName(tooltip);
        out.all << b;
        return b;
    };
    out.cmdNew = add("cmdNew", 9, QStringLiteral("New Document"), QStyle::SP_FileIcon, nullptr);
    add("cmdOpen", 32, QStringLiteral("Open Document"), QStyle::SP_DialogOpenButton,
        actions.mnuFileOpenDoc);
    add("cmdNewProject", 80, QStringLiteral("New Project"), QStyle::SP_FileDialogNewFolder,
        actions.mnuFileNewProject);
    add("cmdOpenProject", 105, QStringLiteral("Open Project"), QStyle::SP_DirOpenIcon,
        actions.mnuFileOpenProject);
    add("cmdSaveProject", 130, QStringLiteral("Save Project"), QStyle::SP_DialogSaveButton,
        actions.cmdSaveProject);
    add("cmdConfigure", 232, QStringLiteral("Configure"), QStyle::SP_FileDialogDetailedView,
        actions.mnuFileConfigure);
    add("cmdExit", 472, QStringLiteral("Exit"), QStyle::SP_DialogCloseButton, actions.mnuFileExit)
        ->setVisible(false);
    return out;
}

} // namespace bp
