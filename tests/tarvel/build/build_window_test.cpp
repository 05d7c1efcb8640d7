#include "BuildProjectFixture.h"
#include "TestFiles.h"
#include "shell/CodeEditor.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

using Answer = common::Dialogs::Answer;

namespace {

// The build's project, with the stand-in compiler's calls and the emulator's arguments logged.
class BuildFixture : public BuildProjectFixture {
protected:
    void SetUp() override
    {
        BuildProjectFixture::SetUp();
        qputenv("TP3_LOG", "1");
        qputenv("EMULATOR_LOG", kit.path("emulator-args.txt").toLocal8Bit());
    }

    void TearDown() override
    {
        qunsetenv("TP3_LOG");
        qunsetenv("EMULATOR_LOG");
    }

    QStringList compilerCalls() { return QString::fromLatin1(testfiles::read(dir + "tp3calls.txt")).split('\n', Qt::SkipEmptyParts); }
};

const QByteArray CleanMain = "program game;\r\n{$I A.INC}\r\nbegin\r\n  a;\r\nend.\r\n";

// Runs `action` once, while the stand-in compiler waits (its source holds {WAITFOR:go}) and
// `ready` holds, then lets the compiler go on by creating the file "go" (unless told not to).
class WhileCompiling {
public:
    WhileCompiling(const QString& projectDir, std::function<void()> action,
                   std::function<bool()> ready = [] { return true; }, bool release = true)
    {
        QObject::connect(&m_poll, &QTimer::timeout, [=] {
            if (m_ran || !QFile::exists(projectDir + "tp3.pid") || !ready())
                return;
            m_ran = true;
            m_poll.stop();
            action();
            if (release)
                testfiles::write(projectDir + "go", "");
        });
        m_poll.start(10);
    }
    bool ran() const { return m_ran; }

private:
    QTimer m_poll;
    bool m_ran = false;
};

// Runs the application's event loop, as main() does, until something ends it; a guard ends it
// with 99 after a minute. Returns the exit code.
int runApplication()
{
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QApplication::exit(99); });
    guard.start(60000);
    return QApplication::exec();
}

// The id the stand-in compiler wrote to tp3.pid.
qint64 compilerPid(const QString& projectDir)
{
    return testfiles::read(projectDir + "tp3.pid").trimmed().toLongLong();
}

// The names of the files in a folder, sorted.
QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

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
    // What earlier runs may have left: none of it may pass for this build's output.
    testfiles::write(dir + "ERRORS.TXT", "GAME.PAS,1,1,1,\"left by a crashed run\"\r\n");
    testfiles::write(dir + "GAME.CHN", "old chain");
    testfiles::write(dir + "game.com", "old program");
    testfiles::write(dir + "result.txt", "Code: 1 bytes FROM AN OLD RUN\r\n");
    item("mnuCompileCHN")->trigger();

    EXPECT_EQ(testfiles::read(dir + "game.chn"), "CHN:" + CleanMain) << "the chain file of this build";
    EXPECT_EQ(testfiles::read(dir + "game.com"), "old program") << "a CHN build neither joins nor deletes the program";
    EXPECT_EQ(filesIn(dir), QStringList({"a.inc", "game.chn", "game.com", "game.pas", "game.tpj", "tp3calls.txt"}))
        << "the old chain file, the stale error list and result.txt are gone";
    EXPECT_EQ(compilerCalls(), QStringList{"game|/H|/S2E9B|/ED200|/Rerrors.txt|"});
    EXPECT_FALSE(testfiles::read(kit.path("compiler/turbopc.sh")).contains("runtime.com"));
    EXPECT_TRUE(monitorText().contains("No errors - Sucessfully compiled")) << monitorText().toStdString();
    EXPECT_TRUE(monitorText().contains(QStringLiteral("Code: %1 bytes").arg(4 + CleanMain.size())))
        << "the summary of this run";
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
    EXPECT_EQ(column, 2) << "the record's column";
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
             "program game;\r\n{$I A.INC}\r\n{WAITFOR:go}\r\n{ERR A.INC,2,1,10,\"x\"}\r\nbegin end.\r\n");
        dialogs.clear();
        dialogs.queueAnswer(answer);
        WhileCompiling typing(dir, [this] { form->editor()->setText("typed while compiling"); });
        item("mnuCompile")->trigger();
        ASSERT_TRUE(typing.ran());
        ASSERT_EQ(dialogs.messages().size(), 1);
        EXPECT_EQ(dialogs.messages()[0].text, "Save changes to GAME.PAS?");
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
    QFile::remove(dir + "tp3calls.txt");
    testfiles::write(dir + "filler.bin", QByteArray(737280 - others + 1, 'f'));
    item("mnuCompile")->trigger();
    EXPECT_TRUE(monitorText().startsWith("The project directory \r\n" + dir + "\r\ncannot have more than 720kb of files\r\n"))
        << monitorText().toStdString();
    EXPECT_FALSE(QFile::exists(dir + "tp3calls.txt")) << "no compiler is run";
}

