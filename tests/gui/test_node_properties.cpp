// The node properties editor: list captions and pickers, the start-mark and
// link rules, the list buttons, and the window loading a rich node, writing
// every field back on OK and leaving it alone on Cancel.

#include "editors/NodeProperties.h"
#include "tests/support/TestSupport.h"
#include "shell/ThemeManager.h"
#include "tests/gui/test_node_properties_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <limits>

using namespace EditorTest;

namespace {

QStringList Lines(const QListWidget* list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}


// Node001 (start) is edited; it links to Node003 and has two options, two
// conditions and a disabled script.
class NodeFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        TThemeManager::ApplyTheme(tsAmber);
        N1 = P.AddNode(ntNPCDialogue);
        N2 = P.AddNode(ntPlayerReply);
        N3 = P.AddNode(ntNPCDialogue);
        N3->SetSpeaker("Guard");
        N3->SetText("Halt!");
        N1->SetIsStartNode(true);
        P.SetStartNodeID(N1->ID());
        N1->SetSpeaker("Marla");
        N1->SetText("You look lost.");
        N1->SetNotes("first meeting");
        N1->SetPortraitFile("marla.png");
        N1->SetVoiceFile("marla_01.wav");
        N1->SetNextNodeID(N3->ID());
        N1->SetQuestID("Q_LOST");
        N1->SetQuestFlag("MET_MARLA");
        N1->SetReputation(-20);
        N1->SetKarma(35);
        N1->SetTag("intro");
        N1->SetRandomWeight(4);
        N1->SetComment("keep short");
        N1->SetCombatScript("marla_fight.ssl");
        N1->SetMsgNumber(101);
        N1->SetProcedureName("MarlaHello");
        TPlayerOption* o1 = N1->AddOption();
        o1->Text = "Who are you?";
        o1->TargetNodeID = N2->ID();
        o1->ItemRequired = "map";
        o1->ReputationRequired = 10;
        o1->KarmaRequired = -50;
        o1->IntelligenceRequired = -3;
        o1->Reaction = rcBad;
        o1->MsgNumber = 105;
        o1->Guard = "global_var(GVAR_MET) == 1";
        TPlayerOption* o2 = N1->AddOption();
        o2->Text = "Pick the lock";
        o2->IsHidden = true;
        o2->HasSkillCheck = true;
        o2->SkillCheck.Skill = skLockpick;
        o2->SkillCheck.Difficulty = 65;
        o2->SkillCheck.XPReward = 25;
        o2->SkillCheck.CritSuccessBonus = 7;
        o2->SkillCheck.SuccessNodeID = N3->ID();
        o2->SkillCheck.FailureNodeID = N2->ID();
        o2->SkillCheck.SuccessMessage = "Click.";
        o2->SkillCheck.FailureMessage = "It holds.";
        o2->IntelligenceRequired = 6;
        o2->Reaction = rcGood;
        N1->Conditions().append({ ctGlobalVar, "GVAR_MET", coEQ, "1", boAND });
        N1->Conditions().append({ ctKarma, "KARMA", coLT, "-100", boOR });
        TNodeScript* s = N1->AddScript();
        s->EventType = seOnDialogueEnd;
        s->IsEnabled = false;
        s->ScriptCode = "end_code();";
    }
    template <class T> static T* Find(QWidget& form, const char* name)
    {
        T* w = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static int EntryOf(QComboBox* picker, const TDialogueNode* node) { return picker->findData(node->ID()); }

    TDialogueProject P;
    TDialogueNode* N1 = nullptr;
    TDialogueNode* N2 = nullptr;
    TDialogueNode* N3 = nullptr;
};

// ---------------------------------------------------------------- captions and rules

TEST(NodePropertiesTextTest, FixedListsAreInEnumerationOrder)
{
    EXPECT_EQ(NodePropertiesText::NodeTypeItems().size(), NodeTypeCount);
    EXPECT_EQ(NodePropertiesText::NodeTypeItems().front(), QStringLiteral("NPC Dialogue"));
    EXPECT_EQ(NodePropertiesText::NodeTypeItems().back(), QStringLiteral("Comment"));
    EXPECT_EQ(NodePropertiesText::SkillItems().back(), QStringLiteral("Big Guns"));
    EXPECT_EQ(NodePropertiesText::ConditionTypeItems().at(ctTimeOfDay), QStringLiteral("ctTimeOfDay"));
    EXPECT_EQ(NodePropertiesText::OperatorItems(), QStringList({ "==", "!=", "<", ">", "<=", ">=" }));
    EXPECT_EQ(NodePropertiesText::BoolOpItems(), QStringList({ "AND", "OR", "NOT" }));
    EXPECT_EQ(NodePropertiesText::ScriptEventItems().at(seOnCombatStart), QStringLiteral("seOnCombatStart"));
}

TEST(NodePropertiesTextTest, NodeEntries)
{
    const struct { const char* ID; TNodeType Type; const char* Speaker; const char* Text; QString Entry; } cases[] = {
        { "Node003", ntNPCDialogue, "Guard", "Halt!", "[Node003] NPC Dialogue - Guard: Halt!" },
        { "Node004", ntEndDialogue, "", "", "[Node004] End Dialogue" },
        { "Node005", ntTrade, "", "   ", "[Node005] Trade" },
        { "NodeWithALongId", ntComment, "Me", "", "[NodeWith] Comment - Me" },
        { "Node006", ntRandom, "", "  Thirty-one characters of text here.", "[Node006] Random: Thirty-one characters of tex" },
    };
    for (const auto& c : cases) {
        TDialogueNode node(c.ID, c.Type);
        node.SetSpeaker(c.Speaker);
        node.SetText(c.Text);
        EXPECT_EQ(NodePropertiesText::NodeEntryText(node), c.Entry);
    }
    TDialogueNode long16("ABCDEFGHIJKLMNOPQRSTUV", ntScript);
    EXPECT_EQ(NodePropertiesText::Title(long16), QStringLiteral("Node Properties  [ABCDEFGHIJKLMNOP]  - Script"));
}

