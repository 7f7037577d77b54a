// The AI dialogue tree generator: the "N:" / "O:" tree text, its prompt,
// the window against a real HTTPS text service on the loopback interface,
// and adding the parsed root to a project.

#include "ai/gui/AIDialogueTreeForm.h"
#include "model/DialogueTypes.h"
#include "tests/core/test_ai_servers.h"
#include "tests/gui/test_ai_window_support.h"

#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace AITest;
using namespace AIWindowTest;

namespace {

// A random source that always gives the largest value, so positions are
// known.
int Largest(int bound) { return bound - 1; }

QStringList IDs(const TAITreeParse& parse)
{
    QStringList ids;
    for (const auto& node : parse.Nodes)
        ids << node->ID();
    return ids;
}

QStringList OptionTexts(const TDialogueNode& node)
{
    QStringList texts;
    for (const auto& option : node.PlayerOptions())
        texts << option->Text;
    return texts;
}

std::string JsonReply(const QString& response)
{
    QJsonObject reply;
    reply.insert(QStringLiteral("response"), response);
    return QJsonDocument(reply).toJson(QJsonDocument::Compact).toStdString();
}

} // namespace

TEST(TreeParse, BuiltInTree)
{
    const TAITreeParse parse = AIDialogueTree::Parse(AIDialogueTree::BuiltInTree(), QStringLiteral("Settler"), Largest);
    ASSERT_TRUE(parse.Succeeded());
    EXPECT_EQ(IDs(parse), (QStringList{"start", "supplies", "hub", "welcome"}));
    const TDialogueNode& root = *parse.Root;
    EXPECT_EQ(&root, parse.Nodes.front().get());
    EXPECT_EQ(root.Text(), QStringLiteral("Hello, stranger. What brings you to these parts?"));
    EXPECT_EQ(OptionTexts(root), QStringList{QStringLiteral("I need supplies")});
    EXPECT_TRUE(root.IsStartNode());
    EXPECT_EQ(root.Speaker(), QStringLiteral("Settler"));
    EXPECT_EQ(root.NodeType(), ntNPCDialogue);
    EXPECT_EQ(root.X(), 50 + 399);
    EXPECT_EQ(root.Y(), 50 + 299);
    for (size_t i = 1; i < parse.Nodes.size(); ++i)
        EXPECT_FALSE(parse.Nodes[i]->IsStartNode());
    EXPECT_TRUE(parse.Nodes[3]->PlayerOptions().empty());
    EXPECT_TRUE(parse.Nodes[0]->PlayerOptions()[0]->TargetNodeID.isEmpty());
}

