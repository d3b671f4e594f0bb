// Where a spin field and its four step buttons go inside a rectangle of the
// parent: go-to-minimum and step-down buttons on the left, step-up and
// go-to-maximum on the right, the edit field between them. Buttons are at most
// 14 pixels wide.
#pragma once

#include "controls/core/ControlRect.h"

#include <array>

struct SpinPlacement
{
    std::array<ControlRect, 4> buttons; // go to minimum, step down, step up, go to maximum
    ControlRect field;
};

inline constexpr int kSpinButtonMaxWidth = 14;

// The rectangle runs from (left, top) to (right, bottom), right and bottom exclusive.
SpinPlacement ComputeSpinPlacement(int left, int top, int right, int bottom);
