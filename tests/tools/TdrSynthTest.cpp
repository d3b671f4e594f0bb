// The synthetic waveforms: file layout, header round trip, determinism, the
// shape of the echoes, and the tdrsynth commands.
#include "support/TempDir.h"
#include "tdrsynth/CableSamples.h"
#include "tdrsynth/Commands.h"
#include "tdrsynth/Synth.h"

#include "model/ScaleTables.h"
#include "model/WaveformRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>

namespace {

int32_t Word(const std::vector<uint8_t>& bytes, std::size_t index)
{
    uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(bytes[index * 4 + i]) << (8 * i);
    }
    return static_cast<int32_t>(value);
}

WaveformRecord Decode(const std::vector<uint8_t>& bytes)
{
    WaveformRecord record;
    EXPECT_TRUE(DecodeWaveform(record, bytes));
    return record;
}

SynthParams WithFaults(int scale, std::vector<SynthFault> faults, double factor = 1.5)
{
    SynthParams params = ParamsForScale(scale);
    params.m_faults = std::move(faults);
    params.m_dFactor = factor;
    return params;
}

// Sample index of a distance on a record made with params.
std::size_t SampleAt(const SynthParams& params, double distance)
{
    const double step = tables::kSampleStep[params.m_nScaleIndex] / 100.0;
    return static_cast<std::size_t>(FaultPosition(params, distance) / step);
}

// Samples of [first, last) of a record.
std::vector<int> Slice(const WaveformRecord& record, std::size_t first, std::size_t last)
{
    return std::vector<int>(record.m_samples.begin() + static_cast<std::ptrdiff_t>(first),
                            record.m_samples.begin() +
                                static_cast<std::ptrdiff_t>(std::min(last, kTdrSampleCount)));
}

int Max(const std::vector<int>& v)
{
    return *std::max_element(v.begin(), v.end());
}
int Min(const std::vector<int>& v)
{
    return *std::min_element(v.begin(), v.end());
}

// Samples the leading edge of an echo takes to rise from 20 % to 80 % of its peak.
int RiseSamples(const std::vector<int>& v)
{
    const auto peak = std::max_element(v.begin(), v.end());
    return static_cast<int>(
        std::count_if(v.begin(), peak, [&](int s) { return s > *peak / 5 && s < *peak * 4 / 5; }));
}

double Deviation(const std::vector<int>& v)
{
    double mean = 0;
    for (int s : v) {
        mean += s;
    }
    mean /= static_cast<double>(v.size());
    double sum = 0;
    for (int s : v) {
        sum += (s - mean) * (s - mean);
    }
    return std::sqrt(sum / static_cast<double>(v.size()));
}

SynthFault At(FaultKind kind, double distance)
{
    return SynthFault{kind, distance};
}

} // namespace

TEST(TdrSynthFile, LayoutAndHeaderRoundTrip)
{
    SynthParams params = ParamsForScale(8);
    params.m_nPulseIndex = 6;
    params.m_nAveragingExponent = 6;
    params.m_nGain = 5;
    params.m_nImpedance = 75;
    params.m_dFactor = 1.015; // 1.015 × 1000 comes out just below 1015: must round, not truncate
    params.m_dDelay = 25;
    params.m_nThreshold = 64;
    params.m_nMethod = kMethodArc;
    const std::vector<uint8_t> bytes = SynthesiseTdr(params);
    ASSERT_EQ(bytes.size(), kTdrFileSize);

    EXPECT_EQ(Word(bytes, 6), 1015);
    EXPECT_EQ(Word(bytes, 8), 5);
    EXPECT_EQ(Word(bytes, 9), 4);
    for (std::size_t w : {0u, 7u, 11u, 64u, 127u}) {
        EXPECT_EQ(Word(bytes, w), 0) << "word " << w;
    }

    const WaveformRecord record = Decode(bytes);
    EXPECT_EQ(record.m_dScale, 16000);
    EXPECT_EQ(record.m_dSampleStep, 2.0);
    EXPECT_EQ(record.m_dPulse, 1000);
    EXPECT_EQ(record.m_nAverages, 64);
    EXPECT_EQ(record.m_nGain, 5);
    EXPECT_EQ(record.m_nImpedance, 75);
    EXPECT_DOUBLE_EQ(record.m_dFileFactor, 1.015);
    EXPECT_DOUBLE_EQ(record.m_dDelay, 25);
    EXPECT_EQ(record.m_nThreshold, 64);
    EXPECT_STREQ(MethodText(record.m_nMethod), "arc");
}

