// Builds with a DOS compiler in the real DOSBox: the stand-in is a DOS .EXE assembled from
// tests/tools/tp3dos.asm with nasm, run without a window or sound.

#include "BuildProjectFixture.h"
#include "TestFiles.h"
#include "shell/CodeEditor.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

const QByteArray kMain = "program game;\r\n{$I A.INC}\r\nbegin\r\n  a;\r\nend.\r\n";

class DosBuildFixture : public BuildProjectFixture {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("dosbox").isEmpty() || QStandardPaths::findExecutable("nasm").isEmpty())
            GTEST_SKIP() << "DOSBox and nasm are needed (Debian packages dosbox, nasm)";
        BuildProjectFixture::SetUp();
        // The compiler as a copy from a DOS disk may be named: in lower case, beside RUNTIME.COM.
        ASSERT_TRUE(QFile::remove(kit.path("compiler/TP3")));
        ASSERT_TRUE(QFile::rename(kit.path("compiler/runtime.com"), kit.path("compiler/RUNTIME.COM")));
        QProcess nasm;
        nasm.start("nasm", {"-f", "bin", testfiles::testToolsDir() + "/tp3dos.asm", "-o", kit.path("compiler/tp3.exe")});
        ASSERT_TRUE(nasm.waitForFinished(60000) && nasm.exitCode() == 0) << nasm.readAllStandardError().toStdString();
    }

    QStringList files() { return QDir(dir).entryList(QDir::Files, QDir::Name); }
};

// The processes whose command line holds `text`.
QList<qint64> processesWith(const QString& text)
{
    QList<qint64> found;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number && QString::fromLocal8Bit(testfiles::read("/proc/" + entry + "/cmdline")).contains(text))
            found << pid;
    }
    return found;
}

} // namespace

TEST_F(DosBuildFixture, CompileRunsTheDosCompilerAndFindsItsUpperCaseFiles)
{
    open("work", kMain);
    // What an earlier build left, in either letter case, does not count for this one.
    for (const char* stale : {"GAME.COM", "Game.chn", "ERRORS.TXT", "Result.Txt"})
        testfiles::write(dir + stale, "stale");
    item("mnuCompile")->trigger();

    const QStringList lines = monitorText().split("\r\n");
    ASSERT_GE(lines.size(), 6) << monitorText().toStdString();
    EXPECT_EQ(lines[1], "No errors - Sucessfully compiled");
    EXPECT_EQ(lines[3], "Code: game from 2E9B to D200") << "the summary the DOS program printed";
    EXPECT_EQ(lines[4], "Free: 0 bytes");
    EXPECT_EQ(testfiles::read(dir + "GAME.CHN"), kMain);
    EXPECT_EQ(testfiles::read(dir + "game.com"), runtime + kMain) << "RUNTIME.COM and GAME.CHN joined";
    EXPECT_EQ(files(), QStringList({"GAME.CHN", "a.inc", "game.com", "game.pas", "game.tpj"}));
    EXPECT_FALSE(testfiles::read(kit.path("compiler/dosbox.log")).isEmpty()) << "DOSBox's own text stays apart";
    EXPECT_TRUE(dialogs.calls().isEmpty());

    item("mnuCompileCHN")->trigger();
    EXPECT_TRUE(monitorText().contains("Code: game from 2E9B to D200")) << monitorText().toStdString();
    EXPECT_EQ(files(), QStringList({"GAME.CHN", "a.inc", "game.com", "game.pas", "game.tpj"}));
}

TEST_F(DosBuildFixture, AnErrorRecordOfTheDosCompilerOpensItsFileAndLine)
{
    open("work", "program game;\r\n{$I A.INC}\r\nbegin\r\n  a;\r\nend.\r\n{ERR A.INC,2,5,3,\"Unknown identifier\"}\r\n");
    item("mnuCompile")->trigger();
    EXPECT_EQ(monitorText(), "file  : A.INC: line 2, column 5\r\nError : 3 - Unknown identifier\r\n");
    EXPECT_EQ(form->panel(2)->text(), "Current View: A.INC");
    EXPECT_EQ(form->editor()->text(), "procedure a;\r\nbegin end;\r\n");
    EXPECT_EQ(form->editor()->highlightedLine(), 1);
    int line = -1, column = -1;
    form->editor()->selectionStart(&line, &column);
    EXPECT_EQ(column, 4);
    EXPECT_FALSE(QFile::exists(dir + "game.com")) << "no program from a failed compile";
    EXPECT_EQ(testfiles::read(dir + "RESULT.TXT"), "game: 1 error\r\n") << "kept after a failure";
}

TEST_F(DosBuildFixture, CompileAndRunJoinsTheDosChainFileForTheEmulator)
{
    if (QStandardPaths::findExecutable("mcopy").isEmpty())
        GTEST_SKIP() << "mtools is not installed";
    qputenv("EMULATOR_LOG", kit.path("emulator-args.txt").toLocal8Bit());
    open("run", kMain);
    form->Settings.EmulatorPath = testfiles::testToolsDir() + "/emulator";
    form->Settings.EmulatorCommandLine = "-diska %dsk";
    ASSERT_TRUE(buildtest::makeBootDisk(kit.path("dsk/boot.dsk")));
    item("mnuCompileRun")->trigger();
    const bool started = testfiles::waitUntil([&] { return QFile::exists(kit.path("emulator-args.txt")); });
    qunsetenv("EMULATOR_LOG");
    ASSERT_TRUE(started) << monitorText().toStdString() << dialogs.calls().value(0).text.toStdString();
    EXPECT_EQ(testfiles::read(dir + "game.com"), runtime + kMain);
    QProcess mdir;
    mdir.start("mdir", {"-i", kit.path("dsk/d.dsk"), "-b", "::"});
    ASSERT_TRUE(mdir.waitForFinished(10000));
    EXPECT_TRUE(QString::fromLocal8Bit(mdir.readAllStandardOutput()).toUpper().contains("GAME.COM"));
}

