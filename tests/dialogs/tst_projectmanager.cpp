#include "dialogs/documentlistmodel.h"
#include "dialogs/doptions.h"
#include "dialogs/doptions95.h"
#include "dialogs/kxlstbox.h"
#include "dialogs/kxlstview.h"
#include "model/project.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"
#include "support/variants.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QRadioButton>
#include <QTreeView>
#include <QtTest>

using namespace bp;
using namespace bp::test;

namespace {

// The main window as the project manager sees it: records every call, and
// answers CloseDocumentWindow as scripted (true unless told otherwise).
class FakeHost : public IProjectManagerHost {
public:
    QStringList calls;
    int menuUpdates = 0;
    QMap<QString, bool> closeAnswers;
    TProjectManager* window = nullptr;
    std::unique_ptr<TProject> newProject;

    void OpenProjectDocument(const QString& name) override { calls << "Open " + name; }
    bool CloseDocumentWindow(const QString& name) override
    {
        calls << "Close " + name;
        return closeAnswers.value(name, true);
    }
    void CompileProjectDocument(const QString& name) override { calls << "Compile " + name; }
    void BrowseProjectDocument(const QString& name) override { calls << "Browse " + name; }
    void NewProject() override
    {
        calls << "NewProject";
        newProject = TProject::Create();
        window->SetProject(newProject.get());
    }
    void AddFilesToProject() override { calls << "AddFiles"; }
    void SetFileFilterIndex(int index) override { calls << QString("FilterIndex %1").arg(index); }
    void OpenProjectFile(const QString& path) override { calls << "OpenProject " + path; }
    void SetProjectManagerShown(bool shown) override { calls << QString("Shown %1").arg(shown); }
    // Counted apart from the calls: every selection change brings the menus up to date.
    void UpdateMenuItems() override { ++menuUpdates; }
};

// One window of the case's variant on a project in a private folder.
struct Fixture {
    TestEnv env;
    ScriptedPrompter prompter;
    FakeHost host;
    std::unique_ptr<TProject> project = TProject::Create();
    std::unique_ptr<TProjectManager> manager;

