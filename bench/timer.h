// A monotonic clock and the median, for the benchmarks. (<chrono> cannot be used: its "µs" literal has no
// code page 936 form.)
#pragma once

#include <algorithm>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

inline double NowSeconds() {
#ifdef _WIN32
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
#else
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
#endif
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
