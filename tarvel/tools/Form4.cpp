#include "tools/Form4.h"

#include "build/BootDisk.h"
#include "build/RunCommands.h"
#include "core/OpenMsxMachineCheck.h"
#include "core/OpenMsxMachines.h"
#include "core/Paths.h"
#include "core/Process.h"
#include "core/TextFile.h"
#include "tools/EmulatorPresets.h"
#include "ui/Accessibility.h"
#include "ui/Dialogs.h"
#include "ui/MachineMarks.h"
#include "ui/Windows.h"

#include <QCheckBox>
#include <QComboBox>
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

    // The classic window's order and grouping at about its sizes; layouts keep the texts whole with any font.
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
    // Presets fill the two fields below; Custom leaves them as typed.
    QLabel* presetLabel = label(emulator, "lblPreset", QStringLiteral("Preset:"));
    m_preset = new QComboBox(emulator);
    m_preset->setObjectName(QStringLiteral("cboPreset"));
    m_preset->addItems(tarvel::EmulatorPresetNames());
    presetLabel->setBuddy(m_preset);
    QLabel* machineLabel = label(emulator, "lblMachine", QStringLiteral("openMSX machine:"));
    m_machine = new QComboBox(emulator);
    m_machine->setObjectName(QStringLiteral("cboMachine"));
    m_machine->setEditable(true);
    m_machine->setInsertPolicy(QComboBox::NoInsert);
    m_machine->setMinimumContentsLength(20);
    common::ShowMachineMarksInList(m_machine);
    machineLabel->setBuddy(m_machine);
    m_machineNote = label(emulator, "lblMachineNote", QString());
    m_machineNote->setWordWrap(true);
    m_machineNote->setTextFormat(Qt::PlainText);
    auto* presetRow = new QHBoxLayout;
    presetRow->addWidget(presetLabel);
    presetRow->addWidget(m_preset);
    presetRow->addSpacing(12);
    presetRow->addWidget(machineLabel);
    presetRow->addWidget(m_machine, 1);
    QLabel* emulatorLabel = label(emulator, "Label1", QStringLiteral("Emulator's path:"));
    m_emulator = field(emulator, "Text1", true, emulatorLabel);
    QPushButton* browseEmulator = button(emulator, "Command3", QStringLiteral("Browse"), {65, 25});
    QLabel* commandLabel = label(emulator, "Label2", QStringLiteral("Command line"));
    m_commandLine = field(emulator, "Text2", false, commandLabel);
    auto* emulatorColumn = new QVBoxLayout(emulator);
    emulatorColumn->setSpacing(2);
    emulatorColumn->addLayout(presetRow);
    emulatorColumn->addWidget(m_machineNote);
    emulatorColumn->addSpacing(4);
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
    m_bootDisk = label(other, "lblBootDisk", QString());
    m_bootDisk->setWordWrap(true);
    m_bootDisk->setTextFormat(Qt::PlainText);
    otherColumn->addWidget(m_bootDisk);

    m_register = check("Check1", QStringLiteral("Register .tpj extension with Tarvel"), m_settings.RegisterTpj);
    m_autoSave = check("Check2", QStringLiteral("Auto-save when changing files"), m_settings.AutoSave);
    m_noChooser = check("Check3", QStringLiteral("Don't open the new project dialog at startup"),
                        !m_settings.ShowNewProjectDialog);
    m_tooltip = check("Chktooltip", QStringLiteral("Use function auto-tooltip"), m_settings.AutoTooltip);
    m_reopen = check("chkReopen", QStringLiteral("Reopen the last project at start"), false);

    // Enter answers Ok; Esc and the close box answer Cancel.
    QPushButton* ok = button(this, "Command1", QStringLiteral("Ok"), {81, 33});
    ok->setDefault(true);
    QPushButton* cancel = button(this, "Command2", QStringLiteral("Cancel"), {81, 33});

    auto* checks = new QVBoxLayout;
    checks->setSpacing(0);
    for (QCheckBox* box : {m_register, m_autoSave, m_noChooser, m_tooltip, m_reopen})
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
    describeBootDisk();
    showDetectedPreset();
    // Only the user's own choices fill fields; showing the stored settings changes none.
    connect(m_preset, &QComboBox::activated, this, &Form4::cboPreset_Click);
    connect(m_machine, &QComboBox::currentTextChanged, this, &Form4::cboMachine_Change);
    connect(m_commandLine, &QLineEdit::textEdited, this, &Form4::showDetectedPreset);
    common::CenterForm(mainWindow, this);
    common::NameControlsForAccessibility(this);
}

