#include "core/Paths.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace common;

TEST(Paths, AddBackslashAppendsOneSeparatorOnly)
{
    EXPECT_EQ(AddBackslash("/proj"), "/proj/");
    EXPECT_EQ(AddBackslash("/proj/"), "/proj/");
    EXPECT_EQ(AddBackslash("C:\\proj\\"), "C:\\proj\\");
    EXPECT_EQ(AddBackslash(""), "/");
}

TEST(Paths, ExtractPathAndFileNameSplitAtEitherSeparator)
{
    EXPECT_EQ(ExtractPath("/dir/file.pas"), "/dir/");
    EXPECT_EQ(ExtractPath("C:\\dir\\file.pas"), "C:\\dir\\");
    EXPECT_EQ(ExtractPath("file.pas"), "");
    EXPECT_EQ(ExtractPath(""), "");
    EXPECT_EQ(ExtractFileName("/dir/file.pas"), "file.pas");
    EXPECT_EQ(ExtractFileName("C:\\WORK\\GAME.PAS"), "GAME.PAS");
    EXPECT_EQ(ExtractFileName("file.pas"), "file.pas");
    EXPECT_EQ(ExtractFileName("/dir/"), "");
}

TEST(Paths, RemoveExtension)
{
    struct Row { const char* in; const char* out; };
    const Row rows[] = {
        {"main.pas", "main"}, {"a.tpj", "a"}, {"a.b.c", "a.b"}, {"x.pl5x", "x"},
        {".hidden", ".hidden"}, {"noext", "noext"}, {"/w/Game.pas", "/w/Game"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.in);
        EXPECT_EQ(RemoveExtension(row.in), row.out);
    }
}

TEST(Paths, FileExistsIsFalseForFoldersAndMissingFiles)
{
    QTemporaryDir dir;
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.filePath("none")));
    EXPECT_FALSE(FileExists(""));
    testfiles::write(dir.filePath("a.pas"), "x");
    EXPECT_TRUE(FileExists(dir.filePath("a.pas")));
}

TEST(Paths, GetShortPathIsEmptyForMissingPathsAndKeepsTrailingSeparator)
{
    QTemporaryDir dir;
    EXPECT_EQ(GetShortPath(dir.filePath("missing")), "");
    EXPECT_EQ(GetShortPath(""), "");
    EXPECT_TRUE(GetShortPath(dir.path() + "/").endsWith('/'));
    EXPECT_EQ(GetShortPath(dir.path()), QDir(dir.path()).absolutePath());
}

TEST(Paths, DirectorySizeCountsHiddenFilesAndOptionallySubfolders)
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath("a.pas"), QByteArray(100, 'a'));
    testfiles::write(dir.filePath(".hidden"), QByteArray(10, 'h'));
    testfiles::write(dir.filePath("noext"), QByteArray(5, 'n'));
    testfiles::write(dir.filePath("sub/inner.inc"), QByteArray(1000, 'i'));
    testfiles::write(dir.filePath("sub/deeper/x.inc"), QByteArray(7, 'x'));

    QString path = dir.path();
    EXPECT_EQ(DirectorySize(path, "*.*", false), 115);
    EXPECT_EQ(path, dir.path() + "/") << "the caller's folder text gains a separator";
    EXPECT_EQ(DirectorySize(path, "*.*", true), 1122);
    EXPECT_EQ(DirectorySize(path, "*.inc", true), 1007);
}

TEST(Paths, DirectorySizeFollowsNoLinkToAFolderAndCountsEachFileOnce)
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath("a.pas"), "abc");
    QDir().mkpath(dir.filePath("sub"));
    // A link back up the tree, a second name for a file, and a link out of the tree.
    ASSERT_TRUE(QFile::link("..", dir.filePath("sub/up")));
    ASSERT_TRUE(QFile::link(dir.filePath("a.pas"), dir.filePath("sub/same.pas")));
    QTemporaryDir outside;
    testfiles::write(outside.filePath("big.bin"), QByteArray(50, 'b'));
    ASSERT_TRUE(QFile::link(outside.path(), dir.filePath("elsewhere")));

    QString path = dir.path();
    EXPECT_EQ(DirectorySize(path, "*.*", true), 3);
    EXPECT_EQ(DirectorySize(path, "*.*", false), 3);
}

