#include "model/Difference.h"
#include "model/LegendText.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace {

PickedColumns Filled(int8_t value)
{
    PickedColumns columns;
    columns.fill(value);
    return columns;
}

// A ramp that crosses the whole sample range, so no two columns are alike.
PickedColumns Ramp(int offset)
{
    PickedColumns columns;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        columns[i] = static_cast<int8_t>(static_cast<int>((i * 7 + static_cast<std::size_t>(offset)) % 256) - 128);
    }
    return columns;
}

TEST(Difference, ReferenceMinusChannelHeldAtBothEnds)
{
    EXPECT_EQ(HeldDifference(Ramp(3), Ramp(3)), Filled(0)) << "identical channels give a flat zero trace";

    struct Case
    {
        int8_t reference;
        int8_t channel;
        int8_t expected;
    };
    const Case cases[] = {
        {10, 3, 7},       // the reference minus the channel, not the other way
        {3, 10, -7},
        {127, 0, 127},    // the top exactly
        {126, -1, 127},   // the top exactly, reached by subtraction
        {127, -1, 127},   // 128 is held
        {127, -128, 127}, // 255 is held
        {-128, 0, -128},  // the bottom exactly
        {-1, 127, -128},  // the bottom exactly, reached by subtraction
        {-128, 1, -128},  // -129 is held
        {-128, 127, -128} // -255 is held
    };
    for (const Case& c : cases) {
        PickedColumns reference = Filled(0);
        PickedColumns channel = Filled(0);
        reference[499] = c.reference;
        channel[499] = c.channel;
        const PickedColumns d = HeldDifference(reference, channel);
        EXPECT_EQ(d[499], c.expected) << int{c.reference} << " - " << int{c.channel};
        EXPECT_EQ(d[0], 0);
    }
}

// Three channels on with distinct picked columns and shifts.
class DifferenceDoc : public ::testing::Test
{
protected:
    DifferenceDoc()
        : doc(dir / "param.ini")
    {
        for (int k = 0; k < 3; ++k) {
            doc.m_memory[k].m_bOn = true;
            doc.m_memory[k].m_displayMain = Ramp(40 * k);
        }
        doc.m_memory[0].m_nShift = 5;
        doc.m_memory[1].m_nShift = -9;
        doc.m_memory[2].m_nShift = 200;
    }
    PickedColumns Plain(int k) const
    {
        PickedColumns values;
        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i] = static_cast<int8_t>(
                std::clamp(doc.m_memory[k].m_displayMain[i] + doc.m_memory[k].m_nShift, -128, 127));
        }
        return values;
    }

    TempDir dir;
    CZR815KDoc doc;
};

TEST_F(DifferenceDoc, OffEveryChannelIsDrawnAsPickedPlusItsShift)
{
    EXPECT_FALSE(doc.m_bDifference);
    EXPECT_EQ(ReferenceInForce(doc), -1);
    for (int k = 0; k < 3; ++k) {
        EXPECT_FALSE(DrawnAsDifference(doc, k));
        EXPECT_EQ(TraceValues(doc, k), Plain(k)) << k;
        EXPECT_EQ(LegendCells(doc, k)[8], std::to_string(doc.m_memory[k].m_nShift));
    }
    // A shift of 200 holds all but the lowest values at the top: -48 + 200 is
    // held to 127, -128 + 200 is 72.
    EXPECT_EQ(TraceValues(doc, 2)[0], 127);
    EXPECT_EQ(doc.m_memory[2].m_displayMain[208], -128);
    EXPECT_EQ(TraceValues(doc, 2)[208], 72);
}

