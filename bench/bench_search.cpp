// Measures Find Next through ordinary source files, Replace All against sed
// on the same file, and a Find Next through a large text without a match
// against a plain std::u16string_view::find, both over UTF-16 (the plain
// editor) and over UTF-8 (the rich editor).
// Each figure is the best of a few runs in this process.

#include "model/search.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

using namespace bp;

namespace {

const std::u16string kFind = u"needle";
const std::u16string kReplace = u"thimble";

// Java-like filler: `segments` pieces of `width` characters, each ending in
// the find text when `withFind`, words separated by blanks and line breaks.
std::u16string makeText(qsizetype segments, qsizetype width, bool withFind)
{
    static const char16_t* const words[] = {
        u"public", u"static", u"void", u"int",   u"return", u"String",  u"final",  u"class",
        u"new",    u"this",   u"for",  u"while", u"if",     u"else",    u"count",  u"value",
        u"index",  u"buffer", u"line", u"text",  u"node",   u"private", u"Object", u"null"};
    QRandomGenerator rng(42);
    std::u16string text;
    text.reserve(size_t(segments * width));
    const qsizetype fill = withFind ? width - qsizetype(kFind.size()) : width;
    for (qsizetype i = 0; i < segments; ++i) {
        std::u16string seg = rng.bounded(8) == 0 ? u"\r\n" : u" ";
        while (qsizetype(seg.size()) < fill) {
            seg += words[rng.bounded(int(std::size(words)))];
            seg += rng.bounded(6) == 0 ? u";" : u"";
            seg += u' ';
        }
        seg.resize(size_t(fill), u' ');
        seg.back() = u' ';
        text += seg;
        if (withFind)
            text += kFind;
    }
    return text;
}

double bestMs(int runs, const std::function<void()>& f)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

qsizetype countPlain(std::u16string_view text)
{
    qsizetype n = 0;
    for (size_t p = text.find(kFind); p != text.npos; p = text.find(kFind, p + kFind.size()))
        ++n;
    return n;
}

void benchReplaceAll(const QString& dir)
{
    const std::u16string text = makeText(200000, 50, true); // 10,000,000 characters
    const QString in = dir + "/in.txt", out = dir + "/out.txt";
    {
        QFile f(in);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(in));
        f.write(QString::fromStdU16String(text).toLatin1());
    }
    std::printf("replace_text_chars=%zu matches=%lld\n", text.size(), qlonglong(countPlain(text)));

    const QByteArray text8 = QString::fromStdU16String(text).toUtf8();
    const std::string_view view8(text8.constData(), size_t(text8.size()));
    const QByteArray replace8 = QString::fromStdU16String(kReplace).toUtf8();
    const std::string_view replaceView8(replace8.constData(), size_t(replace8.size()));
    for (const bool utf8 : {false, true}) {
        for (const TSearchOptions options :
             {TSearchOption::Down | TSearchOption::MatchCase, TSearchOptions(TSearchOption::Down)}) {
            QByteArray result;
            qsizetype count = 0;
            TReplaceAllResult loop;
            const auto search = [&] {
                loop = utf8 ? ReplaceAll(view8, 0, kFind, replaceView8, options)
                            : ReplaceAll(text, 0, kFind, kReplace, options);
            };
            const auto build = [&] {
                result = utf8 ? ApplyReplacements(view8, 0, text8.size(), loop.Matches, replaceView8)
                              : ApplyReplacements(text, loop.Matches, kReplace).toLatin1();
            };
            const double engineMs = bestMs(3, [&] {
                search();
                build();
                count = loop.Count();
            });
            // The two halves on their own: the loop's searches, and building the new text.
            const double searchMs = bestMs(3, search);
            const double buildMs = bestMs(3, build);
            const double sedMs = bestMs(3, [&] {
                QProcess sed;
                sed.setStandardOutputFile(out);
                sed.start("/bin/sed", {"s/needle/thimble/g", in});
                if (!sed.waitForFinished(-1) || sed.exitCode() != 0)
                    qFatal("sed failed");
            });
            QFile f(out);
            const bool same = f.open(QIODevice::ReadOnly) && f.readAll() == result;
            std::printf("replace_all_ms=%.1f sed_ms=%.1f ratio=%.2f replacements=%lld "
                        "encoding=%s match_case=%d same_as_sed=%s search_ms=%.1f "
                        "build_text_ms=%.1f\n",
                        engineMs, sedMs, engineMs / sedMs, qlonglong(count), utf8 ? "utf8" : "utf16",
                        int(options.testFlag(TSearchOption::MatchCase)), same ? "yes" : "NO",
                        searchMs, buildMs);
        }
    }
}

