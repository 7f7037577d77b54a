#pragma once
// The node properties editor's rules without its window: the fixed lists,
// list captions, the node pickers and how their choice becomes a link, the
// field sets moved between a node and the controls, and the list buttons
// acting on the live node.

#include "model/DialogueTypes.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace NodePropertiesText {

QStringList NodeTypeItems();        // "NPC Dialogue" ... "Comment"
QStringList SkillItems();           // "Speech" ... "Big Guns"
QStringList ConditionTypeItems();   // "ctSkillCheck" ... "ctRandom"
QStringList OperatorItems();        // "==" ... ">="
QStringList BoolOpItems();          // "AND", "OR", "NOT"
QStringList ScriptEventItems();     // "seOnDialogueStart" ... "seOnDialogueEnd"
QStringList ReactionItems();        // "Good", "Neutral", "Bad"
// The kinds of intelligence requirement, in TIntelligenceKind order.
QStringList IntelligenceKindItems();

QString NoneEntry();                // "(none)"
QString TypeName(int nodeType);     // display name; empty outside the table

// "Node Properties  [<16 of the id>]  - <type>"
QString Title(const TDialogueNode& node);
// "[<8 of the id>] <type>[ - speaker][: <30 of the text, trimmed>]"
QString NodeEntryText(const TDialogueNode& node);
// "[H] [SKILL] text", "(empty)" for no text.
QString OptionCaption(const TPlayerOption& option);
// "ctSkillCheck SPEECH >= 50"
QString ConditionCaption(const TCondition& condition);
// "[OFF] seOnNodeEnter" for a disabled script.
QString ScriptCaption(const TNodeScript& script);

QString NewOptionText();            // "New response option"
QString NewScriptCode();            // five CR LF separated lines

}

// One line of a node picker: "(none)" first (no node), then the other nodes.
struct TNodePickerEntry {
    QString Text;
    QString NodeID;
};

class TNodePicker {
public:
    TNodePicker(const TDialogueProject& project, const TDialogueNode* edited);

    const QVector<TNodePickerEntry>& Entries() const { return FEntries; }
    // The entry of a node id (never "(none)"), or -1.
    int IndexOfNode(const QString& nodeID) const;
    // Which entry a picker shows: its selected index when the shown text is
    // that entry's, else the entry whose text was typed exactly, else -1.
    int EffectiveIndex(int selectedIndex, const QString& shownText) const;
    // The link a picker stands for: "(none)" -> empty, an entry -> its
    // node id, nothing matching -> the text as typed.
    QString LinkFor(int selectedIndex, const QString& shownText) const;

private:
    QVector<TNodePickerEntry> FEntries;
};

// The General page's fields (the next link goes through a picker).
struct TNodeGeneralFields {
    int NodeType = ntNPCDialogue;
    QString Speaker, Text, Notes, PortraitFile, VoiceFile;
    QString QuestID, QuestFlag;
    int Reputation = 0;
    int Karma = 0;
    QString Tag;
    int RandomWeight = 1;
    bool IsStartNode = false;
    QString Comment, CombatScript;
    int MsgNumber = 0;
    QString ProcedureName;

    static TNodeGeneralFields From(const TDialogueNode& node);
    // Writes the fields back; a newly set start mark moves the project's
    // start to this node and clears every other node's mark.
    void StoreInto(TDialogueNode& node, TDialogueProject* project) const;
};

// Sets or clears the node's start mark by the editor's rule.
void ApplyStartMark(TDialogueNode& node, TDialogueProject* project, bool ticked);

// An option's intelligence requirement as the window shows it: no
// requirement, at least an amount, or at most an amount (the options only
// a dim-witted player sees, stored as the negative amount).
enum TIntelligenceKind : std::uint8_t { ikNone, ikAtLeast, ikAtMost };

struct TIntelligenceChoice {
    int Kind = ikNone;
    int Amount = 4;   // the games' average; shown, but unused, with no requirement

    static TIntelligenceChoice From(qint32 required);
    qint32 Required() const;
    // The amount a newly chosen kind starts at: the games' average (4) for
    // at least, their low-intelligence mark (3) for at most.
    static int UsualAmount(int kind);
};

// The option details shown right of the option list.
struct TOptionDetails {
    QString Text;
    QString TargetNodeID;
    bool IsHidden = false;
    bool HasSkillCheck = false;
    QString ItemRequired;
    int ReputationRequired = 0;
    int KarmaRequired = 0;
    int IntelligenceRequired = 0;
    TReaction Reaction = rcNeutral;
    int MsgNumber = 0;
    QString Guard;
    TSkillCheck SkillCheck;

    static TOptionDetails From(const TPlayerOption& option);
    // The skill-check fields are written only while the tick is set; the
    // critical-success bonus is never touched.
    void StoreInto(TPlayerOption& option) const;
};

struct TScriptDetails {
    int EventType = seOnNodeEnter;
    bool IsEnabled = true;
    QString Code;

    static TScriptDetails From(const TNodeScript& script);
    void StoreInto(TNodeScript& script) const;
};

// The list buttons; each acts on the live node at once. Indexes outside
// the list do nothing.
namespace NodeListOps {

int AddOption(TDialogueNode& node);                    // index of the new option
// Index to select afterwards: the same one, or the last; -1 when empty.
int DeleteOption(TDialogueNode& node, int index);
// Swaps with the neighbour `delta` (-1 up, +1 down) away; the new index
// or -1 when nothing moved.
int MoveOption(TDialogueNode& node, int index, int delta);
int AddCondition(TDialogueNode& node);
bool DeleteCondition(TDialogueNode& node, int index);
int AddScript(TDialogueNode& node);
bool DeleteScript(TDialogueNode& node, int index);

}
