// The editor window's launches against stand-in programs: an Html document in the web browser
// (saved, unsaved, each kind of browser, through a running browser's conversation) and the
// Java document's class in a terminal. Every case runs for both variants.
#include "editor/cedit.h"
#include "editor/cedit95.h"
#include "editor/textcontrol.h"
#include "fakemainwindow.h"
#include "model/document.h"
#include "platform/ddeclient.h"
#include "support/fakeprograms.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"
#include "support/variants.h"

#include <QDir>
#include <QToolButton>
#include <QtTest>

using namespace bp;
using namespace bp::test;

namespace {

const QByteArray Page = "<html><body><a href=\"other.html\">x</a></body></html>\n";

// A conversation that records the link and requests and answers as scripted.
struct RecordingConversation : DdeClientConv {
    void SetServiceApplication(const QString& program) override { Service = program; }
    bool OpenLink(const QString& service, const QString& topic) override
    {
        Links << service + QLatin1Char('/') + topic;
        if (OnOpen)
            OnOpen();
        return true;
    }
    bool RequestData(const QString& item, QByteArray& reply) override
    {
        Items << item;
        reply = Reply;
        return true;
    }
    QString Service;
    QStringList Links;
    QStringList Items;
    QByteArray Reply;
};

struct World {
    World()
    {
        editor = makeEditor(main);
        record = env.path("launch.rec");
        recordInto(record);
    }
    // A browser stand-in of that name, made the configured one.
    void browser(const QString& name, bool useDde = false)
    {
        main.Settings.WebBrowser = writeRecorder(env.path("programs"), name);
        main.Settings.UseDDE = useDde;
    }
    void open(const QString& name, const QByteArray& text)
    {
        editor->CreateFromFile(env.writeFile(name, text));
    }
    void type(const QString& text)
    {
        editor->Text()->setSelection(0, 0);
        editor->Text()->replaceSelection(text);
    }
    // Waits for the stand-in to record, and returns its folder and arguments.
    QStringList recorded()
    {
        [&] { QTRY_VERIFY(QFile::exists(record)); }();
        return readRecord(record);
    }
    QStringList filesIn(const QString& dir) const
    {
        return QDir(env.path(dir)).entryList(QDir::Files | QDir::Hidden);
    }

    TestEnv env;
    ScriptedPrompter ask;
    FakeMainWindow main;
    std::unique_ptr<TcwEditBase> editor;
    QString record;
};

} // namespace

