#include "model/textfile.h"

#include "platform/errors.h"
#include "platform/fileservices.h"
#include "platform/textutil.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <bit>
#include <optional>
#include <unordered_map>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

const QByteArray kUtf8Bom = QByteArrayLiteral("\xef\xbb\xbf");

// Counts the line ends of a text that may arrive in pieces (a CR at the end
// of one piece and an LF at the start of the next are one CR LF), the bytes
// above 127 and the NUL bytes.
struct TLineEndCounter {
    qint64 crlf = 0, lf = 0, cr = 0, high = 0, nul = 0;
    bool pendingCr = false;

    void add(const char* p, qint64 n)
    {
        qint64 done = 0;
#ifdef __SSE2__
        // Sixteen bytes at a time while no CR is near: line feeds, bytes
        // with the high bit and NULs are counted from the compare masks. A
        // large file is read through here first, so it matters.
        const __m128i lfs = _mm_set1_epi8('\n'), crs = _mm_set1_epi8('\r');
        const __m128i zeros = _mm_setzero_si128();
        for (; done + 16 <= n; done += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + done));
            if (pendingCr || _mm_movemask_epi8(_mm_cmpeq_epi8(v, crs)) != 0) {
                addBytes(p + done, 16);
                continue;
            }
            lf += std::popcount(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lfs))));
            high += std::popcount(unsigned(_mm_movemask_epi8(v)));
            nul += std::popcount(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zeros))));
        }
#endif
        addBytes(p + done, n - done);
    }

    void addBytes(const char* p, qint64 n)
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
            else if (c == 0)
                ++nul;
        }
    }

    // Counts a CR that ended the text.
    void finish()
    {
        if (pendingCr) {
            pendingCr = false;
            ++cr;
        }
    }

    // The most common line end; the platform's on a tie or when there is none.
    TTextFormat::LineEnd dominant() const
    {
        if (crlf > lf && crlf > cr)
            return TTextFormat::CRLF;
        if (lf > crlf && lf > cr)
            return TTextFormat::LF;
        if (cr > crlf && cr > lf)
            return TTextFormat::CR;
        return TTextFormat::platformLineEnd();
    }

    // More than one kind of line end.
    bool mixed() const { return (crlf > 0) + (lf > 0) + (cr > 0) > 1; }
};

TTextFormat formatOf(TTextFormat::Encoding encoding, bool bom, const TLineEndCounter& counter)
{
    TTextFormat format;
    format.encoding = encoding;
    format.eol = counter.dominant();
    format.bom = bom;
    format.binary = counter.nul > 0;
    return format;
}

bool startsWithUtf16Mark(const char* p, qint64 n)
{
    return n >= 2 && ((uchar(p[0]) == 0xFF && uchar(p[1]) == 0xFE) ||
                      (uchar(p[0]) == 0xFE && uchar(p[1]) == 0xFF));
}

// The UTF-8 text (without the mark) of bytes that start with a UTF-16
// byte-order mark, if they are valid UTF-16 throughout: an even number of
// bytes, every surrogate in a pair. Otherwise nothing, and the bytes are
// read as 8-bit text.
std::optional<QByteArray> utf8FromUtf16(const QByteArray& bytes, TTextFormat::Encoding& encoding)
{
    if (!startsWithUtf16Mark(bytes.constData(), bytes.size()) || bytes.size() % 2 != 0)
        return std::nullopt;
    const bool bigEndian = uchar(bytes[0]) == 0xFE;
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData()) + 2;
    const qsizetype units = bytes.size() / 2 - 1;
    QString text(units, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    bool expectLow = false;
    for (qsizetype i = 0; i < units; ++i, p += 2) {
        const char16_t u = bigEndian ? char16_t(p[0] << 8 | p[1]) : char16_t(p[1] << 8 | p[0]);
        const bool high = QChar::isHighSurrogate(u), low = QChar::isLowSurrogate(u);
        if (low != expectLow)
            return std::nullopt;
        expectLow = high;
        out[i] = u;
    }
    if (expectLow)
        return std::nullopt;
    encoding = bigEndian ? TTextFormat::Utf16BE : TTextFormat::Utf16LE;
    return text.toUtf8();
}

