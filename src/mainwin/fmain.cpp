#include "mainwin/fmain.h"

#include "editor/cedit.h"
#include "editor/cedit95.h"
#include "editor/textcontrol.h"
#include "mainwin/kxfileio.h"
#include "model/project.h"
#include "platform/apptitle.h"
#include "platform/errors.h"
#include "platform/guarded.h"
#include "platform/fileservices.h"
#include "platform/osversion.h"
#include "platform/registry.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace bp {

namespace {
const QString kProjectFilter = QStringLiteral("Brewpad Project (*.jpr)|*.jpr");
}

TfrmMain::TfrmMain(const QStringList& args, QWidget* parent) : QMainWindow(parent), FArgs(args)
{
    setObjectName(QStringLiteral("frmMain"));
    resize(545, 317);

    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    createSpeedPanel();
    layout->addWidget(FSpeedPanel);
    FMdiArea = new QMdiArea(client);
    FMdiArea->setObjectName(QStringLiteral("MdiArea"));
    FMdiArea->setBackground(palette().brush(QPalette::Dark));
    layout->addWidget(FMdiArea, 1);
    FTabs = new QTabBar(client);
    FTabs->setObjectName(QStringLiteral("tcWindows"));
    FTabs->setFixedHeight(20);
    FTabs->setExpanding(false);
    FTabs->setDocumentMode(true);
    layout->addWidget(FTabs);
    setCentralWidget(client);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setSizeGripEnabled(true);
    createMenus();
    connectDocumentCommands();
    connectEditCommands();
    connect(FMdiArea, &QMdiArea::subWindowActivated, this, [this] { UpdateMenuItems(); });
    connect(FTabs, &QTabBar::currentChanged, this, &TfrmMain::tcWindowsChange);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] { UpdateMenuItems(); });

    FormCreate();
}

TfrmMain::~TfrmMain()
{
    // The child windows go first: they refer to the project's documents and
    // to this window.
    const QList<QMdiSubWindow*> children = FMdiArea->subWindowList();
    for (QMdiSubWindow* sub : children)
        delete sub;
}

// ---------------------------------------------------------------------------
// Building the window

QAction* TfrmMain::addItem(QMenu* menu, const char* name, const QString& caption,
                           const QString& hint, const QKeySequence& shortcut)
{
    auto* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    // Every item shows its hint in the status line while highlighted; an item
    // without a hint empties the line.
    a->setStatusTip(hint);
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::ApplicationShortcut);
    }
    FItems.insert(a->objectName(), a);
    return a;
}

