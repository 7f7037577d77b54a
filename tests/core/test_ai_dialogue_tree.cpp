// The AI dialogue tree generator's logic: prompt, the "N:"/"O:" parser, the
// built-in tree, one round against a loopback service, and the project.

#include "ai/AIDialogueTree.h"
#include "tests/core/test_ai_servers.h"

#include <gtest/gtest.h>

using namespace AIDialogueTree;
using namespace AITest;

namespace {

TRandomBelow Fixed(int value)
{
    return [value](int bound) { return std::min(value, bound - 1); };
}

QStringList Ids(const TParseResult& result)
{
    QStringList ids;
    for (const auto& node : result.Nodes)
        ids.append(node->ID());
    return ids;
}

} // namespace

TEST(AIDialogueTree, PromptEndsWithTheChoices)
{
    const QString prompt = BuildPrompt(QStringLiteral("Vault Dweller"), QLatin1String(DefaultTopic),
                                       QLatin1String(DepthChoices[DefaultDepthIndex]));
    EXPECT_TRUE(prompt.startsWith(QStringLiteral("Generate a Fallout-style dialogue tree in this format:\r\n"
                                                 "Each node starts with \"N:nodeid=description\" (use simple IDs "
                                                 "like start, supplies, hub)\r\n")));
    EXPECT_TRUE(prompt.endsWith(QStringLiteral("N:hub=Response about location\r\n\r\n"
                                               "Character: Vault Dweller\r\n"
                                               "Topic: Help a stranger\r\n"
                                               "Depth: 3 levels, 2-4 options per node\r\n\r\n"
                                               "Make it feel like a 1990s CRPG dialogue with choices that affect "
                                               "the conversation.")));
}

TEST(AIDialogueTree, BuiltInTreeParsesIntoFourNodes)
{
    const TParseResult result = Parse(BuiltInTree(), QStringLiteral("Settler"), Fixed(7));
    ASSERT_TRUE(result.Succeeded());
    EXPECT_EQ(Ids(result), QStringList({QStringLiteral("start"), QStringLiteral("supplies"), QStringLiteral("hub"),
                                        QStringLiteral("welcome")}));
    EXPECT_EQ(result.Root, result.Nodes[0].get());
    EXPECT_EQ(result.Root->Text(), QStringLiteral("Hello, stranger. What brings you to these parts?"));
    ASSERT_EQ(result.Root->PlayerOptions().size(), 1u);
    EXPECT_EQ(result.Root->PlayerOptions()[0]->Text, QStringLiteral("I need supplies"));
    EXPECT_EQ(result.Root->Speaker(), QStringLiteral("Settler"));
    EXPECT_EQ(result.Root->X(), 57);
    EXPECT_EQ(result.Root->Y(), 57);
    EXPECT_TRUE(result.Root->IsStartNode());
    EXPECT_FALSE(result.Nodes[1]->IsStartNode());
    EXPECT_EQ(StatusText(result), QStringLiteral("Generated 4 nodes"));

    const auto preview = PreviewItems(result);
    ASSERT_EQ(preview.size(), 1u);
    EXPECT_EQ(preview[0].Text, result.Root->Text());
    EXPECT_EQ(preview[0].Children, QStringList({QStringLiteral("\u2192 I need supplies")}));
}

TEST(AIDialogueTree, LineRules)
{
    struct Case { const char* Name; QString Reply; QStringList Ids; QString RootText; QStringList RootOptions; } cases[] = {
        {"blanks around id and text", QStringLiteral("N: start = Hi"), {QStringLiteral("start")}, QStringLiteral("Hi"), {}},
        {"no equals sign", QStringLiteral("N:Hello\r\nN:=Second"), {QStringLiteral("node1"), QStringLiteral("node2")},
         QStringLiteral("N:Hello"), {}},
        {"lower-case prefix ignored", QStringLiteral("n:low=x\nN:a=b"), {QStringLiteral("a")}, QStringLiteral("b"), {}},
        {"options before nodes and blank options ignored",
         QStringLiteral("O:early\nN:a=b\nO:   \nO: real \n  O:indented\nsome prose\n```\n"),
         {QStringLiteral("a")}, QStringLiteral("b"), {QStringLiteral("real"), QStringLiteral("indented")}},
        {"text keeps later equals signs", QStringLiteral("N:a=x = y"), {QStringLiteral("a")}, QStringLiteral("x = y"), {}},
        {"case-sensitive ids", QStringLiteral("N:Hub=1\nN:hub=2"), {QStringLiteral("Hub"), QStringLiteral("hub")},
         QStringLiteral("1"), {}},
    };
    for (const Case& c : cases) {
        const TParseResult result = Parse(c.Reply, QStringLiteral("S"), Fixed(0));
        ASSERT_TRUE(result.Succeeded()) << c.Name;
        EXPECT_EQ(Ids(result), c.Ids) << c.Name;
        EXPECT_EQ(result.Root->Text(), c.RootText) << c.Name;
        QStringList options;
        for (const auto& option : result.Root->PlayerOptions())
            options.append(option->Text);
        EXPECT_EQ(options, c.RootOptions) << c.Name;
    }
}

