// The rich control's looks: font, colours, syntax colouring, the line-number
// margin and the marks of the compiler's error lines.
#include "editor/scitextcontrol.h"

#include "editor/scitextcontrol_p.h"

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjava.h>
#include <Qsci/qsciscintilla.h>

#include <QFontInfo>

#include <algorithm>

namespace bp {

using namespace scidetail;

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
    FSyntax = lexer;
    updateLexer();
}

void SciTextControl::updateLexer()
{
    // A lexer takes each row for a line: a string or a comment cut into rows
    // would come out as code. A text with an overlong line goes without
    // syntax colours.
    QsciLexer* const lexer = soft().isEmpty() ? FSyntax : nullptr;
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
    // The mark is a circle as high as the margin is wide: a little less
    // than a line.
    send(Sci::SCI_SETMARGINWIDTHN, MarkerMargin,
         std::max(8L, send(Sci::SCI_TEXTHEIGHT, 0) * 3 / 4));
}

void SciTextControl::updateMarginWidth(bool force)
{
    // The margin numbers rows: while an overlong line is cut into rows those
    // are not the text's line numbers, and the margin goes.
    int digits = 0;
    if (soft().isEmpty()) {
        digits = 1;
        for (long lines = sciLines(); lines >= 10; lines /= 10)
            ++digits;
        digits = std::max(digits, MinMarginDigits);
    }
    if (digits == FMarginDigits && !force)
        return;
    FMarginDigits = digits;
    long width = 0;
    if (digits > 0) {
        const QByteArray sample(digits + 1, '9');
        width = FEdit->SendScintilla(
            Sci::SCI_TEXTWIDTH, static_cast<uintptr_t>(Sci::STYLE_LINENUMBER), sample.constData());
    }
    send(Sci::SCI_SETMARGINWIDTHN, 0, width);
}

long SciTextControl::widgetLine(int line) const
{
    return soft().firstRowOfLine(line);
}

int SciTextControl::textLine(long widgetLine) const
{
    return int(soft().lineOfRow(widgetLine));
}

void SciTextControl::setErrorMarkers(const QList<int>& lines)
{
    send(Sci::SCI_MARKERDELETEALL, ErrorMarker);
    FHasErrorMarkers = false;
    const int count = lineCount();
    for (const int line : lines) {
        if (line < 0 || line >= count)
            continue;
        // A line with several errors gets one mark: each add stacks another.
        const long row = widgetLine(line);
        if (!(send(Sci::SCI_MARKERGET, row) & ErrorMarkerMask))
            send(Sci::SCI_MARKERADD, row, ErrorMarker);
        FHasErrorMarkers = true;
    }
}

QList<int> SciTextControl::errorMarkers() const
{
    QList<int> lines;
    if (!FHasErrorMarkers)
        return lines;
    for (long row = send(Sci::SCI_MARKERNEXT, 0, ErrorMarkerMask); row >= 0;
         row = send(Sci::SCI_MARKERNEXT, row + 1, ErrorMarkerMask))
        lines.append(textLine(row));
    return lines;
}

void SciTextControl::clearErrorMarkers(long first, long last)
{
    // Row by row: looking for the next mark would run on to the end of the
    // text on every key typed.
    for (long row = first; row <= last; ++row) {
        if (send(Sci::SCI_MARKERGET, row) & ErrorMarkerMask)
            send(Sci::SCI_MARKERDELETE, row, ErrorMarker);
    }
}

} // namespace bp
