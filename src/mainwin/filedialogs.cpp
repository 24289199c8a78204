#include "mainwin/filedialogs.h"

#include "platform/fileservices.h"

namespace bp {

bool TFileDialogs::ExecuteSave(QWidget* parent, const QString& extension, QString& fileName)
{
    for (;;) {
        const FileDialogResult r = prompter().saveFileDialog(parent, Save);
        if (!r.accepted || r.files.isEmpty())
            return false;
        QString name = r.files.first();
        if (files::extractFileExt(name).isEmpty()) {
            name += QLatin1Char('.') + extension;
            // The dialog asked about the name as typed, not about this one.
            if (files::exists(name)) {
                const MsgResult answer = ask(
                    parent, name + QStringLiteral(" already exists.\nDo you want to replace it?"),
                    MsgType::Warning, MsgButtons::YesNoCancel);
                if (answer == MsgResult::No)
                    continue;
                if (answer != MsgResult::Yes)
                    return false;
            }
        }
        fileName = name;
        Save.fileName = name;
        Save.initialDir = files::extractFileDir(name);
        Open.initialDir = Save.initialDir;
        return true;
    }
}

} // namespace bp