void TfrmMain::createMenus()
{
    auto* bar = menuBar();
    auto menu = [&](const char* name, const QString& caption, const QString& hint,
                    QMenu* parent = nullptr) {
        QMenu* m = parent ? parent->addMenu(caption) : bar->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setStatusTip(hint);
        FItems.insert(m->objectName(), m->menuAction());
        return m;
    };

    QMenu* file = menu("mnuFile", QStringLiteral("&File"), QStringLiteral("File related commands"));
    QMenu* fileNew = menu("mnuFileNew", QStringLiteral("&New"), QStringLiteral("Create a new file"), file);
    connect(addItem(fileNew, "mnuFileNewProject", QStringLiteral("Project")), &QAction::triggered,
            this, [this] { guarded(this, [this] { NewProject(); }); });
    fileNew->addSeparator();
    addItem(fileNew, "mnuFileNewJava", QStringLiteral("Java Document"));
    addItem(fileNew, "mnuFileNewHtml", QStringLiteral("Html Document"));
    addItem(fileNew, "mnuFileNewText", QStringLiteral("Text Document"));
    addItem(fileNew, "mnuFileNewOther", QStringLiteral("Other Document"));
    addItem(file, "mnuFileOpenDoc", QStringLiteral("&Open Document..."),
            QStringLiteral("Open an existing file"));
    addItem(file, "mnuFileOpenProject", QStringLiteral("Open &Project..."));
    FReopenMenu = menu("mnuFileReopen", QStringLiteral("&Reopen"), QString(), file);
    addItem(file, "mnuFileSave", QStringLiteral("&Save Document"), QStringLiteral("Save current file"),
            QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(addItem(file, "mnuFileSaveAll", QStringLiteral("Sa&ve All")), &QAction::triggered, this,
            [this] { guarded(this, [this] { SaveProjectClick(); }); });
    addItem(file, "mnuFileSaveAs", QStringLiteral("Save Document &As..."),
            QStringLiteral("Save current file as..."));
    connect(addItem(file, "mnuFileSaveProjectAs", QStringLiteral("Sav&e Project As...")),
            &QAction::triggered, this, [this] {
                guarded(this, [this] {
                    SaveProjectAs();
                    UpdateMenuItems();
                });
            });
    addItem(file, "mnuFileClose", QStringLiteral("&Close"), QStringLiteral("Close current file"));
    addItem(file, "mnuFileCloseAll", QStringLiteral("C&lose All"));
    file->addSeparator();
    addItem(file, "mnuFilePrint", QStringLiteral("&Print..."));
    file->addSeparator();
    addItem(file, "mnuFileConfigure", QStringLiteral("Confi&gure Editor..."));
    file->addSeparator();
    connect(addItem(file, "mnuFileExit", QStringLiteral("E&xit"), QStringLiteral("Exit the application")),
            &QAction::triggered, this, &TfrmMain::ExitApp);

    QMenu* edit = menu("mnuEdit", QStringLiteral("&Edit"), QString());
    addItem(edit, "mnuEditUndo", QStringLiteral("&Undo"), QString(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    edit->addSeparator();
    addItem(edit, "mnuEditCut", QStringLiteral("Cu&t"), QStringLiteral("Cut to clipboard"),
            QKeySequence(Qt::CTRL | Qt::Key_X));
    addItem(edit, "mnuEditCopy", QStringLiteral("&Copy"), QStringLiteral("Copy to clipboard"),
            QKeySequence(Qt::CTRL | Qt::Key_C));
    addItem(edit, "mnuEditPaste", QStringLiteral("&Paste"), QStringLiteral("Paste from clipboard"),
            QKeySequence(Qt::CTRL | Qt::Key_V));
    addItem(edit, "mnuEditDelete", QStringLiteral("&Delete"), QString(),
            QKeySequence(Qt::CTRL | Qt::Key_Delete));

    QMenu* search = menu("mnuSearch", QStringLiteral("&Search"), QString());
    addItem(search, "mnuSearchFind", QStringLiteral("&Find..."), QString(),
            QKeySequence(Qt::CTRL | Qt::Key_F));
    addItem(search, "mnuSearchFindNext", QStringLiteral("Find &Next"), QString(), QKeySequence(Qt::Key_F3));
    addItem(search, "mnuSearchReplace", QStringLiteral("&Replace..."), QString(),
            QKeySequence(Qt::CTRL | Qt::Key_R));
    search->addSeparator();
    addItem(search, "mnuSearchGotoLine", QStringLiteral("&Go to Line..."));

    FProjectMenu = menu("mnuProject", QStringLiteral("&Project"), QString());
    connect(FProjectMenu, &QMenu::aboutToShow, this, &TfrmMain::mnuProjectClick);
    QAction* pm = addItem(FProjectMenu, "mnuProjectViewProjectManager", QStringLiteral("&Project Manager"));
    pm->setCheckable(true);
    connect(pm, &QAction::triggered, this,
            [this] { guarded(this, [this] { mnuProjectViewProjectManagerClick(); }); });
    FProjectMenu->addSeparator();
    addItem(FProjectMenu, "mnuProjectAddDoc", QStringLiteral("Add &File to Project..."));
    addItem(FProjectMenu, "mnuProjectAddActiveDoc", QStringLiteral("Add &Active Document"));
    addItem(FProjectMenu, "mnuProjectAddAllDoc", QStringLiteral("Add All &Open Documents"));
    FProjectMenu->addSeparator();
    addItem(FProjectMenu, "mnuProjectRemoveDoc", QStringLiteral("&Remove Active Document"));

    QMenu* run = menu("mnuRun", QStringLiteral("&Run"), QString());
    addItem(run, "mnuRunCompileDocument", QStringLiteral("Compile &Document"));
    addItem(run, "mnuRunLoadBrowser", QStringLiteral("Load in &Browser"));
    addItem(run, "mnuRunAppletViewer", QStringLiteral("Run Apple&t Viewer"))->setVisible(false);
    run->addSeparator();
    addItem(run, "mnuRunJava", QStringLiteral("&Run Java"));

    QMenu* window = menu("mnuWindow", QStringLiteral("&Window"),
                         QStringLiteral("Window related commands such as Tile and Cascade"));
    connect(addItem(window, "mnuWindowCascade", QStringLiteral("&Cascade"),
                    QStringLiteral("Arrange windows to overlap")),
            &QAction::triggered, FMdiArea, &QMdiArea::cascadeSubWindows);
    connect(addItem(window, "mnuWindowTile", QStringLiteral("&Tile"),
                    QStringLiteral("Arrange windows without overlap")),
            &QAction::triggered, FMdiArea, &QMdiArea::tileSubWindows);
    addItem(window, "mnuWindowArrange", QStringLiteral("&Arrange Icons"),
            QStringLiteral("Arrange window icons at bottom of main window"));
    connect(addItem(window, "mnuWindowMinimize", QStringLiteral("&Minimize All"),
                    QStringLiteral("Minimize all windows")),
            &QAction::triggered, this, [this] {
                const auto children = FMdiArea->subWindowList();
                for (auto it = children.rbegin(); it != children.rend(); ++it)
                    (*it)->showMinimized();
            });

    QMenu* help = menu("mnuHelp", QStringLiteral("&Help"), QStringLiteral("Help topics"));
    addItem(help, "mnuHelpAbout", QStringLiteral("&About"));

    // The popup of the New button holds the four new-document commands.
    FNewPopup = new QMenu(this);
    FNewPopup->setObjectName(QStringLiteral("mnpFileNew"));
    const QString popupCaptions[] = {QStringLiteral("New Java Document"),
                                     QStringLiteral("New Html Document"),
                                     QStringLiteral("New Text Document"),
                                     QStringLiteral("Other Document")};
    for (int type = 0; type < 4; ++type)
        connect(FNewPopup->addAction(popupCaptions[type]), &QAction::triggered, this,
                [this, type] { guarded(this, [&] { NewDocument(static_cast<TDocType>(type)); }); });

    // Items whose commands are not there yet, and those the table starts
    // disabled, begin disabled; UpdateMenuItems keeps them in step.
    for (const char* name :
         {"mnuFileSave", "mnuFileSaveAll", "mnuFileSaveAs", "mnuFileSaveProjectAs", "mnuFileClose",
          "mnuFileCloseAll", "mnuFilePrint", "mnuEditUndo", "mnuEditCut", "mnuEditCopy",
          "mnuEditPaste", "mnuEditDelete", "mnuSearchFind", "mnuSearchFindNext", "mnuSearchReplace",
          "mnuSearchGotoLine", "mnuRunCompileDocument", "mnuRunLoadBrowser", "mnuRunAppletViewer"})
        FItems.value(QString::fromLatin1(name))->setEnabled(false);
}

QToolButton* TfrmMain::addButton(const char* name, int left, const QString& tooltip, int icon)
{
    auto* b = new QToolButton(FSpeedPanel);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, 3, 25, 25);
    b->setAutoRaise(true);
    b->setIcon(style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)));
    b->setToolTip(tooltip);
    b->setFocusPolicy(Qt::NoFocus);
    // Pointing at a button empties the status line.
    b->installEventFilter(this);
    FButtons.insert(b->objectName(), b);
    return b;
}

