// The canvas's arithmetic: rounding, transforms, snapping, node and port
// geometry, curves, hit tests.

#include "tests/gui/test_canvas_support.h"

#include "canvas/CanvasHitTest.h"
#include "canvas/CanvasTransform.h"
#include "canvas/NodeGeometry.h"

#include <gtest/gtest.h>

#include <climits>

using namespace CanvasTest;

namespace {

TCanvasTransform View(int ox, int oy, float z)
{
    TCanvasTransform t;
    t.SetOffset(ox, oy);
    t.SetZoom(z);
    return t;
}

TEST(CanvasRounding, HalvesGoToTheEvenNeighbour)
{
    const struct { double In; int Out; } cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
        {2.49, 2}, {2.51, 3}, {-2.51, -3}, {1e12, INT_MAX}, {-1e12, INT_MIN}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundEven(c.In), c.Out) << c.In;
}

TEST(CanvasTransform, WorldAndScreenAtSeveralZoomsAndPans)
{
    const struct { int Ox, Oy; float Z; int Wx, Wy; int Sx, Sy; } cases[] = {
        {0, 0, 1.0f, 10, 20, 10, 20},
        {500, 300, 1.0f, -100, 40, 400, 340},
        {0, 0, 0.5f, 5, 3, 2, 2},          // 2.5 -> 2, 1.5 -> 2
        {0, 0, 0.5f, 7, -3, 4, -2},        // 3.5 -> 4, -1.5 -> -2
        {-30, 12, 2.0f, 15, -6, 0, 0},
        {100, 100, 3.0f, 240, 120, 820, 460},
    };
    for (const auto& c : cases) {
        const TCanvasTransform t = View(c.Ox, c.Oy, c.Z);
        EXPECT_EQ(t.WorldToScreen(c.Wx, c.Wy), QPoint(c.Sx, c.Sy)) << c.Wx << "," << c.Wy << " z=" << c.Z;
    }
    const struct { int Ox, Oy; float Z; int Sx, Sy; int Wx, Wy; } back[] = {
        {0, 0, 1.0f, 10, 20, 10, 20},
        {500, 300, 1.0f, 400, 340, -100, 40},
        {0, 0, 2.0f, 5, 3, 2, 2},          // 2.5 -> 2, 1.5 -> 2
        {0, 0, 2.0f, 7, -3, 4, -2},
        {10, 10, 0.5f, 20, 0, 20, -20},
    };
    for (const auto& c : back) {
        const TCanvasTransform t = View(c.Ox, c.Oy, c.Z);
        EXPECT_EQ(t.ScreenToWorld(c.Sx, c.Sy), QPoint(c.Wx, c.Wy)) << c.Sx << "," << c.Sy << " z=" << c.Z;
    }
}

TEST(CanvasTransform, ZoomStepsStayWithinTheLimitsAndKeepOffsets)
{
    TCanvasTransform t = View(120, -40, 1.0f);
    t.ZoomIn();
    EXPECT_FLOAT_EQ(t.Zoom(), 1.2f);
    for (int i = 0; i < 20; ++i)
        t.ZoomIn();
    EXPECT_EQ(t.Zoom(), 3.0f);
    for (int i = 0; i < 40; ++i)
        t.ZoomOut();
    EXPECT_EQ(t.Zoom(), 0.15f);
    EXPECT_EQ(t.OffsetX(), 120);
    EXPECT_EQ(t.OffsetY(), -40);
    t.ZoomReset();
    EXPECT_EQ(t.Zoom(), 1.0f);
    t.SetZoom(50.0f);
    EXPECT_EQ(t.Zoom(), 3.0f);
}

TEST(CanvasTransform, WheelKeepsTheWorldPointUnderThePointer)
{
    TCanvasTransform t = View(100, 50, 1.0f);
    const QPoint p(400, 250);
    const QPoint before = t.ScreenToWorld(p.x(), p.y());
    EXPECT_TRUE(t.WheelZoom(p, 120));
    EXPECT_FLOAT_EQ(t.Zoom(), 1.15f);
    EXPECT_EQ(t.OffsetX(), 400 - RoundEven(1.15 * 300));
    EXPECT_EQ(t.OffsetY(), 250 - RoundEven(200 * 1.15));
    EXPECT_EQ(t.ScreenToWorld(p.x(), p.y()), before);
    EXPECT_TRUE(t.WheelZoom(p, -120));
    EXPECT_TRUE(t.WheelZoom(p, 0));   // zero zooms out as well
    EXPECT_LT(t.Zoom(), 1.0f);

    TCanvasTransform top = View(7, 9, 3.0f);
    EXPECT_FALSE(top.WheelZoom(p, 120));
    EXPECT_EQ(top.OffsetX(), 7);
    EXPECT_EQ(top.OffsetY(), 9);
    TCanvasTransform bottom = View(7, 9, 0.15f);
    EXPECT_FALSE(bottom.WheelZoom(p, -120));
    EXPECT_EQ(bottom.OffsetX(), 7);
}

