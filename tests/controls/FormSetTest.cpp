#include "controls/FormSet.h"
#include "controls/HSpin.h"
#include "controls/core/CursorStrip.h"
#include "display/FormDraw.h"
#include "model/ZR815KDoc.h"
#include "support/SiteGrid.h"
#include "support/TempDir.h"
#include "support/WheelEvent.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Scale 1 km (2 m columns unzoomed), PR 1.5, C1 at 100 m and C2 at 300 m, with
// the strip and the display form both views of the document.
class FormSet : public ::testing::Test, public CDocView
{
protected:
    FormSet()
        : doc(Settings(dir)), strip(doc), draw(doc)
    {
        strip.resize(1000, 24);
        draw.resize(1000, 600);
        strip.show();
        draw.show();
        strip.OnInitialUpdate();
        draw.OnInitialUpdate();
        doc.AddView(this);
    }
    ~FormSet() override { doc.RemoveView(this); }
    static std::filesystem::path Settings(const TempDir& dir)
    {
        dir.WriteFile("param.ini", "[KLM-204]\nSCALE=4\nCURSOR1=100000\nCURSOR2=300000\n");
        return dir / "param.ini";
    }
    void OnUpdate(CDocView*, int hint) override { hints.push_back(hint); }

    CHSpin* C1() { return strip.GetCursorField(0); }
    CHSpin* C2() { return strip.GetCursorField(1); }
    int PlotColumn(int line) { return draw.GetPlot().GetLine(line)->GetPoint(0).x(); }
    void TypeAndEnter(CHSpin* field, const char* text)
    {
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    void PickZoom(int index)
    {
        QComboBox* zoom = strip.GetZoomList();
        zoom->setCurrentIndex(index);
        emit zoom->activated(index);
    }

    TempDir dir;
    CZR815KDoc doc;
    CFormSet strip;
    CFormDraw draw;
    std::vector<int> hints;
};

TEST_F(FormSet, ControlsCarryTheirIdsNamesAndTips)
{
    EXPECT_EQ(C1()->GetControlId(), 150);
    EXPECT_EQ(C2()->GetControlId(), 151);
    const char* labels[] = {"C1", "C2", "L", "Zoom"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(strip.GetLabel(i)->text(), labels[i]);
    }
    EXPECT_EQ(C1()->toolTip(), "Distance between zero point to the cursor C1");
    EXPECT_EQ(C2()->toolTip(), "Distance between zero point to the cursor C2");
    EXPECT_EQ(strip.GetLengthField()->toolTip(), "Distance between cursors");
    EXPECT_EQ(strip.GetZoomList()->toolTip(), "Zoom value");
    EXPECT_EQ(C1()->accessibleName(), "C1");
    EXPECT_EQ(C2()->GetButton(2)->accessibleName(), "C2 step up");
    EXPECT_EQ(strip.GetLengthField()->accessibleName(), "L");
    EXPECT_EQ(strip.GetZoomList()->accessibleName(), "Zoom");
    // A screen reader hears the list's name, and the zoom as its value.
    QAccessibleInterface* zoom = QAccessible::queryAccessibleInterface(strip.GetZoomList());
    EXPECT_EQ(zoom->text(QAccessible::Name), "Zoom");
    EXPECT_EQ(zoom->text(QAccessible::Value), "1");
}

TEST_F(FormSet, FirstFillShowsTheWindowAndCursorsInMetres)
{
    EXPECT_EQ(C1()->text(), "100.000 m");
    EXPECT_EQ(C2()->text(), "300.000 m");
    EXPECT_EQ(C1()->GetMin(), 0);
    EXPECT_EQ(C1()->GetMax(), 1000);
    EXPECT_EQ(C1()->GetStep(), 2);
    EXPECT_EQ(strip.GetLengthField()->text(), "200.000 m");
    EXPECT_EQ(strip.GetZoomList()->count(), 5);
    EXPECT_EQ(strip.GetZoomList()->itemText(4), "16");
    EXPECT_EQ(strip.GetZoomList()->currentIndex(), 0);
}

TEST_F(FormSet, WheelOverC1MovesItOneColumnAndThePlotLineWithIt)
{
    EXPECT_EQ(PlotColumn(CFormDraw::kLineCursor1), 50);
    SendWheel(C1(), 120);
    EXPECT_EQ(doc.m_dCursor1, 102);
    EXPECT_EQ(PlotColumn(CFormDraw::kLineCursor1), 51);
    EXPECT_EQ(C1()->text(), "102.000 m");
    EXPECT_EQ(strip.GetLengthField()->text(), "198.000 m");
    // One update per step: the refresh of the fields does not feed back.
    EXPECT_EQ(hints, (std::vector<int>{HINT_REDRAW}));
    SendWheel(C1(), -120);
    SendWheel(C1(), -120);
    EXPECT_EQ(doc.m_dCursor1, 98);
    EXPECT_EQ(hints.size(), 3u);
}

TEST_F(FormSet, TypedDistancesSnapToColumnsAndClampToTheWindow)
{
    // PR 1.6 and zoom 4 about C1 at 500 m: window 375..625 of position, 0.5 m columns.
    doc.m_dFactor = 1.6;
    doc.m_dCursor1 = 500;
    PickZoom(2);
    EXPECT_EQ(C1()->GetMax(), 625 * 1.5 / 1.6);
    // 430.3 m of distance is 458.9867 of position: the nearest column is 459.
    TypeAndEnter(C1(), "430.3");
    EXPECT_EQ(doc.m_dCursor1, 459);
    EXPECT_EQ(C1()->text(), "430.312 m"); // 430.3125 exactly: printf rounds the tie to even
    // Beyond the window: the window's right edge.
    TypeAndEnter(C1(), "5000");
    EXPECT_EQ(doc.m_dCursor1, 625);
    EXPECT_EQ(C1()->text(), "585.938 m");
    // A huge number typed stays finite and on the edge.
    TypeAndEnter(C2(), std::string(330, '9').c_str());
    EXPECT_EQ(doc.m_dCursor2, 625);
}

TEST_F(FormSet, ZoomListTakesAndClearsTheZoomCentre)
{
    doc.m_dCursor1 = 300;
    PickZoom(2);
    EXPECT_EQ(doc.m_nZoom, 2);
    EXPECT_TRUE(doc.m_bZoomed);
    EXPECT_EQ(doc.m_dZoomCentre, 300);
    EXPECT_EQ(hints.back(), HINT_SCALE);
    EXPECT_EQ(C1()->GetMin(), 175);
    EXPECT_EQ(C1()->GetMax(), 425);
    // Deeper zoom keeps the centre.
    doc.m_dCursor1 = 320;
    PickZoom(3);
    EXPECT_EQ(doc.m_dZoomCentre, 300);
    // Back to 1 forgets it; the next zoom takes a fresh one from the anchor.
    PickZoom(0);
    EXPECT_FALSE(doc.m_bZoomed);
    doc.m_pZoomAnchor = &doc.m_dCursor2;
    PickZoom(1);
    EXPECT_TRUE(doc.m_bZoomed);
    EXPECT_EQ(doc.m_dZoomCentre, 300); // C2's position
    EXPECT_EQ(strip.GetZoomList()->currentIndex(), 1);
}

TEST_F(FormSet, ZoomListFollowsTheScale)
{
    doc.SetScale(0);
    ASSERT_EQ(strip.GetZoomList()->count(), 1);
    EXPECT_EQ(strip.GetZoomList()->itemText(0), "1");
    doc.SetScale(1);
    EXPECT_EQ(strip.GetZoomList()->count(), 2);
    doc.SetScale(11);
    EXPECT_EQ(strip.GetZoomList()->count(), 5);
}

TEST_F(FormSet, EachFieldMovesItsOwnCursorAndC2OntoC1ShowsZeroLength)
{
    TypeAndEnter(C2(), "250");
    EXPECT_EQ(doc.m_dCursor1, 100);
    EXPECT_EQ(doc.m_dCursor2, 250);
    TypeAndEnter(C2(), "100");
    EXPECT_EQ(doc.m_dCursor2, 100);
    EXPECT_EQ(strip.GetLengthField()->text(), "0.000 m");
}

TEST_F(FormSet, TextLeftPendingIsDroppedWhenAnotherFieldMovesTheDocument)
{
    // A step on the field itself keeps its pending text (the field's own echo).
    QTest::keyClicks(C1(), "4");
    SendWheel(C1(), 120);
    EXPECT_EQ(C1()->text(), "102.000 m");
    EXPECT_TRUE(C1()->Value().IsTyping());
    // A change from C2 refreshes C1 under the program's hand: its text is gone.
    SendWheel(C2(), 120);
    EXPECT_EQ(doc.m_dCursor2, 302);
    EXPECT_EQ(C1()->text(), "102.000 m");
    QTest::keyClick(C1(), Qt::Key_Return);
    EXPECT_EQ(doc.m_dCursor1, 102);
}

TEST_F(FormSet, ACursorStepTakesTheFactorOfItsSiteGridSection)
{
    // Two sections: 0..101 m at PR 1.5, then 1.8.
    ApplySiteGrid(doc, {{1.5, 101}, {1.8, 899}});
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
    SendWheel(C1(), 120); // 100 + one column = 102, in the second section
    EXPECT_EQ(doc.m_dCursor1, 102);
    EXPECT_EQ(doc.m_dFactor, 1.8);
    EXPECT_DOUBLE_EQ(C1()->GetValue(), 101 + 1 * 1.5 / 1.8);
    EXPECT_DOUBLE_EQ(C1()->GetStep(), 2 * 1.5 / 1.8);
}

TEST_F(FormSet, LayoutPlacesGroupsByTheGapRule)
{
    strip.resize(1200, 24);
    std::array<LabelSize, 4> sizes;
    for (int i = 0; i < 4; ++i) {
        sizes[i] = {strip.GetLabel(i)->width(), strip.GetLabel(i)->height()};
    }
    const StripPlacement place = ComputeStripLayout(1200, 24, sizes);
    EXPECT_EQ(strip.GetLabel(3)->pos(), QPoint(place.labels[3].x, place.labels[3].y));
    EXPECT_EQ(C2()->GetButton(0)->x(), place.controls[1].x);
    EXPECT_EQ(C2()->GetButton(3)->geometry().right() + 1, place.controls[1].x + 160);
    EXPECT_EQ(strip.GetZoomList()->geometry(), QRect(place.controls[3].x, 1, 45, 22));
}

} // namespace
