#pragma once
// The conversation player without a window: walks one project's dialogue
// graph as the player would meet it, against a small simulated game state
// (skills, variables, karma, reputation, inventory, quest flags) that can be
// edited while playing, and keeps the conversation log and a history for
// stepping back.
//
// A window shows the state read from here (node line, speaker, portrait,
// pane text, option entries, log, inspector rows) and calls the operations
// (ChooseEntry for a click or a number key, StepBack, Restart, the edit
// operations of the inspector), then reads the state again. Nothing here is
// written back to the project.

#include "model/DialogueTypes.h"
#include "preview/PreviewRandom.h"
#include "shell/ThemeManager.h"

#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

// Theme fields the preview paints its texts in.
enum TPreviewColorRole : std::uint8_t {
    pcAccentPrimary, pcAccentSecondary, pcColorSuccess, pcColorWarning, pcColorError, pcColorInfo,
    pcTextPrimary, pcTextSecondary, pcTextDim, pcTextDisabled
};
TColor PreviewColor(const TTLWTheme& theme, TPreviewColorRole role);

struct TPreviewHistory {
    QString NodeID;
    TNodeType NodeType = ntNPCDialogue;
    QString Speaker;      // the node's speaker, or the project's NPC name
    QString Text;         // the node's text
    QString ChoiceMade;   // may be empty
};

enum TPreviewAction : std::uint8_t { paContinue, paChooseOption, paEnd };

// One answer the player is offered; a window makes one button of each.
struct TPreviewOptionEntry {
    QString Caption;
    bool Enabled = true;
    TPreviewColorRole Color = pcTextPrimary;
    bool Bold = false;
    QString Hint;
    TPreviewAction Action = paEnd;
    int OptionIndex = -1;   // for paChooseOption: index into the node's options
};

struct TPreviewLogLine {
    QString Text;                      // as shown: log lines carry a two-space indent
    bool IsHistory = false;            // history lines carry no colour role
    TPreviewColorRole Color = pcTextSecondary;
};

// Where a window places the button of each entry in the options area.
struct TPreviewButtonGeometry {
    int Left = 4;
    int Top = 4;
    int Width = 0;
    int Height = 40;
};
QVector<TPreviewButtonGeometry> PreviewButtonLayout(const QVector<TPreviewOptionEntry>& entries, int clientWidth);

QString PreviewWindowTitle(const TDialogueProject& project);

class TPreviewEngine {
public:
    // The project is not owned and must outlive the engine; its nodes must
    // not be removed while the engine runs. Without a random source the
    // engine draws from its own, seeded from the clock.
    explicit TPreviewEngine(TDialogueProject* project, IPreviewRandom* random = nullptr);
    ~TPreviewEngine();
    TPreviewEngine(const TPreviewEngine&) = delete;
    TPreviewEngine& operator=(const TPreviewEngine&) = delete;

    // Not owned; nullptr goes back to the engine's own source.
    void SetRandomSource(IPreviewRandom* random);

    // How a preview opens: reset, then the first of startNodeID, the
    // project's start node, its first node. With none, no node is shown.
    void Start(const QString& startNodeID);

    void ResetSimulation();
    void GoToNode(const QString& id);
    void ShowNode(TDialogueNode* node);
    void ChooseOption(const TPreviewOptionEntry& entry);
    // The entry at this position, as a click or the digit key position + 1
    // chooses it; false (nothing happens) when there is none or it is
    // disabled.
    bool ChooseEntry(int position);
    void StepBack();
    void Restart();

    bool EvaluateCondition(const TCondition& c);
    bool EvaluateNodeConditions(const TDialogueNode& node);
    bool IsOptionAvailable(const TPlayerOption& option);
    // Whether the simulated intelligence lets the player see the option at
    // all: at least n for a requirement n above 0, at most |n| for the
    // low-intelligence options (n below 0). The game leaves an option it
    // fails out entirely, so the preview hides it rather than greying it.
    bool MeetsIntelligence(const TPlayerOption& option) const;
    bool RollSkillCheck(const TSkillCheck& check);
    qint32 GetSimSkill(const QString& name) const;
    qint32 GetSimVar(const QString& key) const;
    void AddHistory(const TDialogueNode& node, const QString& choice);
    void LogLine(const QString& text, TPreviewColorRole color);

    // The pass chance in percent of a skill value against a difficulty.
    static int SkillCheckChance(qint32 skillValue, qint32 difficulty);
    // The simulated player's intelligence at the start: above the games'
    // average of 4, so ordinary options show and dim-witted ones do not.
    static constexpr qint32 DefaultIntelligence = 5;
    // A chain of automatic moves (comment nodes, met conditions,
    // auto-advance) stops after this many steps, so a cycle of them ends.
    static constexpr int MaxAutomaticMoves = 1000;

