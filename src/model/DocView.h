// A view of the document: every form that shows document state implements it
// and re-reads what it shows when told of a change.
#pragma once

class CDocView
{
public:
    virtual ~CDocView() = default;
    // sender is the view that made the change (it is not told again), or null.
    virtual void OnUpdate(CDocView* sender, int hint) = 0;
    virtual void OnInitialUpdate() {}
};

// What changed, as carried by an update.
enum UpdateHint : int {
    HINT_REDRAW = 0,       // general redraw: cursors, clicks, wheel, site grid
    HINT_SCALE = 2,        // scale or zoom changed
    HINT_MEMORY = 4,       // a memory channel switched, or the legend layout changed
    HINT_VELOCITY = 5,     // V/2 - PR presentation toggled
    HINT_RETURN_LOSS = 6,  // RL presentation toggled
    HINT_MARKERS = 7,      // markers shown or hidden
};
