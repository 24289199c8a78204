// An editor window whose file another program changed or removed: what it does when it
// becomes active (CheckDiskChange) and when it saves. Every case runs for both variants.
#include "editor/cedit.h"
#include "editor/cedit95.h"
#include "editor/textcontrol.h"
#include "fakemainwindow.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"
#include "support/variants.h"

#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include <utility>

using namespace bp;
using namespace bp::test;

namespace {

// An editor window showing a file of its own, against a stand-in main window.
struct World {
    explicit World(const QByteArray& stored = "line 1\nline 2\nline 3\n")
    {
        editor = makeEditor(main);
        file = env.writeFile(QStringLiteral("A.java"), stored);
        editor->CreateFromFile(file);
    }
    TextControl* text() const { return editor->Text(); }
    // An edit as the user makes it: the text is modified.
    void edit(const QString& typed)
    {
        text()->setSelection(0, 0);
        text()->replaceSelection(typed);
    }
    int caretLine() const { return text()->lineFromPosition(text()->caret()); }
    QString changedQuestion() const
    {
        return "'" + file + "' has changed on disk.\n\nReload it and lose the changes made here?";
    }
    QString replaceQuestion() const
    {
        return "'" + file +
               "' has changed on disk since it was loaded or saved.\n\nReplace it with the text "
               "shown here?";
    }

    TestEnv env;
    ScriptedPrompter ask;
    FakeMainWindow main;
    QString file;
    std::unique_ptr<TcwEditBase> editor;
};

// Stand-ins for the JDK: the interpreter tells a version, the compiler reports success.
void useStandInTools(World& w)
{
    const auto script = [&w](const QString& name, const QByteArray& body) {
        const QString path = w.env.writeFile(name, "#!/bin/sh\n" + body);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    };
    w.main.Settings.JavaInterpreter =
        script(QStringLiteral("tools/java"), "echo 'java version \"1.0.2\"' >&2\n");
    w.main.Settings.JavaCompiler = script(QStringLiteral("tools/javac"), "exit 0\n");
}

// A prompter that, while its first question is open, has the window activated again, as
// the closing of a real message box does.
class ReactivatingPrompter : public ScriptedPrompter {
public:
    TcwEditBase* editor = nullptr;
    MsgResult messageBox(QWidget* parent, const QString& text, MsgType type,
                         MsgButtons buttons) override
    {
        if (std::exchange(FFirst, false))
            editor->CheckDiskChange();
        return ScriptedPrompter::messageBox(parent, text, type, buttons);
    }

private:
    bool FFirst = true;
};

} // namespace

