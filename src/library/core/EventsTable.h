// The events list of the waveform library without its widget: the events of
// every channel that is on, found once per recording and kept until the
// channel's samples change, their cell texts with distances through the
// document's conversions, the marks the plot draws for them, and where a
// chosen event puts the anchor cursor.
#pragma once

#include "model/EventFinder.h"
#include "model/WaveformRecord.h"
#include "model/ZR815KDoc.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

inline constexpr int kEventColumns = 6;

// "Channel", "No.", "Distance, m", "Kind", "Amplitude", "RL, dB".
std::array<std::string, kEventColumns> EventHeadings();

// One listed event.
struct EventRow
{
    int m_nChannel = 0;
    double m_dPosition = 0; // metres of position of the leading edge
    double m_dEndPosition = -1; // a stretch's far side, metres of position; negative: none
    // "M1".."M3", the event's number, its distance (3 decimals; a stretch's
    // "from – to"), its kind
    // (", ghost" added to a likely ghost), its amplitude and its return loss (1 decimal).
    std::array<std::string, kEventColumns> m_cells;
    bool operator==(const EventRow&) const = default;
};

// The events of each channel's recording. The finder runs again only when
// what it reads of a recording changes (its samples, sample step, pulse width,
// averaging, gain or recorded PR); cursors, zoom, scale and factors never
// make it run.
class EventCache
{
public:
    using Finder = std::function<std::vector<LineEvent>(const WaveformRecord&, double)>;

    explicit EventCache(Finder finder = FindEvents);

    // The events of a channel's recording, at the recording's own PR.
    const std::vector<LineEvent>& EventsOf(int channel, const WaveformRecord& record);
    // How often the finder has run, for the tests of the cache.
    int FinderRuns() const { return m_nRuns; }

private:
    struct Entry
    {
        bool m_bFound = false;
        std::array<int8_t, kTdrSampleCount> m_samples{};
        double m_dSampleStep = 0;
        double m_dPulse = 0;
        int32_t m_nAverages = 0;
        int32_t m_nGain = 0;
        double m_dFileFactor = 0;
        std::vector<LineEvent> m_events;
    };

    Finder m_finder;
    std::array<Entry, 3> m_entries;
    int m_nRuns = 0;
};

// The rows of every channel that is on, channel by channel in the order along
// the line, for the events within the document's scale (positions 0 to
// m_dScale, the part of a recording the plot shows).
std::vector<EventRow> ListEventRows(const CZR815KDoc& doc, EventCache& cache);

// The plot marks of listed rows: a stretch marks both its ends.
std::vector<PlotEventMark> EventMarksOf(const std::vector<EventRow>& rows);

// Puts the anchor cursor on the column edge nearest a position, takes the
// factor there and, while zoomed, centres the window on the cursor. No update.
void GoToEvent(CZR815KDoc& doc, double position);
