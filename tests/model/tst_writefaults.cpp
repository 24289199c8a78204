// Every whole-file write of the model against what can go wrong beneath it: a full disk, a
// folder that takes no new file, a file deleted or turned into a folder before the write, and
// the shapes a user's file can have (a symbolic link, a second name, special modes). After each
// case the user's path holds exactly the old bytes or exactly the new ones, the call said which
// (EBrewpadError naming the file for a failed write), and nothing was left beside the file.
#include "model/compiledocument.h"
#include "model/document.h"
#include "model/project.h"
#include "model/settings.h"
#include "platform/errors.h"
#include "platform/fileservices.h"
#include "support/testenv.h"

#include <QtTest>

#include <functional>

#include <stdio.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace bp;
using bp::test::TestEnv;

namespace {

// What happens to the user's file, or to the folder around it, after it was read and before it
// is written. Flags: a row may combine them.
enum TDisturbance {
    FullDisk = 0x01,         // the file lives on a small file system that is then filled
    ReadOnlyFolder = 0x02,   // its folder takes no new file
    Deleted = 0x04,          // the file is gone
    ReplacedByFolder = 0x08, // a folder has taken its name
    SymLink = 0x10,          // the user's path is a symbolic link to the file in another folder
    HardLinks = 0x20,        // the file has a second name beside it
    NearlyFull = 0x40,       // with FullDisk: the disk still takes the new text, no more
};

// Set when the test runs again under the full-disk shim, because it may not mount a tmpfs.
constexpr char kUnderShim[] = "BP_WRITEFAULTS_UNDER_SHIM";
// Makes the test behave as if it could not mount, so that the shim's way is tested as well.
constexpr char kNoMount[] = "BP_WRITEFAULTS_NO_MOUNT";
// The folder whose files the shim refuses to write, and the bytes it still takes (see
// fulldiskshim.cpp).
constexpr char kFullDisk[] = "BP_FULL_DISK";
constexpr char kFullDiskRoom[] = "BP_FULL_DISK_ROOM";

// Lines with CR LF ends, repeated to at least bytes bytes.
QByteArray repeatedLines(const QByteArray& line, int bytes)
{
    QByteArray text;
    while (text.size() < bytes)
        text += line + "\r\n";
    return text;
}

// Past 16 KiB the save file writes directly instead of keeping the last piece in its buffer.
constexpr int kLargeBytes = 40 * 1024;

bool run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Whether a new file can be made in dir (and removes it again).
bool takesNewFile(const QString& dir)
{
    QFile probe(dir + "/probe");
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    probe.remove();
    return true;
}

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                               QDir::NoDotAndDotDot);
}

// One writer as the matrix drives it.
struct TWriter {
    // The user's file in its folder, and what it holds before the write.
    QString fileName;
    QByteArray oldBytes;
    // Reads the user's file at path, as the program does before the user changes anything, and
    // returns the bytes its write puts there (large: a new text past 16 KiB).
    std::function<QByteArray(const QString& path, bool large)> read;
    // The write under test; throws EBrewpadError when it fails.
    std::function<void()> write;
    // The compile: whatever happens, its file ends with its old bytes; and its tools need room
    // for their output beside the file.
    bool keepsOriginal = false;
    // Checks of the writer's own after the shared ones (threw: the write said it failed).
    std::function<void(bool threw)> afterwards;
};

// One row of the matrix: the user's file in a folder of a private test directory, disturbed as
// the row says, and the checks of what the write left there.
class TFaultCase {
public:
    TFaultCase(int disturbance, int mode) : FDisturbance(disturbance), FMode(mode) {}
    ~TFaultCase()
    {
        qunsetenv(kFullDisk);
        qunsetenv(kFullDiskRoom);
        if (FImmutable)
            run("chattr", {"-i", FFolder});
        if (FReadOnly)
            ::chmod(QFile::encodeName(FFolder).constData(), 0755);
        if (FMounted)
            ::umount2(QFile::encodeName(FFolder).constData(), MNT_DETACH);
    }
    TFaultCase(const TFaultCase&) = delete;
    TFaultCase& operator=(const TFaultCase&) = delete;

    bool has(int disturbance) const { return FDisturbance & disturbance; }

