// What the keys do on the main plot while it has the focus: the keyboard's
// way to every cursor and zoom step the mouse wheel and clicks make.
#pragma once

class CZR815KDoc;

enum class PlotKey {
    Left,         // the active cursor one column left (with Shift ten)
    Right,        // the active cursor one column right (with Shift ten)
    Home,         // the active cursor to the window's left edge
    End,          // the active cursor to the window's right edge
    ZoomIn,       // one zoom step deeper about the anchor cursor
    ZoomOut,      // one zoom step back
    PageUp,       // the zoomed window half its width towards 0
    PageDown,     // the zoomed window half its width towards the scale's end
    NextMode,     // the active cursor: C1, C2, zoom mode, and round again
    PreviousMode, // the same cycle backwards
};

// The cursor the keys move: C1 or C2 in their modes, else the zoom anchor.
double& ActiveCursor(CZR815KDoc& doc);

// Applies a key through the document operations the wheel and the mouse-mode
// commands use, so every view follows (one redraw update when anything
// changed). `large` is Shift: ten columns instead of one. Returns whether the
// document changed.
bool ApplyPlotKey(CZR815KDoc& doc, PlotKey key, bool large = false);
