#include "ai/gui/QtTileTextPainter.h"

#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>

namespace {

// Point sizes are meant at the usual 96 dots per inch; a bitmap has none,
// so they are turned into pixels here.
int PixelSize(int pointSize)
{
    const int points = pointSize > 0 ? pointSize : 8;
    return (points * 96 + 36) / 72;
}

} // namespace

void TQtTileTextPainter::DrawText(TRgbaImage& image, int x, int y, const QString& text, TColor color,
                                  int pointSize)
{
    if (image.IsNull() || text.isEmpty())
        return;
    // Paints straight into the bitmap's buffer: both are RGBA bytes.
    QImage target(reinterpret_cast<uchar*>(image.Pixels.data()), image.Width, image.Height,
                  image.BytesPerLine(), QImage::Format_RGBA8888);
    QPainter painter(&target);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(PixelSize(pointSize));
    // Tiles sit among pixel-art frames: crisp glyphs in the exact colour.
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
    painter.setPen(QColor(ColorRed(color), ColorGreen(color), ColorBlue(color)));
    painter.drawText(QRect(x, y, image.Width * 4, image.Height * 4), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     text);
}

void InstallQtTileTextPainter()
{
    TileText::SetPainter(std::make_shared<TQtTileTextPainter>());
}