    // Makes the user's file holding bytes, in the shape the row asks for.
    void create(const QString& name, const QByteArray& bytes)
    {
        FName = name;
        FOld = bytes;
        FFolder = FEnv.path("folder");
        FElsewhere = FEnv.path("elsewhere");
        QVERIFY(QDir().mkpath(FFolder) && QDir().mkpath(FElsewhere));
        if (has(FullDisk) && !qEnvironmentVariableIsSet(kUnderShim)) {
            FMounted = ::mount("tmpfs", QFile::encodeName(FFolder).constData(), "tmpfs", 0,
                               "size=64k") == 0;
            // main() runs the test under the shim wherever mounting is refused.
            QVERIFY2(FMounted, "cannot mount a tmpfs, and the full-disk shim is not loaded");
        }
        FPath = FFolder + '/' + name;
        FFile = has(SymLink) ? FElsewhere + '/' + name : FPath;
        FEnv.writeFile(QDir(FEnv.dir()).relativeFilePath(FFile), bytes);
        {
            // A file saved long ago, as the compile's clean-up of left-over temporary files
            // sees it.
            QFile file(FFile);
            QVERIFY(file.open(QIODevice::ReadWrite) &&
                    file.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                     QFileDevice::FileModificationTime));
        }
        QCOMPARE(::chmod(QFile::encodeName(FFile).constData(), mode_t(FMode)), 0);
        if (has(SymLink))
            QVERIFY(QFile::link(FFile, FPath));
        FSecond = FFolder + "/copy of " + name;
        if (has(HardLinks))
            QCOMPARE(::link(QFile::encodeName(FFile).constData(),
                            QFile::encodeName(FSecond).constData()),
                     0);
    }

    // The user's path.
    QString path() const { return FPath; }

    // The row's disturbance, after the file was read (newBytes: what the write puts down).
    // Where it cannot be made here, the case stops with skipReason() saying why.
    void disturb(const QByteArray& newBytes)
    {
        if (has(Deleted))
            QVERIFY(QFile::remove(FPath));
        if (has(ReplacedByFolder)) {
            QVERIFY(QFile::remove(FPath));
            FEnv.writeFile("folder/" + FName + "/inside.txt", "kept");
        }
        if (has(ReadOnlyFolder)) {
            FReadOnly = ::chmod(QFile::encodeName(FFolder).constData(), 0555) == 0;
            QVERIFY(FReadOnly);
            // Permission bits do not stop root: an immutable folder does.
            if (takesNewFile(FFolder)) {
                FImmutable = run("chattr", {"+i", FFolder});
                if (!FImmutable || takesNewFile(FFolder)) {
                    FSkipReason = "this user writes into any folder whatever its mode (root), and "
                                  "chattr +i does not work here, so no folder is read-only for it";
                    return;
                }
            }
        }
        if (has(FullDisk))
            fill(has(NearlyFull) ? newBytes.size() : 0);
        FEntriesBefore = entries(FFolder);
        FElsewhereBefore = entries(FElsewhere);
    }
    const QString& skipReason() const { return FSkipReason; }

    // What the write left: exactly the old or exactly the new bytes, as the call said.
    void check(const TWriter& writer, const QByteArray& newBytes, bool writes, bool threw,
               const QString& message)
    {
        FNew = newBytes;
        // The compile's text fits on a nearly full disk, its tools' output does not.
        const bool outputFails = writer.keepsOriginal && has(NearlyFull);
        QVERIFY2(threw != (writes && !outputFails),
                 threw ? qPrintable("the write failed: " + message) : "the write reported success");
        if (threw) {
            // A sentence for the user that names the file (or the output that had no room).
            QVERIFY2(message.contains(outputFails ? FFolder : FName), qPrintable(message));
            QVERIFY2(message.at(0).isUpper() && message.endsWith('.'), qPrintable(message));
        }
        const bool newText = !threw && !writer.keepsOriginal;
        const QByteArray expected = newText ? FNew : FOld;
        const QFileInfo info(FPath);
        if (has(ReplacedByFolder)) {
            QVERIFY(info.isDir());
            QCOMPARE(TestEnv::readFile(FPath + "/inside.txt"), QByteArray("kept"));
        } else if (has(Deleted) && !newText) {
            QVERIFY2(!info.exists() && !info.isSymLink(), "a file was made in its place");
        } else {
            QVERIFY(info.isFile());
            QCOMPARE(which(TestEnv::readFile(FPath)), which(expected));
        }
        if (has(SymLink)) {
            QVERIFY2(info.isSymLink(), "the link was replaced");
            QCOMPARE(info.symLinkTarget(), FFile);
            QCOMPARE(which(TestEnv::readFile(FFile)), which(expected));
        }
        if (has(HardLinks)) {
            QCOMPARE(which(TestEnv::readFile(FSecond)), which(expected));
            struct stat first {};
            struct stat second {};
            QVERIFY(::stat(QFile::encodeName(FPath).constData(), &first) == 0 &&
                    ::stat(QFile::encodeName(FSecond).constData(), &second) == 0);
            QVERIFY2(first.st_ino == second.st_ino, "the names no longer share one file");
        }
        if (!has(Deleted | ReplacedByFolder)) {
            struct stat st {};
            QCOMPARE(::stat(QFile::encodeName(FFile).constData(), &st), 0);
            QCOMPARE(QString::number(st.st_mode & 07777, 8), QString::number(FMode, 8));
        }
        // Nothing new beside the file but the file itself (and a compiled class).
        for (const auto& [dir, before] :
             {std::pair(FFolder, FEntriesBefore), std::pair(FElsewhere, FElsewhereBefore)}) {
            QStringList left;
            for (const QString& entry : entries(dir)) {
                if (!before.contains(entry) && entry != FName && !entry.endsWith(".class"))
                    left << entry;
            }
            QVERIFY2(left.isEmpty(), qPrintable("left behind: " + left.join(", ")));
        }
    }