TEST(NodePropertiesTextTest, ListCaptions)
{
    const struct { const char* Text; bool Skill, Hidden; QString Caption; } options[] = {
        { "Hello", false, false, "Hello" },
        { "", false, false, "(empty)" },
        { "Pick", true, false, "[SKILL] Pick" },
        { "Sneak", false, true, "[H] Sneak" },
        { "Both", true, true, "[H] [SKILL] Both" },
    };
    for (const auto& o : options) {
        TPlayerOption option;
        option.Text = o.Text;
        option.HasSkillCheck = o.Skill;
        option.IsHidden = o.Hidden;
        EXPECT_EQ(NodePropertiesText::OptionCaption(option), o.Caption);
    }
    EXPECT_EQ(NodePropertiesText::ConditionCaption({ ctSkillCheck, "SPEECH", coGTE, "50", boAND }),
              QStringLiteral("ctSkillCheck SPEECH >= 50"));
    EXPECT_EQ(NodePropertiesText::ConditionCaption({ ctRandom, "", coNEQ, "", boNOT }), QStringLiteral("ctRandom  != "));
    TNodeScript script;
    EXPECT_EQ(NodePropertiesText::ScriptCaption(script), QStringLiteral("seOnNodeEnter"));
    script.IsEnabled = false;
    script.EventType = seOnQuestUpdate;
    EXPECT_EQ(NodePropertiesText::ScriptCaption(script), QStringLiteral("[OFF] seOnQuestUpdate"));
    EXPECT_EQ(NodePropertiesText::NewScriptCode(),
              QStringLiteral("// Script code here\r\nprocedure OnNodeEnter(npc, player: TEntity; nodeID: string);\r\n"
                             "begin\r\n  // Your code\r\nend;"));
}

TEST_F(NodeFixture, PickerListsEveryOtherNodeAfterNone)
{
    const TNodePicker picker(P, N1);
    ASSERT_EQ(picker.Entries().size(), 3);
    EXPECT_EQ(picker.Entries()[0].Text, QStringLiteral("(none)"));
    EXPECT_EQ(picker.Entries()[1].NodeID, N2->ID());
    EXPECT_EQ(picker.Entries()[2].Text, QStringLiteral("[Node003] NPC Dialogue - Guard: Halt!"));
    EXPECT_EQ(picker.IndexOfNode(N1->ID()), -1);
    EXPECT_EQ(picker.IndexOfNode(QString()), -1);
    EXPECT_EQ(picker.IndexOfNode(N3->ID()), 2);

    const QString entry3 = picker.Entries()[2].Text;
    const struct { int Index; QString Shown; QString Link; } cases[] = {
        { 0, "(none)", "" },                    // "(none)" chosen
        { 2, entry3, "Node003" },               // an entry chosen
        { -1, "", "" },                         // empty target
        { -1, "Node001", "Node001" },           // typed id of the edited node itself
        { -1, "Node999", "Node999" },           // typed id of no node: kept, the check reports it
        { 2, "typed over", "typed over" },      // text typed over a chosen entry wins
        { -1, entry3, "Node003" },              // an entry's text typed out in full
        { 7, "x", "x" },                        // stale index outside the list
    };
    for (const auto& c : cases)
        EXPECT_EQ(picker.LinkFor(c.Index, c.Shown), c.Link) << c.Shown.toStdString();
}

TEST_F(NodeFixture, StartMarkMovesTheProjectStartOnlyWhenSet)
{
    ApplyStartMark(*N2, &P, true);
    EXPECT_TRUE(N2->IsStartNode());
    EXPECT_FALSE(N1->IsStartNode());
    EXPECT_FALSE(N3->IsStartNode());
    EXPECT_EQ(P.StartNodeID(), N2->ID());

    ApplyStartMark(*N2, &P, false);
    EXPECT_FALSE(N2->IsStartNode());
    EXPECT_EQ(P.StartNodeID(), N2->ID());

    // An unchanged tick touches nothing else.
    N3->SetIsStartNode(true);
    ApplyStartMark(*N3, &P, true);
    EXPECT_EQ(P.StartNodeID(), N2->ID());
}

TEST_F(NodeFixture, ListButtonsOnTheNode)
{
    TDialogueNode& n = *N1;
    auto texts = [&n] {
        QStringList t;
        for (const auto& o : n.PlayerOptions())
            t << o->Text;
        return t;
    };
    EXPECT_EQ(NodeListOps::AddOption(n), 2);
    EXPECT_EQ(n.PlayerOptions()[2]->Text, QStringLiteral("New response option"));
    EXPECT_TRUE(n.PlayerOptions()[2]->ID.startsWith("N_"));
    EXPECT_EQ(NodeListOps::MoveOption(n, 0, -1), -1);
    EXPECT_EQ(NodeListOps::MoveOption(n, 2, +1), -1);
    EXPECT_EQ(NodeListOps::MoveOption(n, 2, -1), 1);
    EXPECT_EQ(texts(), QStringList({ "Who are you?", "New response option", "Pick the lock" }));
    EXPECT_EQ(NodeListOps::MoveOption(n, 0, +1), 1);
    EXPECT_EQ(texts(), QStringList({ "New response option", "Who are you?", "Pick the lock" }));
    EXPECT_EQ(NodeListOps::DeleteOption(n, 2), 1);   // the last one: select the new last
    EXPECT_EQ(NodeListOps::DeleteOption(n, 0), 0);   // same index
    EXPECT_EQ(NodeListOps::DeleteOption(n, 5), -1);
    EXPECT_EQ(NodeListOps::DeleteOption(n, 0), -1);  // the only one: nothing left to select
    EXPECT_TRUE(n.PlayerOptions().empty());

    EXPECT_EQ(NodeListOps::AddCondition(n), 2);
    EXPECT_EQ(n.Conditions()[2], (TCondition{ ctSkillCheck, "SPEECH", coGTE, "50", boAND }));
    EXPECT_TRUE(NodeListOps::DeleteCondition(n, 0));
    EXPECT_FALSE(NodeListOps::DeleteCondition(n, -1));
    EXPECT_EQ(n.Conditions().size(), 2);

    EXPECT_EQ(NodeListOps::AddScript(n), 1);
    EXPECT_EQ(n.Scripts()[1]->EventType, seOnNodeEnter);
    EXPECT_TRUE(n.Scripts()[1]->IsEnabled);
    EXPECT_EQ(n.Scripts()[1]->ScriptCode, NodePropertiesText::NewScriptCode());
    EXPECT_TRUE(NodeListOps::DeleteScript(n, 0));
    EXPECT_FALSE(NodeListOps::DeleteScript(n, 1));
}

