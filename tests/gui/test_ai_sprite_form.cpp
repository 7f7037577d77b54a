// The AI sprite window: its controls, frame and zoom handling, the sheet
// files, and generation against real image servers on the loopback
// interface. The prompt, frame and zoom rules alone are tested in
// tests/core/test_ai_sprite_sheet.cpp.

#include "ai/AIImageGenerator.h"
#include "ai/PngCodec.h"
#include "ai/gui/AISpriteForm.h"
#include "ai/gui/QtTileTextPainter.h"
#include "export/FRMWriter.h"
#include "model/DialogueTypes.h"
#include "tests/core/test_ai_servers.h"
#include "tests/gui/test_ai_window_support.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QFileDialog>
#include <QPushButton>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>

using namespace AITest;
using namespace AIWindowTest;

namespace {

const TColor MockColor = RGBToColor(128, 64, 64);
const TColor Red = RGBToColor(255, 0, 0);

const QString DefaultPrompt = QStringLiteral(
    "8-bit pixel art character, vault jumpsuit, Fallout style, front facing, detailed, Vault Dweller, idle, north"
    " | Negative: blurry, text, watermark, signature, deformed, extra limbs, modern clothing");

std::string ImagesReply(const QByteArray& png, const std::string& prefix = std::string())
{
    return "{\"images\":[\"" + prefix + png.toBase64().toStdString() + "\"]}";
}

QByteArray SolidPng(int width, int height, TColor color)
{
    return PngCodec::Encode(TRgbaImage(width, height, color));
}

class SpriteFormTest : public ::testing::Test {
protected:
    void SetUp() override { InstallQtTileTextPainter(); }
    void TearDown() override { TileText::SetPainter(nullptr); }

    std::unique_ptr<TfrmAISprte> MakeForm(const TLoopbackServer* server = nullptr)
    {
        auto form = std::make_unique<TfrmAISprte>(nullptr);
        TAIServiceEndpoint endpoint;
        endpoint.BaseURL = server ? server->BaseURL() : QStringLiteral("http://127.0.0.1:%1").arg(ClosedPort());
        endpoint.TimeoutMs = 5000;
        form->SetServiceEndpoint(endpoint);
        return form;
    }

    // Generates `frames` placeholder frames of 64 by 64 (blank key).
    std::unique_ptr<TfrmAISprte> MockSheet(int frames)
    {
        auto form = MakeForm();
        form->edtFrames->setText(QString::number(frames));
        form->GenerateSheet();
        return form;
    }

    QTemporaryDir Dir;
};

} // namespace

TEST_F(SpriteFormTest, OpensWithItsInitialContents)
{
    auto form = MakeForm();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("AI Sprite Sheet Generator"));
    EXPECT_EQ(form->size(), QSize(660, 820));
    EXPECT_EQ(form->cbStyle->count(), 5);
    EXPECT_EQ(form->cbAction->itemText(7), QStringLiteral("victory"));
    EXPECT_EQ(form->cbDirection->itemText(7), QStringLiteral("south-west"));
    EXPECT_EQ(form->cbRes->currentText(), QStringLiteral("64x64"));
    EXPECT_EQ(form->edtFrames->text(), QStringLiteral("8"));
    EXPECT_TRUE(form->edtKey->text().isEmpty());
    EXPECT_FALSE(form->chkSaveKey->isChecked());
    EXPECT_TRUE(form->chkDefNeg->isChecked());
    EXPECT_FALSE(form->edtNeg->isEnabled());
    form->chkDefNeg->setChecked(false);
    EXPECT_TRUE(form->edtNeg->isEnabled());
    EXPECT_EQ(form->lblInfo->text(), QStringLiteral("No frame generated yet."));
    EXPECT_FALSE(form->btnSave->isEnabled());
    EXPECT_FALSE(form->btnOK->isEnabled());
    EXPECT_TRUE(form->chkGrid->isChecked());
    EXPECT_EQ(form->Zoom(), 100);
    EXPECT_EQ(form->Generator().ModelID(), QStringLiteral("sdxl-sprite"));
    EXPECT_EQ(form->CurrentPrompt().Prompt, DefaultPrompt);
}

