// What the parameters panel shows, without the widgets: the velocity field in
// PR or V/2, the factor a field value stands for, the reference-channel marks
// of difference mode, and where the rows go.
#pragma once

#include "controls/core/ControlRect.h"

#include <array>

class CZR815KDoc;

// Parameters of the velocity field for the document's presentation.
struct VelocityField
{
    double minimum = 0;
    double maximum = 0;
    double value = 0;
    double step = 0;
    int precision = 0;
    const char* label = ""; // "PR" or "V/2"
};

VelocityField VelocityFieldOf(const CZR815KDoc& doc);
// The value the velocity field shows for the document's factor.
double VelocityFieldValue(const CZR815KDoc& doc);
// The PR that a value of the velocity field stands for.
double FactorFromVelocityField(bool showHalfVelocity, double value);

// Range of the shift fields, in sample units.
inline constexpr int kShiftFieldLimit = 200;

// The reference-channel marks after an update: a mark on a channel that is
// off goes; when the last mark seen in channel order was on a channel that is
// off (or there was none), the first channel that is on gets the mark and the
// panel tells the other views (hint 4), also when no channel is on.
struct ReferenceMarks
{
    std::array<bool, 3> checked{};
    std::array<bool, 3> enabled{};
    bool broadcast = false;
};

ReferenceMarks UpdateReferenceMarks(const std::array<bool, 3>& channelOn, const std::array<bool, 3>& checked);

struct ParamsPlacement
{
    std::array<ControlRect, 4> labels; // "Shift M1", "Shift M2", "Shift M3", "PR"/"V/2"
    std::array<ControlRect, 4> fields; // shift fields of M1..M3, velocity field
    ControlRect difference;            // the "Difference" check box, a fifth row under the fields
};

// Rows of 24 pixels from the top, right-aligned in the panel less a 2-pixel margin.
// The difference check box keeps its size and starts where the velocity field does.
ParamsPlacement ComputeParamsLayout(int width, const std::array<LabelSize, 4>& labels,
                                    LabelSize difference = {});