TEST(TreeParse, LineRules)
{
    struct Case {
        const char* Name;
        QString Text;
        QStringList IDs;
        QString RootText;
        QStringList RootOptions;
        QString Error;
    } cases[] = {
        {"blanks around id and equals", QStringLiteral("  N: start = Hi  "), {"start"}, QStringLiteral("Hi"), {}, {}},
        {"no equals sign", QStringLiteral("N:Hello\nN:=Empty id"), {"node1", "node2"}, QStringLiteral("N:Hello"), {}, {}},
        {"lower-case prefix ignored", QStringLiteral("n:low=x\no:opt\nN:a=A\no:no"), {"a"}, QStringLiteral("A"), {}, {}},
        {"options before any node and blank options",
         QStringLiteral("O:early\r\nN:a=A\r\nO:   \r\nO: Go \r\n\r\nO:Stay"), {"a"}, QStringLiteral("A"),
         {"Go", "Stay"}, {}},
        {"prose and fences ignored", QStringLiteral("Sure! Here:\n```\n1. N:x=y\nN:a=A=B\n```"), {"a"},
         QStringLiteral("A=B"), {}, {}},
        {"case-sensitive ids", QStringLiteral("N:Hub=1\nN:hub=2"), {"Hub", "hub"}, QStringLiteral("1"), {}, {}},
        {"duplicate id stops", QStringLiteral("N:hub=1\nO:a\nN:x=2\nN:hub=3\nN:y=4"), {"hub", "x", "hub"},
         QStringLiteral("1"), {"a"}, QStringLiteral("Duplicates not allowed")},
        {"generated id colliding", QStringLiteral("N:node2=1\nN:no equals"), {"node2", "node2"}, QStringLiteral("1"),
         {}, QStringLiteral("Duplicates not allowed")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const TAITreeParse parse = AIDialogueTree::Parse(c.Text, QStringLiteral("NPC"), Largest);
        EXPECT_EQ(IDs(parse), c.IDs);
        EXPECT_EQ(parse.Error, c.Error);
        ASSERT_NE(parse.Root, nullptr);
        EXPECT_EQ(parse.Root->Text(), c.RootText);
        EXPECT_EQ(OptionTexts(*parse.Root), c.RootOptions);
    }
}

TEST(TreeParse, RepliesWithoutNodes)
{
    for (const QString& text : {QString(), QStringLiteral("Error: model not found"), QStringLiteral("O:a\nO:b"),
                                QStringLiteral("\r\n \r\n"), QString(QChar(0)) + QStringLiteral("\x01garbage")}) {
        const TAITreeParse parse = AIDialogueTree::Parse(text, QStringLiteral("NPC"));
        EXPECT_FALSE(parse.Succeeded());
        EXPECT_EQ(parse.Root, nullptr);
        EXPECT_TRUE(parse.Nodes.empty());
    }
}

TEST(TreeParse, OnlyPlaceholdersAreReplacedByTheSampleTree)
{
    EXPECT_EQ(AIDialogueTree::TreeTextForReply(QStringLiteral("[MOCK] I am llama3.1. x...")), AIDialogueTree::BuiltInTree());
    EXPECT_EQ(AIDialogueTree::TreeTextForReply(QStringLiteral(" [MOCK]")), QStringLiteral(" [MOCK]"));
    EXPECT_EQ(AIDialogueTree::TreeTextForReply(QStringLiteral("Error: x")), QStringLiteral("Error: x"));
}

TEST(TreePrompt, FixedTextWithTheChoices)
{
    const QString prompt = AIDialogueTree::BuildPrompt(QStringLiteral("Vault Dweller"), QStringLiteral("Help a stranger"),
                                                       QStringLiteral("3"));
    EXPECT_TRUE(prompt.startsWith(QStringLiteral(
        "Generate a Fallout-style dialogue tree in this format:\r\n"
        "Each node starts with \"N:nodeid=description\" (use simple IDs like start, supplies, hub)\r\n"
        "Each option starts with \"O:option text\"\r\n"
        "The order matters: option followed by the node it leads to\r\n\r\nExample format:\r\n"
        "N:start=Greeting text here\r\nO:Ask about supplies\r\nN:supplies=Response about supplies\r\n"
        "O:Ask about location\r\nN:hub=Response about location\r\n\r\n")));
    EXPECT_TRUE(prompt.endsWith(QStringLiteral(
        "\r\nCharacter: Vault Dweller\r\nTopic: Help a stranger\r\nDepth: 3 levels, 2-4 options per node\r\n\r\n"
        "Make it feel like a 1990s CRPG dialogue with choices that affect the conversation.")));
}

TEST(TreeApply, AddsOneStartNodeWithTheRootsOptions)
{
    TAITreeParse parse = AIDialogueTree::Parse(QStringLiteral("N:a=Root text\nO:One\nO:Two\nN:b=Other\nO:Three"),
                                               QStringLiteral("Raider Chief"));
    TDialogueProject project;
    project.AddNode(ntNPCDialogue);
    const TDialogueNode* added = AIDialogueTree::AddRootToProject(project, *parse.Root);
    ASSERT_EQ(project.NodeCount(), 2);
    EXPECT_EQ(project.NodeAt(1), added);
    EXPECT_NE(added->ID(), QStringLiteral("a"));   // a fresh project ID, not the reply's
    EXPECT_EQ(added->NodeType(), ntNPCDialogue);
    EXPECT_TRUE(added->IsStartNode());
    EXPECT_EQ(added->Speaker(), QStringLiteral("Raider Chief"));
    EXPECT_EQ(added->Text(), QStringLiteral("Root text"));
    EXPECT_EQ(OptionTexts(*added), (QStringList{"One", "Two"}));
    for (const auto& option : added->PlayerOptions())
        EXPECT_TRUE(option->TargetNodeID.isEmpty());
    EXPECT_EQ(added->X(), 0);
    EXPECT_EQ(added->Y(), 0);
}

// ---- the window ----

namespace {

class TreeFormTest : public ::testing::Test {
protected:
    TSelfSignedCertificate Cert;
    TScratchSettings Scratch;
    QStringList Messages;

    std::unique_ptr<TAIDialogueTreeForm> MakeForm(const TLoopbackServer* server = nullptr, int timeoutMs = 0)
    {
        auto form = std::make_unique<TAIDialogueTreeForm>(nullptr, &Scratch.Settings);
        TAIServiceEndpoint endpoint;
        if (server)
            endpoint.BaseURL = server->BaseURL(QStringLiteral("/v1"));
        endpoint.TrustedCertificateFile = Cert.CertFile;
        endpoint.TimeoutMs = timeoutMs;
        form->SetServiceEndpoint(endpoint);
        form->SetMessageHandler([this](const QString& text) { Messages << text; });
        form->SetRandom(Largest);
        return form;
    }

    std::unique_ptr<TLoopbackServer> Serve(THandler handler)
    {
        auto server = std::make_unique<TLoopbackServer>(std::move(handler), Cert);
        EXPECT_TRUE(server->IsBound());
        return server;
    }

    std::unique_ptr<TAIDialogueTreeForm> GenerateWithReply(const std::string& body, int status = 200)
    {
        FServer = Serve(Reply(status, body));
        Scratch.Settings.SetAIAPIKey(QStringLiteral(" sk-tree "));
        auto form = MakeForm(FServer.get());
        form->GenerateTree();
        return form;
    }

    std::unique_ptr<TLoopbackServer> FServer;
};

QStringList PreviewLines(const QTreeWidget* tree)
{
    QStringList lines;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = tree->topLevelItem(i);
        lines << item->text(0);
        for (int j = 0; j < item->childCount(); ++j)
            lines << QStringLiteral("  ") + item->child(j)->text(0) + (item->isExpanded() ? QString() : QStringLiteral(" (collapsed)"));
    }
    return lines;
}

} // namespace

