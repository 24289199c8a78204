#include "tools/dosprocess.h"

#include "platform/childprocess.h"
#include "platform/fileservices.h"
#include "platform/tempfile.h"

#include <QEventLoop>
#include <QFile>
#include <QProcess>

namespace bp {

namespace {

// Output waits in QProcess's own buffer (which keeps the pipe drained) and is
// written out once at least this much has gathered, so a tool printing many
// short lines costs a handful of writes rather than one per line.
constexpr qint64 WriteBlock = 256 * 1024;

[[noreturn]] void failStart()
{
    throw EDosProcessError(QStringLiteral("Create process failed"));
}

[[noreturn]] void failOutputFile()
{
    throw EDosProcessError(QStringLiteral("no input file"));
}

} // namespace

QString RunDosProcess(const QString& Program, const QStringList& Arguments,
                      const QString& Directory, bool /*ShowNormal*/, bool /*RedirectStdout*/)
{
    // The capture file comes first: a directory that cannot take it is reported
    // before any tool runs.
    std::unique_ptr<QFile> created = files::createTempFile(Directory, QStringLiteral("bpd"));
    if (!created)
        failOutputFile();
    const QString outputFile = created->fileName();
    // Deleted unless the run gets as far as handing it over.
    TTempFileGuard guard(outputFile);
    // Declared after the guard, so the file is closed before a failed run
    // deletes it. The output goes through the handle that made the file.
    const std::unique_ptr<QFile> out = std::move(created);

    if (Program.isEmpty())
        failStart();

    QProcess process;
    process.setProgram(Program);
    process.setArguments(Arguments);
    if (!Directory.isEmpty())
        process.setWorkingDirectory(Directory);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    enlargeOutputPipe(process);

    // A write that fails ends the copy but not the run: the rest is still read
    // and dropped so the tool never stalls, and the run then fails.
    bool writeFailed = false;
    const auto copyOut = [&](qint64 atLeast) {
        if (process.bytesAvailable() < atLeast || process.bytesAvailable() == 0)
            return;
        const QByteArray block = process.readAll();
        if (!writeFailed && out->write(block) != block.size())
            writeFailed = true;
    };

    QEventLoop loop;
    bool ended = false;
    bool startFailed = false;
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop,
                     [&] { copyOut(WriteBlock); });
    // A crash is the tool's affair: finished() follows and its output is kept.
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            startFailed = true;
            ended = true;
            loop.quit();
        }
    });
    QObject::connect(&process, &QProcess::finished, &loop, [&] {
        ended = true;
        loop.quit();
    });

    process.start();
    // Some start failures are reported from within start(), before the loop
    // could see a quit.
    if (!ended)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (startFailed)
        failStart();

    copyOut(0);
    // A capture that lost part of the output (a full disk) must not pass for
    // the whole of it: a compile would report success without its errors.
    if (!out->flush() || out->error() != QFileDevice::NoError)
        writeFailed = true;
    out->close();
    if (writeFailed)
        throw EDosProcessError(QStringLiteral("Couldn't write the output of '") + Program +
                               QStringLiteral("' to ") + outputFile + QLatin1Char('.'));
    return guard.release();
}

QString RunDosProcess(const QString& CommandLine, const QString& Directory, bool ShowNormal,
                      bool RedirectStdout)
{
    QStringList arguments = QProcess::splitCommand(CommandLine);
    const QString program = arguments.isEmpty() ? QString() : arguments.takeFirst();
    return RunDosProcess(program, arguments, Directory, ShowNormal, RedirectStdout);
}

} // namespace bp
