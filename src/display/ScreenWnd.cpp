#include "display/ScreenWnd.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintDevice>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QResizeEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Colours of the screen picture.
const QColor kBackColor(0, 0, 0);
const QColor kGridColor(50, 50, 50);
const QColor kLabelColor(127, 127, 127);
// Background of a name label on paper.
const QColor kPrintLabelBack(50, 50, 50);

// Label values beyond this magnitude get no grid: they could not be printed
// as whole numbers and the step arithmetic would lose its precision.
constexpr double kMaxLabelMagnitude = 1e15;
// Pixel coordinates are held within this distance of the origin, so a vertex
// far outside the data range cannot overflow the integer pixel arithmetic.
constexpr qint64 kPixelLimit = qint64(1) << 22;

// ceil(a / b) for b > 0.
qint64 CeilDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if (a % b != 0 && a > 0)
        ++q;
    return q;
}

int ClampPixel(qint64 v)
{
    return static_cast<int>(std::clamp(v, -kPixelLimit, kPixelLimit));
}

int ClampToInt(double v)
{
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    if (!(v >= lo))
        return std::numeric_limits<int>::min();
    if (!(v <= hi))
        return std::numeric_limits<int>::max();
    return static_cast<int>(v);
}

bool UsableLabelRange(double dLo, double dHi)
{
    return std::isfinite(dLo) && std::isfinite(dHi) && std::fabs(dLo) <= kMaxLabelMagnitude &&
           std::fabs(dHi) <= kMaxLabelMagnitude && dHi > dLo;
}

QColor Complement(const QColor& c)
{
    return QColor(255 - c.red(), 255 - c.green(), 255 - c.blue());
}

// Draws text with its top-left corner at (x, y).
void DrawTextTopLeft(QPainter& painter, const QFontMetrics& fm, int x, int y, const QString& text)
{
    painter.drawText(QPoint(x, y + fm.ascent()), text);
}

} // namespace

CScreenWnd::CScreenWnd(QWidget* parent, int nID)
    : QWidget(parent), m_fontScreen(PlotFont()), m_fontPrint(PlotFont()), m_ptLeftClick(0, 0),
      m_ptRightClick(0, 0), m_nID(nID)
{
    setContextMenuPolicy(Qt::CustomContextMenu);
    setCursor(Qt::ArrowCursor);
}

CScreenWnd::~CScreenWnd() = default;

// --- Configuration ---------------------------------------------------------

void CScreenWnd::SetPlotRect(const QRect& rect, bool bRepaint)
{
    setGeometry(rect);
    if (bRepaint)
        update();
}

void CScreenWnd::SetPlotPosition(int x, int y, int cx, int cy, bool bRepaint)
{
    SetPlotRect(QRect(x, y, cx, cy), bRepaint);
}

void CScreenWnd::SetStyle(int nFlags)
{
    const int nStyle = (m_nStyle & StyleApproximation) | (nFlags & (StyleGrid | StyleYLabels | StyleXLabels));
    if (nStyle == m_nStyle)
        return;
    m_nStyle = nStyle;
    InvalidateBackground();
    update();
}

void CScreenWnd::SetApproximation(bool bApproximation)
{
    const int nStyle = bApproximation ? (m_nStyle | StyleApproximation) : (m_nStyle & ~StyleApproximation);
    if (nStyle == m_nStyle)
        return;
    m_nStyle = nStyle;
    update();
}

void CScreenWnd::SetYRange(int nMin, int nMax, unsigned nCount)
{
    m_nYMin = nMin;
    m_nYMax = nMax;
    m_nYCount = nCount;
    update();
}

void CScreenWnd::SetXRange(int nMin, int nMax, unsigned nCount)
{
    m_nXMin = nMin;
    m_nXMax = nMax;
    m_nXCount = nCount;
    update();
}

void CScreenWnd::SetYLabels(double dLo, double dHi)
{
    if (dLo == m_dYLabelLo && dHi == m_dYLabelHi)
        return;
    m_dYLabelLo = dLo;
    m_dYLabelHi = dHi;
    InvalidateBackground();
    update();
}

