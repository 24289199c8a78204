// The web browser: the desktop's default found through the XDG data, what each kind of browser
// is handed, and the conversation with a running browser.
#include "platform/ddeclient.h"
#include "tools/browser.h"

#include "support/fakeprograms.h"
#include "support/testenv.h"

#include <QtTest>

using namespace bp;
using namespace bp::test;

namespace {

// A conversation that records what it was asked and answers as scripted.
struct RecordingConversation : DdeClientConv {
    void SetServiceApplication(const QString& program) override { Service = program; }
    bool OpenLink(const QString& service, const QString& topic) override
    {
        Links << service + QLatin1Char('/') + topic;
        if (!LinkWorks)
            return false;
        if (OnOpen)
            OnOpen();
        return true;
    }
    bool RequestData(const QString& item, QByteArray& reply) override
    {
        Items << item;
        reply = Reply;
        return Delivered;
    }

    QString Service;
    QStringList Links;
    QStringList Items;
    bool LinkWorks = true;
    bool Delivered = true;
    QByteArray Reply;
};

// A desktop-entry style file below the XDG scope's root.
void writeEntry(const TestEnv& env, const QString& name, const QByteArray& text)
{
    env.writeFile("xdg/" + name, text);
}

QByteArray desktopFile(const QByteArray& exec)
{
    return "[Desktop Entry]\nType=Application\nName=Some Browser\nExec=" + exec + "\n";
}

QByteArray mimeapps(const QByteArray& ids)
{
    return "[Added Associations]\ntext/html=other.desktop;\n\n[Default Applications]\n"
           "image/png=viewer.desktop\ntext/html=" + ids + "\n";
}

} // namespace

