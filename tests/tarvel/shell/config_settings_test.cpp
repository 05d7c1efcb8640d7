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

TEST(ConfigSettings, PathsAreStoredInTheFileSystemsBytes)
{
    ConfigSettings settings = defaultsFor(QString::fromUtf8("/home/u/эмулятор"));
    settings.EmulatorPath = QString::fromUtf8("/opt/эмулятор/brmsx");
    settings.RecentFiles[0] = QString::fromUtf8("/w/проект/спрайт.tpj");
    const QByteArray bytes = EncodeSettings(settings);
    EXPECT_TRUE(bytes.contains(QString::fromUtf8("/w/проект/спрайт.tpj").toUtf8())) << testfiles::hex(bytes).toStdString();
    EXPECT_FALSE(bytes.contains('?'));
    ConfigSettings read = defaultsFor("/other");
    EXPECT_TRUE(DecodeSettings(bytes, read));
    EXPECT_EQ(read, settings);
    EXPECT_EQ(read.DiskImagePath, QString::fromUtf8("/home/u/эмулятор/dsk/"));
}

TEST(ConfigSettings, RecentPathsCompareInAsciiCaseOnly)
{
    std::array<QString, 5> recent{QString::fromUtf8("/w/STRAßE.tpj"), "", "", "", ""};
    EXPECT_FALSE(AddRecentPath(recent, QString::fromUtf8("/W/straße.TPJ")));
    EXPECT_TRUE(AddRecentPath(recent, "/w/STRASSE.tpj")) << "ß is not SS";
    EXPECT_EQ(recent[0], "/w/STRASSE.tpj");
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

TEST(ConfigSettings, DamagedFilesGiveTheDefaultsAndAreNotWritten)
{
    QTemporaryDir dir;
    const ConfigSettings defaults = defaultsFor(dir.path());
    struct Row { const char* name; QByteArray bytes; };
    const Row rows[] = {
        {"empty", QByteArray()},
        {"one byte", QByteArray(1, '\x05')},
        {"string running past the end", QByteArray::fromHex("FF7F") + "abc"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testfiles::write(dir.filePath("config.cfg"), row.bytes);
        ConfigSettings loaded;
        LoadSettingsFile(loaded, dir.path());
        EXPECT_EQ(loaded, defaults);
        EXPECT_EQ(testfiles::read(dir.filePath("config.cfg")), row.bytes) << "loading never writes";
    }
}

TEST(ConfigSettings, ARecordCutShortKeepsWhatItHolds)
{
    QTemporaryDir dir;
    ConfigSettings custom = defaultsFor(dir.path());
    custom.EmulatorPath = "/opt/emu";
    custom.AutoSave = true;
    const QByteArray full = EncodeSettings(custom);
    // Cut inside AutoSave: RegisterTpj is read, AutoSave and the rest keep their defaults.
    testfiles::write(dir.filePath("config.cfg"), full.left(full.size() - 5));
    ConfigSettings loaded;
    LoadSettingsFile(loaded, dir.path());
    EXPECT_EQ(loaded.EmulatorPath, "/opt/emu");
    EXPECT_FALSE(loaded.AutoSave);
    EXPECT_TRUE(loaded.ShowNewProjectDialog);
    EXPECT_TRUE(loaded.AutoTooltip);
}

TEST(ConfigSettings, RandomBytesNeverCrashOrRunPastTheFile)
{
    QTemporaryDir dir;
    const ConfigSettings defaults = defaultsFor(dir.path());
    const qsizetype defaultText = defaults.EmulatorCommandLine.size() + defaults.DiskImagePath.size();
    std::srand(7);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(std::rand() % 80, '\0');
        for (char& b : bytes)
            b = char(std::rand());
        testfiles::write(dir.filePath("config.cfg"), bytes);
        ConfigSettings loaded;
        LoadSettingsFile(loaded, dir.path());
        qsizetype text = loaded.EmulatorPath.size() + loaded.EmulatorCommandLine.size() + loaded.DiskImagePath.size();
        for (const QString& slot : loaded.RecentFiles)
            text += slot.size();
        EXPECT_LE(text, bytes.size() + defaultText) << "fields hold only bytes of the file, or defaults";
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

TEST(RecentFiles, RemovingFromAListWithGapsKeepsEveryOtherEntry)
{
    // Gaps only come from a damaged or hand-edited config.cfg; the entries left close up in order.
    using Slots = std::array<QString, 5>;
    const struct {
        const char* name;
        Slots before;
        int index;
        Slots after;
    } rows[] = {
        {"gap before a later entry", {"a", "b", "", "e", ""}, 0, {"b", "e", "", "", ""}},
        {"the entry right before the gap", {"a", "b", "", "e", ""}, 1, {"a", "e", "", "", ""}},
        {"the entry after the gap", {"a", "b", "", "e", ""}, 3, {"a", "b", "", "", ""}},
        {"only the first and last slots used", {"a", "", "", "", "e"}, 0, {"e", "", "", "", ""}},
        {"first slot empty", {"", "b", "c", "", "e"}, 2, {"b", "e", "", "", ""}},
        {"an empty slot asked for: nothing is lost", {"a", "", "c", "", ""}, 1, {"a", "c", "", "", ""}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Slots recent = row.before;
        const int emptied = RemoveRecentSlot(recent, row.index);
        EXPECT_EQ(recent, row.after);
        EXPECT_TRUE(recent[emptied].isEmpty());
    }
}

TEST(ConfigSettings, AMergeKeepsWhatAnotherInstanceWroteAndAppliesOnlyThisOnesChanges)
{
    using Recent = std::array<QString, 5>;
    const auto with = [](const Recent& recent, bool autoSave) {
        ConfigSettings settings = defaultsFor("/TP");
        settings.RecentFiles = recent;
        settings.AutoSave = autoSave;
        return settings;
    };
    const struct {
        const char* name;
        ConfigSettings base, ours, theirs;
        Recent recent;
        bool autoSave;
    } cases[] = {
        {"ours changed a preference, theirs added a file", with({"/a"}, false), with({"/a"}, true),
         with({"/b", "/a"}, false), {"/b", "/a"}, true},
        {"both added a file", with({"/a"}, false), with({"/c", "/a"}, false), with({"/b", "/a"}, true),
         {"/c", "/b", "/a"}, true},
        {"ours removed a file, theirs added one", with({"/a", "/x"}, false), with({"/a"}, false),
         with({"/b", "/a", "/X"}, false), {"/b", "/a"}, false},
        {"ours added one already there", with({}, false), with({"/b"}, false), with({"/B"}, false), {"/B"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ConfigSettings merged = MergeSettings(c.base, c.ours, c.theirs);
        EXPECT_EQ(merged.RecentFiles, c.recent);
        EXPECT_EQ(merged.AutoSave, c.autoSave);
    }
}
