#include "model/Format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

TEST(ReadLeadingNumber, ReadsAsFarAsTheNumberGoes)
{
    EXPECT_EQ(ReadLeadingNumber("1.5abc"), 1.5);
    EXPECT_EQ(ReadLeadingNumber("  -2e3x"), -2000);
    EXPECT_EQ(ReadLeadingNumber("\t\r\n\v\f +7 8"), 7) << "every blank atof skips, then a plus sign";
    EXPECT_EQ(ReadLeadingNumber(".5"), 0.5);
    EXPECT_EQ(ReadLeadingNumber("-.75"), -0.75);
    EXPECT_EQ(ReadLeadingNumber("5."), 5);
    EXPECT_EQ(ReadLeadingNumber("1,5"), 1) << "a comma is never a decimal point";
    EXPECT_EQ(ReadLeadingNumber("1.2.3"), 1.2);
    EXPECT_EQ(ReadLeadingNumber("0x10"), 0) << "no hexadecimal";
    EXPECT_EQ(ReadLeadingNumber(std::string("12\0" "3", 4)), 12);
}

TEST(ReadLeadingNumber, ExponentNeedsDigits)
{
    EXPECT_EQ(ReadLeadingNumber("1e"), 1);
    EXPECT_EQ(ReadLeadingNumber("1e+"), 1);
    EXPECT_EQ(ReadLeadingNumber("2E-x"), 2);
    EXPECT_EQ(ReadLeadingNumber("1E2"), 100);
    EXPECT_EQ(ReadLeadingNumber("25e-1m"), 2.5);
    EXPECT_EQ(ReadLeadingNumber(".5e+1"), 5);
}

TEST(ReadLeadingNumber, NoNumberGivesZero)
{
    for (const char* text : {"", "abc", "-", "+", ".", "-.", ".e5", "e5", "inf", "-infinity", "nan", "--5",
                             "+-5", " ", "\u00A05"}) {
        const double value = ReadLeadingNumber(text);
        EXPECT_EQ(value, 0) << text;
        EXPECT_FALSE(std::signbit(value)) << text;
    }
}

TEST(ReadLeadingNumber, CorrectlyRoundedAndBeyondTheRange)
{
    // The nearest double, as a correctly rounding reader gives it.
    EXPECT_EQ(ReadLeadingNumber("0.1"), 0.1);
    EXPECT_EQ(ReadLeadingNumber("1.234"), 1.234);
    EXPECT_EQ(ReadLeadingNumber("93.8"), 93.8);
    EXPECT_EQ(ReadLeadingNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());

    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ReadLeadingNumber("1e400"), inf);
    EXPECT_EQ(ReadLeadingNumber("-1e400"), -inf);
    EXPECT_EQ(ReadLeadingNumber("1e99999999999999999999999"), inf) << "an exponent too long for any integer";
    EXPECT_EQ(ReadLeadingNumber(std::string(400, '9')), inf);
    EXPECT_EQ(ReadLeadingNumber("0.000001e312"), 1e306) << "leading fraction zeros bring it into range";
    EXPECT_EQ(ReadLeadingNumber("0.0001e-400"), 0) << "far below the range";
    EXPECT_EQ(ReadLeadingNumber("100000e-400"), 0);
    EXPECT_EQ(ReadLeadingNumber("1e-99999999999999999999"), 0);
    EXPECT_EQ(ReadLeadingNumber("0e99999"), 0);
}
