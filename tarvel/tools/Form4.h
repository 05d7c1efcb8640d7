#pragma once

#include "shell/ConfigSettings.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QLineEdit;

namespace common {
class Dialogs;
}

// Preferences: the emulator and its command line, the disk-image folder and four switches. It
// edits a copy of the settings; the caller takes the accepted settings, if any, and saves them.
class Form4 : public QDialog {
    Q_OBJECT
public:
    Form4(const tarvel::ConfigSettings& settings, const QString& applicationDirectory, common::Dialogs& dialogs,
          QWidget* mainWindow);

    // The settings as OK stored them; nothing when the window was cancelled or closed.
    const std::optional<tarvel::ConfigSettings>& accepted() const { return m_accepted; }

    void Command1_Click(); // Ok
    void Command2_Click(); // Cancel
    void Command3_Click(); // Browse for the emulator
    void Command4_Click(); // Browse for the disk-image folder

private:
    tarvel::ConfigSettings m_settings;
    QString m_appDir;
    common::Dialogs& m_dialogs;
    std::optional<tarvel::ConfigSettings> m_accepted;
    QLineEdit* m_emulator = nullptr;
    QLineEdit* m_commandLine = nullptr;
    QLineEdit* m_diskImage = nullptr;
    QCheckBox* m_register = nullptr;
    QCheckBox* m_autoSave = nullptr;
    QCheckBox* m_noChooser = nullptr;
    QCheckBox* m_tooltip = nullptr;
};
