#include "preview/PreviewSystem.h"

#include <algorithm>

namespace {

const QString kCRLF = QStringLiteral("\r\n");

// Display names guarded against values from a hand-edited file that lie
// outside the tables.
QString SkillName(TSkillType skill)
{
    return QString::fromLatin1(SkillNames[int(skill) < SkillTypeCount ? int(skill) : int(skSpeech)]);
}

QString TypeName(TNodeType type)
{
    return QString::fromLatin1(NodeTypeNames[int(type) < NodeTypeCount ? int(type) : int(ntNPCDialogue)]);
}

QString EventName(TScriptEvent event)
{
    return QString::fromLatin1(int(event) < ScriptEventCount ? ScriptEventIdentifiers[int(event)] : "seOnNodeEnter");
}

// Text read as a decimal integer, `fallback` when it is not one.
qint32 DecimalOr(const QString& text, qint32 fallback)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? qint32(value) : fallback;
}

bool IsBlank(const QString& s) { return s.trimmed().isEmpty(); }

// The game-script tags of an option, in the skill check's style:
// "  [INT 6]" (at least 6), "  [INT <= 3]" (the low-intelligence options),
// "  [Good]" or "  [Bad]". An option without these fields gets none.
QString GameScriptTags(const TPlayerOption& option)
{
    QString tags;
    const qint64 iq = option.IntelligenceRequired;
    if (iq > 0)
        tags += QStringLiteral("  [INT ") + QString::number(iq) + QLatin1Char(']');
    else if (iq < 0)
        tags += QStringLiteral("  [INT <= ") + QString::number(-iq) + QLatin1Char(']');
    if (option.Reaction != rcNeutral && int(option.Reaction) < ReactionCount)
        tags += QStringLiteral("  [") + QString::fromLatin1(ReactionNames[option.Reaction]) + QLatin1Char(']');
    return tags;
}

} // namespace

TColor PreviewColor(const TTLWTheme& theme, TPreviewColorRole role)
{
    switch (role) {
    case pcAccentPrimary: return theme.AccentPrimary;
    case pcAccentSecondary: return theme.AccentSecondary;
    case pcColorSuccess: return theme.ColorSuccess;
    case pcColorWarning: return theme.ColorWarning;
    case pcColorError: return theme.ColorError;
    case pcColorInfo: return theme.ColorInfo;
    case pcTextPrimary: return theme.TextPrimary;
    case pcTextSecondary: return theme.TextSecondary;
    case pcTextDim: return theme.TextDim;
    case pcTextDisabled: return theme.TextDisabled;
    }
    return theme.TextPrimary;
}

QVector<TPreviewButtonGeometry> PreviewButtonLayout(const QVector<TPreviewOptionEntry>& entries, int clientWidth)
{
    QVector<TPreviewButtonGeometry> result;
    int top = 4;
    for (const TPreviewOptionEntry& e : entries) {
        TPreviewButtonGeometry g;
        g.Left = 4;
        g.Width = clientWidth - 20;
        g.Top = top;
        if (e.Action == paContinue) {
            g.Height = 36;
            top = 46;
        } else {
            g.Height = e.Action == paEnd ? 32 : 40;
            top += 46;
        }
        result.append(g);
    }
    return result;
}

QString PreviewWindowTitle(const TDialogueProject& project)
{
    return QStringLiteral("Dialogue Preview  -  ") + project.Name();
}

// ---------------------------------------------------------------------------

TPreviewEngine::TPreviewEngine(TDialogueProject* project, IPreviewRandom* random)
    : FProject(project), FRandom(random)
{
}

TPreviewEngine::~TPreviewEngine() = default;

void TPreviewEngine::SetRandomSource(IPreviewRandom* random) { FRandom = random; }

QString TPreviewEngine::NPCName() const { return FProject ? FProject->NPCName() : QString(); }

IPreviewRandom& TPreviewEngine::Random()
{
    if (FRandom)
        return *FRandom;
    if (!FOwnRandom)
        FOwnRandom = std::make_unique<TSeededPreviewRandom>();
    return *FOwnRandom;
}

void TPreviewEngine::Start(const QString& startNodeID)
{
    FCloseRequested = false;
    ResetSimulation();
    if (!startNodeID.isEmpty())
        GoToNode(startNodeID);
    else if (FProject && !FProject->StartNodeID().isEmpty())
        GoToNode(FProject->StartNodeID());
    else if (FProject && FProject->NodeCount() > 0)
        GoToNode(FProject->NodeAt(0)->ID());
}

