// Whole builds with a Windows console compiler run in the real Wine. The stand-in compiler is
// built here from tests/tools/tp3win.c with the MinGW cross compiler. Wine makes its prefix once
// for this binary (the first build that finds none), in a folder every test's kit links to.

#include "BuildProjectFixture.h"
#include "TestFiles.h"
#include "build/WineRun.h"
#include "shell/CodeEditor.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

const char kCrossCompiler[] = "x86_64-w64-mingw32-gcc";

// What every test shares: the built stand-in and the folder that holds Wine's prefix.
struct WineShared {
    QTemporaryDir dir;
    QString exe;     // the stand-in TP3.EXE; "" when it could not be built
    QString problem; // why the tests cannot run
};

std::unique_ptr<WineShared>& sharedSlot()
{
    static std::unique_ptr<WineShared> slot;
    return slot;
}

WineShared& shared()
{
    std::unique_ptr<WineShared>& s = sharedSlot();
    if (s)
        return *s;
    s = std::make_unique<WineShared>();
    if (!tarvel::FindWine().found())
        s->problem = "Wine is not installed (Debian package wine)";
    else if (QStandardPaths::findExecutable(kCrossCompiler).isEmpty())
        s->problem = "the MinGW compiler is not installed (Debian package gcc-mingw-w64-x86-64)";
    if (!s->problem.isEmpty())
        return *s;
    QDir().mkpath(s->dir.filePath("wine"));
    QProcess gcc;
    gcc.setProcessChannelMode(QProcess::ForwardedChannels);
    gcc.start(kCrossCompiler, {"-O2", "-o", s->dir.filePath("TP3.EXE"), testfiles::testToolsDir() + "/tp3win.c"});
    if (gcc.waitForFinished(120000) && gcc.exitStatus() == QProcess::NormalExit && gcc.exitCode() == 0)
        s->exe = s->dir.filePath("TP3.EXE");
    else
        s->problem = "the stand-in compiler could not be built";
    return *s;
}

// Removes the shared folder (the prefix is large) when the tests are over.
class WineCleanup : public ::testing::Environment {
public:
    void TearDown() override
    {
        if (sharedSlot() && sharedSlot()->exe.size())
            tarvel::StopWine(tarvel::FindWine(), tarvel::WineFoldersIn(sharedSlot()->dir.path()));
        sharedSlot().reset();
    }
};
[[maybe_unused]] ::testing::Environment* const cleanup = ::testing::AddGlobalTestEnvironment(new WineCleanup);

// The processes whose environment names `prefix` as their Wine prefix: Wine's server and helpers
// inherit it from the build.
QList<qint64> processesOfPrefix(const QString& prefix)
{
    QList<qint64> found;
    const QByteArray wanted = "WINEPREFIX=" + QFile::encodeName(prefix);
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number && testfiles::read("/proc/" + entry + "/environ").split('\0').contains(wanted))
            found << pid;
    }
    return found;
}

class WineBuild : public BuildProjectFixture {
protected:
    void SetUp() override
    {
        if (!shared().problem.isEmpty())
            GTEST_SKIP() << shared().problem.toStdString();
        BuildProjectFixture::SetUp();
        QFile::remove(kit.path("compiler/TP3"));
        ASSERT_TRUE(QFile::copy(shared().exe, kit.path("compiler/TP3.EXE")));
        // Wine's folder of every test is the shared one, so the prefix is made once.
        ASSERT_TRUE(QFile::link(shared().dir.filePath("wine"), kit.path("wine")));
        prefix = tarvel::WineFoldersIn(kit.dir()).prefix;
        qputenv("TP3_LOG", "1");
    }
    void TearDown() override { qunsetenv("TP3_LOG"); }

    QString prefix;
};

} // namespace