TEST(TdrSynthFile, EveryScaleGetsItsOwnPulseAndDecodes)
{
    for (int scale = 0; scale < tables::kCount; ++scale) {
        const std::vector<uint8_t> bytes = SynthesiseTdr(ParamsForScale(scale));
        ASSERT_EQ(bytes.size(), kTdrFileSize) << scale;
        const WaveformRecord record = Decode(bytes);
        EXPECT_EQ(record.m_dScale, tables::kScale[scale]);
        EXPECT_EQ(record.m_dPulse, tables::kPulse[scale]);
        EXPECT_EQ(record.m_nMethod, kMethodPulse);
        // The launch pulse opens every record, whatever the scale.
        EXPECT_GT(Max(Slice(record, 0, 8)), 60) << scale;
    }
}

TEST(TdrSynthFile, LoudSignalsClampInsteadOfWrapping)
{
    SynthParams params = WithFaults(4, {At(FaultKind::Short, 100)});
    params.m_nGain = 15;
    const WaveformRecord record = Decode(SynthesiseTdr(params));
    const std::vector<int> launch = Slice(record, 0, 100);
    EXPECT_EQ(Max(launch), 127);
    // A wrapped launch pulse would show as large negative values right after 127.
    EXPECT_GT(Min(Slice(record, 20, 140)), -40);
    EXPECT_EQ(Min(Slice(record, SampleAt(params, 100), SampleAt(params, 130))), -128);
}

TEST(TdrSynthFile, SeedDecidesTheNoiseOnly)
{
    SynthParams params = WithFaults(4, {At(FaultKind::Splice, 300), At(FaultKind::Open, 800)});
    params.m_nSeed = 7;
    const std::vector<uint8_t> first = SynthesiseTdr(params);
    EXPECT_EQ(first, SynthesiseTdr(params));

    params.m_nSeed = 8;
    const std::vector<uint8_t> other = SynthesiseTdr(params);
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + kTdrHeaderBytes, other.begin()));
    std::size_t differing = 0;
    double meanDifference = 0;
    for (std::size_t k = kTdrHeaderBytes; k < kTdrFileSize; ++k) {
        const int d = static_cast<int8_t>(first[k]) - static_cast<int8_t>(other[k]);
        differing += d != 0;
        meanDifference += std::abs(d);
    }
    meanDifference /= kTdrSampleCount;
    EXPECT_GT(differing, kTdrSampleCount / 2);
    EXPECT_LT(meanDifference, 6.0); // same echoes, only the noise and the wander differ
}

TEST(TdrSynthFile, MoreAveragingLessNoise)
{
    SynthParams params = ParamsForScale(4);
    params.m_nAveragingExponent = 0;
    const double single = Deviation(Slice(Decode(SynthesiseTdr(params)), 2000, 2400));
    params.m_nAveragingExponent = 8;
    const double many = Deviation(Slice(Decode(SynthesiseTdr(params)), 2000, 2400));
    EXPECT_GT(single, 3 * many);
}

TEST(TdrSynthEchoes, OpenEndPositiveShortNegativeAtTheirPositions)
{
    for (int scale : {0, 4, 8}) {
        const double end = tables::kScale[scale] * 0.8;
        const double pulse = tables::kPulse[scale] * 0.1; // metres of position
        const SynthParams open = WithFaults(scale, {At(FaultKind::Open, end)});
        const SynthParams shorted = WithFaults(scale, {At(FaultKind::Short, end)});
        const std::size_t at = SampleAt(open, end);
        const std::size_t span =
            static_cast<std::size_t>(3 * pulse / (tables::kSampleStep[scale] / 100.0)) + 2;

        const WaveformRecord openRecord = Decode(SynthesiseTdr(open));
        const WaveformRecord shortRecord = Decode(SynthesiseTdr(shorted));
        EXPECT_GT(Max(Slice(openRecord, at, at + span)), 30) << scale;
        EXPECT_LT(Min(Slice(shortRecord, at, at + span)), -30) << scale;
        // Quiet line between the launch pulse and the fault.
        const std::vector<int> before = Slice(openRecord, at / 2, at - span);
        EXPECT_LT(Max(before), 15) << scale;
        EXPECT_GT(Min(before), -15) << scale;
    }
}

