// The AI dialogue writer's logic: prompt, transcript, one generation round
// against a loopback HTTPS service, and inserting the result.

#include "ai/AIDialogueWriter.h"
#include "tests/core/test_ai_servers.h"

#include <gtest/gtest.h>

using namespace AIDialogueWriter;
using namespace AITest;

TEST(AIDialogueWriter, InitialPromptReadsAsExpected)
{
    const QString prompt = BuildPrompt(QStringLiteral("NPC"), 0, MemoLines(QLatin1String(InitialTranscript)),
                                       MemoLines(QLatin1String(InitialPlayerInput)));
    EXPECT_EQ(prompt,
              QStringLiteral("You are a Fallout NPC character.\r\n"
                             "Character: NPC\r\n"
                             "Persona: Vault Dweller (Naive, cautious)\r\n"
                             "Traits: naive, cautious, curious, eager to help but inexperienced\r\n"
                             "Speech: Speaking hesitantly, with frequent pauses and uncertainty\r\n"
                             "\r\n"
                             "Recent conversation:\r\n"
                             "Conversation will appear here...\r\n"
                             "\r\n\r\n"
                             "Player says: Hello there, stranger.\r\n"
                             "\r\n\r\n"
                             "Respond in character. Keep response under 3 sentences."));
}

TEST(AIDialogueWriter, PersonaTable)
{
    EXPECT_EQ(QString::fromUtf8(Personas[3].ListText), QStringLiteral("Ghoul Philosopher (Wise, melancholic)"));
    EXPECT_EQ(GetPersonaTraits(1),
              QStringLiteral("disciplined, tech-focused, suspicious of outsiders, loyal to the Brotherhood"));
    EXPECT_EQ(GetPersonaSpeechPattern(2), QStringLiteral("Speaking aggressively and directly, with crude language"));
    EXPECT_TRUE(GetPersonaTraits(4).isEmpty());
    EXPECT_TRUE(GetPersonaSpeechPattern(-1).isEmpty());
}

