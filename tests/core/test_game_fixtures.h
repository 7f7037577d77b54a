#pragma once
// Projects for the game-script export tests.

#include "tests/core/test_export_fixtures.h"

namespace GameFixtures {

using namespace ExportFixtures;

inline TPlayerOption* GameOption(TDialogueNode* n, const QString& text, const QString& target, int iq,
                                 TReaction reaction = rcNeutral, qint32 number = 0)
{
    TPlayerOption* o = Option(n, text, target);
    o->IntelligenceRequired = iq;
    o->Reaction = reaction;
    o->MsgNumber = number;
    return o;
}

// The dialogue of the shared brana.ssl / brana.msg, with their numbers. Its
// Node004 rolls the skill and holds the failure line itself; here the roll
// is the option's skill check and the failure line is Node004.
inline void BuildBrana(TDialogueProject& p)
{
    p.SetName(QStringLiteral("Brana"));
    p.SetNPCName(QStringLiteral("Brana"));
    p.SetNPCScript(QStringLiteral("brana"));
    p.SetStartNodeID(QStringLiteral("Node001"));
    p.GlobalVars().insert(QStringLiteral("GVAR_WELL_QUEST"), QStringLiteral("500"));

    TDialogueNode* n1 = Add(p, QStringLiteral("Node001"), ntNPCDialogue,
                            QStringLiteral("Water's two caps a cup, stranger. Drink or move along."));
    n1->SetMsgNumber(100);
    GameOption(n1, QStringLiteral("What happened to the old pump?"), QStringLiteral("Node002"), 4, rcNeutral, 101);
    GameOption(n1, QStringLiteral("The caravan master sent me. The well needs cleaning."), QStringLiteral("Node003"), 4,
               rcGood, 102)->Guard = QStringLiteral("global_var(GVAR_WELL_QUEST) == 1");
    GameOption(n1, QStringLiteral("Two caps? I'll take the whole bucket, thanks."), QStringLiteral("Node998"), 4, rcBad, 103);
    GameOption(n1, QStringLiteral("Wawa?"), QStringLiteral("Node999"), -3, rcNeutral, 104);
    GameOption(n1, QStringLiteral("Never mind."), QStringLiteral("Node999"), 4, rcNeutral, 105);

    TDialogueNode* n2 = Add(p, QStringLiteral("Node002"), ntNPCDialogue,
                            QStringLiteral("Raiders smashed it last spring. Nobody here can fix it."));
    n2->SetMsgNumber(110);
    TPlayerOption* look = GameOption(n2, QStringLiteral("I could take a look at it, if the price is right."),
                                     QStringLiteral("Node004"), 6, rcNeutral, 111);
    look->HasSkillCheck = true;
    look->SkillCheck.Skill = skSpeech;
    look->SkillCheck.Difficulty = 60;
    look->SkillCheck.SuccessNodeID = QStringLiteral("Node005");
    look->SkillCheck.FailureNodeID = QStringLiteral("Node004");
    GameOption(n2, QStringLiteral("Too bad. Goodbye."), QStringLiteral("Node999"), 4, rcNeutral, 112);

    TDialogueNode* n3 = Add(p, QStringLiteral("Node003"), ntNPCDialogue, QStringLiteral("Finally. Tell him the rope's rotten too."));
    n3->SetMsgNumber(120);
    n3->SetQuestID(QStringLiteral("GVAR_WELL_QUEST"));
    n3->SetQuestFlag(QStringLiteral("2"));
    GameOption(n3, QStringLiteral("I will."), QStringLiteral("Node999"), 4, rcNeutral, 121);

    TDialogueNode* n4 = Add(p, QStringLiteral("Node004"), ntNPCDialogue, QStringLiteral("You? You couldn't fix a bent nail."));
    n4->SetMsgNumber(130);
    GameOption(n4, QStringLiteral("Fine. Forget it."), QStringLiteral("Node999"), 4, rcNeutral, 131);

    TDialogueNode* n5 = Add(p, QStringLiteral("Node005"), ntNPCDialogue,
                            QStringLiteral("Huh. You talk like you know pumps. Go on, then."));
    n5->SetMsgNumber(140);
    GameOption(n5, QStringLiteral("I'll get started."), QStringLiteral("Node999"), 4, rcNeutral, 141);

    Add(p, QStringLiteral("Node998"), ntCombatTrigger, QStringLiteral("Get away from my well!"))->SetMsgNumber(150);
    Add(p, QStringLiteral("Node999"), ntEndDialogue);
}

// Every node type, every option kind (reactions, intelligence, low
// intelligence, hidden, guarded, skill checks, code on choosing), every
// requirement and condition type, and the global-variable table. Numbers
// are left for the export to assign. tests/data/export/game/golden/ holds
// what it must give.
inline void BuildGameGolden(TDialogueProject& p)
{
    p.SetName(QStringLiteral("Gate */ guard"));
    p.SetNPCScript(QStringLiteral("Guard.ssl"));
    p.SetStartNodeID(QStringLiteral("Node001"));
    p.GlobalVars().insert(QStringLiteral("GVAR_GATE_OPEN"), QStringLiteral("612"));
    p.GlobalVars().insert(QStringLiteral("GVAR_TOWN_REPUTATION"), QStringLiteral("47"));
    p.GlobalVars().insert(QStringLiteral("bad name"), QStringLiteral("1"));
    p.GlobalVars().insert(QStringLiteral("GVAR_NOT_NUMBERED"), QStringLiteral("soon"));
    p.GlobalVars().insert(QStringLiteral("GVAR_START_VALUE"), QStringLiteral("0"));

    TDialogueNode* n1 = Add(p, QStringLiteral("Node001"), ntNPCDialogue, QStringLiteral("Halt! State your business."));
    GameOption(n1, QStringLiteral("Just passing."), QStringLiteral("Node002"), 4);
    GameOption(n1, QStringLiteral("Good day to you, sir."), QStringLiteral("Node003"), 5, rcGood);
    GameOption(n1, QStringLiteral("Out of my way."), QStringLiteral("Node006"), 0, rcBad);
    GameOption(n1, QStringLiteral("Duh?"), QStringLiteral("Node011"), -3, rcGood);
    GameOption(n1, QStringLiteral("Me go."), QStringLiteral("Node011"), -2, rcBad);
    TPlayerOption* hidden = GameOption(n1, QStringLiteral("[Show the pass]"), QStringLiteral("Node007"), 4);
    hidden->IsHidden = true;
    hidden->ItemRequired = QStringLiteral("PID_GATE_PASS");
    TPlayerOption* karma = GameOption(n1, QStringLiteral("I am known here."), QStringLiteral("Node008"), 4);
    karma->KarmaRequired = 250;
    karma->ReputationRequired = 10;
    karma->Guard = QStringLiteral("dude_is_male");
    TPlayerOption* talk = GameOption(n1, QStringLiteral("[Speech] Let me through."), QString(), 4);
    talk->HasSkillCheck = true;
    talk->SkillCheck.Skill = skBigGuns;
    talk->SkillCheck.Difficulty = 75;
    talk->SkillCheck.XPReward = 50;
    talk->SkillCheck.SuccessNodeID = QStringLiteral("Node007");
    talk->SkillCheck.FailureNodeID = QStringLiteral("Node006");
    TPlayerOption* bribe = GameOption(n1, QStringLiteral("Here, take this."), QStringLiteral("Node009"), 4);
    bribe->ScriptOnSelect = QStringLiteral("item_caps_adjust(dude_obj, -50);");

    TDialogueNode* n2 = Add(p, QStringLiteral("Node002"), ntConditional);
    n2->Conditions() << Cond(ctGlobalVar, QStringLiteral("GVAR_GATE_OPEN"), coEQ, QStringLiteral("1"));
    n2->SetNextNodeID(QStringLiteral("Node007"));
    Option(n2, QString(), QStringLiteral("Node003"))->Conditions
        << Cond(ctSkillCheck, QStringLiteral("Small Guns"), coGTE, QStringLiteral("60"))
        << Cond(ctStatCheck, QStringLiteral("iq"), coLT, QStringLiteral("4"));
    Option(n2, QString(), QStringLiteral("Node004"))->Guard = QStringLiteral("game_time_hour < 600");
    Option(n2, QString(), QStringLiteral("Node005"));

    TDialogueNode* n3 = Add(p, QStringLiteral("Node003"), ntRandom);
    Option(n3, QString(), QStringLiteral("Node004"));
    Option(n3, QString(), QStringLiteral("Node005"));
    Option(n3, QString(), QStringLiteral("Node012"));

    TDialogueNode* n4 = Add(p, QStringLiteral("Node004"), ntScript);
    n4->SetRandomWeight(3);
    AddScript(n4, seOnNodeEnter, QStringLiteral("set_local_var(LVAR_Visits, local_var(LVAR_Visits) + 1);\r\ngive_exp_points(10);"));
    AddScript(n4, seOnNodeEnter, QStringLiteral("skipped();"), false);
    AddScript(n4, seOnDialogueEnd, QStringLiteral("if (1) then begin"));
    n4->SetNextNodeID(QStringLiteral("Node001"));

    TDialogueNode* n5 = Add(p, QStringLiteral("Node005"), ntQuestUpdate, QStringLiteral("Gate quest updated."));
    n5->SetQuestID(QStringLiteral("GVAR_GATE_OPEN"));
    n5->SetQuestFlag(QStringLiteral("2"));
    n5->SetNextNodeID(QStringLiteral("Node010"));

    TDialogueNode* n6 = Add(p, QStringLiteral("Node006"), ntCombatTrigger, QStringLiteral("You asked for it!"));
    n6->SetCombatScript(QStringLiteral("set_global_var(GVAR_GATE_OPEN, 0);"));

    TDialogueNode* n7 = Add(p, QStringLiteral("Node007"), ntPlayerReply, QStringLiteral("Go on through {quickly}."));
    n7->SetProcedureName(QStringLiteral("GateOpens"));
    n7->Conditions() << Cond(ctKarma, QString(), coGT, QStringLiteral("-100"))
                     << Cond(ctReputation, QString(), coGTE, QStringLiteral("5"));
    n7->Conditions().last().BoolOp = boOR;
    GameOption(n7, QStringLiteral("Thanks."), QStringLiteral("Node011"), 4);
    GameOption(n7, QStringLiteral("Where to?"), QStringLiteral("Node404"), 4);

    TDialogueNode* n8 = Add(p, QStringLiteral("Node008"), ntTrade, QString::fromUtf8("Care to trade?\r\nI take caps – or barter."));
    n8->SetNextNodeID(QStringLiteral("Node011"));

    TDialogueNode* n9 = Add(p, QStringLiteral("Node009"), ntNPCDialogue, QStringLiteral("That'll do."));
    n9->Conditions() << Cond(ctInventory, QStringLiteral("PID_BOTTLE_CAPS"), coGTE, QStringLiteral("50"))
                     << Cond(ctCompanion, QStringLiteral("PID_DOGMEAT"))
                     << Cond(ctTimeOfDay, QString(), coLT, QStringLiteral("1800"))
                     << Cond(ctRandom, QString(), coEQ, QStringLiteral("30"))
                     << Cond(ctLocalVar, QStringLiteral("LVAR_Visits"), coNEQ, QStringLiteral("0"))
                     << Cond(ctQuestFlag, QStringLiteral("GVAR_GATE_OPEN"), coLTE, QStringLiteral("2"))
                     << Cond(ctGlobalVar, QStringLiteral("MYSTERY_FLAG"), coGT, QStringLiteral("GATE_STATE"));
    n9->Conditions()[1].BoolOp = boNOT;
    n9->Conditions()[4].BoolOp = boOR;
    n9->SetNextNodeID(QStringLiteral("Node012"));

    TDialogueNode* n10 = Add(p, QStringLiteral("Node010"), ntNPCDialogue, QString::fromUtf8("Now scram. \u2622"));
    n10->SetNextNodeID(QStringLiteral("Node011"));
    Add(p, QStringLiteral("Node011"), ntEndDialogue);
    Add(p, QStringLiteral("Node012"), ntComment, QStringLiteral("Random and bribe paths\r\nmeet \\ here"))
        ->SetNextNodeID(QStringLiteral("Node013"));
    Add(p, QStringLiteral("Node013"), ntEndDialogue, QStringLiteral("Move along."));

    auto flt = std::make_unique<TFloatMessage>();
    flt->Text = QStringLiteral("Keep moving.");
    p.FloatMessages().push_back(std::move(flt));
}

}
