#include "model/compiledocument.h"

#include "model/document.h"
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

TSourceSwap::TSourceSwap(const QString& path, const QByteArray& bytes) : FPath(path)
{
    if (files::isReadOnly(path))
        return;
    if (bytes == files::readAll(path))
        return;
    FKept = files::setAside(path, bytes);
}

TSourceSwap::~TSourceSwap()
{
    try {
        restore();
    } catch (...) {
        // Only reached while another error leaves the compile; that one is
        // reported.
    }
}

void TSourceSwap::restore()
{
    if (!FKept)
        return;
    const std::unique_ptr<QFile> kept = std::move(FKept);
    files::putBack(*kept, FPath);
}

TCompileResult CompileDocument(TDocument& document, const QByteArray& editorUtf8,
                               const QString& javaCompiler, const QString& javaInterpreter)
{
    TCompileResult result;
    result.Refusal = CompileRefusal(document);
    if (!result.Refusal.isEmpty()) {
        result.OutputFile = WriteRefusal(document.Path(), result.Refusal);
        return result;
    }

    const QString source = document.FullPath();
    const bool recorded = document.DiskState() == TDiskState::Unchanged;
    TSourceSwap swap(source, document.Utf8BytesToSave(editorUtf8));
    // A file that was as the document last read or wrote it is recorded
    // again once it is back, whatever the swap did to its times or identity.
    const auto putBack = [&] {
        swap.restore();
        if (recorded)
            document.RecordDiskState();
    };
    QString output;
    try {
        output = RunJavaCompiler(javaCompiler, javaInterpreter, source, document.Path());
    } catch (...) {
        // Putting the user's file back matters more than the tool's failure:
        // if that fails too, its error is the one reported.
        putBack();
        throw;
    }
    TTempFileGuard outputGuard(output);
    putBack();
    result.OutputFile = outputGuard.release();
    return result;
}

} // namespace bp
