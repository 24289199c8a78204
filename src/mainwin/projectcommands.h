#pragma once

#include "dialogs/dmultisave.h"
#include "dialogs/projectmanager.h"
#include "mainwin/filedialogs.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QWidget;

namespace bp {

class TChildWindows;
class TDocumentCommands;
class TProject;
class TcwEditBase;
struct TMainActions;

// The project commands: the open project (at most one), new, open, save,
// save as and close with their questions, the project manager window, and
// adding and removing documents. The project manager reaches the main window
// through this controller.
class TProjectCommands : public IProjectManagerHost {
public:
    // changed is called whenever the project, its name or file, or its
    // documents changed, and after each command: the caption and menus follow.
    TProjectCommands(QWidget& parent, TChildWindows& children, TFileDialogs& dialogs,
                     QAction& viewManager, std::function<void()> changed);
    ~TProjectCommands() override;

    // The document commands give the open dialog for documents and the
    // recent-file lists; set once, before any command runs.
    void SetDocuments(TDocumentCommands& documents) { FDocuments = &documents; }
    // Connects the menu items and buttons of the project commands.
    void Connect(const TMainActions& actions);

    TProject* Current() const { return FCurrent.get(); }
    bool ManagerShown() const { return FManagerShown; }
    // The project manager window while it is open.
    TProjectManager* Manager() const { return FManager.data(); }

    // Closes the open project (asking), then starts a new one and toggles
    // the project manager.
    void NewProject() override;
    // The new project of a start without a project file: the same as
    // NewProject with no project open, but its manager stays closed.
    void StartWithNewProject();
    // Open Project: the open dialog for project files, then the chosen file
    // becomes the project.
    void cmdOpenProjectClick();
    // The project file becomes the project (the open one closes first,
    // asking), joins the recent projects, and the manager toggles.
    void OpenProjectFile(const QString& path) override;
    // Asks about every editor window with unsaved text, from the last child
    // back, with the multi-save dialog, and saves those the user chooses.
    // Returns the last answer (Yes when nothing was asked); Cancel as soon as
    // the user cancels or a save fails, and then nothing further is asked.
    TdlgMultiSave::TMultiSaveResult QuerySaveDocuments();
    // Asks about the editors' unsaved text, closes every editor window,
    // asks about a modified project and closes it with its manager. False
    // when the user cancelled (or a save failed): the project stays open.
    bool CloseProject();
    bool SaveProject();
    bool SaveProjectAs();
    // The question at exit about a modified project; true when the program
    // may end.
    bool QueryCloseAtExit();
    // Makes the project file the open project (throws when it cannot be read).
    void LoadProject(const QString& fileName);
    // Shows the project manager, or closes it when it is shown.
    void ToggleProjectManager();
    void CloseProjectManager();
    void SetProjectManagerShown(bool shown) override;

    // Add File to Project...: the open dialog; each chosen file joins the
    // project and opens.
    void mnuProjectAddDocClick();
    void AddFilesToProject() override { mnuProjectAddDocClick(); }
    // The active editor's document, or every editor's, joins the project.
    void mnuProjectAddActiveDocClick();
    void mnuProjectAddAllDocClick();
    // Takes the active editor's document out of the project, or runs the
    // project manager's delete command when it is the active child.
    void mnuProjectRemoveDocClick();

    // What the project manager asks of the main window (see IProjectManagerHost).
    void OpenProjectDocument(const QString& name) override;
    bool CloseDocumentWindow(const QString& name) override;
    void CompileProjectDocument(const QString& name) override;
    void BrowseProjectDocument(const QString& name) override;
    void UpdateMenuItems() override { FChanged(); }

private:
    bool ExecuteProjectSaveDialog(QString& fileName);
    // The Yes/No/Cancel question about saving the modified project; true
    // when the caller may go on.
    bool AskSaveModified();
    // Closes every editor window without a question.
    void CloseAllDocuments();
    // The editor of the variant in use that shows the document, or null.
    TcwEditBase* FindEditor(const QString& name) const;
    // A saved document of an editor joins the project, unless the project
    // has a document of that name already.
    void AddEditorDocument(TcwEditBase* editor);
    void RefreshManager();
    void AddRecentProject(const QString& fileName);

    QWidget& FParent;
    TChildWindows& FChildren;
    TFileDialogs& FDialogs;
    QAction& FViewManager;
    std::function<void()> FChanged;
    TDocumentCommands* FDocuments = nullptr;
    std::unique_ptr<TProject> FCurrent;
    // The manager window lets go of the project it shows.
    void DetachManager();

    bool FManagerShown = false;
    QPointer<TProjectManager> FManager;
};

} // namespace bp
