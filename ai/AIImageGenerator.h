#pragma once
// Sprite frames and sheets on top of the image client: always hands back a
// bitmap (a red failure tile when generation fails) and lays frames side by
// side into one horizontal strip.

#include "ai/SDImageClient.h"

#include <QString>
#include <QStringList>

#include <memory>

class TAIImageGenerator {
public:
    static const QString DefaultBaseURL;

    explicit TAIImageGenerator(const QString& ModelID);

    // A Width by Height bitmap: the generated image, or a failure tile.
    TRgbaImage GenerateSprite(const QString& Prompt, const QString& Style, int Width, int Height);
    // (Width * FrameCount) by Height, frame i made from Prompts[i]; frames
    // without a prompt stay black. Null when the sheet would be too large.
    TRgbaImage GenerateSpriteSheet(const QStringList& Prompts, int FrameCount);

    static TRgbaImage FailureTile(const QString& message, int width, int height);

    const QString& ModelID() const { return FModelID; }
    const QString& NegativePrompt() const { return FNegativePrompt; }
    void SetNegativePrompt(const QString& value) { FNegativePrompt = value; }
    const QString& OutputFormat() const { return FOutputFormat; }
    int Width() const { return FWidth; }
    void SetWidth(int value) { FWidth = value; }
    int Height() const { return FHeight; }
    void SetHeight(int value) { FHeight = value; }
    const QString& BaseURL() const { return FBaseURL; }
    void SetBaseURL(const QString& value) { FBaseURL = value; }
    const QString& APIKey() const { return FAPIKey; }
    void SetAPIKey(const QString& value) { FAPIKey = value; }
    // Copied into the client before every request.
    int Timeout() const { return FTimeout; }
    void SetTimeout(int milliseconds) { FTimeout = milliseconds; }
    void SetTrustedCertificateFile(const QString& path) { FTrustedCertificateFile = path; }

    // The client, once the first sprite has created it.
    TSDImageClient* SDClient() const { return FSDClient.get(); }
    // The outcome of the last GenerateSprite, for a window that wants to
    // say why a frame failed.
    const TImageGenResult& LastResult() const { return FLastResult; }

private:
    QString FModelID;
    QString FNegativePrompt;
    QString FOutputFormat;
    int FWidth = 64;
    int FHeight = 64;
    std::unique_ptr<TSDImageClient> FSDClient;
    QString FBaseURL;
    QString FAPIKey;
    int FTimeout = TSDImageClient::DefaultTimeoutMs;
    QString FTrustedCertificateFile;
    TImageGenResult FLastResult;
};