TEST_F(SpriteFormTest, BlankKeyMakesPlaceholderFrames)
{
    auto form = MockSheet(4);
    EXPECT_EQ(form->SheetBmp().Width, 256);
    EXPECT_EQ(form->SheetBmp().Height, 64);
    EXPECT_EQ(form->FrameWidth(), 64);
    EXPECT_EQ(form->FrameCount(), 4);
    EXPECT_EQ(form->Status(), QStringLiteral("Done  (4 frames, 64x64 px)"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("AI Sprite Sheet Generator -- Done  (4 frames, 64x64 px)"));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(form->SheetBmp().PixelColor(64 * i + 1, 1), MockColor);
    EXPECT_TRUE(form->btnSave->isEnabled());
    EXPECT_EQ(form->lblInfo->text(), QStringLiteral("Frame 1 / 4  |  64x64 px  |  100% zoom"));
    EXPECT_FALSE(form->imgStrip->pixmap().isNull());
    EXPECT_EQ(form->Generator().NegativePrompt(),
              QStringLiteral("blurry, text, watermark, signature, deformed, extra limbs, modern clothing"));
    EXPECT_TRUE(GrabToPng(form.get(), QStringLiteral("sprite")));
}

TEST_F(SpriteFormTest, FramesBoxIsClampedAndWrittenBack)
{
    struct Case {
        QString Text;
        int Count;
    } cases[] = {{"0", 1}, {"99", 32}, {"letters", 8}};
    for (const Case& c : cases) {
        auto form = MockSheet(0);
        form->edtFrames->setText(c.Text);
        form->GenerateSheet();
        EXPECT_EQ(form->edtFrames->text(), QString::number(c.Count));
        EXPECT_EQ(form->FrameCount(), c.Count);
    }
}

TEST_F(SpriteFormTest, NavigationZoomAndStripSelection)
{
    auto form = MockSheet(4);
    form->PrevFrame();
    EXPECT_EQ(form->SelFrame(), 3);
    form->NextFrame();
    EXPECT_EQ(form->SelFrame(), 0);
    for (int i = 0; i < 40; ++i)
        form->ZoomIn();
    EXPECT_EQ(form->Zoom(), 800);
    form->ZoomOut();
    EXPECT_EQ(form->Zoom(), 775);
    form->ZoomReset();
    EXPECT_EQ(form->Zoom(), 100);
    for (int i = 0; i < 10; ++i)
        form->ZoomOut();
    EXPECT_EQ(form->Zoom(), 25);
    EXPECT_EQ(form->lblInfo->text(), QStringLiteral("Frame 1 / 4  |  64x64 px  |  25% zoom"));

    const int width = form->imgStrip->width();
    const int frame = width / 4;
    form->StripMouseDown(frame * 2 + 3);
    EXPECT_EQ(form->SelFrame(), 2);
    form->StripMouseMove(frame * 3 + 1);   // not more than one frame away yet
    EXPECT_EQ(form->SelFrame(), 2);
    form->StripMouseMove(frame * 3 + 5);
    EXPECT_EQ(form->SelFrame(), 3);
    form->StripMouseUp();
    form->StripMouseMove(0);
    EXPECT_EQ(form->SelFrame(), 3);
    EXPECT_EQ(form->lblInfo->text(), QStringLiteral("Frame 4 / 4  |  64x64 px  |  25% zoom"));
    form->chkGrid->setChecked(false);
    EXPECT_FALSE(form->ShowGrid());
}

TEST_F(SpriteFormTest, StripMarksFrameBoundariesAndHatchesTheSelectedFrame)
{
    auto form = MockSheet(8);
    form->NextFrame();
    const QImage strip = form->imgStrip->pixmap().toImage();
    // 636 / 8 = 79.5 pixels a frame, so the rounding shows.
    ASSERT_EQ(strip.width(), 636);
    const QColor grey(128, 128, 128);
    const QColor hatch = form->palette().color(QPalette::Highlight);
    const auto columnHas = [&strip](int x, const QColor& color) {
        for (int y = 0; y < strip.height(); ++y)
            if (strip.pixelColor(x, y) == color)
                return true;
        return false;
    };
    const QList<int> boundaries = {80, 159, 239, 318, 398, 477, 557};
    for (int x = 0; x < strip.width(); ++x) {
        EXPECT_EQ(columnHas(x, grey), boundaries.contains(x)) << x;
        // Frame 1 runs from 80 to 160; the hatch keeps one pixel off its left edge.
        if (x < 81 || x > 159)
            EXPECT_FALSE(columnHas(x, hatch)) << x;
    }
    EXPECT_TRUE(columnHas(81, hatch) || columnHas(82, hatch));
    EXPECT_TRUE(columnHas(158, hatch) || columnHas(159, hatch));
}

TEST_F(SpriteFormTest, InspectorShowsTheSelectedFrameCentredOnACheckerboard)
{
    auto form = MockSheet(2);
    form->chkGrid->setChecked(false);
    const QImage insp = form->imgInsp->pixmap().toImage();
    ASSERT_EQ(insp.size(), form->imgInsp->size());
    EXPECT_EQ(insp.pixelColor(0, 0), QColor(248, 248, 248));
    EXPECT_EQ(insp.pixelColor(8, 0), QColor(232, 232, 232));
    const int left = (insp.width() - 64) / 2;
    const int top = (insp.height() - 64) / 2;
    EXPECT_EQ(insp.pixelColor(left + 1, top + 1), QColor(128, 64, 64));
    EXPECT_NE(insp.pixelColor(left - 1, top + 1), QColor(128, 64, 64));
    form->chkGrid->setChecked(true);
    const QImage grid = form->imgInsp->pixmap().toImage();
    EXPECT_EQ(grid.pixelColor(left, top + 3), QColor(0, 0, 128));
    // The zoomed frame never outgrows the inspector.
    for (int i = 0; i < 28; ++i)
        form->ZoomIn();
    const QImage big = form->imgInsp->pixmap().toImage();
    EXPECT_EQ(big.pixelColor(3, 3), QColor(248, 248, 248));
}

TEST_F(SpriteFormTest, SavingWritesPngJsonAndTheChosenExtra)
{
    auto form = MockSheet(3);
    form->cbAction->setCurrentIndex(2);
    form->NextFrame();

    const QString bmpChoice = Dir.filePath(QStringLiteral("sheet.bmp"));
    TSpriteSaveOutcome outcome = form->SaveToPath(bmpChoice);
    EXPECT_TRUE(outcome.Success);
    EXPECT_EQ(form->Status(), QStringLiteral("Saved sprite sheet: sheet.png, sheet.json, sheet.bmp"));
    TRgbaImage png;
    ASSERT_TRUE(PngCodec::LoadFromFile(Dir.filePath(QStringLiteral("sheet.png")), png));
    EXPECT_EQ(png, form->SheetBmp());
    EXPECT_EQ(TestSupport::ReadFile(Dir.filePath(QStringLiteral("sheet.json"))),
              QByteArray("{\"frame_width\":64,\"frame_height\":64,\"frame_count\":3,\"frames\":["
                         "{\"name\":\"vault dweller_run_north_0\",\"duration\":100},"
                         "{\"name\":\"vault dweller_run_north_1\",\"duration\":100},"
                         "{\"name\":\"vault dweller_run_north_2\",\"duration\":100}],"
                         "\"character\":\"vault dweller\",\"palette\":\"[]\",\"tags\":\"[]\"}"));
    const QImage bmp(Dir.filePath(QStringLiteral("sheet.bmp")), "BMP");
    ASSERT_EQ(bmp.size(), QSize(192, 64));
    EXPECT_EQ(bmp.pixelColor(65, 1), QColor(128, 64, 64));

    outcome = form->SaveToPath(Dir.filePath(QStringLiteral("frame.FRM")));
    EXPECT_TRUE(outcome.Success);
    EXPECT_EQ(form->Status(), QStringLiteral("Saved sprite sheet: frame.png, frame.json, frame.frm"));
    const QByteArray frm = TestSupport::ReadFile(Dir.filePath(QStringLiteral("frame.frm")));
    ASSERT_EQ(frm.size(), FRMWriter::HeaderSize + 64 * 64);
    // RGB(128, 64, 64) is nearest to cube levels (153, 51, 51): 1 + 36*3 + 6*1 + 1.
    EXPECT_EQ(quint8(frm.at(FRMWriter::HeaderSize + 64 + 1)), 1 + 36 * 3 + 6 * 1 + 1);

    outcome = form->SaveToPath(Dir.filePath(QStringLiteral("plain")));
    EXPECT_EQ(form->Status(), QStringLiteral("Saved sprite sheet: plain.png, plain.json"));
    EXPECT_FALSE(QFileInfo::exists(Dir.filePath(QStringLiteral("plain.bmp"))));
}

namespace {

// Answers a file dialog as a user does: goes to the folder, types the name
// into the file name box and presses Open or Save.
void TypeFileName(QFileDialog* dialog, const QString& folder, const QString& name)
{
    dialog->setDirectory(folder);
    auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!box) {
        ADD_FAILURE() << "the file dialog has no file name box";
        dialog->reject();
        return;
    }
    box->setText(name);
    static_cast<QDialog*>(dialog)->accept();
}

} // namespace