TEST(TdrSynthEchoes, RecordingPrMovesTheEcho)
{
    const SynthParams plain = WithFaults(4, {At(FaultKind::Open, 600)}, 1.5);
    const SynthParams slow = WithFaults(4, {At(FaultKind::Open, 600)}, 1.6);
    // 600 m at PR 1.6 lies at 640 m of position: sample 5120 instead of 4800.
    EXPECT_EQ(SampleAt(slow, 600), 5120u);
    const WaveformRecord plainRecord = Decode(SynthesiseTdr(plain));
    const WaveformRecord slowRecord = Decode(SynthesiseTdr(slow));
    EXPECT_GT(Max(Slice(plainRecord, 4800, 4980)), 30);
    EXPECT_LT(Max(Slice(slowRecord, 4800, 4980)), 15);
    EXPECT_GT(Max(Slice(slowRecord, 5120, 5300)), 30);
}

TEST(TdrSynthEchoes, FartherEchoesAreWeakerAndWider)
{
    SynthParams nearEnd = WithFaults(4, {At(FaultKind::Open, 100)});
    SynthParams farEnd = WithFaults(4, {At(FaultKind::Open, 950)});
    nearEnd.m_nGain = farEnd.m_nGain = 0; // keep both echoes below the top of the range
    const std::vector<int> nearEcho = Slice(Decode(SynthesiseTdr(nearEnd)), 700, 1000);
    const std::vector<int> farEcho = Slice(Decode(SynthesiseTdr(farEnd)), 7400, 7800);
    EXPECT_LT(Max(farEcho), Max(nearEcho) * 3 / 4);
    EXPECT_GT(RiseSamples(farEcho), 3 * RiseSamples(nearEcho) / 2);
}

TEST(TdrSynthEchoes, SmallFaultsKeepTheLineGoing)
{
    // Splice: a positive lobe, then a negative one.
    const SynthParams splice = WithFaults(4, {At(FaultKind::Splice, 400), At(FaultKind::Open, 850)});
    const WaveformRecord spliced = Decode(SynthesiseTdr(splice));
    const std::vector<int> bump = Slice(spliced, 3180, 3420);
    const auto top = std::max_element(bump.begin(), bump.end());
    const auto bottom = std::min_element(bump.begin(), bump.end());
    EXPECT_GT(*top, 8);
    EXPECT_LT(*bottom, -8);
    EXPECT_LT(top, bottom);
    EXPECT_GT(Max(Slice(spliced, 6800, 7000)), 30);

    // Water: a negative echo, and the open end behind it still answers.
    const WaveformRecord wet =
        Decode(SynthesiseTdr(WithFaults(4, {At(FaultKind::Water, 400), At(FaultKind::Open, 850)})));
    EXPECT_LT(Min(Slice(wet, 3200, 3450)), -20);
    EXPECT_GT(Max(Slice(wet, 6800, 7000)), 25);

    // Cable change: a positive echo and a raised shelf behind it.
    const WaveformRecord changed = Decode(SynthesiseTdr(WithFaults(4, {At(FaultKind::CableChange, 400)})));
    const WaveformRecord plain = Decode(SynthesiseTdr(ParamsForScale(4)));
    EXPECT_GT(Max(Slice(changed, 3200, 3400)), 12);
    int raised = 0;
    for (std::size_t k = 3400; k < 3700; ++k) {
        raised += changed.m_samples[k] - plain.m_samples[k];
    }
    EXPECT_GT(raised / 300.0, 2.0);
}

TEST(TdrSynthEchoes, NothingBeyondAnOpenEndButItsSecondEcho)
{
    // A splice listed past the end is cut off; the end's second echo (at twice
    // its position, bounced off the instrument) is negative.
    const SynthParams end = WithFaults(4, {At(FaultKind::Open, 300)});
    const SynthParams endAndSplice = WithFaults(4, {At(FaultKind::Open, 300), At(FaultKind::Splice, 450)});
    EXPECT_EQ(SynthesiseTdr(end), SynthesiseTdr(endAndSplice));
    EXPECT_LT(Min(Slice(Decode(SynthesiseTdr(end)), 4800, 5050)), -8);
}