TEST(NodeOptionDetailsTest, SkillFieldsAreStoredOnlyWithTheTickAndKeepTheBonus)
{
    TPlayerOption option;
    option.SkillCheck.CritSuccessBonus = 12;
    option.SkillCheck.Difficulty = 30;
    TOptionDetails d = TOptionDetails::From(option);
    d.SkillCheck.Difficulty = 80;
    d.SkillCheck.CritSuccessBonus = 99;
    d.HasSkillCheck = false;
    d.StoreInto(option);
    EXPECT_EQ(option.SkillCheck.Difficulty, 30);
    d.HasSkillCheck = true;
    d.StoreInto(option);
    EXPECT_EQ(option.SkillCheck.Difficulty, 80);
    EXPECT_EQ(option.SkillCheck.CritSuccessBonus, 12);
}

TEST(NodeOptionDetailsTest, IntelligenceRequirementAsKindAndAmount)
{
    constexpr qint32 lowest = std::numeric_limits<qint32>::min();
    constexpr qint32 highest = std::numeric_limits<qint32>::max();
    const struct { qint32 Stored; int Kind; int Amount; qint32 StoredBack; } cases[] = {
        { 0, ikNone, 4, 0 },       { 4, ikAtLeast, 4, 4 },         { 1, ikAtLeast, 1, 1 },
        { 10, ikAtLeast, 10, 10 }, { 15, ikAtLeast, 15, 15 },      { -3, ikAtMost, 3, -3 },
        { -1, ikAtMost, 1, -1 },   { highest, ikAtLeast, highest, highest },
        { lowest, ikAtMost, highest, -highest },   // the one value with no positive twin
    };
    for (const auto& c : cases) {
        const TIntelligenceChoice choice = TIntelligenceChoice::From(c.Stored);
        EXPECT_EQ(choice.Kind, c.Kind) << c.Stored;
        EXPECT_EQ(choice.Amount, c.Amount) << c.Stored;
        EXPECT_EQ(choice.Required(), c.StoredBack) << c.Stored;
    }
    EXPECT_EQ((TIntelligenceChoice{ ikNone, 7 }.Required()), 0);
    EXPECT_EQ(TIntelligenceChoice::UsualAmount(ikAtLeast), 4);
    EXPECT_EQ(TIntelligenceChoice::UsualAmount(ikAtMost), 3);
    EXPECT_EQ(NodePropertiesText::IntelligenceKindItems().size(), 3);
    EXPECT_EQ(NodePropertiesText::ReactionItems(), QStringList({ "Good", "Neutral", "Bad" }));
}

// ---------------------------------------------------------------- the window

TEST_F(NodeFixture, LoadsEveryFieldOfTheNode)
{
    TNodePropertiesForm form(nullptr, N1, &P);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Node Properties"));
    EXPECT_EQ(form.size(), QSize(820, 680));
    EXPECT_EQ(Find<QLabel>(form, "lblTitle")->text(), QStringLiteral("Node Properties  [Node001]  - NPC Dialogue"));
    EXPECT_EQ(Find<QComboBox>(form, "cmbNodeType")->currentIndex(), int(ntNPCDialogue));
    EXPECT_EQ(Find<QLineEdit>(form, "edtSpeaker")->text(), QStringLiteral("Marla"));
    EXPECT_EQ(Find<QPlainTextEdit>(form, "memoText")->toPlainText(), QStringLiteral("You look lost."));
    EXPECT_EQ(Find<QPlainTextEdit>(form, "memoNotes")->toPlainText(), QStringLiteral("first meeting"));
    EXPECT_EQ(Find<QLineEdit>(form, "edtPortrait")->text(), QStringLiteral("marla.png"));
    EXPECT_EQ(Find<QLineEdit>(form, "edtVoice")->text(), QStringLiteral("marla_01.wav"));
    auto* next = Find<QComboBox>(form, "cmbNextNode");
    EXPECT_EQ(next->currentIndex(), EntryOf(next, N3));
    EXPECT_EQ(next->count(), 3);
    EXPECT_EQ(Find<QLineEdit>(form, "edtQuestID")->text(), QStringLiteral("Q_LOST"));
    EXPECT_EQ(Find<QLineEdit>(form, "edtQuestFlag")->text(), QStringLiteral("MET_MARLA"));
    EXPECT_EQ(Find<QSpinBox>(form, "spnReputation")->value(), -20);
    EXPECT_EQ(Find<QSpinBox>(form, "spnKarma")->value(), 35);
    EXPECT_EQ(Find<QLineEdit>(form, "edtTag")->text(), QStringLiteral("intro"));
    EXPECT_EQ(Find<QSpinBox>(form, "spnWeight")->value(), 4);
    EXPECT_TRUE(Find<QCheckBox>(form, "chkStartNode")->isChecked());
    EXPECT_EQ(Find<QPlainTextEdit>(form, "memoComment")->toPlainText(), QStringLiteral("keep short"));
    EXPECT_EQ(Find<QLineEdit>(form, "edtCombatScript")->text(), QStringLiteral("marla_fight.ssl"));
    EXPECT_EQ(Find<QSpinBox>(form, "spnMsgNumber")->value(), 101);
    EXPECT_EQ(Find<QLineEdit>(form, "edtProcedure")->text(), QStringLiteral("MarlaHello"));

    EXPECT_EQ(Lines(Find<QListWidget>(form, "lstOptions")), QStringList({ "Who are you?", "[H] [SKILL] Pick the lock" }));
    EXPECT_EQ(Lines(Find<QListWidget>(form, "lstConditions")),
              QStringList({ "ctGlobalVar GVAR_MET == 1", "ctKarma KARMA < -100" }));
    EXPECT_EQ(Find<QLabel>(form, "lblCondSummary")->text(), QStringLiteral("Total conditions: 2"));
    EXPECT_EQ(Lines(Find<QListWidget>(form, "lstScripts")), QStringList{ "[OFF] seOnDialogueEnd" });
}

