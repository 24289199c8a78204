// The main window's document commands, recent files and document tabs.
#include "mainwin/fmain.h"

#include "editor/cedit.h"
#include "editor/cedit95.h"
#include "editor/textcontrol.h"
#include "mainwin/kxfileio.h"
#include "model/document.h"
#include "model/project.h"
#include "platform/apptitle.h"
#include "platform/errors.h"
#include "platform/guarded.h"
#include "platform/fileservices.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QTabBar>

namespace bp {

// ---------------------------------------------------------------------------
// Editor windows

TcwEditBase* TfrmMain::ActiveAnyEditor() const
{
    QMdiSubWindow* sub = FMdiArea->activeSubWindow();
    return sub ? qobject_cast<TcwEditBase*>(sub->widget()) : nullptr;
}

TcwEditBase* TfrmMain::ActiveEditor() const
{
    TcwEditBase* editor = ActiveAnyEditor();
    if (!editor)
        return nullptr;
    const bool current = FIsWin95 ? qobject_cast<TcwEdit95*>(editor) != nullptr
                                  : qobject_cast<TcwEdit*>(editor) != nullptr;
    return current ? editor : nullptr;
}

QList<TcwEditBase*> TfrmMain::Editors() const
{
    QList<TcwEditBase*> out;
    for (QMdiSubWindow* sub : FMdiArea->subWindowList())
        if (auto* editor = qobject_cast<TcwEditBase*>(sub->widget()))
            out << editor;
    return out;
}

TcwEditBase* TfrmMain::CreateEditor()
{
    if (FIsWin95)
        return new TcwEdit95(*this);
    return new TcwEdit(*this);
}

void TfrmMain::ShowChild(TcwEditBase* editor)
{
    QMdiSubWindow* sub = FMdiArea->addSubWindow(editor);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->resize(editor->size());
    sub->show();
    FMdiArea->setActiveSubWindow(sub);
    // Typing goes into the new text at once.
    editor->Text()->setFocus();
}

TcwEditBase* TfrmMain::OpenEditor(const QString& fileName)
{
    std::unique_ptr<TcwEditBase> editor(CreateEditor());
    editor->CreateFromFile(fileName);
    TcwEditBase* shown = editor.release();
    ShowChild(shown);
    return shown;
}

void TfrmMain::ActivateChild(int index)
{
    const QList<QMdiSubWindow*> children = FMdiArea->subWindowList();
    if (index < 0 || index >= children.size())
        return;
    QMdiSubWindow* sub = children[index];
    if (sub->isMinimized())
        sub->showNormal();
    FMdiArea->setActiveSubWindow(sub);
    if (auto* editor = qobject_cast<TcwEditBase*>(sub->widget()))
        editor->Text()->setFocus();
}

int TfrmMain::FindWindowByPath(const QString& pathName) const
{
    const QList<QMdiSubWindow*> children = FMdiArea->subWindowList();
    int found = -1;
    for (int i = int(children.size()) - 1; i >= 0; --i) {
        auto* editor = qobject_cast<TcwEditBase*>(children[i]->widget());
        const bool current = FIsWin95 ? qobject_cast<TcwEdit95*>(editor) != nullptr
                                      : qobject_cast<TcwEdit*>(editor) != nullptr;
        if (current && editor->HasDocument() &&
            SameNameAsciiCase(editor->GetPathName(), pathName))
            found = i;
    }
    return found;
}

int TfrmMain::FindWindowByName(const QString& fileName) const
{
    const QList<QMdiSubWindow*> children = FMdiArea->subWindowList();
    for (int i = 0; i < children.size(); ++i) {
        auto* editor = qobject_cast<TcwEditBase*>(children[i]->widget());
        const bool current = FIsWin95 ? qobject_cast<TcwEdit95*>(editor) != nullptr
                                      : qobject_cast<TcwEdit*>(editor) != nullptr;
        if (current && editor->HasDocument() && editor->GetFileName() == fileName)
            return i;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// New, open, save, close

TcwEditBase* TfrmMain::NewDocument(TDocType docType)
{
    ++FNewDocCount;
    std::unique_ptr<TcwEditBase> editor(CreateEditor());
    editor->CreateNew(FNewDocCount, docType);
    TcwEditBase* shown = editor.release();
    ShowChild(shown);
    UpdateMenuItems();
    return shown;
}

bool TfrmMain::ExecuteOpenDocDialog()
{
    FOpenDialog.filter = FDocTypes.OpenDialogFilter();
    FOpenDialog.fileName.clear();
    FOpenDialog.multiSelect = true;
    FOpenDialog.readOnlyChoice = true;
    const FileDialogResult r = prompter().openFileDialog(this, FOpenDialog);
    FOpenDialog.readOnly = r.readOnly;
    if (!r.accepted || r.files.isEmpty())
        return false;
    FOpenDialog.filterIndex = r.filterIndex;
    FLastOpenFiles = r.files;
    FOpenDialog.fileName = r.files.first();
    FOpenDialog.initialDir = files::extractFileDir(r.files.first());
    FSaveDialog.initialDir = FOpenDialog.initialDir;
    return true;
}

void TfrmMain::OpenDocClick()
{
    if (ExecuteOpenDocDialog()) {
        for (const QString& file : std::as_const(FLastOpenFiles)) {
            const int index = FindWindowByPath(file);
            if (index >= 0) {
                ActivateChild(index);
            } else {
                OpenEditor(file);
                AddRecentFile(file);
            }
        }
    }
    UpdateMenuItems();
}

bool TfrmMain::ExecuteSaveDialog(TDocType docType, QString& fileName)
{
    FSaveDialog.defaultExt.clear();
    FSaveDialog.filter = FDocTypes.SaveDialogFilter(docType);
    FSaveDialog.filterIndex = 1;
    FSaveDialog.fileName.clear();
    FSaveDialog.overwritePrompt = true;
    const FileDialogResult r = prompter().saveFileDialog(this, FSaveDialog);
    if (!r.accepted || r.files.isEmpty())
        return false;
    fileName = r.files.first();
    FSaveDialog.fileName = fileName;
    FSaveDialog.initialDir = files::extractFileDir(fileName);
    FOpenDialog.initialDir = FSaveDialog.initialDir;
    return true;
}

void TfrmMain::SetSaveDialogFileName(const QString& fileName)
{
    FSaveDialog.fileName = fileName;
}

void TfrmMain::SaveDoc()
{
    if (TcwEditBase* editor = ActiveEditor())
        editor->Save();
}

void TfrmMain::SaveDocAs()
{
    if (TcwEditBase* editor = ActiveEditor())
        editor->SaveAs();
}

void TfrmMain::CloseDoc()
{
    if (QMdiSubWindow* sub = FMdiArea->activeSubWindow())
        sub->close();
}

void TfrmMain::mnuFileCloseAllClick()
{
    // Each modified editor asks its own question, as closing it alone does;
    // Cancel stops the command there.
    const QList<QMdiSubWindow*> children = FMdiArea->subWindowList();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (!qobject_cast<TcwEditBase*>((*it)->widget()))
            continue;
        if (!(*it)->close())
            break;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    UpdateMenuItems();
}

void TfrmMain::CloseAllDocuments()
{
    const QList<TcwEditBase*> editors = Editors();
    for (auto it = editors.rbegin(); it != editors.rend(); ++it)
        (*it)->ForceClose();
    // The windows are gone when the call returns.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// ---------------------------------------------------------------------------
// Recent files and the Reopen menu

void TfrmMain::AddRecentFile(const QString& pathName)
{
    AddRecentName(FWindow.RecentDocuments, pathName);
    BuildReopenMenu();
}

void TfrmMain::AddRecentProject(const QString& fileName)
{
    AddRecentName(FWindow.RecentProjects, fileName);
    BuildReopenMenu();
}

void TfrmMain::BuildReopenMenu()
{
    const QList<QAction*> old = FReopenMenu->actions();
    for (auto it = old.rbegin(); it != old.rend(); ++it) {
        FReopenMenu->removeAction(*it);
        if ((*it)->parent() == FReopenMenu)
            delete *it;
    }
    int number = 0;
    for (const QString& name : std::as_const(FWindow.RecentProjects)) {
        auto* item = new TFileMenuItem(FReopenMenu, name, number++);
        connect(item, &QAction::triggered, this,
                [this, item] { guarded(this, [&] { mnuFileReopenProjClick(item->FileName()); }); });
        FReopenMenu->addAction(item);
    }
    if (!FWindow.RecentProjects.isEmpty() || !FWindow.RecentDocuments.isEmpty())
        FReopenMenu->addSeparator()->setParent(FReopenMenu);
    number = kMaxRecentFiles;
    for (const QString& name : std::as_const(FWindow.RecentDocuments)) {
        auto* item = new TFileMenuItem(FReopenMenu, name, number++);
        connect(item, &QAction::triggered, this,
                [this, item] { guarded(this, [&] { mnuFileReopenDocClick(item->FileName()); }); });
        FReopenMenu->addAction(item);
    }
    FItems.value(QStringLiteral("mnuFileReopen"))
        ->setEnabled(!FWindow.RecentProjects.isEmpty() || !FWindow.RecentDocuments.isEmpty());
}

void TfrmMain::mnuFileReopenDocClick(const QString& fileName)
{
    if (fileName.isEmpty())
        return;
    if (!files::exists(fileName))
        throw cantFind(fileName);
    FOpenDialog.filter = FDocTypes.OpenDialogFilter();
    FOpenDialog.fileName = fileName;
    FOpenDialog.initialDir = files::extractFileDir(fileName);
    FSaveDialog.initialDir = FOpenDialog.initialDir;
    const int index = FindWindowByPath(fileName);
    if (index >= 0)
        ActivateChild(index);
    else
        OpenEditor(fileName);
    AddRecentFile(fileName);
    UpdateMenuItems();
}

void TfrmMain::mnuFileReopenProjClick(const QString& fileName)
{
    if (fileName.isEmpty())
        return;
    if (!files::exists(fileName))
        throw cantFind(fileName);
    if (FCurrentProject && !CloseProject())
        return;
    FOpenDialog.filter = QStringLiteral("Brewpad Project (*.jpr)|*.jpr");
    FOpenDialog.fileName = fileName;
    FOpenDialog.initialDir = files::extractFileDir(fileName);
    FSaveDialog.initialDir = FOpenDialog.initialDir;
    LoadProject(fileName);
    AddRecentProject(fileName);
    mnuProjectViewProjectManagerClick();
    UpdateMenuItems();
}

void TfrmMain::LoadProject(const QString& fileName)
{
    FCurrentProject = TProject::CreateFromFile(fileName);
    UpdateCaption();
}

// ---------------------------------------------------------------------------
// Files dropped on the window

void TfrmMain::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) {
                event->acceptProposedAction();
                return;
            }
        }
    }
}