void TPreviewEngine::ResetSimulation()
{
    FSimKarma = 0;
    FSimReputation = 0;
    FSimIntelligence = DefaultIntelligence;
    FSimVars.clear();
    FSimSkills.clear();
    FSimInventory.clear();
    FSimQuestFlags.clear();
    FHistory.clear();
    for (const char* name : SkillNames)
        FSimSkills.insert(QString::fromLatin1(name), 40);
    if (FProject)
        for (auto it = FProject->GlobalVars().cbegin(); it != FProject->GlobalVars().cend(); ++it)
            FSimVars.insert(it.key(), DecimalOr(it.value(), 0));
    FLog.clear();
    FPaneText.clear();
    FEntries.clear();
    FPortraitFile.clear();
    const QString npc = NPCName();
    FSpeakerName = npc.isEmpty() ? QStringLiteral("Unknown") : npc;
    LogLine(QStringLiteral("=== SIMULATION STARTED ==="), pcColorSuccess);
    LogLine(QStringLiteral("Project: ") + (FProject ? FProject->Name() : QString()), pcTextDim);
    LogLine(QStringLiteral("NPC: ") + npc, pcTextDim);
}

void TPreviewEngine::GoToNode(const QString& id)
{
    TDialogueNode* node = FProject ? FProject->FindNode(id) : nullptr;
    if (!node) {
        LogLine(QStringLiteral("ERROR: Node not found: ") + id, pcColorError);
        return;
    }
    Visit(node);
}

void TPreviewEngine::ShowNode(TDialogueNode* node)
{
    if (!node) {
        LogLine(QStringLiteral("ERROR: Invalid node reference"), pcColorError);
        return;
    }
    Visit(node);
}

// Automatic moves are followed in a loop rather than by nested calls, and
// only up to MaxAutomaticMoves, so that a cycle of comment, condition or
// auto-advanced nodes ends instead of running forever.
void TPreviewEngine::Visit(TDialogueNode* node)
{
    int moves = 0;
    for (;;) {
        FCurrentNode = node;
        const QString next = ShowOne(node, moves < MaxAutomaticMoves);
        if (next.isNull())
            return;
        ++moves;
        TDialogueNode* target = FProject ? FProject->FindNode(next) : nullptr;
        if (!target) {
            LogLine(QStringLiteral("ERROR: Node not found: ") + next, pcColorError);
            return;
        }
        node = target;
    }
}

void TPreviewEngine::StoppedChain(const TDialogueNode& node)
{
    LogLine(QStringLiteral("(Stopped after %1 automatic moves at %2 - the dialogue loops)")
                .arg(MaxAutomaticMoves)
                .arg(node.ID()),
            pcColorWarning);
}

