#pragma once

#include "editor/softbreaks.h"
#include "editor/textcontrol.h"

#include <QPointer>

#include <string_view>

#include <vector>

class QsciLexer;
class QsciScintilla;

namespace bp {

// The text control of the rich editor window: a Scintilla widget in CR LF
// end-of-line and UTF-8 mode, with Java and HTML syntax colouring and a
// line-number margin. Offsets are turned into Scintilla's byte positions
// through its UTF-16 line index, so a conversion costs a logarithm of the
// text plus at most the length of one line. An overlong line goes in cut
// into rows (see TSoftBreaks): each soft break is a lone LF in the widget,
// where every line break of the text is a CR LF, so that undo and redo bring
// the rows back with the text. The widget announces each change only before
// it is made (its textChanged and linesChanged signals stay silent: each of
// those costs time in proportion to the position of the change).
class SciTextControl : public TextControl {
public:
    SciTextControl();
    ~SciTextControl() override;
    SciTextControl(const SciTextControl&) = delete;
    SciTextControl& operator=(const SciTextControl&) = delete;

    QWidget* widget() override;
    // The Scintilla widget itself, for printing.
    QsciScintilla* editor() const;

    QString text() const override;
    void setText(const QString& text) override;
    void setUtf8(const QByteArray& utf8) override;
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
    // Red circles in a narrow margin beside the line numbers.
    void setErrorMarkers(const QList<int>& lines) override;
    QList<int> errorMarkers() const override;

private:
    long send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;
    // Scintilla's line count, which counts the empty line after a final break.
    long sciLines() const;
    long lineIndex(long line) const;
    long positionFromOffset(int offset) const;
    int offsetFromPosition(long position) const;
    // The widget's UTF-16 offset of an offset (past the soft breaks before it).
    long sciOffset(long offset) const;
    // A widget's byte position as a position in the text's UTF-8 bytes, and
    // back; a text position at a soft break goes after it or before it.
    long textPosition(long position) const;
    long widgetPosition(long position, bool afterSoftBreak) const;
    QByteArray bytesRange(long from, long to) const;
    QString textRange(long from, long to) const;
    // The text as Scintilla holds it, UTF-8 with CR LF line breaks, without a
    // copy; valid until the next change.
    std::string_view utf8View() const;
    // Loads UTF-8 bytes as the new text with CR LF line breaks.
    void beginLoad(qint64 expected) override;
    void appendLoad(const char* utf8, qsizetype size) override;
    void endLoad() override;
    // Cuts the first SplitAbove bytes of the line being loaded into rows,
    // once it turns out longer; returns the bytes of its last row.
    long cutLoadedLine();
    // Keeps the soft breaks in step with a change about to be made, and
    // with an insertion once it is made.
    void trackChange(int type, long position, long length);
    void settleInsertion() const;
    // The soft breaks, up to date.
    const TSoftBreaks& soft() const;
    // Attaches the lexer of the syntax unless an overlong line is cut into rows.
    void updateLexer();
    void applyStyles();
    void applyLexerStyles(QsciLexer* lexer);
    void updateMarginWidth(bool force);
    // The widget's line where a line of the text starts, and back.
    long widgetLine(int line) const;
    int textLine(long widgetLine) const;
    // Takes the error marks off the widget's lines first to last.
    void clearErrorMarkers(long first, long last);

    QPointer<QsciScintilla> FEdit;
    QsciLexer* FJavaLexer = nullptr;
    QsciLexer* FHtmlLexer = nullptr;
    QsciLexer* FSyntax = nullptr; // the lexer of the document type
    QFont FFont;
    QColor FTextColor;
    QColor FBackColor;
    // Scintilla can only clear its modified flag; a modification set from
    // outside (a changed document type) is kept here until the next clear.
    bool FForcedModified = false;
    mutable TSoftBreaks FSoft;
    // The latest insertion until its line breaks are counted: where, how
    // many bytes, and the rows before it.
    mutable long FInsertion = 0;
    mutable long FInsertionLength = 0;
    mutable long FInsertionRows = 0;
    // While loading: whether the last piece ended with a CR, whether the
    // control was read-only, the scratch buffer for line-end conversion, the
    // bytes of the line and of the row so far, and the rows before it.
    bool FLoadAfterCr = false;
    bool FLoadReadOnly = false;
    // Between beginLoad and endLoad.
    bool FLoading = false;
    std::vector<char> FLoadBuffer;
    long FLoadRun = 0;
    long FLoadRowBytes = 0;
    long FLoadRows = 0;
    int FMarginDigits = 0;
    // Whether any error mark may be left, so that edits look for none
    // otherwise.
    bool FHasErrorMarkers = false;
};

} // namespace bp
