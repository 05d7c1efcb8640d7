// Drives an installed kit as its user would, for the installation check of scripts/install-check.sh
// (not part of the CTest suite): it places each program's folders with the same start-up decision
// the installed programs make, then uses their windows. The kit folder comes from INSTALLED_KIT_DIR;
// the user's compiler folder must hold the stand-in compiler TP3 and a runtime.com.

#include "core/AppFolders.h"
#include "launcher/Form1.h"
#include "launcher/ProgramRunner.h"
#include "projects/Form5.h"
#include "shell/Form1.h"

#include "ScriptedDialogs.h"
#include "TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QString kitDir()
{
    return qEnvironmentVariable("INSTALLED_KIT_DIR");
}

common::AppFolders foldersOf(const char* program)
{
    return common::DecideAppFolders(kitDir(), QString::fromLatin1(program), common::UserHomes::fromEnvironment());
}

} // namespace

TEST(InstalledKit, TarvelMakesABuildsAndSavesItsSettingsInTheUsersFolders)
{
    ASSERT_FALSE(kitDir().isEmpty()) << "set INSTALLED_KIT_DIR";
    const common::AppFolders folders = foldersOf("tarvel");
    ASSERT_TRUE(folders.installed);
    EXPECT_EQ(folders.problem, QString());
    EXPECT_EQ(folders.settings, QDir::homePath() + "/.config/tarvel");

    const QString work = QDir::homePath() + "/projects/";
    QDir(work).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(work));
    ScriptedDialogs dialogs;
    dialogs.queuePath(work + "hello");
    bool chooserSeen = false;
    // The chooser opens at start, as for a new user; it lists the installed templates.
    QTimer::singleShot(0, [&] {
        auto* chooser = qobject_cast<Form5*>(QApplication::activeModalWidget());
        chooserSeen = chooser != nullptr;
        if (!chooser)
            return;
        auto* list = chooser->findChild<QListWidget*>("LVProjects");
        const auto found = list->findItems("Hello", Qt::MatchExactly);
        if (!found.isEmpty())
            list->setCurrentItem(found.first());
        QTest::mouseClick(chooser->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    });
    Form1 form(folders, dialogs, QString());
    form.start();
    ASSERT_TRUE(chooserSeen);
    ASSERT_TRUE(QFileInfo::exists(work + "hello.tpj"));

    form.findChild<QAction*>("mnuCompile")->trigger();
    EXPECT_TRUE(QFileInfo::exists(work + "hello.com")) << "built with the compiler in the user's folder";
    EXPECT_TRUE(QFileInfo::exists(folders.userData + "/compiler/turbopc.sh"));
    EXPECT_TRUE(QFileInfo::exists(QDir::homePath() + "/.config/tarvel/config.cfg"));
    for (const auto& call : dialogs.messages())
        ADD_FAILURE() << "unexpected message: " << call.text.toStdString();
}

TEST(InstalledKit, LumivoSavesItsSettingsInTheUsersFolder)
{
    ASSERT_FALSE(kitDir().isEmpty()) << "set INSTALLED_KIT_DIR";
    const common::AppFolders folders = foldersOf("lumivo");
    ASSERT_TRUE(folders.installed);
    EXPECT_EQ(folders.problem, QString());
    ScriptedDialogs dialogs;
    lumivo::SystemProgramRunner runner;
    lumivo::Form1 form(folders, dialogs, runner);
    form.show();
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(QFileInfo::exists(QDir::homePath() + "/.config/lumivo/feconfig.cfg"));
    EXPECT_TRUE(QFileInfo(QDir::homePath() + "/.local/state/lumivo").isDir());
}
