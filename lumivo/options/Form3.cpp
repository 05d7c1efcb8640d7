#include "Form3.h"

#include "CommandLineView.h"
#include "launcher/EmulatorCommand.h"
#include "launcher/OpenMsxCommand.h"
#include "launcher/OpenMsxSettings.h"

#include "core/OpenMsxMachineCheck.h"
#include "core/OpenMsxMachines.h"
#include "ui/Accessibility.h"
#include "ui/Dialogs.h"
#include "ui/MachineMarks.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumivo {

namespace {

constexpr int kTwipsPerPixel = 15;

} // namespace

Form3::Form3(common::Dialogs& dialogs, OpenMsxSettings& settings, const QString& loadProblem, QWidget* parent)
    : QWidget(parent, Qt::Window), m_dialogs(dialogs), m_settings(settings), m_loadProblem(loadProblem)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("openMSX Setup"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    common::NameControlsForAccessibility(this);
    m_text1->setText(m_settings.Program);
    m_text2->setText(m_settings.Arguments);
    fillMachines();
}

Form3::~Form3()
{
    // Closing the window takes the focus from the program field, whose editingFinished would
    // otherwise list the machines again in a window half gone.
    m_text1->disconnect(this);
}

QString Form3::defaultMachineItem()
{
    return QStringLiteral("(openMSX default)");
}

