#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace bp {

// Asks about one document at a time while several are being saved. The
// caller creates it once for a series of questions, sets the caption and
// message for each one, shows it through the prompter and reads Answer().
class TdlgMultiSave : public QDialog {
    Q_OBJECT
public:
    // The result codes; exec() returns one of them too.
    enum TMultiSaveResult {
        mrYes = 0,
        mrYesToAll = 1,
        mrNo = 2,
        mrNoToAll = 3,
        mrCancel = 4,
    };

    explicit TdlgMultiSave(QWidget* parent = nullptr);

    // The question; a long one wraps and makes the dialog taller, never wider.
    void SetMessage(const QString& text);
    QString Message() const { return FMessage; }

    // The answer of the last showing: mrCancel unless a button other than
    // "Cancel" closed it.
    TMultiSaveResult Answer() const { return FAnswer; }

    // Closes with the given code; anything that is not a code counts as Cancel.
    void done(int r) override;
    // Escape, "Cancel" and the close box all end here.
    void reject() override;

    QLabel* lblMessage;
    QPushButton* cmdYes;
    QPushButton* cmdYessAll;
    QPushButton* cmdNo;
    QPushButton* cmdNoAll;
    QPushButton* cmdCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fitToMessage();

    QString FMessage;
    TMultiSaveResult FAnswer = mrCancel;
    int FFixedWidth = 0;
};

} // namespace bp
