#include "editor/search.h"

#include <QRandomGenerator>
#include <QtTest>

#include <string>

using namespace bp;

Q_DECLARE_METATYPE(bp::TSearchOptions)

namespace {

constexpr auto Down = TSearchOption::Down;
constexpr auto MatchCase = TSearchOption::MatchCase;
constexpr auto WholeWord = TSearchOption::WholeWord;

std::u16string_view view(const QString& s)
{
    return searchView(s);
}

// The search as described step by step: candidate after candidate, walking
// from word to word for a whole-word search, every character through QChar's
// upper-case mapping. A candidate already at a word start is tried as it is.
qsizetype stepwiseSearch(std::u16string_view t, qsizetype a, qsizetype b, std::u16string_view s,
                         TSearchOptions o)
{
    const qsizetype n = qsizetype(t.size()), l = qsizetype(s.size());
    const bool down = o.testFlag(Down), whole = o.testFlag(WholeWord),
               matchCase = o.testFlag(MatchCase);
    if (n <= 0 || l == 0)
        return -1;
    auto at = [&](qsizetype i) { return i < n ? t[i] : u'\0'; }; // the NUL after the text
    auto word = [&](qsizetype i) { return !WordDelimiterSet.contains(at(i)); };
    auto map = [&](char16_t c) { return matchCase ? c : QChar(c).toUpper().unicode(); };
    auto inRange = [&](qsizetype i) { return down ? i <= n - l : i >= 0; };
    qsizetype p = down ? a + b : a - l;
    if (p < 0 || p > n || (down && p > n - l))
        return -1;
    for (; inRange(p); p += down ? 1 : -1) {
        if (whole && down && !(word(p) && (p == 0 || !word(p - 1)))) {
            while (inRange(p) && word(p))
                ++p;
            while (inRange(p) && !word(p))
                ++p;
        } else if (whole && !down) {
            while (p >= 0 && !word(p))
                --p;
            if (p < 0)
                return -1;
            while (p >= 0 && word(p))
                --p;
            ++p;
        }
        if (!inRange(p))
            return -1;
        qsizetype i = 0;
        while (i < l && p + i < n && map(t[p + i]) == map(s[i]))
            ++i;
        if (i == l && (!whole || p + l >= n || !word(p + l)))
            return p;
    }
    return -1;
}

struct LoopResult {
    std::u16string text;
    qsizetype first = -1, selStart = 0, selLength = 0, count = 0;
    bool failed = true;
};

// Replace All as the editor's loop runs it, one SearchBuffer call and one
// string replacement per match.
LoopResult replaceAllLoop(std::u16string text, qsizetype caret, std::u16string_view f,
                          std::u16string_view r, TSearchOptions o)
{
    LoopResult res;
    res.text = std::move(text);
    res.selStart = caret;
    for (;;) {
        const qsizetype p = SearchBuffer(res.text, res.selStart, res.selLength, f, o);
        if (p < 0)
            return res;
        res.selStart = p; // a successful search selects the match
        res.selLength = qsizetype(f.size());
        if (res.first == -1) {
            res.first = p;
        } else if (p <= res.first) {
            res.failed = false;
            return res;
        }
        res.text.replace(size_t(p), f.size(), r);
        res.selStart = p + qsizetype(r.size());
        res.selLength = 0;
        if (++res.count > 1000)
            return res; // runaway: the comparison fails
    }
}

std::u16string randomText(QRandomGenerator& rng, std::u16string_view alphabet, int maxLength)
{
    std::u16string s(size_t(rng.bounded(maxLength + 1)), u' ');
    for (char16_t& c : s)
        c = alphabet[rng.bounded(int(alphabet.size()))];
    return s;
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT
private slots:
    void searchBuffer_data();
    void searchBuffer();
    void searchBufferMatchesStepwiseSearch();
    void replaceAll_data();
    void replaceAll();
    void replaceAllMatchesLoop();
    void replaceSelectionMatches_data();
    void replaceSelectionMatches();
};

void TestSearch::searchBuffer_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("find");
    QTest::addColumn<TSearchOptions>("options");
    QTest::addColumn<int>("expected");

    const TSearchOptions up{};
    const QString abc2 = "abc abc";
    QTest::newRow("down from caret") << abc2 << 0 << 0 << "abc" << TSearchOptions(Down) << 0;
    QTest::newRow("down after selection") << abc2 << 0 << 3 << "abc" << TSearchOptions(Down) << 4;
    QTest::newRow("no wrap down") << abc2 << 4 << 3 << "abc" << TSearchOptions(Down) << -1;
    QTest::newRow("up before selection") << abc2 << 4 << 3 << "abc" << up << 0;
    QTest::newRow("no wrap up") << abc2 << 0 << 3 << "abc" << up << -1;
    QTest::newRow("up ends at caret") << "xx abc" << 6 << 0 << "abc" << up << 3;
    QTest::newRow("up first candidate negative") << "abcabc" << 2 << 0 << "abc" << up << -1;
    QTest::newRow("down does not fit") << "abc" << 1 << 0 << "abc" << TSearchOptions(Down) << -1;
    QTest::newRow("up from past the end") << "abc" << 4 << 0 << "ab" << up << 0;
    QTest::newRow("up first candidate past end") << "abc" << 6 << 0 << "ab" << up << -1;
    QTest::newRow("empty text") << "" << 0 << 0 << "a" << TSearchOptions(Down) << -1;
    QTest::newRow("empty find") << "abc" << 0 << 0 << "" << TSearchOptions(Down) << -1;

