#include "bench/ProjectGenerator.h"

void GenerateProject(TDialogueProject& project, int nodeCount)
{
    project.SetName(QStringLiteral("Benchmark"));
    project.SetNPCName(QStringLiteral("Generated Größe"));
    project.Tags() << QStringLiteral("bench") << QStringLiteral("two words");
    project.Locales() << QStringLiteral("en") << QStringLiteral("de");
    for (int i = 0; i < nodeCount; ++i) {
        TDialogueNode* n = project.AddNode(TNodeType(i % NodeTypeCount));
        n->SetText(QStringLiteral("Node %1 says: «Grüß dich», \"friend\" — ŝtranĝa teksto\nline two").arg(i));
        n->SetSpeaker(QStringLiteral("Speaker %1").arg(i % 7));
        n->SetX(i * 37 % 5000);
        n->SetY(i * 53 % 5000);
        n->SetNextNodeID(QStringLiteral("Node%1").arg((i + 1) % nodeCount + 1, 3, 10, QLatin1Char('0')));
        for (int k = 0; k < 3; ++k) {
            TPlayerOption* o = n->AddOption();
            o->Text = QStringLiteral("Option %1 — «réponse» %2").arg(k).arg(i);
            o->TargetNodeID = QStringLiteral("Node%1").arg((i + k * 17) % nodeCount + 1, 3, 10, QLatin1Char('0'));
            o->HasSkillCheck = (k == 1);
            o->SkillCheck.Skill = TSkillType(i % SkillTypeCount);
            o->SkillCheck.Difficulty = 40 + k;
        }
        TCondition c;
        c.CondType = ctGlobalVar;
        c.Variable = QStringLiteral("GVAR_%1").arg(i % 50);
        c.Value = QStringLiteral("%1").arg(i);
        n->Conditions() << c << c;
        TNodeScript* s = n->AddScript();
        s->ScriptCode = QStringLiteral("set_global_var(%1, 1);\n\tdisplay_msg(\"ok\");").arg(i);
    }
    project.SetStartNodeID(QStringLiteral("Node001"));
}
