// The whole-range plot of dual-screen mode: 500 columns over the whole scale,
// with a frame around the part the main plot shows. A click moves the zoom
// centre to the clicked column; a wheel step moves it by one column.
#pragma once

#include "model/PlotMouse.h"

#include <utility>

class CZR815KDoc;

// A column as an int. Positions can be typed in, so a column may be any
// double, NaN included, and converting a value beyond int to int is undefined.
// Plots clip everything outside 0..500, so the column is held to a range far
// beyond any plot first; NaN goes to the far left.
int ColumnToInt(double column);

// The column of a position on the whole-range plot: the nearest column edge,
// columns being m_dScale / 500 wide.
int WholeRangeColumn(const CZR815KDoc& doc, double position);

// Columns of the zoom frame's left and right sides: the edges of the main
// plot's window on the whole-range plot.
std::pair<int, int> ZoomFrameColumns(const CZR815KDoc& doc);

// A left click in `column`: the zoom centre moves to that column's position.
// Ends with a redraw update.
void ApplySecondScreenClick(CZR815KDoc& doc, int column);

// One wheel step of `delta` (only -120 steps left): the zoom centre moves one
// whole-range column, starting from where the window would stop against an
// end and held to 0..m_dScale. Ends with a redraw update.
void ApplySecondScreenWheel(CZR815KDoc& doc, int delta);

// A wheel turn of any angle delta: gathered into whole notches by `wheel`, each
// notch one wheel step (down for a notch down, up otherwise).
void ApplySecondScreenWheelTurn(CZR815KDoc& doc, WheelAccumulator& wheel, int delta);
