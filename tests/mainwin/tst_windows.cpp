// Editor windows inside the main window: new, open, close, tabs and recent files; every case
// runs for both variants (global data).
#include "dialogs/projectmanager.h"
#include "editor/editorwindow.h"
#include "editor/textcontrol.h"
#include "mainwin/documentcommands.h"
#include "mainwin/fmain.h"
#include "model/project.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"
#include "support/variants.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

#include <sys/stat.h>

using namespace bp;
using namespace bp::test;

namespace {

// The project manager's wishes, none of which the window tests follow.
class IdleHost : public IProjectManagerHost {
public:
    void OpenProjectDocument(const QString&) override {}
    bool CloseDocumentWindow(const QString&) override { return true; }
    void CompileProjectDocument(const QString&) override {}
    void BrowseProjectDocument(const QString&) override {}
    void NewProject() override {}
    void AddFilesToProject() override {}
    void OpenProjectFile(const QString&) override {}
    void SetProjectManagerShown(bool) override {}
    void UpdateMenuItems() override {}
};

// One started main window of the case's variant, in its own world.
struct World {
    World()
    {
        main = std::make_unique<TfrmMain>(QStringList());
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    TcwEditBase* active() const { return main->ActiveAnyEditor(); }
    int children() const { return int(main->MdiArea()->subWindowList().size()); }
    QStringList tabs() const
    {
        QStringList out;
        for (int i = 0; i < main->tcWindows()->count(); ++i)
            out << main->tcWindows()->tabText(i);
        return out;
    }
    // The Window menu's list of child windows, the checked one marked "*".
    QStringList windowMenu() const
    {
        QStringList out;
        for (QAction* a : main->item("mnuWindow")->menu()->actions())
            if (a->isCheckable())
                out << (a->isChecked() ? QStringLiteral("*") : QString()) + a->text();
        return out;
    }
    // The Window menu's entry for child number index, counted from 0.
    QAction* windowMenuItem(int index) const
    {
        QList<QAction*> items;
        for (QAction* a : main->item("mnuWindow")->menu()->actions())
            if (a->isCheckable())
                items << a;
        return items.value(index);
    }
    QString currentTab() const
    {
        return main->tcWindows()->tabText(main->tcWindows()->currentIndex());
    }
    QMdiSubWindow* child(int index) const { return main->MdiArea()->subWindowList().at(index); }
    // The Reopen menu's captions, "-" for the separator.
    QStringList reopenMenu() const
    {
        QStringList out;
        for (QAction* a : main->item("mnuFileReopen")->menu()->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    }
    // The active editor's text widget, and real key events typed into it.
    QWidget* edit() const { return active()->Text()->widget(); }
    void type(const QString& text) { QTest::keyClicks(edit(), text); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(edit(), k, m); }

    VariantScope variant;
    TestEnv env;
    ScriptedPrompter ask;
    std::unique_ptr<TfrmMain> main;
};

} // namespace

class TestWindows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data() { addEditorVariants(); }

    // New documents are numbered per type, each with its tab; the new window takes the
    // keyboard at once, and Find follows its text.
    void newDocumentsGetNumberedTabs()
    {
        World w;
        w.main->item("mnuFileNewJava")->trigger();
        QCOMPARE(w.active()->metaObject()->className(),
                 richVariant() ? "bp::TcwEdit95" : "bp::TcwEdit");
        w.main->item("mnuFileNewJava")->trigger();
        w.main->item("mnuFileNewHtml")->trigger();
        // The New button's popup offers the same four commands.
        w.main->findChild<QMenu*>(QStringLiteral("mnpFileNew"))->actions().at(3)->trigger();
        QCOMPARE(w.tabs(), (QStringList{"New_1.java", "New_2.java", "New_3.html", "New_4."}));
        QVERIFY(w.main->tcWindows()->isVisible());
        QCOMPARE(w.main->ActiveEditor()->windowTitle(), QStringLiteral("New_4."));
        QCOMPARE(QApplication::focusWidget(), w.edit());
        QVERIFY(w.main->item("mnuFileSave")->isEnabled());
        QVERIFY(!w.main->item("mnuSearchFind")->isEnabled()); // no text yet
        w.type(QStringLiteral("x"));
        QVERIFY(w.main->item("mnuSearchFind")->isEnabled());
    }

