// The plot widget: the pure geometry (grid step, grid lines, mapping, click
// conversion, plot rectangle) and the pixels it renders into a QImage.
#include "display/ScreenWnd.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

namespace {

const QColor kSentinel(1, 2, 3), kBlack(0, 0, 0), kGrid(50, 50, 50);
const QColor kRed(200, 0, 0), kOrange(255, 153, 0), kGreen(0, 255, 0), kBlue(0, 0, 255);

using PixelSet = std::set<std::pair<int, int>>;

bool Is(const QImage& image, int x, int y, const QColor& color)
{
    return image.pixelColor(x, y).rgb() == color.rgb();
}

PixelSet PixelsOf(const QImage& image, const QColor& color)
{
    PixelSet pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Is(image, x, y, color))
                pixels.insert({x, y});
    return pixels;
}

// A plot configured as every host configures it: grid and both label sets,
// samples -128..127 over 255 units, 500 columns, 0..62.5 m across.
class PlotTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        plot.SetStyle(CScreenWnd::StyleGrid | CScreenWnd::StyleXLabels | CScreenWnd::StyleYLabels);
        plot.SetYRange(-128, 127, 255);
        plot.SetXRange(0, 500, 500);
        plot.SetYLabels(-128, 127);
        plot.SetXLabels(0, 62.5);
        SizeForPlot(500, 255);
    }

    // Sizes the widget so that its plot is w x h whatever the fonts measure.
    void SizeForPlot(int w, int h)
    {
        plot.resize(1000, 1000);
        const QRect r = plot.GetPlotRect();
        plot.resize(r.left() + w + CScreenWnd::kMargin, 1000 - r.height() + h);
        ASSERT_EQ(plot.GetPlotRect().size(), QSize(w, h));
    }

    QImage Render()
    {
        QImage image(plot.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        image.fill(kSentinel);
        QPainter painter(&image);
        plot.DrawScreen(painter);
        return image;
    }

    QPoint Pixel(int x, int y) const
    {
        return CScreenWnd::MapToPixel(QPoint(x, y), plot.GetPlotRect(), 0, 127, 500, 255);
    }

    CArrPoints& AddLine(const QColor& color, int count, int state = CArrPoints::StateVisible)
    {
        EXPECT_TRUE(plot.AddLine(color, count, QString()));
        CArrPoints& line = *plot.GetLine(plot.GetLineCount() - 1);
        line.SetState(state);
        return line;
    }

    // Cursor lines 0 and 1 (hidden unless shown), vertical in one column each.
    std::pair<CArrPoints*, CArrPoints*> AddCursors(int state = CArrPoints::StateHidden, int c1 = 100,
                                                   int c2 = 300)
    {
        CArrPoints* lines[2] = {&AddLine(kGreen, 2, state), &AddLine(kBlue, 2, state)};
        for (int i = 0; i < 2; ++i) {
            lines[i]->SetPoint(0, i ? c2 : c1, 127);
            lines[i]->SetPoint(1, i ? c2 : c1, -128);
        }
        return {lines[0], lines[1]};
    }

    CScreenWnd plot;
};

// --- Pure computations ------------------------------------------------------

TEST(PlotGeometry, GridStepAndTheLinesOfTheHostRanges)
{
    EXPECT_EQ(CScreenWnd::GridStep(255, 300.0 / 255), 30); // 2 x 10 gives only 23.5 pixels
    EXPECT_EQ(CScreenWnd::GridStep(1000, 600.0 / 1000), 100);
    EXPECT_EQ(CScreenWnd::GridStep(100, 5.0), 10);  // an exact power of ten keeps its decade
    EXPECT_EQ(CScreenWnd::GridStep(0.5, 100.0), 1); // a step below 1 becomes 1
    for (double span : {0.0, -255.0, double(NAN), double(INFINITY)})
        EXPECT_EQ(CScreenWnd::GridStep(span, span < 0 ? -1.0 : 1.0), 0) << span;

    // -128..127 on 255 pixels: 30 pixels is not enough, so a line every 40.
    const QRect plot(30, 5, 500, 255);
    std::vector<qint64> values;
    for (const auto& line : CScreenWnd::GridLinesY(-128, 127, plot)) {
        values.push_back(line.nValue);
        EXPECT_EQ(line.nPixel, plot.top() + 127 - line.nValue);
    }
    EXPECT_EQ(values, (std::vector<qint64>{120, 80, 40, 0, -40, -80, -120}));
    // 0..62.5 m on 500 pixels: a line every 4 m, 32 pixels apart.
    const auto columns = CScreenWnd::GridLinesX(0, 62.5, plot);
    ASSERT_EQ(columns.size(), 16u);
    for (size_t n = 0; n < columns.size(); ++n)
        EXPECT_EQ(columns[n], (CScreenWnd::GridLine{plot.left() + int(32 * n), qint64(4 * n)}));
    // Label texts: "%d" of the value truncated toward zero.
    EXPECT_EQ(CScreenWnd::LabelText(-128.7), "-128");
    EXPECT_EQ(CScreenWnd::LabelText(-0.5), "0");
}