TEST(CanvasTransform, SnapTruncatesTowardZero)
{
    const struct { int In, Out; } cases[] = {{39, 20}, {40, 40}, {-15, 0}, {-25, -20}, {0, 0}, {19, 0}, {-20, -20}};
    for (const auto& c : cases) {
        EXPECT_EQ(SnapValue(c.In, 20, true), c.Out) << c.In;
        EXPECT_EQ(SnapValue(c.In, 20, false), c.In);
    }
    EXPECT_EQ(SnapValue(33, 0, true), 33);   // a zero pitch must not divide
}

TEST(NodeGeometry, BoxHeaderBodyAndPorts)
{
    TDialogueProject p;
    TDialogueNode* n = AddAt(p, ntNPCDialogue, 100, 50, 3);
    const struct { int Ox, Oy; float Z; TCanvasRect Box; int Header, Radius, Step, Offset; } cases[] = {
        {0, 0, 1.0f, {100, 50, 340, 170}, 28, 12, 22, 11},
        {10, 20, 0.5f, {60, 45, 180, 105}, 14, 6, 11, 6},     // 5.5 -> 6
        {0, 0, 1.5f, {150, 75, 510, 255}, 42, 18, 33, 16},    // 16.5 -> 16
        {0, 0, 0.15f, {15, 8, 51, 26}, 4, 2, 3, 2},           // 7.5 -> 8, 1.65 -> 2
    };
    for (const auto& c : cases) {
        const TCanvasTransform t = View(c.Ox, c.Oy, c.Z);
        const TNodeGeometry g(*n, t);
        SCOPED_TRACE(c.Z);
        EXPECT_EQ(g.Box(), c.Box);
        EXPECT_EQ(g.HeaderHeight(), c.Header);
        EXPECT_EQ(g.PortRadius(), c.Radius);
        const TCanvasRect body{c.Box.Left + 1, c.Box.Top + c.Header + 1, c.Box.Right - 1, c.Box.Bottom - 1};
        EXPECT_EQ(g.Body(), body);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(g.OutputPort(i), QPoint(c.Box.Right, c.Box.Top + c.Header + i * c.Step + c.Offset));
        EXPECT_EQ(g.InputPort(), QPoint(c.Box.Left, (c.Box.Top + c.Box.Bottom) / 2));
    }
}

TEST(NodeGeometry, ExtremePositionsSaturateInsteadOfWrapping)
{
    TDialogueProject p;
    TDialogueNode* n = AddAt(p, ntNPCDialogue, INT_MAX - 10, INT_MIN + 10);
    const TCanvasRect r = NodeRect(*n, View(1000, -1000, 3.0f));
    EXPECT_EQ(r.Left, INT_MAX);
    EXPECT_EQ(r.Top, INT_MIN);
    EXPECT_GE(r.Right, r.Left);
}

TEST(ConnectionCurve, TwentySegmentsThroughTheBezierPoints)
{
    const QVector<QPoint> pts = ConnectionCurvePoints({0, 0}, {100, 50}, true);
    ASSERT_EQ(pts.size(), CurveSegments + 1);
    EXPECT_EQ(pts.first(), QPoint(0, 0));
    EXPECT_EQ(pts.last(), QPoint(100, 50));
    EXPECT_EQ(pts[10], QPoint(50, 25));
    // t = 0.05: x = 3*0.9025*0.05*50 + 3*0.95*0.0025*50 + 0.000125*100 = 7.14...
    EXPECT_EQ(pts[1], QPoint(7, 0));   // y = 0.007125*50 + 0.000125*50 = 0.36
    for (int k = 1; k < pts.size(); ++k)
        EXPECT_GE(pts[k].x(), pts[k - 1].x());

    // Backwards link: h is the absolute half distance.
    const QVector<QPoint> back = ConnectionCurvePoints({300, 0}, {100, 0}, true);
    EXPECT_EQ(back[10], QPoint(200, 0));
    EXPECT_EQ(back[5].x(), RoundEven(0.421875 * 300 + 0.421875 * 400 + 0.140625 * 0 + 0.015625 * 100));

    const QVector<QPoint> straight = ConnectionCurvePoints({1, 2}, {3, 4}, false);
    EXPECT_EQ(straight, (QVector<QPoint>{{1, 2}, {3, 4}}));
}

