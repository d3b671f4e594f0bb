#include "library/EventsPage.h"

#include "base/CoreText.h"
#include "model/ZR815KDoc.h"

#include <QWidget>

namespace {

constexpr int kColumnWidths[kEventColumns] = {70, 50, 170, 120, 90, 80}; // a stretch reads "from – to"
constexpr int kKindColumn = 3;

} // namespace

QString EventCellText(int column, const std::string& cell)
{
    if (column != kKindColumn) {
        return QString::fromStdString(cell);
    }
    const std::string ghost = QT_TRANSLATE_NOOP("Core", ", ghost");
    if (cell.ends_with(ghost)) {
        return CoreText(cell.substr(0, cell.size() - ghost.size())) + CoreText(ghost);
    }
    return CoreText(cell);
}

CEventsPage::CEventsPage(QWidget& panel, CZR815KDoc& doc)
    : QObject(&panel), m_doc(doc), m_listEvents(&panel, kEventsId)
{
    m_listEvents.setAccessibleName(tr("Events"));
    for (const std::string& heading : EventHeadings()) {
        m_listEvents.InsertColumn(CoreText(heading), CReportCtrl::LVCFMT_CENTER);
    }
    for (int column = 0; column < kEventColumns; ++column) {
        m_listEvents.SetColumnWidth(column, kColumnWidths[column]);
    }
    m_listEvents.setSelectionMode(QAbstractItemView::SingleSelection);
    // The channel cell in the channel's colour.
    m_listEvents.SetCellColors([this](int row, int column) {
        CReportCtrl::CellColors colours;
        if (column == 0 && row >= 0 && row < static_cast<int>(m_rows.size())) {
            const Colour& c = m_doc.m_memory[static_cast<std::size_t>(m_rows[row].m_nChannel)].m_crColor;
            colours.crText = QColor(c.r, c.g, c.b);
        }
        return colours;
    });
    connect(&m_listEvents, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { GoToRow(index.row()); });
    m_listEvents.setVisible(false);
    m_doc.AddView(this);
}

CEventsPage::~CEventsPage()
{
    m_doc.RemoveView(this);
    // The plot keeps no marks of a list that is gone, nor the report its table.
    m_doc.m_eventMarks.clear();
    m_doc.m_bEventsListed = false;
}

void CEventsPage::Show(bool show)
{
    if (show == m_bShown) {
        return;
    }
    m_bShown = show;
    m_doc.m_bEventsListed = show;
    m_listEvents.setVisible(show);
    if (show) {
        Refresh();
    } else {
        PublishMarks({});
    }
}

void CEventsPage::Layout(int width, int height) { m_listEvents.setGeometry(0, 0, width, height); }

void CEventsPage::OnUpdate(CDocView*, int)
{
    if (m_bShown) {
        Refresh();
    }
}

void CEventsPage::SetFinder(EventCache::Finder finder)
{
    m_cache = EventCache(std::move(finder));
    if (m_bShown) {
        Refresh();
    }
}

void CEventsPage::Refresh()
{
    std::vector<EventRow> rows = ListEventRows(m_doc, m_cache);
    if (rows != m_rows) {
        m_rows = std::move(rows);
        m_listEvents.DeleteAllRows();
        for (const EventRow& row : m_rows) {
            for (int column = 0; column < kEventColumns; ++column) {
                m_listEvents.AddItem(0, column, EventCellText(column, row.m_cells[column]));
            }
        }
        m_listEvents.UpdateItemCount();
    }
    PublishMarks(EventMarksOf(m_rows));
}

void CEventsPage::PublishMarks(std::vector<PlotEventMark> marks)
{
    if (marks == m_doc.m_eventMarks) {
        return;
    }
    m_doc.m_eventMarks = std::move(marks);
    m_doc.UpdateAllViews(this, HINT_REDRAW);
}

void CEventsPage::GoToRow(int row)
{
    if (row < 0 || row >= static_cast<int>(m_rows.size())) {
        return;
    }
    GoToEvent(m_doc, m_rows[static_cast<std::size_t>(row)].m_dPosition);
    m_doc.UpdateAllViews(nullptr, HINT_REDRAW);
}
