// Every case runs against both text controls: "rich" (Scintilla) and
// "plain" (QPlainTextEdit).
#include "editor/plaintextcontrol.h"
#include "editor/scitextcontrol.h"

#include <Qsci/qscilexerjava.h>
#include <Qsci/qsciscintilla.h>

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

using namespace bp;

namespace {

enum Kind { Rich, Plain };

// Line 0 "aé😀b" has five offsets (the emoji is a surrogate pair), then
// "xy", an empty line and "z": lines start at 0, 7, 11 and 13; length 14.
const QString Sample = QString::fromUtf8("a\xC3\xA9\xF0\x9F\x98\x80"
                                         "b\r\nxy\r\n\r\nz");

std::unique_ptr<TextControl> makeControl(int kind)
{
    if (kind == Rich)
        return std::make_unique<SciTextControl>();
    return std::make_unique<PlainTextControl>();
}

// The control for the current data row.
std::unique_ptr<TextControl> fetchControl()
{
    QFETCH(int, kind);
    return makeControl(kind);
}

void addKindRows()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("rich") << int(Rich);
    QTest::newRow("plain") << int(Plain);
}

// The bytes of a literal, NUL bytes included.
template <std::size_t N> QByteArray bytes(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

const char* kindName(int kind)
{
    return kind == Rich ? "rich" : "plain";
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

QsciScintilla* sci(TextControl& control)
{
    return qobject_cast<QsciScintilla*>(control.widget());
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
    void lineBreaks_data();
    void lineBreaks();
    void lineQueries_data() { addKindRows(); }
    void lineQueries();
    void lineFromPosition_data();
    void lineFromPosition();
    void selection_data();
    void selection();
    void replaceSelectionIsOneStep_data() { addKindRows(); }
    void replaceSelectionIsOneStep();
    void undoActionGroupsEdits_data() { addKindRows(); }
    void undoActionGroupsEdits();
    void utf8RoundTrip_data() { addKindRows(); }
    void utf8RoundTrip();
    void modifiedFlag_data() { addKindRows(); }
    void modifiedFlag();
    void readOnlyRefusesEdits_data() { addKindRows(); }
    void readOnlyRefusesEdits();
    void keyHooks_data() { addKindRows(); }
    void keyHooks();
    void contextMenuHook_data() { addKindRows(); }
    void contextMenuHook();
    void menuShortcutWins_data() { addKindRows(); }
    void menuShortcutWins();
    void selectionVisibleUnfocused_data() { addKindRows(); }
    void selectionVisibleUnfocused();
    void colours_data() { addKindRows(); }
    void colours();
    void lexerKeepsSettings();
    void marginFollowsLineCount();
};

void TestTextControl::lineBreaks_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("lines");
    for (int kind : {Rich, Plain}) {
        const auto row = [kind](const char* name) -> QTestData& {
            return QTest::addRow("%s %s", kindName(kind), name) << kind;
        };
        row("empty") << ""
                     << "" << 0;
        row("one line") << "abc"
                        << "abc" << 1;
        row("final break") << "a\r\n"
                           << "a\r\n"
                           << 1;
        row("two lines") << "a\r\nb"
                         << "a\r\nb" << 2;
        row("only a break") << "\r\n"
                            << "\r\n"
                            << 1;
        row("LF") << "a\nb\n\nc"
                  << "a\r\nb\r\n\r\nc" << 4;
        row("CR") << "a\rb\r\rc\r"
                  << "a\r\nb\r\n\r\nc\r\n"
                  << 4;
        row("mixed") << "a\r\nb\rc\nd"
                     << "a\r\nb\r\nc\r\nd" << 4;
    }
}

void TestTextControl::lineBreaks()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QFETCH(int, lines);
    auto control = fetchControl();
    control->setText(input);
    QCOMPARE(control->text(), expected);
    QCOMPARE(control->utf8(), expected.toUtf8());
    QCOMPARE(control->textLength(), expected.size());
    QCOMPARE(control->lineCount(), lines);
    QVERIFY(!control->isModified());
    QVERIFY(!control->canUndo());
}