TEST(ConnectionCurve, ArrowHeadAlongTheChord)
{
    std::array<QPoint, 3> head;
    ASSERT_TRUE(ArrowHead({0, 0}, {100, 0}, 1.0f, head));
    EXPECT_EQ(head[0], QPoint(100, 0));
    EXPECT_EQ(head[1], QPoint(89, 6));    // 100 - cos(-0.5)*12, -sin(-0.5)*12
    EXPECT_EQ(head[2], QPoint(89, -6));
    ASSERT_TRUE(ArrowHead({0, 0}, {0, 100}, 0.2f, head));   // size never below 6
    EXPECT_EQ(head[1], QPoint(-3, 95));
    EXPECT_FALSE(ArrowHead({5, 5}, {5, 5}, 1.0f, head));
    EXPECT_EQ(ConnectionPenWidth(1.0f), 2);     // 1.5 -> 2
    EXPECT_EQ(ConnectionPenWidth(0.15f), 1);
    EXPECT_EQ(ConnectionPenWidth(3.0f), 4);     // 4.5 -> 4
}

TEST(ConnectionCurve, BoundsHoldEveryPointAndTheHead)
{
    const QPoint ends[][2] = {{{0, 0}, {300, 200}}, {{300, 0}, {-50, 90}}, {{10, 10}, {10, 400}}};
    for (const auto& e : ends) {
        const TCanvasRect b = ConnectionBounds(e[0], e[1], 1.0f);
        for (const QPoint& pt : ConnectionCurvePoints(e[0], e[1], true))
            EXPECT_TRUE(b.Contains(pt));
        std::array<QPoint, 3> head;
        if (ArrowHead(e[0], e[1], 1.0f, head))
            for (const QPoint& pt : head)
                EXPECT_TRUE(b.Contains(pt));
    }
}

TEST(CanvasColours, GridGlowAndTypeTables)
{
    EXPECT_EQ(GridStep(20, 0.15f), 3);
    EXPECT_EQ(GridStep(20, 0.2f), 4);
    EXPECT_EQ(GridFirstLine(-7, 20), 13);
    EXPECT_EQ(GridFirstLine(47, 20), 7);
    EXPECT_EQ(GridFirstLine(-40, 20), 0);
    EXPECT_EQ(GridLineColor(0x100804, 0), 0x150D09u);
    EXPECT_EQ(GridLineColor(0x100804, 3), 0x100804u);
    EXPECT_EQ(GridLineColor(0x0000FF, 5), 0x050604u);   // no saturation: the red byte carries
    EXPECT_EQ(GlowAlpha(4, 4), 80);
    EXPECT_EQ(GlowAlpha(1, 4), 20);
    EXPECT_EQ(GlowAlpha(1, 3), 27);
    EXPECT_EQ(BlendColor(RGBToColor(255, 160, 32), RGBToColor(8, 5, 3), 80),
              RGBToColor((255 * 80 + 8 * 175) / 255, (160 * 80 + 5 * 175) / 255, (32 * 80 + 3 * 175) / 255));
    EXPECT_EQ(NodeTypeColor(ntRandom), RGBToColor(0, 255, 255));
    EXPECT_EQ(NodeTypeColor(ntComment), RGBToColor(144, 144, 144));
    EXPECT_EQ(NodeTypeColor(200), NodeTypeColor(ntNPCDialogue));
    EXPECT_EQ(NodeTypeName(ntTrade), QStringLiteral("Trade"));
    EXPECT_EQ(NodeTypeName(-1), QStringLiteral("NPC Dialogue"));
}

// --- hit tests ---------------------------------------------------------------

