#include "platform/textutil.h"

#include "platform/errors.h"

#include <algorithm>

namespace bp {

QString AsciiUpper(const QString& text)
{
    QString result = text;
    for (QChar& c : result)
        c = QChar(AsciiUpper(c.unicode()));
    return result;
}

QString TrimBlanksAndControls(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start].unicode() <= 32)
        ++start;
    while (end > start && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(start, end - start);
}

QStringList SplitLines(QStringView text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    if (!text.contains(u'\r')) {
        // Line feeds only, the usual case: Qt's vectorised search finds each
        // break, where looking at every character costs several times more
        // on a long compiler output.
        for (qsizetype i; (i = text.indexOf(u'\n', start)) >= 0; start = i + 1)
            lines.append(text.mid(start, i - start).toString());
        if (start < n)
            lines.append(text.mid(start).toString());
        return lines;
    }
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start).toString());
        if (c == u'\r' && i + 1 < n && text[i + 1].unicode() == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start).toString());
    return lines;
}

std::optional<int> TryStrToInt(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

int StrToInt(const QString& text)
{
    const std::optional<int> value = TryStrToInt(text);
    if (!value)
        throw EBrewpadError(InvalidIntegerMessage(text));
    return *value;
}

QString InvalidIntegerMessage(const QString& text)
{
    return QLatin1Char('\'') + text + QStringLiteral("' is not a valid integer value");
}

namespace {

// True when the bytes end inside a UTF-8 sequence: the last lead byte
// announces more bytes than follow it.
bool endsInsideUtf8Sequence(const char* p, qsizetype n)
{
    for (qsizetype back = 1; back <= 4 && back <= n; ++back) {
        const auto c = static_cast<unsigned char>(p[n - back]);
        if ((c & 0xC0) == 0x80)
            continue; // a continuation byte: look further back
        const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back;
    }
    return false;
}

} // namespace

TUtf8Decoder::TUtf8Decoder()
    : FDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom)
{
}

void TUtf8Decoder::remember(QByteArrayView piece)
{
    // Keeps the last four bytes of everything seen, across pieces.
    const qsizetype take = std::min<qsizetype>(piece.size(), 4);
    const qsizetype keep = std::min<qsizetype>(FTailSize, 4 - take);
    std::copy(FTail + FTailSize - keep, FTail + FTailSize, FTail);
    std::copy(piece.end() - take, piece.end(), FTail + keep);
    FTailSize = keep + take;
}

void TUtf8Decoder::append(QByteArrayView piece, QString& text)
{
    const qsizetype old = text.size();
    text.resize(old + FDecoder.requiredSpace(piece.size()));
    QChar* const end = FDecoder.appendToBuffer(text.data() + old, piece);
    text.truncate(end - text.constData());
    remember(piece);
}

void TUtf8Decoder::check(QByteArrayView piece)
{
    // Decoded into a buffer that is reused, so a file's pieces cost no
    // allocation each.
    const qsizetype space = FDecoder.requiredSpace(piece.size());
    if (FScratch.size() < space)
        FScratch.resize(space);
    FDecoder.appendToBuffer(FScratch.data(), piece);
    remember(piece);
}

bool TUtf8Decoder::valid() const
{
    return !failed() && !endsInsideUtf8Sequence(FTail, FTailSize);
}

std::optional<QString> DecodeUtf8(QByteArrayView bytes)
{
    TUtf8Decoder decoder;
    QString text;
    decoder.append(bytes, text);
    if (!decoder.valid())
        return std::nullopt;
    return text;
}

QString DecodeUtf8OrLatin1(QByteArrayView bytes)
{
    if (std::optional<QString> text = DecodeUtf8(bytes))
        return std::move(*text);
    return QString::fromLatin1(bytes);
}

} // namespace bp
