#pragma once

#include <QByteArray>
#include <QString>

namespace tarvel {

// What the compiler in the compiler folder is, which decides how a build runs it.
enum class CompilerKind {
    Missing, // no TP3, TP3.EXE or TP3.COM there
    Native,  // a program this system runs itself (ELF, a "#!" script, or a TP3 without extension)
    Dos,     // a DOS program: runs in DOSBox
    Windows, // a Windows console program: runs in Wine
    Unknown, // a TP3.EXE or TP3.COM that is neither (cut short, damaged, for another processor)
};

struct FoundCompiler {
    QString path;    // as named on disk; for Missing, where TP3 would be
    CompilerKind kind = CompilerKind::Missing;
    QString problem; // why it cannot run as it is (one or two sentences), "" when it can
    bool windows32 = false; // a Windows program for x86: Wine runs it only with its 32-bit part
};

// What a look at a compiler file's first bytes tells.
struct CompilerHeader {
    CompilerKind kind = CompilerKind::Unknown;
    QString problem; // for Unknown: what is wrong with the file
    bool windows32 = false; // Windows, for x86 (i386) rather than x86-64
};

// How many bytes of the file FindCompiler reads; a Windows header further in is not looked for.
inline constexpr qint64 kCompilerHeaderBytes = 64 * 1024;

// The largest DOS .COM program DOS loads: a 64 KB segment less the program prefix and a stack word.
inline constexpr qint64 kMaxDosComBytes = 0xFF00;

// Decides the kind from `head`, the file's first bytes (the whole file when it is shorter than
// kCompilerHeaderBytes), `fileSize` the size of the whole file and `fileName` its name:
// - ELF or "#!": Native;
// - "MZ" (or "ZM"): a DOS header. A file shorter than the DOS header, or than the program its
//   header gives, is cut short (Unknown). A header whose new-header offset points at "PE\0\0"
//   is a Windows program (for x86 or x86-64; another processor is Unknown), at "NE" a 16-bit
//   Windows program (Unknown); a new-header offset past the end of the file is Unknown. Any other
//   "MZ" program is a DOS program;
// - no header: a .COM name is a DOS program (an empty one, or one larger than DOS loads, is
//   Unknown); a .EXE name is Unknown; any other name (TP3) is Native, run by the system as it is.
// Reads nothing but `head`.
[[nodiscard]] CompilerHeader InspectCompilerHeader(const QByteArray& head, qint64 fileSize, const QString& fileName);

// The kind of a file whose bytes are all in `firstBytes` (InspectCompilerHeader with the size of
// `firstBytes` as the file's size).
[[nodiscard]] CompilerKind CompilerKindOfHeader(const QByteArray& firstBytes, const QString& fileName);

// Finds TP3, TP3.EXE or TP3.COM (in that order) in any letter case in `compilerDir` and decides
// its kind from its first bytes. A Native compiler that may not be run (not executable) keeps its
// kind and gets a problem; DOS and Windows programs need no execute permission.
[[nodiscard]] FoundCompiler FindCompiler(const QString& compilerDir);

// The kind in a few words for the setup check, such as "a DOS program".
[[nodiscard]] QString CompilerKindText(CompilerKind kind);

} // namespace tarvel
