#include "mainwin/fmain.h"

#include "dialogs/dabout.h"
#include "dialogs/dsettings.h"
#include "dialogs/projectmanager.h"
#include "editor/editorwindow.h"
#include "editor/recoveryoffer.h"
#include "mainwin/childwindows.h"
#include "mainwin/documentcommands.h"
#include "mainwin/editcommands.h"
#include "mainwin/launchcommands.h"
#include "mainwin/menustate.h"
#include "mainwin/searchcommands.h"
#include "mainwin/windowcommands.h"
#include "model/project.h"
#include "platform/apptitle.h"
#include "platform/fileservices.h"
#include "platform/guarded.h"
#include "platform/osversion.h"
#include "platform/registry.h"
#include "tools/browser.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QProcessEnvironment>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace bp {

namespace {

bool clipboardHasText()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasText();
}

// Whether a list of the project manager has selected documents: what its
// Cut, Copy, Delete and Remove commands act on.
// The open and save dialogs start where the user works: the current
// directory, or the home folder when that is the root.
QString startDirectory()
{
    const QString current = QDir::currentPath();
    return QDir::toNativeSeparators(QDir(current).isRoot() ? QDir::homePath() : current);
}

// A stored window position, moved onto the nearest screen when no screen
// shows it (a screen was removed, or the stored values are off).
QPoint onScreen(const QPoint& stored)
{
    if (QGuiApplication::screenAt(stored))
        return stored;
    const auto inside = [&stored](const QRect& area) {
        return QPoint(std::clamp(stored.x(), area.left(), area.right()),
                      std::clamp(stored.y(), area.top(), area.bottom()));
    };
    QPoint best = stored;
    qint64 bestDistance = -1;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QPoint p = inside(screen->availableGeometry());
        const qint64 dx = p.x() - stored.x();
        const qint64 dy = p.y() - stored.y();
        if (bestDistance < 0 || dx * dx + dy * dy < bestDistance) {
            best = p;
            bestDistance = dx * dx + dy * dy;
        }
    }
    return best;
}

} // namespace

TfrmMain::TfrmMain(const QStringList& args, QWidget* parent) : QMainWindow(parent), FArgs(args)
{
    setObjectName(QStringLiteral("frmMain"));
    resize(545, 317);
    buildWindow();

    FChildren = std::make_unique<TChildWindows>(*FMdiArea, *this);
    FChildren->SetIsWin95(osMajorVersion() >= 4);
    FChildren->SetOnEditorShown([this](TcwEditBase* editor) { EditorShown(editor); });
    FProjects = std::make_unique<TProjectCommands>(*this, *FChildren, FDialogs,
                                                   *FActions.mnuProjectViewProjectManager,
                                                   [this] { ProjectChanged(); });
    const auto update = [this] { UpdateMenuItems(); };
    FDocuments = std::make_unique<TDocumentCommands>(*this, *FChildren, FDialogs, FWindow,
                                                     *FProjects, FActions, update);
    FProjects->SetDocuments(*FDocuments);
    FSearch = std::make_unique<TSearchCommands>(*this, *FChildren, update);
    FEdit = std::make_unique<TEditCommands>(*this, *FChildren);
    FRun = std::make_unique<TRunCommands>(*this, *FChildren);
    FLaunch = std::make_unique<TLaunchCommands>(*this, *this, *FChildren);
    FWindows = std::make_unique<TWindowCommands>(*FTabs, *FChildren, FSettings);
    connectCommands();

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

void TfrmMain::buildWindow()
{
    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FActions = CreateMainMenu(*this);
    FSpeedPanel = new QWidget(client);
    FSpeedPanel->setObjectName(QStringLiteral("SpeedPanel"));
    FSpeedPanel->setFixedHeight(32);
    FSpeedPanel->setMinimumWidth(260);
    FButtons = CreateSpeedButtons(*FSpeedPanel, FActions);
    // Pointing at a button empties the status line.
    for (QToolButton* b : std::as_const(FButtons.all))
        b->installEventFilter(this);
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
}

void TfrmMain::connectCommands()
{
    FDocuments->Connect(FActions);
    FProjects->Connect(FActions);
    FSearch->Connect(FActions);
    FEdit->Connect(FActions);
    FRun->Connect(FActions);
    FLaunch->Connect(FActions);
    FWindows->Connect(FActions);
    connect(FActions.mnuFileExit, &QAction::triggered, this, &QWidget::close);
    connect(FActions.mnuHelpAbout, &QAction::triggered, this,
            [this] { guarded(this, [this] { mnuHelpAboutClick(); }); });
    connect(FActions.mnuFileConfigure, &QAction::triggered, this,
            [this] { guarded(this, [this] { mnuFileConfigureClick(); }); });
    connect(FActions.mnuFilePrint, &QAction::triggered, this,
            [this] { guarded(this, [this] { mnuFilePrintClick(); }); });
    connect(FButtons.cmdNew, &QToolButton::clicked, this, [this] {
        FActions.mnpFileNew->popup(FButtons.cmdNew->mapToGlobal(QPoint(0, 0)));
    });
    // Add Active Document follows Add All Open Documents when the menu opens.
    connect(FActions.mnuProject, &QMenu::aboutToShow, this, [this] {
        FActions.mnuProjectAddActiveDoc->setEnabled(FActions.mnuProjectAddAllDoc->isEnabled());
    });

    connect(FMdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        UpdateMenuItems();
        if (sub)
            CheckActiveEditorOnDisk();
    });
    // Back from another program, which may have changed the files shown here.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive)
                    CheckActiveEditorOnDisk();
            });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        FClipboardHasText = clipboardHasText();
        UpdateMenuItems();
    });
}

