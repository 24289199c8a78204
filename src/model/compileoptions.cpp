#include "model/compileoptions.h"

#include "model/document.h"
#include "model/project.h"
#include "platform/errors.h"

#include <QDir>
#include <QFileInfo>

namespace bp {

namespace {

// Each entry of a path list made absolute against base.
QString absoluteList(const QString& list, const QDir& base)
{
    QStringList entries = list.split(QDir::listSeparator());
    for (QString& entry : entries) {
        if (!entry.isEmpty())
            entry = QDir::cleanPath(base.absoluteFilePath(entry));
    }
    return entries.join(QDir::listSeparator());
}

} // namespace

TJavacOptions CompileOptionsFor(const TDocument& document, const QString& text)
{
    TJavacOptions options;
    options.SourceRoot = JavaSourceRoot(document.FullPath(), text);
    const TProject* project = document.Project();
    if (!project)
        return options;
    const QDir base(project->FileName().isEmpty() ? document.Path()
                                                  : QFileInfo(project->FileName()).absolutePath());
    options.Options = project->CompileOptions();
    if (!project->ClassPath().trimmed().isEmpty())
        options.ClassPath = absoluteList(project->ClassPath().trimmed(), base);
    if (!project->OutputPath().trimmed().isEmpty())
        options.OutputDir = QDir::cleanPath(base.absoluteFilePath(project->OutputPath().trimmed()));
    return options;
}

void PrepareOutputFolder(const TJavacOptions& options)
{
    if (options.OutputDir.isEmpty() || QFileInfo(options.OutputDir).isDir())
        return;
    if (!QDir().mkpath(options.OutputDir))
        throw EBrewpadError(QStringLiteral("Cannot create the output folder '") +
                            options.OutputDir + QStringLiteral("'."));
}

} // namespace bp
