// The display form: the main plot with the traces of M1..M3, the cursor and
// marker lines, and under it the legend with one row per channel that is on.
// It follows every document update, turns clicks and wheel steps on the plot
// into document operations by mouse mode, offers the mouse-mode menu, and
// prints the one-page report.
#pragma once

#include "base/FormView.h"
#include "controls/ReportCtrl.h"
#include "display/ScreenWnd.h"
#include "model/PlotMouse.h"

#include <functional>
#include <string>

class QImage;
class QMenu;
class QPrinter;

class CFormDraw : public CFormView
{
    Q_OBJECT
public:
    // Control ids of the plot and the legend.
    static constexpr int kPlotId = 154;
    static constexpr int kLegendId = 158;
    // Polyline indices of the plot.
    static constexpr int kLineCursor1 = 0;
    static constexpr int kLineCursor2 = 1;
    static constexpr int kLineTrace = 2;  // + channel
    static constexpr int kLineMarker = 5; // + 2 * channel (+1 for the second marker)
    // Row height assumed for a legend without rows.
    static constexpr int kEmptyRowHeight = 8;

    explicit CFormDraw(CZR815KDoc& doc, QWidget* parent = nullptr);
    ~CFormDraw() override;

    void OnInitialUpdate() override;
    void OnUpdate(CDocView* sender, int hint) override;
    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStateOf(int id) const override;

    // The print dialog: sets up the printer and says whether to print. A
    // QPrintDialog by default; tests replace it.
    void SetPrintDialog(std::function<bool(QPrinter&)> ask) { m_fnPrintDialog = std::move(ask); }
    // Draws the one-page report onto a printer that is set up.
    void PrintReport(QPrinter& printer);

    // The plot and its legend as the form shows them, as an image.
    QImage RenderPicture();
    // Writes the picture as a PNG file, replacing the file in one step; false on failure.
    bool SavePicture(const QString& path);
    // The file a picture is saved to (empty when cancelled), and the error box;
    // replaceable in tests.
    void SetPictureChooser(std::function<QString()> choose) { m_fnChoosePicture = std::move(choose); }
    void SetErrorBox(std::function<void(const QString&)> show) { m_fnErrorBox = std::move(show); }

    // Where the commands of the context menu go; the document by default.
    void SetCommandRouter(std::function<void(int)> route) { m_fnRoute = std::move(route); }

    CScreenWnd& GetPlot() { return m_plot; }
    CReportCtrl& GetLegend() { return m_list; }
    bool IsLegendShown() const { return m_bLegend; }
    bool IsReady() const { return m_bReady; }
    const std::string& GetSaveFolder() const { return m_strSave; }

    // The mouse-mode menu with its check marks and greyed items, as shown on a
    // right click; its actions run the commands through the router.
    QMenu* CreateContextMenu(QWidget* parent);

    // A wheel turn of the given angle delta over the form or its plot.
    void WheelTurned(int delta);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreatePlot();
    void CreateLegend();
    void FillLegend();
    void SetColumnWidths();
    void LayoutPlotAndLegend();
    void ApplyLayout();
    void FillPlot();
    void SetTrace(int channel);
    void PlaceVerticalLine(int index, int column);
    void ShowContextMenu(const QPoint& globalPos);
    void OnPlotClicked(int code, QPoint point);
    void DescribeCursors();

    CReportCtrl m_list;
    CScreenWnd m_plot;
    std::string m_strSave;
    bool m_bReady = false;
    bool m_bLegend = true;
    WheelAccumulator m_wheel;
    std::function<void(int)> m_fnRoute;
    std::function<bool(QPrinter&)> m_fnPrintDialog;
    std::function<QString()> m_fnChoosePicture;
    std::function<void(const QString&)> m_fnErrorBox;
};
