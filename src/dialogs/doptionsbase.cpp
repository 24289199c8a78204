#include "dialogs/doptionsbase.h"

#include "dialogs/documentlistmodel.h"
#include "model/project.h"
#include "platform/errors.h"
#include "platform/textutil.h"
#include "platform/fileservices.h"
#include "platform/guarded.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace bp {

namespace {

constexpr int kEditWidth = 273;
constexpr int kPanelHeight = 41;


bool isProjectFile(const QString& path)
{
    return files::extractFileExt(path).compare(QLatin1String(".jpr"), Qt::CaseInsensitive) == 0;
}

} // namespace

TOptionBoxes OptionBoxesOf(const QString& options)
{
    TOptionBoxes boxes;
    boxes.Warnings = !options.contains(QLatin1String("-nowarn"));
    boxes.Optimize = options.contains(QLatin1String("-O"));
    boxes.Verbose = options.contains(QLatin1String("-verbose"));
    boxes.Debug = options.contains(QLatin1String("-g"));
    return boxes;
}

QString OptionStringOf(const TOptionBoxes& boxes)
{
    QString s;
    if (!boxes.Warnings)
        s += QLatin1String(" -nowarn");
    if (boxes.Optimize)
        s += QLatin1String(" -O");
    if (boxes.Verbose)
        s += QLatin1String(" -verbose");
    if (boxes.Debug)
        s += QLatin1String(" -g");
    return s;
}

