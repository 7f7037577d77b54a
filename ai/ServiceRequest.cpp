#include "ai/ServiceRequest.h"

#include <QUrl>

#include <httplib.h>

#include <chrono>
#include <memory>

namespace {

thread_local std::shared_ptr<TRequestCancel> ThreadCancel;

TRequestFailure MakeFailure(TRequestFailureKind kind, const QString& message, int status = 0)
{
    TRequestFailure failure;
    failure.Kind = kind;
    failure.Message = message;
    failure.HttpStatus = status;
    return failure;
}

QString DurationText(int ms)
{
    if (ms % 1000 == 0)
        return QStringLiteral("%1 s").arg(ms / 1000);
    return QStringLiteral("%1 ms").arg(ms);
}

void ApplyTimeout(httplib::ClientImpl& client, int timeoutMs)
{
    const int ms = timeoutMs > 0 ? timeoutMs : 1;
    const time_t sec = ms / 1000;
    const time_t usec = time_t(ms % 1000) * 1000;
    client.set_read_timeout(sec, usec);
    client.set_write_timeout(sec, usec);
    client.set_connection_timeout(sec, usec);
}

std::unique_ptr<httplib::ClientImpl> MakeClient(const TServicePost& post, const TServiceAddress& address,
                                                TRequestFailure& failure)
{
    const int port = address.Port > 0 ? address.Port : (post.UseTls ? 443 : 80);
    const std::string host = address.Host.toStdString();
    if (!post.UseTls)
        return std::make_unique<httplib::ClientImpl>(host, port);
    auto tls = std::make_unique<httplib::SSLClient>(host, port);
    if (!tls->is_valid()) {
        failure = MakeFailure(rfTlsUnavailable, QStringLiteral("The TLS layer could not be created."));
        return nullptr;
    }
    if (!post.TrustedCertificateFile.isEmpty())
        tls->set_ca_cert_path(post.TrustedCertificateFile.toStdString());
    tls->enable_server_certificate_verification(true);
    return tls;
}

TRequestFailure FailureOf(httplib::Error error, bool tooLarge, qint64 maxBytes, double elapsedMs,
                          const TServicePost& post, const TServiceAddress& address)
{
    const QString where = address.Port > 0 ? QStringLiteral("%1:%2").arg(address.Host).arg(address.Port)
                                           : address.Host;
    switch (error) {
    case httplib::Error::Canceled:
        if (tooLarge)
            return MakeFailure(rfReplyTooLarge,
                               QStringLiteral("The reply is larger than %1 bytes.").arg(maxBytes));
        break;
    case httplib::Error::Connection:
        return MakeFailure(rfNoConnection, QStringLiteral("Could not connect to %1.").arg(where));
    case httplib::Error::ConnectionTimeout:
        return MakeFailure(rfTimeout, QStringLiteral("Connecting to %1 timed out after %2.")
                                          .arg(where, DurationText(post.TimeoutMs)));
    case httplib::Error::Read:
        // The library reports an expired read time-out as a read error.
        if (elapsedMs >= post.TimeoutMs * 0.9)
            return MakeFailure(rfTimeout, QStringLiteral("No reply from %1 within %2.")
                                              .arg(where, DurationText(post.TimeoutMs)));
        return MakeFailure(rfNoConnection,
                           QStringLiteral("The connection to %1 closed before a reply arrived.").arg(where));
    case httplib::Error::SSLConnection:
    case httplib::Error::SSLLoadingCerts:
    case httplib::Error::SSLServerVerification:
        return MakeFailure(rfTls, QStringLiteral("Secure connection to %1 failed (%2).")
                                      .arg(where, QString::fromStdString(httplib::to_string(error))));
    default:
        break;
    }
    return MakeFailure(rfOther, QStringLiteral("Request to %1 failed (%2).")
                                    .arg(where, QString::fromStdString(httplib::to_string(error))));
}

} // namespace

QString TRequestFailure::UserHint() const
{
    switch (Kind) {
    case rfNone: return QString();
    case rfInvalidAddress: return QStringLiteral("The service address is not valid.");
    case rfNoConnection: return QStringLiteral("Could not reach the service: check the connection and the address.");
    case rfTimeout: return QStringLiteral("The service did not answer in time.");
    case rfHttpStatus:
        if (HttpStatus == 401 || HttpStatus == 403)
            return QStringLiteral("The service answered %1: check the API key.").arg(HttpStatus);
        return QStringLiteral("The service answered %1.").arg(HttpStatus);
    case rfTlsUnavailable: return QStringLiteral("Secure connections are not available: check the OpenSSL installation.");
    case rfTls: return QStringLiteral("The secure connection to the service failed.");
    case rfReplyTooLarge: return QStringLiteral("The service's reply was too large.");
    case rfCancelled: return QStringLiteral("The request was cancelled.");
    case rfOther: break;
    }
    return QStringLiteral("The request failed: ") + Message;
}

