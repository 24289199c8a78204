// Editor windows inside the main window: keys, saving, closing, document
// commands, recent files and tabs, for both window variants.
#include "editor/cedit.h"
#include "editor/cedit95.h"
#include "editor/textcontrol.h"
#include "mainwin/fmain.h"
#include "model/document.h"
#include "model/project.h"
#include "platform/osversion.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

#include <sys/stat.h>

using namespace bp;
using namespace bp::test;

namespace {

// One started main window of the chosen variant, in its own world.
struct World {
    explicit World(bool win95, const QStringList& args = {})
    {
        setOsMajorVersionForTesting(win95 ? 6 : 3);
        main = std::make_unique<TfrmMain>(args);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    ~World()
    {
        main.reset();
        setOsMajorVersionForTesting(-1);
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
    // Types into the active editor's text control through real key events.
    void type(const QString& text) { QTest::keyClicks(active()->Text()->widget(), text); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QTest::keyClick(active()->Text()->widget(), k, m);
    }

    TestEnv env;
    ScriptedPrompter ask;
    std::unique_ptr<TfrmMain> main;
};

void addVariants()
{
    QTest::addColumn<bool>("win95");
    QTest::newRow("rich") << true;
    QTest::newRow("plain") << false;
}

} // namespace

class TestEditorWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void variantFollowsOsVersion_data() { addVariants(); }
    void variantFollowsOsVersion()
    {
        QFETCH(bool, win95);
        World w(win95);
        TcwEditBase* e = w.main->NewDocument(0);
        QCOMPARE(qobject_cast<TcwEdit95*>(e) != nullptr, win95);
        QCOMPARE(qobject_cast<TcwEdit*>(e) != nullptr, !win95);
        QCOMPARE(w.main->ActiveEditor(), e);
    }

    void newDocumentsAreNumberedAcrossTypes_data() { addVariants(); }
    void newDocumentsAreNumberedAcrossTypes()
    {
        QFETCH(bool, win95);
        World w(win95);
        w.main->item("mnuFileNewJava")->trigger();
        w.main->item("mnuFileNewJava")->trigger();
        w.main->item("mnuFileNewHtml")->trigger();
        // The New button's popup offers the same four commands.
        auto* popup = w.main->findChild<QMenu*>(QStringLiteral("mnpFileNew"));
        QCOMPARE(popup->actions().at(3)->text(), QStringLiteral("Other Document"));
        popup->actions().at(3)->trigger();
        QCOMPARE(w.tabs(), (QStringList{"New_1.java", "New_2.java", "New_3.html", "New_4."}));
        QVERIFY(w.main->tcWindows()->isVisible());
        QCOMPARE(w.active()->windowTitle(), QStringLiteral("New_4."));
        // The new window takes the keyboard at once.
        QCOMPARE(QApplication::focusWidget(), w.active()->Text()->widget());
        QVERIFY(w.main->item("mnuFileSave")->isEnabled());
        QVERIFY(!w.main->item("mnuSearchFind")->isEnabled()); // no text yet
        w.type(QStringLiteral("x"));
        QVERIFY(w.main->item("mnuSearchFind")->isEnabled());
    }

    void tabKey_data()
    {
        QTest::addColumn<bool>("win95");
        QTest::addColumn<int>("tabSet");
        QTest::addColumn<QString>("expected");
        for (bool win95 : {true, false}) {
            const char* v = win95 ? "rich" : "plain";
            QTest::addRow("%s 4", v) << win95 << 4 << "ab    hij";
            QTest::addRow("%s -1", v) << win95 << -1 << "ab\thij";
            QTest::addRow("%s 0", v) << win95 << 0 << "abhij";
        }
    }
    void tabKey()
    {
        QFETCH(bool, win95);
        QFETCH(int, tabSet);
        QFETCH(QString, expected);
        World w(win95);
        w.main->Settings().TabSet = qint8(tabSet);
        w.main->NewDocument(2);
        w.type(QStringLiteral("abcdefghij"));
        w.active()->Text()->setSelection(2, 5);
        w.key(Qt::Key_Tab);
        QCOMPARE(w.active()->Text()->text(), expected);
        QCOMPARE(w.active()->Text()->selLength(), 0);
        QCOMPARE(w.active()->Text()->caret(), expected.size() - 3);
    }