    Fixture()
    {
        manager = CreateProjectManager(richVariant(), host);
        host.window = manager.get();
    }
    ~Fixture()
    {
        if (manager)
            manager->SetProject(nullptr);
        // No case expects a question it did not script.
        if (!prompter.unexpected().isEmpty())
            QTest::qFail(qPrintable("unexpected question: " + prompter.unexpected().join(" | ")),
                         __FILE__, __LINE__);
    }
    TdlgOptionsBase& w() const { return static_cast<TdlgOptionsBase&>(*manager); }
    QString addFile(const QString& name, const QByteArray& text = "x\n")
    {
        const QString path = env.writeFile(name, text);
        project->AddFile(path);
        return path;
    }
    // The list control that takes keys and drops.
    QAbstractItemView* list() const
    {
        if (auto* rich = dynamic_cast<TdlgOptions95*>(manager.get()))
            return rich->lvDocuments->view();
        return static_cast<TdlgOptions*>(manager.get())->lstDocuments;
    }
    QStringList names() const
    {
        QStringList out;
        for (int i = 0; i < w().Model()->Count(); ++i)
            out << w().Model()->Row(i).Name;
        return out;
    }
    // Saves the project, so that it starts unmodified.
    void save()
    {
        project->SetFileName(env.path("p.jpr"));
        project->Save();
    }
    int rowOf(const QString& name) const { return names().indexOf(name); }
    void select(const QStringList& rows)
    {
        QItemSelectionModel* sel = list()->selectionModel();
        sel->clearSelection();
        for (const QString& name : rows) {
            QVERIFY2(rowOf(name) >= 0, qPrintable(name));
            sel->select(w().Model()->index(rowOf(name), 0),
                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    void show()
    {
        manager->show();
        QVERIFY(QTest::qWaitForWindowExposed(manager.get()));
    }
    QStringList projectNames() const
    {
        QStringList out;
        for (int i = 0; i < project->Count(); ++i)
            out << project->EntryName(i);
        return out;
    }
};

QMimeData* urlsOf(const QStringList& paths)
{
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    mime->setUrls(urls);
    return mime;
}

// Drags the files from outside onto the widget's point and drops them there,
// through its window as the desktop's drag would arrive. The window must
// be shown.
void dropOn(QWidget* target, const QStringList& paths, QPoint at = QPoint(5, 7))
{
    std::unique_ptr<QMimeData> mime(urlsOf(paths));
    QWindow* window = target->window()->windowHandle();
    QVERIFY(window && target->isVisible());
    const QPoint inWindow = target->mapTo(target->window(), at);
    QDragEnterEvent enter(inWindow, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    if (!enter.isAccepted())
        return; // nothing under the point takes files: no drop
    QDropEvent drop(inWindow, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
}

} // namespace

class TestProjectManager : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { addEditorVariants(); }

    // "All" lists Java, Html, Text and Other in that order, each group in
    // project order; a type tab lists its own type only.
    void typeTabsListDocumentsByType()
    {
        Fixture f;
        for (const char* name : {"b.html", "Zed.java", "d.dat", "c.txt", "A.java", "e.htm"})
            f.addFile(name);
        f.manager->SetProject(f.project.get());
        QCOMPARE(f.names(),
                 QStringList({"Zed.java", "A.java", "b.html", "e.htm", "c.txt", "d.dat"}));
        const QStringList byTab[] = {
            {}, {"Zed.java", "A.java"}, {"b.html", "e.htm"}, {"c.txt"}, {"d.dat"}};
        for (int tab = 1; tab <= 4; ++tab) {
            f.w().SetTypeTab(tab);
            QCOMPARE(f.names(), byTab[tab]);
        }
        const QModelIndex path = f.w().Model()->index(0, TDocumentListModel::colPath);
        QCOMPARE(path.data().toString(), f.env.dir() + "/");
        QCOMPARE(f.w().Model()->index(0, 0).data(TDocumentListModel::TypeRole).toInt(),
                 ordinal(TDocType::Other));
    }

    // "Large Icons", "Small Icons" and "List" switch the list's style; the
    // selection survives the switch. The plain variant has one style only.
    void displayStylesSwitchTheList()
    {
        Fixture f;
        f.addFile("A.java");
        f.addFile("B.java");
        f.manager->SetProject(f.project.get());
        if (!richVariant())
            return;
        auto& w = static_cast<TdlgOptions95&>(*f.manager);
        f.show();
        QCOMPARE(w.lvDocuments->ViewStyle(), TKxListView::TViewStyle::Icon);
        QCOMPARE(w.lvDocuments->iconView()->viewMode(), QListView::IconMode);
        f.select({"B.java"});
        w.rbList->click();
        QCOMPARE(w.lvDocuments->view(), w.lvDocuments->detailsView());
        QVERIFY(w.lvDocuments->detailsView()->isVisible());
        QTreeView* details = w.lvDocuments->detailsView();
        QCOMPARE(details->model()->headerData(2, Qt::Horizontal).toString(), QString("Date"));
        QVERIFY(!details->isColumnHidden(1) && !details->isColumnHidden(2));
        QCOMPARE(f.w().SelectedRows(), QList<int>({1}));
        w.rbSmallIcons->click();
        QCOMPARE(w.lvDocuments->view(), w.lvDocuments->iconView());
        QCOMPARE(w.lvDocuments->iconView()->viewMode(), QListView::ListMode);
        QCOMPARE(w.lvDocuments->iconView()->iconSize(), QSize(16, 16));
    }

    // A double-click or Enter opens the first selected document.
    void doubleClickOrEnterOpensTheDocument()
    {
        Fixture f;
        f.addFile("A.java");
        f.addFile("B.java");
        f.manager->SetProject(f.project.get());
        f.show();
        const QRect rect = f.list()->visualRect(f.w().Model()->index(1, 0));
        // A double-click is two clicks, the second arriving as a double-click.
        QTest::mouseClick(f.list()->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(f.list()->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(f.host.calls, QStringList({"Open B.java"}));
        // Enter opens the selected document too.
        f.select({"A.java"});
        QTest::keyClick(f.list(), Qt::Key_Return);
        QCOMPARE(f.host.calls, QStringList({"Open B.java", "Open A.java"}));
    }

    // The project's change notification (a document renamed elsewhere)
    // brings the list up to date and keeps what was selected.
    void changeNotificationRefreshesTheList()
    {
        Fixture f;
        f.addFile("A.java");
        f.manager->SetProject(f.project.get());
        f.addFile("B.java");
        QCOMPARE(f.names(), QStringList({"A.java"}));
        f.select({"A.java"});
        f.project->NotifyChange();
        QCOMPARE(f.names(), QStringList({"A.java", "B.java"}));
        QCOMPARE(f.w().SelectedRows(), QList<int>({0})); // kept across the refresh

        f.manager->SetProject(nullptr);
        f.addFile("C.java");
        f.project->NotifyChange(); // no longer listened to
        QCOMPARE(f.names(), QStringList({"A.java", "B.java"}));
    }

    // As a child window of the main window, the list is brought up to date
    // whenever the window becomes the active child again.
    void activationRefreshesTheList()
    {
        Fixture f;
        f.addFile("A.java");
        QMdiArea area;
        QMdiSubWindow* managerWindow = area.addSubWindow(f.manager.get());
        QMdiSubWindow* other = area.addSubWindow(new QWidget);
        const auto release = qScopeGuard([&] { // the fixture destroys the manager
            managerWindow->setWidget(nullptr);
            f.manager->setParent(nullptr);
        });
        f.manager->SetProject(f.project.get());
        area.show();
        QVERIFY(QTest::qWaitForWindowActive(&area));
        area.setActiveSubWindow(other);
        f.addFile("B.java"); // added behind the window's back
        QCOMPARE(f.names(), QStringList({"A.java"}));
        area.setActiveSubWindow(managerWindow);
        QTRY_COMPARE(f.names(), QStringList({"A.java", "B.java"}));
    }

    void dateIsLocalTimeCutToTwoSeconds_data()
    {
        QTest::addColumn<QDateTime>("written");
        QTest::addColumn<QDateTime>("shown");
        const QDate day(2024, 3, 5);
        QTest::newRow("odd second")
            << QDateTime(day, QTime(14, 7, 33)) << QDateTime(day, QTime(14, 7, 32));
        QTest::newRow("even second")
            << QDateTime(day, QTime(9, 0, 4)) << QDateTime(day, QTime(9, 0, 4));
        QTest::newRow("midnight") << QDateTime(day, QTime(0, 0, 1)) << QDateTime(day, QTime(0, 0));
    }

    // Short date and long time in the user's locale, the time left out at
    // exactly midnight.
    void dateIsLocalTimeCutToTwoSeconds()
    {
        QFETCH(QDateTime, written);
        QFETCH(QDateTime, shown);
        Fixture f;
        const QString path = f.addFile("A.java");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(written, QFileDevice::FileModificationTime));
        }
        f.manager->SetProject(f.project.get());
        const QLocale locale = QLocale::system();
        QString expected = locale.toString(shown.date(), QLocale::ShortFormat);
        if (shown.time() != QTime(0, 0))
            expected += " " + locale.toString(shown.time(), QLocale::LongFormat);
        QCOMPARE(f.w().Model()->index(0, TDocumentListModel::colDate).data().toString(), expected);
    }

    // An entry whose file is gone stays listed, greyed, with no date; a
    // device is listed like a file.
    void missingEntriesAreListedAndMarked()
    {
        Fixture f;
        const QString there = f.env.writeFile("There.java", "class There {}\n");
        const QString gone = f.env.path("Gone.java");
        const QString jpr = f.env.writeFile(
            "p.jpr", "Tarvik's Brewpad 2.09\r\n2\r\nProject\r\n  P\r\n\r\nFiles\r\n" +
                         gone.toUtf8() + "\r\n" + there.toUtf8() + "\r\n/dev/zero\r\n");
        f.project = TProject::CreateFromFile(jpr);
        f.manager->SetProject(f.project.get());

        QCOMPARE(f.names(), QStringList({"Gone.java", "There.java", "zero"}));
        TDocumentListModel& m = *f.w().Model();
        QVERIFY(m.index(0, 0).data(TDocumentListModel::MissingRole).toBool());
        QVERIFY(!m.index(1, 0).data(TDocumentListModel::MissingRole).toBool());
        QVERIFY(!m.index(2, 0).data(TDocumentListModel::MissingRole).toBool());
        QCOMPARE(m.index(0, TDocumentListModel::colDate).data().toString(), QString());
        QVERIFY(!m.index(1, TDocumentListModel::colDate).data().toString().isEmpty());
        QCOMPARE(m.index(0, 0).data(Qt::ForegroundRole).value<QBrush>().color(),
                 QApplication::palette().color(QPalette::Disabled, QPalette::Text));
        QVERIFY(!m.index(1, 0).data(Qt::ForegroundRole).isValid());
        QCOMPARE(m.index(0, TDocumentListModel::colPath).data().toString(), f.env.dir() + "/");
        QVERIFY(!(m.flags(m.index(0, 0)) & Qt::ItemIsEditable));

        // Opening it says so instead of asking the main window.
        f.prompter.answerMessage(MsgResult::OK);
        f.select({"Gone.java"});
        f.w().mnpDocumentOpenClick();
        QCOMPARE(f.prompter.messages(), QStringList({"Can't find '" + gone + "'"}));
        QVERIFY(f.host.calls.isEmpty());
        QVERIFY(f.prompter.unexpected().isEmpty());
    }

    void renameInPlace_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("caption");
        QTest::newRow("with extension") << "Renamed.java"
                                        << "Renamed.java";
        QTest::newRow("without extension") << "Renamed"
                                           << "Renamed.java";
        QTest::newRow("another type's extension") << "Renamed.txt"
                                                  << "Renamed.java";
    }

    // The item takes the document's new name as the rename forms it, not the
    // typed text; the file is renamed on disk. The plain list has no rename.
    void renameInPlace()
    {
        QFETCH(QString, typed);
        QFETCH(QString, caption);
        Fixture f;
        f.addFile("Old.java");
        f.manager->SetProject(f.project.get());
        TDocumentListModel& m = *f.w().Model();
        if (!richVariant()) {
            QVERIFY(!(m.flags(m.index(0, 0)) & Qt::ItemIsEditable));
            return;
        }
        f.show();
        auto& rich = static_cast<TdlgOptions95&>(*f.manager);
        rich.lvDocuments->EditName(0);
        auto* editor = rich.lvDocuments->view()->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return); // commits once back in the event loop

        QTRY_COMPARE(f.names(), QStringList({caption}));
        QVERIFY(QFile::exists(f.env.path(caption)));
        QVERIFY(!QFile::exists(f.env.path("Old.java")));
        QVERIFY(f.project->FindDocument(caption));
        QVERIFY(f.project->Modified());
        QVERIFY(f.prompter.unexpected().isEmpty());
    }

    // A refused rename keeps the caption, reports the error and leaves the
    // project unmodified.
    void failedRenameKeepsCaption()
    {
        Fixture f;
        f.addFile("Old.java");
        f.save();
        f.manager->SetProject(f.project.get());
        if (!richVariant())
            return; // the plain list renames nothing
        f.prompter.answerMessage(MsgResult::OK);
        TDocumentListModel& m = *f.w().Model();
        QVERIFY(!m.setData(m.index(0, 0), "sub/New.java", Qt::EditRole));
        QCOMPARE(f.names(), QStringList({"Old.java"}));
        QCOMPARE(f.prompter.messages(), QStringList({"'sub/New.java' is not a valid file name."}));
        QVERIFY(!f.project->Modified());
        QVERIFY(QFile::exists(f.env.path("Old.java")));
        QVERIFY(f.prompter.unexpected().isEmpty());
    }

    // Shown, the window gives its document list the keys, its first document
    // selected: the Delete key that follows acts on the documents, not on
    // the project's name.
    void documentListTakesTheKeysFirst()
    {
        Fixture f;
        f.addFile("A.java");
        f.addFile("B.java");
        f.manager->SetProject(f.project.get());
        f.show();
        QCOMPARE(f.manager->focusWidget(), f.list());
        QCOMPARE(f.w().SelectedRows(), QList<int>{0});
        QTest::keyClick(f.list(), Qt::Key_Delete);
        QCOMPARE(f.projectNames(), QStringList{"B.java"});
        QCOMPARE(f.w().edtProjectName->text(), QString("New Project"));
    }

    // The Delete key removes every selected document, closing each editor
    // window through the main window first; the files stay.
    void deleteKeyRemovesSelectedDocuments()
    {
        Fixture f;
        for (const char* name : {"A.java", "B.java", "C.java", "D.java"})
            f.addFile(name);
        f.manager->SetProject(f.project.get());
        f.show();
        f.select({"D.java", "A.java", "C.java"});
        f.list()->setFocus();
        const int updates = f.host.menuUpdates;
        QTest::keyClick(f.list(), Qt::Key_Delete);
        QCOMPARE(f.host.calls, QStringList({"Close A.java", "Close C.java", "Close D.java"}));
        QVERIFY(f.host.menuUpdates > updates);
        QCOMPARE(f.projectNames(), QStringList({"B.java"}));
        QCOMPARE(f.names(), QStringList({"B.java"}));
        QVERIFY(f.w().SelectedRows().isEmpty()); // B took A's place, not its selection
        QVERIFY(QFile::exists(f.env.path("A.java")));
        QVERIFY(f.prompter.unexpected().isEmpty());
    }

    // Cancel at an editor's save question keeps that document and every one
    // after it; those before it are removed.
    void cancelStopsRemove()
    {
        Fixture f;
        for (const char* name : {"A.java", "B.java", "C.java"})
            f.addFile(name);
        f.manager->SetProject(f.project.get());
        f.host.closeAnswers["B.java"] = false;
        f.select({"A.java", "B.java", "C.java"});
        const int updates = f.host.menuUpdates;
        f.w().doDelete();
        QCOMPARE(f.host.calls, QStringList({"Close A.java", "Close B.java"}));
        QVERIFY(f.host.menuUpdates > updates);
        QCOMPARE(f.projectNames(), QStringList({"B.java", "C.java"}));
        QCOMPARE(f.names(), QStringList({"B.java", "C.java"}));
    }

    // Cut in one project and Paste in another moves the document; Copy keeps
    // it, and only the first selected document is taken.
    void cutAndPasteMoveBetweenProjects()
    {
        Fixture f;
        f.addFile("A.java");
        const QString b = f.addFile("B.java");
        f.manager->SetProject(f.project.get());
        f.select({"B.java", "A.java"});
        f.w().doCut();
        QCOMPARE(f.host.calls, QStringList({"Close A.java"}));
        QCOMPARE(f.projectNames(), QStringList({"B.java"}));
        QCOMPARE(QApplication::clipboard()->text(), f.env.path("A.java"));

        f.host.calls.clear();
        f.select({"B.java"});
        f.w().doCopy();
        QCOMPARE(f.host.calls, QStringList({"Close B.java"}));
        QCOMPARE(QApplication::clipboard()->text(), b);
        QCOMPARE(f.projectNames(), QStringList({"B.java"}));

        auto other = TProject::Create();
        f.manager->SetProject(other.get());
        f.w().mnpDocumentPopup();
        QVERIFY(f.w().mnpPaste->isEnabled());
        f.w().doPaste();
        QCOMPARE(other->Count(), 1);
        QCOMPARE(other->GetFullPath("B.java"), b);
        QCOMPARE(f.names(), QStringList({"B.java"}));
        f.w().doPaste(); // already there: not added twice
        QCOMPARE(other->Count(), 1);
        f.manager->SetProject(nullptr);
    }

    // Cancel at the editor's question leaves clipboard and project alone.
    void cancelStopsCutAndCopy()
    {
        Fixture f;
        f.addFile("A.java");
        f.manager->SetProject(f.project.get());
        QApplication::clipboard()->setText("before");
        f.host.closeAnswers["A.java"] = false;
        f.select({"A.java"});
        f.w().doCopy();
        f.w().doCut();
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));
        QCOMPARE(f.projectNames(), QStringList({"A.java"}));
    }