void benchFindNext()
{
    const std::u16string text = makeText(400000, 50, false); // 20,000,000 characters
    std::printf("find_text_chars=%zu\n", text.size());
    const std::u16string_view view = text;
    size_t plainResult = 0;
    const double plainMs = bestMs(5, [&] { plainResult = view.find(kFind); });
    struct Mode {
        const char* name;
        TSearchOptions options;
    };
    const Mode modes[] = {
        {"ignore_case", TSearchOptions(TSearchOption::Down)},
        {"match_case", TSearchOption::Down | TSearchOption::MatchCase},
        {"whole_word", TSearchOption::Down | TSearchOption::WholeWord},
        {"up_ignore_case", TSearchOptions()},
    };
    const QByteArray text8 = QString::fromStdU16String(text).toUtf8();
    const std::string_view view8(text8.constData(), size_t(text8.size()));
    for (const bool utf8 : {false, true}) {
        for (const Mode& mode : modes) {
            qsizetype found = 0;
            const bool down = mode.options.testFlag(TSearchOption::Down);
            const double ms = bestMs(5, [&] {
                found = utf8 ? SearchBufferUtf8(view8, down ? 0 : qsizetype(view8.size()), 0,
                                                kFind, mode.options)
                                   .Pos
                             : SearchBuffer(view, down ? 0 : qsizetype(view.size()), 0, kFind,
                                            mode.options);
            });
            std::printf("find_next_ms=%.1f u16find_ms=%.1f ratio=%.2f encoding=%s mode=%s "
                        "found=%lld plain=%lld\n",
                        ms, plainMs, ms / plainMs, utf8 ? "utf8" : "utf16", mode.name,
                        qlonglong(found), plainResult == view.npos ? -1LL : qlonglong(plainResult));
        }
    }
}

// Find Next as it comes on ordinary files: Java source of a few hundred
// kilobytes to a few megabytes searched for a typical identifier that is not
// there, so the search runs to the end of the text (the longest a search
// takes). Microseconds, best of several runs.
void benchOrdinaryFiles()
{
    struct Mode {
        const char* name;
        TSearchOptions options;
    };
    const Mode modes[] = {
        {"ignore_case", TSearchOptions(TSearchOption::Down)},
        {"match_case", TSearchOption::Down | TSearchOption::MatchCase},
        {"whole_word", TSearchOption::Down | TSearchOption::WholeWord},
        {"up_ignore_case", TSearchOptions()},
    };
    const std::u16string identifiers[] = {u"lineCount", u"StringBuilder", u"getValue"};
    for (const qsizetype kb : {300, 3000}) {
        const std::u16string text = makeText(kb * 1000 / 50, 50, false);
        const QByteArray text8 = QString::fromStdU16String(text).toUtf8();
        const std::string_view view8(text8.constData(), size_t(text8.size()));
        for (const bool utf8 : {false, true}) {
            for (const Mode& mode : modes) {
                const bool down = mode.options.testFlag(TSearchOption::Down);
                const qsizetype from = down ? 0 : qsizetype(text.size());
                std::printf("ordinary_kb=%lld encoding=%s mode=%s", qlonglong(kb),
                            utf8 ? "utf8" : "utf16", mode.name);
                for (const std::u16string& id : identifiers) {
                    qsizetype found = 0;
                    const double ms = bestMs(9, [&] {
                        found = utf8 ? SearchBufferUtf8(view8, from, 0, id, mode.options).Pos
                                     : SearchBuffer(text, from, 0, id, mode.options);
                    });
                    std::printf(" %s_us=%.0f%s", qPrintable(QString::fromStdU16String(id)),
                                ms * 1000, found < 0 ? "" : "(found)");
                }
                std::printf("\n");
            }
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        qFatal("no temporary directory");
    benchOrdinaryFiles();
    benchReplaceAll(dir.path());
    benchFindNext();
    return 0;
}
