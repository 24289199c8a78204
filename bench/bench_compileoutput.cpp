// What listing a long compiler output costs: a fake compiler prints 50,000
// javac-like lines (the document's warnings, another file's errors, then the
// document's errors, each with its echoed source line and "^" line) and
// exits with 1. Timed: the script printing into a file on its own, against
// a whole compile through the editor window, which captures the output,
// lists it, selects the document's first error and marks its error lines.
// Then the same lines streamed slowly (about two seconds): the longest the
// event loop went without turning (a repaint waits at most that long), the
// longest full repaint of the editor window meanwhile, and how long Stop
// Compile takes to end the compile halfway through.
// Each figure is the median of several runs in this process. Run with
// QT_QPA_PLATFORM=offscreen; the settings store is a temporary file.

#include "editor/editorwindow.h"
#include "editor/textcontrol.h"
#include "mainwin/documentcommands.h"
#include "mainwin/fmain.h"
#include "model/settings.h"
#include "platform/registry.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

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

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::exit(2);
    }
}

void writeFile(const QString& path, const QByteArray& bytes, bool executable = false)
{
    QFile f(path);
    check(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size(),
          "file written");
    f.close();
    if (executable)
        ::chmod(QFile::encodeName(path).constData(), 0755);
}

// Runs the fake compiler to its end, its merged output sent to a file.
void runTool(const QString& program, const QStringList& args, const QString& outputFile)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardOutputFile(outputFile);
    p.start(program, args);
    check(p.waitForFinished(-1), "fake compiler ran");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 7;

    QTemporaryDir tmp;
    Registry::setStoreFile(tmp.filePath(QStringLiteral("store/Brewpad.conf")));
    QDir::setCurrent(tmp.path());
    QDir().mkpath(tmp.filePath(QStringLiteral("src")));
    const QString dir = tmp.filePath(QStringLiteral("src")) + QLatin1Char('/');

    // Three blocks of lines in groups of three (message, echo, "^"); awk
    // prints about as fast as a tool can.
    const int lineCount = 50000;
    const QString compiler = dir + QStringLiteral("fakejavac");
    writeFile(compiler,
              "#!/bin/sh\n"
              "exec awk -v p=\"$1\" -v n=" +
                  QByteArray::number(lineCount) +
                  " 'BEGIN { third = int(n / 9) * 3\n"
                  "  for (i = 0; i < n; i += 3) {\n"
                  "    line = i / 3 % 40 + 1\n"
                  "    if (i < third)\n"
                  "      printf \"%s:%d: warning: [removal] Integer(int) in Integer has been "
                  "deprecated and marked for removal\\n\", p, line\n"
                  "    else if (i < 2 * third)\n"
                  "      printf \"./Other.java:%d: error: cannot find symbol\\n\", line\n"
                  "    else\n"
                  "      printf \"%s:%d: error: incompatible types: String cannot be converted "
                  "to int\\n\", p, line\n"
                  "    if (i + 1 < n) print \"        int x = \\\"a\\\"; // no error here\"\n"
                  "    if (i + 2 < n) print \"                ^\" }\n"
                  "  exit 1 }'\n",
              true);
    const QString fakeJava = dir + QStringLiteral("fakejava");
    writeFile(fakeJava, "#!/bin/sh\nexit 0\n", true);

    TfrmMain main{QStringList()};
    main.show();
    main.Settings().JavaCompiler = compiler;
    main.Settings().JavaInterpreter = fakeJava;

    QByteArray source;
    for (int i = 1; i <= 60; ++i)
        source += "// line " + QByteArray::number(i) + "\n";
    const QString document = dir + QStringLiteral("Big.java");
    writeFile(document, source);
    main.Documents().OpenFiles({document});
    TcwEditBase* e = main.ActiveAnyEditor();
    check(e != nullptr, "editor opened");
    const QString failed = QStringLiteral("Couldn't compile '") + document + QStringLiteral("'.");
    const auto compile = [&] {
        // The compile runs on in the event loop: the time is until it is over.
        const double ms = elapsedMs([&] {
            e->Compile();
            while (e->IsCompiling())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        });
        check(e->statusBar()->currentMessage() == failed, "compile failed as scripted");
        check(e->lstErrors()->model()->rowCount() == lineCount, "every line listed");
        const QString first = e->lstErrors()->currentIndex().data().toString();
        check(first.startsWith(document + QLatin1Char(':')) &&
                  first.contains(QStringLiteral(": error:")),
              "the document's first error selected");
        check(e->Text()->errorMarkers().size() == 40 || !main.IsWin95(), "error lines marked");
        return ms;
    };
    const QString captured = tmp.filePath(QStringLiteral("captured.txt"));
    // One untimed round each.
    compile();
    runTool(compiler, {document}, captured);
    const qint64 bytes = QFileInfo(captured).size();

    std::vector<double> viaEditor, toFile;
    for (int i = 0; i < runs; ++i) {
        // Alternating the order keeps slow drifts of the machine out of the ratio.
        if (i % 2)
            viaEditor.push_back(compile());
        toFile.push_back(elapsedMs([&] { runTool(compiler, {document}, captured); }));
        if (i % 2 == 0)
            viaEditor.push_back(compile());
    }
    const double tFile = median(toFile), tEditor = median(viaEditor);
    std::printf("%d compiler lines (%lld bytes), median of %d\n", lineCount,
                static_cast<long long>(bytes), runs);
    std::printf("    the fake compiler printing into a file  %8.1f ms\n", tFile);
    std::printf("    compiled and listed in the editor       %8.1f ms   ratio %.2f (target < 2)\n",
                tEditor, tEditor / tFile);

    // The same lines in 100 bursts with a pause after each: the compile is
    // still running while the window is asked to repaint every 5 ms.
    writeFile(compiler,
              "#!/bin/sh\n"
              "exec awk -v n=" +
                  QByteArray::number(lineCount) +
                  " 'BEGIN { for (i = 0; i < n; ++i) {\n"
                  "    print \"./Other.java:1: error: cannot find symbol\"\n"
                  "    if (i % 500 == 499) { fflush(); system(\"sleep 0.02\") } } }'\n",
              true);
    double longestGap = 0, longestPaint = 0, stopMs = 0;
    {
        QElapsedTimer sinceTick;
        QTimer ticker;
        ticker.setInterval(5);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, double(sinceTick.nsecsElapsed()) / 1e6);
            longestPaint = std::max(longestPaint, elapsedMs([&] { main.repaint(); }));
            sinceTick.restart();
        });
        QElapsedTimer running;
        running.start();
        e->Compile();
        sinceTick.start();
        ticker.start();
        while (e->IsCompiling() && running.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        ticker.stop();
        check(e->IsCompiling(), "the slow compile still running after a second");
        stopMs = elapsedMs([&] {
            e->StopCompile();
            while (e->IsCompiling())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        });
        check(e->lstErrors()->model()->rowCount() > 0, "the lines printed so far listed");
    }
    std::printf("%d compiler lines streamed over about 2 s, stopped after 1 s\n", lineCount);
    std::printf("    longest the event loop did not turn     %8.1f ms   (target < 100)\n",
                longestGap);
    std::printf("    longest repaint of the main window      %8.1f ms\n", longestPaint);
    std::printf("    Stop Compile until the compile ended    %8.1f ms   (target < 100)\n", stopMs);

    Registry::setStoreFile(QString());
    return 0;
}
