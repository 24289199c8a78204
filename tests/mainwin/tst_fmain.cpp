#include "mainwin/fmain.h"
#include "model/project.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

using namespace bp;
using namespace bp::test;

namespace {


QByteArray projectFile(const QString& name, const QStringList& docs)
{
    QByteArray b = "Tarvik's Brewpad 2.09\r\n2\r\nProject\r\n  " + name.toUtf8() +
                   "\r\n\r\nCompileOptions\r\n  -g\r\n\r\nClassPath\r\n  \r\n\r\nOutputPath\r\n"
                   "  \r\n\r\nFiles\r\n";
    for (const QString& d : docs)
        b += d.toUtf8() + "\r\n";
    return b;
}

QVariant stored(const TestEnv& env, const QString& key)
{
    QSettings s(env.storeFile(), QSettings::IniFormat);
    return s.value(key);
}

void writeStored(const TestEnv& env, const QString& key, const QVariant& value)
{
    QSettings s(env.storeFile(), QSettings::IniFormat);
    s.setValue(key, value);
}

} // namespace

class TestFrmMain : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsWithNewProjectWhenNoFileIsNamed()
    {
        TestEnv env;
        ScriptedPrompter ask;
        TfrmMain w({});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        QCOMPARE(w.windowTitle(), QStringLiteral("Tarvik's Brewpad 2.09: New Project"));
        QVERIFY(w.CurrentProject());
        QCOMPARE(w.CurrentProject()->Name(), QStringLiteral("New Project"));
        QVERIFY(w.CurrentProject()->IsNew());
        // The new project's manager was shown and closed again by the toggle.
        QVERIFY(!w.ProjectManagerShown());
        QVERIFY(!w.item("mnuProjectViewProjectManager")->isChecked());
        QVERIFY(ask.asked().isEmpty());
        QVERIFY(!w.tcWindows()->isVisible());
    }

    void menuStartStates()
    {
        TestEnv env;
        ScriptedPrompter ask;
        TfrmMain w({});
        w.show();
        // Nothing that needs a child window or a modified project is enabled.
        for (const char* name :
             {"mnuFileSave", "mnuFileSaveAll", "mnuFileSaveAs", "mnuFileClose", "mnuFileCloseAll",
              "mnuFilePrint", "mnuEditUndo", "mnuEditCut", "mnuEditCopy", "mnuEditPaste",
              "mnuEditDelete", "mnuSearchFind", "mnuSearchFindNext", "mnuSearchReplace",
              "mnuSearchGotoLine", "mnuRunCompileDocument", "mnuRunLoadBrowser",
              "mnuWindowCascade", "mnuWindowTile", "mnuWindowArrange", "mnuWindowMinimize",
              "mnuFileReopen", "mnuRunJava"})
            QVERIFY2(!w.item(QString::fromLatin1(name))->isEnabled(), name);
        // A project is open, so the project commands are.
        for (const char* name : {"mnuFileSaveProjectAs", "mnuProject", "mnuProjectAddDoc",
                                 "mnuFileNew", "mnuFileOpenDoc", "mnuFileExit"})
            QVERIFY2(w.item(QString::fromLatin1(name))->isEnabled(), name);
        QVERIFY(w.button("cmdSaveProject")->isEnabled());
        QVERIFY(!w.item("mnuRunAppletViewer")->isVisible());
        QVERIFY(w.button("cmdExit")->isHidden());
        QCOMPARE(w.item("mnuSearchFindNext")->shortcut(), QKeySequence(Qt::Key_F3));
        QCOMPARE(w.item("mnuEditDelete")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
        QCOMPARE(w.button("cmdOpen")->toolTip(), QStringLiteral("Open Document"));

        // Changing the project enables Save All.
        w.CurrentProject()->SetName(QStringLiteral("Other"));
        w.UpdateMenuItems();
        QVERIFY(w.item("mnuFileSaveAll")->isEnabled());
    }

    void menuHintsReachTheStatusLine()
    {
        TestEnv env;
        ScriptedPrompter ask;
        TfrmMain w({});
        w.show();
        w.item("mnuFileExit")->showStatusText(&w);
        QCOMPARE(w.StatusText(), QStringLiteral("Exit the application"));
        // Pointing at a tool button empties the line.
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(w.button("cmdOpen"), &enter);
        QCOMPARE(w.StatusText(), QString());
    }

    void loadsTheFirstProjectNamedOnTheCommandLine()
    {
        TestEnv env;
        ScriptedPrompter ask;
        const QString doc = env.writeFile(QStringLiteral("p/src/Hello.java"), "class Hello {}\n");
        const QString jpr = env.writeFile(QStringLiteral("p/Demo.jpr"),
                                          projectFile(QStringLiteral("Demo"), {doc}));
        const QString second = env.writeFile(QStringLiteral("Second.jpr"),
                                             projectFile(QStringLiteral("Second"), {}));
        const QString plain = env.writeFile(QStringLiteral("notes.txt"), "x");
        TfrmMain w({plain, jpr, second});
        w.show();

        QVERIFY(w.CurrentProject());
        QCOMPARE(w.CurrentProject()->Name(), QStringLiteral("Demo"));
        QCOMPARE(w.CurrentProject()->Count(), 1);
        QCOMPARE(w.windowTitle(),
                 QStringLiteral("Tarvik's Brewpad 2.09: Demo (") + jpr + QLatin1Char(')'));
        QVERIFY(w.ProjectManagerShown());
        QVERIFY(w.item("mnuProjectViewProjectManager")->isChecked());
        QVERIFY(ask.asked().isEmpty());
    }

    void projectThatCannotLoadFallsBackToNewProject()
    {
        TestEnv env;
        ScriptedPrompter ask;
        ask.answerMessage(MsgResult::OK);
        const QString missing = env.path(QStringLiteral("Gone.jpr"));
        const QString old = env.writeFile(QStringLiteral("Old.jpr"), "Tarvik's Brewpad 1.0\r\n1\r\n");
        {
            TfrmMain w({missing});
            w.show();
            QCOMPARE(ask.messages(), QStringList{QStringLiteral("Can't find '") + missing + "'"});
            QCOMPARE(w.windowTitle(), QStringLiteral("Tarvik's Brewpad 2.09: New Project"));
        }
        ask.answerMessage(MsgResult::OK);
        TfrmMain w({old});
        w.show();
        QCOMPARE(ask.messages().last(),
                 "'" + old + "' is not a Brewpad Project or is from an earlier version of Brewpad.");
        QVERIFY(w.CurrentProject());
        QVERIFY(ask.unexpected().isEmpty());
    }

    void closeStoresPositionFilterAndSettings()
    {
        TestEnv env;
        ScriptedPrompter ask;
        writeStored(env, QStringLiteral("Editor/TabSet"), 2);
        writeStored(env, QStringLiteral("LastFiles/Documents"), QStringLiteral("/a/B.java\r\n"));
        {
            TfrmMain w({});
            w.show();
            QCOMPARE(w.Settings().TabSet, qint8(2));
            QCOMPARE(w.WindowValues().RecentDocuments, QStringList{QStringLiteral("/a/B.java")});
            QVERIFY(w.item("mnuFileReopen")->isEnabled());
            // The Reopen menu is built from the stored list at start.
            const QList<QAction*> reopen = w.item("mnuFileReopen")->menu()->actions();
            QCOMPARE(reopen.size(), 2);
            QCOMPARE(reopen.last()->text(), QStringLiteral("&5 /a/B.java"));
            w.move(40, 30);
            w.Settings().TabSet = 6;
            QVERIFY(w.close());
        }
        QCOMPARE(stored(env, QStringLiteral("Display/LastX")).toInt(), 40);
        QCOMPARE(stored(env, QStringLiteral("Display/LastY")).toInt(), 30);
        QCOMPARE(stored(env, QStringLiteral("Display/LastWindowState")).toInt(), 0);
        QCOMPARE(stored(env, QStringLiteral("Editor/LastFileType")).toInt(), 1);
        QCOMPARE(stored(env, QStringLiteral("Editor/TabSet")).toInt(), 6);
        QCOMPARE(stored(env, QStringLiteral("Display/Font/FontName")).toString(),
                 QStringLiteral("MS Sans Serif"));
        QCOMPARE(stored(env, QStringLiteral("LastFiles/Documents")).toString(),
                 QStringLiteral("/a/B.java\r\n"));

        // The next start comes back at the stored position.
        TfrmMain again({});
        again.show();
        QCOMPARE(again.pos(), QPoint(40, 30));
    }

    void closingMaximisedRestoresMaximised()
    {
        TestEnv env;
        ScriptedPrompter ask;
        {
            TfrmMain w({});
            w.show();
            w.showMaximized();
            QTRY_VERIFY(w.windowState() & Qt::WindowMaximized);
            QVERIFY(w.close());
        }
        QCOMPARE(stored(env, QStringLiteral("Display/LastWindowState")).toInt(), 2);
        TfrmMain w({});
        w.show();
        QVERIFY(w.windowState() & Qt::WindowMaximized);
    }

    void modifiedProjectIsAskedAboutAtClose()
    {
        TestEnv env;
        ScriptedPrompter ask;
        TfrmMain w({});
        w.show();
        w.CurrentProject()->SetName(QStringLiteral("Demo"));
        w.move(70, 10);

        // Cancel keeps the program running and writes nothing; so does Yes
        // with a cancelled save dialog.
        ask.answerMessage(MsgResult::Cancel);
        QVERIFY(!w.close());
        QCOMPARE(ask.messages(), QStringList{QStringLiteral(" Save project 'Demo'?")});
        QCOMPARE(stored(env, QStringLiteral("Display/LastX")).toInt(), 0);

        ask.answerMessage(MsgResult::Yes);
        ask.answerSave(QString());
        QVERIFY(!w.close());
        QCOMPARE(ask.asked().last().fileOptions.filter, QStringLiteral("Brewpad Project (*.jpr)|*.jpr"));

        // Yes with a name saves the project (the extension added) and closes.
        ask.answerMessage(MsgResult::Yes);
        ask.answerSave(env.path(QStringLiteral("Demo")));
        QVERIFY(w.close());
        QVERIFY(QFileInfo::exists(env.path(QStringLiteral("Demo.jpr"))));
        QCOMPARE(stored(env, QStringLiteral("Display/LastX")).toInt(), 70);

        // No closes without saving.
        TfrmMain other({});
        other.show();
        other.CurrentProject()->SetName(QStringLiteral("Other"));
        ask.answerMessage(MsgResult::No);
        QVERIFY(other.close());
        QCOMPARE(QDir(env.dir()).entryList({QStringLiteral("*.jpr")}), QStringList{"Demo.jpr"});
        QVERIFY(ask.unexpected().isEmpty());
    }


};

QTEST_MAIN(TestFrmMain)
#include "tst_fmain.moc"
