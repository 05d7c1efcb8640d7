#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace lumivo {

struct CommandOutcome;

// The command line that Run would start, shown read-only with a Copy button; or, when Run would
// refuse, the reason it would give.
class CommandLineView final : public QWidget {
    Q_OBJECT
public:
    // `labelName`: the object name of its caption label ("Command line"); the text box is Text3
    // and the button Command2.
    CommandLineView(const char* labelName, QWidget* parent = nullptr);

    void display(const CommandOutcome& outcome);
    QString text() const;

private:
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_copy = nullptr;
};

} // namespace lumivo
