#pragma once

#include <QString>

namespace bp {

// The application title: task button, message boxes and error boxes.
inline const QString kAppTitle = QStringLiteral("Tarvik's Brewpad");

// The main window's caption when no project is open.
inline const QString kAppCaption = QStringLiteral("Tarvik's Brewpad 2.09");

} // namespace bp
