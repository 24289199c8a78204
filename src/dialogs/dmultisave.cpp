#include "dialogs/dmultisave.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBoundaryFinder>
#include <QVBoxLayout>

#include <algorithm>

namespace bp {

namespace {
constexpr int kClientWidth = 412;
constexpr int kClientHeight = 104;
constexpr int kMessageHeight = 49;
constexpr QSize kButtonSize(75, 25);
// Margins of the dialog and of the message label.
constexpr int kMarginH = 8, kMarginTop = 16, kMarginBottom = 7;
constexpr int kMessageLeft = 11, kMessageRight = 4;

// Word wrapping breaks only between words, so a file path longer than the
// label would be cut off. Such a word gets zero-width spaces between its
// characters (graphemes), which lets it break anywhere without showing.
QString breakableText(const QString& text, const QFontMetrics& fm, int width)
{
    static constexpr QChar kZeroWidthSpace(0x200B);
    QString result;
    result.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype end = i;
        while (end < text.size() && !text.at(end).isSpace())
            ++end;
        const QString word = text.mid(i, end - i);
        if (fm.horizontalAdvance(word) <= width) {
            result += word;
        } else {
            QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, word);
            qsizetype from = 0;
            for (qsizetype to = graphemes.toNextBoundary(); to > 0;
                 to = graphemes.toNextBoundary()) {
                if (from > 0)
                    result += kZeroWidthSpace;
                result += word.mid(from, to - from);
                from = to;
            }
        }
        for (i = end; i < text.size() && text.at(i).isSpace(); ++i)
            result += text.at(i);
    }
    return result;
}
} // namespace

TdlgMultiSave::TdlgMultiSave(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Save"));

    lblMessage = new QLabel(this);
    lblMessage->setWordWrap(true);
    lblMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMessage->setTextFormat(Qt::PlainText);
    lblMessage->setMinimumHeight(kMessageHeight);

    auto makeButton = [this](const QString& text, TMultiSaveResult code) {
        auto* button = new QPushButton(text, this);
        button->setMinimumSize(kButtonSize);
        connect(button, &QPushButton::clicked, this, [this, code] { done(code); });
        return button;
    };
    cmdYes = makeButton(tr("Yes"), mrYes);
    cmdYessAll = makeButton(tr("Yes to All"), mrYesToAll);
    cmdNo = makeButton(tr("No"), mrNo);
    cmdNoAll = makeButton(tr("No to All"), mrNoToAll);
    cmdCancel = makeButton(tr("Cancel"), mrCancel);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(5);
    for (QPushButton* b : {cmdYes, cmdYessAll, cmdNo, cmdNoAll, cmdCancel})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMarginH, kMarginTop, kMarginH, kMarginBottom);
    lblMessage->setContentsMargins(kMessageLeft, 0, kMessageRight, 0);
    layout->addWidget(lblMessage, 1);
    layout->addLayout(buttons);

    // The width is fixed once: at least the designed client width, wider only
    // when the buttons need it (large fonts). Messages then wrap inside it.
    FFixedWidth = std::max(kClientWidth, layout->totalMinimumSize().width());
    cmdYes->setFocus();
    fitToMessage();
}

void TdlgMultiSave::SetMessage(const QString& text)
{
    FMessage = text;
    const int width = FFixedWidth - 2 * kMarginH - kMessageLeft - kMessageRight;
    lblMessage->setText(breakableText(text, lblMessage->fontMetrics(), width));
    fitToMessage();
}

// A fixed frame: the width never changes, the height grows with a message
// that needs more lines than the label's designed height holds.
void TdlgMultiSave::fitToMessage()
{
    QLayout* l = layout();
    l->invalidate();
    const int needed =
        l->hasHeightForWidth() ? l->totalHeightForWidth(FFixedWidth) : l->totalSizeHint().height();
    setFixedSize(FFixedWidth, std::max(kClientHeight, needed));
}

void TdlgMultiSave::done(int r)
{
    FAnswer = (r >= mrYes && r <= mrCancel) ? TMultiSaveResult(r) : mrCancel;
    QDialog::done(FAnswer);
}

void TdlgMultiSave::reject()
{
    done(mrCancel);
}

void TdlgMultiSave::showEvent(QShowEvent* event)
{
    // Every showing starts as Cancel, so a dialog that goes away without a
    // button never reports an earlier question's answer. QDialog::exec() has
    // just set the result to 0, which would read as Yes.
    FAnswer = mrCancel;
    setResult(mrCancel);
    cmdYes->setFocus();
    QDialog::showEvent(event);
}

} // namespace bp
