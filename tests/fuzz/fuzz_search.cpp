// The search engine behind Find, Find Next, Replace and Replace All, on any
// text and search text. The input is one line of options, the search text,
// the replacement, then the text searched:
//
//   DCW 4 2 0        Down, match Case, Whole word; selection start, its
//   foo              length and the Replace All caret (taken modulo the
//   bar              text's length)
//   text ...
//
// With R among the options the search text, replacement and text are raw
// UTF-16 (little-endian), so that they may hold unpaired surrogates.
//
// Every answer is checked against the obvious slow search, the UTF-8 forms
// against the UTF-16 ones, and Replace All against its literal loop.

#include "fuzzcheck.h"

#include "model/search.h"
#include "platform/textutil.h"

#include <QList>

#include <algorithm>
#include <string>

using namespace bp;

namespace {

constexpr auto Down = TSearchOption::Down;
constexpr auto MatchCase = TSearchOption::MatchCase;
constexpr auto WholeWord = TSearchOption::WholeWord;

struct Input {
    TSearchOptions options;
    bool raw = false;
    quint32 numbers[3] = {};
    QByteArray find, replace, text; // as given, before decoding
};

Input parse(const QByteArray& bytes)
{
    Input in;
    QList<QByteArray> parts = bytes.split('\n');
    while (parts.size() < 4)
        parts << QByteArray();
    int n = -1;
    bool inNumber = false;
    for (const char c : parts[0]) {
        if (c >= '0' && c <= '9') {
            if (!inNumber && n < 2)
                ++n;
            inNumber = true;
            if (n >= 0)
                in.numbers[n] = in.numbers[n] * 10 + quint32(c - '0');
            continue;
        }
        inNumber = false;
        switch (c) {
        case 'D':
            in.options |= Down;
            break;
        case 'C':
            in.options |= MatchCase;
            break;
        case 'W':
            in.options |= WholeWord;
            break;
        case 'R':
            in.raw = true;
            break;
        default:
            break;
        }
    }
    in.find = parts[1];
    in.replace = parts[2];
    in.text = bytes.mid(parts[0].size() + parts[1].size() + parts[2].size() + 3);
    return in;
}

std::u16string decode(const QByteArray& bytes, bool raw)
{
    if (!raw) {
        // Well-formed UTF-8 exactly as the rich editor holds it (a leading
        // byte-order mark included), anything else as a plain editor shows it.
        const QString s = DecodeUtf8(bytes).value_or(QString::fromUtf8(bytes));
        return std::u16string(searchView(s));
    }
    std::u16string s;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        s += char16_t(quint8(bytes[i]) | (quint8(bytes[i + 1]) << 8));
    return s;
}

bool wholeCharacters(std::u16string_view s)
{
    for (size_t i = 0; i < s.size(); ++i) {
        if (QChar::isHighSurrogate(s[i]) && i + 1 < s.size() && QChar::isLowSurrogate(s[i + 1]))
            ++i;
        else if (QChar::isSurrogate(s[i]))
            return false;
    }
    return true;
}

// The character that starts at i (or ends there) is a word character; a
// surrogate pair is one character.
bool wordAt(std::u16string_view t, qsizetype i, bool before)
{
    const qsizetype n = qsizetype(t.size());
    if (before ? i <= 0 : i >= n)
        return false;
    char32_t c = t[before ? i - 1 : i];
    if (before && i >= 2 && QChar::isLowSurrogate(t[i - 1]) && QChar::isHighSurrogate(t[i - 2]))
        c = QChar::surrogateToUcs4(t[i - 2], t[i - 1]);
    if (!before && i + 1 < n && QChar::isHighSurrogate(t[i]) && QChar::isLowSurrogate(t[i + 1]))
        c = QChar::surrogateToUcs4(t[i], t[i + 1]);
    return IsWordCharacter(c);
}

// Whether the search text matches at p, tried the obvious way.
bool matchesAt(std::u16string_view t, qsizetype p, std::u16string_view s, TSearchOptions o)
{
    const qsizetype n = qsizetype(t.size()), l = qsizetype(s.size());
    if (l == 0 || p < 0 || p + l > n || !wholeCharacters(s))
        return false;
    if (o.testFlag(WholeWord) &&
        !(wordAt(t, p, false) && !wordAt(t, p, true) && !wordAt(t, p + l, false)))
        return false;
    const auto map = [&](char16_t c) {
        return o.testFlag(MatchCase) ? c : QChar(c).toUpper().unicode();
    };
    for (qsizetype i = 0; i < l; ++i)
        if (map(t[p + i]) != map(s[i]))
            return false;
    return true;
}

// The search done the slow and obvious way: every candidate in turn.
qsizetype plainSearch(std::u16string_view t, qsizetype selStart, qsizetype selLength,
                      std::u16string_view s, TSearchOptions o)
{
    const qsizetype n = qsizetype(t.size()), l = qsizetype(s.size());
    if (o.testFlag(Down)) {
        for (qsizetype p = selStart + selLength; p + l <= n; ++p)
            if (matchesAt(t, p, s, o))
                return p;
    } else {
        for (qsizetype p = std::min(selStart - l, n - l); p >= 0; --p)
            if (matchesAt(t, p, s, o))
                return p;
    }
    return -1;
}

struct LoopResult {
    std::u16string text;
    qsizetype first = -1, selStart = 0, selLength = 0, count = 0;
    bool failed = true;
};

// Replace All as the editor's loop runs it: one search and one replacement
// in the changing text per match.
// Gives up after more than limit replacements (the comparison then fails).
LoopResult replaceAllLoop(std::u16string text, qsizetype caret, std::u16string_view f,
                          std::u16string_view r, TSearchOptions o, qsizetype limit)
{
    LoopResult res{std::move(text), -1, caret};
    o |= Down;
    for (qsizetype p; (p = SearchBuffer(res.text, res.selStart, res.selLength, f, o)) >= 0;) {
        res.selStart = p;
        res.selLength = qsizetype(f.size());
        if (res.first >= 0 && p <= res.first) {
            res.failed = false;
            break;
        }
        if (res.first < 0)
            res.first = p;
        res.text.replace(size_t(p), f.size(), r);
        res.selStart = p + qsizetype(r.size());
        res.selLength = 0;
        if (++res.count > limit)
            break;
    }
    return res;
}

// UTF-8 byte offset of every UTF-16 offset of a text; -1 inside a pair.
std::vector<qsizetype> byteOffsets(std::u16string_view t)
{
    std::vector<qsizetype> at(t.size() + 1, -1);
    qsizetype b = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        at[i] = b;
        const char16_t c = t[i];
        if (QChar::isHighSurrogate(c) && i + 1 < t.size() && QChar::isLowSurrogate(t[i + 1])) {
            b += 4;
            ++i;
        } else {
            b += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        }
    }
    at[t.size()] = b;
    return at;
}

