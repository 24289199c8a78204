#pragma once

#include "editor/mainservices.h"
#include "mainwin/mainactions.h"
#include "mainwin/projectcommands.h"
#include "model/recoverycopy.h"
#include "model/settings.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QMdiArea;
class QPrinter;
class QTabBar;
class QToolButton;

namespace bp {

class TChildWindows;
class TDocumentCommands;
class TEditCommands;
class TLaunchCommands;
class TRunCommands;
class TSearchCommands;
class TWindowCommands;
class TcwEditBase;
struct TMenuInputs;

// The main window: an MDI frame holding the editor windows, its menus and
// tool buttons, the document tab bar and the status line. It keeps the
// settings and the window's life (creation, first show, close); the commands
// live in controllers of their own, one per command family.
class TfrmMain : public QMainWindow, public IMainWindow {
    Q_OBJECT

public:
    // Args are the command line's file names, without the program name.
    explicit TfrmMain(const QStringList& args, QWidget* parent = nullptr);
    ~TfrmMain() override;

    TSettings& Settings() { return FSettings; }
    const TWindowValues& WindowValues() const { return FWindow; }
    bool IsWin95() const;
    bool ProjectManagerShown() const { return FProjects->ManagerShown(); }
    QMdiArea* MdiArea() const { return FMdiArea; }
    const FileDialogOptions& SaveDialog() const { return FDialogs.Save; }
    const TMainActions& Actions() const { return FActions; }

    // The command families.
    TChildWindows& Children() { return *FChildren; }
    TDocumentCommands& Documents() { return *FDocuments; }
    TProjectCommands& Projects() { return *FProjects; }
    TSearchCommands& Search() { return *FSearch; }
    TRunCommands& Run() { return *FRun; }
    TLaunchCommands& Launch() { return *FLaunch; }
    TWindowCommands& Windows() { return *FWindows; }

    // What the editor windows use.
    TProject* CurrentProject() const override { return FProjects->Current(); }
    const TSettings& CurrentSettings() const override { return FSettings; }
    QFont EditorFont() const override;
    TToolsPresent ToolsPresent() const override { return FTools; }
    QPrinter* Printer() override { return FPrinter.get(); }
    bool ClipboardHasText() const override { return FClipboardHasText; }
    void RenameWindowTab(const QString& oldCaption, const QString& newCaption) override;
    void RemoveWindowTab(const QString& caption) override;
    bool ExecuteSaveDialog(TDocType docType, QString& fileName) override;
    void AddRecentFile(const QString& pathName) override;
    bool OpenReadOnly() const override;
    void SetStatusText(const QString& text) override;
    TBrowserDde& BrowserDde() override;
    TSearchRequest FindRequest() const override;
    TSearchRequest ReplaceRequest() const override;
    void SearchFind() override;
    void SearchReplace() override;
    std::optional<int> AskLineNumber() override;
    bool FirstRecoveryCheck(const QString& dir) override { return FRecoveryChecks.First(dir); }
    void OpenAtLine(const QString& path, int lineNumber) override;

    // The active child when it is an editor of the variant in use, of
    // either variant, or null.
    TcwEditBase* ActiveEditor() const;
    TcwEditBase* ActiveAnyEditor() const;

    // The caption for the open project (or for none).
    QString ProjectCaption() const;
    // The one-line status text other windows write into.
    QString StatusText() const;

    // What the menu state is computed from, as things stand.
    TMenuInputs MenuInputs() const;
    // Brings the menu items, the tool buttons, the active editor's buttons
    // and the selected tab up to date. Runs when one of its inputs changes.
    void UpdateMenuItems();

    // Settings passes over the store, each followed by applying the settings.
    void LoadSettings();
    void SaveSettings();
    // Brings the windows in line with changed settings, and looks up the
    // programs they name.
    void ApplySettings();

    // Menu items and tool buttons by their names ("mnuFileSave", "cmdOpen"),
    // as the accessibility tree finds them.
    QAction* item(const QString& name) const;
    QToolButton* button(const QString& name) const;
    QTabBar* tcWindows() const { return FTabs; }

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildWindow();
    void connectCommands();
    void FormCreate();
    void FormShow();
    // Offers back the recovery copies in the current directory and in the
    // directories of the files named on the command line.
    void OfferStartRecoveryCopies();
    // Back to the stored position and size, a size too large cut to the
    // screen; without a stored size, two thirds of the screen, centred.
    void PlaceWindow();
    bool QueryChildrenClose();
    void FormClose();
    void UpdateCaption();
    void ProjectChanged();
    void EditorShown(TcwEditBase* editor);
    // Lets the active editor look at its file on disk, once the activation
    // that asks for it is over.
    void CheckActiveEditorOnDisk();
    void mnuHelpAboutClick();
    void mnuFileConfigureClick();
    void mnuFilePrintClick();

    QStringList FArgs;
    bool FShown = false;
    TSettings FSettings;
    TWindowValues FWindow;
    TToolsPresent FTools;
    TRecoveryChecks FRecoveryChecks;
    bool FClipboardHasText = false;
    bool FDiskCheckPending = false;
    TFileDialogs FDialogs;
    std::unique_ptr<QPrinter> FPrinter;

    QMdiArea* FMdiArea = nullptr;
    QWidget* FSpeedPanel = nullptr;
    QTabBar* FTabs = nullptr; // tcWindows
    TMainActions FActions;
    TSpeedButtons FButtons;

    std::unique_ptr<TChildWindows> FChildren;
    std::unique_ptr<TProjectCommands> FProjects;
    std::unique_ptr<TDocumentCommands> FDocuments;
    std::unique_ptr<TSearchCommands> FSearch;
    std::unique_ptr<TEditCommands> FEdit;
    std::unique_ptr<TRunCommands> FRun;
    std::unique_ptr<TLaunchCommands> FLaunch;
    std::unique_ptr<TWindowCommands> FWindows;
};

} // namespace bp
