#include "tools/dosprocess.h"

#include "platform/childprocess.h"
#include "platform/fileservices.h"

#include <QFile>
#include <QProcess>

namespace bp {

namespace {

// Output waits in QProcess's own buffer (which keeps the pipe drained) and is
// written out once at least this much has gathered, so a tool printing many
// short lines costs a handful of writes rather than one per line.
constexpr qint64 WriteBlock = 256 * 1024;

// How long a killed tool may take to be gone; the system reaps a killed
// process at once, so this is only a bound.
constexpr int KillWaitMs = 30000;

} // namespace

TDosProcess::TDosProcess(QObject* parent) : QObject(parent) {}

TDosProcess::~TDosProcess()
{
    if (FProcess) {
        FProcess->disconnect(this);
        if (FProcess->state() != QProcess::NotRunning) {
            FProcess->kill();
            FProcess->waitForFinished(KillWaitMs);
        }
    }
    FOut.reset();
    if (!FOutputFile.isEmpty())
        QFile::remove(FOutputFile);
}

void TDosProcess::start(const QString& CommandLine, const QString& Directory)
{
    QStringList arguments = QProcess::splitCommand(CommandLine);
    const QString program = arguments.isEmpty() ? QString() : arguments.takeFirst();
    start(program, arguments, Directory);
}

void TDosProcess::start(const QString& Program, const QStringList& Arguments,
                        const QString& Directory)
{
    Q_ASSERT(FState == State::Idle);
    FState = State::Running;
    FProgram = Program;
    // The output goes through the handle that made the file.
    FOut = files::createTempFile(Directory, QStringLiteral("bpd"));
    if (!FOut) {
        failLater(QStringLiteral("no input file"));
        return;
    }
    FOutputFile = FOut->fileName();
    if (Program.isEmpty()) {
        failLater(QStringLiteral("Create process failed"));
        return;
    }

    FProcess = std::make_unique<QProcess>();
    QProcess& process = *FProcess;
    process.setProgram(Program);
    process.setArguments(Arguments);
    if (!Directory.isEmpty())
        process.setWorkingDirectory(Directory);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    enlargeOutputPipe(process);

    connect(&process, &QProcess::readyReadStandardOutput, this, [this] { copyOut(WriteBlock); });
    // A crash is the tool's affair: finished() follows and its output is
    // kept. A start failure may be reported from within start().
    connect(&process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            failLater(QStringLiteral("Create process failed"));
    });
    connect(&process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        FEnd = TToolEnd{status == QProcess::CrashExit, exitCode};
        complete();
    });
    process.start();
}

void TDosProcess::stop()
{
    if (FState != State::Running || !FProcess || FProcess->state() == QProcess::NotRunning)
        return;
    FProcess->kill();
    // Delivers QProcess::finished, and with it this object's finished().
    FProcess->waitForFinished(KillWaitMs);
}

QString TDosProcess::takeOutputFile()
{
    return std::exchange(FOutputFile, QString());
}

void TDosProcess::copyOut(qint64 atLeast)
{
    if (!FProcess)
        return;
    const qint64 available = FProcess->bytesAvailable();
    if (available == 0 || available < atLeast)
        return;
    // A write that fails ends the copy but not the run: the rest is still
    // read and dropped so the tool never stalls, and the run then fails.
    const QByteArray block = FProcess->readAll();
    if (!FWriteFailed && FOut && FOut->write(block) != block.size())
        FWriteFailed = true;
}

void TDosProcess::failLater(const QString& error)
{
    FError = error;
    QMetaObject::invokeMethod(
        this, [this] { complete(); }, Qt::QueuedConnection);
}

void TDosProcess::complete()
{
    if (FState != State::Running)
        return;
    FState = State::Ended;
    copyOut(0);
    if (FOut) {
        // A capture that lost part of the output (a full disk) must not pass
        // for the whole of it: a compile would report success without its
        // errors.
        if (!FOut->flush() || FOut->error() != QFileDevice::NoError)
            FWriteFailed = true;
        FOut->close();
    }
    if (FError.isEmpty() && FWriteFailed)
        FError = QStringLiteral("Couldn't write the output of '") + FProgram +
                 QStringLiteral("' to ") + FOutputFile + QLatin1Char('.');
    if (!FError.isEmpty() && !FOutputFile.isEmpty())
        QFile::remove(std::exchange(FOutputFile, QString()));
    Q_EMIT finished();
}

} // namespace bp
