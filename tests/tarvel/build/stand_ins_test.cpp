// Runs the real build script, dsktool and the stand-ins for the compiler and the emulator.
#include "build/BuildScript.h"
#include "build/CompilerResults.h"
#include "build/RunCommands.h"

#include "BuildTestKit.h"
#include "TestFiles.h"

#include "core/Process.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tarvel;

namespace {

const QByteArray kSource = "program Demo;\r\nbegin\r\n  writeln('hi')\r\nend.\r\n";

// A kit and a project whose names try every trick a shell could fall for.
class BuildRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        m_appDir = m_root.filePath("tar vel's kit");
        m_projectDir = m_root.filePath(QString::fromUtf8("it's $(touch pwned) ; `touch pwned2` \xC3\xA4"));
        m_elsewhere = m_root.filePath("elsewhere");
        ASSERT_TRUE(QDir().mkpath(m_projectDir));
        ASSERT_TRUE(QDir().mkpath(m_elsewhere));
        m_runtime = buildtest::makeKit(m_appDir);
        qputenv("TP3_LOG", "1");
    }
    void TearDown() override { qunsetenv("TP3_LOG"); }

    common::ShellOutcome build(const QString& base, bool makeChn)
    {
        const QList<BuildStep> steps = BuildSteps({m_projectDir + '/', m_appDir, base, 0x2E9B,
                                                   static_cast<qint16>(0xD200), makeChn});
        const QString script = BuildScriptPath(m_appDir);
        EXPECT_TRUE(WriteBuildScript(script, steps).ok());
        const CommandLine command = BuildScriptCommand(script);
        return common::RunProgram(command.program, command.arguments, true, m_elsewhere);
    }

    QString project(const QString& name) const { return m_projectDir + '/' + name; }

    void expectNothingInjected()
    {
        QDirIterator it(m_root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = QFileInfo(it.next()).fileName();
            EXPECT_FALSE(name.startsWith("pwned")) << it.filePath().toStdString();
        }
        EXPECT_FALSE(QFile::exists(QDir::current().filePath("pwned")));
    }

    QTemporaryDir m_root;
    QString m_appDir;
    QString m_projectDir;
    QString m_elsewhere;
    QByteArray m_runtime;
};

} // namespace

TEST_F(BuildRun, ComBuildCompilesAndJoinsInAHostileDirectory)
{
    testfiles::write(project("DEMO.PAS"), kSource);
    const common::ShellOutcome outcome = build("Demo", false);
    ASSERT_TRUE(outcome.finished);

    const QByteArray chn = testfiles::read(project("Demo.chn"));
    EXPECT_EQ(chn, "CHN:" + kSource);
    EXPECT_EQ(testfiles::read(project("Demo.com")), m_runtime + chn);
    EXPECT_EQ(testfiles::read(project("tp3-calls.txt")), "Demo|/S2E9B|/ED200|/Rerrors.txt|\n");
    EXPECT_FALSE(QFile::exists(project("errors.txt")));
    expectNothingInjected();

    const BuildOutcome result = CollectBuildOutcome(m_projectDir);
    EXPECT_TRUE(result.succeeded);
    const auto hex = [](int value) { return QString::number(value, 16).toUpper(); };
    const int size = chn.size();
    EXPECT_EQ(result.report, QStringLiteral("\r\nNo errors - Sucessfully compiled\r\n\r\nCode: %1 bytes (2E9B-%2)"
                                            "\r\nFree: %3 bytes (%4-D1FF)\r\nData: 0 bytes (D200-D200)")
                                 .arg(size)
                                 .arg(hex(0x2E9B + size - 1))
                                 .arg(0xD200 - 0x2E9B - size)
                                 .arg(hex(0x2E9B + size)));
    EXPECT_FALSE(QFile::exists(project("result.txt")));
}

TEST_F(BuildRun, ChnBuildPassesTheHSwitchAndMakesNoCom)
{
    testfiles::write(project("Demo.pas"), kSource);
    ASSERT_TRUE(build("Demo", true).finished);
    EXPECT_EQ(testfiles::read(project("tp3-calls.txt")), "Demo|/H|/S2E9B|/ED200|/Rerrors.txt|\n");
    EXPECT_TRUE(QFile::exists(project("Demo.chn")));
    EXPECT_FALSE(QFile::exists(project("Demo.com")));
}

TEST_F(BuildRun, FailedCompileListsTheErrorsAndMakesNoComFromAnOldChainFile)
{
    testfiles::write(project("Demo.pas"),
                     "program Demo;\r\n{ERR Demo.pas,2,5,36,\"Type mismatch, here\"}\r\n{ERR UTIL.INC,7,1,2,Bad}\r\n");
    testfiles::write(project("Demo.chn"), "stale chain file");
    ASSERT_TRUE(build("Demo", false).finished);
    EXPECT_FALSE(QFile::exists(project("Demo.com")));
    expectNothingInjected();

    const BuildOutcome result = CollectBuildOutcome(m_projectDir);
    EXPECT_FALSE(result.succeeded);
    ASSERT_EQ(result.errors.errors.size(), 2);
    EXPECT_EQ(result.errors.errors.first(), (CompilerError{"Demo.pas", 2, "2", "5", "36", "Type mismatch, here"}));
    EXPECT_EQ(result.report, "file  : Demo.pas: line 2, column 5\r\nError : 36 - Type mismatch, here\r\n"
                             "file  : UTIL.INC: line 7, column 1\r\nError : 2 - Bad\r\n");
    EXPECT_FALSE(QFile::exists(project("errors.txt")));
    EXPECT_TRUE(QFile::exists(project("result.txt")));
}

