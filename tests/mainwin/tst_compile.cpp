// Compiling Java documents with the real JDK from an editor window: what the
// window shows, what the compiler saw, and that the user's file comes through
// byte for byte.
#include "editor/editorwindow.h"
#include "editor/textcontrol.h"
#include "mainwin/fmain.h"
#include "model/document.h"
#include "model/settings.h"
#include "platform/fileservices.h"
#include "platform/osversion.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QListView>
#include <QStringListModel>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

using namespace bp;
using namespace bp::test;

namespace {

const QByteArray GoodClass = "public class Hello {\n    int twice(int x) { return 2 * x; }\n}\n";
// As stored on disk: LF line ends, trailing blanks, no final line end, and
// an error, so that a successful compile shows the editor's text was used.
const QByteArray BrokenClass = "public class Hello {  \n    int twice(int x) { return 2 * ; }\n}";
// Errors on lines 3 and 4.
const QByteArray TwoErrors = "public class Hello {\n    void f() {\n        int x = \"a\";\n"
                             "        undefined();\n    }\n}\n";

// One started main window, configured with the JDK, in its own world, and
// the editor window under test.
struct World {
    // The JDK's compiler as the settings would hold it: the real file behind
    // the `javac` found on PATH.
    static QString javac()
    {
        return QFileInfo(QStandardPaths::findExecutable("javac")).canonicalFilePath();
    }
    World()
    {
        setOsMajorVersionForTesting(6);
        main = std::make_unique<TfrmMain>(QStringList());
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        setCompiler(javac());
        QVERIFY2(!main->Settings().JavaInterpreter.isEmpty(), "needs the JDK's javac and java");
    }
    ~World() { setOsMajorVersionForTesting(-1); }
    void setCompiler(const QString& javac)
    {
        main->Settings().JavaCompiler = javac;
        main->Settings().JavaInterpreter = DeriveJavaInterpreter(javac);
    }
    // Opens a file holding stored and gives its editor the unsaved editorText.
    void open(const QString& name, const QByteArray& stored, const QByteArray& editorText)
    {
        file = env.writeFile(name, stored);
        main->OpenFiles({file});
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
    int currentRow() const { return list()->currentIndex().row(); }
    void doubleClick(int row)
    {
        list()->setCurrentIndex(lines()->index(row));
        emit list()->doubleClicked(lines()->index(row));
    }
    QString status() const { return e->statusBar()->currentMessage(); }
    bool panelShown() const { return e->pnlErrors()->isVisibleTo(e); }
    int textLine() const { return e->Text()->lineFromPosition(e->Text()->selStart()); }
    QString success() const { return "'" + file + "' compiled successfully."; }
    QString failure() const { return "Couldn't compile '" + file + "'."; }
    QStringList temps(const QString& d) const { return QDir(d).entryList({"bpd*"}, QDir::Files); }

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
    // The editor's text is what gets compiled, in a directory with a blank;
    // the file keeps its bytes and mode, the window its unsaved text.
    void compileInEditor()
    {
        World w;
        w.open(QStringLiteral("src dir/Hello.java"), BrokenClass, TwoErrors);
        QVERIFY(QFile::setPermissions(w.file, QFile::ReadOwner | QFile::WriteOwner)); // not 0644
        const QFile::Permissions mode = QFile::permissions(w.file);
        const QString dir = QFileInfo(w.file).path();

        w.e->button(QStringLiteral("cmdJava"))->click();
        QCOMPARE(w.status(), w.failure());
        QVERIFY(w.panelShown());
        QCOMPARE(w.listed().last(), QStringLiteral("2 errors"));
        QCOMPARE(w.listed().value(w.currentRow()),
                 w.file + ":3: error: incompatible types: String cannot be converted to int");
        QCOMPARE(w.textLine(), 2);

        // Double-clicks: the second error line jumps; a click with nothing
        // selected and a broken number (reported) do not.
        w.doubleClick(int(w.listed().indexOf(w.file + ":4: error: cannot find symbol")));
        QCOMPARE(w.textLine(), 3);
        w.list()->clearSelection();
        w.e->lstErrorsDblClick();
        w.lines()->setStringList(w.listed() << w.file + ":x: made up");
        w.ask.answerMessage(MsgResult::OK);
        w.doubleClick(int(w.listed().size()) - 1);
        QCOMPARE(w.textLine(), 3);

        // A read-only source: Cancel leaves the output, OK compiles the file
        // as stored (one error) without touching it.
        QVERIFY(QFile::setPermissions(w.file, QFile::ReadOwner));
        const QStringList before = w.listed();
        w.ask.answerMessage(MsgResult::Cancel);
        w.e->Compile();
        QCOMPARE(w.listed(), before);
        QCOMPARE(w.status(), w.failure());
        w.ask.answerMessage(MsgResult::OK);
        w.e->Compile();
        QCOMPARE(w.listed().last(), QStringLiteral("1 error"));
        const QString question = w.file + " is read only.\n\rThe compile will not include any "
                                          "changes that have been made in the editor.";
        QCOMPARE(w.ask.messages(),
                 (QStringList{"'x' is not a valid integer value", question, question}));
        QVERIFY(QFile::setPermissions(w.file, mode));

        w.setText(GoodClass);
        w.e->cmdJavaClick();
        QCOMPARE(w.status(), w.success());
        QVERIFY(!w.panelShown());
        QVERIFY(QFileInfo::exists(dir + "/Hello.class"));
        QCOMPARE(TestEnv::readFile(w.file), BrokenClass);
        QCOMPARE(QFile::permissions(w.file), mode);
        QVERIFY(w.e->Text()->isModified());
        QCOMPARE(w.e->Text()->utf8(), QByteArray(GoodClass).replace("\n", "\r\n"));
        QCOMPARE(w.temps(dir), QStringList());
        QCOMPARE(w.ask.asked().size(), 3);
    }

    // Run > Compile Document is there only while the compiler is; a
    // deprecation is listed, but the compile succeeded.
    void compileDocumentWarningsOnly()
    {
        World w;
        const QByteArray deprecated =
            "class Dep { int y() { return new java.util.Date().getYear(); } }";
        w.open(QStringLiteral("Dep.java"), deprecated, deprecated);
        QAction* item = w.main->item(QStringLiteral("mnuRunCompileDocument"));
        w.main->Settings().JavaCompiler.clear();
        w.main->UpdateMenuItems();
        QVERIFY(!item->isEnabled());
        w.e->cmdJavaClick(); // the editor's own button asks the same
        QCOMPARE(w.status(), QString());

        w.setCompiler(World::javac());
        w.main->UpdateMenuItems();
        QVERIFY(item->isEnabled());
        item->trigger();
        QCOMPARE(w.status(), w.success());
        QVERIFY(w.panelShown());
        QVERIFY(w.listed().join('\n').contains(QStringLiteral("Note: ")));
        QVERIFY(!w.list()->selectionModel()->hasSelection());
        QCOMPARE(w.ask.asked().size(), 0);
    }

    void refusals()
    {
        World w;
        // An Html document refuses without starting any tool (a missing
        // compiler would otherwise fail to start), and its window never compiles.
        w.open(QStringLiteral("page.html"), "<p>hi</p>\n", "<p>changed</p>\n");
        const TCompileResult r = TDocument::CreateFromFile(w.file)->Compile(
            "<p>hi</p>\r\n", TTextFormat(), w.env.path(QStringLiteral("no/javac")), QString());
        QCOMPARE(TestEnv::readFile(r.OutputFile),
                 QByteArray("'page.html' is not a java document.\r\n"));
        QFile::remove(r.OutputFile);
        w.e->Compile();
        QCOMPARE(w.status(), QString());
        QVERIFY(!w.panelShown());

        // A never-saved document says so, in the list and in the status line,
        // also when its directory can take no file (and so counts as read-only).
        const QString gone = w.env.path(QStringLiteral("gone"));
        QVERIFY(QDir().mkpath(gone) && files::setCurrentDir(gone));
        TcwEditBase* inGone = w.main->NewDocument(0);
        QVERIFY(files::setCurrentDir(w.env.dir()) && QDir(gone).removeRecursively());
        w.ask.answerMessage(MsgResult::OK);
        for (TcwEditBase* e : {w.main->NewDocument(0), inGone}) {
            w.e = e;
            e->Compile();
            QCOMPARE(w.listed(), QStringList{"'' has not been saved yet."});
            QCOMPARE(w.status(), QStringLiteral("'' has not been saved yet."));
            QVERIFY(w.panelShown());
        }
        QCOMPARE(w.temps(w.env.dir()), QStringList());
        QCOMPARE(w.ask.asked().size(), 1);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // An interpreter whose first line names the old generation: the compile
    // still runs and captures the compiler's output. A compiler that is not
    // there: the error shown, the file put back.
    void unusualTools()
    {
        World w;
        w.open(QStringLiteral("Hello.java"), BrokenClass, TwoErrors);
        const QString java = w.env.writeFile(QStringLiteral("old/java"),
                                             "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n"
                                             "echo 'java version \"1.0.2\"' >&2\n");
        QVERIFY(QFile::setPermissions(java, QFile::ReadOwner | QFile::ExeOwner));
        w.main->Settings().JavaInterpreter = java;
        w.e->Compile();
        QCOMPARE(TestEnv::readFile(java + ".args"), QByteArray("-version\n"));
        QCOMPARE(w.status(), w.failure());
        QCOMPARE(w.listed().last(), QStringLiteral("2 errors"));

        w.main->Settings().JavaCompiler = w.env.path(QStringLiteral("nowhere/javac"));
        w.ask.answerMessage(MsgResult::OK);
        w.e->cmdJavaClick();
        QCOMPARE(w.ask.messages(), QStringList{QStringLiteral("Create process failed")});
        QCOMPARE(w.status(), QString());
        QCOMPARE(w.listed(), QStringList());
        QCOMPARE(TestEnv::readFile(w.file), BrokenClass);
        QCOMPARE(w.temps(w.env.dir()), QStringList());
    }
};

QTEST_MAIN(TestCompile)
#include "tst_compile.moc"
