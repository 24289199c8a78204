#include "model/search.h"

#include "platform/textutil.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <bit>
#include <bitset>
#include <string>
#include <type_traits>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// A search visits every candidate position in turn. Checking each one with
// a full comparison is too slow for large texts, so the scan first looks
// only for positions whose code unit can begin the search text's first
// character after the case map, and compares the rest of the search text
// only there. In UTF-8 text, the rich editor's, the scan is what a Find Next
// costs, and it takes sixteen bytes at a time where SSE2 is available. The
// plain editor first copies its whole text for a search, which costs several
// times what a scan of that copy does, so its UTF-16 scan goes unit by unit. A
// whole-word search visits exactly the word starts among the candidates, so
// it can test each remaining position for being a word start instead of
// walking from word to word. Both give the positions the one-by-one walk
// would give, in the same order.
//
// The same scan runs over UTF-8: the rich editor keeps its text so, and a
// search there needs no copy of the text. The case map is that of UTF-16
// code units, so every character of a UTF-8 text is read as the one or two
// code units it would be in UTF-16; the word rule is that of whole
// characters in both.

namespace bp {

namespace {

// The case map for every UTF-16 code unit, and the code units it changes,
// sorted by their upper-case form, so that all code units standing for one
// upper-case form can be listed without a pass over the whole table.
struct CaseTables {
    std::array<char16_t, 65536> upper;
    std::vector<std::pair<char16_t, char16_t>> changed; // (upper-case form, code unit)

    CaseTables()
    {
        for (unsigned c = 0; c < upper.size(); ++c) {
            const char16_t u = QChar(char16_t(c)).toUpper().unicode();
            upper[c] = u;
            if (u != c)
                changed.emplace_back(u, char16_t(c));
        }
        std::sort(changed.begin(), changed.end());
    }
};

const CaseTables& caseTables()
{
    static const CaseTables tables;
    return tables;
}

// IsWordCharacter for every character of the Basic Multilingual Plane (a
// surrogate code unit on its own is none), so that the whole-word test costs
// a look-up.
struct WordTable {
    std::bitset<65536> word;

    WordTable()
    {
        for (char32_t c = 0; c < word.size(); ++c)
            word[c] = IsWordCharacter(c);
    }
};

bool isWordCodePoint(char32_t c)
{
    static const WordTable table;
    return c < 0x10000 ? table.word[c] : IsWordCharacter(c);
}

bool isAsciiWord(unsigned c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// Whether every surrogate of a text belongs to a pair.
bool wholeCharacters(std::u16string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1]))
            ++i;
        else if (QChar::isSurrogate(c))
            return false;
    }
    return true;
}

// How a search reads a text: a UTF-16 text one code unit at a time, a UTF-8
// text one character at a time as the code units it has in UTF-16. read()
// puts those code units (one or two) into out and the number of the text's
// own units the character takes into length.
struct Utf16Reader {
    using Unit = char16_t;
    static unsigned value(char16_t c) { return c; }
    static int read(const char16_t* s, qsizetype, qsizetype b, char16_t* out, qsizetype& length)
    {
        out[0] = s[b];
        length = 1;
        return 1;
    }
    // Whether the character that starts at i (i < n) is a word character.
    static bool wordAt(const char16_t* s, qsizetype n, qsizetype i)
    {
        const char16_t c = s[i];
        if (c < 0x80)
            return isAsciiWord(c);
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1]))
            return isWordCodePoint(QChar::surrogateToUcs4(c, s[i + 1]));
        return isWordCodePoint(c);
    }
    // Whether the character that ends at i (i > 0) is a word character.
    static bool wordBefore(const char16_t* s, qsizetype, qsizetype i)
    {
        const char16_t c = s[i - 1];
        if (c < 0x80)
            return isAsciiWord(c);
        if (QChar::isLowSurrogate(c) && i >= 2 && QChar::isHighSurrogate(s[i - 2]))
            return isWordCodePoint(QChar::surrogateToUcs4(s[i - 2], c));
        return isWordCodePoint(c);
    }
};

