#include "mainwin/documentcommands.h"

#include "editor/editorwindow.h"
#include "mainwin/childwindows.h"
#include "mainwin/mainactions.h"
#include "mainwin/filedialogs.h"
#include "mainwin/projectcommands.h"
#include "platform/errors.h"
#include "platform/fileservices.h"
#include "platform/guarded.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMdiSubWindow>
#include <QMenu>

namespace bp {

TDocumentCommands::TDocumentCommands(QWidget& parent, TChildWindows& children,
                                     TFileDialogs& dialogs, TWindowValues& values,
                                     TProjectCommands& projects, const TMainActions& actions,
                                     std::function<void()> changed)
    : FParent(parent), FChildren(children), FDialogs(dialogs), FProjects(projects),
      FChanged(std::move(changed)),
      FRecent(
          values, *actions.mnuFileReopen,
          [this](const QString& name) { guarded(&FParent, [&] { ReopenProject(name); }); },
          [this](const QString& name) { guarded(&FParent, [&] { ReopenDocument(name); }); })
{
}

void TDocumentCommands::Connect(const TMainActions& a)
{
    const auto on = [this](QAction* action, std::function<void()> command) {
        QObject::connect(action, &QAction::triggered, &FParent,
                         [this, command = std::move(command)] { guarded(&FParent, command); });
    };
    for (int type = 0; type < kDocTypeCount; ++type) {
        const auto make = [this, type] { NewDocument(static_cast<TDocType>(type)); };
        on(a.mnuFileNewDoc[type], make);
        on(a.mnpFileNew->actions().at(type), make);
    }
    on(a.mnuFileOpenDoc, [this] { OpenDocClick(); });
    on(a.mnuFileSave, [this] { SaveDoc(); });
    on(a.mnuFileSaveAs, [this] { SaveDocAs(); });
    on(a.mnuFileClose, [this] { CloseDoc(); });
    on(a.mnuFileCloseAll, [this] { mnuFileCloseAllClick(); });
}

TcwEditBase* TDocumentCommands::NewDocument(TDocType docType)
{
    ++FNewDocCount;
    std::unique_ptr<TcwEditBase> editor = FChildren.CreateEditor();
    editor->CreateNew(FNewDocCount, docType);
    TcwEditBase* shown = editor.release();
    FChildren.Show(shown);
    FChanged();
    return shown;
}

bool TDocumentCommands::ExecuteOpenDocDialog()
{
    FileDialogOptions& open = FDialogs.Open;
    open.filter = FDocTypes.OpenDialogFilter();
    open.fileName.clear();
    open.multiSelect = true;
    open.readOnlyChoice = true;
    const FileDialogResult r = prompter().openFileDialog(&FParent, open);
    open.readOnly = r.readOnly;
    if (!r.accepted || r.files.isEmpty())
        return false;
    open.filterIndex = r.filterIndex;
    FLastOpenFiles = r.files;
    open.fileName = r.files.first();
    open.initialDir = files::extractFileDir(r.files.first());
    FDialogs.Save.initialDir = open.initialDir;
    return true;
}

bool TDocumentCommands::OpenReadOnly() const
{
    return FDialogs.Open.readOnly;
}

void TDocumentCommands::ShowFile(const QString& fileName)
{
    const int index = FChildren.FindWindowByPath(fileName);
    if (index >= 0)
        FChildren.Activate(index);
    else
        FChildren.OpenEditor(fileName);
}

void TDocumentCommands::OpenChosenFile(const QString& fileName)
{
    const int index = FChildren.FindWindowByPath(fileName);
    if (index >= 0) {
        FChildren.Activate(index);
    } else {
        FChildren.OpenEditor(fileName);
        FRecent.AddFile(fileName);
    }
}

void TDocumentCommands::OpenDocClick()
{
    if (ExecuteOpenDocDialog()) {
        for (const QString& file : std::as_const(FLastOpenFiles))
            OpenChosenFile(file);
    }
    FChanged();
}

void TDocumentCommands::OpenAtLine(const QString& path, int lineNumber)
{
    if (!files::exists(path))
        throw cantFind(path);
    OpenChosenFile(path);
    // The file's window is the active one now, of the variant in use.
    if (TcwEditBase* editor = FChildren.ActiveEditor())
        editor->GoToLine(lineNumber);
    FChanged();
}

bool TDocumentCommands::ExecuteSaveDialog(TDocType docType, QString& fileName)
{
    FileDialogOptions& save = FDialogs.Save;
    save.defaultExt.clear();
    save.filter = FDocTypes.SaveDialogFilter(docType);
    save.filterIndex = 1;
    save.fileName.clear();
    save.overwritePrompt = true;
    return FDialogs.ExecuteSave(&FParent, DocTypeExtension(docType), fileName);
}

void TDocumentCommands::SaveDoc()
{
    if (TcwEditBase* editor = FChildren.ActiveEditor())
        editor->Save();
}

void TDocumentCommands::SaveDocAs()
{
    if (TcwEditBase* editor = FChildren.ActiveEditor())
        editor->SaveAs();
}

void TDocumentCommands::CloseDoc()
{
    if (QMdiSubWindow* sub = FChildren.Active())
        sub->close();
}

void TDocumentCommands::mnuFileCloseAllClick()
{
    const QList<QMdiSubWindow*> children = FChildren.Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (!qobject_cast<TcwEditBase*>((*it)->widget()))
            continue;
        if (!(*it)->close())
            break;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    FChanged();
}

void TDocumentCommands::FollowInDialogs(const QString& fileName, const QString& filter)
{
    FileDialogOptions& open = FDialogs.Open;
    open.filter = filter;
    open.fileName = fileName;
    open.initialDir = files::extractFileDir(fileName);
    FDialogs.Save.initialDir = open.initialDir;
}

void TDocumentCommands::ReopenDocument(const QString& fileName)
{
    if (fileName.isEmpty())
        return;
    if (!files::exists(fileName))
        throw cantFind(fileName);
    FollowInDialogs(fileName, FDocTypes.OpenDialogFilter());
    ShowFile(fileName);
    FRecent.AddFile(fileName);
    FChanged();
}

void TDocumentCommands::ReopenProject(const QString& fileName)
{
    if (fileName.isEmpty())
        return;
    if (!files::exists(fileName))
        throw cantFind(fileName);
    if (!FProjects.CloseProject())
        return;
    FollowInDialogs(fileName, QStringLiteral("Brewpad Project (*.jpr)|*.jpr"));
    FProjects.LoadProject(fileName);
    FRecent.AddProject(fileName);
    FProjects.ToggleProjectManager();
    FChanged();
}

void TDocumentCommands::OpenStartFiles(const QStringList& names)
{
    for (const QString& arg : names) {
        const QString name = files::exactName(arg);
        if (!files::exists(name))
            continue;
        guarded(&FParent, [&] {
            FChildren.OpenEditor(files::fullPath(name));
            FDialogs.Open.initialDir = files::extractFileDir(files::fullPath(name));
        });
    }
}

void TDocumentCommands::OpenFiles(const QStringList& names)
{
    for (const QString& name : names) {
        if (files::extractFileExt(name).toUpper() != QStringLiteral(".JPR"))
            continue;
        if (!FProjects.CloseProject())
            return;
        const QString path = files::fullPath(name);
        FProjects.LoadProject(path);
        FDialogs.Open.initialDir = files::extractFileDir(path);
        FDialogs.Save.initialDir = FDialogs.Open.initialDir;
        FChanged();
        FProjects.ToggleProjectManager();
        return;
    }
    for (const QString& name : names) {
        const int index = FChildren.FindWindowByPath(name);
        if (index >= 0) {
            FChildren.Activate(index);
            continue;
        }
        if (files::exists(name)) {
            FChildren.OpenEditor(name);
            FDialogs.Open.initialDir = files::extractFileDir(name);
        }
        FRecent.AddFile(name);
        FChanged();
    }
    FDialogs.Save.initialDir = FDialogs.Open.initialDir;
}

} // namespace bp
