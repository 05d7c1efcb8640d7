// Lumivo's Run against the real emulators, where this machine has them: openMSX on a ROM
// cartridge, and DOSBox running a DOS program in BR-MSX's place. Both run without a display
// (SDL's dummy drivers) and with a home folder of the test's own, and everything started is ended
// by process id before the test ends.

#include "../QtPrinting.h"
#include "launcher/EmulatorCommand.h"
#include "launcher/FileList.h"
#include "launcher/Form1.h"
#include "launcher/ModMSX.h"
#include "launcher/OpenMsxSettings.h"

#include "../Pointer.h"
#include "../ScopedEnvironment.h"
#include "../StartingRunner.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace lumivo;

namespace {

// A 16 KB MSX cartridge: the "AB" header with its start address, then a program that prints a
// line through the BIOS and stays in a loop.
QByteArray testCartridge()
{
    QByteArray rom(16384, '\xff');
    const QByteArray header = QByteArray::fromHex("41 42 10 40 00 00 00 00 00 00 00 00 00 00 00 00");
    const QByteArray code = QByteArray::fromHex(
        "21 1F 40"  // 4010 ld hl,message
        "7E"        // 4013 loop: ld a,(hl)
        "B7"        // 4014 or a
        "28 06"     // 4015 jr z,done
        "CD A2 00"  // 4017 call CHPUT
        "23"        // 401A inc hl
        "18 F6"     // 401B jr loop
        "18 FE");   // 401D done: jr done
    const QByteArray message("LUMIVO TEST ROM\0", 16); // 401F
    rom.replace(0, header.size(), header);
    rom.replace(0x10, code.size(), code);
    rom.replace(0x1F, message.size(), message);
    return rom;
}

// A DOS program (.COM image) standing in for BR-MSX: it writes its command tail to ARGS.TXT in
// the current folder and exits.
QByteArray dosStandIn()
{
    return QByteArray::fromHex(
        "B4 3C"        // 0100 mov ah,3Ch        create ARGS.TXT
        "31 C9"        // 0102 xor cx,cx
        "BA 28 01"     // 0104 mov dx,name
        "CD 21"        // 0107 int 21h
        "72 18"        // 0109 jc fail
        "89 C3"        // 010B mov bx,ax          handle
        "B4 40"        // 010D mov ah,40h         write
        "30 ED"        // 010F xor ch,ch
        "8A 0E 80 00"  // 0111 mov cl,[0080h]     the tail's length
        "BA 81 00"     // 0115 mov dx,0081h       the tail
        "CD 21"        // 0118 int 21h
        "B4 3E"        // 011A mov ah,3Eh         close
        "CD 21"        // 011C int 21h
        "B8 00 4C"     // 011E mov ax,4C00h       exit 0
        "CD 21"        // 0121 int 21h
        "B8 01 4C"     // 0123 fail: mov ax,4C01h
        "CD 21")       // 0126 int 21h
        + QByteArray("ARGS.TXT\0", 9); // 0128 name
}

class RealEmulatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_kit.isValid() && m_games.isValid() && m_home.isValid());
        m_headless.push_back(std::make_unique<ScopedEnvironment>("SDL_VIDEODRIVER", "dummy"));
        m_headless.push_back(std::make_unique<ScopedEnvironment>("SDL_AUDIODRIVER", "dummy"));
        // openMSX and DOSBox write their settings into the home folder.
        m_headless.push_back(std::make_unique<ScopedEnvironment>("HOME", QFile::encodeName(m_home.path())));
    }

    void writeFrontEnd(qint16 kind, qint16 emulator, const QString& folder = QString())
    {
        testfiles::write(FrontEndConfigPath(m_kit.path()),
                         EncodeFrontEndConfig({QStringLiteral("/"), folder.isEmpty() ? m_games.path() : folder,
                                               kind, emulator}));
    }

    // Opens Lumivo, selects the file and presses Run. A failure is reported however long a busy
    // machine takes to start the emulator.
    void pressRun(const QString& file)
    {
        m_form = std::make_unique<Form1>(m_kit.path(), m_dialogs, m_runner);
        m_form->setQuickFailureWindow(60000);
        m_form->show();
        auto* list = m_form->findChild<FileList*>(QStringLiteral("File1"));
        const auto items = list->findItems(file, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        pointer::click(list->viewport(), list->visualItemRect(items.first()).center());
        pointer::click(m_form->findChild<QPushButton*>(QStringLiteral("BtnRun")));
    }

    void run(const QString& file)
    {
        pressRun(file);
        ASSERT_EQ(m_runner.pids.size(), 1) << "Run started nothing";
    }

    QString runOutput() const { return QString::fromLocal8Bit(testfiles::read(ExecuteLogPath(m_kit.path()))); }

    QTemporaryDir m_kit;
    QTemporaryDir m_games;
    QTemporaryDir m_home;
    std::vector<std::unique_ptr<ScopedEnvironment>> m_headless;
    ScriptedDialogs m_dialogs;
    StartingRunner m_runner; // ends whatever still runs when the test ends
    std::unique_ptr<Form1> m_form;
};

} // namespace

