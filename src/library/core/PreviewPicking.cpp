#include "library/core/PreviewPicking.h"

#include "model/ScaleTables.h"

#include <cmath>

namespace {

// floor(value / step) kept inside 0..last; a meaningless quotient gives 0.
int ColumnOrIndex(double value, double step, int last)
{
    const double q = std::floor(value / step);
    if (!(q > 0)) { // also NaN
        return 0;
    }
    return q >= last ? last : static_cast<int>(q);
}

// floor(position / step) as a plot column, which may lie outside 0..499 (the
// line is then off the plot); a meaningless quotient gives column 0.
int MarkerColumn(double position, double step)
{
    const double q = std::floor(position / step);
    if (!std::isfinite(q)) {
        return 0;
    }
    constexpr double kFar = 1e9;
    return static_cast<int>(q < -kFar ? -kFar : q > kFar ? kFar : q);
}

} // namespace

int PreviewSampleIndex(const WaveformRecord& record, int column)
{
    return ColumnOrIndex(column * record.m_dColumnStep, record.m_dSampleStep,
                         static_cast<int>(kTdrSampleCount) - 1);
}

PreviewPicture PickPreview(const WaveformRecord& record)
{
    PreviewPicture picture;
    for (int c = 0; c < tables::kColumns; ++c) {
        picture.m_values[static_cast<std::size_t>(c)] =
            record.m_samples[static_cast<std::size_t>(PreviewSampleIndex(record, c))];
    }
    const double factor = record.m_dFileFactor > 0 && std::isfinite(record.m_dFileFactor)
                              ? record.m_dFileFactor
                              : tables::kReferenceFactor;
    picture.m_dLabelRight = record.m_dScale * tables::kReferenceFactor / factor;
    picture.m_nMarkerColumn1 = MarkerColumn(record.m_dMarker1, record.m_dColumnStep);
    picture.m_nMarkerColumn2 = MarkerColumn(record.m_dMarker2, record.m_dColumnStep);
    return picture;
}
