#pragma once

#include "editor/mainservices.h"
#include "model/brewpaddefs.h"
#include "model/settings.h"
#include "platform/prompter.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrintDialog;
class QPrinter;
class QTabBar;
class QToolButton;

namespace bp {

class TProject;
class TcwEditBase;
class TdlgFind;

// The main window: an MDI frame holding the editor windows and the project
// manager, the menus and tool buttons, the document tab bar and the status
// line. It owns the document type table, the open project and the settings.
class TfrmMain : public QMainWindow, public IMainWindow {
    Q_OBJECT

public:
    // Args are the command line's file names, without the program name.
    explicit TfrmMain(const QStringList& args, QWidget* parent = nullptr);
    ~TfrmMain() override;

    TSettings& Settings() { return FSettings; }
    const TWindowValues& WindowValues() const { return FWindow; }
    bool IsWin95() const { return FIsWin95; }
    bool ProjectManagerShown() const { return FProjectManagerShown; }
    QMdiArea* MdiArea() const { return FMdiArea; }
    const FileDialogOptions& SaveDialog() const { return FSaveDialog; }

    // What the editor windows use.
    TProject* CurrentProject() const override { return FCurrentProject.get(); }
    const TDocTypeList& DocTypes() const override { return FDocTypes; }
    const TSettings& CurrentSettings() const override { return FSettings; }
    QFont EditorFont() const override;
    bool HasPrintDialog() const override { return FPrintDialog != nullptr; }
    void RenameWindowTab(const QString& oldCaption, const QString& newCaption) override;
    void RemoveWindowTab(const QString& caption) override;
    bool ExecuteSaveDialog(TDocType docType, QString& fileName) override;
    void SetSaveDialogFileName(const QString& fileName) override;
    void AddRecentFile(const QString& pathName) override;
    bool OpenReadOnly() const override { return FOpenDialog.readOnly; }
    QString FindText() const override;
    TSearchOptions FindOptions() const override;
    QString ReplaceFindText() const override;
    QString ReplaceText() const override;
    TSearchOptions ReplaceOptions() const override;
    void SearchFind() override;
    void SearchReplace() override;
    std::optional<int> AskLineNumber() override;

    // Search and help relays to the active editor.
    void SearchFindNext();
    void dlgFindFind();
    void dlgReplaceFind();
    void dlgReplaceReplace();
    void mnuSearchGotoLineClick();
    void mnuHelpAboutClick();
    void cmdCompileClick();
    TdlgFind* dlgFind() const { return FFindDialog; }
    TdlgFind* dlgReplace() const { return FReplaceDialog; }

    // The active child when it is an editor of the current variant, of
    // either variant, or null.
    TcwEditBase* ActiveEditor() const;
    TcwEditBase* ActiveAnyEditor() const;
    // Every editor window, in child order.
    QList<TcwEditBase*> Editors() const;

    // Document commands.
    TcwEditBase* NewDocument(TDocType docType);
    void OpenDocClick();
    bool ExecuteOpenDocDialog();
    void SaveDoc();
    void SaveDocAs();
    void CloseDoc();
    void mnuFileCloseAllClick();
    // Closes every editor without questions (the project commands ask first).
    void CloseAllDocuments();
    void OpenFiles(const QStringList& names);
    void AddRecentProject(const QString& fileName);
    void BuildReopenMenu();
    // Index in the MDI child list of the editor showing that file, or -1.
    int FindWindowByPath(const QString& pathName) const;
    int FindWindowByName(const QString& fileName) const;
    void SelectActiveTab();
    void tcWindowsChange(int index);

    // The caption for the open project (or for none).
    QString ProjectCaption() const;

    // The one-line status text other windows write into.
    QString StatusText() const;

    // Recomputes the enabled state of every menu item and tool button.
    void UpdateMenuItems(QObject* sender = nullptr) override;
    void SetStatusText(const QString& text) override;

    // Settings passes over the store, each followed by applying the settings.
    void LoadSettings();
    void SaveSettings();

    // Project commands.
    void NewProject();
    bool CloseProject();
    bool SaveProject();
    bool SaveProjectAs();
    void SaveProjectClick();
    void mnuProjectViewProjectManagerClick();
    void SetProjectManagerShown(bool shown);

    // Closes the main window through the close sequence.
    void ExitApp();

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    bool QueryChildrenClose();
    bool FormCloseQuery();
    void FormClose();

    void createMenus();
    void createSpeedPanel();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     const QString& hint = QString(), const QKeySequence& shortcut = {});
    QToolButton* addButton(const char* name, int left, const QString& tooltip, int icon);
    void ApplySettings();
    void UpdateCaption();
    bool ExecuteProjectSaveDialog(QString& fileName);
    void mnuProjectClick();
    void cmdNewClick();
    // Connects a menu item to a command run through guarded().
    void onItem(const char* name, std::function<void()> command);
    void connectDocumentCommands();
    void connectEditCommands();
    // Makes an editor window of the current variant for a file, a document
    // of the project, or (docType >= 0) a new document.
    TcwEditBase* CreateEditor();
    TcwEditBase* OpenEditor(const QString& fileName);
    void ShowChild(TcwEditBase* editor);
    void ActivateChild(int index);
    void mnuFileReopenDocClick(const QString& fileName);
    void mnuFileReopenProjClick(const QString& fileName);
    void LoadProject(const QString& fileName);

    QStringList FArgs;
    bool FShown = false;
    bool FIsWin95 = true;
    TSettings FSettings;
    TWindowValues FWindow;
    TDocTypeList FDocTypes;
    std::unique_ptr<TProject> FCurrentProject;
    qint32 FNewDocCount = 0;
    bool FProjectManagerShown = false;
    bool FSyncingTabs = false;
    FileDialogOptions FOpenDialog;
    QStringList FLastOpenFiles; // the files chosen in the last open dialog
    FileDialogOptions FSaveDialog;
    std::unique_ptr<QPrinter> FPrinter;
    QPrintDialog* FPrintDialog = nullptr;

    QMdiArea* FMdiArea = nullptr;
    QWidget* FSpeedPanel = nullptr;
    QTabBar* FTabs = nullptr; // tcWindows
    QMenu* FNewPopup = nullptr; // mnpFileNew
    TdlgFind* FFindDialog = nullptr;
    TdlgFind* FReplaceDialog = nullptr;
    QMenu* FReopenMenu = nullptr;
    QMenu* FProjectMenu = nullptr;
    QHash<QString, QAction*> FItems;
    QHash<QString, QToolButton*> FButtons;

public:
    // Menu items and tool buttons by their names ("mnuFileSave", "cmdOpen").
    QAction* item(const QString& name) const { return FItems.value(name); }
    QToolButton* button(const QString& name) const { return FButtons.value(name); }
    QTabBar* tcWindows() const { return FTabs; }
};

} // namespace bp
