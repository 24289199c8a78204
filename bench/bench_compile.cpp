// What a compile costs beyond the tools it runs.
// (a) A full compile of a small class through the editor window against
//     running `java -version` and `javac` directly, one after the other.
// (b) A fake compiler printing 50,000 lines: the whole compile (output
//     captured, listed, first error line selected) against the time the
//     script itself needs to print them into a file and into /dev/null.
// Each figure is the median of several runs in this process. Run with
// QT_QPA_PLATFORM=offscreen; the settings store is a temporary file.

#include "editor/editorwindow.h"
#include "editor/textcontrol.h"
#include "mainwin/documentcommands.h"
#include "mainwin/fmain.h"
#include "model/settings.h"
#include "platform/registry.h"
#include "tools/javac.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <sys/stat.h>

using namespace bp;

namespace {

double elapsedMs(const std::function<void()>& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void writeFile(const QString& path, const QByteArray& bytes, bool executable = false)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(2);
    }
    f.close();
    if (executable)
        ::chmod(QFile::encodeName(path).constData(), 0755);
}

// Runs a program to its end; its merged output is read (as a caller would)
// or sent to a file.
void runTool(const QString& program, const QStringList& args, const QString& outputFile = {})
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!outputFile.isEmpty())
        p.setStandardOutputFile(outputFile);
    p.start(program, args);
    if (!p.waitForFinished(-1)) {
        std::fprintf(stderr, "%s did not run\n", qPrintable(program));
        std::exit(2);
    }
    if (outputFile.isEmpty())
        p.readAll();
}

