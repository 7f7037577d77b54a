#pragma once
// The AI dialogue writer: the writer picks a persona, names the NPC, types
// what the player says and asks the AI text service for the NPC's line.
// A short transcript of the exchange goes into the next prompt.
//
// Call interface (the main window's AI dialogue command):
//   static bool TfrmAIDialogue::Execute(QWidget* owner, TAIDialogueResult& result);
// Returns true after Insert; `result` then holds the last reply, the NPC
// name and the four insert flags. Apply it with
//   AIDialogueWriter::ApplyResult(project, selectedNodeID, result.Flags,
//                                 result.GeneratedText, result.NPCName)
// (ai/AIDialogueWriter.h) after taking the undo point.

#include "ai/AIDialogueWriter.h"
#include "ai/gui/AIDialogueFormWorker.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TAppSettings;

// What the window hands back after Insert.
struct TAIDialogueResult {
    QString GeneratedText;
    QString NPCName;
    AIDialogueWriter::TInsertFlags Flags;
};

class TfrmAIDialogue : public QDialog {
    Q_OBJECT
public:
    static constexpr int FormWidth = 560;
    static constexpr int FormHeight = 440;

    static bool Execute(QWidget* owner, TAIDialogueResult& result);

    // Builds, themes and fills the window from `settings` (the shared
    // settings when null) without showing it.
    explicit TfrmAIDialogue(QWidget* owner, TAppSettings* settings = nullptr);
    ~TfrmAIDialogue() override;

    // Tests point the client at a loopback server and catch messages.
    void SetServiceEndpoint(const TAIServiceEndpoint& endpoint) { FEndpoint = endpoint; }
    void SetMessageHandler(TAIMessageHandler handler) { FMessageHandler = std::move(handler); }

    const QString& GeneratedText() const { return FGeneratedText; }
    // The window's result as it stands (the flags are those taken at Insert).
    TAIDialogueResult Result() const;

    // The prompt Generate would send now.
    QString BuildPromptText() const;

public Q_SLOTS:
    void Generate();
    void Insert();

private:
    void BuildLayout();
    void BuildInputs();
    void BuildTranscriptAndButtons();
    void BuildInsertOptions();
    void ApplyTheme();
    void LoadSettings();
    void SaveAPIKeyToggled(bool checked);
    void StoreAPIKey(const QString& key);
    void RequestReply(const AIDialogueWriter::TGenerateRequest& request);
    void StartSession();
    void ShowMessage(const QString& text);

    TAppSettings* FSettings;
    TAIServiceEndpoint FEndpoint;
    TAIMessageHandler FMessageHandler;
    // Shared with a request in flight; a cancelled request keeps the old one.
    std::shared_ptr<AIDialogueWriter::TSession> FSession;
    // The key the session's client was made with: a new session after a
    // cancel goes on with it, as the old one would have.
    QString FSessionKey;
    QString FGeneratedText;
    AIDialogueWriter::TInsertFlags FFlags;

public:
    // Controls, named as the window's design names them.
    QComboBox* cbPersona = nullptr;
    QLineEdit* edtNPCName = nullptr;
    QLineEdit* edtAPIKey = nullptr;
    QCheckBox* chkSaveAPIKey = nullptr;
    QPlainTextEdit* memoPlayerInput = nullptr;
    QPlainTextEdit* memoResponse = nullptr;
    QPlainTextEdit* memoContext = nullptr;
    QLabel* lblServiceHint = nullptr;
    QPushButton* btnGenerate = nullptr;
    QPushButton* btnInsert = nullptr;
    QPushButton* btnCancel = nullptr;
    QGroupBox* grpOptions = nullptr;
    QCheckBox* cbCreateNode = nullptr;
    QCheckBox* cbInsertOption = nullptr;
    QCheckBox* cbReplaceText = nullptr;
    QCheckBox* cbAppendText = nullptr;
};
