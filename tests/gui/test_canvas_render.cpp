// Drawing of the canvas into an image: pixels at computed positions show
// the layers that should be there.

#include "tests/gui/test_canvas_support.h"

#include "canvas/CanvasRenderer.h"
#include "shell/ThemeManager.h"

#include <QImage>
#include <QPainter>
#include <QPen>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

using namespace CanvasTest;

namespace {

QRgb Rgb(TColor c) { return qRgb(ColorRed(c), ColorGreen(c), ColorBlue(c)); }
const TTLWTheme& Th() { return TThemeManager::Current(); }

bool Near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// Whether some pixel within `radius` of p has nearly that colour (for
// anti-aliased curves).
bool NearbyPixel(const QImage& img, QPoint p, TColor c, int radius = 1, int tolerance = 40)
{
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (img.rect().contains(p + QPoint(dx, dy)) && Near(img.pixel(p + QPoint(dx, dy)), Rgb(c), tolerance))
                return true;
    return false;
}

class CanvasRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        TThemeManager::ApplyTheme(tsAmber);
        S.Width = 1000;
        S.Height = 600;
        S.View.SetOffset(60, 200);
        S.ShowMinimap = false;
    }
    QImage Render()
    {
        QImage image;
        R.RenderToImage(image, S, Th());
        return image;
    }
    QRgb At(const QImage& img, int x, int y) { return img.pixel(x, y); }
    TCanvasRect Box(const TDialogueNode* n) const { return NodeRect(*n, S.View); }

    TDialogueProject P;
    TCanvasState S;
    TCanvasRenderer R;
};

TEST_F(CanvasRender, SampleProjectPicture)
{
    // Written out for a look when TALLOWIN_CANVAS_PNG names a file.
    auto project = SampleProject();
    S.Project = project.get();
    S.ShowMinimap = true;
    project->NodeAt(2)->SetSelected(true);
    const QImage image = Render();
    const QByteArray out = qgetenv("TALLOWIN_CANVAS_PNG");
    if (!out.isEmpty())
        image.save(QString::fromLocal8Bit(out));
    EXPECT_EQ(image.size(), QSize(1000, 600));
}

TEST_F(CanvasRender, WithoutProjectOnlyBackgroundAndGrid)
{
    S.ShowMinimap = true;
    const QImage img = Render();
    // Offset 60 with pitch 20: vertical lines at x = 0, 20, 40 ...; line 0
    // and every fifth after it is the brighter one.
    EXPECT_EQ(At(img, 0, 11), Rgb(Th().GridColor + 0x050505));
    EXPECT_EQ(At(img, 20, 11), Rgb(Th().GridColor));
    EXPECT_EQ(At(img, 100, 11), Rgb(Th().GridColor + 0x050505));
    EXPECT_EQ(At(img, 10, 11), Rgb(Th().CanvasBg));
    EXPECT_EQ(At(img, 11, 0), Rgb(Th().GridColor + 0x050505));   // horizontal line 0
    EXPECT_EQ(At(img, 905, 531), Rgb(Th().CanvasBg));            // no minimap frame
    EXPECT_EQ(At(img, 811, 531), Rgb(Th().CanvasBg));

    S.ShowGrid = false;
    EXPECT_EQ(At(Render(), 0, 11), Rgb(Th().CanvasBg));
}

TEST_F(CanvasRender, GridVanishesBelowFourPixelsAndFollowsPanning)
{
    S.View.SetOffset(-7, 0);
    S.View.SetZoom(0.2f);              // step 4, first line at -7 mod 4 + 4 = 1
    QImage img = Render();
    EXPECT_EQ(At(img, 1, 2), Rgb(Th().GridColor + 0x050505));
    EXPECT_EQ(At(img, 5, 2), Rgb(Th().GridColor));
    EXPECT_EQ(At(img, 3, 2), Rgb(Th().CanvasBg));
    S.View.SetZoom(0.15f);             // step 3
    img = Render();
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(At(img, x, 2), Rgb(Th().CanvasBg)) << x;
}

