// What a compiler printed, read for the compile results panel. The input is
// the document's path (up to the first line end) followed by the compiler's
// output bytes.

#include "fuzzcheck.h"

#include "tools/compileroutput.h"

#include <algorithm>

using namespace bp;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = fuzz::bytesOf(data, size);
    const qsizetype end = input.indexOf('\n');
    const QString path = QString::fromUtf8(input.left(std::max<qsizetype>(end, 0)));
    const QByteArray output = end < 0 ? input : input.mid(end + 1);

    const QStringList lines = CompilerOutputLines(output);
    // The lines hold no line ends, and put back together with one after
    // each they split into the same lines.
    QString joined;
    for (const QString& line : lines) {
        FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
        joined += line + QLatin1Char('\n');
    }
    FUZZ_CHECK(CompilerOutputLines(joined.toUtf8()) == lines);
    // An output without line ends is a single line, or none when empty.
    if (!output.contains('\r') && !output.contains('\n'))
        FUZZ_CHECK(lines.size() == (output.isEmpty() ? 0 : 1));

    const TCompilerOutputAnalysis analysis = AnalyseCompilerOutput(lines, path);
    FUZZ_CHECK(analysis.LineCount() == lines.size());
    FUZZ_CHECK(analysis.Failed() ==
               std::any_of(lines.cbegin(), lines.cend(), IsCompileFailureLine));
    const qsizetype first = analysis.FirstSelected();
    FUZZ_CHECK(first >= -1 && first < lines.size());
    if (first >= 0) {
        FUZZ_CHECK(analysis.Failed());
        // It leads into the document itself.
        const TCompilerJump jump = analysis.Jump(first);
        FUZZ_CHECK(jump.File.isEmpty() && (jump.Line || !jump.Error.isEmpty()));
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const TCompilerJump jump = analysis.Jump(i);
        FUZZ_CHECK(jump == CompilerJump(lines[i], path));
        // Either a line number or an error, never both; a line leads
        // somewhere only when it names a file and a number after a colon.
        FUZZ_CHECK(!(jump.Line && !jump.Error.isEmpty()));
        if (jump.Line || !jump.Error.isEmpty())
            FUZZ_CHECK(lines[i].count(QLatin1Char(':')) >= 2);
    }
    return 0;
}
