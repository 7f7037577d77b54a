#include "canvas/CanvasTransform.h"

#include <algorithm>
#include <climits>
#include <cmath>

int RoundEven(double v)
{
    if (std::isnan(v))
        return 0;
    const double r = std::nearbyint(v);
    if (r >= double(INT_MAX))
        return INT_MAX;
    if (r <= double(INT_MIN))
        return INT_MIN;
    return int(r);
}

namespace {

// Offsets plus scaled coordinates may leave the int range for hand-edited
// positions; saturate instead of wrapping around.
int AddSat(int a, int b)
{
    const long long s = (long long)a + b;
    return int(std::clamp<long long>(s, INT_MIN, INT_MAX));
}

}

void TCanvasTransform::SetZoom(float z)
{
    if (std::isnan(z))
        z = 1.0f;
    FZoom = std::clamp(z, MinZoom, MaxZoom);
}

QPoint TCanvasTransform::WorldToScreen(int x, int y) const
{
    return QPoint(AddSat(Scale(x), FOffsetX), AddSat(Scale(y), FOffsetY));
}

QPoint TCanvasTransform::ScreenToWorld(int x, int y) const
{
    if (FZoom == 0.0f)
        return QPoint(x, y);
    const double z = FZoom;
    return QPoint(RoundEven((double(x) - FOffsetX) / z), RoundEven((double(y) - FOffsetY) / z));
}

void TCanvasTransform::ZoomIn()
{
    FZoom = float(std::min(double(FZoom) * 1.2, double(MaxZoom)));
}

void TCanvasTransform::ZoomOut()
{
    FZoom = float(std::max(double(FZoom) / 1.2, double(MinZoom)));
}

void TCanvasTransform::Center(int width, int height)
{
    FOffsetX = DivTrunc(width, 2);
    FOffsetY = DivTrunc(height, 2);
    FZoom = 1.0f;
}

bool TCanvasTransform::WheelZoom(QPoint p, int delta)
{
    const float z = FZoom;
    const float z2 = float(delta > 0 ? std::min(double(z) * 1.15, double(MaxZoom))
                                     : std::max(double(z) / 1.15, double(MinZoom)));
    if (z2 == z)
        return false;
    FZoom = z2;
    FOffsetX = p.x() - RoundEven(double(z2) * (double(p.x()) - FOffsetX) / double(z));
    FOffsetY = p.y() - RoundEven((double(p.y()) - FOffsetY) * double(z2) / double(z));
    return true;
}

int SnapValue(int v, int gridSize, bool snapOn)
{
    if (!snapOn || gridSize <= 0)
        return v;
    return (v / gridSize) * gridSize;
}