void TfrmMain::createSpeedPanel()
{
    FSpeedPanel = new QWidget(this);
    FSpeedPanel->setObjectName(QStringLiteral("SpeedPanel"));
    FSpeedPanel->setFixedHeight(32);
    FSpeedPanel->setMinimumWidth(260);
    connect(addButton("cmdNew", 9, QStringLiteral("New Document"), QStyle::SP_FileIcon),
            &QToolButton::clicked, this, &TfrmMain::cmdNewClick);
    addButton("cmdOpen", 32, QStringLiteral("Open Document"), QStyle::SP_DialogOpenButton);
    connect(addButton("cmdNewProject", 80, QStringLiteral("New Project"), QStyle::SP_FileDialogNewFolder),
            &QToolButton::clicked, this, [this] { guarded(this, [this] { NewProject(); }); });
    addButton("cmdOpenProject", 105, QStringLiteral("Open Project"), QStyle::SP_DirOpenIcon);
    connect(addButton("cmdSaveProject", 130, QStringLiteral("Save Project"), QStyle::SP_DialogSaveButton),
            &QToolButton::clicked, this, [this] { guarded(this, [this] { SaveProjectClick(); }); });
    FButtons.value(QStringLiteral("cmdSaveProject"))->setEnabled(false);
    addButton("cmdConfigure", 232, QStringLiteral("Configure"), QStyle::SP_FileDialogDetailedView);
    QToolButton* exit = addButton("cmdExit", 472, QStringLiteral("Exit"), QStyle::SP_DialogCloseButton);
    connect(exit, &QToolButton::clicked, this, &TfrmMain::ExitApp);
    exit->setVisible(false);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter && qobject_cast<QToolButton*>(watched))
        statusBar()->clearMessage();
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::onItem(const char* name, std::function<void()> command)
{
    connect(FItems.value(QString::fromLatin1(name)), &QAction::triggered, this,
            [this, command = std::move(command)] { guarded(this, command); });
}