struct Utf8Reader {
    using Unit = char;
    static unsigned value(char c) { return static_cast<unsigned char>(c); }
    // A byte that starts no well-formed character reads as U+FFFD.
    static int read(const char* text, qsizetype n, qsizetype b, char16_t* out, qsizetype& length)
    {
        const auto* s = reinterpret_cast<const unsigned char*>(text) + b;
        const qsizetype avail = n - b;
        const unsigned c = s[0];
        length = 1;
        out[0] = char16_t(c);
        if (c < 0x80)
            return 1;
        out[0] = 0xFFFD;
        const auto cont = [&](qsizetype i) { return i < avail && (s[i] & 0xC0) == 0x80; };
        if (c >= 0xC2 && c <= 0xDF && cont(1)) {
            out[0] = char16_t(((c & 0x1F) << 6) | (s[1] & 0x3F));
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF && cont(1) && cont(2)) {
            const unsigned cp = ((c & 0x0F) << 12) | ((s[1] & 0x3F) << 6) | (s[2] & 0x3F);
            if (cp >= 0x800 && !QChar::isSurrogate(cp)) {
                out[0] = char16_t(cp);
                length = 3;
            }
        } else if (c >= 0xF0 && c <= 0xF4 && cont(1) && cont(2) && cont(3)) {
            const unsigned cp = ((c & 0x07) << 18) | ((s[1] & 0x3F) << 12) |
                                ((s[2] & 0x3F) << 6) | (s[3] & 0x3F);
            if (cp >= 0x10000 && cp <= 0x10FFFF) {
                out[0] = QChar::highSurrogate(cp);
                out[1] = QChar::lowSurrogate(cp);
                length = 4;
                return 2;
            }
        }
        return 1;
    }
    static bool wordAt(const char* s, qsizetype n, qsizetype i)
    {
        const unsigned c = value(s[i]);
        if (c < 0x80)
            return isAsciiWord(c);
        char16_t units[2];
        qsizetype length = 1;
        return isWordCodePoint(codePoint(units, read(s, n, i, units, length)));
    }
    // The character ending at i starts at most three continuation bytes
    // earlier; a stray continuation byte reads as U+FFFD, no word character.
    static bool wordBefore(const char* s, qsizetype n, qsizetype i)
    {
        const unsigned c = value(s[i - 1]);
        if (c < 0x80)
            return isAsciiWord(c);
        qsizetype p = i - 1;
        while (p > 0 && i - p < 4 && (value(s[p]) & 0xC0) == 0x80)
            --p;
        char16_t units[2];
        qsizetype length = 1;
        const int count = read(s, n, p, units, length);
        return p + length == i && isWordCodePoint(codePoint(units, count));
    }

private:
    static char32_t codePoint(const char16_t* units, int count)
    {
        return count == 2 ? QChar::surrogateToUcs4(units[0], units[1]) : char32_t(units[0]);
    }
};

// Up to four code units looked for at once; unused entries repeat the first.
template <typename Unit>
using Units = std::array<Unit, 4>;

template <typename Unit>
bool isOneOf(Unit c, const Units<Unit>& units)
{
    return c == units[0] || c == units[1] || c == units[2] || c == units[3];
}

#ifdef __SSE2__
// Finds up to four byte values in sixteen bytes at once.
class LeadBytes {
public:
    static constexpr int Lanes = 16;
    explicit LeadBytes(const Units<char>& units)
    {
        for (int i = 0; i < 4; ++i)
            FUnits[i] = _mm_set1_epi8(units[i]);
    }
    // One mask bit for each of the sixteen bytes at s that is one of the units.
    unsigned hits(const char* s) const
    {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i m =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, FUnits[0]), _mm_cmpeq_epi8(x, FUnits[1])),
                         _mm_or_si128(_mm_cmpeq_epi8(x, FUnits[2]), _mm_cmpeq_epi8(x, FUnits[3])));
        return unsigned(_mm_movemask_epi8(m));
    }

private:
    __m128i FUnits[4];
};
#endif

// The positions in [begin, end) holding one of the units, lowest first,
// until accept takes one; returns it, or -1.
template <typename Unit, typename Accept>
qsizetype scanDown(const Unit* s, qsizetype begin, qsizetype end, const Units<Unit>& units,
                   Accept accept)
{
    qsizetype p = begin;
#ifdef __SSE2__
    if constexpr (sizeof(Unit) == 1) {
        const LeadBytes vec(units);
        for (; end - p >= LeadBytes::Lanes; p += LeadBytes::Lanes) {
            for (unsigned mask = vec.hits(s + p); mask != 0; mask &= mask - 1) {
                const qsizetype q = p + std::countr_zero(mask);
                if (accept(q))
                    return q;
            }
        }
    }
#endif
    for (; p < end; ++p) {
        if (isOneOf(s[p], units) && accept(p))
            return p;
    }
    return -1;
}