QString TPreviewEngine::ShowOne(TDialogueNode* node, bool mayMove)
{
    FNodeInfo = QStringLiteral("Node: ") + node->ID().left(14) + QStringLiteral("  Type: ") + TypeName(node->NodeType());
    FPortraitFile = node->PortraitFile();
    FSpeakerName = node->Speaker().isEmpty() ? NPCName() : node->Speaker();
    FPaneText.clear();

    switch (node->NodeType()) {
    case ntNPCDialogue:
        FPaneColor = pcAccentPrimary;
        FPaneText = IsBlank(node->Text()) ? QStringLiteral("(no dialogue text)") : node->Text();
        break;
    case ntPlayerReply:
        FPaneColor = pcColorSuccess;
        FPaneText = QStringLiteral("[Player Response Options]");
        break;
    case ntConditional: {
        FPaneColor = pcColorWarning;
        const bool met = EvaluateNodeConditions(*node);
        FPaneText = QStringLiteral("[Conditional Branch]") + kCRLF + QStringLiteral("Evaluating ")
            + QString::number(node->Conditions().size()) + QStringLiteral(" condition(s)...") + kCRLF
            + (met ? QStringLiteral("-> Condition MET") : QStringLiteral("-> Condition NOT met"));
        if (met && !node->NextNodeID().isEmpty()) {
            if (mayMove) {
                AddHistory(*node, QStringLiteral("[Condition passed]"));
                return node->NextNodeID();
            }
            StoppedChain(*node);
        }
        break;
    }
    case ntRandom:
        FPaneColor = pcColorInfo;
        FPaneText = QStringLiteral("[Random Branch - Weight: ") + QString::number(node->RandomWeight()) + QStringLiteral("]");
        break;
    case ntScript:
        FPaneColor = pcColorInfo;
        FPaneText = QStringLiteral("[Script Node]") + kCRLF;
        for (const auto& script : node->Scripts())
            if (script->IsEnabled)
                FPaneText += kCRLF + QStringLiteral("[") + EventName(script->EventType) + QStringLiteral("]") + kCRLF
                    + script->ScriptCode;
        break;
    case ntCombatTrigger:
        FPaneColor = pcColorError;
        FPaneText = QStringLiteral("COMBAT TRIGGERED") + kCRLF + node->CombatScript() + kCRLF + kCRLF
            + QStringLiteral("[Dialogue ends - combat begins]");
        break;
    case ntQuestUpdate:
        FPaneColor = pcColorInfo;
        FPaneText = QStringLiteral("QUEST UPDATE") + kCRLF + QStringLiteral("Quest: ") + node->QuestID() + kCRLF
            + QStringLiteral("Flag: ") + node->QuestFlag();
        if (!node->QuestID().isEmpty())
            FSimQuestFlags[node->QuestID()] = DecimalOr(node->QuestFlag(), 1);
        break;
    case ntTrade:
        FPaneColor = pcAccentSecondary;
        FPaneText = QStringLiteral("BARTER / TRADE SCREEN") + kCRLF + QStringLiteral("[Trade interface would open here]");
        break;
    case ntEndDialogue:
        FPaneColor = pcTextDim;
        FPaneText = QStringLiteral("[ DIALOGUE ENDS ]");
        AddHistory(*node, QStringLiteral("[Dialogue ended]"));
        LogLine(QStringLiteral("--- Dialogue ended ---"), pcTextDim);
        return QString();
    case ntComment:
    default:
        FPaneColor = pcTextDim;
        FPaneText = QStringLiteral("// Comment node: ") + node->Comment();
        if (!node->NextNodeID().isEmpty()) {
            if (mayMove)
                return node->NextNodeID();
            StoppedChain(*node);
        }
        break;
    }
    return CommonTail(node, mayMove);
}

QString TPreviewEngine::CommonTail(TDialogueNode* node, bool mayMove)
{
    AddHistory(*node, QString());
    BuildEntries(*node);
    const bool lineNode = node->NodeType() == ntNPCDialogue || node->NodeType() == ntComment;
    if (!lineNode || !node->PlayerOptions().empty())
        return QString();
    if (node->NextNodeID().isEmpty()) {
        LogLine(QStringLiteral("(No further options - dialogue branch ends)"), pcTextDim);
        return QString();
    }
    if (!FAutoAdvance)
        return QString();
    if (!mayMove) {
        StoppedChain(*node);
        return QString();
    }
    AddHistory(*node, QStringLiteral("[Auto-advanced]"));
    return node->NextNodeID();
}

void TPreviewEngine::BuildEntries(const TDialogueNode& node)
{
    FEntries.clear();
    const TNodeType type = node.NodeType();
    if (!node.NextNodeID().isEmpty() && (type == ntNPCDialogue || type == ntRandom || type == ntScript)
        && node.PlayerOptions().empty()) {
        TPreviewOptionEntry cont;
        cont.Caption = QStringLiteral("->  [Continue]");
        cont.Bold = true;
        cont.Color = pcAccentPrimary;
        cont.Hint = node.NextNodeID();
        cont.Action = paContinue;
        FEntries.append(cont);
    }
    for (int i = 0; i < int(node.PlayerOptions().size()); ++i) {
        const TPlayerOption& option = *node.PlayerOptions()[size_t(i)];
        const bool available = IsOptionAvailable(option);
        if ((option.IsHidden && !available) || !MeetsIntelligence(option))
            continue;
        TPreviewOptionEntry e;
        e.Caption = QString::number(i + 1) + QStringLiteral(".  ") + option.Text;
        if (option.HasSkillCheck)
            e.Caption += QStringLiteral("  [") + SkillName(option.SkillCheck.Skill) + QLatin1Char(' ')
                + QString::number(option.SkillCheck.Difficulty) + QStringLiteral("%]");
        e.Caption += GameScriptTags(option);
        if (!option.ItemRequired.isEmpty())
            e.Caption += QStringLiteral("  (requires: ") + option.ItemRequired + QLatin1Char(')');
        if (!option.Guard.isEmpty())
            e.Caption += QStringLiteral("  (conditional)");
        if (!available)
            e.Caption += QStringLiteral("  -- NOT AVAILABLE");
        e.Enabled = available;
        e.Color = !available ? pcTextDisabled : option.HasSkillCheck ? pcColorWarning : pcTextPrimary;
        e.Hint = option.Guard.isEmpty() ? QStringLiteral("Target: ") + option.TargetNodeID
                                        : QStringLiteral("If: ") + option.Guard;
        e.Action = paChooseOption;
        e.OptionIndex = i;
        FEntries.append(e);
    }
    TPreviewOptionEntry bye;
    bye.Caption = QStringLiteral("Goodbye.");
    bye.Color = pcTextDim;
    bye.Action = paEnd;
    FEntries.append(bye);
}