class TestBrowser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The desktop file named for text/html gives its Exec line's program, found on PATH.
    void defaultBrowserIsTheHtmlDefaultsProgram()
    {
        TestEnv env;
        XdgScope xdg(env.path("xdg"));
        const QString program = writeRecorder(env.path("bin"), "webview");
        PathFirst path(env.path("bin"));
        writeEntry(env, "home/config/mimeapps.list", mimeapps("webview.desktop;"));
        writeEntry(env, "sys/data/applications/webview.desktop", desktopFile("webview --private %u"));
        // The text before the argument names no file ("webview --private"): nothing usable.
        QCOMPARE(GetDefaultBrowser(), QString());
        writeEntry(env, "sys/data/applications/webview.desktop", desktopFile("webview %U"));
        QCOMPARE(GetDefaultBrowser(), program);
    }

    // mimeapps.list files count in the order config home, config dirs, data dirs; an entry
    // whose desktop file is not installed passes the choice on.
    void mimeappsFilesInTheirOrder_data()
    {
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("expected");
        QTest::newRow("config home first") << "b.desktop" << "c.desktop" << "a.desktop" << "b";
        QTest::newRow("then config dirs") << "" << "c.desktop" << "a.desktop" << "c";
        QTest::newRow("then data dirs") << "" << "" << "a.desktop" << "a";
        QTest::newRow("uninstalled skipped") << "gone.desktop" << "gone.desktop;c.desktop"
                                             << "a.desktop" << "c";
        QTest::newRow("all uninstalled") << "gone.desktop" << "" << "" << "";
    }
    void mimeappsFilesInTheirOrder()
    {
        QFETCH(QString, home);
        QFETCH(QString, system);
        QFETCH(QString, data);
        QFETCH(QString, expected);
        TestEnv env;
        XdgScope xdg(env.path("xdg"));
        for (const char* name : {"a", "b", "c"}) {
            const QString program = writeRecorder(env.path("bin"), name);
            writeEntry(env, QStringLiteral("home/data/applications/%1.desktop").arg(name),
                       desktopFile(program.toUtf8() + " %f"));
        }
        writeEntry(env, "home/config/mimeapps.list", mimeapps(home.toUtf8()));
        writeEntry(env, "sys/config/mimeapps.list", mimeapps(system.toUtf8()));
        writeEntry(env, "sys/data/applications/mimeapps.list", mimeapps(data.toUtf8()));
        QCOMPARE(GetDefaultBrowser(), expected.isEmpty() ? QString() : env.path("bin/" + expected));
    }

    // A quoted program path with blanks is one program; a program not on PATH names no file.
    void execLineProgram()
    {
        TestEnv env;
        XdgScope xdg(env.path("xdg"));
        const QString program = writeRecorder(env.path("my apps"), "web view");
        writeEntry(env, "sys/config/mimeapps.list", mimeapps("web.desktop"));
        writeEntry(env, "home/data/applications/web.desktop",
                   desktopFile("\"" + program.toUtf8() + "\" %u"));
        QCOMPARE(GetDefaultBrowser(), program);
        writeEntry(env, "home/data/applications/web.desktop",
                   desktopFile("no-such-browser-anywhere %u"));
        QCOMPARE(GetDefaultBrowser(), QString());
    }

    // What each kind of browser is handed for a page, by the names its path contains.
    void browserRules_data()
    {
        QTest::addColumn<QString>("browser");
        QTest::addColumn<bool>("useDde");
        QTest::addColumn<bool>("plain");
        QTest::addColumn<bool>("dde");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("workingDir");
        const QString other = "/opt/web/firefox";
        const QString netscape = "/opt/Netscape/program/netscape";
        const QString hotjava = "/opt/hotjava/bin/HotJava";
        const QString viewer = "/usr/lib/jvm/bin/appletviewer";
        const QString copy = "/src/bpd1A2B.html";
        QTest::newRow("other") << other << true << false << false << copy << "";
        QTest::newRow("netscape, no dde") << netscape << false << false << false << copy << "";
        QTest::newRow("netscape, dde") << netscape << true << false << true << copy << "";
        QTest::newRow("hotjava, rich") << hotjava << true << false << false
                                       << "file:///src/bpd1A2B.html" << "";
        QTest::newRow("hotjava, plain") << hotjava << true << true << false << "page.html"
                                        << "/src/";
        QTest::newRow("applet viewer") << viewer << true << false << false << "page.html"
                                       << "/src/";
        QTest::newRow("netscape before hotjava")
            << "/opt/hotjava/netscape" << false << true << false << copy << "";
    }
    void browserRules()
    {
        QFETCH(QString, browser);
        QFETCH(bool, useDde);
        QFETCH(bool, plain);
        QFETCH(bool, dde);
        QFETCH(QString, argument);
        QFETCH(QString, workingDir);
        const TBrowserRequest request =
            BrowserRequestFor(browser, useDde, plain, "/src/bpd1A2B.html", "/src/", "page.html");
        QCOMPARE(request.Dde, dde);
        QCOMPARE(request.Argument, argument);
        QCOMPARE(request.WorkingDir, workingDir);
    }

    // Only a drive colon becomes '|'; other paths pass unchanged after "file:///".
    void ddeRequestItem_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("item");
        QTest::newRow("drive") << "C:\\SRC\\page.html" << "file:///C|\\SRC\\page.html,,0,1";
        QTest::newRow("linux") << "/home/ana/a:b/page.html" << "file:///home/ana/a:b/page.html,,0,1";
        QTest::newRow("colon second, no drive") << "/:/page.html" << "file:///:/page.html,,0,1";
    }
    void ddeRequestItem()
    {
        QFETCH(QString, path);
        QFETCH(QString, item);
        QCOMPARE(DdeRequestItem(path, "0"), item);
    }

    // The first request opens the link to the browser and is made once it is open; a reply's
    // first byte is the next window id; the browser closing the conversation resets it.
    void conversationWindowId()
    {
        auto owned = std::make_unique<RecordingConversation>();
        RecordingConversation& conv = *owned;
        TBrowserDde dde(std::move(owned));
        QVERIFY(!dde.IsOpen());
        QCOMPARE(dde.WindowId(), "0");

        int opened = 0;
        QVERIFY(dde.Open("/opt/netscape/netscape", [&] {
            ++opened;
            QVERIFY(dde.IsOpen());
        }));
        QCOMPARE(opened, 1);
        QCOMPARE(conv.Service, "/opt/netscape/netscape");
        QCOMPARE(conv.Links, QStringList{"Netscape/WWW_OpenURL"});

        conv.Reply = QByteArray("\x07rest", 5);
        QVERIFY(dde.Request("file:///a.html,,0,1"));
        QCOMPARE(dde.WindowId(), "7");
        conv.Reply = QByteArray("\xC8", 1);
        QVERIFY(dde.Request("file:///a.html,,7,1"));
        QCOMPARE(dde.WindowId(), "200");
        conv.Reply.clear(); // no reply: the id stays
        QVERIFY(dde.Request("file:///a.html,,200,1"));
        QCOMPARE(dde.WindowId(), "200");
        QCOMPARE(conv.Items.size(), 3);

        conv.OnClose();
        QVERIFY(!dde.IsOpen());
        QCOMPARE(dde.WindowId(), "0");
    }

    // A link that cannot be made, or a request not delivered, is reported to the caller.
    void conversationFailures()
    {
        auto owned = std::make_unique<RecordingConversation>();
        RecordingConversation& conv = *owned;
        TBrowserDde dde(std::move(owned));
        conv.LinkWorks = false;
        bool opened = false;
        QVERIFY(!dde.Open("/missing/netscape", [&] { opened = true; }));
        QVERIFY(!opened);
        QVERIFY(!dde.IsOpen());
        conv.Delivered = false;
        QVERIFY(!dde.Request("file:///a.html,,0,1"));
    }

    // The stand-in conversation starts the browser to open the link, and hands it the page's
    // address (without the window id and flags) for a request.
    void processConversationStartsTheBrowser()
    {
        TestEnv env;
        const QString browser = writeRecorder(env.path("bin"), "netscape");
        ProcessDdeClientConv conv;
        conv.SetServiceApplication(browser);
        bool opened = false;
        conv.OnOpen = [&] { opened = true; };
        recordInto(env.path("open.rec"));
        QVERIFY(conv.OpenLink("Netscape", "WWW_OpenURL"));
        QVERIFY(opened);
        QTRY_VERIFY(QFile::exists(env.path("open.rec")));
        QCOMPARE(readRecord(env.path("open.rec")).size(), 1); // the folder, no argument

        recordInto(env.path("request.rec"));
        QByteArray reply = "old";
        QVERIFY(conv.RequestData("file:///src/my page.html,,0,1", reply));
        QVERIFY(reply.isEmpty());
        QTRY_VERIFY(QFile::exists(env.path("request.rec")));
        QCOMPARE(readRecord(env.path("request.rec")).mid(1),
                 QStringList{"file:///src/my page.html"});

        conv.SetServiceApplication(env.path("bin/none"));
        QVERIFY(!conv.OpenLink("Netscape", "WWW_OpenURL"));
        QVERIFY(!conv.RequestData("file:///a.html,,0,1", reply));
    }
};

QTEST_GUILESS_MAIN(TestBrowser)
#include "tst_browser.moc"