void CScreenWnd::SetXLabels(double dLo, double dHi)
{
    if (dLo == m_dXLabelLo && dHi == m_dXLabelHi)
        return;
    m_dXLabelLo = dLo;
    m_dXLabelHi = dHi;
    InvalidateBackground();
    update();
}

int CScreenWnd::ClampValue(int nValue, int nMax, int nMin)
{
    if (nValue > nMax)
        return nMax;
    if (nValue < nMin)
        return nMin;
    return nValue;
}

bool CScreenWnd::AddLine(const QColor& crColor, int nCount, const QString& strName)
{
    if (nCount < 0)
        return false;
    m_lines.push_back(std::make_unique<CArrPoints>(crColor, nCount, strName));
    return true;
}

CArrPoints* CScreenWnd::GetLine(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetLineCount())
        return nullptr;
    return m_lines[static_cast<size_t>(nIndex)].get();
}

const CArrPoints* CScreenWnd::GetLine(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetLineCount())
        return nullptr;
    return m_lines[static_cast<size_t>(nIndex)].get();
}

bool CScreenWnd::IsPointVisible(const QPoint& pt) const
{
    const int xLo = std::min(m_nXMin, m_nXMax), xHi = std::max(m_nXMin, m_nXMax);
    const int yLo = std::min(m_nYMin, m_nYMax), yHi = std::max(m_nYMin, m_nYMax);
    return pt.x() >= xLo && pt.x() <= xHi && pt.y() >= yLo && pt.y() <= yHi;
}

QRect CScreenWnd::GetPlotRect() const
{
    return ComputePlotRect(rect(), m_nStyle, m_dYLabelLo, m_dYLabelHi, QFontMetrics(m_fontScreen), 1.0);
}

QRect CScreenWnd::GetPrintPlotRect(const QRect& rcPrint) const
{
    return ComputePlotRect(rcPrint, m_nStyle, m_dYLabelLo, m_dYLabelHi, QFontMetrics(m_fontPrint),
                           kPrintMarginFactor);
}

// --- Pure computations -----------------------------------------------------

QFont CScreenWnd::PlotFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    return font;
}

QRect CScreenWnd::PrintTargetRect(int nPageWidthMm)
{
    return QRect(0, 0, 4 * nPageWidthMm - 120, kPrintHeight);
}

QRect CScreenWnd::ComputePlotRect(const QRect& rcArea, int nStyle, double dYLabelLo, double dYLabelHi,
                                  const QFontMetrics& fm, double dFactor)
{
    int nLeftMargin = kMargin;
    if (nStyle & StyleYLabels) {
        const int w =
            std::max(fm.horizontalAdvance(LabelText(dYLabelLo)), fm.horizontalAdvance(LabelText(dYLabelHi)));
        nLeftMargin = static_cast<int>(dFactor * (w + kLabelGap));
    }
    int nBottomMargin = kMargin;
    if (nStyle & StyleXLabels) {
        // Every "%d" text of the font measures the same height.
        nBottomMargin = static_cast<int>(dFactor * (fm.height() + kLabelGap));
    }
    const int left = rcArea.left() + nLeftMargin;
    const int top = rcArea.top() + kMargin;
    const int right = rcArea.left() + rcArea.width() - kMargin;
    const int bottom = rcArea.top() + rcArea.height() - nBottomMargin;
    return QRect(left, top, right - left, bottom - top);
}

QPoint CScreenWnd::MapToPixel(const QPoint& ptData, const QRect& rcPlot, int nXMin, int nYMax,
                              unsigned nXCount, unsigned nYCount)
{
    if (nXCount == 0 || nYCount == 0)
        return rcPlot.topLeft();
    const qint64 dx = qint64(ptData.x()) - nXMin;
    const qint64 dy = qint64(nYMax) - ptData.y();
    const qint64 x = rcPlot.left() + CeilDiv(dx * rcPlot.width(), nXCount);
    const qint64 y = rcPlot.top() + CeilDiv(dy * rcPlot.height(), nYCount);
    return QPoint(ClampPixel(x), ClampPixel(y));
}

