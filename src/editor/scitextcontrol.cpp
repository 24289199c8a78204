#include "editor/scitextcontrol.h"

#include "editor/hookedwidget.h"
#include "editor/scitextcontrol_p.h"
#include "editor/softbreaks.h"

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjava.h>
#include <Qsci/qsciscintilla.h>

#include <QFontDatabase>
#include <QFontInfo>

#include <algorithm>
#include <cstring>
#include <vector>

namespace bp {

namespace {

using namespace scidetail;

// The number of bytes of the well-formed UTF-8 character at s (at most n
// bytes available), and through units how many UTF-16 code units it takes.
// A byte that starts no well-formed character counts as one byte and one
// unit, as Scintilla counts it.
int utf8CharLength(const unsigned char* s, qsizetype n, int& units)
{
    units = 1;
    const unsigned char c = s[0];
    if (c < 0x80)
        return 1;
    const auto cont = [&](qsizetype i, unsigned char lo = 0x80, unsigned char hi = 0xBF) {
        return i < n && s[i] >= lo && s[i] <= hi;
    };
    if (c >= 0xC2 && c <= 0xDF)
        return cont(1) ? 2 : 1;
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned char lo = c == 0xE0 ? 0xA0 : 0x80;
        const unsigned char hi = c == 0xED ? 0x9F : 0xBF;
        return cont(1, lo, hi) && cont(2) ? 3 : 1;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned char lo = c == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = c == 0xF4 ? 0x8F : 0xBF;
        if (cont(1, lo, hi) && cont(2) && cont(3)) {
            units = 2;
            return 4;
        }
    }
    return 1;
}

// The widget: types Tab as a tab character.
class SciEdit : public HookedWidget<QsciScintilla> {
public:
    using HookedWidget::HookedWidget;

protected:
    void ownKeyPress(QKeyEvent* e) override
    {
        // Scintilla would indent a block of lines or rewrite the indentation;
        // a Tab replaces the selection with one tab character.
        if (e->key() == Qt::Key_Tab && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            FOwner.replaceSelection(QStringLiteral("\t"));
            e->accept();
            return;
        }
        if ((e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete) && !isReadOnly() &&
            SendScintilla(SCI_GETSELECTIONSTART) == SendScintilla(SCI_GETSELECTIONEND))
            stepOverSoftBreaks(e->key() == Qt::Key_Backspace);
        QsciScintilla::keyPressEvent(e);
    }

    // The clipboard and a drag get the text, without the soft breaks.
    QMimeData* toMimeData(const QByteArray& text, bool rectangular) const override
    {
        return QsciScintilla::toMimeData(WithoutSoftBreaks(text), rectangular);
    }

private:
    // Backspace and Delete at a soft break act on the character beyond it:
    // the break itself is no part of the text.
    void stepOverSoftBreaks(bool back)
    {
        const auto at = [this](long position) {
            return char(SendScintilla(SCI_GETCHARAT, position));
        };
        const long caret = SendScintilla(SCI_GETCURRENTPOS);
        long position = caret;
        if (back) {
            while (position > 0 && at(position - 1) == '\n' &&
                   (position < 2 || at(position - 2) != '\r'))
                --position;
        } else {
            const long length = SendScintilla(SCI_GETLENGTH);
            while (position < length && at(position) == '\n' &&
                   (position == 0 || at(position - 1) != '\r'))
                ++position;
        }
        if (position != caret)
            SendScintilla(SCI_SETEMPTYSELECTION, position);
    }
};

} // namespace

