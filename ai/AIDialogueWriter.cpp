#include "ai/AIDialogueWriter.h"

#include <exception>

namespace AIDialogueWriter {

const TPersona Personas[PersonaCount] = {
    {"Vault Dweller (Naive, cautious)", "naive, cautious, curious, eager to help but inexperienced",
     "Speaking hesitantly, with frequent pauses and uncertainty"},
    {"Brotherhood Knight (Disciplined, tech-focused)",
     "disciplined, tech-focused, suspicious of outsiders, loyal to the Brotherhood",
     "Speaking formally and directly, with military precision"},
    {"Raider Chief (Aggressive, dominant)", "aggressive, dominant, ruthless, crude sense of humor",
     "Speaking aggressively and directly, with crude language"},
    {"Ghoul Philosopher (Wise, melancholic)", "wise, patient, speaks in metaphors, has seen the world change",
     "Speaking philosophically, using metaphors about decay and time"},
};

const char* const ModelName = "llama3.1";
const char* const InitialPlayerInput = "Hello there, stranger.";
const char* const InitialTranscript = "Conversation will appear here...";
const char* const GeneratingText = "Generating...";
const char* const EnterKeyMessage = "Please enter your OllamaCloud API key.";
const char* const GenerateFirstMessage = "Generate dialogue first.";
const char* const NoProjectMessage = "Please create or open a project first.";

namespace {

const QString CRLF = QStringLiteral("\r\n");

bool InTable(int index) { return index >= 0 && index < PersonaCount; }

TDialogueNode* AddNPCNode(TDialogueProject& project, const QString& npcName, const QString& text)
{
    TDialogueNode* node = project.AddNode(ntNPCDialogue);
    node->SetSpeaker(npcName);
    node->SetText(text);
    return node;
}

TApplyResult Applied(TDialogueNode* node, const char* logText)
{
    TApplyResult result;
    result.Changed = true;
    result.NodeID = node->ID();
    result.LogLine = QLatin1String(logText) + node->ID().left(12);
    return result;
}

} // namespace

QString GetPersonaTraits(int index)
{
    return InTable(index) ? QString::fromUtf8(Personas[index].Traits) : QString();
}

QString GetPersonaSpeechPattern(int index)
{
    return InTable(index) ? QString::fromUtf8(Personas[index].SpeechPattern) : QString();
}

QStringList MemoLines(const QString& text)
{
    if (text.isEmpty())
        return QStringList();
    QString normalized = text;
    normalized.replace(CRLF, QStringLiteral("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = normalized.split(QLatin1Char('\n'));
    if (normalized.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return lines;
}

QString MemoText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + CRLF;
    return text;
}

QString BuildPrompt(const QString& npcName, int personaIndex, const QStringList& transcriptLines,
                    const QStringList& playerInputLines)
{
    const QString personaText = InTable(personaIndex) ? QString::fromUtf8(Personas[personaIndex].ListText) : QString();
    return QStringLiteral("You are a Fallout NPC character.") + CRLF
         + QStringLiteral("Character: ") + npcName + CRLF
         + QStringLiteral("Persona: ") + personaText + CRLF
         + QStringLiteral("Traits: ") + GetPersonaTraits(personaIndex) + CRLF
         + QStringLiteral("Speech: ") + GetPersonaSpeechPattern(personaIndex) + CRLF + CRLF
         + QStringLiteral("Recent conversation:") + CRLF
         + MemoText(transcriptLines) + CRLF + CRLF
         + QStringLiteral("Player says: ") + MemoText(playerInputLines) + CRLF + CRLF
         + QStringLiteral("Respond in character. Keep response under 3 sentences.");
}

QStringList UpdateTranscript(QStringList lines, const QString& playerInput, const QString& reply)
{
    if (lines.size() > 5)
        lines.removeFirst();
    lines.append(QStringLiteral("Player: ") + playerInput.trimmed());
    lines.append(QStringLiteral("NPC: ") + reply);
    return lines;
}

TSession::TSession()
    : TSession([](const QString& key) {
          return std::make_unique<TOllamaCloudClient>(key, QString::fromLatin1(ModelName));
      })
{
}

TSession::TSession(TClientFactory factory) : FFactory(std::move(factory)) {}

TGenerateOutcome TSession::Generate(const TGenerateRequest& request)
{
    TGenerateOutcome outcome;
    outcome.TranscriptLines = request.TranscriptLines;
    const QString prompt =
        BuildPrompt(request.NPCName, request.PersonaIndex, request.TranscriptLines, request.PlayerInputLines);
    const QString key = request.APIKey.trimmed();
    if (key.isEmpty()) {
        outcome.ResponseText = QString::fromLatin1(EnterKeyMessage);
        return outcome;
    }
    outcome.Sent = true;
    try {
        if (!FClient)
            FClient = FFactory(key);
        FGeneratedText = FClient->GenerateText(prompt, MaxTokens);
        outcome.Failure = FClient->LastFailure();
        outcome.ResponseText = FGeneratedText;
        const QString playerInput = MemoText(request.PlayerInputLines);
        outcome.TranscriptLines = UpdateTranscript(request.TranscriptLines, playerInput, FGeneratedText);
    } catch (const std::exception& e) {
        outcome.ResponseText = QStringLiteral("Error: ") + QString::fromLocal8Bit(e.what());
    }
    return outcome;
}

TApplyResult ApplyResult(TDialogueProject& project, const QString& selectedNodeID, const TInsertFlags& flags,
                         const QString& generatedText, const QString& npcName)
{
    const bool hasSelection = !selectedNodeID.isEmpty();
    if (flags.CreateNode) {
        TApplyResult result = Applied(AddNPCNode(project, npcName, generatedText),
                                      "AI dialogue inserted as new node: ");
        result.SelectNode = true;
        return result;
    }
    TDialogueNode* selected = hasSelection ? project.FindNode(selectedNodeID) : nullptr;
    if (flags.InsertAsOption && hasSelection) {
        if (!selected || selected->NodeType() != ntNPCDialogue)
            return TApplyResult();
        selected->AddOption()->Text = generatedText;
        return Applied(selected, "AI dialogue inserted as player option on node: ");
    }
    if (flags.ReplaceText && hasSelection) {
        if (!selected)
            return TApplyResult();
        selected->SetText(generatedText);
        TApplyResult result = Applied(selected, "AI dialogue replaced text in node: ");
        result.RefreshProperties = true;
        return result;
    }
    if (flags.AppendText && hasSelection) {
        if (!selected)
            return TApplyResult();
        selected->SetText(selected->Text().isEmpty() ? generatedText : selected->Text() + CRLF + generatedText);
        TApplyResult result = Applied(selected, "AI dialogue appended to node: ");
        result.RefreshProperties = true;
        return result;
    }
    return Applied(AddNPCNode(project, npcName, generatedText), "AI dialogue added as default new node: ");
}

}
