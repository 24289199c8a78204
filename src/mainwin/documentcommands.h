#pragma once

#include "mainwin/recentfiles.h"
#include "model/brewpaddefs.h"

#include <QStringList>

#include <functional>

class QWidget;

namespace bp {

class TChildWindows;
class TProjectCommands;
class TcwEditBase;
struct TFileDialogs;
struct TMainActions;
struct TWindowValues;

// The document commands: new, open, save, save as, close and close all,
// files dropped on the window or named at start, and the recent files with
// their Reopen menu.
class TDocumentCommands {
public:
    // changed is called after each command that may change the menus.
    TDocumentCommands(QWidget& parent, TChildWindows& children, TFileDialogs& dialogs,
                      TWindowValues& values, TProjectCommands& projects,
                      const TMainActions& actions, std::function<void()> changed);

    // Connects the menu items and buttons of the document commands.
    void Connect(const TMainActions& actions);

    TcwEditBase* NewDocument(TDocType docType);
    void OpenDocClick();
    void SaveDoc();
    void SaveDocAs();
    void CloseDoc();
    // Closes the editor windows from the last one back, each asking about
    // its own text; Cancel stops there.
    void mnuFileCloseAllClick();
    // Opens the files named at start (existing ones only); the open dialog
    // follows each.
    void OpenStartFiles(const QStringList& names);
    // Files dropped on the window: the first project file among them becomes
    // the project; otherwise each file opens, or its window comes forward.
    void OpenFiles(const QStringList& names);
    // A line the compiler named in a file: the file's window comes forward,
    // or the file opens as the open dialog's choice would, and the line is
    // selected. Throws "Can't find" when the file is not there.
    void OpenAtLine(const QString& path, int lineNumber);

    // The save dialog for a document of that type; see IMainWindow.
    bool ExecuteSaveDialog(TDocType docType, QString& fileName);
    bool OpenReadOnly() const;
    TRecentFiles& Recent() { return FRecent; }

    // The open dialog for documents (multiple selection); true when files
    // were chosen, which LastOpenFiles then lists.
    bool ExecuteOpenDocDialog();
    const QStringList& LastOpenFiles() const { return FLastOpenFiles; }

private:
    void ReopenDocument(const QString& fileName);
    void ReopenProject(const QString& fileName);
    // The open dialog starts at a reopened file next time, with its filter;
    // the save dialog in its directory.
    void FollowInDialogs(const QString& fileName, const QString& filter);
    // Activates the window showing the file, or opens it.
    void ShowFile(const QString& fileName);
    // The same, and a file opened joins the recent files, as after the
    // open dialog.
    void OpenChosenFile(const QString& fileName);

    QWidget& FParent;
    TChildWindows& FChildren;
    TFileDialogs& FDialogs;
    TProjectCommands& FProjects;
    std::function<void()> FChanged;
    TDocTypeList FDocTypes;
    TRecentFiles FRecent;
    qint32 FNewDocCount = 0;
    QStringList FLastOpenFiles; // the files chosen in the last open dialog
};

} // namespace bp
