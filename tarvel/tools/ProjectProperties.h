#pragma once

#include "projects/ProjectInfo.h"

#include <QString>

namespace tarvel {

// The lowest start and the highest end address a program may have.
inline constexpr quint16 MinStartAddress = 0x2E9B;
inline constexpr quint16 MaxEndAddress = 0xF93C;

// The leading hexadecimal digits of an address field (either case, blanks before them skipped)
// as an unsigned 16-bit value: 0 when there are none, FFFF when they exceed it.
[[nodiscard]] quint16 ReadHexAddress(const QString& text);

// An address field as it reads once the focus leaves it: "0" put in front until it has four
// characters ("100" gives "0100", "" gives "0000").
[[nodiscard]] QString PadAddressText(const QString& text);

// What the properties window holds when OK is pressed.
struct ProjectPropertiesEntry {
    QString name;
    QString startText;
    QString endText;
};

// The accepted project record and the two address fields after their correction; or, when
// `refusal` is not empty, why the entry cannot be taken (the fields hold their corrections).
struct ProjectPropertiesOutcome {
    ProjectInfo info;
    QString startText;
    QString endText;
    QString refusal;
};

// OK of the properties window: a non-empty name replaces the project's name, with line breaks
// and other control characters turned into blanks (the name is one line of the project file); a
// start address below 2E9B becomes 2E9B and an end address above F93C becomes F93C, both compared
// as unsigned values, so 8000 to F93C are kept as typed. An end below the start is refused, with
// the range it may take.
[[nodiscard]] ProjectPropertiesOutcome AcceptProjectProperties(const ProjectInfo& current,
                                                               const ProjectPropertiesEntry& entry);

} // namespace tarvel
