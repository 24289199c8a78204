#include "dialogs/dsettings.h"

#include "platform/fileservices.h"
#include "platform/guarded.h"
#include "platform/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace bp {

namespace {

constexpr QSize kClientSize(430, 233);
constexpr QSize kSampleSize(241, 73);
constexpr QSize kButtonSize(75, 25);

// The installed font families, fixed and proportional, sorted as the user
// reads them (case does not separate names).
QStringList installedFonts()
{
    QStringList names;
    const QStringList families = QFontDatabase::families();
    for (const QString& family : families)
        if (!QFontDatabase::isPrivateFamily(family))
            names << family;
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

// The picture of a colour button: a swatch of the colour it sets.
QIcon colorSwatch(const QColor& color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(color);
    painter.drawRect(0, 0, 15, 15);
    return QIcon(pixmap);
}

// "All files" as the platform names every file: a program on Linux has no
// extension, and "*.*" would hide it.
QString allFilesPattern()
{
    return files::exeSuffix().isEmpty() ? QStringLiteral("*") : QStringLiteral("*.*");
}

void setHint(QWidget* widget, const QString& toolTip, const QString& statusTip)
{
    widget->setToolTip(toolTip);
    widget->setStatusTip(statusTip);
}

} // namespace

QString SettingsEntriesRefusal(const TSettingsEntries& entries)
{
    if (!entries.JavaCompiler.isEmpty() && !files::exists(entries.JavaCompiler))
        return QStringLiteral("Can't find the Java compiler '") + entries.JavaCompiler +
               QStringLiteral("'. Choose an existing file, or leave the field empty.");
    return QString();
}

TSettings SettingsFromEntries(const TSettings& current, const TSettingsEntries& entries)
{
    TSettings s = current;
    if (!entries.FontName.isEmpty())
        s.Font.Name = entries.FontName;
    s.Font.Size = entries.FontSize;
    s.Font.Color = entries.FontColor;
    if (files::exists(entries.JavaCompiler)) {
        s.JavaCompiler = entries.JavaCompiler;
        s.JavaInterpreter = DeriveJavaInterpreter(entries.JavaCompiler);
    } else {
        s.JavaCompiler.clear();
        s.JavaInterpreter.clear();
    }
    s.WebBrowser = files::exists(entries.WebBrowser) ? entries.WebBrowser : QString();
    s.TabSet = qint8(std::clamp(entries.TabSet, -1, 80));
    s.EditorColor = entries.WindowColor;
    s.UseDDE = entries.UseDDE;
    s.AutoIndent = entries.AutoIndent;
    s.ShowDocTabs = entries.ShowDocTabs;
    return s;
}

TdlgSettings::TdlgSettings(const TSettings& settings, std::function<QString()> defaultBrowser,
                           QWidget* parent)
    : QDialog(parent), FSettings(settings), FDefaultBrowser(std::move(defaultBrowser)),
      FWindowColor(settings.EditorColor), FFontColor(settings.Font.Color)
{
    setObjectName(QStringLiteral("dlgSettings"));
    setWindowTitle(tr("Settings"));

    pgcSettings = new QTabWidget(this);
    pgcSettings->addTab(createDisplayPage(), tr("Display"));
    pgcSettings->addTab(createApplicationsPage(), tr("External Applications"));

    cmdOK = new QPushButton(tr("OK"), this);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOKClick(); });
    cmdCancel = new QPushButton(tr("Cancel"), this);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    // Help has nothing to show yet.
    cmdHelp = new QPushButton(tr("&Help"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {cmdOK, cmdCancel, cmdHelp}) {
        b->setAutoDefault(false);
        b->setMinimumSize(kButtonSize);
        buttons->addWidget(b);
    }
    cmdOK->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pgcSettings, 1);
    layout->addLayout(buttons);

    FormCreate();
    setFixedSize(sizeHint().expandedTo(kClientSize));
}

