#include "ai/AIImageGenerator.h"

#include "ai/TileText.h"

#include <algorithm>

const QString TAIImageGenerator::DefaultBaseURL = QStringLiteral("http://127.0.0.1:8188");

TAIImageGenerator::TAIImageGenerator(const QString& ModelID)
    : FModelID(ModelID), FNegativePrompt(TSDImageClient::DefaultNegativePrompt), FBaseURL(DefaultBaseURL)
{
}

TRgbaImage TAIImageGenerator::FailureTile(const QString& message, int width, int height)
{
    TRgbaImage tile(width, height, RGBToColor(255, 0, 0));
    const QString text = message.isEmpty() ? QStringLiteral("GEN FAIL") : message.left(36);
    TileText::Draw(tile, 4, 4, text, RGBToColor(0, 0, 0));
    return tile;
}

TSpriteFrame TAIImageGenerator::RequestSprite(const QString& Prompt, const QString& Style, int Width, int Height)
{
    TSpriteFrame frame;
    frame.Prompt = Style.trimmed().isEmpty() ? Prompt : Style + QStringLiteral(", ") + Prompt;
    if (!FSDClient)
        FSDClient = std::make_unique<TSDImageClient>(FAPIKey, FBaseURL, FModelID);
    FSDClient->SetNegativePrompt(FNegativePrompt);
    FSDClient->SetMockMode(FAPIKey.trimmed().isEmpty());
    FSDClient->SetTimeout(FTimeout);
    FSDClient->SetTrustedCertificateFile(FTrustedCertificateFile);

    // The client would draw the placeholder now; SpriteOf draws it later.
    frame.Mock = FSDClient->MockMode() && !frame.Prompt.trimmed().isEmpty();
    if (frame.Mock) {
        FLastResult = TImageGenResult();
        FLastResult.Success = true;
        frame.Result = FLastResult;
        return frame;
    }
    FLastResult = FSDClient->GenerateImage(frame.Prompt, FNegativePrompt, Width, Height, 20, 7.0);
    frame.Result = FLastResult;
    TImageGenResult& result = frame.Result;
    // The server may ignore the size it was asked for; callers rely on it.
    if (result.Success && (result.Image.Width != Width || result.Image.Height != Height)) {
        result.Image = result.Image.Scaled(Width, Height);
        result.Success = !result.Image.IsNull();
    }
    return frame;
}

TRgbaImage TAIImageGenerator::SpriteOf(const TSpriteFrame& frame, int Width, int Height)
{
    if (frame.Mock)
        return TSDImageClient::MockImage(frame.Prompt, Width, Height);
    if (frame.Result.Success)
        return frame.Result.Image;
    return FailureTile(frame.Result.ErrorMessage, Width, Height);
}

TRgbaImage TAIImageGenerator::GenerateSprite(const QString& Prompt, const QString& Style, int Width,
                                             int Height)
{
    return SpriteOf(RequestSprite(Prompt, Style, Width, Height), Width, Height);
}

namespace {

bool SheetFits(int frameWidth, int frameCount)
{
    return frameCount > 0 && qint64(frameWidth) * frameCount <= TRgbaImage::MaxDimension;
}

}

std::vector<TSpriteFrame> TAIImageGenerator::RequestSpriteSheet(const QStringList& Prompts, int FrameCount)
{
    std::vector<TSpriteFrame> frames;
    if (!SheetFits(FWidth, FrameCount) || TRgbaImage(FWidth * FrameCount, FHeight).IsNull())
        return frames;
    const int count = std::min<qsizetype>(FrameCount, Prompts.size());
    for (int i = 0; i < count; ++i)
        frames.push_back(RequestSprite(Prompts[i], QString(), FWidth, FHeight));
    return frames;
}

TRgbaImage TAIImageGenerator::ComposeSheet(const std::vector<TSpriteFrame>& frames, int FrameCount, int Width,
                                           int Height)
{
    if (frames.empty() || !SheetFits(Width, FrameCount))
        return TRgbaImage();
    TRgbaImage sheet(Width * FrameCount, Height, RGBToColor(0, 0, 0));
    if (sheet.IsNull())
        return sheet;
    for (int i = 0; i < std::min<int>(FrameCount, int(frames.size())); ++i)
        sheet.StretchDraw(Width * i, 0, Width, Height, SpriteOf(frames[i], Width, Height));
    return sheet;
}

TRgbaImage TAIImageGenerator::GenerateSpriteSheet(const QStringList& Prompts, int FrameCount)
{
    return ComposeSheet(RequestSpriteSheet(Prompts, FrameCount), FrameCount, FWidth, FHeight);
}
