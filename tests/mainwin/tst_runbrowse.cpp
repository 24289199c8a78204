// The main window's launches: the default browser found at start, Run > Load in Browser, and
// Run > Run Java with its dialog, against stand-in programs. Both variants.
#include "dialogs/drunjava.h"
#include "editor/editorwindow.h"
#include "editor/textcontrol.h"
#include "mainwin/documentcommands.h"
#include "mainwin/fmain.h"
#include "mainwin/launchcommands.h"
#include "support/fakeprograms.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"
#include "support/variants.h"

#include <QAction>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

using namespace bp;
using namespace bp::test;

namespace {

// A started main window of the case's variant, in its own world: no association of the
// machine, stand-ins first on PATH.
struct World {
    World() : xdg(env.path("xdg")), path(env.path("bin"))
    {
        terminal = writeRecorder(env.path("bin"), "x-terminal-emulator");
        record = env.path("launch.rec");
        recordInto(record);
    }
    void start()
    {
        main = std::make_unique<TfrmMain>(QStringList());
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    // Makes a stand-in the Java interpreter (beside a compiler, as the settings derive it).
    void interpreter()
    {
        main->Settings().JavaCompiler = env.writeFile("jdk/javac", "");
        main->Settings().JavaInterpreter = env.writeFile("jdk/java", "");
        main->ApplySettings();
    }
    QStringList recorded()
    {
        [&] { QTRY_VERIFY(QFile::exists(record)); }();
        return readRecord(record);
    }
    // Answers the next Run Java dialog with a command line and a button.
    void answerRunJava(const QString& commandLine, int result = QDialog::Accepted)
    {
        ask.answerDialog([commandLine, result](QDialog& d) {
            qobject_cast<TdlgRunJava*>(&d)->edtCommandLine->setText(commandLine);
            return result;
        });
    }
    QAction* item(const char* name) const { return main->item(QString::fromLatin1(name)); }

    VariantScope variant;
    TestEnv env;
    XdgScope xdg;
    PathFirst path;
    ScriptedPrompter ask;
    QString terminal;
    QString record;
    std::unique_ptr<TfrmMain> main;
};

} // namespace

class TestRunBrowse : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data() { addEditorVariants(); }

    // Started without a browser, the program takes the desktop's default for pages.
    void startupFindsTheDefaultBrowser()
    {
        World w;
        const QString browser = writeRecorder(w.env.path("bin"), "webview");
        w.env.writeFile("xdg/home/config/mimeapps.list",
                        "[Default Applications]\ntext/html=webview.desktop\n");
        w.env.writeFile("xdg/sys/data/applications/webview.desktop",
                        "[Desktop Entry]\nName=Web View\nExec=webview %u\n");
        w.start();
        QCOMPARE(w.main->Settings().WebBrowser, browser);
        // The menu knows the browser is there.
        w.main->Documents().OpenFiles({w.env.writeFile("page.html", "<p>x</p>\n")});
        QVERIFY(w.item("mnuRunLoadBrowser")->isEnabled());
    }

    // Without a default for pages, the browser stays unset.
    void startupWithoutADefaultBrowser()
    {
        World w;
        w.start();
        QCOMPARE(w.main->Settings().WebBrowser, QString());
        w.main->Documents().OpenFiles({w.env.writeFile("page.html", "<p>x</p>\n")});
        QVERIFY(!w.item("mnuRunLoadBrowser")->isEnabled());
    }

    // Run > Load in Browser shows the active page; it is off for other documents.
    void loadInBrowserShowsTheActivePage()
    {
        World w;
        w.start();
        w.main->Settings().WebBrowser = writeRecorder(w.env.path("bin"), "firefox");
        w.main->ApplySettings();
        w.main->Documents().OpenFiles({w.env.writeFile("A.java", "class A {}\n")});
        QVERIFY(!w.item("mnuRunLoadBrowser")->isEnabled());
        const QString page = w.env.writeFile("site/page.html", "<p>x</p>\n");
        w.main->Documents().OpenFiles({page});
        QVERIFY(w.item("mnuRunLoadBrowser")->isEnabled());
        w.item("mnuRunLoadBrowser")->trigger();
        QCOMPARE(w.recorded().value(1), page);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // The command line is cut into words as typed: quotes group, "$HOME" and ';' stay literal.
    // The dialog is the same one next time, with the text typed last.
    void runJavaPassesTheWordsAsTyped()
    {
        World w;
        w.start();
        w.interpreter();
        QVERIFY(w.item("mnuRunJava")->isEnabled());
        const QString line = "-Dname=\"two words\" -cp \"$HOME/lib;x\" Main ; 'q'";
        w.answerRunJava(line);
        w.item("mnuRunJava")->trigger();
        const QString keeper = QCoreApplication::applicationDirPath() + "/brewpad-console";
        QCOMPARE(w.recorded(), (QStringList{w.env.dir(), "-e", keeper,
                                            w.main->Settings().JavaInterpreter,
                                            "-Dname=two words", "-cp", "$HOME/lib;x", "Main", ";",
                                            "'q'"}));
        QCOMPARE(w.main->StatusText(), QString());

        QString offered;
        w.ask.answerDialog([&offered](QDialog& d) {
            offered = qobject_cast<TdlgRunJava*>(&d)->edtCommandLine->text();
            return int(QDialog::Rejected);
        });
        w.item("mnuRunJava")->trigger();
        QCOMPARE(offered, line);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // "Run" with an empty command line, and Cancel, start nothing.
    void runJavaEmptyOrCancelledStartsNothing()
    {
        World w;
        w.start();
        w.interpreter();
        const QString none = w.env.path("none.rec");
        recordInto(none);
        w.answerRunJava("   ");
        w.main->Launch().mnuRunJavaClick();
        w.answerRunJava("Main", QDialog::Rejected);
        w.main->Launch().mnuRunJavaClick();
        // A run after them records first: by then an earlier start would have recorded too.
        recordInto(w.record);
        w.answerRunJava("Other");
        w.main->Launch().mnuRunJavaClick();
        QCOMPARE(w.recorded().mid(3), (QStringList{w.main->Settings().JavaInterpreter, "Other"}));
        QVERIFY(!QFile::exists(none));
        QCOMPARE(w.main->StatusText(), QString());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Without an interpreter the item is off; run anyway, it says so and asks nothing.
    void runJavaWithoutInterpreter()
    {
        World w;
        EnvironmentScope vars; // no JDK for the start to find
        vars.unset("JAVA_HOME");
        vars.set("PATH", w.env.path("nothing"));
        w.start();
        QVERIFY(!w.item("mnuRunJava")->isEnabled());
        w.main->Settings().JavaInterpreter = w.env.path("jdk/java");
        w.main->Launch().mnuRunJavaClick();
        QCOMPARE(w.main->StatusText(), "Couldn't start java interpreter.");
        QVERIFY(w.ask.asked().isEmpty());
    }

    // The editor's run button in the main window runs the document's class.
    void runButtonRunsTheDocumentsClass()
    {
        World w;
        w.start();
        w.interpreter();
        w.main->Documents().OpenFiles({w.env.writeFile("app/Hello.java", "class Hello {}\n")});
        w.main->ActiveAnyEditor()->button("cmdJavaRun")->click();
        QCOMPARE(w.recorded().mid(4),
                 (QStringList{"-classpath", w.env.path("app"), "Hello"}));
    }
};

QTEST_MAIN(TestRunBrowse)
#include "tst_runbrowse.moc"
