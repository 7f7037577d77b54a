#pragma once
// The project file's JSON tree, key by key in the file's order, written
// to any sink of model/JsonSinks.h (a TJsonValue tree or the saved text).

#include "model/CommaText.h"
#include "model/DateTimeText.h"
#include "model/DialogueTypes.h"

template <class Sink>
void WriteSkillCheck(Sink& w, const TSkillCheck& sc)
{
    w.BeginObject("skillCheck", 8);
    w.Value("skill", qint64(sc.Skill));
    w.Value("difficulty", qint64(sc.Difficulty));
    w.Value("critBonus", qint64(sc.CritSuccessBonus));
    w.Value("xpReward", qint64(sc.XPReward));
    w.Value("successMsg", sc.SuccessMessage);
    w.Value("failMsg", sc.FailureMessage);
    w.Value("successNode", sc.SuccessNodeID);
    w.Value("failNode", sc.FailureNodeID);
    w.End();
}

template <class Sink>
void WriteOption(Sink& w, const TPlayerOption& opt)
{
    w.BeginObject(nullptr, 10);
    w.Value("id", opt.ID);
    w.Value("text", opt.Text);
    w.Value("targetNodeId", opt.TargetNodeID);
    w.Value("isHidden", opt.IsHidden);
    w.Value("hasSkillCheck", opt.HasSkillCheck);
    w.Value("scriptOnSelect", opt.ScriptOnSelect);
    w.Value("reputationRequired", qint64(opt.ReputationRequired));
    w.Value("karmaRequired", qint64(opt.KarmaRequired));
    w.Value("itemRequired", opt.ItemRequired);
    // The game-script fields are written only when set, so projects that
    // never use them save exactly as before.
    if (opt.IntelligenceRequired != 0)
        w.Value("intelligenceRequired", qint64(opt.IntelligenceRequired));
    if (opt.Reaction != rcNeutral)
        w.Value("reaction", qint64(opt.Reaction));
    if (opt.MsgNumber != 0)
        w.Value("msgNumber", qint64(opt.MsgNumber));
    if (!opt.Guard.isEmpty())
        w.Value("guard", opt.Guard);
    if (opt.HasSkillCheck)
        WriteSkillCheck(w, opt.SkillCheck);
    w.End();
}

template <class Sink>
void WriteNode(Sink& w, const TDialogueNode& n)
{
    w.BeginObject(nullptr, 27);
    w.Value("id", n.ID());
    w.Value("type", QString::number(int(n.NodeType())));
    w.Value("text", n.Text());
    w.Value("speaker", n.Speaker());
    w.Value("portrait", n.PortraitFile());
    w.Value("voice", n.VoiceFile());
    w.Value("x", qint64(n.X()));
    w.Value("y", qint64(n.Y()));
    w.Value("width", qint64(n.Width()));
    w.Value("height", qint64(n.Height()));
    w.Value("color", qint64(n.Color()));
    w.Value("comment", n.Comment());
    w.Value("questId", n.QuestID());
    w.Value("questFlag", n.QuestFlag());
    w.Value("scriptFile", n.ScriptFile());
    w.Value("reputation", qint64(n.Reputation()));
    w.Value("karma", qint64(n.Karma()));
    w.Value("tag", n.Tag());
    w.Value("notes", n.Notes());
    w.Value("nextNodeId", n.NextNodeID());
    w.Value("isStartNode", n.IsStartNode());
    w.Value("randomWeight", qint64(n.RandomWeight()));
    w.Value("combatScript", n.CombatScript());
    w.Value("tradeInventory", n.TradeInventory());
    if (n.MsgNumber() != 0)
        w.Value("msgNumber", qint64(n.MsgNumber()));
    if (!n.ProcedureName().isEmpty())
        w.Value("procedureName", n.ProcedureName());

    w.BeginArray("options", n.PlayerOptions().size());
    for (const auto& opt : n.PlayerOptions())
        WriteOption(w, *opt);
    w.End();

    w.BeginArray("conditions", size_t(n.Conditions().size()));
    for (const TCondition& c : n.Conditions()) {
        w.BeginObject(nullptr, 5);
        w.Value("type", qint64(c.CondType));
        w.Value("variable", c.Variable);
        w.Value("operator", qint64(c.Operator));
        w.Value("value", c.Value);
        w.Value("boolOp", qint64(c.BoolOp));
        w.End();
    }
    w.End();

    w.BeginArray("scripts", n.Scripts().size());
    for (const auto& s : n.Scripts()) {
        w.BeginObject(nullptr, 3);
        w.Value("event", qint64(s->EventType));
        w.Value("code", s->ScriptCode);
        w.Value("enabled", s->IsEnabled);
        w.End();
    }
    w.End();
    w.End();
}

