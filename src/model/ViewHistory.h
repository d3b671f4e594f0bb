// Undo and redo of what the user changes on the view: the cursors, the zoom
// and its centre, the scale, the velocity factor and its presentation, the
// shifts, the channels loaded and the site grid applied. Files are never
// touched: a step restores the document's state and nothing else.
//
// The history is a view of the document. After every update it compares the
// document with the state it last saw; a difference is a step, named after
// what changed ("move C1", "zoom", "load M2", ...). Steps of the same name
// that follow each other within a short pause (a run of wheel notches, keys
// held down) merge into one. A new step clears what could be redone.
#pragma once

#include "model/DocView.h"
#include "model/WaveformRecord.h"
#include "model/ZR815KDoc.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

struct ViewState
{
    double m_dScale = 0;
    int32_t m_nZoom = 0;
    bool m_bZoomed = false;
    double m_dZoomCentre = 0;
    double m_dCursor1 = 0;
    double m_dCursor2 = 0;
    double m_dFactor = 0;
    bool m_bShowHalfVelocity = false;
    std::array<WaveformRecord, 3> m_memory;
    bool m_bGridApplied = false;
    bool m_bGridSelected = false;
    std::vector<SiteGridSection> m_gridSections;
    std::vector<std::string> m_gridNames;
    std::string m_strGridApplied;
};

ViewState CaptureViewState(const CZR815KDoc& doc);
// Puts the state back into the document; sends no update.
void RestoreViewState(CZR815KDoc& doc, const ViewState& state);
// What changed from one state to the other, as a step's name; empty when nothing did.
std::string DescribeViewChange(const ViewState& before, const ViewState& after);

class CViewHistory : public CDocView
{
public:
    // clock: seconds from any fixed start (steps closer than kBurst merge).
    CViewHistory(CZR815KDoc& doc, std::function<double()> clock);
    ~CViewHistory() override;
    CViewHistory(const CViewHistory&) = delete;
    CViewHistory& operator=(const CViewHistory&) = delete;

    static constexpr double kBurst = 1.0;
    static constexpr std::size_t kDepth = 200; // oldest steps go beyond this

    void OnUpdate(CDocView* sender, int hint) override;

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    // The names of the steps Undo and Redo would take ("move C1"), or empty.
    std::string UndoName() const;
    std::string RedoName() const;
    // Each restores the state of one step and updates every view; false when
    // there is nothing to take.
    bool Undo();
    bool Redo();

private:
    struct Step
    {
        ViewState m_state; // the state on the other side of the step
        std::string m_strName;
    };
    bool Take(std::vector<Step>& from, std::vector<Step>& to);

    CZR815KDoc& m_doc;
    std::function<double()> m_fnClock;
    ViewState m_last;
    double m_dLastTime = -1e300;
    bool m_bRestoring = false;
    std::vector<Step> m_undo;
    std::vector<Step> m_redo;
};
