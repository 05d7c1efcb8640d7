#include "tools/Form3.h"

#include "projects/ProjectFile.h"
#include "tools/ProjectProperties.h"
#include "ui/Accessibility.h"
#include "ui/Windows.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Form3::Form3(const tarvel::ProjectInfo& project, QWidget* mainWindow) : QDialog(mainWindow), m_project(project)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Project properties"));
    setFixedSize(339, 128);

    const auto label = [this](const char* name, const QString& caption, const QRect& place) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(place);
        return l;
    };
    const auto field = [this](const char* name, const QRect& place, QLabel* buddy) {
        auto* f = new QLineEdit(this);
        f->setObjectName(QString::fromLatin1(name));
        f->setGeometry(place);
        f->installEventFilter(this);
        buddy->setBuddy(f);
        return f;
    };
    QLabel* nameLabel = label("Label1", QStringLiteral("Project name:"), {8, 10, 73, 17});
    QLabel* startLabel = label("Label3", QStringLiteral("Proigram Start Address: (Min:  2E9B)"), {8, 32, 321, 17});
    QLabel* endLabel = label("Label4", QStringLiteral("Program End Address: (Max: F93C)"), {8, 56, 321, 17});
    m_name = field("Text1", {80, 8, 249, 19}, nameLabel);
    m_start = field("Text3", {200, 32, 129, 19}, startLabel);
    m_end = field("Text4", {200, 56, 129, 19}, endLabel);
    m_start->setMaxLength(4);
    m_end->setMaxLength(4);

    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setGeometry(144, 88, 89, 33);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    cancel->setGeometry(240, 88, 89, 33);
    connect(ok, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(cancel, &QPushButton::clicked, this, &Form3::Command2_Click);

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
    m_accepted = outcome.info;
    accept();
}

void Form3::Command2_Click()
{
    reject();
}
