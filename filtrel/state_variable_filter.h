#pragma once
// Where the time-domain state-variable filter can go.
#include <cmath>

// Largest coefficient F = 2 sin(pi f / rate) for which the recursion, with its damping of
// one, stays stable: F^2 + 2F < 4, that is F < sqrt(5) - 1.
inline constexpr double kStateVariableLimit = 1.2360679774997896 - 1e-6;

// True when a frequency at this rate keeps F inside the stable range.
inline bool state_variable_is_stable(double frequency, double rate)
{
    return rate > 0 && frequency >= 0 && frequency < rate * 0.5 &&
           2.0 * std::sin(3.14159 * frequency / rate) < kStateVariableLimit;
}
