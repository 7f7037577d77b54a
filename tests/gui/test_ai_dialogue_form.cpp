// The AI dialogue writer window against a real HTTPS text service on the
// loopback interface. The insert rules are tested with the core writer.

#include "ai/gui/AIDialogueForm.h"
#include "model/DialogueTypes.h"
#include "tests/core/test_ai_servers.h"
#include "tests/gui/test_ai_window_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

using namespace AITest;
using namespace AIWindowTest;

namespace {

const QString InitialPrompt = QStringLiteral(
    "You are a Fallout NPC character.\r\n"
    "Character: NPC\r\n"
    "Persona: Vault Dweller (Naive, cautious)\r\n"
    "Traits: naive, cautious, curious, eager to help but inexperienced\r\n"
    "Speech: Speaking hesitantly, with frequent pauses and uncertainty\r\n"
    "\r\n"
    "Recent conversation:\r\n"
    "Conversation will appear here...\r\n"
    "\r\n"
    "\r\n"
    "Player says: Hello there, stranger.\r\n"
    "\r\n"
    "\r\n"
    "Respond in character. Keep response under 3 sentences.");

class DialogueFormTest : public TTextWindowTest {
protected:
    std::unique_ptr<TfrmAIDialogue> MakeForm(const TLoopbackServer* server = nullptr, int timeoutMs = 0)
    {
        return MakeTextForm<TfrmAIDialogue>(server, timeoutMs);
    }
};

QStringList Lines(const QPlainTextEdit* memo) { return memo->toPlainText().split(QLatin1Char('\n')); }

QString PromptSent(const TRecordedRequest& request)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(request.Body)).object().value(QStringLiteral("prompt")).toString();
}

} // namespace

TEST_F(DialogueFormTest, OpensWithItsInitialContents)
{
    auto form = MakeForm();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("AI Dialogue Generator"));
    EXPECT_EQ(form->size(), QSize(560, 440));
    ASSERT_EQ(form->cbPersona->count(), 4);
    EXPECT_EQ(form->cbPersona->itemText(3), QStringLiteral("Ghoul Philosopher (Wise, melancholic)"));
    EXPECT_EQ(form->cbPersona->currentIndex(), 0);
    EXPECT_EQ(form->edtNPCName->text(), QStringLiteral("NPC"));
    EXPECT_EQ(form->edtAPIKey->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(form->edtAPIKey->text().isEmpty());
    EXPECT_FALSE(form->chkSaveAPIKey->isChecked());
    EXPECT_TRUE(form->memoResponse->isReadOnly());
    EXPECT_TRUE(form->cbCreateNode->isChecked());
    EXPECT_FALSE(form->cbInsertOption->isChecked() || form->cbReplaceText->isChecked() || form->cbAppendText->isChecked());
    EXPECT_EQ(form->BuildPromptText(), InitialPrompt);
    EXPECT_TRUE(GrabToPng(form.get(), QStringLiteral("dialogue")));
}

TEST_F(DialogueFormTest, PersonaSelectsTraitsAndSpeechInThePrompt)
{
    auto form = MakeForm();
    form->cbPersona->setCurrentIndex(2);
    form->edtNPCName->setText(QStringLiteral("Garl"));
    const QString prompt = form->BuildPromptText();
    EXPECT_TRUE(prompt.contains(QStringLiteral("Character: Garl\r\nPersona: Raider Chief (Aggressive, dominant)\r\n"
                                               "Traits: aggressive, dominant, ruthless, crude sense of humor\r\n"
                                               "Speech: Speaking aggressively and directly, with crude language\r\n\r\n")));
}

TEST_F(DialogueFormTest, BlankKeyShowsTheKeyMessageAndSendsNothing)
{
    auto server = Serve(Reply(200, R"({"response":"never"})"));
    auto form = MakeForm(server.get());
    form->edtAPIKey->setText(QStringLiteral("   "));
    form->Generate();
    EXPECT_EQ(form->memoResponse->toPlainText(), QStringLiteral("Please enter your OllamaCloud API key."));
    EXPECT_TRUE(server->Requests().empty());
    EXPECT_TRUE(form->GeneratedText().isEmpty());
    // Nothing was generated, so the reminder is not inserted as dialogue.
    form->Insert();
    EXPECT_EQ(Messages, QStringList{QStringLiteral("Generate dialogue first.")});
    EXPECT_NE(form->result(), QDialog::Accepted);
}

