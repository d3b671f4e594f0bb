#include "library/core/PreviewPicking.h"
#include "support/TdrBytes.h"

#include <gtest/gtest.h>

namespace {

// A record of the given scale index whose sample i holds i modulo 128.
WaveformRecord RecordOfScale(int scaleIndex, int32_t factorTimes1000 = 1500)
{
    TdrBytes bytes;
    bytes.Word(2, scaleIndex).Word(6, factorTimes1000).Sample(1, 0x80);
    for (std::size_t i = 2; i < kTdrSampleCount; ++i) {
        bytes.Sample(i, static_cast<uint8_t>(i % 128));
    }
    WaveformRecord record;
    EXPECT_TRUE(DecodeWaveform(record, bytes.Span()));
    return record;
}

TEST(PreviewPicking, EveryKthSampleOverTheRecordsOwnScale)
{
    const int stride[12] = {1, 2, 4, 8, 16, 16, 16, 16, 16, 16, 16, 16};
    for (int scale = 0; scale < 12; ++scale) {
        const WaveformRecord record = RecordOfScale(scale);
        for (int c = 0; c < 500; ++c) {
            ASSERT_EQ(PreviewSampleIndex(record, c), c * stride[scale]) << scale << " " << c;
        }
    }
    // 62.5 m shows samples 0..499, with negative samples as they are.
    PreviewPicture picture = PickPreview(RecordOfScale(0));
    EXPECT_EQ(picture.m_values[1], -128);
    EXPECT_EQ(picture.m_values[499], 499 % 128);
    // 1 km and above: every 16th sample, up to 7984.
    picture = PickPreview(RecordOfScale(4));
    for (int c = 1; c < 500; ++c) {
        ASSERT_EQ(picture.m_values[static_cast<std::size_t>(c)], c * 16 % 128) << c;
    }
}

TEST(PreviewPicking, LabelsAndMarkers)
{
    EXPECT_DOUBLE_EQ(PickPreview(RecordOfScale(0)).m_dLabelLeft, 0);
    EXPECT_DOUBLE_EQ(PickPreview(RecordOfScale(0)).m_dLabelRight, 62.5);
    EXPECT_DOUBLE_EQ(PickPreview(RecordOfScale(4, 2000)).m_dLabelRight, 750);
    EXPECT_DOUBLE_EQ(PickPreview(RecordOfScale(11, 1000)).m_dLabelRight, 192000);
    // A factor of 0 or below would give an endless or reversed axis: the scale is shown instead.
    EXPECT_DOUBLE_EQ(PickPreview(RecordOfScale(5, 0)).m_dLabelRight, 2000);
    EXPECT_DOUBLE_EQ(PickPreview(RecordOfScale(5, -1500)).m_dLabelRight, 2000);

    WaveformRecord record = RecordOfScale(4); // 2 m per column
    EXPECT_EQ(PickPreview(record).m_nMarkerColumn1, 0) << "a load clears the markers";
    record.m_dMarker1 = 101.9;
    record.m_dMarker2 = 1500;
    EXPECT_EQ(PickPreview(record).m_nMarkerColumn1, 50);
    EXPECT_EQ(PickPreview(record).m_nMarkerColumn2, 750) << "beyond the plot stays beyond it";
}

TEST(PreviewPicking, RecordsWithoutAScaleStayInsideTheSamples)
{
    const WaveformRecord empty; // never loaded: every step 0
    EXPECT_EQ(PreviewSampleIndex(empty, 250), 0);
    EXPECT_EQ(PickPreview(empty).m_nMarkerColumn1, 0);
    WaveformRecord odd = RecordOfScale(11);
    odd.m_dSampleStep = 0.001;
    EXPECT_EQ(PreviewSampleIndex(odd, 499), 7999);
    odd.m_dSampleStep = -1;
    EXPECT_EQ(PreviewSampleIndex(odd, 499), 0);
}

} // namespace
