#include "launcher/Form1.h"
#include "launcher/ModMSX.h"

#include "../RecordingRunner.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "core/AppFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// An installed Lumivo keeps its settings in the user's configuration folder and tells at start
// when that folder cannot be used, without touching what is there.
TEST(InstalledLumivo, SettingsGoToTheUsersFolderOrStayForTheSession)
{
    struct Case {
        bool configIsFile;
    };
    for (const Case c : {Case{false}, Case{true}}) {
        SCOPED_TRACE(c.configIsFile ? "XDG_CONFIG_HOME names a file" : "usable folders");
        QTemporaryDir root;
        const QString kit = root.filePath("lib/kit");
        testfiles::write(kit + "/" + common::InstalledKitMarker, "");
        const QString configHome = root.filePath("config");
        if (c.configIsFile)
            testfiles::write(configHome, "keep me");
        const common::UserHomes homes{root.filePath("home"), configHome, QString(), root.filePath("state")};
        const common::AppFolders folders = common::DecideAppFolders(kit, "lumivo", homes);

        ScriptedDialogs dialogs;
        RecordingRunner runner;
        auto form = std::make_unique<lumivo::Form1>(folders, dialogs, runner);
        form->show();
        EXPECT_EQ(dialogs.messages().size(), c.configIsFile ? 1 : 0);
        EXPECT_TRUE(form->close());
        const QString saved = lumivo::FrontEndConfigPath(folders.settings);
        EXPECT_TRUE(QFileInfo::exists(saved)) << saved.toStdString();
        if (c.configIsFile) {
            EXPECT_TRUE(dialogs.messages().first().text.contains(configHome));
            EXPECT_EQ(testfiles::read(configHome), "keep me");
        } else {
            EXPECT_EQ(saved, configHome + "/lumivo/feconfig.cfg");
        }
        EXPECT_FALSE(QFileInfo::exists(kit + "/feconfig.cfg"));
        // The run script's folder is the user's state folder.
        const auto run = lumivo::RunEmulatorCommand(folders.state, lumivo::EmulatorCommand(), runner);
        ASSERT_TRUE(run.ok());
        EXPECT_EQ(run->logPath, root.filePath("state/lumivo/execute.log"));
    }
}
