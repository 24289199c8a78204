// Editor windows on their own, against a stand-in main window; every case runs for both
// variants (global data).
#include "editor/cedit.h"
#include "editor/cedit95.h"
#include "editor/compileresults.h"
#include "editor/textcontrol.h"
#include "fakemainwindow.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"
#include "support/variants.h"

#include <QComboBox>
#include <QListView>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

using namespace bp;
using namespace bp::test;

namespace {

struct World {
    World() { editor = makeEditor(main); }
    // Shows the window, so that keys typed reach its text.
    void show()
    {
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
        editor->Text()->setFocus();
    }
    QWidget* edit() const { return editor->Text()->widget(); }
    QToolButton* button(const char* name) const { return editor->button(QString::fromLatin1(name)); }

    TestEnv env;
    ScriptedPrompter ask;
    FakeMainWindow main;
    std::unique_ptr<TcwEditBase> editor;
};

} // namespace

class TestEditorWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data() { addEditorVariants(); }

    // Texts mark the caret with '|' and a selection with '[' and ']'. Rows with a selection
    // press Tab, the others Return.
    void editingKeys_data()
    {
        QTest::addColumn<int>("tabSet");
        QTest::addColumn<bool>("autoIndent");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        // clang-format off
        QTest::newRow("tab 4") << 4 << true << "ab[cdefg]hij" << "ab    |hij";
        QTest::newRow("tab -1") << -1 << true << "ab[cdefg]hij" << "ab\t|hij";
        QTest::newRow("tab 0") << 0 << true << "ab[cdefg]hij" << "ab|hij";
        QTest::newRow("spaces") << 4 << true << "    x = 1;|" << "    x = 1;\r\n    |";
        QTest::newRow("tab and spaces") << 4 << true << "\t  y|" << "\t  y\r\n\t  |";
        QTest::newRow("empty line") << 4 << true << "a\r\n|" << "a\r\n\r\n|";
        QTest::newRow("start of text") << 4 << true << "|  a" << "\r\n|  a";
        QTest::newRow("inside blanks") << 4 << true << "  |  a" << "  \r\n  |  a";
        QTest::newRow("indent off") << 4 << false << "    x|" << "    x\r\n|";
        // clang-format on
    }
    void editingKeys()
    {
        QFETCH(int, tabSet);
        QFETCH(bool, autoIndent);
        QFETCH(QString, before);
        QFETCH(QString, after);
        World w;
        w.main.Settings.TabSet = qint8(tabSet);
        w.main.Settings.AutoIndent = autoIndent;
        w.editor->CreateNew(1, TDocType::Java);
        w.show();
        TextControl* t = w.editor->Text();
        const int start = int(std::max(before.indexOf('|'), before.indexOf('[')));
        const int end = int(before.indexOf(']'));
        t->setText(before.remove('|').remove('[').remove(']'));
        t->setSelection(start, end < 0 ? 0 : end - start - 1);
        QTest::keyClick(w.edit(), end < 0 ? Qt::Key_Return : Qt::Key_Tab);
        QCOMPARE(t->selLength(), 0);
        QCOMPARE(t->text().insert(t->caret(), '|'), after);
    }

    // Auto indent acts on the release of an Enter whose press put a line break into this
    // text: the release of an Enter pressed elsewhere (the Go to Line dialog's, which left
    // a line selected) changes nothing.
    void enterReleaseWithoutItsPressChangesNothing()
    {
        World w;
        w.editor->CreateNew(1, TDocType::Java);
        w.show();
        TextControl* t = w.editor->Text();
        t->setText(QStringLiteral("    x = 1;\r\ny"));
        t->setSelection(0, 12);
        QTest::keyRelease(w.edit(), Qt::Key_Return);
        QCOMPARE(t->text(), QStringLiteral("    x = 1;\r\ny"));
        QCOMPARE(t->selStart(), 0);
        QCOMPARE(t->selLength(), 12);
        QVERIFY(!t->isModified());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Ctrl+Enter and Alt+Enter put no line break in, and so no indentation either.
    void enterWithModifierInsertsNoIndentation_data()
    {
        QTest::addColumn<Qt::KeyboardModifier>("modifier");
        QTest::newRow("ctrl") << Qt::ControlModifier;
        QTest::newRow("alt") << Qt::AltModifier;
    }
    void enterWithModifierInsertsNoIndentation()
    {
        QFETCH(Qt::KeyboardModifier, modifier);
        World w;
        w.editor->CreateNew(1, TDocType::Java);
        w.show();
        TextControl* t = w.editor->Text();
        t->setText(QStringLiteral("    x"));
        t->setSelection(5, 0);
        QTest::keyClick(w.edit(), Qt::Key_Return, modifier);
        QCOMPARE(t->text(), QStringLiteral("    x"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // An Enter that replaces a selection with its line break still indents the new line.
    void enterReplacingSelectionIndents()
    {
        World w;
        w.editor->CreateNew(1, TDocType::Java);
        w.show();
        TextControl* t = w.editor->Text();
        t->setText(QStringLiteral("  a = bc;"));
        t->setSelection(3, 4);
        QTest::keyClick(w.edit(), Qt::Key_Return);
        QCOMPARE(t->text(), QStringLiteral("  a\r\n  c;"));
        QCOMPARE(t->caret(), 7);
        QCOMPARE(t->selLength(), 0);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Going up to a line shows the whole line, not only the caret after it.
    void goToLineUpwardShowsTheLine()
    {
        World w;
        w.editor->CreateNew(1, TDocType::Text);
        w.editor->resize(500, 300);
        w.show();
        TextControl* t = w.editor->Text();
        QStringList lines;
        for (int i = 1; i <= 300; ++i)
            lines << QStringLiteral("line %1").arg(i);
        t->setText(lines.join(QStringLiteral("\r\n")));
        t->setSelection(t->textLength(), 0);
        t->scrollCaretIntoView();
        QTRY_VERIFY(t->firstVisibleLine() > 250);
        w.editor->GoToLine(3);
        QCOMPARE(t->selStart(), t->lineStart(2));
        QTRY_VERIFY(t->firstVisibleLine() <= 2);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    void byteExactRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("lf") << QByteArray("a\nb\n");
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n");
        QTest::newRow("cr") << QByteArray("a\rb\r");
        QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd\n\r\ne");
        QTest::newRow("no final line end") << QByteArray("one\ntwo");
        QTest::newRow("utf8") << QByteArray("gr\xc3\xbc\xc3\x9f \xe2\x82\xac\n");
        QTest::newRow("utf8 with bom") << QByteArray("\xef\xbb\xbfgr\xc3\xbc\xc3\x9f\r\nx\r\n");
        QTest::newRow("utf16le") << QByteArray("\xff\xfe" "a\0\r\0\n\0\xfc\0\n\0", 12);
        QTest::newRow("utf16be") << QByteArray("\xfe\xff\0a\0\r\0\n\xd8\x3d\xde\x00", 12);
        QTest::newRow("latin1") << QByteArray("gr\xfc\xdf \xe9\n");
    }
    void byteExactRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        World w;
        const QString file = w.env.writeFile(QStringLiteral("r.txt"), bytes);
        w.editor->CreateFromFile(file);
        QVERIFY(!w.editor->Text()->isReadOnly());
        QVERIFY(w.editor->Save());
        QCOMPARE(TestEnv::readFile(file), bytes);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Lines the user did not touch keep their own line ends; a new line takes the most
    // common one; the mark before UTF-8 text stays out of the text and in the file.
    void editedFileKeepsUntouchedLineEnds()
    {
        World w;
        const QString file =
            w.env.writeFile(QStringLiteral("m.txt"), "\xef\xbb\xbfone\r\ntwo\nthree\rfour\n");
        w.editor->CreateFromFile(file);
        TextControl* text = w.editor->Text();
        QCOMPARE(text->lineCount(), 4);
        QCOMPARE(text->line(0), QStringLiteral("one"));
        text->setSelection(text->lineStart(1) + 3, 0);
        text->replaceSelection(QStringLiteral("!\r\nnew"));
        QVERIFY(w.editor->Save());
        QCOMPARE(TestEnv::readFile(file),
                 QByteArray("\xef\xbb\xbfone\r\ntwo!\nnew\nthree\rfour\n"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A file holding NUL characters opens read-only unless the user asks to edit it.
    void nonTextFileOpensReadOnlyUnlessChosen()
    {
        const QByteArray bytes("\x7f" "ELF\0\0\r\n\x01\n", 10);
        for (const MsgResult answer : {MsgResult::Cancel, MsgResult::Yes}) {
            World w;
            const QString file = w.env.writeFile(QStringLiteral("prog"), bytes);
            w.ask.answerMessage(answer);
            w.editor->CreateFromFile(file);
            QCOMPARE(w.ask.messages(),
                     QStringList("'" + file +
                                 "' does not look like a text file: it holds NUL characters.\n\n"
                                 "Open it for editing anyway?"));
            QCOMPARE(w.editor->Text()->isReadOnly(), answer != MsgResult::Yes);
            QCOMPARE(w.main.Status.contains("opened read-only"), answer != MsgResult::Yes);
            QVERIFY(w.editor->Save());
            QCOMPARE(TestEnv::readFile(file), bytes);
            QVERIFY(w.ask.unexpected().isEmpty());
        }
    }

    // Typing tells the main window only when the state its menus follow changes, not at
    // every key: with many windows open, a key must not cost more.
    void stateChangedOnlyWhenTheStateDiffers()
    {
        World w;
        w.editor->CreateNew(1, TDocType::Text);
        w.show();
        QSignalSpy changed(w.editor.get(), &TcwEditBase::stateChanged);
        QTest::keyClick(w.edit(), Qt::Key_A);
        QCoreApplication::processEvents();
        QCOMPARE(changed.size(), 1);
        QVERIFY(w.editor->State().HasText && w.editor->State().Modified);
        QTest::keyClicks(w.edit(), QStringLiteral("bcdef"));
        QCoreApplication::processEvents();
        QCOMPARE(changed.size(), 1);
        // A selection made by the keyboard changes the state.
        QTest::keyClick(w.edit(), Qt::Key_Left, Qt::ShiftModifier);
        QCoreApplication::processEvents();
        QCOMPARE(changed.size(), 2);
        QVERIFY(w.editor->State().Selection);
    }

    // A change made by a command rather than a key (the main window's Undo) still reaches
    // the buttons; the Save button follows the modified flag.
    void saveButtonFollowsTheModifiedFlag()
    {
        World w;
        const QString file = w.env.writeFile(QStringLiteral("A.java"), "a\n");
        w.editor->CreateFromFile(file);
        w.show();
        QVERIFY(!w.button("cmdSave")->isEnabled());
        QTest::keyClick(w.edit(), Qt::Key_B);
        QVERIFY(w.button("cmdSave")->isEnabled());
        QVERIFY(w.editor->Save());
        QVERIFY(!w.button("cmdSave")->isEnabled());
        QTest::keyClick(w.edit(), Qt::Key_C);
        w.editor->Undo();
        QCOMPARE(w.editor->Text()->text(), QStringLiteral("ba\r\n"));
        QVERIFY(!w.button("cmdSave")->isEnabled());
        w.editor->Undo();
        QVERIFY(w.button("cmdSave")->isEnabled());
    }

    void saveAsCompletesTheNameAndJoinsTheProject()
    {
        World w;
        w.editor->CreateNew(1, TDocType::Java);
        w.show();
        QTest::keyClicks(w.edit(), QStringLiteral("class Test {}"));
        w.ask.answerSave(w.env.path(QStringLiteral("Test")));
        QVERIFY(w.editor->SaveAs());
        const QString java = w.env.path(QStringLiteral("Test.java"));
        QCOMPARE(TestEnv::readFile(java), QByteArray("class Test {}\n"));
        QCOMPARE(w.main.Project->FindDocument(QStringLiteral("Test.java")), w.editor->Document());
        QCOMPARE(w.main.Recent, QStringList{java});
        QCOMPARE(w.main.Tabs.last(), QStringLiteral("New_1.java -> Test.java"));
        QCOMPARE(w.editor->windowTitle(), QStringLiteral("Test.java"));
        // A second Save As does not add it again.
        w.ask.answerSave(w.env.path(QStringLiteral("Other.java")));
        QVERIFY(w.editor->SaveAs());
        QCOMPARE(w.main.Project->Count(), 1);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A new type marks the text modified and switches the compile and browser buttons, but
    // keeps the file's name.
    void documentTypeChoiceKeepsTheName()
    {
        World w;
        const QString file = w.env.writeFile(QStringLiteral("Test.java"), "class Test {}\n");
        w.editor->CreateFromFile(file);
        QVERIFY(!w.button("cmdJava")->isHidden() && w.button("cmdBrowser")->isHidden());
        w.editor->cmbDocType()->setCurrentIndex(1);
        Q_EMIT w.editor->cmbDocType()->activated(1);
        QVERIFY(w.editor->Text()->isModified());
        QVERIFY(w.button("cmdSave")->isEnabled());
        QVERIFY(w.button("cmdJava")->isHidden() && !w.button("cmdBrowser")->isHidden());
        QCOMPARE(w.editor->windowTitle(), QStringLiteral("Test.java"));
        QCOMPARE(w.editor->GetDocType(), TDocType::Html);
    }

    // The compile button wants a saved Java file and the compiler there.
    void compileButtonWantsSavedFileAndCompiler()
    {
        World w;
        w.editor->CreateNew(1, TDocType::Java);
        w.editor->Text()->setText(QStringLiteral("class A {}"));
        w.editor->UpdateButtons();
        QVERIFY(!w.button("cmdJava")->isEnabled());
        w.ask.answerSave(w.env.path(QStringLiteral("A.java")));
        QVERIFY(w.editor->SaveAs());
        QVERIFY(w.button("cmdJava")->isEnabled());
        w.main.Tools.Compiler = false;
        w.editor->UpdateButtons();
        QVERIFY(!w.button("cmdJava")->isEnabled());
    }

    // What a stand-in compiler printed: the document's error lines are marked in the rich
    // variant (the plain one has no margin), Enter on another file's line asks the main window
    // to open it at that line, and a file that is not there is named in the status line.
    void compileOutputLeadsToOtherFiles()
    {
        World w;
        const QString source = w.env.writeFile("A.java", "class A {\n  int a;\n  int b;\n}\n");
        w.env.writeFile("Other.java", "class Other {}\n");
        const QString javac = w.env.writeFile(
            "jdk/javac", "#!/bin/sh\nprintf '%s\\n' './Other.java:2: error: x' "
                         "'./Gone.java:1: error: y' \"$1:3: error: z\" '3 errors'\nexit 1\n");
        const QString java = w.env.writeFile("jdk/java", "#!/bin/sh\nexit 0\n");
        for (const QString& tool : {javac, java})
            QVERIFY(QFile::setPermissions(tool, QFile::ReadOwner | QFile::ExeOwner));
        w.main.Settings.JavaCompiler = javac;
        w.main.Settings.JavaInterpreter = java;
        w.editor->CreateFromFile(source);
        w.editor->Compile();
        QTRY_VERIFY_WITH_TIMEOUT(!w.editor->IsCompiling(), 60000);
        QListView* list = w.editor->lstErrors();
        QCOMPARE(list->model()->rowCount(), 4);
        QCOMPARE(list->currentIndex().row(), 2);
        QCOMPARE(w.editor->Text()->errorMarkers(), richVariant() ? QList<int>{2} : QList<int>());

        list->setCurrentIndex(list->model()->index(0, 0));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(w.main.Opened, QStringList{w.env.path("Other.java") + ":2"});
        list->setCurrentIndex(list->model()->index(1, 0));
        QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(w.editor->statusBar()->currentMessage(),
                 "Can't find '" + w.env.path("Gone.java") + "'");
        QCOMPARE(w.main.Opened.size(), 1);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // The results list judges a compile by the exit status it is given: a clean exit succeeded
    // whatever the text says, a failed one failed also without output (the list hides then);
    // without a status the text decides. It announces the document's error lines of a failed
    // compile, none otherwise.
    void resultsListJudgesByTheExitStatus()
    {
        QWidget window;
        TCompileResultsPanel panel([] { return QStringLiteral("/src/A.java"); }, &window);
        QSignalSpy marked(&panel, &TCompileResultsPanel::errorLinesShown);
        const auto lastMarked = [&] { return marked.last().at(0).value<QList<int>>(); };
        const QStringList warning{"/src/A.java:2: warning: [removal] x",
                                  "    int i; // no error here", "    ^", "1 warning"};
        const QStringList translated{"/src/A.java:3: Fehler: x", "1 Fehler"};
        panel.clearAndShow();
        QVERIFY(!panel.showOutput(warning, true).Failed());
        QVERIFY(panel.isVisibleTo(&window));
        QVERIFY(panel.showOutput(warning).Failed());
        QCOMPARE(lastMarked(), QList<int>());
        QVERIFY(panel.showOutput(translated, false).Failed());
        QCOMPARE(lastMarked(), QList<int>{3});
        QVERIFY(!panel.showOutput(translated).Failed());
        QCOMPARE(lastMarked(), QList<int>());
        QVERIFY(panel.showOutput({}, false).Failed());
        QVERIFY(!panel.isVisibleTo(&window));
        QCOMPARE(lastMarked(), QList<int>());
    }

    void toolButtonsHaveAccessibleNames()
    {
        World w;
        const QList<QToolButton*> buttons = w.editor->findChildren<QToolButton*>();
        QVERIFY(buttons.size() >= 10);
        for (QToolButton* b : buttons) {
            QVERIFY2(!b->accessibleName().isEmpty(), qPrintable(b->objectName()));
            QCOMPARE(b->accessibleName(), b->toolTip());
        }
    }
};

QTEST_MAIN(TestEditorWindow)
#include "tst_editorwindow.moc"