TEST_F(SpriteFormTest, LoadAndSaveButtonsGoThroughTheirFileDialogs)
{
    const QString pngPath = Dir.filePath(QStringLiteral("hero.png"));
    TestSupport::WriteFile(pngPath, SolidPng(40, 30, RGBToColor(10, 200, 30)));
    auto form = MockSheet(2);

    AnswerWhenOpen<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Load Sprite Sheet"));
        EXPECT_EQ(dialog->nameFilters(), QStringList({QStringLiteral("PNG Image (*.png)"), QStringLiteral("BMP Image (*.bmp)"),
                                                      QStringLiteral("All Images (*.png *.bmp)")}));
        TypeFileName(dialog, Dir.path(), QStringLiteral("hero.png"));
    });
    form->btnLoad->click();
    EXPECT_EQ(form->Status(), QStringLiteral("Loaded: hero.png"));
    EXPECT_EQ(form->FrameWidth(), 40);

    AnswerWhenOpen<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Save Sprite Sheet"));
        EXPECT_EQ(dialog->nameFilters(), QStringList({QStringLiteral("BMP Image (*.bmp)"), QStringLiteral("FRM File (*.frm)"),
                                                      QStringLiteral("PNG Image (*.png)"), QStringLiteral("All Files (*)")}));
        TypeFileName(dialog, Dir.path(), QStringLiteral("chosen"));
    });
    form->btnSave->click();
    // A name typed without an extension is saved as PNG.
    EXPECT_EQ(form->Status(), QStringLiteral("Saved sprite sheet: chosen.png, chosen.json"));
    EXPECT_TRUE(QFileInfo::exists(Dir.filePath(QStringLiteral("chosen.png"))));

    // Cancelled dialogs change nothing.
    AnswerWhenOpen<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    form->btnLoad->click();
    AnswerWhenOpen<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    form->btnSave->click();
    EXPECT_EQ(form->Status(), QStringLiteral("Saved sprite sheet: chosen.png, chosen.json"));
    EXPECT_EQ(form->FrameWidth(), 40);
}

