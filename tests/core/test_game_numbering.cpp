// Message numbers of the game export: which lines take one, lowest free
// from 100 in project order, kept across edits, and never shared.

#include "export/GameMessageNumbering.h"
#include "tests/core/test_export_fixtures.h"

#include <gtest/gtest.h>

using namespace ExportFixtures;

namespace {

QStringList Report(const QVector<TAssignedMessageNumber>& assigned)
{
    QStringList out;
    for (const TAssignedMessageNumber& a : assigned)
        out << QString::number(a.Number) + QLatin1Char(' ') + a.Where;
    return out;
}

}

TEST(GameNumbering, LinesTheScriptShowsAreNumberedInProjectOrder)
{
    TDialogueProject p;
    TDialogueNode* a = Add(p, "Node001", ntNPCDialogue, "Hello");
    Option(a, "One");
    Option(a, "");   // an option is a line even without text
    TDialogueNode* cond = Add(p, "Node002", ntConditional, "branch text");
    Option(cond, "branch");
    Add(p, "Node003", ntNPCDialogue, "  ");   // blank: nothing to show
    Add(p, "Node004", ntComment, "note");
    Add(p, "Node005", ntCombatTrigger, "Die!");
    Add(p, "Node006", ntEndDialogue, "Bye")->AddOption()->Text = "never offered";
    Add(p, "Node007", ntRandom, "r");
    Add(p, "Node008", ntScript, "s");
    Add(p, "Node009", ntQuestUpdate, "Quest noted");
    Add(p, "Node010", ntTrade, "Wares");
    Add(p, "Node011", ntPlayerReply, "Me");
    p.FloatMessages().push_back(std::make_unique<TFloatMessage>());

    EXPECT_EQ(Report(TGameMessageNumbering::Assign(p)), (QStringList {
        "100 text of node Node001", "101 option 1 of node Node001", "102 option 2 of node Node001",
        "103 text of node Node005", "104 text of node Node006", "105 text of node Node009",
        "106 text of node Node010", "107 text of node Node011", "108 float message 1" }));
    EXPECT_EQ(cond->MsgNumber(), 0);
    EXPECT_EQ(cond->PlayerOptions()[0]->MsgNumber, 0);
    EXPECT_EQ(a->PlayerOptions()[1]->MsgNumber, 102);
    EXPECT_TRUE(TGameMessageNumbering::Assign(p).isEmpty());   // nothing left to number
}

TEST(GameNumbering, HeldNumbersStayAndGapsFillFromTheLowest)
{
    TDialogueProject p;
    TDialogueNode* a = Add(p, "Node001", ntNPCDialogue, "Hello");
    a->SetMsgNumber(101);
    Option(a, "kept")->MsgNumber = 7;   // numbers below 100 are the writer's and stay
    Option(a, "new");
    TDialogueNode* b = Add(p, "Node002", ntNPCDialogue, "");
    b->SetMsgNumber(100);   // held by a line the script does not show: still never reused
    Option(b, "new too");
    EXPECT_EQ(Report(TGameMessageNumbering::Assign(p)),
              (QStringList { "102 option 2 of node Node001", "103 option 1 of node Node002" }));
    EXPECT_EQ(b->MsgNumber(), 100);
    EXPECT_EQ(a->PlayerOptions()[0]->MsgNumber, 7);
}

TEST(GameNumbering, EditingAndAddingLinesRenumbersNothingElse)
{
    TDialogueProject p;
    TDialogueNode* a = Add(p, "Node001", ntNPCDialogue, "Hello");
    Option(a, "One");
    Option(a, "Two");
    TDialogueNode* b = Add(p, "Node002", ntNPCDialogue, "Later");
    Option(b, "Three");
    TGameMessageNumbering::Assign(p);
    auto numbers = [&] {
        QVector<qint32> out;
        for (const auto& n : p.Nodes()) {
            out << n->MsgNumber();
            for (const auto& o : n->PlayerOptions())
                out << o->MsgNumber;
        }
        return out;
    };
    const QVector<qint32> before = numbers();
    EXPECT_EQ(before, (QVector<qint32> { 100, 101, 102, 103, 104 }));

    a->SetText("Hello, changed");
    a->PlayerOptions().erase(a->PlayerOptions().begin());   // its number 101 is free again
    Option(a, "Added first");
    a->PlayerOptions().insert(a->PlayerOptions().begin(), std::move(a->PlayerOptions().back()));
    a->PlayerOptions().pop_back();
    EXPECT_EQ(Report(TGameMessageNumbering::Assign(p)), QStringList { "101 option 1 of node Node001" });
    EXPECT_EQ(numbers(), (QVector<qint32> { 100, 101, 102, 103, 104 }));
    EXPECT_EQ(a->PlayerOptions()[1]->Text, "Two");
}

TEST(GameNumbering, SharedNumbersAreSplitLaterHolderRenumbered)
{
    TDialogueProject p;
    TDialogueNode* a = Add(p, "Node001", ntNPCDialogue, "Hello");
    a->SetMsgNumber(100);
    Option(a, "copy")->MsgNumber = 100;
    TDialogueNode* c = Add(p, "Node002", ntComment, "pasted");
    c->SetMsgNumber(100);   // not shown, but a duplicate is renumbered all the same
    EXPECT_EQ(Report(TGameMessageNumbering::Assign(p)),
              (QStringList { "101 option 1 of node Node001", "102 text of node Node002" }));
    EXPECT_TRUE(p.ValidateProject().filter("Duplicate message").isEmpty());
}
