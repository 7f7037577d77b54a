// The preview engine: walks through small dialogues with fixed or seeded
// draws, which options show for given state, where choices lead, skill
// checks and random conditions, Back and Restart, end of a dialogue, and
// cycles and dead links that must end with a message instead of a hang.

#include "preview/PreviewSystem.h"

#include <gtest/gtest.h>

#include <deque>
#include <limits>
#include <ostream>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Hands out the draws a test queues, and counts them.
class TScriptedRandom : public IPreviewRandom {
public:
    std::deque<int> Draws;
    int Taken = 0;
    int Below(int n) override
    {
        ++Taken;
        if (Draws.empty())
            return 0;
        const int v = Draws.front();
        Draws.pop_front();
        EXPECT_LT(v, n);
        return v;
    }
};

TCondition Cond(TConditionType type, const char* variable, TConditionOperator op, const char* value,
                TBoolOp join = boAND)
{
    TCondition c;
    c.CondType = type;
    c.Variable = QString::fromUtf8(variable);
    c.Operator = op;
    c.Value = QString::fromUtf8(value);
    c.BoolOp = join;
    return c;
}

struct Dialogue {
    TDialogueProject project;
    TScriptedRandom random;
    TPreviewEngine engine{&project, &random};

    Dialogue()
    {
        project.SetName(QStringLiteral("Den Trader"));
        project.SetNPCName(QStringLiteral("Brana"));
    }
    TDialogueNode* Add(TNodeType type, const char* text = "")
    {
        TDialogueNode* n = project.AddNode(type);
        n->SetText(QString::fromUtf8(text));
        return n;
    }
    TPlayerOption* Option(TDialogueNode* from, const char* text, const TDialogueNode* to)
    {
        TPlayerOption* o = from->AddOption();
        o->Text = QString::fromUtf8(text);
        o->TargetNodeID = to ? to->ID() : QString();
        return o;
    }
    QStringList Captions() const
    {
        QStringList c;
        for (const auto& e : engine.Entries())
            c << e.Caption;
        return c;
    }
    QStringList LogTexts() const
    {
        QStringList l;
        for (const auto& line : engine.Log())
            l << line.Text;
        return l;
    }
    bool Logged(const QString& text) const { return LogTexts().contains(text); }
    int Position(const char* caption) const { return int(Captions().indexOf(QString::fromUtf8(caption))); }
};

} // namespace

// ---------------------------------------------------------------- start

TEST(PreviewEngine, StartResetsAndPicksTheStartNode)
{
    Dialogue d;
    TDialogueNode* a = d.Add(ntNPCDialogue, "First");
    TDialogueNode* b = d.Add(ntNPCDialogue, "Second");
    TDialogueNode* c = d.Add(ntNPCDialogue, "Third");
    d.project.GlobalVars().insert(QStringLiteral("GVAR_DEN_STATUS"), QStringLiteral("3"));
    d.project.GlobalVars().insert(QStringLiteral("GVAR_BAD"), QStringLiteral("lots"));

    d.engine.Start(QString());
    EXPECT_EQ(d.engine.CurrentNode(), a);
    d.project.SetStartNodeID(b->ID());
    d.engine.Start(QString());
    EXPECT_EQ(d.engine.CurrentNode(), b);
    d.engine.Start(c->ID());
    EXPECT_EQ(d.engine.CurrentNode(), c);

    const QStringList log = d.LogTexts();
    ASSERT_GE(log.size(), 4);
    EXPECT_EQ(log[0], QStringLiteral("  === SIMULATION STARTED ==="));
    EXPECT_EQ(d.engine.Log()[0].Color, pcColorSuccess);
    EXPECT_EQ(log[1], QStringLiteral("  Project: Den Trader"));
    EXPECT_EQ(log[2], QStringLiteral("  NPC: Brana"));
    EXPECT_EQ(d.engine.Log()[2].Color, pcTextDim);
    EXPECT_EQ(log[3], QStringLiteral("[NPC] Brana: Third"));
    EXPECT_TRUE(d.engine.Log()[3].IsHistory);

    EXPECT_EQ(d.engine.GetSimVar(QStringLiteral("GVAR_DEN_STATUS")), 3);
    EXPECT_EQ(d.engine.GetSimVar(QStringLiteral("GVAR_BAD")), 0);
    EXPECT_EQ(d.engine.SimSkills().size(), SkillTypeCount);
    for (const char* name : SkillNames)
        EXPECT_EQ(d.engine.GetSimSkill(QString::fromLatin1(name)), 40);
    EXPECT_EQ(d.engine.SimKarma(), 0);
    EXPECT_EQ(d.engine.SimReputation(), 0);
    EXPECT_EQ(PreviewWindowTitle(d.project), QStringLiteral("Dialogue Preview  -  Den Trader"));
}

TEST(PreviewEngine, EmptyProjectOpensWithNoNode)
{
    Dialogue d;
    d.project.SetNPCName(QString());
    d.engine.Start(QString());
    EXPECT_EQ(d.engine.CurrentNode(), nullptr);
    EXPECT_EQ(d.engine.SpeakerName(), QStringLiteral("Unknown"));
    EXPECT_EQ(d.engine.NodeInfo(), QStringLiteral("Node: -"));
    EXPECT_TRUE(d.engine.Entries().isEmpty());
    d.engine.ChooseEntry(0);
    TPreviewOptionEntry cont;
    cont.Action = paContinue;
    d.engine.ChooseOption(cont);
    EXPECT_EQ(d.LogTexts().last(), QStringLiteral("  ERROR: No current node selected"));
    d.engine.ShowNode(nullptr);
    EXPECT_EQ(d.LogTexts().last(), QStringLiteral("  ERROR: Invalid node reference"));
    d.engine.Restart();
    EXPECT_EQ(d.engine.CurrentNode(), nullptr);
}

TEST(PreviewEngine, UnknownStartNodeIsReported)
{
    Dialogue d;
    d.Add(ntNPCDialogue, "Hi");
    d.engine.Start(QStringLiteral("Node999"));
    EXPECT_EQ(d.engine.CurrentNode(), nullptr);
    EXPECT_EQ(d.LogTexts().last(), QStringLiteral("  ERROR: Node not found: Node999"));
    EXPECT_EQ(d.engine.Log().last().Color, pcColorError);
}

// ---------------------------------------------------------------- node kinds

