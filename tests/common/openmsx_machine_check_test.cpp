#include "core/OpenMsxMachineCheck.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace common;

namespace {

// Sets an environment variable for the object's lifetime.
class Env {
public:
    Env(const char* name, const QByteArray& value) : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~Env() { m_had ? qputenv(m_name, m_old) : qunsetenv(m_name); }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

// A machine made up for the test: a main ROM and a disk controller with one drive, each ROM named
// by <filename> only, so openMSX takes any file of that name beside the description.
const QByteArray MadeUpDiskMachine = R"(<?xml version="1.0" ?>
<!DOCTYPE msxconfig SYSTEM 'msxconfig2.dtd'>
<msxconfig>
  <info><manufacturer>Test</manufacturer><code>Disk</code><type>MSX</type></info>
  <devices>
    <primary slot="0">
      <ROM id="Main ROM"><mem base="0x0000" size="0x8000"/><rom><filename>main.rom</filename></rom></ROM>
    </primary>
    <primary slot="1">
      <WD2793 id="Memory Mapped FDC">
        <connectionstyle>Philips</connectionstyle>
        <mem base="0x4000" size="0x8000"/>
        <drives>1</drives>
        <rom><filename>disk.rom</filename></rom>
      </WD2793>
    </primary>
    <primary slot="3"><RAM id="Main RAM"><mem base="0x0000" size="0x10000"/></RAM></primary>
    <PPI id="ppi"><io base="0xA8" num="4"/><sound><volume>16000</volume></sound><key_ghosting>false</key_ghosting>
      <keyboard_type>int</keyboard_type><has_keypad>false</has_keypad><code_kana_locks>false</code_kana_locks>
      <graph_locks>false</graph_locks></PPI>
    <VDP id="VDP"><io base="0x98" num="2" type="O"/><io base="0x98" num="2" type="I"/><version>TMS9929A</version><vram>16</vram></VDP>
  </devices>
</msxconfig>
)";

bool waitForChecks(OpenMsxMachineChecker& checker, const QStringList& only = {})
{
    checker.start(only);
    return testfiles::waitUntil([&] { return checker.done(); }, 60000);
}

} // namespace

// With the real openMSX: a C-BIOS machine starts and has no drive, a machine whose ROMs are
// missing does not start, a damaged description does not either, and a machine made up in the
// user's folder with zero-filled ROMs starts with a disk drive. The answers are kept until a ROM
// file changes.
TEST(OpenMsxMachineCheck, TheRealOpenMsxTellsWhichMachinesStart)
{
    const QString openmsx = QStandardPaths::findExecutable("openmsx");
    if (openmsx.isEmpty() || !QFile::exists("/usr/share/openmsx/machines/C-BIOS_MSX1.xml"))
        GTEST_SKIP() << "openMSX is not installed";
    QTemporaryDir home;
    const Env homeEnv("HOME", QFile::encodeName(home.path()));
    const QString machineDir = home.filePath(".openMSX/share/machines/Test_Disk_MSX");
    testfiles::write(machineDir + "/hardwareconfig.xml", MadeUpDiskMachine);
    testfiles::write(machineDir + "/main.rom", QByteArray(0x8000, '\0'));
    testfiles::write(machineDir + "/disk.rom", QByteArray(0x4000, '\0'));
    testfiles::write(home.filePath(".openMSX/share/machines/Test_Damaged.xml"), MadeUpDiskMachine.left(400));
    const QString cache = home.filePath("machines.cache");
    const QStringList machines{"C-BIOS_MSX1", "Philips_NMS_8245", "Test_Disk_MSX", "Test_Damaged"};

    {
        OpenMsxMachineChecker checker(openmsx, cache);
        ASSERT_TRUE(checker.machines().contains("Test_Disk_MSX")) << "a machine in a folder of its own is listed";
        ASSERT_TRUE(waitForChecks(checker, machines));
        const MachineCheck cbios = checker.check("C-BIOS_MSX1");
        EXPECT_TRUE(cbios.starts()) << cbios.reason.toStdString();
        EXPECT_EQ(cbios.diskDrive, false);
        const MachineCheck philips = checker.check("Philips_NMS_8245");
        EXPECT_EQ(philips.start, MachineCheck::Start::DoesNotStart);
        EXPECT_TRUE(philips.romsMissing);
        EXPECT_TRUE(philips.reason.contains("Couldn't find ROM file")) << philips.reason.toStdString();
        EXPECT_TRUE(checker.check("Test_Disk_MSX").startsWithDiskDrive()) << checker.check("Test_Disk_MSX").reason.toStdString();
        const MachineCheck damaged = checker.check("Test_Damaged");
        EXPECT_EQ(damaged.start, MachineCheck::Start::DoesNotStart);
        EXPECT_EQ(damaged.diskDrive, std::nullopt);
        EXPECT_EQ(MachineCheckMark(damaged), "does not start, description damaged");
        EXPECT_EQ(checker.diskMachinesMissingRoms(), QStringList{"Philips_NMS_8245"});
        EXPECT_TRUE(OpenMsxMachineAdvice(checker).isEmpty()) << "a machine with a drive starts";
    }
    {
        // Nothing changed: the answers are there before any check runs.
        OpenMsxMachineChecker cached(openmsx, cache);
        EXPECT_TRUE(cached.check("Test_Disk_MSX").startsWithDiskDrive());
        EXPECT_TRUE(cached.check("Philips_NMS_8245").romsMissing);
    }
    // A ROM file removed: the cache no longer answers, and openMSX now names the missing ROM.
    ASSERT_TRUE(QFile::remove(machineDir + "/disk.rom"));
    OpenMsxMachineChecker changed(openmsx, cache);
    EXPECT_EQ(changed.check("Test_Disk_MSX").start, MachineCheck::Start::Unchecked);
    ASSERT_TRUE(waitForChecks(changed, machines));
    EXPECT_TRUE(changed.check("Test_Disk_MSX").romsMissing);
    EXPECT_TRUE(changed.check("Test_Disk_MSX").reason.contains("disk.rom"));
    const QString advice = OpenMsxMachineAdvice(changed);
    EXPECT_TRUE(advice.contains(home.filePath(".openMSX/share/systemroms"))) << advice.toStdString();
    EXPECT_TRUE(advice.contains("Philips_NMS_8245, Test_Disk_MSX")) << advice.toStdString();
}