// As scanDown, highest position first.
template <typename Unit, typename Accept>
qsizetype scanUp(const Unit* s, qsizetype begin, qsizetype end, const Units<Unit>& units,
                 Accept accept)
{
    qsizetype p = end;
#ifdef __SSE2__
    if constexpr (sizeof(Unit) == 1) {
        constexpr int lanes = LeadBytes::Lanes;
        const LeadBytes vec(units);
        for (; p - begin >= lanes; p -= lanes) {
            for (unsigned mask = vec.hits(s + p - lanes); mask != 0;) {
                const int lane = std::bit_width(mask) - 1;
                const qsizetype q = p - lanes + lane;
                if (accept(q))
                    return q;
                mask &= ~(1u << lane);
            }
        }
    }
#endif
    for (; p > begin; --p) {
        if (isOneOf(s[p - 1], units) && accept(p - 1))
            return p - 1;
    }
    return -1;
}

// A search text prepared once for any number of searches with the same
// options in texts read by Reader.
template <typename Reader>
class SearchPattern {
    using Unit = typename Reader::Unit;
    using Text = std::basic_string_view<Unit>;

public:
    SearchPattern(std::u16string_view searchText, TSearchOptions options)
        : FMatchCase(options.testFlag(TSearchOption::MatchCase)),
          FWholeWord(options.testFlag(TSearchOption::WholeWord))
    {
        if (searchText.empty() || !wholeCharacters(searchText))
            return;
        FText = searchText;
        const auto& tables = caseTables();
        if (!FMatchCase) {
            for (char16_t& c : FText)
                c = tables.upper[c];
        }
        // Every code unit that the case map turns into the first one (a
        // surrogate maps to itself).
        const char16_t first = FText[0];
        std::vector<char16_t> firsts;
        if (FMatchCase || tables.upper[first] == first)
            firsts.push_back(first);
        if (!FMatchCase) {
            for (auto it = std::lower_bound(tables.changed.begin(), tables.changed.end(),
                                            std::pair<char16_t, char16_t>(first, 0));
                 it != tables.changed.end() && it->first == first; ++it)
                firsts.push_back(it->second);
        }
        // The code units of the text that can begin a match: for UTF-8 the
        // first bytes of those characters.
        std::vector<Unit> leads;
        for (const char16_t c : firsts) {
            Unit lead = Unit(c);
            if constexpr (sizeof(Unit) == 1) {
                const char32_t cp = QChar::isHighSurrogate(c)
                                        ? QChar::surrogateToUcs4(c, FText[1])
                                        : char32_t(c);
                lead = Unit(cp < 0x80      ? cp
                            : cp < 0x800   ? 0xC0 | (cp >> 6)
                            : cp < 0x10000 ? 0xE0 | (cp >> 12)
                                           : 0xF0 | (cp >> 18));
                FLeadBytes[Reader::value(lead)] = true;
            }
            if (std::find(leads.begin(), leads.end(), lead) == leads.end())
                leads.push_back(lead);
        }
        if (!leads.empty() && leads.size() <= FLeads.size()) {
            FLeads.fill(leads.front());
            std::copy(leads.begin(), leads.end(), FLeads.begin());
            FLeadCount = int(leads.size());
        }
    }

    // The first match at a candidate from `from` upwards.
    TSearchMatch FindDown(Text text, qsizetype from) const
    {
        const qsizetype n = qsizetype(text.size());
        const qsizetype l = qsizetype(FText.size());
        // A code unit of the search text takes at least one unit of the
        // text, so no match starts after n - l.
        if (l == 0 || n <= 0 || from < 0 || from > n - l)
            return {};
        const Unit* s = text.data();
        qsizetype end = 0;
        auto accept = [&](qsizetype q) { return matchesAt(s, n, q, end); };
        qsizetype q = -1;
        if (FLeadCount > 0) {
            q = scanDown(s, from, n - l + 1, FLeads, accept);
        } else {
            for (qsizetype p = from; p <= n - l && q < 0; ++p) {
                if (isLead(s[p]) && accept(p))
                    q = p;
            }
        }
        return q < 0 ? TSearchMatch{} : TSearchMatch{q, end - q};
    }

