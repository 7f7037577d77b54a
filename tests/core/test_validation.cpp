// Project check: every finding line, in the order of the checks.

#include "model/DialogueTypes.h"

#include <gtest/gtest.h>

namespace {

TDialogueNode* Add(TDialogueProject& p, const QString& id, TNodeType type, const QString& text = "Hi")
{
    TDialogueNode* n = p.AppendNode(std::make_unique<TDialogueNode>(id, type));
    n->SetText(text);
    return n;
}

}

TEST(Validation, EmptyProjectOnlyWarnsAboutStart)
{
    TDialogueProject p;
    EXPECT_EQ(p.ValidateProject(), QStringList { "WARNING: No start node defined" });
}

TEST(Validation, BlankTextCountsOnlyForSpokenNodes)
{
    TDialogueProject p;
    Add(p, "Node001", ntNPCDialogue, "   ");
    Add(p, "Node002", ntComment, "");
    Add(p, "Node003", ntEndDialogue, "");
    Add(p, "Node004", ntPlayerReply, "\t\n");
    p.SetStartNodeID("Node001");
    EXPECT_EQ(p.ValidateProject(),
              (QStringList { "WARNING: Node Node001 has no text", "WARNING: Node Node004 has no text" }));
}

TEST(Validation, AllFindingsInCheckOrder)
{
    TDialogueProject p;
    p.SetStartNodeID("Gone");
    TDialogueNode* a = Add(p, "Node001", ntNPCDialogue);
    a->AddOption()->TargetNodeID = "Lost";
    TPlayerOption* check = a->AddOption();
    check->HasSkillCheck = true;
    check->SkillCheck.SuccessNodeID = "S";
    check->SkillCheck.FailureNodeID = "F";
    TPlayerOption* silent = a->AddOption();
    silent->SkillCheck.SuccessNodeID = "S";
    a->SetNextNodeID("Later");
    Add(p, "node001", ntNPCDialogue);
    Add(p, "Node001", ntNPCDialogue);
    EXPECT_EQ(p.ValidateProject(), (QStringList {
        "ERROR: Node Node001 option links to missing node: Lost",
        "ERROR: Skill check success node missing in Node001",
        "ERROR: Skill check failure node missing in Node001",
        "ERROR: Node Node001 next node missing: Later",
        "ERROR: Duplicate node ID: node001",
        "ERROR: Duplicate node ID: Node001",
        "ERROR: Start node ID refers to missing node: Gone",
    }));
}

TEST(Validation, DuplicateMessageNumbersComeLast)
{
    TDialogueProject p;
    p.SetStartNodeID("Gone");
    TDialogueNode* a = Add(p, "Node001", ntNPCDialogue);
    a->SetMsgNumber(100);
    a->AddOption()->MsgNumber = 101;
    a->AddOption()->MsgNumber = 100;
    a->AddOption();   // unnumbered lines never clash
    a->AddOption();
    Add(p, "Node002", ntComment)->SetMsgNumber(101);
    auto fm = std::make_unique<TFloatMessage>();
    fm->MsgNumber = 100;
    p.FloatMessages().push_back(std::move(fm));
    EXPECT_EQ(p.ValidateProject(), (QStringList {
        "ERROR: Start node ID refers to missing node: Gone",
        "ERROR: Duplicate message number 100: option 2 of node Node001",
        "ERROR: Duplicate message number 101: text of node Node002",
        "ERROR: Duplicate message number 100: float message 1",
    }));
}

TEST(Validation, LinksAreCaseSensitive)
{
    TDialogueProject p;
    Add(p, "Node001", ntNPCDialogue)->SetNextNodeID("NODE001");
    p.SetStartNodeID("Node001");
    EXPECT_EQ(p.ValidateProject(), QStringList { "ERROR: Node Node001 next node missing: NODE001" });
}