// Starts a compile and lets the event loop run until it is over, as the
// program does.
void compileToEnd(TcwEditBase* editor)
{
    editor->Compile();
    while (editor->IsCompiling())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::exit(2);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 7;

    const QString javacOnPath = QStandardPaths::findExecutable(QStringLiteral("javac"));
    const QString javac =
        javacOnPath.isEmpty() ? QString() : QFileInfo(javacOnPath).canonicalFilePath();
    const QString java = DeriveJavaInterpreter(javac);
    if (javac.isEmpty() || java.isEmpty()) {
        std::fprintf(stderr, "javac and java are needed on PATH\n");
        return 2;
    }

    QTemporaryDir tmp;
    Registry::setStoreFile(tmp.filePath(QStringLiteral("store/Brewpad.conf")));
    QDir::setCurrent(tmp.path());
    QDir().mkpath(tmp.filePath(QStringLiteral("src")));
    const QString dir = tmp.filePath(QStringLiteral("src")) + QLatin1Char('/');

    TfrmMain main{QStringList()};
    main.show();
    main.Settings().JavaCompiler = javac;
    main.Settings().JavaInterpreter = java;

    // (a) A small class, with unsaved edits in the editor, so that the
    // compile writes the file and puts it back.
    const QString source = dir + QStringLiteral("Hello.java");
    const QByteArray hello = "public class Hello {\n"
                             "    public static void main(String[] args) {\n"
                             "        System.out.println(\"Hello\");\n"
                             "    }\n"
                             "}\n";
    writeFile(source, hello);
    main.Documents().OpenFiles({source});
    TcwEditBase* e = main.ActiveAnyEditor();
    check(e != nullptr, "editor opened");
    e->Text()->setSelection(0, 0);
    e->Text()->replaceSelection(QStringLiteral("// edited\r\n"));
    const QString success = QLatin1Char('\'') + source + QStringLiteral("' compiled successfully.");

    // One untimed round each: the JVM's files are in the cache for both.
    compileToEnd(e);
    check(e->statusBar()->currentMessage() == success, "compile succeeded");
    runTool(java, {QStringLiteral("-version")});
    runTool(javac, {source});

    std::vector<double> viaEditor, direct;
    for (int i = 0; i < runs; ++i) {
        const auto editorRun = [&] { viaEditor.push_back(elapsedMs([&] { compileToEnd(e); })); };
        const auto directRun = [&] {
            direct.push_back(elapsedMs([&] {
                runTool(java, {QStringLiteral("-version")});
                runTool(javac, {source});
            }));
        };
        // Alternating the order keeps slow drifts of the machine out of the ratio.
        if (i % 2) {
            editorRun();
            directRun();
        } else {
            directRun();
            editorRun();
        }
        check(e->statusBar()->currentMessage() == success, "compile succeeded");
    }
    {
        QFile f(source);
        check(f.open(QIODevice::ReadOnly) && f.readAll() == hello, "source bytes unchanged");
    }
    // The same two tools through the compile job alone, without the editor
    // window: where the program's own cost lies.
    std::vector<double> viaJob;
    for (int i = 0; i < runs; ++i) {
        viaJob.push_back(elapsedMs([&] {
            TJavaCompileJob job;
            bool ended = false;
            QObject::connect(&job, &TJavaCompileJob::finished, [&] { ended = true; });
            job.start(javac, java, source, dir);
            while (!ended)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QFile::remove(job.takeOutputFile());
        }));
    }
    const double a1 = median(viaEditor), a2 = median(direct), a3 = median(viaJob);
    std::printf("(a) small class, median of %d\n", runs);
    std::printf("    compile through the editor window    %8.1f ms\n", a1);
    std::printf("    java -version + javac, run directly  %8.1f ms\n", a2);
    std::printf("    ratio                                %8.3f   (target < 1.10)\n", a1 / a2);
    std::printf("    the compile job alone (no window)    %8.1f ms   ratio %.3f\n", a3, a3 / a2);

    // (b) 50,000 lines from a fake compiler (awk, about as fast as a tool
    // can print); the probe's interpreter is a script that prints nothing.
    // The same compile with a one-line output shows the fixed costs (the
    // probe's process, the file written and put back).
    const int lineCount = 50000;
    const auto fakeCompiler = [&](const QString& name, int lines) {
        const QString path = dir + name;
        writeFile(path,
                  "#!/bin/sh\n"
                  "exec awk -v p=\"$1\" -v n=" +
                      QByteArray::number(lines) +
                      " 'BEGIN { for (i = 1; i <= n; i += 3) {\n"
                      "  printf \"%s:%d: error: cannot find symbol\\n\", p, i % 4 + 1\n"
                      "  if (i + 1 <= n) print \"        undefined();\"\n"
                      "  if (i + 2 <= n) print \"        ^\" }\n"
                      "  printf \"%d errors\\n\", (n + 2) / 3; exit 1 }'\n",
                  true);
        return path;
    };
    const QString bigCompiler = fakeCompiler(QStringLiteral("fakejavac"), lineCount);
    const QString smallCompiler = fakeCompiler(QStringLiteral("fakejavac1"), 1);
    const QString fakeJava = dir + QStringLiteral("fakejava");
    writeFile(fakeJava, "#!/bin/sh\nexit 0\n", true);
    main.Settings().JavaInterpreter = fakeJava;

    const QString big = dir + QStringLiteral("Big.java");
    writeFile(big, hello);
    main.Documents().OpenFiles({big});
    TcwEditBase* b = main.ActiveAnyEditor();
    check(b != e && !b->Text()->isModified(), "second editor opened unmodified");
    const QString failed = QStringLiteral("Couldn't compile '") + big + QStringLiteral("'.");
    const auto compileWith = [&](const QString& compiler, int expectedItems) {
        main.Settings().JavaCompiler = compiler;
        const double ms = elapsedMs([&] { compileToEnd(b); });
        check(b->statusBar()->currentMessage() == failed, "compile failed as scripted");
        check(b->lstErrors()->model()->rowCount() == expectedItems, "every line listed");
        check(b->lstErrors()->currentIndex().row() == 0, "first error line selected");
        return ms;
    };
    const QString captured = tmp.filePath(QStringLiteral("captured.txt"));
    compileWith(bigCompiler, lineCount + 1);
    runTool(bigCompiler, {big}, captured);
    const qint64 bytes = QFileInfo(captured).size();

    std::vector<double> saved, savedSmall, edited, toFile, toNull;
    for (int i = 0; i < runs; ++i) {
        saved.push_back(compileWith(bigCompiler, lineCount + 1));
        savedSmall.push_back(compileWith(smallCompiler, 2));
        toFile.push_back(elapsedMs([&] { runTool(bigCompiler, {big}, captured); }));
        toNull.push_back(elapsedMs([&] { runTool(bigCompiler, {big}, QProcess::nullDevice()); }));
    }
    b->Text()->setSelection(0, 0);
    b->Text()->replaceSelection(QStringLiteral("// edited\r\n"));
    for (int i = 0; i < runs; ++i)
        edited.push_back(compileWith(bigCompiler, lineCount + 1));

    const double tFile = median(toFile), tNull = median(toNull), tSaved = median(saved),
                 tSmall = median(savedSmall), tEdited = median(edited);
    std::printf("(b) %d output lines (%lld bytes), median of %d\n", lineCount + 1,
                static_cast<long long>(bytes), runs);
    std::printf("    the script printing into a file      %8.1f ms\n", tFile);
    std::printf("    the script printing into /dev/null   %8.1f ms\n", tNull);
    std::printf("    whole compile, saved document        %8.1f ms   ratio %.2f (target < 2)\n",
                tSaved, tSaved / tFile);
    std::printf("    whole compile, unsaved edits         %8.1f ms   ratio %.2f\n", tEdited,
                tEdited / tFile);
    std::printf("    whole compile, one output line       %8.1f ms   (fixed costs)\n", tSmall);

    Registry::setStoreFile(QString());
    return 0;
}
