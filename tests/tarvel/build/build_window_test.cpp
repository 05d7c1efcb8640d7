#include "shell/Form1.h"

#include "BuildTestKit.h"
#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "build/Form2.h"
#include "shell/CodeEditor.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

using Answer = common::Dialogs::Answer;

namespace {

// A kit that can build (stand-in compiler, dsktool, runtime.com) and a project in it.
class BuildFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        runtime = buildtest::makeKit(kit.dir());
        qputenv("TP3_LOG", "1");
        qputenv("EMULATOR_LOG", kit.path("emulator-args.txt").toLocal8Bit());
    }

    void TearDown() override
    {
        qunsetenv("TP3_LOG");
        qunsetenv("EMULATOR_LOG");
    }

    // Writes the project files and opens the project; `main` is the main file's text.
    void open(const QString& folder, const QByteArray& main, const QByteArray& include = "procedure a;\r\nbegin end;\r\n")
    {
        dir = kit.path(folder) + "/";
        testfiles::write(dir + "game.pas", main);
        testfiles::write(dir + "a.inc", include);
        testfiles::write(dir + "game.tpj", "Demo\r\n2E9B\r\nD200\r\nGAME.PAS\r\n");
        form = kit.startForm(dialogs);
        ASSERT_TRUE(form->OpenProjectFile(dir + "game.tpj"));
    }

    QAction* item(const char* name) { return form->findChild<QAction*>(QString::fromLatin1(name)); }
    QString monitorText() { return form->monitor() ? form->monitor()->text() : QString(); }
    QStringList compilerCalls() { return QString::fromLatin1(testfiles::read(dir + "tp3-calls.txt")).split('\n', Qt::SkipEmptyParts); }

    TarvelKit kit;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;
    QByteArray runtime;
    QString dir;
};

const QByteArray CleanMain = "program game;\r\n{$I A.INC}\r\nbegin\r\n  a;\r\nend.\r\n";

} // namespace

TEST_F(BuildFixture, ACompileLeavesTheComFileAndReportsTheSummary)
{
    open("work", CleanMain);
    form->editor()->setText(CleanMain + "{ edited }\r\n");
    item("mnuCompile")->trigger();

    EXPECT_EQ(testfiles::read(dir + "game.pas"), CleanMain + "{ edited }\r\n") << "the shown file is saved first";
    EXPECT_FALSE(form->editor()->isModified());
    EXPECT_EQ(testfiles::read(dir + "game.com"), runtime + testfiles::read(dir + "game.chn"));
    EXPECT_FALSE(QFile::exists(dir + "result.txt")) << "deleted after a success";
    const QStringList lines = monitorText().split("\r\n");
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0], "Compiling Demo...");
    EXPECT_EQ(lines[1], "No errors - Sucessfully compiled");
    EXPECT_EQ(lines[2], "");
    EXPECT_TRUE(lines[3].startsWith("Code: ")) << lines[3].toStdString();
    EXPECT_TRUE(lines[4].startsWith("Free: "));
    EXPECT_TRUE(lines[5].startsWith("Data: "));
    EXPECT_EQ(compilerCalls(), QStringList{"game|/S2E9B|/ED200|/Rerrors.txt|"});
    EXPECT_TRUE(QFile::exists(kit.path("compiler/turbopc.sh")));
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(BuildFixture, CompileToChnLeavesOnlyTheChainFile)
{
    open("work", CleanMain);
    testfiles::write(dir + "ERRORS.TXT", "GAME.PAS,1,1,1,\"left by a crashed run\"\r\n");
    testfiles::write(dir + "game.chn", "old chain");
    item("mnuCompileCHN")->trigger();
    EXPECT_TRUE(testfiles::read(dir + "game.chn").startsWith("CHN:"));
    EXPECT_FALSE(QFile::exists(dir + "game.com"));
    EXPECT_EQ(compilerCalls(), QStringList{"game|/H|/S2E9B|/ED200|/Rerrors.txt|"});
    EXPECT_FALSE(testfiles::read(kit.path("compiler/turbopc.sh")).contains("runtime.com"));
    EXPECT_TRUE(monitorText().contains("No errors - Sucessfully compiled")) << "a stale errors file is not read";
}

