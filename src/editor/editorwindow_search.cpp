// The editor window's searches: Find Next with the Find dialog's text and
// options, Replace and Replace All with the Replace dialog's, Go to Line.
#include "editor/editorwindow.h"

#include "editor/mainservices.h"
#include "editor/textcontrol.h"
#include "platform/busycursor.h"

namespace bp {

bool TcwEditBase::FindNext()
{
    FText->setFocus();
    const TSearchRequest search = FMain.FindRequest();
    const QString& findText = search.FindText;
    if (FText->findText(findText, search.Options)) {
        FText->scrollCaretIntoView();
        return true;
    }
    ReportNotFound(findText);
    return false;
}

void TcwEditBase::ReportNotFound(const QString& findText)
{
    FMain.SetStatusText(QStringLiteral("Can't find '") + findText + QLatin1Char('\''));
    beep();
}

void TcwEditBase::Replace()
{
    const TSearchRequest request = FMain.ReplaceRequest();
    const QString& findText = request.FindText;
    const QString& replaceText = request.ReplaceText;
    const TSearchOptions options = request.Options;
    if (FText->isReadOnly())
        return;

    // Replace All replaces a matching selection with the rest, in the one
    // edit; replacing it beforehand would let the loop find the find text
    // again inside the text just put in.
    if (!options.testFlag(TSearchOption::ReplaceAll) &&
        ReplaceSelectionMatches(searchView(FText->selectedText()), searchView(findText),
                                options.testFlag(TSearchOption::MatchCase)))
        FText->replaceSelection(replaceText);

    if (options.testFlag(TSearchOption::ReplaceAll)) {
        // The whole loop (search, replace, search on after the inserted text)
        // runs in one linear pass and changes the text as one edit, one undo
        // step.
        const TextControl::TReplaceAllDone result =
            FText->replaceAll(findText, replaceText, options);
        FText->setFocus();
        if (result.EndedByFailure)
            ReportNotFound(findText);
        if (result.Replaced)
            FMain.SetStatusText(QStringLiteral("Done Replacing '") + findText +
                                QStringLiteral("' with '") + replaceText + QStringLiteral(".'"));
        beep();
    }
    FText->scrollCaretIntoView();
}

void TcwEditBase::GoToLine(int lineNumber)
{
    // Line 0 names no line: nothing moves.
    if (lineNumber <= 0 || lineNumber > FText->lineCount())
        return;
    FText->setFocus();
    // The whole line and its line break. (The break's CR alone cannot be
    // selected: both controls hold a line break as one unit.)
    const int line = lineNumber - 1;
    const int start = FText->lineStart(line);
    const int end = line + 1 < FText->lineCount() ? FText->lineStart(line + 1) : FText->textLength();
    // The caret ends after the line, so scrolling to it alone would leave a
    // line above the view there: the line's start is brought into view
    // first.
    FText->setSelection(start, 0);
    FText->scrollCaretIntoView();
    FText->setSelection(start, end - start);
    FText->scrollCaretIntoView();
}

void TcwEditBase::cmdGoToLineClick()
{
    if (const std::optional<int> line = FMain.AskLineNumber())
        GoToLine(*line);
}

} // namespace bp
