#include "shell/ProjectSnapshot.h"

namespace {

// The option's own copy: every field, the memory-only conditions too.
std::unique_ptr<TPlayerOption> CloneOption(const TPlayerOption& o)
{
    return std::make_unique<TPlayerOption>(o);
}

// Every field but the ID and type, which the target already has; the
// target's own options and scripts are replaced.
void CopyNodeFields(TDialogueNode& copy, const TDialogueNode& n)
{
    copy.SetText(n.Text());
    copy.SetSpeaker(n.Speaker());
    copy.SetPortraitFile(n.PortraitFile());
    copy.SetVoiceFile(n.VoiceFile());
    copy.SetX(n.X());
    copy.SetY(n.Y());
    copy.SetWidth(n.Width());
    copy.SetHeight(n.Height());
    copy.SetColor(n.Color());
    copy.SetSelected(n.Selected());
    copy.SetComment(n.Comment());
    copy.SetQuestID(n.QuestID());
    copy.SetQuestFlag(n.QuestFlag());
    copy.SetScriptFile(n.ScriptFile());
    copy.SetReputation(n.Reputation());
    copy.SetKarma(n.Karma());
    copy.SetTag(n.Tag());
    copy.SetNotes(n.Notes());
    copy.SetNextNodeID(n.NextNodeID());
    copy.SetIsStartNode(n.IsStartNode());
    copy.SetRandomWeight(n.RandomWeight());
    copy.SetCombatScript(n.CombatScript());
    copy.SetTradeInventory(n.TradeInventory());
    copy.SetMsgNumber(n.MsgNumber());
    copy.SetProcedureName(n.ProcedureName());
    copy.SetOriginalID(n.OriginalID());
    copy.Conditions() = n.Conditions();
    copy.PlayerOptions().clear();
    copy.PlayerOptions().reserve(n.PlayerOptions().size());
    for (const auto& o : n.PlayerOptions())
        copy.PlayerOptions().push_back(CloneOption(*o));
    copy.Scripts().clear();
    for (const auto& s : n.Scripts())
        copy.Scripts().push_back(std::make_unique<TNodeScript>(*s));
}

void CopyProperties(TDialogueProject& to, const TDialogueProject& from)
{
    to.SetName(from.Name());
    to.SetFilePath(from.FilePath());
    to.SetNPCName(from.NPCName());
    to.SetNPCScript(from.NPCScript());
    to.SetModified(from.Modified());
    to.SetStartNodeID(from.StartNodeID());
    to.SetDescription(from.Description());
    to.SetVersion(from.Version());
    to.SetAuthor(from.Author());
    to.SetActiveLocale(from.ActiveLocale());
    to.SetCreatedDate(from.CreatedDate());
    to.SetModifiedDate(from.ModifiedDate());
    to.GlobalVars() = from.GlobalVars();
    to.Tags() = from.Tags();
    to.Locales() = from.Locales();
    to.GameScript() = from.GameScript();
}

}

namespace ProjectSnapshot {

std::unique_ptr<TDialogueNode> CloneNode(const TDialogueNode& source)
{
    auto copy = std::make_unique<TDialogueNode>(source.ID(), source.NodeType());
    CopyNodeFields(*copy, source);
    return copy;
}

void RestoreNode(TDialogueNode& target, const TDialogueNode& saved)
{
    CopyNodeFields(target, saved);
}

std::unique_ptr<TDialogueProject> Clone(const TDialogueProject& source)
{
    auto copy = std::make_unique<TDialogueProject>();
    CopyProperties(*copy, source);
    for (const auto& node : source.Nodes())
        copy->AppendNode(CloneNode(*node));
    for (const auto& fm : source.FloatMessages())
        copy->FloatMessages().push_back(std::make_unique<TFloatMessage>(*fm));
    return copy;
}

void Restore(TDialogueProject& target, const TDialogueProject& snapshot)
{
    const QString filePath = target.FilePath();
    std::unique_ptr<TDialogueProject> copy = Clone(snapshot);
    target.TakeContentFrom(*copy);
    target.SetFilePath(filePath);
}

bool SameLayout(const TDialogueProject& a, const TDialogueProject& b)
{
    if (a.NodeCount() != b.NodeCount())
        return false;
    for (int i = 0; i < a.NodeCount(); ++i) {
        const TDialogueNode* x = a.NodeAt(i);
        const TDialogueNode* y = b.NodeAt(i);
        if (x->ID() != y->ID() || x->X() != y->X() || x->Y() != y->Y() || x->IsStartNode() != y->IsStartNode())
            return false;
    }
    return a.StartNodeID() == b.StartNodeID();
}

}