TEST_F(BuildFixture, OneErrorIsListedAndItsLineMarked)
{
    open("work", "program game;\r\n{$I A.INC}\r\nbegin\r\n{ERR GAME.PAS,4,3,2,\"Unknown identifier, or syntax error\"}\r\nend.\r\n");
    item("mnuCompile")->trigger();
    EXPECT_EQ(monitorText(), "file  : GAME.PAS: line 4, column 3\r\nError : 2 - Unknown identifier, or syntax error\r\n");
    EXPECT_EQ(form->editor()->highlightedLine(), 3);
    int line = -1, column = -1;
    form->editor()->selectionStart(&line, &column);
    EXPECT_EQ(line, 3);
    EXPECT_EQ(column, 0);
    EXPECT_FALSE(QFile::exists(dir + "errors.txt"));
    EXPECT_TRUE(QFile::exists(dir + "result.txt")) << "kept after a failure";
    EXPECT_FALSE(QFile::exists(dir + "game.com"));
}

TEST_F(BuildFixture, ThreeErrorsAreListedAndTheFirstOneInAnIncludeIsOpened)
{
    open("work",
         "program game;\r\n{$I A.INC}\r\n{ERR A.INC,2,1,10,\"first\"}\r\n{ERR GAME.PAS,5,1,11,\"second\"}\r\n"
         "{ERR GAME.PAS,6,1,12,\"third\"}\r\nbegin end.\r\n",
         "procedure a;\r\nbegin end;\r\n");
    item("mnuCompile")->trigger();
    const QStringList lines = monitorText().split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], "file  : A.INC: line 2, column 1");
    EXPECT_EQ(lines[5], "Error : 12 - third");
    EXPECT_EQ(form->project().currentKey(), "A.INC1");
    EXPECT_EQ(form->tree()->currentItem(), form->node(3));
    EXPECT_EQ(form->editor()->text(), "procedure a;\r\nbegin end;\r\n");
    EXPECT_EQ(form->panel(2)->text(), "Current View: A.INC");
    EXPECT_EQ(form->editor()->highlightedLine(), 1);
}

TEST_F(BuildFixture, AFileNameInOtherCaseMatchesNoNode)
{
    open("work", "program game;\r\n{$I A.INC}\r\n{ERR a.inc,2,1,10,\"lower case\"}\r\nbegin end.\r\n");
    item("mnuCompile")->trigger();
    EXPECT_EQ(form->project().currentKey(), "game.pas0");
    EXPECT_TRUE(form->editor()->text().startsWith("program game;"));
    EXPECT_EQ(form->editor()->highlightedLine(), 1) << "the line is marked in the shown file";
}

TEST_F(BuildFixture, EditsMadeDuringTheBuildAreAskedAbout)
{
    for (Answer answer : {Answer::Cancel, Answer::No, Answer::Yes}) {
        SCOPED_TRACE(int(answer));
        open(QStringLiteral("answer%1").arg(int(answer)),
             "program game;\r\n{$I A.INC}\r\n{SLEEP:1}\r\n{ERR A.INC,2,1,10,\"x\"}\r\nbegin end.\r\n");
        dialogs.clear();
        dialogs.queueAnswer(answer);
        QTimer::singleShot(300, form.get(), [this] { form->editor()->setText("typed while compiling"); });
        item("mnuCompile")->trigger();
        ASSERT_EQ(dialogs.messages().size(), 1);
        EXPECT_EQ(dialogs.messages()[0].text, "This file has changed. Save it?");
        if (answer == Answer::Cancel) {
            EXPECT_EQ(form->project().currentKey(), "game.pas0");
            EXPECT_EQ(form->tree()->currentItem(), form->node(2));
            EXPECT_EQ(form->editor()->text(), "typed while compiling");
            EXPECT_EQ(form->editor()->highlightedLine(), -1) << "no line is marked";
        } else {
            EXPECT_EQ(form->project().currentKey(), "A.INC1");
            EXPECT_EQ(form->editor()->highlightedLine(), 1);
            EXPECT_EQ(testfiles::read(dir + "game.pas") == "typed while compiling", answer == Answer::Yes);
        }
        form.reset();
    }
}

