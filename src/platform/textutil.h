#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace bp {

// ASCII letters only: 'a'..'z' become 'A'..'Z', every other code unit stays.
// Names and extensions compare this way, whatever the user's locale.
constexpr char16_t AsciiUpper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c;
}
QString AsciiUpper(const QString& text);

// The text without leading and trailing blanks and control characters
// (every code up to 32), as names and paths are read and stored.
QString TrimBlanksAndControls(const QString& text);

// The lines of a text, split at CR LF, LF or a lone CR. A final line end
// opens no further line: "a\n" is one line, "" none, "\n" one empty line.
QStringList SplitLines(QStringView text);

// The whole text as a decimal int (QString::toInt: an optional sign, blanks
// before and after the digits accepted); nothing for anything else, the
// empty text and numbers beyond the int range included.
std::optional<int> TryStrToInt(const QString& text);
// The same, throwing EBrewpadError with InvalidIntegerMessage for a text
// that is no such number.
int StrToInt(const QString& text);
// "'<text>' is not a valid integer value"
QString InvalidIntegerMessage(const QString& text);

// Strict UTF-8 decoding of bytes that may arrive in pieces (a sequence may be
// split between two pieces). Any invalid sequence, or one cut off by the end
// of the bytes, makes the whole invalid. A leading byte-order mark is kept as
// U+FEFF, so that encoding the text again gives the very same bytes.
class TUtf8Decoder {
public:
    TUtf8Decoder();
    // Decodes the next piece and appends its characters to text.
    void append(QByteArrayView piece, QString& text);
    // Only checks the next piece; its characters are not kept.
    void check(QByteArrayView piece);
    // True once an invalid sequence was met: no further piece can make the
    // bytes valid.
    bool failed() const { return FDecoder.hasError(); }
    // True when every byte so far was valid UTF-8 and the last piece did not
    // stop inside a sequence.
    bool valid() const;

private:
    void remember(QByteArrayView piece);

    QStringDecoder FDecoder;
    QString FScratch;
    // The last bytes seen (at most a sequence's length), to tell a sequence
    // cut off at the end.
    char FTail[4] = {};
    qsizetype FTailSize = 0;
};

// The text of bytes that are valid UTF-8 throughout; nothing otherwise.
std::optional<QString> DecodeUtf8(QByteArrayView bytes);

// Files are 8-bit text: UTF-8 when the bytes are valid UTF-8, else Latin-1
// (which maps every byte to one character, so nothing is refused or lost).
QString DecodeUtf8OrLatin1(QByteArrayView bytes);

} // namespace bp