TEST_F(BuildFixture, CompileAndRunPutsTheProjectOnADiskAndStartsTheEmulator)
{
    if (QStandardPaths::findExecutable("mcopy").isEmpty())
        GTEST_SKIP() << "mtools is not installed";
    open("run dir", CleanMain);
    testfiles::write(dir + "AUTOEXEC.BAT", "GAME\r\n");
    form->Settings.EmulatorPath = testfiles::testToolsDir() + "/emulator";
    form->Settings.EmulatorCommandLine = "-diska %dsk -msx2 -ext \"%dsk\"";
    testfiles::write(kit.path("dsk/d.dsk"), "stale image");
    ASSERT_TRUE(buildtest::makeBootDisk(kit.path("dsk/boot.dsk")));
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
    for (const char* name : {"MSXDOS.SYS", "COMMAND.COM", "AUTOEXEC.BAT", "GAME.PAS", "A.INC", "GAME.COM", "GAME.TPJ"})
        EXPECT_TRUE(listing.contains(name)) << name << " missing from " << listing.toStdString();
    EXPECT_FALSE(listing.contains("GAME.CHN")) << "the chain file is the build's own";
    // The disk boots as the boot disk does: its boot sector is the boot disk's, byte for byte.
    EXPECT_EQ(testfiles::read(image).left(512), testfiles::read(kit.path("dsk/boot.dsk")).left(512));
    EXPECT_TRUE(dialogs.calls().isEmpty()) << dialogs.calls().value(0).text.toStdString();
}

TEST_F(BuildFixture, AFailedBuildLeavesTheImageAndTheEmulatorAlone)
{
    open("fail", "program game;\r\n{ERR GAME.PAS,1,1,1,\"no\"}\r\n");
    form->Settings.EmulatorPath = testfiles::testToolsDir() + "/emulator";
    testfiles::write(kit.path("dsk/d.dsk"), "old image");
    item("mnuCompileRun")->trigger();
    // The command is over when trigger returns; a started emulator would be watched by now.
    EXPECT_TRUE(form->findChildren<common::RunWatch*>().isEmpty()) << "an emulator was started";
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
    // Without a boot disk the user is told once that the MSX will start Disk BASIC.
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[0].text.contains("Disk BASIC"));
    EXPECT_TRUE(dialogs.messages()[0].text.contains(kit.path("dsk/boot.dsk")));
    EXPECT_TRUE(dialogs.messages()[1].text.contains("The emulator could not be started"));
    EXPECT_TRUE(dialogs.messages()[1].text.contains("Check Setup"));
    EXPECT_TRUE(QFile::exists(kit.path("dsk/d.dsk")));
    dialogs.clear();
    item("mnuCompileRun")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].text.contains("The emulator could not be started"));
}

