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

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

#include <sys/stat.h>

using namespace bp;
using namespace bp::test;

namespace {

// The JDK's compiler as the settings would hold it: the real file behind
// the `javac` found on PATH.
QString findJavac()
{
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("javac"));
    return onPath.isEmpty() ? QString() : QFileInfo(onPath).canonicalFilePath();
}

const QByteArray GoodClass = "public class Hello {\n"
                             "    int twice(int x) {\n"
                             "        return 2 * x;\n"
                             "    }\n"
                             "}\n";
// As stored on disk: LF line ends, trailing blanks, no final line end, and
// one error, so that a successful compile shows the editor's text was used.
const QByteArray BrokenClass = "public class Hello {  \n"
                               "    int twice(int x) {\n"
                               "        return 2 * ;\n"
                               "    }\n"
                               "}";
// Errors on lines 3 and 4.
const QByteArray TwoErrors = "public class Hello {\n"
                             "    void f() {\n"
                             "        int x = \"a\";\n"
                             "        undefined();\n"
                             "    }\n"
                             "}\n";

// One started main window, configured with the JDK, in its own world.
struct World {
    explicit World(bool win95 = true)
    {
        setOsMajorVersionForTesting(win95 ? 6 : 3);
        main = std::make_unique<TfrmMain>(QStringList());
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        setCompiler(findJavac());
    }
    ~World()
    {
        main.reset();
        setOsMajorVersionForTesting(-1);
    }
    void setCompiler(const QString& javac)
    {
        main->Settings().JavaCompiler = javac;
        main->Settings().JavaInterpreter = DeriveJavaInterpreter(javac);
    }
    // Opens a file and gives its editor unsaved text.
    TcwEditBase* open(const QString& file, const QByteArray& editorText)
    {
        main->OpenFiles({file});
        TcwEditBase* e = main->ActiveAnyEditor();
        TextControl* t = e->Text();
        t->setSelection(0, t->textLength());
        t->replaceSelection(QString::fromUtf8(editorText));
        return e;
    }
    QStringList tempFiles(const QString& dir) const
    {
        return QDir(dir).entryList({QStringLiteral("bpd*")}, QDir::Files);
    }

    TestEnv env;
    ScriptedPrompter ask;
    std::unique_ptr<TfrmMain> main;
};

QStringList listed(const TcwEditBase* e)
{
    QStringList out;
    for (int i = 0; i < e->lstErrors()->count(); ++i)
        out << e->lstErrors()->item(i)->text();
    return out;
}

QString status(const TcwEditBase* e)
{
    return e->statusBar()->currentMessage();
}

QString selectedLine(const TcwEditBase* e)
{
    const QList<QListWidgetItem*> items = e->lstErrors()->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

// The 0-based text line where the editor's selection starts.
int selectedTextLine(TcwEditBase* e)
{
    return e->Text()->lineFromPosition(e->Text()->selStart());
}

void doubleClick(TcwEditBase* e, int row)
{
    QListWidget* list = e->lstErrors();
    list->setCurrentRow(row);
    emit list->itemDoubleClicked(list->item(row));
}

QString makeScript(const TestEnv& env, const QString& name, const QByteArray& body)
{
    const QString path = env.writeFile(name, "#!/bin/sh\n" + body);
    ::chmod(QFile::encodeName(path).constData(), 0755);
    return path;
}

} // namespace

