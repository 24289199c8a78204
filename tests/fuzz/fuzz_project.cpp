// Reads arbitrary bytes as a ".jpr" project file, as one a user was sent.
// Refusing it with EBrewpadError is fine; any other exception, a crash or a
// sanitizer report is a fault. A project that loads must also read back
// unchanged from the file it would save.

#include "fuzzcheck.h"

#include "model/project.h"
#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

using namespace bp;

namespace {

// A folder of this process's own for the input file, current while an input
// is read: loading a project makes the file's folder current, and relative
// entries must resolve the same for every input.
const QTemporaryDir& workDir()
{
    static const QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/bp-fuzz-project-XXXXXX"));
    if (!dir.isValid())
        std::abort();
    return dir;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort(); // the harness itself failed, not the reader
}

// What a project file stores, documents by full path.
QStringList contentOf(const TProject& p)
{
    QStringList parts{p.Name(), p.CompileOptions(), p.ClassPath(), p.OutputPath()};
    for (int i = 0; i < p.Count(); ++i) {
        // An entry has its document unless its file was missing at load.
        FUZZ_CHECK(p.IsMissing(i) != (p.Document(i) != nullptr));
        parts << p.EntryName(i) << (p.Document(i) ? p.Document(i)->FullPath() : p.EntryPath(i));
    }
    return parts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::CurrentDirScope inWorkDir(workDir().path());
    const QString input = workDir().filePath(QStringLiteral("input.jpr"));
    const QString again = workDir().filePath(QStringLiteral("again.jpr"));
    QFile::remove(again); // an entry naming it must not find it from the last input
    writeFile(input, fuzz::bytesOf(data, size));

    std::unique_ptr<TProject> project;
    try {
        project = TProject::CreateFromFile(input);
    } catch (const EBrewpadError&) {
        return 0; // refused: not a project of this version
    }
    FUZZ_CHECK(!project->IsNew() && !project->Modified());

    // Saved and read again, the project is the same one.
    writeFile(again, project->FileContent());
    std::unique_ptr<TProject> reread;
    try {
        reread = TProject::CreateFromFile(again);
    } catch (const EBrewpadError&) {
        FUZZ_CHECK(!"a saved project is refused");
    }
    FUZZ_CHECK(contentOf(*reread) == contentOf(*project));
    QFile::remove(again);
    return 0;
}
