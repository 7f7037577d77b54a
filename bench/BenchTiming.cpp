#include "bench/BenchTiming.h"

#include <QElapsedTimer>

#include <algorithm>
#include <ctime>

namespace BenchTiming {

double CpuSeconds()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

double BestWallSeconds(int runs, const std::function<void()>& work)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e9);
    }
    return best;
}

double BestCpuSeconds(int runs, const std::function<void()>& work)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const double start = CpuSeconds();
        work();
        best = std::min(best, CpuSeconds() - start);
    }
    return best;
}

}
