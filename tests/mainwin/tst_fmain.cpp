#include "mainwin/documentcommands.h"
#include "mainwin/fmain.h"
#include "model/project.h"
#include "model/settings.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

using namespace bp;
using namespace bp::test;

namespace {

QByteArray projectFile(const QString& name)
{
    return "Tarvik's Brewpad 2.09\r\n2\r\nProject\r\n  " + name.toUtf8() +
           "\r\n\r\nCompileOptions\r\n  -g\r\n\r\nClassPath\r\n  \r\n\r\nOutputPath\r\n  "
           "\r\n\r\nFiles\r\n";
}

// The stored values of some keys, joined by '|'.
QString stored(const TestEnv& env, const QStringList& keys)
{
    QSettings s(env.storeFile(), QSettings::IniFormat);
    QStringList values;
    for (const QString& key : keys)
        values << s.value(key).toString();
    return values.join(QLatin1Char('|'));
}

} // namespace

class TestFrmMain : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstProjectOnTheCommandLine_data()
    {
        // The contents of p/Demo.jpr before its document (empty: no file), and the
        // message about it (%1: its path; empty: it loads).
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("message");
        QTest::newRow("loads") << projectFile(QStringLiteral("Demo")) << QString();
        QTest::newRow("missing") << QByteArray() << QStringLiteral("Can't find '%1'");
        QTest::newRow("old version") << QByteArray("Tarvik's Brewpad 1.0\r\n1\r\n")
                                     << QStringLiteral("'%1' is not a Brewpad Project or is from "
                                                       "an earlier version of Brewpad.");
    }
    void firstProjectOnTheCommandLine()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        TestEnv env;
        ScriptedPrompter ask;
        const bool loads = message.isEmpty();
        const QString jpr = env.path(QStringLiteral("p/Demo.jpr"));
        const QString doc = env.writeFile(QStringLiteral("p/src/Hello.java"), "class Hello {}\n");
        if (!contents.isEmpty())
            env.writeFile(QStringLiteral("p/Demo.jpr"), contents + doc.toUtf8() + "\r\n");
        if (!loads)
            ask.answerMessage(MsgResult::OK);
        TfrmMain w(
            {env.writeFile(QStringLiteral("notes.txt"), "x"), jpr,
             env.writeFile(QStringLiteral("Second.jpr"), projectFile(QStringLiteral("Second")))});
        w.show();
        QCOMPARE(ask.messages(), loads ? QStringList() : QStringList{message.arg(jpr)});
        QCOMPARE(w.windowTitle(),
                 "Tarvik's Brewpad 2.09: " +
                     (loads ? "Demo (" + jpr + ")" : QStringLiteral("New Project")));
        QCOMPARE(w.CurrentProject()->Count(), loads ? 1 : 0);
        QCOMPARE(w.item("mnuProjectViewProjectManager")->isChecked(), loads);
        QVERIFY(ask.unexpected().isEmpty());
    }

    // Entries naming a missing file or a name already loaded come with the project and are
    // saved back as they were; the project counts as unchanged, so closing asks nothing. A
    // document named like a missing entry is not the project's.
    void projectKeepsMissingEntries()
    {
        TestEnv env;
        ScriptedPrompter ask;
        const QString hello = env.writeFile(QStringLiteral("p/src/Hello.java"), "class Hello {}\n");
        const QString twin = env.writeFile(QStringLiteral("p/old/Hello.java"), "class Hello {}\n");
        const QString gone = env.path(QStringLiteral("p/gone/Gone.java"));
        const QByteArray contents = projectFile(QStringLiteral("Demo")) +
                                    (hello + "\r\n" + gone + "\r\n" + twin + "\r\n").toUtf8();
        const QString jpr = env.writeFile(QStringLiteral("p/Demo.jpr"), contents);
        TfrmMain w({jpr});
        w.show();
        const TProject* project = w.CurrentProject();
        QVERIFY(project->Count() == 3 && project->IsMissing(1) && project->IsMissing(2));
        w.Documents().OpenFiles({env.writeFile(QStringLiteral("Gone.java"), "class Gone {}\n")});
        w.UpdateMenuItems();
        QVERIFY(!w.item("mnuProjectRemoveDoc")->isEnabled());
        QVERIFY(!project->IsModified());
        w.button("cmdSaveProject")->click();
        QCOMPARE(TestEnv::readFile(jpr), contents);
        QVERIFY(w.close());
        QVERIFY(ask.unexpected().isEmpty());
    }

    // A start without a project file opens a new project, whose manager the toggle shows
    // and closes again; nothing that needs a window, a recent file or a modified project is
    // enabled.
    void startWithoutProjectFile()
    {
        TestEnv env;
        ScriptedPrompter ask;
        EnvironmentScope vars; // no JDK: Run Java stays off
        vars.unset("JAVA_HOME");
        vars.set("PATH", env.path("nothing"));
        TfrmMain w({});
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("Tarvik's Brewpad 2.09: New Project"));
        QVERIFY(!w.ProjectManagerShown());
        QVERIFY(!w.item("mnuProjectViewProjectManager")->isChecked());
        QVERIFY(!w.tcWindows()->isVisible());
        for (const char* name :
             {"mnuFileSave",       "mnuFileSaveAll",   "mnuFileSaveAs",     "mnuFileClose",
              "mnuFileCloseAll",   "mnuFilePrint",     "mnuEditUndo",       "mnuEditCut",
              "mnuEditCopy",       "mnuEditPaste",     "mnuEditDelete",     "mnuSearchFind",
              "mnuSearchFindNext", "mnuSearchReplace", "mnuSearchGotoLine", "mnuRunCompileDocument",
              "mnuRunStopCompile",
              "mnuRunLoadBrowser", "mnuWindowCascade", "mnuWindowTile",     "mnuWindowArrange",
              "mnuWindowMinimize", "mnuFileReopen",    "mnuRunJava"})
            QVERIFY2(!w.item(name)->isEnabled(), name);
        for (const char* name : {"mnuFileSaveProjectAs", "mnuProject", "mnuProjectAddDoc",
                                 "mnuFileNew", "mnuFileOpenDoc", "mnuFileExit"})
            QVERIFY2(w.item(name)->isEnabled(), name);
        QVERIFY(w.button("cmdSaveProject")->isEnabled());
        // Renaming the project makes it modified: Save All follows.
        w.CurrentProject()->SetName(QStringLiteral("Demo"));
        w.UpdateMenuItems();
        QVERIFY(w.item("mnuFileSaveAll")->isEnabled());
        QVERIFY(ask.unexpected().isEmpty());
    }

    // A tool button runs its menu item's command and has its tooltip as accessible name;
    // menu hints reach the status line, pointing at a tool button empties it.
    void toolButtonsShareTheirMenuCommands()
    {
        TestEnv env;
        ScriptedPrompter ask;
        TfrmMain w({});
        w.show();
        QCOMPARE(w.button("cmdOpen")->defaultAction(), w.item("mnuFileOpenDoc"));
        QCOMPARE(w.button("cmdNewProject")->defaultAction(), w.item("mnuFileNewProject"));
        for (QToolButton* b : w.findChildren<QToolButton*>()) {
            if (b->parent()->objectName() != QLatin1String("SpeedPanel"))
                continue;
            QVERIFY2(!b->accessibleName().isEmpty(), qPrintable(b->objectName()));
            QCOMPARE(b->accessibleName(), b->toolTip());
        }
        QCOMPARE(w.button("cmdOpen")->toolTip(), QStringLiteral("Open Document"));
        ask.answerOpen({});
        w.button("cmdOpen")->click();
        QCOMPARE(ask.asked().size(), 1);
        QCOMPARE(ask.asked().first().kind, Asked::Open);

        w.item("mnuFileExit")->showStatusText(&w);
        QCOMPARE(w.StatusText(), QStringLiteral("Exit the application"));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(w.button("cmdOpen"), &enter);
        QCOMPARE(w.StatusText(), QString());
        QVERIFY(ask.unexpected().isEmpty());
    }

    // Closing with a modified project asks; Cancel, and Yes with a cancelled save dialog,
    // keep the program running and store nothing; Yes with a name saves and closes.
    void closeAsksAboutModifiedProject()
    {
        TestEnv env;
        ScriptedPrompter ask;
        auto w = std::make_unique<TfrmMain>(QStringList());
        w->show();
        w->CurrentProject()->SetName(QStringLiteral("Demo"));
        w->Settings().TabSet = 6;
        ask.answerMessage(MsgResult::Cancel);
        QVERIFY(!w->close());
        QCOMPARE(ask.messages(), QStringList{QStringLiteral(" Save project 'Demo'?")});
        ask.answerMessage(MsgResult::Yes);
        ask.answerSave(QString());
        QVERIFY(!w->close());
        QCOMPARE(ask.asked().last().fileOptions.filter,
                 QStringLiteral("Brewpad Project (*.jpr)|*.jpr"));
        QCOMPARE(stored(env, {"Editor/TabSet"}), QStringLiteral("4"));
        ask.answerMessage(MsgResult::Yes);
        ask.answerSave(env.path(QStringLiteral("Demo")));
        QVERIFY(w->close());
        QVERIFY(QFileInfo::exists(env.path(QStringLiteral("Demo.jpr"))));
        // No closes without saving a modified project.
        w = std::make_unique<TfrmMain>(QStringList());
        w->show();
        w->CurrentProject()->SetName(QStringLiteral("Other"));
        ask.answerMessage(MsgResult::No);
        QVERIFY(w->close());
        QCOMPARE(QDir(env.dir()).entryList({QStringLiteral("*.jpr")}), QStringList{"Demo.jpr"});
        QVERIFY(ask.unexpected().isEmpty());
    }

    // What is stored at close comes back at the next start: position, state, the last file
    // type, settings and the Reopen menu.
    void settingsStoredAtCloseComeBack()
    {
        TestEnv env;
        ScriptedPrompter ask;
        auto w = std::make_unique<TfrmMain>(QStringList());
        w->show();
        w->AddRecentFile(QStringLiteral("/a/B.java"));
        w->move(40, 30);
        w->Settings().TabSet = 6;
        QVERIFY(w->close());
        w.reset();
        QCOMPARE(stored(env, {"Display/LastX", "Display/LastY", "Display/LastWindowState",
                              "Editor/LastFileType", "Editor/TabSet", "LastFiles/Documents"}),
                 QStringLiteral("40|30|0|1|6|/a/B.java\r\n"));

        w = std::make_unique<TfrmMain>(QStringList());
        w->show();
        QVERIFY(w->item("mnuFileReopen")->isEnabled());
        const QList<QAction*> reopen = w->item("mnuFileReopen")->menu()->actions();
        QCOMPARE(reopen.size(), 2);
        QCOMPARE(reopen.last()->text(), QStringLiteral("&5 /a/B.java"));
        QCOMPARE(w->pos(), QPoint(40, 30));
        // Closed maximised, it starts so.
        w->showMaximized();
        QTRY_VERIFY(w->windowState() & Qt::WindowMaximized);
        QVERIFY(w->close());
        w.reset();
        QCOMPARE(stored(env, {"Display/LastWindowState"}), QStringLiteral("2"));
        w = std::make_unique<TfrmMain>(QStringList());
        w->show();
        QVERIFY(w->windowState() & Qt::WindowMaximized);
        QVERIFY(ask.unexpected().isEmpty());
    }

    // A first start, with nothing stored, opens on two thirds of the screen, centred.
    void firstStartTakesTwoThirdsOfTheScreen()
    {
        TestEnv env;
        ScriptedPrompter ask;
        TfrmMain w({});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect available = w.screen()->availableGeometry();
        QCOMPARE(w.size(), available.size() * 2 / 3);
        QVERIFY((w.frameGeometry().center() - available.center()).manhattanLength() <= 2);
        QVERIFY(ask.unexpected().isEmpty());
    }

    // The size is stored beside the position and comes back; closed maximised, the window
    // keeps the size it is restored to.
    void sizeStoredAtCloseComesBack()
    {
        TestEnv env;
        ScriptedPrompter ask;
        auto w = std::make_unique<TfrmMain>(QStringList());
        w->show();
        w->resize(610, 420);
        w->move(20, 10);
        QVERIFY(w->close());
        w.reset();
        QCOMPARE(stored(env, {"Display/LastWidth", "Display/LastHeight"}),
                 QStringLiteral("610|420"));
        w = std::make_unique<TfrmMain>(QStringList());
        w->show();
        QCOMPARE(w->size(), QSize(610, 420));
        QCOMPARE(w->pos(), QPoint(20, 10));
        w->showMaximized();
        QTRY_VERIFY(w->windowState() & Qt::WindowMaximized);
        // Maximised, it covers more than the size it keeps.
        QTRY_VERIFY(w->width() > 610 && w->height() > 420);
        QVERIFY(w->close());
        w.reset();
        QCOMPARE(
            stored(env, {"Display/LastWidth", "Display/LastHeight", "Display/LastWindowState"}),
            QStringLiteral("610|420|2"));
        QVERIFY(ask.unexpected().isEmpty());
    }

    // A size stored on a larger screen is cut to this one.
    void storedSizeLargerThanTheScreenIsCut()
    {
        TestEnv env;
        ScriptedPrompter ask;
        {
            QSettings s(env.storeFile(), QSettings::IniFormat);
            s.setValue("Display/LastWidth", 5000);
            s.setValue("Display/LastHeight", 300);
        }
        TfrmMain w({});
        w.show();
        const QRect available = w.screen()->availableGeometry();
        QCOMPARE(w.size(), QSize(available.width(), 300));
        QVERIFY(ask.unexpected().isEmpty());
    }

    // A store written before sizes were kept loads as before: its values are read, the
    // window opens as at a first start, and the size values are added.
    void storeWithoutSizeLoads()
    {
        TestEnv env;
        ScriptedPrompter ask;
        {
            QSettings s(env.storeFile(), QSettings::IniFormat);
            s.setValue("Display/LastX", 40);
            s.setValue("Display/LastY", 30);
            s.setValue("Display/LastWindowState", 0);
            s.setValue("Editor/LastFileType", 3);
            s.setValue("Editor/TabSet", 6);
        }
        TfrmMain w({});
        w.show();
        QCOMPARE(w.WindowValues().LastFileType, 3);
        QCOMPARE(int(w.Settings().TabSet), 6);
        QCOMPARE(w.size(), w.screen()->availableGeometry().size() * 2 / 3);
        QCOMPARE(stored(env, {"Display/LastWidth", "Display/LastHeight"}), QStringLiteral("0|0"));
        QVERIFY(ask.unexpected().isEmpty());
    }

    // Stored values out of range: a position off every screen comes back onto one, a window
    // closed minimised starts normal; the dialogs start in the current directory.
    void storedWindowPlaceComesBackInSight()
    {
        TestEnv env;
        ScriptedPrompter ask;
        {
            QSettings s(env.storeFile(), QSettings::IniFormat);
            s.setValue("Display/LastX", -50000);
            s.setValue("Display/LastY", 70000);
            s.setValue("Display/LastWindowState", 1);
        }
        TfrmMain w({});
        w.show();
        QVERIFY(QGuiApplication::screenAt(w.pos()) != nullptr);
        QVERIFY(!(w.windowState() & Qt::WindowMinimized));
        ask.answerOpen({});
        w.item("mnuFileOpenDoc")->trigger();
        QCOMPARE(ask.asked().first().fileOptions.initialDir, env.dir());
        QVERIFY(ask.unexpected().isEmpty());
    }

    // A start that names no compiler finds the JDK of JAVA_HOME, else the javac on PATH,
    // and stores it; one the settings file or the store names is kept.
    void firstStartFindsTheJdk()
    {
        TestEnv env;
        ScriptedPrompter ask;
        EnvironmentScope vars;
        const QString javac = env.writeFile("jdk/bin/javac", "#!/bin/sh\n");
        const QString java = env.writeFile("jdk/bin/java", "#!/bin/sh\n");
        QVERIFY(QFile::setPermissions(javac, QFile::permissions(javac) | QFileDevice::ExeOwner));
        vars.set("JAVA_HOME", env.path("jdk"));
        vars.set("PATH", env.path("nothing"));
        {
            TfrmMain w({});
            QCOMPARE(w.Settings().JavaCompiler, javac);
            QCOMPARE(w.Settings().JavaInterpreter, java);
            QVERIFY(w.ToolsPresent().Compiler);
            QCOMPARE(stored(env, {"JavaCompiler/Default"}), javac);
        }
        // Named by the settings file, even a compiler that is missing stays.
        env.writeFile(kSettingsFileName, "/named/javac\r\n");
        {
            TfrmMain w({});
            QCOMPARE(w.Settings().JavaCompiler, QStringLiteral("/named/javac"));
            QCOMPARE(w.Settings().JavaInterpreter, QString());
        }
        QVERIFY(QFile::remove(kSettingsFileName));
        // Nothing to find: the settings stay empty.
        QSettings(env.storeFile(), QSettings::IniFormat).remove("JavaCompiler");
        vars.unset("JAVA_HOME");
        {
            TfrmMain w({});
            QCOMPARE(w.Settings().JavaCompiler, QString());
            QCOMPARE(stored(env, {"JavaCompiler/Default"}), QString());
        }
        QVERIFY(ask.unexpected().isEmpty());
    }

    // A settings file others may change is not used, and the status line says so.
    void ignoredSettingsFileIsReported()
    {
        TestEnv env;
        ScriptedPrompter ask;
        EnvironmentScope vars; // no JDK to find in its place
        vars.unset("JAVA_HOME");
        vars.set("PATH", env.path("nothing"));
        const QString ini = env.writeFile(kSettingsFileName, "/elsewhere/javac\r\n");
        QVERIFY(QFile::setPermissions(ini, QFileDevice::Permissions(0x6666))); // rw for all
        TfrmMain w({});
        w.show();
        QCOMPARE(w.StatusText(),
                 QStringLiteral("brewpad.ini ignored: it is another user's, or others may change it."));
        QCOMPARE(w.Settings().JavaCompiler, QString());
        QVERIFY(ask.unexpected().isEmpty());
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_fmain.moc"
