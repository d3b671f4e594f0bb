#include "model/Format.h"

#include <charconv>
#include <cmath>

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