TEST_F(NodeFixture, SelectingShowsTheDetailsOfOptionConditionAndScript)
{
    TNodePropertiesForm form(nullptr, N1, &P);
    auto* panel = Find<QWidget>(form, "pnlSkillCheck");
    EXPECT_EQ(Find<QLabel>(form, "lblDifficulty")->text(), QStringLiteral("50"));
    form.SelectOption(0);
    EXPECT_EQ(Find<QLineEdit>(form, "edtOptionText")->text(), QStringLiteral("Who are you?"));
    auto* target = Find<QComboBox>(form, "cmbTargetNode");
    EXPECT_EQ(target->currentIndex(), EntryOf(target, N2));
    EXPECT_EQ(Find<QLineEdit>(form, "edtItemReq")->text(), QStringLiteral("map"));
    EXPECT_EQ(Find<QSpinBox>(form, "spnRepReq")->value(), 10);
    EXPECT_EQ(Find<QSpinBox>(form, "spnKarmaReq")->value(), -50);
    EXPECT_EQ(Find<QComboBox>(form, "cmbIntelligence")->currentIndex(), int(ikAtMost));
    EXPECT_EQ(Find<QSpinBox>(form, "spnIntelligence")->value(), 3);
    EXPECT_TRUE(Find<QSpinBox>(form, "spnIntelligence")->isEnabled());
    EXPECT_EQ(Find<QComboBox>(form, "cmbReaction")->currentText(), QStringLiteral("Bad"));
    EXPECT_EQ(Find<QLineEdit>(form, "edtGuard")->text(), QStringLiteral("global_var(GVAR_MET) == 1"));
    EXPECT_EQ(Find<QSpinBox>(form, "spnOptionMsg")->value(), 105);
    EXPECT_TRUE(panel->isHidden());

    form.SelectOption(1);
    EXPECT_TRUE(Find<QCheckBox>(form, "chkHidden")->isChecked());
    EXPECT_EQ(Find<QComboBox>(form, "cmbIntelligence")->currentIndex(), int(ikAtLeast));
    EXPECT_EQ(Find<QSpinBox>(form, "spnIntelligence")->value(), 6);
    EXPECT_EQ(Find<QComboBox>(form, "cmbReaction")->currentText(), QStringLiteral("Good"));
    EXPECT_TRUE(Find<QLineEdit>(form, "edtGuard")->text().isEmpty());
    EXPECT_EQ(Find<QSpinBox>(form, "spnOptionMsg")->value(), 0);
    EXPECT_EQ(Find<QSpinBox>(form, "spnOptionMsg")->text(), QStringLiteral("(none yet)"));
    EXPECT_FALSE(panel->isHidden());
    EXPECT_EQ(Find<QComboBox>(form, "cmbSkill")->currentText(), QStringLiteral("Lockpick"));
    EXPECT_EQ(Find<QSlider>(form, "trkDifficulty")->value(), 65);
    EXPECT_EQ(Find<QLabel>(form, "lblDifficulty")->text(), QStringLiteral("65%"));
    EXPECT_EQ(Find<QSpinBox>(form, "spnXPReward")->value(), 25);
    auto* success = Find<QComboBox>(form, "cmbSuccessNode");
    auto* failure = Find<QComboBox>(form, "cmbFailureNode");
    EXPECT_EQ(success->currentIndex(), EntryOf(success, N3));
    EXPECT_EQ(failure->currentIndex(), EntryOf(failure, N2));
    EXPECT_EQ(Find<QLineEdit>(form, "edtSuccessMsg")->text(), QStringLiteral("Click."));
    EXPECT_EQ(Find<QLineEdit>(form, "edtFailureMsg")->text(), QStringLiteral("It holds."));

    Find<QCheckBox>(form, "chkSkillCheck")->setChecked(false);
    EXPECT_TRUE(panel->isHidden());
    Find<QCheckBox>(form, "chkSkillCheck")->setChecked(true);
    EXPECT_FALSE(panel->isHidden());

    form.SelectCondition(1);
    EXPECT_EQ(Find<QComboBox>(form, "cmbCondType")->currentText(), QStringLiteral("ctKarma"));
    EXPECT_EQ(Find<QLineEdit>(form, "edtCondVariable")->text(), QStringLiteral("KARMA"));
    EXPECT_EQ(Find<QComboBox>(form, "cmbCondOperator")->currentText(), QStringLiteral("<"));
    EXPECT_EQ(Find<QLineEdit>(form, "edtCondValue")->text(), QStringLiteral("-100"));
    EXPECT_EQ(Find<QComboBox>(form, "cmbCondBoolOp")->currentText(), QStringLiteral("OR"));

    form.SelectScript(0);
    EXPECT_EQ(Find<QComboBox>(form, "cmbScriptEvent")->currentText(), QStringLiteral("seOnDialogueEnd"));
    EXPECT_FALSE(Find<QCheckBox>(form, "chkScriptEnabled")->isChecked());
    EXPECT_EQ(Find<QPlainTextEdit>(form, "memoScriptCode")->toPlainText(), QStringLiteral("end_code();"));
}

