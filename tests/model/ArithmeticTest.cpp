#include "model/PlotMouse.h"
#include "model/ScaleTables.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A document on a throw-away settings file, with a view that counts updates.
class Arithmetic : public ::testing::Test, public CDocView
{
protected:
    Arithmetic()
        : doc(dir / "param.ini")
    {
        doc.AddView(this);
    }
    ~Arithmetic() override { doc.RemoveView(this); }
    void OnUpdate(CDocView*, int hint) override { hints.push_back(hint); }

    std::pair<double, double> Window() const
    {
        double left = 0, right = 0;
        doc.GetViewWindow(left, right);
        return {left, right};
    }
    // A loaded-looking record of the given scale index whose sample k holds k % 128.
    static WaveformRecord Ramp(double sampleStep)
    {
        WaveformRecord record;
        record.m_dSampleStep = sampleStep;
        for (std::size_t k = 0; k < record.m_samples.size(); ++k) {
            record.m_samples[k] = static_cast<int8_t>(k % 128);
        }
        return record;
    }

    TempDir dir;
    CZR815KDoc doc;
    std::vector<int> hints;
};

TEST_F(Arithmetic, WindowFollowsTheZoomCentreWithinTheScale)
{
    doc.SetScale(4); // 1000 m
    EXPECT_EQ(Window(), (std::pair<double, double>{0, 1000}));
    doc.m_dZoomCentre = 900;
    EXPECT_EQ(Window(), (std::pair<double, double>{0, 1000})) << "zoom 0 shows the whole scale";
    doc.m_nZoom = 1;
    doc.m_dZoomCentre = 10;
    EXPECT_EQ(Window(), (std::pair<double, double>{0, 500}));
    doc.m_dZoomCentre = 900;
    EXPECT_EQ(Window(), (std::pair<double, double>{500, 1000}));
    doc.m_dZoomCentre = 400;
    EXPECT_EQ(Window(), (std::pair<double, double>{150, 650}));
    doc.m_nZoom = 4;
    EXPECT_DOUBLE_EQ(doc.WindowWidth(), 62.5);
    EXPECT_DOUBLE_EQ(doc.ColumnWidth(), 0.125);
}

TEST_F(Arithmetic, SetScaleResetsTheZoomAndSendsHint2)
{
    doc.SetScale(6);
    doc.m_nZoom = 3;
    doc.m_bZoomed = true;
    doc.m_dCursor1 = 5000;
    hints.clear();
    doc.SetScale(4);
    EXPECT_DOUBLE_EQ(doc.m_dScale, 1000);
    EXPECT_EQ(doc.m_nZoom, 0);
    EXPECT_FALSE(doc.m_bZoomed);
    EXPECT_EQ(doc.m_dCursor1, 5000) << "a cursor beyond the scale stays where it is";
    EXPECT_EQ(hints, std::vector<int>{HINT_SCALE});
    doc.SetScale(12);
    doc.SetScale(-1);
    EXPECT_DOUBLE_EQ(doc.m_dScale, 1000);
    EXPECT_EQ(hints.size(), 1u);
}

TEST_F(Arithmetic, StepZoomTakesTheCentreOnlyWhenLeavingZoomZero)
{
    // The shortest scale cannot zoom.
    EXPECT_FALSE(doc.StepZoom(120));
    EXPECT_EQ(doc.m_nZoom, 0);
    EXPECT_TRUE(hints.empty()) << "stepping sends no update";

    doc.SetScale(6); // 4000 m
    doc.m_dCursor1 = 1234;
    doc.m_dCursor2 = 3000;
    EXPECT_TRUE(doc.StepZoom(120));
    EXPECT_EQ(doc.m_nZoom, 1);
    EXPECT_TRUE(doc.m_bZoomed);
    EXPECT_EQ(doc.m_dZoomCentre, 1234);
    doc.m_dCursor1 = 50;
    EXPECT_TRUE(doc.StepZoom(-240)) << "any delta but -120 zooms in";
    EXPECT_EQ(doc.m_dZoomCentre, 1234) << "deeper steps keep the centre";
    EXPECT_TRUE(doc.StepZoom(120));
    EXPECT_TRUE(doc.StepZoom(1));
    EXPECT_EQ(doc.m_nZoom, 4);
    EXPECT_FALSE(doc.StepZoom(120));
    EXPECT_EQ(doc.m_nZoom, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(doc.StepZoom(-120));
    }
    EXPECT_FALSE(doc.m_bZoomed);
    EXPECT_FALSE(doc.StepZoom(-120));
    EXPECT_EQ(doc.m_nZoom, 0);

    doc.m_pZoomAnchor = &doc.m_dCursor2;
    EXPECT_TRUE(doc.StepZoom(120));
    EXPECT_EQ(doc.m_dZoomCentre, 3000);
}

