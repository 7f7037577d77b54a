#include "ai/gui/AIDialogueTreeFormParser.h"

#include "model/DialogueTypes.h"

#include <QRandomGenerator>
#include <QSet>
#include <QStringList>

namespace AIDialogueTree {

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString NodePrefix = QStringLiteral("N:");
const QString OptionPrefix = QStringLiteral("O:");

struct TNodeLine {
    QString ID;
    QString Text;
};

TNodeLine SplitNodeLine(const QString& line)
{
    const int equals = line.indexOf(QLatin1Char('='));
    if (equals < 0)
        return {QString(), line};
    return {line.mid(NodePrefix.size(), equals - NodePrefix.size()).trimmed(), line.mid(equals + 1).trimmed()};
}

std::unique_ptr<TDialogueNode> MakeNode(const TNodeLine& parsed, const QString& speaker, const TRandom& random)
{
    auto node = std::make_unique<TDialogueNode>(parsed.ID, ntNPCDialogue);
    node->SetText(parsed.Text);
    node->SetSpeaker(speaker);
    node->SetX(50 + random(400));
    node->SetY(50 + random(300));
    return node;
}

}

TRandom DefaultRandom()
{
    return [](int bound) { return int(QRandomGenerator::global()->bounded(bound)); };
}

QString BuildPrompt(const QString& character, const QString& topic, const QString& depth)
{
    const QString opening = QStringLiteral(
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
        "Character: ");
    return opening + character + CrLf + QStringLiteral("Topic: ") + topic + CrLf + QStringLiteral("Depth: ") + depth
         + QStringLiteral(" levels, 2-4 options per node") + CrLf + CrLf
         + QStringLiteral("Make it feel like a 1990s CRPG dialogue with choices that affect the conversation.");
}

QString BuiltInTree()
{
    return QStringList{
        QStringLiteral("N:start=Hello, stranger. What brings you to these parts?"),
        QStringLiteral("O:I need supplies"),
        QStringLiteral("N:supplies=Well, the traders in the Hub might help. But they do not come cheap."),
        QStringLiteral("O:Where is the Hub?"),
        QStringLiteral("N:hub=Head east along the highway. You cannot miss it. Big place, lots of merchants."),
        QStringLiteral("O:Thanks"),
        QStringLiteral("N:welcome=Stay safe out there, wasteland can be dangerous."),
    }.join(CrLf);
}

QString TreeTextForReply(const QString& reply)
{
    return reply.startsWith(QStringLiteral("[MOCK]")) ? BuiltInTree() : reply;
}

TAITreeParse Parse(const QString& text, const QString& speaker, const TRandom& random)
{
    TAITreeParse parse;
    QSet<QString> seenIDs;
    TDialogueNode* current = nullptr;
    const QStringList lines = QString(text).replace(CrLf, QStringLiteral("\n")).split(QLatin1Char('\n'));
    for (const QString& rawLine : lines) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(NodePrefix)) {
            TNodeLine parsed = SplitNodeLine(line);
            if (parsed.ID.isEmpty())
                parsed.ID = QStringLiteral("node") + QString::number(parse.Nodes.size() + 1);
            parse.Nodes.push_back(MakeNode(parsed, speaker, random));
            current = parse.Nodes.back().get();
            if (seenIDs.contains(parsed.ID)) {
                parse.Error = QStringLiteral("Duplicates not allowed");
                return parse;
            }
            seenIDs.insert(parsed.ID);
            if (!parse.Root) {
                parse.Root = current;
                current->SetIsStartNode(true);
            }
        } else if (line.startsWith(OptionPrefix) && current) {
            const QString optionText = line.mid(OptionPrefix.size()).trimmed();
            if (!optionText.isEmpty())
                current->AddOption()->Text = optionText;
        }
    }
    return parse;
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
