#include "display/ReportPage.h"

#include "base/CoreText.h"
#include "controls/ReportCtrl.h"
#include "display/ScreenWnd.h"
#include "library/EventsPage.h"
#include "library/core/EventsTable.h"
#include "model/ReportText.h"
#include "model/ZR815KDoc.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

QFont PageFont(const char* family, int height, bool italic = false)
{
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(height);
    font.setItalic(italic);
    return font;
}

// Draws a text with its top-left corner at (x, y).
void TextAt(QPainter& painter, int x, int y, const std::string& text)
{
    const QFontMetrics fm(painter.font());
    painter.drawText(QPoint(x, y + fm.ascent()), QString::fromStdString(text));
}

// The events table under the plot: as many rows as the page holds, and a
// line saying how many more there are.
void DrawEventsTable(QPainter& painter, const ReportGeometry& g, int widthMm, const std::vector<EventRow>& events)
{
    const int shown = ReportEventRowsShown(g, static_cast<int>(events.size()));
    QStringList headings;
    for (const std::string& heading : EventHeadings()) {
        headings.append(CoreText(heading));
    }
    std::vector<QStringList> rows;
    for (int j = 0; j < shown; ++j) {
        QStringList cells;
        for (int column = 0; column < kEventColumns; ++column) {
            cells.append(EventCellText(column, events[static_cast<std::size_t>(j)].m_cells[column]));
        }
        rows.push_back(cells);
    }
    const int rh = CReportCtrl::kPrintRowHeight;
    const int left = static_cast<int>(events.size()) - shown;
    if (shown == 0 && left > 0 && g.blockTop + 50 - kReportEventsTop < rh) {
        return; // no room even for the line that says so
    }
    painter.save();
    painter.translate(kReportContentLeft, kReportEventsTop);
    if (shown > 0) {
        CReportCtrl::PrintGrid(painter, widthMm, headings, rows);
    }
    if (left > 0) {
        painter.setFont(PageFont("Arial", 12));
        const int y = shown > 0 ? (shown + 1) * rh + 2 : 0;
        TextAt(painter, 0, y,
               QCoreApplication::translate("ReportPage", "%1 more events do not fit on the page")
                   .arg(left)
                   .toStdString());
    }
    painter.restore();
}

} // namespace

static_assert(kReportEventsTop == kReportPlotTop + CScreenWnd::kPrintHeight + 20,
              "the events table hangs a little below the plot");

int ReportEventRowsShown(const ReportGeometry& g, int rows)
{
    // The parameter block's first line stands at blockTop + 60.
    const int lines = (g.blockTop + 50 - kReportEventsTop) / CReportCtrl::kPrintRowHeight;
    const int room = std::max(0, lines - 1);
    if (rows <= room) {
        return std::max(rows, 0);
    }
    return std::max(0, room - 1);
}

ReportGeometry ComputeReportGeometry(int widthMm, int heightMm)
{
    ReportGeometry g;
    g.right = 4 * widthMm;
    g.bottomRule = static_cast<int>(3.9 * heightMm);
    g.contactX = static_cast<int>(2.8 * widthMm);
    g.blockTop = 3 * heightMm;
    g.secondColumn = 2 * widthMm;
    g.printableRight = static_cast<int>(widthMm * 100 / 25.4);
    return g;
}

int ReportContactX(const ReportGeometry& g, double widestLine)
{
    const int fitting = g.printableRight - static_cast<int>(std::ceil(widestLine));
    return std::max(0, std::min(g.contactX, fitting));
}

void DrawReportPage(QPainter& painter, const QSizeF& printableMm, const CZR815KDoc& doc, const CReportCtrl& legend,
                    const CScreenWnd& plot)
{
    DrawReportPage(painter, printableMm, doc, legend, plot, {});
}

void DrawReportPage(QPainter& painter, const QSizeF& printableMm, const CZR815KDoc& doc, const CReportCtrl& legend,
                    const CScreenWnd& plot, const std::vector<EventRow>& events)
{
    const int widthMm = static_cast<int>(printableMm.width());
    const int heightMm = static_cast<int>(printableMm.height());
    const ReportGeometry g = ComputeReportGeometry(widthMm, heightMm);

    painter.save();
    // One unit is 0.01 inch at the device's resolution; y grows down the page.
    const QPaintDevice* device = painter.device();
    painter.scale(device->logicalDpiX() / 100.0, device->logicalDpiY() / 100.0);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);

    painter.drawLine(kReportRuleLeft, kReportTopRule, g.right, kReportTopRule);
    painter.drawLine(kReportRuleLeft, g.bottomRule, g.right, g.bottomRule);

    painter.setFont(PageFont("Arial", 24, true));
    TextAt(painter, 100, 81, kReportTitle);
    const int titleHeight = QFontMetrics(painter.font()).height();
    painter.drawLine(kReportRuleLeft, titleHeight + 82, g.right, titleHeight + 82);

    painter.setFont(PageFont("Times New Roman", 10));
    const auto contact = ReportContactLines(CoreTranslation());
    // On a narrow page the lines move left together, so their last letters are not cut.
    const QFontMetricsF contactMetrics(painter.font());
    double widest = 0;
    for (const std::string& line : contact) {
        widest = std::max(widest, contactMetrics.horizontalAdvance(QString::fromStdString(line)));
    }
    const int contactX = ReportContactX(g, widest);
    TextAt(painter, contactX, 30, contact[0]);
    TextAt(painter, contactX, 45, contact[1]);

    // The parameter block: factor, zoom, resolution and zero point on the
    // left, the cursor readings in the middle of the page.
    painter.setFont(PageFont("Arial", 12));
    const auto texts = ReportParameterTexts(doc, CoreTranslation());
    for (int i = 0; i < 4; ++i) {
        TextAt(painter, 100, g.blockTop + 60 + 20 * i, texts[static_cast<std::size_t>(i)]);
    }
    for (int i = 0; i < 3; ++i) {
        TextAt(painter, g.secondColumn, g.blockTop + 60 + 20 * i, texts[static_cast<std::size_t>(4 + i)]);
    }

    painter.save();
    painter.translate(kReportContentLeft, kReportTableTop);
    legend.PrintTable(painter, widthMm);
    painter.restore();

    painter.save();
    painter.translate(kReportContentLeft, kReportPlotTop);
    plot.DrawPrint(painter, widthMm);
    painter.restore();

    if (!events.empty()) {
        DrawEventsTable(painter, g, widthMm, events);
    }

    painter.restore();
}
