#include "display/Form.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"
#include "support/WheelEvent.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A sample value that differs between nearby sample indices, so a wrong
// stride or offset picks other values.
int8_t SampleValue(std::size_t k) { return static_cast<int8_t>(static_cast<int>(k % 200) - 100); }

// The hints of the document's updates while it lives.
class HintLog : public CDocView
{
public:
    explicit HintLog(CZR815KDoc& doc)
        : m_doc(doc)
    {
        m_doc.AddView(this);
    }
    ~HintLog() override { m_doc.RemoveView(this); }
    void OnUpdate(CDocView*, int hint) override { hints.push_back(hint); }

    std::vector<int> hints;

private:
    CZR815KDoc& m_doc;
};

// A document with a second screen of 1000 x 120, initial update done.
class SecondScreenForm : public ::testing::Test
{
protected:
    SecondScreenForm()
        : doc(dir / "param.ini"), form(doc)
    {
        form.resize(1000, 120);
        form.show();
        form.OnInitialUpdate();
    }

    // Channel k on with samples that tell their indices apart.
    void SwitchOn(int k, double sampleStep)
    {
        WaveformRecord& r = doc.m_memory[k];
        r.m_bOn = true;
        r.m_dScale = doc.m_dScale;
        r.m_dSampleStep = sampleStep;
        for (std::size_t i = 0; i < r.m_samples.size(); ++i) {
            r.m_samples[i] = SampleValue(i);
        }
    }
    // 1 km at zoom 2 (a window of 250 m) around `centre`.
    void ZoomAround(double centre)
    {
        doc.SetScale(4);
        doc.m_nZoom = 2;
        doc.m_bZoomed = true;
        doc.m_dZoomCentre = centre;
        doc.UpdateAllViews(nullptr, HINT_SCALE);
    }
    const CArrPoints& Line(int index) { return *form.GetPlot().GetLine(index); }
    std::vector<QPoint> Points(int index) { return Line(index).GetPoints(); }
    int TraceValue(int k, int column) { return Line(CForm::kLineTrace + k).GetPoint(column).y(); }
    std::pair<int, int> FrameColumns() { return {Line(CForm::kLineFrameLeft).GetPoint(0).x(), Line(CForm::kLineFrameRight).GetPoint(0).x()}; }
    // A button press and release at the pixel of a column, mid-height.
    void ClickPlot(int column, Qt::MouseButton button = Qt::LeftButton)
    {
        CScreenWnd& plot = form.GetPlot();
        const QRect r = plot.GetPlotRect();
        const QPoint at(r.left() + (column * r.width() + r.width() / 2) / 500, r.top() + r.height() / 2);
        QTest::mousePress(&plot, button, {}, at);
        QTest::mouseRelease(&plot, button, {}, at);
    }

    TempDir dir;
    CZR815KDoc doc;
    CForm form;
};

TEST_F(SecondScreenForm, PlotHasItsFifteenLinesInOrder)
{
    CScreenWnd& plot = form.GetPlot();
    EXPECT_EQ(plot.GetControlId(), 168);
    EXPECT_EQ(plot.accessibleName(), "Whole-range plot");
    EXPECT_EQ(plot.geometry(), QRect(0, 0, 1000, 120));
    ASSERT_EQ(plot.GetLineCount(), 15);
    const int withLabel = CArrPoints::StateVisible | CArrPoints::StateLabel;
    struct Expected
    {
        QColor colour;
        int count;
        QString name;
        int state;
    };
    const QColor frame(200, 200, 200);
    const QColor m1(200, 0, 0), m2(255, 153, 0), m3(200, 0, 200);
    const Expected expected[15] = {
        {QColor(200, 200, 255), 2, "1", withLabel}, {QColor(200, 200, 0), 2, "2", withLabel},
        {frame, 2, "", CArrPoints::StateVisible},   {frame, 2, "", CArrPoints::StateVisible},
        {frame, 2, "", CArrPoints::StateVisible},   {frame, 2, "", CArrPoints::StateVisible},
        {m1, 500, "M1", 0},                         {m2, 500, "M2", 0},
        {m3, 500, "M3", 0},                         {m1, 2, "M1", 0},
        {m1, 2, "M2", 0},                           {m2, 2, "M1", 0},
        {m2, 2, "M2", 0},                           {m3, 2, "M1", 0},
        {m3, 2, "M2", 0},
    };
    for (int i = 0; i < 15; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Line(i).GetColor(), expected[i].colour);
        EXPECT_EQ(Line(i).GetCount(), expected[i].count);
        EXPECT_EQ(Line(i).GetName(), expected[i].name);
        EXPECT_EQ(Line(i).GetState(), expected[i].state);
    }
}

