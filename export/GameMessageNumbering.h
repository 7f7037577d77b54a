#pragma once
// The numbers of the game's message file. A number, once given to a line,
// stays with it: translations are the same file with the same numbers, so
// editing or adding a line must never renumber the others.

#include "model/DialogueTypes.h"

#include <QString>
#include <QVector>

// One line numbered by Assign, for the caller's report.
struct TAssignedMessageNumber {
    qint32 Number = 0;
    QString Where;   // "text of node Node001", "option 2 of node Node001", "float message 1"
};

class TGameMessageNumbering {
public:
    static constexpr qint32 FirstNumber = 100;   // dialogue lines conventionally start here

    // Which texts the game script shows, so that only they take a number
    // and a message-file line. Node text, when not blank, of dialogue,
    // player reply, combat (floated over the NPC), quest update (a note in
    // the message window), trade and end nodes. Options of every node whose
    // options the player picks from; conditional and random nodes use
    // theirs as branches, end and comment nodes not at all.
    static bool NodeTextIsMessage(const TDialogueNode& node);
    static bool OptionsAreMessages(const TDialogueNode& node);
    // In a project read from a game script, a script node's skill check
    // without a message number is the script's own roll at the top of its
    // procedure, not a line the player picks: written back as the roll.
    static bool IsBareRoll(const TDialogueProject& project, const TDialogueNode& node, const TPlayerOption& option);

    // Gives every message line without a number the lowest free one from
    // FirstNumber up, in project order (each node's text, then its options,
    // then the float messages). Numbers held anywhere in the project are
    // kept and never handed out again, also those of lines the script does
    // not show now. A number that an earlier line already holds is replaced
    // by a fresh one, so no two lines ever share one. The message lines
    // the game-script frame keeps are held too. Returns the lines
    // numbered now, in that order.
    static QVector<TAssignedMessageNumber> Assign(TDialogueProject& project);
};
