// The event finder on hand-built traces: a launch pulse, flat noise and
// rectangular echoes with short ramps, at 0.125 m per sample and a 20 ns pulse
// (2 m of position, 16 samples).
#include "model/EventFinder.h"
#include "model/events/Finder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kPulseSamples = 16;

// A record with a launch pulse of height 100 and a noise of ±2 units drawn
// from a fixed seed (deviation 1.4).
WaveformRecord Line(unsigned seed = 1, int noise = 2)
{
    WaveformRecord record;
    record.m_dSampleStep = 0.125;
    record.m_dScale = 1000;
    record.m_dColumnStep = 2;
    record.m_dPulse = 20;
    record.m_dFileFactor = 1.5;
    record.m_nGain = 0;
    std::mt19937 draw(seed);
    for (std::size_t k = 0; k < kTdrSampleCount; ++k) {
        const int n = noise > 0 ? static_cast<int>(draw() % static_cast<unsigned>(2 * noise + 1)) - noise : 0;
        record.m_samples[k] = static_cast<int8_t>(n);
    }
    for (int k = 0; k < kPulseSamples; ++k) {
        record.m_samples[static_cast<std::size_t>(k)] = 100;
    }
    return record;
}

// Adds an echo of the pulse's shape: a rise over two samples from `start`,
// `length` samples at `height`, a fall over two samples.
void AddEcho(WaveformRecord& record, int start, int height, int length = kPulseSamples)
{
    for (int k = 0; k < length + 2; ++k) {
        const double part = k == 0 ? 0.5 : (k == length + 1 ? 0.5 : 1.0);
        const double value = record.m_samples[static_cast<std::size_t>(start + k)] + part * height;
        record.m_samples[static_cast<std::size_t>(start + k)] =
            static_cast<int8_t>(std::clamp(std::lround(value), -128L, 127L));
    }
}

TEST(EventFinder, OneCleanOpenEnd)
{
    WaveformRecord record = Line();
    AddEcho(record, 4000, 60);
    const std::vector<LineEvent> events = FindEvents(record, 1.5);
    ASSERT_EQ(events.size(), 1u);
    const LineEvent& e = events[0];
    EXPECT_EQ(e.m_nNumber, 1);
    EXPECT_EQ(e.m_nSign, 1);
    EXPECT_EQ(e.m_kind, LineEventKind::Open);
    EXPECT_FALSE(e.m_bGhost);
    // The rise is half done at 4000.5: the edge lies within a sample of it.
    EXPECT_NEAR(e.m_dSample, 4000.5, 1.0);
    EXPECT_NEAR(e.m_dPosition, e.m_dSample * 0.125, 1e-9);
    EXPECT_NEAR(e.m_dDistance, e.m_dPosition, 1e-9); // PR 1.5: distance = position
    EXPECT_NEAR(e.m_nAmplitude, 60, 2);
    // 100 against 60: 4.4 dB.
    EXPECT_NEAR(e.m_dReturnLoss, 20 * std::log10(100.0 / e.m_nAmplitude), 0.15);

    // Distances at another PR, and at the recording's own one for a PR of 0 or less.
    EXPECT_NEAR(FindEvents(record, 3.0)[0].m_dDistance, e.m_dPosition / 2, 1e-9);
    record.m_dFileFactor = 1.2;
    EXPECT_NEAR(FindEvents(record, 0)[0].m_dDistance, e.m_dPosition * 1.5 / 1.2, 1e-9);
    EXPECT_NEAR(FindEvents(record, -1)[0].m_dDistance, e.m_dPosition * 1.5 / 1.2, 1e-9);
}

TEST(EventFinder, AShort)
{
    WaveformRecord record = Line(2);
    AddEcho(record, 3000, -60);
    const std::vector<LineEvent> events = FindEvents(record, 1.5);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].m_nSign, -1);
    EXPECT_EQ(events[0].m_kind, LineEventKind::Short);
    EXPECT_NEAR(events[0].m_dSample, 3000.5, 1.0);
    EXPECT_NEAR(events[0].m_nAmplitude, -60, 2);
    EXPECT_FALSE(events[0].m_bGhost);
}

TEST(EventFinder, ASpliceAndAnOpen)
{
    WaveformRecord record = Line(3);
    AddEcho(record, 2000, 25, kPulseSamples / 2);
    AddEcho(record, 2000 + kPulseSamples / 2 + 1, -25, kPulseSamples / 2);
    AddEcho(record, 5000, 50);
    const std::vector<LineEvent> events = FindEvents(record, 1.5);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].m_nNumber, 1);
    EXPECT_EQ(events[0].m_kind, LineEventKind::Splice);
    EXPECT_EQ(events[0].m_nSign, 1); // it starts with the rise
    EXPECT_NEAR(events[0].m_dSample, 2000.5, 2.0);
    EXPECT_EQ(events[1].m_nNumber, 2);
    EXPECT_EQ(events[1].m_kind, LineEventKind::Open);
    EXPECT_NEAR(events[1].m_dSample, 5000.5, 1.0);
}