    void autoIndent_data()
    {
        QTest::addColumn<bool>("win95");
        QTest::addColumn<bool>("autoIndent");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("after");
        for (bool win95 : {true, false}) {
            const char* v = win95 ? "rich" : "plain";
            QTest::addRow("%s spaces", v) << win95 << true << "    x = 1;" << 10
                                          << "    x = 1;\r\n    ";
            QTest::addRow("%s tab and spaces", v) << win95 << true << "\t  y" << 4
                                                  << "\t  y\r\n\t  ";
            QTest::addRow("%s empty line", v) << win95 << true << "a\r\n" << 3 << "a\r\n\r\n";
            QTest::addRow("%s start of text", v) << win95 << true << "  a" << 0 << "\r\n  a";
            QTest::addRow("%s inside blanks", v) << win95 << true << "    a" << 2
                                                 << "  \r\n    a";
            QTest::addRow("%s off", v) << win95 << false << "    x" << 5 << "    x\r\n";
        }
    }
    void autoIndent()
    {
        QFETCH(bool, win95);
        QFETCH(bool, autoIndent);
        QFETCH(QString, before);
        QFETCH(int, caret);
        QFETCH(QString, after);
        World w(win95);
        w.main->Settings().AutoIndent = autoIndent;
        w.main->NewDocument(0);
        w.active()->Text()->setText(before);
        w.active()->Text()->setSelection(caret, 0);
        w.key(Qt::Key_Return);
        QCOMPARE(w.active()->Text()->text(), after);
        // The caret ends after the repeated blanks.
        const int expectedCaret = caret + 2 + int(after.size() - before.size() - 2);
        QCOMPARE(w.active()->Text()->caret(), expectedCaret);
    }

