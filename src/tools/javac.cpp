#include "tools/javac.h"

#include "platform/fileservices.h"
#include "platform/tempfile.h"
#include "tools/dosprocess.h"

#include <QFile>

namespace bp {

namespace {

// The start of the first line the 1.0 generation of the interpreter prints
// for "-version"; later generations print something else there.
constexpr char OldGenerationMarker[] = "java version \"1.0";

// A capture file this old that no running program holds was left behind.
constexpr qint64 kStaleTempFileSeconds = 60;

} // namespace

bool IsOldJavaGeneration(const QString& javaInterpreter, const QString& directory)
{
    const TTempFileGuard probe(
        RunDosProcess(javaInterpreter, {QStringLiteral("-version")}, directory, true, false));
    QFile file(probe.path());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray first = file.readLine();
    const qsizetype cr = first.indexOf('\r');
    if (cr >= 0)
        first.truncate(cr);
    return first.contains(OldGenerationMarker);
}

QString RunJavaCompiler(const QString& javaCompiler, const QString& javaInterpreter,
                        const QString& sourcePath, const QString& directory)
{
    // The old generation's compiler wrote its messages to standard output;
    // the runner merges both channels anyway, so the answer only chooses how
    // the compiler is asked to run.
    // Capture files a compile ended without cleaning up (the program was
    // killed) go at the next compile in their folder.
    files::removeStaleTempFiles(directory, QStringLiteral("bpd"), kStaleTempFileSeconds);
    const bool oldGeneration = IsOldJavaGeneration(javaInterpreter, directory);
    return RunDosProcess(javaCompiler, {sourcePath}, directory, false, oldGeneration);
}

} // namespace bp
