#include "editor/editorstate.h"

#include "model/settings.h"
#include "platform/fileservices.h"

namespace bp {

TToolsPresent FindTools(const TSettings& settings, bool printer)
{
    TToolsPresent tools;
    tools.Compiler = !settings.JavaCompiler.isEmpty() && files::exists(settings.JavaCompiler);
    tools.Browser = !settings.WebBrowser.isEmpty() && files::exists(settings.WebBrowser);
    tools.Interpreter =
        !settings.JavaInterpreter.isEmpty() && files::exists(settings.JavaInterpreter);
    tools.Printer = printer;
    return tools;
}

bool RunsTool(const TEditorState& state, TDocType type, bool toolPresent)
{
    return state.HasText && state.HasDocument && state.DocType == type && toolPresent;
}

TEditorButtons EditorButtons(const TEditorState& state, const TToolsPresent& tools,
                             bool clipboardHasText)
{
    TEditorButtons b;
    b.Save = state.Modified || state.Untitled;
    b.Print = tools.Printer && state.HasText;
    b.Find = state.HasText;
    // The buttons also want a saved file: the compiler and the browser read
    // the file, not the window.
    b.JavaVisible = state.DocType == TDocType::Java;
    b.JavaEnabled =
        RunsTool(state, TDocType::Java, tools.Compiler) && !state.Untitled && !state.Compiling;
    b.BrowserVisible = state.DocType == TDocType::Html;
    b.BrowserEnabled = RunsTool(state, TDocType::Html, tools.Browser) && !state.Untitled;
    b.Paste = clipboardHasText;
    return b;
}

} // namespace bp