TEST_F(BuildFixture, AnErrorInAVanishedIncludeKeepsTheShownDocument)
{
    const QByteArray main = "program game;\r\n{$I A.INC}\r\n{ERR A.INC,2,1,10,\"x\"}\r\nbegin end.\r\n";
    open("vanished", main);
    QFile::remove(dir + "a.inc");
    item("mnuCompile")->trigger();
    EXPECT_TRUE(monitorText().startsWith("file  : A.INC: line 2")) << monitorText().toStdString();
    EXPECT_EQ(form->tree()->currentItem(), form->node(2));
    EXPECT_EQ(form->panel(2)->text(), "Current View: GAME.PAS");
    EXPECT_EQ(form->editor()->text(), QString::fromLatin1(main));

    // The next build saves the edit into the main file, and makes no A.INC of it.
    form->editor()->setText(main + "{ edit }\r\n");
    item("mnuCompile")->trigger();
    EXPECT_FALSE(QFile::exists(dir + "a.inc"));
    EXPECT_FALSE(QFile::exists(dir + "A.INC"));
    EXPECT_EQ(testfiles::read(dir + "game.pas"), main + "{ edit }\r\n");
}

TEST_F(BuildFixture, TheShownDocumentIsSavedBeforeABuildAlsoWithTheRootHighlighted)
{
    open("root", CleanMain);
    clickTreeNode(*form, 1);
    ASSERT_EQ(form->tree()->currentItem(), form->node(1));
    form->editor()->setText(CleanMain + "{ edited }\r\n");
    item("mnuCompile")->trigger();
    EXPECT_EQ(testfiles::read(dir + "game.pas"), CleanMain + "{ edited }\r\n") << "the build compiles what is shown";
    EXPECT_TRUE(monitorText().contains("No errors - Sucessfully compiled"));
}

TEST_F(BuildFixture, TheSizeLimitIs720KilobytesOfFilesDirectlyInTheProjectFolder)
{
    open("exact", CleanMain);
    testfiles::write(dir + "sub/big.bin", QByteArray(800000, 'x'));
    QString folder = dir;
    const qint64 others = QFileInfo(dir + "game.pas").size() + QFileInfo(dir + "a.inc").size() + QFileInfo(dir + "game.tpj").size();
    testfiles::write(dir + "filler.bin", QByteArray(737280 - others, 'f'));
    testfiles::write(dir + "game.com", QByteArray(5000, 'o')); // the old output is deleted first
    item("mnuCompile")->trigger();
    EXPECT_TRUE(monitorText().contains("No errors - Sucessfully compiled")) << monitorText().toStdString();

    QFile::remove(dir + "game.com");
    QFile::remove(dir + "game.chn");
    QFile::remove(dir + "tp3-calls.txt");
    testfiles::write(dir + "filler.bin", QByteArray(737280 - others + 1, 'f'));
    item("mnuCompile")->trigger();
    EXPECT_EQ(monitorText(), "The project directory \r\n" + dir + "\r\ncannot have more than 720kb of files");
    EXPECT_FALSE(QFile::exists(dir + "tp3-calls.txt")) << "no compiler is run";
}