TEST(PreviewEngine, EachNodeKindShowsItsPane)
{
    struct Row {
        TNodeType type;
        const char* expectedPane;
        TPreviewColorRole color;
    };
    const Row rows[] = {
        {ntNPCDialogue, "Welcome.", pcAccentPrimary},
        {ntPlayerReply, "[Player Response Options]", pcColorSuccess},
        {ntConditional, "[Conditional Branch]\r\nEvaluating 0 condition(s)...\r\n-> Condition MET", pcColorWarning},
        {ntRandom, "[Random Branch - Weight: 0]", pcColorInfo},
        {ntScript, "[Script Node]\r\n\r\n[seOnNodeEnter]\r\nset_local_var(1, 2);\r\n[seOnDialogueEnd]\r\nx", pcColorInfo},
        {ntCombatTrigger, "COMBAT TRIGGERED\r\nattack(dude)\r\n\r\n[Dialogue ends - combat begins]", pcColorError},
        {ntQuestUpdate, "QUEST UPDATE\r\nQuest: q_den\r\nFlag: done", pcColorInfo},
        {ntTrade, "BARTER / TRADE SCREEN\r\n[Trade interface would open here]", pcAccentSecondary},
        {ntEndDialogue, "[ DIALOGUE ENDS ]", pcTextDim},
        {ntComment, "// Comment node: writer's note", pcTextDim},
    };
    for (const Row& row : rows) {
        Dialogue d;
        TDialogueNode* n = d.Add(row.type, "Welcome.");
        n->SetRandomWeight(0);
        n->SetCombatScript(QStringLiteral("attack(dude)"));
        n->SetQuestID(QStringLiteral("q_den"));
        n->SetQuestFlag(QStringLiteral("done"));
        n->SetComment(QStringLiteral("writer's note"));
        TNodeScript* s1 = n->AddScript();
        s1->ScriptCode = QStringLiteral("set_local_var(1, 2);");
        TNodeScript* off = n->AddScript();
        off->IsEnabled = false;
        off->ScriptCode = QStringLiteral("never shown");
        TNodeScript* s2 = n->AddScript();
        s2->EventType = seOnDialogueEnd;
        s2->ScriptCode = QStringLiteral("x");
        n->SetSpeaker(QStringLiteral("Guard"));
        d.engine.Start(QString());
        const QString typeName = QString::fromLatin1(NodeTypeNames[row.type]);
        EXPECT_EQ(d.engine.PaneText(), QString::fromUtf8(row.expectedPane)) << typeName.toStdString();
        EXPECT_EQ(d.engine.PaneColor(), row.color) << typeName.toStdString();
        EXPECT_EQ(d.engine.NodeInfo(), QStringLiteral("Node: Node001  Type: ") + typeName);
        EXPECT_EQ(d.engine.SpeakerName(), QStringLiteral("Guard"));
        EXPECT_EQ(d.engine.CurrentNode(), n);
    }
}

TEST(PreviewEngine, NodeLineSpeakerAndPortrait)
{
    Dialogue d;
    TDialogueNode* n = d.Add(ntNPCDialogue, "   ");
    n->SetID(QStringLiteral("N_0123456789ABCDEF"));
    n->SetPortraitFile(QStringLiteral("art/brana.png"));
    d.engine.Start(QString());
    EXPECT_EQ(d.engine.NodeInfo(), QStringLiteral("Node: N_0123456789AB  Type: NPC Dialogue"));
    EXPECT_EQ(d.engine.PaneText(), QStringLiteral("(no dialogue text)"));
    EXPECT_EQ(d.engine.SpeakerName(), QStringLiteral("Brana"));
    EXPECT_EQ(d.engine.PortraitFile(), QStringLiteral("art/brana.png"));
    // Blank text: no history line; no options and no next: the branch ends.
    EXPECT_EQ(d.LogTexts().last(), QStringLiteral("  (No further options - dialogue branch ends)"));
    EXPECT_EQ(d.Captions(), QStringList{QStringLiteral("Goodbye.")});
    ASSERT_EQ(d.engine.History().size(), 1);
    EXPECT_EQ(d.engine.History()[0].Speaker, QStringLiteral("Brana"));
}

TEST(PreviewEngine, QuestUpdateSetsTheFlag)
{
    struct Row { const char* id; const char* flag; bool set; int value; };
    const Row rows[] = {{"q_den", "done", true, 1}, {"q_den", "5", true, 5}, {"q_den", "", true, 1},
                        {"q_den", " -2", true, -2}, {"", "7", false, 0}};
    for (const Row& row : rows) {
        Dialogue d;
        TDialogueNode* n = d.Add(ntQuestUpdate);
        n->SetQuestID(QString::fromUtf8(row.id));
        n->SetQuestFlag(QString::fromUtf8(row.flag));
        d.engine.Start(QString());
        EXPECT_EQ(d.engine.SimQuestFlags().contains(QString::fromUtf8(row.id)), row.set) << row.flag;
        if (row.set) {
            EXPECT_EQ(d.engine.SimQuestFlags().value(QString::fromUtf8(row.id)), row.value) << row.flag;
            ASSERT_EQ(d.engine.QuestFlagRows().size(), 1);
            EXPECT_EQ(d.engine.QuestFlagRows()[0],
                      (QStringList{QString::fromUtf8(row.id), QString::number(row.value), QStringLiteral("ACTIVE")}));
        }
    }
}

// ---------------------------------------------------------------- options

TEST(PreviewEngine, WhichOptionsShow)
{
    Dialogue d;
    TDialogueNode* n = d.Add(ntNPCDialogue, "What do you want?");
    TDialogueNode* t = d.Add(ntNPCDialogue, "Target");
    d.Option(n, "Plain", t);
    TPlayerOption* hiddenOk = d.Option(n, "Hidden, met", t);
    hiddenOk->IsHidden = true;
    hiddenOk->Conditions << Cond(ctGlobalVar, "GVAR_DEN", coGTE, "2");
    TPlayerOption* hiddenNo = d.Option(n, "Hidden, not met", t);
    hiddenNo->IsHidden = true;
    hiddenNo->Conditions << Cond(ctGlobalVar, "GVAR_DEN", coGTE, "3");
    TPlayerOption* visibleNo = d.Option(n, "Needs Speech 50", t);
    visibleNo->Conditions << Cond(ctSkillCheck, "Speech", coGTE, "50");
    TPlayerOption* checked = d.Option(n, "Persuade", t);
    checked->HasSkillCheck = true;
    checked->SkillCheck.Skill = skBarter;
    checked->SkillCheck.Difficulty = 30;
    TPlayerOption* item = d.Option(n, "Give the key", t);
    item->ItemRequired = QStringLiteral("Den Key");
    TPlayerOption* karma = d.Option(n, "Good guy", t);
    karma->KarmaRequired = 10;
    TPlayerOption* rep = d.Option(n, "Famous", t);
    rep->ReputationRequired = 1;

    d.project.GlobalVars().insert(QStringLiteral("GVAR_DEN"), QStringLiteral("2"));
    d.engine.Start(QString());
    const QStringList expected = {
        QStringLiteral("1.  Plain"),
        QStringLiteral("2.  Hidden, met"),
        // 3 is hidden and not met: left out, its number leaves a gap.
        QStringLiteral("4.  Needs Speech 50  -- NOT AVAILABLE"),
        QStringLiteral("5.  Persuade  [Barter 30%]"),
        QStringLiteral("6.  Give the key  (requires: Den Key)  -- NOT AVAILABLE"),
        QStringLiteral("7.  Good guy  -- NOT AVAILABLE"),
        QStringLiteral("8.  Famous  -- NOT AVAILABLE"),
        QStringLiteral("Goodbye.")};
    EXPECT_EQ(d.Captions(), expected);
    const auto& e = d.engine.Entries();
    EXPECT_TRUE(e[0].Enabled);
    EXPECT_EQ(e[0].Color, pcTextPrimary);
    EXPECT_EQ(e[0].Hint, QStringLiteral("Target: Node002"));
    EXPECT_FALSE(e[2].Enabled);
    EXPECT_EQ(e[2].Color, pcTextDisabled);
    EXPECT_EQ(e[3].Color, pcColorWarning);
    EXPECT_EQ(e[3].OptionIndex, 4);
    EXPECT_EQ(e[7].Color, pcTextDim);
    EXPECT_EQ(e[7].Action, paEnd);

    // The same node with more state: everything becomes available.
    d.engine.SetSimSkill(QStringLiteral("Speech"), 50);
    d.engine.AddInventoryItem(QStringLiteral("  den key "));
    d.engine.SetSimKarma(10);
    d.engine.SetSimReputation(1);
    d.engine.SetSimVar(QStringLiteral("GVAR_DEN"), 3);
    d.engine.GoToNode(n->ID());
    EXPECT_EQ(d.Captions().size(), 9);
    for (const auto& entry : d.engine.Entries())
        EXPECT_TRUE(entry.Enabled) << entry.Caption.toStdString();
    EXPECT_EQ(d.Captions()[2], QStringLiteral("3.  Hidden, not met"));
}

