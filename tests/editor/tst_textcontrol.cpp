// Every case runs against both text controls (global data): "rich" (Scintilla)
// and "plain" (QPlainTextEdit).
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
#include <QRandomGenerator>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

using namespace bp;

namespace {

enum Kind { Rich, Plain };
using Sci = QsciScintillaBase;

// Line 0 "aé😀b" has five offsets (the emoji is a surrogate pair), then
// "xy", an empty line and "z": lines start at 0, 7, 11 and 13; length 14.
const QString Sample = QString::fromUtf8("a\xC3\xA9\xF0\x9F\x98\x80"
                                         "b\r\nxy\r\n\r\nz");

bool isRich()
{
    QFETCH_GLOBAL(int, kind);
    return kind == Rich;
}

std::unique_ptr<TextControl> makeControl()
{
    if (isRich())
        return std::make_unique<SciTextControl>();
    return std::make_unique<PlainTextControl>();
}

// Shows the control's widget in a window of its own and gives it the focus.
bool showFocused(QWidget& window, TextControl& control)
{
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(control.widget());
    window.resize(400, 300);
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        return false;
    control.setFocus();
    return true;
}

QWidget* viewport(TextControl& control)
{
    return static_cast<QAbstractScrollArea*>(control.widget())->viewport();
}

QColor styleColor(QsciScintilla* edit, unsigned int message, int style)
{
    const long c = edit->SendScintilla(message, static_cast<unsigned long>(style));
    return QColor(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff);
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

    void lineBreaks_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("lines");
        // clang-format off
        QTest::newRow("empty") << "" << "" << 0;
        QTest::newRow("final break") << "a\r\n" << "a\r\n" << 1;
        QTest::newRow("CR") << "a\rb\r\rc\r" << "a\r\nb\r\n\r\nc\r\n" << 4;
        QTest::newRow("mixed") << "a\r\nb\rc\nd\n\ne" << "a\r\nb\r\nc\r\nd\r\n\r\ne" << 6;
        // clang-format on
    }

