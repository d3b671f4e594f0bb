#include "model/ViewHistory.h"

#include "model/TextMarks.h"

#include <utility>

namespace {

// What a channel holds, without what is drawn from it.
bool SameRecording(const WaveformRecord& a, const WaveformRecord& b)
{
    return a.m_bOn == b.m_bOn && a.m_strName == b.m_strName && a.m_samples == b.m_samples &&
           a.m_dScale == b.m_dScale && a.m_dSampleStep == b.m_dSampleStep && a.m_dFileFactor == b.m_dFileFactor &&
           a.m_ftTime == b.m_ftTime;
}

// The names of the steps that concern one channel, by channel.
const char* const kLoadNames[3] = {QT_TRANSLATE_NOOP("Core", "load M1"), QT_TRANSLATE_NOOP("Core", "load M2"),
                                   QT_TRANSLATE_NOOP("Core", "load M3")};
const char* const kClearNames[3] = {QT_TRANSLATE_NOOP("Core", "clear M1"),
                                    QT_TRANSLATE_NOOP("Core", "clear M2"),
                                    QT_TRANSLATE_NOOP("Core", "clear M3")};
const char* const kShiftNames[3] = {QT_TRANSLATE_NOOP("Core", "shift M1"),
                                    QT_TRANSLATE_NOOP("Core", "shift M2"),
                                    QT_TRANSLATE_NOOP("Core", "shift M3")};

} // namespace

ViewState CaptureViewState(const CZR815KDoc& doc)
{
    ViewState s;
    s.m_dScale = doc.m_dScale;
    s.m_nZoom = doc.m_nZoom;
    s.m_bZoomed = doc.m_bZoomed;
    s.m_dZoomCentre = doc.m_dZoomCentre;
    s.m_dCursor1 = doc.m_dCursor1;
    s.m_dCursor2 = doc.m_dCursor2;
    s.m_dFactor = doc.m_dFactor;
    s.m_bShowHalfVelocity = doc.m_bShowHalfVelocity;
    s.m_memory = doc.m_memory;
    s.m_bGridApplied = doc.m_bGridApplied;
    s.m_bGridSelected = doc.m_bGridSelected;
    s.m_gridSections = doc.m_gridSections;
    s.m_gridNames = doc.m_gridNames;
    s.m_strGridApplied = doc.m_strGridApplied;
    return s;
}

void RestoreViewState(CZR815KDoc& doc, const ViewState& s)
{
    doc.m_dScale = s.m_dScale;
    doc.m_nZoom = s.m_nZoom;
    doc.m_bZoomed = s.m_bZoomed;
    doc.m_dZoomCentre = s.m_dZoomCentre;
    doc.m_dCursor1 = s.m_dCursor1;
    doc.m_dCursor2 = s.m_dCursor2;
    doc.m_dFactor = s.m_dFactor;
    doc.m_bShowHalfVelocity = s.m_bShowHalfVelocity;
    for (std::size_t k = 0; k < 3; ++k) {
        // The colour is the channel's own, whatever the recording.
        const Colour colour = doc.m_memory[k].m_crColor;
        doc.m_memory[k] = s.m_memory[k];
        doc.m_memory[k].m_crColor = colour;
    }
    doc.m_bGridApplied = s.m_bGridApplied;
    doc.m_bGridSelected = s.m_bGridSelected;
    doc.m_gridSections = s.m_gridSections;
    doc.m_gridNames = s.m_gridNames;
    doc.m_strGridApplied = s.m_strGridApplied;
}

