#pragma once

#include "shell/ConfigSettings.h"

#include <QDialog>

#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace common {
class Dialogs;
class OpenMsxMachineChecker;
}

// Preferences: the emulator and its command line, the disk-image folder and four switches. It
// edits a copy of the settings; the caller takes the accepted settings, if any, and saves them.
class Form4 : public QDialog {
    Q_OBJECT
public:
    Form4(const tarvel::ConfigSettings& settings, const QString& applicationDirectory, common::Dialogs& dialogs,
          QWidget* mainWindow);
    ~Form4() override;

    // The open project's folder ("" for none): the disk image folder may not be in it.
    void setProjectFolder(const QString& projectDir) { m_projectDir = projectDir; }

    // "Reopen the last project at start", kept outside the settings record.
    void setReopenLastProject(bool on);
    bool reopenLastProject() const;

    // The settings as OK stored them; nothing when the window was cancelled or closed.
    const std::optional<tarvel::ConfigSettings>& accepted() const { return m_accepted; }

    // Tells that the installed kit registers the .tpj type itself; the switch has nothing to do then.
    void showTypeRegisteredWithKit();

    void Command1_Click(); // Ok
    void Command2_Click(); // Cancel
    void Command3_Click(); // Browse for the emulator
    void Command4_Click(); // Browse for the disk-image folder
    // A preset chosen in cboPreset (0 openMSX, 1 fMSX, 2 Custom) fills the path and the command line.
    void cboPreset_Click(int index);
    // A machine chosen or typed in cboMachine goes into the openMSX command line.
    void cboMachine_Change(const QString& machine);

private:
    // The preset the fields stand for, shown without filling anything.
    void showDetectedPreset();
    // The openMSX program: the path in Text1 when it is openMSX, else the one on PATH.
    QString openMsxProgram() const;
    void listMachines();
    // Marks the machines checked so far; once all are, chooses the default machine when one is
    // waited for.
    void machinesChecked();
    // Whether there is a boot disk in the disk-image folder, shown under it.
    void describeBootDisk();
    void setMachineText(const QString& machine);
    // Says when the machine has no disk drive (or openMSX has no such machine).
    void describeMachine(const QString& machine);

    tarvel::ConfigSettings m_settings;
    QString m_appDir;
    QString m_projectDir;
    common::Dialogs& m_dialogs;
    std::optional<tarvel::ConfigSettings> m_accepted;
    QComboBox* m_preset = nullptr;
    QComboBox* m_machine = nullptr;
    QLabel* m_machineNote = nullptr;
    QStringList m_machineFolders;
    std::unique_ptr<common::OpenMsxMachineChecker> m_checker;
    QString m_presetNote;        // the preset's program was not found
    bool m_waitForDefault = false; // the openMSX preset waits for the checks to choose its machine
    QLabel* m_bootDisk = nullptr;
    bool m_filling = false; // the window changes the fields itself
    bool m_registeredWithKit = false;
    QLineEdit* m_emulator = nullptr;
    QLineEdit* m_commandLine = nullptr;
    QLineEdit* m_diskImage = nullptr;
    QCheckBox* m_register = nullptr;
    QCheckBox* m_autoSave = nullptr;
    QCheckBox* m_noChooser = nullptr;
    QCheckBox* m_tooltip = nullptr;
    QCheckBox* m_reopen = nullptr;
};