void TfrmMain::connectDocumentCommands()
{
    const char* newItems[] = {"mnuFileNewJava", "mnuFileNewHtml", "mnuFileNewText",
                              "mnuFileNewOther"};
    for (int type = 0; type < 4; ++type)
        onItem(newItems[type], [this, type] { NewDocument(static_cast<TDocType>(type)); });
    onItem("mnuFileOpenDoc", [this] { OpenDocClick(); });
    connect(FButtons.value(QStringLiteral("cmdOpen")), &QToolButton::clicked, this,
            [this] { guarded(this, [this] { OpenDocClick(); }); });
    onItem("mnuFileSave", [this] { SaveDoc(); });
    onItem("mnuFileSaveAs", [this] { SaveDocAs(); });
    onItem("mnuFileClose", [this] { CloseDoc(); });
    onItem("mnuFileCloseAll", [this] { mnuFileCloseAllClick(); });
}

void TfrmMain::cmdNewClick()
{
    FNewPopup->popup(FButtons.value(QStringLiteral("cmdNew"))->mapToGlobal(QPoint(0, 0)));
}

// ---------------------------------------------------------------------------
// Start-up

void TfrmMain::FormCreate()
{
    // A print dialog exists only while a printer is installed.
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) {
        FPrinter = std::make_unique<QPrinter>();
        FPrintDialog = new QPrintDialog(FPrinter.get(), this);
    }
    FProjectManagerShown = false;
    ReadSettingsFile(FSettings);
    FIsWin95 = osMajorVersion() >= 4;
    FCurrentProject.reset();
    FNewDocCount = 0;
    FWindow = TWindowValues();
    FSyncingTabs = false;
    while (FTabs->count() > 0)
        FTabs->removeTab(0);
    FTabs->hide();
    setAcceptDrops(true);
    LoadSettings();
    SaveSettings();

    FOpenDialog.filter = FDocTypes.OpenDialogFilter();
    FOpenDialog.filterIndex = FWindow.LastFileType;
    FOpenDialog.initialDir = QCoreApplication::applicationDirPath();
    FOpenDialog.multiSelect = true;
    FSaveDialog.filterIndex = FOpenDialog.filterIndex;
    FSaveDialog.initialDir = FOpenDialog.initialDir;
    BuildReopenMenu();
    UpdateMenuItems();
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (FShown)
        return;
    FShown = true;
    FormShow();
}

