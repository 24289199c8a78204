#pragma once

#include "mainwin/filedialogs.h"

#include <QString>

#include <functional>
#include <memory>

class QAction;
class QWidget;

namespace bp {

class TChildWindows;
class TProject;
struct TMainActions;

// The project commands: the open project (at most one), new, close, save,
// save as, loading a project file, and the project manager's shown state.
class TProjectCommands {
public:
    // changed is called whenever the project, its name or file changed.
    TProjectCommands(QWidget& parent, TChildWindows& children, TFileDialogs& dialogs,
                     QAction& viewManager, std::function<void()> changed);
    ~TProjectCommands();

    // Connects the menu items and buttons of the project commands.
    void Connect(const TMainActions& actions);

    TProject* Current() const { return FCurrent.get(); }
    bool ManagerShown() const { return FManagerShown; }

    // Closes the open project (asking), then starts a new one and toggles
    // the project manager.
    void NewProject();
    // Closes every editor window (each asking about its text), then asks
    // about a modified project. False when the user cancelled.
    bool CloseProject();
    bool SaveProject();
    bool SaveProjectAs();
    // The question at exit about a modified project; true when the program
    // may end.
    bool QueryCloseAtExit();
    // Makes the project file the open project (throws when it cannot be read).
    void LoadProject(const QString& fileName);
    void ToggleProjectManager();
    void SetManagerShown(bool shown);

private:
    bool ExecuteProjectSaveDialog(QString& fileName);
    // The Yes/No/Cancel question about saving the modified project; true
    // when the caller may go on.
    bool AskSaveModified();

    QWidget& FParent;
    TChildWindows& FChildren;
    TFileDialogs& FDialogs;
    QAction& FViewManager;
    std::function<void()> FChanged;
    std::unique_ptr<TProject> FCurrent;
    bool FManagerShown = false;
};

} // namespace bp
