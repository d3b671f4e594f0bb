// The events page of the waveform library panel: a list of the events found
// on every channel that is on (channel in its colour, number, distance, kind,
// amplitude, return loss). It follows every document update while it is
// shown, and while it is shown the plot marks each listed event. A click on a
// row moves the anchor cursor to the event and, when zoomed, centres the
// window on it. The panel owns the page and shows, hides and lays it out.
#pragma once

#include "controls/ReportCtrl.h"
#include "library/core/EventsTable.h"
#include "model/DocView.h"

#include <QObject>
#include <QString>
#include <string>
#include <vector>

class CZR815KDoc;
class QWidget;

// A cell as shown: the kind ("splice", "open, ghost") in the window's language,
// the others as they are.
QString EventCellText(int column, const std::string& cell);

class CEventsPage : public QObject, public CDocView
{
    Q_OBJECT
public:
    static constexpr int kEventsId = 178;

    // panel: the widget the list lives in. The page is a view of the document
    // in its own right, so it also hears the updates the panel sends.
    CEventsPage(QWidget& panel, CZR815KDoc& doc);
    ~CEventsPage() override;

    // Shows or hides the list; the plot's marks come and go with it.
    void Show(bool show);
    bool IsShown() const { return m_bShown; }
    void Layout(int width, int height);
    void OnUpdate(CDocView* sender, int hint) override;

    // Replaces the event finder (tests); the events are found again.
    void SetFinder(EventCache::Finder finder);

    CReportCtrl& GetList() { return m_listEvents; }
    const std::vector<EventRow>& GetRows() const { return m_rows; }
    // What a click on a row does.
    void GoToRow(int row);

private:
    // Lists the events again (the list is refilled only when a text changed)
    // and hands the plot its marks, telling the other views when they changed.
    void Refresh();
    void PublishMarks(std::vector<PlotEventMark> marks);

    CZR815KDoc& m_doc;
    CReportCtrl m_listEvents;
    EventCache m_cache;
    std::vector<EventRow> m_rows;
    bool m_bShown = false;
};
