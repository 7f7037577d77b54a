#pragma once
// What the AI dialogue writer does besides showing controls: personas, the
// role-play prompt, the running transcript, one generation round, and
// putting the accepted line into the project.

#include "ai/OllamaCloudClient.h"
#include "model/DialogueTypes.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace AIDialogueWriter {

struct TPersona {
    const char* ListText;
    const char* Traits;
    const char* SpeechPattern;
};
constexpr int PersonaCount = 4;
extern const TPersona Personas[PersonaCount];

// Empty for an index outside the table.
QString GetPersonaTraits(int index);
QString GetPersonaSpeechPattern(int index);

extern const char* const ModelName;              // "llama3.1"
constexpr int MaxTokens = 200;
extern const char* const InitialPlayerInput;     // "Hello there, stranger."
extern const char* const InitialTranscript;      // "Conversation will appear here..."
extern const char* const GeneratingText;         // "Generating..."
extern const char* const EnterKeyMessage;        // "Please enter your OllamaCloud API key."
extern const char* const GenerateFirstMessage;   // "Generate dialogue first."
extern const char* const NoProjectMessage;       // "Please create or open a project first."

// A multi-line box's text as lines and back: every line ends in CR LF, and
// an empty box has no lines at all.
QStringList MemoLines(const QString& text);
QString MemoText(const QStringList& lines);

QString BuildPrompt(const QString& npcName, int personaIndex, const QStringList& transcriptLines,
                    const QStringList& playerInputLines);

// The transcript after one exchange: the first line dropped when there
// are more than five, then "Player: " + trimmed input and "NPC: " + reply.
QStringList UpdateTranscript(QStringList lines, const QString& playerInput, const QString& reply);

struct TGenerateRequest {
    int PersonaIndex = 0;
    QString NPCName;
    QString APIKey;                  // as typed; trimmed here
    QStringList TranscriptLines;
    QStringList PlayerInputLines;
};

struct TGenerateOutcome {
    bool Sent = false;               // false: blank key, nothing was asked
    QString ResponseText;            // what the response box shows
    QStringList TranscriptLines;     // unchanged when nothing was sent
    TRequestFailure Failure;         // why a reply is a placeholder, if it is
};

// One Generate round. The client is made at the first round with a key
// and kept: a key typed later is not used by this session. Blocking; a
// window may run it on a worker thread (one round at a time).
class TSession {
public:
    using TClientFactory = std::function<std::unique_ptr<TOllamaCloudClient>(const QString& trimmedKey)>;

    TSession();
    explicit TSession(TClientFactory factory);

    TGenerateOutcome Generate(const TGenerateRequest& request);

    // The last reply, whatever it was; this is what Insert puts in.
    const QString& GeneratedText() const { return FGeneratedText; }
    const TOllamaCloudClient* Client() const { return FClient.get(); }

private:
    TClientFactory FFactory;
    std::unique_ptr<TOllamaCloudClient> FClient;
    QString FGeneratedText;
};

struct TInsertFlags {
    bool CreateNode = true;
    bool InsertAsOption = false;
    bool ReplaceText = false;
    bool AppendText = false;
};

struct TApplyResult {
    bool Changed = false;            // a rule changed the project
    QString NodeID;                  // the node created or changed
    bool SelectNode = false;         // the new node becomes the selection
    bool RefreshProperties = false;  // the selected node's text changed
    QString LogLine;                 // empty when nothing changed
};

// Puts the accepted text into the project by the first rule that fits:
// new node, option on the selected NPC node, replace or append its text,
// or a new node without changing the selection. The caller takes its undo
// step before and marks the project modified after, whatever the result.
TApplyResult ApplyResult(TDialogueProject& project, const QString& selectedNodeID, const TInsertFlags& flags,
                         const QString& generatedText, const QString& npcName);

}
