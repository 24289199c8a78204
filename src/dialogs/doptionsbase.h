#pragma once

#include "dialogs/projectmanager.h"
#include "model/brewpaddefs.h"

#include <QList>

#include <array>
#include <vector>

class QAction;
class QCheckBox;
class QItemSelectionModel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolBar;
class QVBoxLayout;

namespace bp {

class TDocumentListModel;
struct TDocumentRow;

// The four option boxes of the compiler options page.
struct TOptionBoxes {
    bool Warnings = true;
    bool Optimize = false;
    bool Verbose = false;
    bool Debug = false;
    bool operator==(const TOptionBoxes&) const = default;
};

// The boxes an option string sets: each option is found anywhere in the
// string, with its case, so a hand-written "-O" or "-g:none" counts too.
TOptionBoxes OptionBoxesOf(const QString& options);
// The option string of the boxes: " -nowarn", " -O", " -verbose", " -g" in
// this order, each with its leading blank; empty for the defaults.
QString OptionStringOf(const TOptionBoxes& boxes);

// The MIME type under which the manager puts a document's full path on the
// clipboard, beside the same path as plain text.
inline constexpr char kDocumentPathMime[] = "application/x-brewpad-document-path";

// What both variants of the project manager share: the name panel, the
// compiler options page, the Close button, the document commands and the
// list's rows. A variant adds its documents page with its own list control.
class TdlgOptionsBase : public TProjectManager {
    Q_OBJECT
public:
    TdlgOptionsBase(IProjectManagerHost& host, QWidget* parent);
    ~TdlgOptionsBase() override;

    void SetProject(TProject* project) override;
    void RefreshDocuments() override;
    void SaveOptions() override;

    TProject* Project() const { return FProject; }
    TDocumentListModel* Model() const { return FModel; }
    // The type tab chosen: 0 All, then Java, HTML, Text, Other.
    virtual int TypeTab() const = 0;
    virtual void SetTypeTab(int tab) = 0;
    // The list's rows that are selected, in list order.
    QList<int> SelectedRows() const;
    bool HasSelectedDocuments() const override;

    // The commands of the document list's popup menu and tool buttons.
    void mnpDocumentOpenClick();
    void doDelete() override;
    void mnpCompileClick();
    void mnpBrowseClick();
    void mnpAddClick();
    void doCut() override;
    void doCopy() override;
    void doPaste() override;
    // Enables the commands for the selection and the clipboard.
    void mnpDocumentPopup();
    // The dropped files: a project file opens as the project (the first one,
    // after the drop has ended), any other file is added to the project.
    void lvDocumentsFileDrop(const QStringList& files);

    QLineEdit* edtProjectName;
    QTabWidget* pgcProjectOptions;
    QLineEdit* edtDirectory;
    QLineEdit* edtClassPath;
    QCheckBox* chkWarnings;
    QCheckBox* chkVerbose;
    QCheckBox* chkOptimize;
    QCheckBox* chkDebug;
    QPushButton* cmdClose;

    QMenu* mnpDocument;
    QAction* mnpDocumentOpen;
    QAction* mnpRemove;
    QAction* mnpCompile;
    QAction* mnpBrowse;
    QAction* mnpAdd;
    QAction* mnpCut;
    QAction* mnpCopy;
    QAction* mnpPaste;

protected:
    virtual QItemSelectionModel* DocumentSelection() const = 0;
    // The control that lists the documents and takes their keys.
    virtual QWidget* DocumentListControl() const = 0;
    // Puts the variant's documents page first in the page control.
    void InstallDocumentsPage(QWidget* page, const QString& title);
    // A tool bar with the document commands, for a documents page.
    QToolBar* CreateDocumentToolBar(QWidget* parent);
    void ShowDocumentMenu(const QPoint& globalPos);
    void OpenRow(int row);
    void KeyReleased(int key);

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

    IProjectManagerHost& FHost;

private:
    // The entry index of a row as it stands now; -1 when the project no
    // longer holds it.
    int CurrentEntry(const TDocumentRow& row) const;
    QString RowFullPath(const TDocumentRow& row) const;
    // Closes the row's editor window; false when the user cancelled.
    bool CloseWindowOf(const TDocumentRow& row);
    // Takes the entries out of the project, last first so that the indices
    // of the others stay valid.
    void RemoveRows(std::vector<TDocumentRow> rows);
    QString ClipboardPath() const;
    QString Rename(const TDocumentRow& row, const QString& typed);
    void SetControlsEnabled(bool enabled);
    TOptionBoxes Boxes() const;
    void SetBoxes(const TOptionBoxes& boxes);

    bool FUpdating = false;
    TProject* FProject = nullptr;
    TDocumentListModel* FModel;
    // Entry indices of the project's documents by type, in project order.
    std::array<std::vector<int>, kDocTypeCount> FTypeLists;
    bool FShownBefore = false;
    bool FWatchingSubWindow = false;
};

} // namespace bp
