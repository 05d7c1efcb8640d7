#include "tools/SetupCheckWindow.h"

#include "build/RunCommands.h"
#include "build/SetupCheck.h"
#include "core/OpenMsxMachineCheck.h"
#include "tools/EmulatorPresets.h"
#include "ui/Accessibility.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

SetupCheckWindow::SetupCheckWindow(const QString& kitDir, const QString& userDataDir,
                                   const tarvel::ConfigSettings& settings, const QString& projectDir, QWidget* parent)
    : QDialog(parent), m_kitDir(kitDir), m_userDataDir(userDataDir)
{
    setObjectName(QStringLiteral("frmCheckSetup"));
    setWindowTitle(QStringLiteral("Check Setup"));
    m_rows = new QTreeWidget(this);
    m_rows->setObjectName(QStringLiteral("lstSetup"));
    m_rows->setRootIsDecorated(false);
    m_rows->setWordWrap(true);
    m_rows->setHeaderLabels({QStringLiteral("Needed"), QStringLiteral("Ready"), QStringLiteral("State"),
                             QStringLiteral("What to do")});
    m_rows->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_rows->setMinimumSize(720, 260);

    auto* again = new QPushButton(QStringLiteral("Check Again"), this);
    again->setObjectName(QStringLiteral("cmdCheckAgain"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(again);
    buttons->addWidget(close);
    auto* column = new QVBoxLayout(this);
    column->addWidget(m_rows, 1);
    column->addLayout(buttons);
    connect(again, &QPushButton::clicked, this, [this] { recheck(m_settings, m_projectDir); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    common::NameControlsForAccessibility(this);
    recheck(settings, projectDir);
}

SetupCheckWindow::~SetupCheckWindow() = default;

void SetupCheckWindow::recheck(const tarvel::ConfigSettings& settings, const QString& projectDir)
{
    m_settings = settings;
    m_projectDir = projectDir;
    m_checker.reset();
    m_machine.clear();
    if (tarvel::ProgramNamed(settings.EmulatorPath, QStringLiteral("openmsx"))) {
        m_machine = tarvel::OpenMsxMachineOf(settings.EmulatorCommandLine);
        // The program the build starts; its machine is checked as the preset lists them.
        m_checker = std::make_unique<common::OpenMsxMachineChecker>(tarvel::FindEmulatorProgram(settings.EmulatorPath),
                                                                    tarvel::MachineCheckCachePath(m_userDataDir));
        connect(m_checker.get(), &common::OpenMsxMachineChecker::allChecked, this, &SetupCheckWindow::showRows);
        if (!m_machine.isEmpty())
            m_checker->start({m_machine});
    }
    showRows();
}

void SetupCheckWindow::showRows()
{
    std::optional<tarvel::ChosenMachine> machine;
    if (m_checker) {
        machine = tarvel::ChosenMachine{m_machine, m_checker->check(m_machine)};
        if (!m_machine.isEmpty() && !m_checker->machines().contains(m_machine)) {
            machine->check.start = common::MachineCheck::Start::DoesNotStart;
            machine->check.reason = QStringLiteral("openMSX has no machine by that name");
        }
    }
    const QList<tarvel::SetupRow> rows = tarvel::CheckSetup(m_kitDir, m_userDataDir, m_settings, m_projectDir, machine);
    m_rows->clear();
    for (const tarvel::SetupRow& row : rows) {
        auto* item = new QTreeWidgetItem(m_rows, {row.item, row.ready ? QStringLiteral("yes") : QStringLiteral("no"),
                                                  row.state, row.action});
        for (int column = 0; column < 4; ++column)
            item->setToolTip(column, item->text(column));
    }
}