TEST_F(TreeFormTest, OpensWithItsInitialContents)
{
    auto form = MakeForm();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("AI Dialogue Tree Generator"));
    EXPECT_EQ(form->size(), QSize(700, 600));
    ASSERT_EQ(form->cbCharacter->count(), 7);
    EXPECT_EQ(form->cbCharacter->itemText(6), QStringLiteral("Super Mutant"));
    EXPECT_EQ(form->edtTopic->text(), QStringLiteral("Help a stranger"));
    EXPECT_EQ(form->cbDepth->currentText(), QStringLiteral("3"));
    EXPECT_EQ(form->cbStyle->currentText(), QStringLiteral("Brief (1-2 lines)"));
    EXPECT_TRUE(form->lblStatus->text().isEmpty());
    EXPECT_FALSE(form->btnAddToProject->isEnabled());
    form->AddToProject();   // no root: nothing happens
    EXPECT_NE(form->result(), QDialog::Accepted);
}

TEST_F(TreeFormTest, BlankStoredKeyGivesTheSampleTreeWithoutARequest)
{
    auto server = Serve(Reply(200, JsonReply(QStringLiteral("N:x=never"))));
    auto form = MakeForm(server.get());
    form->GenerateTree();
    EXPECT_TRUE(server->Requests().empty());
    EXPECT_EQ(form->lblStatus->text(), QStringLiteral("Generated 4 nodes"));
    EXPECT_TRUE(form->btnAddToProject->isEnabled());
    EXPECT_EQ(PreviewLines(form->tvPreview),
              (QStringList{QStringLiteral("Hello, stranger. What brings you to these parts?"),
                           QStringLiteral("  \u2192 I need supplies")}));
    EXPECT_FALSE(form->lblServiceHint->text().isEmpty());
    EXPECT_TRUE(GrabToPng(form.get(), QStringLiteral("tree")));
}

TEST_F(TreeFormTest, ModelReplyIsParsedAndTheRequestCarriesTheChoices)
{
    Scratch.Settings.SetAIAPIKey(QStringLiteral(" sk-tree "));
    auto server = Serve(Reply(200, JsonReply(QStringLiteral("Here you go:\nN:gate=Halt!\nO:Friend\nO:Foe\nN:in=Enter."))));
    auto form = MakeForm(server.get());
    form->cbCharacter->setCurrentIndex(5);
    form->edtTopic->setText(QStringLiteral("Caf\u00e9 \"news\""));
    form->cbDepth->setCurrentIndex(3);
    form->GenerateTree();
    EXPECT_EQ(form->lblStatus->text(), QStringLiteral("Generated 2 nodes"));
    EXPECT_EQ(PreviewLines(form->tvPreview),
              (QStringList{"Halt!", QStringLiteral("  \u2192 Friend"), QStringLiteral("  \u2192 Foe")}));
    EXPECT_EQ(form->RootNode()->Speaker(), QStringLiteral("Enclave Officer"));
    EXPECT_TRUE(form->lblServiceHint->text().isEmpty());

    const auto requests = server->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Method, "POST");
    EXPECT_EQ(requests[0].Path, "/v1/api/generate");
    EXPECT_EQ(requests[0].Header("Authorization"), "Bearer sk-tree");
    EXPECT_NE(requests[0].Body.find("\"max_tokens\":1000,"), std::string::npos);
    EXPECT_NE(requests[0].Body.find("Topic: Caf\\u00E9 \\\"news\\\"\\r\\nDepth: 5 levels"), std::string::npos);
    EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(requests[0].Body)).object().value("prompt").toString(),
              form->BuildPromptText());

    form->AddToProject();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    std::unique_ptr<TDialogueNode> root = form->TakeRootNode();
    ASSERT_TRUE(root);
    EXPECT_EQ(root->ID(), QStringLiteral("gate"));
    EXPECT_EQ(form->GeneratedNodes().size(), 1u);
}