void Form4::showTypeRegisteredWithKit()
{
    m_register->setText(QStringLiteral("The .tpj extension is registered with Tarvel by its installation"));
    m_register->setChecked(true);
    m_register->setEnabled(false);
    m_registeredWithKit = true;
}

Form4::~Form4()
{
    // The fields may still signal while the window is taken down; nothing here listens then.
    for (QObject* field : std::initializer_list<QObject*>{m_machine, m_commandLine, m_preset})
        field->disconnect(this);
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
    // The switch shown for an installed registration leaves the user's own choice as it was.
    stored.RegisterTpj = m_registeredWithKit ? m_settings.RegisterTpj : m_register->isChecked();
    stored.AutoSave = m_autoSave->isChecked();
    stored.ShowNewProjectDialog = !m_noChooser->isChecked();
    stored.AutoTooltip = m_tooltip->isChecked();
    stored.EmulatorPath = m_emulator->text();
    stored.EmulatorCommandLine = m_commandLine->text();
    stored.DiskImagePath = m_diskImage->text();
    m_accepted = stored;
    accept();
}

void Form4::setReopenLastProject(bool on)
{
    m_reopen->setChecked(on);
}

bool Form4::reopenLastProject() const
{
    return m_reopen->isChecked();
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
    if (!chosen.isEmpty()) {
        m_emulator->setText(chosen);
        showDetectedPreset();
    }
}

void Form4::showDetectedPreset()
{
    const tarvel::EmulatorPreset preset = tarvel::DetectEmulatorPreset(m_emulator->text(), m_commandLine->text());
    const bool openMsx = preset == tarvel::EmulatorPreset::OpenMsx;
    m_filling = true;
    m_preset->setCurrentIndex(int(preset));
    if (openMsx) {
        listMachines();
        setMachineText(tarvel::OpenMsxMachineOf(m_commandLine->text()));
    }
    m_filling = false;
    m_machine->setEnabled(openMsx);
    describeMachine(openMsx ? m_machine->currentText() : QString());
}

void Form4::setMachineText(const QString& machine)
{
    // A listed machine is chosen as an item, so the arrow keys go on from it.
    const int index = m_machine->findText(machine);
    if (machine.isEmpty())
        m_machine->setCurrentIndex(-1);
    else if (index >= 0)
        m_machine->setCurrentIndex(index);
    else
        m_machine->setEditText(machine);
}

QString Form4::openMsxProgram() const
{
    if (tarvel::ProgramNamed(m_emulator->text(), QStringLiteral("openmsx")))
        return m_emulator->text();
    return common::FindOnPath(tarvel::PresetProgramNames(tarvel::EmulatorPreset::OpenMsx));
}

void Form4::listMachines()
{
    const QString program = openMsxProgram();
    if (!m_checker || m_checker->program() != program) {
        m_checker = std::make_unique<common::OpenMsxMachineChecker>(program, tarvel::MachineCheckCachePath(m_appDir));
        connect(m_checker.get(), &common::OpenMsxMachineChecker::machineChecked, this, &Form4::machinesChecked);
        connect(m_checker.get(), &common::OpenMsxMachineChecker::allChecked, this, &Form4::machinesChecked);
        m_checker->start();
    }
    m_machineFolders = m_checker->machineFolders();
    const QString kept = m_machine->currentText();
    const bool filling = m_filling;
    m_filling = true;
    m_machine->clear();
    m_machine->addItems(m_checker->machines());
    common::MarkMachineItems(m_machine, *m_checker);
    setMachineText(kept);
    m_filling = filling;
}

void Form4::machinesChecked()
{
    common::MarkMachineItems(m_machine, *m_checker);
    if (!m_checker->done())
        return;
    if (m_waitForDefault && m_preset->currentIndex() == int(tarvel::EmulatorPreset::OpenMsx)
        && m_machine->currentText().trimmed().isEmpty()) {
        const QString machine = m_checker->firstStartingDiskMachine();
        if (!machine.isEmpty())
            setMachineText(machine); // cboMachine_Change fills the command line
    }
    m_waitForDefault = false;
    describeMachine(m_machine->isEnabled() ? m_machine->currentText().trimmed() : QString());
}

