// Finds the events along a line on one recorded waveform: where each
// reflection starts, its sign, a best-guess kind, its size and whether it is
// likely a ghost (an echo bounced once more between the fault and the
// instrument). Works on the samples alone, so the library panel, the command
// line and the scorer share one answer.
#pragma once

#include "model/WaveformRecord.h"

#include <vector>

enum class LineEventKind { Open, Short, Water, Splice, Change };

struct LineEvent
{
    int m_nNumber = 0;        // 1, 2, ... along the line
    double m_dSample = 0;     // leading edge, in samples from the first one
    double m_dPosition = 0;   // leading edge, metres of position (m_dSample × sample step)
    double m_dDistance = 0;   // leading edge, metres of distance at the PR given
    int m_nSign = 0;          // +1 rise in impedance (open, break), -1 fall (short, water)
    LineEventKind m_kind = LineEventKind::Open;
    int m_nAmplitude = 0;     // peak height above the baseline, sample units, signed
    double m_dReturnLoss = 0; // dB of the echo against the launch pulse, >= 0
    bool m_bGhost = false;    // likely a multiple reflection of stronger, earlier echoes
    // A stretch (wet cable, a short length of other cable) is one event: its
    // far side, where the line returns to its own impedance, in the same units.
    bool m_bStretch = false;
    double m_dEndSample = 0;
    double m_dEndPosition = 0;
    double m_dEndDistance = 0;
};

// The events of the record's trace, in order along the line. pr is the
// velocity factor the distances are given at (the recording's own one when
// the caller has no other); a pr of 0 or less counts as the recording's.
std::vector<LineEvent> FindEvents(const WaveformRecord& record, double pr);

// "open", "short", "water", "splice", "change".
const char* LineEventKindName(LineEventKind kind);