TEST(TdrSynthParams, RejectsWhatNoFileCanHold)
{
    const auto rejected = [](auto change) {
        SynthParams params = ParamsForScale(4);
        change(params);
        return !CheckParams(params).empty() && SynthesiseTdr(params).empty();
    };
    EXPECT_TRUE(rejected([](SynthParams& p) { p.m_nScaleIndex = 12; }));
    EXPECT_TRUE(rejected([](SynthParams& p) { p.m_nPulseIndex = -1; }));
    EXPECT_TRUE(rejected([](SynthParams& p) { p.m_nAveragingExponent = 17; }));
    EXPECT_TRUE(rejected([](SynthParams& p) { p.m_dFactor = 0.9; }));
    EXPECT_TRUE(rejected([](SynthParams& p) { p.m_dFactor = std::nan(""); }));
    EXPECT_TRUE(rejected([](SynthParams& p) { p.m_faults = {At(FaultKind::Open, -5)}; }));
    // 1 km scale at PR 1.6: the record ends at 937.5 m of distance.
    EXPECT_TRUE(rejected([](SynthParams& p) {
        p.m_dFactor = 1.6;
        p.m_faults = {At(FaultKind::Open, 940)};
    }));
    EXPECT_FALSE(rejected([](SynthParams& p) {
        p.m_dFactor = 1.6;
        p.m_faults = {At(FaultKind::Open, 930)};
    }));
    EXPECT_EQ(ParseMethod("ware"), kMethodWare);
    EXPECT_EQ(ParseMethod("D"), kMethodArc);
    EXPECT_EQ(ParseMethod("90"), 90);
    EXPECT_FALSE(ParseMethod("9x").has_value());
}

