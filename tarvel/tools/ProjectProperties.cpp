#include "tools/ProjectProperties.h"

#include "core/Text.h"
#include "projects/ProjectFile.h"

namespace tarvel {

quint16 ReadHexAddress(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    quint32 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            break;
        value = qMin<quint32>(value * 16 + digit, 0x10000);
    }
    return value > 0xFFFF ? quint16(0xFFFF) : quint16(value);
}

QString PadAddressText(const QString& text)
{
    QString padded = text;
    while (padded.size() < 4)
        padded.prepend(QLatin1Char('0'));
    return padded;
}

ProjectPropertiesOutcome AcceptProjectProperties(const ProjectInfo& current, const ProjectPropertiesEntry& entry)
{
    ProjectPropertiesOutcome outcome{current, entry.startText, entry.endText, QString()};
    const QString name = common::ControlCharactersToBlanks(entry.name);
    if (!name.trimmed().isEmpty())
        outcome.info.ProjectName = name;

    if (ReadHexAddress(outcome.startText) < MinStartAddress)
        outcome.startText = QStringLiteral("2E9B");
    outcome.info.StartAddress = static_cast<qint16>(ReadHexAddress(outcome.startText));

    if (ReadHexAddress(outcome.endText) > MaxEndAddress)
        outcome.endText = QStringLiteral("F93C");
    outcome.info.EndAddress = static_cast<qint16>(ReadHexAddress(outcome.endText));

    const quint16 start = quint16(outcome.info.StartAddress);
    const quint16 end = quint16(outcome.info.EndAddress);
    if (start > MaxEndAddress) {
        outcome.refusal = QStringLiteral("The start address %1 lies above the highest end address.\n"
                                         "Enter a start address from 2E9B to F93C.")
                              .arg(FormatAddress(outcome.info.StartAddress));
    } else if (end < start) {
        outcome.refusal = QStringLiteral("The end address %1 lies below the start address.\n"
                                         "Enter an end address from %2 to F93C.")
                              .arg(PadAddressText(FormatAddress(outcome.info.EndAddress)),
                                   PadAddressText(FormatAddress(outcome.info.StartAddress)));
    }
    if (!outcome.refusal.isEmpty())
        outcome.info = current;
    return outcome;
}

} // namespace tarvel
