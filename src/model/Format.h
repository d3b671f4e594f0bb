// Number texts as the program shows and stores them: "%d", "%.Nf" and
// "%2.2d"-style fields, and the number at the start of a text, always with '.'
// as the decimal point whatever the process locale says.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "%d"
std::string FormatInt(int64_t value);
// "%.<digits>f", rounded as printf rounds (the exact binary value, ties to even).
std::string FormatFixed(double value, int digits);
// "%2.2d": at least two digits, zero padded.
std::string FormatTwoDigits(int value);

// The decimal number at the start of text, read as atof reads it in the "C"
// locale: blanks (space, tab, CR, LF, VT, FF) skipped, an optional sign, digits
// with an optional '.' and fraction, an optional exponent (an 'e' without
// digits after it is not part of the number); reading stops at the first
// character that does not fit. 0 when text starts with no number; ±infinity
// beyond the range of a double. Hexadecimal, "inf" and "nan" are not numbers.
double ReadLeadingNumber(std::string_view text);