template <class Sink>
void WriteFloatMessage(Sink& w, const TFloatMessage& m)
{
    w.BeginObject(nullptr, 11);
    w.Value("id", m.ID);
    w.Value("category", m.Category);
    w.Value("text", m.Text);
    w.Value("priority", qint64(m.Priority));
    w.Value("weight", qint64(m.Weight));
    w.Value("condition", m.Condition);
    w.Float("timedDuration", double(m.TimedDuration));
    w.Value("isAmbient", m.IsAmbient);
    w.Value("isCombatTaunt", m.IsCombatTaunt);
    w.Value("isContextSensitive", m.IsContextSensitive);
    w.Value("localeKey", m.LocaleKey);
    if (m.MsgNumber != 0)
        w.Value("msgNumber", qint64(m.MsgNumber));
    w.End();
}

// Only imported projects have it; the key is absent otherwise.
template <class Sink>
void WriteGameScript(Sink& w, const TGameScriptFrame& frame)
{
    static const char* const kindKeys[] = { "text", "declare", "procedure" };
    w.BeginObject("gameScript", 2);
    w.BeginArray("parts", size_t(frame.Parts.size()));
    for (const TGameScriptPart& part : frame.Parts) {
        w.BeginObject(nullptr, 1);
        w.Value(kindKeys[part.Kind], part.Text);
        w.End();
    }
    w.End();
    w.BeginArray("messages", size_t(frame.Messages.size()));
    for (auto it = frame.Messages.cbegin(); it != frame.Messages.cend(); ++it) {
        w.BeginObject(nullptr, 2);
        w.Value("number", qint64(it.key()));
        w.Value("text", it.value());
        w.End();
    }
    w.End();
    w.End();
}

template <class Sink>
void WriteProject(Sink& w, const TDialogueProject& p)
{
    w.BeginObject(nullptr, 15);
    w.Value("name", p.Name());
    w.Value("npcName", p.NPCName());
    w.Value("npcScript", p.NPCScript());
    w.Value("description", p.Description());
    w.Value("version", p.Version());
    w.Value("author", p.Author());
    w.Value("startNodeId", p.StartNodeID());
    w.Value("createdDate", DateTimeText::Format(p.CreatedDate()));
    // The time of writing, not the stored modification date.
    w.Value("modifiedDate", DateTimeText::Format(DateTimeText::Now()));
    w.Value("activeLocale", p.ActiveLocale());
    w.Value("locales", p.Locales().join(QLatin1Char(',')));
    w.Value("tags", CommaText::Join(p.Tags()));

    w.BeginArray("nodes", p.Nodes().size());
    for (const auto& node : p.Nodes())
        WriteNode(w, *node);
    w.End();

    w.BeginArray("floatMessages", p.FloatMessages().size());
    for (const auto& fm : p.FloatMessages())
        WriteFloatMessage(w, *fm);
    w.End();

    w.BeginArray("globalVars", size_t(p.GlobalVars().size()));
    for (auto it = p.GlobalVars().cbegin(); it != p.GlobalVars().cend(); ++it) {
        w.BeginObject(nullptr, 2);
        w.Value("key", it.key());
        w.Value("value", it.value());
        w.End();
    }
    w.End();
    if (!p.GameScript().IsEmpty())
        WriteGameScript(w, p.GameScript());
    w.End();
}
