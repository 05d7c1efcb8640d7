#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The source editor's modeless find / replace dialog. It holds no search logic: its buttons
// raise signals that the editor answers, and the editor reports back through setStatus().
class FindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindReplaceDialog(QWidget* parent = nullptr);

    // Find mode hides the replacement controls; replace mode shows them.
    void setReplaceMode(bool replace);
    bool isReplaceMode() const { return m_replaceMode; }

    QString findText() const;
    void setFindText(const QString& text);
    QString replaceText() const;
    bool matchCase() const;
    bool wholeWord() const;

    // A line under the controls, such as "Cannot find ..." or "3 replaced."; "" hides it.
    void setStatus(const QString& text);
    QString status() const;

signals:
    void findNextRequested();
    void replaceRequested();
    void replaceAllRequested();

private:
    void updateButtons();

    QLabel* m_replaceLabel = nullptr;
    QLineEdit* m_findWhat = nullptr;
    QLineEdit* m_replaceWith = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QPushButton* m_findNext = nullptr;
    QPushButton* m_replace = nullptr;
    QPushButton* m_replaceAll = nullptr;
    QPushButton* m_close = nullptr;
    QLabel* m_status = nullptr;
    bool m_replaceMode = false;
};
