#pragma once

#include "model/colortext.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

namespace bp {

class Registry;

// The editor font, held as the main window's own font.
struct TEditorFont {
    QString Name = QStringLiteral("MS Sans Serif");
    qint32 Size = 8; // points
    TColor Color = clBlack;
};

// The program-wide user settings.
struct TSettings {
    QString JavaCompiler;
    QString JavaInterpreter; // derived from JavaCompiler, never stored
    QString WebBrowser;
    bool UseDDE = true;
    qint8 TabSet = 4;
    bool AutoIndent = true;
    TColor EditorColor = clWindow;
    bool ShowDocTabs = true;
    TEditorFont Font;
    // The lines of the settings file that the last ReadSettingsFile took a
    // value from, bit n - 1 for line n: on loading, those values win over the
    // store and every other one is read from it. Never stored.
    unsigned FileLines = 0;
};

// The longest recent-files list kept.
inline constexpr int kRecentListLength = 5;

// Values the main window keeps that live only in the settings store.
struct TWindowValues {
    qint32 LastX = 0;
    qint32 LastY = 0;
    // The size of the window when last closed (its normal size when it was
    // maximised); 0 where none was stored yet.
    qint32 LastWidth = 0;
    qint32 LastHeight = 0;
    qint32 LastWindowState = 0; // 0 normal, 1 minimised, 2 maximised
    qint32 LastFileType = 1;    // the open dialog's 1-based filter index
    QStringList RecentProjects; // newest first, at most 5
    QStringList RecentDocuments;
};

// The ten-line settings file, looked up in the current directory.
inline const QString kSettingsFileName = QStringLiteral("brewpad.ini");

// Sets the defaults of the values the settings file holds, except the
// compiler, browser and font, then reads "brewpad.ini" from the current
// directory over them and returns whether the file exists. A missing line or
// one that does not convert takes no part: its value comes from the store.
// A file that another user owns or others may write to is not read (it
// names the programs the compile runs); ignored then says why.
bool ReadSettingsFile(TSettings& settings, QString* ignored = nullptr);

// Writes the ten lines anew into "brewpad.ini" in the current directory,
// replacing the old file atomically; throws EBrewpadError when it cannot.
void WriteSettingsFile(const TSettings& settings);

// Closes the registry's current key and opens the program's base key.
void OpenProgramKey(Registry& registry);

enum class TRegistryPassMode { Load, Save };

// One pass over the settings store in load or save mode (without applying
// the settings to windows, which is the caller's part). A value missing from
// the store is first created from the current setting; a value of the wrong
// kind keeps the current setting. Loading, a value the settings file gave
// (TSettings::FileLines) is written to the store instead of read from it.
void RegistryPass(TRegistryPassMode mode, TSettings& settings, TWindowValues& window);

// The interpreter beside the compiler: the compiler path less the length of
// "javac" + executable suffix, followed by "java" + suffix; empty when the
// compiler is empty or the interpreter file does not exist.
QString DeriveJavaInterpreter(const QString& javaCompiler);

// The Java compiler of the JDK this machine offers, for a start that names
// none: $JAVA_HOME/bin/javac when that is an executable file, else the javac
// found on PATH with its symbolic links resolved, so that the interpreter
// stands beside it (/usr/bin/javac is a link into the JDK's own bin folder).
// Empty when neither gives one.
QString FindJavaCompiler(const QProcessEnvironment& environment);

// When no compiler is configured (after the store and the settings file were
// read), takes the one FindJavaCompiler finds and derives the interpreter
// from it. Returns whether it found one.
bool FindJavaToolsWhenUnset(TSettings& settings, const QProcessEnvironment& environment);

// A list value: every line followed by CR LF.
QString JoinListValue(const QStringList& lines);
// Splits at CR, LF or CR LF; the empty trailing piece is dropped.
QStringList SplitListValue(const QString& text);

} // namespace bp
