#include "dialogs/drunjava.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

namespace bp {

namespace {
constexpr QSize kClientSize(415, 100);
constexpr QSize kButtonSize(75, 25);
} // namespace

TdlgRunJava::TdlgRunJava(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgRunJava"));
    setWindowTitle(tr("Run Java"));

    auto* bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* label = new QLabel(tr("&Command Line:"), bevel);
    edtCommandLine = new QLineEdit(bevel);
    edtCommandLine->setObjectName(QStringLiteral("edtCommandLine"));
    label->setBuddy(edtCommandLine);
    auto* bevelLayout = new QVBoxLayout(bevel);
    bevelLayout->setContentsMargins(8, 8, 8, 8);
    bevelLayout->addWidget(label);
    bevelLayout->addWidget(edtCommandLine);
    bevelLayout->addStretch();

    cmdOK = new QPushButton(tr("Run"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setMinimumSize(kButtonSize);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    cmdCancel = new QPushButton(tr("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setMinimumSize(kButtonSize);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 8, 9, 8);
    layout->addWidget(bevel, 1);
    layout->addLayout(buttons);

    setFixedSize(sizeHint().expandedTo(kClientSize));
}

QStringList TdlgRunJava::Arguments() const
{
    return QProcess::splitCommand(edtCommandLine->text());
}

void TdlgRunJava::showEvent(QShowEvent* event)
{
    edtCommandLine->setFocus();
    edtCommandLine->selectAll();
    QDialog::showEvent(event);
}

} // namespace bp