private:
    // Fills the file system under the folder but for room bytes: a real tmpfs to its last block
    // (then one block is freed for any room), or the shim's stand-in, which refuses every write
    // below the folder from now on (but for room bytes).
    void fill(qsizetype room)
    {
        if (FMounted) {
            QFile filler(FFolder + "/filler");
            QVERIFY(filler.open(QIODevice::WriteOnly));
            const QByteArray block(4096, 'f');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
        } else {
            qputenv(kFullDisk, QFileInfo(FFolder).canonicalFilePath().toLocal8Bit());
        }
        QFile probe(FFolder + "/probe");
        QVERIFY(probe.open(QIODevice::WriteOnly));
        QVERIFY2(probe.write("x") != 1 || !probe.flush(), "the disk is not full");
        probe.remove();
        if (room > 0) {
            QVERIFY(room <= 4096);
            const QString filler = FFolder + "/filler";
            if (FMounted)
                QVERIFY(QFile::resize(filler, QFileInfo(filler).size() - 4096));
            else
                qputenv(kFullDiskRoom, QByteArray::number(room));
        }
    }

    // Names bytes for a readable comparison.
    QString which(const QByteArray& bytes) const
    {
        if (bytes == FOld)
            return "the old text";
        if (bytes == FNew)
            return "the new text";
        if (bytes.isEmpty())
            return "an empty file";
        return QString("%1 other bytes").arg(bytes.size());
    }

    TestEnv FEnv;
    int FDisturbance;
    int FMode;
    QString FName;
    QString FFolder;
    QString FElsewhere;
    QString FPath;   // the user's path
    QString FFile;   // the file behind it
    QString FSecond; // its second name
    QByteArray FOld;
    QByteArray FNew;
    QStringList FEntriesBefore;
    QStringList FElsewhereBefore;
    bool FMounted = false;
    bool FReadOnly = false;
    bool FImmutable = false;
    QString FSkipReason;
};

// The rows every writer runs: each disturbance, whether the write can succeed under it.
void addDisturbanceRows()
{
    QTest::addColumn<int>("disturbance");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("large");  // a new text past 16 KiB
    QTest::addColumn<bool>("writes"); // whether the write can succeed

    QTest::newRow("full disk, small file") << int(FullDisk) << 0644 << false << false;
    QTest::newRow("full disk, large file") << int(FullDisk) << 0644 << true << false;
    QTest::newRow("full disk, two hard links") << (FullDisk | HardLinks) << 0644 << false << false;
    QTest::newRow("full disk, two hard links, large file")
        << (FullDisk | HardLinks) << 0644 << true << false;
    QTest::newRow("nearly full disk") << (FullDisk | NearlyFull) << 0644 << false << true;
    QTest::newRow("read-only folder") << int(ReadOnlyFolder) << 0644 << false << false;
    QTest::newRow("file deleted") << int(Deleted) << 0644 << false << true;
    QTest::newRow("file replaced by a folder") << int(ReplacedByFolder) << 0644 << false << false;
    QTest::newRow("symbolic link") << int(SymLink) << 0644 << false << true;
    QTest::newRow("symbolic link, large file") << int(SymLink) << 0644 << true << true;
    QTest::newRow("two hard links") << int(HardLinks) << 0644 << false << true;
    QTest::newRow("two hard links, large file") << int(HardLinks) << 0644 << true << true;
    QTest::newRow("mode 0600") << 0 << 0600 << false << true;
    QTest::newRow("mode 0755") << 0 << 0755 << false << true;
    QTest::newRow("mode 04755") << 0 << 04755 << false << true;
}

