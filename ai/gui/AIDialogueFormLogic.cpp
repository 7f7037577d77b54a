#include "ai/gui/AIDialogueFormLogic.h"

#include "model/DialogueTypes.h"

namespace AIDialogueLogic {

namespace {

const QString CrLf = QStringLiteral("\r\n");
constexpr int TranscriptKeepLines = 5;
constexpr int LogIdLength = 12;

QString LogId(const QString& id) { return id.left(LogIdLength); }

TDialogueNode* AddSpeakerNode(TDialogueProject& project, const TAIDialogueResult& result)
{
    TDialogueNode* node = project.AddNode(ntNPCDialogue);
    node->SetSpeaker(result.NPCName);
    node->SetText(result.GeneratedText);
    return node;
}

}

const QVector<TAIPersona>& Personas()
{
    static const QVector<TAIPersona> personas = {
        {QStringLiteral("Vault Dweller (Naive, cautious)"),
         QStringLiteral("naive, cautious, curious, eager to help but inexperienced"),
         QStringLiteral("Speaking hesitantly, with frequent pauses and uncertainty")},
        {QStringLiteral("Brotherhood Knight (Disciplined, tech-focused)"),
         QStringLiteral("disciplined, tech-focused, suspicious of outsiders, loyal to the Brotherhood"),
         QStringLiteral("Speaking formally and directly, with military precision")},
        {QStringLiteral("Raider Chief (Aggressive, dominant)"),
         QStringLiteral("aggressive, dominant, ruthless, crude sense of humor"),
         QStringLiteral("Speaking aggressively and directly, with crude language")},
        {QStringLiteral("Ghoul Philosopher (Wise, melancholic)"),
         QStringLiteral("wise, patient, speaks in metaphors, has seen the world change"),
         QStringLiteral("Speaking philosophically, using metaphors about decay and time")},
    };
    return personas;
}

QString GetPersonaTraits(int index)
{
    return index >= 0 && index < Personas().size() ? Personas()[index].Traits : QString();
}

QString GetPersonaSpeechPattern(int index)
{
    return index >= 0 && index < Personas().size() ? Personas()[index].SpeechPattern : QString();
}

QString MemoText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + CrLf;
    return text;
}

QStringList MemoLines(const QString& plainText)
{
    if (plainText.isEmpty())
        return {};
    QString text = plainText;
    text.replace(CrLf, QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    // A final line break ends the last line; it does not start a new one.
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString BuildPrompt(const QString& npcName, int personaIndex, const QStringList& transcriptLines,
                    const QStringList& playerInputLines)
{
    const QString personaText =
        personaIndex >= 0 && personaIndex < Personas().size() ? Personas()[personaIndex].ListText : QString();
    return QStringLiteral("You are a Fallout NPC character.") + CrLf
         + QStringLiteral("Character: %1").arg(npcName) + CrLf
         + QStringLiteral("Persona: %1").arg(personaText) + CrLf
         + QStringLiteral("Traits: %1").arg(GetPersonaTraits(personaIndex)) + CrLf
         + QStringLiteral("Speech: %1").arg(GetPersonaSpeechPattern(personaIndex)) + CrLf + CrLf
         + QStringLiteral("Recent conversation:") + CrLf
         + MemoText(transcriptLines) + CrLf + CrLf
         + QStringLiteral("Player says: %1").arg(MemoText(playerInputLines)) + CrLf + CrLf
         + QStringLiteral("Respond in character. Keep response under 3 sentences.");
}

QStringList UpdateTranscript(QStringList lines, const QString& playerInput, const QString& reply)
{
    if (lines.size() > TranscriptKeepLines)
        lines.removeFirst();
    lines.append(QStringLiteral("Player: ") + playerInput.trimmed());
    // A reply of several lines takes several transcript lines.
    lines.append(MemoLines(QStringLiteral("NPC: ") + reply));
    return lines;
}

TAIDialogueApplyOutcome ApplyResult(TDialogueProject& project, const QString& selectedNodeID,
                                    const TAIDialogueResult& result)
{
    TAIDialogueApplyOutcome outcome;
    outcome.SelectedNodeID = selectedNodeID;
    const bool hasSelection = !selectedNodeID.isEmpty();
    TDialogueNode* selected = hasSelection ? project.FindNode(selectedNodeID) : nullptr;

    if (result.CreateNode) {
        TDialogueNode* node = AddSpeakerNode(project, result);
        outcome.SelectedNodeID = node->ID();
        outcome.LogLine = QStringLiteral("AI dialogue inserted as new node: ") + LogId(node->ID());
    } else if (result.InsertAsOption && hasSelection) {
        if (selected && selected->NodeType() == ntNPCDialogue) {
            selected->AddOption()->Text = result.GeneratedText;
            outcome.LogLine = QStringLiteral("AI dialogue inserted as player option on node: ") + LogId(selected->ID());
        }
    } else if (result.ReplaceText && hasSelection) {
        if (selected) {
            selected->SetText(result.GeneratedText);
            outcome.NodeTextChanged = true;
            outcome.LogLine = QStringLiteral("AI dialogue replaced text in node: ") + LogId(selected->ID());
        }
    } else if (result.AppendText && hasSelection) {
        if (selected) {
            selected->SetText(selected->Text().isEmpty() ? result.GeneratedText
                                                         : selected->Text() + CrLf + result.GeneratedText);
            outcome.NodeTextChanged = true;
            outcome.LogLine = QStringLiteral("AI dialogue appended to node: ") + LogId(selected->ID());
        }
    } else {
        TDialogueNode* node = AddSpeakerNode(project, result);
        outcome.LogLine = QStringLiteral("AI dialogue added as default new node: ") + LogId(node->ID());
    }
    return outcome;
}

}