TEST_F(SecondScreenForm, ZoomFrameOutlinesTheMainWindow)
{
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
    EXPECT_EQ(Points(CForm::kLineFrameLeft), (std::vector<QPoint>{{0, 127}, {0, -128}}));
    EXPECT_EQ(Points(CForm::kLineFrameRight), (std::vector<QPoint>{{500, 127}, {500, -128}}));

    ZoomAround(500); // window 375..625 m, 187.5..312.5 columns
    EXPECT_EQ(Points(CForm::kLineFrameLeft), (std::vector<QPoint>{{188, 127}, {188, -128}}));
    EXPECT_EQ(Points(CForm::kLineFrameBottom), (std::vector<QPoint>{{188, -128}, {313, -128}}));
    EXPECT_EQ(Points(CForm::kLineFrameRight), (std::vector<QPoint>{{313, 127}, {313, -128}}));
    EXPECT_EQ(Points(CForm::kLineFrameTop), (std::vector<QPoint>{{188, 127}, {313, 127}}));
    for (int side = CForm::kLineFrameLeft; side <= CForm::kLineFrameTop; ++side) {
        EXPECT_EQ(Line(side).GetState(), CArrPoints::StateVisible);
    }
}

TEST_F(SecondScreenForm, TracesShowTheWholeRangeWhateverTheZoom)
{
    SwitchOn(0, 0.125); // 62.5 m: one sample a column
    doc.UpdateAllViews(nullptr, HINT_MEMORY);
    EXPECT_EQ(Line(CForm::kLineTrace).GetState(), CArrPoints::StateVisible | CArrPoints::StateLabel);
    EXPECT_FALSE(Line(CForm::kLineTrace + 1).IsVisible());
    for (int column : {0, 1, 150, 499}) {
        EXPECT_EQ(Line(CForm::kLineTrace).GetPoint(column), QPoint(column, SampleValue(column))) << column;
    }

    // 2 km with 0.25 m samples: every 16th sample, from 0 even while zoomed in
    // on the middle.
    doc.SetScale(5);
    SwitchOn(2, 0.25);
    doc.m_nZoom = 2;
    doc.m_bZoomed = true;
    doc.m_dZoomCentre = 1010; // window 760..1260 m: sample 3040 would start it
    doc.UpdateAllViews(nullptr, HINT_SCALE);
    for (int column : {0, 1, 2, 31, 250, 499}) {
        EXPECT_EQ(TraceValue(2, column), SampleValue(16 * column)) << column;
        EXPECT_EQ(doc.m_memory[2].m_displaySecond[column], SampleValue(16 * column));
    }
    EXPECT_EQ(doc.m_memory[2].m_displayMain[1], 0) << "the main plot's columns are not this form's to fill";
}

TEST_F(SecondScreenForm, TraceAddsTheShiftHeldToThePlot)
{
    SwitchOn(1, 0.125);
    WaveformRecord& r = doc.m_memory[1];
    r.m_samples[3] = 120;
    r.m_samples[4] = 100;
    r.m_samples[5] = -120;
    r.m_nShift = 20;
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
    EXPECT_EQ(TraceValue(1, 3), 127);
    EXPECT_EQ(TraceValue(1, 4), 120);
    EXPECT_EQ(TraceValue(1, 5), -100);
    r.m_nShift = -20;
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
    EXPECT_EQ(TraceValue(1, 5), -128);
    EXPECT_EQ(TraceValue(1, 4), 80);

    r.m_bOn = false;
    doc.UpdateAllViews(nullptr, HINT_MEMORY);
    EXPECT_FALSE(Line(CForm::kLineTrace + 1).IsVisible());
}