TEST_F(BuildRun, AProjectDirectoryThatCannotBeEnteredRunsNoCompiler)
{
    ASSERT_TRUE(QDir(m_projectDir).removeRecursively());
    ASSERT_TRUE(build("Demo", false).finished);
    EXPECT_TRUE(QDir(m_elsewhere).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(Dsktool, CopiesEveryFileOfAFolderWithBlanksOntoANewMsxDisk)
{
    if (QStandardPaths::findExecutable("mcopy").isEmpty() || QStandardPaths::findExecutable("mdir").isEmpty())
        GTEST_SKIP() << "mtools is not installed";
    QTemporaryDir root;
    const QString appDir = root.filePath("kit dir");
    buildtest::makeKit(appDir);
    const QString projectDir = root.filePath("my project $(touch pwned)");
    testfiles::write(projectDir + "/DEMO.PAS", kSource);
    testfiles::write(projectDir + "/demo.com", QByteArray(3000, '\xC9'));
    testfiles::write(projectDir + "/NOEXT", "x");
    testfiles::write(projectDir + "/.hidden", "h");
    testfiles::write(projectDir + "/sub/INNER.PAS", "i");
    const QString image = DiskImagePath(appDir + "/dsk");

    const CommandLine command = DsktoolCommand(appDir, image, projectDir);
    const common::ShellOutcome outcome = common::RunProgram(command.program, command.arguments, true);
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0);

    const QByteArray disk = testfiles::read(image);
    ASSERT_EQ(disk.size(), 737280);
    EXPECT_EQ(static_cast<quint8>(disk.at(0x15)), 0xF9) << "media byte in the boot sector";
    EXPECT_EQ(static_cast<quint8>(disk.at(0x200)), 0xF9) << "media byte at the start of the FAT";
    EXPECT_EQ(static_cast<quint8>(disk.at(0x1E)), 0xC9) << "the MSX boot code must be a plain RET";

    QProcess mdir;
    mdir.start("mdir", {"-b", "-i", image, "::"});
    ASSERT_TRUE(mdir.waitForFinished(20000));
    QStringList listed = QString::fromLocal8Bit(mdir.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    for (QString& line : listed)
        line = line.trimmed().toUpper();
    listed.sort();
    EXPECT_EQ(listed, QStringList({"::/DEMO.COM", "::/DEMO.PAS", "::/NOEXT"}));
    EXPECT_FALSE(QFile::exists(root.filePath("pwned")));
    EXPECT_FALSE(QFile::exists(QDir::current().filePath("pwned")));
}

TEST(Dsktool, FailuresExitNonZeroWithAReason)
{
    QTemporaryDir root;
    const QString tool = testfiles::kitSourceDir() + "/dsk/dsktool";
    testfiles::write(root.filePath("p/BIG.BIN"), QByteArray(800 * 1024, 'b'));
    QProcessEnvironment noMtools = QProcessEnvironment::systemEnvironment();
    noMtools.insert("PATH", root.filePath("empty"));
    const bool haveMtools = !QStandardPaths::findExecutable("mcopy").isEmpty();

    const struct {
        const char* name;
        QStringList arguments;
        QProcessEnvironment environment;
        bool needsMtools;
        const char* message;
    } rows[] = {
        {"wrong arguments", {"x"}, QProcessEnvironment::systemEnvironment(), false, "usage: dsktool a IMAGE PATTERN"},
        {"mtools missing", {"a", root.filePath("d.dsk"), root.filePath("p/*.*")}, noMtools, false, "install mtools"},
        {"no such folder", {"a", root.filePath("d.dsk"), root.filePath("none/*.*")},
         QProcessEnvironment::systemEnvironment(), true, "no such directory"},
        {"files that do not fit", {"a", root.filePath("d.dsk"), root.filePath("p/*.*")},
         QProcessEnvironment::systemEnvironment(), true, "cannot copy"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.needsMtools && !haveMtools)
            continue;
        QProcess process;
        process.setProcessEnvironment(row.environment);
        process.start("/bin/sh", QStringList{tool} + row.arguments);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_NE(process.exitCode(), 0);
        EXPECT_TRUE(process.readAllStandardError().contains(row.message));
    }
}

TEST(EmulatorStandIn, ReceivesTheImagePathAsOneArgumentWithoutAShell)
{
    QTemporaryDir root;
    const QString log = root.filePath("emulator.log");
    qputenv("EMULATOR_LOG", QFile::encodeName(log));
    const QString image = root.filePath("my disks/$(touch pwned) `touch pwned2`/d.dsk");
    const CommandLine command =
        EmulatorCommand(testfiles::testToolsDir() + "/emulator", "-diska %dsk -msx2", image);
    const common::ShellOutcome outcome = common::RunProgram(command.program, command.arguments, false);
    qunsetenv("EMULATOR_LOG");
    EXPECT_TRUE(outcome.started);
    ASSERT_TRUE(testfiles::waitUntil([&] { return QFile::exists(log); }, 10000));
    EXPECT_EQ(testfiles::read(log), "-diska\n" + QFile::encodeName(image) + "\n-msx2\n");
    EXPECT_FALSE(QFile::exists(root.filePath("pwned")));
    EXPECT_FALSE(QFile::exists(QDir::current().filePath("pwned")));
}
