#include "editor/FindInFilesDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

FindInFilesDialog::FindInFilesDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FindInFilesDialog"));
    setWindowTitle(tr("Find in Project Files"));
    setModal(false);

    auto* label = new QLabel(tr("Fi&nd what:"), this);
    m_findWhat = new QLineEdit(this);
    m_findWhat->setObjectName(QStringLiteral("findWhat"));
    m_findWhat->setAccessibleName(tr("Find what"));
    label->setBuddy(m_findWhat);
    m_matchCase = new QCheckBox(tr("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("matchCase"));
    m_wholeWord = new QCheckBox(tr("&Whole word"), this);
    m_wholeWord->setObjectName(QStringLiteral("wholeWord"));
    // No default button: Enter in the result list shows a line, it does not search again.
    m_find = new QPushButton(tr("&Find"), this);
    m_find->setObjectName(QStringLiteral("find"));
    m_find->setAutoDefault(false);
    m_find->setEnabled(false);
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);

    m_results = new QTreeWidget(this);
    m_results->setObjectName(QStringLiteral("results"));
    m_results->setAccessibleName(tr("Lines found"));
    m_results->setHeaderLabels({tr("File"), tr("Line"), tr("Text")});
    m_results->setRootIsDecorated(false);
    m_results->setUniformRowHeights(true);
    m_results->header()->setStretchLastSection(true);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));

    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(m_findWhat, 1);
    top->addWidget(m_find);
    auto* options = new QHBoxLayout;
    options->addWidget(m_matchCase);
    options->addWidget(m_wholeWord);
    options->addStretch(1);
    options->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(options);
    layout->addWidget(m_results, 1);
    layout->addWidget(m_summary);
    resize(640, 360);

    connect(m_findWhat, &QLineEdit::textChanged, this, [this](const QString& text) { m_find->setEnabled(!text.isEmpty()); });
    connect(m_findWhat, &QLineEdit::returnPressed, this, &FindInFilesDialog::requestSearch);
    connect(m_find, &QPushButton::clicked, this, &FindInFilesDialog::requestSearch);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_results, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const int row = m_results->indexOfTopLevelItem(item);
        if (row >= 0 && row < m_hits.size())
            emit hitActivated(m_hits.at(row));
    });
}

void FindInFilesDialog::setFindText(const QString& text)
{
    m_findWhat->setText(text);
    m_findWhat->selectAll();
    m_findWhat->setFocus();
}

void FindInFilesDialog::requestSearch()
{
    if (m_findWhat->text().isEmpty())
        return;
    emit searchRequested(tarvel::SearchRequest{m_findWhat->text(), m_matchCase->isChecked(), m_wholeWord->isChecked()});
}

void FindInFilesDialog::showResults(const tarvel::SearchResults& results)
{
    m_hits = results.hits;
    m_results->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(m_hits.size());
    for (const tarvel::SearchHit& hit : m_hits)
        items << new QTreeWidgetItem({hit.file, QString::number(hit.line + 1), hit.lineText.trimmed()});
    m_results->addTopLevelItems(items);
    for (int column = 0; column < 2; ++column)
        m_results->resizeColumnToContents(column);
    QString summary = results.hits.isEmpty() ? tr("Nothing found.") : tr("%n line(s) found.", nullptr, int(results.hits.size()));
    if (results.cutShort)
        summary += tr(" Only the first %1 are listed.").arg(results.hits.size());
    if (!results.unreadable.isEmpty())
        summary += tr(" Could not read: %1").arg(results.unreadable.join(QStringLiteral(", ")));
    m_summary->setText(summary);
    if (!items.isEmpty()) {
        m_results->setCurrentItem(items.first());
        m_results->setFocus();
    }
}