    // Any existing file's path copied as text elsewhere pastes; text that
    // names no file disables Paste and adds nothing.
    void pastePlainTextPath()
    {
        Fixture f;
        f.manager->SetProject(f.project.get());
        const QString path = f.env.writeFile("From elsewhere.txt", "x");
        QApplication::clipboard()->setText(f.env.path("nothing.txt"));
        f.w().mnpDocumentPopup();
        QVERIFY(!f.w().mnpPaste->isEnabled());
        f.w().doPaste();
        QCOMPARE(f.project->Count(), 0);

        QApplication::clipboard()->setText(path);
        f.w().mnpDocumentPopup();
        QVERIFY(f.w().mnpPaste->isEnabled());
        f.w().doPaste();
        QCOMPARE(f.projectNames(), QStringList({"From elsewhere.txt"}));
    }

    // The manager's own clipboard format names the document even where the
    // text beside it was changed to something else.
    void pasteTakesOwnFormatFirst()
    {
        Fixture f;
        f.manager->SetProject(f.project.get());
        const QString path = f.env.writeFile("Own.java", "x");
        auto* mime = new QMimeData;
        mime->setText("not a file");
        mime->setData(kDocumentPathMime, path.toUtf8());
        QApplication::clipboard()->setMimeData(mime);
        f.w().doPaste();
        QCOMPARE(f.project->GetFullPath("Own.java"), path);
    }