QPoint CScreenWnd::PixelToData(const QPoint& ptPixel, const QRect& rcPlot, int nXMin, int nYMax,
                               unsigned nXCount, unsigned nYCount)
{
    if (rcPlot.width() < 1 || rcPlot.height() < 1)
        return QPoint(nXMin, nYMax);
    const double dx = double(qint64(ptPixel.x()) - rcPlot.left()) * nXCount / rcPlot.width();
    const double dy = double(qint64(ptPixel.y()) - rcPlot.top()) * nYCount / rcPlot.height();
    return QPoint(ClampToInt(std::trunc(double(nXMin) + std::trunc(dx))),
                  ClampToInt(std::trunc(double(nYMax) - dy)));
}

qint64 CScreenWnd::GridStep(double dSpan, double dPixelsPerUnit)
{
    if (!std::isfinite(dSpan) || !(dSpan > 0) || dSpan > 2 * kMaxLabelMagnitude ||
        !std::isfinite(dPixelsPerUnit) || !(dPixelsPerUnit > 0))
        return 0;
    // Decade of the span; log10 may land just beside an exact power of ten.
    int e = static_cast<int>(std::floor(std::log10(dSpan)));
    if (std::pow(10.0, e + 1) <= dSpan)
        ++e;
    else if (std::pow(10.0, e) > dSpan)
        --e;
    const double dStep = std::trunc(std::pow(10.0, e - 1));
    const qint64 nStep = dStep < 1 ? 1 : static_cast<qint64>(dStep);
    const double dUnitPixels = double(nStep) * dPixelsPerUnit;
    const double dNeeded = kMinGridPixels / dUnitPixels;
    if (!(dUnitPixels > 0) || dNeeded > 1e9)
        return 0;
    qint64 k = std::max<qint64>(1, static_cast<qint64>(std::floor(dNeeded)));
    while (double(k) * dUnitPixels <= kMinGridPixels)
        ++k;
    while (k > 1 && double(k - 1) * dUnitPixels > kMinGridPixels)
        --k;
    return k * nStep;
}

std::vector<CScreenWnd::GridLine> CScreenWnd::GridLinesY(double dLabelLo, double dLabelHi,
                                                         const QRect& rcPlot)
{
    std::vector<GridLine> lines;
    if (rcPlot.height() < 1 || !UsableLabelRange(dLabelLo, dLabelHi))
        return lines;
    const double dPixelsPerUnit = rcPlot.height() / (dLabelHi - dLabelLo);
    const qint64 g = GridStep(dLabelHi - dLabelLo, dPixelsPerUnit);
    if (g == 0)
        return lines;
    // The first line carries the largest multiple of g not above the top label.
    const qint64 a = static_cast<qint64>(std::floor(dLabelHi / double(g))) * g;
    const int bottom = rcPlot.top() + rcPlot.height();
    const double y0 = std::ceil((dLabelHi - double(a)) * dPixelsPerUnit + rcPlot.top());
    for (qint64 n = 0;; ++n) {
        const double y = std::ceil(y0 + double(n * g) * dPixelsPerUnit);
        if (y > bottom)
            break;
        lines.push_back({static_cast<int>(y), a - n * g});
    }
    return lines;
}

std::vector<CScreenWnd::GridLine> CScreenWnd::GridLinesX(double dLabelLo, double dLabelHi,
                                                         const QRect& rcPlot)
{
    std::vector<GridLine> lines;
    if (rcPlot.width() < 1 || !UsableLabelRange(dLabelLo, dLabelHi))
        return lines;
    const double dPixelsPerUnit = rcPlot.width() / (dLabelHi - dLabelLo);
    const qint64 g = GridStep(dLabelHi - dLabelLo, dPixelsPerUnit);
    if (g == 0)
        return lines;
    // The first line carries the smallest multiple of g not below the left label.
    const qint64 b = static_cast<qint64>(std::ceil(dLabelLo / double(g))) * g;
    const int right = rcPlot.left() + rcPlot.width();
    const double x0 = std::ceil((double(b) - dLabelLo) * dPixelsPerUnit + rcPlot.left());
    for (qint64 n = 0;; ++n) {
        const double x = std::ceil(x0 + double(n * g) * dPixelsPerUnit);
        if (x > right)
            break;
        lines.push_back({static_cast<int>(x), b + n * g});
    }
    return lines;
}

