// The event scorer's own rules: which event finds which fault, and the aims
// as its pass mark, each at the exact edge of its bound.
#include "eventscore/Score.h"

#include "model/EventFinder.h"
#include "model/ScaleTables.h"
#include "model/WaveformRecord.h"
#include "tdrsynth/Synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

// Scale index 4 (1000 m) at the reference PR: a distance is its position.
constexpr int kScale = 4;

SynthParams Line(std::vector<SynthFault> faults)
{
    SynthParams params = ParamsForScale(kScale);
    params.m_dFactor = tables::kReferenceFactor;
    params.m_faults = std::move(faults);
    return params;
}

WaveformRecord RecordOf(const SynthParams& params)
{
    WaveformRecord record;
    record.m_dScale = tables::kScale[kScale];
    record.m_dSampleStep = tables::kSampleStep[kScale] / 100;
    record.m_dPulse = tables::kPulse[params.m_nPulseIndex];
    record.m_dFileFactor = params.m_dFactor;
    return record;
}

LineEvent EventAt(double distance)
{
    LineEvent e;
    e.m_dDistance = distance;
    e.m_dPosition = distance; // at the reference PR
    return e;
}

KindTally Tally(int faults, int found, int within)
{
    KindTally t;
    t.m_nFaults = faults;
    t.m_nFound = found;
    t.m_nKindRight = found;
    t.m_nWithin = within;
    return t;
}

// A table where every kind meets its aims from 10 dB up, with 100 waveforms.
ScoreTable Passing()
{
    ScoreTable table;
    for (auto& kind : table.m_kinds) {
        kind[static_cast<std::size_t>(SnrBand(kAimSnrDb))] = Tally(20, 20, 20);
    }
    table.m_waveforms[static_cast<std::size_t>(SnrBand(kAimSnrDb))] = 100;
    return table;
}

KindTally& AimBand(ScoreTable& table, FaultKind kind)
{
    return table.m_kinds[static_cast<std::size_t>(kind)][static_cast<std::size_t>(SnrBand(kAimSnrDb))];
}

// A change at 400 m and an open 30 m behind it, 200 ns pulse (20 m): the
// change's echo window runs from 390 to 480 m (four pulse widths past it),
// over the open's, 420 to 450 m. Tolerance: 2 m (one column of 1000 m).
SynthParams ChangeThenOpen()
{
    return Line({{FaultKind::CableChange, 400}, {FaultKind::Open, 430}});
}

TEST(EventScoreTest, AWideEchoWindowDoesNotTakeTheOnlyEventOfANarrowOne)
{
    // Handed out in order along the line, the change would take the event at
    // the open's edge, and the open, with nothing else on its window, would
    // be missed.
    const SynthParams params = ChangeThenOpen();
    const WaveformRecord record = RecordOf(params);
    EXPECT_EQ(MatchFaults(params, record, {EventAt(430.5), EventAt(470)}), (std::vector<int>{1, 0}));
}

TEST(EventScoreTest, OfEqualCountsTheSmallestSumOfErrorsWins)
{
    const SynthParams params = ChangeThenOpen();
    const WaveformRecord record = RecordOf(params);
    // The first event on the open's window is 5 m off, the next 1 m.
    EXPECT_EQ(MatchFaults(params, record, {EventAt(401), EventAt(425), EventAt(431)}), (std::vector<int>{0, 2}));
    // One event on both windows goes to the fault it is nearer.
    EXPECT_EQ(MatchFaults(params, record, {EventAt(430)}), (std::vector<int>{-1, 0}));
    EXPECT_EQ(MatchFaults(params, record, {EventAt(421)}), (std::vector<int>{-1, 0}));
    // Off every window (10 m before the change is past half a pulse): nothing.
    EXPECT_EQ(MatchFaults(params, record, {EventAt(389.9), EventAt(480.1)}), (std::vector<int>{-1, -1}));
    EXPECT_EQ(MatchFaults(params, record, {EventAt(390), EventAt(480)}), (std::vector<int>{0, -1}));
}

