#pragma once
// Text on generated tiles (placeholder and failure frames). Drawing glyphs
// needs a font engine, which the core library does not link; the editor
// installs a painter at start-up (ai/gui/QtTileTextPainter.h). Without one,
// tiles keep their colour and carry no text.

#include "ai/RgbaImage.h"

#include <QString>

#include <memory>

class ITileTextPainter {
public:
    virtual ~ITileTextPainter() = default;
    // Draws one line of text whose top-left corner is (x, y). A point size
    // of 0 means the default user-interface font.
    virtual void DrawText(TRgbaImage& image, int x, int y, const QString& text, TColor color,
                          int pointSize) = 0;
};

namespace TileText {

// The painter every tile uses from now on; null removes it. Install it
// before any generation starts: it may be called from worker threads.
void SetPainter(std::shared_ptr<ITileTextPainter> painter);
std::shared_ptr<ITileTextPainter> Painter();

void Draw(TRgbaImage& image, int x, int y, const QString& text, TColor color, int pointSize = 0);

}