void TfrmMain::dropEvent(QDropEvent* event)
{
    QStringList names;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            names << files::exactName(QDir::toNativeSeparators(url.toLocalFile()));
    event->acceptProposedAction();
    guarded(this, [&] { OpenFiles(names); });
}

void TfrmMain::OpenFiles(const QStringList& names)
{
    bool projectLoaded = false;
    for (const QString& name : names) {
        if (files::extractFileExt(name).toUpper() != QStringLiteral(".JPR"))
            continue;
        if (FCurrentProject && !CloseProject())
            return;
        LoadProject(files::fullPath(name));
        FOpenDialog.initialDir = files::extractFileDir(files::fullPath(name));
        projectLoaded = true;
        break;
    }
    if (!projectLoaded) {
        for (const QString& name : names) {
            const int index = FindWindowByPath(name);
            if (index >= 0) {
                ActivateChild(index);
                continue;
            }
            if (files::exists(name)) {
                OpenEditor(name);
                FOpenDialog.initialDir = files::extractFileDir(name);
            }
            AddRecentFile(name);
            UpdateMenuItems();
        }
    }
    FSaveDialog.initialDir = FOpenDialog.initialDir;
    if (projectLoaded) {
        UpdateCaption();
        UpdateMenuItems();
        mnuProjectViewProjectManagerClick();
    }
}

