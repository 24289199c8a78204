// The real prompter's message boxes, answered as a person would.
#include "platform/prompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace bp;

namespace {

// Acts on the print dialog once it is up, from within its own event loop.
class PrintDialogHand : public QObject {
public:
    explicit PrintDialogHand(std::function<void(QPrintDialog&)> act) : FAct(std::move(act))
    {
        FPoll.setInterval(0);
        connect(&FPoll, &QTimer::timeout, this, [this] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            FPoll.stop();
            FAct(*dialog);
        });
        FPoll.start();
    }

private:
    std::function<void(QPrintDialog&)> FAct;
    QTimer FPoll;
};

} // namespace

Q_DECLARE_METATYPE(bp::MsgButtons)
Q_DECLARE_METATYPE(bp::MsgResult)

class TestPrompter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Escape and the close box dismiss a question; only a button answers No.
    void dismissingIsNoAnswer_data()
    {
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<QString>("action");
        QTest::addColumn<MsgResult>("expected");
        QTest::newRow("yes/no escape") << MsgButtons::YesNo << "escape" << MsgResult::Cancel;
        QTest::newRow("yes/no close box") << MsgButtons::YesNo << "close" << MsgResult::Cancel;
        QTest::newRow("yes/no no") << MsgButtons::YesNo << "no" << MsgResult::No;
        QTest::newRow("yes/no/cancel escape")
            << MsgButtons::YesNoCancel << "escape" << MsgResult::Cancel;
        QTest::newRow("yes/no/cancel no") << MsgButtons::YesNoCancel << "no" << MsgResult::No;
        QTest::newRow("ok escape") << MsgButtons::OK << "escape" << MsgResult::OK;
    }
    void dismissingIsNoAnswer()
    {
        QFETCH(MsgButtons, buttons);
        QFETCH(QString, action);
        QFETCH(MsgResult, expected);
        // The box runs its own event loop: act on it once it is up.
        QTimer poll;
        poll.setInterval(0);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            poll.stop();
            if (action == QLatin1String("escape"))
                QTest::keyClick(box, Qt::Key_Escape);
            else if (action == QLatin1String("close"))
                box->close();
            else
                box->button(QMessageBox::No)->click();
        });
        poll.start();
        QCOMPARE(ask(nullptr, QStringLiteral("Save 'New_1.java'?"), MsgType::Confirmation, buttons),
                 expected);
    }

    // Printer and copies only: neither the selection nor a range of pages.
    void printDialogOffersNoSelectionOrPageRange()
    {
        QPrinter printer;
        QPrintDialog::PrintDialogOptions options;
        PrintDialogHand hand([&](QPrintDialog& dialog) {
            options = dialog.options();
            dialog.reject();
        });
        QVERIFY(!prompter().printDialog(nullptr, printer));
        QVERIFY(options.testFlag(QAbstractPrintDialog::PrintToFile));
        QVERIFY(!options.testFlag(QAbstractPrintDialog::PrintSelection));
        QVERIFY(!options.testFlag(QAbstractPrintDialog::PrintPageRange));
        QVERIFY(!options.testFlag(QAbstractPrintDialog::PrintCurrentPage));
    }

    void printDialogKeepsTheCopiesChosen()
    {
        QTemporaryDir dir;
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
        bool found = false;
        PrintDialogHand hand([&](QPrintDialog& dialog) {
            if (auto* copies = dialog.findChild<QSpinBox*>(QStringLiteral("copies"))) {
                found = true;
                copies->setValue(3);
            }
            dialog.accept();
        });
        QVERIFY(prompter().printDialog(nullptr, printer));
        QVERIFY2(found, "the dialog has no copies box");
        QCOMPARE(printer.copyCount(), 3);
    }
};

QTEST_MAIN(TestPrompter)
#include "tst_prompter.moc"
