// Compiling with the real JDK from an editor window: what it shows, and the user's file intact.
#include "editor/editorwindow.h"
#include "editor/textcontrol.h"
#include "mainwin/childwindows.h"
#include "mainwin/documentcommands.h"
#include "mainwin/fmain.h"
#include "model/compiledocument.h"
#include "model/document.h"
#include "model/recoverycopy.h"
#include "model/settings.h"
#include "platform/fileservices.h"
#include "platform/osversion.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QKeyEvent>
#include <QListView>
#include <QStatusBar>
#include <QStringListModel>
#include <QToolButton>
#include <QtTest>

#include <csignal>

using namespace bp;
using namespace bp::test;

namespace {

const QByteArray GoodClass = "public class Hello {\n    int twice(int x) { return 2 * x; }\n}\n";
// On disk: LF ends, trailing blanks, no final line end, an error (the editor's text is compiled).
const QByteArray BrokenClass = "public class Hello {  \n    int twice(int x) { return 2 * ; }\n}";
// Errors on lines 3 and 4.
const QByteArray TwoErrors = "public class Hello {\n    void f() {\n        int x = \"a\";\n"
                             "        undefined();\n    }\n}\n";
const QByteArray Deprecated = "class Dep { int y() { return new java.util.Date().getYear(); } }";
// Uses needs Other, which has an error on its line 2; Uses has its own on line 4.
const QByteArray UsesOther = "class Uses {\n    Other o = new Other();\n    int y = 1;\n"
                             "    int x = \"a\";\n}\n";
const QByteArray OtherClass = "class Other {\n    int g() { return 2 * ; }\n    int h = 3;\n}\n";

// A started main window configured with the JDK, in its own world, and the editor under test.
struct World {
    World()
    {
        setOsMajorVersionForTesting(6);
        main = std::make_unique<TfrmMain>(QStringList());
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        // The real file behind the `javac` found on PATH, as the settings would hold it.
        const QString javac =
            QFileInfo(QStandardPaths::findExecutable("javac")).canonicalFilePath();
        main->Settings().JavaCompiler = javac;
        main->Settings().JavaInterpreter = DeriveJavaInterpreter(javac);
        QVERIFY2(!main->Settings().JavaInterpreter.isEmpty(), "needs the JDK's javac and java");
        main->ApplySettings();
    }
    ~World() { setOsMajorVersionForTesting(-1); }
    // Opens a file holding stored and gives its editor the unsaved editorText.
    void open(const QString& name, const QByteArray& stored, const QByteArray& editorText)
    {
        file = env.writeFile(name, stored);
        main->Documents().OpenFiles({file});
        e = main->ActiveAnyEditor();
        setText(editorText);
    }
    void setText(const QByteArray& editorText)
    {
        e->Text()->setSelection(0, e->Text()->textLength());
        e->Text()->replaceSelection(QString::fromUtf8(editorText));
    }
    // Runs the compile command as given and waits until the compile is over.
    void compileWith(const std::function<void()>& command)
    {
        command();
        QTRY_VERIFY_WITH_TIMEOUT(!e->IsCompiling(), 60000);
    }
    void compile() { compileWith([this] { e->Compile(); }); }
    // A compiler that prints an error for line 2, then waits until the file "go" appears
    // before it prints the error count and fails; the interpreter's probe answers at once.
    // Each run of the compiler adds its process id to "runs".
    void useWaitingCompiler()
    {
        main->Settings().JavaCompiler = env.writeScript(
            "fake/javac", "echo $$ >> '" + env.path("runs").toUtf8() +
                              "'\necho \"$1:2: error: made up\"\ntouch '" +
                              env.path("started").toUtf8() + "'\n" +
                              TestEnv::waitForFile(env.path("go")) + "echo '1 error'\nexit 1\n");
        main->Settings().JavaInterpreter = env.writeScript("fake/java", "exit 0\n");
        main->ApplySettings();
    }
    // Starts the compile with the waiting compiler and waits until the compiler runs.
    void startWaitingCompile()
    {
        QFile::remove(env.path("started"));
        e->Compile();
        QVERIFY(e->IsCompiling());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(env.path("started")), 60000);
    }
    QStringList leftovers() const
    {
        return QDir(QFileInfo(file).path())
            .entryList({"bpd*", ".*bprecover*"}, QDir::Files | QDir::Hidden);
    }
    QListView* list() const { return e->lstErrors(); }
    QStringListModel* lines() const { return qobject_cast<QStringListModel*>(list()->model()); }
    QStringList listed() const { return lines()->stringList(); }
    void doubleClick(int row)
    {
        list()->setCurrentIndex(lines()->index(row));
        emit list()->doubleClicked(lines()->index(row));
    }
    int rowOf(const QString& line) const { return int(listed().indexOf(line)); }
    void pressEnter(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        list()->setCurrentIndex(lines()->index(row));
        QTest::keyClick(list(), modifiers ? Qt::Key_Enter : Qt::Key_Return, modifiers);
    }
    QString status() const { return e->statusBar()->currentMessage(); }
    bool panelShown() const { return e->pnlErrors()->isVisibleTo(e); }
    int textLine() const { return e->Text()->lineFromPosition(e->Text()->selStart()); }
    QString failure() const { return "Couldn't compile '" + file + "'."; }