    // Choosing a tab activates its window and gives it the keyboard; with document tabs
    // off, the bar stays hidden for new windows too.
    void choosingATabActivatesItsWindow()
    {
        World w;
        for (int i = 0; i < 3; ++i)
            w.main->Documents().NewDocument(TDocType::Java);
        w.main->tcWindows()->setCurrentIndex(0);
        QCOMPARE(w.active()->windowTitle(), QStringLiteral("New_1.java"));
        QCOMPARE(QApplication::focusWidget(), w.edit());
        QCOMPARE(w.tabs(), (QStringList{"New_1.java", "New_2.java", "New_3.java"}));
        w.main->Settings().ShowDocTabs = false;
        w.main->ApplySettings();
        QVERIFY(!w.main->tcWindows()->isVisible());
        w.main->Documents().NewDocument(TDocType::Other);
        QVERIFY(!w.main->tcWindows()->isVisible());
    }

    // The Window menu lists the child windows in their order, the active one checked, and
    // the tab bar selects the same window: after opening, activating and closing.
    void windowMenuAndTabsFollowOpenActivateClose()
    {
        World w;
        QCOMPARE(w.windowMenu(), QStringList());
        for (int i = 0; i < 3; ++i)
            w.main->Documents().NewDocument(TDocType::Java);
        QCOMPARE(w.windowMenu(), (QStringList{"&1 New_1.java", "&2 New_2.java", "*&3 New_3.java"}));
        QCOMPARE(w.currentTab(), QStringLiteral("New_3.java"));
        // Another window comes to the front (a click on it does this).
        w.main->MdiArea()->setActiveSubWindow(w.child(0));
        QCOMPARE(w.windowMenu(), (QStringList{"*&1 New_1.java", "&2 New_2.java", "&3 New_3.java"}));
        QCOMPARE(w.currentTab(), QStringLiteral("New_1.java"));
        // Choosing from the menu activates that window with the keyboard.
        w.windowMenuItem(1)->trigger();
        QCOMPARE(w.active()->windowTitle(), QStringLiteral("New_2.java"));
        QCOMPARE(QApplication::focusWidget(), w.edit());
        QCOMPARE(w.windowMenu(), (QStringList{"&1 New_1.java", "*&2 New_2.java", "&3 New_3.java"}));
        QCOMPARE(w.currentTab(), QStringLiteral("New_2.java"));
        w.main->Documents().CloseDoc();
        QTRY_COMPARE(w.windowMenu().size(), 2);
        QCOMPARE(w.tabs(), (QStringList{"New_1.java", "New_3.java"}));
        QCOMPARE(w.windowMenu().join(QLatin1Char('|')).count(QLatin1Char('*')), 1);
        QCOMPARE(w.currentTab(), w.active()->windowTitle());
        w.main->item("mnuFileCloseAll")->trigger();
        QTRY_COMPARE(w.windowMenu(), QStringList());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A new name from Save As shows in the Window menu and on the tab at once.
    void saveAsRenamesMenuEntryAndTab()
    {
        World w;
        w.main->Documents().NewDocument(TDocType::Text);
        w.main->Documents().NewDocument(TDocType::Java);
        w.type(QStringLiteral("class Renamed {}"));
        w.ask.answerSave(w.env.path(QStringLiteral("Renamed")));
        QVERIFY(w.active()->SaveAs());
        QCOMPARE(w.windowMenu(), (QStringList{"&1 New_1.txt", "*&2 Renamed.java"}));
        QCOMPARE(w.tabs(), (QStringList{"New_1.txt", "Renamed.java"}));
        QCOMPARE(w.currentTab(), QStringLiteral("Renamed.java"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Minimised windows stay listed and keep their tabs; choosing one from the menu or its
    // tab brings it back to its normal state.
    void minimisedWindowsComeBackWhenChosen()
    {
        World w;
        for (int i = 0; i < 3; ++i)
            w.main->Documents().NewDocument(TDocType::Html);
        QVERIFY(w.main->item("mnuWindowMinimize")->isEnabled());
        w.main->item("mnuWindowMinimize")->trigger();
        for (int i = 0; i < 3; ++i)
            QVERIFY(w.child(i)->isMinimized());
        QCOMPARE(w.windowMenu().size(), 3);
        QCOMPARE(w.tabs(), (QStringList{"New_1.html", "New_2.html", "New_3.html"}));
        w.windowMenuItem(0)->trigger();
        QVERIFY(!w.child(0)->isMinimized());
        QCOMPARE(w.active()->windowTitle(), QStringLiteral("New_1.html"));
        QCOMPARE(w.windowMenu().first(), QStringLiteral("*&1 New_1.html"));
        QCOMPARE(w.currentTab(), QStringLiteral("New_1.html"));
        w.main->tcWindows()->setCurrentIndex(2);
        QVERIFY(!w.child(2)->isMinimized());
        QCOMPARE(w.active()->windowTitle(), QStringLiteral("New_3.html"));
        QCOMPARE(w.windowMenu().last(), QStringLiteral("*&3 New_3.html"));
        QVERIFY(w.child(1)->isMinimized());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Arrange Icons lines the minimised windows up along the bottom of the child area, in
    // child order from the left, without overlapping; normal windows stay where they are.
    void arrangeIconsLinesMinimisedWindowsUpAtTheBottom()
    {
        World w;
        for (int i = 0; i < 4; ++i)
            w.main->Documents().NewDocument(TDocType::Text);
        w.child(0)->showMinimized();
        // Room for the three icons side by side.
        w.main->resize(w.child(0)->width() * 4, w.main->height());
        QTRY_VERIFY(w.main->MdiArea()->viewport()->width() > w.child(0)->width() * 3);
        w.child(3)->move(17, 13);
        const QRect normal = w.child(3)->geometry();
        for (int i = 0; i < 3; ++i) {
            w.child(i)->showMinimized();
            w.child(i)->move(30 + 40 * i, 10 + 25 * i); // scattered
        }
        w.main->item("mnuWindowArrange")->trigger();
        const int bottom = w.main->MdiArea()->viewport()->height();
        int left = 0;
        for (int i = 0; i < 3; ++i) {
            const QRect r = w.child(i)->geometry();
            QCOMPARE(r.left(), left);
            QCOMPARE(r.bottom() + 1, bottom);
            left = r.right() + 1;
        }
        QCOMPARE(w.child(3)->geometry(), normal);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Minimised windows that do not fit beside each other fill a row above the bottom one.
    void arrangeIconsStartsANewRowAboveAFullOne()
    {
        World w;
        for (int i = 0; i < 3; ++i)
            w.main->Documents().NewDocument(TDocType::Text);
        for (int i = 0; i < 3; ++i)
            w.child(i)->showMinimized();
        const int iconWidth = w.child(0)->width();
        // Room for two icons side by side, not three.
        w.main->resize(w.main->width() - w.main->MdiArea()->viewport()->width() + iconWidth * 2 +
                           iconWidth / 2,
                       w.main->height());
        QTRY_VERIFY(w.main->MdiArea()->viewport()->width() < iconWidth * 3);
        QVERIFY(w.main->MdiArea()->viewport()->width() >= iconWidth * 2);
        w.main->item("mnuWindowArrange")->trigger();
        const int bottom = w.main->MdiArea()->viewport()->height();
        QCOMPARE(w.child(0)->geometry().bottom() + 1, bottom);
        QCOMPARE(w.child(1)->geometry().topLeft(), QPoint(iconWidth, w.child(0)->y()));
        QCOMPARE(w.child(2)->geometry().topLeft(),
                 QPoint(0, w.child(0)->y() - w.child(2)->height()));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // The project manager, when open as a child window, is listed among the windows but
    // gets no document tab.
    void windowMenuListsTheProjectManager()
    {
        World w;
        w.main->Documents().NewDocument(TDocType::Java);
        IdleHost host;
        std::unique_ptr<TProjectManager> manager = CreateProjectManager(richVariant(), host);
        QMdiSubWindow* sub = w.main->MdiArea()->addSubWindow(manager.release());
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->show();
        w.main->MdiArea()->setActiveSubWindow(sub);
        QTRY_COMPARE(w.windowMenu(), (QStringList{"&1 New_1.java", "*&2 Project Options"}));
        QCOMPARE(w.tabs(), QStringList{QStringLiteral("New_1.java")});
        w.windowMenuItem(0)->trigger();
        QCOMPARE(w.currentTab(), QStringLiteral("New_1.java"));
        sub->close();
        QTRY_COMPARE(w.windowMenu(), QStringList{QStringLiteral("*&1 New_1.java")});
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Projects alone in the Reopen menu: numbered from 0, the separator last. An entry whose
    // file has gone reports it and stays listed.
    void reopenMenuListsProjectsFirst()
    {
        World w;
        for (int i = 0; i < 3; ++i)
            w.main->Documents().Recent().AddProject(w.env.path(QStringLiteral("p%1.jpr").arg(i)));
        QCOMPARE(w.reopenMenu(),
                 (QStringList{"&0 " + w.env.path("p2.jpr"), "&1 " + w.env.path("p1.jpr"),
                              "&2 " + w.env.path("p0.jpr"), "-"}));
        w.ask.answerMessage(MsgResult::OK);
        w.main->item("mnuFileReopen")->menu()->actions().first()->trigger();
        QCOMPARE(w.ask.messages(), QStringList{"Can't find '" + w.env.path("p2.jpr") + "'"});
        QCOMPARE(w.main->WindowValues().RecentProjects.size(), 3);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Ctrl+S reaches the menu from inside the text and saves there; the save dialog keeps
    // the name a Save As completed.
    void ctrlSSavesTheActiveDocument()
    {
        World w;
        TcwEditBase* e = w.main->Documents().NewDocument(TDocType::Java);
        w.type(QStringLiteral("class Test {}"));
        w.ask.answerSave(w.env.path(QStringLiteral("Test")));
        QVERIFY(e->SaveAs());
        const QString java = w.env.path(QStringLiteral("Test.java"));
        QCOMPARE(w.main->SaveDialog().fileName, java);
        QCOMPARE(w.tabs(), QStringList{QStringLiteral("Test.java")});
        w.type(QStringLiteral("x"));
        w.key(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!e->Text()->isModified());
        QCOMPARE(TestEnv::readFile(java), QByteArray("class Test {}x\n"));
        // Undo from the menu comes without a key; the Save button follows anyway.
        w.main->item("mnuEditUndo")->trigger();
        QVERIFY(e->button("cmdSave")->isEnabled());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A name typed without extension is completed, and a file of the completed name is
    // replaced only after asking: No shows the dialog again, Cancel saves nothing.
    void saveAsAsksBeforeReplacingTheCompletedName()
    {
        World w;
        const QString existing = w.env.writeFile(QStringLiteral("Test.java"), "old\n");
        TcwEditBase* e = w.main->Documents().NewDocument(TDocType::Java);
        w.type(QStringLiteral("x"));
        const QString question =
            existing + QStringLiteral(" already exists.\nDo you want to replace it?");
        w.ask.answerSave(w.env.path(QStringLiteral("Test")));
        w.ask.answerMessage(MsgResult::Cancel);
        QVERIFY(!e->SaveAs());
        w.ask.answerSave(w.env.path(QStringLiteral("Test")));
        w.ask.answerMessage(MsgResult::No);
        w.ask.answerSave(w.env.path(QStringLiteral("Other")));
        QVERIFY(e->SaveAs());
        QCOMPARE(w.ask.messages(), (QStringList{question, question}));
        QCOMPARE(TestEnv::readFile(existing), QByteArray("old\n"));
        QCOMPARE(TestEnv::readFile(w.env.path(QStringLiteral("Other.java"))), QByteArray("x\n"));
        w.ask.answerSave(w.env.path(QStringLiteral("Test")));
        w.ask.answerMessage(MsgResult::Yes);
        QVERIFY(e->SaveAs());
        QCOMPARE(TestEnv::readFile(existing), QByteArray("x\n"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Closing a modified new document asks Yes/No; Yes, then a cancelled save dialog,
    // keeps the window.
    void closingNewDocumentAsksToSave()
    {
        World w;
        w.main->Documents().NewDocument(TDocType::Java);
        w.type(QStringLiteral("x"));
        w.ask.answerMessage(MsgResult::Yes);
        w.ask.answerSave(QString());
        w.main->Documents().CloseDoc();
        QCOMPARE(w.children(), 1);
        QCOMPARE(w.ask.messages(), QStringList{QStringLiteral("Save 'New_1.java'?")});
        QCOMPARE(w.ask.asked().first().buttons, MsgButtons::YesNo);
        QCOMPARE(w.active()->Text()->text(), QStringLiteral("x"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Dismissing the question (Escape, the close box) keeps the new document, as Cancel
    // would; only No throws it away.
    void dismissedSaveQuestionKeepsTheNewDocument()
    {
        World w;
        w.main->Documents().NewDocument(TDocType::Java);
        w.type(QStringLiteral("x"));
        w.ask.answerMessage(MsgResult::Cancel);
        w.main->Documents().CloseDoc();
        QCOMPARE(w.ask.messages(), QStringList{QStringLiteral("Save 'New_1.java'?")});
        QCOMPARE(w.children(), 1);
        QCOMPARE(w.active()->Text()->text(), QStringLiteral("x"));
        w.ask.answerMessage(MsgResult::No);
        w.main->Documents().CloseDoc();
        QCOMPARE(w.children(), 0);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // At the program's end too, a dismissed question keeps the program and the text.
    void dismissedSaveQuestionAtExitKeepsTheProgram()
    {
        World w;
        w.main->Documents().NewDocument(TDocType::Java);
        w.type(QStringLiteral("x"));
        w.ask.answerMessage(MsgResult::Cancel);
        QVERIFY(!w.main->close());
        QVERIFY(w.main->isVisible());
        QCOMPARE(w.children(), 1);
        QCOMPARE(w.active()->Text()->text(), QStringLiteral("x"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Close All asks from the last window back: No closes without a file, Cancel stops
    // there, Yes saves; the tabs go with the last window.
    void closeAllAsksFromTheLastWindowBack()
    {
        World w;
        const QString file = w.env.writeFile(QStringLiteral("A.java"), "a\n");
        w.main->Documents().NewDocument(TDocType::Text);
        w.main->Documents().OpenFiles({file});
        w.key(Qt::Key_B);
        w.main->Documents().NewDocument(TDocType::Java);
        w.type(QStringLiteral("x"));
        w.ask.answerMessage(MsgResult::No);
        w.ask.answerMessage(MsgResult::Cancel);
        w.main->item("mnuFileCloseAll")->trigger();
        QCOMPARE(w.tabs(), (QStringList{"New_1.txt", "A.java"}));
        QCOMPARE(w.ask.messages(),
                 (QStringList{"Save 'New_2.java'?", "Save changes to " + file + "?"}));
        QCOMPARE(QDir(w.env.dir()).entryList(QDir::Files), QStringList{QStringLiteral("A.java")});
        w.ask.answerMessage(MsgResult::Yes);
        w.main->item("mnuFileCloseAll")->trigger();
        QCOMPARE(w.children(), 0);
        QCOMPARE(TestEnv::readFile(file), QByteArray("ba\n"));
        QVERIFY(!w.main->tcWindows()->isVisible());
        QVERIFY(!w.main->item("mnuFileClose")->isEnabled());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Yes on a read-only file warns and keeps the window and its text; a file that vanished
    // while its directory remains is written anew.
    void closingReadOnlyFileWarnsAndKeepsTheWindow()
    {
        World w;
        const QString file = w.env.writeFile(QStringLiteral("A.java"), "ba\n");
        w.main->Documents().OpenFiles({file});
        ::chmod(QFile::encodeName(file).constData(), 0444);
        w.key(Qt::Key_C);
        w.ask.answerMessage(MsgResult::Yes);
        w.ask.answerMessage(MsgResult::OK);
        w.main->Documents().CloseDoc();
        QCOMPARE(w.children(), 1);
        QCOMPARE(w.ask.messages().last(),
                 file + QStringLiteral(" is read only and will not be saved."));
        QCOMPARE(TestEnv::readFile(file), QByteArray("ba\n"));
        QFile::remove(file);
        QVERIFY(w.active()->Save());
        QCOMPARE(TestEnv::readFile(file), QByteArray("cba\n"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A project among dropped files loads alone; documents dropped alone open.
    void droppedProjectLoadsAlone()
    {
        World w;
        const QString doc = w.env.writeFile(QStringLiteral("f1.txt"), "1");
        const QString jpr =
            w.env.writeFile(QStringLiteral("p/Demo.jpr"),
                            "Tarvik's Brewpad 2.09\r\n2\r\nProject\r\n  Demo\r\n\r\nFiles\r\n" +
                                doc.toUtf8() + "\r\n");
        w.main->Documents().OpenFiles({doc, jpr, w.env.writeFile(QStringLiteral("f2.txt"), "2")});
        // The project's manager is the only child window.
        QCOMPARE(w.children(), 1);
        QVERIFY(!w.active());
        QCOMPARE(w.main->windowTitle(), "Tarvik's Brewpad 2.09: Demo (" + jpr + ")");
        QVERIFY(w.main->ProjectManagerShown());
        QVERIFY(w.main->WindowValues().RecentDocuments.isEmpty());
        w.main->Documents().OpenFiles({doc});
        QCOMPARE(w.children(), 2);
        QVERIFY(w.active());
    }

    // Files dropped on a document's text open as documents, as anywhere in the window; the
    // text takes none of them.
    void filesDroppedOnTheTextOpen()
    {
        World w;
        const QString a = w.env.writeFile(QStringLiteral("a.txt"), "a");
        const QString b = w.env.writeFile(QStringLiteral("b.txt"), "b");
        w.main->Documents().OpenFiles({a});
        TcwEditBase* target = w.active();
        // A drop from the window system arrives at the scroll area's viewport.
        QWidget* text = target->Text()->widget();
        if (auto* area = qobject_cast<QAbstractScrollArea*>(text))
            text = area->viewport();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(b)});
        const QPoint at = text->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(text, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(text, &drop);
        QCOMPARE(w.tabs(), (QStringList{"a.txt", "b.txt"}));
        QCOMPARE(target->Text()->text(), QStringLiteral("a"));
        QVERIFY(!target->Text()->isModified());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Dropped text still goes into the text, the window opening nothing.
    void textDroppedOnTheTextIsInserted()
    {
        World w;
        w.main->Documents().OpenFiles({w.env.writeFile(QStringLiteral("a.txt"), "a")});
        QWidget* text = w.edit();
        if (auto* area = qobject_cast<QAbstractScrollArea*>(text))
            text = area->viewport();
        QMimeData data;
        data.setText(QStringLiteral("dropped"));
        const QPoint at = text->rect().topLeft() + QPoint(2, 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(text, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(text, &drop);
        QVERIFY(w.active()->Text()->text().contains(QStringLiteral("dropped")));
        QCOMPARE(w.children(), 1);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // The open dialog's read-only choice gives a text that takes no typing.
    void openReadOnlyTakesNoTyping()
    {
        World w;
        const QString doc = w.env.writeFile(QStringLiteral("f1.txt"), "1");
        w.ask.answerOpen({doc}, -1, true);
        w.main->Documents().OpenDocClick();
        QVERIFY(w.ask.asked().last().fileOptions.readOnlyChoice);
        w.type(QStringLiteral("zz"));
        QCOMPARE(w.active()->Text()->text(), QStringLiteral("1"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Files already open are only activated, whether chosen, dropped or reopened; the recent
    // list keeps five, and a name given again moves up. Names compare as the file system
    // does: exactly here.
    void openFilesAreActivatedNotOpenedAgain()
    {
        World w;
        QStringList names;
        for (int i = 1; i <= 6; ++i)
            names << w.env.writeFile(QStringLiteral("f%1.txt").arg(i), QByteArray::number(i));
        w.main->Documents().OpenFiles({names[2], names[3]});
        w.ask.answerOpen(names.mid(0, 4));
        w.main->Documents().OpenDocClick();
        QCOMPARE(w.children(), 4);
        QCOMPARE(w.active()->GetPathName(), names[3]);
        w.type(QStringLiteral("zz"));
        QCOMPARE(w.active()->Text()->text(), QStringLiteral("zz4"));
        w.main->Documents().OpenFiles({names[2]});
        QCOMPARE(w.active()->GetPathName(), names[2]);
        w.ask.answerOpen({names[1]});
        w.main->Documents().OpenDocClick();
        QCOMPARE(w.children(), 4);
        QCOMPARE(w.tabs().at(w.main->tcWindows()->currentIndex()), QStringLiteral("f2.txt"));
        QCOMPARE(w.main->WindowValues().RecentDocuments,
                 (QStringList{names[1], names[0], names[3], names[2]}));

        w.ask.answerOpen({names[4], names[5]});
        w.main->Documents().OpenDocClick();
        // A name again moves up; in other letter case it names another file.
        w.main->AddRecentFile(names[3]);
        w.main->AddRecentFile(w.env.path(QStringLiteral("F4.TXT")));
        QCOMPARE(w.reopenMenu(),
                 (QStringList{"-", "&5 " + w.env.path("F4.TXT"), "&6 " + names[3],
                              "&7 " + names[5], "&8 " + names[4], "&9 " + names[1]}));
        w.main->item("mnuFileReopen")->menu()->actions().at(3)->trigger();
        QCOMPARE(w.children(), 6);
        QCOMPARE(w.active()->GetPathName(), names[5]);
        // A file whose name differs from an open one's only in letter case opens too.
        w.main->Documents().OpenFiles({w.env.writeFile(QStringLiteral("F1.TXT"), "other")});
        QCOMPARE(w.children(), 7);
        QCOMPARE(w.active()->Text()->text(), QStringLiteral("other"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
