// The main window's Tools and Help commands, the preferences and project-properties windows,
// and the registration of the project file type.

#include "shell/Form1.h"

#include "core/Paths.h"
#include "core/TextFile.h"
#include "tools/FileTypeRegistration.h"
#include "tools/Form3.h"
#include "tools/Form4.h"
#include "tools/Form6.h"
#include "tools/Form7.h"
#include "tools/OutsideTools.h"
#include "tools/SetupCheckWindow.h"
#include "tools/SystemProgramStarter.h"
#include "tools/frmConvPal.h"
#include "ui/Dialogs.h"

#include <QTreeWidgetItem>

namespace {

// Shows a modeless window above the others with the keyboard focus.
void bringForward(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

tarvel::ProgramStarter& Form1::programStarter()
{
    if (!m_starter)
        m_starter = std::make_unique<tarvel::SystemProgramStarter>();
    return *m_starter;
}

void Form1::setProgramStarter(std::unique_ptr<tarvel::ProgramStarter> starter)
{
    m_starter = std::move(starter);
}

void Form1::mnuCalc_Click()
{
    const QString calculator = programStarter().findProgram(tarvel::CalculatorPrograms());
    if (!calculator.isEmpty())
        programStarter().start(calculator, {});
}

void Form1::mnuImgConv_Click()
{
    const QString converter = tarvel::ImageConverterPath(m_appDir);
    if (converter.isEmpty()) {
        m_dialogs.message(this,
                          QStringLiteral("The image converter is not in the kit. Put it in the kit's folder, named "
                                         "msximg (or msximg.exe):\n%1")
                              .arg(common::AddBackslash(m_appDir) + QStringLiteral("msximg")),
                          QStringLiteral("Image Converter"), common::Dialogs::Icon::Information, common::Dialogs::Buttons::Ok);
        return;
    }
    if (!programStarter().start(converter, {})) {
        m_dialogs.message(this, QStringLiteral("The image converter could not be started:\n%1").arg(converter),
                          QStringLiteral("Image Converter"), common::Dialogs::Icon::Exclamation, common::Dialogs::Buttons::Ok);
    }
}

void Form1::mnuConvPal_Click()
{
    if (!m_convPal)
        m_convPal = new frmConvPal(m_dialogs, *m_code, this);
    bringForward(m_convPal);
}

void Form1::mnuRefHelp_Click()
{
    const QString help = tarvel::HelpFilePath(m_appDir);
    if (!common::FileExists(help)) {
        m_dialogs.message(this,
                          QStringLiteral("The Pascal reference is not in the kit. Put the Turbo Pascal 3 reference "
                                         "there, named tp3reference.chm:\n%1")
                              .arg(help),
                          QStringLiteral("Pascal Reference"), common::Dialogs::Icon::Information, common::Dialogs::Buttons::Ok);
        return;
    }
    if (!programStarter().open(QUrl::fromLocalFile(help))) {
        m_dialogs.message(this,
                          QStringLiteral("No viewer opened the Pascal reference:\n%1\n\nInstall a viewer for .chm "
                                         "files (Debian package xchm).")
                              .arg(help),
                          QStringLiteral("Pascal Reference"), common::Dialogs::Icon::Exclamation, common::Dialogs::Buttons::Ok);
    }
}

void Form1::mnuAbout_Click()
{
    if (!m_about) {
        const QString readme = common::AddBackslash(m_appDir) + QStringLiteral("README.md");
        m_about = new Form6(programStarter(), this, common::FileExists(readme) ? readme : QString());
        connect(m_about, &Form6::historyRequested, this, [this] {
            if (!m_history)
                m_history = new Form7(m_appDir, this);
            bringForward(m_history);
        });
    }
    bringForward(m_about);
}

void Form1::mnupreferences_Click()
{
    Form4 preferences(Settings, m_folders.userData, m_dialogs, this);
    if (m_folders.installed && tarvel::TpjTypeInstalledWithKit(m_appDir))
        preferences.showTypeRegisteredWithKit();
    preferences.setProjectFolder(m_project.projectDir());
    preferences.setReopenLastProject(m_state.reopenLastProject);
    preferences.exec();
    if (!preferences.accepted())
        return;
    Settings = *preferences.accepted();
    SaveSettings();
    if (preferences.reopenLastProject() != m_state.reopenLastProject) {
        m_state.reopenLastProject = preferences.reopenLastProject();
        saveWindowState();
    }
    if (Settings.RegisterTpj && !m_registrationError.isEmpty()) {
        m_dialogs.message(this, QStringLiteral("The .tpj file type could not be registered:\n") + m_registrationError,
                          QStringLiteral("Tarvel"), common::Dialogs::Icon::Exclamation, common::Dialogs::Buttons::Ok);
    }
}

void Form1::mnuCheckSetup_Click()
{
    const QString project = m_project.isOpen() ? m_project.projectDir() : QString();
    if (!m_setupCheck)
        m_setupCheck = new SetupCheckWindow(m_appDir, m_folders.userData, Settings, project, this);
    else
        m_setupCheck->recheck(Settings, project);
    bringForward(m_setupCheck);
}

void Form1::mnuProp_Click()
{
    Form3 properties(projectInfo(), m_dialogs, this);
    properties.exec();
    if (!properties.accepted())
        return;
    // The record and the tree's root node change together.
    setProjectInfo(*properties.accepted());
}

void Form1::RegisterFileType()
{
    m_registrationError.clear();
    // An installed kit that registers the type for everyone needs no files of the user's own.
    if (!Settings.RegisterTpj || (m_folders.installed && tarvel::TpjTypeInstalledWithKit(m_appDir)))
        return;
    const common::Result<QByteArray> icon = common::ReadFileBytes(common::AddBackslash(m_appDir) + QStringLiteral("tarvel.png"));
    const tarvel::RegistrationOutcome outcome = tarvel::RegisterTpjFileType(
        tarvel::XdgDataHome(), common::AddBackslash(m_appDir) + QStringLiteral("tarvel"), icon ? icon.value() : QByteArray());
    m_registrationError = outcome.error;
    // The desktop's databases are brought up to date in the background when their tools exist.
    for (const QStringList& command : outcome.commands) {
        const QString program = programStarter().findProgram({command.first()});
        if (!program.isEmpty())
            programStarter().start(program, command.mid(1));
    }
}
