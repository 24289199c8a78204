#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace bp {

// Collects a line number for the editor's Go to Line command.
class TdlgGoToLine : public QDialog {
    Q_OBJECT
public:
    explicit TdlgGoToLine(QWidget* parent = nullptr);

    // The whole text of edtLine as a decimal integer (see StrToInt): throws
    // EBrewpadError "'<text>' is not a valid integer value" for anything else,
    // the empty text and numbers out of the int range included.
    int GetLineNumber() const;

    QLineEdit* edtLine;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace bp
