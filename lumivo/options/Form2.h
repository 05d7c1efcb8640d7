#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace common {
class Dialogs;
}

namespace lumivo {

struct BrmsxOptions;
struct CommandOutcome;
class CommandLineView;
class HelpLabel;
class HelpLine;

// "BR-MSX Setup": edits the BR-MSX options in place, so a Run from the main window while this
// window is open uses them at once, and shows below its tabs the command line that Run would
// start. Reads brmsx.cfg when it opens and writes it when it closes; a failed save keeps it open
// unless the user chooses to close anyway. It deletes itself when closed; the main window makes
// a new one for the next opening.
class Form2 final : public QWidget {
    Q_OBJECT
public:
    Form2(const QString& launcherFolder, common::Dialogs& dialogs, BrmsxOptions& options,
          QWidget* parent = nullptr);

    // Where the command line shown below the tabs comes from: what Run would start now.
    void setCommandSource(std::function<CommandOutcome()> source);
    // Shows the command line again (after a change here or in the main window).
    void refreshCommandLine();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct CheckField {
        QCheckBox* box;
        bool BrmsxOptions::*field;
    };

    void buildControls();
    QWidget* buildCpuTab();
    QWidget* buildMemoryTab();
    QWidget* buildVideoTab();
    QWidget* buildSoundTab();
    QWidget* buildIoTab();
    QWidget* buildMiscTab();

    QGroupBox* frame(QWidget* parent, const char* name, const QString& caption);
    QRadioButton* option(QGroupBox* frame, const char* name, const QString& caption);
    QCheckBox* check(QGroupBox* frame, const char* name, const QString& caption, bool BrmsxOptions::*field);
    QComboBox* combo(QGroupBox* frame, const char* name, QLabel* label, const QStringList& items);

    void describeControls();
    void loadOptions();

    void Command1_Click();
    void enableMultiplayerControls(bool enabled);
    void Check25_Click(bool ticked);
    void Combo4_Store();

    QString m_launcherFolder;
    common::Dialogs& m_dialogs;
    BrmsxOptions& m_brmsx;
    HelpLine* m_help = nullptr;
    bool m_loading = false;
    QList<CheckField> m_checks;

    QLineEdit* m_text1 = nullptr;
    HelpLabel* m_label1 = nullptr;
    QRadioButton* m_option1 = nullptr; // speed
    QRadioButton* m_option2 = nullptr;
    QRadioButton* m_option3 = nullptr;
    QRadioButton* m_option4 = nullptr; // computer
    QRadioButton* m_option5 = nullptr;
    QRadioButton* m_option6 = nullptr;
    QRadioButton* m_option7 = nullptr; // RAM slot
    QRadioButton* m_option8 = nullptr;
    QRadioButton* m_option9 = nullptr; // disk access
    QRadioButton* m_option10 = nullptr;
    QRadioButton* m_option12 = nullptr; // multiplayer
    QRadioButton* m_option13 = nullptr;
    QComboBox* m_combo1 = nullptr;
    QComboBox* m_combo2 = nullptr;
    QComboBox* m_combo3 = nullptr;
    QComboBox* m_combo4 = nullptr;
    QCheckBox* m_check25 = nullptr;
    QLabel* m_label7 = nullptr;
    QLineEdit* m_text2 = nullptr;
    QScrollBar* m_vscroll1 = nullptr;
    CommandLineView* m_commandLine = nullptr;
    std::function<CommandOutcome()> m_commandSource;
};

} // namespace lumivo
