#pragma once
// Where a warning of the game-script export points: a node, one of its
// options, or a named place. Made into text only when a warning is written,
// so large projects do not pay for describing every line they export.

#include "model/DialogueTypes.h"

#include <QString>

class TGameWhere {
public:
    explicit TGameWhere(const TDialogueNode& node, int option = -1) : FNode(&node), FOption(option) {}
    explicit TGameWhere(QString place) : FPlace(std::move(place)) {}

    // "Node Node001", "Node Node001, option 2", or the place. IDs can hold
    // anything, so they are cut and kept on one line.
    QString Text() const
    {
        if (!FNode)
            return FPlace;
        QString id = FNode->ID();
        if (id.size() > 40)
            id = id.left(40) + QStringLiteral("...");
        for (QChar& c : id)
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
                c = QLatin1Char(' ');
        QString text = QStringLiteral("Node ") + id;
        if (FOption >= 0)
            text += QStringLiteral(", option ") + QString::number(FOption + 1);
        return text;
    }

private:
    const TDialogueNode* FNode = nullptr;
    int FOption = -1;
    QString FPlace;
};