TEST(PlotGeometry, GridLinesSitWhereTheirValuesLieForAnyRange)
{
    // Ranges starting between grid values, negative ones included. Each line
    // is rounded up twice (first line, step), so it may lie up to 2 pixels on.
    const QRect plot(40, 5, 400, 200);
    const std::pair<double, double> ranges[] = {{3.3, 71.9}, {-10, 10}, {-50, -10}, {-1234.5, 987.6}};
    for (const auto& [lo, hi] : ranges) {
        SCOPED_TRACE(testing::Message() << lo << ".." << hi);
        const auto check = [&](const std::vector<CScreenWnd::GridLine>& lines, auto expectedPixel) {
            ASSERT_FALSE(lines.empty());
            for (const auto& line : lines) {
                EXPECT_TRUE(line.nValue >= lo && line.nValue <= hi) << line.nValue;
                EXPECT_GE(line.nPixel, expectedPixel(line.nValue) - 1e-9);
                EXPECT_LT(line.nPixel, expectedPixel(line.nValue) + 2);
            }
        };
        check(CScreenWnd::GridLinesX(lo, hi, plot),
              [&](double v) { return plot.left() + (v - lo) * plot.width() / (hi - lo); });
        check(CScreenWnd::GridLinesY(lo, hi, plot),
              [&](double v) { return plot.top() + (hi - v) * plot.height() / (hi - lo); });
    }
    EXPECT_TRUE(CScreenWnd::GridLinesX(10, 10, plot).empty());
    EXPECT_TRUE(CScreenWnd::GridLinesY(127, -128, plot).empty());
}

TEST(PlotGeometry, MappingAndClickConversion)
{
    const QRect plot(30, 5, 300, 255);
    auto map = [&](int x, int y) { return CScreenWnd::MapToPixel(QPoint(x, y), plot, 0, 127, 500, 255); };
    EXPECT_EQ(map(0, 127), QPoint(30, 5));
    EXPECT_EQ(map(500, -128), QPoint(330, 260));
    EXPECT_EQ(map(1, 126), QPoint(31, 6)); // ceil(0.6) = 1
    EXPECT_EQ(map(2, 0), QPoint(32, 132)); // ceil(1.2) = 2
    // Points outside the range map outside the plot on their own side.
    EXPECT_LT(map(-5, 0).x(), plot.left());
    EXPECT_GT(map(0, -130).y(), plot.top() + plot.height());
    EXPECT_LT(map(0, 130).y(), plot.top());
    EXPECT_EQ(CScreenWnd::MapToPixel(QPoint(100, 0), plot, 100, 0, 300, 255), QPoint(30, 5));

    // A click on a data point's pixel gives that point back.
    const QRect exact(27, 5, 500, 255);
    for (int column = 0; column < 500; column += 37)
        for (int value = 127; value > -128; value -= 23) {
            const QPoint pixel = CScreenWnd::MapToPixel(QPoint(column, value), exact, 0, 127, 500, 255);
            EXPECT_EQ(CScreenWnd::PixelToData(pixel, exact, 0, 127, 500, 255), QPoint(column, value));
        }
    const QRect wide(27, 5, 1000, 255); // two pixels per column, axis starting at 1000
    EXPECT_EQ(CScreenWnd::PixelToData(QPoint(27 + 501, 5), wide, 1000, 127, 500, 255), QPoint(1250, 127));
}

// --- Rendering --------------------------------------------------------------

