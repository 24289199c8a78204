#pragma once

#include "editor/cedit.h"
#include "editor/cedit95.h"
#include "editor/mainservices.h"
#include "model/project.h"
#include "model/recoverycopy.h"
#include "model/settings.h"
#include "platform/ddeclient.h"
#include "platform/fileservices.h"
#include "platform/prompter.h"
#include "support/variants.h"
#include "tools/browser.h"

#include <QPrinter>
#include <QStringList>

#include <memory>

namespace bp::test {

// Stands in for the main window of an editor window: settings and programs
// as the test sets them, the save dialog through the scripted prompter, and
// a record of what the editor told it.
class FakeMainWindow : public IMainWindow {
public:
    TProject* CurrentProject() const override { return Project.get(); }
    const TSettings& CurrentSettings() const override { return Settings; }
    QFont EditorFont() const override { return QFont(); }
    TToolsPresent ToolsPresent() const override { return Tools; }
    QPrinter* Printer() override { return PrintOn.get(); }
    bool ClipboardHasText() const override { return Clipboard; }
    void RenameWindowTab(const QString& oldCaption, const QString& newCaption) override
    {
        Tabs << oldCaption + QStringLiteral(" -> ") + newCaption;
    }
    void RemoveWindowTab(const QString& caption) override { Tabs << QStringLiteral("- ") + caption; }
    bool ExecuteSaveDialog(TDocType docType, QString& fileName) override
    {
        FileDialogOptions options;
        options.filter = TDocTypeList().SaveDialogFilter(docType);
        const FileDialogResult r = prompter().saveFileDialog(nullptr, options);
        if (!r.accepted || r.files.isEmpty())
            return false;
        fileName = r.files.first();
        if (files::extractFileExt(fileName).isEmpty())
            fileName += QLatin1Char('.') + DocTypeExtension(docType);
        return true;
    }
    void AddRecentFile(const QString& pathName) override { Recent << pathName; }
    bool OpenReadOnly() const override { return ReadOnly; }
    void SetStatusText(const QString& text) override { Status = text; }
    TSearchRequest FindRequest() const override { return Find; }
    TSearchRequest ReplaceRequest() const override { return Replace; }
    void SearchFind() override {}
    void SearchReplace() override {}
    std::optional<int> AskLineNumber() override { return LineNumber; }
    bool FirstRecoveryCheck(const QString& dir) override { return RecoveryChecks.First(dir); }
    void OpenAtLine(const QString& path, int lineNumber) override
    {
        Opened << path + QLatin1Char(':') + QString::number(lineNumber);
    }
    TBrowserDde& BrowserDde() override { return *Dde; }

    TSettings Settings;
    TToolsPresent Tools{true, true, true, true};
    // None stands for a main window that found nothing to print on.
    std::unique_ptr<QPrinter> PrintOn = std::make_unique<QPrinter>();
    bool Clipboard = true;
    bool ReadOnly = false;
    std::unique_ptr<TProject> Project = TProject::Create();
    TSearchRequest Find;
    TSearchRequest Replace;
    TRecoveryChecks RecoveryChecks;
    std::optional<int> LineNumber;
    QStringList Tabs;
    QStringList Recent;
    QStringList Opened; // "<path>:<line>" for each OpenAtLine
    QString Status;
    // The program's own conversation; tests of it put in a recording one.
    std::unique_ptr<TBrowserDde> Dde =
        std::make_unique<TBrowserDde>(std::make_unique<ProcessDdeClientConv>());
};

// An editor window of the case's variant (see variants.h) against the stand-in.
inline std::unique_ptr<TcwEditBase> makeEditor(FakeMainWindow& main)
{
    if (richVariant())
        return std::make_unique<TcwEdit95>(main);
    return std::make_unique<TcwEdit>(main);
}

} // namespace bp::test
