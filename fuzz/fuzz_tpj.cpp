// .tpj project files: whatever ParseProjectFile accepts, written back as the four lines of a
// project file and read again, gives the same project; the name and main-file lines come back as
// the same bytes. Whatever it refuses comes with a reason.

#include "FuzzSupport.h"

#include "core/Paths.h"
#include "core/TextFile.h"
#include "projects/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);
    const common::Result<tarvel::ProjectFileContents> read = tarvel::ParseProjectFile(bytes);
    if (!read) {
        FUZZ_CHECK(!read.error().isEmpty(), QStringLiteral("refused without a reason"));
        return 0;
    }
    const tarvel::ProjectInfo& info = read->info;

    for (const qint16 address : {info.StartAddress, info.EndAddress}) {
        const QString text = tarvel::FormatAddress(address);
        FUZZ_CHECK(tarvel::ParseAddress(text) == address, fuzz::Printable(text));
    }

    const QByteArray written = tarvel::ProjectFileBytes(info, read->mainFileEntry);
    const QList<QByteArray> writtenLines = written.split('\n');
    FUZZ_CHECK(writtenLines.size() == 5 && writtenLines.at(4).isEmpty(), QStringLiteral("not four lines"));
    FUZZ_CHECK(common::SplitLines(written).size() == 4, QStringLiteral("a field broke the four-line layout"));

    const common::Result<tarvel::ProjectFileContents> again = tarvel::ParseProjectFile(written);
    FUZZ_CHECK(again, QStringLiteral("the written project file is refused: ") + again.error());
    FUZZ_CHECK(again->info.ProjectName == info.ProjectName, fuzz::Printable(again->info.ProjectName));
    FUZZ_CHECK(again->info.StartAddress == info.StartAddress, QString::number(again->info.StartAddress));
    FUZZ_CHECK(again->info.EndAddress == info.EndAddress, QString::number(again->info.EndAddress));
    FUZZ_CHECK(again->mainFileEntry == read->mainFileEntry, fuzz::Printable(again->mainFileEntry));

    // The name and the main-file entry are the file system's bytes: a line in its encoding is
    // written back as the very bytes it was read from (a line in another 8-bit code page reads
    // as Latin-1 and is written in the file system's encoding).
    const QStringList readLines = common::SplitLines(bytes);
    for (const int line : {0, 3}) {
        const QByteArray original = readLines.at(line).toLatin1();
        if (common::EncodePathBytes(common::DecodePathBytes(original)) == original)
            FUZZ_CHECK(writtenLines.at(line) == original + '\r', QStringLiteral("line %1 changed").arg(line + 1));
    }
    return 0;
}
