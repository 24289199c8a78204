#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QPrinter;
class QWidget;

namespace bp {

enum class MsgType { Warning, Error, Information, Confirmation };
enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgResult { OK, Cancel, Yes, No };

struct FileDialogOptions {
    QString title;
    // Filters as the model holds them: "description|patterns|description|patterns",
    // patterns separated by ';'.
    QString filter;
    int filterIndex = 1; // 1-based
    QString initialDir;
    QString fileName;
    QString defaultExt; // without the dot
    bool multiSelect = false;
    bool overwritePrompt = true;
    // Offers the choice to open the files read-only, starting as readOnly.
    bool readOnlyChoice = false;
    bool readOnly = false;
};

struct FileDialogResult {
    bool accepted = false;
    QStringList files;
    int filterIndex = 1;
    bool readOnly = false; // the read-only choice as the user left it
};

// The one seam through which the program asks the user anything: message
// boxes, file and colour dialogs, and its own modal dialogs. Tests install a
// scripted prompter that answers in turn and records what was asked.
class Prompter {
public:
    virtual ~Prompter() = default;
    // A question dismissed by Escape or its close box answers Cancel, a
    // Yes/No question too, so that only an explicit No means No.
    virtual MsgResult messageBox(QWidget* parent, const QString& text, MsgType type,
                                 MsgButtons buttons) = 0;
    virtual FileDialogResult openFileDialog(QWidget* parent, const FileDialogOptions& options) = 0;
    virtual FileDialogResult saveFileDialog(QWidget* parent, const FileDialogOptions& options) = 0;
    virtual std::optional<QColor> colorDialog(QWidget* parent, const QColor& initial) = 0;
    // The print dialog: printer choice (a PDF file among them) and number of
    // copies, kept in printer; no selection or page range. True on OK.
    virtual bool printDialog(QWidget* parent, QPrinter& printer) = 0;
    // Shows one of the program's own modal dialogs and returns its result code.
    virtual int execDialog(QDialog& dialog) = 0;
};

// The prompter in force: the real one unless a test installed another.
Prompter& prompter();
// Installs a prompter (not owned); nullptr restores the real one.
void setPrompter(Prompter* p);

// Whether a print dialog can print anywhere: a printer is installed, or the
// dialog offers printing to a PDF file (Qt's own dialog always does).
bool printingPossible();

// Shorthand for the common message boxes.
MsgResult ask(QWidget* parent, const QString& text, MsgType type, MsgButtons buttons);
void showError(QWidget* parent, const QString& text);

// Turns "Html files (*.htm, *.html)|*.htm;*.html|..." into Qt's
// "Html files (*.htm *.html);;..." form.
QString qtNameFilters(const QString& filter);

} // namespace bp