QString CScreenWnd::LabelText(double dValue)
{
    constexpr double lo = -9.2e18, hi = 9.2e18;
    if (std::isnan(dValue))
        return QStringLiteral("0");
    return QString::number(static_cast<qint64>(std::clamp(std::trunc(dValue), lo, hi)));
}

// --- Drawing ---------------------------------------------------------------

void CScreenWnd::DrawGrid(QPainter& painter, const QRect& rcPlot, const QFont& font, const QPen& penGrid,
                          const QColor& crText) const
{
    const QFontMetrics fm(font);
    const int left = rcPlot.left(), top = rcPlot.top();
    const int right = left + rcPlot.width(), bottom = top + rcPlot.height();
    painter.setFont(font);

    for (const GridLine& line : GridLinesY(m_dYLabelLo, m_dYLabelHi, rcPlot)) {
        painter.setPen(penGrid);
        painter.drawLine(left, line.nPixel, right, line.nPixel);
        if (m_nStyle & StyleYLabels) {
            const QString text = QString::number(line.nValue);
            painter.setPen(crText);
            DrawTextTopLeft(painter, fm, left - fm.horizontalAdvance(text), line.nPixel - fm.height() / 2,
                            text);
        }
    }
    for (const GridLine& line : GridLinesX(m_dXLabelLo, m_dXLabelHi, rcPlot)) {
        painter.setPen(penGrid);
        painter.drawLine(line.nPixel, top, line.nPixel, bottom);
        if (m_nStyle & StyleXLabels) {
            const QString text = QString::number(line.nValue);
            painter.setPen(crText);
            DrawTextTopLeft(painter, fm, line.nPixel - fm.horizontalAdvance(text) / 2, bottom, text);
        }
    }
}

void CScreenWnd::DrawLine(QPainter& painter, const CArrPoints& line, const QRect& rcPlot, bool bStraight,
                          const QColor& crPen, qreal dPenWidth, bool bPrint) const
{
    const std::vector<QPoint>& points = line.GetPoints();
    const auto first =
        std::find_if(points.begin(), points.end(), [this](const QPoint& pt) { return IsPointVisible(pt); });
    if (first == points.end())
        return;
    const auto toPixel = [&](const QPoint& pt) {
        return MapToPixel(pt, rcPlot, m_nXMin, m_nYMax, m_nXCount, m_nYCount);
    };

    // Vertices after the first visible one are joined whether visible or not;
    // the clip keeps what lies beyond the data range off the margins.
    painter.save();
    painter.setClipRect(QRect(rcPlot.left(), rcPlot.top(), rcPlot.width() + 1, rcPlot.height() + 1),
                        Qt::IntersectClip);
    painter.setPen(QPen(crPen, dPenWidth));
    if (points.size() == 1) {
        painter.drawPoint(toPixel(points.front()));
    } else if (first + 1 != points.end()) {
        QPolygon polygon;
        polygon.reserve(bStraight ? int(points.end() - first) : 2 * int(points.end() - first));
        polygon << toPixel(*first);
        QPoint previous = *first;
        for (auto it = first + 1; it != points.end(); ++it) {
            if (!bStraight) // vertical step at the previous column, then the run
                polygon << toPixel(QPoint(previous.x(), it->y()));
            polygon << toPixel(*it);
            previous = *it;
        }
        painter.drawPolyline(polygon);
    }
    painter.restore();

    const QString& name = line.GetName();
    if (!line.HasLabel() || name.isEmpty() || !IsPointVisible(points.back()))
        return;
    const QFont& font = bPrint ? m_fontPrint : m_fontScreen;
    const QFontMetrics fm(font);
    const QPoint pt = toPixel(points.back());
    const int tw = fm.horizontalAdvance(name), th = fm.height();
    const QRect box(pt.x() - tw / 2, pt.y() - th / 3, tw, th);
    painter.save();
    painter.setFont(font);
    painter.fillRect(box, bPrint ? kPrintLabelBack : line.GetColor());
    painter.setPen(bPrint ? QColor(Qt::white) : Complement(line.GetColor()));
    DrawTextTopLeft(painter, fm, box.left(), box.top(), name);
    painter.restore();
}

