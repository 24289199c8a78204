#include "dialogs/dabout.h"
#include "dialogs/dfind.h"
#include "dialogs/dgotoln.h"
#include "dialogs/dmultisave.h"
#include "platform/errors.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <functional>

using namespace bp;

namespace {

using enum TSearchOption;

// Ways to end a showing of the multi-save dialog besides its buttons.
enum Dismiss { Escape = 5, CloseBox, Hide };

// Runs exec() on the dialog and, once it shows, the action. A dialog the action
// leaves open is hidden and gives -100, so the test fails instead of hanging.
int execWith(QDialog& dialog, const std::function<void()>& action)
{
    bool leftOpen = false;
    QTimer::singleShot(0, &dialog, [&] {
        action();
        if ((leftOpen = dialog.isVisible()))
            dialog.hide();
    });
    const int r = dialog.exec();
    return leftOpen ? -100 : r;
}

// Whether a word-wrapped label has the height to show all its lines.
const auto showsAllLines = [](const QLabel* l) {
    return l->height() >= l->heightForWidth(l->width());
};

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void multiSave_data()
    {
        QTest::addColumn<int>("action"); // a button's result code, or a Dismiss
        const char* names[] = {"Yes",    "Yes to All", "No",        "No to All",
                               "Cancel", "Escape",     "close box", "hidden without an answer"};
        for (int action = 0; action <= Hide; ++action)
            QTest::newRow(names[action]) << action;
    }

    // An earlier "Yes" must not leak into a later, dismissed question. A long question,
    // of many words or one long path, wraps: the dialog grows taller, never wider.
    void multiSave()
    {
        QFETCH(int, action);
        const int code = std::min(action, int(TdlgMultiSave::mrCancel));
        TdlgMultiSave d;
        d.SetMessage("Save changes to A.java?");
        const QSize shortSize = d.size();
        QVERIFY(shortSize.width() >= 412 && shortSize.height() >= 104);
        QCOMPARE(execWith(d, [&] { d.cmdYes->click(); }), int(TdlgMultiSave::mrYes));

        d.SetMessage(action % 2
                         ? "Save changes to " + QString("My Java Program ").repeated(20)
                         : "Save changes to /home/" + QString("x").repeated(250) + "/B.java");
        const int r = execWith(d, [&] {
            QCOMPARE(d.focusWidget(), d.cmdYes);
            QVERIFY(showsAllLines(d.lblMessage) && d.lblMessage->geometry().right() < d.width());
            QPushButton* buttons[] = {d.cmdYes, d.cmdYessAll, d.cmdNo, d.cmdNoAll, d.cmdCancel};
            if (action == Escape)
                QTest::keyClick(d.focusWidget(), Qt::Key_Escape);
            else if (action == CloseBox)
                d.close();
            else if (action == Hide)
                d.hide();
            else
                buttons[action]->click();
        });
        QCOMPARE(r, code);
        QCOMPARE(int(d.Answer()), code);
        QVERIFY(d.width() == shortSize.width() && d.height() > shortSize.height());
        QVERIFY(d.lblMessage->height() >= 3 * d.lblMessage->fontMetrics().height());
    }

    // The line number takes the focus; Enter is OK, Escape Cancel; a sign and blanks pass.
    void goToLine()
    {
        TdlgGoToLine d;
        const int r = execWith(d, [&] {
            QCOMPARE(d.focusWidget(), d.edtLine);
            QTest::keyClicks(d.edtLine, "12");
            QTest::keyClick(d.edtLine, Qt::Key_Return);
        });
        QCOMPARE(r, int(QDialog::Accepted));
        QCOMPARE(d.GetLineNumber(), 12);
        QCOMPARE(execWith(d, [&] { QTest::keyClick(d.edtLine, Qt::Key_Escape); }),
                 int(QDialog::Rejected));
        const std::pair<QString, QString> cases[] = {
            {"-3", "-3"},   {" 7 ", "7"},     {"", "''"},
            {"3a", "'3a'"}, {"1.5", "'1.5'"}, {"2147483648", "'2147483648'"}};
        for (const auto& [text, expected] : cases) {
            d.edtLine->setText(text);
            try {
                QCOMPARE(QString::number(d.GetLineNumber()), expected);
            } catch (const EBrewpadError& e) {
                QCOMPARE(e.message(), expected + " is not a valid integer value");
            }
        }
    }

    void aboutBox()
    {
        TdlgAbout d;
        QVERIFY(!d.imgIcon->pixmap().isNull());
        const int r = execWith(d, [&] {
            QVERIFY(showsAllLines(d.lblTrademark) && showsAllLines(d.lblSupport));
            QTest::keyClick(d.focusWidget(), Qt::Key_Return);
        });
        QCOMPARE(r, int(QDialog::Accepted));
    }

    // No request without a find text; Enter is Find Next with the dialog's options (Replace:
    // always down; Replace All set only during its own request). Cancel and Escape only hide
    // the dialog. Copied options keep a Find dialog's direction, never Replace All.
    void findDialogs()
    {
        const struct {
            bool replace, wholeWord, matchCase, up;
            TSearchOptions expected;
        } cases[] = {{false, false, false, false, Down},
                     {false, false, true, true, MatchCase},
                     {false, true, true, false, Down | WholeWord | MatchCase},
                     {true, true, false, false, Down | WholeWord},
                     {true, false, true, false, Down | MatchCase}};
        const TSearchOptions All = TSearchOption::ReplaceAll;
        TdlgFind findCopy(TdlgFind::TMode::Find), replaceCopy(TdlgFind::TMode::Replace);
        for (const auto& c : cases) {
            TdlgFind d(c.replace ? TdlgFind::TMode::Replace : TdlgFind::TMode::Find);
            QList<TSearchOptions> finds, replaces;
            connect(&d, &TdlgFind::findRequested, this, [&] { finds << d.Options(); });
            connect(&d, &TdlgFind::replaceRequested, this, [&] { replaces << d.Options(); });
            d.Execute();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            QTest::keyClick(d.edtFind, Qt::Key_Return);
            if (c.replace)
                QVERIFY(!d.cmdReplaceAll->isEnabled() && !d.cmdReplace->isEnabled());
            d.chkWholeWord->setChecked(c.wholeWord);
            d.chkMatchCase->setChecked(c.matchCase);
            if (c.up)
                d.radUp->setChecked(true);
            QTest::keyClicks(d.edtFind, "abc");
            QTest::keyClick(d.edtFind, Qt::Key_Return);
            if (c.replace) {
                d.cmdReplace->click();
                d.cmdReplaceAll->click();
            }
            d.cmdCancel->click();
            QVERIFY(!d.isVisible());
            d.Execute();
            QCOMPARE(d.edtFind->selectedText(), "abc");
            QTest::keyClick(d.edtFind, Qt::Key_Escape);
            QVERIFY(!d.isVisible());
            QCOMPARE(finds, QList{c.expected});
            QCOMPARE(replaces,
                     (c.replace ? QList{c.expected, c.expected | All} : QList<TSearchOptions>{}));
            QCOMPARE(d.Options(), c.expected);

            findCopy.SetOptions(c.expected | All);
            replaceCopy.SetOptions(c.expected | All);
            QCOMPARE(findCopy.Options(), c.expected);
            QCOMPARE(replaceCopy.Options(), c.expected | Down);
        }
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