TEST(BuildNames, HostileKitImageAndProjectFoldersRunNothingButTheBuild)
{
    if (QStandardPaths::findExecutable("mcopy").isEmpty())
        GTEST_SKIP() << "mtools is not installed";
    // Each row holds one kind of trick, so that no quote in the same name defuses another.
    const struct {
        const char* name;
        QString kit;
        QString image; // "" for the default, the kit's dsk folder
        QString project;
    } rows[] = {
        {"command substitution, default image folder", "kit$(touch PWN_kit)", "", "p$(touch PWN_project)"},
        {"command substitution", "kit$(touch PWN_kit)", "img$(touch PWN_image)", "p$(touch PWN_project)"},
        {"backticks", "kit`touch PWN_kit`", "img`touch PWN_image`", "p`touch PWN_project`"},
        {"single quotes", "it's kit", "it's img", "it's p"},
        {"double quotes", "kit \"q\"", "img \"q\"", "p \"q\""},
        {"semicolon and ampersand", "kit;touch PWN_kit&", "img; touch PWN_image &", "p;touch PWN_project&"},
        {"blanks and non-ASCII", QString::fromUtf8("kit \xC3\xA4 \xC3\xB6"), QString::fromUtf8("img \xC3\x9F"),
         QString::fromUtf8("p \xC3\xA9 x")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir root;
        QTemporaryDir logs;
        const QString appDir = root.filePath(row.kit);
        buildtest::makeKit(appDir);
        testfiles::write(appDir + "/help/autocomplete.txt", "WriteLn(items)\r\n");
        tarvel::ConfigSettings settings;
        tarvel::SetDefaultSettings(settings, appDir);
        settings.ShowNewProjectDialog = false;
        settings.EmulatorPath = testfiles::testToolsDir() + "/emulator";
        if (!row.image.isEmpty())
            settings.DiskImagePath = root.filePath(row.image) + "/";
        const QString image = settings.DiskImagePath + "d.dsk";
        testfiles::write(appDir + "/config.cfg", tarvel::EncodeSettings(settings));
        const QString project = root.filePath(row.project) + "/";
        testfiles::write(project + "game.pas", CleanMain);
        testfiles::write(project + "a.inc", "procedure a;\r\nbegin end;\r\n");
        testfiles::write(project + "game.tpj", "Demo\r\n2E9B\r\nD200\r\nGAME.PAS\r\n");
        const QString arguments = logs.filePath("emulator-args.txt");
        qputenv("EMULATOR_LOG", QFile::encodeName(arguments));

        ScriptedDialogs dialogs;
        {
            Form1 form(appDir, dialogs, QString());
            form.start();
            ASSERT_TRUE(form.OpenProjectFile(project + "game.tpj"));
            form.findChild<QAction*>("mnuCompileRun")->trigger();
            // Only the note that there is no boot disk.
            EXPECT_EQ(dialogs.calls().size(), 1) << dialogs.calls().value(1).text.toStdString();
            EXPECT_TRUE(dialogs.calls().value(0).text.contains("Disk BASIC"));
            ASSERT_TRUE(testfiles::waitUntil([&] { return QFile::exists(arguments); }, 20000));
        }
        qunsetenv("EMULATOR_LOG");

        EXPECT_EQ(QFileInfo(image).size(), 737280) << "the image is where it should be";
        QStringList besideImage = QFileInfo(image).absoluteDir().entryList(QDir::Files | QDir::Hidden);
        besideImage.removeOne("dsktool");
        EXPECT_EQ(besideImage, QStringList{"d.dsk"});
        EXPECT_EQ(testfiles::read(arguments), QFile::encodeName("-diska\n" + image + "\n-msx2\n"));
        EXPECT_TRUE(QFile::exists(project + "game.com"));
        for (const QString& folder : {root.path(), QDir::currentPath()}) {
            QDirIterator it(folder, {"PWN*"}, QDir::Files | QDir::Hidden,
                            folder == root.path() ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
            while (it.hasNext()) {
                const QString made = it.next();
                ADD_FAILURE() << "a name was run as a command: " << made.toStdString();
                QFile::remove(made);
            }
        }
    }
}

TEST_F(BuildFixture, AJunkDiskImageIsNotGivenToTheEmulator)
{
    open("junk", CleanMain);
    form->Settings.EmulatorPath = testfiles::testToolsDir() + "/emulator";
    // A disk tool that says it worked but leaves 31 bytes at the image path.
    testfiles::write(kit.path("dsk/dsktool"), "#!/bin/sh\nprintf '%31s' x > \"$2\"\nexit 0\n");
    QFile::setPermissions(kit.path("dsk/dsktool"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    item("mnuCompileRun")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, "The disk image could not be made:\n" + kit.path("dsk/d.dsk") + "\n\n"
                                              + kit.path("dsk/d.dsk") + " holds 31 bytes, not the 737280 of a 720 KB disk."
                                              + "\n\nTools > Check Setup... lists what Build and Compile and Run need.");
    EXPECT_EQ(dialogs.messages()[0].title, "Error");
    EXPECT_FALSE(QFile::exists(kit.path("emulator-args.txt"))) << "the emulator was started";
}

TEST_F(BuildFixture, ACompilerThatCannotRunOrLeavesNothingFailsTheBuild)
{
    const QString compiler = kit.path("compiler/TP3");
    const QString readme = "(see README.md in that folder)";
    const struct {
        const char* name;
        QByteArray tp3;  // "" removes it
        bool executable;
        bool runtime;    // runtime.com present
        QStringList says;
    } rows[] = {
        {"no compiler", "", false, true, {"The compiler could not be started:\r\n" + compiler + "\r\nThere is no compiler there.", readme}},
        {"a compiler that may not be run", "#!/bin/sh\nexit 0\n", false, true,
         {"The compiler could not be started:\r\n" + compiler + "\r\nThat file may not be run", readme}},
        {"a compiler that writes nothing", "#!/bin/sh\nexit 0\n", true, true,
         {"The compiler left no result: neither errors.txt nor game.chn was written.\r\n" + compiler, readme}},
        {"a compiler whose interpreter is missing", "#!/no/such/interpreter\n", true, true,
         {"The compiler left no result", compiler}},
        {"a compiler that says why in its output", "#!/bin/sh\necho 'dosbox not found'\nexit 1\n", true, true,
         {"The compiler left no result", "What it printed is in "}},
        {"no run-time file", {}, true, false,
         {"The program game.com could not be made from game.chn and the run-time file:\r\n" + kit.path("compiler/runtime.com"),
          "runtime.com, in any letter case " + readme}},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        open(QStringLiteral("row%1").arg(n++), CleanMain);
        buildtest::makeKit(kit.dir());
        if (row.tp3.isEmpty() && row.executable == false)
            QFile::remove(compiler);
        else if (!row.tp3.isNull())
            testfiles::write(compiler, row.tp3);
        QFile::setPermissions(compiler, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                            | (row.executable ? QFileDevice::ExeOwner : QFileDevice::Permissions()));
        if (!row.runtime)
            QFile::remove(kit.path("compiler/runtime.com"));
        testfiles::write(dir + "game.chn", "old chain");
        testfiles::write(kit.path("dsk/d.dsk"), "old image");
        form->Settings.EmulatorPath = testfiles::testToolsDir() + "/emulator";

        item("mnuCompileRun")->trigger();
        const QString text = monitorText();
        for (const QString& part : row.says)
            EXPECT_TRUE(text.contains(part)) << text.toStdString() << "\n  lacks: " << part.toStdString();
        EXPECT_FALSE(text.contains("Sucessfully")) << text.toStdString();
        EXPECT_TRUE(form->monitor()->isVisible());
        EXPECT_FALSE(QFile::exists(dir + "game.com")) << "no program is made of an old chain file";
        if (row.runtime) {
            EXPECT_FALSE(QFile::exists(dir + "game.chn")) << "the old chain file went before the compiler ran";
        }
        EXPECT_EQ(testfiles::read(kit.path("dsk/d.dsk")), "old image") << "no disk is made";
        EXPECT_FALSE(QFile::exists(kit.path("emulator-args.txt"))) << "no emulator is started";
        EXPECT_TRUE(dialogs.calls().isEmpty());
        form.reset();
    }
}

TEST_F(BuildFixture, CommandsThatOpenCreateRefreshOrCloseAProjectAreRefusedDuringABuild)
{
    // Another project, which a command chosen during the build would open.
    const QString other = kit.path("proj2") + "/";
    testfiles::write(other + "main.pas", "program two;\r\nbegin end.\r\n");
    testfiles::write(other + "two.tpj", "Two\r\n2E9B\r\nD200\r\nMAIN.PAS\r\n");
    testfiles::write(other + "result.txt", "Code: 999 bytes FROM PROJ2\r\n");
    open("busy", "program game;\r\n{WAITFOR:go}\r\n{ERR GAME.PAS,1,1,1,\"first\"}\r\nbegin end.\r\n");
    form->AddRecentFile(other + "two.tpj");
    dialogs.clear();
    dialogs.queuePath(other + "two.tpj");

    const char* commands[] = {"mnuOpenProject", "mnuFileOpen", "mnurecent_0", "mnuNew", "mnuRefresh"};
    // Were a command to open a window of its own, it is closed again, so the test goes on.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start(50);
    WhileCompiling during(dir, [&] {
        for (const char* command : commands)
            item(command)->trigger();
    });
    item("mnuCompile")->trigger();
    ASSERT_TRUE(during.ran());

    ASSERT_EQ(dialogs.calls().size(), 5) << "each command is refused, no dialog is opened";
    for (const ScriptedDialogs::Call& call : dialogs.calls()) {
        EXPECT_EQ(call.text, "A build is still running. Wait until it has finished.");
        EXPECT_EQ(call.title, "Tarvel");
    }
    EXPECT_EQ(form->project().projectDir(), dir);
    EXPECT_EQ(form->node(2)->text(0), "GAME.PAS");
    EXPECT_EQ(monitorText(), "file  : GAME.PAS: line 1, column 1\r\nError : 1 - first\r\n")
        << "the build reports into its own project";
    EXPECT_FALSE(QFile::exists(dir + "errors.txt"));
    EXPECT_TRUE(QFile::exists(other + "result.txt"));
    EXPECT_EQ(form->editor()->highlightedLine(), 0);
}

TEST_F(BuildFixture, ASecondBuildIsRefusedWhileOneRunsAndTheWindowStaysLive)
{
    open("busy", "program game;\r\n{WAITFOR:go}\r\nbegin end.\r\n");
    // The main window's own timer (the monitor has one of that name too).
    QTimer* timer = form->findChild<QTimer*>("Timer1", Qt::FindDirectChildrenOnly);
    ASSERT_NE(timer, nullptr);
    int ticks = 0;
    QObject::connect(timer, &QTimer::timeout, [&] { ++ticks; });
    WhileCompiling during(
        dir,
        [this] {
            EXPECT_TRUE(form->isBuilding());
            item("mnuCompileCHN")->trigger();
            item("mnuCompileRun")->trigger();
            item("mnuCompile")->trigger();
        },
        [&] { return ticks >= 2; });
    item("mnuCompile")->trigger();
    EXPECT_TRUE(during.ran()) << "the window's timer ticks during the build";
    EXPECT_FALSE(form->isBuilding());
    ASSERT_EQ(dialogs.messages().size(), 3);
    EXPECT_EQ(dialogs.messages()[0].text, "A build is still running. Wait until it has finished.");
    EXPECT_EQ(compilerCalls().size(), 1);
    EXPECT_TRUE(QFile::exists(dir + "game.com"));
}

TEST_F(BuildFixture, TheOutcomeShowsTheMonitorAgainAfterItWasClosedDuringTheCompile)
{
    const struct {
        const char* name;
        QByteArray main;
        QString text;
    } rows[] = {
        {"errors", "program game;\r\n{WAITFOR:go}\r\n{ERR GAME.PAS,2,1,5,\"bad\"}\r\n",
         "file  : GAME.PAS: line 2, column 1\r\nError : 5 - bad\r\n"},
        {"success", "program game;\r\n{WAITFOR:go}\r\nbegin end.\r\n", "Compiling Demo...\r\nNo errors - Sucessfully compiled"},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        open(QStringLiteral("esc%1").arg(n++), row.main);
        WhileCompiling during(dir, [this] {
            ASSERT_TRUE(form->monitor()->isVisible());
            QTest::keyClick(form->monitor()->findChild<QWidget*>("Text1"), Qt::Key_Escape);
            EXPECT_FALSE(form->monitor()->isVisible());
        });
        item("mnuCompile")->trigger();
        ASSERT_TRUE(during.ran());
        EXPECT_TRUE(form->monitor()->isVisible());
        EXPECT_TRUE(monitorText().startsWith(row.text)) << monitorText().toStdString();
        form.reset();
    }
}

TEST_F(BuildFixture, ExitDuringABuildAsksAndStoppingEndsTheCompilerAndTheProgram)
{
    const struct {
        const char* name;
        bool closeWindow; // the window's close box instead of File > Exit
        Answer answer;
        int exitCode;     // of the application's event loop: 0 when the program ends
    } rows[] = {
        {"File > Exit, Yes", false, Answer::Yes, 0},
        {"close box, Yes", true, Answer::Yes, 0},
        {"File > Exit, No", false, Answer::No, 7},
        {"close box, No", true, Answer::No, 7},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        open(QStringLiteral("exit%1").arg(n++), "program game;\r\n{WAITFOR:go}\r\n{ERR GAME.PAS,1,1,1,\"late\"}\r\n");
        dialogs.clear();
        dialogs.queueAnswer(row.answer);
        qint64 pid = 0;
        WhileCompiling during(
            dir,
            [&] {
                pid = compilerPid(dir);
                if (row.closeWindow)
                    form->close();
                else
                    item("mnuExit")->trigger();
            },
            [] { return true; }, row.answer == Answer::No);
        // A program that goes on ends its event loop with 7 once the build is over.
        QTimer after;
        QObject::connect(&after, &QTimer::timeout, [&] {
            if (during.ran() && !form->isBuilding())
                QApplication::exit(7);
        });
        if (row.answer == Answer::No)
            after.start(20);
        QTimer::singleShot(0, form.get(), [this] { item("mnuCompile")->trigger(); });
        EXPECT_EQ(runApplication(), row.exitCode);
        ASSERT_TRUE(during.ran());

        ASSERT_EQ(dialogs.messages().size(), 1);
        EXPECT_EQ(dialogs.messages()[0].text, "A build is still running.\nStop it and exit Tarvel?");
        EXPECT_EQ(dialogs.messages()[0].buttons, common::Dialogs::Buttons::YesNo);
        if (row.answer == Answer::Yes) {
            EXPECT_TRUE(testfiles::waitUntil([&] { return testfiles::processEnded(pid); }, 20000)) << "the compiler was ended";
            testfiles::write(dir + "go", ""); // a compiler still running would now write its error list
            EXPECT_EQ(monitorText(), "The build was stopped.\r\n");
            EXPECT_FALSE(QFile::exists(dir + "errors.txt"));
        } else {
            EXPECT_TRUE(form->isVisible());
            EXPECT_EQ(monitorText(), "file  : GAME.PAS: line 1, column 1\r\nError : 1 - late\r\n");
        }
        EXPECT_FALSE(form->isBuilding());
        form.reset();
    }
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

// A boot disk that is not one is named with what is wrong, and nothing is made or started.
TEST_F(BuildFixture, ABootDiskThatIsNotOneStartsNothing)
{
    open("badboot", CleanMain);
    form->Settings.EmulatorPath = testfiles::testToolsDir() + "/emulator";
    testfiles::write(kit.path("dsk/boot.dsk"), "a text file, not a disk");
    item("mnuCompileRun")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1);
    const QString text = dialogs.messages()[0].text;
    EXPECT_TRUE(text.contains(kit.path("dsk/boot.dsk"))) << text.toStdString();
    EXPECT_TRUE(text.contains("23 bytes long, not the 737280 bytes")) << text.toStdString();
    EXPECT_TRUE(text.contains("Check Setup")) << text.toStdString();
    EXPECT_FALSE(QFile::exists(kit.path("dsk/d.dsk")));
    EXPECT_FALSE(testfiles::waitUntil([&] { return QFile::exists(kit.path("emulator-args.txt")); }, 300));
}

// Tools > Check Setup shows a row for each thing Build and Compile and Run need; a row is ready
// exactly when the build finds it so.
TEST_F(BuildFixture, CheckSetupListsWhatIsMissingAsTheBuildFindsIt)
{
    open("setup", CleanMain);
    form->Settings.EmulatorPath = testfiles::testToolsDir() + "/emulator";
    form->Settings.DiskImagePath = dir + "disks/";
    QFile::remove(kit.path("compiler/TP3"));
    item("mnuCheckSetup")->trigger();
    auto* list = form->findChild<QTreeWidget*>("lstSetup");
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->isVisible());
    const auto row = [&](const QString& needed) -> QTreeWidgetItem* {
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            if (list->topLevelItem(i)->text(0) == needed)
                return list->topLevelItem(i);
        }
        ADD_FAILURE() << "no row " << needed.toStdString();
        static QTreeWidgetItem none;
        return &none;
    };
    const auto ready = [&](const QString& needed) { return row(needed)->text(1) == "yes"; };
    EXPECT_FALSE(ready("Compiler TP3"));
    EXPECT_TRUE(row("Compiler TP3")->text(3).contains(kit.path("compiler/TP3")));
    EXPECT_TRUE(ready("Run-time file runtime.com"));
    EXPECT_TRUE(ready("dsktool"));
    EXPECT_EQ(ready("mtools"), !QStandardPaths::findExecutable("mcopy").isEmpty());
    EXPECT_TRUE(ready("Emulator"));
    EXPECT_TRUE(ready("openMSX machine")) << "the emulator is not openMSX";
    EXPECT_FALSE(ready("Boot disk"));
    EXPECT_FALSE(ready("Disk image folder"));
    EXPECT_TRUE(row("Disk image folder")->text(2).contains("inside the project"));

    // The build fails for the reason the row gives, and says where to look.
    item("mnuCompile")->trigger();
    EXPECT_TRUE(monitorText().contains("There is no compiler there.")) << monitorText().toStdString();
    EXPECT_TRUE(monitorText().contains("Check Setup")) << monitorText().toStdString();

    // Put right, and checked again with the window's button.
    buildtest::makeKit(kit.dir());
    form->Settings.DiskImagePath = kit.path("dsk") + "/";
    const bool bootDisk = buildtest::makeBootDisk(kit.path("dsk/boot.dsk"));
    item("mnuCheckSetup")->trigger();
    EXPECT_TRUE(ready("Compiler TP3"));
    EXPECT_TRUE(ready("Disk image folder"));
    EXPECT_EQ(ready("Boot disk"), bootDisk);
    form->Settings.EmulatorPath = kit.path("gone/openmsx");
    form->Settings.EmulatorCommandLine = "-machine Nowhere -diska %dsk";
    auto* again = list->window()->findChild<QPushButton*>("cmdCheckAgain");
    ASSERT_NE(again, nullptr);
    QTest::mouseClick(again, Qt::LeftButton);
    EXPECT_TRUE(ready("Compiler TP3")) << "Check Again keeps the settings the window was opened with";
    item("mnuCheckSetup")->trigger();
    EXPECT_FALSE(ready("Emulator"));
    ASSERT_TRUE(testfiles::waitUntil([&] { return row("openMSX machine")->text(2).contains("Nowhere"); }, 20000));
    EXPECT_FALSE(ready("openMSX machine"));
}
