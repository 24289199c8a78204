// The editor window's compile command: the question about a read-only file,
// the busy cursor and the result in the window's status line. The tools run
// through CompileDocument; the output list is the TCompileResultsPanel.
#include "editor/compileresults.h"
#include "editor/editorwindow.h"
#include "editor/mainservices.h"
#include "editor/textcontrol.h"
#include "model/compiledocument.h"
#include "model/document.h"
#include "model/settings.h"
#include "platform/busycursor.h"
#include "platform/errors.h"
#include "platform/fileservices.h"
#include "platform/guarded.h"
#include "platform/prompter.h"
#include "platform/tempfile.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QStatusBar>

namespace bp {

namespace {

QString SuccessText(const QString& path)
{
    return QLatin1Char('\'') + path + QStringLiteral("' compiled successfully.");
}

} // namespace

QListView* TcwEditBase::lstErrors() const
{
    return FCompileResults->list();
}

QWidget* TcwEditBase::pnlErrors() const
{
    return FCompileResults;
}

void TcwEditBase::cmdJavaClick()
{
    if (FText->lineCount() > 0 && !FMain.CurrentSettings().JavaCompiler.isEmpty())
        Compile();
}

void TcwEditBase::Compile()
{
    if (!FDocument || FDocument->DocType() != TDocType::Java)
        return;
    // The menus know the compiler from when the settings were applied; it
    // may have gone since.
    const QString& compiler = FMain.CurrentSettings().JavaCompiler;
    if (CompileRefusal(*FDocument).isEmpty() && !files::exists(compiler)) {
        showError(this, cantFind(compiler).message());
        return;
    }
    const QString path = GetPathName();
    if (files::isReadOnly(path) &&
        ask(this,
            path + QStringLiteral(" is read only.\n\rThe compile will not include any changes "
                                  "that have been made in the editor."),
            MsgType::Confirmation, MsgButtons::OKCancel) != MsgResult::OK)
        return;

    FCompileResults->clearAndShow();
    repaint();

    // The command is also run without a guard of its own (from the main
    // window's relay, and directly): its errors are shown here, once the busy
    // cursor is gone.
    guarded(this, [&] {
        BusyCursor busy;
        FStatusBar->showMessage(QStringLiteral("Compiling '") + path + QStringLiteral("'..."));
        // Paints the text and the emptied list; the user's input waits until
        // the compile is over, so nothing can change the window meanwhile.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

        const TSettings& settings = FMain.CurrentSettings();
        TCompileResult result;
        {
            // "Compiling" goes when the tools are done, also when they failed.
            const auto clearStatus = qScopeGuard([this] { FStatusBar->clearMessage(); });
            // The file holds the editor's text until the tools are done: an
            // activation meanwhile must not take that for another program's.
            const QScopedValueRollback<bool> holdDiskCheck(FDiskCheckHeld, true);
            result = CompileDocument(*FDocument, FText->utf8(), settings.JavaCompiler,
                                     settings.JavaInterpreter);
        }
        const TTempFileGuard output(result.OutputFile);

        // A document that was not compiled at all says why, in the list and
        // in the status line; it is no success.
        if (!result.Refusal.isEmpty()) {
            FCompileResults->showRefusal(result.Refusal);
            FStatusBar->showMessage(result.Refusal);
            return;
        }
        if (!result.OutputFile.isEmpty() && !files::exists(result.OutputFile))
            return;
        const QStringList lines = result.OutputFile.isEmpty()
                                      ? QStringList()
                                      : CompilerOutputLines(files::readAll(result.OutputFile));
        const TCompilerOutputAnalysis analysis = FCompileResults->showOutput(lines);
        FStatusBar->showMessage(analysis.Failed() ? QStringLiteral("Couldn't compile '") + path +
                                                        QStringLiteral("'.")
                                                  : SuccessText(path));
        FCompileResults->selectLine(analysis.FirstSelected());
    });
}

void TcwEditBase::lstErrorsDblClick()
{
    FCompileResults->activateSelected();
}

} // namespace bp
