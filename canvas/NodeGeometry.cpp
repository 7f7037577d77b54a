#include "canvas/NodeGeometry.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

const TColor NodeTypeColors[NodeTypeCount] = {
    RGBToColor(255, 170, 32),  RGBToColor(64, 255, 64),  RGBToColor(255, 128, 0),
    RGBToColor(0, 255, 255),   RGBToColor(255, 128, 255), RGBToColor(255, 64, 0),
    RGBToColor(64, 255, 255),  RGBToColor(255, 192, 64), RGBToColor(128, 128, 128),
    RGBToColor(144, 144, 144)};

TColor NodeTypeColor(int nodeType)
{
    // A type outside the table can only come from a hand-edited file.
    if (nodeType < 0 || nodeType >= NodeTypeCount)
        return NodeTypeColors[ntNPCDialogue];
    return NodeTypeColors[nodeType];
}

QString NodeTypeName(int nodeType)
{
    if (nodeType < 0 || nodeType >= NodeTypeCount)
        nodeType = ntNPCDialogue;
    return QString::fromLatin1(NodeTypeNames[nodeType]);
}

QString SkillName(int skill)
{
    if (skill < 0 || skill >= SkillTypeCount)
        skill = skSpeech;
    return QString::fromLatin1(SkillNames[skill]);
}

TCanvasRect TCanvasRect::Normalized(QPoint a, QPoint b)
{
    return {std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()), std::max(a.y(), b.y())};
}

TCanvasRect NodeRect(const TDialogueNode& node, const TCanvasTransform& t)
{
    const QPoint topLeft = t.WorldToScreen(node.X(), node.Y());
    TCanvasRect r;
    r.Left = topLeft.x();
    r.Top = topLeft.y();
    r.Right = int(std::clamp<long long>((long long)r.Left + t.Scale(node.Width()), INT_MIN, INT_MAX));
    r.Bottom = int(std::clamp<long long>((long long)r.Top + t.Scale(node.Height()), INT_MIN, INT_MAX));
    return r;
}

// ---------------------------------------------------------------------------

TNodeGeometry::TNodeGeometry(const TCanvasRect& box, float zoom)
    : FBox(box),
      FZoom(zoom),
      FHeader(RoundEven(28.0 * zoom)),
      FPortStep(RoundEven(22.0 * zoom)),
      FPortOffset(RoundEven(11.0 * zoom)),
      FPortRadius(RoundEven(12.0 * zoom))
{
}

TNodeGeometry::TNodeGeometry(const TDialogueNode& node, const TCanvasTransform& t)
    : TNodeGeometry(NodeRect(node, t), t.Zoom())
{
}

TCanvasRect TNodeGeometry::Body() const
{
    return {FBox.Left + 1, FBox.Top + FHeader + 1, FBox.Right - 1, FBox.Bottom - 1};
}

QPoint TNodeGeometry::OutputPort(int index) const
{
    const long long y = (long long)FBox.Top + FHeader + (long long)index * FPortStep + FPortOffset;
    return QPoint(FBox.Right, int(std::clamp<long long>(y, INT_MIN, INT_MAX)));
}

QPoint TNodeGeometry::InputPort() const
{
    return LeftMid();
}

TCanvasRect TNodeGeometry::OutputPortHitBox(int index) const
{
    const QPoint c = OutputPort(index);
    return {c.x() - FPortRadius, c.y() - FPortRadius, c.x() + FPortRadius, c.y() + FPortRadius};
}

// ---------------------------------------------------------------------------

QVector<QPoint> ConnectionCurvePoints(QPoint from, QPoint to, bool curved)
{
    QVector<QPoint> points;
    points.append(from);
    if (!curved) {
        points.append(to);
        return points;
    }
    const double x1 = from.x(), y1 = from.y(), x2 = to.x(), y2 = to.y();
    const double h = std::abs(DivTrunc(to.x() - from.x(), 2));
    const double cx1 = x1 + h, cy1 = y1, cx2 = x2 - h, cy2 = y2;
    points.reserve(CurveSegments + 1);
    for (int k = 1; k <= CurveSegments; ++k) {
        const double t = double(k) / CurveSegments;
        const double u = 1.0 - t;
        const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
        points.append(QPoint(RoundEven(b0 * x1 + b1 * cx1 + b2 * cx2 + b3 * x2),
                             RoundEven(b0 * y1 + b1 * cy1 + b2 * cy2 + b3 * y2)));
    }
    return points;
}

