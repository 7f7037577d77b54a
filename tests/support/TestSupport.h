#pragma once
// Small helpers shared by the test programs.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

#include <csignal>
#include <sys/resource.h>

class TDialogueProject;

namespace TestSupport {

// Path of a file under tests/data.
QString DataPath(const QString& relative);
QByteArray ReadFile(const QString& path);
void WriteFile(const QString& path, const QByteArray& bytes);

// The project as compact JSON without its save time, which ToJSON stamps
// with the current second; comparing whole documents needs it left out.
QString DocumentText(const TDialogueProject& project);

// Whether permission checks are in force (they are not for root).
bool PermissionsEnforced();

// The message of the EDialogueError `call` raises; empty when it raises none.
QString RaisedError(const std::function<void()>& call);

// The files of a folder (hidden ones too), by name: a failed write must
// leave no temporary file behind.
QStringList FilesIn(const QString& dir);

// Makes writes past `bytes` fail as on a full disk, for one scope.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &FOld);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = FOld;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

    // What the system says when a write meets the limit.
    static QString Reason();

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = nullptr;
};

// Content sizes a full-disk test tries: one that fits in the write buffer of
// a file (16 KiB), which meets the disk only when flushed, and one that goes
// out while being written.
constexpr int FullDiskSmallBytes = 2000;
constexpr int FullDiskLargeBytes = 60000;

// Runs `write` while the disk is "full" half way through the `newSize` bytes
// of the new content, and
// checks it failed honestly: `write` returns the error it got (empty for
// none), which must name the system's reason, and the file at `path`, which
// holds `before`, must be the same byte for byte with nothing left beside it.
void ExpectFullDiskKeepsTheFile(const QString& path, const QByteArray& before, qint64 newSize,
                                const std::function<QString()>& write);

}
