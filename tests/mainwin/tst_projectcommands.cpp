// The project commands in the main window: closing a project with the multi-save series,
// new, open and reopen, the caption, the project manager toggle, adding and removing
// documents and what the project manager asks of the main window. Every case runs for both
// editor variants (global data).
#include "dialogs/dmultisave.h"
#include "dialogs/projectmanager.h"
#include "editor/editorwindow.h"
#include "editor/textcontrol.h"
#include "mainwin/childwindows.h"
#include "mainwin/documentcommands.h"
#include "mainwin/fmain.h"
#include "model/project.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"
#include "support/variants.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QtTest>

#include <sys/stat.h>

using namespace bp;
using namespace bp::test;

namespace {

using Answers = QList<int>;

QByteArray projectFile(const QString& name, const QStringList& files = {})
{
    QByteArray out = "Tarvik's Brewpad 2.09\r\n2\r\nProject\r\n  " + name.toUtf8() +
                     "\r\n\r\nCompileOptions\r\n  \r\n\r\nClassPath\r\n  \r\n\r\nOutputPath\r\n  "
                     "\r\n\r\nFiles\r\n";
    for (const QString& f : files)
        out += f.toUtf8() + "\r\n";
    return out;
}

// One started main window of the case's variant, in its own world.
struct World {
    World()
    {
        main = std::make_unique<TfrmMain>(QStringList());
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    TProjectCommands& projects() const { return main->Projects(); }
    TProject* project() const { return main->CurrentProject(); }
    TcwEditBase* active() const { return main->ActiveAnyEditor(); }
    QList<QMdiSubWindow*> children() const { return main->MdiArea()->subWindowList(); }
    int editors() const { return int(main->Children().Editors().size()); }
    bool managerOpen() const
    {
        for (QMdiSubWindow* sub : children())
            if (dynamic_cast<TProjectManager*>(sub->widget()))
                return true;
        return false;
    }
    // Opens a file in an editor and types text in front of it.
    TcwEditBase* openModified(const QString& name, const QByteArray& bytes, const QString& typed)
    {
        TcwEditBase* e = main->Children().OpenEditor(env.writeFile(name, bytes));
        if (!typed.isEmpty())
            QTest::keyClicks(e->Text()->widget(), typed);
        return e;
    }
    // The next multi-save question is answered with code; its caption and message are
    // recorded in multiSaves.
    void answerMultiSave(int code)
    {
        ask.answerDialog([this, code](QDialog& d) {
            auto& dialog = dynamic_cast<TdlgMultiSave&>(d);
            multiSaves << dialog.windowTitle() + QStringLiteral(": ") + dialog.Message();
            dialog.done(code);
            return dialog.result();
        });
    }
    // Runs the Project menu's update as opening the menu does.
    void openProjectMenu() { Q_EMIT main->Actions().mnuProject->aboutToShow(); }
    bool enabled(const char* item) const { return main->item(QLatin1String(item))->isEnabled(); }

    VariantScope variant;
    TestEnv env;
    ScriptedPrompter ask;
    std::unique_ptr<TfrmMain> main;
    QStringList multiSaves;
};

QString question(const QString& caption)
{
    return QStringLiteral("Save Project: Save changes to ") + caption + QLatin1Char('?');
}

} // namespace

class TestProjectCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data() { addEditorVariants(); }

    // -----------------------------------------------------------------------------------
    // Closing a project: the multi-save series

