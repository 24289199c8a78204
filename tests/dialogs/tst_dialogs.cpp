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
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace bp;

Q_DECLARE_METATYPE(bp::TSearchOptions)

namespace {

constexpr auto Down = TSearchOption::Down;
constexpr auto MatchCase = TSearchOption::MatchCase;
constexpr auto WholeWord = TSearchOption::WholeWord;
constexpr auto ReplaceAllFlag = TSearchOption::ReplaceAll;

using MultiSaveButton = QPushButton* TdlgMultiSave::*;
enum class Dismiss { Escape, CloseBox, Hide };

// Runs exec() on the dialog and, once it is showing, the action. Should the
// action leave the dialog open, it is hidden and the test fails, instead of
// hanging in the modal loop.
int execWith(QDialog& dialog, const std::function<void()>& action)
{
    bool leftOpen = false;
    QTimer::singleShot(0, &dialog, [&] {
        action();
        if (dialog.isVisible()) {
            leftOpen = true;
            dialog.hide();
        }
    });
    const int r = dialog.exec();
    if (leftOpen)
        qWarning("the dialog was left open");
    return leftOpen ? -100 : r;
}

} // namespace

Q_DECLARE_METATYPE(MultiSaveButton)
Q_DECLARE_METATYPE(Dismiss)

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void multiSaveButtons_data()
    {
        QTest::addColumn<MultiSaveButton>("button");
        QTest::addColumn<int>("code");
        QTest::newRow("Yes") << &TdlgMultiSave::cmdYes << 0;
        QTest::newRow("Yes to All") << &TdlgMultiSave::cmdYessAll << 1;
        QTest::newRow("No") << &TdlgMultiSave::cmdNo << 2;
        QTest::newRow("No to All") << &TdlgMultiSave::cmdNoAll << 3;
        QTest::newRow("Cancel") << &TdlgMultiSave::cmdCancel << 4;
    }

    void multiSaveButtons()
    {
        QFETCH(MultiSaveButton, button);
        QFETCH(int, code);
        TdlgMultiSave d;
        QCOMPARE(d.windowTitle(), QStringLiteral("Save"));
        d.SetMessage(QStringLiteral("Save changes to Hello.java?"));
        QWidget* focusAtOpen = nullptr;
        const int r = execWith(d, [&] {
            focusAtOpen = d.focusWidget();
            (d.*button)->click();
        });
        QCOMPARE(focusAtOpen, d.cmdYes);
        QCOMPARE(r, code);
        QCOMPARE(int(d.Answer()), code);
    }

    void multiSaveDismissedShowingIsCancel_data()
    {
        QTest::addColumn<Dismiss>("how");
        QTest::newRow("Escape") << Dismiss::Escape;
        QTest::newRow("close box") << Dismiss::CloseBox;
        QTest::newRow("hidden without an answer") << Dismiss::Hide;
    }

    // One dialog serves a series of questions: an earlier "Yes" must not leak
    // into a later question that the user dismissed.
    void multiSaveDismissedShowingIsCancel()
    {
        QFETCH(Dismiss, how);
        TdlgMultiSave d;
        d.SetMessage(QStringLiteral("Save changes to A.java?"));
        QCOMPARE(execWith(d, [&] { d.cmdYes->click(); }), int(TdlgMultiSave::mrYes));

        d.SetMessage(QStringLiteral("Save changes to B.java?"));
        const int r = execWith(d, [&] {
            switch (how) {
            case Dismiss::Escape:
                QTest::keyClick(d.focusWidget(), Qt::Key_Escape);
                break;
            case Dismiss::CloseBox:
                d.close();
                break;
            case Dismiss::Hide:
                d.hide();
                break;
            }
        });
        QCOMPARE(r, int(TdlgMultiSave::mrCancel));
        QCOMPARE(d.Answer(), TdlgMultiSave::mrCancel);
        QCOMPARE(d.result(), int(TdlgMultiSave::mrCancel));
    }

    void multiSaveLongMessageWraps_data()
    {
        QTest::addColumn<QString>("message");
        QTest::newRow("many words") << QStringLiteral("Save changes to %1?")
                                           .arg(QStringLiteral("My Java Program ").repeated(20));
        QTest::newRow("one long path") << QStringLiteral("Save changes to /home/%1/Hello.java?")
                                              .arg(QStringLiteral("x").repeated(250));
    }

    void multiSaveLongMessageWraps()
    {
        QFETCH(QString, message);
        TdlgMultiSave d;
        d.SetMessage(QStringLiteral("Save changes to Untitled1?"));
        const QSize shortSize = d.size();
        QVERIFY(shortSize.width() >= 412 && shortSize.height() >= 104);

        d.SetMessage(message);
        QCOMPARE(d.Message(), message);
        bool allVisible = false;
        int labelRight = 0;
        int labelHeight = 0;
        execWith(d, [&] {
            const QLabel* l = d.lblMessage;
            allVisible = l->height() >= l->heightForWidth(l->width());
            labelRight = l->geometry().right();
            labelHeight = l->height();
            d.cmdNo->click();
        });
        QCOMPARE(d.width(), shortSize.width());
        QVERIFY(d.height() > shortSize.height());
        QVERIFY(labelRight < d.width());
        QVERIFY(labelHeight >= 3 * d.lblMessage->fontMetrics().height());
        QVERIFY(allVisible);
    }

    void goToLineNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("number");
        QTest::newRow("plain") << "42" << true << 42;
        QTest::newRow("negative") << "-3" << true << -3;
        QTest::newRow("plus sign") << "+12" << true << 12;
        QTest::newRow("blanks around") << " 7 " << true << 7; // QString::toInt accepts them
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("trailing letter") << "3a" << false << 0;
        QTest::newRow("decimal point") << "1.5" << false << 0;
        QTest::newRow("too large") << "2147483648" << false << 0;
    }

    void goToLineNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, number);
        TdlgGoToLine d;
        d.edtLine->setText(text);
        try {
            const int n = d.GetLineNumber();
            QVERIFY2(valid, qPrintable(QStringLiteral("accepted as %1").arg(n)));
            QCOMPARE(n, number);
        } catch (const EBrewpadError& e) {
            QVERIFY2(!valid, qPrintable(e.message()));
            QCOMPARE(e.message(),
                     QLatin1Char('\'') + text + QStringLiteral("' is not a valid integer value"));
        }
    }

    void goToLineDialog()
    {
        TdlgGoToLine d;
        QCOMPARE(d.windowTitle(), QStringLiteral("Go to Line"));
        QVERIFY(d.width() >= 240 && d.height() >= 71);
        QWidget* focusAtOpen = nullptr;
        // Typing a number and pressing Enter in the edit box chooses OK.
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
    }

    void aboutBox()
    {
        TdlgAbout d;
        QCOMPARE(d.windowTitle(), QStringLiteral("About Tarvik's Brewpad"));
        QCOMPARE(d.lblTitle->text(), QStringLiteral("Tarvik's Brewpad"));
        QCOMPARE(d.lblTitle->font().pointSize(), 12);
        QVERIFY(d.lblTitle->font().bold() && d.lblTitle->font().italic());
        QCOMPARE(d.lblVersion->text(), QStringLiteral("Version 2.09"));
        QCOMPARE(d.lblTrademark->text(),
                 QStringLiteral("Java is a Trademark of Sun Microsystems, Inc."));
        QVERIFY(!d.imgIcon->pixmap().isNull());
        QVERIFY(d.width() >= 313 && d.height() >= 250);
        const int r = execWith(d, [&] { QTest::keyClick(d.focusWidget(), Qt::Key_Return); });
        QCOMPARE(r, int(QDialog::Accepted));
    }

    void findOptions_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("up");
        QTest::addColumn<TSearchOptions>("expected");
        QTest::newRow("find, down") << false << false << false << false << TSearchOptions(Down);
        QTest::newRow("find, up, case")
            << false << false << true << true << TSearchOptions(MatchCase);
        QTest::newRow("find, up, word")
            << false << true << false << true << TSearchOptions(WholeWord);
        QTest::newRow("find, down, word, case")
            << false << true << true << false << (Down | WholeWord | MatchCase);
        QTest::newRow("replace, word") << true << true << false << false << (Down | WholeWord);
        QTest::newRow("replace, case") << true << false << true << false << (Down | MatchCase);
    }

    void findOptions()
    {
        QFETCH(bool, replace);
        QFETCH(bool, wholeWord);
        QFETCH(bool, matchCase);
        QFETCH(bool, up);
        QFETCH(TSearchOptions, expected);
        TdlgFind d(replace ? TdlgFind::TMode::Replace : TdlgFind::TMode::Find);
        QCOMPARE(d.windowTitle(), replace ? QStringLiteral("Replace") : QStringLiteral("Find"));
        // Only the Find dialog has a direction, only the Replace dialog a replacement.
        QCOMPARE(d.radUp == nullptr, replace);
        QCOMPARE(d.edtReplace == nullptr, !replace);
        QCOMPARE(d.cmdReplaceAll == nullptr, !replace);

        d.SetFindText(QStringLiteral("abc"));
        d.chkWholeWord->setChecked(wholeWord);
        d.chkMatchCase->setChecked(matchCase);
        if (up)
            d.radUp->setChecked(true);
        QSignalSpy finds(&d, &TdlgFind::findRequested);
        QSignalSpy replaces(&d, &TdlgFind::replaceRequested);
        d.cmdFindNext->click();
        QCOMPARE(finds.count(), 1);
        QCOMPARE(replaces.count(), 0);
        QCOMPARE(d.FindText(), QStringLiteral("abc"));
        QCOMPARE(d.Options(), expected);
    }

    void replaceRequests()
    {
        TdlgFind d(TdlgFind::TMode::Replace);
        d.SetFindText(QStringLiteral("a"));
        d.SetReplaceText(QStringLiteral("b"));
        QList<TSearchOptions> seen;
        connect(&d, &TdlgFind::replaceRequested, this, [&] { seen << d.Options(); });
        QSignalSpy finds(&d, &TdlgFind::findRequested);

        d.cmdReplace->click();
        d.cmdReplaceAll->click();
        d.cmdReplace->click();
        QCOMPARE(seen, (QList<TSearchOptions>{TSearchOptions(Down), Down | ReplaceAllFlag,
                                              TSearchOptions(Down)}));
        QCOMPARE(finds.count(), 0);
        QVERIFY(!d.Options().testFlag(ReplaceAllFlag)); // not left over for later readers
        QCOMPARE(d.ReplaceText(), QStringLiteral("b"));
    }

    void emptyFindTextRequestsNothing()
    {
        for (auto mode : {TdlgFind::TMode::Find, TdlgFind::TMode::Replace}) {
            TdlgFind d(mode);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            QSignalSpy finds(&d, &TdlgFind::findRequested);
            QVERIFY(!d.cmdFindNext->isEnabled());
            QTest::keyClick(d.edtFind, Qt::Key_Return);
            QCOMPARE(finds.count(), 0);
            if (d.cmdReplaceAll)
                QVERIFY(!d.cmdReplaceAll->isEnabled() && !d.cmdReplace->isEnabled());

            // Enter in the find text presses the default button, Find Next.
            QTest::keyClicks(d.edtFind, QStringLiteral("x"));
            QVERIFY(d.cmdFindNext->isEnabled());
            QTest::keyClick(d.edtFind, Qt::Key_Return);
            QCOMPARE(finds.count(), 1);
            if (d.cmdReplaceAll)
                QVERIFY(d.cmdReplaceAll->isEnabled() && d.cmdReplace->isEnabled());
        }
    }

    void copyOptionsIn()
    {
        TdlgFind find(TdlgFind::TMode::Find);
        TdlgFind replace(TdlgFind::TMode::Replace);
        find.radUp->setChecked(true);
        find.chkWholeWord->setChecked(true);

        replace.SetOptions(find.Options());
        QCOMPARE(replace.Options(), Down | WholeWord);

        replace.chkWholeWord->setChecked(false);
        replace.chkMatchCase->setChecked(true);
        find.SetOptions(replace.Options());
        QCOMPARE(find.Options(), Down | MatchCase);
        QVERIFY(find.radDown->isChecked());

        find.SetOptions(WholeWord);
        QVERIFY(find.radUp->isChecked());
        QCOMPARE(find.Options(), TSearchOptions(WholeWord));

        // Replace All is a request of its own, never copied in.
        find.SetOptions(Down | ReplaceAllFlag);
        replace.SetOptions(Down | ReplaceAllFlag);
        QCOMPARE(find.Options(), TSearchOptions(Down));
        QCOMPARE(replace.Options(), TSearchOptions(Down));
    }

    void cancelHidesFindDialog()
    {
        TdlgFind d(TdlgFind::TMode::Replace);
        d.SetFindText(QStringLiteral("needle"));
        QSignalSpy finds(&d, &TdlgFind::findRequested);
        QSignalSpy replaces(&d, &TdlgFind::replaceRequested);

        d.Execute();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(d.edtFind->selectedText(), QStringLiteral("needle"));
        d.cmdCancel->click();
        QVERIFY(!d.isVisible());

        d.Execute();
        QVERIFY(d.isVisible());
        QTest::keyClick(d.edtFind, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.FindText(), QStringLiteral("needle"));
        QCOMPARE(finds.count() + replaces.count(), 0);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
