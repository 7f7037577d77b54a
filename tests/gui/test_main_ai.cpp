// The main window's three AI commands driven through their menu entries:
// each opens its window, the test answers it as a user would, and the
// result lands in the project after an undo point. Services are loopback
// servers or closed loopback ports; nothing leaves the machine.

#include "ai/gui/AIDialogueForm.h"
#include "ai/gui/AIDialogueTreeForm.h"
#include "ai/gui/AISpriteForm.h"
#include "tests/core/test_ai_servers.h"
#include "tests/gui/test_ai_window_support.h"

#include "test_main_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTimer>


using namespace MainTest;
using namespace AITest;
using namespace AIWindowTest;

namespace {

TAIServiceEndpoint ClosedEndpoint()
{
    TAIServiceEndpoint endpoint;
    endpoint.BaseURL = QStringLiteral("http://127.0.0.1:%1").arg(ClosedPort());
    endpoint.TimeoutMs = 2000;
    return endpoint;
}

class MainAI : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        Window->AddNodeOfType(ntNPCDialogue);
        Before = DocumentText(*Window->Project());
    }

    void ExpectUndoGivesBackTheProject()
    {
        Trigger(QStringLiteral("miUndo"));
        EXPECT_EQ(DocumentText(*Window->Project()), Before);
    }

    QString Before;
};

} // namespace

TEST_F(MainAI, DialogueWriterReplyBecomesASelectedNode)
{
    TSelfSignedCertificate cert;
    TLoopbackServer server(Reply(200, R"({"response":"Stay back, stranger."})"), cert);
    ASSERT_TRUE(server.IsBound());
    AnswerWhenOpen<TfrmAIDialogue>([&](TfrmAIDialogue* form) {
        TAIServiceEndpoint endpoint;
        endpoint.BaseURL = server.BaseURL(QStringLiteral("/v1"));
        endpoint.TrustedCertificateFile = cert.CertFile;
        form->SetServiceEndpoint(endpoint);
        form->edtAPIKey->setText(QStringLiteral("sk-main"));
        form->edtNPCName->setText(QStringLiteral("Brana"));
        form->Generate();
        form->Insert();
    });
    Trigger(QStringLiteral("miAIDialogue"));

    ASSERT_EQ(server.Requests().size(), 1u);
    ASSERT_EQ(Window->Project()->NodeCount(), 2);
    const TDialogueNode* added = Window->Project()->NodeAt(1);
    EXPECT_EQ(added->Text(), QStringLiteral("Stay back, stranger."));
    EXPECT_EQ(added->Speaker(), QStringLiteral("Brana"));
    EXPECT_EQ(Window->SelectedNodeID(), added->ID());
    EXPECT_EQ(LogTexts().last(), QStringLiteral("  AI dialogue inserted as new node: ") + added->ID());
    EXPECT_TRUE(Window->Project()->Modified());
    for (const QString& line : Window->LogLines())
        EXPECT_FALSE(line.contains(QStringLiteral("sk-main"))) << line.toStdString();   // the key stays out of the log
    ExpectUndoGivesBackTheProject();
}

TEST_F(MainAI, DialogueTreeAddsItsRootAsAStartNode)
{
    AnswerWhenOpen<TAIDialogueTreeForm>([](TAIDialogueTreeForm* form) {
        form->SetServiceEndpoint(ClosedEndpoint());
        form->GenerateTree();   // no stored key: the sample tree, no request
        form->AddToProject();
    });
    Trigger(QStringLiteral("miAIDialogueTree"));

    ASSERT_EQ(Window->Project()->NodeCount(), 2);
    const TDialogueNode* root = Window->Project()->NodeAt(1);
    EXPECT_TRUE(root->IsStartNode());
    EXPECT_EQ(root->Text(), QStringLiteral("Hello, stranger. What brings you to these parts?"));
    ASSERT_EQ(root->PlayerOptions().size(), 1u);
    EXPECT_EQ(root->PlayerOptions()[0]->Text, QStringLiteral("I need supplies"));
    EXPECT_EQ(LogTexts().last(), QStringLiteral("  AI dialogue tree added to project"));
    ExpectUndoGivesBackTheProject();
}

TEST_F(MainAI, SpriteSheetIsSavedBesideTheProject)
{
    const QString path = Path(QStringLiteral("sprites_test.tlw"));
    Dialogs->SaveFiles.push_back(path);
    Trigger(QStringLiteral("miSave"));
    ASSERT_FALSE(Window->Project()->Modified());

    AnswerWhenOpen<TfrmAISprte>([](TfrmAISprte* form) {
        form->SetServiceEndpoint(ClosedEndpoint());
        form->edtFrames->setText(QStringLiteral("2"));
        form->GenerateSheet();   // no key: placeholder frames, no request
        form->Confirm();
    });
    Trigger(QStringLiteral("miAISprite"));

    const QStringList sheets = QDir(Path(QStringLiteral("sprites"))).entryList({QStringLiteral("*.png")}, QDir::Files);
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{8}_\\d{6}\\.png$")).match(sheets[0]).hasMatch()) << sheets[0].toStdString();
    EXPECT_EQ(LogTexts().last(), QStringLiteral("  Sprite sheet saved: ") + sheets[0]);
    ASSERT_FALSE(Dialogs->Informations.isEmpty());
    EXPECT_EQ(Dialogs->Informations.last(),
              QStringLiteral("Sprite sheet saved to:\r\n") + QDir(Path(QStringLiteral("sprites"))).filePath(sheets[0])
                  + QStringLiteral("\r\n\r\nAttach this sprite to a node manually via node properties."));
    EXPECT_TRUE(Window->Project()->Modified());
}

TEST_F(MainAI, CancelledWindowsLeaveTheProjectAlone)
{
    AnswerWhenOpen<TfrmAIDialogue>([](TfrmAIDialogue* form) { form->reject(); });
    Trigger(QStringLiteral("miAIDialogue"));
    AnswerWhenOpen<TAIDialogueTreeForm>([](TAIDialogueTreeForm* form) { form->reject(); });
    Trigger(QStringLiteral("miAIDialogueTree"));
    AnswerWhenOpen<TfrmAISprte>([](TfrmAISprte* form) { form->reject(); });
    Trigger(QStringLiteral("miAISprite"));

    EXPECT_EQ(DocumentText(*Window->Project()), Before);
    Trigger(QStringLiteral("miUndo"));
    EXPECT_EQ(Window->Project()->NodeCount(), 0);   // only the node added in SetUp is undone
}
