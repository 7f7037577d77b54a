#pragma once
// Reads the FMF text format into a new dialogue project. The reader is
// forgiving: it takes what it recognises, skips everything else, and reports
// no errors of its own.

#include "model/DialogueTypes.h"

#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

#include <memory>

struct TFMFImportResult {
    bool Success = false;
    QStringList Errors;
    qint32 WarningCount = 0;
    qint32 NodeCount = 0;
    TDialogueProject* Project = nullptr;   // same object as the out-parameter
};

class TFMFImporter {
public:
    TFMFImporter();
    ~TFMFImporter();
    TFMFImporter(const TFMFImporter&) = delete;
    TFMFImporter& operator=(const TFMFImporter&) = delete;

    // The caller owns the new project.
    TFMFImportResult ImportFromText(const QString& AText, std::unique_ptr<TDialogueProject>& AProject);
    // Reads the whole file (byte-order mark, else UTF-8 when it is valid
    // UTF-8, else the ANSI code page) and names the project after the file.
    // A file that cannot be read raises EDialogueError.
    TFMFImportResult ImportFromFile(const QString& APath, std::unique_ptr<TDialogueProject>& AProject);

private:
    bool AtEnd() const { return FPos >= FLines.size(); }
    QStringView Current() const;
    bool CurrentStartsWith(QLatin1String keyword) const;
    bool CurrentContains(QLatin1String text) const;

    void ReadTopLevel();
    void ReadVars();
    void ReadVarEntry(QStringView line);
    void ReadStartConditions();
    void ReadFloatNode();
    void ReadNode();
    // Custom code and skill-check blocks may stand before or inside the braces.
    bool ReadEmbeddedBlock(QStringView line, TDialogueNode& node);
    void ReadNodeHeader(TDialogueNode& node);
    void ReadNodeBody(TDialogueNode& node);
    void ReadOptions(TDialogueNode& node);
    void ReadOptionLine(TDialogueNode& node, QStringView line);
    QVector<TCondition> ReadConditions(QStringView text) const;
    bool ReadCondition(QStringView clause, TCondition& condition) const;
    void ReadCustomCode(TDialogueNode& node);
    void ReadSkillCheck();
    void SkipPastOpeningBrace();
    TDialogueNode* NodeForName(const QString& name);

    void Finish();
    void AttachSkillChecks();
    TDialogueNode* NodeForSkillCheck(const QString& name) const;
    TDialogueNode* NodeNamedInside(const QString& name) const;
    void LayOut();

    QVector<QStringView> FLines;
    qsizetype FPos = 0;
    std::unique_ptr<TDialogueProject> FProject;
    QStringList FErrors;
    qint32 FWarnings = 0;
    QHash<QString, TDialogueNode*> FNodeMap;
    QVector<QPair<QString, TSkillCheck>> FTempSkillChecks;
    TDialogueNode* FCurrentNode = nullptr;
    QStringList FGlobalVars;
    QStringList FStartConditions;
    QString FStartNodeID;
    // Upper-case node names for matching skill-check names, and the work
    // spent on that matching in this import.
    mutable QStringList FUpperNames;
    mutable qint64 FNameSearchWork = 0;
};
