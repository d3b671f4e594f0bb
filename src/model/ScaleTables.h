// The instrument's fixed tables, indexed by the scale and pulse indices 0..11 of
// the waveform header and of the settings.
#pragma once

#include <array>

namespace tables {

inline constexpr int kCount = 12;
inline constexpr int kColumns = 500;        // the plot always has 500 columns
inline constexpr double kReferenceFactor = 1.5; // PR at which a position equals a distance
// The range of PR the velocity field offers (V/2 150..50 m/us); nothing outside it is used.
inline constexpr double kMinFactor = 1.0;
inline constexpr double kMaxFactor = 3.0;
// Whether a PR (a recording's own, say) lies in that range and can be used as it is.
inline constexpr bool IsFieldFactor(double pr) { return pr >= kMinFactor && pr <= kMaxFactor; }

// Scale (metres of position) of each index.
inline constexpr std::array<double, kCount> kScale = {
    62.5, 125, 250, 500, 1000, 2000, 4000, 8000, 16000, 32000, 64000, 128000};

// Sample step as stored (hundredths of a metre of position per sample).
inline constexpr std::array<double, kCount> kSampleStep = {
    12.5, 12.5, 12.5, 12.5, 12.5, 25, 50, 100, 200, 400, 800, 1600};

// Probing pulse width in nanoseconds.
inline constexpr std::array<double, kCount> kPulse = {
    10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000, 50000};

// Deepest zoom exponent: the narrowest window is 62.5 m up to 1 km, scale / 16 above.
inline constexpr std::array<int, kCount> kMaxZoom = {0, 1, 2, 3, 4, 4, 4, 4, 4, 4, 4, 4};

// First index whose scale equals `scale` exactly, or -1 when none does.
int ScaleIndex(double scale);

// Deepest zoom for a scale; a scale outside the table gets the deepest zoom of all.
int MaxZoom(double scale);

} // namespace tables