TEST_F(Arithmetic, MaximumZoomByScale)
{
    const int expected[12] = {0, 1, 2, 3, 4, 4, 4, 4, 4, 4, 4, 4};
    for (int i = 0; i < 12; ++i) {
        doc.SetScale(i);
        while (doc.StepZoom(120)) {
        }
        EXPECT_EQ(doc.m_nZoom, expected[i]) << i;
    }
}

TEST_F(Arithmetic, SetZoomAppliesTheCentreRuleAndSendsHint2)
{
    doc.SetScale(5);
    doc.m_dCursor1 = 700;
    hints.clear();
    doc.SetZoom(2);
    EXPECT_EQ(doc.m_nZoom, 2);
    EXPECT_EQ(doc.m_dZoomCentre, 700);
    EXPECT_EQ(hints, std::vector<int>{HINT_SCALE});
    doc.SetZoom(0);
    EXPECT_FALSE(doc.m_bZoomed);
    doc.SetZoom(9);
    EXPECT_EQ(doc.m_nZoom, 4) << "a zoom beyond the scale's deepest is held there";
}

TEST_F(Arithmetic, CursorColumnsAndSteps)
{
    doc.SetScale(4);
    doc.m_nZoom = 4; // c = 0.125
    hints.clear();
    doc.SetCursorColumn(doc.m_dCursor2, 100);
    EXPECT_DOUBLE_EQ(doc.m_dCursor2, 12.5);

    doc.m_dCursor1 = 0.13;
    EXPECT_TRUE(doc.StepCursor(doc.m_dCursor1, 120));
    EXPECT_DOUBLE_EQ(doc.m_dCursor1, 0.25) << "steps start from the column that holds the cursor";
    EXPECT_TRUE(doc.StepCursor(doc.m_dCursor1, -240));
    EXPECT_DOUBLE_EQ(doc.m_dCursor1, 0.375) << "only -120 steps down";
    EXPECT_TRUE(doc.StepCursor(doc.m_dCursor1, -120));
    EXPECT_DOUBLE_EQ(doc.m_dCursor1, 0.25);

    doc.m_dCursor1 = 0;
    EXPECT_FALSE(doc.StepCursor(doc.m_dCursor1, -120));
    EXPECT_EQ(doc.m_dCursor1, 0);
    doc.m_dCursor1 = 62.5;
    EXPECT_FALSE(doc.StepCursor(doc.m_dCursor1, 120));
    EXPECT_EQ(doc.m_dCursor1, 62.5);
    doc.m_dCursor1 = 62.45;
    EXPECT_TRUE(doc.StepCursor(doc.m_dCursor1, 120)) << "the last column steps onto the right edge";
    EXPECT_EQ(doc.m_dCursor1, 62.5);
    EXPECT_FALSE(doc.StepCursor(doc.m_dCursor1, 120));
    EXPECT_TRUE(hints.empty());
}

// Steps a cursor from column 0 to the right edge and back one wheel step at a
// time; every step must move it exactly one column, and the edges must stop it.
::testing::AssertionResult WalksColumnByColumn(CZR815KDoc& doc, double& cursor)
{
    double left = 0, right = 0;
    doc.GetViewWindow(left, right);
    const double c = doc.ColumnWidth();
    const auto column = [&] { return (cursor - left) / c; };
    doc.SetCursorColumn(cursor, 0);
    for (int i = 1; i <= 500; ++i) {
        const double before = cursor;
        if (!doc.StepCursor(cursor, 120)) {
            return ::testing::AssertionFailure() << "step up to column " << i << " refused";
        }
        if (!(cursor > before) || std::abs(column() - i) > 1e-6) {
            return ::testing::AssertionFailure() << "step up to column " << i << " reached " << column();
        }
    }
    if (cursor != right || doc.StepCursor(cursor, 120) || cursor != right) {
        return ::testing::AssertionFailure() << "the right edge does not hold, cursor " << cursor;
    }
    for (int i = 499; i >= 0; --i) {
        const double before = cursor;
        if (!doc.StepCursor(cursor, -120)) {
            return ::testing::AssertionFailure() << "step down to column " << i << " refused";
        }
        if (!(cursor < before) || std::abs(column() - i) > 1e-6) {
            return ::testing::AssertionFailure() << "step down to column " << i << " reached " << column();
        }
    }
    if (cursor != left || doc.StepCursor(cursor, -120) || cursor != left) {
        return ::testing::AssertionFailure() << "the left edge does not hold, cursor " << cursor;
    }
    return ::testing::AssertionSuccess();
}

