#pragma once

#include "tools/javacoptions.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace bp {

class TDosProcess;

// The JDK's tools as a compile runs them, through the process runner: never
// through a shell, the path of the source as the compiler's one argument.

// Whether what the interpreter printed for "-version" names the 1.0
// generation: its first line starts with `java version "1.0`.
bool IsOldJavaGeneration(const QByteArray& versionOutput);

// Compiles one source file in a directory without waiting for the tools: the
// interpreter's version probe first, then the compiler, each reporting back
// through the event loop. finished() tells when it is over.
class TJavaCompileJob : public QObject {
    Q_OBJECT

public:
    explicit TJavaCompileJob(QObject* parent = nullptr);
    // Kills a tool still running (without finished()); output nobody took is
    // deleted.
    ~TJavaCompileJob() override;

    // Every outcome comes with finished(), never before start() returned.
    // The options go between the compiler and the source file.
    void start(const QString& javaCompiler, const QString& javaInterpreter,
               const QString& sourcePath, const QString& directory,
               const TJavacOptions& options = {});
    bool isRunning() const { return FRunning; }
    // Ends the tool that runs; when this returns, finished() has been
    // emitted with what the compiler printed so far.
    void stop();

    // After finished(): the runner's failure (a tool could not be started,
    // its output not captured); empty when the compiler ran.
    QString error() const { return FError; }
    // After finished(): true when the compiler exited with code 0, false for
    // another code or when it crashed or was stopped, nothing when it did
    // not run.
    std::optional<bool> exitedCleanly() const { return FExitedCleanly; }
    bool stopped() const { return FStopped; }
    // After the probe: whether the interpreter is of the 1.0 generation.
    bool oldGeneration() const { return FOldGeneration; }
    // Everything the compiler printed; the caller's from now on. Empty when
    // the compiler did not run.
    QString takeOutputFile() { return std::exchange(FOutputFile, QString()); }

Q_SIGNALS:
    void finished();

private:
    void probeEnded();
    void compilerEnded();
    void end(const QString& error);

    QString FCompiler;
    QString FSource;
    TJavacOptions FOptions;
    QString FDirectory;
    std::unique_ptr<TDosProcess> FProbe;
    std::unique_ptr<TDosProcess> FCompile;
    bool FRunning = false;
    bool FStopped = false;
    bool FOldGeneration = false;
    QString FError;
    std::optional<bool> FExitedCleanly;
    QString FOutputFile;
};

} // namespace bp