void TPreviewEngine::SetGuardsHold(bool on)
{
    FGuardsHold = on;
    if (FCurrentNode && !FEntries.isEmpty())
        BuildEntries(*FCurrentNode);
}

bool TPreviewEngine::ChooseEntry(int position)
{
    if (position < 0 || position >= FEntries.size() || !FEntries[position].Enabled)
        return false;
    const TPreviewOptionEntry entry = FEntries[position];   // the list is rebuilt while choosing
    ChooseOption(entry);
    return true;
}

void TPreviewEngine::ChooseOption(const TPreviewOptionEntry& entry)
{
    if (entry.Action == paEnd) {
        LogLine(QStringLiteral("--- Player chose to end dialogue ---"), pcTextDim);
        FPaneText = QStringLiteral("[ YOU END THE CONVERSATION ]");
        FPaneColor = pcTextDim;
        FEntries.clear();
        FCloseRequested = true;
        if (OnCloseRequested)
            OnCloseRequested();
        return;
    }
    TDialogueNode* current = FCurrentNode;
    if (!current) {
        LogLine(QStringLiteral("ERROR: No current node selected"), pcColorError);
        return;
    }
    if (entry.Action == paContinue) {
        AddHistory(*current, QStringLiteral("[Continue]"));
        GoToNode(current->NextNodeID());
        return;
    }
    ChooseOptionAt(current, entry.OptionIndex);
}

void TPreviewEngine::ChooseOptionAt(TDialogueNode* current, int index)
{
    if (index < 0 || index >= int(current->PlayerOptions().size()))
        return;
    // Copied: the option's node stays, but nothing below may depend on it.
    const TPlayerOption& option = *current->PlayerOptions()[size_t(index)];
    const QString text = option.Text;
    const QString target = option.TargetNodeID;
    LogLine(QStringLiteral("Player: ") + text, pcColorSuccess);

    if (!option.HasSkillCheck) {
        AddHistory(*current, text);
        if (!target.isEmpty())
            GoToNode(target);
        else
            LogLine(QStringLiteral("(Option has no target node)"), pcColorWarning);
        return;
    }

    const TSkillCheck check = option.SkillCheck;
    const QString skill = SkillName(check.Skill);
    const bool passed = RollSkillCheck(check);
    const QString versus = QStringLiteral("(") + skill + QLatin1Char(' ') + QString::number(GetSimSkill(skill))
        + QStringLiteral(" vs ") + QString::number(check.Difficulty) + QLatin1Char(')');
    QString destination;
    if (passed) {
        LogLine(QStringLiteral("SKILL CHECK PASSED! ") + versus, pcColorSuccess);
        if (check.XPReward > 0)
            LogLine(QStringLiteral("  +") + QString::number(check.XPReward) + QStringLiteral(" XP awarded"), pcColorInfo);
        if (!check.SuccessMessage.isEmpty())
            LogLine(QStringLiteral("  \"") + check.SuccessMessage + QLatin1Char('"'), pcTextSecondary);
        AddHistory(*current, text + QStringLiteral(" [SKILL PASS]"));
        destination = !check.SuccessNodeID.isEmpty() ? check.SuccessNodeID : target;
    } else {
        LogLine(QStringLiteral("SKILL CHECK FAILED! ") + versus, pcColorError);
        if (!check.FailureMessage.isEmpty())
            LogLine(QStringLiteral("  \"") + check.FailureMessage + QLatin1Char('"'), pcTextSecondary);
        AddHistory(*current, text + QStringLiteral(" [SKILL FAIL]"));
        destination = !check.FailureNodeID.isEmpty() ? check.FailureNodeID : target;
    }
    if (!destination.isEmpty())
        GoToNode(destination);
}

