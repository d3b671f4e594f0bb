// A radix-2 complex fast Fourier transform, enough for the line model's
// frequency-domain solution. Qt-free and without third-party code.
#pragma once

#include <complex>
#include <vector>

// Transforms data in place; its size must be a power of two (a size of 0 or 1
// is left as it is). The forward transform is sum x[n] e^(-2 pi i k n / N);
// the inverse one uses e^(+...) and divides by N, so the two undo each other.
void Fft(std::vector<std::complex<double>>& data, bool inverse);

// The smallest power of two not below n.
std::size_t PowerOfTwoAtLeast(std::size_t n);
