#include "model/DialogueTypes.h"
#include "model/MessageNumbers.h"

#include <QSet>

namespace {
bool IsMissing(const TDialogueProject& project, const QString& id)
{
    return !id.isEmpty() && !project.FindNode(id);
}
}

QStringList TDialogueProject::ValidateProject() const
{
    QStringList problems;
    if (FStartNodeID.isEmpty())
        problems << QStringLiteral("WARNING: No start node defined");

    QSet<QString> seenIDs;   // case-folded
    seenIDs.reserve(qsizetype(FNodes.size()));
    for (const auto& nodePtr : FNodes) {
        const TDialogueNode& node = *nodePtr;
        const QString folded = node.ID().toCaseFolded();
        if (seenIDs.contains(folded))
            problems << QStringLiteral("ERROR: Duplicate node ID: ") + node.ID();
        else
            seenIDs.insert(folded);

        if ((node.NodeType() == ntNPCDialogue || node.NodeType() == ntPlayerReply)
            && node.Text().trimmed().isEmpty())
            problems << QStringLiteral("WARNING: Node ") + node.ID() + QStringLiteral(" has no text");

        for (const auto& option : node.PlayerOptions()) {
            if (IsMissing(*this, option->TargetNodeID))
                problems << QStringLiteral("ERROR: Node ") + node.ID()
                                + QStringLiteral(" option links to missing node: ") + option->TargetNodeID;
            if (!option->HasSkillCheck)
                continue;
            if (IsMissing(*this, option->SkillCheck.SuccessNodeID))
                problems << QStringLiteral("ERROR: Skill check success node missing in ") + node.ID();
            if (IsMissing(*this, option->SkillCheck.FailureNodeID))
                problems << QStringLiteral("ERROR: Skill check failure node missing in ") + node.ID();
        }

        if (IsMissing(*this, node.NextNodeID()))
            problems << QStringLiteral("ERROR: Node ") + node.ID() + QStringLiteral(" next node missing: ")
                            + node.NextNodeID();
    }

    if (IsMissing(*this, FStartNodeID))
        problems << QStringLiteral("ERROR: Start node ID refers to missing node: ") + FStartNodeID;

    // Two lines with one number would be one line in the game's message file.
    const QVector<TMessageHolder> holders = MessageNumbers::Holders(*this);
    for (const int i : MessageNumbers::Duplicates(holders))
        problems << QStringLiteral("ERROR: Duplicate message number %1: ").arg(holders[i].Number)
                        + MessageNumbers::Describe(*this, holders[i]);
    return problems;
}
