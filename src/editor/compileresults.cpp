// The editor window's compile command and the list of what the compiler
// printed: the result in the window's status line, the first error line
// selected and its source line shown.
#include "editor/compilerlines.h"
#include "editor/editorwindow.h"
#include "editor/mainservices.h"
#include "editor/textcontrol.h"
#include "model/compiledocument.h"
#include "model/document.h"
#include "model/settings.h"
#include "platform/busycursor.h"
#include "platform/errors.h"
#include "platform/fileservices.h"
#include "platform/prompter.h"

#include <QCoreApplication>
#include <QFile>
#include <QListView>
#include <QStringListModel>
#include <QStatusBar>

#include <algorithm>

namespace bp {

namespace {

// Deletes the compiler's output file when the evaluation is over, also when
// it failed.
class OutputFileGuard {
public:
    explicit OutputFileGuard(QString path) : FPath(std::move(path)) {}
    ~OutputFileGuard()
    {
        if (!FPath.isEmpty())
            QFile::remove(FPath);
    }
    OutputFileGuard(const OutputFileGuard&) = delete;
    OutputFileGuard& operator=(const OutputFileGuard&) = delete;

private:
    QString FPath;
};

QString SuccessText(const QString& path)
{
    return QLatin1Char('\'') + path + QStringLiteral("' compiled successfully.");
}

} // namespace

void TcwEditBase::cmdJavaClick()
{
    if (FText->lineCount() > 0 && !FMain.CurrentSettings().JavaCompiler.isEmpty())
        Compile();
}

void TcwEditBase::Compile()
{
    if (!FDocument || FDocument->DocType() != TDocType::Java)
        return;
    const QString path = GetPathName();
    if (files::isReadOnly(path) &&
        ask(this,
            path + QStringLiteral(" is read only.\n\rThe compile will not include any changes "
                                  "that have been made in the editor."),
            MsgType::Confirmation, MsgButtons::OKCancel) != MsgResult::OK)
        return;

    FErrorLines->setStringList({});
    FErrorPanel->show();
    repaint();

    BusyCursor busy;
    FStatusBar->showMessage(QStringLiteral("Compiling '") + path + QStringLiteral("'..."));
    // Paints the text and the emptied list; the user's input waits until the
    // compile is over, so nothing can change the window meanwhile.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    const TSettings& settings = FMain.CurrentSettings();
    TCompileResult result;
    try {
        result = CompileDocument(*FDocument, FText->utf8(), settings.JavaCompiler,
                                 settings.JavaInterpreter);
    } catch (const EBrewpadError& e) {
        FStatusBar->clearMessage();
        showError(this, e.message());
        return;
    } catch (const std::exception& e) {
        FStatusBar->clearMessage();
        showError(this, QString::fromLocal8Bit(e.what()));
        return;
    }
    FStatusBar->clearMessage();
    const OutputFileGuard outputGuard(result.OutputFile);

    // A document that was not compiled at all says why, in the list and in
    // the status line; it is no success.
    if (!result.Refusal.isEmpty()) {
        FErrorLines->setStringList({result.Refusal});
        FStatusBar->showMessage(result.Refusal);
        return;
    }
    if (result.OutputFile.isEmpty()) {
        FStatusBar->showMessage(SuccessText(path));
        FErrorPanel->hide();
        return;
    }
    QFile output(result.OutputFile);
    if (!output.exists())
        return;

    try {
        if (!output.open(QIODevice::ReadOnly))
            throw EBrewpadError(QStringLiteral("Cannot open file \"") + result.OutputFile +
                                QStringLiteral("\". ") + output.errorString());
        const QStringList lines = CompilerOutputLines(output.readAll());
        output.close();
        if (lines.isEmpty()) {
            FStatusBar->showMessage(SuccessText(path));
            FErrorPanel->hide();
            return;
        }

        FErrorLines->setStringList(lines);
        const bool failed = std::any_of(lines.cbegin(), lines.cend(), IsCompileFailureLine);
        FStatusBar->showMessage(failed ? QStringLiteral("Couldn't compile '") + path +
                                             QStringLiteral("'.")
                                       : SuccessText(path));
        if (failed) {
            const QString key = path + QLatin1Char(':');
            for (qsizetype i = 0; i < lines.size(); ++i) {
                if (lines[i].contains(key)) {
                    const QModelIndex index = FErrorLines->index(int(i));
                    FErrors->setCurrentIndex(index);
                    FErrors->scrollTo(index);
                    lstErrorsDblClick();
                    break;
                }
            }
        }
    } catch (const EBrewpadError& e) {
        showError(this, e.message());
    } catch (const std::exception& e) {
        showError(this, QString::fromLocal8Bit(e.what()));
    }
}

void TcwEditBase::lstErrorsDblClick()
{
    const QModelIndexList selected = FErrors->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    const std::optional<QString> number =
        CompilerLineNumberText(selected.first().data().toString(), GetPathName());
    if (number)
        GoToLine(CompilerLineNumber(*number));
}

} // namespace bp
