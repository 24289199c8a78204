// Measures a project of 10,000 documents: loading its file
// (TProject::CreateFromFile), and showing it in the project manager window
// of each variant and display style (SetProject up to the list's first paint).
// The files are small, of all four types, in one temporary folder; ten
// entries name files that are missing. Each figure is the best of a few runs.

#include "dialogs/documentlistmodel.h"
#include "dialogs/doptions.h"
#include "dialogs/doptions95.h"
#include "dialogs/kxlstbox.h"
#include "dialogs/kxlstview.h"
#include "model/project.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

using namespace bp;

namespace {

constexpr int kDocuments = 10000;
constexpr int kMissing = 10;

class TNoHost : public IProjectManagerHost {
public:
    void OpenProjectDocument(const QString&) override {}
    bool CloseDocumentWindow(const QString&) override { return true; }
    void CompileProjectDocument(const QString&) override {}
    void BrowseProjectDocument(const QString&) override {}
    void NewProject() override {}
    void AddFilesToProject() override {}
    void OpenProjectFile(const QString&) override {}
    void SetProjectManagerShown(bool) override {}
    void UpdateMenuItems() override {}
};

// Counts the paints of a widget.
class TPaintCounter : public QObject {
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++Paints;
        return QObject::eventFilter(o, e);
    }
};

QString makeProject(const QString& dir)
{
    const char* exts[] = {".java", ".html", ".txt", ".dat"};
    QByteArray jpr = "Tarvik's Brewpad 2.09\r\n2\r\nProject\r\n  Big\r\n\r\nCompileOptions\r\n"
                     "  -g\r\n\r\nClassPath\r\n  \r\n\r\nOutputPath\r\n  \r\n\r\nFiles\r\n";
    for (int i = 0; i < kDocuments; ++i) {
        const QString path =
            dir + QStringLiteral("/Doc%1%2").arg(i).arg(QLatin1String(exts[i % 4]));
        if (i >= kMissing) {
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly) || f.write("class A {}\n") != 11)
                return QString();
        }
        jpr += path.toUtf8() + "\r\n";
    }
    const QString file = dir + QStringLiteral("/big.jpr");
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(jpr) != jpr.size())
        return QString();
    return file;
}

double bestMs(int runs, const std::function<void()>& f)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

// SetProject on a shown window, until the list has painted once.
double showMs(TProject& project, bool rich, int style)
{
    TNoHost host;
    auto window = CreateProjectManager(rich, host);
    QWidget* viewport = nullptr;
    if (rich) {
        auto* w = static_cast<TdlgOptions95*>(window.get());
        w->lvDocuments->SetViewStyle(static_cast<TKxListView::TViewStyle>(style));
        viewport = w->lvDocuments->view()->viewport();
    } else {
        viewport = static_cast<TdlgOptions*>(window.get())->lstDocuments->viewport();
    }
    window->show();
    QApplication::processEvents();
    TPaintCounter counter;
    viewport->installEventFilter(&counter);

    QElapsedTimer t;
    t.start();
    window->SetProject(&project);
    if (qEnvironmentVariableIsSet("BENCH_SPLIT"))
        std::printf("  SetProject alone %.1f ms\n", t.nsecsElapsed() / 1e6);
    while (counter.Paints == 0)
        QApplication::processEvents();
    const double ms = t.nsecsElapsed() / 1e6;
    window->SetProject(nullptr);
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = makeProject(dir.path());
    if (file.isEmpty()) {
        std::fprintf(stderr, "could not write the project\n");
        return 1;
    }

    std::unique_ptr<TProject> project;
    const double loadMs = bestMs(3, [&] { project = TProject::CreateFromFile(file); });
    std::printf("%d documents (%d missing)\n", project->Count(), kMissing);
    std::printf("TProject::CreateFromFile        %8.1f ms\n", loadMs);

    const char* styles[] = {"large icons", "small icons", "details"};
    for (int style = 0; style < 3; ++style) {
        const double ms = bestMs(3, [&] { showMs(*project, true, style); });
        std::printf("list view, %-12s SetProject + first paint %8.1f ms\n", styles[style], ms);
    }
    std::printf("list box                SetProject + first paint %8.1f ms\n",
                bestMs(3, [&] { showMs(*project, false, 0); }));

    // A refresh (each activation makes one) with every document selected.
    TNoHost host;
    auto window = CreateProjectManager(true, host);
    window->show();
    window->SetProject(project.get());
    auto* rich = static_cast<TdlgOptions95*>(window.get());
    rich->lvDocuments->view()->selectAll();
    const double refreshMs = bestMs(3, [&] { window->RefreshDocuments(); });
    std::printf("RefreshDocuments, all %d selected          %8.1f ms (%lld kept)\n",
                project->Count(), refreshMs, qlonglong(rich->SelectedRows().size()));
    window->SetProject(nullptr);
    return 0;
}
