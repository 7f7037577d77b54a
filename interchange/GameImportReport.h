#pragma once
// What a game dialogue import found: counts, every construct it did not
// understand with its line, and every message number the script uses that
// its message file lacks. Shown in the log and printed by the command line.

#include <QString>
#include <QStringList>
#include <QVector>

struct TGameMissingMessage {
    qint32 Number = 0;
    int Line = 0;
};

struct TGameImportReport {
    QString ScriptFile;
    QString MessageFile;          // the file read; empty when there was none
    qint32 MessagesInFile = 0;
    qint32 Procedures = 0;        // procedures the script defines
    qint32 DialogueProcedures = 0;
    qint32 Nodes = 0;             // dialogue procedures plus branches made into nodes
    qint32 Options = 0;
    qint32 Links = 0;             // option targets, next nodes and skill-check outcomes that reach a node
    qint32 MessagesUsed = 0;
    qint32 MessagesUnused = 0;
    QString StartNode;
    QStringList NotUnderstood;    // "Line n: ..."
    QVector<TGameMissingMessage> MissingMessages;
    QStringList Notes;            // message file problems, other start branches

    // Findings the user should look at.
    qint32 WarningCount() const { return qint32(NotUnderstood.size() + MissingMessages.size() + Notes.size()); }
    QStringList Lines() const;
};
