#include "dialogs/dfind.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace bp {

namespace {
constexpr QSize kButtonSize(75, 23);
constexpr int kEditWidth = 200;
} // namespace

TdlgFind::TdlgFind(TMode mode, QWidget* parent) : QDialog(parent), FMode(mode)
{
    const bool replace = mode == TMode::Replace;
    setWindowTitle(replace ? tr("Replace") : tr("Find"));
    setModal(false);

    auto* fields = new QGridLayout;
    lblFind = new QLabel(tr("Fi&nd what:"), this);
    edtFind = new QLineEdit(this);
    edtFind->setMinimumWidth(kEditWidth);
    lblFind->setBuddy(edtFind);
    fields->addWidget(lblFind, 0, 0);
    fields->addWidget(edtFind, 0, 1);
    if (replace) {
        lblReplace = new QLabel(tr("Re&place with:"), this);
        edtReplace = new QLineEdit(this);
        lblReplace->setBuddy(edtReplace);
        fields->addWidget(lblReplace, 1, 0);
        fields->addWidget(edtReplace, 1, 1);
    }

    chkWholeWord = new QCheckBox(tr("Match &whole word only"), this);
    chkMatchCase = new QCheckBox(tr("Match &case"), this);
    auto* checks = new QVBoxLayout;
    checks->addStretch(1);
    checks->addWidget(chkWholeWord);
    checks->addWidget(chkMatchCase);

    auto* options = new QHBoxLayout;
    options->addLayout(checks);
    if (!replace) {
        grpDirection = new QGroupBox(tr("Direction"), this);
        radUp = new QRadioButton(tr("&Up"), grpDirection);
        radDown = new QRadioButton(tr("&Down"), grpDirection);
        radDown->setChecked(true);
        auto* dir = new QHBoxLayout(grpDirection);
        dir->addWidget(radUp);
        dir->addWidget(radDown);
        options->addWidget(grpDirection, 0, Qt::AlignBottom);
    }
    options->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    left->addStretch(1);

    auto makeButton = [this](const QString& text) {
        auto* button = new QPushButton(text, this);
        button->setMinimumSize(kButtonSize);
        return button;
    };
    auto* buttons = new QVBoxLayout;
    cmdFindNext = makeButton(tr("&Find Next"));
    cmdFindNext->setDefault(true);
    buttons->addWidget(cmdFindNext);
    connect(cmdFindNext, &QPushButton::clicked, this, &TdlgFind::findRequested);
    if (replace) {
        cmdReplace = makeButton(tr("&Replace"));
        cmdReplaceAll = makeButton(tr("Replace &All"));
        buttons->addWidget(cmdReplace);
        buttons->addWidget(cmdReplaceAll);
        connect(cmdReplace, &QPushButton::clicked, this, [this] { requestReplace(false); });
        connect(cmdReplaceAll, &QPushButton::clicked, this, [this] { requestReplace(true); });
    }
    cmdCancel = makeButton(tr("Cancel"));
    buttons->addWidget(cmdCancel);
    buttons->addStretch(1);
    // Cancel, Escape and the close box only hide the dialog; it keeps its
    // texts and options for the next showing.
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(edtFind, &QLineEdit::textChanged, this, &TdlgFind::updateButtons);
    updateButtons();
    edtFind->setFocus();
}

QString TdlgFind::FindText() const
{
    return edtFind->text();
}

void TdlgFind::SetFindText(const QString& text)
{
    edtFind->setText(text);
}

QString TdlgFind::ReplaceText() const
{
    return edtReplace ? edtReplace->text() : QString();
}

void TdlgFind::SetReplaceText(const QString& text)
{
    if (edtReplace)
        edtReplace->setText(text);
}

TSearchOptions TdlgFind::Options() const
{
    TSearchOptions o;
    if (chkMatchCase->isChecked())
        o |= TSearchOption::MatchCase;
    if (chkWholeWord->isChecked())
        o |= TSearchOption::WholeWord;
    if (FMode == TMode::Replace) {
        o |= TSearchOption::Down;
        if (FReplaceAll)
            o |= TSearchOption::ReplaceAll;
    } else if (radDown->isChecked()) {
        o |= TSearchOption::Down;
    }
    return o;
}

void TdlgFind::SetOptions(TSearchOptions options)
{
    chkMatchCase->setChecked(options.testFlag(TSearchOption::MatchCase));
    chkWholeWord->setChecked(options.testFlag(TSearchOption::WholeWord));
    if (FMode == TMode::Find) {
        const bool down = options.testFlag(TSearchOption::Down);
        radDown->setChecked(down);
        radUp->setChecked(!down);
    }
}

void TdlgFind::Execute()
{
    show();
    raise();
    activateWindow();
    edtFind->setFocus();
    edtFind->selectAll();
}

void TdlgFind::updateButtons()
{
    const bool hasText = !edtFind->text().isEmpty();
    cmdFindNext->setEnabled(hasText);
    if (cmdReplace)
        cmdReplace->setEnabled(hasText);
    if (cmdReplaceAll)
        cmdReplaceAll->setEnabled(hasText);
}

void TdlgFind::requestReplace(bool all)
{
    // The flag lives only while the request is handled, so nothing that
    // reads the options later mistakes a past Replace All for a current one.
    const QPointer<TdlgFind> self(this);
    FReplaceAll = all;
    emit replaceRequested();
    if (self)
        FReplaceAll = false;
}

} // namespace bp
