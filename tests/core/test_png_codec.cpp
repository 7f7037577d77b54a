// PNG decoding and encoding: colour types the image server and users may
// hand us, and the damaged or hostile files that must fail cleanly.

#include "ai/PngCodec.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/PngBytes.h"
#include "tests/support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray Fixture(const char* name)
{
    return TestSupport::ReadFile(TestSupport::DataPath(QStringLiteral("ai/") + QLatin1String(name)));
}

TRgbaImage Gradient(int width, int height)
{
    TRgbaImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixel(x, y, RGBToColor(x * 40, y * 60, 200 - x * 10), 255 - x * 30);
    return image;
}

struct TPixel { int X, Y; TColor Color; int Alpha; };

} // namespace

TEST(PngCodec, EncodedImagesDecodeToTheSamePixels)
{
    const TRgbaImage original = Gradient(5, 3);
    QString error;
    const QByteArray bytes = PngCodec::Encode(original, &error);
    ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();
    EXPECT_TRUE(PngCodec::HasPngSignature(bytes));
    TRgbaImage decoded;
    ASSERT_TRUE(PngCodec::Decode(bytes, decoded, &error)) << error.toStdString();
    EXPECT_EQ(decoded, original);
}

TEST(PngCodec, ColourTypesDecodeToRgba)
{
    struct Case { const char* File; int Width, Height; std::vector<TPixel> Pixels; } cases[] = {
        {"palette_3x2.png", 3, 2,
         {{0, 0, RGBToColor(255, 0, 0), 255}, {1, 0, RGBToColor(0, 255, 0), 128},
          {2, 0, RGBToColor(0, 0, 255), 0}, {0, 1, RGBToColor(0, 0, 255), 0}}},
        {"grey16_2x2.png", 2, 2,
         {{0, 0, RGBToColor(0, 0, 0), 255}, {1, 0, RGBToColor(255, 255, 255), 255},
          {0, 1, RGBToColor(128, 128, 128), 255}, {1, 1, RGBToColor(64, 64, 64), 255}}},
        {"rgb_filters_2x2.png", 2, 2,
         {{0, 0, RGBToColor(10, 20, 30), 255}, {1, 0, RGBToColor(15, 25, 35), 255},
          {0, 1, RGBToColor(20, 40, 60), 255}, {1, 1, RGBToColor(25, 50, 70), 255}}},
    };
    for (const Case& c : cases) {
        TRgbaImage image;
        QString error;
        ASSERT_TRUE(PngCodec::Decode(Fixture(c.File), image, &error)) << c.File << ": " << error.toStdString();
        EXPECT_EQ(image.Width, c.Width) << c.File;
        EXPECT_EQ(image.Height, c.Height) << c.File;
        for (const TPixel& p : c.Pixels) {
            if (p.Alpha > 0)   // colour under full transparency is not defined
                EXPECT_EQ(image.PixelColor(p.X, p.Y), p.Color) << c.File << " at " << p.X << "," << p.Y;
            EXPECT_EQ(image.PixelAlpha(p.X, p.Y), p.Alpha) << c.File << " at " << p.X << "," << p.Y;
        }
    }
}

TEST(PngCodec, BadBytesFailWithAClearMessage)
{
    const QByteArray good = PngCodec::Encode(Gradient(64, 64));
    QByteArray badCrc = good;
    badCrc[badCrc.indexOf("IDAT") + 6] = char(badCrc[badCrc.indexOf("IDAT") + 6] ^ 0x55);

    struct Case { const char* Name; QByteArray Bytes; QString MessageStart; } cases[] = {
        {"empty", QByteArray(), QStringLiteral("The image data is empty.")},
        {"text", QByteArray("GIF89a not a png at all"), QStringLiteral("The data is not a PNG image.")},
        {"signature only", good.left(8), QStringLiteral("The PNG data is truncated.")},
        {"cut in the header", good.left(20), QStringLiteral("The PNG data is truncated.")},
        {"cut in the pixels", good.left(good.size() - 30), QStringLiteral("The PNG data is truncated.")},
        {"damaged chunk", badCrc, QStringLiteral("Damaged PNG data: ")},
        {"absurd size", Fixture("huge_100000x100000.png"),
         QStringLiteral("The PNG image is too large (100000x100000, at most 8192x8192).")},
        {"one column too wide", Fixture("wide_8193x1.png"),
         QStringLiteral("The PNG image is too large (8193x1, at most 8192x8192).")},
        {"zero width", Fixture("zero_width.png"), QStringLiteral("Invalid PNG header: ")},
    };
    for (const Case& c : cases) {
        TRgbaImage image(2, 2);
        QString error;
        EXPECT_FALSE(PngCodec::Decode(c.Bytes, image, &error)) << c.Name;
        EXPECT_TRUE(image.IsNull()) << c.Name;
        EXPECT_FALSE(error.isEmpty()) << c.Name;
        EXPECT_TRUE(error.startsWith(c.MessageStart)) << c.Name << ": " << error.toStdString();
    }
}