TEST_F(NodeFixture, OkWritesEveryChangedFieldBack)
{
    RunWhenModal([this](QWidget* w) {
        auto& form = *static_cast<TNodePropertiesForm*>(w);
        Find<QComboBox>(form, "cmbNodeType")->setCurrentIndex(ntQuestUpdate);
        Find<QLineEdit>(form, "edtSpeaker")->setText("Marla the Trader");
        Find<QPlainTextEdit>(form, "memoText")->setPlainText("Line one\nLine two");
        Find<QPlainTextEdit>(form, "memoNotes")->setPlainText("n");
        Find<QLineEdit>(form, "edtPortrait")->setText("p.png");
        Find<QLineEdit>(form, "edtVoice")->setText("v.ogg");
        auto* next = Find<QComboBox>(form, "cmbNextNode");
        next->setCurrentIndex(EntryOf(next, N2));
        Find<QLineEdit>(form, "edtQuestID")->setText("Q2");
        Find<QLineEdit>(form, "edtQuestFlag")->setText("F2");
        Find<QSpinBox>(form, "spnReputation")->setValue(1000);
        Find<QSpinBox>(form, "spnKarma")->setValue(-1000);
        Find<QLineEdit>(form, "edtTag")->setText("t2");
        Find<QSpinBox>(form, "spnWeight")->setValue(100);
        Find<QPlainTextEdit>(form, "memoComment")->setPlainText("c2");
        Find<QLineEdit>(form, "edtCombatScript")->setText("cs2");
        Find<QSpinBox>(form, "spnMsgNumber")->setValue(250);
        Find<QLineEdit>(form, "edtProcedure")->setText("MarlaAgain");

        form.SelectOption(1);
        Find<QLineEdit>(form, "edtOptionText")->setText("Force it");
        auto* target = Find<QComboBox>(form, "cmbTargetNode");
        target->setCurrentIndex(EntryOf(target, N3));
        Find<QCheckBox>(form, "chkHidden")->setChecked(false);
        Find<QLineEdit>(form, "edtItemReq")->setText("crowbar");
        Find<QSpinBox>(form, "spnRepReq")->setValue(-5);
        Find<QSpinBox>(form, "spnKarmaReq")->setValue(5);
        Find<QComboBox>(form, "cmbIntelligence")->setCurrentIndex(ikAtMost);
        Find<QSpinBox>(form, "spnIntelligence")->setValue(2);
        Find<QComboBox>(form, "cmbReaction")->setCurrentIndex(rcNeutral);
        Find<QLineEdit>(form, "edtGuard")->setText("dude_iq >= 7");
        Find<QSpinBox>(form, "spnOptionMsg")->setValue(120);
        Find<QComboBox>(form, "cmbSkill")->setCurrentIndex(skRepair);
        Find<QSlider>(form, "trkDifficulty")->setValue(90);
        Find<QSpinBox>(form, "spnXPReward")->setValue(300);
        Find<QComboBox>(form, "cmbSuccessNode")->setCurrentIndex(0);
        Find<QLineEdit>(form, "edtSuccessMsg")->setText("Pop.");
        Find<QLineEdit>(form, "edtFailureMsg")->setText("Clang.");

        form.SelectCondition(0);
        Find<QComboBox>(form, "cmbCondType")->setCurrentIndex(ctQuestFlag);
        Find<QLineEdit>(form, "edtCondVariable")->setText("Q_LOST");
        Find<QComboBox>(form, "cmbCondOperator")->setCurrentIndex(coNEQ);
        Find<QLineEdit>(form, "edtCondValue")->setText("2");
        Find<QComboBox>(form, "cmbCondBoolOp")->setCurrentIndex(boNOT);

        form.SelectScript(0);
        Find<QComboBox>(form, "cmbScriptEvent")->setCurrentIndex(seOnSkillCheck);
        Find<QCheckBox>(form, "chkScriptEnabled")->setChecked(true);
        Find<QPlainTextEdit>(form, "memoScriptCode")->setPlainText("x := 1;");
        ClickButton(&form, "OK");
    });
    ASSERT_TRUE(TNodePropertiesForm::Execute(nullptr, N1, &P));

    EXPECT_EQ(N1->NodeType(), ntQuestUpdate);
    EXPECT_EQ(N1->Speaker(), QStringLiteral("Marla the Trader"));
    EXPECT_EQ(N1->Text(), QStringLiteral("Line one\nLine two"));
    EXPECT_EQ(N1->Notes(), QStringLiteral("n"));
    EXPECT_EQ(N1->PortraitFile(), QStringLiteral("p.png"));
    EXPECT_EQ(N1->VoiceFile(), QStringLiteral("v.ogg"));
    EXPECT_EQ(N1->NextNodeID(), N2->ID());
    EXPECT_EQ(N1->QuestID(), QStringLiteral("Q2"));
    EXPECT_EQ(N1->QuestFlag(), QStringLiteral("F2"));
    EXPECT_EQ(N1->Reputation(), 1000);
    EXPECT_EQ(N1->Karma(), -1000);
    EXPECT_EQ(N1->Tag(), QStringLiteral("t2"));
    EXPECT_EQ(N1->RandomWeight(), 100);
    EXPECT_EQ(N1->Comment(), QStringLiteral("c2"));
    EXPECT_EQ(N1->CombatScript(), QStringLiteral("cs2"));
    EXPECT_EQ(N1->MsgNumber(), 250);
    EXPECT_EQ(N1->ProcedureName(), QStringLiteral("MarlaAgain"));
    EXPECT_TRUE(N1->IsStartNode());

    const TPlayerOption& o = *N1->PlayerOptions()[1];
    EXPECT_EQ(o.Text, QStringLiteral("Force it"));
    EXPECT_EQ(o.TargetNodeID, N3->ID());
    EXPECT_FALSE(o.IsHidden);
    EXPECT_EQ(o.ItemRequired, QStringLiteral("crowbar"));
    EXPECT_EQ(o.ReputationRequired, -5);
    EXPECT_EQ(o.KarmaRequired, 5);
    EXPECT_EQ(o.IntelligenceRequired, -2);
    EXPECT_EQ(o.Reaction, rcNeutral);
    EXPECT_EQ(o.Guard, QStringLiteral("dude_iq >= 7"));
    EXPECT_EQ(o.MsgNumber, 120);
    EXPECT_TRUE(o.HasSkillCheck);
    EXPECT_EQ(o.SkillCheck.Skill, skRepair);
    EXPECT_EQ(o.SkillCheck.Difficulty, 90);
    EXPECT_EQ(o.SkillCheck.XPReward, 300);
    EXPECT_EQ(o.SkillCheck.CritSuccessBonus, 7);
    EXPECT_TRUE(o.SkillCheck.SuccessNodeID.isEmpty());
    EXPECT_EQ(o.SkillCheck.FailureNodeID, N2->ID());
    EXPECT_EQ(o.SkillCheck.SuccessMessage, QStringLiteral("Pop."));
    EXPECT_EQ(o.SkillCheck.FailureMessage, QStringLiteral("Clang."));
    const TPlayerOption& untouched = *N1->PlayerOptions()[0];   // not shown: its fields stay
    EXPECT_EQ(untouched.IntelligenceRequired, -3);
    EXPECT_EQ(untouched.Reaction, rcBad);
    EXPECT_EQ(untouched.MsgNumber, 105);
    EXPECT_EQ(untouched.Guard, QStringLiteral("global_var(GVAR_MET) == 1"));

    EXPECT_EQ(N1->Conditions()[0], (TCondition{ ctQuestFlag, "Q_LOST", coNEQ, "2", boNOT }));
    EXPECT_EQ(N1->Conditions()[1], (TCondition{ ctKarma, "KARMA", coLT, "-100", boOR }));
    EXPECT_EQ(N1->Scripts()[0]->EventType, seOnSkillCheck);
    EXPECT_TRUE(N1->Scripts()[0]->IsEnabled);
    EXPECT_EQ(N1->Scripts()[0]->ScriptCode, QStringLiteral("x := 1;"));
}