TEST(AIDialogueTree, RepliesWithoutNodesOrWithDuplicatesFail)
{
    for (const QString& reply : {QStringLiteral("Error: model not found"), QString(), QStringLiteral("O:a\nO:b"),
                                 QStringLiteral("\r\n \r\n"), QString(QChar(0)) + QStringLiteral("\x01garbage")}) {
        const TParseResult result = Parse(reply, QStringLiteral("S"));
        EXPECT_FALSE(result.Succeeded());
        EXPECT_TRUE(result.Error.isEmpty());
        EXPECT_EQ(StatusText(result), QStringLiteral("Failed to parse response"));
    }
    const TParseResult duplicate = Parse(QStringLiteral("N:hub=1\nO:go\nN:x=2\nN:hub=3"), QStringLiteral("S"));
    EXPECT_EQ(duplicate.Error, QStringLiteral("Duplicates not allowed"));
    EXPECT_FALSE(duplicate.Succeeded());   // nothing of a rejected reply can be added
    EXPECT_TRUE(PreviewItems(duplicate).empty());
    EXPECT_EQ(StatusText(duplicate), QStringLiteral("Generating..."));
    // A generated ID counts as taken as well.
    EXPECT_EQ(Parse(QStringLiteral("N:node2=1\nN:no equals"), QStringLiteral("S")).Error,
              QStringLiteral("Duplicates not allowed"));
}

TEST(AIDialogueTree, HugeRepliesAreCut)
{
    QString reply;
    for (int i = 0; i < MaxNodes + 50; ++i)
        reply += QStringLiteral("N:n%1=Text %1\n").arg(i);
    for (int i = 0; i < 300; ++i)
        reply += QStringLiteral("O:option %1\n").arg(i);
    const TParseResult result = Parse(reply, QStringLiteral("S"), Fixed(1));
    ASSERT_TRUE(result.Succeeded());
    EXPECT_TRUE(result.Truncated);
    EXPECT_EQ(int(result.Nodes.size()), MaxNodes);

    QString manyOptions = QStringLiteral("N:root=r\n");
    for (int i = 0; i < 300; ++i)
        manyOptions += QStringLiteral("O:option %1\n").arg(i);
    const TParseResult options = Parse(manyOptions, QStringLiteral("S"), Fixed(1));
    EXPECT_TRUE(options.Truncated);
    EXPECT_EQ(int(options.Root->PlayerOptions().size()), MaxOptionsPerNode);
}

TEST(AIDialogueTree, PositionsUseTheRandomRanges)
{
    std::vector<int> bounds;
    const TParseResult result = Parse(QStringLiteral("N:a=1\nN:b=2"), QStringLiteral("S"), [&](int bound) {
        bounds.push_back(bound);
        return bound - 1;
    });
    EXPECT_EQ(bounds, std::vector<int>({400, 300, 400, 300}));
    EXPECT_EQ(result.Nodes[1]->X(), 449);
    EXPECT_EQ(result.Nodes[1]->Y(), 349);
    for (int i = 0; i < 50; ++i) {
        const TParseResult random = Parse(QStringLiteral("N:a=1"), QStringLiteral("S"));
        EXPECT_GE(random.Root->X(), 50);
        EXPECT_LE(random.Root->X(), 449);
        EXPECT_GE(random.Root->Y(), 50);
        EXPECT_LE(random.Root->Y(), 349);
    }
}

