// Compiling a document: the refusals, the text handed to the compiler through
// the document's own file, the interpreter's version probe and the compiler
// run, with the file's own bytes put back afterwards.
#include "model/document.h"

#include "platform/errors.h"
#include "platform/fileservices.h"
#include "tools/dosprocess.h"

#include <QFile>

#include <optional>

namespace bp {

namespace {

// The start of the first line the 1.0 generation of the interpreter prints
// for "-version"; later generations print something else there.
constexpr char OldGenerationMarker[] = "java version \"1.0";

// Writes a refusal as a one-line temporary file in dir and returns its name;
// returns an empty name when the directory takes no file, so that the
// refusal still reaches the user as text.
QString WriteRefusal(const QString& dir, const QString& refusal)
{
    const QString name = files::makeTempFile(dir, QStringLiteral("bpd"));
    if (name.isEmpty())
        return QString();
    QFile file(name);
    const QByteArray bytes = refusal.toUtf8() + "\r\n";
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        file.close();
        QFile::remove(name);
        return QString();
    }
    return name;
}

// Whether the first line of the probe's output names the old generation.
// The probe's file is deleted in any case.
bool ProbeSaysOldGeneration(const QString& probeOutput)
{
    bool old = false;
    QFile file(probeOutput);
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray first = file.readLine();
        const qsizetype cr = first.indexOf('\r');
        if (cr >= 0)
            first.truncate(cr);
        old = first.contains(OldGenerationMarker);
        file.close();
    }
    QFile::remove(probeOutput);
    return old;
}

} // namespace

TCompileResult TDocument::Compile(const QByteArray& Lines, const QString& JavaCompiler,
                                  const QString& JavaInterpreter)
{
    TCompileResult result;
    if (FDocType != TDocType::Java)
        result.Refusal =
            QLatin1Char('\'') + FFileName + QStringLiteral("' is not a java document.");
    else if (FIsNew)
        result.Refusal =
            QLatin1Char('\'') + FFileName + QStringLiteral("' has not been saved yet.");
    if (!result.Refusal.isEmpty()) {
        result.OutputFile = WriteRefusal(FPath, result.Refusal);
        return result;
    }

    // The compiler reads files, so the editor's text goes into the document's
    // file for the time of the compile. The write replaces the file
    // atomically: when it fails the file is whole and no tool runs. When the
    // editor holds exactly what the file holds, the file is not touched.
    const QString source = FullPath();
    std::optional<QByteArray> original;
    if (!files::isReadOnly(source)) {
        QByteArray stored = files::readAll(source);
        const QByteArray editorBytes = Utf8BytesToSave(Lines);
        if (editorBytes != stored) {
            files::writeAtomically(source, editorBytes);
            original = std::move(stored);
        }
    }
    const auto restore = [&] {
        if (original)
            files::writeAtomically(source, *original);
    };

    try {
        const bool oldGeneration = ProbeSaysOldGeneration(
            RunDosProcess(JavaInterpreter, {QStringLiteral("-version")}, FPath, true, false));
        result.OutputFile = RunDosProcess(JavaCompiler, {source}, FPath, false, oldGeneration);
    } catch (...) {
        // Putting the user's file back matters more than the tool's failure:
        // if that fails too, its error is the one reported.
        restore();
        throw;
    }
    try {
        restore();
    } catch (...) {
        QFile::remove(result.OutputFile);
        throw;
    }
    return result;
}

} // namespace bp