// Stated sizes are checked against the data before anything that large is
// allocated: the images below once cost up to 2 GB and seconds each.
TEST(PngCodec, StatedSizesBeyondTheDataFailInLittleMemory)
{
    struct Case { const char* Name; QByteArray Bytes; QString Message; };
    using TestSupport::PngChunk;
    QByteArray tinyPixels = TestSupport::PngStart(8192, 8192)
        + PngChunk("IDAT", qCompress(QByteArray(64, '\0')).mid(4)) + PngChunk("IEND", QByteArray());
    const Case cases[] = {
        {"tEXt of 2 GB", TestSupport::PngClaimingTwoGigabytes("tEXt"), QStringLiteral("The PNG data is truncated.")},
        {"zTXt of 2 GB", TestSupport::PngClaimingTwoGigabytes("zTXt"), QStringLiteral("The PNG data is truncated.")},
        {"iTXt of 2 GB", TestSupport::PngClaimingTwoGigabytes("iTXt"), QStringLiteral("The PNG data is truncated.")},
        {"sPLT of 2 GB", TestSupport::PngClaimingTwoGigabytes("sPLT"), QStringLiteral("The PNG data is truncated.")},
        {"IDAT of 2 GB", TestSupport::PngClaimingTwoGigabytes("IDAT"), QStringLiteral("The PNG data is truncated.")},
        {"8192x8192 in a few bytes", tinyPixels,
         QStringLiteral("The PNG data is truncated (a 8192x8192 image cannot fit in %1 bytes).")
             .arg(tinyPixels.size())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        if (QByteArray(c.Name).startsWith("tEXt"))
            EXPECT_EQ(c.Bytes.size(), 41);
        TRgbaImage image;
        QString error;
        EXPECT_FALSE(PngCodec::Decode(c.Bytes, image, &error));
        EXPECT_EQ(error, c.Message);
        const long growthKb = TestSupport::PeakGrowthKb([&] {
            TRgbaImage scratch;
            PngCodec::Decode(c.Bytes, scratch);
        });
        ASSERT_GE(growthKb, 0);
        EXPECT_LT(growthKb, 32 * 1024);
    }
}

TEST(PngCodec, FilesLoadAndSave)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("sheet.png"));
    const TRgbaImage original = Gradient(4, 4);
    QString error;
    ASSERT_TRUE(PngCodec::SaveToFile(path, original, &error)) << error.toStdString();
    TRgbaImage loaded;
    ASSERT_TRUE(PngCodec::LoadFromFile(path, loaded, &error)) << error.toStdString();
    EXPECT_EQ(loaded, original);

    EXPECT_FALSE(PngCodec::LoadFromFile(dir.filePath(QStringLiteral("missing.png")), loaded, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot open "))) << error.toStdString();
    EXPECT_FALSE(PngCodec::SaveToFile(path, TRgbaImage(), &error));
    EXPECT_EQ(error, QStringLiteral("There is no image to write."));
}

TEST(RgbaImage, RefusesAbsurdSizesAndClipsDrawing)
{
    EXPECT_TRUE(TRgbaImage(0, 5).IsNull());
    EXPECT_TRUE(TRgbaImage(8193, 1).IsNull());
    EXPECT_FALSE(TRgbaImage(8192, 1).IsNull());

    TRgbaImage target(4, 2, RGBToColor(0, 0, 0));
    const TRgbaImage red(1, 1, RGBToColor(255, 0, 0));
    target.StretchDraw(2, -1, 5, 5, red);   // partly outside: clipped
    EXPECT_EQ(target.PixelColor(1, 0), RGBToColor(0, 0, 0));
    EXPECT_EQ(target.PixelColor(2, 0), RGBToColor(255, 0, 0));
    EXPECT_EQ(target.PixelColor(3, 1), RGBToColor(255, 0, 0));
    const TRgbaImage half = target.Copy(2, 0, 10, 10);
    EXPECT_EQ(half.Width, 2);
    EXPECT_EQ(half.Height, 2);
    EXPECT_EQ(half.PixelColor(0, 0), RGBToColor(255, 0, 0));
}

TEST(PngCodec, FullDiskKeepsTheOldFileAndSaysWhy)
{
    // Noise, so the encoded file is about as large as the pixels.
    auto noise = [](int side, quint32 seed) {
        TRgbaImage image(side, side);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                seed = seed * 1664525u + 1013904223u;
                image.SetPixel(x, y, TColor(seed >> 8), int(seed & 0xFF));
            }
        return image;
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.png"));
    // About 1.2 KiB and 100 KiB encoded: below and above the file buffer.
    for (const int side : {16, 160}) {
        SCOPED_TRACE(side);
        ASSERT_TRUE(PngCodec::SaveToFile(path, noise(side, 1)));
        const QByteArray before = TestSupport::ReadFile(path);
        const QByteArray after = PngCodec::Encode(noise(side, 2));
        ASSERT_TRUE((after.size() < 16384) == (side == 16)) << after.size();
        TestSupport::ExpectFullDiskKeepsTheFile(path, before, after.size(), [&] {
            QString error;
            EXPECT_FALSE(PngCodec::SaveToFile(path, noise(side, 2), &error));
            return error;
        });
    }
}
