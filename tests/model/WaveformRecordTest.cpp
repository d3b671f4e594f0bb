#include "model/FileTime.h"
#include "model/WaveformRecord.h"
#include "support/TdrBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST(WaveformFile, EveryHeaderWordDecodesIntoTheRecord)
{
    TempDir dir;
    TdrBytes file;
    file.Word(0, 12345)    // not interpreted
        .Word(1, 3)        // pulse 100 ns
        .Word(2, 6)        // scale 4000 m
        .Word(3, 6)        // 64 averages
        .Word(4, -7)       // gain
        .Word(5, 75)       // impedance
        .Word(6, 1600)     // PR 1.6
        .Word(7, -99999)   // not interpreted
        .Word(8, 3)        // delay 15
        .Word(9, 0)        // threshold 60
        .Word(10, kMethodPulse);
    for (std::size_t w = 11; w < kTdrHeaderWords; ++w) {
        file.Word(w, static_cast<int32_t>(0xDEADBEEF));
    }
    dir.WriteFile("wave.tdr", file.Bytes());

    WaveformRecord record;
    record.m_dMarker1 = 5;
    record.m_dMarker2 = 6;
    ASSERT_TRUE(LoadWaveform(record, dir.Folder(), "wave"));
    EXPECT_EQ(record.m_strName, "wave");
    EXPECT_DOUBLE_EQ(record.m_dPulse, 100);
    EXPECT_DOUBLE_EQ(record.m_dScale, 4000);
    EXPECT_DOUBLE_EQ(record.m_dSampleStep, 0.5);
    EXPECT_DOUBLE_EQ(record.m_dColumnStep, 8);
    EXPECT_EQ(record.m_nAverages, 64);
    EXPECT_EQ(record.m_nGain, -7);
    EXPECT_EQ(record.m_nImpedance, 75);
    EXPECT_DOUBLE_EQ(record.m_dFileFactor, 1.6);
    EXPECT_DOUBLE_EQ(record.m_dDelay, 15.0);
    EXPECT_EQ(record.m_nThreshold, 60);
    EXPECT_EQ(record.m_nMethod, kMethodPulse);
    EXPECT_EQ(record.m_dMarker1, 0);
    EXPECT_EQ(record.m_dMarker2, 0);
}

TEST(WaveformFile, SampleBytesAreSignedAndInFileOrder)
{
    TempDir dir;
    TdrBytes file;
    file.Sample(0, 0x80).Sample(1, 0x7F).Sample(2, 0x00).Sample(3, 0xFF).Sample(7999, 0x01);
    dir.WriteFile("s.tdr", file.Bytes());
    WaveformRecord record;
    ASSERT_TRUE(LoadWaveform(record, dir.Folder(), "s"));
    EXPECT_EQ(record.m_samples[0], -128);
    EXPECT_EQ(record.m_samples[1], 127);
    EXPECT_EQ(record.m_samples[2], 0);
    EXPECT_EQ(record.m_samples[3], -1);
    EXPECT_EQ(static_cast<uint8_t>(record.m_samples[3]), 255);
    EXPECT_EQ(record.m_samples[7999], 1);
}

TEST(WaveformFile, AveragingAndMethodCodes)
{
    EXPECT_EQ(DecodeTdrHeader(TdrBytes().Word(3, 0).Span())->m_nAverages, 1);
    EXPECT_EQ(DecodeTdrHeader(TdrBytes().Word(3, 30).Span())->m_nAverages, 1 << 30);
    EXPECT_STREQ(MethodText(68), "arc");
    EXPECT_STREQ(MethodText(73), "pulse");
    EXPECT_STREQ(MethodText(75), "ware");
    EXPECT_STREQ(MethodText(74), "");
    // An unknown method is kept as it is.
    EXPECT_EQ(DecodeTdrHeader(TdrBytes().Word(10, 1234).Span())->m_nMethod, 1234);
}

TEST(WaveformFile, SampleStepTableAcrossScales)
{
    const double expectedStep[12] = {0.125, 0.125, 0.125, 0.125, 0.125, 0.25, 0.5, 1, 2, 4, 8, 16};
    for (int i = 0; i < 12; ++i) {
        const auto header = DecodeTdrHeader(TdrBytes().Word(2, i).Word(1, i).Span());
        ASSERT_TRUE(header);
        EXPECT_DOUBLE_EQ(header->m_dSampleStep, expectedStep[i]) << i;
        // 8000 samples cover 1000 m up to the 1 km scale, exactly the scale above it.
        EXPECT_DOUBLE_EQ(8000 * header->m_dSampleStep, i < 5 ? 1000.0 : header->m_dScale) << i;
    }
    EXPECT_DOUBLE_EQ(DecodeTdrHeader(TdrBytes().Word(1, 11).Span())->m_dPulse, 50000);
}