// Declared first: the first build makes the prefix, and what Wine says then stays out of result.txt.
TEST_F(WineBuild, ErrorsAreListedAndTheFirstOneIsOpenedAtItsLine)
{
    open("program game;\r\n{$I A.INC}\r\n{ERR A.INC,2,5,10,\"first\"}\r\n{ERR GAME.PAS,4,1,11,\"second\"}\r\nbegin end.\r\n");
    item("mnuCompile")->trigger();

    EXPECT_EQ(monitorText(), "file  : A.INC: line 2, column 5\r\nError : 10 - first\r\n"
                             "file  : GAME.PAS: line 4, column 1\r\nError : 11 - second\r\n");
    EXPECT_EQ(form->project().currentKey(), "A.INC1");
    EXPECT_EQ(form->editor()->highlightedLine(), 1);
    int line = -1, column = -1;
    form->editor()->selectionStart(&line, &column);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(column, 4);
    EXPECT_EQ(testfiles::read(dir + "result.txt"), "Compiling game.PAS: errors\r\n") << "only what the compiler printed";
    EXPECT_EQ(testfiles::read(dir + "tp3calls.txt"), "game|/S2E9B|/ED200|/Rerrors.txt|\n");
    EXPECT_TRUE(tarvel::WinePrefixReady(prefix));
    EXPECT_TRUE(testfiles::waitUntil([&] { return processesOfPrefix(prefix).isEmpty(); })) << "Wine ends by itself";
}

TEST_F(WineBuild, CompileAndRunJoinsTheRunTimeFileAndTheChainFile)
{
    if (QStandardPaths::findExecutable("mcopy").isEmpty())
        GTEST_SKIP() << "mtools is not installed";
    const QByteArray main = "program game;\r\nbegin\r\nend.\r\n";
    open(main);
    form->Settings.EmulatorPath = testfiles::testToolsDir() + "/emulator";
    qputenv("EMULATOR_LOG", QFile::encodeName(kit.path("emulator-args.txt")));
    item("mnuCompileRun")->trigger();
    qunsetenv("EMULATOR_LOG");

    EXPECT_EQ(testfiles::read(dir + "game.com"), runtime + "CHN:" + main);
    const QStringList lines = monitorText().split("\r\n");
    ASSERT_EQ(lines.size(), 6) << monitorText().toStdString();
    EXPECT_EQ(lines[1], "No errors - Sucessfully compiled");
    EXPECT_EQ(lines[3].toStdString(), "Code: 32 bytes (2E9B-2EBA)") << "the stand-in's summary of \"CHN:\" and 28 bytes";
    EXPECT_TRUE(testfiles::waitUntil([&] { return QFile::exists(kit.path("emulator-args.txt")); }));
}

TEST_F(WineBuild, AHungCompilerRefusesASecondBuildAndExitEndsItAndWine)
{
    open("program game;\r\n{WAITFOR:go}\r\n{ERR GAME.PAS,1,1,1,\"late\"}\r\n");
    dialogs.queueAnswer(common::Dialogs::Answer::Ok); // the second build is refused
    dialogs.queueAnswer(common::Dialogs::Answer::Yes); // stop it and exit
    qint64 pid = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (pid || !QFile::exists(dir + "tp3.pid"))
            return;
        pid = testfiles::read(dir + "tp3.pid").trimmed().toLongLong();
        item("mnuCompile")->trigger();
        item("mnuExit")->trigger();
    });
    poll.start(20);
    QTimer::singleShot(0, form.get(), [this] { item("mnuCompile")->trigger(); });
    // A guard ends the loop with 99 should the build never get as far as the compiler.
    QTimer::singleShot(300000, [] { QApplication::exit(99); });
    ASSERT_EQ(QApplication::exec(), 0) << monitorText().toStdString();

    ASSERT_GT(pid, 0);
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_EQ(dialogs.messages()[0].text, "A build is still running. Wait until it has finished.");
    EXPECT_EQ(dialogs.messages()[1].text, "A build is still running.\nStop it and exit Tarvel?");
    EXPECT_TRUE(testfiles::waitUntil([&] { return testfiles::processEnded(pid); })) << "the compiler was ended";
    EXPECT_TRUE(testfiles::waitUntil([&] { return processesOfPrefix(prefix).isEmpty(); })) << "and Wine with it";
    EXPECT_EQ(monitorText(), "The build was stopped.\r\n");
}

// The program with its Windows header's machine field set to x86 (i386).
static QByteArray asI386(QByteArray program)
{
    const int header = qFromLittleEndian<qint32>(program.constData() + 0x3C);
    qToLittleEndian<quint16>(0x014C, program.data() + header + 4);
    return program;
}