    // The last match that ends at or before limit.
    TSearchMatch FindUp(Text text, qsizetype limit) const
    {
        const qsizetype n = qsizetype(text.size());
        const qsizetype l = qsizetype(FText.size());
        const qsizetype from = limit - l;
        if (l == 0 || n <= 0 || from < 0 || from > n)
            return {};
        const qsizetype last = std::min(from, n - l);
        if (last < 0)
            return {};
        const Unit* s = text.data();
        qsizetype end = 0;
        auto accept = [&](qsizetype q) { return matchesAt(s, n, q, end) && end <= limit; };
        qsizetype q = -1;
        if (FLeadCount > 0) {
            q = scanUp(s, 0, last + 1, FLeads, accept);
        } else {
            for (qsizetype p = last; p >= 0 && q < 0; --p) {
                if (isLead(s[p]) && accept(p))
                    q = p;
            }
        }
        return q < 0 ? TSearchMatch{} : TSearchMatch{q, end - q};
    }

private:
    // For more lead units than the vector scan takes.
    bool isLead(Unit c) const
    {
        if constexpr (sizeof(Unit) == 1)
            return FLeadBytes[Reader::value(c)];
        else
            return caseTables().upper[c] == FText[0];
    }

    // Whether the search text matches at q, a candidate where it fits into
    // the text; end receives where the match ends.
    bool matchesAt(const Unit* s, qsizetype n, qsizetype q, qsizetype& end) const
    {
        // A whole-word candidate is a word start: a word character at the
        // start of the text or after a delimiter.
        if (FWholeWord && (!Reader::wordAt(s, n, q) || (q > 0 && Reader::wordBefore(s, n, q))))
            return false;
        const auto& upper = caseTables().upper;
        const qsizetype l = qsizetype(FText.size());
        qsizetype b = q;
        for (qsizetype k = 0; k < l;) {
            if (b >= n)
                return false;
            char16_t units[2];
            qsizetype length = 1;
            const int count = Reader::read(s, n, b, units, length);
            for (int j = 0; j < count; ++j, ++k) {
                if (k >= l || (FMatchCase ? units[j] : upper[units[j]]) != FText[k])
                    return false;
            }
            b += length;
        }
        if (FWholeWord && b < n && Reader::wordAt(s, n, b))
            return false;
        end = b;
        return true;
    }

    std::u16string FText; // upper-cased unless matching case; empty: finds nothing
    bool FMatchCase;
    bool FWholeWord;
    // The code units that can begin a match; FLeadCount 0 when there are
    // more than four of them (then isLead decides).
    Units<Unit> FLeads{};
    int FLeadCount = 0;
    std::array<bool, 256> FLeadBytes{};
};

template <typename Reader>
TSearchMatch searchIn(std::basic_string_view<typename Reader::Unit> text, qsizetype selStart,
                      qsizetype selLength, std::u16string_view searchText, TSearchOptions options)
{
    const SearchPattern<Reader> pattern(searchText, options);
    if (options.testFlag(TSearchOption::Down))
        return pattern.FindDown(text, selStart + selLength);
    return pattern.FindUp(text, selStart);
}

template <typename Reader>
TReplaceAllResult replaceAllIn(std::basic_string_view<typename Reader::Unit> text,
                               qsizetype caret, std::u16string_view findText,
                               qsizetype replaceLength, TSearchOptions options)
{
    TReplaceAllResult result;
    result.SelStart = caret;
    const SearchPattern<Reader> pattern(findText, options | TSearchOption::Down);
    // Every search starts directly after an inserted text, so a match lies
    // wholly in the part of the text not yet replaced, and searching the
    // original text from the matching position finds it. (A whole-word match
    // can only start after the delimiter that ended the previous match, so
    // the inserted text never decides whether it is a word start.) Positions
    // past the last replacement are shifted by `shift` in the new text.
    qsizetype from = caret;
    qsizetype shift = 0;
    // The one exception: taking a whole word out of a UTF-16 text can join an
    // unpaired high surrogate before it and an unpaired low one after it into
    // one character. Where that is a word character, the position after it
    // starts no word in the new text, though it does in the original.
    qsizetype noWordStart = -1;
    for (;;) {
        TSearchMatch found = pattern.FindDown(text, from);
        if (found.Pos >= 0 && found.Pos == noWordStart)
            found = pattern.FindDown(text, noWordStart + 1);
        if (found.Pos < 0) {
            result.EndedByFailure = true;
            break;
        }
        const qsizetype p = found.Pos + shift;
        if (result.First >= 0 && p <= result.First) {
            result.EndedByFailure = false;
            result.SelStart = p;
            result.SelLength = found.Length;
            break;
        }
        if (result.First < 0)
            result.First = p;
        result.Matches.push_back(found);
        result.SelStart = p + replaceLength;
        shift += replaceLength - found.Length;
        from = found.Pos + found.Length;
        noWordStart = -1;
        if constexpr (std::is_same_v<typename Reader::Unit, char16_t>) {
            if (replaceLength == 0 && options.testFlag(TSearchOption::WholeWord) &&
                found.Pos > 0 && from < qsizetype(text.size()) &&
                QChar::isHighSurrogate(text[found.Pos - 1]) && QChar::isLowSurrogate(text[from]) &&
                isWordCodePoint(QChar::surrogateToUcs4(text[found.Pos - 1], text[from])))
                noWordStart = from + 1;
        }
    }
    return result;
}

