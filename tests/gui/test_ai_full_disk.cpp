// The AI windows' files on a full disk: the sprite window's PNG, BMP and
// FRM keep their old content when the new one cannot be written and the
// status says so; the dialogue writer's stored key says why it was not
// stored.

#include "ai/gui/AIDialogueForm.h"
#include "ai/gui/AISpriteFormLogic.h"
#include "model/DialogueTypes.h"
#include "tests/gui/test_ai_window_support.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

// A sheet of one frame whose files are about `bytes` large as a bitmap; a
// flat colour, so its PNG stays small.
TRgbaImage Sheet(int bytes, TColor color, TSpriteSheetInfo& info)
{
    info.FrameWidth = 100;
    info.FrameHeight = bytes / 300 + 1;
    info.FrameCount = 1;
    info.CharacterType = QStringLiteral("Vault Dweller");
    info.Action = QStringLiteral("idle");
    info.Direction = QStringLiteral("north");
    return TRgbaImage(info.FrameWidth, info.FrameHeight, color);
}

}

TEST(SpriteFiles, FullDiskKeepsTheOldBitmapAndFrameFiles)
{
    QTemporaryDir dir;
    for (const char* extension : {"bmp", "frm"}) {
        for (const int size : {FullDiskSmallBytes, FullDiskLargeBytes}) {
            SCOPED_TRACE(testing::Message() << extension << ", " << size);
            const QString path = dir.filePath(QStringLiteral("hero.") + QLatin1String(extension));
            TSpriteSheetInfo info;
            ASSERT_TRUE(AISpriteLogic::SaveSpriteFiles(path, Sheet(size, RGBToColor(200, 0, 0), info), info, 0).Success);
            const QByteArray before = ReadFile(path);
            const QByteArray png = ReadFile(dir.filePath(QStringLiteral("hero.png")));

            TSpriteSaveOutcome outcome;
            ExpectFullDiskKeepsTheFile(path, before, before.size(), [&] {
                outcome = AISpriteLogic::SaveSpriteFiles(path, Sheet(size, RGBToColor(0, 0, 200), info), info, 0);
                EXPECT_FALSE(outcome.Success);
                // The frame file's failure has a fixed text without the
                // reason; the mod exporter's own test checks that one.
                if (outcome.Status == QLatin1String("Failed to save FRM file"))
                    return TFileSizeLimit::Reason();
                return outcome.Success ? QString() : outcome.Status;
            });
            if (QLatin1String(extension) == QLatin1String("bmp"))
                EXPECT_TRUE(outcome.Status.startsWith(QStringLiteral("Failed to save BMP file: "))) << qPrintable(outcome.Status);
            EXPECT_NE(ReadFile(dir.filePath(QStringLiteral("hero.png"))), png);   // the small PNG did fit
        }
    }
}

TEST(SpriteFiles, FullDiskKeepsTheOldSheetPng)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hero.png"));
    for (const int size : {FullDiskSmallBytes, FullDiskLargeBytes}) {
        SCOPED_TRACE(size);
        // Noise, so the PNG is about as large as its pixels.
        TRgbaImage sheet(100, size / 400 + 1);
        quint32 seed = 7;
        for (int y = 0; y < sheet.Height; ++y)
            for (int x = 0; x < sheet.Width; ++x) {
                seed = seed * 1664525u + 1013904223u;
                sheet.SetPixel(x, y, TColor(seed >> 8));
            }
        TSpriteSheetInfo info;
        Sheet(size, 0, info);
        info.FrameHeight = sheet.Height;
        ASSERT_TRUE(AISpriteLogic::SaveSpriteFiles(path, TRgbaImage(sheet.Width, sheet.Height, 0), info, 0).Success);
        const QByteArray before = ReadFile(path);
        ExpectFullDiskKeepsTheFile(path, before, 4 * sheet.Width * sheet.Height, [&] {
            const TSpriteSaveOutcome outcome = AISpriteLogic::SaveSpriteFiles(path, sheet, info, 0);
            EXPECT_FALSE(outcome.Success);
            return outcome.Status;
        });
    }
}

using KeyStoreTest = AIWindowTest::TTextWindowTest;

TEST_F(KeyStoreTest, StoringTheKeyOnAFullDiskSaysWhyAndKeepsTheOldFile)
{
    for (const int size : {FullDiskSmallBytes, FullDiskLargeBytes}) {
        SCOPED_TRACE(size);
        Scratch.Settings.SetAIAPIKey(QString(size, QLatin1Char('o')));
        Scratch.Settings.Save();
        const QByteArray before = ReadFile(Scratch.Settings.FilePath());
        auto form = MakeTextForm<TfrmAIDialogue>(nullptr, 0);
        form->chkSaveAPIKey->setChecked(false);
        form->edtAPIKey->setText(QString(size, QLatin1Char('n')));
        Messages.clear();
        ExpectFullDiskKeepsTheFile(Scratch.Settings.FilePath(), before, before.size(), [&] {
            form->chkSaveAPIKey->setChecked(true);   // stores at once
            return Messages.isEmpty() ? QString() : Messages.last();
        });
    }
}
