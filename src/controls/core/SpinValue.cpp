#include "controls/core/SpinValue.h"

#include "model/Format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

// Digits after the point that a field can show; more would only pad zeros.
constexpr int kMaxPrecision = 30;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsPoint(char c)
{
    return c == '.' || c == ',';
}

} // namespace

std::string SpinValue::Format(double value, int precision, const std::string& unit)
{
    std::string text = FormatFixed(value, std::clamp(precision, 0, kMaxPrecision));
    if (!unit.empty()) {
        text += ' ';
        text += unit;
    }
    return text;
}

double SpinValue::ParseTyped(const std::string& text)
{
    // The leading number: digits, at most one point, digits.
    std::size_t end = 0;
    bool digits = false;
    bool point = false;
    while (end < text.size()) {
        const char c = text[end];
        if (IsDigit(c)) {
            digits = true;
        } else if (IsPoint(c) && !point) {
            point = true;
        } else {
            break;
        }
        ++end;
    }
    if (!digits) {
        return 0;
    }
    std::string number = text.substr(0, end);
    std::replace(number.begin(), number.end(), ',', '.');
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) {
        // Too many digits for a double: larger than any range, so it clamps to
        // the maximum; a long run of zeros after the point reads as 0.
        return number.find_first_of("123456789") < number.find('.') ? std::numeric_limits<double>::infinity()
                                                                    : 0.0;
    }
    return result.ec == std::errc() ? value : 0.0;
}

void SpinValue::Display()
{
    m_strText = Format(m_dValue, m_nPrecision, m_strUnit);
    m_buttons = {true, true, true, true};
    if (m_dValue == m_dMin) {
        m_buttons[kFirst] = m_buttons[kPrev] = false;
    }
    if (m_dValue == m_dMax) {
        m_buttons[kNext] = m_buttons[kLast] = false;
    }
}

void SpinValue::SetParams(double minimum, double maximum, double value, double step, int precision,
                          std::string unit)
{
    m_dMin = minimum;
    m_dMax = maximum;
    m_nPrecision = precision;
    m_strUnit = std::move(unit);
    m_dStep = step;
    m_dValue = value;
    DropPending();
    Display();
}

void SpinValue::DropPending()
{
    if (!m_bHoldPending) {
        m_bTyping = false;
        m_strTyped.clear();
    }
}

void SpinValue::SetValue(double value)
{
    DropPending();
    Store(value);
}

void SpinValue::Store(double value)
{
    m_dValue = std::isnan(value) ? m_dMin : value;
    if (m_dValue < m_dMin) {
        m_dValue = m_dMin;
    }
    if (m_dValue > m_dMax) {
        m_dValue = m_dMax;
    }
    Display();
}

void SpinValue::EnableSpin(bool enable)
{
    m_bEnabled = enable;
    m_buttons = {enable, enable, enable, enable};
}

void SpinValue::ShowText(std::string text)
{
    DropPending();
    m_strText = std::move(text);
}

bool SpinValue::UserSet(double value)
{
    Store(value);
    return true;
}

bool SpinValue::Wheel(int delta)
{
    return UserSet(delta < 0 ? m_dValue - m_dStep : m_dValue + m_dStep);
}

bool SpinValue::KeypadMinus()
{
    return UserSet(m_dValue - m_dStep);
}

bool SpinValue::KeypadPlus()
{
    return UserSet(m_dValue + m_dStep);
}

bool SpinValue::Button(int index)
{
    if (index < kFirst || index > kLast || !m_buttons[static_cast<std::size_t>(index)]) {
        return false;
    }
    switch (index) {
    case kFirst:
        return UserSet(m_dMin);
    case kPrev:
        return UserSet(m_dValue - m_dStep);
    case kNext:
        return UserSet(m_dValue + m_dStep);
    default:
        return UserSet(m_dMax);
    }
}

void SpinValue::TypeChar(char32_t ch)
{
    if ((ch < U'0' || ch > U'9') && ch != U'.' && ch != U',') {
        return;
    }
    m_bTyping = true;
    m_strTyped += ch == U',' ? '.' : static_cast<char>(ch);
    m_strText = m_strTyped;
}

void SpinValue::DeleteKey()
{
    if (!m_bTyping) {
        return;
    }
    if (!m_strTyped.empty()) {
        m_strTyped.erase(0, 1);
    }
    m_strText = m_strTyped;
}

bool SpinValue::Enter()
{
    if (!m_bTyping) {
        return false;
    }
    m_bTyping = false;
    const double value = ParseTyped(m_strTyped);
    m_strTyped.clear();
    return UserSet(value);
}

void SpinValue::Escape()
{
    if (!m_bTyping) {
        return;
    }
    Store(m_dValue);
    m_bTyping = false;
    m_strTyped.clear();
}