// Writes text[from, to) with the matches replaced to d; returns the end.
template <typename Unit>
Unit* applyInto(Unit* d, std::basic_string_view<Unit> text, qsizetype from, qsizetype to,
                const std::vector<TSearchMatch>& matches, std::basic_string_view<Unit> replacement)
{
    for (const TSearchMatch& m : matches) {
        d = std::copy_n(text.data() + from, m.Pos - from, d);
        d = std::copy_n(replacement.data(), replacement.size(), d);
        from = m.Pos + m.Length;
    }
    return std::copy_n(text.data() + from, to - from, d);
}

qsizetype replacedSize(qsizetype size, const std::vector<TSearchMatch>& matches,
                       qsizetype replacementSize)
{
    for (const TSearchMatch& m : matches)
        size += replacementSize - m.Length;
    return size;
}

} // namespace

bool IsWordCharacter(char32_t c)
{
    if (c == U'_')
        return true;
    switch (QChar::category(c)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
        return true;
    default:
        return false;
    }
}

qsizetype SearchBuffer(std::u16string_view text, qsizetype selStart, qsizetype selLength,
                       std::u16string_view searchText, TSearchOptions options)
{
    return searchIn<Utf16Reader>(text, selStart, selLength, searchText, options).Pos;
}

TSearchMatch SearchBufferUtf8(std::string_view text, qsizetype selStart, qsizetype selLength,
                              std::u16string_view searchText, TSearchOptions options)
{
    return searchIn<Utf8Reader>(text, selStart, selLength, searchText, options);
}

bool ReplaceSelectionMatches(std::u16string_view selected, std::u16string_view findText,
                             bool matchCase)
{
    if (matchCase)
        return selected == findText;
    // The search's own case map, so that whatever Find Next selected matches.
    const auto& upper = caseTables().upper;
    return std::equal(selected.begin(), selected.end(), findText.begin(), findText.end(),
                      [&upper](char16_t a, char16_t b) { return upper[a] == upper[b]; });
}

TReplaceAllResult ReplaceAll(std::u16string_view text, qsizetype caret,
                             std::u16string_view findText, std::u16string_view replaceText,
                             TSearchOptions options)
{
    return replaceAllIn<Utf16Reader>(text, caret, findText, qsizetype(replaceText.size()),
                                     options);
}

TReplaceAllResult ReplaceAll(std::string_view text, qsizetype caret,
                             std::u16string_view findText, std::string_view replacement,
                             TSearchOptions options)
{
    return replaceAllIn<Utf8Reader>(text, caret, findText, qsizetype(replacement.size()), options);
}

QString ApplyReplacements(std::u16string_view text, const std::vector<TSearchMatch>& matches,
                          std::u16string_view replaceText)
{
    QString out;
    out.resize(replacedSize(qsizetype(text.size()), matches, qsizetype(replaceText.size())));
    applyInto(reinterpret_cast<char16_t*>(out.data()), text, 0, qsizetype(text.size()), matches,
              replaceText);
    return out;
}

QByteArray ApplyReplacements(std::string_view text, qsizetype from, qsizetype to,
                             const std::vector<TSearchMatch>& matches, std::string_view replacement)
{
    QByteArray out(replacedSize(to - from, matches, qsizetype(replacement.size())),
                   Qt::Uninitialized);
    applyInto(out.data(), text, from, to, matches, replacement);
    return out;
}

} // namespace bp