    void lineBreaks()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QFETCH(int, lines);
        auto control = makeControl();
        control->setText(input);
        QCOMPARE(control->text(), expected);
        QCOMPARE(control->textLength(), expected.size());
        QCOMPARE(control->lineCount(), lines);
        QVERIFY(!control->isModified());
        QVERIFY(!control->canUndo());
    }

    // Texts loaded in random pieces (a CR LF or a character may be split):
    // every line break becomes CR LF, nothing else changes.
    void loadInPieces()
    {
        QRandomGenerator rng(7);
        auto control = makeControl();
        const QByteArray alphabet[] = {"a", "\r", "\n", "\xc3\xa9"};
        for (int run = 0; run < 300; ++run) {
            QByteArray bytes, expected;
            for (int i = rng.bounded(100); i > 0; --i)
                bytes += alphabet[rng.bounded(4)];
            for (qsizetype i = 0; i < bytes.size(); ++i) {
                if (bytes[i] == '\r' || bytes[i] == '\n') {
                    expected += "\r\n";
                    i += bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
                } else {
                    expected += bytes[i];
                }
            }
            control->beginLoad(bytes.size());
            for (qsizetype from = 0, n; from < bytes.size(); from += n) {
                n = std::min(bytes.size() - from, qsizetype(1 + rng.bounded(40)));
                control->appendLoad(bytes.constData() + from, n);
            }
            control->endLoad();
            QCOMPARE(control->utf8(), expected);
        }
    }

    // Offsets inside the surrogate pair or a line break, and out of range.
    void offsets()
    {
        auto control = makeControl();
        control->setText(Sample);
        QCOMPARE(control->textLength(), 14);
        QCOMPARE(control->lineCount(), 4);
        const QStringList lines{Sample.left(5), "xy", "", "z"};
        const int starts[] = {0, 7, 11, 13};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(control->line(i), lines[i]);
            QCOMPARE(control->lineLength(i), lines[i].size());
            QCOMPARE(control->lineStart(i), starts[i]);
        }
        QCOMPARE(control->line(4), QString());
        QCOMPARE(control->lineLength(-1), 0);
        QCOMPARE(control->lineStart(-1), 0);
        QCOMPARE(control->lineStart(9), 14);
        const std::pair<int, int> positionLines[] = {{3, 0},  {5, 0},  {6, 0},  {7, 1}, {11, 2},
                                                     {12, 2}, {14, 3}, {99, 3}, {-5, 0}};
        for (const auto& [position, line] : positionLines)
            QCOMPARE(control->lineFromPosition(position), line);

        // clang-format off
        const struct { int start, length, selStart, selLength, caret; } selections[] = {
            {2, 6, 2, 6, 8}, {8, -6, 2, 6, 2}, {3, 0, 2, 0, 2}, {6, 2, 5, 3, 8},
            {13, 5, 13, 1, 14}};
        // clang-format on
        for (const auto& s : selections) {
            control->setSelection(s.start, s.length);
            QCOMPARE(control->selStart(), s.selStart);
            QCOMPARE(control->selLength(), s.selLength);
            QCOMPARE(control->caret(), s.caret);
            QCOMPARE(control->selectedText(), Sample.mid(s.selStart, s.selLength));
        }
    }

    void editsAndUndo()
    {
        auto control = makeControl();
        control->setText("hello world");
        control->setSelection(6, 5);
        control->replaceSelection("there\nfriend");
        QCOMPARE(control->text(), QString("hello there\r\nfriend"));
        QCOMPARE(control->caret(), 19);
        QCOMPARE(control->selLength(), 0);
        QVERIFY(control->isModified());
        control->undo();
        QCOMPARE(control->text(), QString("hello world"));

        control->beginUndoAction();
        control->setSelection(0, 5);
        control->replaceSelection("1");
        control->setSelection(2, 5);
        control->replaceSelection("2");
        control->endUndoAction();
        QCOMPARE(control->text(), QString("1 2"));
        control->undo();
        QCOMPARE(control->text(), QString("hello world"));

        // Delete without a selection deletes nothing; a selection starting on
        // the LF never leaves half a line break; a load clears the undo history.
        control->setText(Sample);
        control->setSelection(2, 0);
        control->deleteSelection();
        control->setSelection(6, 2);
        control->replaceSelection("-");
        QCOMPARE(control->text(), Sample.left(5) + "-y\r\n\r\nz");
        control->setText(Sample);
        QVERIFY(!control->canUndo());
    }

    void utf8RoundTrip()
    {
        auto control = makeControl();
        const char input[] = "Gr\xC3\xBC\xC3\x9F"
                             "e\n\xF0\x9F\x98\x80 x\r\nend\0tail";
        const char expected[] = "Gr\xC3\xBC\xC3\x9F"
                                "e\r\n\xF0\x9F\x98\x80 x\r\nend\0tail";
        control->setUtf8(QByteArray(input, sizeof input - 1));
        QCOMPARE(control->utf8(), QByteArray(expected, sizeof expected - 1));
        QCOMPARE(control->lineCount(), 3);
        QCOMPARE(control->line(1), QString::fromUtf8("\xF0\x9F\x98\x80 x"));
        QCOMPARE(control->lineStart(2), 13);
        QCOMPARE(control->lineLength(2), 8);
    }

    void modifiedFlag()
    {
        auto control = makeControl();
        QList<bool> reported;
        control->onModifiedChanged = [&](bool modified) { reported << modified; };
        control->setText("abc");
        QWidget window;
        QVERIFY(showFocused(window, *control));
        QTest::keyClicks(control->widget(), "x");
        control->setModified(false);
        // Set from outside, as a change of document type does.
        control->setModified(true);
        QVERIFY(control->isModified());
        control->setText("def");
        QVERIFY(!control->isModified());
        QCOMPARE(reported, (QList<bool>{true, false, true, false}));
    }

    void readOnlyRefusesEdits()
    {
        auto control = makeControl();
        control->setText("abc");
        control->setReadOnly(true);
        QWidget window;
        QVERIFY(showFocused(window, *control));
        QTest::keyClicks(control->widget(), "xy");
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

        // Loading still works, and typing does again once editable.
        control->setText("new");
        QCOMPARE(control->text(), QString("new"));
        QVERIFY(control->isReadOnly());
        control->setReadOnly(false);
        control->setSelection(3, 0);
        QTest::keyClicks(control->widget(), "s");
        QCOMPARE(control->text(), QString("news"));
    }

    // The hooks see keys and context menus first; menu shortcuts win over the
    // control's own key bindings.
    void hooksAndShortcuts()
    {
        auto control = makeControl();
        control->setText("ab\r\ncd");
        QWidget window;
        auto* undoAction = new QAction("Undo", &window);
        undoAction->setShortcut(QKeySequence("Ctrl+Z"));
        window.addAction(undoAction);
        QSignalSpy triggered(undoAction, &QAction::triggered);
        QVERIFY(showFocused(window, *control));
        QList<int> pressed, released;
        bool swallow = true;
        control->onKeyPress = [&](QKeyEvent* e) {
            pressed << e->key();
            return swallow && e->key() == Qt::Key_Tab;
        };
        control->onKeyRelease = [&](QKeyEvent* e) { released << e->key(); };

        control->setSelection(1, 4);
        QTest::keyClick(control->widget(), Qt::Key_Tab);
        QCOMPARE(control->text(), QString("ab\r\ncd"));
        QCOMPARE(pressed, QList<int>{Qt::Key_Tab});
        QCOMPARE(released, QList<int>{Qt::Key_Tab});

        // Not swallowed: a tab character replaces the selection.
        swallow = false;
        QTest::keyClick(control->widget(), Qt::Key_Tab);
        QCOMPARE(control->text(), QString("a\td"));
        QCOMPARE(control->caret(), 2);
        QTest::keyClick(control->widget(), Qt::Key_Return);
        QCOMPARE(control->text(), QString("a\t\r\nd"));
        QCOMPARE(released.last(), int(Qt::Key_Return));

        QTest::keyClick(control->widget(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(triggered.count(), 1);
        QCOMPARE(control->text(), QString("a\t\r\nd"));
        undoAction->setEnabled(false);
        QTest::keyClick(control->widget(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(control->text(), QString("a\td"));

        QList<QPoint> menus;
        control->onContextMenu = [&](const QPoint& pos) { menus << pos; };
        QWidget* view = viewport(*control);
        const QPoint at(20, 15);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->mapToGlobal(at));
        QApplication::sendEvent(view, &event);
        QCOMPARE(menus, QList<QPoint>{view->mapTo(control->widget(), at)});
        QVERIFY(!QApplication::activePopupWidget());
    }

    // The settings' colours show, and a selection stays visible without the focus.
    void colours()
    {
        auto control = makeControl();
        QPalette palette = control->widget()->palette();
        palette.setColor(QPalette::Inactive, QPalette::Highlight, Qt::red);
        control->widget()->setPalette(palette);
        const QColor back(10, 40, 90);
        const QColor fore(230, 220, 100);
        control->setBackgroundColor(back);
        control->setTextColor(fore);
        QWidget window;
        QVERIFY(showFocused(window, *control));
        const QImage image = viewport(*control)->grab().toImage();
        QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2), back);
        if (isRich()) {
            QsciScintilla* edit = static_cast<SciTextControl&>(*control).editor();
            QCOMPARE(styleColor(edit, Sci::SCI_STYLEGETFORE, 0), fore);
        } else {
            QPlainTextEdit* edit = static_cast<PlainTextControl&>(*control).editor();
            QCOMPARE(edit->palette().color(QPalette::Text), fore);
        }

        // The selection shows in the focused colours when the focus is elsewhere.
        auto* other = new QLineEdit(&window);
        window.layout()->addWidget(other);
        control->setText("some words to select");
        control->setSelection(0, 10);
        other->setFocus();
        QTRY_VERIFY(!control->widget()->hasFocus());
        const QColor highlight =
            control->widget()->palette().color(QPalette::Active, QPalette::Highlight);
        const QImage selected = viewport(*control)->grab().toImage();
        bool shown = false;
        for (int i = 0; i < selected.width() * selected.height() && !shown; ++i)
            shown = selected.pixelColor(i % selected.width(), i / selected.width()) == highlight;
        QVERIFY(shown);
    }

    // The settings reach the lexer's styles when it is attached after them, and
    // while attached; without a lexer they apply to plain text again.
    void lexerKeepsSettings()
    {
        if (!isRich())
            QSKIP("only the rich control colours syntax");
        SciTextControl control;
        QsciScintilla* edit = control.editor();
        const auto back = [edit](int s) { return styleColor(edit, Sci::SCI_STYLEGETBACK, s); };
        const auto fore = [edit](int s) { return styleColor(edit, Sci::SCI_STYLEGETFORE, s); };
        const auto size = [edit](int s) { return edit->SendScintilla(Sci::SCI_STYLEGETSIZE, s); };
        const QColor paper(250, 240, 200);
        const QColor ink(90, 10, 10);
        control.setBackgroundColor(paper);
        control.setTextColor(ink);
        control.setEditorFont(QFont("Monospace", 15));

        control.setSyntax(0);
        QsciLexer* java = edit->lexer();
        QVERIFY(qobject_cast<QsciLexerJava*>(java));
        QCOMPARE(back(QsciLexerJava::Keyword), paper);
        QCOMPARE(fore(QsciLexerJava::Identifier), ink);
        // Syntax colours stay: a keyword keeps the lexer's colour.
        QCOMPARE(fore(QsciLexerJava::Keyword), java->defaultColor(QsciLexerJava::Keyword));
        QCOMPARE(size(QsciLexerJava::Comment), 15);

        const QColor later(0, 60, 0);
        control.setBackgroundColor(later);
        QCOMPARE(back(java->defaultStyle()), later);
        QCOMPARE(back(Sci::STYLE_DEFAULT), later);

        control.setSyntax(1);
        QVERIFY(qobject_cast<QsciLexerHTML*>(edit->lexer()));
        QCOMPARE(back(edit->lexer()->defaultStyle()), later);

        control.setSyntax(2);
        QVERIFY(!edit->lexer());
        QCOMPARE(back(0), later);
        QCOMPARE(fore(0), ink);
        QCOMPARE(size(0), 15);
    }

    void marginFollowsLineCount()
    {
        if (!isRich())
            QSKIP("only the rich control has a line-number margin");
        SciTextControl control;
        QsciScintilla* edit = control.editor();
        const auto width = [edit] { return edit->SendScintilla(Sci::SCI_GETMARGINWIDTHN, 0UL); };
        QWidget window;
        QVERIFY(showFocused(window, control));
        control.setText(QString("x\n").repeated(998));
        const long narrow = width();
        QVERIFY(narrow > 0);
        // Typing the thousandth line widens the margin by a digit.
        control.setSelection(control.textLength(), 0);
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_VERIFY(width() > narrow);
        control.setText("");
        QCOMPARE(width(), narrow);
    }
};

QTEST_MAIN(TestTextControl)
#include "tst_textcontrol.moc"
