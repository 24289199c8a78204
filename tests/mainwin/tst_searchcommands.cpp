// Find, Replace and Go to Line through the main window's dialogs, on both editor variants.
#include "dialogs/dfind.h"
#include "dialogs/dgotoln.h"
#include "editor/editorwindow.h"
#include "editor/textcontrol.h"
#include "mainwin/documentcommands.h"
#include "mainwin/fmain.h"
#include "mainwin/searchcommands.h"
#include "platform/busycursor.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"
#include "support/variants.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

using namespace bp;
using namespace bp::test;

namespace {

struct World {
    explicit World(const QString& text)
    {
        main = std::make_unique<TfrmMain>(QStringList{});
        main->show();
        editor = main->Documents().NewDocument(TDocType::Text);
        editor->Text()->setText(text);
        editor->Text()->setSelection(0, 0);
        // The text was set behind the window's back, not typed.
        main->UpdateMenuItems();
    }
    TextControl& text() const { return *editor->Text(); }

    VariantScope variant;
    TestEnv env;
    ScriptedPrompter ask;
    std::unique_ptr<TfrmMain> main;
    TcwEditBase* editor = nullptr;
};

// The dotless i matches I without match case; é, ı and ü differ in their UTF-8 length.
// A row may start with a selection, as Find Next leaves it.
const struct ReplaceRow {
    const char *name, *text, *find, *replace, *result;
    int caret;
    const char* status;
    int selStart = 0, selLength = 0;
} ReplaceRows[] = {
    {"a by b", "aaaa", "a", "b", "bbbb", 4, "Done Replacing 'a' with 'b.'"},
    {"a by aa", "aa", "a", "aa", "aaaa", 4, "Done Replacing 'a' with 'aa.'"},
    {"lines", "x\r\ny x\r\n", "x", "zz", "zz\r\ny zz\r\n", 8, "Done Replacing 'x' with 'zz.'"},
    {"none", "abc", "q", "r", "abc", 0, "Can't find 'q'"},
    {"accents", "\u00e9\u0131f \u00e9if", "IF", "\u00fc", "\u00e9\u00fc \u00e9\u00fc", 5,
     "Done Replacing 'IF' with '\u00fc.'"},
    {"match selected", "foo bar foo", "foo", "foo2", "foo2 bar foo2", 13,
     "Done Replacing 'foo' with 'foo2.'", 0, 3}};

} // namespace

class TestSearchCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data() { addEditorVariants(); }

    // Find, then Find Next (F3) from the Find dialog's text; the Replace dialog takes the
    // text over; a search that finds nothing reports it and beeps.
    void findNextFromTheFindDialog()
    {
        // Characters of two and four bytes in UTF-8 before the matches.
        World w(u"\u00e9\U0001F600abc abc\r\ntwo"_qs);
        TdlgFind* d = w.main->Search().dlgFind();
        w.main->item("mnuSearchFind")->trigger();
        QVERIFY(d->isVisible());
        d->SetFindText("ABC");
        d->cmdFindNext->click();
        QCOMPARE(w.text().selStart(), 3);
        QCOMPARE(w.text().selLength(), 3);
        w.main->item("mnuSearchFindNext")->trigger();
        QCOMPARE(w.text().selStart(), 7);
        QCOMPARE(w.main->Search().dlgReplace()->FindText(), "ABC");
        const int beeps = beepCount();
        w.main->item("mnuSearchFindNext")->trigger();
        QCOMPARE(w.text().selStart(), 7);
        QCOMPARE(w.main->StatusText(), "Can't find 'ABC'");
        QCOMPARE(beepCount(), beeps + 1);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Up from the second match finds the first; with match case, nothing moves.
    void findUpAndMatchCase()
    {
        World w(QStringLiteral("xxxabc abc\r\ntwo"));
        TdlgFind* d = w.main->Search().dlgFind();
        d->SetFindText("ABC");
        d->radUp->setChecked(true);
        w.text().setSelection(7, 3);
        d->cmdFindNext->click();
        QCOMPARE(w.text().selStart(), 3);
        d->chkMatchCase->setChecked(true);
        w.text().setSelection(10, 0);
        d->cmdFindNext->click();
        QCOMPARE(w.text().selStart(), 10);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // A single Replace compares the selection with the find text without case.
    void replaceComparesTheSelectionWithoutCase()
    {
        World w(u"\u00e9\U0001F600abc abc"_qs);
        TdlgFind* r = w.main->Search().dlgReplace();
        r->SetFindText("aBC");
        r->SetReplaceText("x");
        w.text().setSelection(3, 3);
        r->cmdReplace->click();
        QCOMPARE(w.text().text(), u"\u00e9\U0001F600x abc"_qs);
        QCOMPARE(w.text().caret(), 4);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Go to Line selects the line; past the end, 0, no number (reported) and Cancel move
    // nothing. The rich variant uses the menu, the plain one the editor's button.
    void goToLineSelectsTheLine()
    {
        World w(QStringLiteral("abc abc\r\ntwo\r\nsix\r\nten\r\nend"));
        QList<QPoint> got;
        for (const QString& typed : QStringList{"3", "5", "6", "0", "2x", QString()}) {
            w.text().setSelection(1, 0);
            w.ask.answerDialog([&](QDialog& dialog) {
                static_cast<TdlgGoToLine&>(dialog).edtLine->setText(typed);
                return int(typed.isNull() ? QDialog::Rejected : QDialog::Accepted);
            });
            if (typed == "2x")
                w.ask.answerMessage(MsgResult::OK);
            if (richVariant())
                w.main->item("mnuSearchGotoLine")->trigger();
            else
                w.editor->button("cmdGoToLine")->click();
            got << QPoint(w.text().selStart(), w.text().selLength());
        }
        QCOMPARE(got, (QList<QPoint>{{14, 5}, {24, 3}, {1, 0}, {1, 0}, {1, 0}, {1, 0}}));
        QCOMPARE(w.ask.messages(), QStringList{"'2x' is not a valid integer value"});
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // Every match of the text as it stood replaced once, the caret after the last, two beeps,
    // and one undo step.
    void replaceAllReplacesEveryMatch_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(ReplaceRows)); ++i)
            QTest::newRow(ReplaceRows[i].name) << i;
    }
    void replaceAllReplacesEveryMatch()
    {
        QFETCH(int, row);
        const ReplaceRow& r = ReplaceRows[row];
        World w(r.text);
        w.text().setSelection(r.selStart, r.selLength);
        const int beeps = beepCount();
        TdlgFind* d = w.main->Search().dlgReplace();
        d->SetFindText(r.find);
        d->SetReplaceText(r.replace);
        d->cmdReplaceAll->click();
        QCOMPARE(w.text().text(), r.result);
        QCOMPARE(w.text().selStart(), r.caret);
        QCOMPARE(w.text().selLength(), 0);
        QCOMPARE(w.main->StatusText(), r.status);
        QCOMPARE(beepCount(), beeps + 2);
        if (w.text().text() != r.text) {
            QVERIFY(w.text().isModified());
            w.text().undo();
            QCOMPARE(w.text().text(), r.text);
        }
    }
};

QTEST_MAIN(TestSearchCommands)
#include "tst_searchcommands.moc"
