#pragma once

#include "platform/prompter.h"

#include <QList>

#include <functional>
#include <variant>

namespace bp::test {

// One question the program asked.
struct Asked {
    enum Kind { Message, Open, Save, Color, Dialog, Print } kind;
    QString text; // message text, or the dialog's window title / class name
    MsgType type = MsgType::Information;
    MsgButtons buttons = MsgButtons::OK;
    FileDialogOptions fileOptions;
    QColor color; // the colour a colour dialog was opened with
};

// Answers the program's questions from a script, in order, and records every
// question. A question with no scripted answer (or of another kind than the
// next answer) is recorded in unexpected() and answered as if cancelled.
class ScriptedPrompter : public Prompter {
public:
    ScriptedPrompter();  // installs itself
    ~ScriptedPrompter(); // puts the real prompter back

    // Cancel answers a question as dismissed (Escape, the close box), Yes/No
    // questions included.
    void answerMessage(MsgResult r);
    // An empty list answers as a cancelled dialog; readOnly sets the
    // dialog's read-only choice (left as it was when not given).
    void answerOpen(const QStringList& files, int filterIndex = -1,
                    std::optional<bool> readOnly = std::nullopt);
    void answerSave(const QString& file, int filterIndex = -1);
    // An invalid colour answers as a cancelled colour dialog.
    void answerColor(const QColor& color);
    // Answers the print dialog with printing copies to the PDF file pdfFile;
    // an empty name answers as a cancelled dialog.
    void answerPrint(const QString& pdfFile, int copies = 1);
    // Gets the dialog, may fill it in, and returns its result code.
    void answerDialog(std::function<int(QDialog&)> f);

    const QList<Asked>& asked() const { return FAsked; }
    QStringList messages() const; // texts of the message boxes asked so far
    const QStringList& unexpected() const { return FUnexpected; }

    MsgResult messageBox(QWidget*, const QString&, MsgType, MsgButtons) override;
    FileDialogResult openFileDialog(QWidget*, const FileDialogOptions&) override;
    FileDialogResult saveFileDialog(QWidget*, const FileDialogOptions&) override;
    std::optional<QColor> colorDialog(QWidget*, const QColor&) override;
    bool printDialog(QWidget*, QPrinter& printer) override;
    int execDialog(QDialog& dialog) override;

private:
    struct FileAnswer {
        QStringList files;
        int filterIndex;
        std::optional<bool> readOnly;
    };
    struct SaveAnswer {
        QString file;
        int filterIndex;
    };
    struct ColorAnswer {
        QColor color;
    };
    struct PrintAnswer {
        QString pdfFile;
        int copies;
    };
    using Answer = std::variant<MsgResult, FileAnswer, SaveAnswer, ColorAnswer, PrintAnswer,
                                std::function<int(QDialog&)>>;
    // Takes the next answer when it is of the kind asked for.
    template <class T> std::optional<T> take(const QString& what);

    QList<Answer> FAnswers;
    QList<Asked> FAsked;
    QStringList FUnexpected;
};

} // namespace bp::test