// A guard in the game's script language is not evaluated: the option is
// marked conditional with the guard as its hint, and the writer's switch
// decides whether it holds.
TEST(PreviewEngine, ScriptGuardsHoldAsTheWriterSays)
{
    Dialogue d;
    TDialogueNode* n = d.Add(ntNPCDialogue, "Well?");
    TDialogueNode* t = d.Add(ntNPCDialogue, "Target");
    d.Option(n, "Plain", t);
    TPlayerOption* guarded = d.Option(n, "Quest", t);
    guarded->Guard = QStringLiteral("global_var(GVAR_WELL_QUEST) == 1");
    TPlayerOption* hidden = d.Option(n, "Secret", t);
    hidden->Guard = QStringLiteral("dude_is_male");
    hidden->IsHidden = true;
    d.engine.Start(QString());
    EXPECT_TRUE(d.engine.GuardsHold());
    EXPECT_EQ(d.Captions(), (QStringList{QStringLiteral("1.  Plain"), QStringLiteral("2.  Quest  (conditional)"),
                                         QStringLiteral("3.  Secret  (conditional)"), QStringLiteral("Goodbye.")}));
    EXPECT_TRUE(d.engine.Entries()[1].Enabled);
    EXPECT_EQ(d.engine.Entries()[1].Hint, QStringLiteral("If: global_var(GVAR_WELL_QUEST) == 1"));

    // Switched off, the shown options of the current node follow at once.
    d.engine.SetGuardsHold(false);
    EXPECT_EQ(d.Captions(), (QStringList{QStringLiteral("1.  Plain"),
                                         QStringLiteral("2.  Quest  (conditional)  -- NOT AVAILABLE"),
                                         QStringLiteral("Goodbye.")}));
    EXPECT_FALSE(d.engine.Entries()[1].Enabled);
    // The switch is the writer's, not part of the simulated state.
    d.engine.Restart();
    EXPECT_FALSE(d.engine.GuardsHold());
}

TEST(PreviewEngine, RequirementEdges)
{
    struct Row { int karmaReq; int repReq; int karma; int rep; bool available; };
    const Row rows[] = {
        {-1000, 0, -5000, -5000, true}, // defaults: no requirement
        {-999, 0, -1000, 0, false},     {-999, 0, -999, 0, true},
        {0, 0, -50, 0, false},          {0, 0, 0, 0, true},
        {-1000, 1, 0, 0, false},        {-1000, 1, 0, 1, true},
        {-1000, 0, 0, -10, true},       {-1000, -5, 0, -10, true},
    };
    for (const Row& row : rows) {
        Dialogue d;
        TPlayerOption o;
        o.KarmaRequired = row.karmaReq;
        o.ReputationRequired = row.repReq;
        d.engine.SetSimKarma(row.karma);
        d.engine.SetSimReputation(row.rep);
        EXPECT_EQ(d.engine.IsOptionAvailable(o), row.available)
            << row.karmaReq << " " << row.repReq << " " << row.karma << " " << row.rep;
    }
}

TEST(PreviewEngine, IntelligenceRequirementHidesTheOption)
{
    // Requirement n above 0: shown from n up; below 0: shown only up to |n|
    // (the games' LOW_IQ is -3); 0: always.
    struct Row { int required; int intelligence; bool shown; };
    const Row rows[] = {
        {0, 1, true},   {0, 10, true},
        {4, 3, false},  {4, 4, true},   {4, 5, true},
        {6, 5, false},  {6, 6, true},   {10, 9, false}, {10, 10, true},
        {-3, 1, true},  {-3, 3, true},  {-3, 4, false}, {-3, 5, false},
        {-1, 1, true},  {-1, 2, false}, {-5, 5, true},  {-5, 6, false},
        {std::numeric_limits<qint32>::min(), 10, true}, {std::numeric_limits<qint32>::max(), 10, false},
    };
    for (const Row& row : rows) {
        Dialogue d;
        TDialogueNode* n = d.Add(ntNPCDialogue, "Hm?");
        d.Option(n, "Plain", n);
        d.Option(n, "Clever", n)->IntelligenceRequired = row.required;
        d.engine.SetSimIntelligence(row.intelligence);
        d.engine.GoToNode(n->ID());
        const QStringList shown = {QStringLiteral("1.  Plain"), QStringLiteral("Goodbye.")};
        EXPECT_EQ(d.Captions().size() == 3, row.shown) << row.required << " at intelligence " << row.intelligence;
        if (!row.shown)
            EXPECT_EQ(d.Captions(), shown) << "left out, not greyed: " << row.required;
        else
            EXPECT_TRUE(d.engine.Entries()[1].Enabled);
    }
}

TEST(PreviewEngine, IntelligenceStartsAtFiveAndIsAnInspectorRow)
{
    Dialogue d;
    TDialogueNode* n = d.Add(ntNPCDialogue, "Hm?");
    d.Option(n, "Dumb", n)->IntelligenceRequired = -3;
    d.Option(n, "Average", n)->IntelligenceRequired = 4;
    d.engine.Start(QString());
    EXPECT_EQ(d.engine.SimIntelligence(), 5);
    EXPECT_EQ(d.Captions(), (QStringList{QStringLiteral("2.  Average  [INT 4]"), QStringLiteral("Goodbye.")}));
    EXPECT_EQ(d.engine.GlobalVarRows().last(), qMakePair(QStringLiteral("INTELLIGENCE"), 5));

    qint32 stored = 0;
    EXPECT_TRUE(d.engine.EditGlobalVarRow(QStringLiteral("INTELLIGENCE"), QStringLiteral("2"), &stored));
    EXPECT_EQ(stored, 2);
    EXPECT_EQ(d.engine.SimIntelligence(), 2);
    EXPECT_TRUE(d.engine.SimVars().isEmpty()) << "the stat is not a variable";
    d.engine.GoToNode(n->ID());
    EXPECT_EQ(d.Captions(), (QStringList{QStringLiteral("1.  Dumb  [INT <= 3]"), QStringLiteral("Goodbye.")}));

    d.engine.Restart();
    EXPECT_EQ(d.engine.SimIntelligence(), 5);
}

TEST(PreviewEngine, ReactionAndIntelligenceTags)
{
    Dialogue d;
    TDialogueNode* n = d.Add(ntNPCDialogue, "Well?");
    d.Option(n, "Neutral, no requirement", n);
    d.Option(n, "Kind", n)->Reaction = rcGood;
    TPlayerOption* rude = d.Option(n, "Rude", n);
    rude->Reaction = rcBad;
    rude->IntelligenceRequired = 5;
    TPlayerOption* all = d.Option(n, "Everything", n);
    all->Reaction = rcGood;
    all->IntelligenceRequired = 4;
    all->HasSkillCheck = true;
    all->SkillCheck.Skill = skSpeech;
    all->SkillCheck.Difficulty = 60;
    all->ItemRequired = QStringLiteral("Badge");
    TPlayerOption* numbered = d.Option(n, "Numbered and guarded", n);
    numbered->MsgNumber = 104;
    numbered->Guard = QStringLiteral("global_var(GVAR_X) == 1");
    d.engine.Start(QString());
    const QStringList expected = {
        QStringLiteral("1.  Neutral, no requirement"),
        QStringLiteral("2.  Kind  [Good]"),
        QStringLiteral("3.  Rude  [INT 5]  [Bad]"),
        QStringLiteral("4.  Everything  [Speech 60%]  [INT 4]  [Good]  (requires: Badge)  -- NOT AVAILABLE"),
        // The preview cannot run a script condition: the option is offered, marked conditional.
        QStringLiteral("5.  Numbered and guarded  (conditional)"),
        QStringLiteral("Goodbye.")};
    EXPECT_EQ(d.Captions(), expected);
    EXPECT_EQ(d.engine.Entries()[1].Color, pcTextPrimary);
    EXPECT_EQ(d.engine.Entries()[2].Color, pcTextPrimary);
}