void Form4::describeMachine(const QString& machine)
{
    QStringList notes;
    if (!m_presetNote.isEmpty())
        notes << m_presetNote;
    if (!machine.isEmpty()) {
        const QString file = common::OpenMsxMachineFile(m_machineFolders, machine);
        const common::Result<QByteArray> xml =
            file.isEmpty() ? common::Result<QByteArray>::failure(QString()) : common::ReadFileBytes(file);
        const common::MachineCheck check = m_checker ? m_checker->check(machine) : common::MachineCheck();
        if (file.isEmpty() && m_machine->count() > 0) {
            notes << QStringLiteral("openMSX has no machine named %1.").arg(machine);
        } else if (xml && !common::MachineHasDiskDrive(xml.value()).value_or(true)) {
            notes << QStringLiteral("%1 has no disk drive: Compile and Run puts the program on a disk in drive A, "
                                    "so choose a machine with a disk drive.")
                         .arg(machine);
        }
        if (check.start == common::MachineCheck::Start::DoesNotStart)
            notes << QStringLiteral("%1 does not start: %2").arg(machine, check.reason);
    }
    if (m_machine->isEnabled() && m_checker) {
        const QString advice = common::OpenMsxMachineAdvice(*m_checker);
        if (!advice.isEmpty())
            notes << advice;
    }
    const QString note = notes.join(QLatin1Char('\n'));
    m_machineNote->setText(note);
    m_machineNote->setVisible(!note.isEmpty());
}

void Form4::describeBootDisk()
{
    const QString folder = m_diskImage->text();
    const tarvel::BootDisk disk = tarvel::ReadBootDisk(folder);
    QString text;
    if (!disk.present)
        text = QStringLiteral("No boot disk: the MSX will start Disk BASIC, not the program. Put a 720 KB MSX-DOS "
                              "disk you own here as boot.dsk.");
    else if (!disk.usable())
        text = QStringLiteral("The boot disk boot.dsk cannot be used: %1.").arg(disk.problem);
    else
        text = QStringLiteral("Boot disk: boot.dsk with %1.").arg(disk.systemFiles.join(QStringLiteral(" and ")));
    m_bootDisk->setText(text);
}

void Form4::cboPreset_Click(int index)
{
    const auto preset = tarvel::EmulatorPreset(index);
    m_presetNote.clear();
    m_waitForDefault = false;
    if (preset == tarvel::EmulatorPreset::Custom) {
        m_machine->setEnabled(false);
        describeMachine(QString());
        return;
    }
    const QString name = tarvel::PresetProgramNames(preset).value(0);
    if (!tarvel::ProgramNamed(m_emulator->text(), name)) {
        // Another emulator's program never stays with this preset's command line.
        const QString found = common::FindOnPath(tarvel::PresetProgramNames(preset));
        m_emulator->setText(found);
        if (found.isEmpty())
            m_presetNote = tarvel::PresetProgramMissingText(preset);
    }
    if (preset == tarvel::EmulatorPreset::Fmsx) {
        m_commandLine->setText(tarvel::FmsxCommandLine());
        m_machine->setEnabled(false);
        describeMachine(QString());
        return;
    }
    m_filling = true;
    listMachines();
    if (m_machine->currentText().isEmpty()) {
        // The first machine that starts and has a disk drive; the checks may still be running.
        setMachineText(m_checker->firstStartingDiskMachine());
        m_waitForDefault = !m_checker->done();
    }
    m_filling = false;
    m_machine->setEnabled(true);
    m_commandLine->setText(tarvel::OpenMsxCommandLine(m_machine->currentText().trimmed()));
    describeMachine(m_machine->currentText().trimmed());
}

void Form4::cboMachine_Change(const QString& machine)
{
    if (m_filling || m_preset->currentIndex() != int(tarvel::EmulatorPreset::OpenMsx))
        return;
    m_commandLine->setText(tarvel::OpenMsxCommandLine(machine.trimmed()));
    describeMachine(machine.trimmed());
}

void Form4::Command4_Click()
{
    const QString folder = common::BrowseForFolder(m_dialogs, this, QStringLiteral("Select Disk Image location"));
    if (folder.isEmpty())
        return;
    if (tarvel::DiskImageFolderInProject(folder, m_projectDir)) {
        m_dialogs.message(this,
                          QStringLiteral("The disk image cannot be made in the project folder or a folder inside it:\n%1\n\n"
                                         "Compile and Run puts the project folder on that disk. Choose a folder outside %2.")
                              .arg(folder, m_projectDir),
                          QStringLiteral("Preferences"), common::Dialogs::Icon::Exclamation, common::Dialogs::Buttons::Ok);
        return;
    }
    m_diskImage->setText(common::AddBackslash(folder));
    describeBootDisk();
}
