// The canvas widget driven by synthesized mouse, wheel and key events, and
// its context menu and editing commands.

#include "tests/gui/test_canvas_support.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

using namespace CanvasTest;

namespace {

class CanvasInteraction : public ::testing::Test {
protected:
    void SetUp() override
    {
        // World origin at (500, 300) once the project is set, zoom 1.
        A = AddAt(P, ntNPCDialogue, -400, -200, 2);   // screen (100, 100) - (340, 220)
        B = AddAt(P, ntPlayerReply, 0, -200, 2);      // screen (500, 100) - (740, 220)
        C = AddAt(P, ntScript, -400, 100);            // screen (100, 400) - (340, 520)
        P.SetModified(false);
        W.resize(1000, 600);
        W.SetProject(&P);
        QObject::connect(&W, &TNodeCanvas::OnNodeSelect, [this](const QString& id) { Events << "select " + id; });
        QObject::connect(&W, &TNodeCanvas::OnNodeDblClick, [this](const QString& id) { Events << "dbl " + id; });
        QObject::connect(&W, &TNodeCanvas::OnConnectionMade, [this](const QString& f, const QString& t, int o) {
            Events << QStringLiteral("connect %1>%2 %3").arg(f, t).arg(o);
        });
        QObject::connect(&W, &TNodeCanvas::OnModified, [this] { Events << "modified"; });
    }
    void AttachLog()
    {
        QObject::connect(&W, &TNodeCanvas::OnLog, [this](const QString& m) { Logs << m; });
    }
    QPoint Centre(const TDialogueNode* n) const
    {
        const TCanvasRect r = W.GetNodeRect(*n);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2 + 20);
    }
    // A point on output port i inside the box.
    QPoint Port(const TDialogueNode* n, int i) const
    {
        TCanvasTransform t;
        t.SetOffset(W.OffsetX(), W.OffsetY());
        t.SetZoom(W.Zoom());
        return TNodeGeometry(*n, t).OutputPort(i) - QPoint(4, 0);
    }
    QStringList Selected()
    {
        QStringList ids;
        for (TDialogueNode* n : W.SelectedNodes())
            ids << n->ID();
        return ids;
    }
    QAction* MenuItem(const QString& caption) const
    {
        for (QAction* a : W.PopupMenu()->actions())
            if (a->text() == caption)
                return a;
        ADD_FAILURE() << caption.toStdString();
        return nullptr;
    }
    void RightClick(QPoint p)
    {
        Press(&W, p, Qt::RightButton);
        W.PopupMenu()->hide();
        Release(&W, p, Qt::RightButton);
    }

    TDialogueProject P;
    TDialogueNode* A;
    TDialogueNode* B;
    TDialogueNode* C;
    TNodeCanvas W;
    QStringList Events;
    QStringList Logs;
};

TEST_F(CanvasInteraction, ClickSelectsAndMarksModified)
{
    Click(&W, Centre(A));
    EXPECT_EQ(Selected(), QStringList{A->ID()});
    EXPECT_TRUE(A->Selected());
    EXPECT_EQ(Events, (QStringList{"select " + A->ID(), "modified"}));
    EXPECT_TRUE(P.Modified());
    EXPECT_EQ(W.Action(), ncaNone);

    Events.clear();
    Click(&W, Centre(B));
    EXPECT_EQ(Selected(), QStringList{B->ID()});
    EXPECT_FALSE(A->Selected());
    EXPECT_EQ(Events, (QStringList{"select " + B->ID(), "modified"}));
}

TEST_F(CanvasInteraction, CtrlClickTogglesAndPressOnSelectedKeepsTheGroup)
{
    Click(&W, Centre(A));
    Click(&W, Centre(B), Qt::ControlModifier);
    EXPECT_EQ(Selected(), (QStringList{A->ID(), B->ID()}));
    Events.clear();
    Click(&W, Centre(A));                       // already selected: group stays
    EXPECT_EQ(Selected(), (QStringList{A->ID(), B->ID()}));
    EXPECT_EQ(Events, QStringList{"modified"});
    Click(&W, Centre(A), Qt::ControlModifier);  // toggled off
    EXPECT_EQ(Selected(), QStringList{B->ID()});
    EXPECT_FALSE(A->Selected());
}

