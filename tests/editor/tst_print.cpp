// The editor window's Print button in both variants, through the scripted print dialog:
// printing to a PDF file, the dialog cancelled, a job that fails.
#include "editor/cedit.h"
#include "editor/cedit95.h"
#include "editor/textcontrol.h"
#include "fakemainwindow.h"
#include "support/pdftext.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"
#include "support/variants.h"

#include <QToolButton>
#include <QtTest>

using namespace bp;
using namespace bp::test;

namespace {

// A printer that notes the cursor shown whenever the job starts a page.
class CursorWatchingPrinter : public QPrinter {
public:
    bool newPage() override
    {
        const QCursor* cursor = QApplication::overrideCursor();
        Shapes << (cursor ? cursor->shape() : Qt::ArrowCursor);
        return QPrinter::newPage();
    }
    QList<Qt::CursorShape> Shapes;
};

struct World {
    World()
    {
        editor = makeEditor(main);
        editor->CreateNew(1, TDocType::Text);
    }
    void type(const QString& text)
    {
        editor->Text()->setSelection(0, 0);
        editor->Text()->replaceSelection(text);
        editor->UpdateButtons();
    }
    void clickPrint()
    {
        QToolButton* print = editor->button(QStringLiteral("cmdPrint"));
        QVERIFY(print);
        QVERIFY(print->isEnabled());
        print->click();
    }
    // The PDF's lines that hold text, blanks around them dropped.
    QStringList printedLines(const QString& pdf)
    {
        QString why;
        const std::optional<QString> text = pdfText(pdf, why);
        if (!text) {
            failure = why;
            return {};
        }
        QStringList lines;
        for (const QString& l : text->split(QLatin1Char('\n')))
            if (!l.trimmed().isEmpty())
                lines << l.trimmed();
        return lines;
    }

    TestEnv env;
    ScriptedPrompter ask;
    FakeMainWindow main;
    std::unique_ptr<TcwEditBase> editor;
    QString failure;
};

} // namespace

class TestPrint : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data() { addEditorVariants(); }

    void printsEveryLineInEachCopy()
    {
        World w;
        w.type(QStringLiteral("class A {\r\n\tint x;\r\n}"));
        const QString pdf = w.env.path("printed.pdf");
        w.ask.answerPrint(pdf, 2);
        w.clickPrint();
        const QStringList lines = w.printedLines(pdf);
        QVERIFY2(w.failure.isEmpty(), qPrintable(w.failure));
        QCOMPARE(lines, (QStringList{"class A {", "int x;", "}", "class A {", "int x;", "}"}));
        QCOMPARE(w.ask.asked().size(), 1);
        QCOMPARE(w.ask.asked().first().kind, Asked::Print);
        QVERIFY(w.ask.unexpected().isEmpty());
        // The printer itself is left to make one copy of what was sent; the dialog shows
        // the number chosen the next time.
        QCOMPARE(w.main.PrintOn->copyCount(), 2);
    }

    void cancelledDialogPrintsNothing()
    {
        World w;
        w.type(QStringLiteral("text"));
        const QString pdf = w.env.path("printed.pdf");
        w.main.PrintOn->setOutputFileName(pdf);
        w.ask.answerPrint(QString());
        w.clickPrint();
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(w.ask.asked().size(), 1);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    void busyCursorWhilePrinting()
    {
        World w;
        auto printer = std::make_unique<CursorWatchingPrinter>();
        CursorWatchingPrinter& watched = *printer;
        w.main.PrintOn = std::move(printer);
        w.type(QStringLiteral("page one\fpage two"));
        w.ask.answerPrint(w.env.path("printed.pdf"));
        w.clickPrint();
        QCOMPARE(watched.Shapes, QList<Qt::CursorShape>{Qt::WaitCursor});
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    void noPrinterAsksNothing()
    {
        World w;
        w.type(QStringLiteral("text"));
        w.main.PrintOn.reset();
        w.editor->doPrint();
        QVERIFY(w.ask.asked().isEmpty());
    }

    void failedJobIsReportedOnceItEnded()
    {
        World w;
        w.type(QStringLiteral("text"));
        const QString pdf = w.env.path("no such folder/printed.pdf");
        w.ask.answerPrint(pdf);
        w.ask.answerMessage(MsgResult::OK);
        w.clickPrint();
        QVERIFY(w.ask.unexpected().isEmpty());
        QCOMPARE(w.ask.messages(),
                 QStringList{"Couldn't print 'New_1.txt' to '" + pdf + "'."});
        QCOMPARE(w.ask.asked().last().type, MsgType::Error);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