QWidget* TdlgSettings::createDisplayPage()
{
    auto* page = new QWidget;
    cmbFontName = new QComboBox(page);
    cmbFontName->setEditable(false);
    cmbFontName->setObjectName(QStringLiteral("cmbFontName"));
    spnFontSize = new QSpinBox(page);
    spnFontSize->setObjectName(QStringLiteral("spnFontSize"));
    spnFontSize->setRange(6, 72);
    pnlSample = new QLabel(QStringLiteral("AaBbXxZz"), page);
    pnlSample->setObjectName(QStringLiteral("pnlSample"));
    pnlSample->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlSample->setAlignment(Qt::AlignCenter);
    pnlSample->setAutoFillBackground(true);
    pnlSample->setMinimumSize(kSampleSize);
    cmdColorWindow = new QPushButton(tr("Window Color..."), page);
    cmdColorWindow->setObjectName(QStringLiteral("cmdColorWindow"));
    cmdColorFont = new QPushButton(tr("Font Color..."), page);
    cmdColorFont->setObjectName(QStringLiteral("cmdColorFont"));
    spnTabSet = new QSpinBox(page);
    spnTabSet->setObjectName(QStringLiteral("spnTabSet"));
    spnTabSet->setRange(-1, 80);
    setHint(spnTabSet, tr("Set tab length"),
            tr("Enter number of spaces for tab key or -1 to use tab character"));
    chkAutoIndent = new QCheckBox(tr("Auto Indent"), page);
    chkAutoIndent->setObjectName(QStringLiteral("chkAutoIndent"));
    setHint(chkAutoIndent, tr("Indent with retrun"),
            tr("Check to start at beginning of previous line after return"));
    chkDocTabs = new QCheckBox(tr("Show Doc Tabs"), page);
    chkDocTabs->setObjectName(QStringLiteral("chkDocTabs"));
    setHint(chkDocTabs, tr("Show list of open documents"),
            tr("Show open documents as tabs at bottom of main window"));

    auto* fontLabel = new QLabel(tr("&Font:"), page);
    fontLabel->setBuddy(cmbFontName);
    auto* sizeLabel = new QLabel(tr("&Size:"), page);
    sizeLabel->setBuddy(spnFontSize);
    auto* tabLabel = new QLabel(tr("&Tab Set:"), page);
    tabLabel->setBuddy(spnTabSet);

    auto* grid = new QGridLayout(page);
    grid->addWidget(fontLabel, 0, 0);
    grid->addWidget(cmbFontName, 0, 1);
    grid->addWidget(sizeLabel, 0, 2);
    grid->addWidget(spnFontSize, 0, 3);
    grid->addWidget(pnlSample, 1, 0, 3, 2);
    grid->addWidget(cmdColorWindow, 1, 2, 1, 2);
    grid->addWidget(cmdColorFont, 2, 2, 1, 2);
    grid->addWidget(tabLabel, 4, 0);
    grid->addWidget(spnTabSet, 4, 1, Qt::AlignLeft);
    grid->addWidget(chkAutoIndent, 4, 2, 1, 2);
    grid->addWidget(chkDocTabs, 5, 2, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);

    connect(cmbFontName, &QComboBox::currentTextChanged, this, [this] { UpdateSample(); });
    connect(spnFontSize, &QSpinBox::valueChanged, this, [this] { UpdateSample(); });
    connect(cmdColorWindow, &QPushButton::clicked, this, [this] { cmdColorWindowClick(); });
    connect(cmdColorFont, &QPushButton::clicked, this, [this] { cmdColorFontClick(); });
    return page;
}

QWidget* TdlgSettings::createApplicationsPage()
{
    auto* page = new QWidget;
    edtJavac = new QLineEdit(page);
    edtJavac->setObjectName(QStringLiteral("edtJavac"));
    setHint(edtJavac, tr("Path to the Jave(tm) compiler"), tr("Path to the Jave(tm) compiler"));
    cmdBrowseJavac = new QPushButton(tr("Browse..."), page);
    cmdBrowseJavac->setObjectName(QStringLiteral("cmdBrowseJavac"));
    edtBrowser = new QLineEdit(page);
    edtBrowser->setObjectName(QStringLiteral("edtBrowser"));
    setHint(edtBrowser, tr("Path to web browser application"),
            tr("Path to web browser application"));
    cmdBrowseBrowser = new QPushButton(tr("Browse..."), page);
    cmdBrowseBrowser->setObjectName(QStringLiteral("cmdBrowseBrowser"));
    cmdDefaultBrowser = new QPushButton(tr("Use Default Browser"), page);
    cmdDefaultBrowser->setObjectName(QStringLiteral("cmdDefaultBrowser"));
    setHint(cmdDefaultBrowser, tr("Use the current windows default bowser"),
            tr("Use the application used to view HTML files"));
    chkDDE = new QCheckBox(tr("Use &DDE with Netscape"), page);
    chkDDE->setObjectName(QStringLiteral("chkDDE"));

    auto* javacLabel = new QLabel(tr("Java &Compiler:"), page);
    javacLabel->setBuddy(edtJavac);
    auto* browserLabel = new QLabel(tr("Web &Browser:"), page);
    browserLabel->setBuddy(edtBrowser);

    auto* grid = new QGridLayout(page);
    grid->addWidget(javacLabel, 0, 0, 1, 2);
    grid->addWidget(edtJavac, 1, 0, 1, 2);
    grid->addWidget(cmdBrowseJavac, 1, 2);
    grid->addWidget(browserLabel, 2, 0, 1, 2);
    grid->addWidget(edtBrowser, 3, 0, 1, 2);
    grid->addWidget(cmdBrowseBrowser, 3, 2);
    grid->addWidget(cmdDefaultBrowser, 4, 0, Qt::AlignLeft);
    grid->addWidget(chkDDE, 4, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);

    connect(cmdBrowseJavac, &QPushButton::clicked, this, [this] { cmdBrowseJavacClick(); });
    connect(cmdBrowseBrowser, &QPushButton::clicked, this, [this] { cmdBrowseBrowserClick(); });
    connect(cmdDefaultBrowser, &QPushButton::clicked, this, [this] { cmdDefaultBrowserClick(); });
    return page;
}