void TfrmMain::FormShow()
{
    // 1. The first project file named on the command line becomes the project.
    for (const QString& arg : FArgs) {
        const QString name = files::exactName(arg);
        if (files::extractFileExt(name).toUpper() != QStringLiteral(".JPR"))
            continue;
        guarded(this, [&] {
            FCurrentProject = TProject::CreateFromFile(files::fullPath(name));
            FOpenDialog.initialDir = files::extractFileDir(files::fullPath(name));
        });
        break;
    }
    // 2. Otherwise (or when the project could not be loaded) every existing
    // file opens as a document, and a new project follows.
    if (!FCurrentProject) {
        for (const QString& arg : FArgs) {
            const QString name = files::exactName(arg);
            if (!files::exists(name))
                continue;
            guarded(this, [&] {
                OpenEditor(files::fullPath(name));
                FOpenDialog.initialDir = files::extractFileDir(files::fullPath(name));
            });
        }
        guarded(this, [this] { NewProject(); });
    }
    FSaveDialog.initialDir = FOpenDialog.initialDir;
    // 4. The Project Manager command toggles: a named project shows the
    // manager, the new project's manager closes again.
    if (FCurrentProject) {
        UpdateCaption();
        mnuProjectViewProjectManagerClick();
    } else {
        setWindowTitle(kAppCaption);
    }
    // 5. Back to the last position and state.
    move(FWindow.LastX, FWindow.LastY);
    if (FWindow.LastWindowState == 2)
        setWindowState(windowState() | Qt::WindowMaximized);
    else if (FWindow.LastWindowState == 1)
        setWindowState(windowState() | Qt::WindowMinimized);
    UpdateMenuItems();
}

// ---------------------------------------------------------------------------
// Settings

void TfrmMain::LoadSettings()
{
    RegistryPass(TRegistryPassMode::Load, FSettings, FWindow);
    ApplySettings();
}

void TfrmMain::SaveSettings()
{
    RegistryPass(TRegistryPassMode::Save, FSettings, FWindow);
    ApplySettings();
}

void TfrmMain::ApplySettings()
{
    for (TcwEditBase* editor : Editors())
        editor->ApplySettings();
    if (FSettings.ShowDocTabs)
        FTabs->setVisible(FTabs->count() > 0);
    else
        FTabs->hide();
}

// ---------------------------------------------------------------------------
// Caption, status line and menu state

QString TfrmMain::ProjectCaption() const
{
    if (!FCurrentProject)
        return kAppCaption;
    QString caption = kAppCaption + QStringLiteral(": ") + FCurrentProject->Name();
    if (!FCurrentProject->FileName().isEmpty())
        caption += QStringLiteral(" (") + FCurrentProject->FileName() + QLatin1Char(')');
    return caption;
}

void TfrmMain::UpdateCaption()
{
    setWindowTitle(ProjectCaption());
}

void TfrmMain::SetStatusText(const QString& text)
{
    statusBar()->showMessage(text);
}

QString TfrmMain::StatusText() const
{
    return statusBar()->currentMessage();
}

QFont TfrmMain::EditorFont() const
{
    QFont font(FSettings.Font.Name);
    if (FSettings.Font.Size > 0)
        font.setPointSize(FSettings.Font.Size);
    return font;
}

