#include "tools/Form4.h"

#include "FindControl.h"
#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "ToolsTestSupport.h"
#include "tools/EmulatorPresets.h"
#include "ui/MachineMarks.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QByteArray WithDrive = "<?xml version=\"1.0\"?><msxconfig><devices><primary slot=\"3\">"
                             "<WD2793 id=\"Memory Mapped FDC\"><drives>1</drives></WD2793></primary></devices></msxconfig>";
const QByteArray WithoutDrive = "<?xml version=\"1.0\"?><msxconfig><devices><PSG id=\"PSG\"/></devices></msxconfig>";

// openMSX's machine folders with a machine that has no disk drive (first by name) and one that
// has one, and stand-ins named openmsx and fmsx first on PATH.
class Presets : public ::testing::Test {
protected:
    void SetUp() override
    {
        testfiles::write(data.filePath("system/machines/A_NoDisk.xml"), WithoutDrive);
        testfiles::write(data.filePath("system/machines/B_Disk.xml"), WithDrive);
        testfiles::write(data.filePath("user/machines/C_Mine/hardwareconfig.xml"), WithDrive);
        testfiles::write(data.filePath("user/machines/C_Mine.xml"), WithDrive);
        for (const char* name : {"bin/openmsx", "bin/fmsx"}) {
            testfiles::write(data.filePath(name), "#!/bin/sh\nexit 0\n");
            QFile::setPermissions(data.filePath(name), QFile::ReadOwner | QFile::ExeOwner);
        }
        systemData = std::make_unique<ScopedEnv>("OPENMSX_SYSTEM_DATA", QFile::encodeName(data.filePath("system")));
        userData = std::make_unique<ScopedEnv>("OPENMSX_USER_DATA", QFile::encodeName(data.filePath("user")));
        path = std::make_unique<ScopedEnv>("PATH", QFile::encodeName(data.filePath("bin")) + ':' + qgetenv("PATH"));
    }

    std::unique_ptr<Form4> open(const tarvel::ConfigSettings& settings)
    {
        auto window = std::make_unique<Form4>(settings, kit.dir(), dialogs, nullptr);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }

    QTemporaryDir data;
    TarvelKit kit;
    ScriptedDialogs dialogs;
    std::unique_ptr<ScopedEnv> systemData;
    std::unique_ptr<ScopedEnv> userData;
    std::unique_ptr<ScopedEnv> path;
};

} // namespace

