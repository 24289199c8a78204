#include "dialogs/dgotoln.h"

#include "platform/textutil.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace bp {

namespace {
constexpr QSize kClientSize(240, 71);
constexpr QSize kButtonSize(75, 25);
constexpr int kEditWidth = 57;
} // namespace

TdlgGoToLine::TdlgGoToLine(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Go to Line"));

    auto* bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* label = new QLabel(tr("Go to Line:"), bevel);
    edtLine = new QLineEdit(bevel);
    edtLine->setMinimumWidth(kEditWidth);
    label->setBuddy(edtLine);
    auto* bevelLayout = new QHBoxLayout(bevel);
    bevelLayout->setContentsMargins(8, 8, 8, 8);
    bevelLayout->addWidget(label);
    bevelLayout->addWidget(edtLine, 1);

    cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setMinimumSize(kButtonSize);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    cmdCancel = new QPushButton(tr("Cancel"), this);
    cmdCancel->setMinimumSize(kButtonSize);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 8, 9, 8);
    layout->addWidget(bevel, 1, Qt::AlignTop);
    layout->addLayout(buttons);

    setFixedSize(sizeHint().expandedTo(kClientSize));
    edtLine->setFocus();
}

int TdlgGoToLine::GetLineNumber() const
{
    return StrToInt(edtLine->text());
}

void TdlgGoToLine::showEvent(QShowEvent* event)
{
    edtLine->setFocus();
    QDialog::showEvent(event);
}

} // namespace bp