TEST_F(SecondScreenForm, CursorAndMarkerLinesInTheirWholeRangeColumns)
{
    doc.SetScale(4); // 2 m columns
    SwitchOn(0, 0.125);
    doc.m_dCursor1 = 21.2;  // 10.6 columns
    doc.m_dCursor2 = 300.8; // 150.4 columns
    doc.m_memory[0].m_dMarker1 = 41.0; // 20.5 columns
    doc.m_memory[0].m_dMarker2 = 40.8;
    ZoomAround(500); // the lines keep to the whole range, not the window
    EXPECT_EQ(Points(CForm::kLineCursor1), (std::vector<QPoint>{{11, 127}, {11, -128}}));
    EXPECT_EQ(Points(CForm::kLineCursor2), (std::vector<QPoint>{{150, 127}, {150, -128}}));
    EXPECT_FALSE(Line(CForm::kLineMarker).IsVisible()) << "markers only when shown";
    EXPECT_FALSE(Line(CForm::kLineMarker + 1).IsVisible());

    doc.m_bShowMarkers = true;
    doc.UpdateAllViews(nullptr, HINT_MARKERS);
    EXPECT_EQ(Line(CForm::kLineMarker).GetState(), CArrPoints::StateVisible | CArrPoints::StateLabel);
    EXPECT_EQ(Points(CForm::kLineMarker), (std::vector<QPoint>{{21, 127}, {21, -128}}));
    EXPECT_EQ(Points(CForm::kLineMarker + 1), (std::vector<QPoint>{{20, 127}, {20, -128}}));
    EXPECT_FALSE(Line(CForm::kLineMarker + 2).IsVisible()) << "M2 is off";

    doc.m_memory[0].m_bOn = false;
    doc.UpdateAllViews(nullptr, HINT_MEMORY);
    EXPECT_FALSE(Line(CForm::kLineMarker).IsVisible());
    EXPECT_FALSE(Line(CForm::kLineMarker + 1).IsVisible());
}

TEST_F(SecondScreenForm, LabelsInDistanceAndTheApproximationFlag)
{
    doc.SetScale(4);
    doc.m_dFactor = 3.0; // 1000 m of position is 500 m of distance
    doc.m_bApproximation = false;
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
    EXPECT_FALSE(form.GetPlot().GetApproximation());

    // The form's picture without its lines against plots labelled by hand.
    CScreenWnd& plot = form.GetPlot();
    for (int i = 0; i < plot.GetLineCount(); ++i) {
        plot.GetLine(i)->SetState(CArrPoints::StateHidden);
    }
    const auto render = [](CScreenWnd& p) {
        QImage image(p.size(), QImage::Format_RGB32);
        QPainter painter(&image);
        p.DrawScreen(painter);
        return image;
    };
    const auto labelled = [&](double right) {
        CScreenWnd reference(nullptr, 1);
        reference.resize(plot.size());
        reference.SetStyle(CScreenWnd::StyleGrid | CScreenWnd::StyleYLabels | CScreenWnd::StyleXLabels);
        reference.SetYRange(-128, 127, 255);
        reference.SetXRange(0, 500, 500);
        reference.SetYLabels(-128.0, 127.0);
        reference.SetXLabels(0, right);
        return render(reference);
    };
    const QImage picture = render(plot);
    EXPECT_TRUE(picture == labelled(500));
    EXPECT_FALSE(picture == labelled(1000));
}

TEST_F(SecondScreenForm, ClickMovesTheZoomCentreAndTheMainWindow)
{
    ZoomAround(500);
    HintLog log(doc);
    ClickPlot(100);
    EXPECT_EQ(doc.m_dZoomCentre, 200);
    double left = 0, right = 0;
    doc.GetViewWindow(left, right);
    EXPECT_EQ(left, 75);
    EXPECT_EQ(right, 325);
    EXPECT_EQ(FrameColumns(), std::make_pair(38, 163)) << "the frame follows";
    EXPECT_EQ(log.hints, std::vector<int>{HINT_REDRAW});

    ClickPlot(0);
    doc.GetViewWindow(left, right);
    EXPECT_EQ(left, 0);

    log.hints.clear();
    ClickPlot(400, Qt::RightButton);
    EXPECT_EQ(doc.m_dZoomCentre, 0) << "a right click does nothing";
    EXPECT_TRUE(log.hints.empty());
}

// A window around the form that would show a menu of its own.
class MenuCounter : public QWidget
{
public:
    int menus = 0;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        ++menus;
        event->accept();
    }
};

