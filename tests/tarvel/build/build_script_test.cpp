#include "build/BuildScript.h"
#include "projects/ProjectFile.h"

#include "BuildTestKit.h"
#include "TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tarvel;

namespace {

BuildRequest windowsDemo(bool makeChn)
{
    return {QStringLiteral("C:\\WORK\\DEMO\\"), QStringLiteral("C:\\IDE"), QStringLiteral("Demo"), 0x2E9B,
            static_cast<qint16>(0xD200), makeChn};
}

BuildRequest linuxDemo(bool makeChn)
{
    return {QStringLiteral("/home/ann/work/demo/"), QStringLiteral("/opt/tarvel"), QStringLiteral("Demo"), 0x2E9B,
            static_cast<qint16>(0xD200), makeChn};
}

} // namespace

TEST(BuildScript, AddressesAreUnsignedUpperCaseHexWithoutLeadingZeros)
{
    const struct {
        const char* name;
        qint16 address;
        const char* hex;
    } rows[] = {
        {"default start", 0x2E9B, "2E9B"},
        {"default end held negative", static_cast<qint16>(0xD200), "D200"},
        {"0x100", 0x100, "100"},
        {"0xF000", static_cast<qint16>(0xF000), "F000"},
        {"zero", 0, "0"},
        {"one digit", 0xF, "F"},
        {"-1 is FFFF", -1, "FFFF"},
        {"lowest negative", static_cast<qint16>(0x8000), "8000"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FormatAddress(row.address), QLatin1String(row.hex));
    }
}

TEST(BuildScript, BaseNameDropsEveryPasIgnoringCase)
{
    EXPECT_EQ(MainFileBaseName("Main.PAS"), "Main");
    EXPECT_EQ(MainFileBaseName("my.pascal.pas"), "mycal");
    EXPECT_EQ(MainFileBaseName("Demo"), "Demo");
}

TEST(BuildScript, BatchRenderingMatchesTheHistoricalFileForBothKinds)
{
    buildtest::expectSameAsReference(RenderBatchFile(BuildSteps(windowsDemo(false), PathStyle::Windows)),
                                     "turbopc-com.bat");
    buildtest::expectSameAsReference(RenderBatchFile(BuildSteps(windowsDemo(true), PathStyle::Windows)),
                                     "turbopc-chn.bat");
}

TEST(BuildScript, ComBuildJoinsRuntimeAndChainFileChnBuildStopsAfterTheCompiler)
{
    const QList<BuildStep> com = BuildSteps(linuxDemo(false));
    const QList<BuildStep> expectedCom{
        {BuildStep::Kind::ChangeDirectory, "/home/ann/work/demo/", {}, {}},
        {BuildStep::Kind::RunCompiler, "/opt/tarvel/compiler/TP3", {"Demo", "/S2E9B", "/ED200", "/Rerrors.txt"},
         "result.txt"},
        {BuildStep::Kind::JoinFiles, {}, {"/opt/tarvel/compiler/runtime.com", "Demo.chn"}, "Demo.com"},
    };
    EXPECT_EQ(com, expectedCom);

    const QList<BuildStep> chn = BuildSteps(linuxDemo(true));
    ASSERT_EQ(chn.size(), 2);
    EXPECT_EQ(chn[1].arguments, QStringList({"Demo", "/H", "/S2E9B", "/ED200", "/Rerrors.txt"}));
    // An application directory given with its trailing separator gives the same paths.
    BuildRequest slashed = linuxDemo(false);
    slashed.appDir += '/';
    EXPECT_EQ(BuildSteps(slashed), expectedCom);
}

TEST(BuildScript, ShellScriptMatchesTheReferenceFiles)
{
    buildtest::expectSameAsReference(RenderShellScript(BuildSteps(linuxDemo(false))), "turbopc-com.sh");
    BuildRequest chn = linuxDemo(true);
    chn.startAddress = 0x100;
    chn.endAddress = static_cast<qint16>(0xF000);
    buildtest::expectSameAsReference(RenderShellScript(BuildSteps(chn)), "turbopc-chn.sh");
}

TEST(BuildScript, ShellScriptQuotesHostileNamesAndWritesFileSystemBytes)
{
    const struct {
        const char* name;
        QString dir;
        QString base;
        QByteArray expectedCd;
        QByteArray expectedCompilerWord;
    } rows[] = {
        {"quote", "/p/it's", "a'b", "cd -- '/p/it'\\''s' || exit 1", " 'a'\\''b' "},
        {"command substitution", "/p/$(touch x)", "`id`", "cd -- '/p/$(touch x)' || exit 1", " '`id`' "},
        {"separators", "/p/a; rm -rf b && c|d", "x y", "cd -- '/p/a; rm -rf b && c|d' || exit 1", " 'x y' "},
        {"newline", "/p/a\nb", "n", "cd -- '/p/a\nb' || exit 1", " 'n' "},
        {"non-ASCII as UTF-8 bytes", QString::fromUtf8("/p/\xC3\xA4"), QString::fromUtf8("\xC3\xB6"),
         "cd -- '/p/\xC3\xA4' || exit 1", " '\xC3\xB6' "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QByteArray script = RenderShellScript(BuildSteps({row.dir, "/app", row.base, 0, 0, false}));
        EXPECT_TRUE(script.contains(row.expectedCd)) << script.toStdString();
        EXPECT_TRUE(script.contains(row.expectedCompilerWord)) << script.toStdString();
    }
}

TEST(BuildScript, WritingReplacesTheOldScriptWhole)
{
    QTemporaryDir dir;
    const QString path = BuildScriptPath(dir.path());
    EXPECT_EQ(path, dir.path() + "/compiler/turbopc.sh");
    testfiles::write(path, QByteArray(5000, 'x'));
    const QList<BuildStep> steps = BuildSteps(linuxDemo(true));
    ASSERT_TRUE(WriteBuildScript(path, steps).ok());
    EXPECT_EQ(testfiles::read(path), RenderShellScript(steps));
}
