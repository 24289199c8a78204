#include "editor/plaintextcontrol.h"

#include "editor/hookedwidget.h"

#include <QFontDatabase>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace bp {

namespace {

// Marks a block that follows a soft break (a bool).
constexpr int SoftBreakBefore = QTextFormat::UserProperty + 1;

QString withCrLf(QString text)
{
    return text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
}

bool followsSoftBreak(const QTextBlock& block)
{
    return block.isValid() && block.blockNumber() > 0 &&
           block.blockFormat().boolProperty(SoftBreakBefore);
}

// The widget: keeps Tab in the control even when it is read-only, and
// makes Shift+Enter an ordinary line break.
class PlainEdit : public HookedWidget<QPlainTextEdit> {
public:
    using HookedWidget::HookedWidget;

protected:
    void ownKeyPress(QKeyEvent* e) override
    {
        // Enter in a row after a soft break would copy the row's format, and
        // with it the soft break, into the new block.
        const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        if (enter && insertsAfterSoftBreak()) {
            FOwner.replaceSelection(QStringLiteral("\n"));
            e->accept();
            return;
        }
        if ((e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete) && !isReadOnly() &&
            !textCursor().hasSelection())
            stepOverSoftBreaks(e->key() == Qt::Key_Backspace);
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

    // The clipboard and a drag get the text, without the soft breaks.
    QMimeData* createMimeDataFromSelection() const override
    {
        const QTextCursor cursor = textCursor();
        const QTextBlock last = document()->findBlock(cursor.selectionEnd());
        for (QTextBlock block = document()->findBlock(cursor.selectionStart()); block != last;) {
            block = block.next();
            if (followsSoftBreak(block)) {
                auto* data = new QMimeData;
                data->setText(
                    FOwner.selectedText().replace(QLatin1String("\r\n"), QLatin1String("\n")));
                return data;
            }
        }
        return QPlainTextEdit::createMimeDataFromSelection();
    }

    void insertFromMimeData(const QMimeData* source) override
    {
        if (source->hasText() && insertsAfterSoftBreak())
            FOwner.replaceSelection(source->text());
        else
            QPlainTextEdit::insertFromMimeData(source);
    }

private:
    // Whether what is typed or pasted goes into a row after a soft break.
    bool insertsAfterSoftBreak() const
    {
        return followsSoftBreak(document()->findBlock(textCursor().selectionStart()));
    }

    // Backspace and Delete at a soft break act on the character beyond it:
    // the break itself is no part of the text.
    void stepOverSoftBreaks(bool back)
    {
        QTextCursor cursor = textCursor();
        bool moved = false;
        if (back) {
            while (cursor.atBlockStart() && followsSoftBreak(cursor.block()))
                moved = cursor.movePosition(QTextCursor::PreviousCharacter);
        } else {
            while (cursor.atBlockEnd() && followsSoftBreak(cursor.block().next()))
                moved = cursor.movePosition(QTextCursor::NextCharacter);
        }
        if (moved)
            setTextCursor(cursor);
    }
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
    QObject::connect(edit->document(), &QTextDocument::contentsChange, edit,
                     [this](int from, int, int added) { trackChange(from, added); });
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

int PlainTextControl::blockOffset(const QTextBlock& block) const
{
    // The document position plus one for each line break before the block
    // (a CR LF in offsets) less one for each soft break (nothing).
    const int number = block.blockNumber();
    return block.position() + number - 2 * int(FSoft.softBefore(number));
}

QTextBlock PlainTextControl::blockAtOffset(int offset) const
{
    // The greatest block whose first offset is not past the offset holds it.
    const QTextDocument* doc = FEdit->document();
    int low = 0;
    int high = doc->blockCount() - 1;
    while (low < high) {
        const int mid = low + (high - low + 1) / 2;
        if (blockOffset(doc->findBlockByNumber(mid)) <= offset)
            low = mid;
        else
            high = mid - 1;
    }
    return doc->findBlockByNumber(low);
}

int PlainTextControl::positionFromOffset(int offset) const
{
    const QTextBlock block = blockAtOffset(std::max(offset, 0));
    const int inBlock = std::max(offset, 0) - blockOffset(block);
    const int position = block.position() + std::clamp(inBlock, 0, block.length() - 1);
    // An offset inside a surrogate pair rounds down to the start of the pair.
    if (position > block.position() && FEdit->document()->characterAt(position).isLowSurrogate() &&
        FEdit->document()->characterAt(position - 1).isHighSurrogate())
        return position - 1;
    return position;
}

int PlainTextControl::offsetFromPosition(int position) const
{
    const QTextBlock block = FEdit->document()->findBlock(position);
    return position - block.position() + blockOffset(block);
}

QString PlainTextControl::withLineBreaks(const QString& raw, long row) const
{
    if (FSoft.isEmpty())
        return withCrLf(raw);
    QString result;
    result.reserve(raw.size() + raw.size() / 16);
    qsizetype from = 0;
    for (qsizetype at; (at = raw.indexOf(QChar::ParagraphSeparator, from)) >= 0; ++row) {
        result.append(QStringView(raw).mid(from, at - from));
        if (!FSoft.endsSoft(row))
            result.append(QLatin1String("\r\n"));
        from = at + 1;
    }
    result.append(QStringView(raw).mid(from));
    return result;
}

QString PlainTextControl::text() const
{
    return withLineBreaks(FEdit->document()->toRawText(), 0);
}

void PlainTextControl::setText(const QString& text)
{
    // Any of CR LF, LF and CR becomes a block break.
    std::vector<long> softRows;
    const QString rows = WithRows(text, softRows);
    QTextDocument* doc = FEdit->document();
    FLoading = true;
    FEdit->setPlainText(softRows.empty() ? text : rows);
    FLoading = false;
    FSoft.clear();
    FHadSoftBreaks = !softRows.empty();
    if (FHadSoftBreaks) {
        doc->setUndoRedoEnabled(false);
        QTextCursor cursor(doc);
        markSoftBreaks(cursor, softRows);
        doc->setUndoRedoEnabled(true);
    }
    doc->setModified(false);
}

void PlainTextControl::markSoftBreaks(QTextCursor& cursor, const std::vector<long>& rows)
{
    // One edit: the layout hears of it once, as a change of many blocks,
    // and lays out none of them before they are shown.
    QTextBlockFormat format;
    format.setProperty(SoftBreakBefore, true);
    const QTextDocument* doc = cursor.document();
    cursor.beginEditBlock();
    for (const long row : rows) {
        cursor.setPosition(doc->findBlockByNumber(int(row) + 1).position());
        cursor.setBlockFormat(format);
    }
    cursor.endEditBlock();
}

void PlainTextControl::insertText(QTextCursor& cursor, const QString& text)
{
    const int start = FEdit->document()->findBlock(cursor.selectionStart()).blockNumber();
    const bool afterSoftBreak = followsSoftBreak(FEdit->document()->findBlockByNumber(start));
    cursor.insertText(text);
    if (!afterSoftBreak || cursor.blockNumber() == start)
        return;
    QTextCursor added(cursor);
    added.setPosition(FEdit->document()->findBlockByNumber(start + 1).position());
    added.setPosition(cursor.position(), QTextCursor::KeepAnchor);
    added.setBlockFormat(QTextBlockFormat());
}

void PlainTextControl::trackChange(int from, int added)
{
    const QTextDocument* doc = FEdit->document();
    const int blocks = doc->blockCount();
    const long grown = blocks - FBlockCount;
    FBlockCount = blocks;
    if (FLoading || !FHadSoftBreaks)
        return;
    // The breaks at the ends of rows `first` to `last` - 1 now stand where
    // `last` - `grown` - `first` breaks stood; the format of the block the
    // change starts in may have changed the break before it.
    const long first = std::max(doc->findBlock(from).blockNumber() - 1, 0);
    const long last =
        doc->findBlock(std::min(from + added, doc->characterCount() - 1)).blockNumber();
    FSoft.removeBreaks(first, last - grown - first);
    std::vector<long> soft;
    QTextBlock block = doc->findBlockByNumber(int(first) + 1);
    for (long row = first; row < last; ++row, block = block.next()) {
        if (followsSoftBreak(block))
            soft.push_back(row - first);
    }
    FSoft.insertBreaks(first, last - first, soft);
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
    return doc->characterCount() - 1 + doc->blockCount() - 1 - 2 * int(FSoft.count());
}

int PlainTextControl::lineCount() const
{
    if (textLength() == 0)
        return 0;
    const QTextDocument* doc = FEdit->document();
    // An empty last block follows a final line break; it is no line. An
    // empty row after a soft break is part of a line.
    const QTextBlock last = doc->lastBlock();
    const bool finalBreak = last.length() == 1 && !FSoft.endsSoft(last.blockNumber() - 1);
    return doc->blockCount() - int(FSoft.count()) - (finalBreak ? 1 : 0);
}

QString PlainTextControl::line(int index) const
{
    const QTextDocument* doc = FEdit->document();
    const long first = FSoft.firstRowOfLine(index);
    if (index < 0 || first >= doc->blockCount())
        return QString();
    const long last = std::min<long>(FSoft.firstRowOfLine(index + 1), doc->blockCount()) - 1;
    QString result;
    QTextBlock block = doc->findBlockByNumber(int(first));
    for (long row = first; row <= last; ++row, block = block.next())
        result += block.text();
    return result;
}

int PlainTextControl::lineLength(int index) const
{
    const QTextDocument* doc = FEdit->document();
    const long first = FSoft.firstRowOfLine(index);
    if (index < 0 || first >= doc->blockCount())
        return 0;
    const long last = std::min<long>(FSoft.firstRowOfLine(index + 1), doc->blockCount()) - 1;
    const QTextBlock lastBlock = doc->findBlockByNumber(int(last));
    return blockOffset(lastBlock) + lastBlock.length() - 1 -
           blockOffset(doc->findBlockByNumber(int(first)));
}

int PlainTextControl::lineStart(int index) const
{
    if (index < 0)
        return 0;
    const QTextBlock block = FEdit->document()->findBlockByNumber(int(FSoft.firstRowOfLine(index)));
    return block.isValid() ? blockOffset(block) : textLength();
}

int PlainTextControl::lineFromPosition(int position) const
{
    return int(FSoft.lineOfRow(blockAtOffset(std::clamp(position, 0, textLength())).blockNumber()));
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
    const QTextCursor cursor = FEdit->textCursor();
    return withLineBreaks(cursor.selectedText(),
                          FEdit->document()->findBlock(cursor.selectionStart()).blockNumber());
}

void PlainTextControl::replaceSelection(const QString& text)
{
    if (FEdit->isReadOnly())
        return;
    QTextCursor cursor = FEdit->textCursor();
    cursor.beginEditBlock();
    insertText(cursor, text);
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
        // The new text goes in with its overlong lines cut into rows, as a
        // loaded one; one undo step takes it all back.
        std::vector<long> softRows;
        const QString replaced =
            ApplyReplacements(searchView(all), result.Matches, searchView(replaceText));
        const QString rows = WithRows(replaced, softRows);
        FHadSoftBreaks = FHadSoftBreaks || !softRows.empty();
        QTextCursor cursor(FEdit->document());
        cursor.beginEditBlock();
        cursor.select(QTextCursor::Document);
        cursor.insertText(softRows.empty() ? replaced : rows);
        markSoftBreaks(cursor, softRows);
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

int PlainTextControl::firstVisibleLine() const
{
    return int(FSoft.lineOfRow(FEdit->cursorForPosition(QPoint(0, 0)).blockNumber()));
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

void PlainTextControl::setErrorMarkers(const QList<int>&)
{
    // No margin to mark: the output list names the lines.
}

QList<int> PlainTextControl::errorMarkers() const
{
    return {};
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