    QTest::newRow("ignore case") << "abc" << 0 << 0 << "ABC" << TSearchOptions(Down) << 0;
    QTest::newRow("match case") << "abc" << 0 << 0 << "ABC" << (Down | MatchCase) << -1;
    QTest::newRow("match case skips") << "x ABC abc" << 0 << 0 << "abc" << (Down | MatchCase) << 6;
    QTest::newRow("latin-1 case") << "CAFÉ" << 0 << 0 << "café" << TSearchOptions(Down) << 0;
    QTest::newRow("y diaeresis above 255")
        << QString::fromUtf16(u"\u0178") << 0 << 0 << QString::fromUtf16(u"\u00ff")
        << TSearchOptions(Down) << 0;
    QTest::newRow("dotless i stands for I")
        << QString::fromUtf16(u"x\u0131f") << 0 << 0 << "IF" << TSearchOptions(Down) << 1;
    QTest::newRow("greek") << QString::fromUtf16(u"\u03b1\u03b2") << 0 << 0
                           << QString::fromUtf16(u"\u0391\u0392") << TSearchOptions(Down) << 0;
    QTest::newRow("greek match case")
        << QString::fromUtf16(u"\u03b1\u03b2") << 0 << 0 << QString::fromUtf16(u"\u0391\u0392")
        << (Down | MatchCase) << -1;

    const TSearchOptions wwDown = Down | WholeWord;
    QTest::newRow("whole word first") << "x foo foobar" << 0 << 0 << "foo" << wwDown << 2;
    QTest::newRow("whole word not foobar") << "x foo foobar" << 2 << 3 << "foo" << wwDown << -1;
    QTest::newRow("whole word at start of text") << "foo bar" << 0 << 0 << "foo" << wwDown << 0;
    QTest::newRow("whole word after delimiter") << "a foo" << 2 << 0 << "foo" << wwDown << 2;
    QTest::newRow("inside a word skips it") << "foo foo" << 1 << 0 << "oo" << wwDown << -1;
    QTest::newRow("inside a word, next word") << "foo foo" << 1 << 0 << "foo" << wwDown << 4;
    QTest::newRow("underscore and end") << "x for_each" << 0 << 0 << "each" << wwDown << 6;
    QTest::newRow("followed by underscore") << "foo_bar" << 0 << 0 << "foo" << wwDown << 0;
    QTest::newRow("dollar delimits") << "a$foo" << 0 << 0 << "foo" << wwDown << 2;
    QTest::newRow("accent delimits") << "fooé" << 0 << 0 << "foo" << wwDown << 0;
    QTest::newRow("greek delimits")
        << QString::fromUtf16(u"\u03b1foo") << 0 << 0 << "foo" << wwDown << 1;
    QTest::newRow("digits are word characters") << "2foo foo" << 0 << 0 << "foo" << wwDown << 5;
    QTest::newRow("not at a word start") << "xfoo foo" << 0 << 0 << "foo" << wwDown << 5;

    const TSearchOptions wwUp = WholeWord;
    QTest::newRow("up whole word") << "foo foo" << 7 << 0 << "foo" << wwUp << 4;
    QTest::newRow("up from inside foobar") << "foo foobar" << 10 << 0 << "foo" << wwUp << 0;
    QTest::newRow("up not mid-word") << "xfoo foo" << 5 << 3 << "foo" << wwUp << -1;
    QTest::newRow("up only delimiters") << "  foo" << 2 << 0 << " " << wwUp << -1;
}

void TestSearch::searchBuffer()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, find);
    QFETCH(TSearchOptions, options);
    QFETCH(int, expected);
    QCOMPARE(SearchBuffer(view(text), selStart, selLength, view(find), options), expected);
}

// Texts long enough for the block-wise scan, characters whose case forms lie
// on both sides of 255, and every option.
void TestSearch::searchBufferMatchesStepwiseSearch()
{
    QRandomGenerator rng(4711);
    const std::u16string_view alphabet = u"aA b_iI\u0131\u00ff\u0178\u00e9\u00c9";
    for (int run = 0; run < 30000; ++run) {
        const std::u16string t = randomText(rng, alphabet, 60);
        std::u16string s = randomText(rng, alphabet, 3);
        if (rng.bounded(2) && !t.empty()) { // mostly a piece of the text
            const size_t from = rng.bounded(int(t.size()));
            s = t.substr(from, 1 + rng.bounded(4));
        }
        const qsizetype a = rng.bounded(-2, int(t.size()) + 4);
        const qsizetype b = rng.bounded(3);
        const TSearchOptions o = TSearchOptions::fromInt(rng.bounded(8));
        const qsizetype expected = stepwiseSearch(t, a, b, s, o);
        const qsizetype got = SearchBuffer(t, a, b, s, o);
        QVERIFY2(got == expected,
                 qPrintable(QString("text '%1' find '%2' sel %3+%4 options %5: %6, expected %7")
                                .arg(QString::fromStdU16String(t), QString::fromStdU16String(s))
                                .arg(a)
                                .arg(b)
                                .arg(o.toInt())
                                .arg(got)
                                .arg(expected)));
    }
}