TEST_F(SpriteFormTest, FrmExportFailureIsReportedAfterPngAndJson)
{
    auto form = MockSheet(1);
    // A folder where the FRM file should go makes its write fail.
    ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("busy.frm")));
    const TSpriteSaveOutcome outcome = form->SaveToPath(Dir.filePath(QStringLiteral("busy.frm")));
    EXPECT_FALSE(outcome.Success);
    EXPECT_EQ(form->Status(), QStringLiteral("Failed to save FRM file"));
    EXPECT_TRUE(QFileInfo::exists(Dir.filePath(QStringLiteral("busy.png"))));
    EXPECT_TRUE(QFileInfo::exists(Dir.filePath(QStringLiteral("busy.json"))));
}

TEST_F(SpriteFormTest, SaveFailureIsNotReportedAsSuccess)
{
    auto form = MockSheet(1);
    ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("taken.png")));
    const TSpriteSaveOutcome outcome = form->SaveToPath(Dir.filePath(QStringLiteral("taken.png")));
    EXPECT_FALSE(outcome.Success);
    EXPECT_TRUE(form->Status().startsWith(QStringLiteral("Failed to save sprite sheet: ")));
}

TEST_F(SpriteFormTest, LoadMakesOneFrameAndBadFilesKeepTheSheet)
{
    const QString pngPath = Dir.filePath(QStringLiteral("hero.png"));
    TestSupport::WriteFile(pngPath, SolidPng(40, 30, RGBToColor(10, 200, 30)));
    auto form = MockSheet(2);
    ASSERT_TRUE(form->LoadFile(pngPath));
    EXPECT_EQ(form->FrameWidth(), 40);
    EXPECT_EQ(form->FrameHeight(), 30);
    EXPECT_EQ(form->FrameCount(), 1);
    EXPECT_EQ(form->Status(), QStringLiteral("Loaded: hero.png"));
    EXPECT_TRUE(form->btnSave->isEnabled());

    const QString bmpPath = Dir.filePath(QStringLiteral("hero.bmp"));
    ASSERT_TRUE(AISpriteLogic::ToQImage(TRgbaImage(8, 4, RGBToColor(1, 2, 3))).save(bmpPath, "BMP"));
    ASSERT_TRUE(form->LoadFile(bmpPath));
    EXPECT_EQ(form->SheetBmp().PixelColor(7, 3), RGBToColor(1, 2, 3));

    const QByteArray good = SolidPng(16, 16, RGBToColor(1, 1, 1));
    struct Case {
        const char* Name;
        QByteArray Bytes;
    } cases[] = {{"truncated.png", good.left(good.size() / 2)}, {"text.png", QByteArray("hello")},
                 {"empty.png", QByteArray()}};
    for (const Case& c : cases) {
        const QString path = Dir.filePath(QString::fromLatin1(c.Name));
        TestSupport::WriteFile(path, c.Bytes);
        EXPECT_FALSE(form->LoadFile(path)) << c.Name;
        EXPECT_TRUE(form->Status().startsWith(QStringLiteral("Failed to load ") + QString::fromLatin1(c.Name)));
        EXPECT_EQ(form->SheetBmp().PixelColor(7, 3), RGBToColor(1, 2, 3));
    }
    EXPECT_FALSE(form->LoadFile(Dir.filePath(QStringLiteral("missing.png"))));
}