TEST_F(RealEmulatorTest, OpenMsxRunsACartridge)
{
    const QString openmsx = QStandardPaths::findExecutable(QStringLiteral("openmsx"));
    if (openmsx.isEmpty())
        GTEST_SKIP() << "openMSX is not installed (Debian package openmsx)";
    const QString rom = m_games.filePath(QStringLiteral("test.rom"));
    testfiles::write(rom, testCartridge());
    writeFrontEnd(1, 2);
    testfiles::write(OpenMsxSettingsPath(m_kit.path()),
                     EncodeOpenMsxSettings({QString(), QStringLiteral("C-BIOS_MSX1"), QString()}));
    run(QStringLiteral("test.rom"));

    // A failing start ends within moments; a running openMSX is still there after three seconds.
    const QString status = ExecuteStatusPath(m_kit.path());
    testfiles::waitUntil([&] { return QFile::exists(status); }, 3000);
    ASSERT_FALSE(QFile::exists(status)) << "openMSX ended: " << runOutput().toStdString();
    EXPECT_TRUE(m_dialogs.messages().isEmpty());

    qint64 emulator = 0;
    for (qint64 pid : StartingRunner::descendants(m_runner.pids.first())) {
        if (StartingRunner::commandLine(pid).value(0) == openmsx)
            emulator = pid;
    }
    ASSERT_NE(emulator, 0) << "no openMSX among the started processes; output: " << runOutput().toStdString();
    EXPECT_EQ(StartingRunner::commandLine(emulator),
              (QStringList{openmsx, QStringLiteral("-machine"), QStringLiteral("C-BIOS_MSX1"), QStringLiteral("-cart"), rom}));

    StartingRunner::endTree(m_runner.pids.first());
    EXPECT_TRUE(testfiles::waitUntil([&] { return StartingRunner::commandLine(emulator).isEmpty(); }));
}

// openMSX refusing its arguments (C-BIOS machines have no disk drive) is reported with its words.
TEST_F(RealEmulatorTest, OpenMsxRefusingADiskSaysWhy)
{
    if (QStandardPaths::findExecutable(QStringLiteral("openmsx")).isEmpty())
        GTEST_SKIP() << "openMSX is not installed (Debian package openmsx)";
    testfiles::write(m_games.filePath(QStringLiteral("game.dsk")), QByteArray(737280, '\0'));
    writeFrontEnd(0, 2);
    testfiles::write(OpenMsxSettingsPath(m_kit.path()),
                     EncodeOpenMsxSettings({QString(), QStringLiteral("C-BIOS_MSX1"), QString()}));
    run(QStringLiteral("game.dsk"));
    ASSERT_TRUE(testfiles::waitUntil([&] { return !m_dialogs.messages().isEmpty(); }, 60000)) << runOutput().toStdString();
    const QString text = m_dialogs.messages().constFirst().text;
    EXPECT_TRUE(text.contains(QStringLiteral("No disk drive A present"))) << text.toStdString();
}