void TfrmMain::EditorShown(TcwEditBase* editor)
{
    // Only the active editor's state shows in the menus.
    connect(editor, &TcwEditBase::stateChanged, this, [this, editor] {
        if (editor == FChildren->ActiveAnyEditor())
            UpdateMenuItems();
    });
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    // A tool button's hint has no status-line part: pointing at one empties
    // the line, also where the button shows a menu item's command.
    if (qobject_cast<QToolButton*>(watched)) {
        if (event->type() == QEvent::Enter)
            statusBar()->clearMessage();
        else if (event->type() == QEvent::StatusTip)
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TfrmMain::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        CheckActiveEditorOnDisk();
    return QMainWindow::event(event);
}

void TfrmMain::CheckActiveEditorOnDisk()
{
    // The check may ask a question: it runs from the event loop, not inside
    // the MDI area's switching of windows, and once for the several
    // activation events that one switch brings. While another modal dialog
    // is open it waits: closing that dialog activates the window again.
    if (std::exchange(FDiskCheckPending, true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            FDiskCheckPending = false;
            if (QApplication::activeModalWidget())
                return;
            if (TcwEditBase* editor = FChildren->ActiveAnyEditor())
                editor->CheckDiskChange();
        },
        Qt::QueuedConnection);
}

QAction* TfrmMain::item(const QString& name) const
{
    return findChild<QAction*>(name);
}

QToolButton* TfrmMain::button(const QString& name) const
{
    return FSpeedPanel->findChild<QToolButton*>(name);
}

bool TfrmMain::IsWin95() const
{
    return FChildren->IsWin95();
}

// ---------------------------------------------------------------------------
// Start-up

void TfrmMain::FormCreate()
{
    // Printing is offered only where the print dialog can print somewhere:
    // an installed printer, or a PDF file.
    if (printingPossible())
        FPrinter = std::make_unique<QPrinter>();
    FClipboardHasText = clipboardHasText();
    QString settingsFileIgnored;
    ReadSettingsFile(FSettings, &settingsFileIgnored);
    FWindow = TWindowValues();
    while (FTabs->count() > 0)
        FTabs->removeTab(0);
    FTabs->hide();
    setAcceptDrops(true);
    LoadSettings();
    // A start that configured no compiler takes the JDK this machine offers.
    FindJavaToolsWhenUnset(FSettings, QProcessEnvironment::systemEnvironment());
    // No browser configured: the one the desktop opens pages with, if any.
    if (FSettings.WebBrowser.isEmpty())
        FSettings.WebBrowser = GetDefaultBrowser();
    SaveSettings();

    FileDialogOptions& open = FDialogs.Open;
    open.filter = TDocTypeList().OpenDialogFilter();
    open.filterIndex = FWindow.LastFileType;
    open.initialDir = startDirectory();
    open.multiSelect = true;
    FDialogs.Save.filterIndex = open.filterIndex;
    FDialogs.Save.initialDir = open.initialDir;
    FDocuments->Recent().BuildMenu();
    UpdateMenuItems();
    if (!settingsFileIgnored.isEmpty())
        SetStatusText(settingsFileIgnored);
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
    // 0. What killed compiles left behind here and beside the files named on
    // the command line comes back first, before those files are shown.
    OfferStartRecoveryCopies();
    // 1. The first project file named on the command line becomes the project.
    bool loaded = false;
    for (const QString& arg : FArgs) {
        const QString name = files::exactName(arg);
        if (files::extractFileExt(name).toUpper() != QStringLiteral(".JPR"))
            continue;
        loaded = guarded(this, [&] {
            FProjects->LoadProject(files::fullPath(name));
            FDialogs.Open.initialDir = files::extractFileDir(files::fullPath(name));
        });
        break;
    }
    // 2. Otherwise (or when the project could not be loaded) every existing
    // file opens as a document, and a new project follows.
    // 3. A named project shows its manager; a new one does not (made and
    // closed again, it would cost every start a window for nothing).
    if (!loaded) {
        FDocuments->OpenStartFiles(FArgs);
        guarded(this, [this] { FProjects->StartWithNewProject(); });
    } else if (CurrentProject()) {
        FProjects->ToggleProjectManager();
    }
    FDialogs.Save.initialDir = FDialogs.Open.initialDir;
    UpdateCaption();
    // 4. Back to the last position and state. A window closed minimised
    // starts normal: a program that starts out of sight looks as if it did
    // not start.
    PlaceWindow();
    if (FWindow.LastWindowState == 2)
        setWindowState(windowState() | Qt::WindowMaximized);
    UpdateMenuItems();
}

void TfrmMain::OfferStartRecoveryCopies()
{
    QStringList dirs{files::currentDir()};
    for (const QString& arg : FArgs) {
        const QString dir = files::extractFileDir(files::fullPath(arg));
        if (files::isDirectory(dir) && !dirs.contains(dir))
            dirs << dir;
    }
    for (const QString& dir : dirs)
        if (FirstRecoveryCheck(dir))
            OfferRecoveryCopies(this, dir);
}

void TfrmMain::PlaceWindow()
{
    const QSize stored(FWindow.LastWidth, FWindow.LastHeight);
    if (stored.width() <= 0 || stored.height() <= 0) {
        // No size stored yet: two thirds of the screen, in its middle. The
        // designed size is too small to work in on any screen of today.
        const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        if (!screen)
            return;
        const QRect available = screen->availableGeometry();
        const QSize size = available.size() * 2 / 3;
        resize(size);
        // The frame, as far as it is known by now, is centred with the rest.
        const QSize outer = size + frameGeometry().size() - geometry().size();
        move(available.topLeft() + QPoint((available.width() - outer.width()) / 2,
                                          (available.height() - outer.height()) / 2));
        return;
    }
    const QPoint position = onScreen(QPoint(FWindow.LastX, FWindow.LastY));
    const QScreen* screen = QGuiApplication::screenAt(position);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    // A size stored on a larger screen is cut to the one the window is on.
    resize(screen ? stored.boundedTo(screen->availableGeometry().size()) : stored);
    move(position);
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
    // The programs the settings name are looked up here, not at every
    // refresh of the menus; a command looks again before it starts one.
    FTools = FindTools(FSettings, FPrinter != nullptr);
    for (TcwEditBase* editor : FChildren->Editors())
        editor->ApplySettings();
    FWindows->ApplySettings();
    UpdateMenuItems();
}

QFont TfrmMain::EditorFont() const
{
    QFont font(FSettings.Font.Name);
    if (FSettings.Font.Size > 0)
        font.setPointSize(FSettings.Font.Size);
    return font;
}

// ---------------------------------------------------------------------------
// Caption, status line and menu state

QString TfrmMain::ProjectCaption() const
{
    const TProject* project = CurrentProject();
    if (!project)
        return kAppCaption;
    QString caption = kAppCaption + QStringLiteral(": ") + project->Name();
    if (!project->FileName().isEmpty())
        caption += QStringLiteral(" (") + project->FileName() + QLatin1Char(')');
    return caption;
}

void TfrmMain::UpdateCaption()
{
    setWindowTitle(ProjectCaption());
}

void TfrmMain::ProjectChanged()
{
    UpdateCaption();
    UpdateMenuItems();
}

void TfrmMain::SetStatusText(const QString& text)
{
    statusBar()->showMessage(text);
}

TBrowserDde& TfrmMain::BrowserDde()
{
    return FLaunch->BrowserDde();
}

QString TfrmMain::StatusText() const
{
    return statusBar()->currentMessage();
}

TMenuInputs TfrmMain::MenuInputs() const
{
    TMenuInputs in;
    if (TcwEditBase* editor = FChildren->ActiveAnyEditor()) {
        in.Active = FChildren->IsCurrentVariant(editor) ? TActiveChild::Editor
                                                        : TActiveChild::OtherEditor;
        in.Editor = editor->State();
        if (const TProject* project = CurrentProject())
            in.ProjectHasActiveFile = project->ContainsFile(editor->windowTitle());
    } else if (QMdiSubWindow* active = FChildren->Active()) {
        const TProjectManager* manager = TChildWindows::ManagerOf(active);
        in.Active = manager ? TActiveChild::Manager : TActiveChild::Other;
        in.ManagerHasSelection = manager && manager->HasSelectedDocuments();
    }
    in.ChildCount = FChildren->Count();
    in.OnlyChildIsManager =
        in.ChildCount == 1 && TChildWindows::ManagerOf(FChildren->Children().first()) != nullptr;
    in.HasRecentFiles = !FWindow.RecentProjects.isEmpty() || !FWindow.RecentDocuments.isEmpty();
    if (const TProject* project = CurrentProject()) {
        in.HasProject = true;
        in.ProjectModified = project->IsModified();
        in.ProjectCount = project->Count();
    }
    in.ClipboardHasText = FClipboardHasText;
    in.Tools = FTools;
    return in;
}

void TfrmMain::UpdateMenuItems()
{
    // Signals may come while the window is still being built.
    if (!FWindows)
        return;
    ApplyMenuState(MenuState(MenuInputs()), FActions);
    if (TcwEditBase* editor = FChildren->ActiveAnyEditor())
        editor->UpdateButtons();
    FWindows->SelectActiveTab();
}

// ---------------------------------------------------------------------------
// What the editor windows ask of the main window

TcwEditBase* TfrmMain::ActiveEditor() const
{
    return FChildren->ActiveEditor();
}

TcwEditBase* TfrmMain::ActiveAnyEditor() const
{
    return FChildren->ActiveAnyEditor();
}

void TfrmMain::RenameWindowTab(const QString& oldCaption, const QString& newCaption)
{
    FWindows->RenameWindowTab(oldCaption, newCaption);
}

void TfrmMain::RemoveWindowTab(const QString& caption)
{
    FWindows->RemoveWindowTab(caption);
}

bool TfrmMain::ExecuteSaveDialog(TDocType docType, QString& fileName)
{
    return FDocuments->ExecuteSaveDialog(docType, fileName);
}

void TfrmMain::AddRecentFile(const QString& pathName)
{
    FDocuments->Recent().AddFile(pathName);
    UpdateMenuItems();
}

bool TfrmMain::OpenReadOnly() const
{
    return FDocuments->OpenReadOnly();
}

TSearchRequest TfrmMain::FindRequest() const
{
    return FSearch->FindRequest();
}

TSearchRequest TfrmMain::ReplaceRequest() const
{
    return FSearch->ReplaceRequest();
}

void TfrmMain::SearchFind()
{
    FSearch->SearchFind();
}

void TfrmMain::SearchReplace()
{
    FSearch->SearchReplace();
}

std::optional<int> TfrmMain::AskLineNumber()
{
    return FSearch->AskLineNumber();
}

void TfrmMain::OpenAtLine(const QString& path, int lineNumber)
{
    FDocuments->OpenAtLine(path, lineNumber);
}

void TfrmMain::mnuHelpAboutClick()
{
    TdlgAbout about(this);
    prompter().execDialog(about);
}

void TfrmMain::mnuFileConfigureClick()
{
    // The dialog has written the settings file on OK; the store and the
    // windows follow here.
    TdlgSettings dialog(FSettings, &GetDefaultBrowser, this);
    if (prompter().execDialog(dialog) != QDialog::Accepted)
        return;
    FSettings = dialog.Settings();
    SaveSettings();
}

void TfrmMain::mnuFilePrintClick()
{
    if (!FPrinter)
        return;
    if (TcwEditBase* editor = FChildren->ActiveEditor())
        editor->doPrint();
}

// ---------------------------------------------------------------------------
// Files dropped on the window

void TfrmMain::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (!data->hasUrls())
        return;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
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
    guarded(this, [&] { FDocuments->OpenFiles(names); });
}

// ---------------------------------------------------------------------------
// Shutdown

bool TfrmMain::QueryChildrenClose()
{
    // Every child is asked, in child order, whether it may close; the first
    // refusal stops the whole close.
    for (TcwEditBase* editor : FChildren->Editors())
        if (!editor->CloseQuery())
            return false;
    return true;
}

void TfrmMain::FormClose()
{
    FWindow.LastFileType = FDialogs.Open.filterIndex;
    const Qt::WindowStates state = windowState();
    FWindow.LastWindowState = (state & Qt::WindowMinimized)   ? 1
                              : (state & Qt::WindowMaximized) ? 2
                                                              : 0;
    FWindow.LastX = x();
    FWindow.LastY = y();
    // A maximised or minimised window keeps the size it comes back to.
    const QSize size = state & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)
                           ? normalGeometry().size()
                           : this->size();
    if (size.isValid()) {
        FWindow.LastWidth = size.width();
        FWindow.LastHeight = size.height();
    }
    SaveSettings();
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (!QueryChildrenClose() || !FProjects->QueryCloseAtExit()) {
        event->ignore();
        return;
    }
    guarded(this, [this] { FormClose(); });
    event->accept();
}

} // namespace bp
