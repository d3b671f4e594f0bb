#include "library/core/EventsTable.h"

#include "model/Format.h"
#include "model/TextMarks.h"

#include <utility>

std::array<std::string, kEventColumns> EventHeadings()
{
    return {QT_TRANSLATE_NOOP("Core", "Channel"),     QT_TRANSLATE_NOOP("Core", "No."),
            QT_TRANSLATE_NOOP("Core", "Distance, m"), QT_TRANSLATE_NOOP("Core", "Kind"),
            QT_TRANSLATE_NOOP("Core", "Amplitude"),   QT_TRANSLATE_NOOP("Core", "RL, dB")};
}

EventCache::EventCache(Finder finder)
    : m_finder(std::move(finder))
{
}

const std::vector<LineEvent>& EventCache::EventsOf(int channel, const WaveformRecord& record)
{
    Entry& entry = m_entries.at(static_cast<std::size_t>(channel));
    const bool same = entry.m_bFound && entry.m_samples == record.m_samples &&
                      entry.m_dSampleStep == record.m_dSampleStep && entry.m_dPulse == record.m_dPulse &&
                      entry.m_nAverages == record.m_nAverages && entry.m_nGain == record.m_nGain &&
                      entry.m_dFileFactor == record.m_dFileFactor;
    if (!same) {
        entry.m_events = m_finder ? m_finder(record, 0) : std::vector<LineEvent>{};
        entry.m_samples = record.m_samples;
        entry.m_dSampleStep = record.m_dSampleStep;
        entry.m_dPulse = record.m_dPulse;
        entry.m_nAverages = record.m_nAverages;
        entry.m_nGain = record.m_nGain;
        entry.m_dFileFactor = record.m_dFileFactor;
        entry.m_bFound = true;
        ++m_nRuns;
    }
    return entry.m_events;
}

std::vector<EventRow> ListEventRows(const CZR815KDoc& doc, EventCache& cache)
{
    std::vector<EventRow> rows;
    for (int k = 0; k < 3; ++k) {
        const WaveformRecord& record = doc.m_memory[static_cast<std::size_t>(k)];
        if (!record.m_bOn) {
            continue;
        }
        for (const LineEvent& event : cache.EventsOf(k, record)) {
            // Not a number or outside the plotted part of the recording: not listed.
            if (!(event.m_dPosition >= 0 && event.m_dPosition <= doc.m_dScale)) {
                continue;
            }
            EventRow row;
            row.m_nChannel = k;
            row.m_dPosition = event.m_dPosition;
            std::string distance = FormatFixed(doc.PositionToDistance(event.m_dPosition), 3);
            if (event.m_bStretch && event.m_dEndPosition > event.m_dPosition) {
                row.m_dEndPosition = event.m_dEndPosition;
                distance += " \u2013 " + FormatFixed(doc.PositionToDistance(event.m_dEndPosition), 3);
            }
            row.m_cells = {"M" + FormatInt(k + 1),
                           FormatInt(event.m_nNumber),
                           distance,
                           std::string(LineEventKindName(event.m_kind)) +
                               (event.m_bGhost ? QT_TRANSLATE_NOOP("Core", ", ghost") : ""),
                           FormatInt(event.m_nAmplitude),
                           FormatFixed(event.m_dReturnLoss, 1)};
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

std::vector<PlotEventMark> EventMarksOf(const std::vector<EventRow>& rows)
{
    std::vector<PlotEventMark> marks;
    marks.reserve(rows.size());
    for (const EventRow& row : rows) {
        marks.push_back({row.m_nChannel, row.m_dPosition});
        if (row.m_dEndPosition >= 0) {
            marks.push_back({row.m_nChannel, row.m_dEndPosition});
        }
    }
    return marks;
}

void GoToEvent(CZR815KDoc& doc, double position)
{
    doc.PlaceCursor(*doc.m_pZoomAnchor, position);
    if (doc.m_nZoom != 0) {
        doc.m_dZoomCentre = *doc.m_pZoomAnchor;
        doc.m_bZoomed = true;
    }
}
