#pragma once

#include "editor/softbreaks.h"
#include "editor/textcontrol.h"

#include <QPointer>

#include <vector>

class QPlainTextEdit;
class QTextBlock;
class QTextCursor;

namespace bp {

// The text control of the plain editor window, on QPlainTextEdit. The
// document stores each line break as one paragraph separator between blocks;
// offsets are turned into document positions through the block numbers,
// which costs a logarithm of the text per conversion. An overlong line goes
// in cut into rows (see TSoftBreaks), one block each: a block after a soft
// break carries a block format property that says so, and undo and redo
// bring it back with the text.
class PlainTextControl : public TextControl {
public:
    PlainTextControl();
    ~PlainTextControl() override;
    PlainTextControl(const PlainTextControl&) = delete;
    PlainTextControl& operator=(const PlainTextControl&) = delete;

    QWidget* widget() override;
    QPlainTextEdit* editor() const;

    QString text() const override;
    void setText(const QString& text) override;
    void setUtf8(const QByteArray& utf8) override;
    void beginLoad(qint64 expected) override;
    void appendLoad(const char* utf8, qsizetype size) override;
    void endLoad() override;
    QByteArray utf8() const override;

    int textLength() const override;
    int lineCount() const override;
    QString line(int index) const override;
    int lineLength(int index) const override;
    int lineStart(int index) const override;
    int lineFromPosition(int position) const override;

    int selStart() const override;
    int selLength() const override;
    void setSelection(int start, int length) override;
    QString selectedText() const override;
    void replaceSelection(const QString& text) override;
    bool findText(const QString& searchText, TSearchOptions options) override;
    TReplaceAllDone replaceAll(const QString& findText, const QString& replaceText,
                               TSearchOptions options) override;
    int caret() const override;

    bool isModified() const override;
    void setModified(bool modified) override;
    bool isReadOnly() const override;
    void setReadOnly(bool readOnly) override;

    void undo() override;
    bool canUndo() const override;
    void cut() override;
    void copy() override;
    void paste() override;
    void deleteSelection() override;

    void scrollCaretIntoView() override;
    int firstVisibleLine() const override;
    void setFocus() override;

    void setEditorFont(const QFont& font) override;
    void setTextColor(const QColor& color) override;
    void setBackgroundColor(const QColor& color) override;
    QColor backgroundColor() const override;

    void setSyntax(TDocType docType) override;
    void setErrorMarkers(const QList<int>& lines) override;
    QList<int> errorMarkers() const override;

private:
    QByteArray FLoadText; // the pieces of a load in progress
    // Offset of a document position, and the document position of an offset
    // (an offset inside a line break gives the end of its line).
    int offsetFromPosition(int position) const;
    int positionFromOffset(int offset) const;
    // The offset at which a block starts, and the block holding an offset
    // (at a soft break, the block after it).
    int blockOffset(const QTextBlock& block) const;
    QTextBlock blockAtOffset(int offset) const;
    // Raw document text (blocks parted by paragraph separators) from block
    // `row` on, with CR LF for each line break and nothing for a soft break.
    QString withLineBreaks(const QString& raw, long row) const;
    // Inserts text at the cursor, its line breaks as line breaks even in a
    // row after a soft break (whose format new blocks would copy).
    void insertText(QTextCursor& cursor, const QString& text);
    // Marks the blocks after the given rows as rows after a soft break.
    void markSoftBreaks(QTextCursor& cursor, const std::vector<long>& rows);
    // Keeps the soft breaks in step with a change of the document.
    void trackChange(int from, int added);
    void applyPalette();

    QPointer<QPlainTextEdit> FEdit;
    QColor FTextColor;
    QColor FBackColor;
    TSoftBreaks FSoft;
    // The document's block count before the latest change.
    int FBlockCount = 1;
    // While loading, the soft breaks are recorded as they are cut; only a
    // text that had soft breaks since its load can get any back (by undo).
    bool FLoading = false;
    bool FHadSoftBreaks = false;
};

} // namespace bp