TEST_F(CanvasRender, NodeHeaderStripeShowsTheTypeColour)
{
    for (int type = 0; type < NodeTypeCount; ++type) {
        TDialogueProject p;
        TDialogueNode* n = AddAt(p, TNodeType(type), 100, 100);
        n->SetIsStartNode(false);
        S.Project = &p;
        const QImage img = Render();
        const TCanvasRect r = Box(n);
        EXPECT_EQ(At(img, r.Left + 120, r.Top + 2), Rgb(NodeTypeColors[type])) << type;
        EXPECT_EQ(At(img, r.Left + 120, r.Top + 10), Rgb(Th().BgLight)) << type;     // header band
        EXPECT_EQ(At(img, r.Left + 120, r.Top + 28), Rgb(Th().BorderDark)) << type;  // header line
        EXPECT_EQ(At(img, r.Left + 200, r.Top + 100), Rgb(Th().BgMedium)) << type;   // body
        // Dot: diameter 8 from Left + 6, centred in the band.
        EXPECT_EQ(At(img, r.Left + 10, r.Top + 14), Rgb(NodeTypeColors[type])) << type;
        EXPECT_EQ(At(img, r.Left + 3 + 120, r.Bottom + 2), qRgb(0, 0, 0)) << type;   // shadow
    }
}

TEST_F(CanvasRender, FramesAndGlowsOfSelectedAndStartNodes)
{
    TDialogueNode* plain = AddAt(P, ntNPCDialogue, 0, 0);
    TDialogueNode* selected = AddAt(P, ntNPCDialogue, 400, 0);
    TDialogueNode* start = AddAt(P, ntNPCDialogue, 0, 200);
    TDialogueNode* both = AddAt(P, ntNPCDialogue, 400, 200);
    plain->SetIsStartNode(false);
    start->SetIsStartNode(true);
    both->SetIsStartNode(true);
    selected->SetSelected(true);
    both->SetSelected(true);
    S.Project = &P;
    const QImage img = Render();

    auto left = [&](TDialogueNode* n) { return Box(n).Left; };
    auto mid = [&](TDialogueNode* n) { return (Box(n).Top + Box(n).Bottom) / 2 + 30; };
    EXPECT_EQ(At(img, left(plain), mid(plain)), Rgb(Th().BorderDark));
    EXPECT_EQ(At(img, left(plain) - 2, mid(plain)), Rgb(Th().CanvasBg));
    EXPECT_EQ(At(img, left(selected), mid(selected)), Rgb(Th().AccentPrimary));
    for (int ring : {4, 3}) {
        const TColor c = BlendColor(Th().AccentPrimary, Th().CanvasBg, GlowAlpha(ring, 4));
        EXPECT_EQ(At(img, left(selected) - ring, mid(selected)), Rgb(c)) << ring;
        EXPECT_EQ(At(img, left(both) - ring, mid(both)), Rgb(c)) << ring;   // selection glow wins
    }
    for (int ring : {3, 2, 1}) {
        const TColor c = BlendColor(Th().ColorSuccess, Th().CanvasBg, GlowAlpha(ring, 3));
        EXPECT_EQ(At(img, left(start) - ring, mid(start)), Rgb(c)) << ring;
    }
    // The START badge on both start nodes, in the top-left corner.
    EXPECT_EQ(At(img, left(start) + 4, Box(start).Top + 4), Rgb(Th().ColorSuccess));
    EXPECT_EQ(At(img, left(both) + 4, Box(both).Top + 4), Rgb(Th().ColorSuccess));
    EXPECT_NE(At(img, left(plain) + 4, Box(plain).Top + 4), Rgb(Th().ColorSuccess));
}

TEST_F(CanvasRender, SelectedNodesLieOnTopWhateverTheOrder)
{
    TDialogueNode* first = AddAt(P, ntRandom, 0, 0);
    TDialogueNode* second = AddAt(P, ntTrade, 0, 0);
    S.Project = &P;
    const int x = Box(first).Left + 120, y = Box(first).Top + 2;
    EXPECT_EQ(At(Render(), x, y), Rgb(NodeTypeColors[ntTrade]));
    first->SetSelected(true);
    EXPECT_EQ(At(Render(), x, y), Rgb(NodeTypeColors[ntRandom]));
    (void)second;
}

TEST_F(CanvasRender, PortsByNodeType)
{
    struct { TNodeType Type; bool In, Out; } cases[] = {
        {ntNPCDialogue, true, true}, {ntComment, true, false}, {ntEndDialogue, false, false}, {ntTrade, true, true}};
    for (const auto& c : cases) {
        TDialogueProject p;
        TDialogueNode* n = AddAt(p, c.Type, 100, 0);   // no options: one output port anyway
        S.Project = &p;
        const QImage img = Render();
        const TNodeGeometry g(*n, S.View);
        const QPoint in = g.InputPort() - QPoint(6, 0);
        const QPoint out = g.OutputPort(0) + QPoint(6, 0);
        EXPECT_EQ(At(img, in.x(), in.y()) == Rgb(Th().BgMedium), c.In) << c.Type;
        EXPECT_EQ(At(img, out.x(), out.y()) == Rgb(Th().AccentDim), c.Out) << c.Type;
    }
}

