#include "shell/GoToLineDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

GoToLineDialog::GoToLineDialog(int lineCount, int currentLine, QWidget* parent)
    : QDialog(parent), m_lineCount(qMax(1, lineCount))
{
    setObjectName(QStringLiteral("GoToLineDialog"));
    setWindowTitle(tr("Go to Line"));
    auto* label = new QLabel(tr("&Line number (1 - %1):").arg(m_lineCount), this);
    m_number = new QLineEdit(QString::number(qBound(1, currentLine, m_lineCount)), this);
    m_number->setObjectName(QStringLiteral("lineNumber"));
    m_number->setAccessibleName(tr("Line number"));
    // Digits only; nine of them keep the number inside an int.
    m_number->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), m_number));
    m_number->selectAll();
    label->setBuddy(m_number);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_number, &QLineEdit::textChanged, this, [this, buttons](const QString& text) {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!text.isEmpty());
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_number);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

int GoToLineDialog::line() const
{
    return qBound(1, m_number->text().toInt(), m_lineCount);
}