class TestLaunch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data() { addEditorVariants(); }

    // A saved page without changes is shown from its own file, no copy made.
    void savedPageShowsItsFile()
    {
        World w;
        w.browser("firefox");
        w.open("site/page.html", Page);
        w.editor->button("cmdBrowser")->click();
        QCOMPARE(w.recorded(), (QStringList{w.env.dir(), w.env.path("site/page.html")}));
        QCOMPARE(w.filesIn("site"), QStringList{"page.html"});
        QCOMPARE(w.main.Status, QString());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Unsaved text is shown from a copy of our own beside the document, under a name no file
    // had, leaving every file there alone; the copy is gone when the window closes.
    void unsavedPageShowsFromANewCopy()
    {
        World w;
        w.browser("firefox");
        w.open("site/page.html", Page);
        const QByteArray tmp = "the user's own notes\n";
        w.env.writeFile("site/page.tmp", tmp);
        w.env.writeFile("site/other.html", "other");
        const QStringList before = w.filesIn("site");
        w.type("<!-- new -->");

        w.editor->LoadInBrowser();
        const QStringList args = w.recorded();
        QCOMPARE(args.size(), 2);
        const QFileInfo copy(args[1]);
        QCOMPARE(copy.absolutePath(), w.env.path("site"));
        QVERIFY2(!before.contains(copy.fileName()), qPrintable(copy.fileName()));
        QCOMPARE(copy.suffix(), "html");
        QCOMPARE(TestEnv::readFile(copy.filePath()), "<!-- new -->" + Page);
        QCOMPARE(TestEnv::readFile(w.env.path("site/page.tmp")), tmp);
        QCOMPARE(TestEnv::readFile(w.env.path("site/page.html")), Page);

        // A second look takes the same copy, with the text as it is now.
        w.type("<!-- 2 -->");
        recordInto(w.record);
        w.editor->LoadInBrowser();
        QCOMPARE(w.recorded().value(1), copy.filePath());
        QCOMPARE(TestEnv::readFile(copy.filePath()), "<!-- 2 --><!-- new -->" + Page);

        w.ask.answerMessage(MsgResult::No); // "Save changes to ...?"
        QVERIFY(w.editor->close());
        QVERIFY(!QFile::exists(copy.filePath()));
        QCOMPARE(w.filesIn("site"), before);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A page never saved is copied into its folder (the current directory).
    void neverSavedPageShowsFromACopy()
    {
        World w;
        w.browser("firefox");
        w.editor->CreateNew(1, TDocType::Html);
        w.type(QString::fromUtf8(Page));
        const QStringList before = w.filesIn(".");
        w.editor->LoadInBrowser();
        const QStringList args = w.recorded();
        const QFileInfo copy(args.value(1));
        QCOMPARE(copy.absolutePath(), w.env.dir());
        QVERIFY(!before.contains(copy.fileName()));
        QCOMPARE(TestEnv::readFile(copy.filePath()).trimmed(), Page.trimmed());
        w.ask.answerMessage(MsgResult::No); // "Save 'New_1.html'?"
        QVERIFY(w.editor->close());
        QVERIFY(w.ask.unexpected().isEmpty());
        QVERIFY(!QFile::exists(copy.filePath()));
    }

    // The applet viewer gets the saved file's bare name in its folder, even for changed text;
    // HotJava gets a file address from the rich window and the bare name from the plain one.
    void namedBrowsers_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("applet viewer") << "appletviewer";
        QTest::newRow("hotjava") << "hotjava";
        QTest::newRow("netscape without dde") << "netscape";
    }
    void namedBrowsers()
    {
        QFETCH(QString, program);
        const bool bareName =
            program == "appletviewer" || (program == "hotjava" && !richVariant());
        World w;
        w.browser(program);
        w.open("site/page.html", Page);
        w.editor->LoadInBrowser();
        const QString page = w.env.path("site/page.html");
        const QString expected =
            bareName ? "page.html" : program == "hotjava" ? "file://" + page : page;
        QCOMPARE(w.recorded(),
                 (QStringList{bareName ? w.env.path("site") : w.env.dir(), expected}));

        w.type("changed");
        recordInto(w.record);
        w.editor->LoadInBrowser();
        const QString shown = w.recorded().value(1);
        QCOMPARE(shown == "page.html", bareName);
    }

    // With the conversation, the first page opens the link and asks once it is open; the reply
    // gives the window id of the next request. Nothing is started by the window itself.
    void netscapeThroughTheConversation()
    {
        World w;
        w.browser("netscape", true);
        auto conv = std::make_unique<RecordingConversation>();
        RecordingConversation& c = *conv;
        w.main.Dde = std::make_unique<TBrowserDde>(std::move(conv));
        w.open("site/page.html", Page);
        c.Reply = QByteArray(1, '\x07');
        w.editor->LoadInBrowser();
        QCOMPARE(c.Service, w.main.Settings.WebBrowser);
        QCOMPARE(c.Links, QStringList{"Netscape/WWW_OpenURL"});
        const QString address = "file://" + w.env.path("site/page.html");
        QCOMPARE(c.Items, QStringList{address + ",,0,1"});
        w.editor->LoadInBrowser();
        QCOMPARE(c.Links.size(), 1);
        QCOMPARE(c.Items, (QStringList{address + ",,0,1", address + ",,7,1"}));
        QCOMPARE(w.main.Status, QString());
    }

    // A browser that is missing or cannot start: a message, and nothing shown.
    void missingBrowser()
    {
        World w;
        w.open("site/page.html", Page);
        w.main.Settings.WebBrowser = w.env.path("programs/gone");
        w.editor->LoadInBrowser();
        QCOMPARE(w.main.Status, "Couldn't start web browser.");

        w.main.Status.clear();
        w.main.Settings.WebBrowser = w.env.writeFile("programs/not-a-program", "text");
        w.editor->LoadInBrowser();
        QCOMPARE(w.main.Status, "Couldn't start web browser.");
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A document that is no page is not shown, silently.
    void onlyPagesAreShown()
    {
        World w;
        w.browser("firefox");
        w.open("site/Page.java", "class Page {}\n");
        const QString none = w.env.path("none.rec");
        recordInto(none);
        w.editor->LoadInBrowser();
        // The same window made a page is shown: by the time that shows, a browser started
        // before it would have recorded too.
        recordInto(w.record);
        w.editor->SetDocType(TDocType::Html);
        w.editor->LoadInBrowser();
        QCOMPARE(w.recorded().size(), 2);
        QVERIFY(!QFile::exists(none));
        QCOMPARE(w.main.Status, QString());
    }

    // The run button runs the class named after the file, in its package, from its class
    // root, in a terminal; without a project the root is the source root or the file's folder.
    void runButton_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("className");
        QTest::newRow("no package") << "app/Applet1.java" << QByteArray("class Applet1 {}\n")
                                    << "app" << "Applet1";
        QTest::newRow("package") << "src/com/acme/Hello.java"
                                 << QByteArray("/* c */\npackage com.acme;\nclass Hello {}\n")
                                 << "src" << "com.acme.Hello";
    }
    void runButton()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, text);
        QFETCH(QString, root);
        QFETCH(QString, className);
        World w;
        writeRecorder(w.env.path("bin"), "x-terminal-emulator");
        PathFirst path(w.env.path("bin"));
        w.main.Settings.JavaInterpreter = w.env.writeFile("jdk/java", "");
        w.open(file, text);
        w.editor->button("cmdJavaRun")->click();
        QCOMPARE(w.recorded(),
                 (QStringList{w.env.path(root), "-e", QCoreApplication::applicationDirPath() +
                                                          "/brewpad-console",
                              w.main.Settings.JavaInterpreter, "-classpath", w.env.path(root),
                              className}));
        QCOMPARE(w.main.Status, QString());
    }

    // In a project with an output folder the class runs from there, the project's class path
    // after it.
    void runButtonInAProject()
    {
        World w;
        writeRecorder(w.env.path("bin"), "x-terminal-emulator");
        PathFirst path(w.env.path("bin"));
        w.main.Settings.JavaInterpreter = w.env.writeFile("jdk/java", "");
        w.open("proj/src/a/Main.java", "package a;\nclass Main {}\n");
        w.main.Project->SetFileName(w.env.path("proj/p.jpr"));
        w.main.Project->SetOutputPath("classes");
        w.main.Project->SetClassPath("lib/x.jar");
        w.main.Project->AddDocument(w.editor->Document());
        QDir().mkpath(w.env.path("proj/classes")); // as the compile makes it
        w.editor->cmdJavaRunClick();
        const QStringList args = w.recorded();
        QCOMPARE(args.value(0), w.env.path("proj/classes"));
        QCOMPARE(args.mid(4), (QStringList{"-classpath",
                                           w.env.path("proj/classes") + ":" +
                                               w.env.path("proj/lib/x.jar"),
                                           "a.Main"}));
    }

    // Before the first compile has made the output folder, the interpreter still starts (from
    // the document's folder) and can say what it misses.
    void runButtonBeforeTheOutputFolderExists()
    {
        World w;
        writeRecorder(w.env.path("bin"), "x-terminal-emulator");
        PathFirst path(w.env.path("bin"));
        w.main.Settings.JavaInterpreter = w.env.writeFile("jdk/java", "");
        w.open("proj/Main.java", "class Main {}\n");
        w.main.Project->SetFileName(w.env.path("proj/p.jpr"));
        w.main.Project->SetOutputPath("classes");
        w.main.Project->AddDocument(w.editor->Document());
        w.editor->cmdJavaRunClick();
        const QStringList args = w.recorded();
        QCOMPARE(args.value(0), w.env.path("proj"));
        QCOMPARE(args.mid(4), (QStringList{"-classpath", w.env.path("proj/classes"), "Main"}));
        QCOMPARE(w.main.Status, QString());
    }

    // No interpreter, or no terminal to run it in: a message, nothing started.
    void missingInterpreter()
    {
        World w;
        w.open("app/Hello.java", "class Hello {}\n");
        w.main.Settings.JavaInterpreter = w.env.path("jdk/java");
        w.editor->cmdJavaRunClick();
        QCOMPARE(w.main.Status, "Couldn't start java interpreter.");

        w.main.Status.clear();
        w.main.Settings.JavaInterpreter = w.env.writeFile("jdk/java", "");
        QDir().mkpath(w.env.path("empty"));
        const QByteArray old = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(w.env.path("empty")));
        w.editor->cmdJavaRunClick();
        qputenv("PATH", old);
        QCOMPARE(w.main.Status, "Couldn't start java interpreter.");
    }
};

QTEST_MAIN(TestLaunch)
#include "tst_launch.moc"
