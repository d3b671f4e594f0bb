#include "controls/core/SpinLayout.h"

#include <gtest/gtest.h>

namespace {

// Expected placement for a button width b, built from the rectangle's edges.
SpinPlacement Expected(int left, int top, int right, int bottom, int b)
{
    const int h = bottom - top;
    SpinPlacement p;
    p.buttons[0] = {left, top, b, h};
    p.buttons[1] = {left + b + 1, top, b, h};
    p.buttons[2] = {right - 2 * b - 2, top, b, h};
    p.buttons[3] = {right - b, top, b, h};
    p.field = {left + 2 * b + 3, top, (right - left) - 4 * b - 5, h};
    return p;
}

void ExpectPlacement(const SpinPlacement& got, const SpinPlacement& want)
{
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(got.buttons[i], want.buttons[i]) << "button " << i;
    }
    EXPECT_EQ(got.field, want.field);
}

TEST(SpinLayout, WideRectangleGetsFullSizeButtons)
{
    const SpinPlacement p = ComputeSpinPlacement(0, 0, 160, 22);
    EXPECT_EQ(p.buttons[0], (ControlRect{0, 0, 14, 22}));
    EXPECT_EQ(p.buttons[1], (ControlRect{15, 0, 14, 22}));
    EXPECT_EQ(p.buttons[2], (ControlRect{130, 0, 14, 22}));
    EXPECT_EQ(p.buttons[3], (ControlRect{146, 0, 14, 22}));
    EXPECT_EQ(p.field, (ControlRect{31, 0, 99, 22}));

    // Offset rectangle, 200 wide and 22 high from y = 5.
    const SpinPlacement q = ComputeSpinPlacement(100, 5, 300, 27);
    EXPECT_EQ(q.buttons[0], (ControlRect{100, 5, 14, 22}));
    EXPECT_EQ(q.buttons[1], (ControlRect{115, 5, 14, 22}));
    EXPECT_EQ(q.buttons[2], (ControlRect{270, 5, 14, 22}));
    EXPECT_EQ(q.buttons[3], (ControlRect{286, 5, 14, 22}));
    EXPECT_EQ(q.field, (ControlRect{131, 5, 139, 22}));
}

TEST(SpinLayout, ButtonWidthIsAQuarterOfWhatIsLeftTruncated)
{
    // 45 wide: 40 / 4 = 10.
    const SpinPlacement a = ComputeSpinPlacement(10, 5, 55, 27);
    EXPECT_EQ(a.buttons[0], (ControlRect{10, 5, 10, 22}));
    EXPECT_EQ(a.buttons[1], (ControlRect{21, 5, 10, 22}));
    EXPECT_EQ(a.buttons[2], (ControlRect{33, 5, 10, 22}));
    EXPECT_EQ(a.buttons[3], (ControlRect{45, 5, 10, 22}));
    EXPECT_EQ(a.field, (ControlRect{33, 5, 0, 22}));

    // 60 wide: 55 / 4 = 13.75 gives 13, not 14.
    const SpinPlacement b = ComputeSpinPlacement(0, 0, 60, 20);
    EXPECT_EQ(b.buttons[0], (ControlRect{0, 0, 13, 20}));
    EXPECT_EQ(b.buttons[1], (ControlRect{14, 0, 13, 20}));
    EXPECT_EQ(b.buttons[2], (ControlRect{32, 0, 13, 20}));
    EXPECT_EQ(b.buttons[3], (ControlRect{47, 0, 13, 20}));
    EXPECT_EQ(b.field, (ControlRect{29, 0, 3, 20}));

    // 61 wide reaches the limit exactly; 62 and 200 stay there.
    ExpectPlacement(ComputeSpinPlacement(0, 0, 61, 20), Expected(0, 0, 61, 20, 14));
    EXPECT_EQ(ComputeSpinPlacement(0, 0, 61, 20).field, (ControlRect{31, 0, 0, 20}));
    ExpectPlacement(ComputeSpinPlacement(0, 0, 62, 20), Expected(0, 0, 62, 20, 14));
    ExpectPlacement(ComputeSpinPlacement(-20, 3, 180, 25), Expected(-20, 3, 180, 25, 14));
}

TEST(SpinLayout, TinyRectanglesTruncateTowardZeroWithoutALowerLimit)
{
    // 3 wide: -2 / 4 is 0, not -1.
    const SpinPlacement a = ComputeSpinPlacement(0, 0, 3, 22);
    EXPECT_EQ(a.buttons[0], (ControlRect{0, 0, 0, 22}));
    EXPECT_EQ(a.buttons[1], (ControlRect{1, 0, 0, 22}));
    EXPECT_EQ(a.buttons[2], (ControlRect{1, 0, 0, 22}));
    EXPECT_EQ(a.buttons[3], (ControlRect{3, 0, 0, 22}));
    EXPECT_EQ(a.field, (ControlRect{3, 0, -2, 22}));

    // 5 wide: exactly 0.
    ExpectPlacement(ComputeSpinPlacement(7, 0, 12, 22), Expected(7, 0, 12, 22, 0));

    // Empty rectangle: -5 / 4 is -1, not -2, and stays negative.
    const SpinPlacement c = ComputeSpinPlacement(0, 0, 0, 22);
    EXPECT_EQ(c.buttons[0], (ControlRect{0, 0, -1, 22}));
    EXPECT_EQ(c.buttons[1], (ControlRect{0, 0, -1, 22}));
    EXPECT_EQ(c.buttons[2], (ControlRect{0, 0, -1, 22}));
    EXPECT_EQ(c.buttons[3], (ControlRect{1, 0, -1, 22}));
    EXPECT_EQ(c.field, (ControlRect{1, 0, -1, 22}));
}

} // namespace
