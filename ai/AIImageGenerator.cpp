#include "ai/AIImageGenerator.h"

#include "ai/TileText.h"

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

TRgbaImage TAIImageGenerator::GenerateSprite(const QString& Prompt, const QString& Style, int Width,
                                             int Height)
{
    const QString fullPrompt = Style.trimmed().isEmpty() ? Prompt : Style + QStringLiteral(", ") + Prompt;
    if (!FSDClient)
        FSDClient = std::make_unique<TSDImageClient>(FAPIKey, FBaseURL, FModelID);
    FSDClient->SetNegativePrompt(FNegativePrompt);
    FSDClient->SetMockMode(FAPIKey.trimmed().isEmpty());
    FSDClient->SetTimeout(FTimeout);
    FSDClient->SetTrustedCertificateFile(FTrustedCertificateFile);

    FLastResult = FSDClient->GenerateImage(fullPrompt, FNegativePrompt, Width, Height, 20, 7.0);
    if (FLastResult.Success) {
        // The server may ignore the size it was asked for; callers rely on it.
        if (FLastResult.Image.Width != Width || FLastResult.Image.Height != Height) {
            TRgbaImage scaled = FLastResult.Image.Scaled(Width, Height);
            if (!scaled.IsNull())
                return scaled;
        } else {
            return FLastResult.Image;
        }
    }
    return FailureTile(FLastResult.ErrorMessage, Width, Height);
}

TRgbaImage TAIImageGenerator::GenerateSpriteSheet(const QStringList& Prompts, int FrameCount)
{
    if (FrameCount <= 0 || qint64(FWidth) * FrameCount > TRgbaImage::MaxDimension)
        return TRgbaImage();
    TRgbaImage sheet(FWidth * FrameCount, FHeight, RGBToColor(0, 0, 0));
    if (sheet.IsNull())
        return sheet;
    const int frames = std::min<qsizetype>(FrameCount, Prompts.size());
    for (int i = 0; i < frames; ++i) {
        const TRgbaImage frame = GenerateSprite(Prompts[i], QString(), FWidth, FHeight);
        sheet.StretchDraw(FWidth * i, 0, FWidth, FHeight, frame);
    }
    return sheet;
}