    // --- what the window shows
    TDialogueNode* CurrentNode() const { return FCurrentNode; }
    const QString& NodeInfo() const { return FNodeInfo; }
    const QString& SpeakerName() const { return FSpeakerName; }
    // Empty: the placeholder portrait.
    const QString& PortraitFile() const { return FPortraitFile; }
    const QString& PaneText() const { return FPaneText; }
    TPreviewColorRole PaneColor() const { return FPaneColor; }
    const QVector<TPreviewOptionEntry>& Entries() const { return FEntries; }
    const QVector<TPreviewLogLine>& Log() const { return FLog; }
    const QVector<TPreviewHistory>& History() const { return FHistory; }
    // Set once "Goodbye." was chosen: the window closes.
    bool CloseRequested() const { return FCloseRequested; }
    std::function<void()> OnCloseRequested;

    // The last skill check rolled (roll 1..100 against the chance).
    int LastRoll() const { return FLastRoll; }
    int LastChance() const { return FLastChance; }

    // --- the "Auto-advance NPC" switch
    bool AutoAdvance() const { return FAutoAdvance; }
    void SetAutoAdvance(bool on) { FAutoAdvance = on; }

    // --- options guarded by a condition in the game's script language,
    // which the preview cannot evaluate: the writer decides whether such
    // guards hold (they do unless told otherwise)
    bool GuardsHold() const { return FGuardsHold; }
    // Also offers the current node's options anew under the new choice.
    void SetGuardsHold(bool on);

    // --- simulated state
    const QMap<QString, qint32>& SimVars() const { return FSimVars; }
    const QMap<QString, qint32>& SimSkills() const { return FSimSkills; }
    const QStringList& SimInventory() const { return FSimInventory; }
    const QMap<QString, qint32>& SimQuestFlags() const { return FSimQuestFlags; }
    qint32 SimKarma() const { return FSimKarma; }
    qint32 SimReputation() const { return FSimReputation; }
    qint32 SimIntelligence() const { return FSimIntelligence; }
    void SetSimVar(const QString& key, qint32 value) { FSimVars[key] = value; }
    void SetSimSkill(const QString& name, qint32 value) { FSimSkills[name] = value; }
    void SetSimKarma(qint32 value) { FSimKarma = value; }
    void SetSimReputation(qint32 value) { FSimReputation = value; }
    void SetSimIntelligence(qint32 value) { FSimIntelligence = value; }
    bool InventoryHolds(const QString& item) const;

    // --- the inspector's rows and edits
    // Every variable, then "KARMA", "REPUTATION" and "INTELLIGENCE".
    QVector<QPair<QString, qint32>> GlobalVarRows() const;
    // One row per skill display name, in skill order.
    QVector<QPair<QString, qint32>> SkillRows() const;
    // Quest id, flag value, "ACTIVE".
    QVector<QStringList> QuestFlagRows() const;
    // The answer of the edit box for a row: empty changes nothing (false);
    // otherwise read as a decimal integer (0, or 40 for a skill, when it is
    // not one) and stored. Returns the value stored through `stored`.
    bool EditGlobalVarRow(const QString& caption, const QString& answer, qint32* stored = nullptr);
    bool EditSkillRow(const QString& name, const QString& answer, qint32* stored = nullptr);
    // Adds the text trimmed of blanks, unless it is empty.
    bool AddInventoryItem(const QString& text);
    // Removes the entry at index; false when there is none.
    bool RemoveInventoryItem(int index);

private:
    // Shows `node` and follows automatic moves from it, within the bound.
    void Visit(TDialogueNode* node);
    // Shows one node; returns the ID of an automatic move to make next, or
    // a null string. `mayMove` is false once the bound is reached.
    QString ShowOne(TDialogueNode* node, bool mayMove);
    QString CommonTail(TDialogueNode* node, bool mayMove);
    void BuildEntries(const TDialogueNode& node);
    void ChooseOptionAt(TDialogueNode* current, int index);
    void StoppedChain(const TDialogueNode& node);
    IPreviewRandom& Random();
    QString NPCName() const;

    TDialogueProject* FProject;
    TDialogueNode* FCurrentNode = nullptr;
    QVector<TPreviewHistory> FHistory;
    QMap<QString, qint32> FSimVars;
    QMap<QString, qint32> FSimSkills;
    QStringList FSimInventory;
    qint32 FSimKarma = 0;
    bool FGuardsHold = true;
    qint32 FSimReputation = 0;
    qint32 FSimIntelligence = DefaultIntelligence;
    QMap<QString, qint32> FSimQuestFlags;

    QString FNodeInfo = QStringLiteral("Node: -");
    QString FSpeakerName = QStringLiteral("NPC");
    QString FPortraitFile;
    QString FPaneText;
    TPreviewColorRole FPaneColor = pcTextPrimary;
    QVector<TPreviewOptionEntry> FEntries;
    QVector<TPreviewLogLine> FLog;
    bool FAutoAdvance = false;
    bool FCloseRequested = false;
    int FLastRoll = 0;
    int FLastChance = 0;

    IPreviewRandom* FRandom = nullptr;
    std::unique_ptr<IPreviewRandom> FOwnRandom;
};