void TRequestCancel::Cancel()
{
    std::lock_guard<std::mutex> guard(FLock);
    FCancelled = true;
    // Under the lock: PostJson clears the interrupt before its client goes.
    if (FInterrupt)
        FInterrupt();
}

bool TRequestCancel::IsCancelled() const
{
    std::lock_guard<std::mutex> guard(FLock);
    return FCancelled;
}

bool TRequestCancel::SetInterrupt(std::function<void()> interrupt)
{
    std::lock_guard<std::mutex> guard(FLock);
    if (FCancelled && interrupt)
        return false;
    FInterrupt = std::move(interrupt);
    return true;
}

std::shared_ptr<TRequestCancel> TRequestCancel::OfThisThread() { return ThreadCancel; }

TCancelScope::TCancelScope(std::shared_ptr<TRequestCancel> cancel) : FOuter(std::move(ThreadCancel))
{
    ThreadCancel = std::move(cancel);
}

TCancelScope::~TCancelScope() { ThreadCancel = std::move(FOuter); }

TServiceAddress TServiceAddress::Parse(const QString& baseURL)
{
    TServiceAddress address;
    const QUrl url(baseURL.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return address;
    address.Scheme = url.scheme().toLower();
    address.Host = url.host();
    address.Port = url.port(-1);
    address.PathPrefix = url.path(QUrl::FullyEncoded);
    while (address.PathPrefix.endsWith(QLatin1Char('/')))
        address.PathPrefix.chop(1);
    return address;
}

TServiceReply PostJson(const TServicePost& post)
{
    TServiceReply reply;
    const TServiceAddress address = TServiceAddress::Parse(post.BaseURL);
    if (!address.IsValid()) {
        reply.Failure = MakeFailure(rfInvalidAddress,
                                    QStringLiteral("\"%1\" is not a usable service address.").arg(post.BaseURL));
        return reply;
    }
    auto client = MakeClient(post, address, reply.Failure);
    if (!client)
        return reply;
    ApplyTimeout(*client, post.TimeoutMs);

    httplib::Request request;
    request.method = "POST";
    request.path = (address.PathPrefix + post.Path).toStdString();
    request.set_header("Content-Type", "application/json");
    if (!post.BearerToken.trimmed().isEmpty())
        request.set_header("Authorization", "Bearer " + post.BearerToken.toStdString());
    request.body.assign(post.Body.constData(), size_t(post.Body.size()));

    bool tooLarge = false;
    request.content_receiver = [&](const char* data, size_t length, uint64_t, uint64_t) {
        if (reply.Body.size() + qint64(length) > post.MaxReplyBytes) {
            tooLarge = true;
            return false;
        }
        reply.Body.append(data, qsizetype(length));
        return true;
    };

    const std::shared_ptr<TRequestCancel> cancel = TRequestCancel::OfThisThread();
    const auto cancelled = [&] {
        reply.Failure = MakeFailure(rfCancelled, QStringLiteral("The request was cancelled."));
        return reply;
    };
    // stop() shuts the socket down from the cancelling thread, which wakes
    // the blocked read; it only reaches a request already connected, so a
    // canceller repeats Cancel() until the worker has ended.
    if (cancel && !cancel->SetInterrupt([&client] { client->stop(); }))
        return cancelled();

    httplib::Response response;
    httplib::Error error = httplib::Error::Success;
    const auto started = std::chrono::steady_clock::now();
    const bool sent = client->send(request, response, error);
    const double elapsedMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    if (cancel) {
        cancel->SetInterrupt({});
        if (cancel->IsCancelled()) {
            reply.Body.clear();
            return cancelled();
        }
    }

    if (!sent || error != httplib::Error::Success) {
        reply.Body.clear();
        reply.Failure = FailureOf(error, tooLarge, post.MaxReplyBytes, elapsedMs, post, address);
        return reply;
    }
    reply.Status = response.status;
    if (response.status < 200 || response.status > 299) {
        QString text = QStringLiteral("The server answered %1").arg(response.status);
        if (!response.reason.empty())
            text += QLatin1Char(' ') + QString::fromStdString(response.reason);
        reply.Failure = MakeFailure(rfHttpStatus, text + QLatin1Char('.'), response.status);
    }
    return reply;
}
