#include "shell/Form1.h"

#include "FindControl.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "ToolsTestSupport.h"
#include "core/AppFolders.h"
#include "tools/FileTypeRegistration.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// An installed kit as `cmake --install` lays it out: PREFIX/lib/<kit>/ with the marker and the
// data, PREFIX/share/ with the registration of the file type, and a home of its own.
struct InstalledKit {
    QTemporaryDir root;
    QString kit = root.filePath("prefix/lib/kit");
    QString home = root.filePath("home");

    explicit InstalledKit(bool typeInstalled)
    {
        testfiles::write(kit + "/help/autocomplete.txt", "WriteLn(items)\r\n");
        testfiles::write(kit + "/" + common::InstalledKitMarker, "");
        QDir().mkpath(kit + "/projects");
        QDir().mkpath(home);
        if (typeInstalled) {
            testfiles::write(root.filePath("prefix/share/mime/packages/tarvel.xml"), tarvel::MimePackageXml());
            testfiles::write(root.filePath("prefix/share/applications/tarvel.desktop"), "[Desktop Entry]\n");
        }
    }
    QStringList kitFiles() const
    {
        QStringList files;
        for (const QFileInfo& info : QDir(kit).entryInfoList(QDir::Files | QDir::Hidden))
            files << info.fileName();
        return files;
    }
};

// Opens Preferences from the menu, lets `act` work in it and presses Ok.
void inPreferences(Form1& form, std::function<void(QWidget*)> act)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        seen = modal != nullptr;
        if (!modal)
            return;
        act(modal);
        QTest::mouseClick(control<QPushButton>(modal, "Command1"), Qt::LeftButton);
    });
    form.findChild<QAction*>("mnupreferences")->trigger();
    EXPECT_TRUE(seen);
}

} // namespace

TEST(InstalledKit, SettingsCompilerAndDiskImagesLiveWithTheUserAndTheTypeIsRegisteredOnce)
{
    InstalledKit installed(true);
    const ScopedEnv dataHome("XDG_DATA_HOME", QFile::encodeName(installed.home + "/.local/share"));
    const common::UserHomes homes{installed.home, QString(), QString(), QString()};
    const common::AppFolders folders = common::DecideAppFolders(installed.kit, "tarvel", homes);
    ASSERT_TRUE(folders.installed);
    const QString config = installed.home + "/.config/tarvel/config.cfg";
    tarvel::ConfigSettings quiet;
    tarvel::SetDefaultSettings(quiet, folders.userData);
    quiet.ShowNewProjectDialog = false;
    quiet.RegisterTpj = true;
    testfiles::write(config, tarvel::EncodeSettings(quiet));
    const QStringList kitBefore = installed.kitFiles();

    ScriptedDialogs dialogs;
    Form1 form(folders, dialogs, QString());
    form.start();
    EXPECT_EQ(form.settingsFolder(), installed.home + "/.config/tarvel");
    EXPECT_TRUE(QFileInfo(installed.home + "/.local/share/tarvel/compiler").isDir());
    EXPECT_FALSE(QFileInfo::exists(installed.home + "/.local/share/applications/tarvel.desktop"))
        << "the installed registration makes the user's own unnecessary";

    inPreferences(form, [&](QWidget* preferences) {
        auto* registration = control<QCheckBox>(preferences, "Check1");
        EXPECT_FALSE(registration->isEnabled());
        EXPECT_TRUE(registration->text().contains("registered")) << registration->text().toStdString();
        EXPECT_EQ(control<QLineEdit>(preferences, "Text3")->text(), installed.home + "/.local/share/tarvel/dsk/");
        QTest::mouseClick(control<QCheckBox>(preferences, "Check2"), Qt::LeftButton);
    });
    tarvel::ConfigSettings written;
    ASSERT_TRUE(tarvel::DecodeSettings(testfiles::read(config), written));
    EXPECT_TRUE(written.AutoSave);
    EXPECT_TRUE(written.RegisterTpj) << "the user's own choice is kept";
    EXPECT_EQ(installed.kitFiles(), kitBefore) << "nothing is written into the kit";
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST(InstalledKit, AnUnusableSettingsFolderIsToldAtStartAndKeepsSettingsForTheSession)
{
    InstalledKit installed(false);
    const QString notAFolder = installed.root.filePath("config-file");
    testfiles::write(notAFolder, "keep me");
    const common::UserHomes homes{installed.home, notAFolder, QString(), QString()};
    const common::AppFolders folders = common::DecideAppFolders(installed.kit, "tarvel", homes);

    ScriptedDialogs dialogs;
    Form1 form(folders, dialogs, QString());
    form.Settings.ShowNewProjectDialog = false;
    form.start();
    const QList<ScriptedDialogs::Call> messages = dialogs.messages();
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(messages.first().text.contains(notAFolder)) << messages.first().text.toStdString();
    EXPECT_TRUE(messages.first().text.contains("session only"));

    dialogs.clear();
    inPreferences(form, [](QWidget* preferences) {
        QTest::mouseClick(control<QCheckBox>(preferences, "Check2"), Qt::LeftButton);
    });
    EXPECT_TRUE(dialogs.messages().isEmpty()) << "saving for the session works quietly";
    EXPECT_TRUE(QFileInfo::exists(form.settingsFolder() + "/config.cfg"));
    EXPECT_EQ(testfiles::read(notAFolder), "keep me");
    EXPECT_FALSE(QFileInfo::exists(installed.kit + "/config.cfg"));
}