void CScreenWnd::EnsureBackground(const QRect& rcPlot, qreal dDevicePixelRatio)
{
    const QSize sizePixels = size() * dDevicePixelRatio;
    if (m_bBackValid && m_imgBack.size() == sizePixels && m_imgBack.devicePixelRatio() == dDevicePixelRatio)
        return;
    m_imgBack = QImage(sizePixels, QImage::Format_RGB32);
    m_imgBack.setDevicePixelRatio(dDevicePixelRatio);
    m_imgBack.fill(kBackColor);
    if (m_nStyle & StyleGrid) {
        QPainter painter(&m_imgBack);
        painter.setRenderHint(QPainter::Antialiasing, false);
        DrawGrid(painter, rcPlot, m_fontScreen, QPen(kGridColor, 1), kLabelColor);
    }
    m_bBackValid = true;
}

void CScreenWnd::DrawScreen(QPainter& painter)
{
    if (width() <= 0 || height() <= 0)
        return;
    const QRect rcPlot = GetPlotRect();
    if (rcPlot.width() < 1 || rcPlot.height() < 1)
        return;
    const QPaintDevice* device = painter.device();
    EnsureBackground(rcPlot, device ? device->devicePixelRatio() : 1.0);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.drawImage(QPoint(0, 0), m_imgBack);
    if (HasMapping()) {
        DrawBoundaries(painter, rcPlot, m_fontScreen, BoundaryColor());
        const bool bStraight = GetApproximation();
        for (int i = kCursorLines; i < GetLineCount(); ++i) {
            const CArrPoints& line = *m_lines[static_cast<size_t>(i)];
            if (line.IsVisible())
                DrawLine(painter, line, rcPlot, bStraight, line.GetColor(), 1, false);
        }
        DrawEventMarks(painter, rcPlot, false);
        // The cursor lines go over everything else and are always straight.
        for (int i = 0; i < std::min(kCursorLines, GetLineCount()); ++i) {
            const CArrPoints& line = *m_lines[static_cast<size_t>(i)];
            if (line.IsVisible())
                DrawLine(painter, line, rcPlot, true, line.GetColor(), 1, false);
        }
    }
    painter.restore();
}

void CScreenWnd::SetWaveformAxes(double xLabelRight)
{
    SetStyle(StyleGrid | StyleYLabels | StyleXLabels);
    SetYRange(-128, 127, 255);
    SetXRange(0, 500, 500);
    SetYLabels(-128.0, 127.0);
    SetXLabels(0, xLabelRight);
}

void CScreenWnd::SetBoundaries(std::vector<Boundary> boundaries)
{
    if (boundaries != m_boundaries) {
        m_boundaries = std::move(boundaries);
        update();
    }
}

void CScreenWnd::DrawBoundaries(QPainter& painter, const QRect& rcPlot, const QFont& font,
                                const QColor& colour) const
{
    if (m_boundaries.empty()) {
        return;
    }
    painter.save();
    painter.setPen(QPen(colour, 0, Qt::DashLine));
    painter.setFont(font);
    const QFontMetrics fm(font);
    for (const Boundary& b : m_boundaries) {
        if (b.column < m_nXMin || b.column > m_nXMax) {
            continue;
        }
        const int x = MapToPixel(QPoint(b.column, m_nYMax), rcPlot, m_nXMin, m_nYMax, m_nXCount, m_nYCount).x();
        painter.drawLine(x, rcPlot.top(), x, rcPlot.bottom());
        if (!b.name.isEmpty()) {
            painter.drawText(QPoint(x + 3, rcPlot.top() + fm.ascent() + 2), b.name);
        }
    }
    painter.restore();
}

void CScreenWnd::SetEventMarks(std::vector<EventMark> marks)
{
    if (marks != m_eventMarks) {
        m_eventMarks = std::move(marks);
        update();
    }
}

