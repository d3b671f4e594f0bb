// The plot widget: a list of polylines in integer data coordinates drawn over a
// labelled grid. It knows nothing of waveforms; its hosts set the ranges, add
// their polylines once and refill the vertices on every document update.
//
// Geometry. All drawing is in the widget's own coordinates, origin at its
// top-left corner. The plot rectangle is the widget less its margins; it is
// returned as a QRect whose left()/top() are the plot's left and top edges and
// whose width()/height() are the plot's extent, so the plot's right and bottom
// edges lie at left() + width() and top() + height(). The data maximum of each
// axis maps onto those edges, so the pixels a plot uses are the rectangle
// (left, top, width + 1, height + 1); traces are clipped to it.
#pragma once

#include "display/ArrPoints.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QFontMetrics;
class QPainter;
class QPen;

class CScreenWnd : public QWidget
{
    Q_OBJECT

  public:
    // Style flags. SetStyle sets the first three; SetApproximation the fourth.
    enum Style : int {
        StyleGrid = 1,          // fill the background and draw the grid
        StyleYLabels = 2,       // labels of the vertical axis
        StyleXLabels = 4,       // labels of the horizontal axis
        StyleApproximation = 8, // join vertices by straight segments (else steps)
    };

    // Notification codes carried by clicked().
    enum Notify : int {
        NM_CLICK = -2,  // left button released inside the plot
        NM_RCLICK = -5, // right button released inside the plot
    };

    // Indexes 0 and 1 of the line list are the two cursor lines.
    static constexpr int kCursorLines = 2;
    // Fixed margins (top, right, and left/bottom without labels) and the gap
    // added to a label's size to form a label margin.
    static constexpr int kMargin = 5;
    static constexpr int kLabelGap = 3;
    // Label margins on paper are this many times the screen measurement.
    static constexpr double kPrintMarginFactor = 1.8;
    // Grid lines are kept more than this many pixels apart.
    static constexpr int kMinGridPixels = 30;
    // Height of the printed picture in 0.01-inch units.
    static constexpr int kPrintHeight = 400;

    // One grid line: its pixel coordinate across the axis and its label value.
    struct GridLine
    {
        int nPixel;
        qint64 nValue;
        bool operator==(const GridLine&) const = default;
    };

    explicit CScreenWnd(QWidget* parent = nullptr, int nID = 0);
    ~CScreenWnd() override;

    CScreenWnd(const CScreenWnd&) = delete;
    CScreenWnd& operator=(const CScreenWnd&) = delete;

    int GetControlId() const { return m_nID; }

    // Placement in the parent's coordinates. The background cache is rebuilt
    // on the next paint after a size change.
    void SetPlotRect(const QRect& rect, bool bRepaint = true);
    void SetPlotPosition(int x, int y, int cx, int cy, bool bRepaint = true);

    void SetStyle(int nFlags);
    int GetStyle() const { return m_nStyle; }
    void SetApproximation(bool bApproximation);
    bool GetApproximation() const { return (m_nStyle & StyleApproximation) != 0; }

    // Data ranges: nCount is the number of data units the plot's extent spans.
    void SetYRange(int nMin, int nMax, unsigned nCount);
    void SetXRange(int nMin, int nMax, unsigned nCount);
    // Label ranges: the values shown at the plot's edges (bottom/top, left/right).
    void SetYLabels(double dLo, double dHi);
    void SetXLabels(double dLo, double dHi);

    int GetYMax() const { return m_nYMax; }
    int GetYMin() const { return m_nYMin; }
    int GetXMax() const { return m_nXMax; }
    int GetXMin() const { return m_nXMin; }
    unsigned GetYCount() const { return m_nYCount; }
    unsigned GetXCount() const { return m_nXCount; }

    // nMax if nValue > nMax, nMin if nValue < nMin, else nValue.
    static int ClampValue(int nValue, int nMax, int nMin);

    // Appends a hidden polyline of nCount vertices; false for a negative count.
    bool AddLine(const QColor& crColor, int nCount, const QString& strName);
    // The polyline at nIndex, or null when there is none.
    CArrPoints* GetLine(int nIndex);
    const CArrPoints* GetLine(int nIndex) const;
    int GetLineCount() const { return static_cast<int>(m_lines.size()); }

    // True when the point lies within both data ranges, ends included.
    bool IsPointVisible(const QPoint& pt) const;

    // The plot rectangle on the screen (the widget less its margins).
    QRect GetPlotRect() const;
    // The plot rectangle on paper, inside the given print rectangle.
    QRect GetPrintPlotRect(const QRect& rcPrint) const;

    // The set-up every waveform plot shares: grid and both label sets, samples
    // -128..127 over 255 units upward, 500 columns across, labelled 0 to xLabelRight.
    void SetWaveformAxes(double xLabelRight);

    // Marks drawn between the grid and the traces: a thin dashed vertical line
    // at a data column, with a name at the top of the plot (site-grid section
    // boundaries). Marks outside the horizontal range are not drawn.
    struct Boundary
    {
        int column = 0;
        QString name;
        bool operator==(const Boundary&) const = default;
    };
    void SetBoundaries(std::vector<Boundary> boundaries);
    const std::vector<Boundary>& GetBoundaries() const { return m_boundaries; }
    // Colour of the boundary marks on the screen (on paper they are black).
    static QColor BoundaryColor() { return QColor(150, 150, 150); }

