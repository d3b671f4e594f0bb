// Difference mode: while it is on, every channel that is on other than the
// reference is drawn as the reference minus that channel, column by column over
// the picked columns, held to the plot's sample range. The reference itself,
// and every channel while the mode is off, is drawn as picked plus its shift.
#pragma once

#include <array>
#include <cstdint>

#include "model/WaveformRecord.h"

class CZR815KDoc;

using PickedColumns = std::array<int8_t, 500>;

// reference[i] − channel[i] for every column, held to −128..127.
PickedColumns HeldDifference(const PickedColumns& reference, const PickedColumns& channel);

// The document's reference channel while difference mode is on and that
// channel is on; −1 otherwise (the mode then changes nothing).
int ReferenceInForce(const CZR815KDoc& doc);

// Whether a channel is drawn as a difference: it is on, a reference is in
// force and the channel is not that reference.
bool DrawnAsDifference(const CZR815KDoc& doc, int channel);

// The values a plot draws for a channel from the picked columns of the
// document's records (m_displayMain for the main plot, m_displaySecond for the
// second screen): the held difference against the reference, or the channel's
// own columns plus its shift, held to −128..127.
PickedColumns TraceValues(const CZR815KDoc& doc, int channel,
                          PickedColumns WaveformRecord::*columns = &WaveformRecord::m_displayMain);
