#pragma once
// TSSLImporter turns a hand-written dialogue script in the games' SSL
// language into a new TDialogueProject. Every procedure becomes an NPC
// dialogue node; reply and option calls become its text and options (as
// "[MSG:" + number + "]", messages are not looked up); calls and option
// targets between procedures become links.

#include "model/DialogueTypes.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

#include <memory>
#include <utility>

struct TSSLImportResult {
    bool Success = false;
    QStringList Errors;          // "Line " + line number + ": " + message
    qint32 WarningCount = 0;     // links left unresolved
    qint32 NodeCount = 0;        // nodes made
};

class TSSLImporter {
public:
    TSSLImporter();
    ~TSSLImporter();
    TSSLImporter(const TSSLImporter&) = delete;
    TSSLImporter& operator=(const TSSLImporter&) = delete;

    // The new project is handed back through Proj even when Success is
    // false; the caller owns it.
    TSSLImportResult ImportFromText(const QString& Text, std::unique_ptr<TDialogueProject>& Proj);
    // Reads the file (byte-order mark, else UTF-8 when valid, else
    // Windows-1252), imports it and, on success, names the project after the
    // file. A file that cannot be read raises EDialogueError.
    TSSLImportResult ImportFromFile(const QString& Path, std::unique_ptr<TDialogueProject>& Proj);

private:
    void ReadProcedures();
    bool OpenProcedure(QStringView line);
    void ReadBody();
    void ReadOptionLine(QStringView line, const QString& lower);
    void ReadCall(QStringView line, const QString& lower);
    void ReadConditionalBlock();
    bool ElseGoesOn(QStringView line, const QString& tail, const QString& nextLower);
    void RecordSkillCheck(QStringView line);
    void Finish();
    void AddError(const QString& message);
    TDialogueNode* NewNode();

    QString FText;                  // the input, which FLines view
    QVector<QStringView> FLines;
    qsizetype FPos = 0;
    TDialogueProject* FProject = nullptr;
    QStringList FErrors;
    qint32 FWarnings = 0;
    QHash<QString, TDialogueNode*> FNodeMap;
    QHash<QString, TDialogueNode*> FProcNameMap;
    TDialogueNode* FCurrentNode = nullptr;
    QString FCurrentProcName;
    QVector<std::pair<QString, TSkillCheck>> FTempSkillChecks;
    qint64 FNextNodeNumber = 1;
};

// A skill name as written in a script (for example SKILL_SPEECH) to the
// skill type; unknown names give skSpeech.
TSkillType SSLSkillFromName(const QString& name);
