#include "support/scriptedprompter.h"

#include <QDialog>
#include <QPrinter>

namespace bp::test {

ScriptedPrompter::ScriptedPrompter()
{
    setPrompter(this);
}

ScriptedPrompter::~ScriptedPrompter()
{
    setPrompter(nullptr);
}

void ScriptedPrompter::answerMessage(MsgResult r)
{
    FAnswers << Answer(r);
}

void ScriptedPrompter::answerOpen(const QStringList& files, int filterIndex,
                                  std::optional<bool> readOnly)
{
    FAnswers << Answer(FileAnswer{files, filterIndex, readOnly});
}

void ScriptedPrompter::answerSave(const QString& file, int filterIndex)
{
    FAnswers << Answer(SaveAnswer{file, filterIndex});
}

void ScriptedPrompter::answerColor(const QColor& color)
{
    FAnswers << Answer(ColorAnswer{color});
}

void ScriptedPrompter::answerPrint(const QString& pdfFile, int copies)
{
    FAnswers << Answer(PrintAnswer{pdfFile, copies});
}

void ScriptedPrompter::answerDialog(std::function<int(QDialog&)> f)
{
    FAnswers << Answer(std::move(f));
}

QStringList ScriptedPrompter::messages() const
{
    QStringList out;
    for (const Asked& a : FAsked)
        if (a.kind == Asked::Message)
            out << a.text;
    return out;
}

template <class T> std::optional<T> ScriptedPrompter::take(const QString& what)
{
    if (FAnswers.isEmpty() || !std::holds_alternative<T>(FAnswers.first())) {
        FUnexpected << what;
        return std::nullopt;
    }
    return std::get<T>(FAnswers.takeFirst());
}

MsgResult ScriptedPrompter::messageBox(QWidget*, const QString& text, MsgType type,
                                       MsgButtons buttons)
{
    FAsked << Asked{Asked::Message, text, type, buttons, {}, {}};
    if (const auto r = take<MsgResult>(QStringLiteral("message: ") + text))
        return *r;
    return buttons == MsgButtons::OK ? MsgResult::OK : MsgResult::Cancel;
}

FileDialogResult ScriptedPrompter::openFileDialog(QWidget*, const FileDialogOptions& o)
{
    FAsked << Asked{Asked::Open, o.title, MsgType::Information, MsgButtons::OK, o, {}};
    FileDialogResult res;
    res.filterIndex = o.filterIndex;
    res.readOnly = o.readOnly;
    if (const auto a = take<FileAnswer>(QStringLiteral("open dialog"))) {
        res.accepted = !a->files.isEmpty();
        res.files = a->files;
        res.filterIndex = a->filterIndex > 0 ? a->filterIndex : res.filterIndex;
        res.readOnly = a->readOnly.value_or(res.readOnly);
    }
    return res;
}

FileDialogResult ScriptedPrompter::saveFileDialog(QWidget*, const FileDialogOptions& o)
{
    FAsked << Asked{Asked::Save, o.title, MsgType::Information, MsgButtons::OK, o, {}};
    FileDialogResult res;
    res.filterIndex = o.filterIndex;
    if (const auto a = take<SaveAnswer>(QStringLiteral("save dialog"))) {
        res.accepted = !a->file.isEmpty();
        if (res.accepted)
            res.files << a->file;
        res.filterIndex = a->filterIndex > 0 ? a->filterIndex : res.filterIndex;
    }
    return res;
}

std::optional<QColor> ScriptedPrompter::colorDialog(QWidget*, const QColor& initial)
{
    FAsked << Asked{Asked::Color, QString(), MsgType::Information, MsgButtons::OK, {}, initial};
    const auto a = take<ColorAnswer>(QStringLiteral("colour dialog"));
    if (!a || !a->color.isValid())
        return std::nullopt;
    return a->color;
}

bool ScriptedPrompter::printDialog(QWidget*, QPrinter& printer)
{
    FAsked << Asked{Asked::Print, QString(), MsgType::Information, MsgButtons::OK, {}, {}};
    const auto a = take<PrintAnswer>(QStringLiteral("print dialog"));
    if (!a || a->pdfFile.isEmpty())
        return false;
    // As the dialog's "Print to File (PDF)" choice leaves the printer.
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(a->pdfFile);
    printer.setCopyCount(a->copies);
    return true;
}

int ScriptedPrompter::execDialog(QDialog& dialog)
{
    const QString name = QString::fromLatin1(dialog.metaObject()->className());
    FAsked << Asked{Asked::Dialog, name, MsgType::Information, MsgButtons::OK, {}, {}};
    const auto f = take<std::function<int(QDialog&)>>(QStringLiteral("dialog ") + name);
    return f ? (*f)(dialog) : int(QDialog::Rejected);
}

} // namespace bp::test