TEST(EventFinder, AGhostAtTwiceTheDistance)
{
    // An open at 2000 and its weaker, inverted bounce at 4000.
    WaveformRecord record = Line(4);
    AddEcho(record, 2000, 80);
    AddEcho(record, 4000, -15);
    std::vector<LineEvent> events = FindEvents(record, 1.5);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_FALSE(events[0].m_bGhost);
    EXPECT_EQ(events[0].m_kind, LineEventKind::Open);
    EXPECT_TRUE(events[1].m_bGhost);
    EXPECT_EQ(events[1].m_nNumber, 2);

    // At two and a half times the distance it is an echo of its own (behind
    // an echo too small to be the end of the line, past which every echo
    // would be a multiple).
    record = Line(4);
    AddEcho(record, 2000, 30);
    AddEcho(record, 5000, -15);
    events = FindEvents(record, 1.5);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_FALSE(events[1].m_bGhost);

    // A stronger echo at twice the distance is no ghost of a weaker one.
    record = Line(4);
    AddEcho(record, 2000, 20);
    AddEcho(record, 4000, -60);
    events = FindEvents(record, 1.5);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_FALSE(events[1].m_bGhost);
}

TEST(EventFinder, ACableChangeLeavesAStep)
{
    // A rise in impedance: an echo of the pulse's shape that leaves a shelf of
    // a third of its height behind, fading over a thousand samples. The shelf
    // makes it a change, where the same echo falling back to the line's level
    // at the end of the trace is an open.
    WaveformRecord record = Line(8);
    AddEcho(record, 3000, 30);
    for (int k = 3000 + kPulseSamples + 1; k < static_cast<int>(kTdrSampleCount); ++k) {
        const double shelf = 10 * std::exp(-(k - 3000 - kPulseSamples - 1) / 1000.0);
        record.m_samples[static_cast<std::size_t>(k)] =
            static_cast<int8_t>(std::lround(record.m_samples[static_cast<std::size_t>(k)] + shelf));
    }
    std::vector<LineEvent> events = FindEvents(record, 1.5);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].m_kind, LineEventKind::Change);
    EXPECT_EQ(events[0].m_nSign, 1);
    EXPECT_NEAR(events[0].m_dSample, 3000.5, 1.0);
    EXPECT_NEAR(events[0].m_nAmplitude, 30, 3);

    record = Line(8);
    AddEcho(record, 3000, 30);
    events = FindEvents(record, 1.5);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].m_kind, LineEventKind::Open);
}

TEST(EventFinder, AWideWaterEchoStartsAtItsLeadingEdge)
{
    // A wet stretch 200 samples long (thirteen pulse widths), a small rise
    // where the cable dries, and the open end of the line beyond. The edge is
    // where the fall starts, not half a pulse before the echo's middle, and
    // the echo's closing edges are no events of their own.
    WaveformRecord record = Line(9);
    AddEcho(record, 2500, -30, 200 + kPulseSamples);
    AddEcho(record, 2700, 8);
    AddEcho(record, 6000, 60);
    const std::vector<LineEvent> events = FindEvents(record, 1.5);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].m_kind, LineEventKind::Water);
    EXPECT_EQ(events[0].m_nSign, -1);
    EXPECT_NEAR(events[0].m_dSample, 2500.5, 1.0);
    EXPECT_NEAR(events[0].m_nAmplitude, -30, 3);
    EXPECT_EQ(events[1].m_kind, LineEventKind::Open);
    EXPECT_NEAR(events[1].m_dSample, 6000.5, 1.0);
}

TEST(EventFinder, WeakEchoesBelowOneEdgesThreshold)
{
    // Noise ±2 (deviation 1.4): an edge needs a step of about 3.5 units to
    // stand clear alone (5 deviations of the step response of L = 8).
    // A pulse of 3 is found by its two edges together, at its leading edge.
    for (unsigned seed = 1; seed <= 5; ++seed) {
        WaveformRecord record = Line(seed);
        AddEcho(record, 4000, 3);
        const std::vector<LineEvent> events = FindEvents(record, 1.5);
        ASSERT_EQ(events.size(), 1u) << seed;
        EXPECT_EQ(events[0].m_nSign, 1) << seed;
        EXPECT_NEAR(events[0].m_dSample, 4000.5, 2.0) << seed;
    }
    // A splice of ±3: its half pulses stay under the threshold, the double
    // edge between them (a step of 6) does not. The edge lies half a pulse
    // before it, not on it.
    for (unsigned seed = 1; seed <= 5; ++seed) {
        WaveformRecord record = Line(seed);
        AddEcho(record, 3000, 3, kPulseSamples / 2);
        AddEcho(record, 3000 + kPulseSamples / 2 + 1, -3, kPulseSamples / 2);
        const std::vector<LineEvent> events = FindEvents(record, 1.5);
        ASSERT_EQ(events.size(), 1u) << seed;
        EXPECT_EQ(events[0].m_kind, LineEventKind::Splice) << seed;
        EXPECT_NEAR(events[0].m_dSample, 3000.5, 2.0) << seed;
    }
}

