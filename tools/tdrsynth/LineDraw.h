// Random lines for the physical model: the ranges the event finder has to hold
// on, drawn from a seed so a scorer can rebuild any waveform of its set.
#pragma once

#include "tdrsynth/LineModel.h"

#include <cstdint>

// A random line for a scale index, drawn from seed: pulse index scale -2..+1;
// round-trip loss 4..32 dB over the scale at 1 / (2 x pulse width), 10..60 %
// of it DC resistance and up to 20 % dielectric; source 0.6..1.6 times the
// line; receiver band 1..8 over the pulse width (100 MHz and up at 10 ns);
// AC coupling 30..500 pulse widths; PR 1.25..2.2; 40..140 ohm; one to three
// faults; white or band-limited noise giving SNRs from below 0 to above 40 dB.
LineParams DrawLineParams(uint64_t seed, int scaleIndex);

// The drawn line seen by a receiver that does not follow the pulse width:
// its band moved to 100 MHz..1 GHz, log-uniform by the same draw (band 1 over
// the pulse width becomes 100 MHz, 8 over it 1 GHz), never narrower than
// before. Nothing else about the line changes.
void WidenReceiverBand(LineParams& params);

// A drawn line changed past the draw's ranges, to see how the event finder
// holds there: each quantity times its factor (1 leaves it), the source's
// ratio to the line's impedance raised to its power. The shares of the loss
// stay within the whole (DC first), the launch's rise within a pulse width.
struct LineVariation
{
    double m_dLoss = 1;
    double m_dDcShare = 1;
    double m_dDielectricShare = 1;
    double m_dRise = 1;
    double m_dSource = 1;
    double m_dCoupling = 1;
    double m_dWander = 1;
};

void VaryLine(LineParams& params, const LineVariation& vary);