void checkSearch(const Input& in, std::u16string_view text, std::u16string_view find,
                 qsizetype selStart, qsizetype selLength)
{
    const qsizetype n = qsizetype(text.size()), l = qsizetype(find.size());
    const TSearchOptions o = in.options;
    const qsizetype found = SearchBuffer(text, selStart, selLength, find, o);
    FUZZ_CHECK(found == plainSearch(text, selStart, selLength, find, o));
    if (found >= 0) {
        FUZZ_CHECK(found + l <= n);
        FUZZ_CHECK(o.testFlag(Down) ? found >= selStart + selLength : found + l <= selStart);
        // What Find selected is what Replace takes for a match.
        FUZZ_CHECK(ReplaceSelectionMatches(text.substr(size_t(found), size_t(l)), find,
                                           o.testFlag(MatchCase)));
    }

    // The rich editor's UTF-8 text: the same match at the same characters.
    if (in.raw)
        return;
    const std::string_view bytes(in.text.constData(), size_t(in.text.size()));
    const std::vector<qsizetype> at = byteOffsets(text);
    const qsizetype b0 = at[size_t(selStart)], b1 = at[size_t(selStart + selLength)];
    if (!DecodeUtf8(in.text) || b0 < 0 || b1 < 0) {
        // Not well-formed: only the bounds are kept.
        const qsizetype s = std::min(selStart, qsizetype(bytes.size()));
        const TSearchMatch m = SearchBufferUtf8(bytes, s, 0, find, o);
        FUZZ_CHECK(m.Pos == -1 ||
                   (m.Pos >= 0 && m.Length > 0 && m.Pos + m.Length <= qsizetype(bytes.size())));
        return;
    }
    const TSearchMatch m = SearchBufferUtf8(bytes, b0, b1 - b0, find, o);
    if (found < 0) {
        FUZZ_CHECK(m.Pos == -1);
    } else {
        FUZZ_CHECK(m.Pos == at[size_t(found)]);
        FUZZ_CHECK(m.Length == at[size_t(found + l)] - at[size_t(found)]);
    }
}

