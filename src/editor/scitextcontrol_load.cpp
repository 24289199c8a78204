// Putting a text into the rich control: whole, or loaded in pieces, with an
// overlong line cut into rows as it arrives.
#include "editor/scitextcontrol.h"

#include "editor/scitextcontrol_p.h"
#include "editor/softbreaks.h"

#include <Qsci/qsciscintilla.h>

#include <algorithm>

namespace bp {

namespace scidetail {

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

} // namespace scidetail

using namespace scidetail;

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
    // A load that never ended (its file could not be read to the end) has
    // already put the read-only state aside and let go of the line index:
    // this one takes over from it.
    if (!FLoading) {
        FLoadReadOnly = FEdit->isReadOnly();
        send(Sci::SCI_RELEASELINECHARACTERINDEX, Utf16Index);
    }
    FLoading = true;
    FEdit->setReadOnly(false);
    // The line index is built again in one pass at the end, cheaper than
    // keeping it up to date while the text arrives; the rows are recorded
    // as they are cut.
    send(Sci::SCI_SETMODEVENTMASK, 0);
    // Clearing the whole text takes the error marks with it.
    FHasErrorMarkers = false;
    FSoft.clear();
    FInsertionLength = 0;
    FLoadRun = 0;
    FLoadRowBytes = 0;
    FLoadRows = 0;
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
    // length, so a NUL byte survives (SCI_SETTEXT would stop there). A line
    // longer than SplitAbove is cut into rows on the way.
    constexpr qsizetype Slice = qsizetype(1) << 20;
    // Room for the largest slice at its worst (every byte a line break); a
    // small file gets a small buffer, as filling it costs time too.
    const qsizetype largest = std::min(size, Slice);
    const auto room = size_t(2 * largest + largest / TSoftBreaks::RowLength + 1);
    if (FLoadBuffer.size() < room)
        FLoadBuffer.resize(room);
    char* const buffer = FLoadBuffer.data();
    char* out = buffer;
    const auto flush = [&] {
        FEdit->SendScintilla(Sci::SCI_APPENDTEXT, static_cast<uintptr_t>(out - buffer), buffer);
        out = buffer;
    };
    bool afterCr = FLoadAfterCr;
    long run = FLoadRun;
    long rowBytes = FLoadRowBytes;
    for (qsizetype from = 0; from < size; from += Slice) {
        const char* in = data + from;
        const char* const end = data + std::min(size, from + Slice);
        for (; in < end; ++in) {
            const char c = *in;
            if (c == '\n' || c == '\r') {
                if (c == '\r' || !afterCr) {
                    *out++ = '\r';
                    *out++ = '\n';
                    ++FLoadRows;
                }
                afterCr = c == '\r';
                run = 0;
                rowBytes = 0;
                continue;
            }
            afterCr = false;
            if (run >= TSoftBreaks::SplitAbove) {
                if (run == TSoftBreaks::SplitAbove) {
                    flush();
                    rowBytes = cutLoadedLine();
                }
                if (CutsRowBefore(rowBytes, c)) {
                    *out++ = '\n';
                    FSoft.append(FLoadRows++);
                    rowBytes = 0;
                }
            }
            *out++ = c;
            ++run;
            ++rowBytes;
        }
        flush();
    }
    FLoadAfterCr = afterCr;
    FLoadRun = run;
    FLoadRowBytes = rowBytes;
}

long SciTextControl::cutLoadedLine()
{
    // The line's first SplitAbove bytes end the text: soft breaks go in
    // every RowLength bytes, each moved back to the start of a character,
    // the last first so that the positions before it hold.
    const long start = send(Sci::SCI_GETLENGTH) - TSoftBreaks::SplitAbove;
    std::vector<long> cuts;
    for (long cut = TSoftBreaks::RowLength; cut < TSoftBreaks::SplitAbove;
         cut += TSoftBreaks::RowLength) {
        long at = cut;
        while (at > cut - 3 && IsContinuationByte(char(send(Sci::SCI_GETCHARAT, start + at))))
            --at;
        cuts.push_back(at);
    }
    for (auto it = cuts.rbegin(); it != cuts.rend(); ++it)
        FEdit->SendScintilla(Sci::SCI_INSERTTEXT, static_cast<uintptr_t>(start + *it), "\n");
    for (size_t i = 0; i < cuts.size(); ++i)
        FSoft.append(FLoadRows++);
    return TSoftBreaks::SplitAbove - cuts.back();
}

void SciTextControl::endLoad()
{
    FLoading = false;
    FLoadBuffer = std::vector<char>();
    send(Sci::SCI_EMPTYUNDOBUFFER);
    send(Sci::SCI_SETUNDOCOLLECTION, 1);
    send(Sci::SCI_ALLOCATELINECHARACTERINDEX, Utf16Index);
    send(Sci::SCI_SETSAVEPOINT);
    send(Sci::SCI_GOTOPOS, 0);
    send(Sci::SCI_SETMODEVENTMASK, TrackedChanges);
    FEdit->setReadOnly(FLoadReadOnly);
    FForcedModified = false;
    updateLexer();
    updateMarginWidth(false);
}

} // namespace bp
