#include "editors/NodePropertiesLogic.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace NodePropertiesText {

namespace {

QStringList FromTable(const char* const* table, int count)
{
    QStringList items;
    for (int i = 0; i < count; ++i)
        items << QString::fromLatin1(table[i]);
    return items;
}

const char* const ConditionTypeIds[ConditionTypeCount] = {
    "ctSkillCheck", "ctStatCheck", "ctReputation", "ctKarma", "ctGlobalVar", "ctLocalVar",
    "ctQuestFlag", "ctInventory", "ctTimeOfDay", "ctCompanion", "ctRandom",
};
const char* const BoolOpNames[BoolOpCount] = { "AND", "OR", "NOT" };

QString Entry(const char* const* table, int count, int index)
{
    return index >= 0 && index < count ? QString::fromLatin1(table[index]) : QString();
}

}

QStringList NodeTypeItems() { return FromTable(NodeTypeNames, NodeTypeCount); }
QStringList SkillItems() { return FromTable(SkillNames, SkillTypeCount); }
QStringList ConditionTypeItems() { return FromTable(ConditionTypeIds, ConditionTypeCount); }
QStringList OperatorItems() { return FromTable(OperatorSymbols, ConditionOperatorCount); }
QStringList BoolOpItems() { return FromTable(BoolOpNames, BoolOpCount); }
QStringList ScriptEventItems() { return FromTable(ScriptEventIdentifiers, ScriptEventCount); }
QStringList ReactionItems() { return FromTable(ReactionNames, ReactionCount); }

QStringList IntelligenceKindItems()
{
    return { QStringLiteral("None"), QStringLiteral("At least"), QStringLiteral("At most (low intelligence)") };
}

QString NoneEntry() { return QStringLiteral("(none)"); }
QString TypeName(int nodeType) { return Entry(NodeTypeNames, NodeTypeCount, nodeType); }

QString Title(const TDialogueNode& node)
{
    return QStringLiteral("Node Properties  [") + node.ID().left(16) + QStringLiteral("]  - ")
        + TypeName(node.NodeType());
}

QString NodeEntryText(const TDialogueNode& node)
{
    QString text = QLatin1Char('[') + node.ID().left(8) + QStringLiteral("] ") + TypeName(node.NodeType());
    if (!node.Speaker().isEmpty())
        text += QStringLiteral(" - ") + node.Speaker();
    const QString start = node.Text().left(30).trimmed();
    if (!start.isEmpty())
        text += QStringLiteral(": ") + start;
    return text;
}

QString OptionCaption(const TPlayerOption& option)
{
    QString caption = option.Text.isEmpty() ? QStringLiteral("(empty)") : option.Text;
    if (option.HasSkillCheck)
        caption.prepend(QStringLiteral("[SKILL] "));
    if (option.IsHidden)
        caption.prepend(QStringLiteral("[H] "));
    return caption;
}

QString ConditionCaption(const TCondition& condition)
{
    return Entry(ConditionTypeIds, ConditionTypeCount, condition.CondType) + QLatin1Char(' ') + condition.Variable
        + QLatin1Char(' ') + Entry(OperatorSymbols, ConditionOperatorCount, condition.Operator) + QLatin1Char(' ')
        + condition.Value;
}

QString ScriptCaption(const TNodeScript& script)
{
    const QString event = Entry(ScriptEventIdentifiers, ScriptEventCount, script.EventType);
    return script.IsEnabled ? event : QStringLiteral("[OFF] ") + event;
}

QString NewOptionText() { return QStringLiteral("New response option"); }

QString NewScriptCode()
{
    return QStringList{ QStringLiteral("// Script code here"),
                        QStringLiteral("procedure OnNodeEnter(npc, player: TEntity; nodeID: string);"),
                        QStringLiteral("begin"), QStringLiteral("  // Your code"), QStringLiteral("end;") }
        .join(QStringLiteral("\r\n"));
}

}

