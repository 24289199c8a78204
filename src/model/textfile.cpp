#include "model/textfile.h"

#include <QStringDecoder>

namespace bp {

TTextFormat::LineEnd TTextFormat::platformLineEnd()
{
#ifdef Q_OS_WIN
    return CRLF;
#else
    return LF;
#endif
}

QByteArray TTextFormat::lineEndBytes(LineEnd eol)
{
    switch (eol) {
    case CRLF:
        return QByteArrayLiteral("\r\n");
    case CR:
        return QByteArrayLiteral("\r");
    case LF:
        break;
    }
    return QByteArrayLiteral("\n");
}

namespace {

// Decodes UTF-8 strictly: an invalid or truncated sequence is an error.
bool tryUtf8(const QByteArray& bytes, QString* text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom |
                                                     QStringDecoder::Flag::Stateless);
    QString decoded = decoder.decode(bytes);
    if (decoder.hasError())
        return false;
    if (text)
        *text = std::move(decoded);
    return true;
}

} // namespace

TTextFormat TTextFormat::detect(const QByteArray& bytes)
{
    TTextFormat format;
    format.encoding = tryUtf8(bytes, nullptr) ? Utf8 : Latin1;

    qsizetype crlf = 0, lf = 0, cr = 0;
    const qsizetype n = bytes.size();
    const char* p = bytes.constData();
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == '\r') {
            if (i + 1 < n && p[i + 1] == '\n') {
                ++crlf;
                ++i;
            } else {
                ++cr;
            }
        } else if (p[i] == '\n') {
            ++lf;
        }
    }
    if (crlf > lf && crlf > cr)
        format.eol = CRLF;
    else if (lf > crlf && lf > cr)
        format.eol = LF;
    else if (cr > crlf && cr > lf)
        format.eol = CR;
    else
        format.eol = platformLineEnd();
    return format;
}

QString decodeText(const QByteArray& bytes, const TTextFormat& format)
{
    if (format.encoding == TTextFormat::Utf8) {
        QString text;
        if (tryUtf8(bytes, &text))
            return text;
    }
    // Latin-1 maps every byte to one character and back, so nothing is lost
    // even when bytes said to be UTF-8 are not.
    return QString::fromLatin1(bytes);
}

bool endsWithLineBreak(const QString& text)
{
    return text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'));
}

namespace {

// The text with every line break written as eol.
QString withLineEnds(const QString& text, TTextFormat::LineEnd eol)
{
    const QString end = QString::fromLatin1(TTextFormat::lineEndBytes(eol));
    QString result;
    result.reserve(text.size() + text.size() / 16);
    const QChar* p = text.constData();
    const qsizetype n = text.size();
    qsizetype start = 0; // first character not yet copied
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        result.append(p + start, i - start);
        result.append(end);
        if (c == u'\r' && i + 1 < n && p[i + 1].unicode() == u'\n')
            ++i;
        start = i + 1;
    }
    result.append(p + start, n - start);
    return result;
}

bool fitsLatin1(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

} // namespace

QByteArray encodeText(const QString& text, TTextFormat& format, bool* encodingChanged)
{
    if (encodingChanged)
        *encodingChanged = false;
    const QString normalized = withLineEnds(text, format.eol);
    if (format.encoding == TTextFormat::Latin1) {
        if (fitsLatin1(normalized))
            return normalized.toLatin1();
        format.encoding = TTextFormat::Utf8;
        if (encodingChanged)
            *encodingChanged = true;
    }
    return normalized.toUtf8();
}

} // namespace bp