TEST(PreviewEngine, OnlyHiddenUnavailableOptionShowsGoodbye)
{
    Dialogue d;
    TDialogueNode* n = d.Add(ntNPCDialogue, "...");
    TPlayerOption* o = d.Option(n, "Secret", n);
    o->IsHidden = true;
    o->ItemRequired = QStringLiteral("Badge");
    d.engine.Start(QString());
    EXPECT_EQ(d.Captions(), QStringList{QStringLiteral("Goodbye.")});
    // Options exist, so no "branch ends" line.
    EXPECT_FALSE(d.Logged(QStringLiteral("  (No further options - dialogue branch ends)")));
}

TEST(PreviewEngine, ContinueEntryByNodeKind)
{
    struct Row { TNodeType type; bool hasOptions; bool continueShown; };
    const Row rows[] = {
        {ntNPCDialogue, false, true}, {ntRandom, false, true},    {ntScript, false, true},
        {ntNPCDialogue, true, false}, {ntPlayerReply, false, false}, {ntTrade, false, false},
        {ntQuestUpdate, false, false}, {ntCombatTrigger, false, false},
    };
    for (const Row& row : rows) {
        Dialogue d;
        TDialogueNode* n = d.Add(row.type, "x");
        TDialogueNode* next = d.Add(ntNPCDialogue, "next");
        n->SetNextNodeID(next->ID());
        if (row.hasOptions)
            d.Option(n, "o", next);
        d.engine.Start(QString());
        ASSERT_FALSE(d.engine.Entries().isEmpty());
        const TPreviewOptionEntry& first = d.engine.Entries().first();
        EXPECT_EQ(first.Action == paContinue, row.continueShown) << int(row.type);
        if (row.continueShown) {
            EXPECT_EQ(first.Caption, QStringLiteral("->  [Continue]"));
            EXPECT_TRUE(first.Bold);
            EXPECT_EQ(first.Color, pcAccentPrimary);
            EXPECT_EQ(first.Hint, next->ID());
            ASSERT_TRUE(d.engine.ChooseEntry(0));
            EXPECT_EQ(d.engine.CurrentNode(), next);
            EXPECT_EQ(d.engine.History()[1].ChoiceMade, QStringLiteral("[Continue]"));
        }
    }
}

// ---------------------------------------------------------------- walks

TEST(PreviewEngine, WalkThroughADialogue)
{
    // Brana greets; "Trade?" leads to a trade node, "Rumours?" to a node
    // with no target option, "Leave" to an end node.
    Dialogue d;
    TDialogueNode* greet = d.Add(ntNPCDialogue, "Welcome to my stall, stranger.");
    greet->SetSpeaker(QStringLiteral("Brana"));
    TDialogueNode* trade = d.Add(ntTrade);
    TDialogueNode* rumours = d.Add(ntNPCDialogue, "Raiders in the north.");
    TDialogueNode* bye = d.Add(ntEndDialogue, "Safe travels.");
    d.Option(greet, "Trade?", trade);
    d.Option(greet, "Rumours?", rumours);
    d.Option(greet, "Leave", bye);
    d.Option(rumours, "Thanks", nullptr);
    d.Option(rumours, "Where exactly?", nullptr)->TargetNodeID = QStringLiteral("Node404");

    struct Step { const char* choose; const char* nodeAfter; const char* lastLog; };
    const Step steps[] = {
        {"2.  Rumours?", "Node003", "[NPC] Brana: Raiders in the north."},
        {"1.  Thanks", "Node003", "  (Option has no target node)"},
        {"2.  Where exactly?", "Node003", "  ERROR: Node not found: Node404"},
    };
    d.engine.Start(QString());
    EXPECT_EQ(d.engine.CurrentNode(), greet);
    for (const Step& step : steps) {
        const int pos = d.Position(step.choose);
        ASSERT_GE(pos, 0) << step.choose;
        ASSERT_TRUE(d.engine.ChooseEntry(pos));
        EXPECT_EQ(d.engine.CurrentNode()->ID(), QString::fromUtf8(step.nodeAfter)) << step.choose;
        EXPECT_EQ(d.LogTexts().last(), QString::fromUtf8(step.lastLog)) << step.choose;
    }
    // The failed move left the node and its options on screen.
    EXPECT_EQ(d.Captions(), (QStringList{QStringLiteral("1.  Thanks"), QStringLiteral("2.  Where exactly?"),
                                         QStringLiteral("Goodbye.")}));
    EXPECT_TRUE(d.Logged(QStringLiteral("  Player: Rumours?")));
    EXPECT_EQ(d.engine.History().last().ChoiceMade, QStringLiteral("Where exactly?"));

    d.engine.Restart();
    ASSERT_TRUE(d.engine.ChooseEntry(d.Position("3.  Leave")));
    EXPECT_EQ(d.engine.CurrentNode(), bye);
    EXPECT_EQ(d.engine.PaneText(), QStringLiteral("[ DIALOGUE ENDS ]"));
    EXPECT_EQ(d.LogTexts().last(), QStringLiteral("  --- Dialogue ended ---"));
    EXPECT_EQ(d.engine.History().last().ChoiceMade, QStringLiteral("[Dialogue ended]"));
    // The end node keeps the previous node's entries on screen and does not
    // close the preview; "Goodbye." does.
    EXPECT_EQ(d.Captions().size(), 4);
    EXPECT_FALSE(d.engine.CloseRequested());
    int closes = 0;
    d.engine.OnCloseRequested = [&] { ++closes; };
    ASSERT_TRUE(d.engine.ChooseEntry(d.Position("Goodbye.")));
    EXPECT_TRUE(d.engine.CloseRequested());
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(d.engine.PaneText(), QStringLiteral("[ YOU END THE CONVERSATION ]"));
    EXPECT_TRUE(d.engine.Entries().isEmpty());
    EXPECT_EQ(d.LogTexts().last(), QStringLiteral("  --- Player chose to end dialogue ---"));
}

TEST(PreviewEngine, StaleEntriesAfterEndNodeActOnTheEndNode)
{
    Dialogue d;
    TDialogueNode* a = d.Add(ntNPCDialogue, "a");
    TDialogueNode* end = d.Add(ntEndDialogue, "bye");
    d.Option(a, "one", end);
    d.Option(a, "two", end);
    d.engine.Start(QString());
    ASSERT_TRUE(d.engine.ChooseEntry(0));
    ASSERT_EQ(d.engine.CurrentNode(), end);
    const int logSize = d.engine.Log().size();
    // "2.  two" names option index 1, which the end node does not have.
    ASSERT_TRUE(d.engine.ChooseEntry(1));
    EXPECT_EQ(d.engine.Log().size(), logSize);
    EXPECT_EQ(d.engine.CurrentNode(), end);
}

