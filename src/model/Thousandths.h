// Real values kept in integer settings (velocity factors, cursor positions,
// section lengths) are stored as thousandths, truncated toward zero.
#pragma once

#include <cstdint>

// value × 1000 truncated toward zero, saturated to int32. A product that lies
// within a hair of a whole number counts as that number, so a value read from
// its thousandths (1001 / 1000.0 = 1.000999...) is written back unchanged.
int32_t ToThousandths(double value);
