#pragma once
// What the AI sprite window does besides drawing controls: the prompt
// templates, building the prompt, the frame and zoom arithmetic, the sheet
// files (PNG, JSON description, BMP copy, FRM of one frame) and storing a
// sheet beside the project. Plain functions, tested without a window.

#include "ai/RgbaImage.h"

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QVector>

class TDialogueProject;

struct TPromptTemplate {
    QString Style;
    QString BasePrompt;
    QString NegativePrompt;
    QString AspectRatio;
};

struct TSpritePromptRequest {
    QString CharacterType;   // as displayed
    QString Action;
    QString Direction;
    QString Extra;
    QString NegativeBox;
    bool UseDefaultNegative = true;
};

struct TSpritePrompt {
    QString Prompt;
    QString NegativePrompt;
};

// What the description file says about a sheet.
struct TSpriteSheetInfo {
    int FrameWidth = 0;
    int FrameHeight = 0;
    int FrameCount = 0;
    QString CharacterType;
    QString Action;
    QString Direction;
};

struct TSpriteSaveOutcome {
    bool Success = false;
    QString Status;   // the window's status message
};

namespace AISpriteLogic {

constexpr int MinZoom = 25;
constexpr int MaxZoom = 800;
constexpr int ZoomStep = 25;
constexpr int MinFrames = 1;
constexpr int MaxFrames = 32;
constexpr int DefaultFrames = 8;

const QVector<TPromptTemplate>& PromptTemplates();
// By style, ignoring case; the first template when none matches.
const TPromptTemplate& FindTemplate(const QString& style);

TSpritePrompt BuildPrompt(const TSpritePromptRequest& request);

// 64, 128 or 256 for the resolution list's entries.
int FrameSizeForIndex(int resolutionIndex);
// The frames box as a number, 8 when it is not one, kept within 1..32.
int ClampFrameCount(const QString& text);

int FrameUnderX(int x, int frameCount, int stripWidth);
// One step with wrap-around; 0 when there are no frames.
int StepFrame(int selected, int delta, int frameCount);
int ZoomIn(int zoom);
int ZoomOut(int zoom);
// Left edge and width of a frame on a strip of the given width.
int FrameLeftOnStrip(int frame, int frameCount, int stripWidth);
int FrameWidthOnStrip(int frameCount, int stripWidth);

QString FrameName(const TSpriteSheetInfo& info, int frame);
QByteArray DescriptionJson(const TSpriteSheetInfo& info);

// A deep copy in QImage form, and back.
QImage ToQImage(const TRgbaImage& image);
TRgbaImage FromQImage(const QImage& image);
// Reads a PNG (or, failing that, a BMP); false with `error` set otherwise.
bool LoadSheet(const QString& path, TRgbaImage& sheet, QString& error);

// The files of Save Sprite...: base.png and base.json always, plus base.bmp
// or the selected frame as base.frm by the chosen file's extension.
TSpriteSaveOutcome SaveSpriteFiles(const QString& chosenPath, const TRgbaImage& sheet, const TSpriteSheetInfo& info,
                                   int selectedFrame);

// The main window's handling of a returned sheet: a "sprites" folder beside
// the project file (under the working folder without one), the sheet as
// "yyyymmdd_hhnnss.png". Returns false with `error` when it cannot.
bool SaveSheetIntoProject(const TDialogueProject& project, const TRgbaImage& sheet, const QDateTime& now,
                          QString& path, QString& error);
// The message shown after SaveSheetIntoProject.
QString SavedIntoProjectMessage(const QString& path);

}