SciTextControl::SciTextControl() : FFont(QFontDatabase::systemFont(QFontDatabase::FixedFont))
{
    auto* edit = new SciEdit(*this);
    FEdit = edit;
    FTextColor = edit->palette().color(QPalette::Text);
    FBackColor = edit->palette().color(QPalette::Base);

    edit->setUtf8(true);
    edit->setEolMode(QsciScintilla::EolWindows);
    send(Sci::SCI_SETPASTECONVERTENDINGS, 1);
    edit->setWrapMode(QsciScintilla::WrapNone);
    send(Sci::SCI_SETHSCROLLBAR, 1);
    send(Sci::SCI_SETVSCROLLBAR, 1);
    // The horizontal scroll range follows the widest line shown.
    send(Sci::SCI_SETSCROLLWIDTH, 1);
    send(Sci::SCI_SETSCROLLWIDTHTRACKING, 1);
    // Rows stay laid out while the view scrolls or the caret moves among them.
    send(Sci::SCI_SETLAYOUTCACHE, Sci::SC_CACHE_PAGE);
    edit->setAutoIndent(false);
    edit->setIndentationsUseTabs(true);
    send(Sci::SCI_ALLOCATELINECHARACTERINDEX, Utf16Index);

    edit->setMarginLineNumbers(0, true);
    edit->setMarginWidth(2, 0);
    // A narrow margin of its own for the compiler's error marks, always
    // there so that the text does not move sideways as they come and go.
    send(Sci::SCI_SETMARGINTYPEN, MarkerMargin, Sci::SC_MARGIN_SYMBOL);
    send(Sci::SCI_SETMARGINMASKN, MarkerMargin, ErrorMarkerMask);
    send(Sci::SCI_MARKERDEFINE, ErrorMarker, Sci::SC_MARK_CIRCLE);
    send(Sci::SCI_MARKERSETFORE, ErrorMarker, sciColor(QColor(0x80, 0, 0)));
    send(Sci::SCI_MARKERSETBACK, ErrorMarker, sciColor(QColor(0xe0, 0x20, 0x20)));

    // Only the announcements before a change: the widget answers those after
    // one by counting the characters from the start of the text up to the
    // change (for its accessibility events), a cost that grows with the
    // position of every key typed. The margin and the syntax colours follow
    // the text after each update of the view.
    send(Sci::SCI_SETMODEVENTMASK, TrackedChanges);
    QObject::connect(edit, &QsciScintillaBase::SCN_MODIFIED, edit,
                     [this](int position, int type, const char*, int length, int, int, int, int,
                            int, int) { trackChange(type, position, length); });
    QObject::connect(edit, &QsciScintillaBase::SCN_UPDATEUI, edit, [this](int) {
        updateLexer();
        updateMarginWidth(false);
        stateMayHaveChanged();
    });
    QObject::connect(edit, &QsciScintilla::modificationChanged, edit,
                     [this] { stateMayHaveChanged(); });

    edit->setFont(FFont);
    applyStyles();
}

SciTextControl::~SciTextControl()
{
    delete FEdit.data();
}

QWidget* SciTextControl::widget()
{
    return FEdit;
}

QsciScintilla* SciTextControl::editor() const
{
    return FEdit;
}

long SciTextControl::send(unsigned int message, unsigned long wParam, long lParam) const
{
    return FEdit->SendScintilla(message, wParam, lParam);
}

long SciTextControl::sciLines() const
{
    return send(Sci::SCI_GETLINECOUNT);
}

long SciTextControl::lineIndex(long line) const
{
    // Line sciLines() gives the length of the text; Scintilla asserts on more.
    return send(Sci::SCI_INDEXPOSITIONFROMLINE, std::clamp(line, 0L, sciLines()), Utf16Index);
}