TEST_F(NodeFixture, CancelChangesNothingButKeepsWhatTheListButtonsDid)
{
    const QString before = TestSupport::DocumentText(P);
    RunWhenModal([this](QWidget* w) {
        auto& form = *static_cast<TNodePropertiesForm*>(w);
        Find<QLineEdit>(form, "edtSpeaker")->setText("changed");
        Find<QCheckBox>(form, "chkStartNode")->setChecked(false);
        form.SelectCondition(0);
        Find<QLineEdit>(form, "edtCondValue")->setText("9");
        Find<QSpinBox>(form, "spnMsgNumber")->setValue(999);
        Find<QLineEdit>(form, "edtProcedure")->setText("Other");
        form.SelectOption(0);
        Find<QComboBox>(form, "cmbIntelligence")->setCurrentIndex(ikNone);
        Find<QComboBox>(form, "cmbReaction")->setCurrentIndex(rcGood);
        Find<QLineEdit>(form, "edtGuard")->clear();
        Find<QSpinBox>(form, "spnOptionMsg")->setValue(0);
        ClickButton(&form, "Cancel");
    });
    EXPECT_FALSE(TNodePropertiesForm::Execute(nullptr, N1, &P));
    EXPECT_EQ(TestSupport::DocumentText(P), before);

    RunWhenModal([](QWidget* form) {
        ClickButton(form, "+ Add Option");
        ClickButton(form, "Cancel");
    });
    EXPECT_FALSE(TNodePropertiesForm::Execute(nullptr, N1, &P));
    ASSERT_EQ(N1->PlayerOptions().size(), 3u);
    EXPECT_EQ(N1->PlayerOptions()[2]->Text, QStringLiteral("New response option"));
}

TEST_F(NodeFixture, ApplyStoresAndStaysOpen)
{
    TNodePropertiesForm form(nullptr, N1, &P);
    Find<QLineEdit>(form, "edtSpeaker")->setText("Applied");
    form.SelectOption(0);
    Find<QCheckBox>(form, "chkHidden")->setChecked(true);
    ClickButton(&form, "Apply");
    EXPECT_EQ(N1->Speaker(), QStringLiteral("Applied"));
    EXPECT_TRUE(N1->PlayerOptions()[0]->IsHidden);
    EXPECT_EQ(Find<QListWidget>(form, "lstOptions")->item(0)->text(), QStringLiteral("[H] Who are you?"));
    EXPECT_EQ(form.result(), 0);
}

TEST_F(NodeFixture, OptionTextIsWrittenThroughAtOnce)
{
    int repaints = 0;
    TNodePropertiesForm form(nullptr, N1, &P, [&repaints] { ++repaints; });
    form.SelectOption(1);
    Find<QLineEdit>(form, "edtOptionText")->setText("Jimmy it");
    EXPECT_EQ(N1->PlayerOptions()[1]->Text, QStringLiteral("Jimmy it"));
    EXPECT_EQ(Find<QListWidget>(form, "lstOptions")->item(1)->text(), QStringLiteral("[H] [SKILL] Jimmy it"));
    EXPECT_GE(repaints, 1);
    // Other detail edits wait for OK and are dropped by switching away.
    Find<QLineEdit>(form, "edtItemReq")->setText("pin");
    form.SelectOption(0);
    form.SelectOption(1);
    EXPECT_TRUE(N1->PlayerOptions()[1]->ItemRequired.isEmpty());
    EXPECT_TRUE(Find<QLineEdit>(form, "edtItemReq")->text().isEmpty());
}

TEST_F(NodeFixture, OptionListButtonsInTheWindow)
{
    TNodePropertiesForm form(nullptr, N1, &P);
    auto* list = Find<QListWidget>(form, "lstOptions");
    Find<QPushButton>(form, "btnDeleteOption")->click();   // nothing selected
    ClickButton(&form, "Up");
    EXPECT_EQ(N1->PlayerOptions().size(), 2u);

    ClickButton(&form, "+ Add Option");
    EXPECT_EQ(list->currentRow(), 2);
    EXPECT_EQ(Find<QLineEdit>(form, "edtOptionText")->text(), QStringLiteral("New response option"));
    ClickButton(&form, "Down");     // already last
    EXPECT_EQ(list->currentRow(), 2);
    ClickButton(&form, "Up");
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(Lines(list), QStringList({ "Who are you?", "New response option", "[H] [SKILL] Pick the lock" }));
    form.SelectOption(0);
    ClickButton(&form, "Up");       // already first
    EXPECT_EQ(Lines(list).front(), QStringLiteral("Who are you?"));

    form.SelectOption(2);
    Find<QPushButton>(form, "btnDeleteOption")->click();
    EXPECT_EQ(list->currentRow(), 1);
    Find<QPushButton>(form, "btnDeleteOption")->click();
    Find<QPushButton>(form, "btnDeleteOption")->click();
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(list->currentRow(), -1);
    EXPECT_TRUE(N1->PlayerOptions().empty());
}