class TestDiskChange : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data() { addEditorVariants(); }

    void unmodifiedWindowReloadsWithoutAsking()
    {
        World w;
        TestEnv::changeOutside(w.file, "changed 1\nchanged 2\n");
        w.editor->CheckDiskChange();
        QCOMPARE(w.text()->text(), QStringLiteral("changed 1\r\nchanged 2\r\n"));
        QVERIFY(!w.text()->isModified());
        QCOMPARE(w.main.Status, "'" + w.file + "' changed on disk and was reloaded.");
        QCOMPARE(w.ask.asked().size(), 0);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // The caret stays on its line, or goes to the last line when the file got shorter.
    void reloadKeepsTheCaretLine_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<QByteArray>("changed");
        QTest::addColumn<int>("after");
        QTest::newRow("line still there") << 1 << QByteArray("a\nb\nc\nd\n") << 1;
        QTest::newRow("file shorter") << 2 << QByteArray("a\nb") << 1;
        QTest::newRow("after a final line end") << 2 << QByteArray("a\n") << 1;
        QTest::newRow("file empty") << 2 << QByteArray() << 0;
    }
    void reloadKeepsTheCaretLine()
    {
        QFETCH(int, before);
        QFETCH(QByteArray, changed);
        QFETCH(int, after);
        World w;
        w.text()->setSelection(w.text()->lineStart(before) + 2, 0);
        TestEnv::changeOutside(w.file, changed);
        w.editor->CheckDiskChange();
        QCOMPARE(w.text()->text().toUtf8(), QByteArray(changed).replace("\n", "\r\n"));
        QCOMPARE(w.caretLine(), after);
        QCOMPARE(w.text()->caret(), w.text()->lineStart(after));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A window opened read-only stays so after the reload.
    void reloadKeepsTheWindowReadOnly()
    {
        World w;
        w.text()->setReadOnly(true);
        TestEnv::changeOutside(w.file, "changed\n");
        w.editor->CheckDiskChange();
        QCOMPARE(w.text()->text(), QStringLiteral("changed\r\n"));
        QVERIFY(w.text()->isReadOnly());
    }

    void modifiedWindowAsksAndYesReloads()
    {
        World w;
        w.edit(QStringLiteral("mine "));
        TestEnv::changeOutside(w.file, "theirs\n");
        w.ask.answerMessage(MsgResult::Yes);
        w.editor->CheckDiskChange();
        QCOMPARE(w.ask.messages(), QStringList{w.changedQuestion()});
        QCOMPARE(w.ask.asked().first().type, MsgType::Confirmation);
        QCOMPARE(w.ask.asked().first().buttons, MsgButtons::YesNo);
        QCOMPARE(w.text()->text(), QStringLiteral("theirs\r\n"));
        QVERIFY(!w.text()->isModified());
        QCOMPARE(w.main.Status, "'" + w.file + "' changed on disk and was reloaded.");
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // No (or Escape) keeps the text, and the same file on disk is not asked about again.
    void keepingTheTextIsNotAskedAgain_data()
    {
        QTest::addColumn<MsgResult>("answer");
        QTest::newRow("no") << MsgResult::No;
        QTest::newRow("escape") << MsgResult::Cancel;
    }
    void keepingTheTextIsNotAskedAgain()
    {
        QFETCH(MsgResult, answer);
        World w;
        w.edit(QStringLiteral("mine "));
        TestEnv::changeOutside(w.file, "theirs\n");
        w.ask.answerMessage(answer);
        w.editor->CheckDiskChange();
        w.editor->CheckDiskChange();
        QCOMPARE(w.ask.messages(), QStringList{w.changedQuestion()});
        QCOMPARE(w.text()->text(), QStringLiteral("mine line 1\r\nline 2\r\nline 3\r\n"));
        QVERIFY(w.text()->isModified());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A later change of the file is a new question.
    void laterChangeIsAskedAgain()
    {
        World w;
        w.edit(QStringLiteral("mine "));
        TestEnv::changeOutside(w.file, "theirs\n");
        w.ask.answerMessage(MsgResult::No);
        w.editor->CheckDiskChange();
        TestEnv::changeOutside(w.file, "theirs again\n");
        w.ask.answerMessage(MsgResult::No);
        w.editor->CheckDiskChange();
        QCOMPARE(w.ask.messages(), (QStringList{w.changedQuestion(), w.changedQuestion()}));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // The activation that a question's closing brings asks nothing while the question is open.
    void openQuestionIsNotAskedAgain()
    {
        World w;
        ReactivatingPrompter prompter; // replaces the world's while it lives
        prompter.editor = w.editor.get();
        w.edit(QStringLiteral("mine "));
        TestEnv::changeOutside(w.file, "theirs\n");
        prompter.answerMessage(MsgResult::Yes);
        w.editor->CheckDiskChange();
        QCOMPARE(prompter.messages(), QStringList{w.changedQuestion()});
        QCOMPARE(w.text()->text(), QStringLiteral("theirs\r\n"));
        QVERIFY(prompter.unexpected().isEmpty());
    }

    // The compile writes the editor's text into the file and puts the file's own bytes
    // back: no other program changed it, so neither activation nor Save asks.
    void compileIsNoOutsideChange()
    {
        World w;
        useStandInTools(w);
        w.edit(QStringLiteral("mine "));
        w.editor->Compile();
        QTRY_VERIFY_WITH_TIMEOUT(!w.editor->IsCompiling(), 60000);
        QCOMPARE(w.editor->statusBar()->currentMessage(),
                 "'" + w.file + "' compiled successfully.");
        w.editor->CheckDiskChange();
        QVERIFY(w.editor->Save());
        QCOMPARE(w.ask.asked().size(), 0);
    }

    // While the compile has the editor's text in the file, an activation does not take it for
    // another program's.
    void activationDuringACompileAsksNothing()
    {
        World w;
        useStandInTools(w);
        w.edit(QStringLiteral("mine "));
        // Activates the window once the tools run with the editor's text in the file.
        const QByteArray stored = TestEnv::readFile(w.file);
        bool checked = false;
        QTimer activation;
        QObject::connect(&activation, &QTimer::timeout, w.editor.get(), [&] {
            if (TestEnv::readFile(w.file) == stored)
                return;
            activation.stop();
            w.editor->CheckDiskChange();
            checked = true;
        });
        activation.start(0);
        w.editor->Compile();
        QTRY_VERIFY_WITH_TIMEOUT(!w.editor->IsCompiling(), 60000);
        QVERIFY(checked);
        QCOMPARE(w.ask.asked().size(), 0);
        QCOMPARE(w.text()->text(), QStringLiteral("mine line 1\r\nline 2\r\nline 3\r\n"));
        QCOMPARE(TestEnv::readFile(w.file), QByteArray("line 1\nline 2\nline 3\n"));
    }

    // A deleted file asks nothing; the text stays, modified, so that closing offers to save it.
    void deletedFileLeavesTheTextModified()
    {
        World w;
        QVERIFY(QFile::remove(w.file));
        w.editor->CheckDiskChange();
        QCOMPARE(w.ask.asked().size(), 0);
        QCOMPARE(w.text()->text(), QStringLiteral("line 1\r\nline 2\r\nline 3\r\n"));
        QVERIFY(w.text()->isModified());
        QCOMPARE(w.main.Status, "'" + w.file + "' no longer exists on disk.");
        w.ask.answerMessage(MsgResult::Cancel);
        QVERIFY(!w.editor->CloseQuery());
        QCOMPARE(w.ask.messages(), QStringList{"Save changes to " + w.file + "?"});
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // There is no other program's text to lose: the file is written anew.
    void saveOfADeletedFileAsksNothing()
    {
        World w;
        QVERIFY(QFile::remove(w.file));
        w.editor->CheckDiskChange();
        QVERIFY(w.editor->Save());
        QCOMPARE(TestEnv::readFile(w.file), QByteArray("line 1\nline 2\nline 3\n"));
        QVERIFY(!w.text()->isModified());
        QCOMPARE(w.ask.asked().size(), 0);
    }

    // A file saved anew and deleted again is news again.
    void fileDeletedAgainAfterASaveIsReportedAgain()
    {
        World w;
        QVERIFY(QFile::remove(w.file));
        w.editor->CheckDiskChange();
        QVERIFY(w.editor->Save());
        w.main.Status.clear();
        QVERIFY(QFile::remove(w.file));
        w.editor->CheckDiskChange();
        QVERIFY(w.text()->isModified());
        QCOMPARE(w.main.Status, "'" + w.file + "' no longer exists on disk.");
    }

    void saveOfAnUnchangedFileAsksNothing()
    {
        World w;
        w.edit(QStringLiteral("mine "));
        QVERIFY(w.editor->Save());
        QCOMPARE(TestEnv::readFile(w.file), QByteArray("mine line 1\nline 2\nline 3\n"));
        w.edit(QStringLiteral("again "));
        QVERIFY(w.editor->Save());
        QCOMPARE(w.ask.asked().size(), 0);
    }

    // Save asks before replacing another program's text, also after the reload was declined;
    // No (or Escape) leaves that text and the window's as they are.
    void saveOverAnOutsideChangeNoKeepsBoth_data()
    {
        QTest::addColumn<MsgResult>("answer");
        QTest::addColumn<bool>("reloadDeclined");
        QTest::newRow("no") << MsgResult::No << false;
        QTest::newRow("escape") << MsgResult::Cancel << false;
        QTest::newRow("no after declining the reload") << MsgResult::No << true;
    }
    void saveOverAnOutsideChangeNoKeepsBoth()
    {
        QFETCH(MsgResult, answer);
        QFETCH(bool, reloadDeclined);
        World w;
        w.edit(QStringLiteral("mine "));
        TestEnv::changeOutside(w.file, "theirs\n");
        if (reloadDeclined) {
            w.ask.answerMessage(MsgResult::No);
            w.editor->CheckDiskChange();
        }
        w.ask.answerMessage(answer);
        QVERIFY(!w.editor->Save());
        QCOMPARE(w.ask.messages().last(), w.replaceQuestion());
        QCOMPARE(w.ask.asked().last().type, MsgType::Warning);
        QCOMPARE(w.ask.asked().last().buttons, MsgButtons::YesNo);
        QCOMPARE(TestEnv::readFile(w.file), QByteArray("theirs\n"));
        QVERIFY(w.text()->isModified());
        QCOMPARE(w.text()->text(), QStringLiteral("mine line 1\r\nline 2\r\nline 3\r\n"));
        QVERIFY(w.main.Recent.isEmpty());
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Yes replaces it; the next save finds the file as written and asks nothing.
    void saveOverAnOutsideChangeYesReplaces()
    {
        World w;
        w.edit(QStringLiteral("mine "));
        TestEnv::changeOutside(w.file, "theirs\n");
        w.ask.answerMessage(MsgResult::Yes);
        QVERIFY(w.editor->Save());
        QCOMPARE(TestEnv::readFile(w.file), QByteArray("mine line 1\nline 2\nline 3\n"));
        QVERIFY(!w.text()->isModified());
        w.edit(QStringLiteral("again "));
        QVERIFY(w.editor->Save());
        QCOMPARE(w.ask.messages(), QStringList{w.replaceQuestion()});
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Closing: "Save changes?" Yes, then No to replacing the other program's text keeps the
    // window open with its text.
    void closeThatWillNotReplaceKeepsTheWindow()
    {
        World w;
        w.edit(QStringLiteral("mine "));
        TestEnv::changeOutside(w.file, "theirs\n");
        w.ask.answerMessage(MsgResult::Yes);
        w.ask.answerMessage(MsgResult::No);
        QVERIFY(!w.editor->CloseQuery());
        QCOMPARE(w.ask.messages(),
                 (QStringList{"Save changes to " + w.file + "?", w.replaceQuestion()}));
        QCOMPARE(TestEnv::readFile(w.file), QByteArray("theirs\n"));
        QVERIFY(w.text()->isModified());
        QVERIFY(w.ask.unexpected().isEmpty());
    }
};

QTEST_MAIN(TestDiskChange)
#include "tst_diskchange.moc"