long SciTextControl::positionFromOffset(int offset) const
{
    const long units = sciOffset(std::clamp(long(offset), 0L, long(textLength())));
    const long line = send(Sci::SCI_LINEFROMINDEXPOSITION, units, Utf16Index);
    const long from = send(Sci::SCI_POSITIONFROMLINE, line);
    // An offset inside the line break or beyond stops at the end of the line:
    // a caret between CR and LF would let typing split the break.
    const long limit = send(Sci::SCI_GETLINEENDPOSITION, line);
    long inLine = units - lineIndex(line);
    if (inLine <= 0 || limit <= from)
        return from;
    // Walk the line's bytes ourselves: SCI_POSITIONRELATIVECODEUNITS runs to
    // the end of the document when the offset falls inside a surrogate pair.
    // Such an offset rounds down to the start of the pair.
    const long span = std::min(limit - from, 3 * inLine);
    QByteArray bytes(span + 1, '\0');
    FEdit->SendScintilla(Sci::SCI_GETTEXTRANGE, from, from + span, bytes.data());
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.constData());
    long i = 0;
    while (i < span && inLine > 0) {
        int charUnits = 1;
        const int length = utf8CharLength(s + i, span - i, charUnits);
        if (charUnits > inLine)
            break;
        inLine -= charUnits;
        i += length;
    }
    return from + i;
}

int SciTextControl::offsetFromPosition(long position) const
{
    const long line = send(Sci::SCI_LINEFROMPOSITION, position);
    const long from = send(Sci::SCI_POSITIONFROMLINE, line);
    return int(lineIndex(line) + send(Sci::SCI_COUNTCODEUNITS, from, position) -
               soft().softBefore(line));
}

QByteArray SciTextControl::bytesRange(long from, long to) const
{
    if (to <= from)
        return QByteArray();
    QByteArray bytes(to - from + 1, '\0');
    FEdit->SendScintilla(Sci::SCI_GETTEXTRANGE, from, to, bytes.data());
    bytes.truncate(to - from);
    return bytes;
}

// A range of the widget's text, without its soft breaks.
QString SciTextControl::textRange(long from, long to) const
{
    const QByteArray bytes = bytesRange(from, to);
    return QString::fromUtf8(soft().isEmpty() ? bytes : WithoutSoftBreaks(bytes));
}