namespace {

struct CommandRun
{
    int code = 0;
    std::string out;
    std::string err;
};

CommandRun RunArgs(std::vector<std::string> args)
{
    std::ostringstream out;
    std::ostringstream err;
    CommandRun run;
    run.code = RunTdrSynth(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(TdrSynthCommands, SamplesWritesTheSetOnce)
{
    TempDir dir;
    const std::filesystem::path folder = dir / "nested/samples";
    const CommandRun first = RunArgs({"samples", folder.string()});
    ASSERT_EQ(first.code, 0) << first.err;

    const std::vector<SampleWaveform> samples = BuiltInSamples();
    const std::vector<std::filesystem::path> files = ListTdrFiles(folder);
    ASSERT_EQ(files.size(), samples.size());
    std::set<double> scales;
    std::set<int> methods;
    std::set<double> factors;
    bool cyrillic = false;
    for (const SampleWaveform& sample : samples) {
        const std::vector<uint8_t> bytes = ReadBytes(folder / sample.m_strFileName);
        ASSERT_EQ(bytes, SynthesiseTdr(sample.m_params)) << sample.m_strFileName;
        const WaveformRecord record = Decode(bytes);
        scales.insert(record.m_dScale);
        methods.insert(record.m_nMethod);
        factors.insert(record.m_dFileFactor);
        cyrillic |= sample.m_strFileName.find("обрыв") != std::string::npos;
    }
    EXPECT_EQ(*scales.begin(), 62.5);
    EXPECT_EQ(*scales.rbegin(), 16000);
    EXPECT_EQ(methods, (std::set<int>{kMethodArc, kMethodPulse, kMethodWare}));
    EXPECT_GE(factors.size(), 3u);
    EXPECT_TRUE(cyrillic);

    // A second run leaves the folder alone and says so in one line.
    std::filesystem::remove(files.front());
    const CommandRun second = RunArgs({"samples", folder.string()});
    EXPECT_EQ(second.code, 0);
    EXPECT_EQ(std::count(second.out.begin(), second.out.end(), '\n'), 1);
    EXPECT_EQ(ListTdrFiles(folder).size(), samples.size() - 1);
}

TEST(TdrSynthCommands, SamplesRespectsUpperCaseExtensionsAndFiles)
{
    TempDir dir;
    dir.WriteFile("OLD.TDR", "x");
    EXPECT_EQ(RunArgs({"samples", dir.Path().string()}).code, 0);
    EXPECT_EQ(ListTdrFiles(dir.Path()).size(), 1u);

    dir.WriteFile("plain", "x");
    const CommandRun onFile = RunArgs({"samples", (dir / "plain").string()});
    EXPECT_NE(onFile.code, 0);
    EXPECT_FALSE(onFile.err.empty());
}

TEST(TdrSynthCommands, WriteAppliesOptionsInAnyOrder)
{
    TempDir dir;
    const std::filesystem::path file = dir / "line.tdr";
    const CommandRun run = RunArgs({"write", file.string(), "--pr", "1.6", "--open", "200", "--method", "arc",
                                    "--scale", "2", "--seed", "5", "--splice", "80"});
    ASSERT_EQ(run.code, 0) << run.err;
    const WaveformRecord record = Decode(ReadBytes(file));
    EXPECT_EQ(record.m_dScale, 250);
    EXPECT_EQ(record.m_dPulse, 50); // the scale's own pulse, though --scale came last
    EXPECT_DOUBLE_EQ(record.m_dFileFactor, 1.6);
    EXPECT_EQ(record.m_nMethod, kMethodArc);

    SynthParams expected = WithFaults(2, {At(FaultKind::Open, 200), At(FaultKind::Splice, 80)}, 1.6);
    expected.m_nMethod = kMethodArc;
    expected.m_nSeed = 5;
    EXPECT_EQ(ReadBytes(file), SynthesiseTdr(expected));
}

TEST(TdrSynthCommands, BadArgumentsFailWithUsageAndWriteNothing)
{
    TempDir dir;
    const std::string file = (dir / "x.tdr").string();
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"draw", "x"},
        {"samples"},
        {"info", "a", "b"},
        {"write"},
        {"write", file, "--scale"},
        {"write", file, "--scale", "12"},
        {"write", file, "--pr", "1,5"},
        {"write", file, "--colour", "red"},
        {"write", file, "stray"},
        {"write", file, "--open", "5000"},
    };
    for (const auto& args : bad) {
        const CommandRun run = RunArgs(args);
        EXPECT_EQ(run.code, 2) << (args.empty() ? "" : args[0]);
        EXPECT_NE(run.err.find("usage:"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "x.tdr"));
    EXPECT_EQ(RunArgs({"write", (dir / "missing/x.tdr").string()}).code, 1);
}

TEST(TdrSynthCommands, InfoListsFolderInNameOrder)
{
    TempDir dir;
    SynthParams params = ParamsForScale(4);
    params.m_dFactor = 1.45;
    params.m_dDelay = 10;
    params.m_nMethod = 90;
    const std::vector<uint8_t> bytes = SynthesiseTdr(params);
    dir.WriteFile("a.tdr", std::string(bytes.begin(), bytes.end()));
    params.m_nMethod = kMethodWare;
    const std::vector<uint8_t> ware = SynthesiseTdr(params);
    dir.WriteFile("B.TDR", std::string(ware.begin(), ware.end()));
    dir.WriteFile("c.tdr", std::string(bytes.begin(), bytes.end() - 1));
    std::vector<uint8_t> badHeader = bytes;
    badHeader[8] = 12; // scale index 12
    dir.WriteFile("d.tdr", std::string(badHeader.begin(), badHeader.end()));
    dir.WriteFile("notes.txt", "x");

    const CommandRun run = RunArgs({"info", dir.Path().string()});
    ASSERT_EQ(run.code, 0) << run.err;
    std::vector<std::string> lines;
    std::istringstream in(run.out);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 5u) << run.out;
    EXPECT_EQ(lines[1].rfind("a.tdr", 0), 0u);
    EXPECT_EQ(lines[2].rfind("B.TDR", 0), 0u);
    EXPECT_NE(lines[1].find("1.450"), std::string::npos);
    EXPECT_NE(lines[1].find("10.0"), std::string::npos);
    EXPECT_NE(lines[1].find(" 90 "), std::string::npos); // a method without text shows its code
    EXPECT_NE(lines[2].find(" ware "), std::string::npos);
    EXPECT_NE(lines[3].find("not a waveform (8511 bytes)"), std::string::npos);
    EXPECT_NE(lines[4].find("not a waveform (bad header)"), std::string::npos);
    EXPECT_EQ(run.out.find("notes"), std::string::npos);

    const CommandRun missing = RunArgs({"info", (dir / "nowhere").string()});
    EXPECT_EQ(missing.code, 1);
    EXPECT_FALSE(missing.err.empty());
}

TEST(TdrSynthCommands, NamesSortWithoutRegardToCase)
{
    EXPECT_TRUE(NameLess("a.tdr", "B.tdr"));
    EXPECT_TRUE(NameLess("B.tdr", "c.tdr"));
    EXPECT_TRUE(NameLess("line.tdr", "line2.tdr"));
    EXPECT_TRUE(NameLess("Zeta.tdr", "абв.tdr"));
    EXPECT_TRUE(NameLess("Обрыв.tdr", "пробой.tdr"));
    EXPECT_FALSE(NameLess("A.tdr", "A.tdr"));
    EXPECT_NE(NameLess("A.tdr", "a.tdr"), NameLess("a.tdr", "A.tdr"));
}

TEST(TdrSynthCommands, TheManualPageNamesEveryCommandAndOptionOfTheUsage)
{
    const CommandRun help = RunArgs({"--help"});
    ASSERT_EQ(help.code, 0);
    std::ifstream in(std::filesystem::path(ONDALIS_DOCS_DIR) / "tdrsynth.1");
    ASSERT_TRUE(in) << "docs/tdrsynth.1 is missing";
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // troff writes a hyphen as \-.
    const auto escaped = [](const std::string& word) {
        std::string out;
        for (const char ch : word) {
            out += ch == '-' ? std::string("\\-") : std::string(1, ch);
        }
        return out;
    };
    int options = 0;
    std::istringstream words(help.out);
    for (std::string word; words >> word;) {
        if (word.rfind("--", 0) == 0) {
            ++options;
            EXPECT_NE(page.find(escaped(word)), std::string::npos) << word;
        }
    }
    EXPECT_GE(options, 25);
    for (const char* command : {"samples", "write", "info", "cables"}) {
        EXPECT_NE(page.find(std::string(".B tdrsynth ") + command), std::string::npos) << command;
    }
}

TEST(TdrSynthCommands, CablesWritesTheStarterLibraryUnlessOneIsThere)
{
    TempDir dir;
    const std::filesystem::path file = dir / "cables.tku";
    const CommandRun first = RunArgs({"cables", file.string()});
    ASSERT_EQ(first.code, 0) << first.err;
    const auto entries = ReadCableLibrary(file);
    ASSERT_TRUE(entries);
    const std::vector<CableEntry> starter = StarterCableLibrary();
    ASSERT_EQ(entries->size(), starter.size());
    for (std::size_t i = 0; i < starter.size(); ++i) {
        EXPECT_EQ((*entries)[i].m_strName, starter[i].m_strName);
        EXPECT_EQ((*entries)[i].m_strValue, starter[i].m_strValue);
    }
    bool cyrillic = false;
    for (const CableEntry& entry : *entries) {
        // Every factor is a PR the velocity field can hold, with three decimals.
        const double pr = std::stod(entry.m_strValue);
        EXPECT_GE(pr, 1.0) << entry.m_strName;
        EXPECT_LE(pr, 3.0) << entry.m_strName;
        EXPECT_EQ(entry.m_strValue.size(), 5u) << entry.m_strValue;
        cyrillic |= static_cast<unsigned char>(entry.m_strName[0]) >= 0xD0;
    }
    EXPECT_TRUE(cyrillic);
    // Solid polyethylene, VF 0.66: PR 1.515.
    EXPECT_EQ(entries->front().m_strValue, "1.515");

    // The user's own library is never replaced.
    dir.WriteFile("cables.tku", "mine");
    const CommandRun second = RunArgs({"cables", file.string()});
    EXPECT_EQ(second.code, 0);
    EXPECT_EQ(dir.ReadFile("cables.tku"), "mine");
    EXPECT_NE(RunArgs({"cables"}).code, 0);
}
