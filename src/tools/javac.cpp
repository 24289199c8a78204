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

// The probe's answer is in its first line; the rest is not read.
constexpr qint64 kProbeReadLimit = 4096;

} // namespace

bool IsOldJavaGeneration(const QByteArray& versionOutput)
{
    QByteArray first = versionOutput.left(versionOutput.indexOf('\n'));
    const qsizetype cr = first.indexOf('\r');
    if (cr >= 0)
        first.truncate(cr);
    return first.contains(OldGenerationMarker);
}

TJavaCompileJob::TJavaCompileJob(QObject* parent) : QObject(parent) {}

TJavaCompileJob::~TJavaCompileJob()
{
    // The runners kill their tools and delete their files themselves.
    if (FProbe)
        FProbe->disconnect(this);
    if (FCompile)
        FCompile->disconnect(this);
    if (!FOutputFile.isEmpty())
        QFile::remove(FOutputFile);
}

void TJavaCompileJob::start(const QString& javaCompiler, const QString& javaInterpreter,
                            const QString& sourcePath, const QString& directory,
                            const TJavacOptions& options)
{
    Q_ASSERT(!FRunning && !FProbe);
    FRunning = true;
    FCompiler = javaCompiler;
    FSource = sourcePath;
    FOptions = options;
    FDirectory = directory;
    // Capture files a compile ended without cleaning up (the program was
    // killed) go at the next compile in their folder.
    files::removeStaleTempFiles(directory, QStringLiteral("bpd"), kStaleTempFileSeconds);
    FProbe = std::make_unique<TDosProcess>();
    connect(FProbe.get(), &TDosProcess::finished, this, &TJavaCompileJob::probeEnded);
    FProbe->start(javaInterpreter, {QStringLiteral("-version")}, directory);
}

void TJavaCompileJob::stop()
{
    if (!FRunning)
        return;
    FStopped = true;
    if (FCompile)
        FCompile->stop();
    else if (FProbe)
        FProbe->stop();
}

void TJavaCompileJob::probeEnded()
{
    if (!FProbe->error().isEmpty()) {
        end(FProbe->error());
        return;
    }
    {
        const TTempFileGuard output(FProbe->takeOutputFile());
        QFile file(output.path());
        if (file.open(QIODevice::ReadOnly))
            FOldGeneration = IsOldJavaGeneration(file.read(kProbeReadLimit));
    }
    if (FStopped) {
        end(QString());
        return;
    }
    // The old generation's compiler wrote its messages to standard output;
    // the runner merges both channels anyway, so the answer changes nothing
    // in how the compiler is run.
    FCompile = std::make_unique<TDosProcess>();
    connect(FCompile.get(), &TDosProcess::finished, this, &TJavaCompileJob::compilerEnded);
    FCompile->start(FCompiler, JavacArguments(FOptions, FSource), FDirectory);
}

void TJavaCompileJob::compilerEnded()
{
    if (const std::optional<TToolEnd> toolEnd = FCompile->toolEnd())
        FExitedCleanly = toolEnd->Clean() && !FStopped;
    FOutputFile = FCompile->takeOutputFile();
    end(FCompile->error());
}

void TJavaCompileJob::end(const QString& error)
{
    FError = error;
    FRunning = false;
    Q_EMIT finished();
}

} // namespace bp