TEST_F(SecondScreenForm, ContextMenuRequestsOpenNoMenuHereOrAround)
{
    MenuCounter around;
    form.setParent(&around);
    const QPoint at(500, 60);
    QContextMenuEvent mouse(QContextMenuEvent::Mouse, at, form.GetPlot().mapToGlobal(at));
    QApplication::sendEvent(&form.GetPlot(), &mouse);
    QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, at, form.mapToGlobal(at));
    QApplication::sendEvent(&form, &keyboard);
    EXPECT_EQ(around.menus, 0);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    form.setParent(nullptr);
}

TEST_F(SecondScreenForm, WheelMovesTheCentreOneColumnANotch)
{
    ZoomAround(500);
    HintLog log(doc);
    SendWheel(&form.GetPlot(), -120);
    EXPECT_EQ(doc.m_dZoomCentre, 498);
    SendWheel(&form, 120);
    SendWheel(&form, 120);
    EXPECT_EQ(doc.m_dZoomCentre, 502) << "over the form as over the plot";
    for (int i = 0; i < 4; ++i) {
        SendWheel(&form.GetPlot(), 30);
    }
    EXPECT_EQ(doc.m_dZoomCentre, 504) << "fine deltas add up to one notch";
    EXPECT_EQ(log.hints, std::vector<int>(4, HINT_REDRAW));

    log.hints.clear();
    const QPointF middle(500, 60);
    QWheelEvent sideways(middle, form.mapToGlobal(middle), QPoint(), QPoint(120, 0), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
    for (QWidget* target : {static_cast<QWidget*>(&form.GetPlot()), static_cast<QWidget*>(&form)}) {
        QApplication::sendEvent(target, &sideways);
        EXPECT_FALSE(sideways.isAccepted()) << "left to the parent";
    }
    EXPECT_EQ(doc.m_dZoomCentre, 504) << "a horizontal turn is not a step";
    EXPECT_TRUE(log.hints.empty());
    EXPECT_EQ(doc.m_nZoom, 2);
}

TEST_F(SecondScreenForm, UpdatesAreFollowedWhileCollapsed)
{
    form.resize(0, 0);
    SwitchOn(0, 0.125);
    doc.m_dCursor1 = 10;
    ZoomAround(500);
    EXPECT_TRUE(Line(CForm::kLineTrace).IsVisible());
    EXPECT_EQ(TraceValue(0, 7), SampleValue(7 * 16));
    EXPECT_EQ(FrameColumns(), std::make_pair(188, 313));
    EXPECT_EQ(Line(CForm::kLineCursor1).GetPoint(0).x(), 5);
}

TEST(SecondScreenFormStart, NothingHappensBeforeTheInitialUpdate)
{
    TempDir dir;
    dir.WriteFile("param.ini", "[KLM-204]\nSCALE=4\nCURSOR1=100000\n");
    CZR815KDoc doc(dir / "param.ini");
    doc.m_memory[0].m_bOn = true;
    doc.m_memory[0].m_dSampleStep = 0.125;
    doc.m_memory[0].m_samples.fill(50);
    CForm form(doc);
    form.resize(1000, 120);
    doc.UpdateAllViews(nullptr, HINT_MEMORY);
    EXPECT_FALSE(form.IsReady());
    const CArrPoints& trace = *form.GetPlot().GetLine(CForm::kLineTrace);
    EXPECT_FALSE(trace.IsVisible());
    EXPECT_EQ(trace.GetPoint(3), QPoint(0, 0));
    EXPECT_EQ(doc.m_memory[0].m_displaySecond[3], 0);
    EXPECT_EQ(form.GetPlot().GetLine(CForm::kLineFrameRight)->GetPoint(0), QPoint(0, 0));

    form.OnInitialUpdate();
    EXPECT_TRUE(form.IsReady());
    EXPECT_EQ(form.GetPlot().GetLine(CForm::kLineFrameRight)->GetPoint(0), QPoint(500, 127));
    EXPECT_EQ(form.GetPlot().GetLine(CForm::kLineCursor1)->GetPoint(0), QPoint(50, 127));
    EXPECT_EQ(form.GetPlot().GetLine(CForm::kLineCursor1)->GetPoint(1), QPoint(50, -128));
}

} // namespace