    void multiSaveSeries_data()
    {
        // Three modified editors a, b, c (opened in that order, so asked c, b, a), answered
        // in turn; the windows asked about, the files saved, whether the project closed.
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QStringList>("saved");
        QTest::addColumn<bool>("closes");
        const int yes = TdlgMultiSave::mrYes, yesAll = TdlgMultiSave::mrYesToAll,
                  no = TdlgMultiSave::mrNo, noAll = TdlgMultiSave::mrNoToAll,
                  cancel = TdlgMultiSave::mrCancel;
        const QStringList all{"c.txt", "b.txt", "a.txt"};
        QTest::newRow("yes each") << Answers{yes, yes, yes} << all << all << true;
        QTest::newRow("yes to all first") << Answers{yesAll} << QStringList{"c.txt"} << all << true;
        QTest::newRow("yes to all second") << Answers{no, yesAll} << QStringList{"c.txt", "b.txt"}
                                           << QStringList{"b.txt", "a.txt"} << true;
        QTest::newRow("no each") << Answers{no, no, no} << all << QStringList{} << true;
        QTest::newRow("no to all first")
            << Answers{noAll} << QStringList{"c.txt"} << QStringList{} << true;
        QTest::newRow("yes then no to all")
            << Answers{yes, noAll} << QStringList{"c.txt", "b.txt"} << QStringList{"c.txt"} << true;
        QTest::newRow("cancel first")
            << Answers{cancel} << QStringList{"c.txt"} << QStringList{} << false;
        QTest::newRow("cancel in the middle")
            << Answers{yes, cancel} << QStringList{"c.txt", "b.txt"} << QStringList{"c.txt"}
            << false;
        QTest::newRow("cancel last")
            << Answers{yes, no, cancel} << all << QStringList{"c.txt"} << false;
    }
    // Each answer does what it says; Cancel on any question stops the whole close: nothing
    // more is asked, nothing is closed, documents saved before stay saved.
    void multiSaveSeries()
    {
        QFETCH(Answers, answers);
        QFETCH(QStringList, asked);
        QFETCH(QStringList, saved);
        QFETCH(bool, closes);
        World w;
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            w.openModified(QLatin1String(name), "1\n", QStringLiteral("x"));
        TProject* before = w.project();
        for (int answer : std::as_const(answers))
            w.answerMultiSave(answer);

        QCOMPARE(w.projects().CloseProject(), closes);

        QStringList questions;
        for (const QString& name : std::as_const(asked))
            questions << question(name);
        QCOMPARE(w.multiSaves, questions);
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            QCOMPARE(TestEnv::readFile(w.env.path(QLatin1String(name))),
                     QByteArray(saved.contains(QLatin1String(name)) ? "x1\n" : "1\n"));
        QCOMPARE(w.editors(), closes ? 0 : 3);
        QCOMPARE(w.project(), closes ? nullptr : before);
        if (!closes) {
            // The windows passed over keep their text for the next try.
            for (TcwEditBase* e : w.main->Children().Editors())
                QCOMPARE(e->IsSaved(), saved.contains(e->windowTitle()));
        }
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Saved windows are passed over; with no window to ask about nothing is asked.
    void multiSaveAsksOnlyAboutUnsavedText()
    {
        World w;
        w.openModified(QStringLiteral("a.txt"), "1\n", QStringLiteral("x"));
        w.openModified(QStringLiteral("b.txt"), "1\n", QString());
        w.answerMultiSave(TdlgMultiSave::mrNo);
        QCOMPARE(w.projects().QuerySaveDocuments(), TdlgMultiSave::mrNo);
        QCOMPARE(w.multiSaves, QStringList{question(QStringLiteral("a.txt"))});
        w.main->Children().Editors().first()->Text()->setModified(false);
        QCOMPARE(w.projects().QuerySaveDocuments(), TdlgMultiSave::mrYes);
        QCOMPARE(w.multiSaves.size(), 1);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    void failedSaveStopsTheClose_data()
    {
        QTest::addColumn<bool>("throws");
        // The editor refuses a read-only file (its Save returns false) ...
        QTest::newRow("read-only file") << false;
        // ... or the write itself fails (an EBrewpadError): a directory took the file's name.
        QTest::newRow("write error") << true;
    }
    // A save that fails in the middle of the series stops the close as Cancel does: the
    // window keeps its text, nothing more is asked, the project stays open.
    void failedSaveStopsTheClose()
    {
        QFETCH(bool, throws);
        World w;
        w.openModified(QStringLiteral("a.txt"), "1\n", QStringLiteral("x"));
        TcwEditBase* b = w.openModified(QStringLiteral("b.txt"), "1\n", QStringLiteral("x"));
        w.openModified(QStringLiteral("c.txt"), "1\n", QStringLiteral("x"));
        const QString bPath = w.env.path(QStringLiteral("b.txt"));
        if (throws) {
            QVERIFY(QFile::remove(bPath));
            QVERIFY(QDir(w.env.dir()).mkdir(QStringLiteral("b.txt")));
        } else {
            QCOMPARE(::chmod(QFile::encodeName(bPath).constData(), 0444), 0);
        }
        TProject* before = w.project();
        w.answerMultiSave(TdlgMultiSave::mrYes);
        w.answerMultiSave(TdlgMultiSave::mrYesToAll);
        w.ask.answerMessage(MsgResult::OK); // the warning, or the error box

        QVERIFY(!w.projects().CloseProject());

        QCOMPARE(w.multiSaves, (QStringList{question(QStringLiteral("c.txt")),
                                            question(QStringLiteral("b.txt"))}));
        QCOMPARE(w.ask.messages().size(), 1);
        if (!throws)
            QCOMPARE(w.ask.messages().first(),
                     bPath + QStringLiteral(" is read only and will not be saved."));
        QCOMPARE(TestEnv::readFile(w.env.path(QStringLiteral("c.txt"))), QByteArray("x1\n"));
        QCOMPARE(TestEnv::readFile(w.env.path(QStringLiteral("a.txt"))), QByteArray("1\n"));
        QCOMPARE(w.editors(), 3);
        QVERIFY(!b->IsSaved());
        QCOMPARE(b->Text()->text(), QStringLiteral("x1\r\n"));
        QCOMPARE(w.project(), before);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // -----------------------------------------------------------------------------------
    // New, open, reopen, save and the caption

    // New Project with a modified project and two unsaved editors: Yes to All saves both,
    // then the project's own question; No to it closes without saving and the new project
    // follows with its manager.
    void newProjectWhileModifiedProjectIsOpen()
    {
        World w;
        w.openModified(QStringLiteral("a.txt"), "1\n", QStringLiteral("x"));
        w.openModified(QStringLiteral("b.txt"), "1\n", QStringLiteral("y"));
        w.project()->SetName(QStringLiteral("Demo"));
        w.answerMultiSave(TdlgMultiSave::mrYesToAll);
        w.ask.answerMessage(MsgResult::No);

        w.main->item("mnuFileNewProject")->trigger();

        QCOMPARE(w.multiSaves, QStringList{question(QStringLiteral("b.txt"))});
        QCOMPARE(w.ask.messages(), QStringList{QStringLiteral(" Save project 'Demo'?")});
        QCOMPARE(TestEnv::readFile(w.env.path(QStringLiteral("a.txt"))), QByteArray("x1\n"));
        QCOMPARE(TestEnv::readFile(w.env.path(QStringLiteral("b.txt"))), QByteArray("y1\n"));
        // (The new project may well sit where the old one did: its name and
        // empty list tell them apart.)
        QCOMPARE(w.project()->Name(), QStringLiteral("New Project"));
        QCOMPARE(w.project()->Count(), 0);
        QCOMPARE(w.editors(), 0);
        QVERIFY(w.managerOpen());
        QVERIFY(w.main->ProjectManagerShown());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Cancel on the project's own question keeps the project (the editors have closed).
    void cancelOnTheProjectQuestionKeepsTheProject()
    {
        World w;
        w.openModified(QStringLiteral("a.txt"), "1\n", QStringLiteral("x"));
        w.project()->SetName(QStringLiteral("Demo"));
        TProject* before = w.project();
        w.answerMultiSave(TdlgMultiSave::mrNo);
        w.ask.answerMessage(MsgResult::Cancel);
        w.main->item("mnuFileNewProject")->trigger();
        QCOMPARE(w.project(), before);
        QCOMPARE(w.editors(), 0);
        QCOMPARE(TestEnv::readFile(w.env.path(QStringLiteral("a.txt"))), QByteArray("1\n"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Open Project asks for a project file, closes the modified project with its questions
    // and loads the file: caption, recent projects and the manager follow.
    void openProjectWhileModifiedProjectIsOpen()
    {
        World w;
        const QString doc = w.env.writeFile(QStringLiteral("p/Hello.java"), "class Hello {}\n");
        const QString jpr = w.env.writeFile(QStringLiteral("p/Demo.jpr"),
                                            projectFile(QStringLiteral("Demo"), {doc}));
        w.openModified(QStringLiteral("a.txt"), "1\n", QStringLiteral("x"));
        w.project()->SetName(QStringLiteral("Old"));
        w.ask.answerOpen({jpr});
        w.answerMultiSave(TdlgMultiSave::mrNo);
        w.ask.answerMessage(MsgResult::No);

        w.main->item("mnuFileOpenProject")->trigger();

        QCOMPARE(w.ask.asked().first().kind, Asked::Open);
        QCOMPARE(w.ask.asked().first().fileOptions.filter,
                 QStringLiteral("Brewpad Project (*.jpr)|*.jpr"));
        QVERIFY(!w.ask.asked().first().fileOptions.multiSelect);
        QCOMPARE(w.multiSaves, QStringList{question(QStringLiteral("a.txt"))});
        QCOMPARE(w.ask.messages(), QStringList{QStringLiteral(" Save project 'Old'?")});
        QCOMPARE(w.project()->Name(), QStringLiteral("Demo"));
        QCOMPARE(w.project()->Count(), 1);
        QCOMPARE(w.main->windowTitle(), "Tarvik's Brewpad 2.09: Demo (" + jpr + ")");
        QCOMPARE(w.main->WindowValues().RecentProjects, QStringList{jpr});
        QVERIFY(w.managerOpen());
        QCOMPARE(w.editors(), 0);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A cancelled open dialog changes nothing and asks nothing more; the open dialog keeps
    // the document filter the user chose last.
    void cancelledOpenProjectDialogChangesNothing()
    {
        World w;
        const QString a = w.env.writeFile(QStringLiteral("a.txt"), "1\n");
        w.ask.answerOpen({a}, 3);
        w.main->item("mnuFileOpenDoc")->trigger();
        QTest::keyClicks(w.active()->Text()->widget(), QStringLiteral("x"));
        TProject* before = w.project();
        w.ask.answerOpen({});
        w.main->item("mnuFileOpenProject")->trigger();
        QCOMPARE(w.project(), before);
        QCOMPARE(w.editors(), 1);
        QVERIFY(w.multiSaves.isEmpty());
        w.ask.answerOpen({});
        w.main->item("mnuFileOpenDoc")->trigger();
        QCOMPARE(w.ask.asked().size(), 3);
        QCOMPARE(w.ask.asked().last().fileOptions.filterIndex, 3);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Reopen of a recent project closes the open one with its questions; Cancel keeps it.
    void reopenProjectWhileModifiedProjectIsOpen()
    {
        World w;
        const QString jpr =
            w.env.writeFile(QStringLiteral("Demo.jpr"), projectFile(QStringLiteral("Demo")));
        w.main->Documents().Recent().AddProject(jpr);
        w.openModified(QStringLiteral("a.txt"), "1\n", QStringLiteral("x"));
        TProject* before = w.project();
        QAction* reopen = w.main->item("mnuFileReopen")->menu()->actions().first();

        w.answerMultiSave(TdlgMultiSave::mrCancel);
        reopen->trigger();
        QCOMPARE(w.project(), before);
        QCOMPARE(w.editors(), 1);

        w.answerMultiSave(TdlgMultiSave::mrYes);
        reopen->trigger();
        QCOMPARE(w.project()->Name(), QStringLiteral("Demo"));
        QCOMPARE(TestEnv::readFile(w.env.path(QStringLiteral("a.txt"))), QByteArray("x1\n"));
        QCOMPARE(w.multiSaves.size(), 2);
        QVERIFY(w.managerOpen());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // The caption names the project, and its file once it has one; with no project, the
    // program alone.
    void captionFollowsTheProject()
    {
        World w;
        QCOMPARE(w.main->windowTitle(), QStringLiteral("Tarvik's Brewpad 2.09: New Project"));
        const QString jpr = w.env.path(QStringLiteral("Demo.jpr"));
        w.project()->SetName(QStringLiteral("Demo"));
        w.main->UpdateMenuItems();
        w.ask.answerSave(w.env.path(QStringLiteral("Demo")));
        w.main->item("mnuFileSaveAll")->trigger();
        QCOMPARE(w.ask.asked().size(), 1);
        QCOMPARE(w.ask.asked().last().fileOptions.filter,
                 QStringLiteral("Brewpad Project (*.jpr)|*.jpr"));
        QCOMPARE(w.main->windowTitle(), "Tarvik's Brewpad 2.09: Demo (" + jpr + ")");
        QVERIFY(QFile::exists(jpr));
        QCOMPARE(w.main->WindowValues().RecentProjects, QStringList{jpr});
        QVERIFY(w.projects().CloseProject());
        QCOMPARE(w.main->windowTitle(), QStringLiteral("Tarvik's Brewpad 2.09"));
        QVERIFY(!w.enabled("mnuFileSaveProjectAs"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // -----------------------------------------------------------------------------------
    // The project manager window

    // The command shows the manager as a child window with its check mark, and closes it
    // again; when the window closes itself and says so, the command shows a new one.
    void managerToggleAndCheckMark()
    {
        World w;
        QAction* toggle = w.main->item("mnuProjectViewProjectManager");
        QVERIFY(!w.managerOpen() && !toggle->isChecked());
        toggle->trigger();
        QVERIFY(w.managerOpen() && toggle->isChecked() && w.main->ProjectManagerShown());
        QVERIFY(w.projects().Manager());
        toggle->trigger();
        QVERIFY(!toggle->isChecked() && !w.main->ProjectManagerShown());
        QTRY_VERIFY(!w.managerOpen());

        toggle->trigger();
        QMdiSubWindow* frame = w.children().first();
        frame->close();
        static_cast<IProjectManagerHost&>(w.projects()).SetProjectManagerShown(false);
        QVERIFY(!toggle->isChecked());
        QTRY_VERIFY(!w.managerOpen());
        toggle->trigger();
        QVERIFY(w.managerOpen() && toggle->isChecked());
    }

    // Closing the project takes its manager with it: the window leaves the children at
    // once, and is destroyed only once control is back in the event loop, as the manager
    // itself may have asked for a new project.
    void closingTheProjectClosesTheManager()
    {
        World w;
        w.main->item("mnuProjectViewProjectManager")->trigger();
        QPointer<TProjectManager> manager = w.projects().Manager();
        QVERIFY(manager);
        static_cast<IProjectManagerHost&>(w.projects()).NewProject();
        QVERIFY(manager);
        QVERIFY(!w.children().contains(manager->parentWidget()));
        QVERIFY(w.projects().Manager() != manager);
        QTRY_VERIFY(!manager);
        QVERIFY(w.projects().CloseProject());
        QVERIFY(!w.managerOpen());
        QVERIFY(!w.main->item("mnuProjectViewProjectManager")->isChecked());
    }

    // -----------------------------------------------------------------------------------
    // Adding and removing documents

    // Add File adds each chosen file and opens it as the project's document; a file whose
    // name the project has already is not added twice.
    void addFileAddsAndOpensTheChosenFiles()
    {
        World w;
        const QString a = w.env.writeFile(QStringLiteral("A.java"), "a\n");
        const QString b = w.env.writeFile(QStringLiteral("B.txt"), "b\n");
        const QString other = w.env.writeFile(QStringLiteral("o/a.JAVA"), "o\n");
        w.ask.answerOpen({a, b});
        w.main->item("mnuProjectAddDoc")->trigger();
        QCOMPARE(w.project()->Count(), 2);
        QCOMPARE(w.editors(), 2);
        QCOMPARE(w.active()->Document(), w.project()->FindDocument(QStringLiteral("B.txt")));
        QVERIFY(w.enabled("mnuProjectRemoveDoc"));
        w.ask.answerOpen({other});
        w.main->item("mnuProjectAddDoc")->trigger();
        QCOMPARE(w.project()->Count(), 2);
        QCOMPARE(w.editors(), 2);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Add Active Document is enabled with the Project menu when an editor is open; it adds
    // the active editor's document, which Remove Active Document then takes out again while
    // the editor keeps it.
    void addActiveThenRemoveActive()
    {
        World w;
        w.openProjectMenu();
        QVERIFY(!w.enabled("mnuProjectAddActiveDoc"));
        TcwEditBase* e = w.openModified(QStringLiteral("A.java"), "a\n", QString());
        w.openProjectMenu();
        QVERIFY(w.enabled("mnuProjectAddActiveDoc"));
        QVERIFY(!w.enabled("mnuProjectRemoveDoc"));
        w.main->item("mnuProjectAddActiveDoc")->trigger();
        QVERIFY(w.project()->ContainsFile(QStringLiteral("A.java")));
        QCOMPARE(e->Document()->Project(), w.project());
        QVERIFY(w.enabled("mnuProjectRemoveDoc"));
        w.main->item("mnuProjectRemoveDoc")->trigger();
        QCOMPARE(w.project()->Count(), 0);
        QVERIFY(e->HasDocument());
        QCOMPARE(e->Document()->Project(), nullptr);
        QVERIFY(!w.enabled("mnuProjectRemoveDoc"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Remove Active Document with an editor whose document is not in the project is disabled
    // and, run anyway, changes nothing.
    void removeActiveOfOtherDocumentChangesNothing()
    {
        World w;
        const QString a = w.env.writeFile(QStringLiteral("A.java"), "a\n");
        w.project()->AddFile(a);
        w.openModified(QStringLiteral("B.java"), "b\n", QString());
        w.main->UpdateMenuItems();
        QVERIFY(!w.enabled("mnuProjectRemoveDoc"));
        w.projects().mnuProjectRemoveDocClick();
        QCOMPARE(w.project()->Count(), 1);
    }

    // With only the project manager open, Add All Open Documents is disabled, and Remove
    // Active Document is enabled while a document is selected in it (the first one is, when
    // it opens) and disabled once nothing is.
    void managerAloneDisablesAddAllAndRemove()
    {
        World w;
        w.project()->AddFile(w.env.writeFile(QStringLiteral("A.java"), "a\n"));
        w.main->item("mnuProjectViewProjectManager")->trigger();
        QVERIFY(w.projects().Manager());
        QVERIFY(!w.enabled("mnuProjectAddAllDoc"));
        QVERIFY(w.enabled("mnuProjectRemoveDoc"));
        auto* list = w.projects().Manager()->focusWidget();
        QVERIFY(qobject_cast<QAbstractItemView*>(list));
        qobject_cast<QAbstractItemView*>(list)->clearSelection();
        w.main->UpdateMenuItems();
        QVERIFY(!w.enabled("mnuProjectRemoveDoc"));
        w.openProjectMenu();
        QVERIFY(!w.enabled("mnuProjectAddActiveDoc"));
    }

    // With the project manager active, the Edit menu's Copy, Delete and Paste, and Project >
    // Remove Active Document, act on its selected documents.
    void menusActOnTheManagersSelection()
    {
        World w;
        const QString a = w.env.writeFile(QStringLiteral("A.java"), "a\n");
        w.project()->AddFile(a);
        w.project()->AddFile(w.env.writeFile(QStringLiteral("B.java"), "b\n"));
        w.main->item("mnuProjectViewProjectManager")->trigger();
        QVERIFY(w.main->Children().ActiveManager());
        w.main->UpdateMenuItems();
        QVERIFY(w.enabled("mnuEditCopy") && w.enabled("mnuEditDelete"));
        const auto names = [&w] {
            QStringList out;
            for (int i = 0; i < w.project()->Count(); ++i)
                out << w.project()->EntryName(i);
            return out;
        };
        w.main->item("mnuEditCopy")->trigger(); // A, selected as the manager opened
        QCOMPARE(names(), QStringList({"A.java", "B.java"}));
        w.main->item("mnuEditDelete")->trigger();
        QCOMPARE(names(), QStringList{"B.java"});
        w.main->item("mnuEditPaste")->trigger();
        QCOMPARE(names(), QStringList({"B.java", "A.java"}));
        QCOMPARE(w.project()->GetFullPath(QStringLiteral("A.java")), a);
        auto* list =
            qobject_cast<QAbstractItemView*>(w.main->Children().ActiveManager()->focusWidget());
        QVERIFY(list);
        list->selectionModel()->select(list->model()->index(0, 0),
                                       QItemSelectionModel::ClearAndSelect |
                                           QItemSelectionModel::Rows);
        w.main->item("mnuProjectRemoveDoc")->trigger();
        QCOMPARE(names().size(), 1);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Add All Open Documents with three editors and the manager open adds the three
    // documents; a never-saved one has no file to add.
    void addAllOpenDocuments()
    {
        World w;
        w.main->item("mnuProjectViewProjectManager")->trigger();
        for (const char* name : {"A.java", "B.html", "C.txt"})
            w.openModified(QLatin1String(name), "1\n", QString());
        w.main->Documents().NewDocument(TDocType::Java);
        QVERIFY(w.enabled("mnuProjectAddAllDoc"));
        w.main->item("mnuProjectAddAllDoc")->trigger();
        QStringList names;
        for (int i = 0; i < w.project()->Count(); ++i)
            names << w.project()->EntryName(i);
        QCOMPARE(names, (QStringList{"A.java", "B.html", "C.txt"}));
        w.main->item("mnuProjectAddAllDoc")->trigger();
        QCOMPARE(w.project()->Count(), 3);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // -----------------------------------------------------------------------------------
    // What the project manager asks of the main window

    // Opening a project document makes one editor window for it and brings it forward
    // the next time; a name the project does not hold opens nothing.
    void openProjectDocumentOpensOnce()
    {
        World w;
        IProjectManagerHost& host = w.projects();
        w.project()->AddFile(w.env.writeFile(QStringLiteral("A.java"), "a\n"));
        w.project()->AddFile(w.env.writeFile(QStringLiteral("B.java"), "b\n"));
        host.OpenProjectDocument(QStringLiteral("A.java"));
        host.OpenProjectDocument(QStringLiteral("B.java"));
        host.OpenProjectDocument(QStringLiteral("A.java"));
        host.OpenProjectDocument(QStringLiteral("C.java"));
        QCOMPARE(w.editors(), 2);
        QCOMPARE(w.active()->Document(), w.project()->FindDocument(QStringLiteral("A.java")));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Closing a document's window asks the editor's save question: Cancel keeps the window
    // and its text, No closes it.
    void closeDocumentWindowAsksFirst()
    {
        World w;
        IProjectManagerHost& host = w.projects();
        const QString a = w.env.writeFile(QStringLiteral("A.java"), "a\n");
        w.project()->AddFile(a);
        host.OpenProjectDocument(QStringLiteral("A.java"));
        QTest::keyClicks(w.active()->Text()->widget(), QStringLiteral("x"));
        w.ask.answerMessage(MsgResult::Cancel);
        QVERIFY(!host.CloseDocumentWindow(QStringLiteral("A.java")));
        QCOMPARE(w.editors(), 1);
        QCOMPARE(w.ask.messages(), QStringList{"Save changes to " + a + "?"});
        w.ask.answerMessage(MsgResult::No);
        QVERIFY(host.CloseDocumentWindow(QStringLiteral("A.java")));
        QCOMPARE(w.editors(), 0);
        QVERIFY(host.CloseDocumentWindow(QStringLiteral("A.java")));
        QCOMPARE(TestEnv::readFile(a), QByteArray("a\n"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Compile opens the document and runs its editor's compile, which here finds that the
    // configured compiler is gone.
    void compileProjectDocumentRunsTheEditorsCompile()
    {
        World w;
        IProjectManagerHost& host = w.projects();
        w.project()->AddFile(w.env.writeFile(QStringLiteral("A.java"), "class A {}\n"));
        const QString compiler = w.env.path(QStringLiteral("gone/javac"));
        w.main->Settings().JavaCompiler = compiler;
        w.ask.answerMessage(MsgResult::OK);
        host.CompileProjectDocument(QStringLiteral("A.java"));
        QCOMPARE(w.editors(), 1);
        QCOMPARE(w.ask.messages(), QStringList{"Can't find '" + compiler + "'"});
        host.BrowseProjectDocument(QStringLiteral("A.java"));
        QCOMPARE(w.editors(), 1);
        QVERIFY(w.ask.unexpected().isEmpty());
    }
};

QTEST_MAIN(TestProjectCommands)
#include "tst_projectcommands.moc"