void TestTextControl::lineQueries()
{
    auto control = fetchControl();
    control->setText(Sample);
    QCOMPARE(control->textLength(), 14);
    QCOMPARE(control->lineCount(), 4);
    const QStringList lines{QString::fromUtf8("a\xC3\xA9\xF0\x9F\x98\x80"
                                              "b"),
                            "xy", "", "z"};
    const int starts[] = {0, 7, 11, 13};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(control->line(i), lines[i]);
        QCOMPARE(control->lineLength(i), lines[i].size());
        QCOMPARE(control->lineStart(i), starts[i]);
    }
    // Out of range: nothing, and starts clamped to the text.
    QCOMPARE(control->line(4), QString());
    QCOMPARE(control->lineLength(-1), 0);
    QCOMPARE(control->lineStart(-1), 0);
    QCOMPARE(control->lineStart(9), 14);
}

void TestTextControl::lineFromPosition_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("line");
    for (int kind : {Rich, Plain}) {
        const auto row = [kind](const char* name) -> QTestData& {
            return QTest::addRow("%s %s", kindName(kind), name) << kind;
        };
        row("start") << 0 << 0;
        row("inside the pair") << 3 << 0;
        row("on the CR") << 5 << 0;
        row("on the LF") << 6 << 0;
        row("start of line 1") << 7 << 1;
        row("empty line, on its CR") << 11 << 2;
        row("empty line, on its LF") << 12 << 2;
        row("last line") << 13 << 3;
        row("end") << 14 << 3;
        row("beyond") << 99 << 3;
        row("negative") << -5 << 0;
    }
}

void TestTextControl::lineFromPosition()
{
    QFETCH(int, position);
    QFETCH(int, line);
    auto control = fetchControl();
    control->setText(Sample);
    QCOMPARE(control->lineFromPosition(position), line);
}

void TestTextControl::selection_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("selected");
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    for (int kind : {Rich, Plain}) {
        const auto row = [kind](const char* name) -> QTestData& {
            return QTest::addRow("%s %s", kindName(kind), name) << kind;
        };
        row("across a break") << 2 << 6 << 2 << 6 << 8 << emoji + "b\r\nx";
        row("backwards") << 8 << -6 << 2 << 6 << 2 << emoji + "b\r\nx";
        row("inside the pair") << 3 << 0 << 2 << 0 << 2 << "";
        row("from the LF") << 6 << 2 << 5 << 3 << 8 << "\r\nx";
        row("beyond the end") << 13 << 5 << 13 << 1 << 14 << "z";
        row("everything") << 0 << 14 << 0 << 14 << 14 << Sample;
    }
}

void TestTextControl::selection()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(int, caret);
    QFETCH(QString, selected);
    auto control = fetchControl();
    control->setText(Sample);
    control->setSelection(start, length);
    QCOMPARE(control->selStart(), selStart);
    QCOMPARE(control->selLength(), selLength);
    QCOMPARE(control->caret(), caret);
    QCOMPARE(control->selectedText(), selected);
}

void TestTextControl::replaceSelectionIsOneStep()
{
    auto control = fetchControl();
    control->setText("hello world");
    control->setSelection(6, 5);
    control->replaceSelection("there\nfriend");
    QCOMPARE(control->text(), QString("hello there\r\nfriend"));
    QCOMPARE(control->caret(), 19);
    QCOMPARE(control->selLength(), 0);
    QVERIFY(control->isModified());
    control->undo();
    QCOMPARE(control->text(), QString("hello world"));

    // A selection starting on the LF never leaves half a line break.
    control->setText(Sample);
    control->setSelection(6, 2);
    control->replaceSelection("-");
    QCOMPARE(control->text(), QString::fromUtf8("a\xC3\xA9\xF0\x9F\x98\x80"
                                                "b-y\r\n\r\nz"));
}

void TestTextControl::undoActionGroupsEdits()
{
    auto control = fetchControl();
    control->setText("one two three");
    control->beginUndoAction();
    control->setSelection(0, 3);
    control->replaceSelection("1");
    control->setSelection(2, 3);
    control->replaceSelection("2");
    control->endUndoAction();
    QCOMPARE(control->text(), QString("1 2 three"));
    control->undo();
    QCOMPARE(control->text(), QString("one two three"));
}

