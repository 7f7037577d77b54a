#include "export/GameMessageNumbering.h"

#include "export/GameScriptText.h"
#include "model/MessageNumbers.h"

#include <QSet>

bool TGameMessageNumbering::NodeTextIsMessage(const TDialogueNode& node)
{
    switch (node.NodeType()) {
    case ntNPCDialogue:
    case ntPlayerReply:
    case ntCombatTrigger:
    case ntQuestUpdate:
    case ntTrade:
    case ntEndDialogue:
        return !GameScriptText::IsBlank(node.Text());
    default:
        return false;
    }
}

bool TGameMessageNumbering::OptionsAreMessages(const TDialogueNode& node)
{
    switch (node.NodeType()) {
    case ntConditional:
    case ntRandom:
    case ntEndDialogue:
    case ntComment:
        return false;
    default:
        return true;
    }
}

bool TGameMessageNumbering::IsBareRoll(const TDialogueProject& project, const TDialogueNode& node,
                                       const TPlayerOption& option)
{
    return !project.GameScript().Parts.isEmpty() && node.NodeType() == ntScript && option.HasSkillCheck
        && option.MsgNumber <= 0;
}

QVector<TAssignedMessageNumber> TGameMessageNumbering::Assign(TDialogueProject& project)
{
    const QVector<TMessageHolder> holders = MessageNumbers::Holders(project);
    const QVector<int> duplicates = MessageNumbers::Duplicates(holders);
    QSet<qint32> taken;
    taken.reserve(holders.size());
    for (const TMessageHolder& h : holders)
        if (h.Number > 0)
            taken.insert(h.Number);
    for (auto it = project.GameScript().Messages.cbegin(); it != project.GameScript().Messages.cend(); ++it)
        taken.insert(it.key());

    QVector<TAssignedMessageNumber> assigned;
    qint32 next = FirstNumber;
    int nextDuplicate = 0;
    for (int i = 0; i < holders.size(); ++i) {
        const TMessageHolder& h = holders[i];
        const bool duplicate = nextDuplicate < duplicates.size() && duplicates[nextDuplicate] == i;
        if (duplicate)
            ++nextDuplicate;
        bool needsNumber = duplicate;
        if (!needsNumber && h.Number <= 0) {
            switch (h.Kind) {
            case TMessageHolder::mhNode:
                needsNumber = NodeTextIsMessage(*project.NodeAt(h.NodeIndex));
                break;
            case TMessageHolder::mhOption:
                needsNumber = OptionsAreMessages(*project.NodeAt(h.NodeIndex))
                    && !IsBareRoll(project, *project.NodeAt(h.NodeIndex),
                                   *project.NodeAt(h.NodeIndex)->PlayerOptions()[size_t(h.Index)]);
                break;
            case TMessageHolder::mhFloat:
                needsNumber = true;
                break;
            }
        }
        if (!needsNumber)
            continue;
        while (taken.contains(next))
            ++next;
        taken.insert(next);
        MessageNumbers::Store(project, h, next);
        assigned.append({ next, MessageNumbers::Describe(project, h) });
    }
    return assigned;
}
