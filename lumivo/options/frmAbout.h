#pragma once

#include <QWidget>

namespace common {
class Dialogs;
}

namespace lumivo {

class ProgramRunner;

// "About Lumivo!": name, version, credits and disclaimer, OK, and a button that starts a
// system-information program when this system has one.
class frmAbout final : public QWidget {
    Q_OBJECT
public:
    frmAbout(common::Dialogs& dialogs, ProgramRunner& runner, QWidget* parent = nullptr);

    // The programs tried by System Info, in order.
    static QStringList systemInfoPrograms();

private:
    void cmdOK_Click();
    void StartSysInfo();

    common::Dialogs& m_dialogs;
    ProgramRunner& m_runner;
};

} // namespace lumivo
