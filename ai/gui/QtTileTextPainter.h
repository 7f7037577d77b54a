#pragma once
// Draws the text of placeholder and failure tiles with Qt's font engine.
// The editor calls InstallQtTileTextPainter() once at start-up, after the
// application object exists.

#include "ai/TileText.h"

class TQtTileTextPainter : public ITileTextPainter {
public:
    void DrawText(TRgbaImage& image, int x, int y, const QString& text, TColor color,
                  int pointSize) override;
};

void InstallQtTileTextPainter();