TEST_F(NodeFixture, ConditionAndScriptButtonsInTheWindow)
{
    TNodePropertiesForm form(nullptr, N1, &P);
    ClickButton(&form, "+ Add Condition");
    EXPECT_EQ(Lines(Find<QListWidget>(form, "lstConditions")).back(), QStringLiteral("ctSkillCheck SPEECH >= 50"));
    EXPECT_EQ(Find<QLabel>(form, "lblCondSummary")->text(), QStringLiteral("Total conditions: 3"));
    EXPECT_EQ(Find<QListWidget>(form, "lstConditions")->currentRow(), 2);
    EXPECT_EQ(Find<QLineEdit>(form, "edtCondVariable")->text(), QStringLiteral("SPEECH"));
    form.SelectCondition(0);
    Find<QPushButton>(form, "btnDeleteCondition")->click();
    EXPECT_EQ(N1->Conditions().size(), 2);
    EXPECT_EQ(N1->Conditions()[0].Variable, QStringLiteral("KARMA"));
    EXPECT_EQ(Find<QListWidget>(form, "lstConditions")->currentRow(), -1);
    Find<QPushButton>(form, "btnDeleteCondition")->click();   // nothing selected
    EXPECT_EQ(N1->Conditions().size(), 2);
    EXPECT_EQ(Find<QLabel>(form, "lblCondSummary")->text(), QStringLiteral("Total conditions: 2"));

    ClickButton(&form, "+ Add Script");
    EXPECT_EQ(Lines(Find<QListWidget>(form, "lstScripts")), QStringList({ "[OFF] seOnDialogueEnd", "seOnNodeEnter" }));
    EXPECT_EQ(Find<QPlainTextEdit>(form, "memoScriptCode")->toPlainText(),
              NodePropertiesText::NewScriptCode().replace("\r\n", "\n"));
    form.StoreAll();   // the box shows LF breaks; the stored code keeps its CR LF
    EXPECT_EQ(N1->Scripts()[1]->ScriptCode, NodePropertiesText::NewScriptCode());
    Find<QPushButton>(form, "btnDeleteScript")->click();
    EXPECT_EQ(N1->Scripts().size(), 1u);
    EXPECT_EQ(N1->Scripts()[0]->ScriptCode, QStringLiteral("end_code();"));
}

TEST_F(NodeFixture, LinksToTheEditedNodeItselfSurviveOk)
{
    N1->SetNextNodeID(N1->ID());
    N1->PlayerOptions()[0]->TargetNodeID = N1->ID();
    TNodePropertiesForm form(nullptr, N1, &P);
    auto* next = Find<QComboBox>(form, "cmbNextNode");
    EXPECT_EQ(next->currentIndex(), -1);
    EXPECT_EQ(next->currentText(), N1->ID());
    form.SelectOption(0);
    auto* target = Find<QComboBox>(form, "cmbTargetNode");
    EXPECT_EQ(target->currentIndex(), -1);
    EXPECT_EQ(target->currentText(), N1->ID());
    form.accept();
    EXPECT_EQ(N1->NextNodeID(), N1->ID());
    EXPECT_EQ(N1->PlayerOptions()[0]->TargetNodeID, N1->ID());
}

TEST_F(NodeFixture, TypedAndOutOfRangeInputs)
{
    N1->SetReputation(5000);
    N1->SetRandomWeight(0);
    N1->PlayerOptions()[0]->KarmaRequired = -7000;
    TNodePropertiesForm form(nullptr, N1, &P);
    form.SelectOption(0);
    const struct { const char* Picker; QString Typed; QString Stored; } cases[] = {
        { "cmbNextNode", "", "" },
        { "cmbNextNode", "Node404", "Node404" },
        { "cmbNextNode", "(none)", "" },
        { "cmbTargetNode", "", "" },
        { "cmbTargetNode", "Node404", "Node404" },
        { "cmbTargetNode", " Node002 ", " Node002 " },
    };
    for (const auto& c : cases) {
        auto* picker = Find<QComboBox>(form, c.Picker);
        picker->setCurrentIndex(-1);
        picker->setEditText(c.Typed);
        form.StoreAll();
        const QString stored = QString::fromLatin1(c.Picker) == "cmbNextNode" ? N1->NextNodeID()
                                                                             : N1->PlayerOptions()[0]->TargetNodeID;
        EXPECT_EQ(stored, c.Stored) << c.Picker << " '" << c.Typed.toStdString() << "'";
    }
    EXPECT_EQ(N1->Reputation(), 1000);
    EXPECT_EQ(N1->RandomWeight(), 1);
    EXPECT_EQ(N1->PlayerOptions()[0]->KarmaRequired, -1000);
}

TEST_F(NodeFixture, OkKeepsGameScriptFieldsItDoesNotTouch)
{
    // Out-of-range intelligence and a guard of two lines from a hand-edited
    // file, confirmed unchanged: nothing is clipped or reset.
    N1->PlayerOptions()[0]->IntelligenceRequired = 15;
    N1->PlayerOptions()[0]->MsgNumber = std::numeric_limits<int>::max();
    N1->PlayerOptions()[0]->Guard = "global_var(GVAR_A) == 1\r\n  and dude_iq > 3";
    const QString before = TestSupport::DocumentText(P);
    {
        TNodePropertiesForm form(nullptr, N1, &P);
        form.SelectOption(0);
        EXPECT_EQ(Find<QSpinBox>(form, "spnIntelligence")->value(), 15);
        form.SelectOption(1);
        form.SelectOption(0);
        form.accept();
    }
    EXPECT_EQ(TestSupport::DocumentText(P), before);

    TNodePropertiesForm form(nullptr, N1, &P);
    form.SelectOption(1);
    auto* kind = Find<QComboBox>(form, "cmbIntelligence");
    auto* amount = Find<QSpinBox>(form, "spnIntelligence");
    kind->setCurrentIndex(ikNone);
    EXPECT_FALSE(amount->isEnabled());
    kind->setCurrentIndex(ikAtMost);   // from none: the games' low-intelligence mark
    EXPECT_TRUE(amount->isEnabled());
    EXPECT_EQ(amount->value(), 3);
    amount->setValue(2);
    kind->setCurrentIndex(ikAtLeast);   // between kinds the amount stays
    EXPECT_EQ(amount->value(), 2);
    kind->setCurrentIndex(ikNone);
    form.StoreAll();
    EXPECT_EQ(N1->PlayerOptions()[1]->IntelligenceRequired, 0);
}

