#pragma once

#include "shell/ConfigSettings.h"

#include <QDialog>

#include <memory>

class QTreeWidget;

namespace common {
class OpenMsxMachineChecker;
}

// "Check Setup": what Build and Compile and Run need, one row each, with its state and what to do
// about it. The chosen openMSX machine is checked in the background, so the window opens at once.
class SetupCheckWindow : public QDialog {
    Q_OBJECT
public:
    // `kitDir`: the kit's data (dsktool); `userDataDir`: the compiler folder and the machine checks.
    SetupCheckWindow(const QString& kitDir, const QString& userDataDir, const tarvel::ConfigSettings& settings,
                     const QString& projectDir, QWidget* parent);
    ~SetupCheckWindow() override;

    // Takes the settings and project anew and checks everything again.
    void recheck(const tarvel::ConfigSettings& settings, const QString& projectDir);

private:
    void showRows();

    QString m_kitDir;
    QString m_userDataDir;
    tarvel::ConfigSettings m_settings;
    QString m_projectDir;
    QString m_machine;
    std::unique_ptr<common::OpenMsxMachineChecker> m_checker;
    QTreeWidget* m_rows = nullptr;
};
