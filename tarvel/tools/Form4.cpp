#include "tools/Form4.h"

#include "core/Paths.h"
#include "ui/Accessibility.h"
#include "ui/Dialogs.h"
#include "ui/Windows.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using common::Dialogs;

Form4::Form4(const tarvel::ConfigSettings& settings, const QString& applicationDirectory, Dialogs& dialogs,
             QWidget* mainWindow)
    : QDialog(mainWindow), m_settings(settings), m_appDir(applicationDirectory), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Preferences"));

    // The spec's order and grouping at about its sizes; layouts keep the texts whole with any font.
    const auto frame = [this](const char* name, const QString& caption) {
        auto* f = new QGroupBox(caption, this);
        f->setObjectName(QString::fromLatin1(name));
        return f;
    };
    const auto label = [](QWidget* parent, const char* name, const QString& caption) {
        auto* l = new QLabel(caption, parent);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    const auto field = [](QWidget* parent, const char* name, bool readOnly, QLabel* buddy) {
        auto* f = new QLineEdit(parent);
        f->setObjectName(QString::fromLatin1(name));
        f->setReadOnly(readOnly);
        f->setMinimumWidth(393);
        buddy->setBuddy(f);
        return f;
    };
    const auto button = [](QWidget* parent, const char* name, const QString& caption, QSize size) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setMinimumSize(size);
        return b;
    };
    const auto check = [this](const char* name, const QString& caption, bool checked) {
        auto* c = new QCheckBox(caption, this);
        c->setObjectName(QString::fromLatin1(name));
        c->setChecked(checked);
        return c;
    };
    const auto rightAligned = [](QWidget* widget) {
        auto* row = new QHBoxLayout;
        row->addStretch(1);
        row->addWidget(widget);
        return row;
    };

    QGroupBox* emulator = frame("Frame1", QStringLiteral(" Emulator "));
    QLabel* emulatorLabel = label(emulator, "Label1", QStringLiteral("Emulator's path:"));
    m_emulator = field(emulator, "Text1", true, emulatorLabel);
    QPushButton* browseEmulator = button(emulator, "Command3", QStringLiteral("Browse"), {65, 25});
    QLabel* commandLabel = label(emulator, "Label2", QStringLiteral("Command line"));
    m_commandLine = field(emulator, "Text2", false, commandLabel);
    auto* emulatorColumn = new QVBoxLayout(emulator);
    emulatorColumn->setSpacing(2);
    emulatorColumn->addWidget(emulatorLabel);
    emulatorColumn->addWidget(m_emulator);
    emulatorColumn->addLayout(rightAligned(browseEmulator));
    emulatorColumn->addSpacing(6);
    emulatorColumn->addWidget(commandLabel);
    emulatorColumn->addWidget(m_commandLine);

    QGroupBox* other = frame("Frame2", QStringLiteral("Other"));
    QLabel* diskLabel = label(other, "Label3", QStringLiteral("Disk image location"));
    m_diskImage = field(other, "Text3", true, diskLabel);
    QPushButton* browseDisk = button(other, "Command4", QStringLiteral("Browse"), {65, 25});
    auto* otherColumn = new QVBoxLayout(other);
    otherColumn->setSpacing(2);
    otherColumn->addWidget(diskLabel);
    otherColumn->addWidget(m_diskImage);
    otherColumn->addLayout(rightAligned(browseDisk));

    m_register = check("Check1", QStringLiteral("Register .tpj extension with Tarvel"), m_settings.RegisterTpj);
    m_autoSave = check("Check2", QStringLiteral("Auto-save when changing files"), m_settings.AutoSave);
    m_noChooser = check("Check3", QStringLiteral("Don't open the new project dialog at startup"),
                        !m_settings.ShowNewProjectDialog);
    m_tooltip = check("Chktooltip", QStringLiteral("Use function auto-tooltip"), m_settings.AutoTooltip);

    // Enter answers Ok; Esc and the close box answer Cancel.
    QPushButton* ok = button(this, "Command1", QStringLiteral("Ok"), {81, 33});
    ok->setDefault(true);
    QPushButton* cancel = button(this, "Command2", QStringLiteral("Cancel"), {81, 33});

    auto* checks = new QVBoxLayout;
    checks->setSpacing(0);
    for (QCheckBox* box : {m_register, m_autoSave, m_noChooser, m_tooltip})
        checks->addWidget(box);
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(checks);
    bottom->addStretch(1);
    bottom->addWidget(ok, 0, Qt::AlignBottom);
    bottom->addWidget(cancel, 0, Qt::AlignBottom);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 4, 8, 4);
    column->addWidget(emulator);
    column->addWidget(other);
    column->addLayout(bottom);
    column->setSizeConstraint(QLayout::SetFixedSize);

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
