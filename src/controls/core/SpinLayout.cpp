#include "controls/core/SpinLayout.h"

#include <algorithm>

SpinPlacement ComputeSpinPlacement(int left, int top, int right, int bottom)
{
    const int w = right - left;
    const int h = bottom - top;
    // Integer division truncates toward zero; there is no lower limit, so a
    // very narrow rectangle gives buttons of no (or negative) width.
    const int b = std::min((w - 5) / 4, kSpinButtonMaxWidth);
    SpinPlacement p;
    p.buttons[0] = {left, top, b, h};
    p.buttons[1] = {left + b + 1, top, b, h};
    p.buttons[2] = {right - 2 * b - 2, top, b, h};
    p.buttons[3] = {right - b, top, b, h};
    p.field = {left + 2 * b + 3, top, w - 4 * b - 5, h};
    return p;
}