    // Compile and Load in Browser follow the first selected document's type
    // and are hidden otherwise; the rest follow whether anything is selected.
    void popupFollowsSelection()
    {
        Fixture f;
        for (const char* name : {"A.java", "b.html", "c.txt"})
            f.addFile(name);
        f.manager->SetProject(f.project.get());
        TdlgOptionsBase& w = f.w();
        f.select({});
        w.mnpDocumentPopup();
        for (QAction* a :
             {w.mnpDocumentOpen, w.mnpRemove, w.mnpCut, w.mnpCopy, w.mnpCompile, w.mnpBrowse})
            QVERIFY2(!a->isEnabled(), qPrintable(a->text()));
        QVERIFY(w.mnpAdd->isEnabled());

        f.select({"A.java", "b.html"});
        w.mnpDocumentPopup();
        QVERIFY(w.mnpCompile->isVisible() && w.mnpCompile->isEnabled());
        QVERIFY(!w.mnpBrowse->isVisible());
        QVERIFY(w.mnpCut->isEnabled() && w.mnpRemove->isEnabled());
        w.mnpCompileClick();

        f.select({"b.html"});
        w.mnpDocumentPopup();
        QVERIFY(!w.mnpCompile->isVisible());
        QVERIFY(w.mnpBrowse->isVisible() && w.mnpBrowse->isEnabled());
        w.mnpBrowseClick();

        f.select({"c.txt", "A.java"});
        w.mnpDocumentOpenClick();
        QCOMPARE(f.host.calls,
                 QStringList({"Compile A.java", "Browse b.html", "Open A.java", "Open c.txt"}));
    }

