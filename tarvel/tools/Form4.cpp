#include "tools/Form4.h"

#include "core/Paths.h"
#include "ui/Accessibility.h"
#include "ui/Dialogs.h"
#include "ui/Windows.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using common::Dialogs;

Form4::Form4(const tarvel::ConfigSettings& settings, const QString& applicationDirectory, Dialogs& dialogs,
             QWidget* mainWindow)
    : QDialog(mainWindow), m_settings(settings), m_appDir(applicationDirectory), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Preferences"));
    setFixedSize(430, 316);

    const auto frame = [this](const char* name, const QString& caption, const QRect& place) {
        auto* f = new QGroupBox(caption, this);
        f->setObjectName(QString::fromLatin1(name));
        f->setGeometry(place);
        return f;
    };
    const auto label = [](QWidget* parent, const char* name, const QString& caption, const QRect& place) {
        auto* l = new QLabel(caption, parent);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(place);
        return l;
    };
    const auto field = [](QWidget* parent, const char* name, const QRect& place, bool readOnly, QLabel* buddy) {
        auto* f = new QLineEdit(parent);
        f->setObjectName(QString::fromLatin1(name));
        f->setGeometry(place);
        f->setReadOnly(readOnly);
        buddy->setBuddy(f);
        return f;
    };
    const auto button = [](QWidget* parent, const char* name, const QString& caption, const QRect& place) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(place);
        return b;
    };
    const auto check = [this](const char* name, const QString& caption, const QRect& place, bool checked) {
        auto* c = new QCheckBox(caption, this);
        c->setObjectName(QString::fromLatin1(name));
        c->setGeometry(place);
        c->setChecked(checked);
        return c;
    };

    QGroupBox* emulator = frame("Frame1", QStringLiteral(" Emulator "), {8, 0, 417, 145});
    m_emulator = field(emulator, "Text1", {16, 40, 393, 19}, true,
                       label(emulator, "Label1", QStringLiteral("Emulator's path:"), {16, 24, 81, 17}));
    QPushButton* browseEmulator = button(emulator, "Command3", QStringLiteral("Browse"), {344, 64, 65, 25});
    m_commandLine = field(emulator, "Text2", {16, 112, 393, 19}, false,
                          label(emulator, "Label2", QStringLiteral("Command line"), {16, 96, 393, 17}));

    QGroupBox* other = frame("Frame2", QStringLiteral("Other"), {8, 152, 417, 89});
    m_diskImage = field(other, "Text3", {16, 32, 393, 19}, true,
                        label(other, "Label3", QStringLiteral("Disk image location"), {16, 16, 241, 17}));
    QPushButton* browseDisk = button(other, "Command4", QStringLiteral("Browse"), {344, 56, 65, 25});

    m_register = check("Check1", QStringLiteral("Register .tpj extension with Tarvel"), {8, 248, 217, 17},
                       m_settings.RegisterTpj);
    m_autoSave = check("Check2", QStringLiteral("Auto-save when changing files"), {8, 263, 217, 17},
                       m_settings.AutoSave);
    m_noChooser = check("Check3", QStringLiteral("Don't open the new project dialog at startup"), {8, 280, 233, 13},
                        !m_settings.ShowNewProjectDialog);
    m_tooltip = check("Chktooltip", QStringLiteral("Use function auto-tooltip"), {8, 296, 233, 13},
                      m_settings.AutoTooltip);

    // Enter answers Ok; Esc and the close box answer Cancel.
    QPushButton* ok = button(this, "Command1", QStringLiteral("Ok"), {256, 280, 81, 33});
    ok->setDefault(true);
    QPushButton* cancel = button(this, "Command2", QStringLiteral("Cancel"), {344, 280, 81, 33});

    connect(ok, &QPushButton::clicked, this, &Form4::Command1_Click);
    connect(cancel, &QPushButton::clicked, this, &Form4::Command2_Click);
    connect(browseEmulator, &QPushButton::clicked, this, &Form4::Command3_Click);
    connect(browseDisk, &QPushButton::clicked, this, &Form4::Command4_Click);

    // Load.
    m_emulator->setText(m_settings.EmulatorPath);
    m_commandLine->setText(m_settings.EmulatorCommandLine);
    m_diskImage->setText(m_settings.DiskImagePath);
    common::CenterForm(mainWindow, this);
    common::NameControlsForAccessibility(this);
}

void Form4::Command1_Click()
{
    tarvel::ConfigSettings defaults;
    tarvel::SetDefaultSettings(defaults, m_appDir);
    if (m_commandLine->text().isEmpty())
        m_commandLine->setText(defaults.EmulatorCommandLine);
    if (m_diskImage->text().isEmpty())
        m_diskImage->setText(defaults.DiskImagePath);

    tarvel::ConfigSettings stored = m_settings;
    stored.RegisterTpj = m_register->isChecked();
    stored.AutoSave = m_autoSave->isChecked();
    stored.ShowNewProjectDialog = !m_noChooser->isChecked();
    stored.AutoTooltip = m_tooltip->isChecked();
    stored.EmulatorPath = m_emulator->text();
    stored.EmulatorCommandLine = m_commandLine->text();
    stored.DiskImagePath = m_diskImage->text();
    m_accepted = stored;
    accept();
}

void Form4::Command2_Click()
{
    reject();
}

void Form4::Command3_Click()
{
    // Emulators on this system are programs with the executable bit, whatever their names;
    // Windows programs stay a second choice.
    const QList<Dialogs::Filter> filters{
        {QStringLiteral("Programs"), {}, true},
        {QStringLiteral("Windows programs"), {QStringLiteral("*.exe")}},
    };
    const QString chosen = m_dialogs.openFile(this, QStringLiteral("Selectr emulator"), QString(), filters).trimmed();
    if (!chosen.isEmpty())
        m_emulator->setText(chosen);
}

void Form4::Command4_Click()
{
    const QString folder = common::BrowseForFolder(m_dialogs, this, QStringLiteral("Select Disk Image location"));
    if (!folder.isEmpty())
        m_diskImage->setText(common::AddBackslash(folder));
}