TEST(EventScoreTest, AimsHoldAtTheirExactEdges)
{
    EXPECT_EQ(CheckAims(Passing()), "");

    ScoreTable found = Passing();
    AimBand(found, FaultKind::Open) = Tally(20, 19, 19); // 95 %: holds
    AimBand(found, FaultKind::Splice) = Tally(20, 16, 16); // 80 %: holds
    EXPECT_EQ(CheckAims(found), "");
    AimBand(found, FaultKind::Open) = Tally(20, 18, 18);
    EXPECT_NE(CheckAims(found).find("open: 18 of 20 found"), std::string::npos);
    AimBand(found, FaultKind::Open) = Tally(20, 19, 19);
    AimBand(found, FaultKind::Splice) = Tally(20, 15, 15);
    EXPECT_NE(CheckAims(found).find("splice: 15 of 20 found"), std::string::npos);

    // The distance aim is a share of the faults found, not of all of them.
    ScoreTable within = Passing();
    AimBand(within, FaultKind::Water) = Tally(20, 20, 19); // 95 %: holds
    EXPECT_EQ(CheckAims(within), "");
    AimBand(within, FaultKind::Water) = Tally(20, 20, 18);
    EXPECT_NE(CheckAims(within).find("water: 18 of 20 found within"), std::string::npos);

    // Faults below 10 dB count toward no aim.
    ScoreTable weak = Passing();
    weak.m_kinds[0][static_cast<std::size_t>(SnrBand(kAimSnrDb - 0.1))] = Tally(50, 0, 0);
    EXPECT_EQ(CheckAims(weak), "");

    ScoreTable falseEvents = Passing();
    falseEvents.m_falseEvents[static_cast<std::size_t>(SnrBand(kAimSnrDb))] = 10; // 0.1 per waveform
    EXPECT_EQ(CheckAims(falseEvents), "");
    falseEvents.m_falseEvents[static_cast<std::size_t>(SnrBand(kAimSnrDb))] = 11;
    EXPECT_NE(CheckAims(falseEvents).find("11 false events on 100 waveforms"), std::string::npos);
}

} // namespace

