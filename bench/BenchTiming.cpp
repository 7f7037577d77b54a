#include "bench/BenchTiming.h"

#include <QElapsedTimer>

#include <algorithm>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

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

double InChild(const std::function<double()>& work)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const double measured = work();
        (void)!write(fds[1], &measured, sizeof measured);
        _exit(0);
    }
    close(fds[1]);
    double measured = -1;
    if (read(fds[0], &measured, sizeof measured) != sizeof measured)
        measured = -1;
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return measured;
}

double BestCpuSecondsInChild(int runs, const std::function<void()>& work)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const double used = InChild([&] {
            const double start = CpuSeconds();
            work();
            return CpuSeconds() - start;
        });
        if (used >= 0)
            best = std::min(best, used);
    }
    return best;
}

}
