#pragma once
// The canvas's view transform: where the world origin sits on screen and the
// scale from world units to pixels. Pure arithmetic, shared by drawing, hit
// testing, gestures and fitting.

#include <QPoint>

// v rounded to the nearest integer, exact halves to the even neighbour;
// results beyond the 32-bit range are clamped instead of overflowing.
int RoundEven(double v);

// Integer division truncating toward zero, as every "div" of the canvas.
inline int DivTrunc(int a, int b) { return b == 0 ? 0 : a / b; }

constexpr float MinZoom = 0.15f;
constexpr float MaxZoom = 3.0f;

class TCanvasTransform {
public:
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    float Zoom() const { return FZoom; }
    void SetOffset(int x, int y) { FOffsetX = x; FOffsetY = y; }
    // Stores the zoom kept within MinZoom .. MaxZoom.
    void SetZoom(float z);

    QPoint WorldToScreen(int x, int y) const;
    QPoint ScreenToWorld(int x, int y) const;
    // A world length scaled to pixels: R(v * zoom).
    int Scale(double v) const { return RoundEven(v * double(FZoom)); }

    // The keyboard and menu steps; they keep the offsets, so they zoom about
    // the world origin's screen position.
    void ZoomIn();
    void ZoomOut();
    void ZoomReset() { FZoom = 1.0f; }
    // World origin in the middle of a client area of that size, zoom 1.
    void Center(int width, int height);
    // One wheel notch at client point p; the world point under p stays put.
    // Returns whether the zoom changed.
    bool WheelZoom(QPoint p, int delta);
    void PanBy(int dx, int dy) { FOffsetX += dx; FOffsetY += dy; }

private:
    int FOffsetX = 0;
    int FOffsetY = 0;
    float FZoom = 1.0f;
};

// Grid snapping of world coordinates: truncates toward zero to the pitch
// (39 -> 20, -15 -> 0, -25 -> -20 with pitch 20), not to the nearest line.
int SnapValue(int v, int gridSize, bool snapOn);
