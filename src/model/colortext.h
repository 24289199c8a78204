#pragma once

#include <QColor>
#include <QString>

#include <optional>

class QPalette;

namespace bp {

// A 32-bit colour value as stored in both settings stores: 0x00BBGGRR for a
// plain RGB colour, 0x80000000 + index for a system colour, plus the two
// special values clNone and clDefault.
using TColor = qint32;

constexpr TColor clBlack = 0x00000000;
constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clWindow = TColor(0x80000005u);
constexpr TColor clWindowText = TColor(0x80000008u);

// Colour text: a table name ("clWindow") where the colour has one, otherwise
// "$" and eight upper-case hex digits.
QString ColorToString(TColor color);
// Accepts a table name (any case), a decimal integer or "$" + hex digits;
// std::nullopt when the text is none of these.
std::optional<TColor> StringToColor(const QString& text);
// An integer literal as colour text writes it: decimal (with an optional
// minus sign, 32-bit) or "$" + one to eight hex digits; blanks around it are
// ignored. std::nullopt for anything else.
std::optional<qint32> StringToInteger(const QString& text);
// The colour as Qt draws it; system colours come from the palette, clNone is
// transparent and clDefault an invalid QColor (the control keeps its own).
QColor ColorToQColor(TColor color, const QPalette& palette);
// A plain RGB colour value for a Qt colour; an invalid QColor gives clDefault.
TColor QColorToColor(const QColor& color);

} // namespace bp