// ---------------------------------------------------------------------------
// Document tabs

void TfrmMain::RenameWindowTab(const QString& oldCaption, const QString& newCaption)
{
    int index = -1;
    for (int i = 0; i < FTabs->count(); ++i) {
        if (FTabs->tabText(i) == oldCaption) {
            index = i;
            break;
        }
    }
    const bool wasSyncing = FSyncingTabs;
    FSyncingTabs = true;
    if (index < 0)
        FTabs->addTab(newCaption);
    else
        FTabs->setTabText(index, newCaption);
    FSyncingTabs = wasSyncing;
    if (FSettings.ShowDocTabs)
        FTabs->setVisible(FTabs->count() > 0);
}

void TfrmMain::RemoveWindowTab(const QString& caption)
{
    const bool wasSyncing = FSyncingTabs;
    FSyncingTabs = true;
    for (int i = 0; i < FTabs->count(); ++i) {
        if (FTabs->tabText(i) == caption) {
            FTabs->removeTab(i);
            break;
        }
    }
    FSyncingTabs = wasSyncing;
    if (FSettings.ShowDocTabs)
        FTabs->setVisible(FTabs->count() > 0);
}

void TfrmMain::SelectActiveTab()
{
    if (FSyncingTabs)
        return;
    FSyncingTabs = true;
    int index = -1;
    if (QMdiSubWindow* sub = FMdiArea->activeSubWindow()) {
        const QString caption = sub->widget() ? sub->widget()->windowTitle() : sub->windowTitle();
        for (int i = 0; i < FTabs->count(); ++i) {
            if (FTabs->tabText(i) == caption) {
                index = i;
                break;
            }
        }
    }
    FTabs->setCurrentIndex(index);
    FSyncingTabs = false;
}

void TfrmMain::tcWindowsChange(int index)
{
    if (FSyncingTabs || index < 0)
        return;
    FSyncingTabs = true;
    const QString text = FTabs->tabText(index);
    QMdiSubWindow* active = FMdiArea->activeSubWindow();
    const QString activeCaption =
        active && active->widget() ? active->widget()->windowTitle() : QString();
    if (activeCaption != text) {
        const QList<QMdiSubWindow*> children = FMdiArea->subWindowList();
        for (int i = 0; i < children.size(); ++i) {
            if (children[i]->widget() && children[i]->widget()->windowTitle() == text) {
                ActivateChild(i);
                break;
            }
        }
    }
    FSyncingTabs = false;
}

} // namespace bp
