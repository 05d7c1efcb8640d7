// openmsx.cfg, Lumivo's openMSX settings: a record the reader accepts is written back as the same
// bytes and reads again as the same settings. The extra arguments split into words that hold no quote
// characters the user meant as grouping, and the command built from them carries each word whole.

#include "FuzzSupport.h"

#include "launcher/EmulatorCommand.h"
#include "launcher/OpenMsxCommand.h"
#include "launcher/OpenMsxSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);
    const common::Result<lumivo::OpenMsxSettings> read = lumivo::DecodeOpenMsxSettings(bytes);
    if (!read) {
        FUZZ_CHECK(!read.error().isEmpty(), QStringLiteral("refused without a reason"));
        return 0;
    }
    const QByteArray written = lumivo::EncodeOpenMsxSettings(read.value());
    const common::Result<lumivo::OpenMsxSettings> again = lumivo::DecodeOpenMsxSettings(written);
    FUZZ_CHECK(again && again.value() == read.value(), QStringLiteral("the settings changed on the way through the file"));
    // The record is always written whole, so the reader accepts only what writing gives back.
    FUZZ_CHECK(written == bytes, QStringLiteral("an accepted record is not what writing its settings gives"));

    const QStringList words = lumivo::SplitArguments(read->Arguments);
    for (const QString& word : words)
        FUZZ_CHECK(!word.isEmpty() || read->Arguments.contains(QLatin1Char('"')) || read->Arguments.contains(QLatin1Char('\'')),
                   fuzz::Printable(read->Arguments));

    lumivo::RunSelection selection;
    selection.kind = 1;
    selection.folder = QStringLiteral("/fuzz/roms/");
    selection.fileName = QStringLiteral("game.rom");
    const lumivo::CommandOutcome outcome = lumivo::BuildOpenMsxCommand(selection, read.value(), QStringLiteral("/usr/bin/openmsx"), {});
    if (outcome.problem == lumivo::RunProblem::None) {
        const QStringList& arguments = outcome.command.arguments;
        FUZZ_CHECK(arguments.size() >= 2 && arguments.at(arguments.size() - 2) == QLatin1String("-cart"),
                   fuzz::Printable(arguments.join(QLatin1Char(' '))));
        for (const QString& word : words)
            FUZZ_CHECK(arguments.contains(word), fuzz::Printable(word));
    }
    return 0;
}
