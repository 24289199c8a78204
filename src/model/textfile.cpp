#include "model/textfile.h"

#include "platform/textutil.h"

#include <utility>

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

// Counts the line ends of a text that may arrive in pieces (a CR at the end
// of one piece and an LF at the start of the next are one CR LF), and the
// bytes above 127.
struct TLineEndCounter {
    qint64 crlf = 0, lf = 0, cr = 0, high = 0;
    bool pendingCr = false;

    void add(const char* p, qint64 n)
    {
        for (qint64 i = 0; i < n; ++i) {
            const char c = p[i];
            if (pendingCr) {
                pendingCr = false;
                if (c == '\n') {
                    ++crlf;
                    continue;
                }
                ++cr;
            }
            if (c == '\r')
                pendingCr = true;
            else if (c == '\n')
                ++lf;
            else if (c & 0x80)
                ++high;
        }
    }

    // The most common line end; the platform's on a tie or when there is none.
    TTextFormat::LineEnd dominant()
    {
        if (pendingCr) {
            pendingCr = false;
            ++cr;
        }
        if (crlf > lf && crlf > cr)
            return TTextFormat::CRLF;
        if (lf > crlf && lf > cr)
            return TTextFormat::LF;
        if (cr > crlf && cr > lf)
            return TTextFormat::CR;
        return TTextFormat::platformLineEnd();
    }
};

} // namespace

TTextFormat TTextFormat::detect(const QByteArray& bytes)
{
    TTextFormat format;
    TUtf8Decoder utf8;
    utf8.check(bytes);
    format.encoding = utf8.valid() ? Utf8 : Latin1;

    TLineEndCounter counter;
    counter.add(bytes.constData(), bytes.size());
    format.eol = counter.dominant();
    return format;
}

QString decodeText(const QByteArray& bytes, const TTextFormat& format)
{
    // Latin-1 maps every byte to one character and back, so nothing is lost
    // even when bytes said to be UTF-8 are not.
    if (format.encoding == TTextFormat::Utf8)
        return DecodeUtf8OrLatin1(bytes);
    return QString::fromLatin1(bytes);
}

} // namespace bp

namespace bp {

QByteArray editorUtf8FromFile(QByteArray bytes, const TTextFormat& format)
{
    if (format.encoding == TTextFormat::Utf8)
        return bytes;
    // Latin-1 to UTF-8: bytes below 0x80 stay, the others take two bytes.
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : std::as_const(bytes)) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            out.append(c);
        } else {
            out.append(char(0xC0 | (u >> 6)));
            out.append(char(0x80 | (u & 0x3F)));
        }
    }
    return out;
}

QByteArray fileBytesFromEditorUtf8(const QByteArray& utf8, TTextFormat& format,
                                   bool* encodingChanged)
{
    if (encodingChanged)
        *encodingChanged = false;
    const QByteArray eol = TTextFormat::lineEndBytes(format.eol);
    QByteArray out;
    out.reserve(utf8.size());
    const char* p = utf8.constData();
    const char* const end = p + utf8.size();
    while (p < end) {
        // Copy up to the next line break in one piece.
        const char* q = p;
        while (q < end && *q != '\r' && *q != '\n')
            ++q;
        out.append(p, q - p);
        if (q == end)
            break;
        out.append(eol);
        p = (*q == '\r' && q + 1 < end && q[1] == '\n') ? q + 2 : q + 1;
    }
    if (format.encoding == TTextFormat::Utf8)
        return out;

    // Back to Latin-1, unless a character needs more.
    QByteArray latin1;
    latin1.reserve(out.size());
    for (qsizetype i = 0; i < out.size(); ++i) {
        const auto u = static_cast<unsigned char>(out[i]);
        if (u < 0x80) {
            latin1.append(char(u));
        } else if ((u == 0xC2 || u == 0xC3) && i + 1 < out.size()) {
            latin1.append(char(((u & 0x03) << 6) | (static_cast<unsigned char>(out[++i]) & 0x3F)));
        } else {
            format.encoding = TTextFormat::Utf8;
            if (encodingChanged)
                *encodingChanged = true;
            return out;
        }
    }
    return latin1;
}

} // namespace bp

#include "platform/errors.h"
#include "platform/fileservices.h"

#include <QFile>
#include <QFileInfo>

namespace bp {

namespace {

constexpr qsizetype kPiece = qsizetype(1) << 20;

void openForReading(QFile& file, const QString& path)
{
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(path))
            throw cantFind(path);
        throw EBrewpadError(QStringLiteral("Cannot open file \"") + path + QStringLiteral("\". ") +
                            file.errorString());
    }
}

qint64 readPiece(QFile& file, QByteArray& buffer, const QString& path)
{
    const qint64 n = file.read(buffer.data(), buffer.size());
    if (n < 0)
        throw EBrewpadError(QStringLiteral("Cannot read file \"") + path + QStringLiteral("\". ") +
                            file.errorString());
    return n;
}

} // namespace

TTextFormat readTextFile(const QString& path, const std::function<void(qint64)>& begin,
                         const TTextPieceSink& piece)
{
    // A device or a generated system file may never end: it is not read.
    if (files::exists(path) && !files::isOrdinaryFile(path))
        throw EBrewpadError(QLatin1Char('\'') + path +
                            QStringLiteral("' is not a file that can be opened as a document."));
    QFile file(path);
    openForReading(file, path);
    QByteArray buffer(kPiece, Qt::Uninitialized);

    // First pass: is it UTF-8, which line end is the most common, and how
    // much text will there be.
    TLineEndCounter counter;
    qint64 bytes = 0;
    bool utf8 = true;
    {
        // Scoped: its buffer is gone before the text is loaded.
        TUtf8Decoder decoder;
        for (qint64 n; (n = readPiece(file, buffer, path)) > 0;) {
            const char* p = buffer.constData();
            bytes += n;
            // After an invalid sequence the rest need not be decoded.
            if (!decoder.failed())
                decoder.check(QByteArrayView(p, n));
            counter.add(p, n);
        }
        // A sequence cut off at the end of the file is no valid UTF-8 either.
        utf8 = decoder.valid();
    }

    TTextFormat format;
    format.encoding = utf8 ? TTextFormat::Utf8 : TTextFormat::Latin1;
    format.eol = counter.dominant();

    // Second pass: the text itself.
    begin(bytes + (utf8 ? 0 : counter.high) + counter.lf + counter.cr);
    if (!file.seek(0))
        throw EBrewpadError(QStringLiteral("Cannot read file \"") + path + QStringLiteral("\". ") +
                            file.errorString());
    QByteArray converted;
    for (qint64 n; (n = readPiece(file, buffer, path)) > 0;) {
        if (utf8) {
            piece(buffer.constData(), n);
        } else {
            converted = editorUtf8FromFile(QByteArray::fromRawData(buffer.constData(), n), format);
            piece(converted.constData(), converted.size());
        }
    }
    return format;
}

} // namespace bp
