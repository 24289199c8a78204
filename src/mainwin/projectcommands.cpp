#include "mainwin/projectcommands.h"

#include "editor/editorwindow.h"
#include "mainwin/childwindows.h"
#include "mainwin/mainactions.h"
#include "model/project.h"
#include "platform/fileservices.h"
#include "platform/guarded.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>

namespace bp {

namespace {
const QString kProjectFilter = QStringLiteral("Brewpad Project (*.jpr)|*.jpr");
}

TProjectCommands::TProjectCommands(QWidget& parent, TChildWindows& children,
                                   TFileDialogs& dialogs, QAction& viewManager,
                                   std::function<void()> changed)
    : FParent(parent), FChildren(children), FDialogs(dialogs), FViewManager(viewManager),
      FChanged(std::move(changed))
{
}

TProjectCommands::~TProjectCommands() = default;

void TProjectCommands::Connect(const TMainActions& a)
{
    const auto on = [this](QAction* action, std::function<void()> command) {
        QObject::connect(action, &QAction::triggered, &FParent,
                         [this, command = std::move(command)] { guarded(&FParent, command); });
    };
    on(a.mnuFileNewProject, [this] { NewProject(); });
    on(a.mnuFileSaveAll, [this] { SaveProject(); });
    on(a.cmdSaveProject, [this] { SaveProject(); });
    on(a.mnuFileSaveProjectAs, [this] { SaveProjectAs(); });
    on(a.mnuProjectViewProjectManager, [this] { ToggleProjectManager(); });
}

void TProjectCommands::NewProject()
{
    if (FCurrent && !CloseProject())
        return;
    FCurrent = TProject::Create();
    FChanged();
    ToggleProjectManager();
}

bool TProjectCommands::AskSaveModified()
{
    if (!FCurrent->IsModified())
        return true;
    switch (ask(&FParent, QStringLiteral(" Save project '%1'?").arg(FCurrent->Name()),
                MsgType::Confirmation, MsgButtons::YesNoCancel)) {
    case MsgResult::Yes: return SaveProject();
    case MsgResult::No: return true;
    default: return false;
    }
}

bool TProjectCommands::CloseProject()
{
    if (!FCurrent)
        return true;
    // Every editor window closes first, each asking about its own unsaved
    // text; a Cancel keeps the project open.
    const QList<TcwEditBase*> editors = FChildren.Editors();
    for (auto it = editors.rbegin(); it != editors.rend(); ++it)
        if (QWidget* frame = (*it)->parentWidget(); frame && !frame->close())
            return false;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (!AskSaveModified())
        return false;
    SetManagerShown(false);
    FCurrent.reset();
    FChanged();
    return true;
}

bool TProjectCommands::QueryCloseAtExit()
{
    if (!FCurrent)
        return true;
    bool mayClose = false;
    guarded(&FParent, [&] { mayClose = AskSaveModified(); });
    return mayClose;
}

bool TProjectCommands::ExecuteProjectSaveDialog(QString& fileName)
{
    FileDialogOptions& save = FDialogs.Save;
    save.filter = kProjectFilter;
    save.filterIndex = 1;
    save.defaultExt = QStringLiteral("jpr");
    return FDialogs.ExecuteSave(&FParent, QStringLiteral("jpr"), fileName);
}

bool TProjectCommands::SaveProject()
{
    if (!FCurrent)
        return true;
    if (FCurrent->IsNew())
        return SaveProjectAs();
    FCurrent->Save();
    FChanged();
    return true;
}

bool TProjectCommands::SaveProjectAs()
{
    QString fileName;
    if (!FCurrent || !ExecuteProjectSaveDialog(fileName))
        return false;
    const QString oldName = FCurrent->FileName();
    FCurrent->SetFileName(fileName);
    try {
        FCurrent->Save();
    } catch (...) {
        FCurrent->SetFileName(oldName);
        throw;
    }
    FChanged();
    return true;
}

void TProjectCommands::LoadProject(const QString& fileName)
{
    FCurrent = TProject::CreateFromFile(fileName);
    FChanged();
}

void TProjectCommands::ToggleProjectManager()
{
    // The project manager window itself arrives with its own command set;
    // until then the command keeps the shown state and its check mark.
    SetManagerShown(!FManagerShown);
}

void TProjectCommands::SetManagerShown(bool shown)
{
    FManagerShown = shown;
    FViewManager.setChecked(shown);
}

} // namespace bp
