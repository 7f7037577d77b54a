#pragma once
// The dialogue document: one NPC's conversation as a graph of nodes.
// Links between nodes are node-ID strings, never pointers.

#include "model/GameScriptFrame.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

class QJsonObject;
class QJsonValue;
class TJsonValue;

using TColor = quint32;       // 0x00BBGGRR, red in the lowest byte
using TDateTime = double;     // days since 1899-12-30, fraction = time of day

constexpr TColor RGBToColor(int r, int g, int b)
{
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}
constexpr int ColorRed(TColor c) { return int(c & 0xFF); }
constexpr int ColorGreen(TColor c) { return int((c >> 8) & 0xFF); }
constexpr int ColorBlue(TColor c) { return int((c >> 16) & 0xFF); }

// Raised for file and parse problems inside the model.
class EDialogueError : public std::runtime_error {
public:
    explicit EDialogueError(const QString& message)
        : std::runtime_error(message.toStdString()), FMessage(message) {}
    const QString& Message() const { return FMessage; }
private:
    QString FMessage;
};

enum TNodeType : std::uint8_t {
    ntNPCDialogue, ntPlayerReply, ntConditional, ntRandom, ntScript,
    ntCombatTrigger, ntQuestUpdate, ntTrade, ntEndDialogue, ntComment
};
constexpr int NodeTypeCount = 10;

enum TSkillType : std::uint8_t {
    skSpeech, skBarter, skScience, skRepair, skLockpick, skSneak, skMedicine,
    skSurvival, skGambling, skEnergyWeapons, skSmallGuns, skBigGuns
};
constexpr int SkillTypeCount = 12;

enum TConditionOperator : std::uint8_t { coEQ, coNEQ, coLT, coGT, coLTE, coGTE };
constexpr int ConditionOperatorCount = 6;

enum TBoolOp : std::uint8_t { boAND, boOR, boNOT };
constexpr int BoolOpCount = 3;

enum TConditionType : std::uint8_t {
    ctSkillCheck, ctStatCheck, ctReputation, ctKarma, ctGlobalVar, ctLocalVar,
    ctQuestFlag, ctInventory, ctTimeOfDay, ctCompanion, ctRandom
};
constexpr int ConditionTypeCount = 11;

enum TScriptEvent : std::uint8_t {
    seOnDialogueStart, seOnNodeEnter, seOnOptionSelected, seOnSkillCheck,
    seOnQuestUpdate, seOnCombatStart, seOnDialogueEnd
};
constexpr int ScriptEventCount = 7;

// The reaction a player option carries in the game (its good, neutral or
// bad variant of the option call).
enum TReaction : std::uint8_t { rcGood, rcNeutral, rcBad };
constexpr int ReactionCount = 3;

extern const char* const NodeTypeNames[NodeTypeCount];
extern const char* const SkillNames[SkillTypeCount];
extern const char* const OperatorSymbols[ConditionOperatorCount];
// The script events' enumeration names, as scripts and the preview show them.
extern const char* const ScriptEventIdentifiers[ScriptEventCount];
extern const TColor DefaultNodeColors[NodeTypeCount];
extern const char* const ReactionNames[ReactionCount];

// Default colour of a node type; a type outside the table (only possible from
// a hand-edited file) gets the NPC dialogue colour instead of reading past it.
TColor DefaultColorFor(int nodeType);

struct TCondition {
    TConditionType CondType = ctSkillCheck;
    QString Variable;
    TConditionOperator Operator = coEQ;
    QString Value;
    TBoolOp BoolOp = boAND;

    bool operator==(const TCondition& o) const
    {
        return CondType == o.CondType && Variable == o.Variable && Operator == o.Operator
            && Value == o.Value && BoolOp == o.BoolOp;
    }
    bool operator!=(const TCondition& o) const { return !(*this == o); }
};

struct TSkillCheck {
    TSkillType Skill = skSpeech;
    qint32 Difficulty = 0;
    qint32 CritSuccessBonus = 0;
    qint32 XPReward = 0;
    QString SuccessMessage;
    QString FailureMessage;
    QString SuccessNodeID;
    QString FailureNodeID;

    bool operator==(const TSkillCheck& o) const
    {
        return Skill == o.Skill && Difficulty == o.Difficulty && CritSuccessBonus == o.CritSuccessBonus
            && XPReward == o.XPReward && SuccessMessage == o.SuccessMessage
            && FailureMessage == o.FailureMessage && SuccessNodeID == o.SuccessNodeID
            && FailureNodeID == o.FailureNodeID;
    }
    bool operator!=(const TSkillCheck& o) const { return !(*this == o); }
};

// "N_" + the first 12 hex digits (upper case) of a fresh random GUID.
QString GenerateShortID();

class TPlayerOption {
public:
    TPlayerOption();