QString SciTextControl::text() const
{
    if (!soft().isEmpty())
        return QString::fromUtf8(utf8());
    const auto* data =
        static_cast<const char*>(FEdit->SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
    return QString::fromUtf8(data, send(Sci::SCI_GETLENGTH));
}

std::string_view SciTextControl::utf8View() const
{
    const auto* data =
        static_cast<const char*>(FEdit->SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
    return {data, size_t(send(Sci::SCI_GETLENGTH))};
}

QByteArray SciTextControl::utf8() const
{
    const std::string_view all = utf8View();
    const TSoftBreaks& breaks = soft();
    if (breaks.isEmpty())
        return QByteArray(all.data(), qsizetype(all.size()));
    QByteArray bytes;
    bytes.reserve(qsizetype(all.size()) - breaks.count());
    size_t from = 0;
    for (const long row : breaks.rows()) {
        const auto softBreak = size_t(send(Sci::SCI_GETLINEENDPOSITION, row));
        bytes.append(all.data() + from, qsizetype(softBreak - from));
        from = softBreak + 1;
    }
    bytes.append(all.data() + from, qsizetype(all.size() - from));
    return bytes;
}

int SciTextControl::textLength() const
{
    return int(lineIndex(sciLines()) - soft().count());
}

int SciTextControl::lineCount() const
{
    const long length = send(Sci::SCI_GETLENGTH);
    if (length == 0)
        return 0;
    const long lines = sciLines();
    // A final line break leaves an empty line in Scintilla; it is no line
    // here. An empty row after a soft break is part of a line.
    const TSoftBreaks& breaks = soft();
    const bool finalBreak =
        send(Sci::SCI_POSITIONFROMLINE, lines - 1) == length && !breaks.endsSoft(lines - 2);
    return int(lines - breaks.count() - (finalBreak ? 1 : 0));
}

QString SciTextControl::line(int index) const
{
    const TSoftBreaks& breaks = soft();
    const long first = breaks.firstRowOfLine(index);
    if (index < 0 || first >= sciLines())
        return QString();
    const long last = std::min(breaks.firstRowOfLine(index + 1), sciLines()) - 1;
    return textRange(send(Sci::SCI_POSITIONFROMLINE, first),
                     send(Sci::SCI_GETLINEENDPOSITION, last));
}

int SciTextControl::lineLength(int index) const
{
    const TSoftBreaks& breaks = soft();
    const long first = breaks.firstRowOfLine(index);
    if (index < 0 || first >= sciLines())
        return 0;
    const long last = std::min(breaks.firstRowOfLine(index + 1), sciLines()) - 1;
    // The rows' code units less the line break, whose bytes are CR and LF,
    // and less the soft breaks between the rows, an LF each.
    const long breakBytes =
        send(Sci::SCI_POSITIONFROMLINE, last + 1) - send(Sci::SCI_GETLINEENDPOSITION, last);
    return int(lineIndex(last + 1) - lineIndex(first) - breakBytes - (last - first));
}

int SciTextControl::lineStart(int index) const
{
    if (index <= 0)
        return 0;
    const TSoftBreaks& breaks = soft();
    const long row = breaks.firstRowOfLine(index);
    return int(row >= sciLines() ? textLength() : lineIndex(row) - breaks.softBefore(row));
}

int SciTextControl::lineFromPosition(int position) const
{
    const long clamped = std::clamp(long(position), 0L, long(textLength()));
    return int(
        soft().lineOfRow(send(Sci::SCI_LINEFROMINDEXPOSITION, sciOffset(clamped), Utf16Index)));
}

int SciTextControl::selStart() const
{
    return offsetFromPosition(send(Sci::SCI_GETSELECTIONSTART));
}

int SciTextControl::selLength() const
{
    return offsetFromPosition(send(Sci::SCI_GETSELECTIONEND)) - selStart();
}

void SciTextControl::setSelection(int start, int length)
{
    const long anchor = positionFromOffset(start);
    const long caret = positionFromOffset(
        int(std::clamp(qint64(start) + length, qint64(0), qint64(textLength()))));
    // Unlike SCI_SETSEL this does not scroll: scrollCaretIntoView does.
    send(Sci::SCI_SETSELECTION, caret, anchor);
}

QString SciTextControl::selectedText() const
{
    return textRange(send(Sci::SCI_GETSELECTIONSTART), send(Sci::SCI_GETSELECTIONEND));
}

void SciTextControl::replaceSelection(const QString& text)
{
    if (FEdit->isReadOnly())
        return;
    const QByteArray bytes = WithRows(withCrLf(text).toUtf8());
    send(Sci::SCI_BEGINUNDOACTION);
    send(Sci::SCI_TARGETFROMSELECTION);
    // The target replacement takes a length, so a NUL character survives.
    FEdit->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<uintptr_t>(bytes.size()),
                         bytes.constData());
    const long end = send(Sci::SCI_GETTARGETEND);
    send(Sci::SCI_SETSELECTION, end, end);
    send(Sci::SCI_ENDUNDOACTION);
    send(Sci::SCI_SCROLLCARET);
}

bool SciTextControl::findText(const QString& searchText, TSearchOptions options)
{
    // Searched where Scintilla keeps the text, in UTF-8 and byte positions:
    // no copy of a large text, unless rows of an overlong line stand between.
    const bool whole = soft().isEmpty();
    const QByteArray copy = whole ? QByteArray() : utf8();
    const std::string_view text =
        whole ? utf8View() : std::string_view(copy.constData(), size_t(copy.size()));
    const long start = textPosition(send(Sci::SCI_GETSELECTIONSTART));
    const TSearchMatch match =
        SearchBufferUtf8(text, start, textPosition(send(Sci::SCI_GETSELECTIONEND)) - start,
                         searchView(searchText), options);
    if (match.Pos < 0)
        return false;
    send(Sci::SCI_SETSELECTION, widgetPosition(long(match.Pos + match.Length), false),
         widgetPosition(long(match.Pos), true));
    return true;
}

TextControl::TReplaceAllDone SciTextControl::replaceAll(const QString& findText,
                                                        const QString& replaceText,
                                                        TSearchOptions options)
{
    if (FEdit->isReadOnly())
        return {};
    const bool whole = soft().isEmpty();
    const QByteArray copy = whole ? QByteArray() : utf8();
    const std::string_view text =
        whole ? utf8View() : std::string_view(copy.constData(), size_t(copy.size()));
    const QByteArray replacement = withCrLf(replaceText).toUtf8();
    const std::string_view replacementView(replacement.constData(), size_t(replacement.size()));
    const TReplaceAllResult result =
        ReplaceAll(text, 0, searchView(findText), replacementView, options);
    if (result.Count() > 0) {
        // Only the stretch from the first match to the end of the last one
        // changes, as one edit; the undo history keeps just that.
        const long first = long(result.Matches.front().Pos);
        const long last = long(result.Matches.back().Pos + result.Matches.back().Length);
        const QByteArray bytes =
            WithRows(ApplyReplacements(text, first, last, result.Matches, replacementView));
        const long from = widgetPosition(first, true);
        const long to = widgetPosition(last, false);
        // Keeping the UTF-16 line index up to date through a large change
        // costs more than building it again afterwards.
        const bool large = to - from > LargeChange;
        if (large)
            send(Sci::SCI_RELEASELINECHARACTERINDEX, Utf16Index);
        send(Sci::SCI_BEGINUNDOACTION);
        send(Sci::SCI_SETTARGETRANGE, from, to);
        FEdit->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<uintptr_t>(bytes.size()),
                             bytes.constData());
        send(Sci::SCI_ENDUNDOACTION);
        if (large)
            send(Sci::SCI_ALLOCATELINECHARACTERINDEX, Utf16Index);
    }
    const long anchor = widgetPosition(long(result.SelStart), true);
    send(Sci::SCI_SETSELECTION,
         result.SelLength > 0 ? widgetPosition(long(result.SelStart + result.SelLength), false)
                              : anchor,
         anchor);
    return {result.Count() > 0, result.EndedByFailure};
}

