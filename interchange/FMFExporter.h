#pragma once
// Writes a dialogue project in the FMF text format of the outside dialogue
// tool. Nodes are referred to by position names (Node001, Node002, ...).

#include "model/DialogueTypes.h"

#include <QHash>
#include <QString>
#include <QStringList>

struct TFMFExportResult {
    bool Success = false;
    QStringList Errors;
    qint32 WarningCount = 0;
    qint32 NodeCount = 0;
    QString Text;
};

class TFMFExporter {
public:
    TFMFExporter();
    TFMFExporter(const TFMFExporter&) = delete;
    TFMFExporter& operator=(const TFMFExporter&) = delete;

    TFMFExportResult ExportToText(const TDialogueProject* AProject, QString& AText);
    TFMFExportResult ExportToText(const TDialogueProject* AProject);
    // Writes the text in the ANSI code page (no byte-order mark), replacing
    // any existing file.
    TFMFExportResult ExportToFile(const TDialogueProject* AProject, const QString& AFilePath);

private:
    void NameNodes();
    QString NameOf(const QString& nodeID) const;
    QString StartTargetName() const;

    void Line(QStringView text);
    void EmptyLine();
    void WriteHeader();
    void WriteVariables();
    void WriteStartConditions();
    void WriteDescription();
    void WriteFloatMessages();
    void WriteNode(const TDialogueNode& node, const QString& name);
    void WriteScripts(const TDialogueNode& node);
    void WriteSkillChecks(const TDialogueNode& node, const QString& name);
    void WriteOptions(const TDialogueNode& node, const QString& name);
    QString ConditionClause(const TCondition& condition, bool last) const;

    const TDialogueProject* FProject = nullptr;
    QString FLines;   // every line so far, each followed by CR LF
    QStringList FErrors;
    qint32 FWarnings = 0;
    QHash<QString, QString> FNameMap;      // node ID -> FMF name
    QHash<QString, QString> FReverseMap;   // FMF name -> node ID
};