TEST(AIDialogueWriter, MemoLinesFollowTheBoxConvention)
{
    EXPECT_TRUE(MemoLines(QString()).isEmpty());
    EXPECT_EQ(MemoLines(QStringLiteral("a\r\nb\r\n")), QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(MemoLines(QStringLiteral("a\nb")), QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(MemoText({QStringLiteral("a"), QString()}), QStringLiteral("a\r\n\r\n"));
    EXPECT_EQ(MemoText({}), QString());
}

TEST(AIDialogueWriter, TranscriptDropsOneLinePerExchangeOnceLong)
{
    QStringList lines = MemoLines(QLatin1String(InitialTranscript));
    const int expectedSizes[] = {3, 5, 7, 8, 9, 10};
    for (int exchange = 0; exchange < 6; ++exchange) {
        lines = UpdateTranscript(lines, QStringLiteral("  Hi %1 \r\n").arg(exchange), QStringLiteral("Reply %1").arg(exchange));
        EXPECT_EQ(lines.size(), expectedSizes[exchange]) << exchange;
        EXPECT_EQ(lines.last(), QStringLiteral("NPC: Reply %1").arg(exchange));
        EXPECT_EQ(lines[lines.size() - 2], QStringLiteral("Player: Hi %1").arg(exchange));
    }
    EXPECT_NE(lines.first(), QLatin1String(InitialTranscript));
}

class WriterSessionTest : public ::testing::Test {
protected:
    TSelfSignedCertificate Cert;
    TLoopbackServer Server{Reply(200, R"({"response":"Who... who are you?"})"), Cert};
    std::vector<QString> KeysUsed;

    TSession MakeSession()
    {
        return TSession([this](const QString& key) {
            KeysUsed.push_back(key);
            auto client = std::make_unique<TOllamaCloudClient>(key, QStringLiteral("llama3.1"));
            client->SetBaseURL(Server.BaseURL(QStringLiteral("/v1")));
            client->SetTrustedCertificateFile(Cert.CertFile);
            return client;
        });
    }

    static TGenerateRequest Request(const QString& key)
    {
        TGenerateRequest request;
        request.NPCName = QStringLiteral("Ada");
        request.PersonaIndex = 3;
        request.APIKey = key;
        request.TranscriptLines = MemoLines(QLatin1String(InitialTranscript));
        request.PlayerInputLines = MemoLines(QLatin1String(InitialPlayerInput));
        return request;
    }
};

TEST_F(WriterSessionTest, BlankKeyAsksForOneAndSendsNothing)
{
    TSession session = MakeSession();
    const TGenerateOutcome outcome = session.Generate(Request(QStringLiteral("   ")));
    EXPECT_FALSE(outcome.Sent);
    EXPECT_EQ(outcome.ResponseText, QStringLiteral("Please enter your OllamaCloud API key."));
    EXPECT_EQ(outcome.TranscriptLines, Request(QString()).TranscriptLines);
    EXPECT_TRUE(session.GeneratedText().isEmpty());
    EXPECT_TRUE(Server.Requests().empty());
}

TEST_F(WriterSessionTest, GenerateSendsThePromptAndKeepsTheFirstKey)
{
    TSession session = MakeSession();
    const TGenerateOutcome first = session.Generate(Request(QStringLiteral(" key-one ")));
    EXPECT_TRUE(first.Sent);
    EXPECT_EQ(first.ResponseText, QStringLiteral("Who... who are you?"));
    EXPECT_EQ(session.GeneratedText(), QStringLiteral("Who... who are you?"));
    EXPECT_EQ(first.TranscriptLines,
              QStringList({QLatin1String(InitialTranscript), QStringLiteral("Player: Hello there, stranger."),
                           QStringLiteral("NPC: Who... who are you?")}));
    session.Generate(Request(QStringLiteral("key-two")));

    const auto requests = Server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].Header("Authorization"), "Bearer key-one");
    EXPECT_EQ(requests[1].Header("Authorization"), "Bearer key-one");
    EXPECT_EQ(KeysUsed, std::vector<QString>({QStringLiteral("key-one")}));
    EXPECT_NE(requests[0].Body.find("\"max_tokens\":200"), std::string::npos);
    EXPECT_NE(requests[0].Body.find("Persona: Ghoul Philosopher (Wise, melancholic)\\r\\n"), std::string::npos);
}

TEST(WriterSessionFailures, PlaceholderRepliesAreStoredAndCarryTheReason)
{
    TSelfSignedCertificate cert;
    TLoopbackServer server(Reply(401, "{}"), cert);
    TSession session([&](const QString& key) {
        auto client = std::make_unique<TOllamaCloudClient>(key, QStringLiteral("llama3.1"));
        client->SetBaseURL(server.BaseURL(QStringLiteral("/v1")));
        client->SetTrustedCertificateFile(cert.CertFile);
        return client;
    });
    TGenerateRequest request;
    request.APIKey = QStringLiteral("wrong");
    request.PlayerInputLines = {QStringLiteral("Hi")};
    const TGenerateOutcome outcome = session.Generate(request);
    EXPECT_TRUE(outcome.ResponseText.startsWith(QStringLiteral("[MOCK] llama3.1: You are a Fallout NPC")));
    EXPECT_EQ(session.GeneratedText(), outcome.ResponseText);
    EXPECT_EQ(outcome.Failure.UserHint(), QStringLiteral("The service answered 401: check the API key."));
    EXPECT_EQ(outcome.TranscriptLines.last(), QStringLiteral("NPC: ") + outcome.ResponseText);
}

// --- inserting ------------------------------------------------------------

class ApplyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Npc = Project.AddNode(ntNPCDialogue);
        Npc->SetText(QStringLiteral("Old line."));
        Empty = Project.AddNode(ntNPCDialogue);
        Script = Project.AddNode(ntScript);
    }
    TApplyResult Apply(const QString& selected, TInsertFlags flags)
    {
        return ApplyResult(Project, selected, flags, QStringLiteral("New line."), QStringLiteral("Ada"));
    }

    TDialogueProject Project;
    TDialogueNode* Npc = nullptr;
    TDialogueNode* Empty = nullptr;
    TDialogueNode* Script = nullptr;
};

