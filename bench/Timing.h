#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

// How long work takes, in milliseconds of the clock.
inline double milliseconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

inline double percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[size_t(fraction * double(values.size() - 1) + 0.5)];
}
