// Every case runs against both text controls (global data): Scintilla and QPlainTextEdit.
#include "editor/plaintextcontrol.h"
#include "editor/scitextcontrol.h"

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjava.h>
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QtTest>

using namespace bp;

namespace {

enum Kind { Rich, Plain };
using Sci = QsciScintillaBase;

// Line 0 "aé😀b" has five offsets (the emoji is a surrogate pair), then "xy", "" and "z".
const QString Sample = QString::fromUtf8("aé😀b\r\nxy\r\n\r\nz");

bool isRich()
{
    QFETCH_GLOBAL(int, kind);
    return kind == Rich;
}

std::unique_ptr<TextControl> makeControl()
{
    return isRich() ? std::unique_ptr<TextControl>(new SciTextControl)
                    : std::unique_ptr<TextControl>(new PlainTextControl);
}

} // namespace

class TestTextControl : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("rich") << int(Rich);
        QTest::newRow("plain") << int(Plain);
    }

    // Random texts set as a string, as UTF-8 or loaded in pieces that may split
    // a CR LF or a character: line breaks become CR LF, nothing else changes.
    void lineBreaks()
    {
        QRandomGenerator rng(7);
        auto control = makeControl();
        const QByteArray alphabet[] = {
            "a", "\r", "\n", "\xc3\xa9", QByteArray(1, '\0'), "\xf0\x9f\x98\x80"};
        for (int run = 0; run < 300; ++run) {
            QByteArray bytes;
            for (int i = rng.bounded(100); i > 0; --i)
                bytes += alphabet[rng.bounded(int(std::size(alphabet)))];
            QByteArray expected = bytes;
            expected.replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n");
            if (run % 3 == 0) {
                control->setText(QString::fromUtf8(bytes));
            } else if (run % 3 == 1) {
                control->setUtf8(bytes);
            } else {
                control->beginLoad(bytes.size());
                for (qsizetype from = 0, n; from < bytes.size(); from += n) {
                    n = std::min(bytes.size() - from, qsizetype(1 + rng.bounded(40)));
                    control->appendLoad(bytes.constData() + from, n);
                }
                control->endLoad();
            }
            QCOMPARE(control->utf8(), expected);
            QCOMPARE(control->text(), QString::fromUtf8(expected));
            QCOMPARE(control->textLength(), control->text().size());
            QCOMPARE(control->lineCount(),
                     expected.count("\r\n") + !(expected.isEmpty() || expected.endsWith('\n')));
            QVERIFY(!control->isModified() && !control->canUndo());
        }
    }

    // Offsets inside the surrogate pair or a line break and out of range; edits.
    void offsetsAndEdits()
    {
        auto control = makeControl();
        control->setText(Sample);
        // Lines -1 to 5; those out of range are empty and start at an end of the text.
        const QStringList lines{"", Sample.left(5), "xy", "", "z", "", ""};
        const int starts[] = {0, 0, 7, 11, 13, 14, 14};
        for (int i = -1; i < 6; ++i) {
            QCOMPARE(control->line(i), lines[i + 1]);
            QCOMPARE(control->lineLength(i), lines[i + 1].size());
            QCOMPARE(control->lineStart(i), starts[i + 1]);
        }
        const std::pair<int, int> positionLines[] = {{3, 0},  {5, 0},  {6, 0},  {7, 1}, {11, 2},
                                                     {12, 2}, {14, 3}, {99, 3}, {-5, 0}};
        for (const auto& [position, line] : positionLines)
            QCOMPARE(control->lineFromPosition(position), line);

        // clang-format off
        const int selections[][5] = { // start, length given; selStart, selLength, caret expected
            {2, 6, 2, 6, 8}, {8, -6, 2, 6, 2}, {3, 0, 2, 0, 2}, {6, 2, 5, 3, 8}, {13, 5, 13, 1, 14}};
        // clang-format on
        for (const auto& [start, length, selStart, selLength, caret] : selections) {
            control->setSelection(start, length);
            QCOMPARE(control->selStart(), selStart);
            QCOMPARE(control->selLength(), selLength);
            QCOMPARE(control->caret(), caret);
            QCOMPARE(control->selectedText(), Sample.mid(selStart, selLength));
        }

        // Inserted line breaks become CR LF, the caret follows the insertion; delete without
        // a selection deletes nothing; a selection starting on the LF never leaves half a
        // line break; a load clears the undo history and the modified flag.
        control->setSelection(7, 2);
        control->replaceSelection("there\nfriend");
        QCOMPARE(control->text(), Sample.left(7) + "there\r\nfriend\r\n\r\nz");
        QCOMPARE(control->caret(), 20);
        QVERIFY(control->selLength() == 0 && control->isModified());
        control->undo();
        QCOMPARE(control->text(), Sample);
        control->setSelection(2, 0);
        control->deleteSelection();
        control->setSelection(6, 2);
        control->replaceSelection("-");
        QCOMPARE(control->text(), Sample.left(5) + "-y\r\n\r\nz");
        control->setText(Sample);
        QVERIFY(!control->canUndo() && !control->isModified());
    }

    // Read-only refuses every edit but a load; enabled menu shortcuts win over the control's
    // keys; the context-menu hook replaces the control's menu (tst_editorwindow drives the
    // key hooks). The settings' colours and font show, also in a lexer's styles attached
    // after them and while attached; a selection stays visible without the focus; the
    // line-number margin follows the line count.
    void keysAndAppearance()
    {
        auto control = makeControl();
        QPalette palette = control->widget()->palette();
        palette.setColor(QPalette::Inactive, QPalette::Highlight, Qt::red);
        control->widget()->setPalette(palette);
        const QColor paper(10, 40, 90), ink(230, 220, 100);
        control->setBackgroundColor(paper);
        control->setTextColor(ink);
        control->setEditorFont(QFont("Monospace", 15));
        QWidget window;
        auto* undoAction = new QAction("Undo", &window);
        undoAction->setShortcut(QKeySequence("Ctrl+Z"));
        window.addAction(undoAction);
        QSignalSpy triggered(undoAction, &QAction::triggered);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(control->widget());
        window.resize(400, 300);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        control->setFocus();
        QWidget* view = static_cast<QAbstractScrollArea*>(control->widget())->viewport();
        const QImage image = view->grab().toImage();
        QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2), paper);

        control->setText("abc");
        QTest::keyClicks(control->widget(), "x");
        QVERIFY(control->isModified());
        control->setText("abc");
        control->setReadOnly(true); // tst_editorwindow types into it
        for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete})
            QTest::keyClick(control->widget(), key);
        control->setSelection(0, 1);
        control->replaceSelection("z");
        control->deleteSelection();
        control->cut();
        QApplication::clipboard()->setText("pasted");
        control->paste();
        control->undo();
        QCOMPARE(control->text(), QString("abc"));
        QVERIFY(!control->isModified());
        control->setText("new");
        QVERIFY(control->isReadOnly());
        control->setReadOnly(false);
        control->setSelection(3, 0);
        QTest::keyClicks(control->widget(), "s");
        QCOMPARE(control->text(), QString("news"));
        QTest::keyClick(control->widget(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(triggered.count(), 1);
        QCOMPARE(control->text(), QString("news"));
        undoAction->setEnabled(false);
        QTest::keyClick(control->widget(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(control->text(), QString("new"));

        QList<QPoint> menus;
        control->onContextMenu = [&](const QPoint& pos) { menus << pos; };
        const QPoint at(20, 15);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->mapToGlobal(at));
        QApplication::sendEvent(view, &event);
        QCOMPARE(menus, QList<QPoint>{view->mapTo(control->widget(), at)});
        QVERIFY(!QApplication::activePopupWidget());

        auto* other = new QLineEdit(&window);
        layout->addWidget(other);
        control->setText("some words to select");
        control->setSelection(0, 10);
        other->setFocus();
        QTRY_VERIFY(!control->widget()->hasFocus());
        const QColor highlight =
            control->widget()->palette().color(QPalette::Active, QPalette::Highlight);
        const QImage selected = view->grab().toImage();
        bool shown = false;
        for (int i = 0; i < selected.width() * selected.height() && !shown; ++i)
            shown = selected.pixelColor(i % selected.width(), i / selected.width()) == highlight;
        QVERIFY(shown);

        if (!isRich()) {
            auto* edit = static_cast<PlainTextControl&>(*control).editor();
            QCOMPARE(edit->palette().color(QPalette::Text), ink);
            return;
        }
        QsciScintilla* edit = static_cast<SciTextControl&>(*control).editor();
        const auto get = [edit](unsigned m, int s) { return edit->SendScintilla(m, s); };
        const auto rgb = [](long c) { return QColor(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff); };
        const auto back = [&](int s) { return rgb(get(Sci::SCI_STYLEGETBACK, s)); };
        const auto fore = [&](int s) { return rgb(get(Sci::SCI_STYLEGETFORE, s)); };
        control->setSyntax(TDocType::Java);
        QsciLexer* java = edit->lexer();
        QVERIFY(qobject_cast<QsciLexerJava*>(java));
        QCOMPARE(back(QsciLexerJava::Keyword), paper);
        QCOMPARE(fore(QsciLexerJava::Identifier), ink);
        // Syntax colours stay: a keyword keeps the lexer's colour.
        QCOMPARE(fore(QsciLexerJava::Keyword), java->defaultColor(QsciLexerJava::Keyword));
        QCOMPARE(get(Sci::SCI_STYLEGETSIZE, QsciLexerJava::Comment), 15);
        const QColor later(0, 60, 0);
        control->setBackgroundColor(later);
        QCOMPARE(back(java->defaultStyle()), later);
        QCOMPARE(back(Sci::STYLE_DEFAULT), later);
        control->setSyntax(TDocType::Html);
        QVERIFY(qobject_cast<QsciLexerHTML*>(edit->lexer()));
        QCOMPARE(back(edit->lexer()->defaultStyle()), later);
        control->setSyntax(TDocType::Text);
        QVERIFY(!edit->lexer());
        QCOMPARE(back(0), later);
        QCOMPARE(fore(0), ink);
        QCOMPARE(get(Sci::SCI_STYLEGETSIZE, 0), 15);

        // Typing the thousandth line widens the margin by a digit.
        const auto width = [&] { return get(Sci::SCI_GETMARGINWIDTHN, 0); };
        control->setFocus();
        control->setText(QString("x\n").repeated(998));
        const long narrow = width();
        QVERIFY(narrow > 0);
        control->setSelection(control->textLength(), 0);
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_VERIFY(width() > narrow);
        control->setText("");
        QCOMPARE(width(), narrow);
    }
};

QTEST_MAIN(TestTextControl)
#include "tst_textcontrol.moc"