TEST_F(PlotTest, GridLiesAtTheComputedPixelsAndFollowsChanges)
{
    QImage image = Render();
    const QRect r = plot.GetPlotRect();
    std::set<int> rows, columns;
    for (const auto& line : CScreenWnd::GridLinesY(-128, 127, r))
        rows.insert(line.nPixel);
    for (const auto& line : CScreenWnd::GridLinesX(0, 62.5, r))
        columns.insert(line.nPixel);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const bool inPlot =
                x >= r.left() && x <= r.left() + r.width() && y >= r.top() && y <= r.top() + r.height();
            const bool inLabelMargin = x < r.left() || y > r.top() + r.height();
            // Grid or background inside; the top and right margins stay plain.
            const QColor expected = inPlot && (rows.count(y) || columns.count(x)) ? kGrid : kBlack;
            if (inPlot || !inLabelMargin) {
                ASSERT_TRUE(Is(image, x, y, expected)) << x << "," << y;
            }
        }

    const int probe = r.top() + r.height() - 3; // below the lowest horizontal line
    plot.SetXLabels(0, 125);                    // the cache must follow: now every 10 m = 40 pixels
    image = Render();
    EXPECT_TRUE(Is(image, r.left() + 32, probe, kBlack));
    EXPECT_TRUE(Is(image, r.left() + 40, probe, kGrid));
    plot.SetStyle(0); // no grid: plain background
    EXPECT_TRUE(PixelsOf(Render(), kGrid).empty());
    plot.SetStyle(CScreenWnd::StyleGrid);
    SizeForPlot(250, 255); // 20 pixels per 10 m: the step doubles
    image = Render();
    const QRect half = plot.GetPlotRect();
    EXPECT_TRUE(Is(image, half.left() + 40, half.top() + half.height() - 3, kGrid));
    EXPECT_TRUE(Is(image, half.left() + 20, half.top() + half.height() - 3, kBlack));
}

TEST_F(PlotTest, OneVertexIsOnePixelAndInvisibleVerticesDrawNothing)
{
    const QImage blank = Render();
    AddCursors();
    CArrPoints& outside = AddLine(kRed, 4, CArrPoints::StateVisible | CArrPoints::StateLabel);
    outside.SetName("M1");
    const QPoint away[] = {{-1, 0}, {501, 0}, {250, 128}, {250, -129}};
    for (int i = 0; i < 4; ++i)
        outside.SetPoint(i, away[i].x(), away[i].y());
    AddLine(kOrange, 1).SetPoint(0, 600, 0);
    EXPECT_EQ(Render(), blank);

    AddLine(kBlue, 1).SetPoint(0, 250, 10);
    const PixelSet pixels = PixelsOf(Render(), kBlue);
    EXPECT_EQ(pixels, (PixelSet{{Pixel(250, 10).x(), Pixel(250, 10).y()}}));
}

TEST_F(PlotTest, ColumnFiveHundredIsTheLastColumnInside)
{
    CArrPoints* c2 = AddCursors().second;
    // A lone vertex on the right edge is one pixel there.
    AddLine(kOrange, 1).SetPoint(0, 500, 10);
    EXPECT_EQ(PixelsOf(Render(), kOrange), (PixelSet{{Pixel(500, 10).x(), Pixel(500, 10).y()}}));

    // A line ending there keeps its name label.
    CArrPoints& line = AddLine(kRed, 2, CArrPoints::StateVisible | CArrPoints::StateLabel);
    line.SetName("M1");
    line.SetPoint(0, 100, 0);
    line.SetPoint(1, 500, 0);
    const QFontMetrics fm(CScreenWnd::PlotFont());
    const QPoint corner(Pixel(500, 0).x() - fm.horizontalAdvance("M1") / 2, Pixel(500, 0).y() - fm.height() / 3);
    EXPECT_TRUE(Is(Render(), corner.x(), corner.y(), kRed));

    // A cursor in column 500 runs the whole height of the plot.
    c2->SetPoint(0, 500, 127);
    c2->SetPoint(1, 500, -128);
    c2->SetState(CArrPoints::StateVisible);
    const QImage image = Render();
    const QRect r = plot.GetPlotRect();
    for (int y = r.top(); y <= r.top() + r.height(); ++y)
        ASSERT_TRUE(Is(image, Pixel(500, 0).x(), y, kBlue)) << y;
}