QByteArray utf16FromUtf8(const QByteArray& utf8, bool bigEndian)
{
    const QString text = QString::fromUtf8(utf8);
    QByteArray out;
    out.reserve(2 * text.size() + 2);
    const auto unit = [&](char16_t u) {
        if (bigEndian) {
            out.append(char(u >> 8));
            out.append(char(u & 0xFF));
        } else {
            out.append(char(u & 0xFF));
            out.append(char(u >> 8));
        }
    };
    unit(0xFEFF);
    for (const QChar c : text)
        unit(c.unicode());
    return out;
}

// Latin-1 to UTF-8: bytes below 0x80 stay, the others take two bytes.
QByteArray utf8FromLatin1(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
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

// UTF-8 back to Latin-1, or nothing when a character needs more.
std::optional<QByteArray> latin1FromUtf8(const QByteArray& utf8)
{
    QByteArray latin1;
    latin1.reserve(utf8.size());
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const auto u = static_cast<unsigned char>(utf8[i]);
        if (u < 0x80)
            latin1.append(char(u));
        else if ((u == 0xC2 || u == 0xC3) && i + 1 < utf8.size())
            latin1.append(char(((u & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F)));
        else
            return std::nullopt;
    }
    return latin1;
}

// Calls line(from, size) for each line of a text whose lines break with
// CR LF, LF or lone CR, and brk() after each line that has a break.
template <typename Line, typename Break>
void forEachLine(const QByteArray& text, Line line, Break brk)
{
    const char* const begin = text.constData();
    const char* p = begin;
    const char* const end = p + text.size();
    for (;;) {
        const char* q = p;
        while (q < end && *q != '\r' && *q != '\n')
            ++q;
        line(p - begin, q - p);
        if (q == end)
            return;
        brk();
        p = (*q == '\r' && q + 1 < end && q[1] == '\n') ? q + 2 : q + 1;
    }
}

// Every line break of the text becomes eol.
QByteArray withLineEnd(const QByteArray& utf8, const QByteArray& eol)
{
    QByteArray out;
    out.reserve(utf8.size());
    forEachLine(
        utf8, [&](qsizetype from, qsizetype size) { out.append(utf8.constData() + from, size); },
        [&] { out.append(eol); });
    return out;
}

constexpr quint64 kHashStart = 0xcbf29ce484222325ull;
constexpr quint64 kHashFactor = 0x100000001b3ull;

} // namespace

TTextFormat TTextFormat::detect(const QByteArray& bytes)
{
    TLineEndCounter counter;
    Encoding utf16 = Utf8;
    if (const auto text = utf8FromUtf16(bytes, utf16)) {
        counter.add(text->constData(), text->size());
        counter.finish();
        return formatOf(utf16, true, counter);
    }
    TUtf8Decoder utf8;
    utf8.check(bytes);
    counter.add(bytes.constData(), bytes.size());
    counter.finish();
    return utf8.valid() ? formatOf(Utf8, bytes.startsWith(kUtf8Bom), counter)
                        : formatOf(Latin1, false, counter);
}

// TLineEnds

void TLineEnds::clear()
{
    FHashes.clear();
    FEnds.clear();
}

quint64 TLineEnds::lineHash(const char* text, qsizetype size)
{
    quint64 h = kHashStart;
    for (qsizetype i = 0; i < size; ++i)
        h = (h ^ uchar(text[i])) * kHashFactor;
    return h;
}

TLineEnds::TRecorder::TRecorder(TLineEnds& target) : FTarget(target), FHash(kHashStart)
{
    FTarget.clear();
}

void TLineEnds::TRecorder::endLine(quint8 end)
{
    FTarget.FHashes.push_back(FHash);
    FTarget.FEnds.push_back(end);
    FHash = kHashStart;
}

