#include "platform/prompter.h"

#include "platform/apptitle.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace bp {

QString qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i];
        const qsizetype paren = desc.indexOf(QStringLiteral(" ("));
        if (paren >= 0)
            desc.truncate(paren);
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << desc + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

namespace {

// A message box that remembers whether it was dismissed (Escape, the close
// box) rather than answered: with only Yes and No, QMessageBox makes both
// click No.
class TDismissableBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool dismissed() const { return FDismissed; }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Cancel))
            FDismissed = true;
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override
    {
        if (!clickedButton())
            FDismissed = true;
        QMessageBox::closeEvent(event);
    }

private:
    bool FDismissed = false;
};

class QtPrompter final : public Prompter {
public:
    MsgResult messageBox(QWidget* parent, const QString& text, MsgType type,
                         MsgButtons buttons) override
    {
        TDismissableBox box(parent);
        box.setWindowTitle(kAppTitle);
        box.setText(text);
        switch (type) {
        case MsgType::Warning: box.setIcon(QMessageBox::Warning); break;
        case MsgType::Error: box.setIcon(QMessageBox::Critical); break;
        case MsgType::Information: box.setIcon(QMessageBox::Information); break;
        case MsgType::Confirmation: box.setIcon(QMessageBox::Question); break;
        }
        switch (buttons) {
        case MsgButtons::OK: box.setStandardButtons(QMessageBox::Ok); break;
        case MsgButtons::OKCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case MsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        }
        const int answer = box.exec();
        // A dismissed question is answered by no button: a Yes/No question
        // about saving must not take it for No and throw the text away.
        if (box.dismissed())
            return buttons == MsgButtons::OK ? MsgResult::OK : MsgResult::Cancel;
        switch (answer) {
        case QMessageBox::Ok: return MsgResult::OK;
        case QMessageBox::Yes: return MsgResult::Yes;
        case QMessageBox::No: return MsgResult::No;
        default:
            return MsgResult::Cancel;
        }
    }

    FileDialogResult openFileDialog(QWidget* parent, const FileDialogOptions& o) override
    {
        QFileDialog dlg(parent, o.title, o.initialDir);
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(o.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        QCheckBox* readOnly = nullptr;
        if (o.readOnlyChoice) {
            // The platform's own dialog cannot take an extra control.
            dlg.setOption(QFileDialog::DontUseNativeDialog);
            readOnly = new QCheckBox(QStringLiteral("Open as &read-only"), &dlg);
            readOnly->setChecked(o.readOnly);
            if (auto* grid = qobject_cast<QGridLayout*>(dlg.layout()))
                grid->addWidget(readOnly, grid->rowCount(), 0, 1, grid->columnCount());
        }
        FileDialogResult r = run(dlg, o);
        r.readOnly = readOnly ? readOnly->isChecked() : o.readOnly;
        return r;
    }

    FileDialogResult saveFileDialog(QWidget* parent, const FileDialogOptions& o) override
    {
        QFileDialog dlg(parent, o.title, o.initialDir);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        if (!o.overwritePrompt)
            dlg.setOption(QFileDialog::DontConfirmOverwrite);
        dlg.setDefaultSuffix(o.defaultExt);
        return run(dlg, o);
    }

    std::optional<QColor> colorDialog(QWidget* parent, const QColor& initial) override
    {
        const QColor c = QColorDialog::getColor(initial, parent);
        if (!c.isValid())
            return std::nullopt;
        return c;
    }

    bool printDialog(QWidget* parent, QPrinter& printer) override
    {
        QPrintDialog dlg(&printer, parent);
        dlg.setOption(QAbstractPrintDialog::PrintSelection, false);
        dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dlg.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        dlg.setOption(QAbstractPrintDialog::PrintToFile, true);
        dlg.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
        return dlg.exec() == QDialog::Accepted;
    }

    int execDialog(QDialog& dialog) override { return dialog.exec(); }

private:
    static FileDialogResult run(QFileDialog& dlg, const FileDialogOptions& o)
    {
        const QStringList filters = qtNameFilters(o.filter).split(QStringLiteral(";;"));
        dlg.setNameFilters(filters);
        if (o.filterIndex >= 1 && o.filterIndex <= filters.size())
            dlg.selectNameFilter(filters[o.filterIndex - 1]);
        if (!o.fileName.isEmpty())
            dlg.selectFile(o.fileName);
        FileDialogResult r;
        r.filterIndex = o.filterIndex;
        if (dlg.exec() != QDialog::Accepted)
            return r;
        r.accepted = true;
        for (const QString& f : dlg.selectedFiles())
            r.files << QDir::toNativeSeparators(f);
        const qsizetype idx = filters.indexOf(dlg.selectedNameFilter());
        if (idx >= 0)
            r.filterIndex = int(idx) + 1;
        return r;
    }
};

Prompter* installed = nullptr;

} // namespace

Prompter& prompter()
{
    static QtPrompter real;
    return installed ? *installed : real;
}

void setPrompter(Prompter* p)
{
    installed = p;
}

bool printingPossible()
{
#ifdef Q_OS_WIN
    // The system's own dialog lists only installed printers (a PDF printer
    // among them when Windows has one).
    return !QPrinterInfo::availablePrinterNames().isEmpty();
#else
    // Qt's dialog offers a PDF file whether or not a printer is installed.
    return true;
#endif
}

MsgResult ask(QWidget* parent, const QString& text, MsgType type, MsgButtons buttons)
{
    return prompter().messageBox(parent, text, type, buttons);
}

void showError(QWidget* parent, const QString& text)
{
    prompter().messageBox(parent, text, MsgType::Error, MsgButtons::OK);
}

} // namespace bp
