#include "ai/RgbaImage.h"

#include <algorithm>

bool TRgbaImage::IsValidSize(int width, int height)
{
    return width > 0 && height > 0 && width <= MaxDimension && height <= MaxDimension;
}

TRgbaImage::TRgbaImage(int width, int height, TColor fill)
{
    if (!IsValidSize(width, height))
        return;
    Width = width;
    Height = height;
    Pixels.resize(qsizetype(width) * height * 4);
    Fill(fill);
}

TColor TRgbaImage::PixelColor(int x, int y) const
{
    const uchar* p = reinterpret_cast<const uchar*>(Pixels.constData()) + Offset(x, y);
    return RGBToColor(p[0], p[1], p[2]);
}

int TRgbaImage::PixelAlpha(int x, int y) const
{
    return uchar(Pixels.constData()[Offset(x, y) + 3]);
}

void TRgbaImage::SetPixel(int x, int y, TColor color, int alpha)
{
    if (x < 0 || y < 0 || x >= Width || y >= Height)
        return;
    char* p = Pixels.data() + Offset(x, y);
    p[0] = char(ColorRed(color));
    p[1] = char(ColorGreen(color));
    p[2] = char(ColorBlue(color));
    p[3] = char(alpha);
}

void TRgbaImage::Fill(TColor color, int alpha)
{
    FillRect(0, 0, Width, Height, color, alpha);
}

void TRgbaImage::FillRect(int x, int y, int width, int height, TColor color, int alpha)
{
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + width, Width), y1 = std::min(y + height, Height);
    if (x0 >= x1 || y0 >= y1)
        return;
    const char pixel[4] = {char(ColorRed(color)), char(ColorGreen(color)), char(ColorBlue(color)),
                           char(alpha)};
    char* data = Pixels.data();
    for (int row = y0; row < y1; ++row)
        for (int col = x0; col < x1; ++col)
            std::copy(pixel, pixel + 4, data + Offset(col, row));
}

TRgbaImage TRgbaImage::Copy(int x, int y, int width, int height) const
{
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + width, Width), y1 = std::min(y + height, Height);
    TRgbaImage result(x1 - x0, y1 - y0);
    if (result.IsNull())
        return result;
    for (int row = 0; row < result.Height; ++row)
        std::copy_n(Pixels.constData() + Offset(x0, y0 + row), result.BytesPerLine(),
                    result.Pixels.data() + result.Offset(0, row));
    return result;
}

void TRgbaImage::StretchDraw(int x, int y, int width, int height, const TRgbaImage& source)
{
    if (source.IsNull() || width <= 0 || height <= 0)
        return;
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(qint64(x) + width, qint64(Width));
    const int y1 = std::min(qint64(y) + height, qint64(Height));
    const char* src = source.Pixels.constData();
    char* dst = Pixels.data();
    for (int row = y0; row < y1; ++row) {
        const int srcRow = int(qint64(row - y) * source.Height / height);
        for (int col = x0; col < x1; ++col) {
            const int srcCol = int(qint64(col - x) * source.Width / width);
            std::copy_n(src + source.Offset(srcCol, srcRow), 4, dst + Offset(col, row));
        }
    }
}

TRgbaImage TRgbaImage::Scaled(int width, int height) const
{
    if (width == Width && height == Height)
        return *this;
    TRgbaImage result(width, height);
    result.StretchDraw(0, 0, width, height, *this);
    return result;
}
