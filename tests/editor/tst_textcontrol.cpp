// Every case runs against both text controls (global data): Scintilla and QPlainTextEdit.
#include "editor/plaintextcontrol.h"
#include "editor/scitextcontrol.h"
#include "editor/softbreaks.h"

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjava.h>
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
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

// The number of lines the widget shows: more than the text has while an
// overlong line is cut into rows.
int widgetRows(TextControl& control)
{
    if (isRich())
        return static_cast<SciTextControl&>(control).editor()->lines();
    return static_cast<PlainTextControl&>(control).editor()->document()->blockCount();
}

// Puts the widget's caret at the start of one of its rows; returns the offset.
int toRow(TextControl& control, int row)
{
    if (isRich()) {
        QsciScintilla* sci = static_cast<SciTextControl&>(control).editor();
        sci->SendScintilla(Sci::SCI_GOTOPOS, sci->SendScintilla(Sci::SCI_POSITIONFROMLINE, row));
    } else {
        QPlainTextEdit* edit = static_cast<PlainTextControl&>(control).editor();
        edit->setTextCursor(QTextCursor(edit->document()->findBlockByNumber(row)));
    }
    return control.caret();
}

// Three short lines around one of three and a half times SplitAbove units
// that mixes ASCII, two-byte characters and surrogate pairs, so that the
// cuts fall at every kind of boundary in both bytes and code units.
QString longLineText()
{
    const QString pattern = QString::fromUtf8("abcdefghi\xc3\xa9\xf0\x9f\x98\x80jklmnop");
    const QString line = pattern.repeated(int(7 * TSoftBreaks::SplitAbove / 2 / pattern.size()));
    return "head\r\n" + line + "END\r\n\r\ntail";
}

// The offset a control gives for a wanted one: inside a surrogate pair or a
// line break it stops before.
int expectedCaret(const QString& text, int offset)
{
    if (offset > 0 && offset < text.size() &&
        ((text[offset].isLowSurrogate() && text[offset - 1].isHighSurrogate()) ||
         (text[offset] == '\n' && text[offset - 1] == '\r')))
        return offset - 1;
    return offset;
}

// Checks every line query against the text itself.
void compareLines(TextControl& control, const QString& expected)
{
    const QString text = control.text();
    qsizetype same = 0;
    while (same < std::min(text.size(), expected.size()) && text[same] == expected[same])
        ++same;
    // Where the texts part, rather than their first few hundred characters.
    QCOMPARE(text.mid(same, 40), expected.mid(same, 40));
    QCOMPARE(control.textLength(), expected.size());
    const QStringList lines = expected.split("\r\n");
    const int count = int(lines.size()) - (expected.endsWith("\r\n") || expected.isEmpty());
    QCOMPARE(control.lineCount(), count);
    int start = 0;
    for (int i = 0; i < count; ++i) {
        QCOMPARE(control.lineStart(i), start);
        QCOMPARE(control.lineLength(i), lines[i].size());
        QCOMPARE(control.line(i), lines[i]);
        QCOMPARE(control.lineFromPosition(start + int(lines[i].size())), i);
        start += int(lines[i].size()) + 2;
    }
    QCOMPARE(control.lineStart(count), expected.size());
}

} // namespace

