#pragma once

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QPushButton;

namespace bp {

// Asks for the Java interpreter's command line (options and a class). One
// dialog lives as long as the program, so the text typed last is offered
// again next time.
class TdlgRunJava : public QDialog {
    Q_OBJECT
public:
    explicit TdlgRunJava(QWidget* parent = nullptr);

    // The command line cut into the interpreter's arguments as a shell
    // would cut it (quotes group words), with nothing expanded: "$HOME" and
    // ';' stay as typed. Empty for an empty command line.
    QStringList Arguments() const;

    QLineEdit* edtCommandLine;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace bp