TEST_F(TreeFormTest, FailedRequestsFallBackToTheSampleTreeAndSayWhy)
{
    struct Case {
        int Status;
        QString Hint;
    } cases[] = {
        {401, QStringLiteral("The service answered 401: check the API key. A sample tree is shown.")},
        {500, QStringLiteral("The service answered 500. A sample tree is shown.")},
    };
    for (const Case& c : cases) {
        auto form = GenerateWithReply("{}", c.Status);
        EXPECT_EQ(form->lblStatus->text(), QStringLiteral("Generated 4 nodes"));
        EXPECT_EQ(form->lblServiceHint->text(), c.Hint);
    }
}

TEST_F(TreeFormTest, RepliesWithoutNodesFailToParse)
{
    for (const std::string& body : {std::string(R"({"error":"quota exceeded"})"), std::string("not json at all"),
                                    std::string(R"({"response":42})"), JsonReply(QStringLiteral("O:only options"))}) {
        auto form = GenerateWithReply(body);
        EXPECT_EQ(form->lblStatus->text(), QStringLiteral("Failed to parse response"));
        EXPECT_FALSE(form->btnAddToProject->isEnabled());
        EXPECT_EQ(form->RootNode(), nullptr);
        EXPECT_EQ(form->tvPreview->topLevelItemCount(), 0);
    }
}

TEST_F(TreeFormTest, DuplicateIdsStopWithAMessageAndOfferNothing)
{
    auto form = GenerateWithReply(JsonReply(QStringLiteral("N:hub=1\nO:a\nN:hub=2")));
    EXPECT_EQ(Messages, QStringList{QStringLiteral("Duplicates not allowed")});
    EXPECT_EQ(form->lblStatus->text(), QStringLiteral("Generating..."));
    EXPECT_EQ(form->RootNode(), nullptr);
    EXPECT_TRUE(form->GeneratedNodes().empty());
    form->AddToProject();
    EXPECT_NE(form->result(), QDialog::Accepted);
}

TEST_F(TreeFormTest, LaterFailureDropsTheEarlierTreeButKeepsTheButton)
{
    Scratch.Settings.SetAIAPIKey(QStringLiteral("sk"));
    std::atomic<int> calls{0};
    auto server = Serve([&](const httplib::Request&, httplib::Response& res) {
        res.set_content(calls++ == 0 ? JsonReply(QStringLiteral("N:a=A")) : std::string(R"({"error":"x"})"),
                        "application/json");
    });
    auto form = MakeForm(server.get());
    form->GenerateTree();
    ASSERT_TRUE(form->btnAddToProject->isEnabled());
    form->GenerateTree();
    EXPECT_EQ(form->lblStatus->text(), QStringLiteral("Failed to parse response"));
    EXPECT_TRUE(form->btnAddToProject->isEnabled());
    EXPECT_EQ(form->RootNode(), nullptr);
    form->AddToProject();
    EXPECT_NE(form->result(), QDialog::Accepted);
}

TEST_F(TreeFormTest, HundredsOfNodesPreviewOnlyTheRoot)
{
    QString tree;
    for (int i = 0; i < 400; ++i)
        tree += QStringLiteral("N:n%1=Line %1\nO:Option %1\n").arg(i);
    auto form = GenerateWithReply(JsonReply(tree));
    EXPECT_EQ(form->lblStatus->text(), QStringLiteral("Generated 400 nodes"));
    EXPECT_EQ(PreviewLines(form->tvPreview), (QStringList{"Line 0", QStringLiteral("  \u2192 Option 0")}));
}

TEST_F(TreeFormTest, DISABLED_CancelWhileWaitingLeavesNoTree)
{
    Scratch.Settings.SetAIAPIKey(QStringLiteral("sk"));
    std::unique_ptr<TLoopbackServer> server;
    server = Serve([&](const httplib::Request&, httplib::Response& res) {
        server->WaitForRelease();
        res.set_content(JsonReply(QStringLiteral("N:a=A")), "application/json");
    });
    auto form = MakeForm(server.get());
    CancelBusyDialogWhenShown(form.get());
    form->GenerateTree();
    EXPECT_EQ(form->lblStatus->text(), QStringLiteral("Generation cancelled."));
    EXPECT_EQ(form->RootNode(), nullptr);
    EXPECT_FALSE(form->btnAddToProject->isEnabled());
    server->Release();
}