TEST_F(NodeFixture, ConfirmingKeepsTheLineEndsOfMultiLineTexts)
{
    N1->SetText("one\r\ntwo");
    N1->SetNotes("a\nb");
    {
        TNodePropertiesForm form(nullptr, N1, &P);
        form.accept();
    }
    EXPECT_EQ(N1->Text(), QStringLiteral("one\r\ntwo"));
    EXPECT_EQ(N1->Notes(), QStringLiteral("a\nb"));
    TNodePropertiesForm form(nullptr, N1, &P);
    Find<QPlainTextEdit>(form, "memoText")->setPlainText("one\ntwo\nthree");
    form.accept();
    EXPECT_EQ(N1->Text(), QStringLiteral("one\r\ntwo\r\nthree"));
}

TEST_F(NodeFixture, StartMarkThroughTheWindow)
{
    {
        TNodePropertiesForm form(nullptr, N3, &P);
        Find<QCheckBox>(form, "chkStartNode")->setChecked(true);
        form.accept();
    }
    EXPECT_TRUE(N3->IsStartNode());
    EXPECT_FALSE(N1->IsStartNode());
    EXPECT_EQ(P.StartNodeID(), N3->ID());
    {
        TNodePropertiesForm form(nullptr, N3, &P);
        Find<QCheckBox>(form, "chkStartNode")->setChecked(false);
        form.accept();
    }
    EXPECT_FALSE(N3->IsStartNode());
    EXPECT_EQ(P.StartNodeID(), N3->ID());
}

TEST_F(NodeFixture, FileButtonsPutTheChosenPathInTheBox)
{
    TNodePropertiesForm form(nullptr, N1, &P);
    QStringList asked;
    form.SetFileChooser([&asked](const QString& title, const QString& filter) {
        asked << title + " | " + filter;
        return title.contains("Portrait") ? QStringLiteral("/art/marla.png") : QString();
    });
    form.findChild<QPushButton*>("btnPortrait")->click();
    form.findChild<QPushButton*>("btnVoice")->click();
    EXPECT_EQ(Find<QLineEdit>(form, "edtPortrait")->text(), QStringLiteral("/art/marla.png"));
    EXPECT_EQ(Find<QLineEdit>(form, "edtVoice")->text(), QStringLiteral("marla_01.wav"));   // dialog cancelled
    EXPECT_EQ(asked, QStringList({ "Select Portrait Image | Image Files (*.png *.jpg *.bmp *.gif);;All Files (*.*)",
                                   "Select Voice Audio | Audio Files (*.wav *.ogg *.mp3);;All Files (*.*)" }));
}

TEST_F(NodeFixture, EveryPageInEveryThemeFitsWithTabsInLayoutOrderAndAccessKeys)
{
    for (int style = 0; style < ThemeStyleCount; ++style) {
        TThemeManager::ApplyTheme(TThemeStyle(style));
        TNodePropertiesForm form(nullptr, N1, &P);
        form.show();
        form.SelectOption(1);
        form.SelectCondition(0);
        form.SelectScript(0);
        auto* pages = Find<QTabWidget>(form, "tabPages");
        // Fixed-width drop-downs show their longest entry whole.
        for (const char* name : { "cmbIntelligence", "cmbReaction" }) {
            auto* combo = Find<QComboBox>(form, name);
            EXPECT_GE(combo->width(), combo->sizeHint().width()) << name;
        }
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            ExpectNothingCutOff(form);
            SaveGrab(form, QStringLiteral("node_properties_%1_page%2.png").arg(style).arg(page));
        }
        if (style == 0) {
            pages->setCurrentIndex(0);
            ExpectTabOrder(form, { "cmbNodeType", "edtSpeaker", "memoText", "memoNotes", "edtPortrait", "btnPortrait",
                                   "edtVoice", "btnVoice", "cmbNextNode", "edtQuestID", "edtQuestFlag",
                                   "spnReputation", "spnKarma", "edtTag", "spnWeight", "chkStartNode", "memoComment",
                                   "edtCombatScript", "spnMsgNumber", "edtProcedure", "btnOK", "btnApply",
                                   "btnCancel" });
            ExpectAccessKeyFocuses(form, Qt::Key_S, "edtSpeaker");
            ExpectAccessKeyFocuses(form, Qt::Key_X, "cmbNextNode");
            pages->setCurrentIndex(1);
            ExpectTabOrder(form, { "btnAddOption", "btnDeleteOption", "btnOptionUp", "btnOptionDown", "lstOptions",
                                   "edtOptionText", "cmbTargetNode", "chkHidden", "edtItemReq", "spnRepReq",
                                   "spnKarmaReq", "cmbIntelligence", "spnIntelligence", "cmbReaction",
                                   "edtGuard", "spnOptionMsg", "chkSkillCheck", "cmbSkill", "trkDifficulty", "spnXPReward",
                                   "cmbSuccessNode", "cmbFailureNode", "edtSuccessMsg", "edtFailureMsg" });
            ExpectAccessKeyFocuses(form, Qt::Key_T, "cmbTargetNode");
            ExpectAccessKeyFocuses(form, Qt::Key_V, "cmbIntelligence");
            ExpectAccessKeyFocuses(form, Qt::Key_B, "spnOptionMsg");
        }
    }
    TThemeManager::ApplyTheme(tsAmber);
}

}
