// The one-page report: title band with the maker's contact lines, the
// parameter block with the cursor readings, the legend table and the plot as
// last shown on the screen. The page knows nothing of printers: it draws with
// any painter, in units of 0.01 inch from the top-left corner of the printable
// area, whose size in millimetres the caller gives.
#pragma once

#include <QSizeF>

#include <vector>

class CReportCtrl;
class CScreenWnd;
class CZR815KDoc;
class QPainter;
struct EventRow;

// Where the page's parts go, in 0.01-inch units down from the printable area's top.
struct ReportGeometry
{
    int right = 0;       // 4 x width in mm: the rules' right end
    int bottomRule = 0;  // 3.9 x height in mm, truncated
    int contactX = 0;    // 2.8 x width in mm, truncated
    int blockTop = 0;    // 3 x height in mm, truncated: the parameter block hangs below it
    int secondColumn = 0; // 2 x width in mm: the cursor readings' column
    int printableRight = 0; // 100 / 25.4 x width in mm, truncated: the printable area's right edge
};

ReportGeometry ComputeReportGeometry(int widthMm, int heightMm);

// The left edge of the contact lines: contactX, or as much further left as the
// widest of them (in units) needs to end within the printable area, but not
// left of the area itself.
int ReportContactX(const ReportGeometry& g, double widestLine);

// Units of 0.01 inch of the report.
inline constexpr int kReportRuleLeft = 80;
inline constexpr int kReportTopRule = 80;
inline constexpr int kReportTableTop = 120;
inline constexpr int kReportPlotTop = 240;
inline constexpr int kReportContentLeft = 90;

// The events table hangs this far below the page's top, under the plot, and
// ends above the parameter block.
inline constexpr int kReportEventsTop = 660;

// How many of `rows` events the page has room for between the plot and the
// parameter block, under the table's heading row; when they do not all fit,
// one row fewer, so a line below the table can say how many were left out.
int ReportEventRowsShown(const ReportGeometry& g, int rows);

// Draws the page. The painter's device gives the resolution (dots per inch);
// printableMm is the printable area in millimetres (truncated to whole ones,
// as printers report them).
void DrawReportPage(QPainter& painter, const QSizeF& printableMm, const CZR815KDoc& doc, const CReportCtrl& legend,
                    const CScreenWnd& plot);
// ... with the events table under the plot (none when `events` is empty).
void DrawReportPage(QPainter& painter, const QSizeF& printableMm, const CZR815KDoc& doc, const CReportCtrl& legend,
                    const CScreenWnd& plot, const std::vector<EventRow>& events);
