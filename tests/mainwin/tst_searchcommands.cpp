// Find, Replace and Go to Line through the main window's dialogs, on both
// editor variants.
#include "dialogs/dfind.h"
#include "dialogs/dgotoln.h"
#include "editor/editorwindow.h"
#include "editor/textcontrol.h"
#include "mainwin/fmain.h"
#include "platform/busycursor.h"
#include "platform/osversion.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace bp;
using namespace bp::test;

namespace {

struct World {
    explicit World(bool win95, const QString& text)
    {
        setOsMajorVersionForTesting(win95 ? 6 : 3);
        main = std::make_unique<TfrmMain>(QStringList{});
        main->show();
        editor = main->NewDocument(2);
        editor->Text()->setText(text);
        editor->Text()->setSelection(0, 0);
        main->UpdateMenuItems();
    }
    ~World()
    {
        main.reset();
        setOsMajorVersionForTesting(-1);
    }
    TextControl& text() const { return *editor->Text(); }
    void replaceAll(const QString& find, const QString& replace, bool matchCase = false)
    {
        TdlgFind* d = main->dlgReplace();
        d->SetFindText(find);
        d->SetReplaceText(replace);
        d->chkMatchCase->setChecked(matchCase);
        d->cmdReplaceAll->click();
    }

    TestEnv env;
    ScriptedPrompter ask;
    std::unique_ptr<TfrmMain> main;
    TcwEditBase* editor = nullptr;
};

void addVariants()
{
    QTest::addColumn<bool>("win95");
    QTest::newRow("rich") << true;
    QTest::newRow("plain") << false;
}

} // namespace

class TestSearchCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void findNextWalksWithoutWrapping_data() { addVariants(); }
    void findNextWalksWithoutWrapping()
    {
        QFETCH(bool, win95);
        // Characters of two and four bytes in UTF-8 before the matches.
        World w(win95, QString::fromUtf16(u"\u00e9\U0001F600abc abc"));
        w.main->item("mnuSearchFind")->trigger();
        QVERIFY(w.main->dlgFind()->isVisible());
        w.main->dlgFind()->SetFindText(QStringLiteral("ABC"));
        w.main->dlgFind()->cmdFindNext->click();
        QCOMPARE(w.text().selStart(), 3);
        QCOMPARE(w.text().selLength(), 3);
        // F3 repeats it; the Replace dialog took over the text and options.
        w.main->item("mnuSearchFindNext")->trigger();
        QCOMPARE(w.text().selStart(), 7);
        QCOMPARE(w.main->dlgReplace()->FindText(), QStringLiteral("ABC"));
        const int beeps = beepCount();
        w.main->item("mnuSearchFindNext")->trigger();
        QCOMPARE(w.text().selStart(), 7);
        QCOMPARE(w.main->StatusText(), QStringLiteral("Can't find 'ABC'"));
        QCOMPARE(beepCount(), beeps + 1);
        // Searching up from the second finds the first; match case finds none.
        w.main->dlgFind()->radUp->setChecked(true);
        w.main->dlgFind()->cmdFindNext->click();
        QCOMPARE(w.text().selStart(), 3);
        w.main->dlgFind()->chkMatchCase->setChecked(true);
        w.text().setSelection(10, 0);
        w.main->dlgFind()->cmdFindNext->click();
        QCOMPARE(w.text().selStart(), 10);
    }

    void replaceAllReplacesEveryMatch_data()
    {
        QTest::addColumn<bool>("win95");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replace");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("caret");
        for (bool win95 : {true, false}) {
            const char* v = win95 ? "rich" : "plain";
            QTest::addRow("%s a by b", v) << win95 << "aaaa" << "a" << "b" << "bbbb"
                                          << "Done Replacing 'a' with 'b.'" << 4;
            QTest::addRow("%s a by aa", v) << win95 << "aa" << "a" << "aa" << "aaaa"
                                           << "Done Replacing 'a' with 'aa.'" << 4;
            QTest::addRow("%s lines", v) << win95 << "x\r\ny x\r\n" << "x" << "zz"
                                         << "zz\r\ny zz\r\n" << "Done Replacing 'x' with 'zz.'"
                                         << 8;
            QTest::addRow("%s none", v) << win95 << "abc" << "q" << "r" << "abc"
                                        << "Can't find 'q'" << 0;
            // The dotless i matches I without match case; the characters
            // differ in their number of UTF-8 bytes.
            QTest::addRow("%s accents", v)
                << win95 << QString::fromUtf16(u"\u00e9\u0131f \u00e9if") << "IF"
                << QString::fromUtf16(u"\u00fc") << QString::fromUtf16(u"\u00e9\u00fc \u00e9\u00fc")
                << QString::fromUtf16(u"Done Replacing 'IF' with '\u00fc.'") << 5;
        }
    }
    void replaceAllReplacesEveryMatch()
    {
        QFETCH(bool, win95);
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, replace);
        QFETCH(QString, result);
        QFETCH(QString, status);
        QFETCH(int, caret);
        World w(win95, text);
        const int beeps = beepCount();
        w.replaceAll(find, replace);
        QCOMPARE(w.text().text(), result);
        QCOMPARE(w.text().selStart(), caret);
        QCOMPARE(w.text().selLength(), 0);
        QCOMPARE(w.main->StatusText(), status);
        QCOMPARE(beepCount(), beeps + 2);
        // One undo step takes the whole Replace All back.
        if (result != text) {
            QVERIFY(w.text().isModified());
            w.text().undo();
            QCOMPARE(w.text().text(), text);
        }
    }

    void singleReplaceComparesTheSelection_data() { addVariants(); }
    void singleReplaceComparesTheSelection()
    {
        QFETCH(bool, win95);
        World w(win95, QStringLiteral("Abc \u00c9t\u00e9"));
        TdlgFind* d = w.main->dlgReplace();
        d->SetFindText(QStringLiteral("aBC"));
        d->SetReplaceText(QStringLiteral("x"));
        w.text().setSelection(0, 3);
        d->cmdReplace->click();
        QCOMPARE(w.text().text(), QStringLiteral("x \u00c9t\u00e9"));
        QCOMPARE(w.text().caret(), 1);
        // An accented letter differing in case is not the same text.
        d->SetFindText(QStringLiteral("\u00e9t\u00e9"));
        w.text().setSelection(2, 3);
        d->cmdReplace->click();
        QCOMPARE(w.text().text(), QStringLiteral("x \u00c9t\u00e9"));
    }

    void goToLine_data()
    {
        QTest::addColumn<bool>("win95");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        for (bool win95 : {true, false}) {
            const char* v = win95 ? "rich" : "plain";
            QTest::addRow("%s 3", v) << win95 << "3" << 10 << 5;
            QTest::addRow("%s 5", v) << win95 << "5" << 20 << 3;
            QTest::addRow("%s 6", v) << win95 << "6" << 1 << 0;
            QTest::addRow("%s 0", v) << win95 << "0" << 1 << 0;
        }
    }
    void goToLine()
    {
        QFETCH(bool, win95);
        QFETCH(QString, typed);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        World w(win95, QStringLiteral("one\r\ntwo\r\nsix\r\nten\r\nend"));
        w.text().setSelection(1, 0);
        w.ask.answerDialog([&](QDialog& d) {
            static_cast<TdlgGoToLine&>(d).edtLine->setText(typed);
            return int(QDialog::Accepted);
        });
        w.main->item("mnuSearchGotoLine")->trigger();
        QCOMPARE(w.text().selStart(), selStart);
        QCOMPARE(w.text().selLength(), selLength);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    void goToLineRejectsText()
    {
        World w(true, QStringLiteral("a\r\nb"));
        w.text().setSelection(1, 0);
        w.ask.answerDialog([](QDialog& d) {
            static_cast<TdlgGoToLine&>(d).edtLine->setText(QStringLiteral("2x"));
            return int(QDialog::Accepted);
        });
        w.ask.answerMessage(MsgResult::OK);
        w.editor->cmdGoToLineClick();
        QCOMPARE(w.ask.messages(), QStringList{QStringLiteral("'2x' is not a valid integer value")});
        QCOMPARE(w.text().selStart(), 1);
        // Cancel moves nothing either.
        w.ask.answerDialog([](QDialog&) { return int(QDialog::Rejected); });
        w.main->item("mnuSearchGotoLine")->trigger();
        QCOMPARE(w.text().selStart(), 1);
    }

    void searchItemsNeedText()
    {
        World w(true, QString());
        for (const char* name : {"mnuSearchFind", "mnuSearchFindNext", "mnuSearchReplace",
                                 "mnuSearchGotoLine"})
            QVERIFY2(!w.main->item(QString::fromLatin1(name))->isEnabled(), name);
        w.text().setText(QStringLiteral("x"));
        w.main->UpdateMenuItems();
        QVERIFY(w.main->item("mnuSearchReplace")->isEnabled());
    }
};

QTEST_MAIN(TestSearchCommands)
#include "tst_searchcommands.moc"