TEST_F(CanvasRender, ConnectionCurvesInTheirColours)
{
    TDialogueNode* a = AddAt(P, ntNPCDialogue, 0, 0, 2);
    TDialogueNode* b = AddAt(P, ntNPCDialogue, 500, -150);
    TDialogueNode* c = AddAt(P, ntNPCDialogue, 500, 150);
    TDialogueNode* d = AddAt(P, ntNPCDialogue, 300, 300);
    a->SetNextNodeID(d->ID());
    a->PlayerOptions()[0]->TargetNodeID = b->ID();
    a->PlayerOptions()[1]->HasSkillCheck = true;
    a->PlayerOptions()[1]->SkillCheck.SuccessNodeID = b->ID();
    a->PlayerOptions()[1]->SkillCheck.FailureNodeID = c->ID();
    S.Project = &P;
    const QImage img = Render();
    const TNodeGeometry ga(*a, S.View);
    auto midpoint = [&](QPoint from, TDialogueNode* to) {
        return ConnectionCurvePoints(from, TNodeGeometry(*to, S.View).LeftMid(), true)[CurveSegments / 2];
    };
    EXPECT_TRUE(NearbyPixel(img, midpoint(ga.RightMid(), d), Th().AccentSecondary));
    EXPECT_TRUE(NearbyPixel(img, midpoint(ga.OutputPort(0), b), Th().AccentPrimary));
    EXPECT_TRUE(NearbyPixel(img, midpoint(ga.OutputPort(1), b), Th().ColorSuccess));
    EXPECT_TRUE(NearbyPixel(img, midpoint(ga.OutputPort(1), c), Th().ColorError));
}

TEST_F(CanvasRender, LinkWithBothEndsOutOfViewShowsWhereItCrosses)
{
    TDialogueNode* a = AddAt(P, ntNPCDialogue, -2000, 0);
    TDialogueNode* b = AddAt(P, ntNPCDialogue, 2500, 0);
    a->SetNextNodeID(b->ID());
    S.Project = &P;
    const QImage img = Render();
    const QPoint from = TNodeGeometry(*a, S.View).RightMid();
    const QPoint to = TNodeGeometry(*b, S.View).LeftMid();
    ASSERT_LT(from.x(), 0);
    ASSERT_GT(to.x(), S.Width);
    EXPECT_TRUE(NearbyPixel(img, ConnectionCurvePoints(from, to, true)[CurveSegments / 2], Th().AccentSecondary));
}

// Ports are stamped from a picture drawn once: the stamp must put the same
// pixels where the circle itself would go, also on a high-density surface.
TEST(PortStamps, StampMatchesTheCircleItReplaces)
{
    const TColor fill = 0x203040, outline = 0x40C0FF;
    for (const qreal dpr : {1.0, 2.0}) {
        for (const int radius : {2, 12, 30}) {
            const int width = radius > 20 ? 3 : 1;
            auto blank = [&] {
                QImage img(120 * dpr, 100 * dpr, QImage::Format_RGB32);
                img.setDevicePixelRatio(dpr);
                img.fill(Qt::black);
                return img;
            };
            QImage direct = blank(), stamped = blank();
            {
                QPainter p(&direct);
                p.setRenderHint(QPainter::Antialiasing, true);
                p.setBrush(ToQColor(fill));
                QPen pen(ToQColor(outline));
                pen.setWidth(width);
                p.setPen(pen);
                p.drawEllipse(QPointF(50, 40), radius, radius);
            }
            {
                QPainter p(&stamped);
                TPortStamps stamps;
                stamps.Draw(p, QPoint(50, 40), radius, width, fill, outline);
            }
            int differing = 0;
            for (int y = 0; y < direct.height(); ++y)
                for (int x = 0; x < direct.width(); ++x)
                    differing += !Near(direct.pixel(x, y), stamped.pixel(x, y), 3);
            EXPECT_EQ(differing, 0) << "radius " << radius << " at device pixel ratio " << dpr;
        }
    }
}

