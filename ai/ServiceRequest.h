#pragma once
// One JSON POST to an AI service over HTTP or HTTPS, shared by the text
// and image clients. Each call opens its own connection and closes it.
// Nothing here throws; every outcome is in the reply record.

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>

enum TRequestFailureKind {
    rfNone,
    rfInvalidAddress,   // the base URL has no usable host
    rfNoConnection,     // refused, unreachable, or closed before a reply
    rfTimeout,          // no reply within the read time-out
    rfHttpStatus,       // the server answered with a status outside 200..299
    rfTlsUnavailable,   // the TLS layer could not be set up at all
    rfTls,              // handshake or certificate verification failed
    rfReplyTooLarge,    // the reply exceeded the size the caller accepts
    rfCancelled,        // the thread's cancel scope was cancelled
    rfOther
};

// Why a request did not produce a usable reply, for windows that want to
// say more than the placeholder the clients return.
struct TRequestFailure {
    TRequestFailureKind Kind = rfNone;
    int HttpStatus = 0;   // for rfHttpStatus
    QString Message;      // technical description, never holds the API key

    bool IsFailure() const { return Kind != rfNone; }
    // One sentence for the user, e.g. "The service answered 401: check the
    // API key."; empty when there was no failure.
    QString UserHint() const;
};

// Where a base URL points: scheme, host, port and the path prefix that
// request paths are appended to.
struct TServiceAddress {
    QString Scheme;       // lower case; empty when the URL gave none
    QString Host;
    int Port = -1;        // -1 when the URL gave none
    QString PathPrefix;   // without trailing slash, e.g. "/v1"

    bool IsValid() const { return !Host.isEmpty(); }
    static TServiceAddress Parse(const QString& baseURL);
};

struct TServicePost {
    QString BaseURL;
    QString Path;                    // appended to the URL's path prefix
    bool UseTls = true;
    QByteArray Body;                 // sent as is, Content-Type application/json
    QString BearerToken;             // "Authorization: Bearer ..." when not blank
    int TimeoutMs = 60000;           // read time-out; also bounds connecting
    QString TrustedCertificateFile;  // PEM; when set, the only trusted issuer
    qint64 MaxReplyBytes = 16 * 1024 * 1024;
};

struct TServiceReply {
    int Status = 0;
    QByteArray Body;
    TRequestFailure Failure;

    bool Ok() const { return !Failure.IsFailure(); }
};

// Lets another thread end the requests a worker thread makes: a blocked
// read would otherwise hold the worker, and whoever waits for it, until the
// time-out (minutes). Requests made on a thread inside a TCancelScope fail
// with rfCancelled, at once, from the moment Cancel() is called.
class TRequestCancel {
public:
    // Any thread; interrupts the request in flight and every later one.
    void Cancel();
    bool IsCancelled() const;

    // The cancel of the calling thread's innermost scope, or null.
    static std::shared_ptr<TRequestCancel> OfThisThread();

    // For PostJson: how to interrupt the request now in flight (empty:
    // none). Returns false, storing nothing, when already cancelled.
    bool SetInterrupt(std::function<void()> interrupt);

private:
    mutable std::mutex FLock;
    bool FCancelled = false;
    std::function<void()> FInterrupt;
};

// Makes `cancel` the calling thread's cancel while the scope lives.
class TCancelScope {
public:
    explicit TCancelScope(std::shared_ptr<TRequestCancel> cancel);
    ~TCancelScope();
    TCancelScope(const TCancelScope&) = delete;
    TCancelScope& operator=(const TCancelScope&) = delete;

private:
    std::shared_ptr<TRequestCancel> FOuter;
};

TServiceReply PostJson(const TServicePost& post);