void TPreviewEngine::StepBack()
{
    if (FHistory.size() < 2) {
        LogLine(QStringLiteral("(Nothing to go back to)"), pcTextDim);
        return;
    }
    FHistory.removeLast();
    const QString id = FHistory.last().NodeID;
    FHistory.removeLast();
    GoToNode(id);
    if (!FLog.isEmpty())
        FLog.removeLast();
}

void TPreviewEngine::Restart()
{
    ResetSimulation();
    if (FProject && !FProject->StartNodeID().isEmpty())
        GoToNode(FProject->StartNodeID());
    else if (FProject && FProject->NodeCount() > 0)
        GoToNode(FProject->NodeAt(0)->ID());
}

// ---------------------------------------------------------------- conditions

bool TPreviewEngine::EvaluateCondition(const TCondition& c)
{
    const qint32 expected = DecimalOr(c.Value, 0);
    qint32 actual = 0;
    switch (c.CondType) {
    case ctSkillCheck: actual = GetSimSkill(c.Variable); break;
    case ctStatCheck: actual = GetSimVar(QStringLiteral("STAT_") + c.Variable); break;
    case ctReputation: actual = FSimReputation; break;
    case ctKarma: actual = FSimKarma; break;
    case ctGlobalVar:
    case ctLocalVar: actual = GetSimVar(c.Variable); break;
    case ctQuestFlag: actual = FSimQuestFlags.value(c.Variable, 0); break;
    case ctInventory: return InventoryHolds(c.Variable);
    case ctTimeOfDay: actual = 0; break;
    case ctCompanion: return InventoryHolds(QStringLiteral("COMPANION_") + c.Variable);
    case ctRandom: return Random().Below(100) < expected;
    }
    switch (c.Operator) {
    case coEQ: return actual == expected;
    case coNEQ: return actual != expected;
    case coLT: return actual < expected;
    case coGT: return actual > expected;
    case coLTE: return actual <= expected;
    case coGTE: return actual >= expected;
    }
    return false;
}

bool TPreviewEngine::EvaluateNodeConditions(const TDialogueNode& node)
{
    const QVector<TCondition>& conditions = node.Conditions();
    if (conditions.isEmpty())
        return true;
    bool result = EvaluateCondition(conditions.first());
    for (int i = 1; i < conditions.size(); ++i) {
        const bool r = EvaluateCondition(conditions[i]);
        switch (conditions[i].BoolOp) {
        case boAND: result = result && r; break;
        case boOR: result = result || r; break;
        case boNOT: result = result && !r; break;
        }
    }
    return result;
}

bool TPreviewEngine::MeetsIntelligence(const TPlayerOption& option) const
{
    const qint64 required = option.IntelligenceRequired;
    if (required > 0)
        return FSimIntelligence >= required;
    if (required < 0)
        return FSimIntelligence <= -required;
    return true;
}

bool TPreviewEngine::IsOptionAvailable(const TPlayerOption& option)
{
    if (option.ReputationRequired >= 1 && FSimReputation < option.ReputationRequired)
        return false;
    if (option.KarmaRequired >= -999 && FSimKarma < option.KarmaRequired)
        return false;
    if (!option.ItemRequired.isEmpty() && !InventoryHolds(option.ItemRequired))
        return false;
    for (const TCondition& c : option.Conditions)
        if (!EvaluateCondition(c))
            return false;
    if (!option.Guard.isEmpty() && !FGuardsHold)
        return false;
    return true;
}

int TPreviewEngine::SkillCheckChance(qint32 skillValue, qint32 difficulty)
{
    const qint64 chance = qint64(skillValue) - qint64(difficulty) + 50;
    return int(std::clamp<qint64>(chance, 5, 95));
}