int ConnectionPenWidth(float zoom)
{
    return std::max(1, RoundEven(1.5 * zoom));
}

namespace {
double ArrowSize(float zoom) { return std::max(12.0 * zoom, 6.0); }
}

bool ArrowHead(QPoint from, QPoint to, float zoom, std::array<QPoint, 3>& head)
{
    const double dx = double(to.x()) - from.x(), dy = double(to.y()) - from.y();
    if (!(std::sqrt(dx * dx + dy * dy) > 0))
        return false;
    const double size = ArrowSize(zoom);
    const double a = std::atan2(dy, dx);
    const double x2 = to.x(), y2 = to.y();
    head[0] = to;
    head[1] = QPoint(RoundEven(x2 - std::cos(a - 0.5) * size), RoundEven(y2 - std::sin(a - 0.5) * size));
    head[2] = QPoint(RoundEven(x2 - std::cos(a + 0.5) * size), RoundEven(y2 - std::sin(a + 0.5) * size));
    return true;
}

TCanvasRect ConnectionBounds(QPoint from, QPoint to, float zoom)
{
    // The curve stays inside the hull of its four control points.
    const int h = std::abs(DivTrunc(to.x() - from.x(), 2));
    const int margin = int(std::ceil(ArrowSize(zoom))) + ConnectionPenWidth(zoom) + 2;
    const int xs[] = {from.x(), to.x(), from.x() + h, to.x() - h};
    TCanvasRect r;
    r.Left = *std::min_element(std::begin(xs), std::end(xs)) - margin;
    r.Right = *std::max_element(std::begin(xs), std::end(xs)) + margin;
    r.Top = std::min(from.y(), to.y()) - margin;
    r.Bottom = std::max(from.y(), to.y()) + margin;
    return r;
}

// ---------------------------------------------------------------------------

TColor BlendColor(TColor c, TColor bg, int alpha)
{
    auto mix = [alpha](int a, int b) { return (a * alpha + b * (255 - alpha)) / 255; };
    return RGBToColor(mix(ColorRed(c), ColorRed(bg)), mix(ColorGreen(c), ColorGreen(bg)),
                      mix(ColorBlue(c), ColorBlue(bg)));
}

int GlowAlpha(int ring, int rings)
{
    return rings <= 0 ? 0 : RoundEven(double(ring) / rings * 80.0);
}

int GridStep(int gridSize, float zoom)
{
    return RoundEven(double(gridSize) * zoom);
}

int GridFirstLine(int offset, int step)
{
    if (step <= 0)
        return 0;
    int first = offset % step;
    if (first < 0)
        first += step;
    return first;
}

TColor GridLineColor(TColor gridColor, int lineIndex)
{
    // Every fifth line one step brighter: a plain addition to the packed
    // value, so a channel at its top would carry into the next.
    return lineIndex % 5 == 0 ? TColor(gridColor + 0x050505u) : gridColor;
}

TWorldBounds WorldBounds(const TDialogueProject& project)
{
    TWorldBounds b;
    for (const auto& node : project.Nodes()) {
        const qint64 x = node->X(), y = node->Y();
        const qint64 right = x + node->Width(), bottom = y + node->Height();
        if (b.Empty) {
            b = {false, x, y, right, bottom};
            continue;
        }
        b.MinX = std::min(b.MinX, x);
        b.MinY = std::min(b.MinY, y);
        b.MaxX = std::max(b.MaxX, right);
        b.MaxY = std::max(b.MaxY, bottom);
    }
    return b;
}