TEST(AIDialogueTree, GenerateUsesTheServiceOrTheBuiltInTree)
{
    TSelfSignedCertificate cert;
    TLoopbackServer good(Reply(200, R"({"response":"Here you go:\nN:gate=Halt!\nO:Let me in\nO:Bye\nN:in=Fine."})"), cert);
    TLoopbackServer refusing(Reply(500, "{}"), cert);
    TLoopbackServer erroring(Reply(200, R"({"error":"quota exceeded"})"), cert);
    const auto factoryFor = [&](const TLoopbackServer& server) {
        return [&](const QString& key) {
            auto client = std::make_unique<TOllamaCloudClient>(key, QStringLiteral("llama3.1"));
            client->SetBaseURL(server.BaseURL(QStringLiteral("/v1")));
            client->SetTrustedCertificateFile(cert.CertFile);
            return client;
        };
    };

    const TGeneration fromService = Generate(QStringLiteral(" key "), QStringLiteral("Raider Chief"),
                                             QStringLiteral("Toll"), QStringLiteral("2"), factoryFor(good));
    EXPECT_FALSE(fromService.UsedBuiltInTree);
    ASSERT_TRUE(fromService.Result.Succeeded());
    EXPECT_EQ(Ids(fromService.Result), QStringList({QStringLiteral("gate"), QStringLiteral("in")}));
    EXPECT_EQ(fromService.Result.Root->Speaker(), QStringLiteral("Raider Chief"));
    const auto requests = good.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Header("Authorization"), "Bearer key");
    EXPECT_NE(requests[0].Body.find("\"max_tokens\":1000"), std::string::npos);
    EXPECT_NE(requests[0].Body.find("Topic: Toll\\r\\nDepth: 2 levels"), std::string::npos);

    const TGeneration fallback = Generate(QStringLiteral("key"), QStringLiteral("Settler"), QStringLiteral("t"),
                                          QStringLiteral("3"), factoryFor(refusing));
    EXPECT_TRUE(fallback.UsedBuiltInTree);
    EXPECT_EQ(fallback.Failure.HttpStatus, 500);
    EXPECT_EQ(StatusText(fallback.Result), QStringLiteral("Generated 4 nodes"));

    const TGeneration blankKey = Generate(QStringLiteral("  "), QStringLiteral("Settler"), QStringLiteral("t"),
                                          QStringLiteral("3"), factoryFor(good));
    EXPECT_TRUE(blankKey.UsedBuiltInTree);
    EXPECT_EQ(good.Requests().size(), 1u);

    const TGeneration error = Generate(QStringLiteral("key"), QStringLiteral("Settler"), QStringLiteral("t"),
                                       QStringLiteral("3"), factoryFor(erroring));
    EXPECT_EQ(error.Reply, QStringLiteral("Error: quota exceeded"));
    EXPECT_EQ(StatusText(error.Result), QStringLiteral("Failed to parse response"));
}

TEST(AIDialogueTree, AddingTheRootAddsOneStartNode)
{
    TDialogueProject project;
    project.AddNode(ntNPCDialogue);
    const TParseResult result = Parse(QStringLiteral("N:a=Greetings\nO:One\nO:Two\nN:b=Other"), QStringLiteral("Ghoul"));
    TDialogueNode* added = AddRootToProject(project, *result.Root);
    ASSERT_EQ(project.NodeCount(), 2);
    EXPECT_EQ(added, project.NodeAt(1));
    EXPECT_EQ(added->ID(), QStringLiteral("Node002"));
    EXPECT_EQ(added->NodeType(), ntNPCDialogue);
    EXPECT_TRUE(added->IsStartNode());
    EXPECT_EQ(added->Speaker(), QStringLiteral("Ghoul"));
    EXPECT_EQ(added->Text(), QStringLiteral("Greetings"));
    EXPECT_EQ(added->X(), 0);
    ASSERT_EQ(added->PlayerOptions().size(), 2u);
    EXPECT_EQ(added->PlayerOptions()[1]->Text, QStringLiteral("Two"));
    EXPECT_TRUE(added->PlayerOptions()[0]->TargetNodeID.isEmpty());
    EXPECT_NE(added->PlayerOptions()[0]->ID, result.Root->PlayerOptions()[0]->ID);
}
