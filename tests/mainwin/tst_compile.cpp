// Compiling with the real JDK from an editor window: what it shows, and the user's file intact.
#include "editor/editorwindow.h"
#include "editor/textcontrol.h"
#include "mainwin/childwindows.h"
#include "mainwin/documentcommands.h"
#include "mainwin/fmain.h"
#include "model/compiledocument.h"
#include "model/document.h"
#include "model/settings.h"
#include "platform/fileservices.h"
#include "platform/osversion.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QListView>
#include <QStatusBar>
#include <QStringListModel>
#include <QToolButton>
#include <QtTest>

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
        item->trigger();
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
        w.e->button("cmdJava")->click();
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
        w.e->Compile();
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
        w.e->Compile();
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
        w.e->Compile();
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
        w.e->Compile();
        QCOMPARE(w.e->Text()->errorMarkers(), (QList<int>{2, 3}));
        w.e->Text()->setSelection(w.e->Text()->lineStart(2) + 8, 3);
        w.e->Text()->replaceSelection("String");
        QCOMPARE(w.e->Text()->errorMarkers(), QList<int>{3});
        w.e->Compile();
        QCOMPARE(w.listed().last(), "1 error");
        QCOMPARE(w.e->Text()->errorMarkers(), QList<int>{3});
        w.setText(GoodClass);
        w.e->Compile();
        QCOMPARE(w.status(), "'" + w.file + "' compiled successfully.");
        QCOMPARE(w.e->Text()->errorMarkers(), QList<int>());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A read-only source: Cancel keeps the last output, OK compiles the file as stored.
    void readOnlySourceCompilesAsStored()
    {
        World w;
        w.open("Hello.java", BrokenClass, TwoErrors);
        w.e->Compile();
        QVERIFY(QFile::setPermissions(w.file, QFile::ReadOwner));
        const QStringList before = w.listed();
        w.ask.answerMessage(MsgResult::Cancel);
        w.e->Compile();
        QCOMPARE(w.listed(), before);
        QCOMPARE(w.status(), w.failure());
        w.ask.answerMessage(MsgResult::OK);
        w.e->Compile();
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
        w.e->cmdJavaClick();
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
        w.e->Compile();
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
        w.e->cmdJavaClick();
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
        const TCompileResult r = CompileDocument(
            *TDocument::CreateFromFile(w.file), "<p>hi</p>\r\n", w.env.path("no/javac"), QString());
        QCOMPARE(TestEnv::readFile(r.OutputFile),
                 QByteArray("'page.html' is not a java document.\r\n"));
        QFile::remove(r.OutputFile);
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
};

QTEST_MAIN(TestCompile)
#include "tst_compile.moc"