    // On a type tab, Add File preselects that type's filter first.
    void addFileSelectsTheTabsFilter()
    {
        Fixture f;
        f.manager->SetProject(f.project.get());
        f.w().mnpAddClick();
        f.w().SetTypeTab(2);
        f.w().mnpAddClick();
        QCOMPARE(f.host.calls, QStringList({"AddFiles", "FilterIndex 2", "AddFiles"}));
    }

    void optionStringToBoxes_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("boxes"); // W O V G, upper case when checked
        QTest::newRow("empty") << ""
                               << "Wovg";
        QTest::newRow("all four") << " -nowarn -O -verbose -g"
                                  << "wOVG";
        QTest::newRow("nowarn and g") << " -nowarn -g"
                                      << "wovG";
        QTest::newRow("as loaded, no blank") << "-nowarn -g"
                                             << "wovG";
        QTest::newRow("hand-written -O") << "-O"
                                         << "WOvg";
        QTest::newRow("substrings") << "-Ofast -gnone"
                                    << "WOvG";
        QTest::newRow("case matters") << "-o -G -VERBOSE"
                                      << "Wovg";
    }

    // Each box is found by a substring search with case.
    void optionStringToBoxes()
    {
        QFETCH(QString, options);
        QFETCH(QString, boxes);
        const TOptionBoxes b = OptionBoxesOf(options);
        const QString got = QString(b.Warnings ? "W" : "w") + (b.Optimize ? "O" : "o") +
                            (b.Verbose ? "V" : "v") + (b.Debug ? "G" : "g");
        QCOMPARE(got, boxes);
    }

    // The boxes build the string in a fixed order, each piece with its blank.
    void boxesToOptionString()
    {
        QCOMPARE(OptionStringOf({true, false, false, false}), QString());
        QCOMPARE(OptionStringOf({false, true, true, true}), QString(" -nowarn -O -verbose -g"));
        QCOMPARE(OptionStringOf({false, false, false, true}), QString(" -nowarn -g"));
        QCOMPARE(OptionStringOf({true, true, false, false}), QString(" -O"));
    }

    // The window shows the boxes of the project's string, and a click writes
    // the rebuilt string at once: a hand-written "-O" gains its blank.
    void optionBoxesWriteTheString()
    {
        Fixture f;
        f.project->SetCompileOptions("-O");
        f.manager->SetProject(f.project.get());
        TdlgOptionsBase& w = f.w();
        QVERIFY(w.chkWarnings->isChecked() && w.chkOptimize->isChecked());
        QVERIFY(!w.chkVerbose->isChecked() && !w.chkDebug->isChecked());
        QCOMPARE(f.project->CompileOptions(), QString("-O"));

        w.chkVerbose->click();
        QCOMPARE(f.project->CompileOptions(), QString(" -O -verbose"));
        w.chkVerbose->click();
        QCOMPARE(f.project->CompileOptions(), QString(" -O"));
        w.chkWarnings->click();
        QCOMPARE(f.project->CompileOptions(), QString(" -nowarn -O"));
    }

    // Opening a loaded project in the window and closing it changes nothing:
    // its options read back without their leading blank are the same options.
    void openAndCloseLeavesProjectUnmodified()
    {
        Fixture f;
        f.addFile("A.java");
        f.project->SetName("Shop");
        f.project->SetCompileOptions(" -nowarn -g");
        f.project->SetClassPath("lib/a.jar");
        f.project->SetOutputPath("classes");
        f.project->SetFileName(f.env.path("shop.jpr"));
        f.project->Save();
        f.manager->SetProject(nullptr);
        f.project = TProject::CreateFromFile(f.env.path("shop.jpr"));
        QCOMPARE(f.project->CompileOptions(), QString("-nowarn -g"));

        f.manager->SetProject(f.project.get());
        f.show();
        QVERIFY(f.manager->close());
        QVERIFY(!f.project->IsModified());
        QCOMPARE(f.project->CompileOptions(), QString("-nowarn -g"));
        QCOMPARE(f.host.calls, QStringList({"Shown 0"}));
    }

    // The name is written trimmed, and marks the project modified only when
    // that differs from the stored name.
    void nameEditWritesTrimmedName()
    {
        Fixture f;
        f.project->SetName("Shop");
        f.save();
        f.manager->SetProject(f.project.get());
        f.w().edtProjectName->setText("  Shop ");
        QVERIFY(!f.project->Modified());
        f.w().edtProjectName->setText(" Shop 2\t");
        QCOMPARE(f.project->Name(), QString("Shop 2"));
        QVERIFY(f.project->Modified());
        f.w().edtDirectory->setText(" out ");
        QCOMPARE(f.project->OutputPath(), QString("out"));
    }

    // Files dropped on the list join the project in the order dropped; the
    // menus follow.
    void droppedFilesJoinTheProject()
    {
        Fixture f;
        f.manager->SetProject(f.project.get());
        f.show();
        const QString a = f.env.writeFile("A.java", "x");
        const QString b = f.env.writeFile("b.html", "x");
        const int updates = f.host.menuUpdates;
        dropOn(f.list()->viewport(), {b, a, f.env.path("missing.txt")});
        QCOMPARE(f.projectNames(), QStringList({"b.html", "A.java"}));
        QCOMPARE(f.names(), QStringList({"A.java", "b.html"}));
        QVERIFY(f.host.calls.isEmpty() && f.host.menuUpdates > updates);
    }

    // Without a project, a drop first makes one through the main window.
    void dropWithoutProjectMakesOne()
    {
        Fixture f;
        f.show();
        const QString a = f.env.writeFile("A.java", "x");
        const int updates = f.host.menuUpdates;
        dropOn(f.list()->viewport(), {a});
        QCOMPARE(f.host.calls, QStringList({"NewProject"}));
        QVERIFY(f.host.menuUpdates > updates);
        QVERIFY(f.host.newProject);
        QCOMPARE(f.host.newProject->GetFullPath("A.java"), a);
        f.manager->SetProject(nullptr);
    }

    // A dropped project file opens as the project (once the drop is over),
    // and nothing is added to the one shown.
    void droppedProjectFileOpens()
    {
        Fixture f;
        f.manager->SetProject(f.project.get());
        f.show();
        const QString a = f.env.writeFile("A.java", "x");
        const QString jpr = f.env.writeFile("other.jpr", "x");
        dropOn(f.list()->viewport(), {a, jpr});
        QTRY_COMPARE(f.host.calls, QStringList({"OpenProject " + jpr}));
        QCOMPARE(f.project->Count(), 0);
    }
};

