// What the library panel's preview plot shows of a loaded record: one sample
// per plot column spread over the record's own scale, the x label range as a
// distance at the factor the file was recorded with, and the marker columns.
#pragma once

#include "model/WaveformRecord.h"

#include <array>
#include <cstdint>

struct PreviewPicture
{
    std::array<int8_t, 500> m_values{}; // the sample shown in each column
    double m_dLabelLeft = 0;            // x label range, metres of distance
    double m_dLabelRight = 0;
    int m_nMarkerColumn1 = 0; // columns of the markers' vertical lines (may lie off the plot)
    int m_nMarkerColumn2 = 0;
};

// Index of the sample shown in plot column `column` (0..499): every k-th sample
// from sample 0, k = column step / sample step (1 at 62.5 m, 16 from 1 km up).
// Kept inside 0..7999 whatever the record holds.
int PreviewSampleIndex(const WaveformRecord& record, int column);

// The preview of a record. The label range is 0 .. scale × 1.5 / PR of the
// recording; a recording whose PR is not a positive number is labelled at the
// reference factor 1.5 (its scale) rather than with an endless or negative axis.
PreviewPicture PickPreview(const WaveformRecord& record);