void TdlgSettings::FormCreate()
{
    // No entry is selected when the current font is not installed; OK then
    // keeps it.
    cmbFontName->addItems(installedFonts());
    {
        const QSignalBlocker quiet(cmbFontName);
        cmbFontName->setCurrentIndex(cmbFontName->findText(
            FSettings.Font.Name, Qt::MatchFixedString | Qt::MatchCaseSensitive));
    }
    spnFontSize->setValue(FSettings.Font.Size);
    edtJavac->setText(FSettings.JavaCompiler);
    edtBrowser->setText(FSettings.WebBrowser);
    spnTabSet->setValue(FSettings.TabSet);
    chkDDE->setChecked(FSettings.UseDDE);
    chkAutoIndent->setChecked(FSettings.AutoIndent);
    chkDocTabs->setChecked(FSettings.ShowDocTabs);
    UpdateSample();
}

TSettingsEntries TdlgSettings::Entries() const
{
    TSettingsEntries e;
    e.FontName = cmbFontName->currentIndex() >= 0 ? cmbFontName->currentText() : QString();
    e.FontSize = spnFontSize->value();
    e.FontColor = FFontColor;
    e.WindowColor = FWindowColor;
    e.TabSet = spnTabSet->value();
    e.AutoIndent = chkAutoIndent->isChecked();
    e.ShowDocTabs = chkDocTabs->isChecked();
    e.JavaCompiler = edtJavac->text();
    e.WebBrowser = edtBrowser->text();
    e.UseDDE = chkDDE->isChecked();
    return e;
}

void TdlgSettings::UpdateSample()
{
    // The sample keeps the dialog's face until a font name is picked.
    QFont font = this->font();
    if (cmbFontName->currentIndex() >= 0)
        font.setFamily(cmbFontName->currentText());
    font.setPointSize(spnFontSize->value());
    pnlSample->setFont(font);
    const QColor back = ColorToQColor(FWindowColor, palette());
    const QColor text = ColorToQColor(FFontColor, palette());
    QPalette p = pnlSample->palette();
    if (back.isValid())
        p.setColor(QPalette::Window, back);
    if (text.isValid())
        p.setColor(QPalette::WindowText, text);
    pnlSample->setPalette(p);
    cmdColorWindow->setIcon(colorSwatch(p.color(QPalette::Window)));
    cmdColorFont->setIcon(colorSwatch(p.color(QPalette::WindowText)));
}

void TdlgSettings::cmdColorWindowClick()
{
    if (const auto c = prompter().colorDialog(this, pnlSample->palette().color(QPalette::Window))) {
        FWindowColor = QColorToColor(*c);
        UpdateSample();
    }
}

void TdlgSettings::cmdColorFontClick()
{
    if (const auto c =
            prompter().colorDialog(this, pnlSample->palette().color(QPalette::WindowText))) {
        FFontColor = QColorToColor(*c);
        UpdateSample();
    }
}

void TdlgSettings::cmdBrowseJavacClick()
{
    const QString exe = files::exeSuffix();
    FileDialogOptions o;
    o.fileName = QStringLiteral("javac") + exe;
    o.filter = QStringLiteral("java compiler|javac") + exe + QStringLiteral("|All files|") +
               allFilesPattern();
    o.initialDir = QFileInfo(edtJavac->text()).path();
    const FileDialogResult r = prompter().openFileDialog(this, o);
    if (r.accepted && !r.files.isEmpty())
        edtJavac->setText(r.files.first());
}

void TdlgSettings::cmdBrowseBrowserClick()
{
    const QString exe = files::exeSuffix();
    FileDialogOptions o;
    o.fileName = exe.isEmpty() ? QString() : QStringLiteral("*") + exe;
    o.filter =
        QStringLiteral("Application|*") + exe + QStringLiteral("|All files|") + allFilesPattern();
    o.initialDir = QFileInfo(edtBrowser->text()).path();
    const FileDialogResult r = prompter().openFileDialog(this, o);
    if (r.accepted && !r.files.isEmpty())
        edtBrowser->setText(r.files.first());
}

void TdlgSettings::cmdDefaultBrowserClick()
{
    // Only the field changes: the setting follows it at OK, and Cancel
    // forgets it like any other field. A lookup that finds nothing leaves
    // the field as it was.
    const QString browser = FDefaultBrowser ? FDefaultBrowser() : QString();
    if (!browser.isEmpty())
        edtBrowser->setText(browser);
}

void TdlgSettings::cmdOKClick()
{
    const TSettingsEntries entries = Entries();
    const QString refusal = SettingsEntriesRefusal(entries);
    if (!refusal.isEmpty()) {
        ask(this, refusal, MsgType::Warning, MsgButtons::OK);
        pgcSettings->setCurrentWidget(edtJavac->parentWidget());
        edtJavac->setFocus();
        return;
    }
    const TSettings settings = SettingsFromEntries(FSettings, entries);
    // The file is replaced whole or not at all; when it cannot be written the
    // dialog stays open with everything the user entered.
    if (!guarded(this, [&settings] { WriteSettingsFile(settings); }))
        return;
    FSettings = settings;
    accept();
}

} // namespace bp
