#include "tools/ProjectProperties.h"

#include <gtest/gtest.h>

using namespace tarvel;

TEST(ProjectProperties, ReadHexAddress)
{
    struct Row {
        const char* text;
        quint16 value;
    };
    const Row rows[] = {
        {"2E9B", 0x2E9B}, {"2e9b", 0x2E9B}, {"FFFF", 0xFFFF}, {"8000", 0x8000}, {"0", 0},
        {"", 0},          {"G12", 0},       {"12G4", 0x12},   {" 1A", 0x1A},    {"123456", 0xFFFF},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(ReadHexAddress(QString::fromLatin1(row.text)), row.value);
    }
}

TEST(ProjectProperties, PaddingToFourCharacters)
{
    EXPECT_EQ(PadAddressText("100"), "0100");
    EXPECT_EQ(PadAddressText("1A"), "001A");
    EXPECT_EQ(PadAddressText(""), "0000");
    EXPECT_EQ(PadAddressText("D200"), "D200");
}

TEST(ProjectProperties, OkComparesTheAddressesAsUnsignedValues)
{
    struct Row {
        const char* name;
        const char* start;
        const char* end;
        quint16 storedStart;
        quint16 storedEnd;
        const char* startText;
        const char* endText;
    };
    const Row rows[] = {
        {"within the limits", "3000", "D200", 0x3000, 0xD200, "3000", "D200"},
        {"start below the minimum", "2000", "D200", 0x2E9B, 0xD200, "2E9B", "D200"},
        {"end above the maximum", "3000", "FFFF", 0x3000, 0xF93C, "3000", "F93C"},
        {"high start kept", "8000", "F93C", 0x8000, 0xF93C, "8000", "F93C"},
        {"start at the maximum kept", "F93C", "F93C", 0xF93C, 0xF93C, "F93C", "F93C"},
        {"end equal to the start", "2E9B", "2E9B", 0x2E9B, 0x2E9B, "2E9B", "2E9B"},
        {"end just above", "2E9B", "F93D", 0x2E9B, 0xF93C, "2E9B", "F93C"},
        {"not hexadecimal start reads as 0", "XYZ", "D200", 0x2E9B, 0xD200, "2E9B", "D200"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ProjectPropertiesOutcome outcome =
            AcceptProjectProperties(ProjectInfo{}, {"Game", QString::fromLatin1(row.start), QString::fromLatin1(row.end)});
        EXPECT_EQ(quint16(outcome.info.StartAddress), row.storedStart);
        EXPECT_EQ(quint16(outcome.info.EndAddress), row.storedEnd);
        EXPECT_EQ(outcome.startText, row.startText);
        EXPECT_EQ(outcome.endText, row.endText);
        EXPECT_EQ(outcome.info.ProjectName, "Game");
        EXPECT_TRUE(outcome.refusal.isEmpty());
    }
}

TEST(ProjectProperties, AnEndBelowTheStartOrAStartAboveEveryEndIsRefused)
{
    ProjectInfo current;
    current.ProjectName = "Old";
    current.StartAddress = 0x3000;
    current.EndAddress = qint16(0xD200);
    struct Row {
        const char* start;
        const char* end;
        const char* range;
    };
    const Row rows[] = {{"3000", "0000", "from 3000 to F93C"}, {"2000", "", "from 2E9B to F93C"},
                        {"4000", "3FFF", "from 4000 to F93C"}, {"FFFF", "FFFF", "from 2E9B to F93C"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.end);
        const ProjectPropertiesOutcome outcome = AcceptProjectProperties(current, {"New", row.start, row.end});
        EXPECT_TRUE(outcome.refusal.contains(row.range)) << outcome.refusal.toStdString();
        EXPECT_EQ(outcome.info.ProjectName, "Old") << "nothing is taken";
        EXPECT_EQ(quint16(outcome.info.EndAddress), 0xD200);
    }
}

TEST(ProjectProperties, AnEmptyNameKeepsTheOldOne)
{
    ProjectInfo current;
    current.ProjectName = "Old";
    EXPECT_EQ(AcceptProjectProperties(current, {"", "3000", "D200"}).info.ProjectName, "Old");
    EXPECT_EQ(AcceptProjectProperties(current, {"New", "3000", "D200"}).info.ProjectName, "New");
}
