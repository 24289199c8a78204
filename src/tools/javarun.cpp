#include "tools/javarun.h"

#include "platform/launch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace bp {

QString FindTerminal()
{
    for (const char* name :
         {"x-terminal-emulator", "gnome-terminal", "konsole", "xfce4-terminal", "xterm"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

QString ConsoleKeeperPath()
{
    const QString name = QStringLiteral("brewpad-console");
    const QDir dir(QCoreApplication::applicationDirPath());
    for (const QString& candidate :
         {dir.filePath(name), dir.filePath(QStringLiteral("../libexec/brewpad/") + name),
          dir.filePath(QStringLiteral("../share/brewpad/") + name)}) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return QDir::cleanPath(info.absoluteFilePath());
    }
    return QString();
}

QStringList TerminalArguments(const QString& terminal, const QString& keeper,
                              const QString& program, const QStringList& arguments)
{
    // Most terminals take the words after -e as the command; gnome-terminal
    // and xfce4-terminal would read a single -e word as a command line to
    // split, so they get their options for separate words.
    const QString name = QFileInfo(terminal).fileName();
    QStringList out;
    if (name == QLatin1String("gnome-terminal"))
        out << QStringLiteral("--");
    else if (name == QLatin1String("xfce4-terminal"))
        out << QStringLiteral("-x");
    else
        out << QStringLiteral("-e");
    if (!keeper.isEmpty())
        out << keeper;
    out << program << arguments;
    return out;
}

bool StartInTerminal(const QString& program, const QStringList& arguments,
                     const QString& workingDir)
{
    const QString terminal = FindTerminal();
    if (terminal.isEmpty())
        return false;
    return startDetached(
        terminal, TerminalArguments(terminal, ConsoleKeeperPath(), program, arguments), workingDir);
}

TJavaRun JavaRunFor(const QString& folder, const QString& fileName, const QString& packageName,
                    const TJavacOptions& options)
{
    QString className = fileName;
    if (const qsizetype dot = className.lastIndexOf(QLatin1Char('.')); dot >= 0)
        className.truncate(dot);
    if (!className.isEmpty() && !packageName.isEmpty())
        className = packageName + QLatin1Char('.') + className;

    TJavaRun run;
    run.WorkingDir = !options.OutputDir.isEmpty()    ? options.OutputDir
                     : !options.SourceRoot.isEmpty() ? options.SourceRoot
                                                     : QDir::cleanPath(folder);
    QString classPath = run.WorkingDir;
    if (!options.ClassPath.isEmpty())
        classPath += QDir::listSeparator() + options.ClassPath;
    run.Arguments << QStringLiteral("-classpath") << classPath;
    if (!className.isEmpty())
        run.Arguments << className;
    return run;
}

} // namespace bp
