// The second screen of dual-screen mode: one plot over the whole scale with
// the traces of M1..M3, the cursor and marker lines, and a frame around the
// window the display form shows. A click there moves the zoom centre to the
// clicked column; a wheel step moves it by one column. It follows every
// document update, also while its pane is collapsed, and has no context menu.
#pragma once

#include "base/FormView.h"
#include "display/ScreenWnd.h"
#include "model/SecondScreen.h"

class CForm : public CFormView
{
    Q_OBJECT
public:
    // Control id of the plot.
    static constexpr int kPlotId = 168;
    // Polyline indices of the plot, in the order they are added.
    enum Line : int {
        kLineCursor1,
        kLineCursor2,
        kLineFrameLeft,
        kLineFrameBottom,
        kLineFrameRight,
        kLineFrameTop,
        kLineTrace,                  // + channel
        kLineMarker = kLineTrace + 3, // + 2 * channel (+1 for the second marker)
    };

    explicit CForm(CZR815KDoc& doc, QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void OnUpdate(CDocView* sender, int hint) override;

    CScreenWnd& GetPlot() { return m_plot; }
    bool IsReady() const { return m_bReady; }

    // A wheel turn of the given angle delta over the form or its plot.
    void WheelTurned(int delta) { ApplySecondScreenWheelTurn(GetDocument(), m_wheel, delta); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void CreatePlot();
    // What the initial update and every later one redraw alike.
    void PlaceFrameAndCursors();

    CScreenWnd m_plot;
    bool m_bReady = false;
    WheelAccumulator m_wheel;
};
