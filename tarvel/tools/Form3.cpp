#include "tools/Form3.h"

#include "projects/ProjectFile.h"
#include "tools/ProjectProperties.h"
#include "ui/Accessibility.h"
#include "ui/Dialogs.h"
#include "ui/Windows.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Form3::Form3(const tarvel::ProjectInfo& project, common::Dialogs& dialogs, QWidget* mainWindow)
    : QDialog(mainWindow), m_project(project), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Project properties"));

    // The classic window's places at about their sizes; a layout keeps the texts whole with any font.
    const auto label = [this](const char* name, const QString& caption) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    const auto field = [this](const char* name, QLabel* buddy) {
        auto* f = new QLineEdit(this);
        f->setObjectName(QString::fromLatin1(name));
        f->installEventFilter(this);
        buddy->setBuddy(f);
        return f;
    };
    QLabel* nameLabel = label("Label1", QStringLiteral("Project name:"));
    QLabel* startLabel = label("Label3", QStringLiteral("Proigram Start Address: (Min:  2E9B)"));
    QLabel* endLabel = label("Label4", QStringLiteral("Program End Address: (Max: F93C)"));
    m_name = field("Text1", nameLabel);
    m_start = field("Text3", startLabel);
    m_end = field("Text4", endLabel);
    m_start->setMaxLength(4);
    m_end->setMaxLength(4);
    m_start->setFixedWidth(129);
    m_end->setFixedWidth(129);

    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setMinimumSize(89, 33);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    cancel->setMinimumSize(89, 33);
    connect(ok, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(cancel, &QPushButton::clicked, this, &Form3::Command2_Click);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setVerticalSpacing(4);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(m_name, 0, 1, 1, 2);
    grid->addWidget(startLabel, 1, 0, 1, 2);
    grid->addWidget(m_start, 1, 2);
    grid->addWidget(endLabel, 2, 0, 1, 2);
    grid->addWidget(m_end, 2, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    m_name->setMinimumWidth(249);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    // Load.
    common::CenterForm(mainWindow, this);
    m_name->setText(m_project.ProjectName);
    m_start->setText(tarvel::FormatAddress(m_project.StartAddress));
    m_end->setText(tarvel::FormatAddress(m_project.EndAddress));
    common::NameControlsForAccessibility(this);
}

bool Form3::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_name && m_name->text().isEmpty())
            m_name->setText(tarvel::UnnamedProject);
        else if (watched == m_start || watched == m_end) {
            auto* field = static_cast<QLineEdit*>(watched);
            field->setText(tarvel::PadAddressText(field->text()));
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Form3::Command1_Click()
{
    const tarvel::ProjectPropertiesOutcome outcome =
        tarvel::AcceptProjectProperties(m_project, {m_name->text(), m_start->text(), m_end->text()});
    m_start->setText(outcome.startText);
    m_end->setText(outcome.endText);
    if (!outcome.refusal.isEmpty()) {
        // The window stays open for a correction.
        m_dialogs.message(this, outcome.refusal, windowTitle(), common::Dialogs::Icon::Exclamation,
                          common::Dialogs::Buttons::Ok);
        QLineEdit* wrong = tarvel::ReadHexAddress(outcome.startText) > tarvel::MaxEndAddress ? m_start : m_end;
        wrong->setFocus();
        wrong->selectAll();
        return;
    }
    m_accepted = outcome.info;
    accept();
}

void Form3::Command2_Click()
{
    reject();
}