TEST_F(Presets, ChoosingAPresetFillsThePathAndTheCommandLine)
{
    auto window = open(kit.defaults());
    auto* preset = control<QComboBox>(window.get(), "cboPreset");
    auto* machine = control<QComboBox>(window.get(), "cboMachine");
    auto* note = control<QLabel>(window.get(), "lblMachineNote");
    auto* emulator = control<QLineEdit>(window.get(), "Text1");
    auto* commandLine = control<QLineEdit>(window.get(), "Text2");
    ASSERT_EQ(preset->count(), 3);
    EXPECT_EQ(preset->itemText(0), "openMSX");
    EXPECT_EQ(preset->itemText(1), "fMSX");
    EXPECT_EQ(preset->itemText(2), "Custom");
    EXPECT_EQ(preset->currentText(), "Custom") << "no emulator set yet";
    EXPECT_FALSE(machine->isEnabled());
    EXPECT_EQ(commandLine->text(), "-diska %dsk -msx2");

    // openMSX, chosen with the keyboard: the program on PATH and the first machine with a drive.
    preset->setFocus();
    QTest::keyClick(preset, Qt::Key_Home);
    EXPECT_EQ(preset->currentText(), "openMSX");
    EXPECT_EQ(emulator->text(), data.filePath("bin/openmsx"));
    // Chosen once the machines are checked (the stand-in openMSX starts every one).
    ASSERT_TRUE(testfiles::waitUntil([&] { return commandLine->text() == "-machine B_Disk -diska %dsk"; }, 30000))
        << commandLine->text().toStdString();
    EXPECT_TRUE(machine->isEnabled());
    ASSERT_EQ(machine->count(), 3);
    EXPECT_EQ(machine->itemText(2), "C_Mine") << "the user's machines are listed too";
    EXPECT_TRUE(note->isHidden());

    // A machine without a disk drive is said to have none.
    QTest::keyClick(machine, Qt::Key_Up);
    EXPECT_EQ(machine->currentText(), "A_NoDisk");
    EXPECT_EQ(commandLine->text(), "-machine A_NoDisk -diska %dsk");
    EXPECT_FALSE(note->isHidden());
    EXPECT_EQ(note->text(), "A_NoDisk has no disk drive: Compile and Run puts the program on a disk in drive A, "
                            "so choose a machine with a disk drive.");
    // A typed name openMSX does not have.
    machine->lineEdit()->selectAll();
    QTest::keyClicks(machine->lineEdit(), "Nope");
    EXPECT_EQ(commandLine->text(), "-machine Nope -diska %dsk");
    EXPECT_EQ(note->text(), "openMSX has no machine named Nope.");
    QTest::keyClick(machine->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(machine->lineEdit(), "C_Mine");
    EXPECT_EQ(commandLine->text(), "-machine C_Mine -diska %dsk");
    EXPECT_TRUE(note->isHidden());

    // fMSX.
    QTest::keyClick(preset, Qt::Key_Down);
    EXPECT_EQ(preset->currentText(), "fMSX");
    EXPECT_EQ(emulator->text(), data.filePath("bin/fmsx"));
    EXPECT_EQ(commandLine->text(), "-diska %dsk -msx2");
    EXPECT_FALSE(machine->isEnabled());

    // Custom keeps the fields; typing in the command line makes the preset Custom.
    QTest::keyClick(preset, Qt::Key_Down);
    EXPECT_EQ(preset->currentText(), "Custom");
    EXPECT_EQ(emulator->text(), data.filePath("bin/fmsx"));
    EXPECT_EQ(commandLine->text(), "-diska %dsk -msx2");
    QTest::keyClick(preset, Qt::Key_Up);
    EXPECT_EQ(preset->currentText(), "fMSX");
    commandLine->setFocus();
    QTest::keyClicks(commandLine, " -ram 512");
    EXPECT_EQ(preset->currentText(), "Custom");

    QTest::mouseClick(control<QPushButton>(window.get(), "Command1"), Qt::LeftButton);
    ASSERT_TRUE(window->accepted());
    EXPECT_EQ(window->accepted()->EmulatorPath, data.filePath("bin/fmsx"));
    EXPECT_EQ(window->accepted()->EmulatorCommandLine, "-diska %dsk -msx2 -ram 512");
}

TEST_F(Presets, TheStoredSettingsShowTheirPresetAndChangeNothing)
{
    tarvel::ConfigSettings settings = kit.defaults();
    settings.EmulatorPath = "/opt/openmsx/bin/openmsx";
    settings.EmulatorCommandLine = "-machine A_NoDisk -diska %dsk";
    auto window = open(settings);
    EXPECT_EQ(control<QComboBox>(window.get(), "cboPreset")->currentText(), "openMSX");
    EXPECT_EQ(control<QComboBox>(window.get(), "cboMachine")->currentText(), "A_NoDisk");
    EXPECT_EQ(control<QLineEdit>(window.get(), "Text1")->text(), "/opt/openmsx/bin/openmsx");
    EXPECT_EQ(control<QLineEdit>(window.get(), "Text2")->text(), "-machine A_NoDisk -diska %dsk");
    EXPECT_FALSE(control<QLabel>(window.get(), "lblMachineNote")->isHidden()) << "the machine has no disk drive";

    // Choosing openMSX again keeps the program that is already openMSX and the machine.
    auto* preset = control<QComboBox>(window.get(), "cboPreset");
    preset->setFocus();
    QTest::keyClick(preset, Qt::Key_End);
    EXPECT_EQ(preset->currentText(), "Custom");
    QTest::keyClick(preset, Qt::Key_Home);
    EXPECT_EQ(preset->currentText(), "openMSX");
    EXPECT_EQ(control<QLineEdit>(window.get(), "Text1")->text(), "/opt/openmsx/bin/openmsx");
    EXPECT_EQ(control<QLineEdit>(window.get(), "Text2")->text(), "-machine A_NoDisk -diska %dsk");
}

TEST(EmulatorPresets, DetectionAndCommandLines)
{
    using tarvel::EmulatorPreset;
    const struct {
        const char* path;
        const char* commandLine;
        EmulatorPreset preset;
    } rows[] = {
        {"/usr/bin/openmsx", "-machine Panasonic_FS-A1GT -diska %dsk", EmulatorPreset::OpenMsx},
        {"/usr/bin/openmsx", "-diska %dsk", EmulatorPreset::OpenMsx},
        {"/usr/bin/openmsx", "-machine \"My MSX\" -diska %dsk", EmulatorPreset::OpenMsx},
        {"/usr/bin/openmsx", "-diska %dsk -msx2", EmulatorPreset::Custom}, // the README's trap
        {"/opt/fMSX/fmsx", "-diska %dsk -msx2", EmulatorPreset::Fmsx},
        {"/opt/fmsx", "-diska %dsk", EmulatorPreset::Custom},
        {"", "-diska %dsk -msx2", EmulatorPreset::Custom},
        {"/opt/brmsx.exe", "-machine X -diska %dsk", EmulatorPreset::Custom},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.commandLine);
        EXPECT_EQ(tarvel::DetectEmulatorPreset(QLatin1String(row.path), QLatin1String(row.commandLine)), row.preset);
    }
    EXPECT_EQ(tarvel::OpenMsxCommandLine("My MSX"), "-machine \"My MSX\" -diska %dsk");
    EXPECT_EQ(tarvel::OpenMsxMachineOf("-machine \"My MSX\" -diska %dsk"), "My MSX");
    EXPECT_EQ(tarvel::OpenMsxMachineOf("-diska %dsk -machine"), "");
}

