#include "controls/core/SpinValue.h"

#include <array>
#include <gtest/gtest.h>
#include <limits>

namespace {

using Buttons = std::array<bool, 4>;

// A distance field: 0..100 m, 3 decimals, step 0.5.
SpinValue Distance(double value = 10)
{
    SpinValue spin;
    spin.SetParams(0, 100, value, 0.5, 3, "m");
    return spin;
}

void Type(SpinValue& spin, const std::u32string& text)
{
    for (char32_t ch : text) {
        spin.TypeChar(ch);
    }
}

TEST(SpinValue, ShowsTheValueRoundedButKeepsItWhole)
{
    SpinValue spin;
    spin.SetParams(0, 1, 0.03125, 0.1, 3, "m");
    EXPECT_EQ(spin.Text(), "0.031 m");
    EXPECT_EQ(spin.GetValue(), 0.03125);
    // Fractions above one half round up; no unit means no blank.
    spin.SetParams(0, 1, 0.0126, 0.1, 2, "");
    EXPECT_EQ(spin.Text(), "0.01");
    spin.SetParams(0, 1, 0.0176, 0.1, 2, "");
    EXPECT_EQ(spin.Text(), "0.02");
    spin.SetParams(-200, 200, -7, 1, 0, "");
    EXPECT_EQ(spin.Text(), "-7");
}

TEST(SpinValue, ButtonsFollowTheBoundsExactly)
{
    SpinValue spin = Distance(50);
    EXPECT_EQ(spin.ButtonsEnabled(), (Buttons{true, true, true, true}));
    spin.SetValue(0);
    EXPECT_EQ(spin.ButtonsEnabled(), (Buttons{false, false, true, true}));
    spin.SetValue(100);
    EXPECT_EQ(spin.ButtonsEnabled(), (Buttons{true, true, false, false}));
    // Only exact equality disables: a hair inside keeps every button.
    spin.SetValue(99.9999999);
    EXPECT_EQ(spin.ButtonsEnabled(), (Buttons{true, true, true, true}));
    // Minimum = maximum: nothing to step.
    spin.SetParams(5, 5, 5, 1, 0, "");
    EXPECT_EQ(spin.ButtonsEnabled(), (Buttons{false, false, false, false}));
}

TEST(SpinValue, SetParamsDoesNotClampButTheNextStepDoes)
{
    SpinValue spin;
    spin.SetParams(0, 10, 12, 1, 1, "");
    EXPECT_EQ(spin.GetValue(), 12);
    EXPECT_EQ(spin.Text(), "12.0");
    EXPECT_EQ(spin.ButtonsEnabled(), (Buttons{true, true, true, true}));
    EXPECT_TRUE(spin.Wheel(-120)); // 11 is still above the maximum
    EXPECT_EQ(spin.GetValue(), 10);
    EXPECT_EQ(spin.ButtonsEnabled(), (Buttons{true, true, false, false}));
}

TEST(SpinValue, SetValueClampsMinimumFirstSoAReversedRangeGivesTheMaximum)
{
    SpinValue spin;
    spin.SetParams(0, 10, 5, 1, 0, "");
    spin.SetValue(-3);
    EXPECT_EQ(spin.GetValue(), 0);
    spin.SetValue(11);
    EXPECT_EQ(spin.GetValue(), 10);
    spin.SetParams(10, 0, 5, 1, 0, "");
    spin.SetValue(5);
    EXPECT_EQ(spin.GetValue(), 0);
    spin.SetValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(spin.GetValue(), 0);
}

TEST(SpinValue, EveryUserStepNotifiesOnceEvenAtABound)
{
    SpinValue spin = Distance(99.75);
    EXPECT_TRUE(spin.Wheel(120));
    EXPECT_EQ(spin.GetValue(), 100);
    EXPECT_EQ(spin.Text(), "100.000 m");
    EXPECT_EQ(spin.ButtonsEnabled(), (Buttons{true, true, false, false}));
    // Past the maximum: stays there and still notifies.
    EXPECT_TRUE(spin.Wheel(120));
    EXPECT_EQ(spin.GetValue(), 100);
    // Any negative delta is one step down, whatever its size; 0 steps up.
    EXPECT_TRUE(spin.Wheel(-1));
    EXPECT_EQ(spin.GetValue(), 99.5);
    EXPECT_TRUE(spin.Wheel(-480));
    EXPECT_EQ(spin.GetValue(), 99);
    EXPECT_TRUE(spin.Wheel(0));
    EXPECT_EQ(spin.GetValue(), 99.5);
    EXPECT_TRUE(spin.KeypadMinus());
    EXPECT_TRUE(spin.KeypadMinus());
    EXPECT_EQ(spin.GetValue(), 98.5);
    EXPECT_TRUE(spin.KeypadPlus());
    EXPECT_EQ(spin.GetValue(), 99);
}

TEST(SpinValue, ButtonsGoToTheBoundsOrStep)
{
    SpinValue spin = Distance(10);
    EXPECT_TRUE(spin.Button(SpinValue::kPrev));
    EXPECT_EQ(spin.GetValue(), 9.5);
    EXPECT_TRUE(spin.Button(SpinValue::kNext));
    EXPECT_TRUE(spin.Button(SpinValue::kNext));
    EXPECT_EQ(spin.GetValue(), 10.5);
    EXPECT_TRUE(spin.Button(SpinValue::kLast));
    EXPECT_EQ(spin.GetValue(), 100);
    // Buttons 2 and 3 are disabled at the maximum: clicks on them do nothing.
    EXPECT_FALSE(spin.Button(SpinValue::kNext));
    EXPECT_FALSE(spin.Button(SpinValue::kLast));
    EXPECT_TRUE(spin.Button(SpinValue::kFirst));
    EXPECT_EQ(spin.GetValue(), 0);
    EXPECT_FALSE(spin.Button(4));
    EXPECT_FALSE(spin.Button(-1));
}

TEST(SpinValue, EnableSpinHoldsUntilTheNextDisplay)
{
    SpinValue spin = Distance(100);
    spin.EnableSpin(true);
    EXPECT_EQ(spin.ButtonsEnabled(), (Buttons{true, true, true, true}));
    spin.SetValue(100);
    EXPECT_EQ(spin.ButtonsEnabled(), (Buttons{true, true, false, false}));
    spin.EnableSpin(false);
    EXPECT_EQ(spin.ButtonsEnabled(), (Buttons{false, false, false, false}));
    EXPECT_FALSE(spin.IsFieldEnabled());
    spin.ShowText("-");
    EXPECT_EQ(spin.Text(), "-");
    EXPECT_EQ(spin.GetValue(), 100);
}

TEST(SpinValue, TypedTextCommitsItsLeadingNumberOnEnter)
{
    SpinValue spin = Distance(10);
    Type(spin, U"12.5");
    EXPECT_TRUE(spin.IsTyping());
    EXPECT_EQ(spin.Text(), "12.5");
    EXPECT_EQ(spin.GetValue(), 10); // nothing reaches the value before Enter
    EXPECT_TRUE(spin.Enter());
    EXPECT_FALSE(spin.IsTyping());
    EXPECT_EQ(spin.GetValue(), 12.5);
    EXPECT_EQ(spin.Text(), "12.500 m");

    Type(spin, U"1.2.3");
    EXPECT_EQ(spin.Text(), "1.2.3");
    EXPECT_TRUE(spin.Enter());
    EXPECT_EQ(spin.GetValue(), 1.2);

    // Beyond the range: clamped, and still a user change.
    Type(spin, U"250");
    EXPECT_TRUE(spin.Enter());
    EXPECT_EQ(spin.GetValue(), 100);
    // Enter with nothing pending is not a commit.
    EXPECT_FALSE(spin.Enter());
    EXPECT_EQ(spin.GetValue(), 100);
}

TEST(SpinValue, OnlyDigitsAndThePointAreTaken)
{
    SpinValue spin = Distance(10);
    Type(spin, U"-4,5+e7 ");
    EXPECT_EQ(spin.PendingText(), "4.57");
    // A comma is the decimal point too, shown as '.'; a second point ends the number.
    spin.Escape();
    Type(spin, U"12,5");
    EXPECT_EQ(spin.Text(), "12.5");
    EXPECT_TRUE(spin.Enter());
    EXPECT_EQ(spin.GetValue(), 12.5);
    Type(spin, U"1,2.3");
    EXPECT_TRUE(spin.Enter());
    EXPECT_EQ(spin.GetValue(), 1.2);
    EXPECT_EQ(SpinValue::ParseTyped("0,75,1"), 0.75);
    spin.SetValue(10);
    Type(spin, U"457");
    Type(spin, U"\u0663"); // a digit of another script
    EXPECT_EQ(spin.PendingText(), "457");
    spin.Escape();
    // Nothing typed at all: not typing.
    Type(spin, U"-x");
    EXPECT_FALSE(spin.IsTyping());
    EXPECT_EQ(spin.Text(), "10.000 m");
}

TEST(SpinValue, DeleteKeysRemoveTheFirstCharacter)
{
    SpinValue spin = Distance(10);
    Type(spin, U"123");
    spin.DeleteKey();
    EXPECT_EQ(spin.Text(), "23");
    spin.DeleteKey();
    spin.DeleteKey();
    spin.DeleteKey(); // nothing left to remove
    EXPECT_TRUE(spin.IsTyping());
    EXPECT_EQ(spin.Text(), "");
    // An empty commit is 0, clamped into the range.
    SpinValue shifted;
    shifted.SetParams(5, 10, 7, 1, 0, "");
    Type(shifted, U"9");
    shifted.DeleteKey();
    EXPECT_TRUE(shifted.Enter());
    EXPECT_EQ(shifted.GetValue(), 5);
    // Not typing: the keys do nothing.
    SpinValue idle = Distance(10);
    idle.DeleteKey();
    EXPECT_EQ(idle.Text(), "10.000 m");
    EXPECT_FALSE(idle.IsTyping());
}

TEST(SpinValue, EscapeRestoresTheValueWithoutNotifying)
{
    SpinValue spin = Distance(10);
    Type(spin, U"55");
    spin.Escape();
    EXPECT_FALSE(spin.IsTyping());
    EXPECT_EQ(spin.PendingText(), "");
    EXPECT_EQ(spin.Text(), "10.000 m");
    EXPECT_EQ(spin.GetValue(), 10);
    // A later Enter has nothing to commit.
    EXPECT_FALSE(spin.Enter());
}

TEST(SpinValue, StepsWhileTypingKeepThePendingText)
{
    SpinValue spin = Distance(10);
    Type(spin, U"4");
    EXPECT_TRUE(spin.Wheel(120));
    EXPECT_EQ(spin.Text(), "10.500 m");
    EXPECT_TRUE(spin.IsTyping());
    // The parent's refresh answering the step shows the value and keeps the text.
    spin.HoldPending(true);
    spin.SetParams(0, 100, 11, 0.5, 3, "m");
    spin.HoldPending(false);
    EXPECT_EQ(spin.Text(), "11.000 m");
    // The next character brings the pending text back, then Enter commits it.
    spin.TypeChar(U'2');
    EXPECT_EQ(spin.Text(), "42");
    EXPECT_TRUE(spin.Enter());
    EXPECT_EQ(spin.GetValue(), 42);
}

TEST(SpinValue, ProgramChangesDropPendingText)
{
    // Typed as PR, then the field becomes V/2: an Enter must not commit 1.6 as V/2.
    SpinValue spin;
    spin.SetParams(1, 3, 1.5, 0.001, 3, "");
    Type(spin, U"1.6");
    spin.SetParams(50, 150, 100, 0.1, 1, "");
    EXPECT_FALSE(spin.IsTyping());
    EXPECT_EQ(spin.Text(), "100.0");
    EXPECT_FALSE(spin.Enter());
    EXPECT_EQ(spin.GetValue(), 100);
    // A refresh by value, or a text shown in place of it, drops it as well.
    Type(spin, U"7");
    spin.SetValue(120);
    EXPECT_FALSE(spin.Enter());
    Type(spin, U"7");
    spin.ShowText("-");
    EXPECT_FALSE(spin.Enter());
    EXPECT_EQ(spin.GetValue(), 120);
}

TEST(SpinValue, ParseTypedReadsLikeTheCLibrary)
{
    EXPECT_EQ(SpinValue::ParseTyped(""), 0);
    EXPECT_EQ(SpinValue::ParseTyped("."), 0);
    EXPECT_EQ(SpinValue::ParseTyped(".5"), 0.5);
    EXPECT_EQ(SpinValue::ParseTyped("7."), 7);
    EXPECT_EQ(SpinValue::ParseTyped("0012.250"), 12.25);
    EXPECT_EQ(SpinValue::ParseTyped("3..1"), 3);
    EXPECT_EQ(SpinValue::ParseTyped(std::string(400, '9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(SpinValue::ParseTyped("0." + std::string(400, '0') + "1"), 0);
    // A typed number too long for a double still clamps to the maximum.
    SpinValue spin = Distance(10);
    for (int i = 0; i < 400; ++i) {
        spin.TypeChar(U'9');
    }
    EXPECT_TRUE(spin.Enter());
    EXPECT_EQ(spin.GetValue(), 100);
}

} // namespace
