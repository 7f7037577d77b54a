// Placeholder and failure tiles carry readable text once the editor's
// painter is installed.

#include "ai/AIImageGenerator.h"
#include "ai/gui/QtTileTextPainter.h"

#include <gtest/gtest.h>

namespace {

int CountPixels(const TRgbaImage& image, TColor color, int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            count += image.PixelColor(x, y) == color ? 1 : 0;
    return count;
}

int CountOther(const TRgbaImage& image, TColor background, int x0, int y0, int x1, int y1)
{
    return (x1 - x0) * (y1 - y0) - CountPixels(image, background, x0, y0, x1, y1);
}

class TileTextTest : public ::testing::Test {
protected:
    void SetUp() override { InstallQtTileTextPainter(); }
    void TearDown() override { TileText::SetPainter(nullptr); }
};

} // namespace

TEST_F(TileTextTest, MockTileShowsWhiteTextAroundTheMiddle)
{
    const TRgbaImage tile = TSDImageClient::MockImage(QStringLiteral("vault dweller idle"), 64, 64);
    const TColor white = RGBToColor(255, 255, 255);
    EXPECT_GT(CountPixels(tile, white, 4, 26, 64, 44), 5);
    EXPECT_EQ(CountOther(tile, RGBToColor(128, 64, 64), 0, 0, 64, 20), 0);   // nothing above the line
    EXPECT_EQ(tile.PixelColor(0, 0), RGBToColor(128, 64, 64));
}

TEST_F(TileTextTest, FailureTileShowsBlackTextAtTheTopLeft)
{
    const TRgbaImage tile = TAIImageGenerator::FailureTile(QStringLiteral("No images in response"), 64, 64);
    const TColor black = RGBToColor(0, 0, 0);
    EXPECT_GT(CountPixels(tile, black, 4, 4, 64, 20), 5);
    EXPECT_EQ(CountOther(tile, RGBToColor(255, 0, 0), 0, 30, 64, 64), 0);
    EXPECT_EQ(CountOther(tile, RGBToColor(255, 0, 0), 0, 0, 4, 64), 0);
    EXPECT_EQ(tile.PixelColor(63, 63), RGBToColor(255, 0, 0));
}
