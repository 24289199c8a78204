#include "editor/plaintextcontrol.h"

#include "editor/hookedwidget.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace bp {

namespace {

QString withCrLf(QString text)
{
    return text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
}

// The widget: keeps Tab in the control even when it is read-only, and
// makes Shift+Enter an ordinary line break.
class PlainEdit : public HookedWidget<QPlainTextEdit> {
public:
    using HookedWidget::HookedWidget;

protected:
    void ownKeyPress(QKeyEvent* e) override
    {
        // Shift+Enter would put a line separator inside the line, a break
        // that is no line break for the rest of the program.
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
            (e->modifiers() & Qt::ShiftModifier)) {
            QKeyEvent plain(e->type(), e->key(), e->modifiers() & ~Qt::ShiftModifier, e->text(),
                            e->isAutoRepeat(), e->count());
            QPlainTextEdit::keyPressEvent(&plain);
            e->setAccepted(plain.isAccepted());
            return;
        }
        QPlainTextEdit::keyPressEvent(e);
    }

    bool focusNextPrevChild(bool) override { return false; }
};

} // namespace

PlainTextControl::PlainTextControl()
{
    auto* edit = new PlainEdit(*this);
    FEdit = edit;
    FTextColor = edit->palette().color(QPalette::Text);
    FBackColor = edit->palette().color(QPalette::Base);
    edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    edit->setTabChangesFocus(false);
    edit->setUndoRedoEnabled(true);
    applyPalette();
    QObject::connect(edit, &QPlainTextEdit::modificationChanged, edit,
                     [this] { stateMayHaveChanged(); });
    QObject::connect(edit, &QPlainTextEdit::selectionChanged, edit,
                     [this] { stateMayHaveChanged(); });
}

PlainTextControl::~PlainTextControl()
{
    delete FEdit.data();
}

QWidget* PlainTextControl::widget()
{
    return FEdit;
}

QPlainTextEdit* PlainTextControl::editor() const
{
    return FEdit;
}

QTextBlock PlainTextControl::blockAtOffset(int offset) const
{
    // The block's first offset is its document position plus one for each
    // line break before it: the greatest block whose first offset is not
    // past the offset holds it.
    const QTextDocument* doc = FEdit->document();
    int low = 0;
    int high = doc->blockCount() - 1;
    while (low < high) {
        const int mid = low + (high - low + 1) / 2;
        if (doc->findBlockByNumber(mid).position() + mid <= offset)
            low = mid;
        else
            high = mid - 1;
    }
    return doc->findBlockByNumber(low);
}

int PlainTextControl::positionFromOffset(int offset) const
{
    const QTextBlock block = blockAtOffset(std::max(offset, 0));
    const int inBlock = std::max(offset, 0) - block.position() - block.blockNumber();
    const int position = block.position() + std::clamp(inBlock, 0, block.length() - 1);
    // An offset inside a surrogate pair rounds down to the start of the pair.
    if (position > block.position() && FEdit->document()->characterAt(position).isLowSurrogate() &&
        FEdit->document()->characterAt(position - 1).isHighSurrogate())
        return position - 1;
    return position;
}

int PlainTextControl::offsetFromPosition(int position) const
{
    return position + FEdit->document()->findBlock(position).blockNumber();
}

QString PlainTextControl::text() const
{
    return withCrLf(FEdit->document()->toRawText());
}

void PlainTextControl::setText(const QString& text)
{
    // Any of CR LF, LF and CR becomes a block break.
    FEdit->setPlainText(text);
    FEdit->document()->setModified(false);
}

void PlainTextControl::setUtf8(const QByteArray& utf8)
{
    setText(QString::fromUtf8(utf8));
}

void PlainTextControl::beginLoad(qint64 expected)
{
    FLoadText.clear();
    FLoadText.reserve(qsizetype(std::max<qint64>(expected, 0)));
}

void PlainTextControl::appendLoad(const char* utf8, qsizetype size)
{
    FLoadText.append(utf8, size);
}

void PlainTextControl::endLoad()
{
    setUtf8(FLoadText);
    FLoadText = QByteArray();
}

QByteArray PlainTextControl::utf8() const
{
    return text().toUtf8();
}

int PlainTextControl::textLength() const
{
    const QTextDocument* doc = FEdit->document();
    // characterCount counts one separator after the last block too.
    return doc->characterCount() - 1 + doc->blockCount() - 1;
}

int PlainTextControl::lineCount() const
{
    if (textLength() == 0)
        return 0;
    const QTextDocument* doc = FEdit->document();
    // An empty last block follows a final line break; it is no line.
    return doc->blockCount() - (doc->lastBlock().length() == 1 ? 1 : 0);
}

QString PlainTextControl::line(int index) const
{
    const QTextBlock block = FEdit->document()->findBlockByNumber(index);
    return block.isValid() ? block.text() : QString();
}

int PlainTextControl::lineLength(int index) const
{
    const QTextBlock block = FEdit->document()->findBlockByNumber(index);
    return block.isValid() ? block.length() - 1 : 0;
}

