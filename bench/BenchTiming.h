#pragma once
// Timing for the benchmarks: the best of several runs, in wall time or in
// this process's processor time.

#include <functional>

namespace BenchTiming {

// Processor time of this process: on a machine shared with other work it
// varies far less than wall time.
double CpuSeconds();

double BestWallSeconds(int runs, const std::function<void()>& work);
double BestCpuSeconds(int runs, const std::function<void()>& work);

}
