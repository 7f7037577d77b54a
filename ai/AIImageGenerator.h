#pragma once
// Sprite frames and sheets on top of the image client: always hands back a
// bitmap (a red failure tile when generation fails) and lays frames side by
// side into one horizontal strip.

#include "ai/SDImageClient.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// One frame as the server left it, before any text is drawn: a worker
// thread makes these, and the thread that owns the tile painter (the GUI
// thread, for Qt's fonts) turns them into bitmaps.
struct TSpriteFrame {
    bool Mock = false;        // no API key: a placeholder for Prompt
    QString Prompt;
    TImageGenResult Result;   // the image at the frame size, or why there is none
};

class TAIImageGenerator {
public:
    static const QString DefaultBaseURL;

    explicit TAIImageGenerator(const QString& ModelID);

    // A Width by Height bitmap: the generated image, or a failure tile.
    TRgbaImage GenerateSprite(const QString& Prompt, const QString& Style, int Width, int Height);
    // (Width * FrameCount) by Height, frame i made from Prompts[i]; frames
    // without a prompt stay black. Null when the sheet would be too large.
    TRgbaImage GenerateSpriteSheet(const QStringList& Prompts, int FrameCount);

    // The two halves of the calls above. The requests draw nothing, so they
    // may run on a worker thread; the composing draws the tiles' text.
    TSpriteFrame RequestSprite(const QString& Prompt, const QString& Style, int Width, int Height);
    // Empty when the sheet would be too large.
    std::vector<TSpriteFrame> RequestSpriteSheet(const QStringList& Prompts, int FrameCount);
    static TRgbaImage SpriteOf(const TSpriteFrame& frame, int Width, int Height);
    // Null when `frames` is empty or the sheet would be too large.
    static TRgbaImage ComposeSheet(const std::vector<TSpriteFrame>& frames, int FrameCount, int Width, int Height);

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
