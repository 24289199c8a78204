#include "model/compiledocument.h"

#include "model/compileoptions.h"
#include "model/document.h"
#include "model/recoverycopy.h"
#include "platform/errors.h"
#include "platform/fileservices.h"
#include "platform/tempfile.h"
#include "tools/javac.h"

#include <QFile>

#include <utility>

namespace bp {

namespace {

// Writes a refusal as a one-line temporary file in dir and returns its name;
// returns an empty name when the directory takes no file, so that the
// refusal still reaches the user as text.
QString WriteRefusal(const QString& dir, const QString& refusal)
{
    std::unique_ptr<QFile> created = files::createTempFile(dir, QStringLiteral("bpd"));
    if (!created)
        return QString();
    TTempFileGuard name(created->fileName());
    const std::unique_ptr<QFile> file = std::move(created);
    const QByteArray bytes = refusal.toUtf8() + "\r\n";
    if (file->write(bytes) != bytes.size() || !file->flush())
        return QString();
    file->close();
    return name.release();
}

} // namespace

QString CompileRefusal(const TDocument& document)
{
    if (document.DocType() != TDocType::Java)
        return QLatin1Char('\'') + document.FileName() +
               QStringLiteral("' is not a java document.");
    if (document.IsNew())
        return QLatin1Char('\'') + document.FileName() +
               QStringLiteral("' has not been saved yet.");
    return QString();
}

std::optional<TCompileResult> RefuseCompile(const TDocument& document)
{
    TCompileResult result;
    result.Refusal = CompileRefusal(document);
    if (result.Refusal.isEmpty())
        return std::nullopt;
    result.OutputFile = WriteRefusal(document.Path(), result.Refusal);
    return result;
}

TSourceSwap::TSourceSwap(const QString& path, const QByteArray& bytes) : FPath(path)
{
    if (files::isReadOnly(path))
        return;
    if (bytes == files::readAll(path))
        return;
    // The file moves aside, under a name that is offered back should the
    // program be killed before it returns.
    FCopy = std::make_unique<TRecoveryCopy>(path, bytes);
}

TSourceSwap::~TSourceSwap()
{
    try {
        restore();
    } catch (...) {
        // Only reached while another error leaves the compile; that one is
        // reported, and the recovery copy stays for the next start.
    }
}

void TSourceSwap::restore()
{
    if (!FCopy)
        return;
    // The one place the file gets its own bytes back.
    std::exchange(FCopy, nullptr)->putBack(FPath);
}

QString TSourceSwap::recoveryCopy() const
{
    return FCopy ? FCopy->path() : QString();
}

TDocumentCompile::TDocumentCompile(QObject* parent) : QObject(parent) {}

TDocumentCompile::~TDocumentCompile()
{
    if (FJob)
        FJob->disconnect(this);
    // The tools go first (killed), then the file gets its bytes back.
    FJob.reset();
    if (FSwap) {
        try {
            putBack();
        } catch (...) {
            // The copy stays for the next start; nobody is left to tell.
        }
    }
}

void TDocumentCompile::start(TDocument& document, const QByteArray& editorUtf8,
                             const QString& javaCompiler, const QString& javaInterpreter)
{
    Q_ASSERT(!FRunning && !FSwap);
    const QString source = document.FullPath();
    // The project's output folder is made before anything is written.
    const TJavacOptions options = CompileOptionsFor(document, QString::fromUtf8(editorUtf8));
    PrepareOutputFolder(options);
    FDocument = &document;
    FDiskStateRecorded = document.DiskState() == TDiskState::Unchanged;
    FSwap = std::make_unique<TSourceSwap>(source, document.Utf8BytesToSave(editorUtf8));
    FRunning = true;
    FJob = std::make_unique<TJavaCompileJob>();
    connect(FJob.get(), &TJavaCompileJob::finished, this, &TDocumentCompile::toolsEnded);
    FJob->start(javaCompiler, javaInterpreter, source, document.Path(), options);
}

void TDocumentCompile::stop()
{
    if (FRunning && FJob)
        FJob->stop();
}

void TDocumentCompile::putBack()
{
    const std::unique_ptr<TSourceSwap> swap = std::move(FSwap);
    swap->restore();
    // Whatever the swap did to the file's times or identity.
    if (FDiskStateRecorded)
        FDocument->RecordDiskState();
}

QString TDocumentCompile::recoveryCopy() const
{
    return FSwap ? FSwap->recoveryCopy() : QString();
}

void TDocumentCompile::toolsEnded()
{
    FResult.OutputFile = FJob->takeOutputFile();
    FResult.ExitedCleanly = FJob->exitedCleanly();
    FResult.Stopped = FJob->stopped();
    FResult.Error = FJob->error();
    // Putting the user's file back matters more than the tool's failure: if
    // that fails too, its error is the one reported, and the output goes.
    try {
        putBack();
    } catch (const EBrewpadError& e) {
        FResult.Error = e.message();
    }
    if (!FResult.Error.isEmpty() && !FResult.OutputFile.isEmpty())
        QFile::remove(std::exchange(FResult.OutputFile, QString()));
    FRunning = false;
    Q_EMIT finished();
}

} // namespace bp
