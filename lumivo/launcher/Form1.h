#pragma once

#include "core/AppFolders.h"
#include "BrmsxOptions.h"
#include "EmulatorCommand.h"
#include "FrontEndConfig.h"
#include "OpenMsxSettings.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace common {
class Dialogs;
}

namespace common {
struct StartedRun;
}

namespace lumivo {

class FileList;
class FolderList;
class Form2;
class Form3;
class HelpLabel;
class HelpLine;
class ProgramRunner;
class frmAbout;

// Lumivo's main window: the browser for what to run (kind, drive, folder, file), the emulator
// choice (BR-MSX, F-MSX or openMSX), Run, the setup and About windows. It owns the front-end
// settings, the BR-MSX options and the openMSX settings that the setup windows edit and Run uses.
class Form1 final : public QWidget {
    Q_OBJECT
public:
    Form1(const QString& launcherFolder, common::Dialogs& dialogs, ProgramRunner& runner,
          QWidget* parent = nullptr);
    // The settings in `folders.settings`, the run script and its log in `folders.state`.
    Form1(const common::AppFolders& folders, common::Dialogs& dialogs, ProgramRunner& runner,
          QWidget* parent = nullptr);
    ~Form1() override;

    const FrontEndConfig& frontEnd() const { return m_frontEnd; }
    BrmsxOptions& brmsx() { return m_brmsx; }
    OpenMsxSettings& openMsx() { return m_openMsx; }
    // The setup and About windows while they are open, else nullptr.
    Form2* optionsWindow() const;
    Form3* openMsxWindow() const;
    frmAbout* aboutWindow() const;

    // What Run would start with BR-MSX or openMSX for the current selection, or why not.
    CommandOutcome brmsxCommand() const;
    CommandOutcome openMsxCommand() const;
    // The openMSX program Run starts: the one set up, else openmsx on the PATH; "" when none.
    QString openMsxProgram() const;
    // How long after a start an ending run is reported as failing at once (RunWatch).
    void setQuickFailureWindow(int milliseconds) { m_quickFailureMs = milliseconds; }

signals:
    // After the settings were saved on close; ends the program.
    void closed();
    // The kind, folder, file or emulator changed: what Run would start may differ now.
    void selectionChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void describeControls();
    void startUp();
    void centerFormOnScreen();

    void startFresh();
    void setDrive(const QString& root);
    void restoreFolder(const QString& folder);
    void goToFolder(const QString& folder);
    int selectedKind() const;
    RunSelection currentSelection() const;

    void Drive1_Change();
    void Dir1_Change();
    void TxtPath_Enter();
    void Option5_Click(int index);
    void Option1_Click();
    void Option3_Click();
    void Option4_Click();
    void BtnConfig_Click();
    void BtnAbout_Click();
    void BtnRun_Click();
    void watchRun(const common::StartedRun& run);

    common::AppFolders m_folders;
    QString m_launcherFolder; // the settings records
    QString m_runFolder;      // the run script and its log
    common::Dialogs& m_dialogs;
    ProgramRunner& m_runner;
    FrontEndConfig m_frontEnd;
    BrmsxOptions m_brmsx;
    OpenMsxSettings m_openMsx;
    QString m_openMsxProblem; // why openmsx.cfg could not be used; "" when it could
    QString m_folderProblem;  // why the open folder cannot be read; "" when it can
    int m_quickFailureMs;

    QRadioButton* m_option5[4] = {};
    QComboBox* m_drive1 = nullptr;
    QLineEdit* m_txtPath = nullptr;
    FolderList* m_dir1 = nullptr;
    FileList* m_file1 = nullptr;
    QPushButton* m_btnRun = nullptr;
    QRadioButton* m_option1 = nullptr;
    QRadioButton* m_option3 = nullptr;
    QRadioButton* m_option4 = nullptr;
    QPushButton* m_btnConfig = nullptr;
    QToolButton* m_btnAbout = nullptr;
    HelpLabel* m_label1 = nullptr;
    HelpLine* m_help = nullptr;

    QPointer<Form2> m_form2;
    QPointer<Form3> m_form3;
    QPointer<frmAbout> m_about;
};

} // namespace lumivo
