// The editor window's launches: the Html document in the web browser, the
// Java document's class in the interpreter.
#include "editor/editorwindow.h"

#include "editor/mainservices.h"
#include "editor/textcontrol.h"
#include "model/compileoptions.h"
#include "model/document.h"
#include "model/settings.h"
#include "platform/errors.h"
#include "platform/fileservices.h"
#include "platform/launch.h"
#include "platform/tempfile.h"
#include "tools/browser.h"
#include "tools/javacoptions.h"
#include "tools/javarun.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

namespace bp {

namespace {
const QString kBrowserFailure = QStringLiteral("Couldn't start web browser.");
const QString kInterpreterFailure = QStringLiteral("Couldn't start java interpreter.");
} // namespace

void TcwEditBase::ReportStartFailure(const QString& text)
{
    FMain.SetStatusText(text);
    QApplication::beep();
}

// ---------------------------------------------------------------------------
// Web browser

void TcwEditBase::LoadInBrowser()
{
    if (!FDocument || FDocument->DocType() != TDocType::Html || FText->lineCount() < 1)
        return;
    const TSettings& settings = FMain.CurrentSettings();
    if (settings.WebBrowser.isEmpty() || !QFileInfo(settings.WebBrowser).isFile()) {
        ReportStartFailure(kBrowserFailure);
        return;
    }
    // The browser reads a file: text not yet saved goes to it in a copy.
    const QString fileReference = IsSaved() ? GetPathName() : WriteBrowserCopy();
    const TBrowserRequest request =
        BrowserRequestFor(settings.WebBrowser, settings.UseDDE, IsPlainVariant(), fileReference,
                          FDocument->Path(), FDocument->FileName());
    if (request.Dde)
        BrowserDdeRequest(fileReference);
    else
        StartBrowser(request.Argument, request.WorkingDir);
}

QString TcwEditBase::WriteBrowserCopy()
{
    const QByteArray bytes = FDocument->Utf8BytesToSave(FText->utf8());
    // The copy this window made earlier is written again; otherwise a new
    // file is made under a name no file has yet, beside the document so that
    // the page's relative links still find their files. The suffix tells the
    // browser it is a page.
    if (!FBrowserTempFile.isEmpty() && QFileInfo(FBrowserTempFile).isFile()) {
        files::writeAtomically(FBrowserTempFile, bytes);
        return FBrowserTempFile;
    }
    FBrowserTempFile.clear();
    const QString dir = FDocument->Path();
    const std::unique_ptr<QFile> file =
        files::createTempFile(dir, QStringLiteral("bpd"), QStringLiteral(".html"));
    if (!file)
        throw EBrewpadError(QStringLiteral("Cannot create a copy of '") + FDocument->Title() +
                            QStringLiteral("' for the web browser in \"") + dir +
                            QStringLiteral("\"."));
    TTempFileGuard guard(file->fileName());
    if (file->write(bytes) != bytes.size() || !file->flush())
        throw EBrewpadError(QStringLiteral("Cannot write file \"") + file->fileName() +
                            QStringLiteral("\". ") + file->errorString());
    file->close();
    FBrowserTempFile = guard.release();
    return FBrowserTempFile;
}

void TcwEditBase::StartBrowser(const QString& argument, const QString& workingDir)
{
    if (!startDetached(FMain.CurrentSettings().WebBrowser, {argument}, workingDir))
        ReportStartFailure(kBrowserFailure);
}

void TcwEditBase::BrowserDdeRequest(const QString& fileReference)
{
    TBrowserDde& dde = FMain.BrowserDde();
    FBrowserURL = DdeRequestItem(fileReference, dde.WindowId());
    if (dde.IsOpen()) {
        if (!dde.Request(FBrowserURL))
            ReportStartFailure(kBrowserFailure);
        return;
    }
    // The request is made once the conversation is open; a window closed
    // by then asks nothing.
    const QPointer<TcwEditBase> self(this);
    if (!dde.Open(FMain.CurrentSettings().WebBrowser, [self] {
            if (self)
                self->BrowserLinkOpen();
        }))
        ReportStartFailure(kBrowserFailure);
}

void TcwEditBase::BrowserLinkOpen()
{
    // The request goes out at once: nothing of the conversation waits in
    // the event queue, and running other commands here could close this
    // window under its own call.
    if (!FMain.BrowserDde().Request(FBrowserURL))
        ReportStartFailure(kBrowserFailure);
}

// ---------------------------------------------------------------------------
// Java interpreter

void TcwEditBase::cmdJavaRunClick()
{
    const QString interpreter = FMain.CurrentSettings().JavaInterpreter;
    if (interpreter.isEmpty() || !QFileInfo(interpreter).isFile()) {
        ReportStartFailure(kInterpreterFailure);
        return;
    }
    if (!FDocument)
        return;
    // The class named after the file, in its package, from where its
    // compile put it.
    const QString text = FText->text();
    TJavaRun run = JavaRunFor(FDocument->Path(), FDocument->FileName(), JavaPackageName(text),
                              CompileOptionsFor(*FDocument, text));
    // An output folder no compile has made yet: the interpreter starts all
    // the same and tells in its window what it cannot find.
    if (!QFileInfo(run.WorkingDir).isDir())
        run.WorkingDir = FDocument->Path();
    if (!StartInTerminal(interpreter, run.Arguments, run.WorkingDir))
        ReportStartFailure(kInterpreterFailure);
}

} // namespace bp