TEST_F(DialogueFormTest, StoredKeyIsShownAndSaveIsTicked)
{
    Scratch.Settings.SetAIAPIKey(QStringLiteral("sk-stored"));
    auto form = MakeForm();
    EXPECT_EQ(form->edtAPIKey->text(), QStringLiteral("sk-stored"));
    EXPECT_TRUE(form->chkSaveAPIKey->isChecked());
}

TEST_F(DialogueFormTest, SaveBoxStoresTheKeyAndGenerateWithAnEmptyBoxClearsIt)
{
    auto form = MakeForm();
    form->edtAPIKey->setText(QStringLiteral("  sk-new  "));
    form->chkSaveAPIKey->setChecked(true);
    EXPECT_EQ(Scratch.StoredKey(), QStringLiteral("sk-new"));
    form->chkSaveAPIKey->setChecked(false);
    EXPECT_EQ(Scratch.StoredKey(), QStringLiteral("sk-new"));   // unticking changes nothing
    form->chkSaveAPIKey->setChecked(true);
    form->edtAPIKey->clear();
    form->Generate();
    EXPECT_EQ(Scratch.StoredKey(), QString());
}

TEST_F(DialogueFormTest, RepliesGoIntoTheResponseAndTheTranscriptKeepsItsLength)
{
    auto server = Serve(Reply(200, R"({"response":"Welcome, wanderer."})"));
    auto form = MakeForm(server.get());
    form->edtAPIKey->setText(QStringLiteral("sk-test"));
    form->memoPlayerInput->setPlainText(QStringLiteral("  Who are you?  "));
    for (int i = 0; i < 3; ++i)
        form->Generate();
    EXPECT_EQ(form->memoResponse->toPlainText(), QStringLiteral("Welcome, wanderer."));
    EXPECT_EQ(form->GeneratedText(), QStringLiteral("Welcome, wanderer."));
    QStringList transcript = Lines(form->memoContext);
    ASSERT_EQ(transcript.size(), 7);
    EXPECT_EQ(transcript[0], QStringLiteral("Conversation will appear here..."));
    EXPECT_EQ(transcript[5], QStringLiteral("Player: Who are you?"));
    EXPECT_EQ(transcript[6], QStringLiteral("NPC: Welcome, wanderer."));
    form->Generate();
    transcript = Lines(form->memoContext);
    ASSERT_EQ(transcript.size(), 8);
    EXPECT_EQ(transcript[0], QStringLiteral("Player: Who are you?"));
    EXPECT_EQ(form->memoPlayerInput->toPlainText(), QStringLiteral("  Who are you?  "));   // not cleared

    const auto requests = server->Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0].Path, "/v1/api/generate");
    EXPECT_EQ(requests[0].Header("Authorization"), "Bearer sk-test");
    EXPECT_NE(requests[0].Body.find("\"max_tokens\":200,"), std::string::npos);
    // The second prompt carries the transcript of the first exchange.
    EXPECT_TRUE(PromptSent(requests[1]).contains(
        QStringLiteral("Recent conversation:\r\nConversation will appear here...\r\nPlayer: Who are you?\r\n"
                       "NPC: Welcome, wanderer.\r\n\r\n\r\nPlayer says:   Who are you?  \r\n")));
}

TEST_F(DialogueFormTest, TheFirstClientKeepsTheKeyItWasMadeWith)
{
    auto server = Serve(Reply(200, R"({"response":"ok"})"));
    auto form = MakeForm(server.get());
    form->edtAPIKey->setText(QStringLiteral("sk-first"));
    form->Generate();
    form->edtAPIKey->setText(QStringLiteral("sk-second"));
    form->Generate();
    const auto requests = server->Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].Header("Authorization"), "Bearer sk-first");
}

