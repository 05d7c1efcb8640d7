// .tpj project files: whatever ParseProjectFile accepts, written back as the four lines of a
// project file and read again, gives the same project; the name and main-file lines come back as
// the same bytes. Whatever it refuses comes with a reason.

#include "FuzzSupport.h"

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

    const QStringList lines = tarvel::ProjectFileLines(info, read->mainFileEntry);
    FUZZ_CHECK(lines.size() == 4, QString());
    const QByteArray written = common::JoinCrLf(lines);
    FUZZ_CHECK(common::SplitLines(written) == lines, QStringLiteral("a field broke the four-line layout"));

    const common::Result<tarvel::ProjectFileContents> again = tarvel::ParseProjectFile(written);
    FUZZ_CHECK(again, QStringLiteral("the written project file is refused: ") + again.error());
    FUZZ_CHECK(again->info.ProjectName == info.ProjectName, fuzz::Printable(again->info.ProjectName));
    FUZZ_CHECK(again->info.StartAddress == info.StartAddress, QString::number(again->info.StartAddress));
    FUZZ_CHECK(again->info.EndAddress == info.EndAddress, QString::number(again->info.EndAddress));
    FUZZ_CHECK(again->mainFileEntry == read->mainFileEntry, fuzz::Printable(again->mainFileEntry));

    // Text is 8-bit and byte-transparent: the name and the main-file entry are written back as the
    // very bytes they were read from.
    const QStringList readLines = common::SplitLines(bytes);
    const QList<QByteArray> writtenLines = written.split('\n');
    FUZZ_CHECK(writtenLines.at(0) == readLines.at(0).toLatin1() + '\r', QStringLiteral("the name line changed"));
    FUZZ_CHECK(writtenLines.at(3) == readLines.at(3).toLatin1() + '\r', QStringLiteral("the main-file line changed"));
    return 0;
}
