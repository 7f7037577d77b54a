#include "model/MessageNumbers.h"

#include <QSet>

namespace MessageNumbers {

QVector<TMessageHolder> Holders(const TDialogueProject& project)
{
    QVector<TMessageHolder> holders;
    holders.reserve(qsizetype(project.Nodes().size()) * 3 + qsizetype(project.FloatMessages().size()));
    for (int n = 0; n < project.NodeCount(); ++n) {
        const TDialogueNode& node = *project.NodeAt(n);
        holders.append({ TMessageHolder::mhNode, n, -1, node.MsgNumber() });
        const TPlayerOptionList& options = node.PlayerOptions();
        for (size_t i = 0; i < options.size(); ++i)
            holders.append({ TMessageHolder::mhOption, n, int(i), options[i]->MsgNumber });
    }
    const TFloatMessageList& floats = project.FloatMessages();
    for (size_t i = 0; i < floats.size(); ++i)
        holders.append({ TMessageHolder::mhFloat, -1, int(i), floats[i]->MsgNumber });
    return holders;
}

void Store(TDialogueProject& project, const TMessageHolder& holder, qint32 number)
{
    switch (holder.Kind) {
    case TMessageHolder::mhNode:
        project.NodeAt(holder.NodeIndex)->SetMsgNumber(number);
        break;
    case TMessageHolder::mhOption:
        project.NodeAt(holder.NodeIndex)->PlayerOptions()[size_t(holder.Index)]->MsgNumber = number;
        break;
    case TMessageHolder::mhFloat:
        project.FloatMessages()[size_t(holder.Index)]->MsgNumber = number;
        break;
    }
}

QString Describe(const TDialogueProject& project, const TMessageHolder& holder)
{
    switch (holder.Kind) {
    case TMessageHolder::mhNode:
        return QStringLiteral("text of node ") + project.NodeAt(holder.NodeIndex)->ID();
    case TMessageHolder::mhOption:
        return QStringLiteral("option %1 of node ").arg(holder.Index + 1) + project.NodeAt(holder.NodeIndex)->ID();
    case TMessageHolder::mhFloat:
        break;
    }
    return QStringLiteral("float message %1").arg(holder.Index + 1);
}

QVector<int> Duplicates(const QVector<TMessageHolder>& holders)
{
    QVector<int> duplicates;
    QSet<qint32> seen;
    seen.reserve(holders.size());
    for (int i = 0; i < holders.size(); ++i) {
        const qint32 n = holders[i].Number;
        if (n <= 0)
            continue;
        if (seen.contains(n))
            duplicates.append(i);
        else
            seen.insert(n);
    }
    return duplicates;
}

}
