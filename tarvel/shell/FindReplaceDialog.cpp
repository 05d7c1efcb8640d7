#include "shell/FindReplaceDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FindReplaceDialog::FindReplaceDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FindReplaceDialog"));
    setModal(false);

    auto* findLabel = new QLabel(tr("Fi&nd what:"), this);
    m_findWhat = new QLineEdit(this);
    m_findWhat->setObjectName(QStringLiteral("findWhat"));
    m_findWhat->setAccessibleName(tr("Find what"));
    findLabel->setBuddy(m_findWhat);

    m_replaceLabel = new QLabel(tr("Re&place with:"), this);
    m_replaceWith = new QLineEdit(this);
    m_replaceWith->setObjectName(QStringLiteral("replaceWith"));
    m_replaceWith->setAccessibleName(tr("Replace with"));
    m_replaceLabel->setBuddy(m_replaceWith);

    m_matchCase = new QCheckBox(tr("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("matchCase"));
    m_matchCase->setAccessibleName(tr("Match case"));
    m_wholeWord = new QCheckBox(tr("&Whole word"), this);
    m_wholeWord->setObjectName(QStringLiteral("wholeWord"));
    m_wholeWord->setAccessibleName(tr("Whole word"));

    m_findNext = new QPushButton(tr("&Find Next"), this);
    m_findNext->setObjectName(QStringLiteral("findNext"));
    m_findNext->setAccessibleName(tr("Find Next"));
    m_findNext->setDefault(true);
    m_replace = new QPushButton(tr("&Replace"), this);
    m_replace->setObjectName(QStringLiteral("replace"));
    m_replace->setAccessibleName(tr("Replace"));
    m_replaceAll = new QPushButton(tr("Replace &All"), this);
    m_replaceAll->setObjectName(QStringLiteral("replaceAll"));
    m_replaceAll->setAccessibleName(tr("Replace All"));
    m_close = new QPushButton(tr("Close"), this);
    m_close->setObjectName(QStringLiteral("close"));
    m_close->setAccessibleName(tr("Close"));
    m_close->setAutoDefault(false);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setAccessibleName(tr("Search result"));
    m_status->hide();

    auto* fields = new QGridLayout;
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_findWhat, 0, 1);
    fields->addWidget(m_replaceLabel, 1, 0);
    fields->addWidget(m_replaceWith, 1, 1);
    fields->addWidget(m_matchCase, 2, 1);
    fields->addWidget(m_wholeWord, 3, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(m_replace);
    buttons->addWidget(m_replaceAll);
    buttons->addWidget(m_close);
    buttons->addStretch();

    auto* top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_status);

    // Keyboard order follows the layout: fields, options, then the buttons.
    setTabOrder(m_findWhat, m_replaceWith);
    setTabOrder(m_replaceWith, m_matchCase);
    setTabOrder(m_matchCase, m_wholeWord);
    setTabOrder(m_wholeWord, m_findNext);
    setTabOrder(m_findNext, m_replace);
    setTabOrder(m_replace, m_replaceAll);
    setTabOrder(m_replaceAll, m_close);

    connect(m_findNext, &QPushButton::clicked, this, &FindReplaceDialog::findNextRequested);
    connect(m_replace, &QPushButton::clicked, this, &FindReplaceDialog::replaceRequested);
    connect(m_replaceAll, &QPushButton::clicked, this, &FindReplaceDialog::replaceAllRequested);
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_findWhat, &QLineEdit::textChanged, this, [this] {
        setStatus(QString());
        updateButtons();
    });

    setReplaceMode(false);
    updateButtons();
}

void FindReplaceDialog::setReplaceMode(bool replace)
{
    m_replaceMode = replace;
    setWindowTitle(replace ? tr("Replace") : tr("Find"));
    m_replaceLabel->setVisible(replace);
    m_replaceWith->setVisible(replace);
    m_replace->setVisible(replace);
    m_replaceAll->setVisible(replace);
    adjustSize();
}

QString FindReplaceDialog::findText() const
{
    return m_findWhat->text();
}

void FindReplaceDialog::setFindText(const QString& text)
{
    m_findWhat->setText(text);
    m_findWhat->selectAll();
}

QString FindReplaceDialog::replaceText() const
{
    return m_replaceWith->text();
}

bool FindReplaceDialog::matchCase() const
{
    return m_matchCase->isChecked();
}

bool FindReplaceDialog::wholeWord() const
{
    return m_wholeWord->isChecked();
}

void FindReplaceDialog::setStatus(const QString& text)
{
    m_status->setText(text);
    m_status->setVisible(!text.isEmpty());
}

QString FindReplaceDialog::status() const
{
    return m_status->text();
}

void FindReplaceDialog::updateButtons()
{
    const bool haveText = !m_findWhat->text().isEmpty();
    m_findNext->setEnabled(haveText);
    m_replace->setEnabled(haveText);
    m_replaceAll->setEnabled(haveText);
}
