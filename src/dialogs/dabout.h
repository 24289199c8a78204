#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace bp {

// The About box: title, version, copyright and contact lines.
class TdlgAbout : public QDialog {
    Q_OBJECT
public:
    explicit TdlgAbout(QWidget* parent = nullptr);

    QLabel* imgIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblCopyright;
    QLabel* lblTrademark;
    QLabel* lblSupport;
    QPushButton* cmdOK;
};

} // namespace bp
