#pragma once

#include <QByteArray>
#include <QFlags>
#include <QString>
#include <QStringView>

#include <string_view>
#include <vector>

namespace bp {

// The flags of the Find and Replace dialogs that searching reads.
enum class TSearchOption {
    Down = 0x1, // absent: search up
    MatchCase = 0x2,
    WholeWord = 0x4,
    ReplaceAll = 0x8,
};
Q_DECLARE_FLAGS(TSearchOptions, TSearchOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TSearchOptions)

// Whether a character belongs to a word, as in a Java identifier: a letter or
// a decimal digit of any script, a letter number, a combining mark (part of
// the letter before it) or '_'. Every other character separates words.
bool IsWordCharacter(char32_t c);

// The UTF-16 code units of a QString as the search reads them.
inline std::u16string_view searchView(QStringView text)
{
    return {text.utf16(), size_t(text.size())};
}

// A match: where it starts in the text searched and how many of the text's
// code units it covers.
struct TSearchMatch {
    qsizetype Pos = -1;
    qsizetype Length = 0;
};

// Searches text for searchText, starting at the selection and never wrapping
// around. Down, candidates run from the end of the selection to the end of
// the text; up, from selStart - length of searchText (a match ends at or
// before the selection start) to 0. Without MatchCase both sides are
// upper-cased code unit by code unit (QChar's simple mapping). With WholeWord
// a match starts a word and is followed by a delimiter or the end of the
// text, characters (a surrogate pair is one) judged by IsWordCharacter; a
// search that starts inside a word skips the rest of that word, one that
// starts exactly at a word start tries that word.
// A search text holding half of a surrogate pair finds nothing: its match
// would split a character in two.
// Returns the position of the match, or -1 (also for an empty searchText).
qsizetype SearchBuffer(std::u16string_view text, qsizetype selStart, qsizetype selLength,
                       std::u16string_view searchText, TSearchOptions options);

// The same search in UTF-8 text (well-formed), where the positions are byte
// offsets at character boundaries: it finds the match SearchBuffer finds in
// the text's UTF-16 form, at that match's bytes. Without MatchCase a match
// may have more or fewer bytes than the search text (U+0131 upper-cases to
// I), hence the length.
TSearchMatch SearchBufferUtf8(std::string_view text, qsizetype selStart, qsizetype selLength,
                              std::u16string_view searchText, TSearchOptions options);

// Whether a single Replace replaces the selection: equal strings with match
// case; otherwise equal after the search's upper-case map, code unit by code
// unit, so that a selection Find Next made always matches.
bool ReplaceSelectionMatches(std::u16string_view selected, std::u16string_view findText,
                             bool matchCase);

// What the Replace All loop does to a text: from a caret with no selection,
// find the next match downwards; stop when there is none, or when it starts
// at or before the first replaced match; otherwise replace it and search on
// directly after the inserted text.
struct TReplaceAllResult {
    // The replaced matches in the original text, ascending.
    std::vector<TSearchMatch> Matches;
    // Where the first replacement began, -1 when nothing was replaced.
    qsizetype First = -1;
    // The selection the loop leaves in the new text: the caret after the
    // last inserted text, or the match that stopped the loop (selected and
    // not replaced), or the starting caret when nothing was found.
    qsizetype SelStart = 0;
    qsizetype SelLength = 0;
    // True when the last search found nothing (the editor shows "Can't
    // find" and beeps before its closing beep); false when a match at or
    // before First stopped the loop.
    bool EndedByFailure = true;

    qsizetype Count() const { return qsizetype(Matches.size()); }
};

// The Replace All loop over text, in time linear in the text. The loop
// always searches down, as the Replace dialog does; the other options are
// those of SearchBuffer. An empty findText finds nothing.
TReplaceAllResult ReplaceAll(std::u16string_view text, qsizetype caret,
                             std::u16string_view findText, std::u16string_view replaceText,
                             TSearchOptions options);
// The same over UTF-8 text with byte positions (see SearchBufferUtf8);
// replacement is the UTF-8 text put in for each match.
TReplaceAllResult ReplaceAll(std::string_view text, qsizetype caret,
                             std::u16string_view findText, std::string_view replacement,
                             TSearchOptions options);

// The text with every match replaced by replaceText, built in one pass.
QString ApplyReplacements(std::u16string_view text, const std::vector<TSearchMatch>& matches,
                          std::u16string_view replaceText);
// The bytes from `from` to `to` of a UTF-8 text with every match (all within
// that span) replaced by replacement.
QByteArray ApplyReplacements(std::string_view text, qsizetype from, qsizetype to,
                             const std::vector<TSearchMatch>& matches,
                             std::string_view replacement);

} // namespace bp
