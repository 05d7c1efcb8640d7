// Runs the real build script, dsktool and the stand-ins for the compiler and the emulator.
#include "build/BuildScript.h"
#include "build/CompilerResults.h"
#include "build/RunCommands.h"

#include "BuildTestKit.h"
#include "TestFiles.h"

#include "core/Process.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
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
        const common::ShellOutcome ran = common::RunProgram(command.program, command.arguments, true, m_elsewhere);
        // The join is Tarvel's own step once the script has ended.
        for (const BuildStep& step : steps) {
            if (step.kind == BuildStep::Kind::JoinFiles) {
                EXPECT_TRUE(JoinFiles(m_projectDir, step).ok());
            }
        }
        return ran;
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
    EXPECT_EQ(testfiles::read(project("tp3calls.txt")), "Demo|/S2E9B|/ED200|/Rerrors.txt|\n");
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
    EXPECT_EQ(testfiles::read(project("tp3calls.txt")), "Demo|/H|/S2E9B|/ED200|/Rerrors.txt|\n");
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

namespace {

// The names on an image, listed by mdir run inside the image's folder.
QStringList DiskListing(const QString& image)
{
    QProcess mdir;
    mdir.setWorkingDirectory(QFileInfo(image).absolutePath());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MTOOLS_SKIP_CHECK", "1");
    environment.insert("MTOOLSRC", "/dev/null");
    mdir.setProcessEnvironment(environment);
    mdir.start("mdir", {"-b", "-i", "./" + QFileInfo(image).fileName(), "::"});
    if (!mdir.waitForFinished(20000))
        return {};
    QStringList listed = QString::fromUtf8(mdir.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    for (QString& line : listed)
        line = line.trimmed().mid(3); // "::/"
    listed.sort();
    return listed;
}

// Runs dsktool in `workingDir`; its exit status and standard error.
std::pair<int, QByteArray> RunDsktool(const QStringList& arguments, const QString& workingDir)
{
    QProcess process;
    process.setWorkingDirectory(workingDir);
    process.start(testfiles::kitSourceDir() + "/dsk/dsktool", arguments);
    if (!process.waitForFinished(60000))
        return {-1, "did not end"};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardError()};
}

// Files named PWN... anywhere under `folder` (what a name run as a command would have made).
QStringList Injected(const QString& folder)
{
    QStringList made;
    QDirIterator it(folder, {"PWN*"}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        made << it.next();
    return made;
}

} // namespace

TEST(Dsktool, NoFolderOrFileNameIsExpandedOrRun)
{
    if (QStandardPaths::findExecutable("mcopy").isEmpty() || QStandardPaths::findExecutable("mdir").isEmpty())
        GTEST_SKIP() << "mtools is not installed";
    // One kind of trick per row: a quote elsewhere in the same name would defuse the others.
    const struct {
        const char* name;
        QString imageFolder;
        QString sourceFolder;
        QString file;
    } rows[] = {
        {"command substitution", "img$(touch PWN_image)", "src$(touch PWN_source)", "$(touch PWN_file).pas"},
        {"backticks", "img`touch PWN_image`", "src`touch PWN_source`", "`touch PWN_file`.pas"},
        {"single quotes", "it's img", "it's src", "it's.pas"},
        {"double quotes", "img \"q\"", "src \"q\"", "q.pas"},
        {"semicolon and ampersand", "img;touch PWN_image&", "src; touch PWN_source &", "a;b&c.pas"},
        {"blanks and non-ASCII", QString::fromUtf8("my img \xC3\xA4"), QString::fromUtf8("my src \xC3\x9F"),
         QString::fromUtf8("\xC3\xA9t\xC3\xA9.pas")},
        {"glob and home characters", "img*[x]?~{a,b}", "~src*[x]", "br[x].pas"},
        {"an mtools offset", "img@@1k", "src@@1k", "x@@1k.pas"},
        {"a leading dash", "-img", "-src", "-rf.pas"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir root;
        const QString imageFolder = root.filePath(row.imageFolder);
        const QString sourceFolder = root.filePath(row.sourceFolder);
        ASSERT_TRUE(QDir().mkpath(imageFolder));
        testfiles::write(sourceFolder + "/DEMO.PAS", kSource);
        testfiles::write(sourceFolder + "/" + row.file, "x");

        const auto [status, errors] =
            RunDsktool({"a", imageFolder + "/d.dsk", sourceFolder + "/*.*"}, root.path());
        EXPECT_EQ(status, 0) << errors.toStdString();
        EXPECT_EQ(QFileInfo(imageFolder + "/d.dsk").size(), 737280) << "the image is where it should be";
        EXPECT_EQ(QDir(imageFolder).entryList(QDir::Files | QDir::Hidden), QStringList{"d.dsk"});
        EXPECT_EQ(DiskListing(imageFolder + "/d.dsk").size(), 2) << DiskListing(imageFolder + "/d.dsk").join(' ').toStdString();
        EXPECT_EQ(Injected(root.path()), QStringList());
        EXPECT_FALSE(QFile::exists(QDir::current().filePath("PWN_image")));
        EXPECT_FALSE(QFile::exists(QDir::current().filePath("PWN_source")));
    }
}

TEST(Dsktool, AnImageNameMtoolsWouldReadAsACommandIsRefused)
{
    if (QStandardPaths::findExecutable("mcopy").isEmpty())
        GTEST_SKIP() << "mtools is not installed";
    QTemporaryDir root;
    testfiles::write(root.filePath("src/DEMO.PAS"), kSource);
    for (const QString name : {"d$(touch PWN_name).dsk", "d`touch PWN_name`.dsk", "d@@1k.dsk", "~d.dsk", "d e.dsk"}) {
        SCOPED_TRACE(name.toStdString());
        const auto [status, errors] = RunDsktool({"a", root.filePath(name), root.filePath("src/*.*")}, root.path());
        EXPECT_NE(status, 0);
        EXPECT_TRUE(errors.contains("the image's file name may hold only")) << errors.toStdString();
        EXPECT_EQ(QDir(root.path()).entryList(QDir::Files | QDir::Hidden), QStringList()) << "nothing is made";
    }
}

TEST(Dsktool, NamesADiskCannotHoldAreCopiedUnderASafeName)
{
    if (QStandardPaths::findExecutable("mcopy").isEmpty() || QStandardPaths::findExecutable("mdir").isEmpty())
        GTEST_SKIP() << "mtools is not installed";
    QTemporaryDir root;
    for (const char* name : {"a\"b.pas", "c:d.pas", "st*r.pas", "q?.pas", "back\\slash.pas", "pipe|.pas"})
        testfiles::write(root.filePath(QStringLiteral("src/") + name), name);
    const auto [status, errors] = RunDsktool({"a", root.filePath("d.dsk"), root.filePath("src/*.*")}, root.path());
    EXPECT_EQ(status, 0) << errors.toStdString();
    EXPECT_EQ(DiskListing(root.filePath("d.dsk")),
              QStringList({"a_b.pas", "back_slash.pas", "c_d.pas", "pipe_.pas", "q_.pas", "st_r.pas"}));
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
