#pragma once

#include "editor/ProjectSearch.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// The modeless "Find in Project Files" window: what to look for, the options, and the lines
// found (file, line, text). It holds no search logic: Find raises searchRequested, the main
// window searches and hands back the results; Enter or a double click on a line raises
// hitActivated.
class FindInFilesDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindInFilesDialog(QWidget* parent = nullptr);

    void setFindText(const QString& text);
    void showResults(const tarvel::SearchResults& results);

signals:
    void searchRequested(const tarvel::SearchRequest& request);
    void hitActivated(const tarvel::SearchHit& hit);

private:
    void requestSearch();

    QLineEdit* m_findWhat = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QPushButton* m_find = nullptr;
    QTreeWidget* m_results = nullptr;
    QLabel* m_summary = nullptr;
    QList<tarvel::SearchHit> m_hits;
};
