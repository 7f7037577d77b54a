#pragma once
// Measures how far a piece of work raises the resident memory, in a child
// process so that earlier work in the test program does not hide its peak.

#include <QByteArray>
#include <QFile>

#include <functional>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

namespace TestSupport {

inline long StatusKb(const char* field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').first().toLong();
    return -1;
}

// The growth of the peak resident set, in KiB, while `work` runs in this
// process; -1 when it could not be measured. For programs that cannot
// fork (a window test); earlier work may leave freed memory that is
// reused unseen, so the figure is a lower bound.
inline long PeakGrowthHereKb(const std::function<void()>& work)
{
    // Memory freed earlier but still resident would be reused unseen.
    malloc_trim(0);
    // "5" resets the peak to the current size.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    clear.close();
    const long before = StatusKb("VmRSS:");
    work();
    const long peak = StatusKb("VmHWM:");
    return before < 0 || peak < 0 ? -1 : peak - before;
}

// The same in a forked child, so that nothing earlier in the test program
// hides the peak.
inline long PeakGrowthKb(const std::function<void()>& work)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        close(fds[0]);
        const long used = PeakGrowthHereKb(work);
        (void)!write(fds[1], &used, sizeof used);
        _exit(0);
    }
    close(fds[1]);
    long used = -1;
    if (read(fds[0], &used, sizeof used) != sizeof used)
        used = -1;
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return used;
}

}
