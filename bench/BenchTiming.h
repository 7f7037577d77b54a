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
// The same, each run in a child process of its own, so that every run
// starts on a fresh heap rather than on the freed objects of the run before
// (which makes the allocator, not the work, grow faster than the input).
// What the work leaves behind dies with the child, untimed.
double BestCpuSecondsInChild(int runs, const std::function<void()>& work);
// Runs `work` in a child process and hands back the number it measured
// there (-1 when the child could not run or report).
double InChild(const std::function<double()>& work);

}