namespace {

// The state and the document name their fields alike, so one rule compares a
// saved state with either: the history checks the document itself after each
// update and copies it only when something changed.
template <typename Before, typename After> std::string DescribeChange(const Before& a, const After& b)
{
    for (std::size_t k = 0; k < 3; ++k) {
        if (!SameRecording(a.m_memory[k], b.m_memory[k])) {
            return b.m_memory[k].m_bOn ? kLoadNames[k] : kClearNames[k];
        }
    }
    for (std::size_t k = 0; k < 3; ++k) {
        if (a.m_memory[k].m_nShift != b.m_memory[k].m_nShift) {
            return kShiftNames[k];
        }
    }
    if (a.m_bGridApplied != b.m_bGridApplied || a.m_bGridSelected != b.m_bGridSelected ||
        a.m_gridSections != b.m_gridSections || a.m_gridNames != b.m_gridNames ||
        a.m_strGridApplied != b.m_strGridApplied) {
        return QT_TRANSLATE_NOOP("Core", "site grid");
    }
    if (a.m_dScale != b.m_dScale) {
        return QT_TRANSLATE_NOOP("Core", "scale");
    }
    if (a.m_nZoom != b.m_nZoom || a.m_bZoomed != b.m_bZoomed || a.m_dZoomCentre != b.m_dZoomCentre) {
        return QT_TRANSLATE_NOOP("Core", "zoom");
    }
    if (a.m_bShowHalfVelocity != b.m_bShowHalfVelocity) {
        return QT_TRANSLATE_NOOP("Core", "V/2-PR");
    }
    if (a.m_dCursor1 != b.m_dCursor1) {
        return QT_TRANSLATE_NOOP("Core", "move C1");
    }
    if (a.m_dCursor2 != b.m_dCursor2) {
        return QT_TRANSLATE_NOOP("Core", "move C2");
    }
    if (a.m_dFactor != b.m_dFactor) {
        return QT_TRANSLATE_NOOP("Core", "velocity factor");
    }
    return {};
}

} // namespace

std::string DescribeViewChange(const ViewState& a, const ViewState& b) { return DescribeChange(a, b); }

CViewHistory::CViewHistory(CZR815KDoc& doc, std::function<double()> clock)
    : m_doc(doc), m_fnClock(std::move(clock)), m_last(CaptureViewState(doc))
{
    m_doc.AddView(this);
}

CViewHistory::~CViewHistory() { m_doc.RemoveView(this); }

void CViewHistory::OnUpdate(CDocView*, int)
{
    if (m_bRestoring) {
        return;
    }
    const std::string name = DescribeChange(m_last, m_doc);
    if (name.empty()) {
        return;
    }
    ViewState now = CaptureViewState(m_doc);
    const double time = m_fnClock();
    const bool burst = !m_undo.empty() && m_redo.empty() && m_undo.back().m_strName == name &&
                       time - m_dLastTime < kBurst;
    if (!burst) {
        m_undo.push_back(Step{std::move(m_last), name});
        if (m_undo.size() > kDepth) {
            m_undo.erase(m_undo.begin());
        }
    }
    m_redo.clear();
    m_last = std::move(now);
    m_dLastTime = time;
}

std::string CViewHistory::UndoName() const { return m_undo.empty() ? std::string() : m_undo.back().m_strName; }

std::string CViewHistory::RedoName() const { return m_redo.empty() ? std::string() : m_redo.back().m_strName; }

bool CViewHistory::Take(std::vector<Step>& from, std::vector<Step>& to)
{
    if (from.empty()) {
        return false;
    }
    Step step = std::move(from.back());
    from.pop_back();
    to.push_back(Step{m_last, step.m_strName});
    m_last = std::move(step.m_state);
    m_dLastTime = -1e300; // the next change starts a step of its own
    m_bRestoring = true;
    RestoreViewState(m_doc, m_last);
    // Every view refreshes everything it shows: channels and layout, the
    // presentation, and the scale with its zoom.
    m_doc.UpdateAllViews(nullptr, HINT_MEMORY);
    m_doc.UpdateAllViews(nullptr, HINT_VELOCITY);
    m_doc.UpdateAllViews(nullptr, HINT_SCALE);
    m_bRestoring = false;
    // A view may have moved the document while refreshing (a reference mark, a
    // factor taken at a cursor): that is part of where the step lands.
    m_last = CaptureViewState(m_doc);
    return true;
}

bool CViewHistory::Undo() { return Take(m_undo, m_redo); }

bool CViewHistory::Redo() { return Take(m_redo, m_undo); }