class CanvasHit : public ::testing::Test {
protected:
    void SetUp() override
    {
        A = AddAt(P, ntNPCDialogue, 0, 0, 2);
        B = AddAt(P, ntPlayerReply, 200, 60);   // overlaps A's right part, later in the list
        C = AddAt(P, ntScript, 1000, 0);
    }
    TDialogueProject P;
    TDialogueNode* A;
    TDialogueNode* B;
    TDialogueNode* C;
};

TEST_F(CanvasHit, NodeAtPointEdgesOverlapsZoomsAndPans)
{
    const struct { int Ox, Oy; float Z; QPoint Pt; const char* Expect; } cases[] = {
        {0, 0, 1.0f, {0, 0}, "A"},          // top-left corner is inside
        {0, 0, 1.0f, {239, 119}, "B"},      // B covers A there and is later
        {0, 0, 1.0f, {199, 59}, "A"},
        {0, 0, 1.0f, {100, 119}, "A"},
        {0, 0, 1.0f, {100, 120}, ""},       // bottom edge is outside
        {0, 0, 1.0f, {-1, 10}, ""},
        {0, 0, 1.0f, {1239, 5}, "C"},
        {0, 0, 1.0f, {1240, 5}, ""},        // right edge is outside
        {50, 20, 0.5f, {50, 20}, "A"},
        {50, 20, 0.5f, {149, 79}, "A"},
        {50, 20, 0.5f, {169, 79}, "B"},
        {50, 20, 0.5f, {170, 50}, "B"},
        {50, 20, 0.5f, {270, 50}, ""},
        {-100, 0, 2.0f, {-100, 0}, "A"},
        {-100, 0, 2.0f, {-101, 0}, ""},
        {-100, 0, 2.0f, {379, 239}, "B"},
    };
    for (const auto& c : cases) {
        const TCanvasTransform t = View(c.Ox, c.Oy, c.Z);
        TDialogueNode* hit = NodeAtPoint(&P, t, c.Pt);
        const QString name = hit == A ? "A" : hit == B ? "B" : hit == C ? "C" : "";
        EXPECT_EQ(name, QString::fromLatin1(c.Expect)) << c.Pt.x() << "," << c.Pt.y() << " z=" << c.Z;
    }
    EXPECT_EQ(NodeAtPoint(nullptr, View(0, 0, 1.0f), {0, 0}), nullptr);
}

TEST_F(CanvasHit, OutputPortsHitInsideTheBoxOnly)
{
    B->SetX(600);   // out of the way
    const struct { float Z; QPoint Pt; int Expect; } cases[] = {
        // z = 1: port 0 at (240, 39), port 1 at (240, 61), radius 12
        {1.0f, {239, 39}, 0},
        {1.0f, {228, 39}, 0},      // Right - 12 is inside the square
        {1.0f, {227, 39}, -1},
        {1.0f, {240, 39}, -1},     // the half past the box edge belongs to no node
        {1.0f, {235, 27}, 0},      // cy - 12 inclusive
        {1.0f, {235, 50}, 0},      // the squares overlap; the first port wins
        {1.0f, {235, 51}, 1},      // cy + 12 is outside port 0
        {1.0f, {235, 72}, 1},
        {1.0f, {235, 73}, -1},
        {1.0f, {100, 60}, -1},     // body
        // z = 2: header 56, step 44, offset 22, radius 24; box right 480
        {2.0f, {479, 78}, 0},
        {2.0f, {456, 122}, 1},
        {2.0f, {455, 122}, -1},
    };
    for (const auto& c : cases) {
        const TPortHit hit = PortAtPoint(&P, View(0, 0, c.Z), c.Pt);
        EXPECT_EQ(hit.Option, c.Expect) << c.Pt.x() << "," << c.Pt.y() << " z=" << c.Z;
        if (c.Expect >= 0)
            EXPECT_EQ(hit.Node, A);
    }
    // The one port drawn on a node without options is never reported.
    const TNodeGeometry g(*C, View(0, 0, 1.0f));
    const QPoint inside(g.OutputPort(0).x() - 3, g.OutputPort(0).y());
    EXPECT_EQ(PortAtPoint(&P, View(0, 0, 1.0f), inside).Node, C);
    EXPECT_EQ(PortAtPoint(&P, View(0, 0, 1.0f), inside).Option, -1);
    EXPECT_EQ(PortAtPoint(nullptr, View(0, 0, 1.0f), inside).Node, nullptr);
}

}