TEST_F(ApplyTest, AllBoxesTickedCreatesOnlyANewNode)
{
    const TApplyResult result = Apply(Npc->ID(), {true, true, true, true});
    ASSERT_EQ(Project.NodeCount(), 4);
    const TDialogueNode* added = Project.NodeAt(3);
    EXPECT_EQ(added->NodeType(), ntNPCDialogue);
    EXPECT_EQ(added->Speaker(), QStringLiteral("Ada"));
    EXPECT_EQ(added->Text(), QStringLiteral("New line."));
    EXPECT_EQ(added->X(), 0);
    EXPECT_TRUE(result.SelectNode);
    EXPECT_EQ(result.NodeID, added->ID());
    EXPECT_EQ(result.LogLine, QStringLiteral("AI dialogue inserted as new node: ") + added->ID().left(12));
    EXPECT_EQ(Npc->Text(), QStringLiteral("Old line."));
    EXPECT_TRUE(Npc->PlayerOptions().empty());
}

TEST_F(ApplyTest, RulesOnTheSelectedNode)
{
    enum TTarget { toNpc, toEmpty, toScript };
    struct Case {
        const char* Name; TTarget ApplyTo; TInsertFlags Flags; bool Changed; const char* Log;
        QString Text; size_t Options;
    } cases[] = {
        {"option on NPC node", toNpc, {false, true, true, false}, true,
         "AI dialogue inserted as player option on node: ", QStringLiteral("Old line."), 1},
        {"option on script node", toScript, {false, true, false, false}, false, "", QString(), 0},
        {"replace", toNpc, {false, false, true, true}, true, "AI dialogue replaced text in node: ",
         QStringLiteral("New line."), 0},
        {"append", toNpc, {false, false, false, true}, true, "AI dialogue appended to node: ",
         QStringLiteral("Old line.\r\nNew line."), 0},
        {"append to empty", toEmpty, {false, false, false, true}, true, "AI dialogue appended to node: ",
         QStringLiteral("New line."), 0},
    };
    for (const Case& c : cases) {
        Project.ClearNodes();
        SetUp();
        const QString id = c.ApplyTo == toNpc ? Npc->ID() : c.ApplyTo == toEmpty ? Empty->ID() : Script->ID();
        TDialogueNode* target = Project.FindNode(id);
        const TApplyResult result = Apply(id, c.Flags);
        EXPECT_EQ(Project.NodeCount(), 3) << c.Name;
        EXPECT_EQ(result.Changed, c.Changed) << c.Name;
        EXPECT_FALSE(result.SelectNode) << c.Name;
        EXPECT_EQ(result.LogLine, c.Changed ? QLatin1String(c.Log) + id.left(12) : QString()) << c.Name;
        if (c.Changed)
            EXPECT_EQ(target->Text(), c.Text) << c.Name;
        ASSERT_EQ(target->PlayerOptions().size(), c.Options) << c.Name;
        if (c.Options) {
            EXPECT_EQ(target->PlayerOptions()[0]->Text, QStringLiteral("New line."));
            EXPECT_TRUE(target->PlayerOptions()[0]->TargetNodeID.isEmpty());
        }
    }
}

TEST_F(ApplyTest, NoSelectionOrNoFlagFallsBackToADefaultNode)
{
    for (const TInsertFlags flags : {TInsertFlags{false, true, false, false}, TInsertFlags{false, false, false, false}}) {
        const int before = Project.NodeCount();
        const TApplyResult result = Apply(QString(), flags);
        ASSERT_EQ(Project.NodeCount(), before + 1);
        EXPECT_FALSE(result.SelectNode);
        EXPECT_EQ(result.LogLine, QStringLiteral("AI dialogue added as default new node: ") + result.NodeID.left(12));
    }
    // A selection that no longer exists changes nothing.
    const TApplyResult gone = Apply(QStringLiteral("Node999"), {false, false, true, false});
    EXPECT_FALSE(gone.Changed);
    EXPECT_EQ(Project.NodeCount(), 5);
}