void TLineEnds::TRecorder::add(const char* utf8, qsizetype size)
{
    quint64 h = FHash;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = utf8[i];
        if (FPendingCr) {
            FPendingCr = false;
            if (c == '\n') {
                FHash = h;
                endLine(TTextFormat::CRLF);
                h = FHash;
                continue;
            }
            FHash = h;
            endLine(TTextFormat::CR);
            h = FHash;
        }
        if (c == '\r') {
            FPendingCr = true;
        } else if (c == '\n') {
            FHash = h;
            endLine(TTextFormat::LF);
            h = FHash;
        } else {
            h = (h ^ uchar(c)) * kHashFactor;
        }
    }
    FHash = h;
}

void TLineEnds::TRecorder::finish()
{
    if (FPendingCr) {
        FPendingCr = false;
        endLine(TTextFormat::CR);
    }
    endLine(NoEnd);
}

namespace {

// The lines of `now[nb, ne)` that are the lines `before[ob, oe)` (one to one,
// in order), written into oldOf. Lines whose text occurs once on each side
// anchor the matching (the longest run of them in order); between anchors,
// lines pair up by position: they are the lines edited in place. A line
// moved elsewhere counts as new there.
void matchLines(const std::vector<quint64>& before, int ob, int oe,
                const std::vector<quint64>& now, int nb, int ne, std::vector<int>& oldOf)
{
    const auto byPosition = [&](int o, int oEnd, int n, int nEnd) {
        for (; o < oEnd && n < nEnd; ++o, ++n)
            oldOf[size_t(n)] = o;
    };
    struct TSeen {
        int count = 0;
        int index = 0;
    };
    std::unordered_map<quint64, TSeen> oldSeen, newSeen;
    for (int o = ob; o < oe; ++o) {
        TSeen& s = oldSeen[before[size_t(o)]];
        ++s.count;
        s.index = o;
    }
    for (int n = nb; n < ne; ++n)
        ++newSeen[now[size_t(n)]].count;
    std::vector<std::pair<int, int>> unique; // (old, new), in new order
    for (int n = nb; n < ne; ++n) {
        const quint64 h = now[size_t(n)];
        const auto it = oldSeen.find(h);
        if (it != oldSeen.end() && it->second.count == 1 && newSeen[h].count == 1)
            unique.emplace_back(it->second.index, n);
    }
    // The longest run of unique lines whose old order is their new order.
    std::vector<int> tails, previous(unique.size(), -1);
    for (int k = 0; k < int(unique.size()); ++k) {
        const auto at = std::lower_bound(tails.begin(), tails.end(), k, [&](int t, int key) {
            return unique[size_t(t)].first < unique[size_t(key)].first;
        });
        if (at != tails.begin())
            previous[size_t(k)] = *(at - 1);
        if (at == tails.end())
            tails.push_back(k);
        else
            *at = k;
    }
    std::vector<std::pair<int, int>> anchors;
    for (int k = tails.empty() ? -1 : tails.back(); k >= 0; k = previous[size_t(k)])
        anchors.push_back(unique[size_t(k)]);
    std::reverse(anchors.begin(), anchors.end());
    anchors.emplace_back(oe, ne);

    int o = ob, n = nb;
    for (const auto& [ao, an] : anchors) {
        byPosition(o, ao, n, an);
        if (ao < oe)
            oldOf[size_t(an)] = ao;
        o = ao + 1;
        n = an + 1;
    }
}

} // namespace

