#include "core/AppFolders.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// Makes `folder` unwritable for the running user, root included (root ignores permission bits,
// not the immutable attribute), and undoes it at the end.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder) : m_folder(folder)
    {
        if (folder.isEmpty())
            return;
        if (::geteuid() == 0)
            m_done = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder}) == 0;
        else
            m_done = QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~ReadOnlyFolder()
    {
        if (!m_done)
            return;
        if (::geteuid() == 0)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_folder});
        else
            QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool done() const { return m_done; }

private:
    QString m_folder;
    bool m_done = false;
};

struct Case {
    const char* name;
    bool readOnlyKit;     // the kit folder cannot be written
    bool marker;          // the kit holds the installed-kit marker
    const char* config;   // XDG_CONFIG_HOME relative to the test's root, "" unset, "=x" taken as is
    bool readOnlyHome;    // the home folder cannot be written (made after the existing settings)
    bool configIsFile;    // XDG_CONFIG_HOME names a file
    bool installed;
    const char* settings; // the settings folder relative to the root, "@session" for a stand-in
    const char* userData;
    const char* state;
};

const Case cases[] = {
    {"writable kit is portable", false, false, "", false, false, false, "kit", "kit", "kit"},
    {"read-only kit is installed", true, false, "", false, false, true, "home/.config/tarvel",
     "home/.local/share/tarvel", "home/.local/state/tarvel"},
    {"marker makes a writable kit installed", false, true, "cfg", false, false, true, "cfg/tarvel",
     "home/.local/share/tarvel", "home/.local/state/tarvel"},
    {"relative XDG_CONFIG_HOME is ignored", true, false, "=relative/cfg", false, false, true, "home/.config/tarvel",
     "home/.local/share/tarvel", "home/.local/state/tarvel"},
    {"XDG_CONFIG_HOME naming a file", true, false, "cfgfile", false, true, true, "@session",
     "home/.local/share/tarvel", "home/.local/state/tarvel"},
    {"read-only home", true, false, "", true, false, true, "@session", "@session", "@session"},
};

class AppFoldersDecision : public ::testing::TestWithParam<Case> {};

TEST_P(AppFoldersDecision, PlacesEachRole)
{
    const Case& c = GetParam();
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString kit = root.filePath("kit");
    const QString home = root.filePath("home");
    QDir().mkpath(kit);
    QDir().mkpath(home);
    if (c.marker)
        testfiles::write(kit + "/" + common::InstalledKitMarker, "installed\n");
    common::UserHomes homes{home, QString(), QString(), QString()};
    const QString config = QString::fromLatin1(c.config);
    if (config.startsWith('='))
        homes.configHome = config.mid(1);
    else if (!config.isEmpty())
        homes.configHome = root.filePath(config);
    if (c.configIsFile)
        testfiles::write(homes.configHome, "not a folder");
    // Settings a user already has must load even when they cannot be saved.
    if (c.readOnlyHome)
        testfiles::write(home + "/.config/tarvel/config.cfg", "saved");

    const ReadOnlyFolder kitLock(c.readOnlyKit ? kit : QString());
    const ReadOnlyFolder homeLock(c.readOnlyHome ? home : QString());
    const ReadOnlyFolder settingsLock(c.readOnlyHome ? home + "/.config/tarvel" : QString());
    if ((c.readOnlyKit && !kitLock.done()) || (c.readOnlyHome && !homeLock.done()))
        GTEST_SKIP() << "this file system cannot make a folder read-only";

    const common::AppFolders folders = common::DecideAppFolders(kit, "tarvel", homes);
    EXPECT_EQ(folders.kit, kit);
    EXPECT_EQ(folders.installed, c.installed);
    bool expectProblem = false;
    const std::pair<QString, const char*> roles[] = {
        {folders.settings, c.settings}, {folders.userData, c.userData}, {folders.state, c.state}};
    for (const auto& [actual, expected] : roles) {
        if (QString::fromLatin1(expected) == "@session") {
            expectProblem = true;
            ASSERT_TRUE(folders.session);
            EXPECT_TRUE(actual.startsWith(folders.session->path())) << actual.toStdString();
        } else {
            EXPECT_EQ(actual, root.filePath(expected));
        }
        EXPECT_TRUE(QFileInfo(actual).isDir() && QFileInfo(actual).isWritable()) << actual.toStdString();
    }
    EXPECT_EQ(!folders.problem.isEmpty(), expectProblem) << folders.problem.toStdString();
    if (c.configIsFile) {
        EXPECT_EQ(testfiles::read(homes.configHome), "not a folder");
        EXPECT_TRUE(folders.problem.contains(homes.configHome)) << folders.problem.toStdString();
    }
    if (c.readOnlyHome) {
        EXPECT_EQ(testfiles::read(folders.settings + "/config.cfg"), "saved");
        EXPECT_TRUE(folders.problem.contains("this session only")) << folders.problem.toStdString();
    }
    if (!c.installed) {
        EXPECT_FALSE(QFileInfo::exists(home + "/.config")) << "a portable kit leaves the home alone";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, AppFoldersDecision, ::testing::ValuesIn(cases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

TEST(AppFoldersDecision, StateFolderThatCannotBeCreatedGetsSessionStandIn)
{
    QTemporaryDir root;
    const QString kit = root.filePath("kit");
    QDir().mkpath(kit);
    testfiles::write(kit + "/" + common::InstalledKitMarker, "");
    testfiles::write(root.filePath("blocked"), "a file where a folder would go");
    const common::UserHomes homes{root.filePath("home"), QString(), QString(), root.filePath("blocked/state")};
    const common::AppFolders folders = common::DecideAppFolders(kit, "lumivo", homes);
    EXPECT_EQ(folders.settings, root.filePath("home/.config/lumivo"));
    ASSERT_TRUE(folders.session);
    EXPECT_TRUE(folders.state.startsWith(folders.session->path()));
    EXPECT_TRUE(folders.problem.contains("run files")) << folders.problem.toStdString();
    EXPECT_EQ(testfiles::read(root.filePath("blocked")), "a file where a folder would go");
}

} // namespace