TEST_F(BuildFixture, CompileAndRunPutsTheProjectOnADiskAndStartsTheEmulator)
{
    if (QStandardPaths::findExecutable("mcopy").isEmpty())
        GTEST_SKIP() << "mtools is not installed";
    open("run dir", CleanMain);
    form->Settings.EmulatorPath = testfiles::testToolsDir() + "/emulator";
    form->Settings.EmulatorCommandLine = "-diska %dsk -msx2 -ext \"%dsk\"";
    testfiles::write(kit.path("dsk/d.dsk"), "stale image");
    item("mnuCompileRun")->trigger();

    const QString image = kit.path("dsk/d.dsk");
    ASSERT_TRUE(testfiles::waitUntil([&] { return QFile::exists(kit.path("emulator-args.txt")); }, 10000));
    EXPECT_EQ(testfiles::read(kit.path("emulator-args.txt")),
              ("-diska\n" + image + "\n-msx2\n-ext\n" + image + "\n").toLocal8Bit());
    EXPECT_EQ(QFileInfo(image).size(), 737280);
    EXPECT_FALSE(form->monitor()->isVisible()) << "the monitor is closed before the disk is made";
    QProcess mdir;
    mdir.start("mdir", {"-i", image, "-b", "::"});
    ASSERT_TRUE(mdir.waitForFinished(10000));
    const QString listing = QString::fromLocal8Bit(mdir.readAllStandardOutput()).toUpper();
    for (const char* name : {"GAME.PAS", "A.INC", "GAME.COM", "GAME.CHN", "GAME.TPJ"})
        EXPECT_TRUE(listing.contains(name)) << name << " missing from " << listing.toStdString();
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(BuildFixture, AFailedBuildLeavesTheImageAndTheEmulatorAlone)
{
    open("fail", "program game;\r\n{ERR GAME.PAS,1,1,1,\"no\"}\r\n");
    form->Settings.EmulatorPath = testfiles::testToolsDir() + "/emulator";
    testfiles::write(kit.path("dsk/d.dsk"), "old image");
    item("mnuCompileRun")->trigger();
    QTest::qWait(300);
    EXPECT_EQ(testfiles::read(kit.path("dsk/d.dsk")), "old image");
    EXPECT_FALSE(QFile::exists(kit.path("emulator-args.txt")));
}

TEST_F(BuildFixture, AMissingEmulatorIsReported)
{
    if (QStandardPaths::findExecutable("mcopy").isEmpty())
        GTEST_SKIP() << "mtools is not installed";
    open("noemu", CleanMain);
    form->Settings.EmulatorPath = kit.path("no-such-emulator");
    item("mnuCompileRun")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].text.contains("The emulator could not be started"));
    EXPECT_TRUE(QFile::exists(kit.path("dsk/d.dsk")));
}

TEST_F(BuildFixture, HostileFolderNamesRunNothingButTheCompiler)
{
    if (QStandardPaths::findExecutable("mcopy").isEmpty())
        GTEST_SKIP() << "mtools is not installed";
    open(QString::fromUtf8("it's $(touch pwned1); `touch pwned2` \"q\" \xC3\xA4"), CleanMain);
    form->Settings.EmulatorPath = testfiles::testToolsDir() + "/emulator";
    item("mnuCompileRun")->trigger();
    EXPECT_TRUE(QFile::exists(dir + "game.com"));
    ASSERT_TRUE(testfiles::waitUntil([&] { return QFile::exists(kit.path("emulator-args.txt")); }, 10000));
    for (const QString& folder : {kit.dir(), dir, kit.path("compiler"), QDir::currentPath()}) {
        EXPECT_FALSE(QFile::exists(folder + "/pwned1")) << folder.toStdString();
        EXPECT_FALSE(QFile::exists(folder + "/pwned2")) << folder.toStdString();
    }
}

TEST_F(BuildFixture, ASecondBuildIsRefusedWhileOneRuns)
{
    open("busy", "program game;\r\n{SLEEP:1}\r\nbegin end.\r\n");
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(100);
    QTimer::singleShot(300, form.get(), [this] {
        EXPECT_TRUE(form->isBuilding());
        item("mnuCompileCHN")->trigger();
        item("mnuCompileRun")->trigger();
    });
    item("mnuCompile")->trigger();
    EXPECT_FALSE(form->isBuilding());
    EXPECT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[0].text.contains("still running"));
    EXPECT_EQ(compilerCalls().size(), 1);
    EXPECT_TRUE(QFile::exists(dir + "game.com"));
    EXPECT_GE(ticks, 8) << "the window's timers keep running during the build";
}

TEST(BuildWithoutProject, SaysSo)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    EXPECT_FALSE(form->DoCompilation(false));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, "No project loaded!");
    EXPECT_EQ(dialogs.messages()[0].title, "Error");
    EXPECT_EQ(dialogs.messages()[0].icon, common::Dialogs::Icon::Critical);
}
