// The one clock of the benchmarks: monotonic seconds, on Windows and natively.
#pragma once

#include <chrono>

inline double maintenant()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