int SciTextControl::caret() const
{
    return offsetFromPosition(send(Sci::SCI_GETCURRENTPOS));
}

bool SciTextControl::isModified() const
{
    return FForcedModified || send(Sci::SCI_GETMODIFY) != 0;
}

void SciTextControl::setModified(bool modified)
{
    FForcedModified = modified;
    if (!modified)
        send(Sci::SCI_SETSAVEPOINT);
}

bool SciTextControl::isReadOnly() const
{
    return FEdit->isReadOnly();
}

void SciTextControl::setReadOnly(bool readOnly)
{
    FEdit->setReadOnly(readOnly);
}

void SciTextControl::undo()
{
    if (!FEdit->isReadOnly())
        FEdit->undo();
}

bool SciTextControl::canUndo() const
{
    return !FEdit->isReadOnly() && send(Sci::SCI_CANUNDO) != 0;
}

void SciTextControl::cut()
{
    FEdit->cut();
}

void SciTextControl::copy()
{
    FEdit->copy();
}

void SciTextControl::paste()
{
    FEdit->paste();
}

void SciTextControl::deleteSelection()
{
    // SCI_CLEAR alone would delete the character after an empty selection.
    if (!FEdit->isReadOnly() && send(Sci::SCI_GETSELECTIONSTART) != send(Sci::SCI_GETSELECTIONEND))
        send(Sci::SCI_CLEAR);
}

void SciTextControl::scrollCaretIntoView()
{
    send(Sci::SCI_SCROLLCARET);
}

int SciTextControl::firstVisibleLine() const
{
    // Scintilla counts rows on screen, which folding or wrapping could make
    // differ from its lines.
    const long row = send(Sci::SCI_GETFIRSTVISIBLELINE);
    return int(
        soft().lineOfRow(send(Sci::SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(row))));
}

void SciTextControl::setFocus()
{
    FEdit->setFocus();
}

} // namespace bp
