#include "build/CompilerKind.h"

#include "core/Paths.h"
#include "core/Text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tarvel {

namespace {

// The DOS header's fields used here (offsets into the file).
constexpr qint64 kDosHeaderBytes = 0x1C;     // up to and with the relocation table offset
constexpr int kLastPageBytes = 0x02;         // bytes used in the last 512-byte page
constexpr int kPageCount = 0x04;             // 512-byte pages of the program, the last one partly
constexpr int kRelocationOffset = 0x18;      // 0x40 or more: the header has a new-header offset
constexpr int kNewHeaderOffset = 0x3C;       // where a Windows (or OS/2) header starts

constexpr quint16 kMachineI386 = 0x014C;
constexpr quint16 kMachineAmd64 = 0x8664;

quint32 LittleEndian(const QByteArray& bytes, qint64 at, int width)
{
    quint32 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<quint8>(bytes.at(at + i));
    return value;
}

CompilerHeader Kind(CompilerKind kind)
{
    return {kind, QString(), false};
}

CompilerHeader Unknown(const QString& problem)
{
    return {CompilerKind::Unknown, problem, false};
}

QString Extension(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : common::AsciiUpper(fileName.mid(dot + 1));
}

CompilerHeader InspectMz(const QByteArray& head, qint64 fileSize)
{
    if (fileSize < kDosHeaderBytes || head.size() < kDosHeaderBytes)
        return Unknown(QStringLiteral("It is cut short: it starts like a DOS or Windows program, but ends within "
                                      "the first %1 bytes, the header such a program starts with.")
                           .arg(kDosHeaderBytes));
    const quint32 pages = LittleEndian(head, kPageCount, 2);
    const quint32 lastPage = LittleEndian(head, kLastPageBytes, 2);
    if (pages == 0)
        return Unknown(QStringLiteral("Its DOS header is damaged: it gives the program no size."));
    const qint64 programBytes = qint64(pages - 1) * 512 + (lastPage == 0 ? 512 : qMin<quint32>(lastPage, 512));
    if (programBytes > fileSize)
        return Unknown(QStringLiteral("It is cut short: its header gives a program of %1 bytes, but the file "
                                      "holds %2.")
                           .arg(programBytes)
                           .arg(fileSize));

    const bool newHeader = LittleEndian(head, kRelocationOffset, 2) >= 0x40 && fileSize >= 0x40;
    if (!newHeader)
        return Kind(CompilerKind::Dos);
    if (head.size() < 0x40)
        return Unknown(QStringLiteral("It is cut short within its DOS header."));
    const qint64 at = LittleEndian(head, kNewHeaderOffset, 4);
    if (at == 0)
        return Kind(CompilerKind::Dos);
    if (at + 2 > fileSize)
        return Unknown(QStringLiteral("It is cut short: its header points to a Windows header at byte %1, past "
                                      "the end of the file (%2 bytes).")
                           .arg(at)
                           .arg(fileSize));
    if (at + 2 > head.size())
        return Kind(CompilerKind::Dos); // too far in for a Windows program's header
    const QByteArray mark = head.mid(at, 2);
    if (mark == "NE")
        return Unknown(QStringLiteral("It is a 16-bit Windows program (Windows 3), which is not supported. Use "
                                      "the DOS or the 32-bit Windows version of the compiler."));
    if (mark != "PE")
        return Kind(CompilerKind::Dos); // such as a DOS-extender program ("LE", "LX")
    if (at + 6 > fileSize || at + 6 > head.size() || head.at(at + 2) != '\0' || head.at(at + 3) != '\0')
        return Unknown(QStringLiteral("It is cut short or damaged: its Windows header ends after its first bytes."));
    const quint16 machine = static_cast<quint16>(LittleEndian(head, at + 4, 2));
    if (machine != kMachineI386 && machine != kMachineAmd64)
        return Unknown(QStringLiteral("It is a Windows program for another processor (machine type 0x%1), not "
                                      "for the PC's x86 or x86-64.")
                           .arg(machine, 4, 16, QLatin1Char('0')));
    CompilerHeader windows = Kind(CompilerKind::Windows);
    windows.windows32 = machine == kMachineI386;
    return windows;
}

} // namespace