// Runs the current row for a writer: the file made, read, disturbed, written, checked.
void runCase(const TWriter& writer)
{
    QFETCH(int, disturbance);
    QFETCH(int, mode);
    QFETCH(bool, large);
    QFETCH(bool, writes);

    TFaultCase c(disturbance, mode);
    const QString oldCurrent = QDir::currentPath();
    const auto restoreCurrent = qScopeGuard([&] { QDir::setCurrent(oldCurrent); });
    c.create(writer.fileName, writer.oldBytes);
    if (QTest::currentTestFailed())
        return;
    QByteArray newBytes;
    try {
        newBytes = writer.read(c.path(), large);
    } catch (const EBrewpadError& e) {
        QFAIL(qPrintable("cannot read the file: " + e.message()));
    }
    c.disturb(newBytes);
    if (QTest::currentTestFailed())
        return;
    if (!c.skipReason().isEmpty())
        QSKIP(qPrintable(c.skipReason()));

    bool threw = false;
    QString message;
    try {
        writer.write();
    } catch (const EBrewpadError& e) {
        threw = true;
        message = e.message();
    }
    c.check(writer, newBytes, writes, threw, message);
    if (!QTest::currentTestFailed() && writer.afterwards)
        writer.afterwards(threw);
}

const QByteArray OldText = "Notes\r\nkept as they were\r\n";
const QByteArray OldProject = "Tarvik's Brewpad 2.09\r\n2\r\nProject\r\n  Old name\r\n\r\n"
                              "CompileOptions\r\n  \r\n\r\nClassPath\r\n  \r\n\r\n"
                              "OutputPath\r\n  \r\n\r\nFiles\r\n";
const QByteArray OldSettings = "/old/javac\r\n\r\nOld Font\r\n9\r\nclBlack\r\n8\r\nclWindow\r\n"
                               "0\r\n0\r\n0\r\n";
// The stored source does not compile; the editor's text does: an output without errors shows
// that the compiler saw the editor's text.
const QByteArray OldSource = "class Hello {\r\n    int x = ;\r\n}\r\n";
const QByteArray EditedSource = "class Hello {\r\n    int x = 1;\r\n}\r\n";

} // namespace

