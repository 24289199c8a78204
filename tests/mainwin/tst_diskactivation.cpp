// The main window lets an editor window look at its file on disk when the window becomes
// active: chosen among the children, or with the main window after the user was in another
// program. Every case runs for both variants (global data).
#include "editor/editorwindow.h"
#include "editor/textcontrol.h"
#include "mainwin/childwindows.h"
#include "mainwin/documentcommands.h"
#include "mainwin/fmain.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"
#include "support/variants.h"

#include <QDialog>
#include <QMdiArea>
#include <QtTest>

using namespace bp;
using namespace bp::test;

namespace {

// A started main window of the case's variant with two files open, the second active.
struct World {
    World()
    {
        main = std::make_unique<TfrmMain>(QStringList());
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        first = env.writeFile(QStringLiteral("First.java"), "first\n");
        second = env.writeFile(QStringLiteral("Second.java"), "second\n");
        main->Documents().OpenFiles({first, second});
        QCOMPARE(main->ActiveAnyEditor()->GetPathName(), second);
        // The checks that opening them brought are over.
        QCoreApplication::processEvents();
    }
    TcwEditBase* editor(int index) const { return main->Children().Editors().at(index); }
    QString text(int index) const { return editor(index)->Text()->text(); }
    QString reloaded(const QString& path) const
    {
        return "'" + path + "' changed on disk and was reloaded.";
    }

    VariantScope variant;
    TestEnv env;
    ScriptedPrompter ask;
    std::unique_ptr<TfrmMain> main;
    QString first;
    QString second;
};

} // namespace

class TestDiskActivation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data() { addEditorVariants(); }

    void choosingAChildChecksItsFile()
    {
        World w;
        TestEnv::changeOutside(w.first, "changed\n");
        w.main->Children().Activate(0);
        QTRY_COMPARE(w.text(0), QStringLiteral("changed\r\n"));
        QCOMPARE(w.main->StatusText(), w.reloaded(w.first));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Back from another program: the active window's file is looked at, and only its own.
    void mainWindowActiveAgainChecksTheActiveChild()
    {
        World w;
        QWidget elsewhere; // another program's window
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        TestEnv::changeOutside(w.first, "changed first\n");
        TestEnv::changeOutside(w.second, "changed second\n");
        w.main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.main.get()));
        QTRY_COMPARE(w.text(1), QStringLiteral("changed second\r\n"));
        QCOMPARE(w.main->StatusText(), w.reloaded(w.second));
        QCOMPARE(w.text(0), QStringLiteral("first\r\n"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A modal dialog of the program's own (the settings) is not interrupted by a question:
    // the window looks at its file once the dialog has closed.
    void openModalDialogPutsTheCheckOff()
    {
        World w;
        QDialog dialog(w.main.get());
        dialog.setModal(true);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        TestEnv::changeOutside(w.second, "changed\n");
        w.main->Children().Activate(0);
        w.main->Children().Activate(1);
        QCoreApplication::processEvents();
        QCOMPARE(w.text(1), QStringLiteral("second\r\n"));
        dialog.accept();
        // As the window manager does once the dialog has gone.
        w.main->activateWindow();
        QTRY_COMPARE(w.text(1), QStringLiteral("changed\r\n"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }
};

QTEST_MAIN(TestDiskActivation)
#include "tst_diskactivation.moc"
