#pragma once
// TGameDialogueImporter reads an NPC's game script with its message file
// into a new project: one node per dialogue procedure with its real texts,
// options with their targets, intelligence, reaction and guards, calls as
// next nodes, skill rolls as skill checks, the conventional endings as end,
// combat and trade nodes, and every other statement kept verbatim in the
// node's scripts. What lies outside the dialogue procedures is kept in the
// project's game-script frame, so the game export can write the whole
// script back.

#include "interchange/GameDefineTable.h"
#include "interchange/GameImportReport.h"
#include "interchange/GameMessageFile.h"
#include "interchange/GameScriptParser.h"
#include "model/DialogueTypes.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

struct TGameImportResult {
    bool Success = false;        // exactly when Errors is empty
    QStringList Errors;
    qint32 WarningCount = 0;
    qint32 NodeCount = 0;
    TGameImportReport Report;
};

class TGameDialogueImporter {
public:
    // Scripts larger than this are refused (token places are 32-bit).
    static constexpr qsizetype MaxScriptChars = qsizetype(1) << 30;

    // `messages` is the message file's text, or null when there is none.
    // The project is handed back even when Success is false.
    TGameImportResult ImportFromText(const QString& script, const QString* messages,
                                     std::unique_ptr<TDialogueProject>& project);
    // Reads the script and its message file (`messagePath`, or the one
    // TGameMessageFile::Find finds when empty). A script that cannot be
    // read raises EDialogueError; a message file that cannot be read is
    // reported and the import goes on without it.
    TGameImportResult ImportFromFile(const QString& scriptPath, const QString& messagePath,
                                     std::unique_ptr<TDialogueProject>& project);

    // The text of each dialogue procedure of the last import as the script
    // wrote it, by lower-case name: what the frame's procedure places stood
    // for. Made on request, from the script the importer still holds.
    QHash<QString, QString> DialogueProcedureSources() const;
    // Likewise the forward declarations the frame's declaration places stood for.
    QHash<QString, QString> DialogueDeclarationSources() const;

private:
    struct TStart {
        QString Procedure;   // lower case
        QString Guard;
        int Line = 0;
    };
    struct TText {
        QString Text;
        qint32 MsgNumber = 0;
    };
    struct TNodeState {
        TDialogueNode* Node = nullptr;
        QString Procedure;   // as written
        bool HasReply = false;
        bool Combat = false;
        bool Trade = false;
        bool Empty = true;
    };

    void Reset();
    void IndexProcedures();
    void ReadTalkProc();
    void CollectTalkCalls(const TGameStatement& st, QStringList guards, bool& inDialogue, QVector<TStart>& calls);
    void FindDialogueProcedures();
    void CollectTargets(const TGameStatement& st, QStringList& names) const;
    void AssignNodeIDs();
    void BuildNodes();
    void Walk(const std::vector<TGameStatement>& list, TNodeState& state, const QStringList& guards, int depth);
    void WalkOne(const TGameStatement& st, TNodeState& state, const QStringList& guards, int depth);
    void WalkIf(const TGameStatement& st, TNodeState& state, const QStringList& guards, int depth);
    void WalkCall(const TGameStatement& st, TNodeState& state, const QStringList& guards);
    void WalkSimple(const TGameStatement& st, TNodeState& state, const QStringList& guards);
    bool ReadOption(const QString& head, int open, int close, TNodeState& state, const QStringList& guards);
    bool ReadSkillRoll(const TGameStatement& st, TNodeState& state, int depth);
    QString BranchTarget(const TGameStatement* branch, TNodeState& state, const QString& suffix, int depth);
    void Keep(const TGameStatement& st, TNodeState& state, const QStringList& guards);
    void FinishNode(TNodeState& state);
    void BuildFrame();
    void FinishProject();
    void Count();

    // Expressions.
    QVector<QPair<int, int>> Arguments(int open, int& close) const;
    TText ResolveText(int first, int last, int line);
    QString MessageText(qint32 number, int line);
    void NoteMessageRefs(int first, int last, bool intoFrame);
    void StripOuterParentheses(int& first, int& last) const;
    QString GuardText(int first, int last) const;
    static QString JoinGuards(const QStringList& guards);
    bool ContainsGraph(const TGameStatement& st) const;
    int ProcedureIndexOf(int nameToken) const;  // -1 when no procedure has that name
    QString ProcedureOf(int nameToken) const;   // lower case; empty when no procedure has that name
    QString NodeIDOf(int nameToken) const;      // empty unless it names a dialogue procedure
    bool IsDialogue(const QString& lowerName) const { return FNodeIDs.contains(lowerName); }
    QString UniqueID(const QString& wanted);
    void NotUnderstood(int line, const QString& text);

    TGameScript FScript;
    TGameDefineTable FDefines;
    TGameMessageFile FMessages;
    bool FHaveMessages = false;
    TDialogueProject* FProject = nullptr;
    TGameImportReport FReport;
    QStringList FErrors;

    QHash<QString, int> FProcIndex;          // lower-case name -> first definition
    QVector<int> FDialogue;                  // procedure indexes, in source order
    QHash<QString, QString> FNodeIDs;        // lower-case procedure name -> node ID
    QVector<QString> FProcLower;             // per procedure: its lower-case name
    QVector<QString> FNodeIDByProcedure;     // per procedure: its node ID, empty when not dialogue
    mutable std::vector<int> FTokenProcedure;   // per token: procedure it names, -1 none, -2 not looked up
    QSet<QString> FUsedIDs;
    QVector<TStart> FStarts;
    bool FPlainTalkProc = false;
    int FTalkProc = -1;
    QSet<qint32> FUsedMessages;
};
