#include "build/CompilerKind.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tarvel;

namespace {

// The first bytes of real programs, up to and with their Windows header's machine field.
// A DOS .EXE assembled with nasm (a 32-byte header, the whole 64-byte file).
const char kDosExe[] = "4d5a40000100000002001000ffff000000010000000000001c000000000000000e1fba0e00b409cd21b8004ccd21444f"
                       "532070726f6772616d2072616e0d0a24";
// Wine's 32-bit zlib1.dll (139,790 bytes) and 64-bit cmd.exe (1,709,850 bytes).
const char kPeI386[] = "4d5a90000300000004000000ffff0000b8000000000000004000000000000000000000000000000000000000000000000000"
                       "000000000000000000008000000057696e65206275696c74696e20444c4c00000000000000000000000000000000742062"
                       "652072756e20696e20444f53206d6f64652e0d0d0a2400000000000000504500004c01";
const char kPeAmd64[] = "4d5a90000300000004000000ffff0000b800000000000000400000000000000000000000000000000000000000000000000"
                        "0000000000000000000008000000057696e65206275696c74696e20444c4c0000000000000000000000000000000074206"
                        "2652072756e20696e20444f53206d6f64652e0d0d0a2400000000000000504500006486";
// A Windows launcher for ARM64 (168,448 bytes), its header at 0x100.
const char kPeArm64[] = "4d5a90000300000004000000ffff0000b8000000000000004000000000000000000000000000000000000000000000000000"
                        "00000000000000000000000100000e1fba0e00b409cd21b8014ccd21546869732070726f6772616d2063616e6e6f74206265"
                        "2072756e20696e20444f53206d6f64652e0d0d0a2400000000000000e34cc6a1a72da8f2a72da8f2a72da8f2b346abf3a52d"
                        "a8f2b346adf3332da8f2b346acf3ac2da8f2f558adf3842da8f2f558acf3b62da8f2f558abf3ae2da8f2b346a9f3a02da8f2"
                        "a72da9f2cb2da8f21258a0f3a62da8f2125857f2a62da8f2a72d3ff2a62da8f21258aaf3a62da8f252696368a72da8f20000"
                        "0000000000005045000064aa";
// The start of an x86-64 ELF program.
const char kElf[] = "7f454c4602010100000000000000000003003e00";
// A DOS .COM: mov ah,9 / mov dx,... / int 21h / ret.
const char kDosCom[] = "b409ba0801cd21c34f4b24";

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

TEST(CompilerKind, TellsTheKindFromRealHeaders)
{
    struct Case {
        const char* what;
        QByteArray head;
        qint64 size; // -1: the head is the whole file
        const char* name;
        CompilerKind kind;
        const char* problemHas;
    };
    const QByteArray dosExe = Hex(kDosExe);
    const QByteArray amd64 = Hex(kPeAmd64);
    const Case cases[] = {
        {"ELF program", Hex(kElf), 16000, "TP3", CompilerKind::Native, ""},
        {"ELF program named .EXE", Hex(kElf), 16000, "tp3.exe", CompilerKind::Native, ""},
        {"script", "#!/bin/sh\nexec tp3 \"$@\"\n", -1, "TP3", CompilerKind::Native, ""},
        {"script without #! line, run by the system as today", "exec tp3 \"$@\"\n", -1, "TP3", CompilerKind::Native, ""},
        {"DOS .EXE", dosExe, -1, "TP3.EXE", CompilerKind::Dos, ""},
        {"DOS .EXE with data after the program", dosExe, 4000, "Tp3.Exe", CompilerKind::Dos, ""},
        {"DOS .EXE cut short", dosExe.left(40), -1, "TP3.EXE", CompilerKind::Unknown, "holds 40"},
        {"DOS .EXE cut within its header", dosExe.left(20), -1, "TP3.EXE", CompilerKind::Unknown, "cut short"},
        {"DOS .COM", Hex(kDosCom), -1, "tp3.com", CompilerKind::Dos, ""},
        {"empty .COM", "", 0, "TP3.COM", CompilerKind::Unknown, "empty"},
        {".COM larger than DOS loads", Hex(kDosCom), 0xFF01, "TP3.COM", CompilerKind::Unknown, "65280"},
        {"32-bit Windows", Hex(kPeI386), 139790, "TP3.EXE", CompilerKind::Windows, ""},
        {"64-bit Windows", amd64, 1709850, "TP3.EXE", CompilerKind::Windows, ""},
        {"Windows for ARM64", Hex(kPeArm64), 168448, "TP3.EXE", CompilerKind::Unknown, "0xaa64"},
        {"Windows program cut after its DOS stub", amd64.left(0x80), 0x80, "TP3.EXE", CompilerKind::Unknown, "cut short"},
        {"Windows program cut within its stub", amd64.left(0x60), -1, "TP3.EXE", CompilerKind::Unknown, "holds 96"},
        {"text named .EXE", "Turbo Pascal\r\n", -1, "TP3.EXE", CompilerKind::Unknown, "MZ"},
        {"empty TP3", "", 0, "TP3", CompilerKind::Unknown, "empty"},
    };
    for (const Case& c : cases) {
        const qint64 size = c.size < 0 ? c.head.size() : c.size;
        const CompilerHeader header = InspectCompilerHeader(c.head, size, QString::fromLatin1(c.name));
        EXPECT_EQ(header.kind, c.kind) << c.what;
        EXPECT_EQ(header.windows32, QByteArray(c.what) == "32-bit Windows") << c.what;
        EXPECT_EQ(header.problem.isEmpty(), c.kind != CompilerKind::Unknown) << c.what << ": " << header.problem.toStdString();
        EXPECT_TRUE(header.problem.contains(QLatin1String(c.problemHas))) << c.what << ": " << header.problem.toStdString();
        if (c.size < 0) {
            EXPECT_EQ(CompilerKindOfHeader(c.head, QString::fromLatin1(c.name)), c.kind) << c.what;
        }
    }
}

TEST(CompilerKind, FindsTheCompilerInAnyLetterCase)
{
    struct Case {
        const char* what;
        QStringList files; // a name ending in '/' is a folder
        const char* found; // "" for Missing
        CompilerKind kind;
        const char* problemHas;
    };
    const Case cases[] = {
        {"nothing there", {"runtime.com"}, "TP3", CompilerKind::Missing, "no compiler"},
        {"DOS program in upper case", {"TP3.EXE"}, "TP3.EXE", CompilerKind::Dos, ""},
        {"DOS program in lower case", {"tp3.exe"}, "tp3.exe", CompilerKind::Dos, ""},
        {"DOS .COM", {"Tp3.Com"}, "Tp3.Com", CompilerKind::Dos, ""},
        {"TP3 goes before TP3.EXE", {"TP3.EXE", "tp3"}, "tp3", CompilerKind::Native, "not executable"},
        {"a folder named TP3 is passed over", {"TP3/", "tp3.exe"}, "tp3.exe", CompilerKind::Dos, ""},
        {"only a folder", {"TP3/"}, "TP3", CompilerKind::Missing, "not a file"},
        {"DOS program without .EXE", {"TP3"}, "TP3", CompilerKind::Dos, "rename it TP3.EXE"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        for (const QString& name : c.files) {
            if (name.endsWith(QLatin1Char('/')))
                QDir(dir.path()).mkpath(name);
            else
                testfiles::write(dir.filePath(name), name.startsWith(QLatin1String("tp3"), Qt::CaseInsensitive)
                                                             && (name.contains(QLatin1Char('.')) || c.kind == CompilerKind::Dos)
                                                         ? Hex(kDosExe)
                                                         : QByteArray("#!/bin/sh\n"));
        }
        const FoundCompiler found = FindCompiler(dir.path());
        EXPECT_EQ(found.path, dir.filePath(QString::fromLatin1(c.found))) << c.what;
        EXPECT_EQ(found.kind, c.kind) << c.what;
        EXPECT_TRUE(found.problem.contains(QLatin1String(c.problemHas))) << c.what << ": " << found.problem.toStdString();
        EXPECT_EQ(found.problem.isEmpty(), QByteArray(c.problemHas).isEmpty()) << c.what;
    }
}

} // namespace
