#pragma once
// Small helpers shared by the test programs.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

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

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = nullptr;
};

}
