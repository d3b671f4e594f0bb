#include "cablelib/core/CablePanel.h"
#include "support/TempDir.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(CablePanel, HeadingsAndWidthsFollowThePresentation)
{
    EXPECT_EQ(CableHeadings(false), (std::array<std::string, 2>{"Name PR", "PR"}));
    EXPECT_EQ(CableHeadings(true), (std::array<std::string, 2>{"Name V/2", "V/2"}));
    // Two thirds and a third, the third taken first: 301 / 3 = 100.
    EXPECT_EQ(CableColumnWidths(301, 0), (std::array<int, 2>{200, 100}));
    EXPECT_EQ(CableColumnWidths(302, 0), (std::array<int, 2>{200, 100}));
    EXPECT_EQ(CableColumnWidths(320, 17), (std::array<int, 2>{202, 101}));
}

TEST(CablePanel, OnlyPositiveNumbersBecomeFactors)
{
    EXPECT_EQ(FactorOfCell("1.500", false), 1.5);
    EXPECT_EQ(FactorOfCell("1.5 (measured)", false), 1.5);
    EXPECT_EQ(FactorOfCell("100.0", true), 1.5);
    // 121.6 in V/2 is 300 / 243.2, not the 1.234 it was made from.
    EXPECT_EQ(FactorOfCell("121.6", true), 300 / 243.2);
    EXPECT_NE(FactorOfCell("121.6", true), 1.234);
    for (const char* refused : {"", "abc", "0", "0.000", "-1.5", ".", "1e999"}) {
        EXPECT_FALSE(FactorOfCell(refused, false)) << refused;
        EXPECT_FALSE(FactorOfCell(refused, true)) << refused;
    }
    // A V/2 so small that the PR overflows is refused too.
    EXPECT_FALSE(FactorOfCell("1e-320", true));
}

TEST(CablePanel, OnlyValuesWithinTheFieldsRangeBecomeFactors)
{
    // PR 1 and 3 themselves are taken, and V/2 50 and 150, which are the same factors.
    EXPECT_EQ(CheckFactorCell("1", false).check, CellCheck::Ok);
    EXPECT_EQ(CheckFactorCell("3.000", false).check, CellCheck::Ok);
    const CellFactor slowest = CheckFactorCell("50.0", true);
    EXPECT_EQ(slowest.check, CellCheck::Ok);
    EXPECT_EQ(slowest.factor, 3);
    EXPECT_EQ(CheckFactorCell("150", true).check, CellCheck::Ok);
    for (const char* pr : {"0.999", "3.001", "0.0001", "1e3", "1e308"}) {
        EXPECT_EQ(CheckFactorCell(pr, false).check, CellCheck::OutOfRange) << pr;
    }
    // 0.0001 as V/2 is 1500000.0; 1e-300 gives a finite PR of 1.5e302.
    for (const char* v2 : {"49.9", "150.1", "1500000.0", "1e-300"}) {
        EXPECT_EQ(CheckFactorCell(v2, true).check, CellCheck::OutOfRange) << v2;
    }
    EXPECT_EQ(CheckFactorCell("abc", false).check, CellCheck::NotPositive);
    EXPECT_EQ(CheckFactorCell("1e-320", true).check, CellCheck::NotPositive);
}

TEST(CablePanel, CellOfAFactorInEitherPresentation)
{
    EXPECT_EQ(CellOfFactor(1.5, false), "1.500");
    EXPECT_EQ(CellOfFactor(1.2346, false), "1.235");
    EXPECT_EQ(CellOfFactor(1.5, true), "100.0");
    EXPECT_EQ(CellOfFactor(1.234, true), "121.6"); // 121.555...
}

TEST(CablePanel, FoldersAndExtensionsOfLibraryPaths)
{
    TempDir dir;
    EXPECT_TRUE(NamesFolder(dir.Path()));
    EXPECT_TRUE(NamesFolder(dir.Folder())); // "…/" as the settings keep it
    EXPECT_FALSE(NamesFolder(dir / "new.tku"));
    dir.WriteFile("old.tku", "");
    EXPECT_FALSE(NamesFolder(dir / "old.tku"));

    EXPECT_EQ(WithLibraryExtension("/a/cables"), "/a/cables.tku");
    EXPECT_EQ(WithLibraryExtension("/a/cables.tku"), "/a/cables.tku");
    EXPECT_EQ(WithLibraryExtension("/a/cables.TKU"), "/a/cables.TKU");
    EXPECT_EQ(WithLibraryExtension("/a/v1.2/lib"), "/a/v1.2/lib.tku");
}

TEST(CablePanel, CalibrationFromAKnownLength)
{
    // 300 m of position read as 290 m of true length: PR 300 x 1.5 / 290.
    Calibration c = CalibrateFactor(100, 400, 290, false);
    EXPECT_EQ(c.check, CalibrationCheck::Ok);
    EXPECT_DOUBLE_EQ(c.factor, 300 * 1.5 / 290);
    EXPECT_EQ(c.text, "PR = 1.552");
    // Cursor order does not matter; V/2 shows 150 / PR.
    c = CalibrateFactor(400, 100, 290, true);
    EXPECT_DOUBLE_EQ(c.factor, 300 * 1.5 / 290);
    EXPECT_EQ(c.text, "V/2 = 96.7");

    EXPECT_EQ(CalibrateFactor(250, 250, 100, false).check, CalibrationCheck::SameCursors);
    for (double length : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(CalibrateFactor(0, 300, length, false).check, CalibrationCheck::BadLength) << length;
    }
    // PR 1 and 3 are still in range; just outside them is not.
    EXPECT_EQ(CalibrateFactor(0, 300, 450, false).check, CalibrationCheck::Ok);      // PR 1
    EXPECT_EQ(CalibrateFactor(0, 300, 150, false).check, CalibrationCheck::Ok);      // PR 3
    EXPECT_EQ(CalibrateFactor(0, 300, 450.5, false).check, CalibrationCheck::OutOfRange);
    const Calibration far = CalibrateFactor(0, 300, 149.5, false);
    EXPECT_EQ(far.check, CalibrationCheck::OutOfRange);
    EXPECT_NEAR(far.factor, 3.01, 0.001);
    EXPECT_NE(far.text.find("PR = 3.010"), std::string::npos);
}

} // namespace
