#pragma once
// The lines of a project that can hold a message-file number: every node's
// text, every option's text, every float message. Listed in project order
// (each node's text, then its options; then the float messages), which is
// the order numbers are given and duplicates are judged in.

#include "model/DialogueTypes.h"

#include <QString>
#include <QVector>

#include <cstdint>

struct TMessageHolder {
    enum TKind : std::uint8_t { mhNode, mhOption, mhFloat };
    TKind Kind = mhNode;
    int NodeIndex = -1;   // the node of a node or option line
    int Index = -1;       // the option's index in its node, or the float message's index
    qint32 Number = 0;    // the number held when the list was made; 0 = none
};

namespace MessageNumbers {

QVector<TMessageHolder> Holders(const TDialogueProject& project);
void Store(TDialogueProject& project, const TMessageHolder& holder, qint32 number);
// "text of node Node001", "option 2 of node Node001", "float message 1".
QString Describe(const TDialogueProject& project, const TMessageHolder& holder);
// Positions in `holders` of the lines whose number an earlier line holds.
QVector<int> Duplicates(const QVector<TMessageHolder>& holders);

}
