#pragma once

#include "platform/prompter.h"

#include <QString>

class QWidget;

namespace bp {

// The open and save dialogs' settings, shared by the document and project
// commands: each remembers its directory, filter and last name.
struct TFileDialogs {
    FileDialogOptions Open;
    FileDialogOptions Save;

    // Runs the save dialog as set up in Save. A name chosen without an
    // extension gets extension (an empty one leaves the name ending in its
    // dot); when that completed name is an existing file, the user is asked
    // before it is replaced: No shows the dialog again, Cancel gives up. On
    // OK fileName holds the name, which the save dialog keeps, and both
    // dialogs start in its directory next time.
    bool ExecuteSave(QWidget* parent, const QString& extension, QString& fileName);
};

} // namespace bp
