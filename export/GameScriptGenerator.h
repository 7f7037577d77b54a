#pragma once
// The game-ready script of a dialogue and the message file it reads: a
// script in the idiom of hand-written NPC dialogues that compiles unchanged
// (every procedure declared and defined, no labels, text only as message
// numbers), and "{number}{}{text}" lines for every message it uses plus the
// float messages. What a construct cannot express becomes a warning.
// A project read from a game script carries that script's frame: the
// script is then written as the frame says, its kept text in place and only
// the dialogue procedures regenerated.

#include "export/GameConditionWriter.h"
#include "export/GameIdentifiers.h"
#include "export/GameMessageWriter.h"
#include "model/DialogueTypes.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

class TGameScriptGenerator {
public:
    // The project's lines must hold their numbers already
    // (TGameMessageNumbering::Assign); a line without one is left out.
    explicit TGameScriptGenerator(const TDialogueProject& project);

    // NAME of NAME.ssl and NAME.msg: the NPC script name, else the project
    // name, in lower case with every character but letters, digits and "_"
    // made "_"; "dialogue" when nothing is left.
    static QString ScriptName(const TDialogueProject& project);

    // Builds both texts (CR LF line ends); call once.
    void Build();
    const QString& Script() const { return FScript; }
    const QString& Messages() const { return FMessages; }
    const QStringList& Warnings() const { return FWarnings; }

private:
    bool HasOwnProcedure(const TDialogueNode& node) const;
    void NameProcedures();
    QString StartProcedure();
    void BuildFramed(const QString& start);
    // A procedure at a place of the frame: without the blank line before
    // and the line end after, which the frame's text has.
    void WriteInPlace(const TDialogueNode* node, const QString& start);
    void WriteMessages();
    void WriteGlobals(QString& out);
    // The procedure a link to `id` calls: comment nodes pass on to their
    // next node, silent end nodes and missing nodes end the dialogue.
    QString Resolve(const QString& id, const TGameWhere& where);
    QString ResolveNode(const TDialogueNode* node, const QString& id, const TGameWhere& where);
    QString Message(qint32 number, const QString& text, const TGameWhere& where, const QString& what);

    // Appends one line; `text` may be any string expression, joined
    // straight into the script.
    template <class T> void Line(int depth, const T& text);
    void WriteTalk(const QString& name);
    void WriteCritter();
    void WriteComment(const TDialogueNode& node);
    void WriteNode(const TDialogueNode& node, bool withOptionProcedures = true);
    void WriteOptionProcedures(const TDialogueNode& node);
    void WriteSpokenBody(const TDialogueNode& node, int depth);
    void WriteConditional(const TDialogueNode& node, int depth);
    void WriteRandom(const TDialogueNode& node, int depth);
    void WriteOption(const TDialogueNode& node, size_t index, int depth);
    void WriteOptionProcedure(const TDialogueNode& node, size_t index);
    void WriteRoll(const TPlayerOption& option, const TGameWhere& where, int depth);
    void WriteCode(const QString& code, int depth, const TGameWhere& where, const QString& what);
    void WriteQuest(const TDialogueNode& node, int depth);
    void BeginProcedure(const QString& name);
    void EndProcedure();

    const TDialogueProject& FProject;
    const bool FFramed;                              // written as the project's game-script frame says
    QStringList FWarnings;
    TGameConditionWriter FConditions;
    TIdentifierTable FNames;
    TGameMessageWriter FMessageFile;
    QHash<const TDialogueNode*, QString> FNodeProcedures;
    QHash<const TPlayerOption*, QString> FOptionProcedures;
    QHash<const TDialogueNode*, int> FCombatIndex;   // 1, 2, ... in node order
    QStringList FProcedureOrder;                     // every procedure, in the order defined
    QString FSink;                                   // the empty procedure that ends the dialogue
    QString FScript;
    QString FMessages;
};