int PlainTextControl::lineStart(int index) const
{
    if (index < 0)
        return 0;
    const QTextBlock block = FEdit->document()->findBlockByNumber(index);
    return block.isValid() ? block.position() + index : textLength();
}

int PlainTextControl::lineFromPosition(int position) const
{
    return blockAtOffset(std::clamp(position, 0, textLength())).blockNumber();
}

int PlainTextControl::selStart() const
{
    return offsetFromPosition(FEdit->textCursor().selectionStart());
}

int PlainTextControl::selLength() const
{
    return offsetFromPosition(FEdit->textCursor().selectionEnd()) - selStart();
}

void PlainTextControl::setSelection(int start, int length)
{
    const qint64 end = std::clamp(qint64(start) + length, qint64(0), qint64(textLength()));
    QTextCursor cursor(FEdit->document());
    cursor.setPosition(positionFromOffset(start));
    cursor.setPosition(positionFromOffset(int(end)), QTextCursor::KeepAnchor);
    // Selecting does not scroll (scrollCaretIntoView does); the widget would.
    const int h = FEdit->horizontalScrollBar()->value();
    const int v = FEdit->verticalScrollBar()->value();
    FEdit->setTextCursor(cursor);
    FEdit->horizontalScrollBar()->setValue(h);
    FEdit->verticalScrollBar()->setValue(v);
}

QString PlainTextControl::selectedText() const
{
    return withCrLf(FEdit->textCursor().selectedText());
}

void PlainTextControl::replaceSelection(const QString& text)
{
    if (FEdit->isReadOnly())
        return;
    QTextCursor cursor = FEdit->textCursor();
    cursor.beginEditBlock();
    cursor.insertText(text);
    cursor.endEditBlock();
    FEdit->setTextCursor(cursor);
}

bool PlainTextControl::findText(const QString& searchText, TSearchOptions options)
{
    const QString all = text();
    const qsizetype pos =
        SearchBuffer(searchView(all), selStart(), selLength(), searchView(searchText), options);
    if (pos < 0)
        return false;
    setSelection(int(pos), int(searchText.size()));
    return true;
}

TextControl::TReplaceAllDone PlainTextControl::replaceAll(const QString& findText,
                                                          const QString& replaceText,
                                                          TSearchOptions options)
{
    if (FEdit->isReadOnly())
        return {};
    const QString all = text();
    const TReplaceAllResult result =
        ReplaceAll(searchView(all), 0, searchView(findText), searchView(replaceText), options);
    if (result.Count() > 0) {
        QTextCursor cursor(FEdit->document());
        cursor.beginEditBlock();
        cursor.select(QTextCursor::Document);
        cursor.insertText(ApplyReplacements(searchView(all), result.Matches, searchView(replaceText)));
        cursor.endEditBlock();
    }
    setSelection(int(result.SelStart), int(result.SelLength));
    return {result.Count() > 0, result.EndedByFailure};
}

int PlainTextControl::caret() const
{
    return offsetFromPosition(FEdit->textCursor().position());
}

bool PlainTextControl::isModified() const
{
    return FEdit->document()->isModified();
}

void PlainTextControl::setModified(bool modified)
{
    FEdit->document()->setModified(modified);
}

bool PlainTextControl::isReadOnly() const
{
    return FEdit->isReadOnly();
}

void PlainTextControl::setReadOnly(bool readOnly)
{
    FEdit->setReadOnly(readOnly);
    // A read-only text can still be walked and selected with the keyboard.
    if (readOnly)
        FEdit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void PlainTextControl::undo()
{
    if (!FEdit->isReadOnly())
        FEdit->undo();
}

bool PlainTextControl::canUndo() const
{
    return !FEdit->isReadOnly() && FEdit->document()->isUndoAvailable();
}

void PlainTextControl::cut()
{
    FEdit->cut();
}

void PlainTextControl::copy()
{
    FEdit->copy();
}

void PlainTextControl::paste()
{
    FEdit->paste();
}

void PlainTextControl::deleteSelection()
{
    QTextCursor cursor = FEdit->textCursor();
    if (FEdit->isReadOnly() || !cursor.hasSelection())
        return;
    cursor.removeSelectedText();
    FEdit->setTextCursor(cursor);
}

void PlainTextControl::scrollCaretIntoView()
{
    FEdit->ensureCursorVisible();
}

void PlainTextControl::setFocus()
{
    FEdit->setFocus();
}

void PlainTextControl::setEditorFont(const QFont& font)
{
    FEdit->setFont(font);
}

void PlainTextControl::setTextColor(const QColor& color)
{
    FTextColor = color;
    applyPalette();
}

void PlainTextControl::setBackgroundColor(const QColor& color)
{
    FBackColor = color;
    applyPalette();
}

QColor PlainTextControl::backgroundColor() const
{
    return FBackColor;
}

void PlainTextControl::setSyntax(TDocType)
{
    // Plain text only.
}

void PlainTextControl::applyPalette()
{
    QPalette palette = FEdit->palette();
    palette.setColor(QPalette::Text, FTextColor);
    palette.setColor(QPalette::Base, FBackColor);
    // The selection stays visible, in the same colours, when the control
    // loses the focus.
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    FEdit->setPalette(palette);
}

} // namespace bp
