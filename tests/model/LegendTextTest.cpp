#include "model/FileTime.h"
#include "model/LegendText.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <numeric>

namespace {

TEST(LegendText, WidthsAddUpToTheFormWidthForEveryK)
{
    for (bool rl : {false, true}) {
        for (bool markers : {false, true}) {
            for (int width : {1200, 1600, 997}) {
                const auto widths = LegendColumnWidths(width, rl, markers);
                EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), width) << rl << markers;
                EXPECT_EQ(widths[9], rl ? 75 : 0);
                EXPECT_EQ(widths[10], markers ? 100 : 0);
                EXPECT_EQ(widths[15] + widths[16], 0) << "date and time show only on paper";
            }
        }
    }
    EXPECT_EQ(LegendWidthUnits(true, true), 40);
}

TEST(LegendText, HeadersAndCellsOfAChannel)
{
    EXPECT_EQ(LegendHeaders(false)[4], "PR");
    EXPECT_EQ(LegendHeaders(true)[4], "V/2");
    EXPECT_EQ(LegendHeaders(false)[10], "\u041C1") << "marker headers begin with a Cyrillic Em";
    EXPECT_EQ(LegendHeaders(false)[11], "\u041C2");

    TempDir dir;
    CZR815KDoc doc(dir / "param.ini");
    WaveformRecord& r = doc.m_memory[1];
    r.m_strName = "кабель 7";
    r.m_dScale = 4000;
    r.m_dPulse = 100;
    r.m_nAverages = 64;
    r.m_nGain = -3;
    r.m_nImpedance = 75;
    r.m_nShift = -37;
    r.m_nValueC1 = 64;
    r.m_nValueC2 = 32;
    r.m_dMarker1 = 160;
    r.m_nMethod = 68;
    r.m_nThreshold = 60;
    r.m_dDelay = 15;
    r.m_ftTime = 133500000000000000LL;
    doc.m_dFactor = 1.6;

    auto cells = LegendCells(doc, 1);
    EXPECT_EQ(cells[0], "M2");
    EXPECT_EQ(cells[1], "кабель 7");
    EXPECT_EQ(cells[2], "4000.000");
    EXPECT_EQ(cells[3], "100");
    EXPECT_EQ(cells[4], "1.600");
    EXPECT_EQ(cells[5], "64");
    EXPECT_EQ(cells[6], "-3");
    EXPECT_EQ(cells[8], "-37");
    EXPECT_EQ(cells[9], "6");
    EXPECT_EQ(cells[10], "150.000");
    EXPECT_EQ(cells[11], "0.000");
    EXPECT_EQ(cells[12], "arc");
    EXPECT_EQ(cells[14], "15.0");
    const LocalDateTime t = SplitFileTime(r.m_ftTime);
    EXPECT_EQ(cells[15].size(), 8u);
    EXPECT_EQ(cells[15].substr(6), (t.year % 100 < 10 ? "0" : "") + std::to_string(t.year % 100));

    doc.m_bShowHalfVelocity = true;
    doc.m_dFactor = 1.5;
    r.m_nMethod = 70;
    cells = LegendCells(doc, 1);
    EXPECT_EQ(cells[4], "100.0");
    EXPECT_EQ(cells[12], "") << "unknown method codes have no text";
}

TEST(LegendText, DateAndClockFields)
{
    // 2009-01-02 03:04:05 as a file time.
    const long long ft = (1230865445LL + kFileTimeEpochOffset) * 10'000'000LL;
    EXPECT_EQ(FileDateText(ft), "02.01.09");
    EXPECT_EQ(FileClockText(ft), "03:04:05");
}

} // namespace
