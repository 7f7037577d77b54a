#pragma once
// Runs one blocking AI request off the GUI thread while a busy dialog with
// Cancel is shown, so an AI window keeps painting during a request that may
// take a minute. The clients stay synchronous; only the caller moves.
//
// Cancel returns at once and drops the result: the work's requests are
// cancelled (see TCancelScope) and its thread is left to end on its own;
// the owner window joins it when it goes away, and so does the application
// when it quits. Nothing the work produces reaches the window, so work must
// own everything it touches (capture copies and shared pointers) and must
// not touch GUI-thread objects such as fonts: it may still run while the
// window closes.

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QWidget;

namespace AIBusyCall {

// Object name of the busy dialog (a child of `owner`).
extern const char* const DialogName;

// Runs `work` on a worker thread and waits for it, showing the busy dialog
// when it takes longer than a moment. Returns false when the user pressed
// Cancel. An exception thrown by `work` is thrown again here.
bool RunWork(QWidget* owner, const QString& text, std::function<void()> work);

// Worker threads started by RunWork that have not been joined yet.
int UnjoinedWorkers();

template <class T>
std::optional<T> Run(QWidget* owner, const QString& text, std::function<T()> work)
{
    auto slot = std::make_shared<std::optional<T>>();
    if (!RunWork(owner, text, [slot, work] { *slot = work(); }))
        return std::nullopt;
    return std::move(*slot);
}

}

// Where the AI windows' clients send their requests. Empty fields keep the
// client's own defaults; tests point them at servers on the loopback.
struct TAIServiceEndpoint {
    QString BaseURL;
    QString TrustedCertificateFile;
    int TimeoutMs = 0;

    template <class TClient>
    void ApplyTo(TClient& client) const
    {
        if (!BaseURL.isEmpty())
            client.SetBaseURL(BaseURL);
        if (!TrustedCertificateFile.isEmpty())
            client.SetTrustedCertificateFile(TrustedCertificateFile);
        if (TimeoutMs > 0)
            client.SetTimeout(TimeoutMs);
    }

    // A client made with these arguments and then pointed here.
    template <class TClient, class... TArgs>
    std::unique_ptr<TClient> MakeClient(TArgs&&... args) const
    {
        auto client = std::make_unique<TClient>(std::forward<TArgs>(args)...);
        ApplyTo(*client);
        return client;
    }
};

// Shows one message to the user; windows take one so tests can catch it.
using TAIMessageHandler = std::function<void(const QString& text)>;