void TestTextControl::utf8RoundTrip()
{
    auto control = fetchControl();
    const QByteArray input = bytes("Gr\xC3\xBC\xC3\x9F"
                                   "e\n\xF0\x9F\x98\x80 x\r\nend\0tail");
    const QByteArray expected = bytes("Gr\xC3\xBC\xC3\x9F"
                                      "e\r\n\xF0\x9F\x98\x80 x\r\nend\0tail");
    control->setUtf8(input);
    QCOMPARE(control->utf8(), expected);
    QCOMPARE(control->text(), QString::fromUtf8(expected));
    QCOMPARE(control->lineCount(), 3);
    QCOMPARE(control->line(1), QString::fromUtf8("\xF0\x9F\x98\x80 x"));
    QCOMPARE(control->lineStart(2), 13);
    QCOMPARE(control->lineLength(2), 8);
}

void TestTextControl::modifiedFlag()
{
    auto control = fetchControl();
    QList<bool> reported;
    control->onModifiedChanged = [&](bool modified) { reported << modified; };
    control->setText("abc");
    QVERIFY(!control->isModified());
    QWidget window;
    QVERIFY(showFocused(window, *control));
    QTest::keyClicks(control->widget(), "x");
    QVERIFY(control->isModified());
    control->setModified(false);
    QVERIFY(!control->isModified());
    // Set from outside, as a change of document type does.
    control->setModified(true);
    QVERIFY(control->isModified());
    control->setText("def");
    QVERIFY(!control->isModified());
    QCOMPARE(reported, (QList<bool>{true, false, true, false}));
}

void TestTextControl::readOnlyRefusesEdits()
{
    auto control = fetchControl();
    control->setText("abc");
    control->setReadOnly(true);
    QVERIFY(control->isReadOnly());
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
    control->setReadOnly(false);
    control->setSelection(3, 0);
    QTest::keyClicks(control->widget(), "s");
    QCOMPARE(control->text(), QString("news"));
}

void TestTextControl::keyHooks()
{
    auto control = fetchControl();
    control->setText("ab\r\ncd");
    QWidget window;
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
}

void TestTextControl::contextMenuHook()
{
    auto control = fetchControl();
    QWidget window;
    QVERIFY(showFocused(window, *control));
    QList<QPoint> requests;
    control->onContextMenu = [&](const QPoint& pos) { requests << pos; };
    auto* area = qobject_cast<QAbstractScrollArea*>(control->widget());
    QVERIFY(area);
    QWidget* viewport = area->viewport();
    const QPoint at(20, 15);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &event);
    QCOMPARE(requests, QList<QPoint>{viewport->mapTo(control->widget(), at)});
    QVERIFY(!QApplication::activePopupWidget());
}