TNodePicker::TNodePicker(const TDialogueProject& project, const TDialogueNode* edited)
{
    FEntries.reserve(project.NodeCount() + 1);
    FEntries.push_back({ NodePropertiesText::NoneEntry(), QString() });
    for (const auto& node : project.Nodes())
        if (node.get() != edited)
            FEntries.push_back({ NodePropertiesText::NodeEntryText(*node), node->ID() });
}

int TNodePicker::IndexOfNode(const QString& nodeID) const
{
    if (nodeID.isEmpty())
        return -1;
    for (int i = 1; i < FEntries.size(); ++i)
        if (FEntries[i].NodeID == nodeID)
            return i;
    return -1;
}

int TNodePicker::EffectiveIndex(int selectedIndex, const QString& shownText) const
{
    if (selectedIndex >= 0 && selectedIndex < FEntries.size() && FEntries[selectedIndex].Text == shownText)
        return selectedIndex;
    for (int i = 0; i < FEntries.size(); ++i)
        if (FEntries[i].Text == shownText)
            return i;
    return -1;
}

QString TNodePicker::LinkFor(int selectedIndex, const QString& shownText) const
{
    const int index = EffectiveIndex(selectedIndex, shownText);
    return index >= 0 ? FEntries[index].NodeID : shownText;
}

TNodeGeneralFields TNodeGeneralFields::From(const TDialogueNode& node)
{
    TNodeGeneralFields f;
    f.NodeType = node.NodeType();
    f.Speaker = node.Speaker();
    f.Text = node.Text();
    f.Notes = node.Notes();
    f.PortraitFile = node.PortraitFile();
    f.VoiceFile = node.VoiceFile();
    f.QuestID = node.QuestID();
    f.QuestFlag = node.QuestFlag();
    f.Reputation = node.Reputation();
    f.Karma = node.Karma();
    f.Tag = node.Tag();
    f.RandomWeight = node.RandomWeight();
    f.IsStartNode = node.IsStartNode();
    f.Comment = node.Comment();
    f.CombatScript = node.CombatScript();
    f.MsgNumber = node.MsgNumber();
    f.ProcedureName = node.ProcedureName();
    return f;
}

void TNodeGeneralFields::StoreInto(TDialogueNode& node, TDialogueProject* project) const
{
    if (NodeType >= 0 && NodeType < NodeTypeCount)
        node.SetNodeType(TNodeType(NodeType));
    node.SetSpeaker(Speaker);
    node.SetText(Text);
    node.SetNotes(Notes);
    node.SetPortraitFile(PortraitFile);
    node.SetVoiceFile(VoiceFile);
    node.SetQuestID(QuestID);
    node.SetQuestFlag(QuestFlag);
    node.SetReputation(Reputation);
    node.SetKarma(Karma);
    node.SetTag(Tag);
    node.SetRandomWeight(RandomWeight);
    node.SetComment(Comment);
    node.SetCombatScript(CombatScript);
    node.SetMsgNumber(MsgNumber);
    node.SetProcedureName(ProcedureName);
    ApplyStartMark(node, project, IsStartNode);
}

void ApplyStartMark(TDialogueNode& node, TDialogueProject* project, bool ticked)
{
    if (ticked && !node.IsStartNode() && project) {
        for (const auto& other : project->Nodes())
            other->SetIsStartNode(false);
        project->SetStartNodeID(node.ID());
    }
    node.SetIsStartNode(ticked);
}

namespace {

// The option's own fields the details carry; both types name them alike,
// so loading and storing copy one list.
template <class Source, class Target> void CopyOptionFields(const Source& from, Target& to)
{
    to.Text = from.Text;
    to.TargetNodeID = from.TargetNodeID;
    to.IsHidden = from.IsHidden;
    to.HasSkillCheck = from.HasSkillCheck;
    to.ItemRequired = from.ItemRequired;
    to.ReputationRequired = from.ReputationRequired;
    to.KarmaRequired = from.KarmaRequired;
    to.IntelligenceRequired = from.IntelligenceRequired;
    to.Reaction = from.Reaction;
    to.MsgNumber = from.MsgNumber;
    to.Guard = from.Guard;
}

}

