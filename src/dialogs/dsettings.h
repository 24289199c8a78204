#pragma once

#include "model/settings.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace bp {

// What the settings dialog's fields hold when OK is pressed.
struct TSettingsEntries {
    QString FontName; // empty: no font picked, the current one stays
    int FontSize = 8;
    TColor FontColor = clBlack;
    TColor WindowColor = clWindow;
    int TabSet = 4;
    bool AutoIndent = true;
    bool ShowDocTabs = true;
    QString JavaCompiler;
    QString WebBrowser;
    bool UseDDE = true;
};

// Why OK cannot take the entries, or empty when it can: a compiler path
// must name an existing file (an empty one means no compiler).
QString SettingsEntriesRefusal(const TSettingsEntries& entries);

// The settings OK makes of the entries: the interpreter is derived from the
// compiler, and a browser path that names no file is dropped. What the
// dialog does not edit is taken from current.
TSettings SettingsFromEntries(const TSettings& current, const TSettingsEntries& entries);

// The modal dialog in which the user edits the settings every window shares.
// It works on a copy: nothing changes anywhere until OK, which writes
// "brewpad.ini" and hands the new settings to the caller (Settings()).
// Cancel and the close box always close it and change nothing.
class TdlgSettings : public QDialog {
    Q_OBJECT
public:
    // defaultBrowser finds the program the system shows web pages with; it
    // returns the empty text when it finds none.
    TdlgSettings(const TSettings& settings, std::function<QString()> defaultBrowser,
                 QWidget* parent = nullptr);

    // The settings as the dialog was opened with, or as OK made them.
    const TSettings& Settings() const { return FSettings; }
    // The fields as they stand.
    TSettingsEntries Entries() const;
    TColor WindowColor() const { return FWindowColor; }
    TColor FontColor() const { return FFontColor; }

    QTabWidget* pgcSettings;
    // Display
    QComboBox* cmbFontName;
    QSpinBox* spnFontSize;
    QLabel* pnlSample;
    QPushButton* cmdColorWindow;
    QPushButton* cmdColorFont;
    QSpinBox* spnTabSet;
    QCheckBox* chkAutoIndent;
    QCheckBox* chkDocTabs;
    // External Applications
    QLineEdit* edtJavac;
    QPushButton* cmdBrowseJavac;
    QLineEdit* edtBrowser;
    QPushButton* cmdBrowseBrowser;
    QPushButton* cmdDefaultBrowser;
    QCheckBox* chkDDE;

    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdHelp;

private:
    QWidget* createDisplayPage();
    QWidget* createApplicationsPage();
    void FormCreate();
    void UpdateSample();
    void cmdColorWindowClick();
    void cmdColorFontClick();
    void cmdBrowseJavacClick();
    void cmdBrowseBrowserClick();
    void cmdDefaultBrowserClick();
    void cmdOKClick();

    TSettings FSettings;
    std::function<QString()> FDefaultBrowser;
    // The sample's colours, kept as colour values so that a system colour the
    // user did not change stays a system colour.
    TColor FWindowColor;
    TColor FFontColor;
};

} // namespace bp
