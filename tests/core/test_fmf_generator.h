#pragma once
// Random dialogue projects for the FMF tests, built from a seed: node types,
// options, conditions, skill checks, scripts, float messages and variables,
// with non-ASCII text, quotes, line breaks, tabs and words the reader looks
// for as keywords.

#include "model/DialogueTypes.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <random>

class TFMFProjectGenerator {
public:
    explicit TFMFProjectGenerator(unsigned seed) : FRandom(seed) {}

    std::unique_ptr<TDialogueProject> Make(int maxNodes = 12)
    {
        auto project = std::make_unique<TDialogueProject>();
        project->SetNPCName(Text(2));
        project->SetNPCScript(Word());
        project->SetDescription(Text(4));
        for (int i = Below(4); i > 0; --i)
            project->GlobalVars().insert(Identifier(), Pick(0, 4) == 0 ? Text(2) + QStringLiteral(";") : Text(2));
        for (int i = Below(4); i > 0; --i) {
            auto message = std::make_unique<TFloatMessage>();
            if (Below(3) == 0)
                message->ID = Text(1);
            message->Text = Text(3);
            project->FloatMessages().push_back(std::move(message));
        }
        const int nodeCount = Below(maxNodes + 1);
        for (int i = 0; i < nodeCount; ++i) {
            TDialogueNode* node = project->AddNode(TNodeType(Below(NodeTypeCount)));
            if (Below(4) == 0)
                node->SetID(Below(2) ? Identifier() : QStringLiteral("Custom %1").arg(i));
        }
        for (const auto& node : project->Nodes())
            FillNode(*project, *node);
        const int start = Below(nodeCount + 2);
        project->SetStartNodeID(start < nodeCount ? project->NodeAt(start)->ID()
                                                  : (start == nodeCount ? QString() : QStringLiteral("Missing")));
        return project;
    }

    int Below(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(FRandom); }
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(FRandom); }

    // Free text. A backslash never stands right before "n", "t", a quote or
    // the end: the format writes backslashes as they are, so those could not
    // be told apart from its escapes.
    QString Text(int maxPieces)
    {
        static const char* const pieces[] = {
            "Hello", "traveller", " ", "  ", "Grüß dich", "«réponse»", "—", "€", "ŝtranĝa", "日本語", "😀",
            "\"quoted\"", "\"", "\r\n", "\n", "\r", "\t", "a, b", "{", "}", "};", "C:\\Games\\x", "\\\\x",
            "linkto", "LINKTO \"x\"", "conditions {", "gender=male", "reaction=", "REACTION_BAD", "LINK_NEXT",
            "playertext", "notes", "NODE \"Fake\"", "=>", ";", "=", "SkillCheck_0_Node001", "INT=1", "\x01", "#",
            "/*", "*", "-5", "0",
        };
        QString text;
        for (int i = Below(maxPieces + 1); i > 0; --i)
            text += QString::fromUtf8(pieces[Below(int(std::size(pieces)))]);
        return text;
    }

    QString Identifier()
    {
        static const char* const names[] = {"GVAR_A", "LVAR_b", "x", "Q1", "PID_KEY", "SPEECH", "x_link_next_y"};
        return QString::fromLatin1(names[Below(int(std::size(names)))]) + QString::number(Below(20));
    }

    QString Word() { return Below(3) == 0 ? QString() : Identifier(); }

private:
    QString Target(const TDialogueProject& project)
    {
        const int n = project.NodeCount();
        const int pick = Below(n + 2);
        if (pick < n)
            return project.NodeAt(pick)->ID();
        return pick == n ? QString() : QStringLiteral("Ghost%1").arg(Below(3));
    }

    QString ConditionValue(TConditionType type)
    {
        switch (Below(type == ctRandom ? 3 : 6)) {
        case 0: return QString::number(Pick(-1000, 1000));
        case 1: return Identifier();
        case 2: return QStringLiteral("two words");
        case 3: return QString();
        case 4: return Text(3);
        default: return QStringLiteral("say \"hi\", then } leave");
        }
    }

    TCondition MakeCondition()
    {
        TCondition c;
        c.CondType = TConditionType(Below(ConditionTypeCount));
        c.Variable = c.CondType == ctRandom ? QString() : Word();
        c.Operator = c.CondType == ctRandom ? coEQ : TConditionOperator(Below(ConditionOperatorCount));
        c.Value = ConditionValue(c.CondType);
        return c;
    }

    void FillNode(const TDialogueProject& project, TDialogueNode& node)
    {
        node.SetText(Text(6));
        node.SetNotes(Below(2) ? Text(3) : QString());
        for (int i = Below(3); i > 0; --i) {
            QString code;
            for (int k = Below(4); k > 0; --k)
                code += Text(3) + (Below(2) ? QStringLiteral("\r\n") : QStringLiteral("\r\n\r\n"));
            node.AddScript()->ScriptCode = Below(5) == 0 ? QStringLiteral("  \r\n ") : code;
        }
        for (int i = Below(5); i > 0; --i) {
            TPlayerOption* option = node.AddOption();
            option->Text = Text(4);
            option->TargetNodeID = Target(project);
            option->IsHidden = Below(3) == 0;
            for (int k = Below(4); k > 0; --k)
                option->Conditions << MakeCondition();
            if (Below(3) == 0) {
                option->HasSkillCheck = true;
                option->SkillCheck.Skill = TSkillType(Below(SkillTypeCount));
                option->SkillCheck.Difficulty = Pick(-100, 300);
                option->SkillCheck.SuccessNodeID = Below(3) ? Target(project) : QString();
                option->SkillCheck.FailureNodeID = Below(3) ? Target(project) : QString();
            }
        }
    }

    std::mt19937 FRandom;
};