TEST_F(DifferenceDoc, TheReferenceIsSubtractedFromEveryOtherChannel)
{
    doc.m_bDifference = true;
    doc.m_nReference = 0;
    EXPECT_EQ(ReferenceInForce(doc), 0);
    EXPECT_EQ(TraceValues(doc, 0), Plain(0)) << "the reference is drawn as it is";
    EXPECT_EQ(TraceValues(doc, 1), HeldDifference(Ramp(0), Ramp(40)));
    EXPECT_EQ(TraceValues(doc, 2), HeldDifference(Ramp(0), Ramp(80))) << "shifts stay out of the difference";
    EXPECT_EQ(LegendCells(doc, 0)[8], "5");
    EXPECT_EQ(LegendCells(doc, 1)[8], "\u0394");
    EXPECT_EQ(LegendCells(doc, 2)[8], "\u0394");

    // Another reference moves which channel is subtracted from which.
    doc.m_nReference = 2;
    EXPECT_EQ(TraceValues(doc, 0), HeldDifference(Ramp(80), Ramp(0)));
    EXPECT_EQ(TraceValues(doc, 1), HeldDifference(Ramp(80), Ramp(40)));
    EXPECT_EQ(TraceValues(doc, 2), Plain(2));
    EXPECT_EQ(LegendCells(doc, 0)[8], "\u0394");
    EXPECT_EQ(LegendCells(doc, 2)[8], "200");

    // The second screen's columns give its traces by the same rule.
    doc.m_memory[0].m_displaySecond = Ramp(1);
    doc.m_memory[2].m_displaySecond = Ramp(2);
    EXPECT_EQ(TraceValues(doc, 0, &WaveformRecord::m_displaySecond), HeldDifference(Ramp(2), Ramp(1)));

    // Identical recordings: flat zero, whatever their shifts.
    doc.m_memory[1].m_displayMain = doc.m_memory[2].m_displayMain;
    EXPECT_EQ(TraceValues(doc, 1), Filled(0));
}

TEST_F(DifferenceDoc, AChannelThatIsOffTakesNoPart)
{
    doc.m_bDifference = true;
    doc.m_nReference = 1;
    doc.m_memory[2].m_bOn = false;
    EXPECT_FALSE(DrawnAsDifference(doc, 2));
    EXPECT_TRUE(DrawnAsDifference(doc, 0));
    EXPECT_FALSE(DrawnAsDifference(doc, 1));

    // With the reference off the mode changes nothing.
    doc.m_memory[1].m_bOn = false;
    EXPECT_EQ(ReferenceInForce(doc), -1);
    EXPECT_FALSE(DrawnAsDifference(doc, 0));
    EXPECT_EQ(TraceValues(doc, 0), Plain(0));
    EXPECT_EQ(LegendCells(doc, 0)[8], "5");

    // So does a reference that names no channel.
    doc.m_memory[1].m_bOn = true;
    for (int reference : {-1, 3}) {
        doc.m_nReference = reference;
        EXPECT_EQ(ReferenceInForce(doc), -1) << reference;
        EXPECT_EQ(TraceValues(doc, 1), Plain(1)) << reference;
    }
    EXPECT_FALSE(DrawnAsDifference(doc, -1));
    EXPECT_FALSE(DrawnAsDifference(doc, 3));
}

TEST(DifferenceSettings, TheModeIsNotKeptBetweenRuns)
{
    TempDir dir;
    {
        CZR815KDoc doc(dir / "param.ini");
        doc.m_bDifference = true;
        doc.m_nReference = 2;
    }
    const CZR815KDoc again(dir / "param.ini");
    EXPECT_FALSE(again.m_bDifference);
    EXPECT_EQ(again.m_nReference, 0);
}

TEST_F(DifferenceDoc, RecordsOfOtherScalesAlignByPosition)
{
    // One line recorded at two sample steps: the sample at position p holds the
    // same value in both, so after picking the difference is flat zero.
    WaveformRecord& fine = doc.m_memory[0];
    WaveformRecord& coarse = doc.m_memory[1];
    fine.m_dSampleStep = 0.125;  // 1000 m in 8000 samples
    coarse.m_dSampleStep = 0.25; // 2000 m
    const auto valueAt = [](double position) { return static_cast<int8_t>(static_cast<int>(position / 2) % 200 - 100); };
    for (std::size_t k = 0; k < kTdrSampleCount; ++k) {
        fine.m_samples[k] = valueAt(static_cast<double>(k) * 0.125);
        coarse.m_samples[k] = valueAt(static_cast<double>(k) * 0.25);
    }
    doc.m_dScale = 1000;
    doc.m_memory[2].m_bOn = false;
    doc.PickColumns(fine, 0, doc.WindowWidth(), fine.m_displayMain);
    doc.PickColumns(coarse, 0, doc.WindowWidth(), coarse.m_displayMain);
    doc.m_bDifference = true;
    doc.m_nReference = 0;
    EXPECT_EQ(TraceValues(doc, 1), Filled(0));
    EXPECT_NE(fine.m_displayMain, Filled(fine.m_displayMain[0])) << "the trace itself is not flat";
}

} // namespace