TEST_F(WineBuild, NoBuildSucceedsWhenWineIsMissingOrCannotRunTheCompiler)
{
    const struct {
        const char* name;
        QString path;        // PATH during the build
        QByteArray compiler; // replaces the stand-in when not empty
        QString monitorStart;
        bool wineSaid; // Wine's own words are shown
        bool wine32;   // the advice to install Wine's 32-bit part is given
    } rows[] = {
        {"no Wine on PATH", "/nonexistent", {}, "TP3.EXE is a Windows program: install Wine (Debian package wine)\r\n",
         false, false},
        // Headers whole, the code cut off: Wine cannot start it.
        {"a Windows program cut short", qEnvironmentVariable("PATH"), testfiles::read(shared().exe).left(4096),
         "The compiler left no result", true, false},
        // x86-64 code under a header for x86: no Wine starts it, with or without its 32-bit part.
        {"a 32-bit Windows program Wine cannot start", qEnvironmentVariable("PATH"), asI386(testfiles::read(shared().exe)),
         "The compiler left no result", true, true},
        {"neither DOS nor Windows", qEnvironmentVariable("PATH"), "MZ\x90\0", "The compiler could not be started:", false,
         false},
    };
    const QByteArray oldPath = qgetenv("PATH");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (!row.compiler.isEmpty())
            testfiles::write(kit.path("compiler/TP3.EXE"), row.compiler);
        open("program game;\r\nbegin end.\r\n");
        qputenv("PATH", QFile::encodeName(row.path));
        item("mnuCompile")->trigger();
        qputenv("PATH", oldPath);
        EXPECT_TRUE(monitorText().startsWith(row.monitorStart)) << monitorText().toStdString();
        EXPECT_EQ(monitorText().contains("Wine said:"), row.wineSaid) << monitorText().toStdString();
        EXPECT_EQ(monitorText().contains("install wine32:i386"), row.wine32) << monitorText().toStdString();
        EXPECT_FALSE(QFile::exists(dir + "game.com"));
        EXPECT_FALSE(QFile::exists(dir + "tp3calls.txt"));
        form.reset();
    }
}

TEST_F(WineBuild, CheckSetupSaysTheCompilerRunsUnderWineOrThatWineIsMissing)
{
    open("program game;\r\nbegin end.\r\n");
    const QString what = kit.path("compiler/TP3.EXE") + " is a Windows program";
    const struct {
        QString path;
        QString ready, state, action;
    } rows[] = {
        {qEnvironmentVariable("PATH"), "yes", what + ", run under Wine (" + tarvel::FindWine().wine + ")", ""},
        {kit.path("no-such-folder"), "no", what + ", which needs Wine: not installed",
         "TP3.EXE is a Windows program: install Wine (Debian package wine)."},
    };
    const QByteArray oldPath = qgetenv("PATH");
    for (const auto& row : rows) {
        qputenv("PATH", QFile::encodeName(row.path));
        item("mnuCheckSetup")->trigger();
        qputenv("PATH", oldPath);
        auto* list = form->findChild<QTreeWidget*>("lstSetup");
        ASSERT_NE(list, nullptr);
        const QList<QTreeWidgetItem*> found = list->findItems("Compiler TP3", Qt::MatchExactly, 0);
        ASSERT_EQ(found.size(), 1);
        EXPECT_EQ(found[0]->text(1), row.ready);
        EXPECT_EQ(found[0]->text(2), row.state);
        EXPECT_EQ(found[0]->text(3), row.action);
    }
}

TEST(WineLookup, FindsWineAndItsServerOnTheGivenPathOnly)
{
    QTemporaryDir dir;
    const auto program = [&](const QString& path, bool executable) {
        testfiles::write(dir.filePath(path), "#!/bin/sh\n");
        QFile::setPermissions(dir.filePath(path), executable ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner);
    };
    program("both/wine", true);
    program("both/wineserver", true);
    program("lib/wine", true);
    program("lib/wineserver", true);
    QDir().mkpath(dir.filePath("bin"));
    ASSERT_TRUE(QFile::link(dir.filePath("lib/wine"), dir.filePath("bin/wine")));
    program("plain/wine", false);
    program("plain/wineserver", false);
    const struct {
        QString path;
        QString wine, server;
    } rows[] = {
        {dir.filePath("plain") + ":" + dir.filePath("both"), dir.filePath("both/wine"), dir.filePath("both/wineserver")},
        {dir.filePath("bin"), dir.filePath("bin/wine"), dir.filePath("lib/wineserver")},
        {dir.filePath("plain"), "", ""},
        {"", "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path.toStdString());
        const tarvel::WinePrograms found = tarvel::FindWine(row.path);
        EXPECT_EQ(found.wine, row.wine);
        EXPECT_EQ(found.wineserver, row.server);
        EXPECT_EQ(found.found(), !row.wine.isEmpty());
    }
}