std::vector<TTextFormat::LineEnd> TLineEnds::endsFor(const std::vector<quint64>& lines,
                                                     TTextFormat::LineEnd fallback) const
{
    const int oldCount = int(FHashes.size()), newCount = int(lines.size());
    std::vector<int> oldOf(lines.size(), -1);
    // Unchanged lines at the start and at the end, then the rest.
    int first = 0;
    while (first < oldCount && first < newCount && FHashes[size_t(first)] == lines[size_t(first)]) {
        oldOf[size_t(first)] = first;
        ++first;
    }
    int last = 0;
    while (last < oldCount - first && last < newCount - first &&
           FHashes[size_t(oldCount - 1 - last)] == lines[size_t(newCount - 1 - last)]) {
        oldOf[size_t(newCount - 1 - last)] = oldCount - 1 - last;
        ++last;
    }
    matchLines(FHashes, first, oldCount - last, lines, first, newCount - last, oldOf);

    std::vector<TTextFormat::LineEnd> ends;
    ends.reserve(lines.empty() ? 0 : lines.size() - 1);
    for (int n = 0; n + 1 < newCount; ++n) {
        const int o = oldOf[size_t(n)];
        const quint8 end = o >= 0 ? FEnds[size_t(o)] : NoEnd;
        ends.push_back(end == NoEnd ? fallback : TTextFormat::LineEnd(end));
    }
    return ends;
}

namespace {

// The text with each line's recorded end (see TLineEnds::endsFor). The
// format's line end becomes the result's most common one, if one is; the
// result says whether its line ends are still mixed.
QByteArray withRecordedLineEnds(const QByteArray& utf8, TTextFormat& format,
                                const TLineEnds& record, bool& mixed)
{
    std::vector<quint64> hashes;
    forEachLine(
        utf8,
        [&](qsizetype from, qsizetype size) {
            hashes.push_back(TLineEnds::lineHash(utf8.constData() + from, size));
        },
        [] {});
    const std::vector<TTextFormat::LineEnd> ends = record.endsFor(hashes, format.eol);

    QByteArray out;
    out.reserve(utf8.size() + qsizetype(ends.size()));
    size_t line = 0;
    qint64 count[3] = {};
    forEachLine(
        utf8, [&](qsizetype from, qsizetype size) { out.append(utf8.constData() + from, size); },
        [&] {
            const TTextFormat::LineEnd eol = ends[line++];
            ++count[eol];
            out.append(TTextFormat::lineEndBytes(eol));
        });
    for (const auto eol : {TTextFormat::CRLF, TTextFormat::LF, TTextFormat::CR}) {
        if (count[eol] > count[(eol + 1) % 3] && count[eol] > count[(eol + 2) % 3])
            format.eol = eol;
    }
    mixed = (count[0] > 0) + (count[1] > 0) + (count[2] > 0) > 1;
    return out;
}

} // namespace

QByteArray fileBytesFromEditorUtf8(const QByteArray& utf8, TTextFormat& format,
                                   bool* encodingChanged, TLineEnds* lineEnds)
{
    if (encodingChanged)
        *encodingChanged = false;
    QByteArray out;
    if (lineEnds && !lineEnds->isEmpty()) {
        bool mixed = false;
        out = withRecordedLineEnds(utf8, format, *lineEnds, mixed);
        // The record of what is written, for the next save; lines that all
        // end alike need none.
        lineEnds->clear();
        if (mixed) {
            TLineEnds::TRecorder recorder(*lineEnds);
            recorder.add(out.constData(), out.size());
            recorder.finish();
        }
    } else {
        out = withLineEnd(utf8, TTextFormat::lineEndBytes(format.eol));
    }

    switch (format.encoding) {
    case TTextFormat::Utf8:
        return format.bom ? kUtf8Bom + out : out;
    case TTextFormat::Utf16LE:
    case TTextFormat::Utf16BE:
        return utf16FromUtf8(out, format.encoding == TTextFormat::Utf16BE);
    case TTextFormat::Latin1:
        break;
    }
    // Back to Latin-1, unless a character needs more.
    if (auto latin1 = latin1FromUtf8(out))
        return *latin1;
    format.encoding = TTextFormat::Utf8;
    if (encodingChanged)
        *encodingChanged = true;
    return out;
}

} // namespace bp

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

[[noreturn]] void throwReadError(const QFile& file, const QString& path)
{
    throw EBrewpadError(QStringLiteral("Cannot read file \"") + path + QStringLiteral("\". ") +
                        file.errorString());
}

qint64 readPiece(QFile& file, QByteArray& buffer, const QString& path)
{
    const qint64 n = file.read(buffer.data(), buffer.size());
    if (n < 0)
        throwReadError(file, path);
    return n;
}

