#include "ai/TileText.h"

#include <mutex>

namespace TileText {
namespace {

std::mutex PainterLock;
std::shared_ptr<ITileTextPainter> CurrentPainter;

} // namespace

void SetPainter(std::shared_ptr<ITileTextPainter> painter)
{
    std::lock_guard<std::mutex> guard(PainterLock);
    CurrentPainter = std::move(painter);
}

std::shared_ptr<ITileTextPainter> Painter()
{
    std::lock_guard<std::mutex> guard(PainterLock);
    return CurrentPainter;
}

void Draw(TRgbaImage& image, int x, int y, const QString& text, TColor color, int pointSize)
{
    if (image.IsNull())
        return;
    if (const auto painter = Painter())
        painter->DrawText(image, x, y, text, color, pointSize);
}

} // namespace TileText
