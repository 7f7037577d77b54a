// Fitting the view and the automatic grid layout, on projects of several
// shapes.

#include "tests/gui/test_canvas_support.h"

#include "canvas/AutoLayout.h"
#include "canvas/CanvasHitTest.h"

#include <gtest/gtest.h>

#include <climits>

using namespace CanvasTest;

namespace {

enum class TShape { Empty, One, Chain, Tree, Cycle, Disconnected };

// Node positions scattered on purpose; links according to the shape.
std::unique_ptr<TDialogueProject> Make(TShape shape)
{
    auto p = std::make_unique<TDialogueProject>();
    const int counts[] = {0, 1, 5, 7, 4, 6};
    const int n = counts[int(shape)];
    for (int i = 0; i < n; ++i)
        AddAt(*p, TNodeType(i % NodeTypeCount), (i * 733) % 1900 - 300, (i * 421) % 1300 - 200, 2);
    auto node = [&](int i) { return p->NodeAt(i); };
    switch (shape) {
    case TShape::Chain:
        for (int i = 0; i + 1 < n; ++i)
            node(i)->SetNextNodeID(node(i + 1)->ID());
        break;
    case TShape::Tree:
        for (int i = 1; i < n; ++i)
            node((i - 1) / 2)->PlayerOptions()[size_t((i - 1) % 2)]->TargetNodeID = node(i)->ID();
        break;
    case TShape::Cycle:
        for (int i = 0; i < n; ++i)
            node(i)->SetNextNodeID(node((i + 1) % n)->ID());
        break;
    case TShape::Disconnected:
        node(0)->SetNextNodeID(node(1)->ID());
        node(3)->SetNextNodeID(node(4)->ID());
        break;
    default:
        break;
    }
    if (n > 0)
        p->SetStartNodeID(node(0)->ID());
    p->SetModified(false);
    return p;
}

TEST(CanvasFit, EveryShapeEndsFullyInView)
{
    for (TShape shape : {TShape::One, TShape::Chain, TShape::Tree, TShape::Cycle, TShape::Disconnected}) {
        auto p = Make(shape);
        for (QSize size : {QSize(1000, 600), QSize(1920, 1080), QSize(400, 900)}) {
            TCanvasTransform view;
            ASSERT_EQ(FitAll(view, p.get(), size.width(), size.height()), TFitResult::Fitted);
            int minLeft = INT_MAX, minTop = INT_MAX;
            for (const auto& n : p->Nodes()) {
                const TCanvasRect r = NodeRect(*n, view);
                EXPECT_GE(r.Left, 39);
                EXPECT_GE(r.Top, 39);
                EXPECT_LE(r.Right, size.width() - 39) << int(shape);
                EXPECT_LE(r.Bottom, size.height() - 39) << int(shape);
                minLeft = std::min(minLeft, r.Left);
                minTop = std::min(minTop, r.Top);
            }
            // Anchored at the top-left margin, not centred.
            EXPECT_NEAR(minLeft, 40, 1);
            EXPECT_NEAR(minTop, 40, 1);
        }
    }
}

TEST(CanvasFit, OneNodeIsCappedAtMaximumZoom)
{
    TDialogueProject p;
    AddAt(p, ntNPCDialogue, 0, 0);
    TCanvasTransform view;
    FitAll(view, &p, 1000, 600);
    EXPECT_EQ(view.Zoom(), 3.0f);
    EXPECT_EQ(QPoint(view.OffsetX(), view.OffsetY()), QPoint(40, 40));
}

TEST(CanvasFit, ZoomFromTheTighterAxisAndTheLowerLimit)
{
    TDialogueProject p;
    AddAt(p, ntNPCDialogue, 100, 50);
    AddAt(p, ntNPCDialogue, 1860, 50);   // bounds 100 .. 2100 x 50 .. 170
    TCanvasTransform view;
    FitAll(view, &p, 1000, 600);
    EXPECT_FLOAT_EQ(view.Zoom(), 920.0f / 2000.0f);
    EXPECT_EQ(view.OffsetX(), RoundEven(40 - 100 * double(view.Zoom())));
    EXPECT_EQ(view.OffsetY(), RoundEven(40 - 50 * double(view.Zoom())));

    FitAll(view, &p, 60, 60);            // narrower than both margins
    EXPECT_EQ(view.Zoom(), 0.15f);
}

TEST(CanvasFit, EmptyProjectAndZeroSizes)
{
    TCanvasTransform view;
    view.SetOffset(3, 4);
    view.SetZoom(2.0f);
    EXPECT_EQ(FitAll(view, nullptr, 1000, 600), TFitResult::Centered);
    EXPECT_EQ(QPoint(view.OffsetX(), view.OffsetY()), QPoint(500, 300));
    EXPECT_EQ(view.Zoom(), 1.0f);
    auto empty = Make(TShape::Empty);
    view.SetZoom(2.0f);
    EXPECT_EQ(FitAll(view, empty.get(), 801, 601), TFitResult::Centered);
    EXPECT_EQ(QPoint(view.OffsetX(), view.OffsetY()), QPoint(400, 300));

    TDialogueProject flat;
    AddAt(flat, ntNPCDialogue, 10, 10)->SetHeight(0);
    view.SetOffset(7, 8);
    view.SetZoom(2.0f);
    EXPECT_EQ(FitAll(view, &flat, 1000, 600), TFitResult::Unchanged);
    EXPECT_EQ(view.Zoom(), 2.0f);
    EXPECT_EQ(view.OffsetX(), 7);
}

TEST(CanvasLayout, StartNodeFirstThenFourColumnsInListOrder)
{
    TDialogueProject p;
    for (int i = 0; i < 5; ++i)
        AddAt(p, ntNPCDialogue, 999, -999);
    p.SetStartNodeID(p.NodeAt(2)->ID());
    p.SetModified(false);
    ASSERT_TRUE(AutoLayout(&p));
    const QPoint expected[] = {{40, 200}, {360, 200}, {40, 40}, {680, 200}, {1000, 200}};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(QPoint(p.NodeAt(i)->X(), p.NodeAt(i)->Y()), expected[i]) << i;
    EXPECT_TRUE(p.Modified());
}

TEST(CanvasLayout, WrapsAfterTheFourthColumnAndIgnoresLinks)
{
    for (TShape shape : {TShape::Chain, TShape::Tree, TShape::Cycle, TShape::Disconnected}) {
        auto p = Make(shape);
        p->SetStartNodeID(QStringLiteral("NoSuchNode"));   // every node on the grid
        ASSERT_TRUE(AutoLayout(p.get()));
        for (int i = 0; i < p->NodeCount(); ++i)
            EXPECT_EQ(QPoint(p->NodeAt(i)->X(), p->NodeAt(i)->Y()), QPoint(40 + (i % 4) * 320, 200 + (i / 4) * 200))
                << int(shape) << " node " << i;
    }
    TDialogueProject six;
    for (int i = 0; i < 6; ++i)
        AddAt(six, ntNPCDialogue, 0, 0);
    six.SetStartNodeID(QString());
    AutoLayout(&six);
    EXPECT_EQ(QPoint(six.NodeAt(4)->X(), six.NodeAt(4)->Y()), QPoint(40, 400));
    EXPECT_EQ(QPoint(six.NodeAt(5)->X(), six.NodeAt(5)->Y()), QPoint(360, 400));
    auto empty = Make(TShape::Empty);
    EXPECT_FALSE(AutoLayout(empty.get()));
    EXPECT_FALSE(empty->Modified());
    EXPECT_FALSE(AutoLayout(nullptr));
}

TEST(CanvasLayout, WidgetLaysOutThenFitsWithoutRaisingModified)
{
    auto p = Make(TShape::Tree);
    TNodeCanvas canvas;
    canvas.resize(1000, 600);
    canvas.SetProject(p.get());
    int modified = 0;
    QObject::connect(&canvas, &TNodeCanvas::OnModified, [&] { ++modified; });
    canvas.AutoLayout();
    EXPECT_EQ(modified, 0);
    EXPECT_TRUE(p->Modified());
    EXPECT_EQ(QPoint(p->NodeAt(0)->X(), p->NodeAt(0)->Y()), QPoint(40, 40));
    // Fitted: bounds 40 .. 1000 + 240 by 40 .. 400 + 120 into 920 x 520.
    EXPECT_FLOAT_EQ(canvas.Zoom(), std::min(920.0f / 1200.0f, 520.0f / 480.0f));
    EXPECT_EQ(canvas.GetNodeRect(*p->NodeAt(0)).Left, 40);
    EXPECT_EQ(canvas.GetNodeRect(*p->NodeAt(0)).Top, 40);
}

}
