#include "model/DialogueTypes.h"

#include "model/DateTimeText.h"
#include "model/JsonText.h"

#include <QUuid>

#include <algorithm>

const char* const NodeTypeNames[NodeTypeCount] = {
    "NPC Dialogue", "Player Reply", "Conditional", "Random", "Script",
    "Combat Trigger", "Quest Update", "Trade", "End Dialogue", "Comment"};

const char* const ScriptEventIdentifiers[ScriptEventCount] = {
    "seOnDialogueStart", "seOnNodeEnter", "seOnOptionSelected", "seOnSkillCheck",
    "seOnQuestUpdate", "seOnCombatStart", "seOnDialogueEnd"};

const char* const SkillNames[SkillTypeCount] = {
    "Speech", "Barter", "Science", "Repair", "Lockpick", "Sneak", "Medicine",
    "Survival", "Gambling", "Energy Weapons", "Small Guns", "Big Guns"};

const char* const ReactionNames[ReactionCount] = {"Good", "Neutral", "Bad"};

const char* const OperatorSymbols[ConditionOperatorCount] = {"==", "!=", "<", ">", "<=", ">="};

const TColor DefaultNodeColors[NodeTypeCount] = {
    RGBToColor(0x0F, 0x1F, 0x2B), RGBToColor(0x10, 0x2B, 0x10), RGBToColor(0x08, 0x1A, 0x26),
    RGBToColor(0x26, 0x1A, 0x08), RGBToColor(0x20, 0x08, 0x20), RGBToColor(0x08, 0x08, 0x20),
    RGBToColor(0x20, 0x20, 0x08), RGBToColor(0x08, 0x18, 0x20), RGBToColor(0x10, 0x10, 0x10),
    RGBToColor(0x18, 0x18, 0x18)};

TColor DefaultColorFor(int nodeType)
{
    if (nodeType < 0 || nodeType >= NodeTypeCount)
        return DefaultNodeColors[ntNPCDialogue];
    return DefaultNodeColors[nodeType];
}

QString GenerateShortID()
{
    const QString digits = QUuid::createUuid().toString(QUuid::Id128).toUpper();
    return QStringLiteral("N_") + digits.left(12);
}

TPlayerOption::TPlayerOption() : ID(GenerateShortID()) {}

TFloatMessage::TFloatMessage() : ID(GenerateShortID()) {}

// ---------------------------------------------------------------------------

TDialogueNode::TDialogueNode(const QString& aID, TNodeType aType)
    : FNodeType(aType), FColor(DefaultColorFor(aType)), FID(aID)
{
}

void TDialogueNode::SetID(const QString& value)
{
    if (FID == value)
        return;
    FID = value;
    if (FOwner)
        FOwner->NodeIDChanged();
}

TPlayerOption* TDialogueNode::AddOption()
{
    FPlayerOptions.push_back(std::make_unique<TPlayerOption>());
    return FPlayerOptions.back().get();
}

TNodeScript* TDialogueNode::AddScript()
{
    FScripts.push_back(std::make_unique<TNodeScript>());
    return FScripts.back().get();
}

// ---------------------------------------------------------------------------

TDialogueProject::TDialogueProject()
    : FName(QStringLiteral("New Dialogue")),
      FVersion(QStringLiteral("1.0.7")),
      FActiveLocale(QStringLiteral("en-US"))
{
    FLocales << QStringLiteral("en-US");
    FCreatedDate = DateTimeText::Now();
    FModifiedDate = FCreatedDate;
}

TDialogueProject::~TDialogueProject() = default;

int TDialogueProject::IndexOfNode(const TDialogueNode* node) const
{
    for (size_t i = 0; i < FNodes.size(); ++i)
        if (FNodes[i].get() == node)
            return int(i);
    return -1;
}

namespace {
// The number after "Node", or -1 when the ID is not of that shape.
qint64 NodeNumberOf(const QString& id)
{
    if (id.size() < 5 || !id.startsWith(QLatin1String("Node")))
        return -1;
    bool ok = false;
    const qint64 n = QStringView(id).mid(4).toLongLong(&ok);
    return ok ? n : 0;
}
}

