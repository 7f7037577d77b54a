#pragma once
// The AI sprite window's work that needs images or files: QImage
// conversion, loading a sheet, the files of Save Sprite... (PNG, JSON
// description, BMP copy, FRM of one frame) and storing a sheet beside the
// project. The prompt, frame, zoom and text rules are AISpriteSheet's
// (ai/AISpriteSheet.h). Plain functions, tested without a window.

#include "ai/RgbaImage.h"

#include <QDateTime>
#include <QImage>
#include <QString>

class TDialogueProject;

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