TEST_F(CanvasRender, BrokenLinksDuplicatesAndManyOptionsDrawQuietly)
{
    TDialogueNode* a = AddAt(P, ntNPCDialogue, 0, 0, 40);
    a->SetNextNodeID(QStringLiteral("Nowhere"));
    for (auto& o : a->PlayerOptions())
        o->TargetNodeID = QStringLiteral("Node404");
    TDialogueNode* dup = AddAt(P, ntPlayerReply, 400, 0);
    dup->SetID(a->ID());
    a->PlayerOptions()[0]->TargetNodeID = a->ID();   // names two nodes
    S.Project = &P;
    for (float z : {0.15f, 1.0f, 3.0f}) {
        S.View.SetZoom(z);
        const QImage img = Render();
        EXPECT_EQ(img.size(), QSize(1000, 600));
    }
    S.View.SetZoom(1.0f);
    const QImage img = Render();
    // Only the option rows that fit are shown, and none writes below the box:
    // under it there is only the shadow.
    const TCanvasRect r = Box(a);
    for (int x = r.Left + 8; x < r.Right - 14; ++x)
        for (int y = r.Bottom; y < r.Bottom + 4; ++y)
            ASSERT_EQ(At(img, x, y), qRgb(0, 0, 0)) << x << "," << y;
}

// A node text of more than 80 characters shows its first 77 and "...".
TEST_F(CanvasRender, LongTextIsCutAfterSeventySevenCharacters)
{
    auto render = [&](const QString& text) {
        TDialogueProject p;
        TDialogueNode* n = AddAt(p, ntNPCDialogue, 0, 0);
        n->SetText(text);
        n->SetWidth(900);   // wide enough for the whole line
        S.Project = &p;
        return Render();
    };
    const QString base = QString(77, QLatin1Char('x'));
    EXPECT_EQ(render(base + QStringLiteral("yyyy")), render(base + QStringLiteral("...")));
    EXPECT_NE(render(base + QStringLiteral("yyy")), render(base + QStringLiteral("...")));
}

// Speakers, option rows and comments of any length show their first 297
// characters and "...", so a text of megabytes is never laid out whole.
TEST_F(CanvasRender, LongSpeakerOptionAndCommentAreCutAfterTwoHundredNinetySevenCharacters)
{
    struct Case {
        const char* Field;
        TNodeType Type;
        std::function<void(TDialogueNode&, const QString&)> Set;
    };
    const Case cases[] = {
        {"speaker", ntNPCDialogue, [](TDialogueNode& n, const QString& t) { n.SetSpeaker(t); }},
        {"option", ntNPCDialogue, [](TDialogueNode& n, const QString& t) { n.AddOption()->Text = t; }},
        {"comment", ntComment, [](TDialogueNode& n, const QString& t) { n.SetComment(t); }},
    };
    S.Width = 4000;   // room for more than 300 characters on one line
    S.View.SetOffset(20, 20);
    const QString base = QString(297, QLatin1Char('x'));
    for (const Case& c : cases) {
        auto render = [&](const QString& text) {
            TDialogueProject p;
            TDialogueNode* n = AddAt(p, c.Type, 0, 0);
            n->SetWidth(3900);
            c.Set(*n, text);
            S.Project = &p;
            return Render();
        };
        EXPECT_EQ(render(base + QString(100000, QLatin1Char('y'))), render(base + QStringLiteral("..."))) << c.Field;
        EXPECT_NE(render(base + QStringLiteral("yyy")), render(base + QStringLiteral("..."))) << c.Field;
    }
}

TEST_F(CanvasRender, MinimapShowsNodesAndTheVisibleArea)
{
    TDialogueNode* a = AddAt(P, ntRandom, 0, 0);
    AddAt(P, ntScript, 2000, 1000);
    S.Project = &P;
    S.ShowMinimap = true;
    const QImage img = Render();
    const TCanvasRect m{1000 - 190, 600 - 130, 1000 - 10, 600 - 10};
    EXPECT_EQ(At(img, m.Left, m.Top + 60), Rgb(Th().BorderLight));
    EXPECT_EQ(At(img, m.Left + 100, m.Bottom - 3), qRgb(0, 0, 0));
    // k = min(164 / 2240, 104 / 1120); node a at the inset corner.
    EXPECT_EQ(At(img, m.Left + 9, m.Top + 9), Rgb(NodeTypeColors[ntRandom]));
    const float k = std::min(164.0f / 2240.0f, 104.0f / 1120.0f);
    const int bx = m.Left + 8 + RoundEven(2000 * double(k)) + 1;
    const int by = m.Top + 8 + RoundEven(1000 * double(k)) + 1;
    EXPECT_EQ(At(img, bx, by), Rgb(NodeTypeColors[ntScript]));
    // View from world (-60, -200) at zoom 1: left edge of the outline.
    const int vx = m.Left + RoundEven(-60 * double(k)) + 8;
    const int vy = m.Top + RoundEven(-200 * double(k)) + 8;
    EXPECT_EQ(At(img, vx, vy + 20), Rgb(Th().AccentPrimary));
    (void)a;

    // Zoomed out, the view spans more than the nodes: its frame stops at
    // the minimap's edge instead of running out over the canvas.
    S.View.SetZoom(0.15f);
    const QImage wide = Render();
    for (int x = 0; x < 1000; ++x)
        for (int y = 0; y < 600; ++y)
            if (!QRect(m.Left, m.Top, m.Width(), m.Height()).contains(x, y) && x > 700 && y > 400)
                ASSERT_NE(wide.pixel(x, y), Rgb(Th().AccentPrimary)) << x << "," << y;
}

