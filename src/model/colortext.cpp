#include "model/colortext.h"

#include <QPalette>

#include <array>
#include <limits>

namespace bp {

namespace {

struct ColorName {
    TColor value;
    const char* name;
};

// A system colour: the high bit set, the low byte the system-colour index.
constexpr TColor systemColor(quint32 index)
{
    return TColor(0x80000000u | index);
}

// Every colour that has a name, in the order the names are listed to users.
// Stored settings depend on these exact spellings and values.
constexpr std::array<ColorName, 49> kColorNames{{
    {0x00000000, "clBlack"},
    {0x00000080, "clMaroon"},
    {0x00008000, "clGreen"},
    {0x00008080, "clOlive"},
    {0x00800000, "clNavy"},
    {0x00800080, "clPurple"},
    {0x00808000, "clTeal"},
    {0x00808080, "clGray"},
    {0x00C0C0C0, "clSilver"},
    {0x000000FF, "clRed"},
    {0x0000FF00, "clLime"},
    {0x0000FFFF, "clYellow"},
    {0x00FF0000, "clBlue"},
    {0x00FF00FF, "clFuchsia"},
    {0x00FFFF00, "clAqua"},
    {0x00FFFFFF, "clWhite"},
    {0x00C0DCC0, "clMoneyGreen"},
    {0x00F0CAA6, "clSkyBlue"},
    {0x00F0FBFF, "clCream"},
    {0x00A4A0A0, "clMedGray"},
    {systemColor(10), "clActiveBorder"},
    {systemColor(2), "clActiveCaption"},
    {systemColor(12), "clAppWorkSpace"},
    {systemColor(1), "clBackground"},
    {systemColor(15), "clBtnFace"},
    {systemColor(20), "clBtnHighlight"},
    {systemColor(16), "clBtnShadow"},
    {systemColor(18), "clBtnText"},
    {systemColor(9), "clCaptionText"},
    {clDefault, "clDefault"},
    {systemColor(27), "clGradientActiveCaption"},
    {systemColor(28), "clGradientInactiveCaption"},
    {systemColor(17), "clGrayText"},
    {systemColor(13), "clHighlight"},
    {systemColor(14), "clHighlightText"},
    {systemColor(11), "clInactiveBorder"},
    {systemColor(3), "clInactiveCaption"},
    {systemColor(19), "clInactiveCaptionText"},
    {systemColor(24), "clInfoBk"},
    {systemColor(23), "clInfoText"},
    {systemColor(4), "clMenu"},
    {systemColor(7), "clMenuText"},
    {clNone, "clNone"},
    {systemColor(0), "clScrollBar"},
    {systemColor(21), "cl3DDkShadow"},
    {systemColor(22), "cl3DLight"},
    {systemColor(5), "clWindow"},
    {systemColor(6), "clWindowFrame"},
    {systemColor(8), "clWindowText"},
}};

bool isSystemColor(TColor color)
{
    return (quint32(color) & 0xFF000000u) == 0x80000000u;
}

// The palette entry that plays the part of a system colour in Qt.
QColor systemQColor(quint32 index, const QPalette& palette)
{
    switch (index) {
    case 0:
        return palette.color(QPalette::Button); // scroll bar
    case 1:
        return palette.color(QPalette::Window); // desktop
    case 2:
        return palette.color(QPalette::Active, QPalette::Highlight); // active caption
    case 3:
        return palette.color(QPalette::Inactive, QPalette::Highlight); // inactive caption
    case 4:
        return palette.color(QPalette::Window); // menu
    case 5:
        return palette.color(QPalette::Base); // window
    case 6:
        return palette.color(QPalette::Shadow); // window frame
    case 7:
        return palette.color(QPalette::WindowText); // menu text
    case 8:
        return palette.color(QPalette::Text); // window text
    case 9:
        return palette.color(QPalette::Active, QPalette::HighlightedText);
    case 10:
        return palette.color(QPalette::Button); // active border
    case 11:
        return palette.color(QPalette::Button); // inactive border
    case 12:
        return palette.color(QPalette::Dark); // MDI workspace, as QMdiArea draws it
    case 13:
        return palette.color(QPalette::Highlight);
    case 14:
        return palette.color(QPalette::HighlightedText);
    case 15:
        return palette.color(QPalette::Button);
    case 16:
        return palette.color(QPalette::Dark);
    case 17:
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18:
        return palette.color(QPalette::ButtonText);
    case 19:
        return palette.color(QPalette::Inactive, QPalette::HighlightedText);
    case 20:
        return palette.color(QPalette::Light);
    case 21:
        return palette.color(QPalette::Shadow);
    case 22:
        return palette.color(QPalette::Midlight);
    case 23:
        return palette.color(QPalette::ToolTipText);
    case 24:
        return palette.color(QPalette::ToolTipBase);
    case 27:
        return palette.color(QPalette::Active, QPalette::Highlight);
    case 28:
        return palette.color(QPalette::Inactive, QPalette::Highlight);
    default:
        return palette.color(QPalette::Window);
    }
}

// "$" followed by one to eight hex digits.
std::optional<TColor> parseHex(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    quint32 value = 0;
    for (const QChar ch : digits) {
        const char16_t c = ch.unicode();
        const int d = (c >= u'0' && c <= u'9')   ? c - u'0'
                      : (c >= u'a' && c <= u'f') ? c - u'a' + 10
                      : (c >= u'A' && c <= u'F') ? c - u'A' + 10
                                                 : -1;
        if (d < 0)
            return std::nullopt;
        value = (value << 4) | quint32(d);
    }
    return TColor(value);
}

// A decimal integer with an optional minus sign that fits in 32 bits.
std::optional<TColor> parseDecimal(QStringView text)
{
    qsizetype i = 0;
    const bool negative = text.startsWith(u'-');
    if (negative)
        i = 1;
    if (i >= text.size() || text.size() - i > 10)
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return TColor(value);
}

} // namespace

QString ColorToString(TColor color)
{
    for (const ColorName& entry : kColorNames)
        if (entry.value == color)
            return QLatin1String(entry.name);
    return QLatin1Char('$') +
           QStringLiteral("%1").arg(quint32(color), 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<qint32> StringToInteger(const QString& text)
{
    // Hand-edited settings may carry stray blanks around the value.
    const QStringView t = QStringView(text).trimmed();
    if (t.startsWith(u'$'))
        return parseHex(t.mid(1));
    return parseDecimal(t);
}

std::optional<TColor> StringToColor(const QString& text)
{
    const QStringView t = QStringView(text).trimmed();
    for (const ColorName& entry : kColorNames)
        if (t.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.value;
    return StringToInteger(text);
}

QColor ColorToQColor(TColor color, const QPalette& palette)
{
    if (color == clNone)
        return QColor(Qt::transparent);
    if (color == clDefault)
        return QColor(); // invalid: the control keeps its own colour
    const quint32 v = quint32(color);
    if (isSystemColor(color))
        return systemQColor(v & 0xFFu, palette);
    return QColor(int(v & 0xFFu), int((v >> 8) & 0xFFu), int((v >> 16) & 0xFFu));
}

TColor QColorToColor(const QColor& color)
{
    if (!color.isValid())
        return clDefault;
    const QColor rgb = color.toRgb();
    return TColor(quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16));
}

} // namespace bp
