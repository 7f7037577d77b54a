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

double BestCpuSecondsInChild(int runs, const std::function<void()>& work)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        int fds[2];
        if (pipe(fds) != 0)
            return -1;
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            const double start = CpuSeconds();
            work();
            const double used = CpuSeconds() - start;
            (void)!write(fds[1], &used, sizeof used);
            _exit(0);
        }
        close(fds[1]);
        double used = 1e30;
        if (read(fds[0], &used, sizeof used) != sizeof used)
            used = 1e30;
        close(fds[0]);
        waitpid(pid, nullptr, 0);
        best = std::min(best, used);
    }
    return best;
}

}
