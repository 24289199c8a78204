#include "dialogs/dabout.h"

#include "platform/apptitle.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace bp {

namespace {
constexpr QSize kClientSize(313, 250);
constexpr QSize kButtonSize(75, 25);
constexpr int kIconPanel = 33;
constexpr int kIconSize = 32;

QLabel* makeLabel(const QString& text, QWidget* parent, int pointSize, bool bold,
                  bool italic = false)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    QFont f = label->font();
    f.setPointSize(pointSize);
    f.setBold(bold);
    f.setItalic(italic);
    label->setFont(f);
    return label;
}

// The application's icon when it has one, else the style's computer icon.
QIcon appIcon(const QWidget* w)
{
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull())
        return icon;
    return w->style()->standardIcon(QStyle::SP_ComputerIcon);
}
} // namespace

TdlgAbout::TdlgAbout(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("About %1").arg(kAppTitle));

    auto* bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    auto* iconPanel = new QFrame(bevel);
    iconPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    iconPanel->setFixedSize(kIconPanel + 2 * iconPanel->frameWidth(),
                            kIconPanel + 2 * iconPanel->frameWidth());
    imgIcon = new QLabel(iconPanel);
    imgIcon->setAlignment(Qt::AlignCenter);
    imgIcon->setPixmap(appIcon(this).pixmap(kIconSize, kIconSize));
    auto* iconLayout = new QHBoxLayout(iconPanel);
    iconLayout->setContentsMargins(0, 0, 0, 0);
    iconLayout->addWidget(imgIcon);

    lblTitle = makeLabel(kAppTitle, bevel, 12, true, true);
    lblVersion = makeLabel(tr("Version 2.09"), bevel, 10, false);
    lblCopyright = makeLabel(tr("Copyright \u00a9 Brewpad developers"), bevel, 10, true);
    lblTrademark =
        makeLabel(QStringLiteral("Java is a Trademark of Sun Microsystems, Inc."), bevel, 10, true);
    lblTrademark->setWordWrap(true);
    lblSupport = makeLabel(
        tr("Comments and bug reports are welcome at the Brewpad project's issue tracker."), bevel,
        10, false);
    lblSupport->setWordWrap(true);
    lblSupport->setAlignment(Qt::AlignCenter);

    auto* heading = new QVBoxLayout;
    heading->setSpacing(2);
    heading->addWidget(lblTitle);
    auto* version = new QHBoxLayout;
    version->setContentsMargins(4, 0, 0, 0);
    version->addWidget(lblVersion);
    heading->addLayout(version);

    auto* top = new QHBoxLayout;
    top->setSpacing(6);
    top->addWidget(iconPanel, 0, Qt::AlignTop);
    top->addLayout(heading, 1);

    auto* notes = new QVBoxLayout;
    notes->setContentsMargins(22, 0, 14, 0);
    notes->setSpacing(20);
    notes->addWidget(lblCopyright);
    notes->addWidget(lblTrademark);

    auto* bevelLayout = new QVBoxLayout(bevel);
    bevelLayout->setContentsMargins(10, 10, 10, 8);
    bevelLayout->setSpacing(12);
    bevelLayout->addLayout(top);
    bevelLayout->addLayout(notes);
    bevelLayout->addStretch(1);
    bevelLayout->addWidget(lblSupport);

    cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setMinimumSize(kButtonSize);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 13);
    layout->setSpacing(11);
    layout->addWidget(bevel, 1);
    layout->addWidget(cmdOK, 0, Qt::AlignHCenter);

    // Word-wrapped labels make the plain size hint a guess; give them the
    // designed width and take the height they need there.
    layout->invalidate();
    const int width = std::max(kClientSize.width(), layout->totalMinimumSize().width());
    const int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                                   : layout->totalSizeHint().height();
    setFixedSize(width, std::max(kClientSize.height(), height));
    cmdOK->setFocus();
}

} // namespace bp