TEST_F(CanvasRender, RubberBandAndConnectionBeingDragged)
{
    TDialogueNode* a = AddAt(P, ntNPCDialogue, 0, 0);
    S.Project = &P;
    S.Selecting = true;
    S.SelectRect = {500, 100, 700, 160};
    S.Action = ncaConnecting;
    S.ConnectFrom = a;
    S.LastMousePos = QPoint(900, 260);
    const QImage img = Render();
    EXPECT_EQ(At(img, 501, 100), Rgb(Th().AccentPrimary));    // dashes start at the corner
    EXPECT_NE(At(img, 600, 130), Rgb(Th().AccentPrimary));    // no fill
    const QPoint from = TNodeGeometry(*a, S.View).RightMid();
    EXPECT_TRUE(NearbyPixel(img, from + QPoint(4, 0), Th().AccentPrimary, 1, 60));
}

TEST_F(CanvasRender, ThemeChangeShowsAtTheNextPaint)
{
    S.ShowGrid = false;
    EXPECT_EQ(At(Render(), 5, 5), Rgb(Th().CanvasBg));
    TThemeManager::ApplyTheme(tsWhite);
    EXPECT_EQ(At(Render(), 5, 5), Rgb(TThemeManager::ThemeFor(tsWhite).CanvasBg));
    TThemeManager::ApplyTheme(tsAmber);
}

// Repainting part of a picture after a node's text changed must give the
// very pixels a full paint gives, whatever lies over or under the node.
TEST_F(CanvasRender, PartialRepaintsMatchAFullPaint)
{
    enum TMode { NodesOver, Area };
    const struct {
        const char* Name;
        int Node;
        bool Selected;
        TMode Mode;
    } cases[] = {
        {"start node, node layer", 0, false, NodesOver},
        {"selected node, node layer", 2, true, NodesOver},
        {"node under an overlapping one, node layer", 2, false, NodesOver},
        {"node under an overlapping one, area", 2, false, Area},
        {"selected start node, area", 0, true, Area},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        auto project = SampleProject();
        AddAt(*project, ntComment, 380, 150);   // lies over the conditional node
        S.Project = project.get();
        S.ShowMinimap = true;
        TDialogueNode* node = project->NodeAt(c.Node);
        node->SetSelected(c.Selected);
        const QImage before = Render();
        node->SetText(node->Text() + QStringLiteral(" And more words."));
        node->SetSpeaker(QStringLiteral("Someone else"));
        const QImage expected = Render();
        ASSERT_NE(before, expected);

        QImage partial = before.copy();
        {
            QPainter painter(&partial);
            const TCanvasRect box = Box(node);
            if (c.Mode == NodesOver)
                R.RenderNodesOver(painter, S, Th(), box);
            else
                R.RenderArea(painter, S, Th(), {box.Left - 30, box.Top - 30, box.Right + 30, box.Bottom + 30});
        }
        int differing = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                differing += partial.pixel(x, y) != expected.pixel(x, y);
        EXPECT_EQ(differing, 0);
    }
}

TEST(CanvasWidgetPaint, GrabShowsTheBufferedPicture)
{
    TThemeManager::ApplyTheme(tsAmber);
    TDialogueProject p;
    TDialogueNode* n = AddAt(p, ntPlayerReply, 0, 0);
    TNodeCanvas canvas;
    canvas.resize(640, 400);
    canvas.SetProject(&p);
    const QImage img = canvas.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(img.size(), QSize(640, 400));
    const TCanvasRect r = canvas.GetNodeRect(*n);
    EXPECT_EQ(r.Left, 320);
    EXPECT_EQ(img.pixel(r.Left + 100, r.Top + 2), Rgb(NodeTypeColors[ntPlayerReply]));
    EXPECT_EQ(canvas.RenderToImage().pixel(r.Left + 100, r.Top + 2), Rgb(NodeTypeColors[ntPlayerReply]));
}

}
