#include "display/Form.h"

#include "model/Difference.h"
#include "model/ScaleTables.h"
#include "model/ZR815KDoc.h"

#include <QWheelEvent>
#include <vector>

namespace {

QColor ToQColor(const Colour& c) { return QColor(c.r, c.g, c.b); }

constexpr int kShownWithLabel = CArrPoints::StateVisible | CArrPoints::StateLabel;

// A line from one data point to another.
void PlaceSegment(CScreenWnd& plot, int index, QPoint from, QPoint to)
{
    CArrPoints* line = plot.GetLine(index);
    line->SetPoint(0, from.x(), from.y());
    line->SetPoint(1, to.x(), to.y());
}

// A line over the plot's full height in a column.
void PlaceVerticalLine(CScreenWnd& plot, int index, int column)
{
    PlaceSegment(plot, index, {column, plot.GetYMax()}, {column, plot.GetYMin()});
}

} // namespace

CForm::CForm(CZR815KDoc& doc, QWidget* parent)
    : CFormView(doc, parent), m_plot(this, kPlotId)
{
    // No context menu: a request for one is taken here and goes no further.
    setContextMenuPolicy(Qt::PreventContextMenu);
    CreatePlot();
}

void CForm::CreatePlot()
{
    const CZR815KDoc& doc = GetDocument();
    m_plot.setAccessibleName(tr("Whole-range plot"));
    m_plot.SetWaveformAxes(doc.m_dScale);

    // Every line with its colour, vertex count, name and state at creation.
    struct LineSetup
    {
        QColor colour;
        int count;
        QString name;
        int state;
    };
    std::vector<LineSetup> lines = {{ToQColor(doc.m_crCursor1), 2, "1", kShownWithLabel},
                                    {ToQColor(doc.m_crCursor2), 2, "2", kShownWithLabel}};
    for (int side = kLineFrameLeft; side <= kLineFrameTop; ++side) {
        lines.push_back({QColor(200, 200, 200), 2, QString(), CArrPoints::StateVisible});
    }
    for (std::size_t k = 0; k < doc.m_memory.size(); ++k) {
        const QColor colour = ToQColor(doc.m_memory[k].m_crColor);
        lines.push_back({colour, tables::kColumns, QString("M%1").arg(k + 1), CArrPoints::StateHidden});
    }
    for (const WaveformRecord& record : doc.m_memory) {
        lines.push_back({ToQColor(record.m_crColor), 2, "M1", CArrPoints::StateHidden});
        lines.push_back({ToQColor(record.m_crColor), 2, "M2", CArrPoints::StateHidden});
    }
    for (const LineSetup& line : lines) {
        m_plot.AddLine(line.colour, line.count, line.name);
        m_plot.GetLine(m_plot.GetLineCount() - 1)->SetState(line.state);
    }

    connect(&m_plot, &CScreenWnd::clicked, this, [this](int code, QPoint point) {
        if (code == CScreenWnd::NM_CLICK) {
            ApplySecondScreenClick(GetDocument(), point.x());
        }
    });
    connect(&m_plot, &CScreenWnd::wheelTurned, this, &CForm::WheelTurned);
}

void CForm::resizeEvent(QResizeEvent* event)
{
    CFormView::resizeEvent(event);
    m_plot.SetPlotPosition(0, 0, width(), height());
}

void CForm::PlaceFrameAndCursors()
{
    const CZR815KDoc& doc = GetDocument();
    m_plot.SetApproximation(doc.m_bApproximation);
    m_plot.SetXLabels(0, doc.m_dScale / doc.m_dFactor * tables::kReferenceFactor);

    const auto [left, right] = ZoomFrameColumns(doc);
    const int top = m_plot.GetYMax();
    const int bottom = m_plot.GetYMin();
    PlaceSegment(m_plot, kLineFrameLeft, {left, top}, {left, bottom});
    PlaceSegment(m_plot, kLineFrameBottom, {left, bottom}, {right, bottom});
    PlaceSegment(m_plot, kLineFrameRight, {right, top}, {right, bottom});
    PlaceSegment(m_plot, kLineFrameTop, {left, top}, {right, top});

    m_plot.GetLine(kLineCursor1)->SetState(kShownWithLabel);
    m_plot.GetLine(kLineCursor2)->SetState(kShownWithLabel);
    PlaceVerticalLine(m_plot, kLineCursor1, WholeRangeColumn(doc, doc.m_dCursor1));
    PlaceVerticalLine(m_plot, kLineCursor2, WholeRangeColumn(doc, doc.m_dCursor2));
}

void CForm::OnInitialUpdate()
{
    PlaceFrameAndCursors();
    m_bReady = true;
}

// Every hint redraws the whole picture. The work is done even while the pane
// has no size, so the picture is current the moment it opens.
void CForm::OnUpdate(CDocView*, int)
{
    if (!m_bReady) {
        return;
    }
    CZR815KDoc& doc = GetDocument();
    // The whole range, whatever the main plot's zoom; every channel is picked
    // first, since a difference trace needs the reference's columns.
    for (WaveformRecord& record : doc.m_memory) {
        if (record.m_bOn) {
            doc.PickColumns(record, 0, doc.m_dScale, record.m_displaySecond);
        }
    }
    for (int k = 0; k < 3; ++k) {
        const WaveformRecord& record = doc.m_memory[k];
        CArrPoints* trace = m_plot.GetLine(kLineTrace + k);
        trace->SetState(record.m_bOn ? kShownWithLabel : CArrPoints::StateHidden);
        if (record.m_bOn) {
            const PickedColumns values = TraceValues(doc, k, &WaveformRecord::m_displaySecond);
            for (int i = 0; i < tables::kColumns; ++i) {
                trace->SetPoint(i, i, values[static_cast<std::size_t>(i)]);
            }
        }
        const bool markers = record.m_bOn && doc.m_bShowMarkers;
        const double positions[2] = {record.m_dMarker1, record.m_dMarker2};
        for (int m = 0; m < 2; ++m) {
            const int index = kLineMarker + 2 * k + m;
            m_plot.GetLine(index)->SetState(markers ? kShownWithLabel : CArrPoints::StateHidden);
            if (markers) {
                PlaceVerticalLine(m_plot, index, WholeRangeColumn(doc, positions[m]));
            }
        }
    }
    PlaceFrameAndCursors();
    m_plot.update();
    update();
}

void CForm::wheelEvent(QWheelEvent* event)
{
    // A turn with no vertical part is not a step; it goes on to the parent.
    const int delta = event->angleDelta().y();
    event->setAccepted(delta != 0);
    if (delta != 0) {
        WheelTurned(delta);
    }
}