void CScreenWnd::DrawEventMarks(QPainter& painter, const QRect& rcPlot, bool bPrint) const
{
    if (m_eventMarks.empty()) {
        return;
    }
    // On paper the units are 0.01 inch: a little over a millimetre across.
    const int halfWidth = bPrint ? 5 : kEventMarkHalfWidth;
    const int height = bPrint ? 8 : kEventMarkHeight;
    painter.save();
    for (const EventMark& mark : m_eventMarks) {
        if (mark.column < m_nXMin || mark.column > m_nXMax) {
            continue;
        }
        const int x = MapToPixel(QPoint(mark.column, m_nYMax), rcPlot, m_nXMin, m_nYMax, m_nXCount, m_nYCount).x();
        const QColor colour = bPrint ? QColor(Qt::black) : mark.colour;
        painter.setPen(QPen(colour, 0));
        painter.setBrush(colour);
        const QPoint triangle[3] = {QPoint(x - halfWidth, rcPlot.top()), QPoint(x + halfWidth, rcPlot.top()),
                                    QPoint(x, rcPlot.top() + height)};
        painter.drawPolygon(triangle, 3);
    }
    painter.restore();
}

void CScreenWnd::DrawPrint(QPainter& painter, int nPageWidthMm) const
{
    const QRect rcTarget = PrintTargetRect(nPageWidthMm);
    if (rcTarget.width() < 1)
        return;
    const QRect rcPlot = GetPrintPlotRect(rcTarget);
    if (rcPlot.width() < 1 || rcPlot.height() < 1)
        return;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setFont(m_fontPrint);
    if (m_nStyle & StyleGrid) {
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(rcTarget.adjusted(0, 0, -1, -1));
        // Grid lines are hairlines, one device dot wide.
        DrawGrid(painter, rcPlot, m_fontPrint, QPen(Qt::black, 0), Qt::black);
    }
    if (HasMapping()) {
        DrawBoundaries(painter, rcPlot, m_fontPrint, Qt::black);
        // On paper every line is black and the cursor lines go first.
        const bool bStraight = GetApproximation();
        for (const auto& line : m_lines)
            if (line->IsVisible())
                DrawLine(painter, *line, rcPlot, bStraight, Qt::black, 1, true);
        DrawEventMarks(painter, rcPlot, true);
    }
    painter.restore();
}

// --- Events ----------------------------------------------------------------

void CScreenWnd::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    DrawScreen(painter);
    if (hasFocus()) {
        // The keyboard focus, on screen only: a dotted frame along the edge.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CScreenWnd::resizeEvent(QResizeEvent* event)
{
    InvalidateBackground();
    QWidget::resizeEvent(event);
}

void CScreenWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_bLeftDown = true;
    else if (event->button() == Qt::RightButton)
        m_bRightDown = true;
    else
        return QWidget::mousePressEvent(event);
    event->accept();
}

void CScreenWnd::mouseReleaseEvent(QMouseEvent* event)
{
    bool* pDown = nullptr;
    QPoint* pClick = nullptr;
    int nCode = 0;
    if (event->button() == Qt::LeftButton) {
        pDown = &m_bLeftDown;
        pClick = &m_ptLeftClick;
        nCode = NM_CLICK;
    } else if (event->button() == Qt::RightButton) {
        pDown = &m_bRightDown;
        pClick = &m_ptRightClick;
        nCode = NM_RCLICK;
    } else {
        return QWidget::mouseReleaseEvent(event);
    }
    event->accept();
    if (!*pDown || !HasMapping())
        return;
    const QPointF pos = event->position();
    const QPoint pt(static_cast<int>(std::floor(pos.x())), static_cast<int>(std::floor(pos.y())));
    const QRect rcPlot = GetPlotRect();
    // A release outside the plot keeps the press pending, so a later release
    // inside still counts as a click.
    if (rcPlot.width() < 1 || rcPlot.height() < 1 || !rcPlot.contains(pt))
        return;
    *pClick = PixelToData(pt, rcPlot, m_nXMin, m_nYMax, m_nXCount, m_nYCount);
    *pDown = false;
    emit clicked(nCode, *pClick);
}

void CScreenWnd::wheelEvent(QWheelEvent* event)
{
    // A purely horizontal turn carries no vertical delta; it is not a step.
    const int nDelta = event->angleDelta().y();
    if (nDelta == 0) {
        event->ignore();
        return;
    }
    event->accept();
    emit wheelTurned(nDelta);
}