TEST(PreviewEngine, HistoryLinesInTheLog)
{
    Dialogue d;
    TDialogueNode* npc = d.Add(ntNPCDialogue, "");
    npc->SetText(QString(70, QLatin1Char('n')));
    TDialogueNode* reply = d.Add(ntPlayerReply, "");
    reply->SetText(QString(70, QLatin1Char('r')));
    d.Option(npc, "go", reply);
    TPlayerOption* back = d.Option(reply, "", npc);
    back->Text = QString(70, QLatin1Char('c'));
    d.engine.Start(QString());
    EXPECT_EQ(d.LogTexts().last(), QStringLiteral("[NPC] Brana: ") + QString(60, QLatin1Char('n')));
    d.engine.ChooseEntry(0);
    // The NPC node logs as [NPC] also when the record carries the choice.
    const QStringList log = d.LogTexts();
    EXPECT_EQ(log[log.size() - 3], QStringLiteral("  Player: go"));
    EXPECT_EQ(log[log.size() - 2], QStringLiteral("[NPC] Brana: ") + QString(60, QLatin1Char('n')));
    EXPECT_EQ(log.last(), QStringLiteral("[Player Reply] ") + QString(50, QLatin1Char('r')));
    d.engine.ChooseEntry(0);
    EXPECT_TRUE(d.Logged(QStringLiteral("[PLY] ") + QString(60, QLatin1Char('c'))));
}

// ---------------------------------------------------------------- skill checks

TEST(PreviewEngine, SkillCheckChance)
{
    struct Row { qint32 skill; qint32 difficulty; int chance; };
    const Row rows[] = {
        {40, 50, 40}, {100, 0, 95}, {0, 100, 5}, {50, 50, 50}, {94, 49, 95}, {0, 46, 5}, {0, 45, 5}, {0, 44, 6},
        {std::numeric_limits<qint32>::max(), std::numeric_limits<qint32>::min(), 95},
        {std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), 5},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TPreviewEngine::SkillCheckChance(row.skill, row.difficulty), row.chance)
            << row.skill << " vs " << row.difficulty;
}

TEST(PreviewEngine, SkillCheckOutcomes)
{
    // Skill 40 against 50: chance 40, so roll 40 passes and roll 41 fails
    // (draws are 0-based: Below(100) = roll - 1).
    struct Row {
        int draw;
        const char* success;
        const char* failure;
        const char* expectedNode;
        const char* expectedLog;
    };
    const Row rows[] = {
        {39, "Node003", "Node004", "Node003", "  SKILL CHECK PASSED! (Speech 40 vs 50)"},
        {40, "Node003", "Node004", "Node004", "  SKILL CHECK FAILED! (Speech 40 vs 50)"},
        {39, "", "Node004", "Node002", "  SKILL CHECK PASSED! (Speech 40 vs 50)"},
        {40, "Node003", "", "Node002", "  SKILL CHECK FAILED! (Speech 40 vs 50)"},
    };
    for (const Row& row : rows) {
        Dialogue d;
        TDialogueNode* start = d.Add(ntNPCDialogue, "Convince me.");
        TDialogueNode* target = d.Add(ntNPCDialogue, "target");
        d.Add(ntNPCDialogue, "success");
        d.Add(ntNPCDialogue, "failure");
        TPlayerOption* o = d.Option(start, "Trust me.", target);
        o->HasSkillCheck = true;
        o->SkillCheck.Skill = skSpeech;
        o->SkillCheck.Difficulty = 50;
        o->SkillCheck.SuccessNodeID = QString::fromUtf8(row.success);
        o->SkillCheck.FailureNodeID = QString::fromUtf8(row.failure);
        d.engine.Start(QString());
        d.random.Draws = {row.draw};
        ASSERT_TRUE(d.engine.ChooseEntry(0));
        EXPECT_EQ(d.engine.CurrentNode()->ID(), QString::fromUtf8(row.expectedNode));
        EXPECT_TRUE(d.Logged(QString::fromUtf8(row.expectedLog)));
        EXPECT_EQ(d.engine.LastRoll(), row.draw + 1);
        EXPECT_EQ(d.engine.LastChance(), 40);
        const bool passed = row.draw < 40;
        EXPECT_EQ(d.engine.History()[1].ChoiceMade,
                  passed ? QStringLiteral("Trust me. [SKILL PASS]") : QStringLiteral("Trust me. [SKILL FAIL]"));
    }
}

TEST(PreviewEngine, SkillCheckMessagesXPAndStaying)
{
    Dialogue d;
    TDialogueNode* start = d.Add(ntNPCDialogue, "Pick the lock?");
    TPlayerOption* o = d.Option(start, "Try", nullptr);
    o->HasSkillCheck = true;
    o->SkillCheck.Skill = skLockpick;
    o->SkillCheck.Difficulty = 10;
    o->SkillCheck.XPReward = 25;
    o->SkillCheck.SuccessMessage = QStringLiteral("Click.");
    o->SkillCheck.FailureMessage = QStringLiteral("The pick snaps.");
    d.engine.Start(QString());
    d.engine.EditSkillRow(QStringLiteral("Lockpick"), QStringLiteral("75"));
    d.random.Draws = {0};   // roll 1: passes
    d.engine.ChooseEntry(0);
    QStringList log = d.LogTexts();
    EXPECT_TRUE(log.contains(QStringLiteral("  SKILL CHECK PASSED! (Lockpick 75 vs 10)")));
    EXPECT_TRUE(log.contains(QStringLiteral("    +25 XP awarded")));
    EXPECT_TRUE(log.contains(QStringLiteral("    \"Click.\"")));
    // No success node and no target: the preview stays where it is.
    EXPECT_EQ(d.engine.CurrentNode(), start);
    EXPECT_EQ(d.Captions().size(), 2);

    d.random.Draws = {99};  // roll 100: fails even at the capped 95
    d.engine.ChooseEntry(0);
    log = d.LogTexts();
    EXPECT_TRUE(log.contains(QStringLiteral("  SKILL CHECK FAILED! (Lockpick 75 vs 10)")));
    EXPECT_TRUE(log.contains(QStringLiteral("    \"The pick snaps.\"")));
    EXPECT_EQ(d.engine.Log().last().Color, pcTextSecondary);
}

TEST(PreviewEngine, SkillCheckPassRateMatchesTheChance)
{
    // Over many seeded rolls the pass rate is the stated chance, within four
    // standard deviations.
    const struct { qint32 skill; qint32 difficulty; } cases[] = {{40, 50}, {100, 0}, {0, 100}, {70, 40}};
    for (const auto& c : cases) {
        TSeededPreviewRandom random(4242u + quint32(c.skill));
        TDialogueProject p;
        TPreviewEngine engine(&p, &random);
        engine.ResetSimulation();
        engine.SetSimSkill(QStringLiteral("Science"), c.skill);
        TSkillCheck check;
        check.Skill = skScience;
        check.Difficulty = c.difficulty;
        const int n = 40000;
        int passes = 0;
        for (int i = 0; i < n; ++i)
            passes += engine.RollSkillCheck(check) ? 1 : 0;
        const double chance = TPreviewEngine::SkillCheckChance(c.skill, c.difficulty) / 100.0;
        const double sd = std::sqrt(chance * (1 - chance) / n);
        EXPECT_NEAR(double(passes) / n, chance, 4 * sd) << c.skill << " vs " << c.difficulty;
    }
}

TEST(PreviewEngine, SeededRandomIsUniformAndRepeatable)
{
    TSeededPreviewRandom a(7);
    TSeededPreviewRandom b(7);
    std::vector<int> counts(100, 0);
    const int n = 100000;
    for (int i = 0; i < n; ++i) {
        const int v = a.Below(100);
        ASSERT_EQ(v, b.Below(100));
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 100);
        ++counts[size_t(v)];
    }
    // Chi-square with 99 degrees of freedom: 150 is far beyond the 99.9th
    // percentile (about 148).
    double chi = 0;
    for (int c : counts)
        chi += (c - n / 100.0) * (c - n / 100.0) / (n / 100.0);
    EXPECT_LT(chi, 150.0);
    EXPECT_EQ(a.Below(1), 0);
}

