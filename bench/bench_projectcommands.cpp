// Project command benchmark, run by hand: Add File to Project of one more
// document to a project of 10,000 documents, through the menu command as the
// user runs it (the open dialog answered at once, the document opening in its
// editor window, the menus brought up to date). Also reports the parts: the
// project's own AddFile, the menus' refresh, and the editor window that opens.
//
//   bench_projectcommands [DOCUMENTS [plain]]   default 10000, the rich variant
#include "editor/editorwindow.h"
#include "mainwin/childwindows.h"
#include "mainwin/documentcommands.h"
#include "mainwin/fmain.h"
#include "model/project.h"
#include "platform/osversion.h"
#include "platform/prompter.h"
#include "platform/registry.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Answers the open dialog with the next file; every other question is an
// error in this benchmark.
class TBenchPrompter : public bp::Prompter {
public:
    QString Next;
    bp::MsgResult messageBox(QWidget*, const QString& text, bp::MsgType, bp::MsgButtons) override
    {
        std::fprintf(stderr, "unexpected question: %s\n", qPrintable(text));
        std::exit(1);
    }
    bp::FileDialogResult openFileDialog(QWidget*, const bp::FileDialogOptions& o) override
    {
        bp::FileDialogResult r;
        r.accepted = true;
        r.files << Next;
        r.filterIndex = o.filterIndex;
        return r;
    }
    bp::FileDialogResult saveFileDialog(QWidget*, const bp::FileDialogOptions&) override
    {
        return {};
    }
    std::optional<QColor> colorDialog(QWidget*, const QColor&) override { return std::nullopt; }
    int execDialog(QDialog&) override { return 0; }
    bool printDialog(QWidget*, QPrinter&) override { return false; }
};

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::exit(2);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    constexpr int kAdds = 21;

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    bp::Registry::setStoreFile(dir.filePath(QStringLiteral("Brewpad.conf")));
    const bool rich = !(argc > 2 && QByteArray(argv[2]) == "plain");
    bp::setOsMajorVersionForTesting(rich ? 6 : 3);
    TBenchPrompter prompter;
    bp::setPrompter(&prompter);

    // The project file and its documents, generated.
    QDir(dir.path()).mkdir(QStringLiteral("src"));
    QByteArray jpr = "Tarvik's Brewpad 2.09\r\n2\r\nProject\r\n  Big\r\n\r\nCompileOptions\r\n  "
                     "\r\n\r\nClassPath\r\n  \r\n\r\nOutputPath\r\n  \r\n\r\nFiles\r\n";
    for (int i = 0; i < count; ++i) {
        const QString path = dir.filePath(QStringLiteral("src/Doc%1.java").arg(i));
        writeFile(path, "class Doc" + QByteArray::number(i) + " {}\n");
        jpr += path.toUtf8() + "\r\n";
    }
    std::vector<QString> extra;
    for (int i = 0; i < kAdds * 2; ++i) {
        extra.push_back(dir.filePath(QStringLiteral("src/Extra%1.java").arg(i)));
        writeFile(extra.back(), "class Extra {}\n");
    }
    const QString jprPath = dir.filePath(QStringLiteral("Big.jpr"));
    writeFile(jprPath, jpr);

    QElapsedTimer loading;
    loading.start();
    bp::TfrmMain main({jprPath});
    main.show();
    QApplication::processEvents();
    const double loadMs = loading.nsecsElapsed() / 1e6;
    bp::TProject* project = main.CurrentProject();
    if (!project || project->Count() != count) {
        std::fprintf(stderr, "project not loaded\n");
        return 1;
    }

    // The whole command, as the menu runs it.
    std::vector<double> command;
    QAction* addFile = main.item(QStringLiteral("mnuProjectAddDoc"));
    for (int i = 0; i < kAdds; ++i) {
        prompter.Next = extra[std::size_t(i)];
        QElapsedTimer t;
        t.start();
        addFile->trigger();
        command.push_back(t.nsecsElapsed() / 1e6);
    }
    if (project->Count() != count + kAdds) {
        std::fprintf(stderr, "documents not added\n");
        return 1;
    }

    // Its parts: the project's AddFile, the menus, a new editor window.
    std::vector<double> addOnly, menus, editor, make, load, show;
    for (int i = kAdds; i < 2 * kAdds; ++i) {
        QElapsedTimer t;
        t.start();
        project->AddFile(extra[std::size_t(i)]);
        addOnly.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        main.UpdateMenuItems();
        menus.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        std::unique_ptr<bp::TcwEditBase> e = main.Children().CreateEditor();
        make.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        e->CreateForDocument(project->FindDocument(QFileInfo(extra[std::size_t(i)]).fileName()));
        load.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        main.Children().Show(e.release());
        show.push_back(t.nsecsElapsed() / 1e6);
        editor.push_back(make.back() + load.back() + show.back());
    }

    std::printf("Add File to Project, one document to a project of %d (median of %d, %s "
                "variant):\n",
                count, kAdds, rich ? "rich" : "plain");
    std::printf("  whole command        %7.3f ms (max %.3f)\n", median(command),
                *std::max_element(command.begin(), command.end()));
    std::printf("  project AddFile      %7.3f ms\n", median(addOnly));
    std::printf("  menus and caption    %7.3f ms\n", median(menus));
    std::printf("  editor window opens  %7.3f ms (made %.3f, loaded %.3f, shown %.3f)\n",
                median(editor), median(make), median(load), median(show));
    std::printf("(start with the project named on the command line: %.0f ms)\n", loadMs);
    bp::setPrompter(nullptr);
    return median(command) < 5.0 ? 0 : 3;
}
