#pragma once
// Screen geometry of nodes, ports and connection curves, derived from the
// view transform. Drawing, hit testing and the gestures all use these, so a
// port is hit exactly where it is drawn.

#include "canvas/CanvasTransform.h"
#include "model/DialogueTypes.h"

#include <QPoint>
#include <QRect>
#include <QVector>

#include <array>

// A rectangle in client pixels, edges as numbers: Right and Bottom lie just
// past the last pixel (the width is Right - Left).
struct TCanvasRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    // Left and top edges inclusive, right and bottom exclusive.
    bool Contains(QPoint p) const
    {
        return p.x() >= Left && p.x() < Right && p.y() >= Top && p.y() < Bottom;
    }
    // Overlap with closed edges: rectangles that only touch count.
    bool Touches(const TCanvasRect& o) const
    {
        return Left <= o.Right && o.Left <= Right && Top <= o.Bottom && o.Top <= Bottom;
    }
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TCanvasRect Normalized(QPoint a, QPoint b);
    bool operator==(const TCanvasRect& o) const
    {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
};

// The node's box in client pixels.
TCanvasRect NodeRect(const TDialogueNode& node, const TCanvasTransform& t);

// Header, body and ports of one node box at one zoom. The port constants are
// not those of the option text rows in the body: ports and rows do not line up.
class TNodeGeometry {
public:
    TNodeGeometry(const TCanvasRect& box, float zoom);
    TNodeGeometry(const TDialogueNode& node, const TCanvasTransform& t);

    const TCanvasRect& Box() const { return FBox; }
    float Zoom() const { return FZoom; }
    int HeaderHeight() const { return FHeader; }             // R(28 z)
    int HeaderBottom() const { return FBox.Top + FHeader; }
    TCanvasRect Body() const;
    int PortRadius() const { return FPortRadius; }           // R(12 z)
    QPoint OutputPort(int index) const;
    QPoint InputPort() const;
    // The square around output port `index` that a press must fall in.
    TCanvasRect OutputPortHitBox(int index) const;
    // Where the node's own next link leaves and where every link arrives.
    QPoint RightMid() const { return QPoint(FBox.Right, DivTrunc(FBox.Top + FBox.Bottom, 2)); }
    QPoint LeftMid() const { return QPoint(FBox.Left, DivTrunc(FBox.Top + FBox.Bottom, 2)); }

private:
    TCanvasRect FBox;
    float FZoom;
    int FHeader;
    int FPortStep;
    int FPortOffset;
    int FPortRadius;
};

// Connection curves: a cubic Bezier from `from` to `to` with horizontal
// tangents, as 20 straight segments (21 points, the first being `from`).
constexpr int CurveSegments = 20;
QVector<QPoint> ConnectionCurvePoints(QPoint from, QPoint to, bool curved);
int ConnectionPenWidth(float zoom);
// The filled arrow head at `to`, pointing along the chord from `from`.
// Returns false (no head) when the two points coincide.
bool ArrowHead(QPoint from, QPoint to, float zoom, std::array<QPoint, 3>& head);
// A rectangle holding the whole curve, its pen and its arrow head.
TCanvasRect ConnectionBounds(QPoint from, QPoint to, float zoom);

// Per-type colour of header stripe, dot, title and minimap box.
extern const TColor NodeTypeColors[NodeTypeCount];
TColor NodeTypeColor(int nodeType);
QString NodeTypeName(int nodeType);
QString SkillName(int skill);

// Per-channel mix of c over background bg with weight alpha of 255.
TColor BlendColor(TColor c, TColor bg, int alpha);
// The tint of glow ring i of n (the outermost ring, i = n, is strongest).
int GlowAlpha(int ring, int rings);

// The grid: pixel pitch, first line inside the view and line colours.
int GridStep(int gridSize, float zoom);          // below 4 no grid is drawn
int GridFirstLine(int offset, int step);
TColor GridLineColor(TColor gridColor, int lineIndex);

// Bounds of all node boxes in world units; Empty when there are no nodes.
struct TWorldBounds {
    bool Empty = true;
    qint64 MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
};
TWorldBounds WorldBounds(const TDialogueProject& project);
