#include "model/EventFinder.h"

std::vector<LineEvent> FindEvents(const WaveformRecord&, double)
{
    return {};
}

const char* LineEventKindName(LineEventKind kind)
{
    switch (kind) {
    case LineEventKind::Open: return "open";
    case LineEventKind::Short: return "short";
    case LineEventKind::Water: return "water";
    case LineEventKind::Splice: return "splice";
    case LineEventKind::Change: return "change";
    }
    return "";
}
