// The dialogue document: node numbering, lookup index, links, defaults.

#include "model/DialogueTypes.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

TDialogueNode* AddWithID(TDialogueProject& p, const QString& id, TNodeType type = ntNPCDialogue)
{
    return p.AppendNode(std::make_unique<TDialogueNode>(id, type));
}

}

TEST(NodeNumbering, FirstNodeIsNode001AndStart)
{
    TDialogueProject p;
    EXPECT_FALSE(p.Modified());
    TDialogueNode* n = p.AddNode(ntNPCDialogue);
    EXPECT_EQ(n->ID(), "Node001");
    EXPECT_TRUE(n->IsStartNode());
    EXPECT_TRUE(p.Modified());
    EXPECT_TRUE(p.StartNodeID().isEmpty());
    EXPECT_FALSE(p.AddNode(ntComment)->IsStartNode());
}

TEST(NodeNumbering, FollowsHighestNumberOfNodeShapedIDs)
{
    struct Case { QStringList existing; QString expected; };
    const Case cases[] = {
        { { "Node001", "Node007", "Start" }, "Node008" },
        { { "Node", "node5" }, "Node001" },
        { { "NodeX" }, "Node001" },
        { { "Node0999" }, "Node1000" },
        { { "N_ABCDEF012345", "Node041" }, "Node042" },
        { { "Node-5" }, "Node001" },
    };
    for (const Case& c : cases) {
        TDialogueProject p;
        for (const QString& id : c.existing)
            AddWithID(p, id);
        EXPECT_EQ(p.AddNode(ntNPCDialogue)->ID(), c.expected) << c.existing.join(',').toStdString();
    }
}

TEST(NodeNumbering, GapsAreReusedOnlyAtTheTop)
{
    TDialogueProject a;
    for (int i = 0; i < 3; ++i) a.AddNode(ntNPCDialogue);
    a.RemoveNode("Node003");
    EXPECT_EQ(a.AddNode(ntNPCDialogue)->ID(), "Node003");

    TDialogueProject b;
    for (int i = 0; i < 3; ++i) b.AddNode(ntNPCDialogue);
    b.RemoveNode("Node002");
    EXPECT_EQ(b.AddNode(ntNPCDialogue)->ID(), "Node004");
}

TEST(NodeLookup, DuplicateIDsFindFirstRemoveLast)
{
    TDialogueProject p;
    TDialogueNode* first = AddWithID(p, "Same");
    TDialogueNode* second = AddWithID(p, "Same");
    EXPECT_EQ(p.FindNode("Same"), first);
    p.RemoveNode("Same");
    ASSERT_EQ(p.NodeCount(), 1);
    EXPECT_EQ(p.NodeAt(0), first);
    (void)second;
}

TEST(NodeLookup, IndexFollowsRemovalAndIDChanges)
{
    TDialogueProject p;
    TDialogueNode* a = AddWithID(p, "A");
    TDialogueNode* b = AddWithID(p, "B");
    AddWithID(p, "A");
    EXPECT_EQ(p.FindNode("A"), a);
    a->SetID("Z");
    EXPECT_EQ(p.FindNode("Z"), a);
    EXPECT_EQ(p.FindNode("A"), p.NodeAt(2));
    b->SetID("A");
    EXPECT_EQ(p.FindNode("A"), b) << "the earlier node wins after a rename";
    p.DeleteNode(b);
    EXPECT_EQ(p.FindNode("A"), p.NodeAt(1));
    EXPECT_EQ(p.FindNode(""), nullptr);
    p.ClearNodes();
    EXPECT_EQ(p.FindNode("Z"), nullptr);
}

TEST(NodeLookup, RemoveMissingChangesNothing)
{
    TDialogueProject p;
    AddWithID(p, "A");
    p.SetModified(false);
    p.RemoveNode("B");
    EXPECT_FALSE(p.Modified());
    EXPECT_EQ(p.NodeCount(), 1);
}

TEST(ConnectedNodes, OrderDeduplicationAndSkillCheckTargets)
{
    TDialogueProject p;
    TDialogueNode* hub = AddWithID(p, "Hub");
    TDialogueNode* a = AddWithID(p, "A");
    TDialogueNode* b = AddWithID(p, "B");
    TDialogueNode* c = AddWithID(p, "C");
    hub->SetNextNodeID("Missing");
    for (int i = 0; i < 2; ++i)
        hub->AddOption()->TargetNodeID = "A";
    TPlayerOption* check = hub->AddOption();
    check->HasSkillCheck = true;
    check->SkillCheck.SuccessNodeID = "";
    check->SkillCheck.FailureNodeID = "C";
    TPlayerOption* noCheck = hub->AddOption();
    noCheck->SkillCheck.SuccessNodeID = "B";
    TPlayerOption* self = hub->AddOption();
    self->TargetNodeID = "Hub";

    const QVector<TDialogueNode*> expected { a, c, hub };
    EXPECT_EQ(p.GetConnectedNodes("Hub"), expected);
    EXPECT_TRUE(p.GetConnectedNodes("Nobody").isEmpty());
    (void)b;
}

TEST(ModelDefaults, NewObjectsCarryTheirDefaults)
{
    TPlayerOption o;
    EXPECT_EQ(o.KarmaRequired, -1000);
    EXPECT_TRUE(QRegularExpression("^N_[0-9A-F]{12}$").match(o.ID).hasMatch()) << o.ID.toStdString();
    EXPECT_NE(o.ID, TPlayerOption().ID);
    TNodeScript s;
    EXPECT_EQ(s.EventType, seOnNodeEnter);
    EXPECT_TRUE(s.IsEnabled);
    TFloatMessage m;
    EXPECT_FLOAT_EQ(m.TimedDuration, 3.0f);
    EXPECT_EQ(m.Priority, 5);
    EXPECT_EQ(m.Weight, 1);
    EXPECT_TRUE(m.IsAmbient);
    TDialogueNode n("X", ntTrade);
    EXPECT_EQ(n.Karma(), -1000);
    EXPECT_EQ(n.Color(), DefaultNodeColors[ntTrade]);
    EXPECT_EQ(n.Width(), 240);
    EXPECT_EQ(n.Height(), 120);
    EXPECT_EQ(DefaultColorFor(42), DefaultNodeColors[ntNPCDialogue]);
}

TEST(ModelDefaults, DisplayTables)
{
    EXPECT_STREQ(NodeTypeNames[0], "NPC Dialogue");
    EXPECT_STREQ(NodeTypeNames[9], "Comment");
    EXPECT_STREQ(SkillNames[0], "Speech");
    EXPECT_STREQ(SkillNames[11], "Big Guns");
    EXPECT_STREQ(OperatorSymbols[0], "==");
    EXPECT_STREQ(OperatorSymbols[5], ">=");
    EXPECT_EQ(RGBToColor(0x12, 0x34, 0x56), 0x563412u);
}