    TestEnv env;
    ScriptedPrompter ask;
    std::unique_ptr<TfrmMain> main;
    TcwEditBase* e = nullptr;
    QString file;
};

} // namespace

class TestCompile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Run > Compile Document is there only while the compiler is; a deprecation is listed, but
    // the compile succeeded.
    void compileMenuFollowsTheCompiler()
    {
        World w;
        w.open("Dep.java", Deprecated, Deprecated);
        QAction* item = w.main->item("mnuRunCompileDocument");
        const QString javac = std::exchange(w.main->Settings().JavaCompiler, QString());
        w.main->ApplySettings();
        QVERIFY(!item->isEnabled());
        w.e->cmdJavaClick(); // the editor's own button asks the same
        QCOMPARE(w.status(), QString());

        w.main->Settings().JavaCompiler = javac;
        w.main->ApplySettings();
        QVERIFY(item->isEnabled());
        w.compileWith([item] { item->trigger(); });
        QCOMPARE(w.status(), "'" + w.file + "' compiled successfully.");
        QVERIFY(w.panelShown());
        QVERIFY(w.listed().join('\n').contains("Note: "));
        QVERIFY(!w.list()->selectionModel()->hasSelection());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // The editor's text is compiled (in a directory with a blank): the first error line is
    // selected, and its source line.
    void failedCompileSelectsTheFirstError()
    {
        World w;
        w.open("src dir/Hello.java", BrokenClass, TwoErrors);
        w.compileWith([&w] { w.e->button("cmdJava")->click(); });
        QCOMPARE(w.status(), w.failure());
        QVERIFY(w.panelShown());
        QCOMPARE(w.listed().last(), "2 errors");
        QCOMPARE(w.listed().value(w.list()->currentIndex().row()),
                 w.file + ":3: error: incompatible types: String cannot be converted to int");
        QCOMPARE(w.textLine(), 2);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A double-click on an error line selects its source line; without a selection nothing
    // moves, and a line whose number is no number says so.
    void doubleClickJumpsToTheErrorLine()
    {
        World w;
        w.open("Hello.java", BrokenClass, TwoErrors);
        w.compile();
        w.doubleClick(int(w.listed().indexOf(w.file + ":4: error: cannot find symbol")));
        QCOMPARE(w.textLine(), 3);
        w.list()->clearSelection();
        w.e->lstErrorsDblClick();
        QCOMPARE(w.textLine(), 3);
        w.lines()->setStringList(w.listed() << w.file + ":x: made up");
        w.ask.answerMessage(MsgResult::OK);
        w.doubleClick(int(w.listed().size()) - 1);
        QCOMPARE(w.textLine(), 3);
        QCOMPARE(w.ask.messages(), QStringList{"'x' is not a valid integer value"});
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Enter and the keypad's Enter on a listed line select its source line as a double-click
    // does; the list speaks in the editor's font, so that the "^" lines point at their column.
    void enterJumpsToTheErrorLine()
    {
        World w;
        w.main->Settings().Font.Name = "DejaVu Sans Mono";
        w.main->Settings().Font.Size = 13;
        w.main->ApplySettings();
        w.open("Hello.java", BrokenClass, TwoErrors);
        w.compile();
        QCOMPARE(w.textLine(), 2);
        w.pressEnter(w.rowOf(w.file + ":4: error: cannot find symbol"));
        QCOMPARE(w.textLine(), 3);
        w.pressEnter(0, Qt::KeypadModifier);
        QCOMPARE(w.textLine(), 2);
        QCOMPARE(w.list()->font(), w.main->EditorFont());
        QCOMPARE(w.list()->font().pointSize(), 13);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A line about another file opens that file as File > Open does and selects the line there;
    // once open, its window comes forward. A file that is gone is named in the status line.
    void otherFileLineOpensThatFile()
    {
        World w;
        const QString other = w.env.writeFile("Other.java", OtherClass);
        w.open("Uses.java", UsesOther, UsesOther);
        w.compile();
        QCOMPARE(w.status(), w.failure());
        const QString otherLine = "./Other.java:2: error: illegal start of expression";
        QCOMPARE(w.listed().first(), otherLine);
        // The document's own error is selected first, not the other file's.
        QCOMPARE(w.textLine(), 3);
        const TcwEditBase* uses = w.e;
        for (int round = 0; round < 2; ++round) {
            w.main->Children().Activate(w.main->Children().FindWindowByPath(w.file));
            w.pressEnter(w.rowOf(otherLine));
            TcwEditBase* shown = w.main->ActiveEditor();
            QVERIFY(shown != uses);
            QCOMPARE(shown->GetPathName(), other);
            QCOMPARE(shown->Text()->lineFromPosition(shown->Text()->selStart()), 1);
            QCOMPARE(shown->Text()->selectedText(), "    int g() { return 2 * ; }\r\n");
            QCOMPARE(w.main->Children().Count(), 2);
            shown->Text()->setSelection(0, 0);
        }
        QCOMPARE(w.main->WindowValues().RecentDocuments.value(0), other);

        QVERIFY(QFile::remove(other));
        w.main->Documents().CloseDoc();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(w.main->Children().Count(), 1);
        w.doubleClick(w.rowOf(otherLine));
        QCOMPARE(w.status(), "Can't find '" + other + "'");
        QCOMPARE(w.main->Children().Count(), 1);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // The document's error lines are marked in the margin; editing a line takes its mark off,
    // and the next compile marks what it found.
    void errorLinesAreMarked()
    {
        World w;
        w.open("Hello.java", BrokenClass, TwoErrors);
        w.compile();
        QCOMPARE(w.e->Text()->errorMarkers(), (QList<int>{2, 3}));
        w.e->Text()->setSelection(w.e->Text()->lineStart(2) + 8, 3);
        w.e->Text()->replaceSelection("String");
        QCOMPARE(w.e->Text()->errorMarkers(), QList<int>{3});
        w.compile();
        QCOMPARE(w.listed().last(), "1 error");
        QCOMPARE(w.e->Text()->errorMarkers(), QList<int>{3});
        w.setText(GoodClass);
        w.compile();
        QCOMPARE(w.status(), "'" + w.file + "' compiled successfully.");
        QCOMPARE(w.e->Text()->errorMarkers(), QList<int>());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A read-only source: Cancel keeps the last output, OK compiles the file as stored.
    void readOnlySourceCompilesAsStored()
    {
        World w;
        w.open("Hello.java", BrokenClass, TwoErrors);
        w.compile();
        QVERIFY(QFile::setPermissions(w.file, QFile::ReadOwner));
        const QStringList before = w.listed();
        w.ask.answerMessage(MsgResult::Cancel);
        w.e->Compile();
        QCOMPARE(w.listed(), before);
        QCOMPARE(w.status(), w.failure());
        w.ask.answerMessage(MsgResult::OK);
        w.compile();
        QCOMPARE(w.listed().last(), "1 error");
        const QString question = w.file + " is read only.\n\rThe compile will not include any "
                                          "changes that have been made in the editor.";
        QCOMPARE(w.ask.messages(), (QStringList{question, question}));
        QCOMPARE(TestEnv::readFile(w.file), BrokenClass);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A successful compile hides the list; the file keeps its bytes and mode, the window its
    // unsaved text.
    void compileLeavesTheFileAsStored()
    {
        World w;
        w.open("src dir/Hello.java", BrokenClass, GoodClass);
        QVERIFY(QFile::setPermissions(w.file, QFile::ReadOwner | QFile::WriteOwner)); // not 0644
        const QFile::Permissions mode = QFile::permissions(w.file);
        w.compileWith([&w] { w.e->cmdJavaClick(); });
        QCOMPARE(w.status(), "'" + w.file + "' compiled successfully.");
        QVERIFY(!w.panelShown());
        QVERIFY(QFileInfo::exists(QFileInfo(w.file).path() + "/Hello.class"));
        QCOMPARE(TestEnv::readFile(w.file), BrokenClass);
        QCOMPARE(QFile::permissions(w.file), mode);
        QVERIFY(w.e->Text()->isModified());
        QCOMPARE(w.e->Text()->utf8(), QByteArray(GoodClass).replace("\n", "\r\n"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // An interpreter naming the old generation: the compile still runs, its output captured.
    void oldGenerationInterpreterStillCompiles()
    {
        World w;
        w.open("Hello.java", BrokenClass, TwoErrors);
        const QString java =
            w.env.writeFile("old/java", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n"
                                        "echo 'java version \"1.0.2\"' >&2\n");
        QVERIFY(QFile::setPermissions(java, QFile::ReadOwner | QFile::ExeOwner));
        w.main->Settings().JavaInterpreter = java;
        w.compile();
        QCOMPARE(TestEnv::readFile(java + ".args"), QByteArray("-version\n"));
        QCOMPARE(w.status(), w.failure());
        QCOMPARE(w.listed().last(), "2 errors");
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A compiler that has gone since the settings were applied is named before anything runs;
    // one that cannot be started is reported after its file was put back. Either way the file
    // keeps its bytes and no temporary file is left.
    void compilerProblemsAreReported_data()
    {
        QTest::addColumn<QString>("compiler");    // in the test's folder; %1 its path
        QTest::addColumn<QByteArray>("contents"); // null: no such file
        QTest::addColumn<QString>("message");
        QTest::newRow("gone") << "nowhere/javac" << QByteArray() << "Can't find '%1'";
        QTest::newRow("cannot start")
            << "bin/javac" << QByteArray("not a program") << "Create process failed";
    }
    void compilerProblemsAreReported()
    {
        QFETCH(QString, compiler);
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        World w;
        w.open("Hello.java", BrokenClass, TwoErrors);
        const QString javac =
            contents.isNull() ? w.env.path(compiler) : w.env.writeFile(compiler, contents);
        w.main->Settings().JavaCompiler = javac;
        w.ask.answerMessage(MsgResult::OK);
        w.compileWith([&w] { w.e->cmdJavaClick(); });
        QCOMPARE(w.ask.messages(), QStringList{message.arg(javac)});
        QCOMPARE(w.status(), QString());
        QCOMPARE(TestEnv::readFile(w.file), BrokenClass);
        QCOMPARE(QDir(w.env.dir()).entryList({"bpd*"}, QDir::Files), QStringList());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Html is refused without starting a tool; its window never compiles.
    void htmlDocumentIsRefused()
    {
        World w;
        w.open("page.html", "<p>hi</p>\n", "<p>changed</p>\n");
        const std::optional<TCompileResult> r = RefuseCompile(*TDocument::CreateFromFile(w.file));
        QVERIFY(r.has_value());
        QCOMPARE(TestEnv::readFile(r->OutputFile),
                 QByteArray("'page.html' is not a java document.\r\n"));
        QFile::remove(r->OutputFile);
        w.e->Compile();
        QCOMPARE(w.status(), QString());
        QVERIFY(!w.panelShown());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A never-saved document says so in list and status, also when its directory is gone
    // (which counts as read-only: one question).
    void neverSavedDocumentSaysSo()
    {
        World w;
        const QString gone = w.env.path("gone");
        QVERIFY(QDir().mkpath(gone) && files::setCurrentDir(gone));
        TcwEditBase* inGone = w.main->Documents().NewDocument(TDocType::Java);
        QVERIFY(files::setCurrentDir(w.env.dir()) && QDir(gone).removeRecursively());
        w.ask.answerMessage(MsgResult::OK);
        for (TcwEditBase* e : {w.main->Documents().NewDocument(TDocType::Java), inGone}) {
            w.e = e;
            e->Compile();
            QCOMPARE(w.listed(), QStringList{"'' has not been saved yet."});
            QCOMPARE(w.status(), "'' has not been saved yet.");
            QVERIFY(w.panelShown());
        }
        QCOMPARE(QDir().entryList({"bpd*"}, QDir::Files), QStringList());
        QCOMPARE(w.ask.asked().size(), 1);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // While the compiler runs, the window says so and its text is read-only, the compile
    // commands are off and Stop Compile on, a second compile is refused, typing changes nothing,
    // and other windows stay usable. Afterwards the result is listed as usual and the text is
    // writable again.
    void compileRunsWhileTheWindowStaysUsable()
    {
        World w;
        w.open("Other.txt", "other\n", "other\n");
        TcwEditBase* other = w.e;
        w.open("Hello.java", BrokenClass, TwoErrors);
        w.useWaitingCompiler();
        const QByteArray text = w.e->Text()->utf8();
        w.startWaitingCompile();
        QCOMPARE(w.status(), "Compiling '" + w.file + "'...");
        QVERIFY(w.e->Text()->isReadOnly());
        QVERIFY(!w.main->item("mnuRunCompileDocument")->isEnabled());
        QVERIFY(w.main->item("mnuRunStopCompile")->isEnabled());
        QVERIFY(!w.e->button("cmdJava")->isEnabled());
        w.e->Compile();
        w.main->item("mnuRunCompileDocument")->trigger();
        QTest::keyClicks(w.e->Text()->widget(), "typed");
        QTest::keyClick(w.e->Text()->widget(), Qt::Key_Return);
        QTest::keyClick(w.e->Text()->widget(), Qt::Key_Delete);
        QCOMPARE(w.e->Text()->utf8(), text);
        QTest::keyClicks(other->Text()->widget(), "new ");
        QCOMPARE(other->Text()->utf8(), QByteArray("other\r\nnew "));

        w.env.writeFile("go", "");
        QTRY_VERIFY_WITH_TIMEOUT(!w.e->IsCompiling(), 60000);
        QCOMPARE(TestEnv::readFile(w.env.path("runs")).count('\n'), 1);
        QCOMPARE(w.status(), w.failure());
        QCOMPARE(w.listed(), (QStringList{w.file + ":2: error: made up", "1 error"}));
        QCOMPARE(w.textLine(), 1);
        QVERIFY(!w.e->Text()->isReadOnly());
        QVERIFY(w.main->item("mnuRunCompileDocument")->isEnabled());
        QVERIFY(!w.main->item("mnuRunStopCompile")->isEnabled());
        QVERIFY(w.e->button("cmdJava")->isEnabled());
        QCOMPARE(TestEnv::readFile(w.file), BrokenClass);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A text that was read-only before the compile stays so after it.
    void readOnlyTextStaysReadOnly()
    {
        World w;
        w.open("Hello.java", BrokenClass, TwoErrors);
        w.useWaitingCompiler();
        w.e->Text()->setReadOnly(true);
        w.env.writeFile("go", "");
        w.compile();
        QCOMPARE(w.status(), w.failure());
        QVERIFY(w.e->Text()->isReadOnly());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Run > Stop Compile, or Escape in the editor, ends a compiler that would wait for ever:
    // the file has its own bytes, the list what was printed so far.
    void stopEndsTheCompile_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Run > Stop Compile") << false;
        QTest::newRow("Escape") << true;
    }
    void stopEndsTheCompile()
    {
        QFETCH(bool, escape);
        World w;
        w.open("Hello.java", BrokenClass, TwoErrors);
        w.useWaitingCompiler();
        const QByteArray text = w.e->Text()->utf8();
        w.startWaitingCompile();
        QCOMPARE(TestEnv::readFile(w.file), TwoErrors); // in the file's own line ends
        if (escape)
            QTest::keyClick(w.e->Text()->widget(), Qt::Key_Escape);
        else
            w.main->item("mnuRunStopCompile")->trigger();
        QVERIFY(!w.e->IsCompiling());
        QCOMPARE(w.status(), "Compile of '" + w.file + "' stopped.");
        QCOMPARE(w.listed(), QStringList{w.file + ":2: error: made up"});
        QCOMPARE(TestEnv::readFile(w.file), BrokenClass);
        QCOMPARE(w.leftovers(), QStringList());
        QCOMPARE(w.e->Text()->utf8(), text);
        QVERIFY(!w.e->Text()->isReadOnly());
        QVERIFY(!w.main->item("mnuRunStopCompile")->isEnabled());
        QVERIFY(w.main->item("mnuRunCompileDocument")->isEnabled());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A key pressed during the compile and held past its end does nothing, repeats included
    // (under X11 a repeat is a release and a press at one time, marked as a repeat or not): the
    // line the compile selected is intact. Once released, the key acts again.
    void heldKeysDoNothing()
    {
        World w;
        w.open("Hello.java", BrokenClass, TwoErrors);
        w.useWaitingCompiler();
        QWidget* text = w.e->Text()->widget();
        const QByteArray before = w.e->Text()->utf8();
        quint64 time = 1000;
        const auto send = [&](QEvent::Type type, Qt::Key key, bool marked) {
            QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_X ? "x" : "\r", marked);
            event.setTimestamp(time);
            QApplication::sendEvent(text, &event);
        };
        const auto repeat = [&](bool marked) {
            time += 40;
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_X}) {
                send(QEvent::KeyRelease, key, marked);
                send(QEvent::KeyPress, key, marked);
            }
        };
        w.startWaitingCompile();
        send(QEvent::KeyPress, Qt::Key_Return, false);
        send(QEvent::KeyPress, Qt::Key_X, false);
        repeat(true);
        repeat(false);
        w.env.writeFile("go", "");
        QTRY_VERIFY_WITH_TIMEOUT(!w.e->IsCompiling(), 60000);
        const QString selected = w.e->Text()->selectedText();
        QCOMPARE(w.textLine(), 1);
        QVERIFY(!selected.isEmpty());
        for (bool marked : {true, false, false, true}) {
            repeat(marked);
            QCOMPARE(w.e->Text()->utf8(), before);
        }
        time += 40;
        send(QEvent::KeyRelease, Qt::Key_Return, false);
        send(QEvent::KeyRelease, Qt::Key_X, false);
        QCOMPARE(w.e->Text()->utf8(), before);
        QCOMPARE(w.e->Text()->selectedText(), selected);

        time += 200;
        send(QEvent::KeyPress, Qt::Key_X, false);
        QVERIFY(w.e->Text()->utf8() != before);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Saving during a compile stops it first, so that putting the file back does not undo the
    // save: the file then holds the saved text, and no copy is left.
    void saveStopsTheCompile()
    {
        World w;
        w.open("Hello.java", BrokenClass, TwoErrors);
        w.useWaitingCompiler();
        w.startWaitingCompile();
        QVERIFY(w.e->Save());
        QVERIFY(!w.e->IsCompiling());
        QCOMPARE(TestEnv::readFile(w.file), TwoErrors);
        QVERIFY(!w.e->Text()->isModified());
        QCOMPARE(w.leftovers(), QStringList());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Closing the window or the program during a compile stops it and puts the file back,
    // asking only about the unsaved text.
    void closingStopsTheCompile_data()
    {
        QTest::addColumn<bool>("program");
        QTest::newRow("window") << false;
        QTest::newRow("program") << true;
    }
    void closingStopsTheCompile()
    {
        QFETCH(bool, program);
        World w;
        w.open("Hello.java", BrokenClass, TwoErrors);
        w.useWaitingCompiler();
        w.startWaitingCompile();
        const pid_t compiler = pid_t(TestEnv::readFile(w.env.path("runs")).trimmed().toLong());
        w.ask.answerMessage(MsgResult::No);
        if (program)
            QVERIFY(w.main->close());
        else
            QVERIFY(w.e->parentWidget()->close());
        QCOMPARE(w.ask.messages(), QStringList{"Save changes to " + w.file + "?"});
        QCOMPARE(TestEnv::readFile(w.file), BrokenClass);
        QCOMPARE(w.leftovers(), QStringList());
        QVERIFY(::kill(compiler, 0) != 0);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A compile whose program was killed leaves the file with the editor's text and its own
    // bytes in the recovery copy. The next start offers the copy back: No keeps both, to be
    // offered again; Yes puts the bytes back and deletes the copy. A copy that a running compile
    // holds is never offered.
    void killedCompileIsOfferedAtTheNextStart()
    {
        TestEnv env;
        const QByteArray stored = "class Hello {\r\n\tint \xe9;\n}\r\n";
        const QString file = env.writeFile("src/Hello.java", stored);
        const QString javac = env.writeScript(
            "fake/javac", "touch '" + env.path("started").toUtf8() + "'\n" +
                              TestEnv::waitForFile(env.path("go")));
        const QString java = env.writeScript("fake/java", "exit 0\n");
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {"--compile-and-hang", file, javac, java});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(env.path("started")), 60000);
        const QString copy = env.path("src/.Hello.java.bprecover");
        QCOMPARE(TestEnv::readFile(copy), stored);
        QVERIFY(TestEnv::readFile(file) != stored);
        child.kill(); // SIGKILL: nothing runs after it
        QVERIFY(child.waitForFinished(60000));
        env.writeFile("go", ""); // the orphaned compiler ends

        // Another program's compile, still running in the same folder.
        const auto running = TDocument::CreateFromFile(env.writeFile("src/Run.java", "run"));
        running->LoadPieces([](qint64) {}, [](const char*, qsizetype) {});
        QFile::remove(env.path("go"));
        TDocumentCompile compile;
        compile.start(*running, "edited\n", javac, java);
        QVERIFY(QFile::exists(compile.recoveryCopy()));

        const QString question = RecoveryQuestion({file, copy});
        const QByteArray left = TestEnv::readFile(file);
        ScriptedPrompter ask;
        ask.answerMessage(MsgResult::No);
        {
            TfrmMain main({file});
            main.show();
            QCOMPARE(ask.messages(), QStringList{question});
            QCOMPARE(TestEnv::readFile(file), left);
            QCOMPARE(TestEnv::readFile(copy), stored);
        }
        ask.answerMessage(MsgResult::Yes);
        {
            TfrmMain main({file});
            main.show();
            QCOMPARE(ask.messages(), (QStringList{question, question}));
            QCOMPARE(TestEnv::readFile(file), stored);
            QVERIFY(!QFile::exists(copy));
            QCOMPARE(main.ActiveAnyEditor()->Text()->utf8(),
                     QByteArray("class Hello {\r\n\tint \xc3\xa9;\r\n}\r\n"));
        }
        QVERIFY(ask.unexpected().isEmpty());
        env.writeFile("go", "");
        QSignalSpy ended(&compile, &TDocumentCompile::finished);
        QVERIFY(ended.wait(60000));
        QCOMPARE(TestEnv::readFile(running->FullPath()), QByteArray("run"));
    }

    // A copy left in a folder the program did not look at when it started is offered before
    // the first compile there, once.
    void firstCompileInAFolderOffersItsCopies()
    {
        World w;
        w.open("src/Hello.java", BrokenClass, TwoErrors);
        const QString copy = w.env.writeFile("src/.Hello.java.bprecover", GoodClass);
        w.ask.answerMessage(MsgResult::No);
        w.compile();
        QCOMPARE(w.ask.messages(), QStringList{RecoveryQuestion({w.file, copy})});
        QCOMPARE(w.status(), w.failure());
        w.compile();
        QCOMPARE(w.ask.asked().size(), 1);
        QCOMPARE(TestEnv::readFile(copy), GoodClass);
        QCOMPARE(TestEnv::readFile(w.file), BrokenClass);
        QVERIFY(w.ask.unexpected().isEmpty());
    }
};

namespace {

// The program of the crash test: starts a compile of a file with unsaved text and waits for
// ever, until it is killed.
int compileAndHang(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const auto doc = TDocument::CreateFromFile(QString::fromLocal8Bit(argv[2]));
    doc->LoadPieces([](qint64) {}, [](const char*, qsizetype) {});
    TDocumentCompile compile;
    compile.start(*doc, "class Hello { /* edited */ }\n", QString::fromLocal8Bit(argv[3]),
                  QString::fromLocal8Bit(argv[4]));
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && qstrcmp(argv[1], "--compile-and-hang") == 0)
        return compileAndHang(argc, argv);
    QApplication app(argc, argv);
    TestCompile test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_compile.moc"
