#include "shell/ConfigSettings.h"

#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tarvel;

namespace {

ConfigSettings defaultsFor(const QString& dir)
{
    ConfigSettings settings;
    SetDefaultSettings(settings, dir);
    return settings;
}

} // namespace

TEST(ConfigSettings, DefaultsAreByteExact)
{
    // The defaults with the application folder /TP: 24 bytes plus the two non-empty strings.
    const QByteArray expected = QByteArray::fromHex("0000") + QByteArray::fromHex("1100") + "-diska %dsk -msx2"
        + QByteArray::fromHex("0000 0000 0000 0000 0000") + QByteArray::fromHex("0800") + "/TP/dsk/"
        + QByteArray::fromHex("0000 0000 FFFF FFFF");
    const QByteArray actual = EncodeSettings(defaultsFor("/TP"));
    EXPECT_EQ(actual, expected) << testfiles::hex(actual).toStdString();
    EXPECT_EQ(actual.size(), 24 + 17 + 8);

    const ConfigSettings settings = defaultsFor("/TP/");
    EXPECT_EQ(settings.DiskImagePath, "/TP/dsk/");
    EXPECT_TRUE(settings.ShowNewProjectDialog);
    EXPECT_TRUE(settings.AutoTooltip);
    EXPECT_FALSE(settings.RegisterTpj);
    EXPECT_FALSE(settings.AutoSave);
}

TEST(ConfigSettings, TheWindowsLayoutOfTheWorkedExampleDecodes)
{
    const QByteArray windows = QByteArray::fromHex("0000 1100") + "-diska %dsk -msx2"
        + QByteArray::fromHex("0000 0000 0000 0000 0000 0A00") + "C:\\TP\\dsk\\" + QByteArray::fromHex("0000 0000 FFFF FFFF");
    ConfigSettings settings;
    EXPECT_TRUE(DecodeSettings(windows, settings));
    EXPECT_EQ(settings.DiskImagePath, "C:\\TP\\dsk\\");
    EXPECT_EQ(settings.EmulatorCommandLine, "-diska %dsk -msx2");
    EXPECT_TRUE(settings.ShowNewProjectDialog);
    EXPECT_EQ(EncodeSettings(settings), windows);
}

TEST(ConfigSettings, SaveAndLoadRoundTrip)
{
    QTemporaryDir dir;
    ConfigSettings settings = defaultsFor(dir.path());
    settings.EmulatorPath = "/usr/bin/openmsx";
    settings.EmulatorCommandLine = "-machine Boosted_MSX2_EN -diska %dsk";
    settings.RecentFiles = {"/w/a.tpj", QString::fromLatin1("/w/\xE9t\xE9.pas"), "", "", "/w/e.tpj"};
    settings.RegisterTpj = true;
    settings.AutoSave = true;
    settings.ShowNewProjectDialog = false;
    settings.AutoTooltip = false;
    ASSERT_TRUE(SaveSettingsFile(settings, dir.path()));
    ConfigSettings loaded;
    LoadSettingsFile(loaded, dir.path());
    EXPECT_EQ(loaded, settings);
}

TEST(ConfigSettings, DamagedFilesKeepDefaultsForWhatCannotBeRead)
{
    QTemporaryDir dir;
    const ConfigSettings defaults = defaultsFor(dir.path());
    ConfigSettings custom = defaults;
    custom.EmulatorPath = "/opt/emu";
    custom.AutoSave = true;
    const QByteArray full = EncodeSettings(custom);

    struct Row { const char* name; QByteArray bytes; };
    const Row rows[] = {
        {"empty", QByteArray()},
        {"one byte", QByteArray(1, '\x05')},
        {"string running past the end", QByteArray::fromHex("FF7F") + "abc"},
        {"cut inside the booleans", full.left(full.size() - 5)},
        {"random bytes", QByteArray::fromHex("9A1C33F0017E44D2BB0C")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testfiles::write(dir.filePath("config.cfg"), row.bytes);
        ConfigSettings loaded;
        LoadSettingsFile(loaded, dir.path());
        if (QByteArray(row.name) == "cut inside the booleans") {
            EXPECT_EQ(loaded.EmulatorPath, "/opt/emu");
            EXPECT_FALSE(loaded.AutoSave) << "the first incomplete boolean keeps its default";
            EXPECT_TRUE(loaded.AutoTooltip);
        } else if (QByteArray(row.name) != "random bytes") {
            EXPECT_EQ(loaded, defaults);
        }
        EXPECT_TRUE(loaded.EmulatorCommandLine.size() < 70000);
        EXPECT_EQ(testfiles::read(dir.filePath("config.cfg")), row.bytes) << "loading never writes";
    }
}

TEST(ConfigSettings, BytesAfterTheRecordAreIgnored)
{
    QTemporaryDir dir;
    ConfigSettings settings = defaultsFor(dir.path());
    settings.EmulatorPath = "/x";
    testfiles::write(dir.filePath("config.cfg"), EncodeSettings(settings) + "trailing junk");
    ConfigSettings loaded;
    LoadSettingsFile(loaded, dir.path());
    EXPECT_EQ(loaded, settings);
}

TEST(ConfigSettings, AFailedSaveReportsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("config.cfg");
    testfiles::write(path, "old");
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    const common::Status status = SaveSettingsFile(defaultsFor(dir.path()), dir.path());
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(testfiles::read(path), "old");
}

TEST(RecentFiles, SixFilesKeepTheFiveNewest)
{
    std::array<QString, 5> recent;
    for (const char* path : {"/1", "/2", "/3", "/4", "/5", "/6"})
        EXPECT_TRUE(AddRecentPath(recent, path));
    EXPECT_EQ(recent, (std::array<QString, 5>{"/6", "/5", "/4", "/3", "/2"}));
}

TEST(RecentFiles, APathAlreadyListedInOtherCaseChangesNothing)
{
    std::array<QString, 5> recent{"/w/a.tpj", "/w/b.pas", "/P/GAME.TPJ", "", ""};
    const auto before = recent;
    EXPECT_FALSE(AddRecentPath(recent, "/p/game.tpj"));
    EXPECT_EQ(recent, before);
    EXPECT_TRUE(AddRecentPath(recent, "/w/New.TPJ"));
    EXPECT_EQ(recent[0], "/w/New.TPJ") << "the letter case given is kept";
}

TEST(RecentFiles, RemovingMovesLaterEntriesUp)
{
    std::array<QString, 5> recent{"A", "B", "C", "", ""};
    EXPECT_EQ(RemoveRecentSlot(recent, 1), 2);
    EXPECT_EQ(recent, (std::array<QString, 5>{"A", "C", "", "", ""}));

    std::array<QString, 5> full{"A", "B", "C", "D", "E"};
    EXPECT_EQ(RemoveRecentSlot(full, 4), 4);
    EXPECT_EQ(full, (std::array<QString, 5>{"A", "B", "C", "D", ""}));
    EXPECT_EQ(RemoveRecentSlot(full, 0), 3);
    EXPECT_EQ(full, (std::array<QString, 5>{"B", "C", "D", "", ""}));
}
