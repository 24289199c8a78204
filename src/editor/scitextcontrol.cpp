#include "editor/scitextcontrol.h"

#include "editor/hookedwidget.h"

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjava.h>
#include <Qsci/qsciscintilla.h>

#include <QFontDatabase>
#include <QFontInfo>

#include <algorithm>
#include <vector>

namespace bp {

namespace {

using Sci = QsciScintillaBase;

constexpr long Utf16Index = Sci::SC_LINECHARACTERINDEX_UTF16;
// A change of more bytes than this rebuilds the UTF-16 line index afterwards.
constexpr long LargeChange = 1 << 20;
// Lines the margin always has room for, so that it does not widen while a
// short text grows.
constexpr int MinMarginDigits = 3;
// Lexers describe their styles in 0 to 127.
constexpr int LastLexerStyle = 127;

// Scintilla colours are 0x00BBGGRR.
long sciColor(const QColor& color)
{
    return long(color.red()) | (long(color.green()) << 8) | (long(color.blue()) << 16);
}

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

// CR LF for every line break of a text that goes into the control.
QString withCrLf(const QString& text)
{
    // Most texts handed in (the control's own text, edited) break their
    // lines with CR LF already: then there is nothing to copy.
    const QChar* p = text.constData();
    const qsizetype n = text.size();
    bool normal = true;
    for (qsizetype i = 0; i < n && normal; ++i) {
        const char16_t c = p[i].unicode();
        if (c == u'\r')
            normal = i + 1 < n && p[i + 1].unicode() == u'\n' && ++i;
        else if (c == u'\n')
            normal = false;
    }
    if (normal)
        return text;
    QString result;
    result.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            result += QLatin1String("\r\n");
            if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            result += c;
        }
    }
    return result;
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
        QsciScintilla::keyPressEvent(e);
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
    edit->setAutoIndent(false);
    edit->setIndentationsUseTabs(true);
    send(Sci::SCI_ALLOCATELINECHARACTERINDEX, Utf16Index);

    edit->setMarginLineNumbers(0, true);
    edit->setMarginWidth(1, 0);
    edit->setMarginWidth(2, 0);