TEST_F(PlotTest, StaircaseWithoutApproximation)
{
    SizeForPlot(1000, 255); // two pixels per column
    AddCursors();
    CArrPoints& trace = AddLine(kRed, 500);
    std::vector<int> v(500);
    for (int i = 0; i < 500; ++i) {
        v[size_t(i)] = (i * 7) % 200 - 100; // a sawtooth
        trace.SetPoint(i, i, v[size_t(i)]);
    }
    plot.SetApproximation(false);
    // For each vertex: a vertical step at the previous column, then a run as
    // wide as one column at the new value.
    PixelSet expected;
    for (int i = 1; i < 500; ++i) {
        const QPoint from = Pixel(i - 1, v[size_t(i - 1)]), corner = Pixel(i - 1, v[size_t(i)]);
        const QPoint to = Pixel(i, v[size_t(i)]);
        for (int y = std::min(from.y(), corner.y()); y <= std::max(from.y(), corner.y()); ++y)
            expected.insert({corner.x(), y});
        for (int x = corner.x(); x <= to.x(); ++x)
            expected.insert({x, to.y()});
    }
    EXPECT_EQ(PixelsOf(Render(), kRed), expected);

    plot.SetApproximation(true);
    const PixelSet straight = PixelsOf(Render(), kRed);
    EXPECT_NE(straight, expected);
    for (int i = 0; i < 500; i += 50)
        EXPECT_TRUE(straight.count({Pixel(i, v[size_t(i)]).x(), Pixel(i, v[size_t(i)]).y()}));
}

TEST_F(PlotTest, CursorLinesGoOverTracesAndTracesStayInThePlot)
{
    AddCursors(CArrPoints::StateVisible);
    CArrPoints& m1 = AddLine(kRed, 500);
    CArrPoints& m2 = AddLine(kOrange, 500);
    for (int i = 0; i < 500; ++i) {
        m1.SetPoint(i, i, 0);
        m2.SetPoint(i, i, i < 200 ? 0 : 20); // over M1 on the left
    }
    plot.SetApproximation(true);
    QImage image = Render();
    EXPECT_TRUE(Is(image, Pixel(100, 0).x(), Pixel(100, 0).y(), kGreen));
    EXPECT_TRUE(Is(image, Pixel(300, 20).x(), Pixel(300, 20).y(), kBlue));
    EXPECT_TRUE(Is(image, Pixel(50, 0).x(), Pixel(50, 0).y(), kOrange)); // later traces over earlier
    const QRect r = plot.GetPlotRect();
    for (int y = r.top(); y <= r.top() + r.height(); ++y)
        ASSERT_TRUE(Is(image, Pixel(100, 0).x(), y, kGreen)) << y;

    // Vertices after a visible one are joined, but nothing leaves the plot.
    const QPoint wild[] = {{250, 0}, {700, 300}, {-300, -400}, {10, 10}};
    for (int i = 0; i < 500; ++i)
        m1.SetPoint(i, wild[std::min(i, 3)].x(), wild[std::min(i, 3)].y());
    const PixelSet red = PixelsOf(Render(), kRed);
    ASSERT_FALSE(red.empty());
    const QRect area(r.left(), r.top(), r.width() + 1, r.height() + 1);
    for (const auto& [x, y] : red)
        ASSERT_TRUE(area.contains(x, y)) << x << "," << y;
}

TEST_F(PlotTest, NameLabelOnlyWhenTheLastVertexIsVisible)
{
    AddCursors();
    CArrPoints& line = AddLine(kRed, 2);
    line.SetName("M1");
    line.SetPoint(0, 100, 0);
    line.SetPoint(1, 300, 0);
    line.SetState(CArrPoints::StateVisible | CArrPoints::StateLabel);
    // An opaque box of the line's colour fills the label's text extent
    // (top-left corner one third of the text height above the vertex), the
    // text is in the complementary colour.
    const QImage labelled = Render();
    const QFontMetrics fm(CScreenWnd::PlotFont());
    const QPoint corner(Pixel(300, 0).x() - fm.horizontalAdvance("M1") / 2,
                        Pixel(300, 0).y() - fm.height() / 3);
    EXPECT_TRUE(Is(labelled, corner.x(), corner.y(), kRed));
    EXPECT_FALSE(PixelsOf(labelled, QColor(55, 255, 255)).empty());

    line.SetPoint(1, 501, 0); // last vertex outside: the line is drawn, its label is not
    const QImage withFlag = Render();
    line.SetState(CArrPoints::StateVisible);
    EXPECT_EQ(Render(), withFlag);
}