TEST_F(CanvasInteraction, DragMovesBySnappedWorldDistance)
{
    // ZoomSteps > 0: that many zoom-in steps of 1.2, < 0: zoom-out steps.
    const struct { bool Snap; int ZoomSteps; int StartX, DragPx; int EndX; } cases[] = {
        {true, 0, 40, 9, 40},
        {true, 0, 40, 21, 60},
        {true, 0, 40, -45, 0},          // -5 snaps toward zero
        {true, 0, 40, -70, -20},        // -30 -> -20
        {false, 0, 40, 9, 49},
        {false, 4, 40, 21, 50},         // z = 2.0736: 21 / z = 10.13 -> 10
        {false, -4, 40, 7, 55},         // z = 0.4823: 7 / z = 14.5 -> 15
        {true, -4, 40, 7, 40},
    };
    for (const auto& c : cases) {
        W.SetSnapToGrid(c.Snap);
        W.ZoomReset();
        for (int i = 0; i < c.ZoomSteps; ++i)
            W.ZoomIn();
        for (int i = 0; i > c.ZoomSteps; --i)
            W.ZoomOut();
        A->SetX(c.StartX);
        A->SetY(100);
        const QPoint at = Centre(A);
        Drag(&W, at, at + QPoint(c.DragPx, 0));
        EXPECT_EQ(A->X(), c.EndX) << c.DragPx << " snap=" << c.Snap << " z=" << W.Zoom();
        EXPECT_EQ(A->Y(), 100);
    }
}

TEST_F(CanvasInteraction, DragMovesTheWholeSelection)
{
    W.SetSnapToGrid(false);
    Click(&W, Centre(A));
    Click(&W, Centre(C), Qt::ControlModifier);
    Events.clear();
    Drag(&W, Centre(A), Centre(A) + QPoint(30, -12));
    EXPECT_EQ(QPoint(A->X(), A->Y()), QPoint(-370, -212));
    EXPECT_EQ(QPoint(C->X(), C->Y()), QPoint(-370, 88));
    EXPECT_EQ(QPoint(B->X(), B->Y()), QPoint(0, -200));
    EXPECT_EQ(Events, QStringList{"modified"});
}