bool TPreviewEngine::RollSkillCheck(const TSkillCheck& check)
{
    FLastChance = SkillCheckChance(GetSimSkill(SkillName(check.Skill)), check.Difficulty);
    FLastRoll = 1 + Random().Below(100);
    return FLastRoll <= FLastChance;
}

qint32 TPreviewEngine::GetSimSkill(const QString& name) const { return FSimSkills.value(name, 40); }

qint32 TPreviewEngine::GetSimVar(const QString& key) const { return FSimVars.value(key, 0); }

bool TPreviewEngine::InventoryHolds(const QString& item) const
{
    return FSimInventory.contains(item, Qt::CaseInsensitive);
}

// ---------------------------------------------------------------- history, log

void TPreviewEngine::AddHistory(const TDialogueNode& node, const QString& choice)
{
    TPreviewHistory record;
    record.NodeID = node.ID();
    record.NodeType = node.NodeType();
    record.Speaker = node.Speaker().isEmpty() ? NPCName() : node.Speaker();
    record.Text = node.Text();
    record.ChoiceMade = choice;
    FHistory.append(record);
    if (IsBlank(node.Text()))
        return;
    TPreviewLogLine line;
    line.IsHistory = true;
    if (node.NodeType() == ntNPCDialogue)
        line.Text = QStringLiteral("[NPC] ") + record.Speaker + QStringLiteral(": ") + node.Text().left(60);
    else if (!choice.isEmpty())
        line.Text = QStringLiteral("[PLY] ") + choice.left(60);
    else
        line.Text = QLatin1Char('[') + TypeName(node.NodeType()) + QStringLiteral("] ") + node.Text().left(50);
    FLog.append(line);
}

void TPreviewEngine::LogLine(const QString& text, TPreviewColorRole color)
{
    TPreviewLogLine line;
    line.Text = QStringLiteral("  ") + text;
    line.Color = color;
    FLog.append(line);
}

// ---------------------------------------------------------------- inspector

QVector<QPair<QString, qint32>> TPreviewEngine::GlobalVarRows() const
{
    QVector<QPair<QString, qint32>> rows;
    for (auto it = FSimVars.cbegin(); it != FSimVars.cend(); ++it)
        rows.append({it.key(), it.value()});
    rows.append({QStringLiteral("KARMA"), FSimKarma});
    rows.append({QStringLiteral("REPUTATION"), FSimReputation});
    rows.append({QStringLiteral("INTELLIGENCE"), FSimIntelligence});
    return rows;
}

QVector<QPair<QString, qint32>> TPreviewEngine::SkillRows() const
{
    QVector<QPair<QString, qint32>> rows;
    for (const char* name : SkillNames)
        rows.append({QString::fromLatin1(name), GetSimSkill(QString::fromLatin1(name))});
    return rows;
}

QVector<QStringList> TPreviewEngine::QuestFlagRows() const
{
    QVector<QStringList> rows;
    for (auto it = FSimQuestFlags.cbegin(); it != FSimQuestFlags.cend(); ++it)
        rows.append({it.key(), QString::number(it.value()), QStringLiteral("ACTIVE")});
    return rows;
}

bool TPreviewEngine::EditGlobalVarRow(const QString& caption, const QString& answer, qint32* stored)
{
    if (answer.isEmpty())
        return false;
    const qint32 value = DecimalOr(answer, 0);
    if (caption == QLatin1String("KARMA"))
        FSimKarma = value;
    else if (caption == QLatin1String("REPUTATION"))
        FSimReputation = value;
    else if (caption == QLatin1String("INTELLIGENCE"))
        FSimIntelligence = value;
    else
        FSimVars[caption] = value;
    if (stored)
        *stored = value;
    return true;
}

bool TPreviewEngine::EditSkillRow(const QString& name, const QString& answer, qint32* stored)
{
    if (answer.isEmpty())
        return false;
    const qint32 value = DecimalOr(answer, 40);
    FSimSkills[name] = value;
    if (stored)
        *stored = value;
    return true;
}

bool TPreviewEngine::AddInventoryItem(const QString& text)
{
    const QString item = text.trimmed();
    if (item.isEmpty())
        return false;
    FSimInventory.append(item);
    return true;
}

bool TPreviewEngine::RemoveInventoryItem(int index)
{
    if (index < 0 || index >= FSimInventory.size())
        return false;
    FSimInventory.removeAt(index);
    return true;
}