// The drop contract of both list controls, apart from any window.
class TestFileDropLists : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data()
    {
        QTest::addColumn<bool>("listView");
        QTest::newRow("TKxListView") << true;
        QTest::newRow("TKxListBox") << false;
    }

    // One call per drop with every path in order and the point in the
    // control's coordinates; nothing while AcceptFiles is False.
    void dropDeliversAllFilesOnce()
    {
        QFETCH_GLOBAL(bool, listView);
        TKxListView view;
        TKxListBox box;
        QWidget* control = listView ? static_cast<QWidget*>(&view) : &box;
        QWidget* viewport = listView ? view.view()->viewport() : box.viewport();
        QList<QStringList> drops;
        QPoint at;
        const TFileDropEvent handler = [&](const QStringList& files, int x, int y) {
            drops << files;
            at = QPoint(x, y);
        };
        listView ? view.SetOnFileDrop(handler) : box.SetOnFileDrop(handler);
        control->show();
        QVERIFY(QTest::qWaitForWindowExposed(control));
        const QStringList paths = {"/tmp/c.java", "/tmp/a.txt",
                                   "/tmp/" + QString("x").repeated(300)};

        QVERIFY(!(listView ? view.AcceptFiles() : box.AcceptFiles()));
        QVERIFY(!viewport->acceptDrops());
        dropOn(viewport, paths);
        QVERIFY(drops.isEmpty());

        listView ? view.SetAcceptFiles(true) : box.SetAcceptFiles(true);
        QVERIFY(viewport->acceptDrops());
        dropOn(viewport, paths, QPoint(10, 12));
        QCOMPARE(drops, QList<QStringList>({paths}));
        QCOMPARE(at, viewport->mapTo(control, QPoint(10, 12)));
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int status = 0;
    {
        TestProjectManager t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestFileDropLists t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}

#include "tst_projectmanager.moc"
