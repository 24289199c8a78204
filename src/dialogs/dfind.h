#pragma once

#include "model/search.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace bp {

// The main window's modeless Find and Replace dialogs, one class for both.
// They only collect the texts and options and report the user's requests;
// the main window does the searching. The request buttons are disabled while
// the find text is empty, as in the platform's common dialogs, so a request
// always comes with a find text (the main window checks it all the same).
class TdlgFind : public QDialog {
    Q_OBJECT
public:
    enum class TMode { Find, Replace };

    explicit TdlgFind(TMode mode, QWidget* parent = nullptr);

    TMode Mode() const { return FMode; }

    QString FindText() const;
    void SetFindText(const QString& text);
    // Empty for a Find dialog.
    QString ReplaceText() const;
    void SetReplaceText(const QString& text);

    // The options as the search takes them. A Replace dialog always searches
    // down, and has ReplaceAll set exactly while a "Replace All" request is
    // being handled (inside replaceRequested); a Find dialog never has it.
    TSearchOptions Options() const;
    // Copies match case and whole word in, and the direction into a Find
    // dialog; ReplaceAll belongs to the request and is not copied.
    void SetOptions(TSearchOptions options);

    // Shows the dialog (or brings it to the front) with the find text selected.
    void Execute();

    QLabel* lblFind;
    QLineEdit* edtFind;
    QLabel* lblReplace = nullptr;
    QLineEdit* edtReplace = nullptr;
    QCheckBox* chkWholeWord;
    QCheckBox* chkMatchCase;
    QGroupBox* grpDirection = nullptr;
    QRadioButton* radUp = nullptr;
    QRadioButton* radDown = nullptr;
    QPushButton* cmdFindNext;
    QPushButton* cmdReplace = nullptr;
    QPushButton* cmdReplaceAll = nullptr;
    QPushButton* cmdCancel;

signals:
    // "Find Next" was pressed (in either dialog).
    void findRequested();
    // "Replace" or "Replace All" was pressed; Options() tells which.
    void replaceRequested();

private:
    void updateButtons();
    void requestReplace(bool all);

    TMode FMode;
    bool FReplaceAll = false;
};

} // namespace bp
