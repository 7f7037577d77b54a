#pragma once
// Projects and helpers shared by the export test programs.

#include "model/DialogueTypes.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QString>

#include <memory>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace ExportFixtures {

inline TDialogueNode* Add(TDialogueProject& p, const QString& id, TNodeType type, const QString& text = QString())
{
    TDialogueNode* n = p.AppendNode(std::make_unique<TDialogueNode>(id, type));
    n->SetText(text);
    return n;
}

inline TCondition Cond(TConditionType type, const QString& var, TConditionOperator op = coEQ,
                       const QString& value = QString())
{
    TCondition c;
    c.CondType = type;
    c.Variable = var;
    c.Operator = op;
    c.Value = value;
    return c;
}

inline TPlayerOption* Option(TDialogueNode* n, const QString& text, const QString& target = QString())
{
    TPlayerOption* o = n->AddOption();
    o->Text = text;
    o->TargetNodeID = target;
    return o;
}

inline void AddScript(TDialogueNode* n, TScriptEvent ev, const QString& code, bool enabled = true)
{
    TNodeScript* s = n->AddScript();
    s->EventType = ev;
    s->ScriptCode = code;
    s->IsEnabled = enabled;
}

// Every node type, condition type and operator, skill checks, scripts, float
// messages, random and conditional nodes, and texts with quotes, braces,
// backslashes, tabs, line breaks and characters outside ASCII. The files
// under tests/data/export/golden.* are what it must give.
inline void BuildGoldenProject(TDialogueProject& p)
{
    p.SetStartNodeID(QStringLiteral("Node001"));

    TDialogueNode* n1 = Add(p, QStringLiteral("Node001"), ntNPCDialogue, QStringLiteral("Halt! Who goes there?"));
    n1->SetSpeaker(QStringLiteral("Guard"));
    n1->Conditions() << Cond(ctStatCheck, QStringLiteral("STAT_st"), coGTE, QStringLiteral("5"))
                     << Cond(ctReputation, QString(), coGT, QStringLiteral("10"));
    n1->SetNextNodeID(QStringLiteral("Node002"));
    Option(n1, QStringLiteral("Me."), QStringLiteral("Node002"));
    AddScript(n1, seOnNodeEnter, QStringLiteral("never_written();"));

    TDialogueNode* n2 = Add(p, QStringLiteral("Node002"), ntPlayerReply,
                            QStringLiteral("Sag mir: wer bist du?\r\nSprich!"));
    Option(n2, QStringLiteral("I'm a friend."), QStringLiteral("Node003"));
    TPlayerOption* pass = Option(n2, QStringLiteral("Let me pass {or else}"));
    pass->HasSkillCheck = true;
    pass->SkillCheck.Skill = skSpeech;
    pass->SkillCheck.SuccessNodeID = QStringLiteral("Node004");
    pass->SkillCheck.FailureNodeID = QStringLiteral("Node005");
    TPlayerOption* hidden = Option(n2, QStringLiteral("C:\\path\\tab\there"));
    hidden->IsHidden = true;
    hidden->HasSkillCheck = true;
    hidden->SkillCheck.Skill = skBigGuns;

    TDialogueNode* n3 = Add(p, QStringLiteral("Node003"), ntConditional);
    Option(n3, QString(), QStringLiteral("Node004"))->Conditions << Cond(ctSkillCheck, QStringLiteral("speech"));
    Option(n3, QString())->Conditions << Cond(ctGlobalVar, QStringLiteral("GVAR_X"), coNEQ, QStringLiteral("0"));
    Option(n3, QString(), QStringLiteral("Node005"))->Conditions
        << Cond(ctLocalVar, QStringLiteral("LVAR_Y"), coLT, QStringLiteral("3"))
        << Cond(ctKarma, QString(), coGT, QStringLiteral("0"));
    Option(n3, QString(), QStringLiteral("Node006"));   // no condition at all

    TDialogueNode* n4 = Add(p, QStringLiteral("Node004"), ntRandom, QString::fromUtf8("Zufall – ½ €"));
    Option(n4, QStringLiteral("a"), QStringLiteral("Node005"));
    Option(n4, QStringLiteral("b"), QStringLiteral("Node006"));
    Option(n4, QStringLiteral("c"));

    TDialogueNode* n5 = Add(p, QStringLiteral("Node005"), ntScript);
    AddScript(n5, seOnNodeEnter, QStringLiteral("set_global_var(1, 2);\r\ndisplay_msg(3);"));
    AddScript(n5, seOnNodeEnter, QStringLiteral("skipped();"), false);
    AddScript(n5, seOnDialogueStart, QStringLiteral("  \r\n "));
    AddScript(n5, seOnDialogueEnd, QStringLiteral("a\nb"));
    n5->SetNextNodeID(QStringLiteral("Node011"));

    TDialogueNode* n6 = Add(p, QStringLiteral("Node006"), ntCombatTrigger, QStringLiteral("Fight!"));
    n6->Conditions() << Cond(ctKarma, QString(), coLTE, QStringLiteral("-5"))
                     << Cond(ctQuestFlag, QStringLiteral("Q_RATS"), coEQ, QStringLiteral("2"))
                     << Cond(ctInventory, QStringLiteral("PID_KEY"), coGT, QStringLiteral("0"))
                     << Cond(ctTimeOfDay, QString(), coLT, QStringLiteral("12"))
                     << Cond(ctCompanion, QStringLiteral("PARTY_DOG"))
                     << Cond(ctRandom, QString(), coEQ, QStringLiteral("30"));

    TDialogueNode* n7 = Add(p, QStringLiteral("Node007"), ntQuestUpdate, QStringLiteral("Quest\nupdated"));
    n7->SetQuestID(QStringLiteral("find_water"));
    TDialogueNode* n8 = Add(p, QStringLiteral("Node008"), ntQuestUpdate, QStringLiteral("Done"));
    n8->SetQuestID(QStringLiteral("kill_Rats2"));
    n8->SetQuestFlag(QStringLiteral("QSTATE_DONE"));
    Add(p, QStringLiteral("Node009"), ntQuestUpdate);
    Add(p, QStringLiteral("Node010"), ntTrade, QStringLiteral("Trade?"))->SetSpeaker(QStringLiteral("Trader *) Bob"));
    Add(p, QStringLiteral("Node011"), ntEndDialogue, QStringLiteral("Bye."));
    Add(p, QStringLiteral("Node012"), ntComment, QStringLiteral("A comment"));

    auto flt = std::make_unique<TFloatMessage>();
    flt->Text = QStringLiteral("Halt!");
    p.FloatMessages().push_back(std::move(flt));
    flt = std::make_unique<TFloatMessage>();
    flt->Text = QStringLiteral("Move along, \"citizen\"\r\nor else.");
    p.FloatMessages().push_back(std::move(flt));
}

inline QByteArray Golden(const QString& name)
{
    return TestSupport::ReadFile(TestSupport::DataPath(QStringLiteral("export/") + name));
}

// Lines of a CR LF text, for readable failure messages.
inline QStringList CrLfLines(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
}

using TestSupport::FilesIn;

}