void TfrmMain::UpdateMenuItems(QObject* /*sender*/)
{
    const bool project = FCurrentProject != nullptr;
    QMdiSubWindow* active = FMdiArea->activeSubWindow();
    const bool child = active != nullptr;
    const QList<QMdiSubWindow*> children = FMdiArea->subWindowList();
    const bool anyChild = !children.isEmpty();
    TcwEditBase* editor = ActiveEditor();
    TcwEditBase* anyEditor = ActiveAnyEditor();
    const bool hasText = editor && editor->Text()->lineCount() > 0;
    auto set = [this](const char* name, bool on) {
        FItems.value(QString::fromLatin1(name))->setEnabled(on);
    };

    set("mnuFileReopen", !FWindow.RecentProjects.isEmpty() || !FWindow.RecentDocuments.isEmpty());
    set("mnuFileSave", editor);
    set("mnuFileSaveAll", editor || (project && FCurrentProject->IsModified()));
    FButtons.value(QStringLiteral("cmdSaveProject"))->setEnabled(project);
    set("mnuFileSaveAs", editor);
    set("mnuFileSaveProjectAs", project);
    set("mnuFileClose", child);
    set("mnuFileCloseAll", child);
    set("mnuProject", project);
    set("mnuProjectAddDoc", project);
    set("mnuProjectAddAllDoc", project && anyChild);
    bool removeDoc = project && FCurrentProject->Count() >= 1 && child;
    if (removeDoc && anyEditor)
        removeDoc = FCurrentProject->ContainsFile(anyEditor->windowTitle());
    set("mnuProjectRemoveDoc", removeDoc);
    set("mnuFilePrint", HasPrintDialog() && hasText);
    set("mnuEditUndo", editor);
    set("mnuEditCut", child);
    set("mnuEditCopy", child);
    bool paste = child;
    if (paste && anyEditor) {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        paste = data && data->hasText();
    }
    set("mnuEditPaste", paste);
    set("mnuEditDelete", child);
    for (const char* name :
         {"mnuSearchFind", "mnuSearchFindNext", "mnuSearchReplace", "mnuSearchGotoLine"})
        set(name, hasText);
    const std::optional<TDocType> type =
        editor && editor->HasDocument() ? std::optional(editor->GetDocType()) : std::nullopt;
    set("mnuRunCompileDocument",
        hasText && type == TDocType::Java && files::exists(FSettings.JavaCompiler));
    set("mnuRunLoadBrowser",
        hasText && type == TDocType::Html && files::exists(FSettings.WebBrowser));
    set("mnuRunJava", files::exists(FSettings.JavaInterpreter));
    for (const char* name :
         {"mnuWindowCascade", "mnuWindowTile", "mnuWindowArrange", "mnuWindowMinimize"})
        set(name, anyChild);

    for (QMdiSubWindow* sub : children)
        if (auto* e = qobject_cast<TcwEditBase*>(sub->widget()))
            e->UpdateButtons();
    SelectActiveTab();
}

void TfrmMain::mnuProjectClick()
{
    const bool addAll = FItems.value(QStringLiteral("mnuProjectAddAllDoc"))->isEnabled();
    FItems.value(QStringLiteral("mnuProjectAddActiveDoc"))->setEnabled(addAll);
}

// ---------------------------------------------------------------------------
// Project commands

void TfrmMain::NewProject()
{
    if (FCurrentProject && !CloseProject())
        return;
    FCurrentProject = TProject::Create();
    UpdateCaption();
    UpdateMenuItems();
    mnuProjectViewProjectManagerClick();
}

bool TfrmMain::CloseProject()
{
    if (!FCurrentProject)
        return true;
    // Every editor window closes first, each asking about its own unsaved
    // text; a Cancel keeps the project open.
    const QList<TcwEditBase*> editors = Editors();
    for (auto it = editors.rbegin(); it != editors.rend(); ++it)
        if (QWidget* frame = (*it)->parentWidget(); frame && !frame->close())
            return false;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (FCurrentProject->IsModified()) {
        switch (ask(this, QStringLiteral(" Save project '%1'?").arg(FCurrentProject->Name()),
                    MsgType::Confirmation, MsgButtons::YesNoCancel)) {
        case MsgResult::Yes:
            if (!SaveProject())
                return false;
            break;
        case MsgResult::No: break;
        default: return false;
        }
    }
    SetProjectManagerShown(false);
    FCurrentProject.reset();
    setWindowTitle(kAppCaption);
    UpdateMenuItems();
    return true;
}

