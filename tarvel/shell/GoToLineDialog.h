#pragma once

#include <QDialog>

class QLineEdit;

// The small "Go to line" dialog: one number field, OK and Cancel. A number outside the
// document's lines is taken as its first or last line.
class GoToLineDialog : public QDialog {
    Q_OBJECT
public:
    // `lineCount` lines (at least 1); the field starts at `currentLine` (from 1), selected.
    GoToLineDialog(int lineCount, int currentLine, QWidget* parent = nullptr);

    // The chosen line, from 1, within 1 .. lineCount.
    [[nodiscard]] int line() const;

private:
    QLineEdit* m_number = nullptr;
    int m_lineCount = 1;
};
