#pragma once

#include "model/brewpaddefs.h"
#include "model/settings.h"
#include "platform/prompter.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

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

// The main window: an MDI frame holding the editor windows and the project
// manager, the menus and tool buttons, the document tab bar and the status
// line. It owns the document type table, the open project and the settings.
class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    // Args are the command line's file names, without the program name.
    explicit TfrmMain(const QStringList& args, QWidget* parent = nullptr);
    ~TfrmMain() override;

    TSettings& Settings() { return FSettings; }
    const TWindowValues& WindowValues() const { return FWindow; }
    TProject* CurrentProject() const { return FCurrentProject.get(); }
    const TDocTypeList& DocTypes() const { return FDocTypes; }
    bool IsWin95() const { return FIsWin95; }
    bool ProjectManagerShown() const { return FProjectManagerShown; }
    bool HasPrintDialog() const { return FPrintDialog != nullptr; }
    QMdiArea* MdiArea() const { return FMdiArea; }

    // The caption for the open project (or for none).
    QString ProjectCaption() const;

    // The one-line status text other windows write into.
    void SetStatusText(const QString& text);
    QString StatusText() const;

    // Recomputes the enabled state of every menu item and tool button.
    void UpdateMenuItems();

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
    // Runs one command, showing any error it raises in an error box.
    template <class F> void guarded(F&& command);

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
    FileDialogOptions FSaveDialog;
    std::unique_ptr<QPrinter> FPrinter;
    QPrintDialog* FPrintDialog = nullptr;

    QMdiArea* FMdiArea = nullptr;
    QWidget* FSpeedPanel = nullptr;
    QTabBar* FTabs = nullptr; // tcWindows
    QMenu* FNewPopup = nullptr; // mnpFileNew
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
