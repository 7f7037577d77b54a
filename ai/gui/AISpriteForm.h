#pragma once
// The AI sprite window: builds a character sprite sheet with the image
// server, one horizontal strip of equal frames, and lets the writer inspect
// single frames with zoom and a pixel grid, load a sheet from a PNG and save
// it as PNG plus a JSON description (with a BMP copy or an FRM frame).
//
// Call interface (the main window's sprite command):
//   static bool TfrmAISprte::Execute(QWidget* owner, TRgbaImage& Sheet);
// Returns true with a copy of the sheet (the caller's) after OK when a
// sheet exists; otherwise false and Sheet untouched. Store it with
//   AISpriteLogic::SaveSheetIntoProject(project, Sheet, now, path, error)
// (ai/gui/AISpriteFormLogic.h) after taking the undo point.

#include "ai/AISpriteSheet.h"
#include "ai/gui/AIDialogueFormWorker.h"
#include "ai/gui/AISpriteFormLogic.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TAIImageGenerator;

class TfrmAISprte : public QDialog {
    Q_OBJECT
public:
    static constexpr int FormWidth = 660;
    static constexpr int FormHeight = 820;
    static const QString ModelID;
    static const QString Caption;

    static bool Execute(QWidget* owner, TRgbaImage& Sheet);

    explicit TfrmAISprte(QWidget* owner);
    ~TfrmAISprte() override;

    void SetServiceEndpoint(const TAIServiceEndpoint& endpoint);

    const TRgbaImage& SheetBmp() const { return FSheetBmp; }
    int FrameWidth() const { return FW; }
    int FrameHeight() const { return FH; }
    int FrameCount() const { return FFrameCount; }
    int SelFrame() const { return FSelFrame; }
    int Zoom() const { return FZoom; }
    bool ShowGrid() const { return FShowGrid; }
    // The status part of the caption (after " -- "), empty when none.
    QString Status() const;
    TAIImageGenerator& Generator() const { return *FGen; }

    AISpriteSheet::TSheetPrompt CurrentPrompt() const;
    TSpriteSheetInfo SheetInfo() const;

    // The file parts of Load... and Save Sprite..., without their dialogs.
    bool LoadFile(const QString& path);
    TSpriteSaveOutcome SaveToPath(const QString& path);

    // Strip gestures at an x position on the strip.
    void StripMouseDown(int x);
    void StripMouseMove(int x);
    void StripMouseUp();

public Q_SLOTS:
    void GenerateSheet();
    void LoadSheet();
    void SaveSprite();
    void PrevFrame();
    void NextFrame();
    void ZoomIn();
    void ZoomOut();
    void ZoomReset();
    void Confirm();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    int BuildInputRows(int y);
    int BuildStripAndNavigation(int y);
    int BuildInspectorAndZoom(int y);
    void BuildCommandRow(int y);
    void ApplyTheme();
    void SetStatus(const QString& message);
    void SetSheet(const TRgbaImage& sheet, int frameCount);
    void DropSheet();
    void SelectFrame(int frame);
    void DrawAll();
    void DrawStrip();
    void DrawInspector();
    void DrawPixelGrid(class QPainter& painter, const QRect& target) const;
    void ResetGenerator();

    std::shared_ptr<TAIImageGenerator> FGen;
    TAIServiceEndpoint FEndpoint;
    TRgbaImage FSheetBmp;
    int FW = 0;
    int FH = 0;
    int FFrameCount = 0;
    int FSelFrame = 0;
    int FZoom = AISpriteSheet::DefaultZoom;
    bool FShowGrid = true;
    bool FMouseDown = false;
    int FMouseStart = 0;

public:
    QComboBox* cbStyle = nullptr;
    QComboBox* cbAction = nullptr;
    QComboBox* cbDirection = nullptr;
    QLineEdit* edtExtra = nullptr;
    QLineEdit* edtNeg = nullptr;
    QCheckBox* chkDefNeg = nullptr;
    QComboBox* cbRes = nullptr;
    QLineEdit* edtFrames = nullptr;
    QLineEdit* edtKey = nullptr;
    QCheckBox* chkSaveKey = nullptr;
    QFrame* pnlStrip = nullptr;
    QLabel* imgStrip = nullptr;
    QToolButton* btnPrev = nullptr;
    QToolButton* btnNext = nullptr;
    QLabel* lblInfo = nullptr;
    QFrame* pnlInsp = nullptr;
    QLabel* imgInsp = nullptr;
    QToolButton* btnZoomIn = nullptr;
    QToolButton* btnZoomOut = nullptr;
    QToolButton* btnZoom1 = nullptr;
    QLabel* lblServiceHint = nullptr;
    QPushButton* btnGenerate = nullptr;
    QPushButton* btnLoad = nullptr;
    QPushButton* btnSave = nullptr;
    QCheckBox* chkGrid = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
};