TEST(EventFinder, PureNoiseGivesNoEvent)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        EXPECT_TRUE(FindEvents(Line(seed, 4), 1.5).empty()) << seed;
    }
    // Noise without any launch pulse, and a trace that is flat zero.
    WaveformRecord record = Line(7, 3);
    for (int k = 0; k < kPulseSamples; ++k) {
        record.m_samples[static_cast<std::size_t>(k)] = 0;
    }
    EXPECT_TRUE(FindEvents(record, 1.5).empty());
    EXPECT_TRUE(FindEvents(Line(1, 0), 1.5).empty());
}

TEST(EventFinder, AllLaunchPulseGivesNone)
{
    // A 50 µs pulse spans 5000 m of position, far more than the record's 1000 m.
    WaveformRecord record = Line(5);
    record.m_dPulse = 50000;
    for (auto& sample : record.m_samples) {
        sample = 127;
    }
    EXPECT_TRUE(FindEvents(record, 1.5).empty());
    // The same pulse over noise and an echo-like step: still all launch pulse.
    record = Line(5);
    record.m_dPulse = 50000;
    AddEcho(record, 4000, 60);
    EXPECT_TRUE(FindEvents(record, 1.5).empty());
}

TEST(EventFinder, ReturnLossOfAClippedLaunchFollowsTheGain)
{
    // The launch reads full scale; at gain 5 (10 dB) it stands at 316 units, so
    // an echo of 60 units is 14.4 dB down.
    WaveformRecord record = Line(6);
    record.m_nGain = 5;
    for (int k = 0; k < kPulseSamples; ++k) {
        record.m_samples[static_cast<std::size_t>(k)] = 127;
    }
    AddEcho(record, 4000, 60);
    const std::vector<LineEvent> events = FindEvents(record, 1.5);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_NEAR(events[0].m_dReturnLoss, 20 * std::log10(100 * std::pow(10.0, 0.5) / events[0].m_nAmplitude), 0.15);
    // At gain 0 a clipped launch counts as what it reads.
    record.m_nGain = 0;
    EXPECT_NEAR(FindEvents(record, 1.5)[0].m_dReturnLoss, 20 * std::log10(127.0 / events[0].m_nAmplitude), 0.3);
}

TEST(EventFinder, UnusableSampleStepGivesNone)
{
    WaveformRecord record = Line();
    AddEcho(record, 4000, 60);
    for (double step : {0.0, -0.125, std::nan("")}) {
        record.m_dSampleStep = step;
        EXPECT_TRUE(FindEvents(record, 1.5).empty()) << step;
    }
}

TEST(EventFinder, KindNames)
{
    EXPECT_STREQ(LineEventKindName(LineEventKind::Open), "open");
    EXPECT_STREQ(LineEventKindName(LineEventKind::Short), "short");
    EXPECT_STREQ(LineEventKindName(LineEventKind::Water), "water");
    EXPECT_STREQ(LineEventKindName(LineEventKind::Splice), "splice");
    EXPECT_STREQ(LineEventKindName(LineEventKind::Change), "change");
}

} // namespace

TEST(EventFinder, AnEchoBehindAWetStretchsEchoIsAnEventOfItsOwn)
{
    // A short wet stretch and, four pulse widths behind its echo, a change to
    // a higher impedance: the change's rise is no closing edge of the fall.
    WaveformRecord record = Line(10);
    AddEcho(record, 2500, -30, kPulseSamples + 4);
    AddEcho(record, 2504, 7);
    AddEcho(record, 2584, 10);
    const std::vector<LineEvent> events = FindEvents(record, 1.5);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].m_nSign, -1);
    EXPECT_NEAR(events[0].m_dSample, 2500.5, 1.0);
    EXPECT_EQ(events[1].m_nSign, 1);
    EXPECT_NEAR(events[1].m_dSample, 2584.5, 1.0);
}

// The noise from first differences keeps the differences up to five times
// their mean size and drops the larger ones (echo edges). From sample 2999
// on, 5000 differences sum to 4000: the limit is exactly 4, so the ten 4s
// count and the ten 5s do not; the samples before `first` do not count.
TEST(EventFinder, NoiseFromDifferencesKeepsThoseAtTheLimit)
{
    std::array<int8_t, kTdrSampleCount> samples{};
    constexpr int kFirst = 2999;
    for (int k = 0; k < kFirst; ++k) {
        samples[static_cast<std::size_t>(k)] = static_cast<int8_t>(k % 2 == 0 ? 100 : -100);
    }
    std::vector<int> steps;
    for (int i = 0; i < 5; ++i) {
        steps.insert(steps.end(), {4, -4, 5, -5});
    }
    for (int i = 0; i < 1955; ++i) {
        steps.insert(steps.end(), {1, -1});
    }
    steps.resize(kTdrSampleCount - 1 - kFirst, 0);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        samples[kFirst + i + 1] = static_cast<int8_t>(samples[kFirst + i] + steps[i]);
    }
    // Kept: ten 4s and 3910 1s of 4990 differences, each √2 times the noise.
    EXPECT_DOUBLE_EQ(events::NoiseDeviation(samples, kFirst), std::sqrt((10 * 16 + 3910) / 4990.0 / 2));
}
