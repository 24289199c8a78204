#include "support/scriptedprompter.h"

#include <QDialog>

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

void ScriptedPrompter::answerColor(std::optional<QColor> c)
{
    FAnswers << Answer(c);
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

template <class T> const T* ScriptedPrompter::next(const QString& what)
{
    if (FAnswers.isEmpty() || !std::holds_alternative<T>(FAnswers.first())) {
        FUnexpected << what;
        return nullptr;
    }
    return &std::get<T>(FAnswers.first());
}

MsgResult ScriptedPrompter::messageBox(QWidget*, const QString& text, MsgType type,
                                       MsgButtons buttons)
{
    FAsked << Asked{Asked::Message, text, type, buttons, {}};
    const MsgResult* r = next<MsgResult>(QStringLiteral("message: ") + text);
    if (!r)
        return buttons == MsgButtons::YesNo ? MsgResult::No
               : buttons == MsgButtons::OK  ? MsgResult::OK
                                            : MsgResult::Cancel;
    const MsgResult answer = *r;
    FAnswers.removeFirst();
    return answer;
}

FileDialogResult ScriptedPrompter::openFileDialog(QWidget*, const FileDialogOptions& o)
{
    FAsked << Asked{Asked::Open, o.title, MsgType::Information, MsgButtons::OK, o};
    FileDialogResult res;
    res.filterIndex = o.filterIndex;
    res.readOnly = o.readOnly;
    const FileAnswer* a = next<FileAnswer>(QStringLiteral("open dialog"));
    if (!a)
        return res;
    res.accepted = !a->files.isEmpty();
    res.files = a->files;
    if (a->filterIndex > 0)
        res.filterIndex = a->filterIndex;
    if (a->readOnly)
        res.readOnly = *a->readOnly;
    FAnswers.removeFirst();
    return res;
}

FileDialogResult ScriptedPrompter::saveFileDialog(QWidget*, const FileDialogOptions& o)
{
    FAsked << Asked{Asked::Save, o.title, MsgType::Information, MsgButtons::OK, o};
    FileDialogResult res;
    res.filterIndex = o.filterIndex;
    const SaveAnswer* a = next<SaveAnswer>(QStringLiteral("save dialog"));
    if (!a)
        return res;
    res.accepted = !a->file.isEmpty();
    if (res.accepted)
        res.files << a->file;
    if (a->filterIndex > 0)
        res.filterIndex = a->filterIndex;
    FAnswers.removeFirst();
    return res;
}

std::optional<QColor> ScriptedPrompter::colorDialog(QWidget*, const QColor&)
{
    FAsked << Asked{Asked::Color, QString(), MsgType::Information, MsgButtons::OK, {}};
    const auto* a = next<std::optional<QColor>>(QStringLiteral("colour dialog"));
    if (!a)
        return std::nullopt;
    const auto c = *a;
    FAnswers.removeFirst();
    return c;
}

int ScriptedPrompter::execDialog(QDialog& dialog)
{
    const QString name = QString::fromLatin1(dialog.metaObject()->className());
    FAsked << Asked{Asked::Dialog, name, MsgType::Information, MsgButtons::OK, {}};
    const auto* a = next<std::function<int(QDialog&)>>(QStringLiteral("dialog ") + name);
    if (!a)
        return QDialog::Rejected;
    const auto f = *a;
    FAnswers.removeFirst();
    return f(dialog);
}

} // namespace bp::test