TEST(WaveformFile, OutOfRangeIndicesAreRejectedLikeAWrongSize)
{
    const std::pair<std::size_t, int32_t> bad[] = {{1, -1}, {1, 12}, {2, -1}, {2, 12}, {3, -1}, {3, 31}, {2, INT32_MIN}};
    for (auto [word, value] : bad) {
        TempDir dir;
        TdrBytes good;
        good.Sample(0, 42);
        dir.WriteFile("a.tdr", good.Bytes());
        WaveformRecord record;
        ASSERT_TRUE(LoadWaveform(record, dir.Folder(), "a"));
        TdrBytes file;
        file.Word(word, value).Sample(0, 99);
        dir.WriteFile("b.tdr", file.Bytes());
        EXPECT_FALSE(LoadWaveform(record, dir.Folder(), "b")) << word << "=" << value;
        EXPECT_EQ(record.m_strName, "b");
        EXPECT_EQ(record.m_samples[0], 42) << "the previous waveform stays";
    }
}

TEST(WaveformFile, OnlyExactly8512BytesLoad)
{
    TempDir dir;
    const std::string bytes = TdrBytes().Sample(0, 5).Bytes();
    dir.WriteFile("short.tdr", bytes.substr(0, 8511));
    dir.WriteFile("long.tdr", bytes + "x");
    dir.WriteFile("exact.tdr", bytes);

    WaveformRecord record;
    ASSERT_TRUE(LoadWaveform(record, dir.Folder(), "exact"));
    record.m_samples[0] = 77;
    EXPECT_FALSE(LoadWaveform(record, dir.Folder(), "short"));
    EXPECT_EQ(record.m_strName, "short");
    EXPECT_EQ(record.m_samples[0], 77);
    EXPECT_FALSE(LoadWaveform(record, dir.Folder(), "long"));
    EXPECT_FALSE(LoadWaveform(record, dir.Folder(), "missing"));
    EXPECT_EQ(record.m_strName, "missing");
    std::filesystem::create_directory(dir / "folder.tdr");
    EXPECT_FALSE(LoadWaveform(record, dir.Folder(), "folder"));
}

TEST(WaveformFile, UnreadableFileFailsWithoutCrashing)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads files whatever their mode";
    }
    TempDir dir;
    dir.WriteFile("locked.tdr", TdrBytes().Bytes());
    std::filesystem::permissions(dir / "locked.tdr", std::filesystem::perms::none);
    WaveformRecord record;
    EXPECT_FALSE(LoadWaveform(record, dir.Folder(), "locked"));
}

TEST(WaveformFile, LoadKeepsChannelStateAndTakesTheFileTime)
{
    TempDir dir;
    dir.WriteFile("w.tdr", TdrBytes().Bytes());
    WaveformRecord a;
    WaveformRecord b;
    a.m_bOn = true;
    a.m_nShift = -12;
    a.m_crColor = Colour{200, 0, 0};
    a.m_nValueC1 = 9;
    a.m_displayMain[3] = 4;
    b.m_nShift = 30;
    ASSERT_TRUE(LoadWaveform(a, dir.Folder(), "w"));
    ASSERT_TRUE(LoadWaveform(b, dir.Folder(), "w"));
    EXPECT_TRUE(a.m_bOn);
    EXPECT_EQ(a.m_nShift, -12);
    EXPECT_EQ(b.m_nShift, 30);
    EXPECT_EQ(a.m_crColor, (Colour{200, 0, 0}));
    EXPECT_EQ(a.m_nValueC1, 9);
    EXPECT_EQ(a.m_displayMain[3], 4);
    b.m_samples[0] = 1;
    EXPECT_EQ(a.m_samples[0], 0) << "two loads give independent records";

    struct stat info {};
    ASSERT_EQ(::stat((dir / "w.tdr").c_str(), &info), 0);
    EXPECT_EQ(a.m_ftTime, LocalFileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec));
}

TEST(WaveformRecord, DefaultsAndToggle)
{
    WaveformRecord record;
    EXPECT_TRUE(record.m_strName.empty());
    EXPECT_FALSE(record.m_bOn);
    EXPECT_EQ(record.m_crColor, (Colour{0, 0, 0}));
    for (int8_t v : record.m_displayMain) {
        ASSERT_EQ(v, 0);
    }
    EXPECT_TRUE(record.ToggleOn());
    EXPECT_TRUE(record.m_bOn);
    EXPECT_FALSE(record.ToggleOn());
    EXPECT_FALSE(record.m_bOn);
}

TEST(WaveformFile, ShortHeaderBytesDoNotDecode)
{
    const std::string bytes = TdrBytes().Bytes();
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    EXPECT_FALSE(DecodeTdrHeader({data, 43}));
    EXPECT_TRUE(DecodeTdrHeader({data, 44}));
    WaveformRecord record;
    EXPECT_FALSE(DecodeWaveform(record, {data, 8511}));
}

} // namespace