void TestSearch::replaceAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<TSearchOptions>("options");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("failed");

    const TSearchOptions down(Down);
    // clang-format off
    QTest::newRow("a by b") << "aaaa" << "a" << "b" << down << "bbbb" << 4 << 4 << true;
    QTest::newRow("a by aa") << "aa" << "a" << "aa" << down << "aaaa" << 2 << 4 << true;
    QTest::newRow("nothing found") << "xyz" << "a" << "b" << down << "xyz" << 0 << 0 << true;
    const TSearchOptions up{};
    QTest::newRow("always down") << "ab" << "a" << "b" << up << "bb" << 1 << 1 << true;
    QTest::newRow("whole word at start")
        << "foo foobar foo" << "foo" << "x" << (Down | WholeWord) << "x foobar x" << 2 << 10
        << true;
    // Deleting the first match brings the next to the same place: the loop
    // stops there with that match selected.
    QTest::newRow("empty replacement stops") << "aaa" << "a" << "" << down << "aa" << 1 << 0
                                             << false;
    QTest::newRow("empty replacement, gap") << "aba" << "a" << "" << down << "b" << 2 << 1 << true;
    // clang-format on
}

void TestSearch::replaceAll()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(TSearchOptions, options);
    QFETCH(QString, result);
    QFETCH(int, count);
    QFETCH(int, caret);
    QFETCH(bool, failed);
    const TReplaceAllResult r = ReplaceAll(view(text), 0, view(find), view(replace), options);
    QCOMPARE(ApplyReplacements(view(text), r.Positions, find.size(), view(replace)), result);
    QCOMPARE(r.Count(), count);
    QCOMPARE(r.SelStart, caret);
    QCOMPARE(r.EndedByFailure, failed);
}

void TestSearch::replaceAllMatchesLoop()
{
    QRandomGenerator rng(1234);
    const std::u16string_view alphabet = u"ab _A";
    for (int run = 0; run < 20000; ++run) {
        const std::u16string text = randomText(rng, alphabet, 24);
        std::u16string f = randomText(rng, alphabet, 2);
        f += alphabet[rng.bounded(int(alphabet.size()))];
        std::u16string r = randomText(rng, alphabet, 3);
        if (rng.bounded(3) == 0) // the replacement holds the find text
            r.insert(rng.bounded(int(r.size()) + 1), f);
        const qsizetype caret = rng.bounded(4) ? 0 : rng.bounded(int(text.size()) + 1);
        const TSearchOptions o = TSearchOptions::fromInt(rng.bounded(8)) | Down;

        const LoopResult want = replaceAllLoop(text, caret, f, r, o);
        const TReplaceAllResult got = ReplaceAll(text, caret, f, r, o);
        const QString gotText = ApplyReplacements(text, got.Positions, qsizetype(f.size()), r);
        const QString why = QString("'%1' by '%2' in '%3' from %4, options %5")
                                .arg(QString::fromStdU16String(f), QString::fromStdU16String(r),
                                     QString::fromStdU16String(text))
                                .arg(caret)
                                .arg(o.toInt());
        QVERIFY2(want.count <= 1000, qPrintable(why));
        const QString wantText = QString::fromStdU16String(want.text);
        QVERIFY2(gotText == wantText, qPrintable(why + ": " + gotText + " vs " + wantText));
        QVERIFY2(got.Count() == want.count && got.First == want.first, qPrintable(why));
        QVERIFY2(got.SelStart == want.selStart && got.SelLength == want.selLength, qPrintable(why));
        QVERIFY2(got.EndedByFailure == want.failed, qPrintable(why));
    }
}

void TestSearch::replaceSelectionMatches_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("find");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("expected");

    QTest::newRow("ascii case") << "Foo"
                                << "fOO" << false << true;
    QTest::newRow("ascii case, match case") << "Foo"
                                            << "fOO" << true << false;
    QTest::newRow("equal, match case") << "Foo"
                                       << "Foo" << true << true;
    QTest::newRow("accented case differs") << "café"
                                           << "cafÉ" << false << false;
    QTest::newRow("longer selection") << "foo "
                                      << "foo" << false << false;
    QTest::newRow("empty selection") << ""
                                     << "a" << false << false;
}

void TestSearch::replaceSelectionMatches()
{
    QFETCH(QString, selected);
    QFETCH(QString, find);
    QFETCH(bool, matchCase);
    QFETCH(bool, expected);
    QCOMPARE(ReplaceSelectionMatches(view(selected), view(find), matchCase), expected);
}

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
