#pragma once
// Client of the hosted AI text service: one prompt in, the generated text
// out. Failures never escape: every outcome is the result string, model
// text, a text beginning "Error: " or a placeholder beginning "[MOCK]".
// LastFailure() tells a window why a request fell back to the placeholder.
//
// Synchronous; one client is used by one thread at a time, so a window may
// run GenerateText on a worker thread.

#include "ai/ServiceRequest.h"

#include <QJsonObject>
#include <QString>

#include <optional>

class TOllamaCloudClient {
public:
    static const QString DefaultBaseURL;
    static constexpr int DefaultTimeoutMs = 60000;

    TOllamaCloudClient(const QString& APIKey, const QString& Model);

    QString GenerateText(const QString& Prompt, int MaxTokens);
    // The first "{" to the last "}" of the reply parsed as an object;
    // empty when there is none or it is not valid JSON.
    std::optional<QJsonObject> GenerateJSON(const QString& Prompt, int MaxTokens);

    // The exact bytes sent for a prompt (compact JSON, pure ASCII).
    QByteArray RequestBody(const QString& Prompt, int MaxTokens) const;

    const QString& APIKey() const { return FAPIKey; }
    const QString& Model() const { return FModel; }
    const QString& BaseURL() const { return FBaseURL; }
    void SetBaseURL(const QString& value) { FBaseURL = value; }
    int Timeout() const { return FTimeout; }
    void SetTimeout(int milliseconds) { FTimeout = milliseconds; }
    bool MockMode() const { return FMockMode; }
    void SetMockMode(bool value) { FMockMode = value; }
    // A PEM certificate to trust instead of the system's authorities (for a
    // test server with a certificate of its own). Empty: the system's.
    const QString& TrustedCertificateFile() const { return FTrustedCertificateFile; }
    void SetTrustedCertificateFile(const QString& path) { FTrustedCertificateFile = path; }

    // Why the last GenerateText did not give model text; rfNone after a
    // reply was parsed (also when it carried "error") and after mock mode.
    const TRequestFailure& LastFailure() const { return FLastFailure; }

private:
    QString MockReply(const QString& prompt) const;
    QString FailedRequestReply(const QString& prompt) const;
    QString Send(const QString& prompt, int maxTokens);

    QString FAPIKey;
    QString FBaseURL;
    QString FModel;
    int FTimeout = DefaultTimeoutMs;
    bool FMockMode = false;
    QString FTrustedCertificateFile;
    TRequestFailure FLastFailure;
};

// The text of a reply member: a string's content, anything else as compact
// JSON.
QString JsonMemberText(const QJsonValue& value);
