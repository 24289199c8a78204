#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QFile;

namespace bp {

class TDocument;

// What compiling a document hands back to its editor window.
struct TCompileResult {
    // A temporary file holding everything the compiler printed (or, after a
    // refusal, the refusal's one line); the caller deletes it. Empty when no
    // file could be made for a refusal.
    QString OutputFile;
    // The reason a document was not compiled at all (not a Java document,
    // never saved); empty when the compiler ran.
    QString Refusal;
};

// Why a document cannot be compiled at all: "'<name>' is not a java
// document." or "'<name>' has not been saved yet."; empty when it can.
QString CompileRefusal(const TDocument& document);

// Puts a text into a file for the time of a compile, since the compiler reads
// files, and the file itself back afterwards. A read-only file is compiled as
// it is stored and never written; a file that already holds the text is not
// touched. The file is set aside meanwhile (files::setAside), so that putting
// it back needs no room on the disk, which the compiler's output may have
// taken.
class TSourceSwap {
public:
    // Puts bytes at path when needed. Throws EBrewpadError when the file
    // cannot be read or the bytes cannot be written; the file is whole then.
    TSourceSwap(const QString& path, const QByteArray& bytes);
    // Puts the file back when restore() did not, ignoring a failure: an
    // error is already on its way then.
    ~TSourceSwap();
    TSourceSwap(const TSourceSwap&) = delete;
    TSourceSwap& operator=(const TSourceSwap&) = delete;

    // Puts the file back (once); throws EBrewpadError, naming where it is
    // kept, when that fails.
    void restore();

private:
    QString FPath;
    std::unique_ptr<QFile> FKept;
};

// Compiles the editor's text (UTF-8 with CR LF line ends, written in the
// document's format) with the Java compiler in the document's directory,
// after asking the interpreter for its version, the text standing in for the
// file only for the time of the compile (TSourceSwap). A document that cannot
// be compiled is refused without running a tool: the refusal comes back as
// Refusal and as a one-line output file. Throws EDosProcessError when a tool
// cannot be started, EBrewpadError when the file cannot be read or written
// (no tool runs then, or the error of putting the file back replaces the
// tool's). A file that was as the document last read or wrote it is taken
// for that again once its bytes are back, so that the compile's writes do
// not look like another program's; one that had changed stays changed.
TCompileResult CompileDocument(TDocument& document, const QByteArray& editorUtf8,
                               const QString& javaCompiler, const QString& javaInterpreter);

} // namespace bp