TEST_F(PlotTest, ZeroSizedAndTooSmallWidgetsDrawNothing)
{
    AddCursors(CArrPoints::StateVisible);
    for (const QSize size : {QSize(0, 0), QSize(0, 100), QSize(100, 0), QSize(20, 20), QSize(200, 22)}) {
        plot.resize(size);
        const QImage image = Render();
        EXPECT_EQ(PixelsOf(image, kSentinel).size(), size_t(image.width() * image.height()))
            << size.width() << "x" << size.height();
    }
}

TEST_F(PlotTest, PrintIsBlackWithCursorsUnderTraces)
{
    auto [c1, c2] = AddCursors(CArrPoints::StateVisible | CArrPoints::StateLabel, 250, 250);
    c1->SetName("1");
    c2->SetState(CArrPoints::StateHidden);
    CArrPoints& m1 = AddLine(kRed, 500);
    for (int i = 0; i < 500; ++i)
        m1.SetPoint(i, i, -128); // along the bottom edge, through C1's label box

    const QRect target = CScreenWnd::PrintTargetRect(200);
    QImage paper(target.size() + QSize(20, 20), QImage::Format_RGB32);
    paper.fill(Qt::white);
    {
        QPainter painter(&paper);
        plot.DrawPrint(painter, 200);
    }
    for (int y = 0; y < paper.height(); ++y) // greys only: black, white, the label box
        for (int x = 0; x < paper.width(); ++x) {
            const QColor c = paper.pixelColor(x, y);
            ASSERT_TRUE(c.red() == c.green() && c.green() == c.blue()) << x << "," << y;
        }
    // The frame around the picture, nothing beyond it.
    EXPECT_TRUE(Is(paper, 0, 200, kBlack) && Is(paper, target.width() - 1, 200, kBlack));
    EXPECT_TRUE(Is(paper, target.width() + 5, 200, QColor(Qt::white)));

    // Label margins on paper are 1.8 times their screen measure.
    const QRect r = plot.GetPrintPlotRect(target);
    const QFontMetrics fm(CScreenWnd::PlotFont());
    EXPECT_EQ(r.left(), int(1.8 * (fm.horizontalAdvance("-128") + 3)));
    EXPECT_EQ(r.top() + r.height(), target.height() - int(1.8 * (fm.height() + 3)));
    const QPoint top = CScreenWnd::MapToPixel(QPoint(250, 127), r, 0, 127, 500, 255);
    const QPoint bottom = CScreenWnd::MapToPixel(QPoint(250, -128), r, 0, 127, 500, 255);
    EXPECT_TRUE(Is(paper, top.x(), top.y() + 10, kBlack));
    for (int x = bottom.x() - 2; x <= bottom.x() + 2; ++x) // the trace over C1's label box
        EXPECT_TRUE(Is(paper, x, bottom.y(), kBlack)) << x;

    const QImage screen = Render(); // on the screen the label box covers the trace
    for (int x = Pixel(250, -128).x() - 2; x <= Pixel(250, -128).x() + 2; ++x)
        EXPECT_FALSE(Is(screen, x, Pixel(250, -128).y(), kRed)) << x;
}

// --- Mouse ------------------------------------------------------------------

class PlotMouseTest : public PlotTest
{
  protected:
    void SetUp() override
    {
        PlotTest::SetUp();
        QObject::connect(&plot, &CScreenWnd::clicked, [this](int code, QPoint pt) {
            clicks.push_back({code, pt});
        });
        QObject::connect(&plot, &CScreenWnd::wheelTurned, [this](int delta) { wheel.push_back(delta); });
    }