TEST_F(DialogueFormTest, ServiceFailuresAreShownAsRepliesWithTheirReason)
{
    struct Case {
        int Status;
        std::string Body;
        QString ReplyStart;
        QString Hint;
    } cases[] = {
        {401, "denied", QStringLiteral("[MOCK] llama3.1: You are a Fallout NPC"),
         QStringLiteral("The service answered 401: check the API key.")},
        {500, "boom", QStringLiteral("[MOCK] llama3.1: "), QStringLiteral("The service answered 500.")},
        {200, R"({"error":"model not found"})", QStringLiteral("Error: model not found"), QString()},
        {200, R"({"done":true})", QStringLiteral("Response: {\"done\":true}"), QString()},
    };
    for (const Case& c : cases) {
        auto server = Serve(Reply(c.Status, c.Body));
        auto form = MakeForm(server.get());
        form->edtAPIKey->setText(QStringLiteral("sk-test"));
        form->Generate();
        EXPECT_TRUE(form->GeneratedText().startsWith(c.ReplyStart)) << form->GeneratedText().toStdString();
        // Placeholders quote the prompt with its line breaks.
        const QStringList replyLines = AIDialogueWriter::MemoLines(form->GeneratedText());
        EXPECT_EQ(Lines(form->memoResponse), replyLines);
        EXPECT_EQ(form->lblServiceHint->text(), c.Hint);
        EXPECT_TRUE(Lines(form->memoContext).contains(QStringLiteral("NPC: ") + replyLines.first()));
    }
}

TEST_F(DialogueFormTest, ASlowServiceTimesOutIntoThePlaceholder)
{
    std::unique_ptr<TLoopbackServer> server;
    server = Serve([&](const httplib::Request&, httplib::Response& res) {
        server->WaitForRelease();
        res.set_content(R"({"response":"late"})", "application/json");
    });
    auto form = MakeForm(server.get(), 300);
    form->edtAPIKey->setText(QStringLiteral("sk-test"));
    form->Generate();
    EXPECT_TRUE(form->GeneratedText().startsWith(QStringLiteral("[MOCK] llama3.1: ")));
    EXPECT_EQ(form->lblServiceHint->text(), QStringLiteral("The service did not answer in time."));
}

TEST_F(DialogueFormTest, CancelWhileWaitingKeepsThePreviousReply)
{
    std::atomic<int> calls{0};
    std::unique_ptr<TLoopbackServer> server;
    server = Serve([&](const httplib::Request&, httplib::Response& res) {
        if (calls++ > 0)
            server->WaitForRelease();
        res.set_content(R"({"response":"first"})", "application/json");
    });
    auto form = MakeForm(server.get());
    form->edtAPIKey->setText(QStringLiteral("sk-test"));
    form->Generate();
    ASSERT_EQ(form->GeneratedText(), QStringLiteral("first"));
    const QString transcript = form->memoContext->toPlainText();
    CancelBusyDialogWhenShown(form.get());
    form->Generate();
    EXPECT_EQ(form->GeneratedText(), QStringLiteral("first"));
    EXPECT_EQ(form->memoResponse->toPlainText(), QStringLiteral("first"));
    EXPECT_EQ(form->memoContext->toPlainText(), transcript);
    EXPECT_EQ(form->lblServiceHint->text(), QStringLiteral("Request cancelled."));
    server->Release();
    // The window keeps working with a fresh client on the same key.
    form->Generate();
    EXPECT_EQ(form->GeneratedText(), QStringLiteral("first"));
    EXPECT_EQ(server->Requests().back().Header("Authorization"), "Bearer sk-test");
}

TEST_F(DialogueFormTest, InsertNeedsAReplyAndThenHandsBackTheFlags)
{
    auto server = Serve(Reply(200, R"({"response":"Take this."})"));
    auto form = MakeForm(server.get());
    form->Insert();
    EXPECT_EQ(Messages, QStringList{QStringLiteral("Generate dialogue first.")});
    EXPECT_NE(form->result(), QDialog::Accepted);

    form->edtAPIKey->setText(QStringLiteral("sk-test"));
    form->edtNPCName->setText(QStringLiteral("Tandi"));
    form->Generate();
    form->cbCreateNode->setChecked(false);
    form->cbAppendText->setChecked(true);
    form->Insert();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    const TAIDialogueResult result = form->Result();
    EXPECT_EQ(result.GeneratedText, QStringLiteral("Take this."));
    EXPECT_EQ(result.NPCName, QStringLiteral("Tandi"));
    EXPECT_FALSE(result.Flags.CreateNode);
    EXPECT_FALSE(result.Flags.InsertAsOption);
    EXPECT_FALSE(result.Flags.ReplaceText);
    EXPECT_TRUE(result.Flags.AppendText);
}
