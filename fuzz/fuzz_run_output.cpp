// What an emulator printed before it ended at once: whatever the bytes, the message names the
// exit status first, and a line of the emulator's own that says why comes right after it.

#include "FuzzSupport.h"

#include "launcher/RunFailure.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray output = fuzz::Bytes(data, size);
    const QString text = lumivo::RunFailureText(3, output, QStringLiteral("/kit/execute.log"));
    FUZZ_CHECK(text.startsWith(QStringLiteral("The emulator stopped right after it started (exit status 3)")),
               fuzz::Printable(text.left(200)));
    bool saysWhy = false;
    for (const QString& line : QString::fromLocal8Bit(output).split(QLatin1Char('\n')))
        saysWhy = saysWhy || line.trimmed().startsWith(QStringLiteral("Fatal error"));
    if (saysWhy)
        FUZZ_CHECK(text.section(QLatin1Char('\n'), 1, 1).startsWith(QStringLiteral("Fatal error")) ||
                       text.section(QLatin1Char('\n'), 1, 1).contains(QStringLiteral("Couldn't find")),
                   fuzz::Printable(text.left(400)));
    return 0;
}
