#include "../QtPrinting.h"
#include "launcher/ModMSX.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumivo;

namespace {

QByteArray reference(const char* name)
{
    const QByteArray bytes = testfiles::read(testfiles::testDataDir() + QStringLiteral("/lumivo/") + QLatin1String(name));
    EXPECT_FALSE(bytes.isEmpty()) << name;
    return bytes;
}

void expectBytes(const QByteArray& actual, const QByteArray& expected)
{
    EXPECT_EQ(actual, expected) << "actual:   " << testfiles::hex(actual).toStdString()
                                << "\nexpected: " << testfiles::hex(expected).toStdString();
}

// Every field holds a value different from its default and from its neighbours, so a field
// written in the wrong place or skipped shows up in the round trip.
BrmsxOptions distinctOptions()
{
    BrmsxOptions o;
    InitBrmsxOptions(o, QStringLiteral("/opt/brmsx"));
    o.NormalSpeed = false; o.FastSpeed = false; o.TurboSpeed = true; o.Spare1 = 61;
    o.Msx2 = false; o.Msx2Plus = true; o.Ciel = true; o.SpareText1 = QStringLiteral("a");
    o.SpareText2 = QStringLiteral("bc"); o.RamSlot = 3; o.AdvRam = true; o.Korean = true;
    o.MegaRamSize = 4; o.MapperSize = 6; o.Resolution = 11; o.VSync = true; o.Green = true;
    o.Spare2 = -7; o.AllSprites = true; o.NoSpriteCollision = true; o.VdpTiming = true;
    o.NoCache = true; o.CpuGraph = true; o.PsgGraph = true; o.TrueVSync = true;
    o.SpareText3 = QStringLiteral("d\xe9"); o.DiskLow = false; o.DiskHigh = true;
    o.SpareText4 = QStringLiteral("ef"); o.SpareText5 = QStringLiteral("ghi"); o.Joystick = true;
    o.JoySensitivity = 7; o.FakeJoy = true; o.AutoFire = true; o.AutoRun = true; o.Spare3 = 9;
    o.SnesPad = true; o.Spare4 = 1234; o.NoSound = true; o.Scc = true; o.SpareLong = -100000;
    o.FmPac = true; o.Speaker = true; o.Spare5 = 17; o.NoMmx = true; o.NoMouse = true;
    o.NoVesa = true; o.NoLed = true; o.NoPentium = true; o.Spare6 = 32767; o.Multiplayer = true;
    o.MultiServer = true; o.MultiClient = true; o.ComPort = 4;
    o.BrmsxFolder = QStringLiteral("/games/br msx"); o.SpareFolder = QStringLiteral("/x");
    return o;
}

} // namespace

TEST(FrontEndConfigFile, FirstStartValuesMatchTheReferenceFile)
{
    expectBytes(EncodeFrontEndConfig(FrontEndConfig::defaults()), reference("feconfig-defaults.cfg"));
}

TEST(FrontEndConfigFile, WindowsDriveRootGivesTheFourteenByteRecord)
{
    FrontEndConfig config;
    config.LastDrive = QStringLiteral("C:\\");
    config.LastFolder = QStringLiteral("C:\\");
    expectBytes(EncodeFrontEndConfig(config), QByteArray::fromHex("03 00 43 3A 5C 03 00 43 3A 5C 00 00 00 00"));
}

TEST(FrontEndConfigFile, SaveAndLoadRoundTrip)
{
    QTemporaryDir dir;
    FrontEndConfig config;
    config.LastDrive = QStringLiteral("/media/usb");
    config.LastFolder = QStringLiteral("/media/usb/Jeux d'\xe9t\xe9");
    config.ImageKind = 2;
    config.EmulatorChoice = 1;
    ASSERT_TRUE(SaveFrontEndConfig(dir.path(), config).ok());
    const auto loaded = LoadFrontEndConfig(dir.path());
    ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
    EXPECT_EQ(loaded->LastDrive, config.LastDrive);
    EXPECT_EQ(loaded->LastFolder, config.LastFolder);
    EXPECT_EQ(loaded->ImageKind, 2);
    EXPECT_EQ(loaded->EmulatorChoice, 1);
}