    // No change notifications: the widget answers each one by counting the
    // characters from the start of the text up to the change (for its
    // accessibility events), a cost that grows with the position of every
    // key typed. Nothing here needs them; the margin follows the line count
    // after each update of the view.
    send(Sci::SCI_SETMODEVENTMASK, 0);
    QObject::connect(edit, &QsciScintillaBase::SCN_UPDATEUI, edit, [this](int) {
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
    const long clamped = std::clamp(long(offset), 0L, long(textLength()));
    const long line = send(Sci::SCI_LINEFROMINDEXPOSITION, clamped, Utf16Index);
    const long from = send(Sci::SCI_POSITIONFROMLINE, line);
    // An offset inside the line break or beyond stops at the end of the line:
    // a caret between CR and LF would let typing split the break.
    const long limit = send(Sci::SCI_GETLINEENDPOSITION, line);
    long units = clamped - lineIndex(line);
    if (units <= 0 || limit <= from)
        return from;
    // Walk the line's bytes ourselves: SCI_POSITIONRELATIVECODEUNITS runs to
    // the end of the document when the offset falls inside a surrogate pair.
    // Such an offset rounds down to the start of the pair.
    const long span = std::min(limit - from, 3 * units);
    QByteArray bytes(span + 1, '\0');
    FEdit->SendScintilla(Sci::SCI_GETTEXTRANGE, from, from + span, bytes.data());
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.constData());
    long i = 0;
    while (i < span && units > 0) {
        int charUnits = 1;
        const int length = utf8CharLength(s + i, span - i, charUnits);
        if (charUnits > units)
            break;
        units -= charUnits;
        i += length;
    }
    return from + i;
}

int SciTextControl::offsetFromPosition(long position) const
{
    const long line = send(Sci::SCI_LINEFROMPOSITION, position);
    const long from = send(Sci::SCI_POSITIONFROMLINE, line);
    return int(lineIndex(line) + send(Sci::SCI_COUNTCODEUNITS, from, position));
}

QString SciTextControl::textRange(long from, long to) const
{
    if (to <= from)
        return QString();
    QByteArray bytes(to - from + 1, '\0');
    FEdit->SendScintilla(Sci::SCI_GETTEXTRANGE, from, to, bytes.data());
    return QString::fromUtf8(bytes.constData(), to - from);
}

QString SciTextControl::text() const
{
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
    const auto* data =
        static_cast<const char*>(FEdit->SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
    return QByteArray(data, send(Sci::SCI_GETLENGTH));
}

void SciTextControl::setText(const QString& text)
{
    setUtf8(text.toUtf8());
}

void SciTextControl::setUtf8(const QByteArray& utf8)
{
    beginLoad(utf8.size() + std::count(utf8.cbegin(), utf8.cend(), '\n'));
    appendLoad(utf8.constData(), utf8.size());
    endLoad();
}

void SciTextControl::beginLoad(qint64 expected)
{
    FLoadReadOnly = FEdit->isReadOnly();
    FEdit->setReadOnly(false);
    // The line index is built again in one pass at the end, cheaper than
    // keeping it up to date while the text arrives.
    send(Sci::SCI_RELEASELINECHARACTERINDEX, Utf16Index);
    send(Sci::SCI_SETUNDOCOLLECTION, 0);
    send(Sci::SCI_CLEARALL);
    // Room for the whole text and one byte more, so the buffer grows once:
    // Scintilla grows it again when an insertion would fill the room left
    // exactly, which at the last piece would copy the whole text and its
    // styles into fresh memory.
    send(Sci::SCI_ALLOCATE, static_cast<unsigned long>(std::max<qint64>(expected, 0)) + 1);
    FLoadAfterCr = false;
}

void SciTextControl::appendLoad(const char* data, qsizetype size)
{
    // Every line break becomes CR LF on the way in, a slice at a time: no
    // second copy of a large text, and twice as fast as SCI_CONVERTEOLS,
    // which inserts each missing CR on its own. SCI_APPENDTEXT takes a
    // length, so a NUL byte survives (SCI_SETTEXT would stop there).
    constexpr qsizetype Slice = qsizetype(1) << 20;
    if (FLoadBuffer.size() < size_t(2 * Slice))
        FLoadBuffer.resize(2 * Slice);
    for (qsizetype from = 0; from < size; from += Slice) {
        const char* in = data + from;
        const char* const end = data + std::min(size, from + Slice);
        char* out = FLoadBuffer.data();
        for (; in < end; ++in) {
            const char c = *in;
            if (c == '\n') {
                if (!FLoadAfterCr) {
                    *out++ = '\r';
                    *out++ = '\n';
                }
                FLoadAfterCr = false;
            } else if (c == '\r') {
                *out++ = '\r';
                *out++ = '\n';
                FLoadAfterCr = true;
            } else {
                *out++ = c;
                FLoadAfterCr = false;
            }
        }
        FEdit->SendScintilla(Sci::SCI_APPENDTEXT, static_cast<uintptr_t>(out - FLoadBuffer.data()),
                             FLoadBuffer.data());
    }
}

void SciTextControl::endLoad()
{
    FLoadBuffer = std::vector<char>();
    send(Sci::SCI_EMPTYUNDOBUFFER);
    send(Sci::SCI_SETUNDOCOLLECTION, 1);
    send(Sci::SCI_ALLOCATELINECHARACTERINDEX, Utf16Index);
    send(Sci::SCI_SETSAVEPOINT);
    send(Sci::SCI_GOTOPOS, 0);
    FEdit->setReadOnly(FLoadReadOnly);
    FForcedModified = false;
    updateMarginWidth(false);
}

int SciTextControl::textLength() const
{
    return int(lineIndex(sciLines()));
}

int SciTextControl::lineCount() const
{
    const long length = send(Sci::SCI_GETLENGTH);
    if (length == 0)
        return 0;
    const long lines = sciLines();
    // A final line break leaves an empty line in Scintilla; it is no line here.
    return int(send(Sci::SCI_POSITIONFROMLINE, lines - 1) == length ? lines - 1 : lines);
}

QString SciTextControl::line(int index) const
{
    if (index < 0 || index >= sciLines())
        return QString();
    return textRange(send(Sci::SCI_POSITIONFROMLINE, index),
                     send(Sci::SCI_GETLINEENDPOSITION, index));
}

int SciTextControl::lineLength(int index) const
{
    if (index < 0 || index >= sciLines())
        return 0;
    // The line's code units less its break, whose bytes are CR and LF.
    const long breakBytes =
        send(Sci::SCI_POSITIONFROMLINE, index + 1) - send(Sci::SCI_GETLINEENDPOSITION, index);
    return int(lineIndex(index + 1) - lineIndex(index) - breakBytes);
}

int SciTextControl::lineStart(int index) const
{
    return int(lineIndex(index));
}

int SciTextControl::lineFromPosition(int position) const
{
    const long clamped = std::clamp(long(position), 0L, long(textLength()));
    return int(send(Sci::SCI_LINEFROMINDEXPOSITION, clamped, Utf16Index));
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
    const QByteArray bytes = withCrLf(text).toUtf8();
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
    // no copy of a large text.
    const long start = send(Sci::SCI_GETSELECTIONSTART);
    const TSearchMatch match = SearchBufferUtf8(utf8View(), start,
                                                send(Sci::SCI_GETSELECTIONEND) - start,
                                                searchView(searchText), options);
    if (match.Pos < 0)
        return false;
    send(Sci::SCI_SETSELECTION, match.Pos + match.Length, match.Pos);
    return true;
}

TextControl::TReplaceAllDone SciTextControl::replaceAll(const QString& findText,
                                                        const QString& replaceText,
                                                        TSearchOptions options)
{
    if (FEdit->isReadOnly())
        return {};
    const std::string_view text = utf8View();
    const QByteArray replacement = withCrLf(replaceText).toUtf8();
    const std::string_view replacementView(replacement.constData(), size_t(replacement.size()));
    const TReplaceAllResult result =
        ReplaceAll(text, 0, searchView(findText), replacementView, options);
    if (result.Count() > 0) {
        // Only the stretch from the first match to the end of the last one
        // changes, as one edit; the undo history keeps just that.
        const long from = long(result.Matches.front().Pos);
        const long to = long(result.Matches.back().Pos + result.Matches.back().Length);
        const QByteArray bytes = ApplyReplacements(text, from, to, result.Matches, replacementView);
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
    send(Sci::SCI_SETSELECTION, long(result.SelStart + result.SelLength), long(result.SelStart));
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

void SciTextControl::setFocus()
{
    FEdit->setFocus();
}

void SciTextControl::setEditorFont(const QFont& font)
{
    FFont = font;
    // A font of our own also keeps the window's font from reaching the widget.
    FEdit->setFont(font);
    applyStyles();
}

void SciTextControl::setTextColor(const QColor& color)
{
    FTextColor = color;
    applyStyles();
}

void SciTextControl::setBackgroundColor(const QColor& color)
{
    FBackColor = color;
    applyStyles();
}

QColor SciTextControl::backgroundColor() const
{
    return FBackColor;
}

void SciTextControl::setSyntax(TDocType docType)
{
    QsciLexer* lexer = nullptr;
    if (docType == TDocType::Java) {
        if (!FJavaLexer)
            FJavaLexer = new QsciLexerJava(FEdit);
        lexer = FJavaLexer;
    } else if (docType == TDocType::Html) {
        if (!FHtmlLexer)
            FHtmlLexer = new QsciLexerHTML(FEdit);
        lexer = FHtmlLexer;
    }
    // Attaching a lexer styles the whole text again: not for nothing.
    if (lexer == FEdit->lexer())
        return;
    FEdit->setLexer(lexer);
    applyStyles();
}

void SciTextControl::applyLexerStyles(QsciLexer* lexer)
{
    lexer->setDefaultFont(FFont);
    lexer->setDefaultColor(FTextColor);
    lexer->setDefaultPaper(FBackColor);
    for (int style = 0; style <= LastLexerStyle; ++style) {
        if (lexer->description(style).isEmpty())
            continue;
        // The font's family and size everywhere, keeping the lexer's bold
        // keywords; the text colour for plain text (the styles the lexer draws
        // in black) so that keywords, comments and strings keep their colours.
        QFont font = FFont;
        const QFont lexerFont = lexer->defaultFont(style);
        font.setBold(FFont.bold() || lexerFont.bold());
        font.setItalic(FFont.italic() || lexerFont.italic());
        lexer->setFont(font, style);
        const bool plain =
            style == lexer->defaultStyle() || lexer->defaultColor(style) == QColor(Qt::black);
        lexer->setColor(plain ? FTextColor : lexer->defaultColor(style), style);
        lexer->setPaper(FBackColor, style);
    }
}

void SciTextControl::applyStyles()
{
    const auto setStyle = [this](int style, const QFont& font, const QColor& fore,
                                 const QColor& back) {
        const QByteArray family = font.family().toUtf8();
        FEdit->SendScintilla(Sci::SCI_STYLESETFONT, static_cast<uintptr_t>(style),
                             family.constData());
        send(Sci::SCI_STYLESETSIZEFRACTIONAL, style,
             long(QFontInfo(font).pointSizeF() * double(Sci::SC_FONT_SIZE_MULTIPLIER) + 0.5));
        send(Sci::SCI_STYLESETBOLD, style, font.bold());
        send(Sci::SCI_STYLESETITALIC, style, font.italic());
        send(Sci::SCI_STYLESETFORE, style, sciColor(fore));
        send(Sci::SCI_STYLESETBACK, style, sciColor(back));
    };

    QsciLexer* lexer = FEdit->lexer();
    setStyle(Sci::STYLE_DEFAULT, FFont, FTextColor, FBackColor);
    if (lexer) {
        // The lexer hands its styles to the widget as they change.
        applyLexerStyles(lexer);
        for (int style = Sci::STYLE_BRACELIGHT; style < Sci::STYLE_LASTPREDEFINED; ++style)
            setStyle(style, FFont, FTextColor, FBackColor);
    } else {
        send(Sci::SCI_STYLECLEARALL);
    }
    const QPalette palette = FEdit->palette();
    setStyle(Sci::STYLE_LINENUMBER, FFont, palette.color(QPalette::WindowText),
             palette.color(QPalette::Window));
    send(Sci::SCI_SETCARETFORE, sciColor(FTextColor));
    updateMarginWidth(true);
}

void SciTextControl::updateMarginWidth(bool force)
{
    int digits = 1;
    for (long lines = sciLines(); lines >= 10; lines /= 10)
        ++digits;
    digits = std::max(digits, MinMarginDigits);
    if (digits == FMarginDigits && !force)
        return;
    FMarginDigits = digits;
    const QByteArray sample(digits + 1, '9');
    const long width = FEdit->SendScintilla(
        Sci::SCI_TEXTWIDTH, static_cast<uintptr_t>(Sci::STYLE_LINENUMBER), sample.constData());
    send(Sci::SCI_SETMARGINWIDTHN, 0, width);
}

} // namespace bp