TEST_F(CanvasInteraction, CtrlPressOnSelectedNodeDeselectsItAndStillDrags)
{
    Click(&W, Centre(A));
    Click(&W, Centre(C), Qt::ControlModifier);
    // Pressed node leaves the selection; the rest moves, and it follows too.
    Drag(&W, Centre(A), Centre(A) + QPoint(41, 0), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(Selected(), QStringList{C->ID()});
    EXPECT_EQ(A->X(), -340);   // -400 + 41 = -359, snapped toward zero
    EXPECT_EQ(C->X(), -340);
}

TEST_F(CanvasInteraction, RubberBandSelectsTouchedNodesInProjectOrder)
{
    Click(&W, Centre(C));
    Events.clear();
    // From empty canvas right of A up to B's left edge (touching counts).
    Press(&W, {420, 60});
    Move(&W, {300, 150});
    EXPECT_TRUE(A->Selected());
    Move(&W, {500, 150});
    Release(&W, {500, 150});
    EXPECT_EQ(Selected(), (QStringList{B->ID()}));
    EXPECT_FALSE(C->Selected());
    EXPECT_FALSE(A->Selected());

    Press(&W, {50, 50});
    Move(&W, {520, 450});
    Release(&W, {520, 450});
    EXPECT_EQ(Selected(), (QStringList{A->ID(), B->ID(), C->ID()}));
    EXPECT_TRUE(Events.isEmpty());
    EXPECT_EQ(W.Action(), ncaNone);
    Click(&W, {800, 500});   // empty canvas clears
    EXPECT_TRUE(Selected().isEmpty());
    EXPECT_FALSE(B->Selected());
}

TEST_F(CanvasInteraction, CtrlPressOnEmptyKeepsSelectionUntilTheBandMoves)
{
    Click(&W, Centre(A));
    Press(&W, {800, 500}, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(Selected(), QStringList{A->ID()});
    Move(&W, {810, 510}, Qt::LeftButton, Qt::ControlModifier);
    Release(&W, {810, 510});
    EXPECT_TRUE(Selected().isEmpty());
}

TEST_F(CanvasInteraction, ConnectFromOptionPortReportsThePairOnly)
{
    const QString before = A->PlayerOptions()[0]->TargetNodeID;
    Press(&W, Port(A, 0));
    EXPECT_EQ(W.Action(), ncaConnecting);
    Move(&W, Centre(B));
    Release(&W, Centre(B));
    EXPECT_EQ(Events, QStringList{QStringLiteral("connect %1>%2 0").arg(A->ID(), B->ID())});
    EXPECT_EQ(A->PlayerOptions()[0]->TargetNodeID, before);
    EXPECT_TRUE(B->PlayerOptions()[0]->TargetNodeID.isEmpty());
    EXPECT_FALSE(P.Modified());
    EXPECT_EQ(W.Action(), ncaNone);
}

TEST_F(CanvasInteraction, ReleaseOnTargetPortAlsoSetsTheReturnLink)
{
    Press(&W, Port(A, 1));
    Release(&W, Port(B, 1));
    EXPECT_EQ(Events, QStringList{QStringLiteral("connect %1>%2 1").arg(A->ID(), B->ID())});
    EXPECT_EQ(B->PlayerOptions()[1]->TargetNodeID, A->ID());
    EXPECT_TRUE(B->PlayerOptions()[0]->TargetNodeID.isEmpty());
    EXPECT_TRUE(P.Modified());
}

TEST_F(CanvasInteraction, ReleaseOnTheSourceItself)
{
    Press(&W, Port(A, 0));
    Release(&W, Centre(A));             // own body: nothing
    EXPECT_TRUE(Events.isEmpty());
    Press(&W, Port(A, 0));
    Release(&W, Port(A, 1));            // own port: event and a link back
    EXPECT_EQ(Events, QStringList{QStringLiteral("connect %1>%1 0").arg(A->ID())});
    EXPECT_EQ(A->PlayerOptions()[1]->TargetNodeID, A->ID());
    Events.clear();
    Press(&W, Port(A, 0));
    Release(&W, {900, 550});            // empty canvas: nothing
    EXPECT_TRUE(Events.isEmpty());
}

TEST_F(CanvasInteraction, ShiftPressConnectsTheNextLinkAndMiddlePressOnPortConnects)
{
    Press(&W, Centre(C), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(W.Action(), ncaConnecting);
    Release(&W, Centre(B));
    EXPECT_EQ(Events, QStringList{QStringLiteral("connect %1>%2 -1").arg(C->ID(), B->ID())});
    EXPECT_TRUE(C->NextNodeID().isEmpty());
    Events.clear();
    Press(&W, Port(B, 0), Qt::MiddleButton);
    EXPECT_EQ(W.Action(), ncaConnecting);
    Release(&W, Centre(A), Qt::MiddleButton);
    EXPECT_EQ(Events, QStringList{QStringLiteral("connect %1>%2 0").arg(B->ID(), A->ID())});
}

TEST_F(CanvasInteraction, NodeWithoutOptionsStartsNoConnectionFromItsPort)
{
    TCanvasTransform t;
    t.SetOffset(W.OffsetX(), W.OffsetY());
    const QPoint port = TNodeGeometry(*C, t).OutputPort(0) - QPoint(4, 0);
    Press(&W, port);
    EXPECT_EQ(W.Action(), ncaDragging);
    Release(&W, port);
}

TEST_F(CanvasInteraction, MiddleDragPans)
{
    const int ox = W.OffsetX(), oy = W.OffsetY();
    Drag(&W, {800, 500}, {760, 530}, Qt::MiddleButton);
    EXPECT_EQ(W.OffsetX(), ox - 40);
    EXPECT_EQ(W.OffsetY(), oy + 30);
    EXPECT_EQ(A->X(), -400);
    Drag(&W, Centre(A), Centre(A) + QPoint(10, 10), Qt::MiddleButton);   // on a node body too
    EXPECT_EQ(W.OffsetX(), ox - 30);
    EXPECT_EQ(A->X(), -400);
    EXPECT_TRUE(Events.isEmpty());
}

TEST_F(CanvasInteraction, ReleaseLostToAnotherWindowEndsTheGesture)
{
    Press(&W, Centre(A));
    Move(&W, Centre(A) + QPoint(5, 5), Qt::NoButton);
    EXPECT_EQ(W.Action(), ncaNone);
    EXPECT_EQ(Events, (QStringList{"select " + A->ID(), "modified"}));
}

TEST_F(CanvasInteraction, DoubleClickReportsTheNodeAfterItsPressesAndReleases)
{
    DoubleClick(&W, Centre(B));
    EXPECT_EQ(Events, (QStringList{"select " + B->ID(), "modified", "modified", "dbl " + B->ID()}));
    Events.clear();
    DoubleClick(&W, {900, 550});
    EXPECT_TRUE(Events.isEmpty());
}

TEST_F(CanvasInteraction, KeysWhileFocused)
{
    Key(&W, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Selected(), (QStringList{A->ID(), B->ID(), C->ID()}));
    Key(&W, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(W.Zoom(), 1.2f);
    Key(&W, Qt::Key_Equal);                         // without Ctrl: nothing
    EXPECT_FLOAT_EQ(W.Zoom(), 1.2f);
    Key(&W, Qt::Key_Minus, Qt::ControlModifier);
    Key(&W, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_LT(W.Zoom(), 1.0f);
    Key(&W, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(W.Zoom(), 1.0f);
    Key(&W, Qt::Key_G);
    EXPECT_FALSE(W.ShowGrid());
    Key(&W, Qt::Key_G, Qt::ControlModifier);
    EXPECT_TRUE(W.ShowGrid());
    Key(&W, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(W.OffsetX(), RoundEven(40 + 400 * double(W.Zoom())));
    Click(&W, {990, 10});                           // empty canvas: selection cleared
    Key(&W, Qt::Key_A);                             // plain 'A' selects nothing
    EXPECT_TRUE(Selected().isEmpty());
    Click(&W, Centre(B));
    Events.clear();
    const QString bID = B->ID();
    Key(&W, Qt::Key_Delete);
    EXPECT_EQ(P.NodeCount(), 2);
    EXPECT_EQ(P.FindNode(bID), nullptr);
    EXPECT_EQ(Events, QStringList{"modified"});
    Key(&W, Qt::Key_Delete);                        // empty selection still reports
    EXPECT_EQ(P.NodeCount(), 2);
    EXPECT_EQ(Events, (QStringList{"modified", "modified"}));
}

TEST_F(CanvasInteraction, WheelZoomsAboutThePointer)
{
    const QPoint p(300, 200);
    const QPoint world = W.ScreenToWorld(p.x(), p.y());
    Wheel(&W, p, 120);
    EXPECT_FLOAT_EQ(W.Zoom(), 1.15f);
    EXPECT_EQ(W.ScreenToWorld(p.x(), p.y()), world);
    Wheel(&W, p, 480);   // one event is one step, whatever its size
    EXPECT_FLOAT_EQ(W.Zoom(), float(1.15 * 1.15));
    for (int i = 0; i < 20; ++i)
        Wheel(&W, p, 120);
    EXPECT_EQ(W.Zoom(), 3.0f);
    const int ox = W.OffsetX();
    Wheel(&W, {10, 10}, 120);   // at the limit nothing moves
    EXPECT_EQ(W.OffsetX(), ox);
    Wheel(&W, p, -120);
    EXPECT_LT(W.Zoom(), 3.0f);
}

TEST_F(CanvasInteraction, LogLinesOfAConnectionGesture)
{
    AttachLog();
    const QPoint from = Port(A, 0);
    Press(&W, from);
    Release(&W, Centre(B));
    const QStringList expected = {
        QStringLiteral("MouseDown: btn=0 x=%1 y=%2").arg(from.x()).arg(from.y()),
        QStringLiteral("PortAtPoint: found node=%1 options=2").arg(A->ID()),
        QStringLiteral("MouseDown: portIdx=0 from=%1").arg(A->ID()),
        QStringLiteral("MouseDown: Started connection from %1 opt=0").arg(A->ID()),
        QStringLiteral("PortAtPoint: found node=%1 options=2").arg(B->ID()),
        QStringLiteral("Connecting: source=%1 optIdx=0 options=2 target=%2 optIdx=-1").arg(A->ID(), B->ID()),
    };
    EXPECT_EQ(Logs, expected);
    Logs.clear();
    Press(&W, {900, 550}, Qt::RightButton);
    W.PopupMenu()->hide();
    Press(&W, {901, 551});
    EXPECT_EQ(Logs, (QStringList{"MouseDown: btn=1 x=900 y=550", "MouseDown: btn=0 x=901 y=551",
                                 "PortAtPoint: no node at pt=901,551", "MouseDown: portIdx=-1 from=nil"}));
    Release(&W, {901, 551});
}

TEST_F(CanvasInteraction, ContextMenuItemsInOrder)
{
    QStringList captions;
    for (QAction* a : W.PopupMenu()->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(captions, (QStringList{"+ NPC Dialogue", "+ Player Reply", "+ Conditional", "+ Script Node",
                                     "+ End Dialogue", "+ Comment", "-", "Delete Node", "Set as Start Node", "-",
                                     "Properties..."}));
}

TEST_F(CanvasInteraction, ContextMenuInsertsCentredAndSnappedAtTheRightClick)
{
    RightClick({813, 507});
    EXPECT_EQ(W.RightClickNode(), nullptr);
    EXPECT_EQ(W.Action(), ncaNone);
    MenuItem("+ Comment")->trigger();
    ASSERT_EQ(P.NodeCount(), 4);
    TDialogueNode* n = P.NodeAt(3);
    EXPECT_EQ(n->NodeType(), ntComment);
    EXPECT_EQ(n->X(), SnapValue(313 - 120, 20, true));   // 180
    EXPECT_EQ(n->Y(), SnapValue(207 - 60, 20, true));    // 140
    EXPECT_EQ(Selected(), QStringList{n->ID()});
    EXPECT_EQ(Events, (QStringList{"select " + n->ID(), "modified"}));
    Events.clear();
    MenuItem("Delete Node")->trigger();                 // no node under the right click
    MenuItem("Properties...")->trigger();
    EXPECT_EQ(P.NodeCount(), 4);
    EXPECT_TRUE(Events.isEmpty());
}

TEST_F(CanvasInteraction, ContextMenuDeleteTakesTheSelectionWithIt)
{
    TDialogueNode* d = AddAt(P, ntComment, 300, 100);
    Click(&W, Centre(A));
    Click(&W, Centre(B), Qt::ControlModifier);
    RightClick(Centre(C));
    EXPECT_EQ(W.RightClickNode(), C);
    Events.clear();
    MenuItem("Delete Node")->trigger();
    ASSERT_EQ(P.NodeCount(), 1);
    EXPECT_EQ(P.NodeAt(0), d);
    EXPECT_EQ(Events, QStringList{"modified"});
    EXPECT_TRUE(Selected().isEmpty());
}

TEST_F(CanvasInteraction, ContextMenuStartNodeAndProperties)
{
    RightClick(Centre(B));
    MenuItem("Set as Start Node")->trigger();
    EXPECT_TRUE(B->IsStartNode());
    EXPECT_FALSE(A->IsStartNode());
    EXPECT_EQ(P.StartNodeID(), B->ID());
    EXPECT_TRUE(P.Modified());
    MenuItem("Properties...")->trigger();
    EXPECT_EQ(Events, (QStringList{"modified", "dbl " + B->ID()}));
}

TEST_F(CanvasInteraction, HostCommands)
{
    W.AddNode(ntEndDialogue, 500, 300);
    TDialogueNode* n = P.NodeAt(3);
    EXPECT_EQ(QPoint(n->X(), n->Y()), QPoint(-120, -60));
    EXPECT_EQ(Events, (QStringList{"select " + n->ID(), "modified"}));
    Events.clear();
    W.SelectNode(QStringLiteral("NoSuchNode"));
    EXPECT_TRUE(Events.isEmpty());
    EXPECT_EQ(Selected(), QStringList{n->ID()});
    W.SelectNode(A->ID());
    EXPECT_EQ(Selected(), QStringList{A->ID()});
    EXPECT_FALSE(n->Selected());
    EXPECT_EQ(Events, QStringList{"select " + A->ID()});
    W.SelectAll();
    EXPECT_EQ(Selected().size(), 4);

    // Without a project every command is quiet.
    W.SetProject(nullptr);
    Events.clear();
    W.AddNode(ntNPCDialogue, 10, 10);
    W.DeleteSelected();
    W.SelectAll();
    W.SelectNode(A->ID());
    Click(&W, {10, 10});
    W.AutoLayout();
    W.FitAll();
    EXPECT_TRUE(Events.isEmpty());
    EXPECT_EQ(P.NodeCount(), 4);
    EXPECT_EQ(W.Zoom(), 1.0f);
}

TEST_F(CanvasInteraction, FirstNodeAddedToAnEmptyProjectIsTheStart)
{
    TDialogueProject empty;
    W.SetProject(&empty);
    W.AddNode(ntNPCDialogue, 500, 300);
    ASSERT_EQ(empty.NodeCount(), 1);
    EXPECT_TRUE(empty.NodeAt(0)->IsStartNode());
}

TEST_F(CanvasInteraction, DuplicateIdentifiersDeleteTheNodeThatWasSelected)
{
    B->SetID(A->ID());
    Click(&W, Centre(A));
    W.DeleteSelected();
    ASSERT_EQ(P.NodeCount(), 2);
    EXPECT_EQ(P.NodeAt(0), B);
    EXPECT_EQ(P.NodeAt(1), C);
}

TEST_F(CanvasInteraction, NodesRemovedBehindTheCanvasAreForgotten)
{
    Click(&W, Centre(A));
    Click(&W, Centre(C), Qt::ControlModifier);
    P.DeleteNode(A);   // the host deletes it without telling the canvas
    EXPECT_EQ(Selected(), QStringList{C->ID()});
    Drag(&W, Centre(C), Centre(C) + QPoint(40, 0));
    W.DeleteSelected();
    EXPECT_EQ(P.NodeCount(), 1);
    EXPECT_EQ(W.RenderToImage().size(), QSize(1000, 600));
}

TEST_F(CanvasInteraction, SetProjectCentresAndKeepsFlags)
{
    Click(&W, Centre(A));
    W.ZoomIn();
    W.SetProject(&P);
    EXPECT_TRUE(Selected().isEmpty());
    EXPECT_TRUE(A->Selected());
    EXPECT_EQ(W.Zoom(), 1.0f);
    EXPECT_EQ(QPoint(W.OffsetX(), W.OffsetY()), QPoint(500, 300));
}

}
