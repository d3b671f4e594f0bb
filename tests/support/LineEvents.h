// Events as a finder would report them, for tests that inject a finder.
#pragma once

#include "model/EventFinder.h"

inline LineEvent MakeLineEvent(int number, double position, LineEventKind kind, int amplitude, double returnLoss,
                               bool ghost = false)
{
    LineEvent e;
    e.m_nNumber = number;
    e.m_dPosition = position;
    e.m_nSign = amplitude < 0 ? -1 : 1;
    e.m_kind = kind;
    e.m_nAmplitude = amplitude;
    e.m_dReturnLoss = returnLoss;
    e.m_bGhost = ghost;
    return e;
}