#define COMPARE_LINES(control, expected)                                                           \
    do {                                                                                           \
        compareLines(control, expected);                                                           \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

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

    // A line far longer than any row goes in cut into rows, whether loaded in pieces or set
    // whole, yet every byte, offset and line query is that of the text: at and around each
    // cut, and for selections and searches that span cuts.
    void longLineQueries()
    {
        const QString expected = longLineText();
        const QByteArray bytes = expected.toUtf8();
        QRandomGenerator rng(11);
        auto control = makeControl();
        for (int run = 0; run < 2; ++run) {
            if (run == 0) {
                control->setText(expected);
            } else {
                control->beginLoad(bytes.size());
                for (qsizetype from = 0, n; from < bytes.size(); from += n) {
                    n = std::min(bytes.size() - from, qsizetype(1 + rng.bounded(9000)));
                    control->appendLoad(bytes.constData() + from, n);
                }
                control->endLoad();
            }
            QCOMPARE(control->utf8(), bytes);
            COMPARE_LINES(*control, expected);
            QVERIFY(widgetRows(*control) > control->lineCount() + 40);
            QVERIFY(!control->isModified() && !control->canUndo());
        }

        // Every offset across the first cuts, then a sample of them.
        const int longStart = control->lineStart(1);
        const int longEnd = longStart + control->lineLength(1);
        const int dense = longStart + 8 * int(TSoftBreaks::RowLength);
        for (int offset = 0; offset <= expected.size(); offset += offset < dense ? 1 : 97) {
            control->setSelection(offset, 0);
            QCOMPARE(control->caret(), expectedCaret(expected, offset));
            // "head", the long line, "" and "tail".
            const int line = offset < longStart     ? 0
                             : offset < longEnd + 2 ? 1
                             : offset < longEnd + 4 ? 2
                                                    : 3;
            QCOMPARE(control->lineFromPosition(offset), line);
        }
        for (int offset = longStart; offset < longEnd; offset += int(TSoftBreaks::RowLength) - 1) {
            const int from = expectedCaret(expected, std::max(offset - 5000, 0));
            const int to = expectedCaret(expected, std::min(offset + 5000, int(expected.size())));
            control->setSelection(from, to - from);
            QCOMPARE(control->selStart(), from);
            QCOMPARE(control->selLength(), to - from);
            QCOMPARE(control->selectedText(), expected.mid(from, to - from));
        }

        // Found across cuts, at the end of the long line, and as the whole text.
        const QString across = expected.mid(longStart + 70000, 20000);
        for (const QString& wanted : {across, QString("pEND\r\n"), expected}) {
            control->setSelection(0, 0);
            QVERIFY(control->findText(wanted, TSearchOption::Down | TSearchOption::MatchCase));
            QCOMPARE(control->selStart(), int(expected.indexOf(wanted)));
            QCOMPARE(control->selectedText(), wanted);
        }

        // Without line numbers or syntax colours, which would count and colour rows, until
        // the text has no overlong line.
        if (isRich()) {
            QsciScintilla* edit = static_cast<SciTextControl&>(*control).editor();
            const auto margin = [edit] { return edit->SendScintilla(Sci::SCI_GETMARGINWIDTHN, 0); };
            control->setSyntax(TDocType::Java);
            QVERIFY(!edit->lexer() && margin() == 0);
            control->setText("class A {}");
            QVERIFY(edit->lexer() && margin() > 0);
        }
    }

    // Edits in and around the rows of a long line keep the text and every query right, also
    // through undo: replacements with line breaks, Replace All that joins lines into a new
    // overlong line, and Enter, Backspace and Delete typed at a cut act on the text, not on
    // the cut. Copying leaves the cuts out.
    void longLineEdits()
    {
        const QString original = longLineText();
        auto control = makeControl();
        control->setText(original);
        QWidget* widget = control->widget();
        widget->resize(300, 200);
        widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(widget));

        QString expected = original;
        std::vector<QString> history;
        const auto edit = [&](int from, int length, const QString& with) {
            history.push_back(expected);
            from = expectedCaret(expected, from);
            const int to = expectedCaret(expected, from + length);
            control->setSelection(from, to - from);
            control->replaceSelection(with);
            expected.replace(from, to - from, QString(with).replace("\n", "\r\n"));
            compareLines(*control, expected);
        };
        QRandomGenerator rng(5);
        const QString pieces[] = {"x", "\n", "é\n😀", "\n\n", "", QString(9000, 'q')};
        for (int i = 0; i < 40; ++i) {
            const int from = int(rng.bounded(expected.size()));
            edit(from, int(rng.bounded(i % 4 == 0 ? 9000 : 5)), pieces[rng.bounded(6)]);
            if (QTest::currentTestFailed())
                return;
        }

        history.push_back(expected);
        QVERIFY(control->replaceAll("\r\n", "", TSearchOption::MatchCase).Replaced);
        expected.remove("\r\n");
        COMPARE_LINES(*control, expected);
        QVERIFY(widgetRows(*control) > 40);

        const struct {
            Qt::Key key;
            int removed; // the character before the caret (-1) or after it
            const char* inserted;
        } keys[] = {
            {Qt::Key_Backspace, -1, ""}, {Qt::Key_Delete, 1, ""}, {Qt::Key_Return, 0, "\r\n"}};
        for (const auto& k : keys) {
            history.push_back(expected);
            // Just after the first cut.
            const int caret = toRow(*control, 1);
            QTest::keyClick(widget, k.key);
            // The character beyond the cut goes, both halves of a surrogate pair.
            int length = std::abs(k.removed);
            if ((k.removed < 0 && expected[caret - 1].isLowSurrogate()) ||
                (k.removed > 0 && expected[caret].isHighSurrogate()))
                length = 2;
            expected.replace(k.removed < 0 ? caret - length : caret, length, k.inserted);
            COMPARE_LINES(*control, expected);
        }

        // Across the line break typed at the first cut, and the cuts after it.
        const int from = expectedCaret(expected, int(TSoftBreaks::RowLength) / 2);
        const int to = expectedCaret(expected, 5 * int(TSoftBreaks::RowLength));
        control->setSelection(from, to - from);
        control->copy();
        QCOMPARE(QApplication::clipboard()->text().replace("\r\n", "\n"),
                 expected.mid(from, to - from).replace("\r\n", "\n"));

        while (!history.empty()) {
            control->undo();
            COMPARE_LINES(*control, history.back());
            history.pop_back();
        }
        QCOMPARE(control->utf8(), original.toUtf8());
        QVERIFY(!control->canUndo());

        // Emptying the last row leaves a soft break before an empty row, which starts no line.
        control->setText(QString(int(TSoftBreaks::SplitAbove) + 10, 'x'));
        control->setSelection(toRow(*control, widgetRows(*control) - 1), 10);
        control->replaceSelection("");
        COMPARE_LINES(*control, QString(int(TSoftBreaks::SplitAbove), 'x'));
    }

    // The compiler's error marks sit on their lines, one for several errors (also after a long
    // line cut into rows),
    // follow them as lines are added above, and go when their line is edited or the text is
    // replaced. The plain control has no margin and marks nothing.
    void errorMarkersGoWithTheirLine()
    {
        auto control = makeControl();
        control->setText("a\r\nb\r\nc\r\nd\r\ne");
        const auto marked = [&](QList<int> lines) { return isRich() ? lines : QList<int>(); };
        control->setErrorMarkers({3, 1, 9, -1, 1});
        QCOMPARE(control->errorMarkers(), marked({1, 3}));
        control->setSelection(control->lineStart(1) + 1, 0);
        control->replaceSelection("x");
        QCOMPARE(control->errorMarkers(), marked({3}));
        control->setSelection(control->lineStart(0) + 1, 0);
        control->replaceSelection("\n");
        QCOMPARE(control->errorMarkers(), marked({4}));
        // Deleting "\r\nd" edits the lines "c" and "d"; "e" moves up.
        control->setErrorMarkers({2, 4, 5});
        control->setSelection(control->lineStart(3) + 1, 3);
        control->deleteSelection();
        QCOMPARE(control->text(), "a\r\n\r\nbx\r\nc\r\ne");
        QCOMPARE(control->errorMarkers(), marked({2, 4}));
        control->setErrorMarkers({});
        QCOMPARE(control->errorMarkers(), QList<int>());

        control->setText(longLineText());
        control->setErrorMarkers({0, 3});
        QCOMPARE(control->errorMarkers(), marked({0, 3}));
        control->setText("x\r\ny");
        QCOMPARE(control->errorMarkers(), QList<int>());
        if (isRich()) {
            // The mark is on the widget's row of line 3, the last, in a margin of its own.
            control->setText(longLineText());
            control->setErrorMarkers({3});
            QsciScintilla* sci = static_cast<SciTextControl&>(*control).editor();
            QVERIFY(widgetRows(*control) > 4);
            QCOMPARE(sci->SendScintilla(Sci::SCI_MARKERNEXT, 0, 1), long(widgetRows(*control) - 1));
            QVERIFY(sci->SendScintilla(Sci::SCI_GETMARGINWIDTHN, 1) > 0);
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