TEST(CursorStepsOffGrid, WheelKeepsMovingTheCursorInAWindowOffTheColumnGrid)
{
    // Zooming in on a cursor at 93.777 m puts the window's left edge there less
    // half a window, a fraction of a column off the grid from 0.
    TempDir dir;
    dir.WriteFile("param.ini", "[KLM-204]\nSCALE=4\nCURSOR1=93777\n");
    CZR815KDoc doc(dir / "param.ini");
    doc.m_nMouseMode = MOUSE_ZOOM;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(ApplyPlotWheel(doc, 120));
    }
    double left = 0, right = 0;
    doc.GetViewWindow(left, right);
    ASSERT_DOUBLE_EQ(left, 31.277);
    ASSERT_DOUBLE_EQ(doc.ColumnWidth(), 0.25);

    doc.m_nMouseMode = MOUSE_CURSOR1;
    doc.SetCursorColumn(doc.m_dCursor1, 0);
    for (int i = 1; i <= 500; ++i) {
        const double before = doc.m_dCursor1;
        ASSERT_TRUE(ApplyPlotWheel(doc, 120)) << i;
        ASSERT_GT(doc.m_dCursor1, before) << "an update was sent for step " << i << " but the cursor stayed";
        ASSERT_NEAR(doc.m_dCursor1, left + 0.25 * i, 1e-9) << i;
    }
    EXPECT_EQ(doc.m_dCursor1, right);
    EXPECT_FALSE(ApplyPlotWheel(doc, 120));
    EXPECT_EQ(doc.m_dCursor1, right);
}

TEST_F(Arithmetic, CursorStepsOneColumnAtATimeInEveryWindow)
{
    int offGrid = 0;
    for (int scale = 1; scale < tables::kCount; ++scale) {
        doc.SetScale(scale);
        for (int zoom = 1; zoom <= tables::MaxZoom(doc.m_dScale); ++zoom) {
            doc.m_nZoom = zoom;
            for (double share : {0.013, 0.1, 0.2371, 0.3, 0.5, 0.61, 0.777, 0.9}) {
                for (double extra : {0.0, 0.001, 0.0437, 1.0 / 3}) {
                    doc.m_dZoomCentre = doc.m_dScale * share + extra;
                    const auto [left, right] = Window();
                    if (std::fmod(left, doc.ColumnWidth()) != 0) {
                        ++offGrid;
                    }
                    ASSERT_TRUE(WalksColumnByColumn(doc, doc.m_dCursor1))
                        << "scale " << doc.m_dScale << ", zoom " << zoom << ", centre " << doc.m_dZoomCentre
                        << ", window " << left << ".." << right;
                }
            }
        }
    }
    EXPECT_GT(offGrid, 500) << "most windows start off the column grid";
}

TEST_F(Arithmetic, CursorDistanceSnapsToWholeColumnsFromZero)
{
    doc.SetScale(4); // c = 2 m
    doc.m_dFactor = 1.6;
    hints.clear();
    doc.SetCursorDistance(doc.m_dCursor1, 150); // position 160
    EXPECT_DOUBLE_EQ(doc.m_dCursor1, 160);
    doc.SetCursorDistance(doc.m_dCursor2, 100.9 * 1.5 / 1.6); // position 100.9
    EXPECT_DOUBLE_EQ(doc.m_dCursor2, 100);
    EXPECT_EQ(hints, (std::vector<int>{HINT_REDRAW, HINT_REDRAW}));
    doc.m_dFactor = 1.5; // a distance is its position
    doc.SetCursorDistance(doc.m_dCursor1, 101.2);
    EXPECT_DOUBLE_EQ(doc.m_dCursor1, 102) << "50.6 columns round up to column 51";
}

TEST_F(Arithmetic, DistancesAndVelocityPresentations)
{
    doc.SetScale(4);
    doc.m_dCursor1 = 160;
    doc.m_dCursor2 = 320;
    double d1, d2, r1, r2;
    doc.GetCursorDistances(d1, d2, r1, r2);
    EXPECT_DOUBLE_EQ(d1, 160) << "at PR 1.5 a distance is its position";
    doc.m_dFactor = 1.6;
    doc.GetCursorDistances(d1, d2, r1, r2);
    EXPECT_DOUBLE_EQ(d1, 150);
    EXPECT_DOUBLE_EQ(d2, 300);
    EXPECT_DOUBLE_EQ(r1, 2 * 1.5 / 1.6);
    EXPECT_DOUBLE_EQ(r2, r1);
    EXPECT_DOUBLE_EQ(doc.DistanceToPosition(150), 160);
    EXPECT_DOUBLE_EQ(doc.FactorAt(12), 1.6);
    double left, right;
    EXPECT_EQ(doc.GetViewDistances(left, right), 0);
    EXPECT_DOUBLE_EQ(left, 0);
    EXPECT_DOUBLE_EQ(right, 937.5);
    doc.m_dFactor = 1.5;
    EXPECT_DOUBLE_EQ(doc.HalfVelocity(), 100.0);
}

