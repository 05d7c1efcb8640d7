#include "core/OpenMsxMachines.h"

#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace common;

TEST(OpenMsxMachines, ADiskDriveIsADeviceWithDrives)
{
    const struct {
        const char* name;
        QByteArray xml;
        std::optional<bool> drive;
    } rows[] = {
        {"memory-mapped FDC with two drives",
         "<?xml version=\"1.0\"?><!DOCTYPE msxconfig SYSTEM 'msxconfig2.dtd'><msxconfig><devices>"
         "<primary slot=\"3\"><WD2793 id=\"Memory Mapped FDC\"><rom><filename>disk.rom</filename></rom>"
         "<drives>2</drives></WD2793></primary></devices></msxconfig>",
         true},
        {"one drive, blanks around the number", "<msxconfig><devices><TC8566AF><drives> 1 </drives></TC8566AF></devices></msxconfig>", true},
        {"no disk controller", "<msxconfig><devices><PSG id=\"PSG\"><sound><volume>21000</volume></sound></PSG></devices></msxconfig>", false},
        {"a controller without drives", "<msxconfig><devices><WD2793><drives>0</drives></WD2793></devices></msxconfig>", false},
        {"not well-formed, as openMSX ships some", "<msxconfig><devices><ROM id=\"Painter & Graphic\"/>"
         "<WD2793><drives>2</drives></WD2793></devices></msxconfig>", true},
        {"not well-formed, no drives", "<msxconfig><ROM id=\"A & B\"/><drives>0</drives></msxconfig>", false},
        {"cut short", "<msxconfig><devices><WD2793><drives>2</dri", std::nullopt},
        {"not XML", "C-BIOS", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(MachineHasDiskDrive(row.xml), row.drive);
    }
}

TEST(OpenMsxMachines, TheMachineFileOfANameInTheFirstFolderThatHasIt)
{
    QTemporaryDir system;
    QTemporaryDir user;
    testfiles::write(system.filePath("A.xml"), "<a/>");
    testfiles::write(system.filePath("B/hardwareconfig.xml"), "<b/>");
    testfiles::write(user.filePath("A.xml"), "<user/>");
    testfiles::write(user.filePath("C.xml"), "<c/>");
    const QStringList folders{system.path(), user.path()};
    EXPECT_EQ(OpenMsxMachineFile(folders, "A"), system.filePath("A.xml"));
    EXPECT_EQ(OpenMsxMachineFile(folders, "B"), system.filePath("B/hardwareconfig.xml"));
    EXPECT_EQ(OpenMsxMachineFile(folders, "C"), user.filePath("C.xml"));
    for (const char* none : {"D", "", "../A", ".."})
        EXPECT_EQ(OpenMsxMachineFile(folders, QLatin1String(none)), QString()) << none;
}

// The rule holds for the descriptions openMSX ships: C-BIOS machines have no disk drive, the
// Philips NMS 8250 has one, and every description is read to the end.
TEST(OpenMsxMachines, TheInstalledMachines)
{
    const QString folder = QStringLiteral("/usr/share/openmsx/machines");
    if (!QDir(folder).exists())
        GTEST_SKIP() << "openMSX is not installed";
    const auto drive = [&](const char* name) {
        return MachineHasDiskDrive(testfiles::read(OpenMsxMachineFile({folder}, QLatin1String(name))));
    };
    EXPECT_EQ(drive("C-BIOS_MSX1"), std::optional<bool>(false));
    EXPECT_EQ(drive("C-BIOS_MSX2+"), std::optional<bool>(false));
    if (!OpenMsxMachineFile({folder}, "Philips_NMS_8250").isEmpty()) {
        EXPECT_EQ(drive("Philips_NMS_8250"), std::optional<bool>(true));
    }
    int withDrive = 0;
    const QStringList machines = ListOpenMsxMachines({folder});
    for (const QString& machine : machines) {
        const std::optional<bool> has = MachineHasDiskDrive(testfiles::read(OpenMsxMachineFile({folder}, machine)));
        EXPECT_TRUE(has.has_value()) << machine.toStdString();
        withDrive += has.value_or(false) ? 1 : 0;
    }
    EXPECT_GT(withDrive, 0);
    EXPECT_LT(withDrive, machines.size());
}