TEST_F(SpriteFormTest, ImageServerFramesFillTheSheet)
{
    auto server = std::make_unique<TLoopbackServer>(Reply(200, ImagesReply(SolidPng(64, 64, RGBToColor(0, 90, 200)),
                                                                            "data:image/png;base64,")));
    ASSERT_TRUE(server->IsBound());
    auto form = MakeForm(server.get());
    form->edtKey->setText(QStringLiteral(" sk-img "));
    form->edtFrames->setText(QStringLiteral("2"));
    form->cbRes->setCurrentIndex(1);
    form->chkDefNeg->setChecked(false);
    form->edtNeg->setText(QStringLiteral(" cartoon "));
    form->GenerateSheet();
    EXPECT_EQ(form->Status(), QStringLiteral("Done  (2 frames, 128x128 px)"));
    EXPECT_EQ(form->SheetBmp().PixelColor(130, 127), RGBToColor(0, 90, 200));
    const auto requests = server->Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].Path, "/sdapi/v1/txt2img");
    EXPECT_EQ(requests[0].Header("Authorization"), "Bearer sk-img");
    const QJsonObject body = QJsonDocument::fromJson(QByteArray::fromStdString(requests[0].Body)).object();
    EXPECT_EQ(body.value("prompt").toString(), DefaultPrompt);
    EXPECT_EQ(body.value("negative_prompt").toString(), QStringLiteral("cartoon"));
    EXPECT_EQ(body.value("width").toInt(), 128);
    EXPECT_EQ(requests[1].Body, requests[0].Body);
    EXPECT_TRUE(form->lblServiceHint->text().isEmpty());
}

