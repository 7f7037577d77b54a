#pragma once
// Shared by the fuzz targets: a broken invariant stops the run with its
// name, so the finding says what went wrong, not only where; readers that
// take a file path get the input through a scratch file.

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

inline void Require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// A file of this process for readers that only take a path; in memory
// when /dev/shm exists, since a disk-backed file makes each run wait.
inline QString ScratchPath(const char* name)
{
    const QString folder = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    return folder + QStringLiteral("/%1_%2").arg(getpid()).arg(QLatin1String(name));
}

inline void WriteScratch(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    Require(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "scratch file written");
}
