#pragma once

#include "platform/errors.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QFile;
class QProcess;

namespace bp {

// A failure of the process runner itself (the tool could not be started, the
// capture file could not be made). What the tool prints is never an error.
class EDosProcessError : public EBrewpadError {
public:
    using EBrewpadError::EBrewpadError;
};

// How a tool ended: on its own with an exit code, or not (it crashed, or it
// was killed).
struct TToolEnd {
    bool Crashed = false;
    int ExitCode = 0;

    // Ended on its own with exit code 0.
    bool Clean() const { return !Crashed && ExitCode == 0; }
};

// Runs one tool (directly, never through a shell) in a directory without
// waiting for it: the event loop goes on, and finished() tells when the tool
// has ended. The tool reads an empty, closed standard input; what it writes
// to standard output and standard error, merged in the order it arrives, is
// copied byte for byte into a new "bpd" temporary file in the directory.
class TDosProcess : public QObject {
    Q_OBJECT

public:
    explicit TDosProcess(QObject* parent = nullptr);
    // Kills a tool still running (without finished()) and deletes a capture
    // file nobody took.
    ~TDosProcess() override;

    // Starts Program with Arguments in Directory. Every outcome, a failure to
    // start included, comes with finished(), never before start() returned.
    // The capture file is made first: a directory that takes no new file is
    // reported before any tool runs.
    void start(const QString& Program, const QStringList& Arguments, const QString& Directory);
    // The same for a command-line text: quoted parts are one argument, the
    // first argument is the program.
    void start(const QString& CommandLine, const QString& Directory);

    // Started and finished() not yet emitted.
    bool isRunning() const { return FState == State::Running; }
    // Kills the tool; when this returns, finished() has been emitted and the
    // output printed so far is in the capture file.
    void stop();

    // After finished(): the runner's own failure ("Create process failed",
    // "no input file", a capture that could not be written), empty when the
    // tool ran. After a failure no capture file is left.
    QString error() const { return FError; }
    // After finished(): how the tool ended; nothing when it did not run.
    std::optional<TToolEnd> toolEnd() const { return FEnd; }
    // The capture file, the caller's from now on (to read and delete).
    QString takeOutputFile();

Q_SIGNALS:
    void finished();

private:
    enum class State { Idle, Running, Ended };
    void copyOut(qint64 atLeast);
    // Ends the run: the rest of the output copied, the file closed.
    void complete();
    // A failure found within start(): reported once the caller is back in
    // the event loop.
    void failLater(const QString& error);

    State FState = State::Idle;
    std::unique_ptr<QProcess> FProcess;
    std::unique_ptr<QFile> FOut;
    QString FOutputFile;
    QString FProgram;
    QString FError;
    std::optional<TToolEnd> FEnd;
    bool FWriteFailed = false;
};

} // namespace bp
