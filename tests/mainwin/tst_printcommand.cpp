// File > Print in both variants: enabled where the print dialog can print (a PDF file when
// the machine has no printer), printing the active editor's text through the scripted dialog.
#include "editor/editorwindow.h"
#include "editor/textcontrol.h"
#include "mainwin/documentcommands.h"
#include "mainwin/fmain.h"
#include "support/pdftext.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"
#include "support/variants.h"

#include <QAction>
#include <QPrinter>
#include <QtTest>

using namespace bp;
using namespace bp::test;

namespace {

struct World {
    World()
    {
        main = std::make_unique<TfrmMain>(QStringList());
        main->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(main.get())); }();
    }
    QAction* print() const { return main->item(QStringLiteral("mnuFilePrint")); }

    VariantScope variant;
    TestEnv env;
    ScriptedPrompter ask;
    std::unique_ptr<TfrmMain> main;
};

} // namespace

class TestPrintCommand : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data() { addEditorVariants(); }

    // Qt's print dialog offers a PDF file on any machine, printers or none.
    void printIsOnForAnEditorWithText()
    {
        World w;
        QVERIFY(w.main->ToolsPresent().Printer);
        QVERIFY(!w.print()->isEnabled());
        w.main->Documents().OpenFiles({w.env.writeFile("A.txt", "one\n")});
        QVERIFY(w.print()->isEnabled());
        w.main->ActiveEditor()->Text()->setText(QString());
        QTRY_VERIFY(!w.print()->isEnabled());
    }

    void printPrintsTheActiveEditorsText()
    {
        World w;
        w.main->Documents().OpenFiles({w.env.writeFile("A.txt", "first a\nsecond a\n")});
        w.main->Documents().OpenFiles({w.env.writeFile("B.txt", "only b\n")});
        const QString pdf = w.env.path("out.pdf");
        w.ask.answerPrint(pdf);
        w.print()->trigger();
        QVERIFY(w.ask.unexpected().isEmpty());
        QCOMPARE(w.ask.asked().size(), 1);
        QCOMPARE(w.ask.asked().first().kind, Asked::Print);
        QString why;
        const std::optional<QString> text = pdfText(pdf, why);
        QVERIFY2(text, qPrintable(why));
        QCOMPARE(text->trimmed(), QStringLiteral("only b"));
    }

    void cancelledPrintPrintsNothing()
    {
        World w;
        w.main->Documents().OpenFiles({w.env.writeFile("A.txt", "one\n")});
        const QString pdf = w.env.path("out.pdf");
        w.main->Printer()->setOutputFileName(pdf);
        w.ask.answerPrint(QString());
        w.print()->trigger();
        QVERIFY(w.ask.unexpected().isEmpty());
        QCOMPARE(w.ask.asked().size(), 1);
        QVERIFY(!QFile::exists(pdf));
    }
};

QTEST_MAIN(TestPrintCommand)
#include "tst_printcommand.moc"
