#pragma once

#include "core/Result.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;

namespace common {
class Dialogs;
class OpenMsxMachineChecker;
}

namespace lumivo {

struct CommandOutcome;
struct OpenMsxSettings;
class CommandLineView;

// "openMSX Setup": the openMSX program (found on the PATH unless one is chosen), the machine and
// extra arguments. Changes go into the settings at once, so a Run while the window is open uses
// them; closing saves them when the user changed something (a damaged settings file is left as
// it is until then). It deletes itself when closed; the main window makes a new one.
class Form3 final : public QWidget {
    Q_OBJECT
public:
    // `loadProblem`: why the settings file could not be read ("" when it could), told in the window.
    Form3(common::Dialogs& dialogs, OpenMsxSettings& settings, const QString& loadProblem,
          QWidget* parent = nullptr);
    ~Form3() override;

    // Where the machine checks are kept between runs ("" keeps none).
    void setMachineCheckCache(const QString& path) { m_machineCache = path; }
    // What Run would start now, and the openMSX program it would use ("" when none is found).
    void setCommandSource(std::function<CommandOutcome()> command, std::function<QString()> program);
    // Saves the settings; called on close after a change.
    void setSaver(std::function<common::Status(const OpenMsxSettings&)> saver);

    // Shows the command line again (after a change here or in the main window).
    void refreshCommandLine();

    // The entry that stands for openMSX's own default machine.
    static QString defaultMachineItem();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void fillMachines();
    // Marks the machines checked so far and says what the checks found.
    void showMachineChecks();
    void changed();

    void Text1_Edited(const QString& text);
    void Command1_Click();
    void Combo1_Click(int index);
    void Text2_Edited(const QString& text);

    common::Dialogs& m_dialogs;
    OpenMsxSettings& m_settings;
    QString m_loadProblem;
    bool m_changed = false;
    std::function<CommandOutcome()> m_command;
    std::function<QString()> m_program;
    std::function<common::Status(const OpenMsxSettings&)> m_saver;

    QLineEdit* m_text1 = nullptr;
    QComboBox* m_combo1 = nullptr;
    QLineEdit* m_text2 = nullptr;
    QLabel* m_label1 = nullptr;
    QString m_notes; // what fillMachines found to tell
    QString m_machineCache;
    std::unique_ptr<common::OpenMsxMachineChecker> m_checker;
    CommandLineView* m_commandLine = nullptr;
};

} // namespace lumivo
