// A control's rectangle in its parent's client coordinates, in pixels.
#pragma once

struct ControlRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ControlRect&) const = default;
};

// The width and height a label keeps when it is moved.
struct LabelSize
{
    int width = 0;
    int height = 0;
};
