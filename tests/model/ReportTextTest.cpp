#include "model/ReportText.h"
#include "model/ZR815KDoc.h"
#include "support/SiteGrid.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class ReportText : public ::testing::Test
{
protected:
    ReportText()
        : doc(dir / "param.ini")
    {
        doc.SetScale(4); // 1 km
    }
    std::array<std::string, 7> Texts() const { return ReportParameterTexts(doc); }

    TempDir dir;
    CZR815KDoc doc;
};

TEST_F(ReportText, FactorLineInPrOrHalfVelocity)
{
    EXPECT_EQ(Texts()[0], "PR               1.500");
    doc.m_bShowHalfVelocity = true;
    EXPECT_EQ(Texts()[0], "V/2              100.0");
    // 150 / 1.6 = 93.75 exactly: printf rounds the tie to even.
    doc.m_dFactor = 1.6;
    EXPECT_EQ(Texts()[0], "V/2              93.8");
    doc.m_dFactor = 1.4567;
    doc.m_bShowHalfVelocity = false;
    EXPECT_EQ(Texts()[0], "PR               1.457");
}

TEST_F(ReportText, ZoomResolutionAndZeroPoint)
{
    EXPECT_EQ(Texts()[1], "Zoom           1");
    EXPECT_EQ(Texts()[2], "Resolution   2.0000 m");
    EXPECT_EQ(Texts()[3], "Zero point 0.000 m");
    // Zoom 16 about 700 m: window 668.75..731.25, columns of 0.125 m.
    doc.m_dCursor1 = 700;
    doc.SetZoom(4);
    EXPECT_EQ(Texts()[1], "Zoom           16");
    EXPECT_EQ(Texts()[2], "Resolution   0.1250 m");
    EXPECT_EQ(Texts()[3], "Zero point 668.750 m");
    // At PR 1.6 the window starts at 626.953125 m, and a column is 0.1171875 m (rounds up).
    doc.m_dFactor = 1.6;
    EXPECT_EQ(Texts()[3], "Zero point 626.953 m");
    EXPECT_EQ(Texts()[2], "Resolution   0.1172 m");
}

TEST_F(ReportText, CursorReadingsUseTheDocumentFactor)
{
    doc.m_dCursor1 = 10;
    doc.m_dCursor2 = 25;
    auto t = Texts();
    EXPECT_EQ(t[4], "C1               10.0000 m");
    EXPECT_EQ(t[5], "C2               25.0000 m");
    EXPECT_EQ(t[6], "L                 15.0000 m");
    doc.m_dFactor = 1.6;
    t = Texts();
    EXPECT_EQ(t[4], "C1               9.3750 m");
    EXPECT_EQ(t[5], "C2               23.4375 m");
    EXPECT_EQ(t[6], "L                 14.0625 m");
    // A site grid does not change the printed readings: they say which PR they use.
    ApplySiteGrid(doc, {{1.5, 12}, {2.0, 988}});
    EXPECT_EQ(Texts()[5], "C2               23.4375 m");
}

TEST(ReportContact, LinesCarryTheirBlanks)
{
    const auto lines = ReportContactLines();
    EXPECT_EQ(lines[0], std::string(38, ' ') + "Tel. +1 555 0100");
    EXPECT_EQ(lines[1], "Ondalis developers" + std::string(19, ' ') + "Internet: www.ondalis.example");
}

} // namespace
