#pragma once

#include <QString>
#include <QWidget>

#include <memory>

namespace bp {

class TProject;

// What the project manager window asks of the main window. Each name is a
// document's name within the current project.
class IProjectManagerHost {
public:
    virtual ~IProjectManagerHost() = default;

    // Brings the document's editor window to the front, or opens one.
    virtual void OpenProjectDocument(const QString& name) = 0;
    // Closes the document's editor window, if one shows it, with the
    // editor's usual save question. False when the user cancelled: the
    // window stays open with its text.
    virtual bool CloseDocumentWindow(const QString& name) = 0;
    // Opens the document as OpenProjectDocument does and runs its editor's
    // compile, or its browser command.
    virtual void CompileProjectDocument(const QString& name) = 0;
    virtual void BrowseProjectDocument(const QString& name) = 0;
    // A new, empty project becomes the current one (asking about the old).
    virtual void NewProject() = 0;
    // The main window's "Add File to Project..." command.
    virtual void AddFilesToProject() = 0;
    // Preselects a filter of the add-file dialog (1-based, the document
    // type's ordinal + 1) before AddFilesToProject; the manager's type tab
    // asks for its own type. A host without such a choice ignores it.
    virtual void SetFileFilterIndex(int /*filterIndex*/) {}
    // A project file dropped on the window: it becomes the current project.
    virtual void OpenProjectFile(const QString& path) = 0;
    // The check mark of "Project Manager" and the main window's record of
    // whether this window is open.
    virtual void SetProjectManagerShown(bool shown) = 0;
    // The project's documents or state changed: menus follow.
    virtual void UpdateMenuItems() = 0;
};

// The project manager window, an MDI child of the main window, in either
// variant. It shows the current project and writes every change of name,
// paths, options and documents back into it at once.
class TProjectManager : public QWidget {
public:
    using QWidget::QWidget;

    // Shows project (none: the controls are emptied and disabled).
    virtual void SetProject(TProject* project) = 0;
    // Lists the project's documents again (after documents were added,
    // removed or renamed elsewhere).
    virtual void RefreshDocuments() = 0;
    // Writes the name, paths and options of the controls into the project.
    virtual void SaveOptions() = 0;

    // Some document is selected in the list.
    virtual bool HasSelectedDocuments() const = 0;
    // The Edit menu's commands on the selected documents: Delete removes
    // them from the project, Cut also puts their paths on the clipboard,
    // Copy only that; Paste adds the files named on the clipboard. A
    // document's editor window closes first with its save question.
    virtual void doCut() = 0;
    virtual void doCopy() = 0;
    virtual void doPaste() = 0;
    virtual void doDelete() = 0;
};

// The window of the rich (list view) or the plain (list box) variant.
std::unique_ptr<TProjectManager> CreateProjectManager(bool richVariant, IProjectManagerHost& host,
                                                      QWidget* parent = nullptr);

} // namespace bp