TEST_F(RealEmulatorTest, BrmsxRunsInDosbox)
{
    if (QStandardPaths::findExecutable(QStringLiteral("dosbox")).isEmpty())
        GTEST_SKIP() << "DOSBox is not installed (Debian package dosbox)";
    QTemporaryDir brmsx;
    testfiles::write(brmsx.filePath(QStringLiteral("BRMSX.EXE")), dosStandIn());
    testfiles::write(m_games.filePath(QStringLiteral("GAME.DSK")), QByteArray(737280, '\0'));
    BrmsxOptions options;
    InitBrmsxOptions(options, brmsx.path());
    options.Msx2 = true;
    testfiles::write(BrmsxOptionsPath(m_kit.path()), EncodeBrmsxOptions(options));
    writeFrontEnd(0, 0);
    run(QStringLiteral("GAME.DSK"));

    // DOSBox closes itself when the program has ended.
    const QString status = ExecuteStatusPath(m_kit.path());
    ASSERT_TRUE(testfiles::waitUntil([&] { return QFile::exists(status); }, 60000)) << runOutput().toStdString();
    EXPECT_EQ(testfiles::read(brmsx.filePath(QStringLiteral("ARGS.TXT"))), QByteArray(" -diska D:\\GAME.DSK -msx2 -noenter"))
        << runOutput().toStdString();
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

// openMSX's own reason comes first, before what the libraries it loads print; the rest stays
// available. Without the dummy sound driver, a machine without sound prints a page of it.
TEST_F(RealEmulatorTest, OpenMsxsOwnReasonComesFirst)
{
    if (QStandardPaths::findExecutable(QStringLiteral("openmsx")).isEmpty())
        GTEST_SKIP() << "openMSX is not installed (Debian package openmsx)";
    const ScopedEnvironment sound("SDL_AUDIODRIVER", "alsa");
    testfiles::write(m_games.filePath(QStringLiteral("test.rom")), testCartridge());
    writeFrontEnd(1, 2);
    testfiles::write(OpenMsxSettingsPath(m_kit.path()),
                     EncodeOpenMsxSettings({QString(), QStringLiteral("C-BIOS_MSX1"), QStringLiteral("-ext no_such_ext")}));
    run(QStringLiteral("test.rom"));
    ASSERT_TRUE(testfiles::waitUntil([&] { return !m_dialogs.messages().isEmpty(); }, 60000)) << runOutput().toStdString();
    const QString text = m_dialogs.messages().constFirst().text;
    const QStringList lines = text.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Fatal error")) && lines[1].contains(QStringLiteral("no_such_ext")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(ExecuteLogPath(m_kit.path()))) << text.toStdString();
}

namespace {

// A new folder below `base` whose path is `length` bytes long.
QString folderOfLength(const QString& base, int length)
{
    QString path = base;
    while (length - path.size() > 101)
        path += QLatin1Char('/') + QString(100, QLatin1Char('d'));
    path += QLatin1Char('/') + QString(length - path.size() - 1, QLatin1Char('e'));
    EXPECT_TRUE(QDir().mkpath(path));
    return path;
}

} // namespace

// DOSBox cannot tell names apart by their letter case, and aborts on a folder path longer than it
// takes: Run refuses both before anything starts, and runs a folder right at the limit.
TEST_F(RealEmulatorTest, BrmsxInDosboxRefusesWhatDosboxCannotRun)
{
    if (QStandardPaths::findExecutable(QStringLiteral("dosbox")).isEmpty())
        GTEST_SKIP() << "DOSBox is not installed (Debian package dosbox)";
    QTemporaryDir brmsx;
    testfiles::write(brmsx.filePath(QStringLiteral("BRMSX.EXE")), dosStandIn());
    BrmsxOptions options;
    InitBrmsxOptions(options, brmsx.path());
    testfiles::write(BrmsxOptionsPath(m_kit.path()), EncodeBrmsxOptions(options));
    const QString clash = m_games.filePath(QStringLiteral("clash"));
    QDir().mkdir(clash);
    struct Row {
        const char* name;
        QString folder;
        QStringList files;
        QString said; // what the refusal names; "" when it runs
    };
    const Row rows[] = {
        {"names that differ only in case", clash, {QStringLiteral("game.rom"), QStringLiteral("GAME.ROM")},
         QStringLiteral("GAME.ROM and game.rom")},
        {"a folder one byte too long", folderOfLength(m_games.path(), kDosboxMountPathMax + 1),
         {QStringLiteral("game.rom")}, QStringLiteral("at most %1").arg(kDosboxMountPathMax)},
        {"a folder at the limit", folderOfLength(m_games.path(), kDosboxMountPathMax), {QStringLiteral("game.rom")},
         QString()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (const QString& file : row.files)
            testfiles::write(row.folder + QLatin1Char('/') + file, testCartridge().left(16 + file.size()));
        writeFrontEnd(1, 0, row.folder);
        m_dialogs.clear();
        m_runner.pids.clear();
        QFile::remove(brmsx.filePath(QStringLiteral("ARGS.TXT")));
        pressRun(QStringLiteral("game.rom"));
        if (!row.said.isEmpty()) {
            ASSERT_EQ(m_dialogs.messages().size(), 1);
            EXPECT_TRUE(m_dialogs.messages()[0].text.contains(row.said)) << m_dialogs.messages()[0].text.toStdString();
            EXPECT_TRUE(m_runner.pids.isEmpty());
            continue;
        }
        ASSERT_EQ(m_runner.pids.size(), 1);
        const QString status = ExecuteStatusPath(m_kit.path());
        ASSERT_TRUE(testfiles::waitUntil([&] { return QFile::exists(status); }, 60000)) << runOutput().toStdString();
        EXPECT_EQ(testfiles::read(brmsx.filePath(QStringLiteral("ARGS.TXT"))), QByteArray(" -rom D:\\game.rom -noenter"))
            << runOutput().toStdString();
        EXPECT_TRUE(m_dialogs.messages().isEmpty());
    }
}