// ---------------------------------------------------------------- conditions

TEST(PreviewEngine, ConditionTypes)
{
    Dialogue d;
    d.engine.ResetSimulation();
    d.engine.SetSimSkill(QStringLiteral("Speech"), 75);
    d.engine.SetSimVar(QStringLiteral("STAT_ST"), 6);
    d.engine.SetSimVar(QStringLiteral("GVAR_X"), 3);
    d.engine.SetSimKarma(-20);
    d.engine.SetSimReputation(15);
    d.engine.AddInventoryItem(QStringLiteral("Rope"));
    d.engine.AddInventoryItem(QStringLiteral("COMPANION_Sulik"));
    struct Row { TCondition c; bool result; };
    const Row rows[] = {
        {Cond(ctSkillCheck, "Speech", coGTE, "75"), true},
        {Cond(ctSkillCheck, "Speech", coGT, "75"), false},
        // Skills are keyed by display name: "SPEECH" is not found and reads 40.
        {Cond(ctSkillCheck, "SPEECH", coEQ, "40"), true},
        {Cond(ctStatCheck, "ST", coEQ, "6"), true},
        {Cond(ctStatCheck, "AG", coEQ, "0"), true},
        {Cond(ctReputation, "", coGT, "10"), true},
        {Cond(ctKarma, "", coLT, "-19"), true},
        {Cond(ctKarma, "", coLTE, "-21"), false},
        {Cond(ctGlobalVar, "GVAR_X", coNEQ, "3"), false},
        {Cond(ctLocalVar, "GVAR_X", coEQ, "3"), true},
        {Cond(ctGlobalVar, "MISSING", coEQ, "0"), true},
        {Cond(ctGlobalVar, "GVAR_X", coEQ, "three"), false},   // not a number: 0
        {Cond(ctQuestFlag, "q", coEQ, "0"), true},
        {Cond(ctInventory, "rope", coNEQ, "whatever"), true},
        {Cond(ctInventory, "Ladder", coEQ, ""), false},
        {Cond(ctTimeOfDay, "", coEQ, "0"), true},
        {Cond(ctCompanion, "sulik", coEQ, ""), true},
        {Cond(ctCompanion, "Vic", coEQ, ""), false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(d.engine.EvaluateCondition(row.c), row.result)
            << int(row.c.CondType) << " " << row.c.Variable.toStdString() << " " << row.c.Value.toStdString();
    EXPECT_EQ(d.random.Taken, 0);
}

TEST(PreviewEngine, RandomConditionDrawsBelowTheValue)
{
    Dialogue d;
    d.random.Draws = {29, 30, 0, 99};
    const TCondition c = Cond(ctRandom, "", coEQ, "30");
    EXPECT_TRUE(d.engine.EvaluateCondition(c));
    EXPECT_FALSE(d.engine.EvaluateCondition(c));
    EXPECT_TRUE(d.engine.EvaluateCondition(c));
    EXPECT_FALSE(d.engine.EvaluateCondition(c));

    TSeededPreviewRandom seeded(99);
    d.engine.SetRandomSource(&seeded);
    const int n = 40000;
    int held = 0;
    for (int i = 0; i < n; ++i)
        held += d.engine.EvaluateCondition(c) ? 1 : 0;
    EXPECT_NEAR(double(held) / n, 0.30, 4 * std::sqrt(0.3 * 0.7 / n));
}

TEST(PreviewEngine, NodeConditionsJoinLeftToRight)
{
    const TCondition T = Cond(ctTimeOfDay, "", coEQ, "0");
    const TCondition F = Cond(ctTimeOfDay, "", coEQ, "1");
    auto with = [](TCondition c, TBoolOp op) { c.BoolOp = op; return c; };
    struct Row { QVector<TCondition> conditions; bool result; };
    const Row rows[] = {
        {{}, true},
        {{with(T, boNOT)}, true},                                // the first join is not used
        {{F, with(T, boAND), with(T, boOR)}, true},              // ((F and T) or T)
        {{T, with(F, boAND), with(T, boOR)}, true},
        {{T, with(T, boOR), with(F, boAND)}, false},             // ((T or T) and F): no precedence
        {{T, with(F, boNOT)}, true},
        {{T, with(T, boNOT)}, false},
        {{F, with(F, boNOT)}, false},
    };
    for (const Row& row : rows) {
        Dialogue d;
        TDialogueNode* n = d.Add(ntConditional);
        n->Conditions() = row.conditions;
        EXPECT_EQ(d.engine.EvaluateNodeConditions(*n), row.result) << row.conditions.size();
    }
    // Every condition is evaluated: three random ones draw three numbers.
    Dialogue d;
    TDialogueNode* n = d.Add(ntConditional);
    n->Conditions() = {Cond(ctRandom, "", coEQ, "0"), with(Cond(ctRandom, "", coEQ, "0"), boAND),
                       with(Cond(ctRandom, "", coEQ, "100"), boOR)};
    d.random.Draws = {5, 5, 5};
    EXPECT_TRUE(d.engine.EvaluateNodeConditions(*n));
    EXPECT_EQ(d.random.Taken, 3);
}

TEST(PreviewEngine, ConditionalBranches)
{
    Dialogue d;
    TDialogueNode* cond = d.Add(ntConditional);
    TDialogueNode* yes = d.Add(ntNPCDialogue, "You are known here.");
    TDialogueNode* no = d.Add(ntNPCDialogue, "Who are you?");
    cond->SetNextNodeID(yes->ID());
    cond->Conditions() << Cond(ctGlobalVar, "GVAR_KNOWN", coEQ, "1");
    d.Option(cond, "(otherwise)", no);

    d.engine.Start(QString());
    // Not met: the conditional node stays, its options are the other branch.
    EXPECT_EQ(d.engine.CurrentNode(), cond);
    EXPECT_TRUE(d.engine.PaneText().endsWith(QStringLiteral("-> Condition NOT met")));
    EXPECT_EQ(d.Captions(), (QStringList{QStringLiteral("1.  (otherwise)"), QStringLiteral("Goodbye.")}));

    d.engine.SetSimVar(QStringLiteral("GVAR_KNOWN"), 1);
    d.engine.GoToNode(cond->ID());
    EXPECT_EQ(d.engine.CurrentNode(), yes);
    const auto& h = d.engine.History();
    ASSERT_GE(h.size(), 2);
    EXPECT_EQ(h[h.size() - 2].NodeID, cond->ID());
    EXPECT_EQ(h[h.size() - 2].ChoiceMade, QStringLiteral("[Condition passed]"));
}

// ---------------------------------------------------------------- automatic moves

TEST(PreviewEngine, CommentAndAutoAdvance)
{
    Dialogue d;
    TDialogueNode* note = d.Add(ntComment, "");
    TDialogueNode* a = d.Add(ntNPCDialogue, "Hello.");
    TDialogueNode* b = d.Add(ntNPCDialogue, "Still here?");
    note->SetNextNodeID(a->ID());
    a->SetNextNodeID(b->ID());

    d.engine.Start(QString());
    // The comment is passed at once, with no history record.
    EXPECT_EQ(d.engine.CurrentNode(), a);
    ASSERT_EQ(d.engine.History().size(), 1);
    EXPECT_EQ(d.engine.History()[0].NodeID, a->ID());
    EXPECT_EQ(d.Captions(), (QStringList{QStringLiteral("->  [Continue]"), QStringLiteral("Goodbye.")}));

    d.engine.SetAutoAdvance(true);
    d.engine.Restart();
    EXPECT_EQ(d.engine.CurrentNode(), b);
    ASSERT_EQ(d.engine.History().size(), 3);
    EXPECT_EQ(d.engine.History()[1].ChoiceMade, QStringLiteral("[Auto-advanced]"));
    EXPECT_EQ(d.LogTexts().last(), QStringLiteral("  (No further options - dialogue branch ends)"));
}

TEST(PreviewEngine, CyclesOfAutomaticMovesEnd)
{
    struct Row { TNodeType type; bool autoAdvance; };
    const Row rows[] = {{ntComment, false}, {ntConditional, false}, {ntNPCDialogue, true}};
    for (const Row& row : rows) {
        Dialogue d;
        TDialogueNode* a = d.Add(row.type, "loop a");
        TDialogueNode* b = d.Add(row.type, "loop b");
        a->SetNextNodeID(b->ID());
        b->SetNextNodeID(a->ID());
        d.engine.SetAutoAdvance(row.autoAdvance);
        d.engine.Start(QString());
        const QString stop = QStringLiteral("  (Stopped after %1 automatic moves at ").arg(TPreviewEngine::MaxAutomaticMoves);
        int stops = 0;
        for (const auto& line : d.engine.Log()) {
            if (line.Text.startsWith(stop)) {
                ++stops;
                EXPECT_EQ(line.Color, pcColorWarning);
            }
        }
        EXPECT_EQ(stops, 1) << int(row.type);
        ASSERT_TRUE(d.engine.CurrentNode());
        // The node where the chain stopped offers its entries.
        EXPECT_FALSE(d.engine.Entries().isEmpty());
        EXPECT_EQ(d.engine.Entries().last().Caption, QStringLiteral("Goodbye."));
        // The player can go on from there (and the next chain ends too).
        d.engine.ChooseEntry(0);
        EXPECT_TRUE(d.engine.CurrentNode());
    }
}

TEST(PreviewEngine, SelfLoopByChoiceIsThePlayersToEnd)
{
    Dialogue d;
    TDialogueNode* a = d.Add(ntNPCDialogue, "Again?");
    d.Option(a, "Again", a);
    d.engine.Start(QString());
    for (int i = 0; i < 500; ++i)
        ASSERT_TRUE(d.engine.ChooseEntry(0));
    EXPECT_EQ(d.engine.CurrentNode(), a);
    EXPECT_EQ(d.engine.History().size(), 1 + 2 * 500);
}

TEST(PreviewEngine, DeadLinksAndZeroWeights)
{
    Dialogue d;
    TDialogueNode* random = d.Add(ntRandom, "");
    random->SetRandomWeight(0);
    TDialogueNode* one = d.Add(ntNPCDialogue, "one");
    one->SetRandomWeight(0);
    d.Option(random, "branch one", one);
    d.Option(random, "branch gone", nullptr)->TargetNodeID = QStringLiteral("NodeGone");
    TDialogueNode* comment = d.Add(ntComment, "");
    comment->SetNextNodeID(QStringLiteral("Nowhere"));
    TDialogueNode* cont = d.Add(ntNPCDialogue, "dangling");
    cont->SetNextNodeID(QStringLiteral("Nowhere2"));

    d.engine.Start(QString());
    // A random node shows its weight and offers its options; no draw.
    EXPECT_EQ(d.engine.PaneText(), QStringLiteral("[Random Branch - Weight: 0]"));
    EXPECT_EQ(d.Captions().size(), 3);
    EXPECT_EQ(d.random.Taken, 0);
    d.engine.ChooseEntry(1);
    EXPECT_EQ(d.LogTexts().last(), QStringLiteral("  ERROR: Node not found: NodeGone"));
    EXPECT_EQ(d.engine.CurrentNode(), random);

    d.engine.GoToNode(comment->ID());
    EXPECT_EQ(d.LogTexts().last(), QStringLiteral("  ERROR: Node not found: Nowhere"));
    EXPECT_EQ(d.engine.CurrentNode(), comment);

    d.engine.GoToNode(cont->ID());
    ASSERT_TRUE(d.engine.ChooseEntry(0));   // Continue
    EXPECT_EQ(d.LogTexts().last(), QStringLiteral("  ERROR: Node not found: Nowhere2"));
    EXPECT_EQ(d.engine.CurrentNode(), cont);
}

// ---------------------------------------------------------------- Back and Restart

namespace {
struct Snapshot {
    QString node, info, speaker, pane;
    TPreviewColorRole paneColor;
    QStringList captions, log;
    QVector<QPair<QString, qint32>> vars, skills;
    QStringList inventory;
    QVector<QStringList> quests;
    int history;
    bool operator==(const Snapshot& o) const
    {
        return node == o.node && info == o.info && speaker == o.speaker && pane == o.pane
            && paneColor == o.paneColor && captions == o.captions && log == o.log && vars == o.vars
            && skills == o.skills && inventory == o.inventory && quests == o.quests && history == o.history;
    }
};
Snapshot Take(const Dialogue& d)
{
    const TPreviewEngine& e = d.engine;
    return {e.CurrentNode() ? e.CurrentNode()->ID() : QString(), e.NodeInfo(), e.SpeakerName(), e.PaneText(),
            e.PaneColor(), d.Captions(), d.LogTexts(), e.GlobalVarRows(), e.SkillRows(), e.SimInventory(),
            e.QuestFlagRows(), int(e.History().size())};
}
}

TEST(PreviewEngine, BackRightAfterStart)
{
    Dialogue d;
    d.Add(ntNPCDialogue, "Hi");
    d.engine.Start(QString());
    d.engine.StepBack();
    EXPECT_EQ(d.LogTexts().last(), QStringLiteral("  (Nothing to go back to)"));
    EXPECT_EQ(d.engine.History().size(), 1);
}

TEST(PreviewEngine, BackReturnsToThePreviousNode)
{
    Dialogue d;
    TDialogueNode* a = d.Add(ntNPCDialogue, "Choose.");
    TDialogueNode* b = d.Add(ntNPCDialogue, "Chosen.");
    d.Option(a, "Go", b);
    d.Option(b, "Go on", a);
    d.engine.Start(QString());
    const Snapshot atA = Take(d);

    d.engine.ChooseEntry(0);
    ASSERT_EQ(d.engine.CurrentNode(), b);
    ASSERT_EQ(d.engine.History().size(), 3);   // a, a with the choice, b
    const int logBefore = d.engine.Log().size();
    d.engine.StepBack();
    EXPECT_EQ(d.engine.CurrentNode(), a);
    // The node's screen is as it was; the visit of a added a fresh record,
    // and its log line was taken off again.
    const Snapshot back = Take(d);
    EXPECT_EQ(back.pane, atA.pane);
    EXPECT_EQ(back.captions, atA.captions);
    EXPECT_EQ(back.info, atA.info);
    EXPECT_EQ(d.engine.History().size(), 2);
    EXPECT_EQ(d.engine.History().last().NodeID, a->ID());
    EXPECT_TRUE(d.engine.History().last().ChoiceMade.isEmpty());
    EXPECT_EQ(d.engine.Log().size(), logBefore);
}

TEST(PreviewEngine, RestartRestoresTheFirstState)
{
    Dialogue d;
    TDialogueNode* a = d.Add(ntNPCDialogue, "Choose.");
    TDialogueNode* q = d.Add(ntQuestUpdate);
    q->SetQuestID(QStringLiteral("q"));
    q->SetQuestFlag(QStringLiteral("2"));
    d.Option(a, "Quest", q);
    d.project.SetStartNodeID(a->ID());
    d.project.GlobalVars().insert(QStringLiteral("GVAR_1"), QStringLiteral("4"));
    d.engine.Start(QString());
    const Snapshot first = Take(d);

    d.engine.ChooseEntry(0);
    d.engine.EditGlobalVarRow(QStringLiteral("GVAR_1"), QStringLiteral("9"));
    d.engine.EditGlobalVarRow(QStringLiteral("KARMA"), QStringLiteral("-50"));
    d.engine.EditSkillRow(QStringLiteral("Speech"), QStringLiteral("90"));
    d.engine.AddInventoryItem(QStringLiteral("Rope"));
    ASSERT_FALSE(Take(d) == first);

    d.engine.Restart();
    EXPECT_TRUE(Take(d) == first);
    // The start id given to Start is not used again by Restart.
    TDialogueNode* other = d.Add(ntNPCDialogue, "Other");
    d.engine.Start(other->ID());
    d.engine.Restart();
    EXPECT_EQ(d.engine.CurrentNode(), a);
}

// ---------------------------------------------------------------- inspector

TEST(PreviewEngine, InspectorEdits)
{
    Dialogue d;
    TDialogueNode* n = d.Add(ntNPCDialogue, "x");
    TPlayerOption* good = d.Option(n, "Good", n);
    good->KarmaRequired = 0;
    d.project.GlobalVars().insert(QStringLiteral("GVAR_A"), QStringLiteral("1"));
    d.engine.Start(QString());
    EXPECT_TRUE(d.engine.Entries()[0].Enabled);

    struct Row { const char* caption; const char* answer; bool changed; int stored; };
    const Row varRows[] = {{"GVAR_A", "12", true, 12}, {"GVAR_A", "abc", true, 0}, {"GVAR_A", "", false, 0},
                           {"KARMA", "-50", true, -50}, {"REPUTATION", "7", true, 7}, {"NEW_VAR", "3", true, 3}};
    for (const Row& row : varRows) {
        qint32 stored = 12345;
        EXPECT_EQ(d.engine.EditGlobalVarRow(QString::fromUtf8(row.caption), QString::fromUtf8(row.answer), &stored),
                  row.changed)
            << row.caption << "=" << row.answer;
        if (row.changed)
            EXPECT_EQ(stored, row.stored);
    }
    EXPECT_EQ(d.engine.SimKarma(), -50);
    EXPECT_EQ(d.engine.SimReputation(), 7);
    const auto rows = d.engine.GlobalVarRows();
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0], qMakePair(QStringLiteral("GVAR_A"), 0));
    EXPECT_EQ(rows[1], qMakePair(QStringLiteral("NEW_VAR"), 3));
    EXPECT_EQ(rows[2], qMakePair(QStringLiteral("KARMA"), -50));
    EXPECT_EQ(rows[3], qMakePair(QStringLiteral("REPUTATION"), 7));
    EXPECT_EQ(rows[4], qMakePair(QStringLiteral("INTELLIGENCE"), 5));
    d.engine.GoToNode(n->ID());
    EXPECT_FALSE(d.engine.Entries()[0].Enabled);   // karma -50 < 0

    qint32 stored = 0;
    EXPECT_TRUE(d.engine.EditSkillRow(QStringLiteral("Speech"), QStringLiteral("abc"), &stored));
    EXPECT_EQ(stored, 40);
    EXPECT_TRUE(d.engine.EditSkillRow(QStringLiteral("Speech"), QStringLiteral("75")));
    EXPECT_FALSE(d.engine.EditSkillRow(QStringLiteral("Speech"), QString()));
    EXPECT_EQ(d.engine.GetSimSkill(QStringLiteral("Speech")), 75);
    EXPECT_EQ(d.engine.SkillRows()[0], qMakePair(QStringLiteral("Speech"), 75));
    EXPECT_EQ(d.engine.SkillRows().size(), SkillTypeCount);
    EXPECT_EQ(d.engine.SkillRows()[11].first, QStringLiteral("Big Guns"));

    EXPECT_TRUE(d.engine.AddInventoryItem(QStringLiteral(" Rope ")));
    EXPECT_TRUE(d.engine.AddInventoryItem(QStringLiteral("Rope")));
    EXPECT_FALSE(d.engine.AddInventoryItem(QStringLiteral("   ")));
    EXPECT_EQ(d.engine.SimInventory(), (QStringList{QStringLiteral("Rope"), QStringLiteral("Rope")}));
    EXPECT_TRUE(d.engine.RemoveInventoryItem(0));
    EXPECT_FALSE(d.engine.RemoveInventoryItem(5));
    EXPECT_FALSE(d.engine.RemoveInventoryItem(-1));
    EXPECT_EQ(d.engine.SimInventory(), QStringList{QStringLiteral("Rope")});
}

