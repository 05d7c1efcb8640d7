#include "tools/ProjectProperties.h"

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
    ProjectPropertiesOutcome outcome{current, entry.startText, entry.endText};
    if (!entry.name.isEmpty())
        outcome.info.ProjectName = entry.name;

    if (ReadHexAddress(outcome.startText) < MinStartAddress)
        outcome.startText = QStringLiteral("2E9B");
    outcome.info.StartAddress = static_cast<qint16>(ReadHexAddress(outcome.startText));

    if (ReadHexAddress(outcome.endText) > MaxEndAddress)
        outcome.endText = QStringLiteral("F93C");
    outcome.info.EndAddress = static_cast<qint16>(ReadHexAddress(outcome.endText));
    return outcome;
}

} // namespace tarvel