TEST(Paths, FileNamesAreFoundWithoutRegardToCase)
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath("graph.inc"), "g");
    testfiles::write(dir.filePath("lib/Util.Inc"), "u");
    EXPECT_EQ(FindFileNoCase(dir.path(), "GRAPH.INC"), dir.filePath("graph.inc"));
    EXPECT_EQ(FindFileNoCase(dir.path() + "/", "LIB\\UTIL.INC"), dir.filePath("lib/Util.Inc"));
    EXPECT_EQ(FindFileNoCase(dir.path(), "missing.inc"), "");
    // Saving GRAPH.INC goes to the existing graph.inc; a new name keeps the case given.
    EXPECT_EQ(ResolveFileNoCase(dir.path(), "GRAPH.INC"), dir.filePath("graph.inc"));
    EXPECT_EQ(ResolveFileNoCase(dir.path(), "NEW.INC"), dir.filePath("NEW.INC"));
}

TEST(Paths, AnExactMatchWinsOverOtherCase)
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath("a.inc"), "lower");
    testfiles::write(dir.filePath("A.INC"), "upper");
    EXPECT_EQ(FindFileNoCase(dir.path(), "A.INC"), dir.filePath("A.INC"));
    EXPECT_EQ(FindFileNoCase(dir.path(), "a.inc"), dir.filePath("a.inc"));
}

TEST(Paths, FolderIndexFindsNamesInAnyCaseFromOneListing)
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath("graph.inc"), "g");
    testfiles::write(dir.filePath("sub/Deep.inc"), "d");
    const FolderIndex index(dir.path());
    testfiles::write(dir.filePath("later.inc"), "l");
    EXPECT_EQ(index.find("GRAPH.INC"), dir.filePath("graph.inc"));
    EXPECT_EQ(index.find("graph.inc"), dir.filePath("graph.inc"));
    EXPECT_EQ(index.find("SUB\\DEEP.INC"), dir.filePath("sub/Deep.inc"));
    EXPECT_EQ(index.find("later.inc"), dir.filePath("later.inc")) << "an exact name is still seen";
    EXPECT_EQ(index.find("LATER.INC"), "") << "the listing is taken once";
    EXPECT_EQ(index.find(""), "");

    // Of names differing only in case, the index gives the one the folder's listing gives.
    for (const char* name : {"dup.inc", "DUP.INC", "Dup.inc", "dUP.INC", "DUP.inc"})
        testfiles::write(dir.filePath(name), name);
    const FolderIndex again(dir.path());
    EXPECT_EQ(again.find("DuP.InC"), FindFileNoCase(dir.path(), "DuP.InC"));
    EXPECT_NE(again.find("DuP.InC"), "");
}

TEST(Paths, NamesAreMatchedInAsciiCaseOnly)
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath(QString::fromUtf8("straße.pas")), "x");
    testfiles::write(dir.filePath("graph.inc"), "x");
    EXPECT_EQ(FindFileNoCase(dir.path(), QString::fromUtf8("STRAßE.PAS")), dir.filePath(QString::fromUtf8("straße.pas")));
    EXPECT_EQ(FindFileNoCase(dir.path(), "STRASSE.PAS"), "");
    const FolderIndex index(dir.path());
    EXPECT_EQ(index.find(QString::fromUtf8("Straße.Pas")), dir.filePath(QString::fromUtf8("straße.pas")));
    EXPECT_EQ(index.find("STRASSE.PAS"), "");
    EXPECT_EQ(index.find("GRAPH.INC"), dir.filePath("graph.inc"));
}