// What DOSBox cannot take is refused before it starts, with the words Lumivo uses.
TEST_F(DosBuildFixture, WhatDosCannotReachIsRefusedBeforeDosboxStarts)
{
    const struct {
        const char* name;
        const char* folder;
        QByteArray main;
        std::function<void(const QString& dir)> prepare;
        QString says;
    } rows[] = {
        {"an include without a DOS name", "long", "program game;\r\n{$I LONGNAME1.INC}\r\nbegin end.\r\n",
         [](const QString& d) { testfiles::write(d + "longname1.inc", ""); },
         "tp3.exe runs in DOSBox, where the file \"LONGNAME1.INC\" cannot be reached"},
        {"two files DOS takes for one", "clash", kMain, [](const QString& d) { testfiles::write(d + "A.INC", ""); },
         "tp3.exe runs in DOSBox, where A.INC and a.inc are one name"},
        {"a percent sign in the project path", "100% work", kMain, [](const QString&) {},
         "tp3.exe runs in DOSBox, whose mount command cannot take the folder"},
        {"a double quote in the project path", "say \"hi\"", kMain, [](const QString&) {},
         "tp3.exe runs in DOSBox, whose mount command cannot take the folder"},
        {"a compiler cut short", "cut", kMain,
         [this](const QString&) {
             const QByteArray whole = testfiles::read(kit.path("compiler/tp3.exe"));
             testfiles::write(kit.path("compiler/tp3.exe"), whole.left(whole.size() / 2));
         },
         "It is cut short"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QByteArray compiler = testfiles::read(kit.path("compiler/tp3.exe"));
        row.prepare(kit.path(row.folder) + "/");
        open(row.folder, row.main);
        item("mnuCompile")->trigger();
        EXPECT_TRUE(monitorText().contains(row.says)) << monitorText().toStdString();
        EXPECT_FALSE(monitorText().contains("Sucessfully")) << monitorText().toStdString();
        EXPECT_TRUE(QDir(dir).entryList({"result.txt", "*.chn", "*.com"}, QDir::Files).isEmpty()) << "DOSBox ran";
        testfiles::write(kit.path("compiler/tp3.exe"), compiler);
        form.reset();
    }

    // Without DOSBox on the PATH, the build says what to install.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", kit.path("no-such-folder").toLocal8Bit());
    open("nodosbox", kMain);
    item("mnuCompile")->trigger();
    qputenv("PATH", path);
    EXPECT_TRUE(monitorText().contains("tp3.exe is a DOS program, which runs here in DOSBox. Install DOSBox (Debian "
                                       "package dosbox)."))
        << monitorText().toStdString();
}

// A compiler that never ends inside DOSBox is ended with DOSBox when Tarvel exits.
TEST_F(DosBuildFixture, ExitDuringAHangingDosCompileEndsDosbox)
{
    open("hang", "program game;\r\n{HANG}\r\n");
    dialogs.queueAnswer(common::Dialogs::Answer::Yes);
    QList<qint64> running;
    QTimer poll;
    // DOSBox creates RESULT.TXT before it starts the compiler.
    QObject::connect(&poll, &QTimer::timeout, [&] {
        running = processesWith(kit.path("compiler/dosbox.conf"));
        if (running.isEmpty() || !QFile::exists(dir + "RESULT.TXT"))
            return;
        poll.stop();
        item("mnuExit")->trigger();
    });
    poll.start(20);
    QTimer::singleShot(0, form.get(), [this] { item("mnuCompile")->trigger(); });
    // A guard against a test that would never end: the loop ends with 99 after two minutes.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QApplication::exit(99); });
    guard.start(120000);
    EXPECT_EQ(QApplication::exec(), 0);
    ASSERT_FALSE(running.isEmpty());
    EXPECT_EQ(dialogs.messages().value(0).text, "A build is still running.\nStop it and exit Tarvel?");
    EXPECT_EQ(monitorText(), "The build was stopped.\r\n");
    for (const qint64 pid : running)
        EXPECT_TRUE(testfiles::waitUntil([&] { return testfiles::processEnded(pid); })) << "DOSBox was ended";
    EXPECT_FALSE(form->isBuilding());
}

// Check Setup says what the compiler is and what it runs in, as the build finds it.
TEST_F(DosBuildFixture, CheckSetupSaysTheCompilerIsADosProgramThatNeedsDosbox)
{
    open("setup", kMain);
    const auto compilerRow = [&]() -> QStringList {
        item("mnuCheckSetup")->trigger();
        auto* list = form->findChild<QTreeWidget*>("lstSetup");
        for (int i = 0; list && i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = list->topLevelItem(i);
            if (row->text(0) == "Compiler TP3")
                return {row->text(1), row->text(2), row->text(3)};
        }
        return {};
    };
    QStringList row = compilerRow();
    ASSERT_EQ(row.size(), 3);
    EXPECT_EQ(row[0], "yes");
    EXPECT_EQ(row[1], kit.path("compiler/tp3.exe") + " is a DOS program, run in DOSBox ("
                          + QStandardPaths::findExecutable("dosbox") + ")");

    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", kit.path("no-such-folder").toLocal8Bit());
    row = compilerRow();
    qputenv("PATH", path);
    ASSERT_EQ(row.size(), 3);
    EXPECT_NE(row[0], "yes");
    EXPECT_TRUE(row[1].endsWith("is a DOS program, which needs DOSBox: not installed")) << row[1].toStdString();
    EXPECT_EQ(row[2], "Install DOSBox (Debian package dosbox).");
}
