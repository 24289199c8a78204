#pragma once

#include <QList>

class QAction;
class QMainWindow;
class QMenu;
class QToolButton;
class QWidget;

namespace bp {

// Every command of the main window, one QAction each, shared by its menu
// item and its tool button. The object names are the items' names, which
// tests and the accessibility tree go by.
struct TMainActions {
    // File
    QMenu* mnuFile = nullptr;
    QMenu* mnuFileNew = nullptr;
    QAction* mnuFileNewProject = nullptr; // also cmdNewProject
    // Java, Html, Text, Other: in document-type order.
    QAction* mnuFileNewDoc[4] = {};
    QAction* mnuFileOpenDoc = nullptr; // also cmdOpen
    QAction* mnuFileOpenProject = nullptr; // also cmdOpenProject
    QMenu* mnuFileReopen = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileSaveAll = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuFileSaveProjectAs = nullptr;
    QAction* mnuFileClose = nullptr;
    QAction* mnuFileCloseAll = nullptr;
    QAction* mnuFilePrint = nullptr;
    QAction* mnuFileConfigure = nullptr; // also cmdConfigure
    QAction* mnuFileExit = nullptr; // also cmdExit
    // Edit
    QMenu* mnuEdit = nullptr;
    QAction* mnuEditUndo = nullptr;
    QAction* mnuEditCut = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPaste = nullptr;
    QAction* mnuEditDelete = nullptr;
    // Search
    QMenu* mnuSearch = nullptr;
    QAction* mnuSearchFind = nullptr;
    QAction* mnuSearchFindNext = nullptr;
    QAction* mnuSearchReplace = nullptr;
    QAction* mnuSearchGotoLine = nullptr;
    // Project
    QMenu* mnuProject = nullptr;
    QAction* mnuProjectViewProjectManager = nullptr;
    QAction* mnuProjectAddDoc = nullptr;
    QAction* mnuProjectAddActiveDoc = nullptr;
    QAction* mnuProjectAddAllDoc = nullptr;
    QAction* mnuProjectRemoveDoc = nullptr;
    // Run
    QMenu* mnuRun = nullptr;
    QAction* mnuRunCompileDocument = nullptr;
    QAction* mnuRunStopCompile = nullptr;
    QAction* mnuRunLoadBrowser = nullptr;
    QAction* mnuRunAppletViewer = nullptr;
    QAction* mnuRunJava = nullptr;
    // Window
    QMenu* mnuWindow = nullptr;
    QAction* mnuWindowCascade = nullptr;
    QAction* mnuWindowTile = nullptr;
    QAction* mnuWindowArrange = nullptr;
    QAction* mnuWindowMinimize = nullptr;
    // Help
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpAbout = nullptr;

    // Tool buttons with a command of their own: the New button's popup of
    // new documents, and Save Project (enabled by its own rule).
    QMenu* mnpFileNew = nullptr;
    QAction* cmdSaveProject = nullptr;
};

// Makes the main menu with all its actions, and the popup of the New button.
TMainActions CreateMainMenu(QMainWindow& window);

// Makes the tool buttons on panel at their places, each showing its action.
// Every button has its tooltip as accessible name; the New button is
// returned for its popup.
struct TSpeedButtons {
    QToolButton* cmdNew = nullptr;
    QList<QToolButton*> all;
};
TSpeedButtons CreateSpeedButtons(QWidget& panel, const TMainActions& actions);

} // namespace bp