// A preset whose program is not found leaves no other program's path; when no machine with a
// disk drive starts, the window says where the ROMs go and which machines would then start.
TEST_F(Presets, AMissingProgramOrMissingRomsAreExplained)
{
    QFile::remove(data.filePath("bin/openmsx"));
    const ScopedEnv onlyBin("PATH", QFile::encodeName(data.filePath("bin")));
    tarvel::ConfigSettings settings = kit.defaults();
    settings.EmulatorPath = data.filePath("bin/fmsx");
    auto window = open(settings);
    auto* preset = control<QComboBox>(window.get(), "cboPreset");
    auto* note = control<QLabel>(window.get(), "lblMachineNote");
    auto* emulator = control<QLineEdit>(window.get(), "Text1");
    auto* commandLine = control<QLineEdit>(window.get(), "Text2");
    EXPECT_TRUE(control<QLabel>(window.get(), "lblBootDisk")->text().contains("No boot disk"));
    ASSERT_EQ(preset->currentText(), "fMSX");
    preset->setFocus();
    QTest::keyClick(preset, Qt::Key_Up);
    ASSERT_EQ(preset->currentText(), "openMSX");
    EXPECT_EQ(emulator->text(), "") << "fMSX's program is not kept for openMSX";
    EXPECT_FALSE(note->isHidden());
    EXPECT_TRUE(note->text().contains("openmsx was not found")) << note->text().toStdString();
    EXPECT_TRUE(note->text().contains("Debian package openmsx")) << note->text().toStdString();

    // An openMSX that misses every ROM: no machine is chosen, and the note says what to do.
    testfiles::write(data.filePath("bin/openmsx"), "#!/bin/sh\necho \"Couldn't find ROM file for $2\"\nexit 1\n");
    QFile::setPermissions(data.filePath("bin/openmsx"), QFile::ReadOwner | QFile::ExeOwner);
    QTest::keyClick(preset, Qt::Key_End);
    QTest::keyClick(preset, Qt::Key_Home);
    EXPECT_EQ(emulator->text(), data.filePath("bin/openmsx"));
    ASSERT_TRUE(testfiles::waitUntil([&] { return note->text().contains("systemroms"); }, 30000)) << note->text().toStdString();
    EXPECT_TRUE(note->text().contains(data.filePath("user/systemroms"))) << note->text().toStdString();
    EXPECT_TRUE(note->text().contains("these would start: B_Disk, C_Mine.")) << note->text().toStdString();
    EXPECT_EQ(commandLine->text(), "-diska %dsk");
    auto* machine = control<QComboBox>(window.get(), "cboMachine");
    EXPECT_EQ(machine->itemData(1, common::kMachineMarkRole).toString(), "ROMs missing, disk drive");
}