// A file that starts with a UTF-16 byte-order mark and is valid UTF-16: its
// text in one piece. Otherwise nothing, and the file is read from its start
// as 8-bit text.
std::optional<TTextFormat> readUtf16(QFile& file, const QString& path,
                                     const std::function<void(qint64)>& begin,
                                     const TTextPieceSink& piece, TLineEnds* lineEnds)
{
    char mark[2];
    if (file.peek(mark, 2) != 2 || !startsWithUtf16Mark(mark, 2))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throwReadError(file, path);
    TTextFormat::Encoding encoding = TTextFormat::Utf16LE;
    const std::optional<QByteArray> text = utf8FromUtf16(bytes, encoding);
    if (!text) {
        if (!file.seek(0))
            throwReadError(file, path);
        return std::nullopt;
    }
    TLineEndCounter counter;
    counter.add(text->constData(), text->size());
    counter.finish();
    if (lineEnds && counter.mixed()) {
        TLineEnds::TRecorder recorder(*lineEnds);
        recorder.add(text->constData(), text->size());
        recorder.finish();
    }
    begin(text->size() + counter.lf + counter.cr);
    piece(text->constData(), text->size());
    return formatOf(encoding, true, counter);
}

} // namespace

TTextFormat readTextFile(const QString& path, const std::function<void(qint64)>& begin,
                         const TTextPieceSink& piece, TLineEnds* lineEnds)
{
    // A device or a generated system file may never end: it is not read.
    if (files::exists(path) && !files::isOrdinaryFile(path))
        throw EBrewpadError(QLatin1Char('\'') + path +
                            QStringLiteral("' is not a file that can be opened as a document."));
    if (lineEnds)
        lineEnds->clear();
    QFile file(path);
    openForReading(file, path);
    if (const auto format = readUtf16(file, path, begin, piece, lineEnds))
        return *format;
    QByteArray buffer(kPiece, Qt::Uninitialized);

    // First pass: is it UTF-8, which line end is the most common, and how
    // much text will there be.
    TLineEndCounter counter;
    qint64 bytes = 0;
    bool utf8 = true;
    bool bom = false;
    {
        // Scoped: its buffer is gone before the text is loaded.
        TUtf8Decoder decoder;
        for (qint64 n; (n = readPiece(file, buffer, path)) > 0;) {
            const char* p = buffer.constData();
            if (bytes == 0)
                bom = QByteArrayView(p, n).startsWith(kUtf8Bom);
            bytes += n;
            // After an invalid sequence the rest need not be decoded.
            if (!decoder.failed())
                decoder.check(QByteArrayView(p, n));
            counter.add(p, n);
        }
        // A sequence cut off at the end of the file is no valid UTF-8 either.
        utf8 = decoder.valid();
        counter.finish();
    }
    bom = bom && utf8;
    const TTextFormat format = formatOf(utf8 ? TTextFormat::Utf8 : TTextFormat::Latin1, bom, counter);

    // Second pass: the text itself, without its byte-order mark.
    std::optional<TLineEnds::TRecorder> recorder;
    if (lineEnds && counter.mixed())
        recorder.emplace(*lineEnds);
    const auto deliver = [&](const char* p, qsizetype n) {
        if (recorder)
            recorder->add(p, n);
        piece(p, n);
    };
    begin(bytes - (bom ? kUtf8Bom.size() : 0) + (utf8 ? 0 : counter.high) + counter.lf +
          counter.cr);
    if (!file.seek(bom ? kUtf8Bom.size() : 0))
        throwReadError(file, path);
    QByteArray converted;
    for (qint64 n; (n = readPiece(file, buffer, path)) > 0;) {
        if (utf8) {
            deliver(buffer.constData(), n);
        } else {
            converted = utf8FromLatin1(QByteArrayView(buffer.constData(), n));
            deliver(converted.constData(), converted.size());
        }
    }
    if (recorder)
        recorder->finish();
    return format;
}

} // namespace bp