    void saveAsNewJavaDocumentJoinsProject_data() { addVariants(); }
    void saveAsNewJavaDocumentJoinsProject()
    {
        QFETCH(bool, win95);
        World w(win95);
        TcwEditBase* e = w.main->NewDocument(0);
        w.type(QStringLiteral("class Test {}"));
        w.ask.answerSave(w.env.path(QStringLiteral("Test")));
        QVERIFY(e->SaveAs());
        QCOMPARE(TestEnv::readFile(w.env.path(QStringLiteral("Test.java"))),
                 QByteArray("class Test {}\n"));
        QCOMPARE(w.main->CurrentProject()->Count(), 1);
        QCOMPARE(w.main->CurrentProject()->FindDocument(QStringLiteral("Test.java")), e->Document());
        QCOMPARE(e->windowTitle(), QStringLiteral("Test.java"));
        QCOMPARE(w.tabs(), QStringList{QStringLiteral("Test.java")});
        QCOMPARE(w.main->SaveDialog().fileName, w.env.path(QStringLiteral("Test.java")));
        QVERIFY(e->IsSaved());
        QCOMPARE(w.main->WindowValues().RecentDocuments,
                 QStringList{w.env.path(QStringLiteral("Test.java"))});
        // A second Save As of a saved document does not add it again.
        w.ask.answerSave(w.env.path(QStringLiteral("Other.java")));
        QVERIFY(e->SaveAs());
        QCOMPARE(w.main->CurrentProject()->Count(), 1);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    void saveAsOtherDocumentEndsWithDot()
    {
        World w(true);
        TcwEditBase* e = w.main->NewDocument(3);
        w.type(QStringLiteral("n"));
        w.ask.answerSave(w.env.path(QStringLiteral("notes")));
        QVERIFY(e->SaveAs());
        QVERIFY(QFileInfo::exists(w.env.path(QStringLiteral("notes."))));
        QVERIFY(w.ask.asked().last().fileOptions.filter.startsWith(QStringLiteral("All files")));
    }

    void closeQuestionsForNewDocument_data() { addVariants(); }
    void closeQuestionsForNewDocument()
    {
        QFETCH(bool, win95);
        World w(win95);
        w.main->NewDocument(0);
        w.type(QStringLiteral("x"));
        // Yes, then a cancelled save dialog: the window stays.
        w.ask.answerMessage(MsgResult::Yes);
        w.ask.answerSave(QString());
        w.main->CloseDoc();
        QCOMPARE(w.children(), 1);
        QCOMPARE(w.ask.messages(), QStringList{QStringLiteral("Save 'New_1.java'?")});
        QCOMPARE(w.ask.asked().first().buttons, MsgButtons::YesNo);
        // No: it closes without a file, and its tab goes.
        w.ask.answerMessage(MsgResult::No);
        w.main->CloseDoc();
        QTRY_COMPARE(w.children(), 0);
        QCOMPARE(w.tabs(), QStringList());
        QVERIFY(!w.main->tcWindows()->isVisible());
        QCOMPARE(QDir(w.env.dir()).entryList(QDir::Files), QStringList());
        QVERIFY(!w.main->item("mnuFileClose")->isEnabled());
    }

    void closeQuestionsForSavedDocument_data() { addVariants(); }
    void closeQuestionsForSavedDocument()
    {
        QFETCH(bool, win95);
        World w(win95);
        const QString file = w.env.writeFile(QStringLiteral("A.java"), "a\n");
        w.main->OpenFiles({file});
        w.key(Qt::Key_B);
        const QString question = QStringLiteral("Save changes to ") + file + "?";
        w.ask.answerMessage(MsgResult::Cancel);
        w.main->CloseDoc();
        QCOMPARE(w.children(), 1);
        w.ask.answerMessage(MsgResult::Yes);
        w.main->CloseDoc();
        QTRY_COMPARE(w.children(), 0);
        QCOMPARE(TestEnv::readFile(file), QByteArray("ba\n"));
        QCOMPARE(w.ask.messages(), (QStringList{question, question}));

        // Yes on a read-only file warns and keeps the window (Save As remains).
        w.main->OpenFiles({file});
        ::chmod(QFile::encodeName(file).constData(), 0444);
        w.key(Qt::Key_C);
        w.ask.answerMessage(MsgResult::Yes);
        w.ask.answerMessage(MsgResult::OK);
        w.main->CloseDoc();
        QCOMPARE(w.children(), 1);
        QCOMPARE(w.ask.messages().last(), file + QStringLiteral(" is read only and will not be saved."));
        QCOMPARE(TestEnv::readFile(file), QByteArray("ba\n"));
        w.ask.answerMessage(MsgResult::OK);
        QVERIFY(!w.active()->Save());
        // A file that vanished while its directory remains is written anew.
        QFile::remove(file);
        QVERIFY(w.active()->Save());
        QCOMPARE(TestEnv::readFile(file), QByteArray("cba\n"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }


    void changingTheTypeMarksModified_data() { addVariants(); }
    void changingTheTypeMarksModified()
    {
        QFETCH(bool, win95);
        World w(win95);
        const QString file = w.env.writeFile(QStringLiteral("Page.java"), "<p>\n");
        w.main->OpenFiles({file});
        TcwEditBase* e = w.active();
        QVERIFY(!e->button(QStringLiteral("cmdSave"))->isEnabled());
        e->cmbDocType()->setCurrentIndex(1);
        Q_EMIT e->cmbDocType()->activated(1);
        QCOMPARE(e->GetDocType(), 1);
        QVERIFY(e->Text()->isModified());
        QCOMPARE(e->windowTitle(), QStringLiteral("Page.java"));
        w.main->UpdateMenuItems();
        QVERIFY(e->button(QStringLiteral("cmdSave"))->isEnabled());
        QVERIFY(e->button(QStringLiteral("cmdJava"))->isHidden());
        QVERIFY(!e->button(QStringLiteral("cmdBrowser"))->isHidden());
        QVERIFY(QFileInfo::exists(file));
        w.ask.answerMessage(MsgResult::No);
    }

    void readOnlyChoiceOfTheOpenDialog_data() { addVariants(); }
    void readOnlyChoiceOfTheOpenDialog()
    {
        QFETCH(bool, win95);
        World w(win95);
        const QString a = w.env.writeFile(QStringLiteral("a.txt"), "a");
        const QString b = w.env.writeFile(QStringLiteral("b.txt"), "b");
        w.ask.answerOpen({a}, -1, true);
        w.main->OpenDocClick();
        QVERIFY(w.ask.asked().last().fileOptions.readOnlyChoice);
        w.type(QStringLiteral("zz"));
        QCOMPARE(w.active()->Text()->text(), QStringLiteral("a"));
        w.ask.answerOpen({b}, -1, false);
        w.main->OpenDocClick();
        w.type(QStringLiteral("zz"));
        QCOMPARE(w.active()->Text()->text(), QStringLiteral("zzb"));
        w.ask.answerMessage(MsgResult::No);
    }

    void openingAnOpenFileActivatesIt()
    {
        World w(true);
        QStringList names;
        for (const char* n : {"1.txt", "2.txt", "3.txt", "4.txt"})
            names << w.env.writeFile(QString::fromLatin1(n), n);
        w.main->OpenFiles({names[1]});
        w.ask.answerOpen(names);
        w.main->OpenDocClick();
        QCOMPARE(w.children(), 4);
        QCOMPARE(w.active()->GetPathName(), names[3]);
        w.ask.answerOpen({names[1]});
        w.main->OpenDocClick();
        QCOMPARE(w.children(), 4);
        QCOMPARE(w.active()->GetPathName(), names[1]);
        QCOMPARE(w.main->tcWindows()->tabText(w.main->tcWindows()->currentIndex()),
                 QStringLiteral("2.txt"));
        // The open dialog starts with every document filter and the last index.
        QCOMPARE(w.ask.asked().last().fileOptions.filter,
                 QStringLiteral("Java files (*.java)|*.java|Html files (*.htm, *.html)|*.htm;"
                                "*.html|Text files (*.txt)|*.txt|All files (*.*)|*.*"));
    }

    void droppedProjectWinsOverDocuments()
    {
        World w(true);
        const QString a = w.env.writeFile(QStringLiteral("A.java"), "class A {}");
        const QString b = w.env.writeFile(QStringLiteral("B.java"), "class B {}");
        const QString jpr = w.env.writeFile(
            QStringLiteral("p/Demo.jpr"),
            "Tarvik's Brewpad 2.09\r\n2\r\nProject\r\n  Demo\r\n\r\nFiles\r\n" + a.toUtf8() + "\r\n");
        w.main->OpenFiles({a, jpr, b});
        QCOMPARE(w.children(), 0);
        QCOMPARE(w.main->CurrentProject()->Name(), QStringLiteral("Demo"));
        QCOMPARE(w.main->windowTitle(), "Tarvik's Brewpad 2.09: Demo (" + jpr + ")");
        QVERIFY(w.main->ProjectManagerShown());
        QVERIFY(w.main->WindowValues().RecentDocuments.isEmpty());

        // Documents dropped alone open; one already open is only activated.
        w.main->OpenFiles({a, b});
        QCOMPARE(w.children(), 2);
        QCOMPARE(w.main->WindowValues().RecentDocuments, (QStringList{b, a}));
        w.main->AddRecentFile(w.env.path(QStringLiteral("other.txt")));
        w.main->OpenFiles({a});
        QCOMPARE(w.children(), 2);
        QCOMPARE(w.active()->GetPathName(), a);
        QCOMPARE(w.main->WindowValues().RecentDocuments.first(), w.env.path(QStringLiteral("other.txt")));
    }

    void recentDocumentsAndReopenMenu()
    {
        World w(true);
        QStringList names;
        for (int i = 1; i <= 6; ++i)
            names << w.env.writeFile(QStringLiteral("f%1.txt").arg(i), "x");
        for (const QString& n : names) {
            w.ask.answerOpen({n});
            w.main->OpenDocClick();
        }
        const QStringList expected{names[5], names[4], names[3], names[2], names[1]};
        QCOMPARE(w.main->WindowValues().RecentDocuments, expected);
        // Reopening the third moves it up, whatever the case of its letters.
        w.main->AddRecentFile(names[3].toUpper().replace(QStringLiteral("/TMP"), QStringLiteral("/tmp")));
        QCOMPARE(w.main->WindowValues().RecentDocuments.size(), 5);

        QMenu* reopen = w.main->item("mnuFileReopen")->menu();
        QStringList captions;
        for (QAction* a : reopen->actions())
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text().left(3));
        QCOMPARE(captions, (QStringList{"-", "&5 ", "&6 ", "&7 ", "&8 ", "&9 "}));

        // Choosing an entry whose window is open activates that window.
        const int before = w.children();
        reopen->actions().at(3)->trigger();
        QCOMPARE(w.children(), before);
    }

    void reopenMenuWithProjectsOnly()
    {
        World w(true);
        for (int i = 0; i < 3; ++i)
            w.main->AddRecentProject(w.env.path(QStringLiteral("p%1.jpr").arg(i)));
        QStringList captions;
        for (QAction* a : w.main->item("mnuFileReopen")->menu()->actions())
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(captions, (QStringList{"&0 " + w.env.path("p2.jpr"), "&1 " + w.env.path("p1.jpr"),
                                        "&2 " + w.env.path("p0.jpr"), "-"}));
        QVERIFY(w.main->item("mnuFileReopen")->isEnabled());
        // A recent entry whose file has gone reports it and stays listed.
        w.ask.answerMessage(MsgResult::OK);
        w.main->item("mnuFileReopen")->menu()->actions().first()->trigger();
        QCOMPARE(w.ask.messages(), QStringList{"Can't find '" + w.env.path("p2.jpr") + "'"});
        QCOMPARE(w.main->WindowValues().RecentProjects.size(), 3);
    }

    void closeAllAsksEachModifiedEditor()
    {
        World w(true);
        w.main->NewDocument(2);
        const QString file = w.env.writeFile(QStringLiteral("A.txt"), "a");
        w.main->OpenFiles({file});
        w.type(QStringLiteral("changed "));
        w.main->NewDocument(2);
        w.type(QStringLiteral("new"));
        // Last window first: each modified one asks; Cancel stops there.
        w.ask.answerMessage(MsgResult::No);
        w.ask.answerMessage(MsgResult::Cancel);
        w.main->item("mnuFileCloseAll")->trigger();
        QCOMPARE(w.children(), 2);
        QCOMPARE(w.ask.messages(), (QStringList{QStringLiteral("Save 'New_2.txt'?"),
                                                "Save changes to " + file + "?"}));
        w.ask.answerMessage(MsgResult::No);
        w.main->item("mnuFileCloseAll")->trigger();
        QCOMPARE(w.children(), 0);
        QCOMPARE(TestEnv::readFile(file), QByteArray("a"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    void tabsFollowWindowsAndSetting()
    {
        World w(true);
        w.main->NewDocument(0);
        w.main->NewDocument(1);
        w.main->NewDocument(2);
        QCOMPARE(w.main->tcWindows()->currentIndex(), 2);
        w.main->tcWindows()->setCurrentIndex(0);
        QCOMPARE(w.active()->windowTitle(), QStringLiteral("New_1.java"));
        QCOMPARE(w.tabs(), (QStringList{"New_1.java", "New_2.html", "New_3.txt"}));
        QCOMPARE(QApplication::focusWidget(), w.active()->Text()->widget());

        w.main->Settings().ShowDocTabs = false;
        w.main->SaveSettings();
        QVERIFY(!w.main->tcWindows()->isVisible());
        w.main->NewDocument(3);
        QVERIFY(!w.main->tcWindows()->isVisible());
    }

    void menuShortcutsWorkFromTheText_data() { addVariants(); }
    void menuShortcutsWorkFromTheText()
    {
        QFETCH(bool, win95);
        World w(win95);
        const QString file = w.env.writeFile(QStringLiteral("K.txt"), "k");
        w.main->OpenFiles({file});
        QApplication::setActiveWindow(w.main.get());
        QVERIFY(QTest::qWaitForWindowActive(w.main.get()));
        w.type(QStringLiteral("ey "));
        w.key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(TestEnv::readFile(file), QByteArray("ey k"));
        QVERIFY(!w.active()->Text()->isModified());
    }

    void byteExactRoundTrip_data()
    {
        QTest::addColumn<bool>("win95");
        QTest::addColumn<QByteArray>("bytes");
        const QList<QPair<const char*, QByteArray>> files{
            {"lf", "a\nb\n"},
            {"crlf", "a\r\nb\r\n"},
            {"cr", "a\rb\r"},
            {"no final line end", "one\ntwo"},
            {"utf8", "gr\xc3\xbc\xc3\x9f \xe2\x82\xac\n"},
            {"latin1", "gr\xfc\xdf \xe9\n"},
            {"nul", QByteArray("a\0b\n", 4)},
            {"invalid utf8", "\xff\xfe x\r\n"},
        };
        for (bool win95 : {true, false})
            for (const auto& [name, bytes] : files)
                QTest::addRow("%s %s", win95 ? "rich" : "plain", name) << win95 << bytes;
    }
    void byteExactRoundTrip()
    {
        QFETCH(bool, win95);
        QFETCH(QByteArray, bytes);
        World w(win95);
        const QString file = w.env.writeFile(QStringLiteral("r.txt"), bytes);
        w.main->OpenFiles({file});
        QVERIFY(w.active()->Save());
        QCOMPARE(TestEnv::readFile(file), bytes);
    }
};

QTEST_MAIN(TestEditorWindow)
#include "tst_editorwindow.moc"
