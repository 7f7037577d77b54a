#include "ai/AIDialogueTree.h"

#include <QRandomGenerator>
#include <QSet>

namespace AIDialogueTree {

const char* const CharacterNames[CharacterCount] = {
    "Vault Dweller", "Brotherhood Knight", "Raider Chief", "Ghoul Philosopher",
    "Settler", "Enclave Officer", "Super Mutant"};
const char* const DepthChoices[DepthCount] = {"2", "3", "4", "5"};
const char* const StyleChoices[StyleCount] = {
    "Brief (1-2 lines)", "Detailed (3-4 lines)", "Verbose (full description)"};
const char* const DefaultTopic = "Help a stranger";
const char* const ModelName = "llama3.1";
const char* const GeneratingText = "Generating...";
const char* const ParseFailedText = "Failed to parse response";
const char* const DuplicateMessage = "Duplicates not allowed";
const char* const AddedLogLine = "AI dialogue tree added to project";
const char* const OptionArrow = "\u2192 ";

namespace {

const QString CRLF = QStringLiteral("\r\n");

const char* const PromptOpening =
    "Generate a Fallout-style dialogue tree in this format:\r\n"
    "Each node starts with \"N:nodeid=description\" (use simple IDs like start, supplies, hub)\r\n"
    "Each option starts with \"O:option text\"\r\n"
    "The order matters: option followed by the node it leads to\r\n"
    "\r\n"
    "Example format:\r\n"
    "N:start=Greeting text here\r\n"
    "O:Ask about supplies\r\n"
    "N:supplies=Response about supplies\r\n"
    "O:Ask about location\r\n"
    "N:hub=Response about location\r\n"
    "\r\n"
    "Character: ";

const char* const BuiltInTreeLines[] = {
    "N:start=Hello, stranger. What brings you to these parts?",
    "O:I need supplies",
    "N:supplies=Well, the traders in the Hub might help. But they do not come cheap.",
    "O:Where is the Hub?",
    "N:hub=Head east along the highway. You cannot miss it. Big place, lots of merchants.",
    "O:Thanks",
    "N:welcome=Stay safe out there, wasteland can be dangerous.",
};

int DefaultRandomBelow(int bound)
{
    return int(QRandomGenerator::global()->bounded(bound));
}

struct TNodeLine {
    QString ID;
    QString Text;
};

TNodeLine SplitNodeLine(const QString& line)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0)
        return {QString(), line};
    return {line.mid(2, equals - 2).trimmed(), line.mid(equals + 1).trimmed()};
}

} // namespace

QString BuildPrompt(const QString& character, const QString& topic, const QString& depth)
{
    return QString::fromUtf8(PromptOpening) + character + CRLF
         + QStringLiteral("Topic: ") + topic + CRLF
         + QStringLiteral("Depth: ") + depth + QStringLiteral(" levels, 2-4 options per node") + CRLF + CRLF
         + QStringLiteral("Make it feel like a 1990s CRPG dialogue with choices that affect the conversation.");
}

QString BuiltInTree()
{
    QStringList lines;
    for (const char* line : BuiltInTreeLines)
        lines.append(QString::fromUtf8(line));
    return lines.join(CRLF);
}

bool IsPlaceholder(const QString& reply)
{
    return reply.startsWith(QLatin1String("[MOCK]"));
}

TParseResult Parse(const QString& reply, const QString& speaker, const TRandomBelow& random)
{
    const TRandomBelow randomBelow = random ? random : TRandomBelow(DefaultRandomBelow);
    TParseResult result;
    QSet<QString> seenIDs;
    TDialogueNode* current = nullptr;
    for (const QString& rawLine : reply.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1String("N:"))) {
            if (int(result.Nodes.size()) >= MaxNodes) {
                result.Truncated = true;
                break;
            }
            TNodeLine parts = SplitNodeLine(line);
            if (parts.ID.isEmpty())
                parts.ID = QStringLiteral("node") + QString::number(result.Nodes.size() + 1);
            if (seenIDs.contains(parts.ID)) {
                result = TParseResult();
                result.Error = QString::fromUtf8(DuplicateMessage);
                return result;
            }
            seenIDs.insert(parts.ID);
            auto node = std::make_unique<TDialogueNode>(parts.ID, ntNPCDialogue);
            node->SetText(parts.Text);
            node->SetSpeaker(speaker);
            node->SetX(50 + randomBelow(400));
            node->SetY(50 + randomBelow(300));
            current = node.get();
            result.Nodes.push_back(std::move(node));
            if (!result.Root) {
                result.Root = current;
                current->SetIsStartNode(true);
            }
        } else if (line.startsWith(QLatin1String("O:")) && current) {
            const QString text = line.mid(2).trimmed();
            if (text.isEmpty())
                continue;
            if (int(current->PlayerOptions().size()) >= MaxOptionsPerNode) {
                result.Truncated = true;
                continue;
            }
            current->AddOption()->Text = text;
        }
    }
    return result;
}

std::vector<TPreviewItem> PreviewItems(const TParseResult& result)
{
    std::vector<TPreviewItem> items;
    for (const auto& node : result.Nodes) {
        if (!node->IsStartNode())
            continue;
        TPreviewItem item;
        item.Text = node->Text();
        for (const auto& option : node->PlayerOptions())
            item.Children.append(QString::fromUtf8(OptionArrow) + option->Text);
        items.push_back(std::move(item));
    }
    return items;
}

QString StatusText(const TParseResult& result)
{
    if (!result.Error.isEmpty())
        return QString::fromUtf8(GeneratingText);
    if (!result.Succeeded())
        return QString::fromUtf8(ParseFailedText);
    return QStringLiteral("Generated ") + QString::number(result.Nodes.size()) + QStringLiteral(" nodes");
}

TGeneration Generate(const QString& storedKey, const QString& character, const QString& topic,
                     const QString& depth, const TClientFactory& factory, const TRandomBelow& random)
{
    const QString key = storedKey.trimmed();
    std::unique_ptr<TOllamaCloudClient> client =
        factory ? factory(key) : std::make_unique<TOllamaCloudClient>(key, QString::fromUtf8(ModelName));
    TGeneration generation;
    generation.Reply = client->GenerateText(BuildPrompt(character, topic, depth), MaxTokens);
    generation.Failure = client->LastFailure();
    client.reset();
    if (IsPlaceholder(generation.Reply)) {
        generation.Reply = BuiltInTree();
        generation.UsedBuiltInTree = true;
    }
    generation.Result = Parse(generation.Reply, character, random);
    return generation;
}

TDialogueNode* AddRootToProject(TDialogueProject& project, const TDialogueNode& root)
{
    TDialogueNode* node = project.AddNode(ntNPCDialogue);
    node->SetSpeaker(root.Speaker());
    node->SetText(root.Text());
    node->SetIsStartNode(true);
    for (const auto& option : root.PlayerOptions())
        node->AddOption()->Text = option->Text;
    return node;
}

}
