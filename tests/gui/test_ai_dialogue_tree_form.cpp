// The AI dialogue tree generator window against a real HTTPS text service
// on the loopback interface. The tree text itself is tested with the core.

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

// ---- the window ----

namespace {

class TreeFormTest : public TTextWindowTest {
protected:
    std::unique_ptr<TAIDialogueTreeForm> MakeForm(const TLoopbackServer* server = nullptr, int timeoutMs = 0)
    {
        auto form = MakeTextForm<TAIDialogueTreeForm>(server, timeoutMs);
        form->SetRandom(Largest);
        return form;
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

TEST_F(TreeFormTest, CancelWhileWaitingLeavesNoTree)
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
