#pragma once
// What the AI sprite window does besides showing controls: the prompt
// templates, the sheet prompt, the frame-count box, frame picking on the
// strip, zoom steps, status texts and the JSON description saved beside a
// sheet.

#include <QString>

namespace AISpriteSheet {

struct TPromptTemplate {
    const char* Style;
    const char* BasePrompt;
    const char* NegativePrompt;
    const char* AspectRatio;
};
constexpr int TemplateCount = 5;
extern const TPromptTemplate PromptTemplates[TemplateCount];
// Looked up by style ignoring case; no match gives the first row.
const TPromptTemplate& FindTemplate(const QString& style);

constexpr int CharacterTypeCount = 5;
extern const char* const CharacterTypes[CharacterTypeCount];
constexpr int ActionCount = 8;
extern const char* const Actions[ActionCount];
constexpr int DirectionCount = 8;
extern const char* const Directions[DirectionCount];
constexpr int ResolutionCount = 3;
extern const char* const Resolutions[ResolutionCount];
// 64, 128 or 256 for the entries above; 64 outside them.
int FrameSizeFor(int resolutionIndex);

extern const char* const ModelID;            // "sdxl-sprite"
extern const char* const WindowCaption;      // "AI Sprite Sheet Generator"

struct TSheetPrompt {
    QString Prompt;
    QString NegativePrompt;
};
TSheetPrompt BuildPrompt(const QString& characterType, const QString& action, const QString& direction,
                         const QString& extraPrompt, bool useDefaultNegative, const QString& negativeBox);

// The frames box as a count: 8 when it does not parse, then into 1..32.
constexpr int DefaultFrameCount = 8;
constexpr int MaxFrameCount = 32;
int ClampFrameCount(const QString& text);

// The frame under x on a strip of the given width (0 for an empty strip).
int FrameAtX(int x, int stripWidth, int frameCount);
// x of the boundary before frame i on the strip, rounded to the nearest pixel.
int FrameBoundaryX(int i, int stripWidth, int frameCount);
// Width of one frame on the strip, rounded to the nearest pixel.
int FrameWidthOnStrip(int stripWidth, int frameCount);
// One step forward or back, wrapping around.
int StepFrame(int selected, int step, int frameCount);

constexpr int MinZoom = 25, MaxZoom = 800, ZoomStep = 25, DefaultZoom = 100;
int ZoomIn(int zoom);
int ZoomOut(int zoom);

QString StatusCaption(const QString& message);   // caption + " -- " + message
QString DoneStatus(int frameCount, int frameWidth, int frameHeight);
QString FrameInfo(int selected, int frameCount, int frameWidth, int frameHeight, int zoom);

// "type_action_direction_i", lower-cased: a frame's name in the description.
QString FrameName(const QString& characterType, const QString& action, const QString& direction, int frame);
// Compact JSON saved as base + ".json".
QString DescriptionJSON(int frameWidth, int frameHeight, int frameCount, const QString& characterType,
                        const QString& action, const QString& direction);

}
