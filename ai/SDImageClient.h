#pragma once
// Client of a text-to-image server: one request, one decoded image. Like
// the text client it never lets a failure escape; the outcome is a
// TImageGenResult. Synchronous, one thread at a time.

#include "ai/RgbaImage.h"
#include "ai/ServiceRequest.h"

#include <QString>

struct TImageGenResult {
    bool Success = false;
    TRgbaImage Image;        // null unless an image was produced
    QString ErrorMessage;    // empty on success
    TRequestFailure Failure; // why the request failed, when it did
};

class TSDImageClient {
public:
    static const QString DefaultNegativePrompt;
    static constexpr int DefaultTimeoutMs = 120000;
    // Replies are base64 PNG; a reply beyond this is not an image we want.
    static constexpr qint64 MaxReplyBytes = 128 * 1024 * 1024;

    TSDImageClient(const QString& APIKey, const QString& BaseURL, const QString& Model);

    TImageGenResult GenerateImage(const QString& Prompt, const QString& NegativePrompt, int Width,
                                  int Height, int Steps, double CFGScale);

    // The request body for the server at BaseURL (its shape depends on it).
    QByteArray RequestBody(const QString& Prompt, const QString& NegativePrompt, int Width, int Height,
                           int Steps, double CFGScale) const;
    // A server on the loopback interface is spoken to in plain HTTP.
    bool IsLocalServer() const;

    const QString& APIKey() const { return FAPIKey; }
    const QString& BaseURL() const { return FBaseURL; }
    const QString& Model() const { return FModel; }
    int Timeout() const { return FTimeout; }
    void SetTimeout(int milliseconds) { FTimeout = milliseconds; }
    bool MockMode() const { return FMockMode; }
    void SetMockMode(bool value) { FMockMode = value; }
    const QString& NegativePrompt() const { return FNegativePrompt; }
    void SetNegativePrompt(const QString& value) { FNegativePrompt = value; }
    int Steps() const { return FSteps; }
    void SetSteps(int value) { FSteps = value; }
    double CFGScale() const { return FCFGScale; }
    void SetCFGScale(double value) { FCFGScale = value; }
    // A PEM certificate to trust instead of the system's authorities, for
    // a test server over HTTPS. Empty: the system's.
    const QString& TrustedCertificateFile() const { return FTrustedCertificateFile; }
    void SetTrustedCertificateFile(const QString& path) { FTrustedCertificateFile = path; }

    // The placeholder drawn in mock mode.
    static TRgbaImage MockImage(const QString& prompt, int width, int height);

private:
    bool IsComfyStylePort() const { return FBaseURL.contains(QLatin1String("8188")); }
    TServiceReply Post(const QString& path, const QByteArray& body) const;
    TServiceReply Send(const QByteArray& body) const;

    QString FAPIKey;
    QString FBaseURL;
    QString FModel;
    int FTimeout = DefaultTimeoutMs;
    bool FMockMode = false;
    QString FNegativePrompt;
    int FSteps = 20;
    double FCFGScale = 7.0;
    QString FTrustedCertificateFile;
};

// Decodes the first entry of a reply's "images" array: optional data-URI
// header, standard base64 (line breaks allowed), PNG. On failure returns
// false with the message for "HTTP error: ".
bool DecodeBase64Png(const QString& text, TRgbaImage& image, QString& error);