    QString ID;
    QString Text;
    QString TargetNodeID;
    QVector<TCondition> Conditions;   // memory only; never in the project file
    bool HasSkillCheck = false;
    TSkillCheck SkillCheck;
    bool IsHidden = false;
    QString ScriptOnSelect;
    qint32 ReputationRequired = 0;
    qint32 KarmaRequired = -1000;
    QString ItemRequired;
    // The least intelligence that shows the option; 0 = no requirement, a
    // negative value shows it only at or below that much (the dim-witted
    // options).
    qint32 IntelligenceRequired = 0;
    TReaction Reaction = rcNeutral;
    qint32 MsgNumber = 0;   // its line in the game's message file; 0 = not numbered yet
    QString Guard;          // a condition in the game's script language, kept verbatim
};

class TNodeScript {
public:
    TScriptEvent EventType = seOnNodeEnter;
    QString ScriptCode;
    bool IsEnabled = true;
};

class TFloatMessage {
public:
    TFloatMessage();

    TJsonValue ToJSON() const;
    void FromJSON(const QJsonObject& obj);

    QString ID;
    QString Category;
    QString Text;
    qint32 Priority = 5;
    qint32 Weight = 1;
    QString Condition;
    float TimedDuration = 3.0f;
    bool IsAmbient = true;
    bool IsCombatTaunt = false;
    bool IsContextSensitive = false;
    QString LocaleKey;
    qint32 MsgNumber = 0;   // its line in the game's message file; 0 = not numbered yet
};

using TPlayerOptionList = std::vector<std::unique_ptr<TPlayerOption>>;
using TNodeScriptList = std::vector<std::unique_ptr<TNodeScript>>;
using TFloatMessageList = std::vector<std::unique_ptr<TFloatMessage>>;

class TDialogueProject;

