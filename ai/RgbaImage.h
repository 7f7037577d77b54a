#pragma once
// A plain 32-bit bitmap for code that runs without a window system: the
// images the image server returns, sprite sheets, tiles and the splash.
// Pixels are stored row by row, top row first, four bytes per pixel in the
// order red, green, blue, alpha (the layout QImage calls RGBA8888, so the
// GUI can wrap the buffer without converting it).

#include "model/DialogueTypes.h"

#include <QByteArray>

struct TRgbaImage {
    // Larger images are refused before any memory is taken for them.
    static constexpr int MaxDimension = 8192;

    int Width = 0;
    int Height = 0;
    QByteArray Pixels;   // Width * Height * 4 bytes

    TRgbaImage() = default;
    // An opaque image filled with `fill`; a null image when a side is not
    // positive or exceeds MaxDimension.
    TRgbaImage(int width, int height, TColor fill = 0);

    static bool IsValidSize(int width, int height);

    bool IsNull() const { return Width <= 0 || Height <= 0; }
    int BytesPerLine() const { return Width * 4; }

    // Colour (0x00BBGGRR) and alpha of one pixel; the point must lie inside.
    TColor PixelColor(int x, int y) const;
    int PixelAlpha(int x, int y) const;
    // Points outside the image are ignored.
    void SetPixel(int x, int y, TColor color, int alpha = 255);
    void Fill(TColor color, int alpha = 255);
    void FillRect(int x, int y, int width, int height, TColor color, int alpha = 255);

    // The rectangle of this image, clipped to it (null when nothing is left).
    TRgbaImage Copy(int x, int y, int width, int height) const;
    // Draws all of `source` scaled (nearest pixel) into the rectangle, which
    // is clipped to this image.
    void StretchDraw(int x, int y, int width, int height, const TRgbaImage& source);
    // `source` scaled to the given size (nearest pixel).
    TRgbaImage Scaled(int width, int height) const;

    bool operator==(const TRgbaImage& o) const
    {
        return Width == o.Width && Height == o.Height && Pixels == o.Pixels;
    }
    bool operator!=(const TRgbaImage& o) const { return !(*this == o); }

private:
    int Offset(int x, int y) const { return (y * Width + x) * 4; }
};
