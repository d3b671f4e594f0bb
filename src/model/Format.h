// Number texts as the program shows and stores them: "%d", "%.Nf" and
// "%2.2d"-style fields, always with '.' as the decimal point whatever the
// process locale says.
#pragma once

#include <cstdint>
#include <string>

// "%d"
std::string FormatInt(int64_t value);
// "%.<digits>f", rounded as printf rounds (the exact binary value, ties to even).
std::string FormatFixed(double value, int digits);
// "%2.2d": at least two digits, zero padded.
std::string FormatTwoDigits(int value);
