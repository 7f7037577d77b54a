#include "ai/AISpriteSheet.h"

#include "model/JsonText.h"

#include <algorithm>
#include <cmath>

namespace AISpriteSheet {

const TPromptTemplate PromptTemplates[TemplateCount] = {
    {"vault-dweller", "8-bit pixel art character, vault jumpsuit, Fallout style, front facing, detailed",
     "blurry, text, watermark, signature, deformed, extra limbs, modern clothing", "1:1"},
    {"raider", "8-bit pixel art wasteland raider, leather armor, weapons, aggressive pose, Fallout style",
     "blurry, text, watermark, signature, deformed, extra limbs, clean, HD, modern", "1:1"},
    {"ghoul", "8-bit pixel art ghoul, decayed skin, ragged clothes, glowing eyes, Fallout style",
     "blurry, text, watermark, signature, deformed, extra limbs, smooth, perfect skin, modern", "1:1"},
    {"brotherhood", "8-bit pixel art brotherhood knight, power armor, weapon, standing tall, Fallout style",
     "blurry, text, watermark, signature, deformed, extra limbs, colorful, casual, modern", "1:1"},
    {"settler", "8-bit pixel art settler, practical clothing, tools, neutral pose, Fallout style",
     "blurry, text, watermark, signature, deformed, extra limbs, fantasy, medieval, modern", "1:1"},
};

const char* const CharacterTypes[CharacterTypeCount] = {
    "Vault Dweller", "Raider", "Ghoul", "Brotherhood Knight", "Settler"};
const char* const Actions[ActionCount] = {
    "idle", "walk", "run", "attack", "talk", "scout", "death", "victory"};
const char* const Directions[DirectionCount] = {
    "north", "south", "east", "west", "north-east", "north-west", "south-east", "south-west"};
const char* const Resolutions[ResolutionCount] = {"64x64", "128x128", "256x256"};
const char* const ModelID = "sdxl-sprite";
const char* const WindowCaption = "AI Sprite Sheet Generator";

const TPromptTemplate& FindTemplate(const QString& style)
{
    for (const TPromptTemplate& row : PromptTemplates)
        if (style.compare(QLatin1String(row.Style), Qt::CaseInsensitive) == 0)
            return row;
    return PromptTemplates[0];
}

int FrameSizeFor(int resolutionIndex)
{
    switch (resolutionIndex) {
    case 1: return 128;
    case 2: return 256;
    default: return 64;
    }
}

TSheetPrompt BuildPrompt(const QString& characterType, const QString& action, const QString& direction,
                         const QString& extraPrompt, bool useDefaultNegative, const QString& negativeBox)
{
    const TPromptTemplate& row = FindTemplate(characterType.toLower());
    const QString templateNegative = QString::fromUtf8(row.NegativePrompt);
    const QString comma = QStringLiteral(", ");
    TSheetPrompt result;
    result.Prompt = QString::fromUtf8(row.BasePrompt) + comma + characterType + comma + action + comma + direction;
    if (!templateNegative.trimmed().isEmpty())
        result.Prompt += QStringLiteral(" | Negative: ") + templateNegative;
    if (!extraPrompt.trimmed().isEmpty())
        result.Prompt += comma + extraPrompt.trimmed();
    result.NegativePrompt = useDefaultNegative ? templateNegative : negativeBox.trimmed();
    return result;
}

int ClampFrameCount(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return std::clamp(ok ? value : DefaultFrameCount, 1, MaxFrameCount);
}

int FrameAtX(int x, int stripWidth, int frameCount)
{
    if (stripWidth <= 0 || frameCount <= 0)
        return 0;
    return std::clamp(int(qint64(x) * frameCount / stripWidth), 0, frameCount - 1);
}

int FrameBoundaryX(int i, int stripWidth, int frameCount)
{
    if (frameCount <= 0)
        return 0;
    return int(std::lround(double(i) * stripWidth / frameCount));
}

int FrameWidthOnStrip(int stripWidth, int frameCount)
{
    if (frameCount <= 0)
        return 0;
    return int(std::lround(double(stripWidth) / frameCount));
}

int StepFrame(int selected, int step, int frameCount)
{
    if (frameCount <= 0)
        return 0;
    return ((selected + step) % frameCount + frameCount) % frameCount;
}

int ZoomIn(int zoom) { return std::min(zoom + ZoomStep, MaxZoom); }
int ZoomOut(int zoom) { return std::max(zoom - ZoomStep, MinZoom); }

QString StatusCaption(const QString& message)
{
    return QLatin1String(WindowCaption) + QStringLiteral(" -- ") + message;
}

QString DoneStatus(int frameCount, int frameWidth, int frameHeight)
{
    return QStringLiteral("Done  (%1 frames, %2x%3 px)").arg(frameCount).arg(frameWidth).arg(frameHeight);
}

QString FrameInfo(int selected, int frameCount, int frameWidth, int frameHeight, int zoom)
{
    return QStringLiteral("Frame %1 / %2  |  %3x%4 px  |  %5% zoom")
        .arg(selected + 1).arg(frameCount).arg(frameWidth).arg(frameHeight).arg(zoom);
}

QString FrameName(const QString& characterType, const QString& action, const QString& direction, int frame)
{
    return (characterType + QLatin1Char('_') + action + QLatin1Char('_') + direction + QLatin1Char('_')
            + QString::number(frame))
        .toLower();
}

QString DescriptionJSON(int frameWidth, int frameHeight, int frameCount, const QString& characterType,
                        const QString& action, const QString& direction)
{
    TJsonValue frames = TJsonValue::Array(size_t(std::max(frameCount, 0)));
    for (int i = 0; i < frameCount; ++i) {
        TJsonValue frame = TJsonValue::Object();
        frame.Add(QStringLiteral("name"), FrameName(characterType, action, direction, i));
        frame.Add(QStringLiteral("duration"), 100);
        frames.Append(std::move(frame));
    }
    TJsonValue description = TJsonValue::Object();
    description.Add(QStringLiteral("frame_width"), frameWidth);
    description.Add(QStringLiteral("frame_height"), frameHeight);
    description.Add(QStringLiteral("frame_count"), frameCount);
    description.Add(QStringLiteral("frames"), std::move(frames));
    description.Add(QStringLiteral("character"), characterType.toLower());
    description.Add(QStringLiteral("palette"), "[]");
    description.Add(QStringLiteral("tags"), "[]");
    return JsonText::Compact(description);
}

}