    void Send(QEvent::Type type, const QPoint& pos, Qt::MouseButton button = Qt::LeftButton)
    {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
        QMouseEvent event(type, QPointF(pos), plot.mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
        QApplication::sendEvent(&plot, &event);
    }
    void Press(QPoint pos, Qt::MouseButton b = Qt::LeftButton) { Send(QEvent::MouseButtonPress, pos, b); }
    void Release(QPoint pos, Qt::MouseButton b = Qt::LeftButton) { Send(QEvent::MouseButtonRelease, pos, b); }
    QPoint InMargin() const { return QPoint(2, plot.GetPlotRect().center().y()); }

    std::vector<std::pair<int, QPoint>> clicks;
    std::vector<int> wheel;
};

TEST_F(PlotMouseTest, OnlyAReleaseInsideThePlotTurnsAPressIntoAClick)
{
    Press(InMargin()); // pressed in the label margin, released inside: a click
    Release(Pixel(250, 0));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_pair(int(CScreenWnd::NM_CLICK), QPoint(250, 0)));
    EXPECT_EQ(plot.GetLeftClick(), QPoint(250, 0));
    Release(Pixel(10, 10)); // the press was used up
    EXPECT_EQ(clicks.size(), 1u);

    Press(Pixel(100, 50)); // pressed inside, released in the margin: none yet
    Release(InMargin());
    Release(QPoint(-20, 900));
    EXPECT_EQ(clicks.size(), 1u);
    Release(Pixel(400, -60)); // the next release inside counts
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[1].second, QPoint(400, -60));

    Press(plot.GetPlotRect().topLeft());
    Release(plot.GetPlotRect().topLeft());
    EXPECT_EQ(clicks.back().second, QPoint(0, 127)); // the top row is the top value
}

TEST_F(PlotMouseTest, ButtonsAreTrackedApartAndTheWheelReportsRawDeltas)
{
    Press(Pixel(5, 5), Qt::RightButton);
    Release(Pixel(7, 8)); // a left release without a left press
    EXPECT_TRUE(clicks.empty());
    Release(Pixel(7, 8), Qt::RightButton);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_pair(int(CScreenWnd::NM_RCLICK), QPoint(7, 8)));
    EXPECT_EQ(plot.GetRightClick(), QPoint(7, 8));
    EXPECT_EQ(plot.GetLeftClick(), QPoint(0, 0));

    for (const QPoint delta : {QPoint(0, -120), QPoint(0, 15), QPoint(120, 0)}) {
        const QPointF pos(plot.GetPlotRect().center());
        QWheelEvent event(pos, plot.mapToGlobal(pos), QPoint(), delta, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&plot, &event);
    }
    EXPECT_EQ(wheel, (std::vector<int>{-120, 15})); // a sideways turn is no step
}

} // namespace

namespace {

// Section boundaries: dashed lines under the traces, names at the top, nothing
// outside the horizontal range.
TEST_F(PlotTest, BoundariesAreDashedUnderTheTracesAndClipped)
{
    CArrPoints& trace = AddLine(kRed, 500);
    for (int i = 0; i < 500; ++i) {
        trace.SetPoint(i, i, 0);
    }
    plot.SetBoundaries({{250, "Cable B"}, {501, "beyond"}, {-1, "before"}});
    const QImage image = Render();
    const QColor mark = CScreenWnd::BoundaryColor();
    const int x = Pixel(250, 0).x();
    const QRect r = plot.GetPlotRect();
    int marked = 0;
    int gaps = 0;
    for (int y = r.top() + 20; y <= r.bottom(); ++y) {
        (Is(image, x, y, mark) ? marked : gaps) += 1;
    }
    EXPECT_GT(marked, r.height() / 4);
    EXPECT_GT(gaps, 5); // dashed, not solid
    EXPECT_TRUE(Is(image, x, Pixel(250, 0).y(), kRed)); // the trace goes over it
    // The name stands right of the line near the top.
    int label = 0;
    for (int y = r.top(); y < r.top() + 20; ++y) {
        for (int dx = 2; dx < 60; ++dx) {
            label += qGray(image.pixel(x + dx, y)) > 90 ? 1 : 0; // text is smoothed: bright, not exact
        }
    }
    EXPECT_GT(label, 5);
    // Only the one inside the range is drawn anywhere.
    std::set<int> columns;
    for (const auto& [px, py] : PixelsOf(image, mark)) {
        if (py > r.top() + 20) {
            columns.insert(px);
        }
    }
    EXPECT_EQ(columns, std::set<int>{x});
}

} // namespace