namespace {

// On the physical line model the tolerance is the largest of a plot column,
// 0.5 % of the position and two samples; found counts within it, the kind
// among those found, and the false events per waveform depend on the noise.
TEST(EventScoreTest, LineModelToleranceAndAimsAtTheirEdges)
{
    EXPECT_DOUBLE_EQ(LineTolerance(1000, 0.125, 100), 2);      // one column of 1000 m
    EXPECT_DOUBLE_EQ(LineTolerance(1000, 0.125, 600), 3);      // 0.5 % of 600 m
    EXPECT_DOUBLE_EQ(LineTolerance(62.5, 0.125, 10), 0.25);    // two samples of 0.125 m

    ScoreTable table = Passing();
    table.m_model = ScoreModel::Line;
    EXPECT_EQ(CheckAims(table), "");
    AimBand(table, FaultKind::Open) = Tally(20, 20, 19); // 95 % of all found within: holds
    AimBand(table, FaultKind::Open).m_nKindRight = 18;   // 90 % of the found: holds
    AimBand(table, FaultKind::Splice) = Tally(20, 20, 17); // 85 %: holds
    AimBand(table, FaultKind::Splice).m_nKindRight = 16;   // 80 %: holds
    EXPECT_EQ(CheckAims(table), "");
    AimBand(table, FaultKind::Open) = Tally(20, 20, 18);
    EXPECT_NE(CheckAims(table).find("open: 18 of 20 found within the distance tolerance"), std::string::npos);
    AimBand(table, FaultKind::Open) = Tally(20, 20, 20);
    AimBand(table, FaultKind::Open).m_nKindRight = 17;
    EXPECT_NE(CheckAims(table).find("open: 17 of 20 found of the right kind"), std::string::npos);
    AimBand(table, FaultKind::Open) = Tally(20, 20, 20);

    // 0.2 false events per waveform with white noise, 0.3 with band-limited noise.
    table.m_falseEvents[static_cast<std::size_t>(SnrBand(kAimSnrDb))] = 25;
    EXPECT_NE(CheckAims(table).find("25 false events on 100 waveforms"), std::string::npos);
    table.m_noise = NoiseShape::Band;
    EXPECT_EQ(CheckAims(table), "");
    table.m_falseEvents[static_cast<std::size_t>(SnrBand(kAimSnrDb))] = 31;
    EXPECT_NE(CheckAims(table).find("aim at most 0.3 per waveform"), std::string::npos);

    // The floor (--floor): 65 % found within of each kind, 60 % of splices,
    // the kind right for 85 % of the ends and 75 % of the rest, 0.3 false
    // events per waveform with band noise.
    table.m_lineMarks = kLineFloor;
    AimBand(table, FaultKind::Open) = Tally(20, 20, 13);
    AimBand(table, FaultKind::Open).m_nKindRight = 17;
    AimBand(table, FaultKind::Splice) = Tally(20, 20, 12);
    AimBand(table, FaultKind::Splice).m_nKindRight = 15;
    table.m_falseEvents[static_cast<std::size_t>(SnrBand(kAimSnrDb))] = 30;
    EXPECT_EQ(CheckAims(table), "");
    AimBand(table, FaultKind::Open) = Tally(20, 20, 12);
    AimBand(table, FaultKind::Open).m_nKindRight = 16;
    AimBand(table, FaultKind::Splice) = Tally(20, 20, 11);
    AimBand(table, FaultKind::Splice).m_nKindRight = 14;
    EXPECT_EQ(CheckAims(table), "open: 12 of 20 found within the distance tolerance from 10 dB up, floor 65%\n"
                                "open: 16 of 20 found of the right kind, floor 85%\n"
                                "splice: 11 of 20 found within the distance tolerance from 10 dB up, floor 60%\n"
                                "splice: 14 of 20 found of the right kind, floor 75%\n");
}

// Without noise (--noise-free) the line model's set keeps its lines, and each
// fault the SNR of its noisy file, so that both tables band the faults alike;
// only the noise and the wander go.
TEST(EventScoreTest, ANoiseFreeLineSetKeepsItsLinesAndTheirBands)
{
    ScoreOptions options;
    options.m_model = ScoreModel::Line;
    options.m_nCount = 12;
    options.m_nSeed = 3;
    const std::vector<ScoreCase> noisy = GenerateScoreSet(options);
    options.m_bNoiseFree = true;
    const std::vector<ScoreCase> quiet = GenerateScoreSet(options);
    ASSERT_EQ(quiet.size(), noisy.size());
    long noisySteps = 0;
    long quietSteps = 0;
    for (std::size_t i = 0; i < quiet.size(); ++i) {
        ASSERT_EQ(quiet[i].m_truth.size(), noisy[i].m_truth.size());
        for (std::size_t f = 0; f < quiet[i].m_truth.size(); ++f) {
            EXPECT_EQ(quiet[i].m_truth[f].m_dPosition, noisy[i].m_truth[f].m_dPosition);
            EXPECT_EQ(quiet[i].m_truth[f].m_dSnrDb, noisy[i].m_truth[f].m_dSnrDb);
            EXPECT_EQ(quiet[i].m_snr[f], noisy[i].m_snr[f]);
        }
        WaveformRecord a;
        WaveformRecord b;
        ASSERT_TRUE(DecodeWaveform(a, noisy[i].m_bytes));
        ASSERT_TRUE(DecodeWaveform(b, quiet[i].m_bytes));
        for (std::size_t k = kTdrSampleCount / 2; k + 1 < kTdrSampleCount; ++k) {
            noisySteps += std::abs(a.m_samples[k + 1] - a.m_samples[k]);
            quietSteps += std::abs(b.m_samples[k + 1] - b.m_samples[k]);
        }
    }
    EXPECT_LT(4 * quietSteps, noisySteps);
}

} // namespace

namespace {

// A wet stretch on the synthesizer's own model (echo set of seed 2, waveform
// 72: 22 dB above the noise, a tolerance of one sample): its fall is wider
// than the pulse, and the centre of its lobes ran 4.5 samples late. It starts
// at the half height of its leading edge.
TEST(EventScoreTest, AWetStretchOfTheEchoModelStartsAtItsHalfHeight)
{
    ScoreOptions options;
    options.m_nSeed = 2;
    options.m_nCount = 73;
    std::vector<ScoreCase> set = GenerateScoreSet(options);
    ASSERT_EQ(set.size(), 73u);
    const ScoreTable table = ScoreSet({set[72]});
    const auto& water = table.m_kinds[static_cast<std::size_t>(FaultKind::Water)];
    int found = 0;
    int within = 0;
    for (const KindTally& band : water) {
        found += band.m_nFound;
        within += band.m_nWithin;
    }
    EXPECT_EQ(found, 1);
    EXPECT_EQ(within, 1);
}

} // namespace