class TestCompile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (findJavac().isEmpty() || DeriveJavaInterpreter(findJavac()).isEmpty())
            QFAIL("These tests need the JDK's javac and java on PATH.");
    }

    // The editor's text is what gets compiled; the file keeps its bytes and
    // mode, and the window keeps its unsaved text.
    void correctClass_data()
    {
        QTest::addColumn<bool>("win95");
        QTest::newRow("rich") << true;
        QTest::newRow("plain") << false;
    }
    void correctClass()
    {
        QFETCH(bool, win95);
        World w(win95);
        const QString file = w.env.writeFile(QStringLiteral("src dir/Hello.java"), BrokenClass);
        ::chmod(QFile::encodeName(file).constData(), 0640);
        const auto mode = QFile::permissions(file);
        TcwEditBase* e = w.open(file, GoodClass);
        QVERIFY(e->button(QStringLiteral("cmdJava"))->isEnabled());

        e->button(QStringLiteral("cmdJava"))->click();

        QCOMPARE(status(e), "'" + file + "' compiled successfully.");
        QVERIFY(!e->pnlErrors()->isVisibleTo(e));
        QVERIFY(QFileInfo::exists(w.env.path(QStringLiteral("src dir/Hello.class"))));
        QCOMPARE(TestEnv::readFile(file), BrokenClass);
        QCOMPARE(QFile::permissions(file), mode);
        QVERIFY(e->Text()->isModified());
        QCOMPARE(e->Text()->utf8(), QByteArray(GoodClass).replace("\n", "\r\n"));
        QCOMPARE(w.tempFiles(w.env.path(QStringLiteral("src dir"))), QStringList());
        QCOMPARE(w.ask.asked().size(), 0);
    }

    void twoErrors_data() { correctClass_data(); }
    void twoErrors()
    {
        QFETCH(bool, win95);
        World w(win95);
        const QString file = w.env.writeFile(QStringLiteral("src dir/Hello.java"), GoodClass);
        TcwEditBase* e = w.open(file, TwoErrors);

        e->cmdJavaClick();

        QCOMPARE(status(e), "Couldn't compile '" + file + "'.");
        const QStringList lines = listed(e);
        QCOMPARE(lines.last(), QStringLiteral("2 errors"));
        QVERIFY(e->pnlErrors()->isVisibleTo(e));
        QCOMPARE(selectedLine(e),
                 file + ":3: error: incompatible types: String cannot be converted to int");
        QCOMPARE(selectedTextLine(e), 2);
        QVERIFY(e->Text()->selectedText().startsWith(QStringLiteral("        int x = \"a\";")));
        QCOMPARE(TestEnv::readFile(file), GoodClass);
        QVERIFY(!QFileInfo::exists(w.env.path(QStringLiteral("src dir/Hello.class"))));
        QCOMPARE(w.tempFiles(w.env.path(QStringLiteral("src dir"))), QStringList());

        // Double-clicks: the second error line jumps, a click with nothing
        // selected does not, a broken number is reported.
        const int second = int(lines.indexOf(file + ":4: error: cannot find symbol"));
        QVERIFY(second > 0);
        doubleClick(e, second);
        QCOMPARE(selectedTextLine(e), 3);
        e->lstErrors()->clearSelection();
        e->lstErrorsDblClick();
        QCOMPARE(selectedTextLine(e), 3);
        e->lstErrors()->addItem(file + ":x: made up");
        w.ask.answerMessage(MsgResult::OK);
        doubleClick(e, e->lstErrors()->count() - 1);
        QCOMPARE(w.ask.messages(), QStringList{"'x' is not a valid integer value"});
        QCOMPARE(selectedTextLine(e), 3);
    }

    // A deprecation is listed, but the compile succeeded.
    void warningsOnly()
    {
        World w;
        const QByteArray deprecated = "public class Dep {\n"
                                      "    int year() { return new java.util.Date().getYear(); }\n"
                                      "}\n";
        const QString file = w.env.writeFile(QStringLiteral("Dep.java"), deprecated);
        TcwEditBase* e = w.open(file, deprecated);
        e->Compile();
        QCOMPARE(status(e), "'" + file + "' compiled successfully.");
        QVERIFY(e->pnlErrors()->isVisibleTo(e));
        QVERIFY(listed(e).join('\n').contains(QStringLiteral("Note: ")));
        QCOMPARE(selectedLine(e), QString());
        QVERIFY(QFileInfo::exists(w.env.path(QStringLiteral("Dep.class"))));
    }

    // Run > Compile Document compiles the active editor's document, and
    // only while a compiler is configured.
    void compileDocumentMenu()
    {
        World w;
        const QString file = w.env.writeFile(QStringLiteral("Hello.java"), GoodClass);
        TcwEditBase* e = w.open(file, GoodClass);
        w.main->UpdateMenuItems();
        QVERIFY(w.main->item(QStringLiteral("mnuRunCompileDocument"))->isEnabled());
        w.main->Settings().JavaCompiler.clear();
        w.main->item(QStringLiteral("mnuRunCompileDocument"))->trigger();
        QCOMPARE(status(e), QString());
        w.setCompiler(findJavac());
        w.main->item(QStringLiteral("mnuRunCompileDocument"))->trigger();
        QCOMPARE(status(e), "'" + file + "' compiled successfully.");
    }

    void refusals()
    {
        World w;
        // An Html document: the document refuses without starting any tool
        // (a missing compiler would otherwise fail to start).
        const QString page = w.env.writeFile(QStringLiteral("page.html"), "<p>hi</p>\n");
        std::unique_ptr<TDocument> doc = TDocument::CreateFromFile(page);
        const TCompileResult r = doc->Compile("<p>hi</p>\r\n", TTextFormat(),
                                              w.env.path(QStringLiteral("no/javac")), QString());
        QCOMPARE(r.Refusal, QStringLiteral("'page.html' is not a java document."));
        QCOMPARE(TestEnv::readFile(r.OutputFile),
                 QByteArray("'page.html' is not a java document.\r\n"));
        QFile::remove(r.OutputFile);
        // ... and its editor window never compiles.
        TcwEditBase* html = w.open(page, "<p>changed</p>\n");
        html->Compile();
        QCOMPARE(status(html), QString());
        QVERIFY(!html->pnlErrors()->isVisibleTo(html));

        // A never-saved document says so, in the list and in the status line.
        TcwEditBase* e = w.main->NewDocument(0);
        e->Text()->replaceSelection(QString::fromUtf8(GoodClass));
        e->Compile();
        const QString notSaved = QStringLiteral("'' has not been saved yet.");
        QCOMPARE(listed(e), QStringList{notSaved});
        QCOMPARE(status(e), notSaved);
        QVERIFY(e->pnlErrors()->isVisibleTo(e));
        QCOMPARE(w.tempFiles(w.env.dir()), QStringList());
        QCOMPARE(w.ask.asked().size(), 0);
    }

    // The refusal's file cannot be made where the document lives: the
    // refusal still shows, with no error box.
    void refusalWhereNoFileCanBeMade()
    {
        World w;
        const QString gone = w.env.path(QStringLiteral("gone"));
        QVERIFY(QDir().mkpath(gone));
        QVERIFY(files::setCurrentDir(gone));
        TcwEditBase* e = w.main->NewDocument(0);
        QVERIFY(files::setCurrentDir(w.env.dir()));
        QVERIFY(QDir(gone).removeRecursively());
        e->Text()->replaceSelection(QString::fromUtf8(GoodClass));

        w.ask.answerMessage(MsgResult::OK); // the path cannot be examined: read-only
        e->Compile();
        const QString notSaved = QStringLiteral("'' has not been saved yet.");
        QCOMPARE(listed(e), QStringList{notSaved});
        QCOMPARE(status(e), notSaved);
        QCOMPARE(w.ask.asked().size(), 1);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    void readOnlySource()
    {
        World w;
        const QString file = w.env.writeFile(QStringLiteral("Hello.java"), GoodClass);
        TcwEditBase* e = w.open(file, TwoErrors);
        e->Compile();
        const QStringList before = listed(e);
        const QString statusBefore = status(e);
        QVERIFY(before.size() > 1);

        ::chmod(QFile::encodeName(file).constData(), 0444);
        const QString question =
            file + QStringLiteral(" is read only.\n\rThe compile will not include any "
                                  "changes that have been made in the editor.");
        w.ask.answerMessage(MsgResult::Cancel);
        e->Compile();
        QCOMPARE(w.ask.messages(), QStringList{question});
        QCOMPARE(listed(e), before);
        QCOMPARE(status(e), statusBefore);

        // OK compiles the file as stored, which has no errors.
        w.ask.answerMessage(MsgResult::OK);
        e->Compile();
        QCOMPARE(w.ask.messages(), (QStringList{question, question}));
        QCOMPARE(status(e), "'" + file + "' compiled successfully.");
        QCOMPARE(TestEnv::readFile(file), GoodClass);
        ::chmod(QFile::encodeName(file).constData(), 0644);
    }

    // javac's fatal message for a source that is not there is a failure too.
    void vanishedSource()
    {
        World w;
        const QString file = w.env.writeFile(QStringLiteral("Hello.java"), GoodClass);
        TcwEditBase* e = w.open(file, GoodClass);
        QVERIFY(QFile::remove(file));
        w.ask.answerMessage(MsgResult::OK); // a file that cannot be examined: read-only
        e->Compile();
        QCOMPARE(w.ask.asked().size(), 1);
        QCOMPARE(status(e), "Couldn't compile '" + file + "'.");
        QCOMPARE(listed(e).first(), "error: file not found: " + file);
        QCOMPARE(selectedLine(e), QString());
        QVERIFY(!QFileInfo::exists(file));
    }

    void missingCompiler()
    {
        World w;
        const QString file = w.env.writeFile(QStringLiteral("Hello.java"), BrokenClass);
        TcwEditBase* e = w.open(file, GoodClass);
        // The interpreter answers its probe; the compiler is not there.
        const QString java = w.main->Settings().JavaInterpreter;
        w.main->Settings().JavaCompiler = w.env.path(QStringLiteral("nowhere/javac"));
        w.main->Settings().JavaInterpreter = java;
        w.ask.answerMessage(MsgResult::OK);
        e->cmdJavaClick();
        QCOMPARE(w.ask.messages(), QStringList{QStringLiteral("Create process failed")});
        QCOMPARE(status(e), QString());
        QCOMPARE(listed(e), QStringList());
        QVERIFY(e->pnlErrors()->isVisibleTo(e));
        QCOMPARE(TestEnv::readFile(file), BrokenClass);
        QCOMPARE(w.tempFiles(w.env.dir()), QStringList());
    }

    // An interpreter whose first line names the old generation: the compile
    // still runs and captures the compiler's output.
    void oldGenerationInterpreter()
    {
        World w;
        const QString java = makeScript(w.env, QStringLiteral("old/java"),
                                        "printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args\"\n"
                                        "echo 'java version \"1.0.2\"' >&2\n");
        const QString file = w.env.writeFile(QStringLiteral("Hello.java"), BrokenClass);
        TcwEditBase* e = w.open(file, TwoErrors);
        w.main->Settings().JavaInterpreter = java;
        e->Compile();
        QCOMPARE(TestEnv::readFile(w.env.path(QStringLiteral("old/args"))),
                 QByteArray("-version\n"));
        QCOMPARE(status(e), "Couldn't compile '" + file + "'.");
        QCOMPARE(listed(e).last(), QStringLiteral("2 errors"));
        QCOMPARE(TestEnv::readFile(file), BrokenClass);
    }
};

QTEST_MAIN(TestCompile)
#include "tst_compile.moc"