TEST(FrontEndConfigFile, DamagedFilesKeepTheFirstStartValuesForWhatTheyLack)
{
    struct Row {
        const char* name;
        QByteArray bytes;
        QString drive, folder;
        qint16 kind, emulator;
    };
    const QString root = QStringLiteral("/");
    const Row rows[] = {
        {"empty", QByteArray(), root, root, 0, 0},
        {"one byte", QByteArray::fromHex("05"), root, root, 0, 0},
        {"drive length past the end", QByteArray::fromHex("FF 7F 2F 2F"), root, root, 0, 0},
        {"folder cut short", QByteArray::fromHex("02 00 2F 6D 09 00 2F 6D"), QStringLiteral("/m"), root, 0, 0},
        {"emulator missing", QByteArray::fromHex("01 00 2F 01 00 2F 02 00"), root, root, 2, 0},
        {"half an integer", QByteArray::fromHex("01 00 2F 01 00 2F 03 00 01"), root, root, 3, 0},
        {"tail behind the record", QByteArray::fromHex("01 00 2F 01 00 2F 01 00 01 00 DE AD BE EF"), root, root, 1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const FrontEndConfig c = DecodeFrontEndConfig(row.bytes, FrontEndConfig::defaults());
        EXPECT_EQ(c.LastDrive, row.drive);
        EXPECT_EQ(c.LastFolder, row.folder);
        EXPECT_EQ(c.ImageKind, row.kind);
        EXPECT_EQ(c.EmulatorChoice, row.emulator);
    }
}

TEST(BrmsxOptionsFile, DefaultsMatchTheReferenceFile)
{
    BrmsxOptions o;
    InitBrmsxOptions(o, QStringLiteral("/opt/brmsx"));
    const QByteArray bytes = EncodeBrmsxOptions(o);
    EXPECT_EQ(bytes.size(), 114 + 2 * 10);
    expectBytes(bytes, reference("brmsx-defaults.cfg"));
}

TEST(BrmsxOptionsFile, InitKeepsCielTrueVSyncSpare4AndAFolderAlreadySet)
{
    BrmsxOptions o = distinctOptions();
    InitBrmsxOptions(o, QStringLiteral("/launcher"));
    EXPECT_TRUE(o.Ciel);
    EXPECT_TRUE(o.TrueVSync);
    EXPECT_EQ(o.Spare4, 1234);
    EXPECT_EQ(o.BrmsxFolder, QStringLiteral("/games/br msx"));
    EXPECT_TRUE(o.NormalSpeed);
    EXPECT_TRUE(o.DiskLow);
    EXPECT_EQ(o.ComPort, 2);
    EXPECT_EQ(o.JoySensitivity, 3);
    EXPECT_EQ(o.SpareText3, QString());

    BrmsxOptions fresh;
    InitBrmsxOptions(fresh, QStringLiteral("/launcher"));
    EXPECT_EQ(fresh.BrmsxFolder, QStringLiteral("/launcher"));
    EXPECT_EQ(fresh.SpareFolder, QStringLiteral("/launcher"));
}

TEST(BrmsxOptionsFile, EveryFieldSurvivesSaveAndLoad)
{
    QTemporaryDir dir;
    const BrmsxOptions saved = distinctOptions();
    ASSERT_TRUE(SaveBrmsxOptions(dir.path(), saved).ok());
    EXPECT_EQ(testfiles::read(BrmsxOptionsPath(dir.path())).size(), 114 + 1 + 2 + 2 + 2 + 3 + 13 + 2);
    const auto loaded = LoadBrmsxOptions(dir.path(), BrmsxOptions());
    ASSERT_TRUE(loaded.ok());
    EXPECT_TRUE(loaded.value() == saved) << testfiles::hex(EncodeBrmsxOptions(loaded.value())).toStdString();
}

TEST(BrmsxOptionsFile, AShorterRecordLeavesTheOldTailAndReadsBackNew)
{
    QTemporaryDir dir;
    BrmsxOptions longer = distinctOptions();
    longer.SpareFolder = QStringLiteral("/a/rather/long/folder/name");
    ASSERT_TRUE(SaveBrmsxOptions(dir.path(), longer).ok());
    const QByteArray before = testfiles::read(BrmsxOptionsPath(dir.path()));

    BrmsxOptions shorter = longer;
    shorter.BrmsxFolder = QStringLiteral("/b");
    shorter.Msx2Plus = false;
    ASSERT_TRUE(SaveBrmsxOptions(dir.path(), shorter).ok());
    const QByteArray after = testfiles::read(BrmsxOptionsPath(dir.path()));
    const QByteArray record = EncodeBrmsxOptions(shorter);

    ASSERT_EQ(after.size(), before.size());
    expectBytes(after.left(record.size()), record);
    expectBytes(after.mid(record.size()), before.mid(record.size()));
    const auto loaded = LoadBrmsxOptions(dir.path(), BrmsxOptions());
    ASSERT_TRUE(loaded.ok());
    EXPECT_TRUE(loaded.value() == shorter);
}

TEST(BrmsxOptionsFile, ShortFilesGiveDefaultsForTheMissingFields)
{
    const QByteArray full = EncodeBrmsxOptions(distinctOptions());
    BrmsxOptions current;
    current.Ciel = true; // kept fields keep what the record in memory held
    current.Spare4 = 77;

    QByteArray lengthPastEnd = full.left(14); // up to SpareText1's length field
    lengthPastEnd += QByteArray::fromHex("FF FF 41");
    struct Row {
        const char* name;
        QByteArray bytes;
    };
    const Row rows[] = {
        {"empty", QByteArray()},
        {"odd single byte", QByteArray::fromHex("FF")},
        {"string length past the end", lengthPastEnd},
        {"cut inside ComPort", full.left(full.size() - 20)},
        {"random bytes", QByteArray::fromHex("13 37 C0 DE 00 FF 7E 21 90 90 90 90 41 00")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        testfiles::write(BrmsxOptionsPath(dir.path()), row.bytes);
        const auto loaded = LoadBrmsxOptions(dir.path(), current);
        ASSERT_TRUE(loaded.ok());
        EXPECT_EQ(loaded->ComPort, 2);
        EXPECT_EQ(loaded->BrmsxFolder, QString());
        EXPECT_EQ(loaded->SpareFolder, QString());
        bool complete = true;
        (void)DecodeBrmsxOptions(row.bytes, current, &complete);
        EXPECT_FALSE(complete);
    }

    QTemporaryDir dir;
    testfiles::write(BrmsxOptionsPath(dir.path()), QByteArray());
    const auto empty = LoadBrmsxOptions(dir.path(), current);
    ASSERT_TRUE(empty.ok());
    EXPECT_TRUE(empty->NormalSpeed);
    EXPECT_EQ(empty->RamSlot, 2);
    EXPECT_EQ(empty->MapperSize, 1);
    EXPECT_EQ(empty->JoySensitivity, 3);
    EXPECT_TRUE(empty->Ciel);
    EXPECT_EQ(empty->Spare4, 77);

    // The fields before the cut come from the file.
    BrmsxOptions defaults;
    InitBrmsxOptions(defaults, QString());
    const BrmsxOptions partial = DecodeBrmsxOptions(full.left(12), defaults);
    EXPECT_TRUE(partial.TurboSpeed);
    EXPECT_EQ(partial.Spare1, 61);
    EXPECT_TRUE(partial.Msx2Plus);
    EXPECT_FALSE(partial.Ciel);
    EXPECT_EQ(partial.RamSlot, 2);
    const BrmsxOptions nearlyAll = DecodeBrmsxOptions(full.left(full.size() - 20), defaults);
    EXPECT_EQ(nearlyAll.Spare6, 32767);
    EXPECT_TRUE(nearlyAll.MultiClient);
}

TEST(SettingsFiles, AFileThatCannotBeWrittenFailsAndStaysIntact)
{
    QTemporaryDir dir;
    const QString path = FrontEndConfigPath(dir.path());
    const QByteArray old = QByteArray::fromHex("01 00 2F 01 00 2F 01 00 01 00");
    testfiles::write(path, old);
    QFile::setPermissions(path, QFile::ReadOwner);
    const common::Status status = SaveFrontEndConfig(dir.path(), FrontEndConfig::defaults());
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(status.error().isEmpty());
    EXPECT_EQ(testfiles::read(path), old);

    // A folder where the file should be cannot be written either.
    QTemporaryDir other;
    QDir(other.path()).mkdir(QStringLiteral("brmsx.cfg"));
    EXPECT_FALSE(SaveBrmsxOptions(other.path(), BrmsxOptions()).ok());
    EXPECT_FALSE(LoadBrmsxOptions(other.path(), BrmsxOptions()).ok());
}

// Paths are stored as the file system's bytes, so a folder with any name survives a restart.
TEST(SettingsFiles, PathsKeepEveryCharacter)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/\u044d\u043c\u0443\u043b\u044f\u0442\u043e\u0440 \u00e9");
    FrontEndConfig config = FrontEndConfig::defaults();
    config.LastDrive = folder;
    config.LastFolder = folder + QStringLiteral("/\u30b2\u30fc\u30e0");
    ASSERT_TRUE(SaveFrontEndConfig(dir.path(), config).ok());
    const auto loadedConfig = LoadFrontEndConfig(dir.path());
    ASSERT_TRUE(loadedConfig.ok());
    EXPECT_EQ(loadedConfig->LastDrive, config.LastDrive);
    EXPECT_EQ(loadedConfig->LastFolder, config.LastFolder);
    EXPECT_TRUE(testfiles::read(FrontEndConfigPath(dir.path())).contains(QFile::encodeName(config.LastFolder)));

    BrmsxOptions options = distinctOptions();
    options.BrmsxFolder = folder;
    options.SpareFolder = folder + QStringLiteral("/\u0161");
    ASSERT_TRUE(SaveBrmsxOptions(dir.path(), options).ok());
    const auto loadedOptions = LoadBrmsxOptions(dir.path(), BrmsxOptions());
    ASSERT_TRUE(loadedOptions.ok());
    EXPECT_EQ(loadedOptions->BrmsxFolder, options.BrmsxFolder);
    EXPECT_EQ(loadedOptions->SpareFolder, options.SpareFolder);
    // The unused texts stay 8-bit bytes as before.
    EXPECT_EQ(loadedOptions->SpareText3, QStringLiteral("d\xe9"));

    // A record written on Windows (8-bit code page) reads as it always did.
    const QByteArray windows = QByteArray::fromHex("06 00 43 3A 5C 4A 45 55 07 00 43 3A 5C E9 74 E9 5C 01 00 00 00");
    const FrontEndConfig old = DecodeFrontEndConfig(windows, FrontEndConfig::defaults());
    EXPECT_EQ(old.LastDrive, QStringLiteral("C:\\JEU"));
    EXPECT_EQ(old.LastFolder, QStringLiteral("C:\\\u00e9t\u00e9\\"));
}

namespace {

// Saves a record from a child process as the user "nobody" (see lumivo_save_probe.cpp).
int runSaveProbe(const QString& record, const QString& folder, QString* output = nullptr)
{
    QProcess probe;
    probe.start(QStringLiteral(LUMIVO_SAVE_PROBE), {record, folder});
    if (!probe.waitForFinished(30000)) {
        probe.kill();
        probe.waitForFinished();
        return -1;
    }
    if (output)
        *output = QString::fromLocal8Bit(probe.readAllStandardOutput());
    return probe.exitStatus() == QProcess::NormalExit ? probe.exitCode() : -1;
}

} // namespace

// A launcher folder that takes no new files but holds writable records (installed read-only):
// both records are written in place, the old tail kept behind a shorter record.
TEST(SettingsFiles, AReadOnlyFolderWithWritableRecordsIsWrittenInPlace)
{
    QTemporaryDir dir;
    const QByteArray longFront = EncodeFrontEndConfig({QStringLiteral("/a/long/drive/root"),
                                                      QStringLiteral("/a/long/folder/name/here"), 2, 1});
    BrmsxOptions longer = distinctOptions();
    longer.SpareFolder = QStringLiteral("/a/rather/long/folder/name");
    const QByteArray longBrmsx = EncodeBrmsxOptions(longer);
    testfiles::write(FrontEndConfigPath(dir.path()), longFront);
    testfiles::write(BrmsxOptionsPath(dir.path()), longBrmsx);
    const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup
                          | QFile::ReadOther | QFile::WriteOther;
    QFile::setPermissions(FrontEndConfigPath(dir.path()), everyone);
    QFile::setPermissions(BrmsxOptionsPath(dir.path()), everyone);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                          | QFile::ReadOther | QFile::ExeOther);

    QString output;
    EXPECT_EQ(runSaveProbe(QStringLiteral("frontend"), dir.path(), &output), 0) << output.toStdString();
    EXPECT_EQ(runSaveProbe(QStringLiteral("brmsx"), dir.path(), &output), 0) << output.toStdString();

    const QByteArray front = EncodeFrontEndConfig(FrontEndConfig::defaults());
    const QByteArray frontFile = testfiles::read(FrontEndConfigPath(dir.path()));
    EXPECT_EQ(frontFile, front + longFront.mid(front.size()));
    BrmsxOptions shorter;
    InitBrmsxOptions(shorter, QStringLiteral("/b"));
    const QByteArray brmsx = EncodeBrmsxOptions(shorter);
    EXPECT_EQ(testfiles::read(BrmsxOptionsPath(dir.path())), brmsx + longBrmsx.mid(brmsx.size()));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
