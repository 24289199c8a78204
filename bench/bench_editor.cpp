// Editor benchmarks, run by hand: opening a large file against a bare
// QScintilla program, key presses in a large document, and Replace All and
// Find Next through the editor window against sed and a plain scan.
//
//   bench_editor            runs everything and prints the figures
//   bench_editor open-brewpad FILE | open-minimal FILE | open-brewpad | open-minimal
//                           one start (used by the driver, one process each)
#include "dialogs/dfind.h"
#include "platform/freedmemory.h"
#include "editor/editorwindow.h"
#include "editor/textcontrol.h"
#include "mainwin/documentcommands.h"
#include "mainwin/fmain.h"
#include "mainwin/searchcommands.h"
#include "platform/osversion.h"
#include "platform/registry.h"

#include <Qsci/qsciscintilla.h>
#include <Qsci/qscilexerjava.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>

namespace {

// A Java-looking file of about `bytes` bytes with indented lines.
QByteArray javaText(qsizetype bytes)
{
    const QByteArray block = "    public static int add(int left, int right) {\n"
                             "        // adds two numbers and returns the sum\n"
                             "        return left + right;\n"
                             "    }\n\n";
    QByteArray out = "public class Big {\n";
    out.reserve(bytes + block.size());
    while (out.size() < bytes)
        out += block;
    out += "}\n";
    return out;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// --- one start, in a process of its own -----------------------------------

int openBrewpad(int& argc, char** argv, const QStringList& files)
{
    QApplication app(argc, argv);
    QTemporaryDir store;
    bp::Registry::setStoreFile(store.filePath(QStringLiteral("Brewpad.conf")));
    bp::TfrmMain w(files);
    w.show();
    // Editable: the window is shown with the text loaded, and the event
    // loop has come round once.
    QTimer::singleShot(0, &app, &QApplication::quit);
    return app.exec();
}

int openMinimal(int& argc, char** argv, const QStringList& files)
{
    QApplication app(argc, argv);
    QMainWindow w;
    auto* sci = new QsciScintilla(&w);
    sci->setLexer(new QsciLexerJava(sci));
    w.setCentralWidget(sci);
    if (!files.isEmpty()) {
        QFile f(files.first());
        if (!f.open(QIODevice::ReadOnly))
            return 2;
        const QByteArray bytes = f.readAll();
        sci->SendScintilla(QsciScintilla::SCI_SETUNDOCOLLECTION, 0UL);
        sci->SendScintilla(QsciScintilla::SCI_SETTEXT, 0UL, bytes.constData());
        sci->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
        sci->SendScintilla(QsciScintilla::SCI_SETUNDOCOLLECTION, 1UL);
    }
    w.show();
    QTimer::singleShot(0, &app, &QApplication::quit);
    return app.exec();
}

// --- the driver ------------------------------------------------------------

struct Run {
    double ms = 0;
    long maxRssKb = 0;
};

Run startOnce(const QString& self, const QStringList& args)
{
    QElapsedTimer t;
    t.start();
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<QByteArray> keep;
        std::vector<char*> argv;
        keep.push_back(QFile::encodeName(self));
        for (const QString& a : args)
            keep.push_back(a.toLocal8Bit());
        for (QByteArray& k : keep)
            argv.push_back(k.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    return {double(t.nsecsElapsed()) / 1e6, usage.ru_maxrss};
}

Run bestOf(const QString& self, const QStringList& args, int n)
{
    std::vector<double> times;
    long rss = 0;
    for (int i = 0; i < n; ++i) {
        const Run r = startOnce(self, args);
        times.push_back(r.ms);
        rss = std::max(rss, r.maxRssKb);
    }
    return {median(times), rss};
}

void benchOpen(const QString& self, const QString& dir)
{
    const QString file = dir + QStringLiteral("/Big.java");
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write(javaText(20 * 1000 * 1000));
    f.close();
    const double mb = double(QFileInfo(file).size()) / 1e6;

    const Run emptyB = bestOf(self, {QStringLiteral("open-brewpad")}, 7);
    const Run emptyM = bestOf(self, {QStringLiteral("open-minimal")}, 7);
    const Run fileB = bestOf(self, {QStringLiteral("open-brewpad"), file}, 7);
    const Run fileM = bestOf(self, {QStringLiteral("open-minimal"), file}, 7);
    std::printf("start_brewpad_ms=%.0f start_minimal_ms=%.0f ratio=%.2f\n", emptyB.ms, emptyM.ms,
                emptyB.ms / emptyM.ms);
    std::printf("open_file_mb=%.1f\n", mb);
    std::printf("open_brewpad_ms=%.0f open_minimal_ms=%.0f ratio=%.2f (target <= 1.5)\n",
                fileB.ms, fileM.ms, fileB.ms / fileM.ms);
    const double extraMb = double(fileB.maxRssKb - emptyB.maxRssKb) / 1024.0;
    std::printf("brewpad_peak_mb empty=%.0f with_file=%.0f extra=%.0f extra_per_file_size=%.2f "
                "(target <= 4)\n",
                emptyB.maxRssKb / 1024.0, fileB.maxRssKb / 1024.0, extraMb, extraMb / mb);
    std::printf("minimal_peak_mb empty=%.0f with_file=%.0f\n", emptyM.maxRssKb / 1024.0,
                fileM.maxRssKb / 1024.0);
    std::fflush(stdout);
}

// Key presses in a 20 MB document, with `editors` windows open in all (the
// others small Java documents with text): a key must cost the same however
// many windows are open.
void benchKeys(const QString& dir, int editors)
{
    const QString file = dir + QStringLiteral("/Keys.java");
    if (!QFile::exists(file)) {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(javaText(20 * 1000 * 1000));
    }

    bp::TfrmMain w({});
    w.show();
    for (int i = 1; i < editors; ++i)
        w.Documents().NewDocument(bp::TDocType::Java)->Text()->setText(QStringLiteral("class A {}"));
    w.Documents().OpenFiles({file});
    bp::TcwEditBase* editor = w.ActiveAnyEditor();
    bp::TextControl* t = editor->Text();
    QWidget* target = t->widget();
    // Somewhere in the middle, at the end of an indented line.
    const int line = t->lineCount() / 2;
    const int pos = t->lineStart(line) + t->lineLength(line);
    struct Key {
        const char* name;
        Qt::Key key;
    };
    for (const Key k :
         {Key{"tab", Qt::Key_Tab}, Key{"enter", Qt::Key_Return}, Key{"letter", Qt::Key_X}}) {
        std::vector<double> us;
        const int linesBefore = t->lineCount();
        const int lengthBefore = t->textLength();
        for (int i = 0; i < 201; ++i) {
            t->setSelection(pos, 0);
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(target, k.key);
            // The window's look at its state after the key, which it leaves
            // to the event loop.
            QCoreApplication::sendPostedEvents(editor, QEvent::MetaCall);
            us.push_back(double(timer.nsecsElapsed()) / 1000.0);
        }
        std::printf("key_%s_%s_editors=%d_median_us=%.0f (target < 1000) lines_added=%d "
                    "chars_added=%d\n",
                    w.IsWin95() ? "rich" : "plain", k.name, editors, median(us),
                    t->lineCount() - linesBefore, t->textLength() - lengthBefore);
    }
    t->setModified(false);
    std::fflush(stdout);
}

void benchReplaceAndFind(const QString& dir)
{
    // 10 MB with 200,000 matches of FIND, one every 50 bytes.
    QByteArray text;
    const int matches = 200000;
    text.reserve(matches * 50);
    for (int i = 0; i < matches; ++i)
        text += i % 20 == 19 ? "FIND lorem ipsum dolor sit amet consectetur ad\n"
                             : "FIND lorem ipsum dolor sit amet consectetur adi ";
    const QString file = dir + QStringLiteral("/replace.txt");
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    f.close();

    // Five rounds each, alternating; the editor takes each Replace All back
    // with one undo before the next.
    QElapsedTimer t;
    bp::TfrmMain w({});
    w.show();
    w.Documents().OpenFiles({file});
    bp::TcwEditBase* e = w.ActiveAnyEditor();
    bp::TdlgFind* d = w.Search().dlgReplace();
    d->SetFindText(QStringLiteral("FIND"));
    d->SetReplaceText(QStringLiteral("REPL"));
    std::vector<double> sedMs, replaceMs;
    bool same = true;
    for (int round = 0; round < 5; ++round) {
        t.restart();
        QProcess sed;
        sed.setStandardOutputFile(dir + QStringLiteral("/sed.out"));
        sed.start(QStringLiteral("sed"), {QStringLiteral("s/FIND/REPL/g"), file});
        sed.waitForFinished(-1);
        sedMs.push_back(double(t.nsecsElapsed()) / 1e6);

        e->Text()->setSelection(0, 0);
        t.restart();
        d->cmdReplaceAll->click();
        replaceMs.push_back(double(t.nsecsElapsed()) / 1e6);
        QFile out(dir + QStringLiteral("/sed.out"));
        out.open(QIODevice::ReadOnly);
        same = same && e->Text()->utf8().replace("\r\n", "\n") == out.readAll();
        e->Text()->undo();
        same = same && e->Text()->utf8().replace("\r\n", "\n") == text;
    }
    std::printf("replace_all_matches=%d editor_ms=%.0f (first %.0f, worst %.0f) sed_ms=%.0f "
                "ratio=%.2f same_as_sed=%s (target <= 2)\n",
                matches, median(replaceMs), replaceMs.front(),
                *std::max_element(replaceMs.begin(), replaceMs.end()), median(sedMs),
                median(replaceMs) / median(sedMs), same ? "yes" : "no");
    std::printf("status=%s\n", qPrintable(w.StatusText()));

    // Find Next through 20 MB without a match.
    const QByteArray big = javaText(20 * 1000 * 1000);
    e->Text()->setText(QString::fromUtf8(big));
    e->Text()->setSelection(0, 0);
    w.Search().dlgFind()->SetFindText(QStringLiteral("nowhere to be found"));
    std::vector<double> findMs;
    for (int i = 0; i < 5; ++i) {
        e->Text()->setSelection(0, 0);
        t.restart();
        e->FindNext();
        findMs.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    const QString chars = e->Text()->text();
    const std::u16string_view view(reinterpret_cast<const char16_t*>(chars.utf16()),
                                   size_t(chars.size()));
    std::vector<double> scanMs;
    for (int i = 0; i < 5; ++i) {
        t.restart();
        const auto hit = view.find(u"nowhere to be found");
        scanMs.push_back(double(t.nsecsElapsed()) / 1e6);
        if (hit != std::u16string_view::npos)
            std::printf("unexpected hit\n");
    }
    // The rich editor searches its own UTF-8 text: the first search costs
    // what the later ones cost.
    std::printf("find_next_20mb_ms first=%.0f median=%.0f plain_scan_ms=%.0f ratio=%.2f "
                "first_ratio=%.2f (target <= 4)\n",
                findMs.front(), median(findMs), median(scanMs), median(findMs) / median(scanMs),
                findMs.front() / median(scanMs));
    e->Text()->setModified(false);
    std::fflush(stdout);
}

// --- a 20 MB line against 20 MB of lines -----------------------------------
//
//   bench_editor longline   opens both files in either editor and times keys
//   bench_editor open-painted rich|plain FILE
//                           one start (used by the driver, one process each)

// A Java class holding one generated string literal of about `bytes` bytes,
// all on one line, as a code generator writes it.
QByteArray oneLineJava(qsizetype bytes)
{
    static const char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    QByteArray out = "public class Data { static final String BLOB = \"";
    out.reserve(bytes + 8);
    quint32 seed = 12345;
    while (out.size() < bytes) {
        seed = seed * 1103515245u + 12345u;
        out += Digits[(seed >> 16) % 64];
    }
    out += "\"; }\n";
    return out;
}

// The rich editor, or the plain one that an older system gets.
void chooseEditor(bool plain)
{
    bp::setOsMajorVersionForTesting(plain ? 3 : -1);
}

// One start in a process of its own, until the text has been painted.
int openPainted(int& argc, char** argv, bool plain, const QStringList& files)
{
    chooseEditor(plain);
    QApplication app(argc, argv);
    QTemporaryDir store;
    bp::Registry::setStoreFile(store.filePath(QStringLiteral("Brewpad.conf")));
    bp::TfrmMain w(files);
    // The window opens the files as it is first shown, and paints later.
    w.show();
    bp::TcwEditBase* editor = w.ActiveAnyEditor();
    if (!editor)
        return 2;
    struct PaintWatch : QObject {
        bool eventFilter(QObject*, QEvent* e) override
        {
            // Quits once this paint is done.
            if (e->type() == QEvent::Paint)
                QTimer::singleShot(0, qApp, &QApplication::quit);
            return false;
        }
    } watch;
    auto* text = static_cast<QAbstractScrollArea*>(editor->Text()->widget());
    text->viewport()->installEventFilter(&watch);
    return app.exec();
}

struct Spread {
    double median = 0;
    double low = 0;
    double high = 0;
};

Spread startTimes(const QString& self, const QStringList& args, int n)
{
    std::vector<double> times;
    for (int i = 0; i < n; ++i)
        times.push_back(startOnce(self, args).ms);
    return {median(times), *std::min_element(times.begin(), times.end()),
            *std::max_element(times.begin(), times.end())};
}

void benchLongLineOpen(const QString& self, const QString& dir)
{
    const QString oneLine = dir + QStringLiteral("/Data.java");
    const QString lines = dir + QStringLiteral("/Lines.java");
    for (const auto& [file, bytes] :
         {std::pair{oneLine, oneLineJava(20 * 1000 * 1000)}, {lines, javaText(20 * 1000 * 1000)}}) {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    for (const char* variant : {"rich", "plain"}) {
        const auto time = [&](const QString& file) {
            return startTimes(self, {QStringLiteral("open-painted"), QLatin1String(variant), file},
                              5);
        };
        const Spread one = time(oneLine);
        const Spread many = time(lines);
        std::printf("longline_open_%s one_line_ms=%.0f (%.0f-%.0f) lines_ms=%.0f (%.0f-%.0f) "
                    "ratio=%.2f (target < 3)\n",
                    variant, one.median, one.low, one.high, many.median, many.low, many.high,
                    one.median / many.median);
        std::fflush(stdout);
    }
}

// What a key costs in the middle of the 20 MB line, and in the middle of
// 20 MB of lines: handled, and handled and painted.
void benchLongLineKeys(const QString& dir)
{
    const QString oneLine = dir + QStringLiteral("/KeysData.java");
    const QString lines = dir + QStringLiteral("/KeysLines.java");
    for (const auto& [file, bytes] :
         {std::pair{oneLine, oneLineJava(20 * 1000 * 1000)}, {lines, javaText(20 * 1000 * 1000)}}) {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    struct Key {
        const char* name;
        Qt::Key key;
    };
    for (const bool plain : {false, true}) {
        chooseEditor(plain);
        for (const QString& file : {oneLine, lines}) {
            bp::TfrmMain w({});
            w.show();
            if (!QTest::qWaitForWindowExposed(&w))
                std::printf("window not shown\n");
            w.Documents().OpenFiles({file});
            bp::TextControl* t = w.ActiveAnyEditor()->Text();
            QWidget* target = t->widget();
            const int line = t->lineCount() / 2;
            const int middle = t->lineStart(line) + t->lineLength(line) / 2;
            for (const Key k : {Key{"letter", Qt::Key_X}, Key{"backspace", Qt::Key_Backspace},
                                Key{"right", Qt::Key_Right}, Key{"end", Qt::Key_End},
                                Key{"enter", Qt::Key_Return}}) {
                std::vector<double> us;
                std::vector<double> paintedUs;
                for (int i = 0; i < 41; ++i) {
                    t->setSelection(middle, 0);
                    t->scrollCaretIntoView();
                    QApplication::processEvents();
                    QElapsedTimer timer;
                    timer.start();
                    QTest::keyClick(target, k.key);
                    us.push_back(double(timer.nsecsElapsed()) / 1000.0);
                    QApplication::processEvents();
                    paintedUs.push_back(double(timer.nsecsElapsed()) / 1000.0);
                }
                std::printf("longline_key_%s_%s_%s_median_us=%.0f painted_us=%.0f\n",
                            plain ? "plain" : "rich", file == oneLine ? "one_line" : "lines",
                            k.name, median(us), median(paintedUs));
            }
            t->setModified(false);
            std::fflush(stdout);
        }
    }
    chooseEditor(false);
}

bool isLongLineMode(const char* mode)
{
    return qstrcmp(mode, "longline") == 0 || qstrcmp(mode, "open-painted") == 0;
}

int longLineMain(int argc, char** argv)
{
    int one = 1;
    if (qstrcmp(argv[1], "open-painted") == 0) {
        if (argc != 4)
            return 2;
        return openPainted(one, argv, qstrcmp(argv[2], "plain") == 0,
                           {QString::fromLocal8Bit(argv[3])});
    }
    QTemporaryDir dir;
    benchLongLineOpen(QString::fromLocal8Bit(argv[0]), dir.path());
    QApplication app(one, argv);
    QTemporaryDir store;
    bp::Registry::setStoreFile(store.filePath(QStringLiteral("Brewpad.conf")));
    benchLongLineKeys(dir.path());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // As the program does; the starts timed come through here too, so the
    // bare program runs with the same allocator settings as the editor.
    bp::KeepFreedMemory();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 2 && isLongLineMode(argv[1]))
        return longLineMain(argc, argv);
    const QString only = argc == 2 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (argc >= 2 && only != QLatin1String("open") && only != QLatin1String("keys") &&
        only != QLatin1String("replace")) {
        const QString mode = QString::fromLocal8Bit(argv[1]);
        QStringList files;
        for (int i = 2; i < argc; ++i)
            files << QString::fromLocal8Bit(argv[i]);
        int one = 1;
        if (mode == QLatin1String("open-brewpad"))
            return openBrewpad(one, argv, files);
        if (mode == QLatin1String("open-minimal"))
            return openMinimal(one, argv, files);
        std::fprintf(stderr, "unknown mode\n");
        return 2;
    }
    // With one of "open", "keys" or "replace" only that part runs.
    QTemporaryDir dir;
    if (only.isEmpty() || only == QLatin1String("open"))
        benchOpen(QString::fromLocal8Bit(argv[0]), dir.path());
    {
        int one = 1;
        QApplication app(one, argv);
        QTemporaryDir store;
        bp::Registry::setStoreFile(store.filePath(QStringLiteral("Brewpad.conf")));
        if (only.isEmpty() || only == QLatin1String("keys"))
            for (int editors : {1, 50})
                benchKeys(dir.path(), editors);
        if (only.isEmpty() || only == QLatin1String("replace"))
            benchReplaceAndFind(dir.path());
    }
    return 0;
}
