#pragma once

// What the rich text control's source files share.

#include <Qsci/qsciscintillabase.h>

#include <QByteArray>
#include <QColor>
#include <QString>

namespace bp::scidetail {

using Sci = QsciScintillaBase;

constexpr long Utf16Index = Sci::SC_LINECHARACTERINDEX_UTF16;
// A change of more bytes than this rebuilds the UTF-16 line index afterwards.
constexpr long LargeChange = 1 << 20;
// Lines the margin always has room for, so that it does not widen while a
// short text grows.
constexpr int MinMarginDigits = 3;
// Lexers describe their styles in 0 to 127.
constexpr int LastLexerStyle = 127;
// The marker of the compiler's error lines, and the margin that shows it
// (margin 0 holds the line numbers).
constexpr int ErrorMarker = 0;
constexpr int MarkerMargin = 1;
constexpr long ErrorMarkerMask = 1L << ErrorMarker;
// The changes the widget announces: the soft breaks follow them.
constexpr long TrackedChanges = Sci::SC_MOD_BEFOREINSERT | Sci::SC_MOD_BEFOREDELETE;

// Scintilla colours are 0x00BBGGRR.
inline long sciColor(const QColor& color)
{
    return long(color.red()) | (long(color.green()) << 8) | (long(color.blue()) << 16);
}

// CR LF for every line break of a text that goes into the control.
QString withCrLf(const QString& text);

} // namespace bp::scidetail