TIntelligenceChoice TIntelligenceChoice::From(qint32 required)
{
    if (required > 0)
        return { ikAtLeast, required };
    if (required < 0)   // the lowest integer has no positive twin; its neighbour stands in
        return { ikAtMost, required == std::numeric_limits<qint32>::min() ? std::numeric_limits<qint32>::max()
                                                                         : -required };
    return {};
}

qint32 TIntelligenceChoice::Required() const
{
    switch (Kind) {
    case ikAtLeast: return Amount;
    case ikAtMost: return -Amount;
    default: return 0;
    }
}

int TIntelligenceChoice::UsualAmount(int kind) { return kind == ikAtMost ? 3 : 4; }

TOptionDetails TOptionDetails::From(const TPlayerOption& option)
{
    TOptionDetails d;
    CopyOptionFields(option, d);
    d.SkillCheck = option.SkillCheck;
    return d;
}

void TOptionDetails::StoreInto(TPlayerOption& option) const
{
    CopyOptionFields(*this, option);
    if (!HasSkillCheck)
        return;
    TSkillCheck& sc = option.SkillCheck;
    sc.Skill = SkillCheck.Skill;
    sc.Difficulty = SkillCheck.Difficulty;
    sc.XPReward = SkillCheck.XPReward;
    sc.SuccessMessage = SkillCheck.SuccessMessage;
    sc.FailureMessage = SkillCheck.FailureMessage;
    sc.SuccessNodeID = SkillCheck.SuccessNodeID;
    sc.FailureNodeID = SkillCheck.FailureNodeID;
}

TScriptDetails TScriptDetails::From(const TNodeScript& script)
{
    return { script.EventType, script.IsEnabled, script.ScriptCode };
}

void TScriptDetails::StoreInto(TNodeScript& script) const
{
    if (EventType >= 0 && EventType < ScriptEventCount)
        script.EventType = TScriptEvent(EventType);
    script.IsEnabled = IsEnabled;
    script.ScriptCode = Code;
}

namespace NodeListOps {

namespace {

template <class List> bool Valid(const List& list, int index) { return index >= 0 && index < int(list.size()); }

}

int AddOption(TDialogueNode& node)
{
    node.AddOption()->Text = NodePropertiesText::NewOptionText();
    return int(node.PlayerOptions().size()) - 1;
}

int DeleteOption(TDialogueNode& node, int index)
{
    auto& options = node.PlayerOptions();
    if (!Valid(options, index))
        return -1;
    options.erase(options.begin() + index);
    return std::min(index, int(options.size()) - 1);
}

int MoveOption(TDialogueNode& node, int index, int delta)
{
    auto& options = node.PlayerOptions();
    const int to = index + delta;
    if (!Valid(options, index) || !Valid(options, to))
        return -1;
    std::swap(options[size_t(index)], options[size_t(to)]);
    return to;
}

int AddCondition(TDialogueNode& node)
{
    TCondition c;
    c.CondType = ctSkillCheck;
    c.Variable = QStringLiteral("SPEECH");
    c.Operator = coGTE;
    c.Value = QStringLiteral("50");
    c.BoolOp = boAND;
    node.Conditions().append(c);
    return int(node.Conditions().size()) - 1;
}

bool DeleteCondition(TDialogueNode& node, int index)
{
    if (!Valid(node.Conditions(), index))
        return false;
    node.Conditions().removeAt(index);
    return true;
}

int AddScript(TDialogueNode& node)
{
    TNodeScript* script = node.AddScript();
    script->EventType = seOnNodeEnter;
    script->IsEnabled = true;
    script->ScriptCode = NodePropertiesText::NewScriptCode();
    return int(node.Scripts().size()) - 1;
}

bool DeleteScript(TDialogueNode& node, int index)
{
    auto& scripts = node.Scripts();
    if (!Valid(scripts, index))
        return false;
    scripts.erase(scripts.begin() + index);
    return true;
}

}
