#include "ai/gui/AIDialogueFormWorker.h"

#include "shell/ThemeManager.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <exception>
#include <thread>

namespace AIBusyCall {

const char* const DialogName = "dlgAIBusy";

namespace {

// Shared by the GUI thread and the worker; outlives whichever ends last.
struct TWorkState {
    std::atomic<bool> Done{false};
    std::exception_ptr Failure;
};

constexpr int PollMs = 15;
constexpr int ShowAfterMs = 200;

}

bool RunWork(QWidget* owner, const QString& text, std::function<void()> work)
{
    auto state = std::make_shared<TWorkState>();
    std::thread([state, work] {
        try {
            work();
        } catch (...) {
            state->Failure = std::current_exception();
        }
        state->Done = true;
    }).detach();

    QProgressDialog busy(text, QStringLiteral("Cancel"), 0, 0, owner);
    busy.setObjectName(QString::fromLatin1(DialogName));
    busy.setWindowTitle(QStringLiteral("Please wait"));
    busy.setWindowModality(Qt::WindowModal);
    busy.setAutoReset(false);
    busy.setAutoClose(false);
    busy.setMinimumDuration(0);
    TThemeManager::ApplyToForm(&busy);
    busy.hide();

    QEventLoop loop;
    bool cancelled = false;
    QObject::connect(&busy, &QProgressDialog::canceled, &loop, [&] {
        cancelled = true;
        loop.quit();
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (state->Done)
            loop.quit();
    });
    poll.start(PollMs);
    QTimer::singleShot(ShowAfterMs, &busy, [&] {
        if (!state->Done && !cancelled)
            busy.show();
    });
    if (!state->Done)
        loop.exec();
    poll.stop();
    busy.hide();
    if (cancelled && !state->Done)
        return false;
    if (state->Failure)
        std::rethrow_exception(state->Failure);
    return true;
}

}
