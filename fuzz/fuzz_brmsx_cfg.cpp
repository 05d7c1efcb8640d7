// brmsx.cfg, Lumivo's BR-MSX options: read over the defaults, written back over the same file and
// read again, the record gives the same options and the bytes behind it stay. The options it holds
// give option words that need no quoting, and the run script built from them (with names taken
// from the record) holds exactly the folder, program and arguments of the command: a POSIX shell
// splits it into those words and nothing else.

#include "FuzzSupport.h"

#include "launcher/BrmsxOptions.h"
#include "launcher/EmulatorCommand.h"
#include "launcher/ExecuteScript.h"
#include "launcher/ModMSX.h"

#include <QFile>
#include <QRegularExpression>

using lumivo::BrmsxOptions;

namespace {

const QString kNewLine = QStringLiteral("\n");

bool IsBare(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '+' || u == '-' || u == '_'
        || u == '.';
}

// Splits script text into words the way a POSIX shell would for the little the script uses:
// blanks separate words, a newline ends a command (given as "\n"), '...' quotes anything but a
// quote, \ takes the next character literally, and "||" stands alone. Any other character outside
// quotes (a shell would expand, redirect, glob or run something) fails the parse.
std::optional<QStringList> ShellWords(const QString& text)
{
    QStringList words;
    QString word;
    bool inWord = false;
    const auto flush = [&] {
        if (inWord)
            words.append(word);
        word.clear();
        inWord = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'')) {
            const qsizetype close = text.indexOf(QLatin1Char('\''), i + 1);
            if (close < 0)
                return std::nullopt;
            word += text.mid(i + 1, close - i - 1);
            inWord = true;
            i = close;
        } else if (c == QLatin1Char('\\')) {
            if (i + 1 >= text.size() || text.at(i + 1) == QLatin1Char('\n'))
                return std::nullopt;
            word += text.at(++i);
            inWord = true;
        } else if (c == QLatin1Char(' ')) {
            flush();
        } else if (c == QLatin1Char('\n')) {
            flush();
            words.append(kNewLine);
        } else if (!inWord && text.mid(i, 3) == QLatin1String("|| ")) {
            words.append(QStringLiteral("||"));
            ++i;
        } else if (IsBare(c)) {
            word += c;
            inWord = true;
        } else {
            return std::nullopt;
        }
    }
    flush();
    return words;
}

void CheckScript(const lumivo::EmulatorCommand& command)
{
    const QString script = QFile::decodeName(lumivo::RenderExecuteScript(command));
    // The terminal is cleared only when the output is one; the rest is the command itself.
    const QString header = QStringLiteral("#!/bin/sh\nif [ -t 1 ]; then clear 2>/dev/null; fi\n");
    FUZZ_CHECK(script.startsWith(header), fuzz::Printable(script));
    const std::optional<QStringList> words = ShellWords(script.mid(header.size()));
    FUZZ_CHECK(words, QStringLiteral("a shell would do more than run the command: ") + fuzz::Printable(script));
    const QStringList expected = QStringList{QStringLiteral("cd"), command.folder, QStringLiteral("||"), QStringLiteral("exit"),
                                             QStringLiteral("1"), kNewLine, command.program}
                                 + command.arguments + QStringList{kNewLine};
    FUZZ_CHECK(*words == expected, fuzz::Printable(script));
}

void CheckOptionWords(const BrmsxOptions& options)
{
    static const QRegularExpression bare(QStringLiteral("^-?[A-Za-z0-9+]+$"));
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+$"));
    const QStringList words = lumivo::BrmsxOptionArguments(options);
    FUZZ_CHECK(words.count(QStringLiteral("-noenter")) == 1, words.join(QLatin1Char(' ')));
    for (qsizetype i = 0; i < words.size(); ++i) {
        FUZZ_CHECK(bare.match(words.at(i)).hasMatch(), words.at(i));
        static const QStringList withValue = {QStringLiteral("-mapper"), QStringLiteral("-megaram"), QStringLiteral("-ramslot"),
                                              QStringLiteral("-res"),    QStringLiteral("-joysens"), QStringLiteral("-com")};
        if (withValue.contains(words.at(i))) {
            FUZZ_CHECK(i + 1 < words.size() && number.match(words.at(i + 1)).hasMatch(), words.join(QLatin1Char(' ')));
            ++i;
        }
    }
    const bool multiplayerWords = words.contains(QStringLiteral("-com")) || words.contains(QStringLiteral("-client"))
                                  || words.contains(QStringLiteral("-server"));
    FUZZ_CHECK(multiplayerWords == options.Multiplayer, words.join(QLatin1Char(' ')));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray old = fuzz::Bytes(data, size);
    BrmsxOptions base;
    lumivo::InitBrmsxOptions(base, QStringLiteral("/fuzz/kit"));
    const BrmsxOptions read = lumivo::DecodeBrmsxOptions(old, base);

    const QByteArray record = lumivo::EncodeBrmsxOptions(read);
    const QByteArray stored = lumivo::OverlayRecord(old, record);
    FUZZ_CHECK(stored.startsWith(record) && stored.size() == qMax(old.size(), record.size()), QString());
    FUZZ_CHECK(stored.mid(record.size()) == old.mid(record.size()), QStringLiteral("the tail behind the record changed"));
    bool complete = false;
    const BrmsxOptions again = lumivo::DecodeBrmsxOptions(stored, BrmsxOptions(), &complete);
    FUZZ_CHECK(complete, QStringLiteral("the written record is incomplete"));
    FUZZ_CHECK(again == read, QStringLiteral("the options changed on the way through the file"));

    CheckOptionWords(read);

    // A run with names from the record: the file name and F-MSX's path are any bytes at all.
    lumivo::RunSelection selection;
    selection.kind = read.RamSlot & 3;
    selection.folder = QStringLiteral("/fuzz 'folder' $(x) `y`/");
    selection.fileName = read.SpareText1;
    const lumivo::CommandOutcome brmsx = lumivo::BuildBrmsxCommand(selection, read);
    if (brmsx.problem == lumivo::RunProblem::None)
        CheckScript(brmsx.command);
    else
        FUZZ_CHECK(read.BrmsxFolder.isEmpty() || (selection.kind != 3 && selection.fileName.isEmpty()), QString());
    const lumivo::CommandOutcome fmsx = lumivo::BuildFmsxCommand(selection, read.SpareText2);
    if (fmsx.problem == lumivo::RunProblem::None)
        CheckScript(fmsx.command);
    return 0;
}