// An openMSX that hangs is cut off after the time limit; none at all is said; the answers that
// could not be had are not kept.
TEST(OpenMsxMachineCheck, AHangingOrMissingOpenMsxHoldsNothingUp)
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath("machines/A.xml"), "<msxconfig><devices><WD2793><drives>1</drives></WD2793></devices></msxconfig>");
    testfiles::write(dir.filePath("machines/B.xml"), "<msxconfig/>");
    const Env system("OPENMSX_SYSTEM_DATA", QFile::encodeName(dir.path()));
    const Env user("OPENMSX_USER_DATA", QFile::encodeName(dir.filePath("user")));
    const QString hanging = dir.filePath("openmsx");
    testfiles::write(hanging, "#!/bin/sh\nexec sleep 60\n");
    QFile::setPermissions(hanging, QFile::ReadOwner | QFile::ExeOwner);
    const QString cache = dir.filePath("machines.cache");

    OpenMsxMachineChecker checker(hanging, cache);
    checker.setTimeoutMs(300);
    QSignalSpy all(&checker, &OpenMsxMachineChecker::allChecked);
    ASSERT_TRUE(waitForChecks(checker));
    EXPECT_EQ(all.count(), 1);
    for (const char* machine : {"A", "B"}) {
        EXPECT_EQ(checker.check(machine).start, MachineCheck::Start::CheckFailed) << machine;
        EXPECT_TRUE(checker.check(machine).reason.contains("no answer")) << machine;
    }
    EXPECT_EQ(checker.firstStartingDiskMachine(), "");
    EXPECT_EQ(ReadMachineCheckCache(testfiles::read(cache), OpenMsxSetupFingerprint(hanging, checker.machineFolders(),
                                                                                    OpenMsxRomFolders(hanging)))
                  ->size(),
              0);

    OpenMsxMachineChecker none(QString(), cache);
    ASSERT_TRUE(waitForChecks(none));
    EXPECT_EQ(none.check("A").start, MachineCheck::Start::CheckFailed);
    EXPECT_EQ(none.check("A").reason, "openMSX was not found");
}

TEST(OpenMsxMachineCheck, TheCacheReadsBackWhatWasWrittenAndNothingElse)
{
    QHash<QString, MachineCheck> checks;
    checks.insert("A", {MachineCheck::Start::Starts, true, false, QString()});
    checks.insert("B", {MachineCheck::Start::DoesNotStart, false, true, "Couldn't find ROM file\tx"});
    checks.insert("C", {MachineCheck::Start::DoesNotStart, std::nullopt, false, "Fatal error"});
    checks.insert("D", {MachineCheck::Start::CheckFailed, true, false, "hung"});
    const QByteArray bytes = WriteMachineCheckCache(checks, "f1");
    const auto read = ReadMachineCheckCache(bytes, "f1");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size(), 3) << "a check that failed is made again";
    EXPECT_EQ(read->value("A"), checks["A"]);
    EXPECT_EQ(read->value("B").reason, "Couldn't find ROM file x");
    EXPECT_EQ(read->value("C"), checks["C"]);
    for (const QByteArray& damaged : {QByteArray(), bytes.left(bytes.size() - 1), QByteArray(bytes).replace("starts", "maybe"),
                                      QByteArray(bytes).replace("\t1\t", "\t7\t"), QByteArray(bytes).replace("f1", "f2")})
        EXPECT_FALSE(ReadMachineCheckCache(damaged, "f1")) << damaged.toStdString();
}
