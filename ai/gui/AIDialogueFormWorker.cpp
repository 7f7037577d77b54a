#include "ai/gui/AIDialogueFormWorker.h"

#include "ai/ServiceRequest.h"
#include "shell/ThemeManager.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <exception>
#include <list>
#include <thread>

namespace AIBusyCall {

const char* const DialogName = "dlgAIBusy";

namespace {

// Shared by the GUI thread and the worker; outlives whichever ends last.
struct TWorkState {
    std::atomic<bool> Done{false};
    std::exception_ptr Failure;
    std::shared_ptr<TRequestCancel> Cancel = std::make_shared<TRequestCancel>();
};

constexpr int PollMs = 15;
constexpr int ShowAfterMs = 200;
constexpr int CancelRepeatMs = 5;

std::atomic<int> Unjoined{0};

// One worker thread, joined before the handle goes.
class TWorker {
public:
    explicit TWorker(std::function<void()> work) : FState(std::make_shared<TWorkState>())
    {
        ++Unjoined;
        FThread = std::thread([state = FState, work = std::move(work)] {
            try {
                TCancelScope scope(state->Cancel);
                work();
            } catch (...) {
                state->Failure = std::current_exception();
            }
            state->Done = true;
        });
    }
    ~TWorker()
    {
        if (FThread.joinable())
            CancelAndJoin();
    }
    TWorker(TWorker&&) = default;

    const TWorkState& State() const { return *FState; }
    bool Done() const { return FState->Done; }

    void Join()
    {
        FThread.join();
        --Unjoined;
    }
    // A cancel that lands between a request's start and its connection is
    // missed, so it is repeated until the work has ended.
    void CancelAndJoin()
    {
        while (!FState->Done) {
            FState->Cancel->Cancel();
            std::this_thread::sleep_for(std::chrono::milliseconds(CancelRepeatMs));
        }
        Join();
    }

private:
    std::shared_ptr<TWorkState> FState;
    std::thread FThread;
};

// Workers whose result nobody waits for any more, kept by the window that
// started them: it joins them when it is destroyed, or when the
// application quits first.
class TAbandonedWork : public QObject {
public:
    static constexpr const char* Name = "AIBusyCallAbandonedWork";

    explicit TAbandonedWork(QObject* owner) : QObject(owner)
    {
        setObjectName(QString::fromLatin1(Name));
        if (QCoreApplication::instance())
            connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] { JoinAll(); });
    }
    ~TAbandonedWork() override { JoinAll(); }

    static void Keep(QObject* owner, TWorker worker)
    {
        QObject* keeperOwner = owner ? owner : QCoreApplication::instance();
        auto* keeper = keeperOwner ? dynamic_cast<TAbandonedWork*>(keeperOwner->findChild<QObject*>(
                                         QString::fromLatin1(Name), Qt::FindDirectChildrenOnly))
                                   : nullptr;
        if (!keeperOwner)
            return;   // nobody to keep it: the worker's destructor cancels and joins it
        if (!keeper)
            keeper = new TAbandonedWork(keeperOwner);
        keeper->Add(std::move(worker));
    }

private:
    void Add(TWorker worker)
    {
        worker.State().Cancel->Cancel();
        // Earlier ones that have ended are joined now rather than piling up.
        for (auto it = FWorkers.begin(); it != FWorkers.end();) {
            if (it->Done()) {
                it->Join();
                it = FWorkers.erase(it);
            } else {
                ++it;
            }
        }
        FWorkers.push_back(std::move(worker));
    }
    void JoinAll()
    {
        for (TWorker& worker : FWorkers)
            worker.CancelAndJoin();
        FWorkers.clear();
    }

    std::list<TWorker> FWorkers;
};

}

int UnjoinedWorkers() { return Unjoined; }

bool RunWork(QWidget* owner, const QString& text, std::function<void()> work)
{
    TWorker worker(std::move(work));
    const TWorkState* state = &worker.State();

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
    if (cancelled && !state->Done) {
        TAbandonedWork::Keep(owner, std::move(worker));
        return false;
    }
    worker.Join();
    if (state->Failure)
        std::rethrow_exception(state->Failure);
    return true;
}

}