void Form3::buildControls()
{
    auto* label2 = new QLabel(QStringLiteral("openMSX program"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setPlaceholderText(QStringLiteral("openmsx, found on the PATH"));
    label2->setBuddy(m_text1);
    auto* command1 = new QPushButton(QStringLiteral("Browse..."), this);
    command1->setObjectName(QStringLiteral("Command1"));
    command1->setAccessibleName(QStringLiteral("Choose the openMSX program"));

    auto* label3 = new QLabel(QStringLiteral("Machine"), this);
    label3->setObjectName(QStringLiteral("Label3"));
    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    common::ShowMachineMarksInList(m_combo1);
    label3->setBuddy(m_combo1);

    auto* label4 = new QLabel(QStringLiteral("Extra arguments"), this);
    label4->setObjectName(QStringLiteral("Label4"));
    m_text2 = new QLineEdit(this);
    m_text2->setObjectName(QStringLiteral("Text2"));
    m_text2->setPlaceholderText(QStringLiteral("for example -ext debugdevice"));
    label4->setBuddy(m_text2);

    m_commandLine = new CommandLineView("Label5", this);
    m_label1 = new QLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setWordWrap(true);
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label1->setMinimumHeight(3 * fontMetrics().height());

    auto* grid = new QGridLayout;
    grid->addWidget(label2, 0, 0);
    grid->addWidget(m_text1, 0, 1);
    grid->addWidget(command1, 0, 2);
    grid->addWidget(label3, 1, 0);
    grid->addWidget(m_combo1, 1, 1, 1, 2);
    grid->addWidget(label4, 2, 0);
    grid->addWidget(m_text2, 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_commandLine);
    layout->addWidget(m_label1, 1);
    resize(6600 / kTwipsPerPixel, 3600 / kTwipsPerPixel);

    connect(m_text1, &QLineEdit::textEdited, this, &Form3::Text1_Edited);
    // Another program may know other machines.
    connect(m_text1, &QLineEdit::editingFinished, this, &Form3::fillMachines);
    connect(command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(m_combo1, &QComboBox::activated, this, &Form3::Combo1_Click);
    connect(m_text2, &QLineEdit::textEdited, this, &Form3::Text2_Edited);
}

void Form3::setCommandSource(std::function<CommandOutcome()> command, std::function<QString()> program)
{
    m_command = std::move(command);
    m_program = std::move(program);
    fillMachines();
}

void Form3::setSaver(std::function<common::Status(const OpenMsxSettings&)> saver)
{
    m_saver = std::move(saver);
}

void Form3::fillMachines()
{
    const QString program = m_program ? m_program() : QString();
    // Checked in the background: the window is shown at once and marks the machines as answers come.
    if (m_program && (!m_checker || m_checker->program() != program)) {
        m_checker = std::make_unique<common::OpenMsxMachineChecker>(program, m_machineCache);
        connect(m_checker.get(), &common::OpenMsxMachineChecker::machineChecked, this, &Form3::showMachineChecks);
        connect(m_checker.get(), &common::OpenMsxMachineChecker::allChecked, this, &Form3::showMachineChecks);
        m_checker->start();
    }
    const QStringList machines =
        m_checker ? m_checker->machines() : common::ListOpenMsxMachines(common::OpenMsxMachineFolders(program));
    m_combo1->clear();
    m_combo1->addItem(defaultMachineItem(), QString());
    for (const QString& machine : machines)
        m_combo1->addItem(machine, machine);
    const bool missing = !m_settings.Machine.isEmpty() && !machines.contains(m_settings.Machine);
    // A machine openMSX no longer has stays chosen and visible, so the user sees what to change.
    if (missing)
        m_combo1->addItem(QStringLiteral("%1 (not found)").arg(m_settings.Machine), m_settings.Machine);
    m_combo1->setCurrentIndex(qMax(0, m_combo1->findData(m_settings.Machine)));

    QStringList notes;
    if (!m_loadProblem.isEmpty())
        notes << QStringLiteral("The openMSX settings could not be read (%1) The defaults are shown; the file "
                                "is kept until you change something here.")
                     .arg(m_loadProblem);
    if (m_program && program.isEmpty())
        notes << QStringLiteral("openMSX was not found: install it (Debian package openmsx) or choose its program.");
    if (missing && !machines.isEmpty())
        notes << QStringLiteral("openMSX has no machine \"%1\": choose another one.").arg(m_settings.Machine);
    m_notes = notes.join(QLatin1Char('\n'));
    showMachineChecks();
    refreshCommandLine();
}

void Form3::showMachineChecks()
{
    QStringList notes;
    if (!m_notes.isEmpty())
        notes << m_notes;
    if (m_checker) {
        common::MarkMachineItems(m_combo1, *m_checker);
        const QString machine = m_settings.Machine;
        const common::MachineCheck check = m_checker->check(machine);
        if (!machine.isEmpty() && check.start == common::MachineCheck::Start::DoesNotStart)
            notes << QStringLiteral("%1 does not start: %2").arg(machine, check.reason);
        const QString advice = common::OpenMsxMachineAdvice(*m_checker);
        if (!advice.isEmpty())
            notes << advice;
    }
    m_label1->setText(notes.join(QLatin1Char('\n')));
}

void Form3::refreshCommandLine()
{
    if (m_command)
        m_commandLine->display(m_command());
}

void Form3::changed()
{
    m_changed = true;
    refreshCommandLine();
}

void Form3::Text1_Edited(const QString& text)
{
    m_settings.Program = text.trimmed();
    changed();
}

void Form3::Command1_Click()
{
    const QString current = m_program ? m_program() : QString();
    const QString chosen = m_dialogs.openFile(this, QStringLiteral("Where's openMSX?"),
                                              current.isEmpty() ? QStringLiteral("/usr/bin") : QFileInfo(current).absolutePath(),
                                              {{QStringLiteral("All files"), {QStringLiteral("*")}}});
    if (chosen.isEmpty())
        return;
    m_text1->setText(chosen);
    m_settings.Program = chosen;
    changed();
    fillMachines();
}

void Form3::Combo1_Click(int index)
{
    m_settings.Machine = m_combo1->itemData(index).toString();
    changed();
    fillMachines();
}

void Form3::Text2_Edited(const QString& text)
{
    m_settings.Arguments = text;
    changed();
}

void Form3::closeEvent(QCloseEvent* event)
{
    if (m_changed && m_saver) {
        const common::Status saved = m_saver(m_settings);
        if (!saved) {
            const common::Dialogs::Answer answer = m_dialogs.message(
                this,
                QStringLiteral("The openMSX settings could not be saved.\n%1\n\nClose without saving them?").arg(saved.error()),
                QStringLiteral("Error"), common::Dialogs::Icon::Exclamation, common::Dialogs::Buttons::YesNo);
            if (answer != common::Dialogs::Answer::Yes) {
                event->ignore();
                return;
            }
        }
        m_changed = false;
    }
    event->accept();
}

} // namespace lumivo
