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
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace bp;

Q_DECLARE_METATYPE(bp::TSearchOptions)

namespace {

using enum TSearchOption;

// Ways to end a showing of the multi-save dialog besides its buttons.
enum Dismiss { Escape = 5, CloseBox, Hide };

// Runs exec() on the dialog and, once it is showing, the action. Should the
// action leave the dialog open, it is hidden and the test fails, instead of
// hanging in the modal loop.
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
bool showsAllLines(const QLabel* l)
{
    return l->height() >= l->heightForWidth(l->width());
}

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

    // One dialog serves a series of questions: an earlier "Yes" must not leak
    // into a later question that the user dismissed.
    void multiSave()
    {
        QFETCH(int, action);
        const int code = std::min(action, int(TdlgMultiSave::mrCancel));
        TdlgMultiSave d;
        d.SetMessage(QStringLiteral("Save changes to A.java?"));
        QCOMPARE(execWith(d, [&] { d.cmdYes->click(); }), int(TdlgMultiSave::mrYes));

        d.SetMessage(QStringLiteral("Save changes to B.java?"));
        QWidget* focusAtOpen = nullptr;
        const int r = execWith(d, [&] {
            focusAtOpen = d.focusWidget();
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
        QCOMPARE(focusAtOpen, d.cmdYes);
        QCOMPARE(r, code);
        QCOMPARE(int(d.Answer()), code);
        QCOMPARE(d.result(), code);
    }

    // A long question, of many words or one long path, wraps and makes the
    // dialog taller, never wider.
    void multiSaveLongMessageWraps()
    {
        for (const QString& message :
             {"Save changes to " + QString("My Java Program ").repeated(20) + "?",
              "Save changes to /home/" + QString("x").repeated(250) + "/Hello.java?"}) {
            TdlgMultiSave d;
            d.SetMessage(QStringLiteral("Save changes to Untitled1?"));
            const QSize shortSize = d.size();
            QVERIFY(shortSize.width() >= 412 && shortSize.height() >= 104);
            d.SetMessage(message);
            bool allVisible = false;
            execWith(d, [&] {
                allVisible =
                    showsAllLines(d.lblMessage) && d.lblMessage->geometry().right() < d.width();
                d.cmdNo->click();
            });
            QVERIFY(allVisible);
            QCOMPARE(d.width(), shortSize.width());
            QVERIFY(d.height() > shortSize.height());
            QVERIFY(d.lblMessage->height() >= 3 * d.lblMessage->fontMetrics().height());
        }
    }

    // The line number takes the focus; Enter chooses OK, Escape Cancel.
    void goToLine()
    {
        TdlgGoToLine d;
        QWidget* focusAtOpen = nullptr;
        int r = execWith(d, [&] {
            focusAtOpen = d.focusWidget();
            QTest::keyClicks(d.edtLine, QStringLiteral("12"));
            QTest::keyClick(d.edtLine, Qt::Key_Return);
        });
        QCOMPARE(focusAtOpen, d.edtLine);
        QCOMPARE(r, int(QDialog::Accepted));
        QCOMPARE(d.GetLineNumber(), 12);
        r = execWith(d, [&] { QTest::keyClick(d.edtLine, Qt::Key_Escape); });
        QCOMPARE(r, int(QDialog::Rejected));

        // QString::toInt's rules: a sign and blanks around are accepted.
        const std::pair<QString, int> numbers[] = {{"-3", -3}, {" 7 ", 7}};
        for (const auto& [text, number] : numbers) {
            d.edtLine->setText(text);
            QCOMPARE(d.GetLineNumber(), number);
        }
        for (const QString text : {"", "3a", "1.5", "2147483648"}) {
            d.edtLine->setText(text);
            try {
                QFAIL(qPrintable(QString("'%1' accepted as %2").arg(text).arg(d.GetLineNumber())));
            } catch (const EBrewpadError& e) {
                QCOMPARE(e.message(), "'" + text + "' is not a valid integer value");
            }
        }
    }

    void aboutBox()
    {
        TdlgAbout d;
        QVERIFY(!d.imgIcon->pixmap().isNull());
        bool allVisible = false;
        const int r = execWith(d, [&] {
            allVisible = showsAllLines(d.lblTrademark) && showsAllLines(d.lblSupport);
            QTest::keyClick(d.focusWidget(), Qt::Key_Return);
        });
        QVERIFY(allVisible);
        QCOMPARE(r, int(QDialog::Accepted));
    }

    // Find Next reports the dialog's options, the Replace dialog's always
    // searching down. Copied into the other dialogs, match case, whole word and
    // a Find dialog's direction follow; Replace All is a request of its own
    // and never copied.
    void findOptions()
    {
        const struct {
            bool replace, wholeWord, matchCase, up;
            TSearchOptions expected;
        } cases[] = {{false, false, false, false, Down},
                     {false, false, true, true, MatchCase},
                     {false, true, true, false, Down | WholeWord | MatchCase},
                     {true, true, false, false, Down | WholeWord},
                     {true, false, true, false, Down | MatchCase}};
        TdlgFind findCopy(TdlgFind::TMode::Find), replaceCopy(TdlgFind::TMode::Replace);
        for (const auto& c : cases) {
            TdlgFind d(c.replace ? TdlgFind::TMode::Replace : TdlgFind::TMode::Find);
            d.SetFindText(QStringLiteral("abc"));
            d.chkWholeWord->setChecked(c.wholeWord);
            d.chkMatchCase->setChecked(c.matchCase);
            if (c.up)
                d.radUp->setChecked(true);
            QSignalSpy finds(&d, &TdlgFind::findRequested);
            QSignalSpy replaces(&d, &TdlgFind::replaceRequested);
            d.cmdFindNext->click();
            QCOMPARE(finds.count(), 1);
            QCOMPARE(replaces.count(), 0);
            QCOMPARE(d.Options(), c.expected);

            findCopy.SetOptions(c.expected | TSearchOption::ReplaceAll);
            replaceCopy.SetOptions(c.expected | TSearchOption::ReplaceAll);
            QCOMPARE(findCopy.Options(), c.expected);
            QCOMPARE(replaceCopy.Options(), c.expected | Down);
        }
    }

    // Replace All is set only while its own request is handled.
    void replaceRequests()
    {
        TdlgFind d(TdlgFind::TMode::Replace);
        d.SetFindText(QStringLiteral("a"));
        QList<TSearchOptions> seen;
        connect(&d, &TdlgFind::replaceRequested, this, [&] { seen << d.Options(); });
        QSignalSpy finds(&d, &TdlgFind::findRequested);
        d.cmdReplace->click();
        d.cmdReplaceAll->click();
        QVERIFY(!d.Options().testFlag(TSearchOption::ReplaceAll));
        QCOMPARE(seen, (QList<TSearchOptions>{Down, Down | TSearchOption::ReplaceAll}));
        QCOMPARE(finds.count(), 0);
    }

    // No request without a find text; Enter in the find text is Find Next.
    // Cancel and Escape only hide the dialog, which keeps its text and shows
    // it selected at the next showing.
    void findDialogKeys()
    {
        for (auto mode : {TdlgFind::TMode::Find, TdlgFind::TMode::Replace}) {
            TdlgFind d(mode);
            QSignalSpy finds(&d, &TdlgFind::findRequested);
            QSignalSpy replaces(&d, &TdlgFind::replaceRequested);
            d.Execute();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            QTest::keyClick(d.edtFind, Qt::Key_Return);
            QCOMPARE(finds.count(), 0);
            if (d.cmdReplaceAll)
                QVERIFY(!d.cmdReplaceAll->isEnabled() && !d.cmdReplace->isEnabled());

            QTest::keyClicks(d.edtFind, QStringLiteral("needle"));
            QTest::keyClick(d.edtFind, Qt::Key_Return);
            QCOMPARE(finds.count(), 1);
            if (d.cmdReplaceAll)
                QVERIFY(d.cmdReplaceAll->isEnabled() && d.cmdReplace->isEnabled());

            d.cmdCancel->click();
            QVERIFY(!d.isVisible());
            d.Execute();
            QCOMPARE(d.edtFind->selectedText(), QStringLiteral("needle"));
            QTest::keyClick(d.edtFind, Qt::Key_Escape);
            QVERIFY(!d.isVisible());
            QCOMPARE(d.FindText(), QStringLiteral("needle"));
            QCOMPARE(finds.count(), 1);
            QCOMPARE(replaces.count(), 0);
        }
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