class TestWriteFaults : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void documentSave_data() { addDisturbanceRows(); }
    void documentSave()
    {
        std::unique_ptr<TDocument> doc;
        QByteArray text;
        TWriter w;
        w.fileName = "notes.txt";
        w.oldBytes = OldText;
        w.read = [&](const QString& path, bool large) {
            doc = TDocument::CreateFromFile(path);
            doc->LoadPieces([](qint64) {}, [](const char*, qsizetype) {});
            text = large ? repeatedLines("a new line of the user's notes", kLargeBytes)
                         : QByteArray("New notes\r\n");
            return text; // the file's CR LF ends are the editor's
        };
        w.write = [&] { doc->SaveFromUtf8(text); };
        runCase(w);
    }

    void projectSave_data() { addDisturbanceRows(); }
    void projectSave()
    {
        std::unique_ptr<TProject> project;
        TWriter w;
        w.fileName = "work.jpr";
        w.oldBytes = OldProject;
        w.read = [&](const QString& path, bool large) {
            project = TProject::CreateFromFile(path);
            project->SetName("New name");
            if (large)
                project->SetClassPath("/lib/" + QString(kLargeBytes, 'c'));
            return project->FileContent();
        };
        w.write = [&] { project->Save(); };
        runCase(w);
    }

    void settingsSave_data() { addDisturbanceRows(); }
    void settingsSave()
    {
        TSettings settings;
        QString folder;
        TWriter w;
        w.fileName = kSettingsFileName;
        w.oldBytes = OldSettings;
        w.read = [&](const QString& path, bool large) {
            folder = files::extractFileDir(path);
            settings.JavaCompiler = large ? "/opt/" + QString(kLargeBytes, 'j') : "/usr/bin/javac";
            settings.WebBrowser = "/usr/bin/browser";
            // What the write gives where nothing disturbs it.
            QTemporaryDir scratch;
            const QString current = QDir::currentPath();
            QDir::setCurrent(scratch.path());
            WriteSettingsFile(settings);
            QDir::setCurrent(current);
            return TestEnv::readFile(scratch.filePath(kSettingsFileName));
        };
        w.write = [&] {
            const QString current = QDir::currentPath();
            const auto restore = qScopeGuard([&] { QDir::setCurrent(current); });
            QVERIFY(QDir::setCurrent(folder));
            WriteSettingsFile(settings);
        };
        runCase(w);
    }

    // The compile puts the editor's text into the file only for the time of the compile: in
    // every row the file ends with its own bytes, and a text that could not be written is an
    // error, never a compile of the stored text.
    void compile_data() { addDisturbanceRows(); }
    void compile()
    {
        const QString javac =
            QFileInfo(QStandardPaths::findExecutable("javac")).canonicalFilePath();
        const QString java = DeriveJavaInterpreter(javac);
        QVERIFY2(!java.isEmpty(), "needs the JDK's javac and java");

        std::unique_ptr<TDocument> doc;
        QByteArray edited;
        QByteArray output;
        QFETCH(int, disturbance);
        TWriter w;
        w.fileName = "Hello.java";
        w.oldBytes = OldSource;
        w.keepsOriginal = true;
        w.read = [&](const QString& path, bool large) {
            doc = TDocument::CreateFromFile(path);
            doc->LoadPieces([](qint64) {}, [](const char*, qsizetype) {});
            edited = EditedSource;
            if (large)
                edited += "/*\r\n" + repeatedLines(" * a long comment", kLargeBytes) + " */\r\n";
            return doc->Utf8BytesToSave(edited);
        };
        w.write = [&] {
            // Run to its end; its errors are thrown as a whole-file write throws them.
            TDocumentCompile compile;
            QSignalSpy ended(&compile, &TDocumentCompile::finished);
            compile.start(*doc, edited, javac, java);
            QVERIFY(ended.wait(60000));
            const TCompileResult& r = compile.result();
            if (!r.Error.isEmpty())
                throw EBrewpadError(r.Error);
            QVERIFY(r.Refusal.isEmpty());
            output = TestEnv::readFile(r.OutputFile);
            QVERIFY(QFile::remove(r.OutputFile));
        };
        w.afterwards = [&](bool threw) {
            if (threw)
                return;
            if (disturbance & Deleted) {
                // Nothing to put the text into: the compiler says the file is missing.
                QVERIFY2(output.contains(doc->FullPath().toUtf8()) && output.contains("not found"),
                         output.constData());
            } else {
                QVERIFY2(!output.contains(" error"), output.constData());
            }
        };
        runCase(w);
    }
};

namespace {

// Whether this process may mount a small tmpfs (root, or a namespace that lets it).
bool canMountTmpfs()
{
    if (qEnvironmentVariableIsSet(kNoMount))
        return false;
    QByteArray dir = QFile::encodeName(QDir::tempPath()) + "/writefaultsXXXXXX";
    if (!::mkdtemp(dir.data()))
        return false;
    const bool mounted = ::mount("tmpfs", dir.constData(), "tmpfs", 0, "size=64k") == 0;
    if (mounted)
        ::umount2(dir.constData(), MNT_DETACH);
    ::rmdir(dir.constData());
    return mounted;
}

} // namespace

int main(int argc, char* argv[])
{
    // Where no tmpfs can be mounted, a preloaded shim stands in for the full disk: the test runs
    // itself again with it.
    if (!qEnvironmentVariableIsSet(kUnderShim) && !canMountTmpfs()) {
        QByteArray preload = BP_FULL_DISK_SHIM;
        if (const QByteArray other = qgetenv("LD_PRELOAD"); !other.isEmpty())
            preload += ':' + other;
        qputenv("LD_PRELOAD", preload);
        qputenv(kUnderShim, "1");
#ifdef __SANITIZE_ADDRESS__
        // The sanitizer's runtime then no longer comes first; it works all the same.
        qputenv("ASAN_OPTIONS", qgetenv("ASAN_OPTIONS") + ":verify_asan_link_order=0");
#endif
        ::execv("/proc/self/exe", argv);
        perror("cannot run the test again under the full-disk shim");
        return 1;
    }
    QCoreApplication app(argc, argv);
    TestWriteFaults test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_writefaults.moc"