TdlgOptionsBase::TdlgOptionsBase(IProjectManagerHost& host, QWidget* parent)
    : TProjectManager(parent), FHost(host), FModel(new TDocumentListModel(this))
{
    setWindowTitle(tr("Project Options"));
    FModel->OnRename = [this](const TDocumentRow& row, const QString& typed) {
        return Rename(row, typed);
    };

    // Name panel.
    auto* namePanel = new QFrame(this);
    namePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    namePanel->setMinimumHeight(kPanelHeight);
    auto* nameLabel = new QLabel(tr("Name:"), namePanel);
    edtProjectName = new QLineEdit(namePanel);
    edtProjectName->setMinimumWidth(kEditWidth);
    nameLabel->setBuddy(edtProjectName);
    auto* nameLayout = new QHBoxLayout(namePanel);
    nameLayout->addWidget(nameLabel);
    nameLayout->addWidget(edtProjectName, 1);

    // Compiler options page.
    auto* optionsPage = new QWidget;
    auto* dirLabel = new QLabel(tr("Output &Directory"), optionsPage);
    edtDirectory = new QLineEdit(optionsPage);
    edtDirectory->setMinimumWidth(kEditWidth);
    dirLabel->setBuddy(edtDirectory);
    auto* pathLabel = new QLabel(tr("&Search Path"), optionsPage);
    edtClassPath = new QLineEdit(optionsPage);
    edtClassPath->setMinimumWidth(kEditWidth);
    pathLabel->setBuddy(edtClassPath);
    auto* boxFrame = new QFrame(optionsPage);
    boxFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    chkWarnings = new QCheckBox(tr("Show &Warnings"), boxFrame);
    chkVerbose = new QCheckBox(tr("&Verbose"), boxFrame);
    chkOptimize = new QCheckBox(tr("&Optimize"), boxFrame);
    chkDebug = new QCheckBox(tr("&Include Debug Info"), boxFrame);
    auto* boxLayout = new QGridLayout(boxFrame);
    boxLayout->addWidget(chkWarnings, 0, 0);
    boxLayout->addWidget(chkVerbose, 0, 1);
    boxLayout->addWidget(chkOptimize, 1, 0);
    boxLayout->addWidget(chkDebug, 1, 1);
    auto* optionsLayout = new QGridLayout(optionsPage);
    optionsLayout->addWidget(dirLabel, 0, 0);
    optionsLayout->addWidget(edtDirectory, 0, 1);
    optionsLayout->addWidget(pathLabel, 1, 0);
    optionsLayout->addWidget(edtClassPath, 1, 1);
    optionsLayout->addWidget(boxFrame, 2, 0, 1, 2);
    optionsLayout->setRowStretch(3, 1);

    pgcProjectOptions = new QTabWidget(this);
    pgcProjectOptions->addTab(optionsPage, tr("Compiler Options"));

    // Button panel.
    cmdClose = new QPushButton(tr("Close"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(namePanel);
    layout->addWidget(pgcProjectOptions, 1);
    layout->addLayout(buttons);

    // Popup menu, also behind the tool buttons.
    mnpDocument = new QMenu(this);
    mnpDocumentOpen = mnpDocument->addAction(tr("Edit"), this, [this] { mnpDocumentOpenClick(); });
    mnpRemove = mnpDocument->addAction(tr("Remove from Project"), this, [this] { doDelete(); });
    mnpCompile = mnpDocument->addAction(tr("Compile"), this, [this] { mnpCompileClick(); });
    mnpBrowse = mnpDocument->addAction(tr("Load in Browser"), this, [this] { mnpBrowseClick(); });
    mnpAdd = mnpDocument->addAction(tr("Add File to Project..."), this, [this] { mnpAddClick(); });
    mnpDocument->addSeparator();
    mnpCut = mnpDocument->addAction(tr("Cut"), this, [this] { doCut(); });
    mnpCopy = mnpDocument->addAction(tr("Copy"), this, [this] { doCopy(); });
    mnpPaste = mnpDocument->addAction(tr("Paste"), this, [this] { doPaste(); });
    connect(mnpDocument, &QMenu::aboutToShow, this, [this] { mnpDocumentPopup(); });
    // The clipboard may change while the window is open, and Paste follows it.
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { mnpDocumentPopup(); });

    connect(cmdClose, &QPushButton::clicked, this, [this] {
        SaveOptions();
        close();
    });
    for (QLineEdit* edit : {edtProjectName, edtClassPath, edtDirectory})
        connect(edit, &QLineEdit::textChanged, this, [this] { SaveOptions(); });
    for (QCheckBox* box : {chkWarnings, chkVerbose, chkOptimize, chkDebug})
        connect(box, &QCheckBox::clicked, this, [this] { SaveOptions(); });

    SetBoxes(TOptionBoxes{false, false, false, false});
    SetControlsEnabled(false);
}

TdlgOptionsBase::~TdlgOptionsBase()
{
    if (FProject)
        FProject->SetOnChange(nullptr);
}

void TdlgOptionsBase::InstallDocumentsPage(QWidget* page, const QString& title)
{
    pgcProjectOptions->insertTab(0, page, title);
    pgcProjectOptions->setCurrentIndex(0);
    // The main window's Edit and Project menus act on the selection too.
    connect(DocumentSelection(), &QItemSelectionModel::selectionChanged, this, [this] {
        mnpDocumentPopup();
        FHost.UpdateMenuItems();
    });
    mnpDocumentPopup();
}

QToolBar* TdlgOptionsBase::CreateDocumentToolBar(QWidget* parent)
{
    auto* bar = new QToolBar(parent);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (QAction* action : {mnpDocumentOpen, mnpRemove, mnpCut, mnpCopy, mnpPaste, mnpAdd})
        bar->addAction(action);
    // The button that offers the commands a narrow window has no room for.
    if (auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(tr("More commands"));
    return bar;
}

void TdlgOptionsBase::SetControlsEnabled(bool enabled)
{
    for (QWidget* w :
         std::initializer_list<QWidget*>{edtProjectName, edtClassPath, edtDirectory, chkWarnings,
                                         chkVerbose, chkOptimize, chkDebug})
        w->setEnabled(enabled);
}

TOptionBoxes TdlgOptionsBase::Boxes() const
{
    return {chkWarnings->isChecked(), chkOptimize->isChecked(), chkVerbose->isChecked(),
            chkDebug->isChecked()};
}

void TdlgOptionsBase::SetBoxes(const TOptionBoxes& boxes)
{
    chkWarnings->setChecked(boxes.Warnings);
    chkOptimize->setChecked(boxes.Optimize);
    chkVerbose->setChecked(boxes.Verbose);
    chkDebug->setChecked(boxes.Debug);
}

void TdlgOptionsBase::SetProject(TProject* project)
{
    FUpdating = true;
    if (FProject)
        FProject->SetOnChange(nullptr);
    FProject = project;
    SetControlsEnabled(project != nullptr);
    if (project) {
        project->SetOnChange([this](TProject*) { RefreshDocuments(); });
        edtProjectName->setText(project->Name());
        edtClassPath->setText(project->ClassPath());
        edtDirectory->setText(project->OutputPath());
        SetBoxes(OptionBoxesOf(project->CompileOptions()));
        RefreshDocuments();
    } else {
        edtProjectName->clear();
        edtClassPath->clear();
        edtDirectory->clear();
        SetBoxes(TOptionBoxes{false, false, false, false});
    }
    FUpdating = false;
    mnpDocumentPopup();
}

void TdlgOptionsBase::SaveOptions()
{
    if (!FProject || FUpdating)
        return;
    FProject->SetName(TrimBlanksAndControls(edtProjectName->text()));
    FProject->SetClassPath(TrimBlanksAndControls(edtClassPath->text()));
    FProject->SetOutputPath(TrimBlanksAndControls(edtDirectory->text()));
    // The string is rebuilt only when a box differs from what the stored
    // string says: a string read back from the project file (without its
    // leading blank) or written by hand must not make the project modified
    // just by being looked at.
    const TOptionBoxes boxes = Boxes();
    if (boxes != OptionBoxesOf(FProject->CompileOptions()))
        FProject->SetCompileOptions(OptionStringOf(boxes));
}

void TdlgOptionsBase::RefreshDocuments()
{
    // One pass over the entries, each row taking what it shows from its own
    // entry: a lookup by name per row would make a large project slow.
    // The selection survives a refresh (each activation of the window makes
    // one); commands that take entries out clear it first.
    QSet<int> selected;
    for (int row : SelectedRows())
        selected.insert(FModel->Row(row).Entry);

    for (auto& list : FTypeLists)
        list.clear();
    std::vector<TDocumentRow> all;
    if (FProject) {
        all.resize(std::size_t(FProject->Count()));
        for (int i = 0; i < FProject->Count(); ++i) {
            TDocumentRow& row = all[std::size_t(i)];
            row.Entry = i;
            row.Name = FProject->EntryName(i);
            if (const TDocument* doc = FProject->Document(i)) {
                row.Path = doc->Path();
                row.Type = doc->DocType();
            } else {
                // Listed, not dropped: the user sees what the project still names.
                row.Missing = true;
                row.Path = files::extractFilePath(FProject->EntryPath(i));
                row.Type = DocTypeOfExtension(files::extractFileExt(row.Name));
            }
            FTypeLists[std::size_t(ordinal(row.Type))].push_back(i);
        }
    }
    const int tab = TypeTab();
    std::vector<TDocumentRow> rows;
    rows.reserve(all.size());
    for (int t = 0; t < kDocTypeCount; ++t) {
        if (tab != 0 && tab != t + 1)
            continue;
        for (int entry : FTypeLists[std::size_t(t)])
            rows.push_back(std::move(all[std::size_t(entry)]));
    }
    FModel->SetRows(std::move(rows));
    if (!selected.isEmpty()) {
        QItemSelection selection;
        for (int row = 0; row < FModel->Count(); ++row) {
            if (selected.contains(FModel->Row(row).Entry))
                selection.select(FModel->index(row, 0),
                                 FModel->index(row, TDocumentListModel::colCount - 1));
        }
        DocumentSelection()->select(selection, QItemSelectionModel::Select);
    }
    mnpDocumentPopup();
}

QList<int> TdlgOptionsBase::SelectedRows() const
{
    // A row counts as selected by its name column: a list that shows only
    // the names selects no other.
    QList<int> rows;
    const QItemSelection selection = DocumentSelection()->selection();
    for (const QItemSelectionRange& range : selection) {
        if (range.left() > TDocumentListModel::colName ||
            range.right() < TDocumentListModel::colName)
            continue;
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows << row;
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

bool TdlgOptionsBase::HasSelectedDocuments() const
{
    return !SelectedRows().isEmpty();
}

int TdlgOptionsBase::CurrentEntry(const TDocumentRow& row) const
{
    if (!FProject)
        return -1;
    // Entries are only appended or taken out through this window, so the
    // index is right unless the project changed since the last refresh.
    if (row.Entry < FProject->Count() && FProject->EntryName(row.Entry) == row.Name &&
        FProject->IsMissing(row.Entry) == row.Missing)
        return row.Entry;
    return FProject->Documents().IndexOf(row.Name);
}

QString TdlgOptionsBase::RowFullPath(const TDocumentRow& row) const
{
    const int entry = CurrentEntry(row);
    return entry >= 0 ? FProject->EntryPath(entry) : QString();
}

bool TdlgOptionsBase::CloseWindowOf(const TDocumentRow& row)
{
    // An entry without a document has no editor window; asking by its name
    // could close the window of another document that has the name.
    return row.Missing || FHost.CloseDocumentWindow(row.Name);
}

void TdlgOptionsBase::RemoveRows(std::vector<TDocumentRow> rows)
{
    std::vector<int> entries;
    for (const TDocumentRow& row : rows) {
        const int entry = CurrentEntry(row);
        if (entry >= 0)
            entries.push_back(entry);
    }
    std::sort(entries.begin(), entries.end());
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        FProject->RemoveEntry(*it);
}

void TdlgOptionsBase::mnpDocumentOpenClick()
{
    for (int row : SelectedRows())
        OpenRow(row);
}

void TdlgOptionsBase::OpenRow(int row)
{
    if (row < 0 || row >= FModel->Count())
        return;
    const TDocumentRow& r = FModel->Row(row);
    if (r.Missing)
        showError(this, cantFind(r.Path + r.Name).message());
    else
        FHost.OpenProjectDocument(r.Name);
}

void TdlgOptionsBase::doDelete()
{
    if (!FProject)
        return;
    // Each editor window closes with its own save question; Cancel keeps that
    // document and every one after it in the project.
    std::vector<TDocumentRow> removed;
    for (int row : SelectedRows()) {
        const TDocumentRow r = FModel->Row(row);
        if (!CloseWindowOf(r))
            break;
        removed.push_back(r);
    }
    RemoveRows(std::move(removed));
    DocumentSelection()->clearSelection(); // the entries after those removed moved up
    RefreshDocuments();
    FHost.UpdateMenuItems();
}

void TdlgOptionsBase::doCopy()
{
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty())
        return;
    const TDocumentRow r = FModel->Row(rows.first());
    if (!CloseWindowOf(r))
        return;
    const QString path = RowFullPath(r);
    auto* mime = new QMimeData;
    mime->setText(path);
    mime->setData(QLatin1String(kDocumentPathMime), path.toUtf8());
    QApplication::clipboard()->setMimeData(mime);
}

void TdlgOptionsBase::doCut()
{
    const QList<int> rows = SelectedRows();
    if (FProject && !rows.isEmpty()) {
        const TDocumentRow r = FModel->Row(rows.first());
        if (CloseWindowOf(r)) {
            const QString path = RowFullPath(r);
            auto* mime = new QMimeData;
            mime->setText(path);
            mime->setData(QLatin1String(kDocumentPathMime), path.toUtf8());
            QApplication::clipboard()->setMimeData(mime);
            RemoveRows({r});
            DocumentSelection()->clearSelection();
        }
    }
    RefreshDocuments();
    FHost.UpdateMenuItems();
}

QString TdlgOptionsBase::ClipboardPath() const
{
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime)
        return QString();
    if (mime->hasFormat(QLatin1String(kDocumentPathMime)))
        return QString::fromUtf8(mime->data(QLatin1String(kDocumentPathMime)));
    return mime->hasText() ? mime->text() : QString();
}

void TdlgOptionsBase::doPaste()
{
    const QString path = ClipboardPath();
    if (FProject && !path.isEmpty() && files::exists(path) && !files::isDirectory(path))
        guarded(this, [&] { FProject->AddFile(path); });
    RefreshDocuments();
    FHost.UpdateMenuItems();
}

void TdlgOptionsBase::mnpCompileClick()
{
    const QList<int> rows = SelectedRows();
    if (!rows.isEmpty() && FModel->Row(rows.first()).Type == TDocType::Java)
        FHost.CompileProjectDocument(FModel->Row(rows.first()).Name);
}

void TdlgOptionsBase::mnpBrowseClick()
{
    const QList<int> rows = SelectedRows();
    if (!rows.isEmpty() && FModel->Row(rows.first()).Type == TDocType::Html)
        FHost.BrowseProjectDocument(FModel->Row(rows.first()).Name);
}

void TdlgOptionsBase::mnpAddClick()
{
    const int tab = TypeTab();
    if (tab >= 1 && tab <= kDocTypeCount)
        FHost.SetFileFilterIndex(tab);
    FHost.AddFilesToProject();
}

void TdlgOptionsBase::mnpDocumentPopup()
{
    const QList<int> rows = SelectedRows();
    const bool any = !rows.isEmpty();
    mnpDocumentOpen->setEnabled(any);
    mnpRemove->setEnabled(any);
    mnpCut->setEnabled(any);
    mnpCopy->setEnabled(any);
    const TDocType first =
        any ? DocTypeOfExtension(files::extractFileExt(FModel->Row(rows.first()).Name))
            : TDocType::Other;
    // A hidden action counts as disabled, so it is shown before it is enabled.
    const bool compile = any && first == TDocType::Java;
    mnpCompile->setVisible(compile);
    mnpCompile->setEnabled(compile);
    const bool browse = any && first == TDocType::Html;
    mnpBrowse->setVisible(browse);
    mnpBrowse->setEnabled(browse);
    const QString path = ClipboardPath();
    mnpPaste->setEnabled(FProject && !path.isEmpty() && files::exists(path) &&
                         !files::isDirectory(path));
}

void TdlgOptionsBase::ShowDocumentMenu(const QPoint& globalPos)
{
    mnpDocument->popup(globalPos);
}

void TdlgOptionsBase::KeyReleased(int key)
{
    if (key == Qt::Key_Delete)
        doDelete(); // refreshes the list itself
}

QString TdlgOptionsBase::Rename(const TDocumentRow& row, const QString& typed)
{
    QString name = row.Name;
    const bool renamed = guarded(this, [&] {
        if (TDocument* doc = FProject ? FProject->RenameFile(row.Name, typed) : nullptr)
            name = doc->FileName();
    });
    if (renamed && name != row.Name)
        FHost.UpdateMenuItems();
    return name;
}

void TdlgOptionsBase::lvDocumentsFileDrop(const QStringList& files)
{
    const auto project = std::find_if(files.begin(), files.end(), isProjectFile);
    if (project != files.end()) {
        // Opening a project closes this window: that happens after the drop.
        const QString path = *project;
        IProjectManagerHost* host = &FHost;
        QTimer::singleShot(0, qApp, [host, path] { host->OpenProjectFile(path); });
        return;
    }
    if (!FProject) {
        const QPointer<TdlgOptionsBase> self(this);
        FHost.NewProject(); // which shows the new project here
        if (!self || !FProject)
            return;
    }
    for (const QString& path : files) {
        if (files::isDirectory(path))
            continue;
        if (!guarded(this, [&] { FProject->AddFile(path); }))
            break;
    }
    RefreshDocuments();
    FHost.UpdateMenuItems();
}

void TdlgOptionsBase::closeEvent(QCloseEvent* event)
{
    SaveOptions();
    event->accept();
    FHost.SetProjectManagerShown(false);
}

void TdlgOptionsBase::showEvent(QShowEvent* event)
{
    TProjectManager::showEvent(event);
    // The window is there for its documents: the list takes the keys first,
    // its first document selected (Delete, Enter and the arrows act on the
    // documents at once), and a stray key cannot rename the project.
    if (!FShownBefore) {
        FShownBefore = true;
        DocumentListControl()->setFocus();
        if (FModel->Count() > 0 && !DocumentSelection()->hasSelection())
            DocumentSelection()->setCurrentIndex(FModel->index(0, 0),
                                                 QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
    }
    // As a child window, activation comes from the frame around it.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()); sub && !FWatchingSubWindow) {
        FWatchingSubWindow = true;
        connect(sub, &QMdiSubWindow::windowStateChanged, this,
                [this](Qt::WindowStates old, Qt::WindowStates now) {
                    if ((now & Qt::WindowActive) && !(old & Qt::WindowActive))
                        RefreshDocuments();
                });
    }
}

bool TdlgOptionsBase::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        RefreshDocuments();
    return TProjectManager::event(event);
}

} // namespace bp
