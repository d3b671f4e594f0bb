// The finder's run, the heights of the echoes and the events.
#include "model/events/Finder.h"

#include "model/ScaleTables.h"

#include <algorithm>
#include <cmath>

namespace events {

std::vector<LineEvent> Finder::Run()
{
    std::vector<LineEvent> events;
    if (!(m_dStep > 0) || !std::isfinite(m_dStep)) {
        return events;
    }
    m_sum[0] = 0;
    for (int k = 0; k < kCount; ++k) {
        m_sum[k + 1] = m_sum[k] + m_record.m_samples[k];
    }
    FindLaunch();
    if (m_nLaunchEnd >= kCount - 8) {
        return events;
    }
    m_dNoise = NoiseDeviation(m_record.m_samples, m_nLaunchEnd);
    const double L = m_nWindow;
    const double perSample =
        std::max({kThresholdDeviations * m_dNoise * std::sqrt(2 / L), kThresholdFloor, kWanderSlope * L,
                  kThresholdDeviations * StepDeviation() / L});
    m_nThreshold = static_cast<int64_t>(std::ceil(perSample * L));
    FindDeadZoneEnd();
    if (m_nDeadEnd >= kCount - m_nWindow - 8) {
        return events;
    }
    return Describe(Group(FindLobes()));
}

// The echo's height: the window mean farthest from the line's level before
// it, over the echo's top.
double Finder::Height(const Candidate& c) const
{
    const double level = WindowMean(std::max(c.m_nLevelAt, m_nDeadEnd - m_nWindow));
    double best = 0;
    const int to = std::min(c.m_nTopTo, kCount - m_nWindow);
    for (int k = std::max(c.m_nTopFrom, 0); k <= to; ++k) {
        best = std::max(best, (WindowMean(k) - level) * c.m_nSign);
    }
    return best * c.m_nSign;
}

std::vector<LineEvent> Finder::Describe(const std::vector<Candidate>& candidates) const
{
    std::vector<LineEvent> events;
    const double launch = LaunchHeight();
    std::vector<Candidate> kept;
    for (const Candidate& c : candidates) {
        if (events.size() >= kMaxEvents) {
            break;
        }
        const double height = Height(c);
        if (c.m_dStrength < kLeastHeight) {
            continue;
        }
        kept.push_back(c);
        LineEvent e;
        e.m_nNumber = static_cast<int>(events.size()) + 1;
        e.m_dSample = std::max(c.m_dEdge, 0.0);
        e.m_dPosition = e.m_dSample * m_dStep;
        e.m_dDistance = m_dFactor > 0 ? e.m_dPosition * tables::kReferenceFactor / m_dFactor : 0;
        e.m_nSign = c.m_nSign;
        e.m_nAmplitude = static_cast<int>(std::lround(height));
        if (e.m_nAmplitude == 0 || e.m_nAmplitude * e.m_nSign < 0) {
            e.m_nAmplitude = e.m_nSign;
        }
        e.m_dReturnLoss = std::max(0.0, 20 * std::log10(launch / std::abs(e.m_nAmplitude)));
        events.push_back(e);
    }
    MarkGhosts(events);
    Classify(kept, events);
    return events;
}

} // namespace events

std::vector<LineEvent> FindEvents(const WaveformRecord& record, double pr)
{
    return events::Finder(record, pr).Run();
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
