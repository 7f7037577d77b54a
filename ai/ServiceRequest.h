#pragma once
// One JSON POST to an AI service over HTTP or HTTPS, shared by the text
// and image clients. Each call opens its own connection and closes it.
// Nothing here throws; every outcome is in the reply record.

#include <QByteArray>
#include <QString>

enum TRequestFailureKind {
    rfNone,
    rfInvalidAddress,   // the base URL has no usable host
    rfNoConnection,     // refused, unreachable, or closed before a reply
    rfTimeout,          // no reply within the read time-out
    rfHttpStatus,       // the server answered with a status outside 200..299
    rfTlsUnavailable,   // the TLS layer could not be set up at all
    rfTls,              // handshake or certificate verification failed
    rfReplyTooLarge,    // the reply exceeded the size the caller accepts
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

TServiceReply PostJson(const TServicePost& post);