bool TfrmMain::ExecuteProjectSaveDialog(QString& fileName)
{
    FSaveDialog.filter = kProjectFilter;
    FSaveDialog.filterIndex = 1;
    FSaveDialog.defaultExt = QStringLiteral("jpr");
    const FileDialogResult r = prompter().saveFileDialog(this, FSaveDialog);
    if (!r.accepted || r.files.isEmpty())
        return false;
    fileName = r.files.first();
    // A name typed without an extension gets the default one.
    if (files::extractFileExt(fileName).isEmpty())
        fileName += QStringLiteral(".jpr");
    FSaveDialog.initialDir = files::extractFileDir(fileName);
    FOpenDialog.initialDir = FSaveDialog.initialDir;
    return true;
}

bool TfrmMain::SaveProject()
{
    if (!FCurrentProject)
        return true;
    if (FCurrentProject->IsNew())
        return SaveProjectAs();
    FCurrentProject->Save();
    UpdateCaption();
    return true;
}

bool TfrmMain::SaveProjectAs()
{
    QString fileName;
    if (!FCurrentProject || !ExecuteProjectSaveDialog(fileName))
        return false;
    const QString oldName = FCurrentProject->FileName();
    FCurrentProject->SetFileName(fileName);
    try {
        FCurrentProject->Save();
    } catch (...) {
        FCurrentProject->SetFileName(oldName);
        throw;
    }
    UpdateCaption();
    return true;
}

void TfrmMain::SaveProjectClick()
{
    SaveProject();
    UpdateMenuItems();
}

void TfrmMain::mnuProjectViewProjectManagerClick()
{
    // The project manager window itself arrives with its own command set;
    // until then the command keeps the shown state and its check mark.
    SetProjectManagerShown(!FProjectManagerShown);
}

void TfrmMain::SetProjectManagerShown(bool shown)
{
    FProjectManagerShown = shown;
    FItems.value(QStringLiteral("mnuProjectViewProjectManager"))->setChecked(shown);
}

// ---------------------------------------------------------------------------
// Shutdown

void TfrmMain::ExitApp()
{
    close();
}

bool TfrmMain::QueryChildrenClose()
{
    // Every child is asked, in child order, whether it may close; the first
    // refusal stops the whole close.
    for (TcwEditBase* editor : Editors())
        if (!editor->CloseQuery())
            return false;
    return true;
}

bool TfrmMain::FormCloseQuery()
{
    if (!FCurrentProject || !FCurrentProject->IsModified())
        return true;
    switch (ask(this, QStringLiteral(" Save project '%1'?").arg(FCurrentProject->Name()),
                MsgType::Confirmation, MsgButtons::YesNoCancel)) {
    case MsgResult::Yes: {
        bool saved = false;
        guarded(this, [&] { saved = SaveProject(); });
        return saved;
    }
    case MsgResult::No: return true;
    default: return false;
    }
}

void TfrmMain::FormClose()
{
    FWindow.LastFileType = FOpenDialog.filterIndex;
    const Qt::WindowStates state = windowState();
    FWindow.LastWindowState = (state & Qt::WindowMinimized)   ? 1
                              : (state & Qt::WindowMaximized) ? 2
                                                              : 0;
    FWindow.LastX = x();
    FWindow.LastY = y();
    SaveSettings();
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (!QueryChildrenClose() || !FormCloseQuery()) {
        event->ignore();
        return;
    }
    guarded(this, [this] { FormClose(); });
    event->accept();
}

} // namespace bp
