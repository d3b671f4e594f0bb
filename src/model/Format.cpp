#include "model/Format.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The blanks atof skips before a number.
bool IsLeadingBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Whether an unsigned decimal number (digits, '.', fraction, exponent) that a
// double cannot hold lies above its range rather than below it: the sign of its
// decimal order of magnitude, which for such a number is far from zero.
bool IsAboveDoubleRange(std::string_view number)
{
    int64_t order = 0; // digits before the decimal point, from the first significant one
    bool significant = false;
    size_t pos = 0;
    for (; pos < number.size() && IsDigit(number[pos]); ++pos) {
        significant = significant || number[pos] != '0';
        order += significant ? 1 : 0;
    }
    if (pos < number.size() && number[pos] == '.') {
        for (++pos; pos < number.size() && IsDigit(number[pos]); ++pos) {
            significant = significant || number[pos] != '0';
            order -= significant ? 0 : 1;
        }
    }
    int64_t exponent = 0;
    if (pos + 1 < number.size() && (number[pos] == 'e' || number[pos] == 'E')) {
        ++pos;
        const bool negative = number[pos] == '-';
        if (number[pos] == '+' || number[pos] == '-') {
            ++pos;
        }
        // Far beyond any double's exponent, and far from overflowing int64.
        constexpr int64_t kCap = int64_t{1} << 40;
        for (; pos < number.size() && IsDigit(number[pos]); ++pos) {
            exponent = std::min(kCap, exponent * 10 + (number[pos] - '0'));
        }
        exponent = negative ? -exponent : exponent;
    }
    return order + exponent > 0;
}

} // namespace

std::string FormatInt(int64_t value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FormatFixed(double value, int digits)
{
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    char buffer[400]; // the widest double in fixed notation, with room for the digits
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, digits);
    if (result.ec != std::errc()) {
        return "0";
    }
    return std::string(buffer, result.ptr);
}

std::string FormatTwoDigits(int value)
{
    std::string text = FormatInt(value < 0 ? -static_cast<int64_t>(value) : value);
    if (text.size() < 2) {
        text.insert(0, 2 - text.size(), '0');
    }
    return value < 0 ? "-" + text : text;
}

double ReadLeadingNumber(std::string_view text)
{
    size_t pos = 0;
    while (pos < text.size() && IsLeadingBlank(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // from_chars alone would also take "inf", "nan" and a second sign.
    const std::string_view rest = text.substr(pos);
    const bool startsNumber =
        !rest.empty() && (IsDigit(rest[0]) || (rest[0] == '.' && rest.size() > 1 && IsDigit(rest[1])));
    if (!startsNumber) {
        return 0;
    }
    double value = 0;
    const auto [end, ec] =
        std::from_chars(rest.data(), rest.data() + rest.size(), value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        const size_t length = static_cast<size_t>(end - rest.data());
        value = IsAboveDoubleRange(rest.substr(0, length)) ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}