void checkReplaceAll(const Input& in, std::u16string_view text, std::u16string_view find,
                     std::u16string_view replace, qsizetype caret)
{
    const qsizetype n = qsizetype(text.size());
    const TSearchOptions o = in.options;
    const TReplaceAllResult res = ReplaceAll(text, caret, find, replace, o);
    qsizetype previousEnd = caret;
    for (const TSearchMatch& m : res.Matches) {
        FUZZ_CHECK(m.Pos >= previousEnd && m.Length == qsizetype(find.size()));
        FUZZ_CHECK(matchesAt(text, m.Pos, find, o));
        previousEnd = m.Pos + m.Length;
    }
    FUZZ_CHECK(previousEnd <= n);
    const QString replaced = ApplyReplacements(text, res.Matches, replace);

    // The loop that replaces in the changing text agrees, where it is cheap enough.
    if ((res.Count() + 1) * (n + 1) <= 1 << 16) {
        const LoopResult loop =
            replaceAllLoop(std::u16string(text), caret, find, replace, o, res.Count());
        FUZZ_CHECK(searchView(replaced) == loop.text);
        FUZZ_CHECK(res.Count() == loop.count && res.First == loop.first);
        FUZZ_CHECK(res.SelStart == loop.selStart && res.SelLength == loop.selLength);
        FUZZ_CHECK(res.EndedByFailure == loop.failed);
    }

    // Replacing a text by itself with match case changes nothing.
    const TReplaceAllResult same = ReplaceAll(text, caret, find, find, o | MatchCase);
    FUZZ_CHECK(searchView(ApplyReplacements(text, same.Matches, find)) == text);

    // The same in UTF-8, at the same characters and with the same bytes.
    if (in.raw || !DecodeUtf8(in.text))
        return;
    const std::vector<qsizetype> at = byteOffsets(text);
    if (at[size_t(caret)] < 0)
        return;
    const std::string_view bytes(in.text.constData(), size_t(in.text.size()));
    const QByteArray replacement = QStringView(replace).toUtf8();
    const std::string_view rep(replacement.constData(), size_t(replacement.size()));
    const TReplaceAllResult res8 = ReplaceAll(bytes, at[size_t(caret)], find, rep, o);
    FUZZ_CHECK(res8.Count() == res.Count() && res8.EndedByFailure == res.EndedByFailure);
    for (qsizetype i = 0; i < res.Count(); ++i) {
        const TSearchMatch& m = res.Matches[size_t(i)];
        const TSearchMatch& m8 = res8.Matches[size_t(i)];
        FUZZ_CHECK(m8.Pos == at[size_t(m.Pos)]);
        FUZZ_CHECK(m8.Length == at[size_t(m.Pos + m.Length)] - at[size_t(m.Pos)]);
    }
    const QByteArray replaced8 =
        ApplyReplacements(bytes, 0, qsizetype(bytes.size()), res8.Matches, rep);
    FUZZ_CHECK(replaced8 == replaced.toUtf8());
    const std::vector<qsizetype> atNew = byteOffsets(searchView(replaced));
    FUZZ_CHECK(res8.SelStart == atNew[size_t(res.SelStart)]);
    FUZZ_CHECK(res8.SelLength ==
               atNew[size_t(res.SelStart + res.SelLength)] - atNew[size_t(res.SelStart)]);
    FUZZ_CHECK(res8.First == (res.First < 0 ? -1 : atNew[size_t(res.First)]));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Input in = parse(fuzz::bytesOf(data, size));
    const std::u16string text = decode(in.text, in.raw);
    const std::u16string find = decode(in.find, in.raw);
    const std::u16string replace = decode(in.replace, in.raw);
    const qsizetype n = qsizetype(text.size());

    const qsizetype selStart = qsizetype(in.numbers[0] % quint32(n + 1));
    const qsizetype selLength = qsizetype(in.numbers[1] % quint32(n - selStart + 1));
    checkSearch(in, text, find, selStart, selLength);

    // The Replace dialog's text is whole characters: a replacement never
    // pairs with a surrogate of the text beside it.
    if (wholeCharacters(replace))
        checkReplaceAll(in, text, find, replace, qsizetype(in.numbers[2] % quint32(n + 1)));
    return 0;
}
