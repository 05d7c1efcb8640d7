#include "CommandLineView.h"

#include "launcher/EmulatorCommand.h"
#include "launcher/ExecuteScript.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace lumivo {

CommandLineView::CommandLineView(const char* labelName, QWidget* parent) : QWidget(parent)
{
    auto* label = new QLabel(QStringLiteral("Command line"), this);
    label->setObjectName(QLatin1String(labelName));
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("Text3"));
    m_text->setReadOnly(true);
    m_text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_text->setFixedHeight(3 * fontMetrics().lineSpacing() + 12);
    label->setBuddy(m_text);
    m_copy = new QPushButton(QStringLiteral("Copy"), this);
    m_copy->setObjectName(QStringLiteral("Command2"));
    m_copy->setAccessibleName(QStringLiteral("Copy the command line"));
    connect(m_copy, &QPushButton::clicked, this, [this] { QGuiApplication::clipboard()->setText(text()); });

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label, 0, 0, 1, 2);
    layout->addWidget(m_text, 1, 0);
    layout->addWidget(m_copy, 1, 1, Qt::AlignTop);
    layout->setColumnStretch(0, 1);
}

void CommandLineView::display(const CommandOutcome& outcome)
{
    const bool runs = outcome.problem == RunProblem::None;
    m_text->setPlainText(runs ? RenderCommandLine(outcome.command) : ProblemText(outcome));
    // A reason is no command to copy.
    m_copy->setEnabled(runs);
}

QString CommandLineView::text() const
{
    return m_text->toPlainText();
}

} // namespace lumivo