    // Events marked at the top of the plot: a small filled triangle pointing
    // down at a data column, drawn over the traces in its colour (black on
    // paper). Marks outside the horizontal range are not drawn.
    struct EventMark
    {
        int column = 0;
        QColor colour;
        bool operator==(const EventMark&) const = default;
    };
    void SetEventMarks(std::vector<EventMark> marks);
    const std::vector<EventMark>& GetEventMarks() const { return m_eventMarks; }
    // Half the width of a triangle, and its height, in pixels on the screen.
    static constexpr int kEventMarkHalfWidth = 5;
    static constexpr int kEventMarkHeight = 8;

    // Renders the widget's picture at the painter's origin: the cached grid,
    // the traces and the cursor lines on top. Draws nothing when the widget has
    // no area or is too small for its margins.
    void DrawScreen(QPainter& painter);
    // Renders onto paper. The painter works in 0.01-inch units with y growing
    // downward, origin at the picture's top-left corner; nPageWidthMm is the
    // width of the printable area. Everything is black; cursors go first.
    void DrawPrint(QPainter& painter, int nPageWidthMm) const;

    QPoint GetLeftClick() const { return m_ptLeftClick; }
    QPoint GetRightClick() const { return m_ptRightClick; }

    // --- Pure computations -------------------------------------------------

    // The Arial face, 12 pixels high, used for every label.
    static QFont PlotFont();
    // The printed picture's rectangle for a printable width in millimetres.
    static QRect PrintTargetRect(int nPageWidthMm);
    // Plot rectangle inside rcArea: label margins measured with fm and
    // multiplied by dFactor (1 on the screen, kPrintMarginFactor on paper).
    static QRect ComputePlotRect(const QRect& rcArea, int nStyle, double dYLabelLo, double dYLabelHi,
                                 const QFontMetrics& fm, double dFactor);
    // Pixel of a data point; larger values lie further right and higher up.
    // A zero count maps everything onto the plot's top-left corner.
    static QPoint MapToPixel(const QPoint& ptData, const QRect& rcPlot, int nXMin, int nYMax,
                             unsigned nXCount, unsigned nYCount);
    // Data point of a pixel inside the plot (the inverse used for clicks).
    static QPoint PixelToData(const QPoint& ptPixel, const QRect& rcPlot, int nXMin, int nYMax,
                              unsigned nXCount, unsigned nYCount);
    // Grid step in label units for a label span and pixels per label unit: a
    // whole multiple of a power of ten at least one decade below the span,
    // the smallest that keeps lines more than kMinGridPixels apart. 0 when the
    // span or scale admits no grid.
    static qint64 GridStep(double dSpan, double dPixelsPerUnit);
    // Horizontal grid lines (rows, top to bottom) for the vertical label range.
    static std::vector<GridLine> GridLinesY(double dLabelLo, double dLabelHi, const QRect& rcPlot);
    // Vertical grid lines (columns, left to right) for the horizontal label range.
    static std::vector<GridLine> GridLinesX(double dLabelLo, double dLabelHi, const QRect& rcPlot);
    // "%d" of the value truncated toward zero.
    static QString LabelText(double dValue);

  signals:
    // A button release inside the plot: nCode is NM_CLICK or NM_RCLICK and
    // ptData the data point under the release (also kept for GetLeftClick /
    // GetRightClick).
    void clicked(int nCode, QPoint ptData);
    // A wheel turn over the widget with the raw vertical angle delta (120 per
    // notch on a plain wheel, smaller steps on high-resolution devices).
    void wheelTurned(int nDelta);

    // Context-menu requests arrive through QWidget::customContextMenuRequested
    // (the widget's policy is Qt::CustomContextMenu); the host builds the menu.

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void InvalidateBackground() { m_bBackValid = false; }
    void EnsureBackground(const QRect& rcPlot, qreal dDevicePixelRatio);
    // Grid lines and their labels for the current label ranges.
    void DrawGrid(QPainter& painter, const QRect& rcPlot, const QFont& font, const QPen& penGrid,
                  const QColor& crText) const;
    // One polyline (clipped to the plot) and its name label.
    void DrawLine(QPainter& painter, const CArrPoints& line, const QRect& rcPlot, bool bStraight,
                  const QColor& crPen, qreal dPenWidth, bool bPrint) const;
    bool HasMapping() const { return m_nXCount != 0 && m_nYCount != 0; }
    void DrawBoundaries(QPainter& painter, const QRect& rcPlot, const QFont& font, const QColor& colour) const;
    // bPrint: every mark black, sized for paper (units of 0.01 inch).
    void DrawEventMarks(QPainter& painter, const QRect& rcPlot, bool bPrint) const;

    std::vector<std::unique_ptr<CArrPoints>> m_lines;
    std::vector<Boundary> m_boundaries;
    std::vector<EventMark> m_eventMarks;
    int m_nStyle = 0;
    QImage m_imgBack; // fill, grid and labels; rebuilt when size, style or labels change
    bool m_bBackValid = false;
    int m_nYMax = 0;
    int m_nYMin = 0;
    double m_dYLabelHi = 0.0;
    double m_dYLabelLo = 0.0;
    unsigned m_nYCount = 0;
    int m_nXMax = 0;
    int m_nXMin = 0;
    double m_dXLabelHi = 0.0;
    double m_dXLabelLo = 0.0;
    unsigned m_nXCount = 0;
    QFont m_fontScreen;
    QFont m_fontPrint;
    QPoint m_ptLeftClick;
    QPoint m_ptRightClick;
    bool m_bLeftDown = false;
    bool m_bRightDown = false;
    int m_nID = 0;
};
