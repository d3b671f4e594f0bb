#include "tdrsynth/Fft.h"

#include <cmath>
#include <numbers>
#include <utility>

void Fft(std::vector<std::complex<double>>& data, bool inverse)
{
    const std::size_t n = data.size();
    if (n < 2 || (n & (n - 1)) != 0) {
        return;
    }
    // Bit-reversed order, so the butterflies below can work in place.
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(data[i], data[j]);
        }
    }
    // Twiddle factors of the full size once; a stage of length len uses every
    // (n / len)-th of them.
    const double sign = inverse ? 1.0 : -1.0;
    std::vector<std::complex<double>> twiddle(n / 2);
    for (std::size_t k = 0; k < n / 2; ++k) {
        const double angle = sign * 2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n);
        twiddle[k] = {std::cos(angle), std::sin(angle)};
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::size_t half = len / 2;
        const std::size_t stride = n / len;
        for (std::size_t start = 0; start < n; start += len) {
            for (std::size_t k = 0; k < half; ++k) {
                const std::complex<double> t = twiddle[k * stride] * data[start + k + half];
                data[start + k + half] = data[start + k] - t;
                data[start + k] += t;
            }
        }
    }
    if (inverse) {
        const double scale = 1.0 / static_cast<double>(n);
        for (std::complex<double>& value : data) {
            value *= scale;
        }
    }
}

std::size_t PowerOfTwoAtLeast(std::size_t n)
{
    std::size_t p = 1;
    while (p < n) {
        p <<= 1;
    }
    return p;
}
