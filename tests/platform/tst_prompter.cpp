// The real prompter's message boxes, answered as a person would.
#include "platform/prompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

using namespace bp;

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
};

QTEST_MAIN(TestPrompter)
#include "tst_prompter.moc"
