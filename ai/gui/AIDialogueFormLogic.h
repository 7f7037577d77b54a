#pragma once
// What the AI dialogue writer does besides showing controls: its personas,
// the role-play prompt, the running transcript, and putting an accepted
// reply into the project. Plain functions, so they are tested without a
// window.

#include <QString>
#include <QStringList>
#include <QVector>

class TDialogueProject;

struct TAIPersona {
    QString ListText;
    QString Traits;
    QString SpeechPattern;
};

namespace AIDialogueLogic {

const QVector<TAIPersona>& Personas();
// Empty for a position outside the persona list.
QString GetPersonaTraits(int index);
QString GetPersonaSpeechPattern(int index);

// A memo's whole text: every line followed by CR LF.
QString MemoText(const QStringList& lines);
// The lines of a plain-text box (no lines when it is empty).
QStringList MemoLines(const QString& plainText);

QString BuildPrompt(const QString& npcName, int personaIndex, const QStringList& transcriptLines,
                    const QStringList& playerInputLines);

// The transcript after one exchange: the first line goes when there are
// more than five, then the player's and the NPC's lines are added.
QStringList UpdateTranscript(QStringList lines, const QString& playerInput, const QString& reply);

}

// What the window hands back after Insert.
struct TAIDialogueResult {
    QString GeneratedText;
    QString NPCName;
    bool CreateNode = false;
    bool InsertAsOption = false;
    bool ReplaceText = false;
    bool AppendText = false;
};

// What applying a result did, for the main window's log, selection and
// panels. LogLine is empty when the project was not changed.
struct TAIDialogueApplyOutcome {
    QString LogLine;
    QString SelectedNodeID;      // the selection afterwards
    bool NodeTextChanged = false; // the selected node's properties panel needs a refresh
};

namespace AIDialogueLogic {

// Applies the first insert rule that fits; `selectedNodeID` is the main
// window's selection (empty when nothing is selected). The caller takes
// its undo point before and marks the project modified after.
TAIDialogueApplyOutcome ApplyResult(TDialogueProject& project, const QString& selectedNodeID,
                                    const TAIDialogueResult& result);

}
