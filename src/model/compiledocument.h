#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace bp {

class TDocument;
class TJavaCompileJob;
class TRecoveryCopy;

// What compiling a document hands back to its editor window.
struct TCompileResult {
    // A temporary file holding everything the compiler printed (or, after a
    // refusal, the refusal's one line); the caller deletes it. Empty when no
    // file could be made for a refusal, or the compiler did not run.
    QString OutputFile;
    // The reason a document was not compiled at all (not a Java document,
    // never saved); empty when the compiler ran.
    QString Refusal;
    // How the compiler ended: true for exit code 0, false for another code or
    // when it crashed or was stopped, nothing when that is not known (it did
    // not run).
    std::optional<bool> ExitedCleanly;
    // The compile was stopped before its end; the output is what the
    // compiler printed until then.
    bool Stopped = false;
    // Why the compile failed (a tool could not be started, the file could not
    // be put back); empty when it did not.
    QString Error;
};

// Why a document cannot be compiled at all: "'<name>' is not a java
// document." or "'<name>' has not been saved yet."; empty when it can.
QString CompileRefusal(const TDocument& document);

// The result for a document that cannot be compiled at all: the refusal as
// Refusal and as a one-line output file. Nothing when it can be compiled.
std::optional<TCompileResult> RefuseCompile(const TDocument& document);

// Puts a text into a file for the time of a compile, since the compiler reads
// files, and the file itself back afterwards. A read-only file is compiled as
// it is stored and never written; a file that already holds the text is not
// touched. The file is set aside meanwhile as a recovery copy beside it
// (TRecoveryCopy), so that putting it back needs no room on the disk, which
// the compiler's output may have taken, and a program killed meanwhile loses
// nothing.
class TSourceSwap {
public:
    // Puts bytes at path when needed. Throws EBrewpadError when the file
    // cannot be read, the bytes cannot be written or no recovery copy can be
    // made; the file is whole then.
    TSourceSwap(const QString& path, const QByteArray& bytes);
    // Puts the file back when restore() did not, ignoring a failure: an
    // error is already on its way then.
    ~TSourceSwap();
    TSourceSwap(const TSourceSwap&) = delete;
    TSourceSwap& operator=(const TSourceSwap&) = delete;

    // Puts the file back (once); throws EBrewpadError, naming where it is
    // kept, when that fails, and the copy stays.
    void restore();
    // The recovery copy while the file holds other bytes; empty otherwise.
    QString recoveryCopy() const;

private:
    QString FPath;
    std::unique_ptr<TRecoveryCopy> FCopy;
};

// Compiles the editor's text (UTF-8 with CR LF line ends, written in the
// document's format) with the Java compiler in the document's directory,
// after asking the interpreter for its version, the text standing in for the
// file only for the time of the compile (TSourceSwap). The tools run without
// blocking the event loop; finished() tells when the file holds its own
// bytes again and result() is ready. A file that was as the document last
// read or wrote it is taken for that again once its bytes are back, so that
// the compile's writes do not look like another program's; one that had
// changed stays changed.
class TDocumentCompile : public QObject {
    Q_OBJECT

public:
    explicit TDocumentCompile(QObject* parent = nullptr);
    // A compile still running is stopped and the file put back, without
    // finished().
    ~TDocumentCompile() override;

    // Starts compiling a document that CompileRefusal does not refuse, with
    // its project's options and its package's source root
    // (CompileOptionsFor); the document must outlive the compile (or its
    // destruction). Throws EBrewpadError when the file cannot be read or
    // written or the output folder cannot be made (no tool runs then, and
    // the file is whole). Every other outcome comes with
    // finished(), never before start() returned.
    void start(TDocument& document, const QByteArray& editorUtf8, const QString& javaCompiler,
               const QString& javaInterpreter);
    bool isRunning() const { return FRunning; }
    // Ends the compiler and puts the file back; when this returns,
    // finished() has been emitted, with the output printed so far.
    void stop();
    // The outcome, after finished(). The output file is the caller's to
    // delete.
    const TCompileResult& result() const { return FResult; }
    // The recovery copy while the compile runs (empty when the file was not
    // written).
    QString recoveryCopy() const;

Q_SIGNALS:
    void finished();

private:
    void toolsEnded();

    // Puts the file back and, when it was as recorded before, records it
    // again.
    void putBack();

    TDocument* FDocument = nullptr;
    bool FDiskStateRecorded = false;
    std::unique_ptr<TSourceSwap> FSwap;
    std::unique_ptr<TJavaCompileJob> FJob;
    bool FRunning = false;
    TCompileResult FResult;
};

} // namespace bp