TEST_F(SpriteFormTest, ServerFailuresBecomeRedTilesWithTheirReason)
{
    struct Case {
        int Status;
        std::string Body;
        QString Hint;
    } cases[] = {
        {401, "no", QStringLiteral("The service answered 401: check the API key.")},
        {200, "{\"images\":[\"iVBORw0KGgo=\"]}", QStringLiteral("HTTP error: ")},
        {200, "{\"images\":[]}", QStringLiteral("No images in response")},
    };
    for (const Case& c : cases) {
        auto server = std::make_unique<TLoopbackServer>(Reply(c.Status, c.Body));
        auto form = MakeForm(server.get());
        form->edtKey->setText(QStringLiteral("sk"));
        form->edtFrames->setText(QStringLiteral("2"));
        form->GenerateSheet();
        EXPECT_EQ(form->Status(), QStringLiteral("Done  (2 frames, 64x64 px)"));
        EXPECT_EQ(form->SheetBmp().PixelColor(63, 63), Red);
        EXPECT_EQ(form->SheetBmp().PixelColor(127, 63), Red);
        EXPECT_TRUE(form->lblServiceHint->text().startsWith(c.Hint)) << form->lblServiceHint->text().toStdString();
    }
}

// Cancel leaves no sheet. Closing the window then (as quitting does) must
// end the abandoned request and join its thread, and no tile text may be
// drawn off the GUI thread: at exit Qt's fonts may already be gone.
TEST_F(SpriteFormTest, CancelWhileWaitingLeavesNoSheetAndClosingEndsTheRequest)
{
    class TThreadCheckingPainter : public TQtTileTextPainter {
    public:
        void DrawText(TRgbaImage& image, int x, int y, const QString& text, TColor color, int pointSize) override
        {
            if (QThread::currentThread() != qApp->thread())
                ++OffGuiThread;
            TQtTileTextPainter::DrawText(image, x, y, text, color, pointSize);
        }
        std::atomic<int> OffGuiThread{0};
    };
    auto painter = std::make_shared<TThreadCheckingPainter>();
    TileText::SetPainter(painter);
    std::atomic<bool> answered{false};
    std::unique_ptr<TLoopbackServer> server;
    server = std::make_unique<TLoopbackServer>([&](const httplib::Request&, httplib::Response& res) {
        server->WaitForRelease();
        answered = true;
        res.status = 500;
    });
    auto form = MakeForm(server.get());
    form->edtKey->setText(QStringLiteral("sk"));
    form->edtFrames->setText(QStringLiteral("2"));
    CancelBusyDialogWhenShown(form.get());
    form->GenerateSheet();
    EXPECT_EQ(form->Status(), QStringLiteral("Generation cancelled."));
    EXPECT_TRUE(form->SheetBmp().IsNull());
    EXPECT_FALSE(form->btnSave->isEnabled());

    form.reset();
    EXPECT_EQ(AIBusyCall::UnjoinedWorkers(), 0);
    EXPECT_FALSE(answered);   // ended by the window, not by the server
    server->Release();
    server.reset();
    EXPECT_EQ(painter->OffGuiThread, 0);
}

TEST_F(SpriteFormTest, OkHandsBackTheSheetOnlyWhenThereIsOne)
{
    auto form = MakeForm();
    form->Confirm();
    EXPECT_NE(form->result(), QDialog::Accepted);
    form->edtFrames->setText(QStringLiteral("1"));
    form->GenerateSheet();
    EXPECT_TRUE(form->btnOK->isEnabled());
    form->Confirm();
    EXPECT_EQ(form->result(), QDialog::Accepted);
}

TEST_F(SpriteFormTest, SheetIsStoredInTheProjectsSpritesFolder)
{
    TDialogueProject project;
    project.SetFilePath(Dir.filePath(QStringLiteral("quest/town.tlw")));
    const TRgbaImage sheet(8, 8, RGBToColor(9, 9, 9));
    QString path, error;
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
    ASSERT_TRUE(AISpriteLogic::SaveSheetIntoProject(project, sheet, when, path, error)) << error.toStdString();
    EXPECT_EQ(path, QFileInfo(Dir.filePath(QStringLiteral("quest/sprites/20260304_050607.png"))).absoluteFilePath());
    TRgbaImage back;
    ASSERT_TRUE(PngCodec::LoadFromFile(path, back));
    EXPECT_EQ(back, sheet);
    EXPECT_EQ(AISpriteLogic::SavedIntoProjectMessage(path),
              QStringLiteral("Sprite sheet saved to:\r\n") + path
                  + QStringLiteral("\r\n\r\nAttach this sprite to a node manually via node properties."));
}
