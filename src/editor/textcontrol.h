#pragma once

#include "model/brewpaddefs.h"
#include "model/search.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QList>
#include <QString>

#include <functional>

class QEvent;
class QKeyEvent;
class QMimeData;
class QPoint;
class QWidget;

namespace bp {

// The editor's view of a text control. Every position and length is a
// character offset (UTF-16 code units) into the text with each line break
// counted as the two characters CR LF, whatever the control stores inside.
// Line numbers are 0-based. Queries about one line or one position cost no
// more than a logarithm of the text's size, so that key handling stays
// independent of the document's length.
class TextControl {
public:
    virtual ~TextControl() = default;

    virtual QWidget* widget() = 0;

    // The whole text, line breaks as CR LF.
    virtual QString text() const = 0;
    // Replaces the whole text; any of CR LF, LF or CR counts as a line break.
    // Clears the undo history and the modified flag.
    virtual void setText(const QString& text) = 0;
    // The same from UTF-8 bytes, without a detour through QString where the
    // control can take the bytes directly (large files).
    virtual void setUtf8(const QByteArray& utf8) = 0;
    // The same in pieces, so that a large file need not be held whole:
    // beginLoad with the expected number of bytes (a hint), then appendLoad
    // for each piece in order, then endLoad.
    virtual void beginLoad(qint64 expected) = 0;
    virtual void appendLoad(const char* utf8, qsizetype size) = 0;
    virtual void endLoad() = 0;
    // The whole text as UTF-8 bytes, line breaks as CR LF.
    virtual QByteArray utf8() const = 0;

    // Length of the text in offsets.
    virtual int textLength() const = 0;
    // Number of lines: 0 for an empty text, else one more than the number of
    // line breaks, except that a final line break opens no further line.
    virtual int lineCount() const = 0;
    // The text of one line without its line break.
    virtual QString line(int index) const = 0;
    virtual int lineLength(int index) const = 0;
    // Offset of the first character of a line.
    virtual int lineStart(int index) const = 0;
    // The line holding an offset.
    virtual int lineFromPosition(int position) const = 0;

    virtual int selStart() const = 0;
    virtual int selLength() const = 0;
    // Selects length characters from start; the caret ends at the far end.
    virtual void setSelection(int start, int length) = 0;
    virtual QString selectedText() const = 0;
    // Replaces the selection (or inserts at the caret); the caret ends after
    // the inserted text with an empty selection. One undo step.
    virtual void replaceSelection(const QString& text) = 0;
    // The caret position (the end of the selection that moves).
    virtual int caret() const = 0;

    virtual bool isModified() const = 0;
    virtual void setModified(bool modified) = 0;
    virtual bool isReadOnly() const = 0;
    virtual void setReadOnly(bool readOnly) = 0;

    virtual void undo() = 0;
    virtual bool canUndo() const = 0;
    virtual void cut() = 0;
    virtual void copy() = 0;
    virtual void paste() = 0;
    virtual void deleteSelection() = 0;
    // Searches for searchText from the selection by SearchBuffer's rules and
    // selects the match; false when there is none.
    virtual bool findText(const QString& searchText, TSearchOptions options) = 0;
    // What replaceAll did: whether it replaced anything, and whether its
    // last search found nothing (see TReplaceAllResult).
    struct TReplaceAllDone {
        bool Replaced = false;
        bool EndedByFailure = true;
    };
    // Runs the Replace All loop (see ReplaceAll) from the start of the text,
    // makes its changes one edit and one undo step, and leaves the loop's
    // selection. A read-only control does nothing and replaces nothing.
    virtual TReplaceAllDone replaceAll(const QString& findText, const QString& replaceText,
                                       TSearchOptions options) = 0;

    virtual void scrollCaretIntoView() = 0;
    // The line shown at the top of the control (the line of the row there).
    virtual int firstVisibleLine() const = 0;
    virtual void setFocus() = 0;

    // Font and colours apply to all the text, whatever the syntax colouring.
    virtual void setEditorFont(const QFont& font) = 0;
    virtual void setTextColor(const QColor& color) = 0;
    virtual void setBackgroundColor(const QColor& color) = 0;
    virtual QColor backgroundColor() const = 0;

    // Syntax colouring for a document type (Java and Html coloured, others
    // plain); a control without colouring ignores it.
    virtual void setSyntax(TDocType docType) = 0;

    // Marks the compiler's error lines (0-based; lines the text lacks are
    // ignored) in the control's margin, in place of any marked before. A
    // mark goes when its line is edited. A control without a margin marks
    // nothing.
    virtual void setErrorMarkers(const QList<int>& lines) = 0;
    // The lines marked now, in order.
    virtual QList<int> errorMarkers() const = 0;

    // Hooks: a key press handler returns true to swallow the key; the release
    // handler sees every key release; the context-menu handler gets the
    // position in widget coordinates.
    std::function<bool(QKeyEvent*)> onKeyPress;
    std::function<void(QKeyEvent*)> onKeyRelease;
    std::function<void(const QPoint&)> onContextMenu;
    // Called when the modified flag or the selection may have changed (the
    // rich control also calls it after an update of its view).
    std::function<void()> onStateChange;

protected:
    void stateMayHaveChanged()
    {
        if (onStateChange)
            onStateChange();
    }
};

// For the widgets behind the controls: keys with Ctrl, Alt or Meta are left
// to the application's shortcuts (the main menu) before the widget's own key
// bindings see them. Returns true when the event was handled so.
bool leaveShortcutToMenu(QEvent* event);

// Whether dragged data carries local files: those are the main window's to
// open, not text for the control to insert.
bool carriesFiles(const QMimeData* data);

} // namespace bp
