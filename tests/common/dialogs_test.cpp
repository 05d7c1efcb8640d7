#include "ui/OpenDialogFilter.h"
#include "ui/Windows.h"

#include "ScriptedDialogs.h"

#include <QWidget>

#include <gtest/gtest.h>

using namespace common;

TEST(DialogFilter, DescriptionsKeepTheirBlanksAndPatternsAreTrimmed)
{
    const auto filters = ParseDialogFilter("Include files (*.inc, *.lib) | *.inc; *.lib | All files (*.*) | *.*");
    ASSERT_EQ(filters.size(), 2);
    EXPECT_EQ(filters[0].description, "Include files (*.inc, *.lib) ");
    EXPECT_EQ(filters[0].patterns, (QStringList{"*.inc", "*.lib"}));
    EXPECT_EQ(filters[1].description, " All files (*.*) ");
    EXPECT_EQ(filters[1].patterns, QStringList{"*.*"});
    EXPECT_EQ(QtFilterStrings(filters), (QStringList{"Include files (*.inc *.lib)", "All files (*)"}))
        << "a pattern written in the description is not shown twice";
}

TEST(DialogFilter, ATextWithoutBarsIsOneDescriptionWithoutPattern)
{
    const auto filters = ParseDialogFilter("*.exe");
    ASSERT_EQ(filters.size(), 1);
    EXPECT_EQ(filters[0].description, "*.exe");
    EXPECT_TRUE(filters[0].patterns.isEmpty());
    const auto closed = ParseDialogFilter("Pascal File | *.tpj|");
    ASSERT_EQ(closed.size(), 1);
    EXPECT_EQ(closed[0].patterns, QStringList{"*.tpj"});
}

TEST(DialogHelpers, OpenDialogPassesTitleFolderAndFilterAndCancelGivesEmptyText)
{
    ScriptedDialogs dialogs;
    EXPECT_EQ(ShowOpenDialog(dialogs, nullptr, "Pascal File | *.pas", "Open File", "/w/", false), "");
    dialogs.queuePath("  /w/game.pas ");
    EXPECT_EQ(ShowOpenDialog(dialogs, nullptr, "Pascal File | *.pas", "Open File", "/w/", false), "/w/game.pas");
    ASSERT_EQ(dialogs.calls().size(), 2);
    EXPECT_EQ(dialogs.calls()[0].title, "Open File");
    EXPECT_EQ(dialogs.calls()[0].initialDirectory, "/w/");
    EXPECT_EQ(dialogs.calls()[0].filters[0].patterns, QStringList{"*.pas"});
}

TEST(DialogHelpers, BrowseForFolderDropsTheTrailingSeparator)
{
    ScriptedDialogs dialogs;
    dialogs.queuePath("/opt/brmsx/");
    EXPECT_EQ(BrowseForFolder(dialogs, nullptr, "Select"), "/opt/brmsx");
    EXPECT_EQ(BrowseForFolder(dialogs, nullptr, "Select"), "");
}

TEST(WindowHelpers, CenterFormPutsTheCentresTogether)
{
    QWidget reference;
    reference.setGeometry(100, 100, 400, 301);
    QWidget window;
    window.setGeometry(0, 0, 200, 100);
    CenterForm(&reference, &window);
    EXPECT_EQ(window.frameGeometry().center().x(), reference.frameGeometry().center().x());
    EXPECT_NEAR(window.frameGeometry().center().y(), reference.frameGeometry().center().y(), 1);

    QWidget big;
    big.setGeometry(0, 0, 800, 600);
    CenterForm(&reference, &big);
    EXPECT_LT(big.x(), reference.x()) << "a larger window gets a negative offset";
}