TEST_F(Arithmetic, SelectCursorModeTakesThatCursorsFactor)
{
    doc.m_nMouseMode = 0;
    hints.clear();
    doc.SelectCursorMode(2);
    EXPECT_EQ(doc.m_nMouseMode, 2);
    EXPECT_EQ(hints, std::vector<int>{HINT_REDRAW});
}

TEST_F(Arithmetic, ShiftStepsStopAt200)
{
    int32_t& shift = doc.m_memory[1].m_nShift;
    shift = 199;
    EXPECT_TRUE(doc.StepShift(shift, 120));
    EXPECT_EQ(shift, 200);
    EXPECT_FALSE(doc.StepShift(shift, 1));
    EXPECT_EQ(shift, 200);
    shift = -200;
    EXPECT_FALSE(doc.StepShift(shift, -120));
    EXPECT_EQ(shift, -200);
    EXPECT_TRUE(doc.StepShift(shift, -119));
    EXPECT_EQ(shift, -199);
}

TEST_F(Arithmetic, PickColumnsOneSamplePerColumnInTheDocumentsFrame)
{
    doc.SetScale(4);
    doc.m_nZoom = 4;
    WaveformRecord fine = Ramp(0.125); // a 1 km recording
    doc.PickColumns(fine, 0, doc.WindowWidth(), fine.m_displayMain);
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(fine.m_displayMain[i], fine.m_samples[i]) << i;
    }
    doc.PickColumns(fine, 10, doc.WindowWidth(), fine.m_displayMain);
    EXPECT_EQ(fine.m_displayMain[0], fine.m_samples[80]) << "the window's left edge sets the first sample";

    doc.m_nZoom = 0;
    WaveformRecord coarse = Ramp(0.25); // a 2 km recording shown at 1 km
    doc.PickColumns(coarse, 0, doc.WindowWidth(), coarse.m_displayMain);
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(coarse.m_displayMain[i], coarse.m_samples[8 * i]) << i;
    }
    EXPECT_EQ(8 * 499, 3992);

    doc.SetScale(7); // 8000 m: a 62.5 m recording (1 km of samples) runs out at column 63
    WaveformRecord shortOne = Ramp(0.125);
    shortOne.m_displayMain.fill(55);
    doc.PickColumns(shortOne, 0, doc.WindowWidth(), shortOne.m_displayMain);
    EXPECT_EQ(shortOne.m_displayMain[62], shortOne.m_samples[62 * 128]);
    for (int i = 63; i < 500; ++i) {
        ASSERT_EQ(shortOne.m_displayMain[i], 0) << i;
    }

    // The second screen always shows the whole scale.
    doc.m_nZoom = 3;
    doc.PickColumns(coarse, 0, doc.m_dScale, coarse.m_displaySecond);
    EXPECT_EQ(coarse.m_displaySecond[1], coarse.m_samples[64]);
}

TEST_F(Arithmetic, PickColumnsOfAnEmptyRecordIsAllBaseline)
{
    WaveformRecord empty;
    empty.m_displayMain.fill(9);
    doc.PickColumns(empty, 0, doc.WindowWidth(), empty.m_displayMain);
    for (int8_t v : empty.m_displayMain) {
        ASSERT_EQ(v, 0);
    }
}

TEST_F(Arithmetic, ReturnLoss)
{
    WaveformRecord r;
    const auto rl = [&](int c1, int c2) {
        r.m_nValueC1 = c1;
        r.m_nValueC2 = c2;
        return doc.ReturnLoss(r);
    };
    EXPECT_EQ(rl(64, 32), 6);
    EXPECT_EQ(rl(64, 0), 36) << "an amplitude of 0 counts as 1";
    EXPECT_EQ(rl(32, 64), -6);
    EXPECT_EQ(rl(255 - 64, 32), 6) << "negative samples count by their size";
    EXPECT_EQ(rl(128, 127), 0);
    EXPECT_EQ(rl(254, 1), 0) << "byte 254 is an amplitude of 1 (255 - 254)";
    EXPECT_EQ(rl(0, 0), 0);
}

} // namespace
