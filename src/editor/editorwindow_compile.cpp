// The editor window's compile command: the question about a read-only file,
// the running compile (the text read-only meanwhile, Escape or Run > Stop
// Compile ends it) and the result in the window's status line. The tools run
// through TDocumentCompile; the output list is the TCompileResultsPanel.
#include "editor/compileresults.h"
#include "editor/editorwindow.h"
#include "editor/mainservices.h"
#include "editor/recoveryoffer.h"
#include "editor/textcontrol.h"
#include "model/compiledocument.h"
#include "model/document.h"
#include "model/settings.h"
#include "platform/errors.h"
#include "platform/fileservices.h"
#include "platform/guarded.h"
#include "platform/prompter.h"
#include "platform/tempfile.h"

#include <QKeyEvent>
#include <QStatusBar>

namespace bp {

namespace {

QString SuccessText(const QString& path)
{
    return QLatin1Char('\'') + path + QStringLiteral("' compiled successfully.");
}

QStringList OutputLines(const QString& outputFile)
{
    if (outputFile.isEmpty() || !files::exists(outputFile))
        return {};
    return CompilerOutputLines(files::readAll(outputFile));
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
    if (!FDocument || FDocument->DocType() != TDocType::Java || IsCompiling())
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

    // A document that is not compiled at all says why, in the list and in
    // the status line; it is no success.
    if (std::optional<TCompileResult> refused = RefuseCompile(*FDocument)) {
        const TTempFileGuard output(refused->OutputFile);
        FCompileResults->showRefusal(refused->Refusal);
        FStatusBar->showMessage(refused->Refusal);
        return;
    }

    // The command is also run without a guard of its own (from the main
    // window's relay, and directly): its errors are shown here.
    guarded(this, [&] {
        // A copy an earlier, killed compile left in this folder comes first:
        // this compile would keep it, but the user should hear of it.
        if (FMain.FirstRecoveryCheck(FDocument->Path()))
            OfferRecoveryCopies(this, FDocument->Path());
        const TSettings& settings = FMain.CurrentSettings();
        auto compile = std::make_unique<TDocumentCompile>();
        connect(compile.get(), &TDocumentCompile::finished, this, &TcwEditBase::CompileEnded);
        compile->start(*FDocument, FText->utf8(), settings.JavaCompiler, settings.JavaInterpreter);
        FCompile = std::move(compile);
        FCompilePath = path;
        // Nothing typed or dropped may change the text while the compiler
        // reads what it was.
        FReadOnlyBeforeCompile = FText->isReadOnly();
        FText->setReadOnly(true);
        FStatusBar->showMessage(QStringLiteral("Compiling '") + path + QStringLiteral("'..."));
        AnnounceState();
    });
}

void TcwEditBase::StopCompile()
{
    if (FCompile)
        FCompile->stop(); // CompileEnded has run when this returns
}

void TcwEditBase::DropCompile()
{
    if (!FCompile)
        return;
    FCompile->disconnect(this);
    FCompile.reset(); // stops the tools, puts the file back
    FText->setReadOnly(FReadOnlyBeforeCompile);
}

void TcwEditBase::CompileEnded()
{
    // Called from the compile's own signal: it goes once the signal is over.
    TDocumentCompile* compile = FCompile.release();
    compile->deleteLater();
    const TCompileResult& result = compile->result();
    const TTempFileGuard output(result.OutputFile);
    const QString path = FCompilePath;

    FText->setReadOnly(FReadOnlyBeforeCompile);
    FStatusBar->clearMessage();
    AnnounceState();

    if (!result.Error.isEmpty()) {
        showError(this, result.Error);
        return;
    }
    guarded(this, [&] {
        const QStringList lines = OutputLines(result.OutputFile);
        if (result.Stopped) {
            FCompileResults->showOutput(lines, result.ExitedCleanly);
            FStatusBar->showMessage(QStringLiteral("Compile of '") + path +
                                    QStringLiteral("' stopped."));
            return;
        }
        if (!result.OutputFile.isEmpty() && !files::exists(result.OutputFile))
            return;
        const TCompilerOutputAnalysis analysis =
            FCompileResults->showOutput(lines, result.ExitedCleanly);
        FStatusBar->showMessage(analysis.Failed() ? QStringLiteral("Couldn't compile '") + path +
                                                        QStringLiteral("'.")
                                                  : SuccessText(path));
        FCompileResults->selectLine(analysis.FirstSelected());
    });
}

bool TcwEditBase::KeyMayAct(QKeyEvent* event)
{
    const int key = event->key();
    if (IsCompiling()) {
        FKeysDown.insert(key, THeldKey{});
        // The one key that acts: Escape ends the compile.
        if (key == Qt::Key_Escape && !event->isAutoRepeat())
            StopCompile();
        return false;
    }
    if (const auto held = FKeysDown.find(key); held != FKeysDown.end()) {
        // A key held since the compile does nothing until it is released,
        // its repeats included. Under X11 a repeat is a release and a press
        // at one and the same time, which the toolkit does not always tell
        // from a new press: only a press at another time than the release
        // before it is a new one.
        if (held->ReleasedAt && *held->ReleasedAt != event->timestamp())
            held->Acts = true;
        held->ReleasedAt.reset();
        return held->Acts;
    }
    // A repeat whose first press went elsewhere (a menu, a dialog) does
    // nothing either.
    FKeysDown.insert(key, THeldKey{!event->isAutoRepeat(), std::nullopt});
    return !event->isAutoRepeat();
}

void TcwEditBase::KeyReleased(QKeyEvent* event)
{
    if (event->isAutoRepeat())
        return;
    const auto held = FKeysDown.find(event->key());
    if (held == FKeysDown.end())
        return;
    if (held->Acts)
        FKeysDown.erase(held);
    else
        held->ReleasedAt = event->timestamp(); // perhaps a repeat's release
}

void TcwEditBase::lstErrorsDblClick()
{
    FCompileResults->activateSelected();
}

} // namespace bp
