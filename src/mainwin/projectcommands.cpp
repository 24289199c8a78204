#include "mainwin/projectcommands.h"

#include "editor/editorwindow.h"
#include "mainwin/childwindows.h"
#include "mainwin/documentcommands.h"
#include "mainwin/mainactions.h"
#include "model/project.h"
#include "platform/errors.h"
#include "platform/fileservices.h"
#include "platform/guarded.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace bp {

namespace {
const QString kProjectFilter = QStringLiteral("Brewpad Project (*.jpr)|*.jpr");

// Lets windows closed by the last step go before the next one runs.
void letPendingMessagesRun()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

TProjectCommands::TProjectCommands(QWidget& parent, TChildWindows& children, TFileDialogs& dialogs,
                                   QAction& viewManager, std::function<void()> changed)
    : FParent(parent), FChildren(children), FDialogs(dialogs), FViewManager(viewManager),
      FChanged(std::move(changed))
{
}

TProjectCommands::~TProjectCommands()
{
    // The manager may outlive the project by a turn of the event loop: it
    // must not reach back into it then.
    DetachManager();
}

void TProjectCommands::DetachManager()
{
    if (FManager)
        FManager->SetProject(nullptr);
}

void TProjectCommands::Connect(const TMainActions& a)
{
    const auto on = [this](QAction* action, std::function<void()> command) {
        QObject::connect(action, &QAction::triggered, &FParent,
                         [this, command = std::move(command)] {
                             guarded(&FParent, command);
                             // An error may stop a command half way: the menus show what is.
                             FChanged();
                         });
    };
    on(a.mnuFileNewProject, [this] { NewProject(); });
    on(a.mnuFileOpenProject, [this] { cmdOpenProjectClick(); });
    on(a.mnuFileSaveAll, [this] { SaveProject(); });
    on(a.cmdSaveProject, [this] { SaveProject(); });
    on(a.mnuFileSaveProjectAs, [this] { SaveProjectAs(); });
    on(a.mnuProjectViewProjectManager, [this] { ToggleProjectManager(); });
    on(a.mnuProjectAddDoc, [this] { mnuProjectAddDocClick(); });
    on(a.mnuProjectAddActiveDoc, [this] { mnuProjectAddActiveDocClick(); });
    on(a.mnuProjectAddAllDoc, [this] { mnuProjectAddAllDocClick(); });
    on(a.mnuProjectRemoveDoc, [this] { mnuProjectRemoveDocClick(); });
}

// ---------------------------------------------------------------------------
// New, open, load

void TProjectCommands::NewProject()
{
    // Also the project manager's request: an error ends here, in its box.
    guarded(&FParent, [this] {
        if (FCurrent && !CloseProject())
            return;
        StartWithNewProject();
        ToggleProjectManager();
    });
}

void TProjectCommands::StartWithNewProject()
{
    FCurrent = TProject::Create();
    FChanged();
}

void TProjectCommands::cmdOpenProjectClick()
{
    FileDialogOptions& open = FDialogs.Open;
    const FileDialogOptions remembered = open;
    open.filter = kProjectFilter;
    open.filterIndex = 1;
    open.fileName.clear();
    open.multiSelect = false;
    open.readOnlyChoice = false;
    const FileDialogResult r = prompter().openFileDialog(&FParent, open);
    // The document commands find the dialog as they left it.
    open.multiSelect = remembered.multiSelect;
    open.readOnlyChoice = remembered.readOnlyChoice;
    if (!r.accepted || r.files.isEmpty()) {
        open.filter = remembered.filter;
        open.filterIndex = remembered.filterIndex;
        open.fileName = remembered.fileName;
        return;
    }
    const QString fileName = files::fullPath(r.files.first());
    open.fileName = fileName;
    OpenProjectFile(fileName);
}

void TProjectCommands::OpenProjectFile(const QString& path)
{
    guarded(&FParent, [&] {
        if (FCurrent && !CloseProject())
            return;
        FDialogs.Open.initialDir = files::extractFileDir(path);
        FDialogs.Save.initialDir = FDialogs.Open.initialDir;
        // A file that cannot be read leaves no project: the old one is closed.
        LoadProject(path);
        AddRecentProject(path);
        ToggleProjectManager();
    });
    FChanged();
}

void TProjectCommands::LoadProject(const QString& fileName)
{
    std::unique_ptr<TProject> loaded = TProject::CreateFromFile(fileName);
    DetachManager();
    FCurrent = std::move(loaded);
    FChanged();
}

void TProjectCommands::AddRecentProject(const QString& fileName)
{
    if (FDocuments)
        FDocuments->Recent().AddProject(fileName);
}

// ---------------------------------------------------------------------------
// Closing

TdlgMultiSave::TMultiSaveResult TProjectCommands::QuerySaveDocuments()
{
    TdlgMultiSave dialog(&FParent);
    dialog.setWindowTitle(QStringLiteral("Save Project"));
    auto answer = TdlgMultiSave::mrYes;
    const QList<TcwEditBase*> editors = FChildren.Editors();
    for (auto it = editors.rbegin(); it != editors.rend(); ++it) {
        TcwEditBase* editor = *it;
        if (editor->IsSaved())
            continue;
        if (answer == TdlgMultiSave::mrNoToAll)
            break;
        if (answer != TdlgMultiSave::mrYesToAll) {
            dialog.SetMessage(QStringLiteral("Save changes to ") + editor->windowTitle() +
                              QLatin1Char('?'));
            const int code = prompter().execDialog(dialog);
            answer = (code >= TdlgMultiSave::mrYes && code <= TdlgMultiSave::mrCancel)
                         ? TdlgMultiSave::TMultiSaveResult(code)
                         : TdlgMultiSave::mrCancel;
        }
        // Cancel ends the whole series: nothing more is asked or saved.
        if (answer == TdlgMultiSave::mrCancel)
            return answer;
        if (answer != TdlgMultiSave::mrYes && answer != TdlgMultiSave::mrYesToAll)
            continue;
        // A save that fails (a read-only file, a full disk, a cancelled save
        // dialog) stops the series as Cancel does, so that closing the
        // project never throws away text that was meant to be kept.
        bool saved = false;
        try {
            saved = editor->Save();
        } catch (const EBrewpadError& e) {
            showError(&FParent, e.message());
        }
        if (!saved)
            return TdlgMultiSave::mrCancel;
    }
    return answer;
}

void TProjectCommands::CloseAllDocuments()
{
    const QList<TcwEditBase*> editors = FChildren.Editors();
    for (auto it = editors.rbegin(); it != editors.rend(); ++it)
        (*it)->ForceClose();
    letPendingMessagesRun();
}

bool TProjectCommands::AskSaveModified()
{
    if (!FCurrent->IsModified())
        return true;
    switch (ask(&FParent, QStringLiteral(" Save project '%1'?").arg(FCurrent->Name()),
                MsgType::Confirmation, MsgButtons::YesNoCancel)) {
    case MsgResult::Yes:
        return SaveProject();
    case MsgResult::No:
        return true;
    default:
        return false;
    }
}

bool TProjectCommands::CloseProject()
{
    if (!FCurrent)
        return true;
    const TdlgMultiSave::TMultiSaveResult answer = QuerySaveDocuments();
    letPendingMessagesRun();
    if (answer == TdlgMultiSave::mrCancel)
        return false;
    // Every answer is in: the editors close without asking again, and text
    // the user chose not to save goes.
    CloseAllDocuments();
    if (!AskSaveModified())
        return false;
    // The manager lets go of the project and leaves the child windows now;
    // it is destroyed once control is back in the event loop, since this may
    // run at its own request (New Project, a dropped project file).
    CloseProjectManager();
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

// ---------------------------------------------------------------------------
// Saving

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
    // The manager's fields go into the project before it is written.
    if (FManager)
        FManager->SaveOptions();
    FCurrent->Save();
    FChanged();
    AddRecentProject(FCurrent->FileName());
    return true;
}

bool TProjectCommands::SaveProjectAs()
{
    QString fileName;
    if (!FCurrent || !ExecuteProjectSaveDialog(fileName))
        return false;
    if (FManager)
        FManager->SaveOptions();
    const QString oldName = FCurrent->FileName();
    FCurrent->SetFileName(fileName);
    try {
        FCurrent->Save();
    } catch (...) {
        FCurrent->SetFileName(oldName);
        throw;
    }
    FChanged();
    AddRecentProject(fileName);
    return true;
}

// ---------------------------------------------------------------------------
// The project manager window

void TProjectCommands::ToggleProjectManager()
{
    if (FManagerShown) {
        CloseProjectManager();
        return;
    }
    std::unique_ptr<TProjectManager> manager =
        CreateProjectManager(FChildren.IsWin95(), *this, nullptr);
    FManager = manager.get();
    QMdiSubWindow* sub = FChildren.Area().addSubWindow(manager.release());
    sub->setAttribute(Qt::WA_DeleteOnClose);
    SetProjectManagerShown(true);
    FManager->SetProject(FCurrent.get());
    sub->show();
    FChildren.Area().setActiveSubWindow(sub);
    FChanged();
}

void TProjectCommands::CloseProjectManager()
{
    const QList<QMdiSubWindow*> children = FChildren.Children();
    for (QMdiSubWindow* child : children) {
        if (TProjectManager* manager = TChildWindows::ManagerOf(child)) {
            manager->SetProject(nullptr);
            child->close();
        }
    }
    SetProjectManagerShown(false);
    FChanged();
}

void TProjectCommands::SetProjectManagerShown(bool shown)
{
    // A manager closing lets go of the project before it is destroyed.
    if (!shown)
        DetachManager();
    FManagerShown = shown;
    FViewManager.setChecked(shown);
}

void TProjectCommands::RefreshManager()
{
    if (FManagerShown && FManager)
        FManager->RefreshDocuments();
}

// ---------------------------------------------------------------------------
// Adding and removing documents

void TProjectCommands::mnuProjectAddDocClick()
{
    guarded(&FParent, [this] {
        if (!FCurrent || !FDocuments || !FDocuments->ExecuteOpenDocDialog())
            return;
        const QStringList chosen = FDocuments->LastOpenFiles();
        for (const QString& file : chosen) {
            const QString path = files::fullPath(file);
            FCurrent->AddFile(path);
            RefreshManager();
            OpenProjectDocument(files::extractFileName(path));
        }
    });
    FChanged();
}

void TProjectCommands::AddEditorDocument(TcwEditBase* editor)
{
    // The editor's own document joins the project, so that the editor and
    // the project share one document and one modified state. A never-saved
    // document has no file to list yet; a document of another name in the
    // project keeps its place.
    TDocument* doc = editor->Document();
    if (!doc || doc->Project() || doc->IsNew() || !files::exists(doc->FullPath()) ||
        FCurrent->IndexOfName(doc->FileName()) >= 0)
        return;
    FCurrent->AddDocument(doc);
}

void TProjectCommands::mnuProjectAddActiveDocClick()
{
    if (!FCurrent)
        return;
    if (TcwEditBase* editor = FChildren.ActiveAnyEditor()) {
        AddEditorDocument(editor);
        RefreshManager();
    }
    FChanged();
}

void TProjectCommands::mnuProjectAddAllDocClick()
{
    if (!FCurrent)
        return;
    for (TcwEditBase* editor : FChildren.Editors())
        AddEditorDocument(editor);
    RefreshManager();
    FChanged();
}

void TProjectCommands::mnuProjectRemoveDocClick()
{
    QMdiSubWindow* active = FChildren.Active();
    if (!FCurrent || FCurrent->Count() < 1 || !active)
        return;
    if (TcwEditBase* editor = FChildren.ActiveAnyEditor()) {
        // Only a document of the project leaves it; the editor keeps it.
        if (FCurrent->ContainsFile(editor->windowTitle())) {
            FCurrent->RemoveFile(editor->windowTitle());
            RefreshManager();
        }
    } else if (TProjectManager* manager = TChildWindows::ManagerOf(active)) {
        // The manager's own delete command removes its selected documents,
        // asking about unsaved text through CloseDocumentWindow.
        manager->doDelete();
    }
    FChanged();
}

// ---------------------------------------------------------------------------
// What the project manager asks of the main window

TcwEditBase* TProjectCommands::FindEditor(const QString& name) const
{
    const int index = FChildren.FindWindowByName(name);
    if (index < 0)
        return nullptr;
    return qobject_cast<TcwEditBase*>(FChildren.Children().at(index)->widget());
}

void TProjectCommands::OpenProjectDocument(const QString& name)
{
    TDocument* doc = FCurrent ? FCurrent->FindDocument(name) : nullptr;
    if (!doc)
        return;
    const int index = FChildren.FindWindowByName(name);
    if (index >= 0) {
        FChildren.Activate(index);
    } else {
        // A file that cannot be read leaves no window, and says why.
        guarded(&FParent, [&] {
            std::unique_ptr<TcwEditBase> editor = FChildren.CreateEditor();
            editor->CreateForDocument(doc);
            FChildren.Show(editor.release());
        });
    }
    FChanged();
}

bool TProjectCommands::CloseDocumentWindow(const QString& name)
{
    TcwEditBase* editor = FindEditor(name);
    if (!editor)
        return true;
    // The editor asks about its unsaved text; a No or a save lets it close.
    QWidget* frame = editor->parentWidget();
    bool closed = false;
    guarded(&FParent, [&] { closed = frame ? frame->close() : editor->close(); });
    letPendingMessagesRun();
    FChanged();
    return closed;
}

void TProjectCommands::CompileProjectDocument(const QString& name)
{
    guarded(&FParent, [&] {
        OpenProjectDocument(name);
        if (TcwEditBase* editor = FindEditor(name))
            editor->Compile();
    });
    FChanged();
}

void TProjectCommands::BrowseProjectDocument(const QString& name)
{
    // The editor window has no browser command yet: the document opens,
    // and that is all.
    guarded(&FParent, [&] { OpenProjectDocument(name); });
    FChanged();
}

} // namespace bp