void TestTextControl::menuShortcutWins()
{
    auto control = fetchControl();
    QWidget window;
    auto* undoAction = new QAction("Undo", &window);
    undoAction->setShortcut(QKeySequence("Ctrl+Z"));
    window.addAction(undoAction);
    QSignalSpy triggered(undoAction, &QAction::triggered);
    QVERIFY(showFocused(window, *control));
    QTest::keyClicks(control->widget(), "abc");
    QTest::keyClick(control->widget(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(triggered.count(), 1);
    QCOMPARE(control->text(), QString("abc"));
    // Without a shortcut the control's own binding works.
    undoAction->setEnabled(false);
    QTest::keyClick(control->widget(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(control->text(), QString());
}

void TestTextControl::selectionVisibleUnfocused()
{
    auto control = fetchControl();
    QWidget window;
    QVERIFY(showFocused(window, *control));
    auto* other = new QLineEdit(&window);
    window.layout()->addWidget(other);
    control->setText("some words to select");
    other->setFocus();
    QTRY_VERIFY(!control->widget()->hasFocus());
    QWidget* viewport = qobject_cast<QAbstractScrollArea*>(control->widget())->viewport();
    const QImage plain = viewport->grab().toImage();
    control->setSelection(0, 10);
    QVERIFY(viewport->grab().toImage() != plain);
}

void TestTextControl::colours()
{
    QFETCH(int, kind);
    auto control = makeControl(kind);
    const QColor back(10, 40, 90);
    const QColor fore(230, 220, 100);
    control->setBackgroundColor(back);
    control->setTextColor(fore);
    QCOMPARE(control->backgroundColor(), back);
    QWidget window;
    QVERIFY(showFocused(window, *control));
    auto* area = qobject_cast<QAbstractScrollArea*>(control->widget());
    const QImage image = area->viewport()->grab().toImage();
    QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2), back);
    if (kind == Plain) {
        auto* edit = static_cast<PlainTextControl&>(*control).editor();
        QCOMPARE(edit->palette().color(QPalette::Text), fore);
        return;
    }
    QsciScintilla* edit = sci(*control);
    QCOMPARE(
        styleColor(edit, QsciScintillaBase::SCI_STYLEGETBACK, QsciScintillaBase::STYLE_DEFAULT),
        back);
    QCOMPARE(styleColor(edit, QsciScintillaBase::SCI_STYLEGETFORE, 0), fore);
}

// The settings reach the lexer's styles when it is attached after them, and
// reach it while attached; switching the lexer off brings them back for plain
// text.
void TestTextControl::lexerKeepsSettings()
{
    SciTextControl control;
    QsciScintilla* edit = control.editor();
    const QColor back(250, 240, 200);
    const QColor fore(90, 10, 10);
    control.setBackgroundColor(back);
    control.setTextColor(fore);
    control.setEditorFont(QFont("Monospace", 15));
    control.setText("class A { int x; }");

    control.setSyntax(0);
    QVERIFY(qobject_cast<QsciLexerJava*>(edit->lexer()));
    QsciLexer* lexer = edit->lexer();
    const int plain = lexer->defaultStyle();
    QCOMPARE(styleColor(edit, QsciScintillaBase::SCI_STYLEGETBACK, plain), back);
    QCOMPARE(styleColor(edit, QsciScintillaBase::SCI_STYLEGETBACK, QsciLexerJava::Keyword), back);
    QCOMPARE(styleColor(edit, QsciScintillaBase::SCI_STYLEGETFORE, QsciLexerJava::Identifier),
             fore);
    // Syntax colours stay: a keyword keeps the lexer's colour.
    QCOMPARE(styleColor(edit, QsciScintillaBase::SCI_STYLEGETFORE, QsciLexerJava::Keyword),
             lexer->defaultColor(QsciLexerJava::Keyword));
    QCOMPARE(edit->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE,
                                 static_cast<unsigned long>(QsciLexerJava::Comment)),
             15);

    const QColor later(0, 60, 0);
    control.setBackgroundColor(later);
    QCOMPARE(styleColor(edit, QsciScintillaBase::SCI_STYLEGETBACK, plain), later);
    QCOMPARE(
        styleColor(edit, QsciScintillaBase::SCI_STYLEGETBACK, QsciScintillaBase::STYLE_DEFAULT),
        later);

    control.setSyntax(1);
    QVERIFY(edit->lexer() && edit->lexer() != lexer);
    QCOMPARE(styleColor(edit, QsciScintillaBase::SCI_STYLEGETBACK, edit->lexer()->defaultStyle()),
             later);

    control.setSyntax(2);
    QVERIFY(!edit->lexer());
    QCOMPARE(styleColor(edit, QsciScintillaBase::SCI_STYLEGETBACK, 0), later);
    QCOMPARE(styleColor(edit, QsciScintillaBase::SCI_STYLEGETFORE, 0), fore);
    QCOMPARE(edit->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, 0UL), 15);
    QCOMPARE(control.text(), QString("class A { int x; }"));
}

void TestTextControl::marginFollowsLineCount()
{
    SciTextControl control;
    QsciScintilla* edit = control.editor();
    const auto width = [edit] {
        return edit->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0UL);
    };
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

QTEST_MAIN(TestTextControl)
#include "tst_textcontrol.moc"
