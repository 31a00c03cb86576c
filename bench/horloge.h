// The one clock of the benchmarks: monotonic seconds, on Windows and natively.
#pragma once

#include <chrono>

inline double maintenant()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