TDialogueNode* TDialogueProject::AddNode(TNodeType aType)
{
    // The highest number is kept with the ID index, so adding many nodes
    // stays linear; removals and renames recount it once.
    if (!FIndexValid)
        RebuildIndex();
    const QString id = QStringLiteral("Node%1").arg(FMaxNodeNumber + 1, 3, 10, QLatin1Char('0'));
    auto node = std::make_unique<TDialogueNode>(id, aType);
    if (FNodes.empty())
        node->SetIsStartNode(true);
    TDialogueNode* added = AppendNode(std::move(node));
    FModified = true;
    return added;
}

TDialogueNode* TDialogueProject::AppendNode(std::unique_ptr<TDialogueNode> node)
{
    node->FOwner = this;
    TDialogueNode* raw = node.get();
    FNodes.push_back(std::move(node));
    if (FIndexValid) {
        if (!FIndex.contains(raw->ID()))
            FIndex.insert(raw->ID(), raw);
        FMaxNodeNumber = std::max(FMaxNodeNumber, NodeNumberOf(raw->ID()));
    }
    return raw;
}

void TDialogueProject::RemoveNode(const QString& aID)
{
    for (size_t i = FNodes.size(); i-- > 0;) {
        if (FNodes[i]->ID() == aID) {
            FNodes.erase(FNodes.begin() + qsizetype(i));
            FIndexValid = false;
            FModified = true;
            return;
        }
    }
}

void TDialogueProject::DeleteNode(TDialogueNode* node)
{
    const int index = IndexOfNode(node);
    if (index < 0)
        return;
    FNodes.erase(FNodes.begin() + index);
    FIndexValid = false;
    FModified = true;
}

void TDialogueProject::ClearNodes()
{
    FNodes.clear();
    FIndex.clear();
    FMaxNodeNumber = 0;
    FIndexValid = true;
}

void TDialogueProject::RebuildIndex() const
{
    FIndex.clear();
    FIndex.reserve(qsizetype(FNodes.size()));
    FMaxNodeNumber = 0;
    for (const auto& node : FNodes) {
        if (!FIndex.contains(node->ID()))
            FIndex.insert(node->ID(), node.get());
        FMaxNodeNumber = std::max(FMaxNodeNumber, NodeNumberOf(node->ID()));
    }
    FIndexValid = true;
}

TDialogueNode* TDialogueProject::FindNode(const QString& aID) const
{
    if (!FIndexValid)
        RebuildIndex();
    return FIndex.value(aID, nullptr);
}

QVector<TDialogueNode*> TDialogueProject::GetConnectedNodes(const QString& aNodeID) const
{
    QVector<TDialogueNode*> result;
    const TDialogueNode* node = FindNode(aNodeID);
    if (!node)
        return result;
    auto addOnce = [&](const QString& id) {
        if (id.isEmpty())
            return;
        TDialogueNode* target = FindNode(id);
        if (target && !result.contains(target))
            result.append(target);
    };
    if (!node->NextNodeID().isEmpty())
        if (TDialogueNode* next = FindNode(node->NextNodeID()))
            result.append(next);
    for (const auto& option : node->PlayerOptions()) {
        addOnce(option->TargetNodeID);
        if (option->HasSkillCheck) {
            addOnce(option->SkillCheck.SuccessNodeID);
            addOnce(option->SkillCheck.FailureNodeID);
        }
    }
    return result;
}

void TDialogueProject::TakeContentFrom(TDialogueProject& other)
{
    FNodes = std::move(other.FNodes);
    other.FNodes.clear();
    for (auto& node : FNodes)
        node->FOwner = this;
    FIndexValid = false;
    other.FIndex.clear();
    other.FMaxNodeNumber = 0;
    other.FIndexValid = true;
    FFloatMessages = std::move(other.FFloatMessages);
    other.FFloatMessages.clear();
    FGlobalVars = std::move(other.FGlobalVars);
    FTags = std::move(other.FTags);
    FLocales = std::move(other.FLocales);
    FGameScript = std::move(other.FGameScript);
    FCreatedDate = other.FCreatedDate;
    FModifiedDate = other.FModifiedDate;
    FName = other.FName;
    FFilePath = other.FFilePath;
    FNPCName = other.FNPCName;
    FNPCScript = other.FNPCScript;
    FModified = other.FModified;
    FStartNodeID = other.FStartNodeID;
    FDescription = other.FDescription;
    FVersion = other.FVersion;
    FAuthor = other.FAuthor;
    FActiveLocale = other.FActiveLocale;
}