// Declares a field FName with a reader Name() and a writer SetName().
#define TLW_PROPERTY(Type, Name)                                 \
public:                                                          \
    const Type& Name() const { return F##Name; }                 \
    void Set##Name(const Type& value) { F##Name = value; }       \
private:                                                         \
    Type F##Name

#define TLW_VALUE_PROPERTY(Type, Name, Init)                     \
public:                                                          \
    Type Name() const { return F##Name; }                        \
    void Set##Name(Type value) { F##Name = value; }              \
private:                                                         \
    Type F##Name = Init

class TDialogueNode {
public:
    TDialogueNode(const QString& aID, TNodeType aType);
    TDialogueNode(const TDialogueNode&) = delete;
    TDialogueNode& operator=(const TDialogueNode&) = delete;

    // The ID is the key every link uses; the owning project keeps an index
    // of it, so changing it goes through the project's bookkeeping.
    const QString& ID() const { return FID; }
    void SetID(const QString& value);

    TJsonValue ToJSON() const;
    void FromJSON(const QJsonObject& obj);

    TPlayerOptionList& PlayerOptions() { return FPlayerOptions; }
    const TPlayerOptionList& PlayerOptions() const { return FPlayerOptions; }
    QVector<TCondition>& Conditions() { return FConditions; }
    const QVector<TCondition>& Conditions() const { return FConditions; }
    TNodeScriptList& Scripts() { return FScripts; }
    const TNodeScriptList& Scripts() const { return FScripts; }

    // Appends a new option with the constructor's defaults and returns it.
    TPlayerOption* AddOption();
    TNodeScript* AddScript();

    TLW_VALUE_PROPERTY(TNodeType, NodeType, ntNPCDialogue);
    TLW_PROPERTY(QString, Text);

public:
    // Replaces `length` characters of the text at `position` in place: a
    // keystroke in a text of megabytes moves its tail, it does not copy it.
    void ReplaceTextPart(qsizetype position, qsizetype length, const QString& with)
    {
        FText.replace(position, length, with);
    }
    TLW_PROPERTY(QString, Speaker);
    TLW_PROPERTY(QString, PortraitFile);
    TLW_PROPERTY(QString, VoiceFile);
    TLW_VALUE_PROPERTY(qint32, X, 0);
    TLW_VALUE_PROPERTY(qint32, Y, 0);
    TLW_VALUE_PROPERTY(qint32, Width, 240);
    TLW_VALUE_PROPERTY(qint32, Height, 120);
    TLW_VALUE_PROPERTY(TColor, Color, 0);
    TLW_VALUE_PROPERTY(bool, Selected, false);
    TLW_PROPERTY(QString, Comment);
    TLW_PROPERTY(QString, QuestID);
    TLW_PROPERTY(QString, QuestFlag);
    TLW_PROPERTY(QString, ScriptFile);
    TLW_VALUE_PROPERTY(qint32, Reputation, 0);
    TLW_VALUE_PROPERTY(qint32, Karma, -1000);
    TLW_PROPERTY(QString, Tag);
    TLW_PROPERTY(QString, Notes);
    TLW_PROPERTY(QString, NextNodeID);
    TLW_VALUE_PROPERTY(bool, IsStartNode, false);
    TLW_VALUE_PROPERTY(qint32, RandomWeight, 1);
    TLW_PROPERTY(QString, CombatScript);
    TLW_PROPERTY(QString, TradeInventory);
    TLW_VALUE_PROPERTY(qint32, MsgNumber, 0);   // the line's number in the message file; 0 = none yet
    TLW_PROPERTY(QString, ProcedureName);       // the game script's procedure; empty = from the ID
    TLW_PROPERTY(QString, OriginalID);   // memory only; never in the project file

private:
    friend class TDialogueProject;
    QString FID;
    TPlayerOptionList FPlayerOptions;
    QVector<TCondition> FConditions;
    TNodeScriptList FScripts;
    TDialogueProject* FOwner = nullptr;
};

using TDialogueNodeList = std::vector<std::unique_ptr<TDialogueNode>>;

class TDialogueProject {
public:
    TDialogueProject();
    ~TDialogueProject();
    TDialogueProject(const TDialogueProject&) = delete;
    TDialogueProject& operator=(const TDialogueProject&) = delete;

    // Nodes in creation/load order. The list is changed only through the
    // operations below so that the ID index stays right.
    const TDialogueNodeList& Nodes() const { return FNodes; }
    int NodeCount() const { return int(FNodes.size()); }
    TDialogueNode* NodeAt(int index) const { return FNodes[size_t(index)].get(); }
    int IndexOfNode(const TDialogueNode* node) const;

    TDialogueNode* AddNode(TNodeType aType);
    void RemoveNode(const QString& aID);
    TDialogueNode* FindNode(const QString& aID) const;
    QVector<TDialogueNode*> GetConnectedNodes(const QString& aNodeID) const;

    // Appends a node made elsewhere (importers, paste); the project takes it.
    TDialogueNode* AppendNode(std::unique_ptr<TDialogueNode> node);
    // Removes and destroys exactly this node, wherever it stands.
    void DeleteNode(TDialogueNode* node);
    void ClearNodes();

    TFloatMessageList& FloatMessages() { return FFloatMessages; }
    const TFloatMessageList& FloatMessages() const { return FFloatMessages; }
    QMap<QString, QString>& GlobalVars() { return FGlobalVars; }
    const QMap<QString, QString>& GlobalVars() const { return FGlobalVars; }
    QStringList& Tags() { return FTags; }
    const QStringList& Tags() const { return FTags; }
    QStringList& Locales() { return FLocales; }
    const QStringList& Locales() const { return FLocales; }
    // Empty unless the project was imported from a game script.
    TGameScriptFrame& GameScript() { return FGameScript; }
    const TGameScriptFrame& GameScript() const { return FGameScript; }
    TDateTime CreatedDate() const { return FCreatedDate; }
    TDateTime ModifiedDate() const { return FModifiedDate; }
    // Read-only for editors; the file reader and writer set them.
    void SetCreatedDate(TDateTime value) { FCreatedDate = value; }
    void SetModifiedDate(TDateTime value) { FModifiedDate = value; }

    TJsonValue ToJSON() const;
    void FromJSON(const QJsonObject& obj);
    bool SaveToFile(const QString& aPath);
    bool LoadFromFile(const QString& aPath);
    QStringList ValidateProject() const;

    // Moves the whole document of `other` into this project (used to load
    // into a scratch project first, so a failed load replaces nothing).
    void TakeContentFrom(TDialogueProject& other);

    TLW_PROPERTY(QString, Name);
    TLW_PROPERTY(QString, FilePath);
    TLW_PROPERTY(QString, NPCName);
    TLW_PROPERTY(QString, NPCScript);
    TLW_VALUE_PROPERTY(bool, Modified, false);
    TLW_PROPERTY(QString, StartNodeID);
    TLW_PROPERTY(QString, Description);
    TLW_PROPERTY(QString, Version);
    TLW_PROPERTY(QString, Author);
    TLW_PROPERTY(QString, ActiveLocale);

private:
    friend class TDialogueNode;
    friend class TProjectFileReader;
    // The parts of FromJSON, also used by the file reader that reads large
    // files one array element at a time.
    void ReadHeaderJSON(const QJsonObject& obj);
    void ReadNodeJSON(const QJsonValue& v);
    void ReadFloatMessageJSON(const QJsonValue& v);
    void ReadGlobalVarJSON(const QJsonValue& v);
    void NodeIDChanged() { FIndexValid = false; }
    void RebuildIndex() const;

    TDialogueNodeList FNodes;
    TFloatMessageList FFloatMessages;
    QMap<QString, QString> FGlobalVars;
    QStringList FTags;
    QStringList FLocales;
    TGameScriptFrame FGameScript;
    TDateTime FCreatedDate = 0;
    TDateTime FModifiedDate = 0;

    // ID -> first node in list order with that ID. Rebuilt lazily after
    // removals and ID changes, kept up to date on appends.
    mutable QHash<QString, TDialogueNode*> FIndex;
    mutable bool FIndexValid = true;
    mutable qint64 FMaxNodeNumber = 0;   // highest "Node<n>" number, kept with the index
};