CompilerHeader InspectCompilerHeader(const QByteArray& head, qint64 fileSize, const QString& fileName)
{
    if (fileSize <= 0 || head.isEmpty())
        return Unknown(QStringLiteral("The file is empty."));
    if (head.startsWith(QByteArray("\x7f" "ELF", 4)) || head.startsWith("#!"))
        return Kind(CompilerKind::Native);
    if (head.startsWith("MZ") || head.startsWith("ZM"))
        return InspectMz(head, fileSize);
    const QString extension = Extension(fileName);
    if (extension == QLatin1String("COM")) {
        if (fileSize > kMaxDosComBytes)
            return Unknown(QStringLiteral("It is %1 bytes long, larger than DOS loads as a .COM program (%2 bytes).")
                               .arg(fileSize)
                               .arg(kMaxDosComBytes));
        return Kind(CompilerKind::Dos);
    }
    if (extension == QLatin1String("EXE"))
        return Unknown(QStringLiteral("It is neither a DOS nor a Windows program: it does not start with the "
                                      "header such programs start with (\"MZ\")."));
    return Kind(CompilerKind::Native);
}

CompilerKind CompilerKindOfHeader(const QByteArray& firstBytes, const QString& fileName)
{
    return InspectCompilerHeader(firstBytes, firstBytes.size(), fileName).kind;
}

FoundCompiler FindCompiler(const QString& compilerDir)
{
    FoundCompiler found;
    QString notAFile;
    for (const QString& name : {QStringLiteral("TP3"), QStringLiteral("TP3.EXE"), QStringLiteral("TP3.COM")}) {
        const QString path = common::FindFileNoCase(compilerDir, name);
        if (path.isEmpty())
            continue;
        if (!QFileInfo(path).isFile()) {
            if (notAFile.isEmpty())
                notAFile = path;
            continue;
        }
        found.path = path;
        break;
    }
    if (found.path.isEmpty()) {
        found.path = notAFile.isEmpty() ? QDir(compilerDir).filePath(QStringLiteral("TP3")) : notAFile;
        found.problem = notAFile.isEmpty() ? QStringLiteral("There is no compiler there.")
                                           : QStringLiteral("That is not a file.");
        return found;
    }

    QFile file(found.path);
    if (!file.open(QIODevice::ReadOnly)) {
        found.kind = CompilerKind::Unknown;
        found.problem = QStringLiteral("It cannot be read: %1.").arg(file.errorString());
        return found;
    }
    const QByteArray head = file.read(kCompilerHeaderBytes);
    const CompilerHeader header = InspectCompilerHeader(head, file.size(), QFileInfo(found.path).fileName());
    found.kind = header.kind;
    found.problem = header.problem;
    found.windows32 = header.windows32;
    if (found.kind == CompilerKind::Native && !QFileInfo(found.path).isExecutable())
        found.problem = QStringLiteral("That file may not be run (it is not executable).");
    const QString extension = Extension(found.path);
    if (found.kind == CompilerKind::Dos && extension != QLatin1String("EXE") && extension != QLatin1String("COM"))
        found.problem = QStringLiteral("It is a DOS program, which DOS runs only under a name ending in .EXE: rename "
                                       "it TP3.EXE.");
    return found;
}

QString CompilerKindText(CompilerKind kind)
{
    switch (kind) {
    case CompilerKind::Missing:
        return QStringLiteral("missing");
    case CompilerKind::Native:
        return QStringLiteral("a program this system runs");
    case CompilerKind::Dos:
        return QStringLiteral("a DOS program");
    case CompilerKind::Windows:
        return QStringLiteral("a Windows program");
    case CompilerKind::Unknown:
        return QStringLiteral("neither a DOS nor a Windows program");
    }
    return QString();
}

} // namespace tarvel