// ---------------------------------------------------------------- window support

TEST(PreviewEngine, ButtonLayout)
{
    auto entry = [](TPreviewAction a) { TPreviewOptionEntry e; e.Action = a; return e; };
    const auto two = PreviewButtonLayout({entry(paChooseOption), entry(paChooseOption), entry(paEnd)}, 500);
    ASSERT_EQ(two.size(), 3);
    EXPECT_EQ(two[0].Top, 4);
    EXPECT_EQ(two[1].Top, 50);
    EXPECT_EQ(two[2].Top, 96);
    EXPECT_EQ(two[0].Height, 40);
    EXPECT_EQ(two[2].Height, 32);
    EXPECT_EQ(two[0].Left, 4);
    EXPECT_EQ(two[0].Width, 480);
    const auto cont = PreviewButtonLayout({entry(paContinue), entry(paChooseOption), entry(paEnd)}, 300);
    EXPECT_EQ(cont[0].Top, 4);
    EXPECT_EQ(cont[0].Height, 36);
    EXPECT_EQ(cont[1].Top, 46);
    EXPECT_EQ(cont[2].Top, 92);
}

TEST(PreviewEngine, ChooseEntryByPosition)
{
    Dialogue d;
    TDialogueNode* n = d.Add(ntNPCDialogue, "x");
    TPlayerOption* locked = d.Option(n, "Locked", n);
    locked->ItemRequired = QStringLiteral("Key");
    d.Option(n, "Open", n);
    d.engine.Start(QString());
    ASSERT_EQ(d.Captions().size(), 3);
    const int logSize = d.engine.Log().size();
    EXPECT_FALSE(d.engine.ChooseEntry(0));   // disabled: Enter does nothing
    EXPECT_FALSE(d.engine.ChooseEntry(3));   // digit 4: no such button
    EXPECT_FALSE(d.engine.ChooseEntry(-1));
    EXPECT_EQ(d.engine.Log().size(), logSize);
    EXPECT_TRUE(d.engine.ChooseEntry(2));    // digit 3 with two options: Goodbye
    EXPECT_TRUE(d.engine.CloseRequested());
}

TEST(PreviewEngine, ColorRolesMapToTheTheme)
{
    const TTLWTheme t = TThemeManager::ThemeFor(tsGreen);
    EXPECT_EQ(PreviewColor(t, pcAccentPrimary), t.AccentPrimary);
    EXPECT_EQ(PreviewColor(t, pcAccentSecondary), t.AccentSecondary);
    EXPECT_EQ(PreviewColor(t, pcColorSuccess), t.ColorSuccess);
    EXPECT_EQ(PreviewColor(t, pcColorWarning), t.ColorWarning);
    EXPECT_EQ(PreviewColor(t, pcColorError), t.ColorError);
    EXPECT_EQ(PreviewColor(t, pcColorInfo), t.ColorInfo);
    EXPECT_EQ(PreviewColor(t, pcTextPrimary), t.TextPrimary);
    EXPECT_EQ(PreviewColor(t, pcTextSecondary), t.TextSecondary);
    EXPECT_EQ(PreviewColor(t, pcTextDim), t.TextDim);
    EXPECT_EQ(PreviewColor(t, pcTextDisabled), t.TextDisabled);
}