namespace {

// Two changes of cable on the synthesizer's own model (echo set of seed 6,
// waveform 447: 20 dB above the noise, a 200 ns pulse of 160 samples). Their
// echoes are symmetric, each followed by a fading shelf, so that their long
// windows fit a spreading; their edges showed it by 1 and 4 units, which
// added up to a lossy line and moved both 21 and 26 samples early. Both lie
// within the tolerance of one plot column (8 samples) of their half heights.
TEST(EventScoreTest, SymmetricEchoesWithShelvesStayAtTheirHalfHeights)
{
    SynthParams params = ParamsForScale(3);
    params.m_nPulseIndex = 4;
    params.m_nAveragingExponent = 3;
    params.m_nGain = 3;
    params.m_dFactor = 1.543;
    params.m_nSeed = 1818913885443260055ULL;
    params.m_dNoiseLevel = 0.91017003069039071;
    params.m_faults = {{FaultKind::CableChange, 241.53625776603846}, {FaultKind::CableChange, 416.24083701851026}};
    WaveformRecord record;
    ASSERT_TRUE(DecodeWaveform(record, SynthesiseTdr(params)));
    const std::vector<LineEvent> events = FindEvents(record, params.m_dFactor);
    const double column = record.m_dScale / 500 / record.m_dSampleStep;
    for (const SynthFault& fault : params.m_faults) {
        const double sample = FaultPosition(params, fault.m_dDistance) / record.m_dSampleStep;
        const bool near = std::any_of(events.begin(), events.end(),
                                      [&](const LineEvent& e) { return std::fabs(e.m_dSample - sample) <= column; });
        EXPECT_TRUE(near) << "change at sample " << sample;
    }
}

// Drawn lines are changed past the draw's ranges by name and factor, 0.1..4
// at both ends; an unknown name, a factor just outside, none, or one with
// more after it are bad arguments, and so is the echo model.
TEST(EventScoreTest, ALineSetIsVariedOnlyByKnownNamesAndFactorsInRange)
{
    std::ostringstream out;
    std::ostringstream err;
    for (const char* vary : {"los=2", "loss=4.01", "loss=0.09", "loss", "loss=2x"}) {
        EXPECT_EQ(RunEventScore({"--model", "line", "--vary", vary}, out, err), 2) << vary;
    }
    EXPECT_EQ(RunEventScore({"--vary", "loss=2"}, out, err), 2);
    EXPECT_NE(RunEventScore({"--model", "line", "--count", "1", "--vary", "loss=4", "--vary", "rise=0.1"},
                            out, err),
              2);
}

// The gain is turned up by whole steps, 1..15, never past the highest; the
// echo model has none to turn.
TEST(EventScoreTest, ALineSetsGainIsTurnedUpWithinItsRange)
{
    std::ostringstream out;
    std::ostringstream err;
    for (const char* steps : {"0", "16", "-1", "2x"}) {
        EXPECT_EQ(RunEventScore({"--model", "line", "--gain-up", steps}, out, err), 2) << steps;
    }
    EXPECT_EQ(RunEventScore({"--gain-up", "2"}, out, err), 2);
    ScoreOptions options;
    options.m_model = ScoreModel::Line;
    options.m_nCount = 12;
    const std::vector<ScoreCase> drawn = GenerateScoreSet(options);
    options.m_nGainUp = 4;
    const std::vector<ScoreCase> up = GenerateScoreSet(options);
    options.m_nGainUp = kMostGain;
    const std::vector<ScoreCase> most = GenerateScoreSet(options);
    ASSERT_EQ(drawn.size(), up.size());
    ASSERT_EQ(drawn.size(), most.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(up[i].m_params.m_nGain, std::min(kMostGain, drawn[i].m_params.m_nGain + 4));
        EXPECT_EQ(most[i].m_params.m_nGain, kMostGain);
    }
}

} // namespace
