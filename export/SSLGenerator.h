#pragma once
// The game-script skeleton of a dialogue: header, start and talk procedures,
// one labelled block per node, and the float messages as comments.

#include "model/DialogueTypes.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// Labels of the node blocks. Node IDs are shortened to an identifier-safe
// form of at most 16 characters; where two nodes would end up with one
// label, the later one gets a numbered variant, so every jump still lands on
// the node it names. IDs of no node get labels of their own as well, so a
// broken link never jumps into an unrelated node.
class TSSLLabelTable {
public:
    explicit TSSLLabelTable(const TDialogueProject& project);

    // Label of this node's block (without the "node_" prefix).
    QString NodeLabel(const TDialogueNode* node) const { return FNodeLabels.value(node); }
    // Label a jump to `id` uses: that of the first node with the ID.
    QString JumpLabel(const QString& id);
    // One line per node whose label had to be changed to stay unique.
    const QStringList& Renamed() const { return FRenamed; }

private:
    QString UniqueVariant(const QString& base);

    QSet<QString> FPlainLabels;            // the shortened form of every node ID
    QSet<QString> FTaken;
    QHash<QString, QString> FLabelOfId;    // ID -> label of its first node
    QHash<const TDialogueNode*, QString> FNodeLabels;
    QStringList FRenamed;
};

class TSSLGenerator {
public:
    explicit TSSLGenerator(const TDialogueProject& project);

    // Braces are dropped, "-" and every other character that cannot stand in
    // an identifier becomes "_", then the first 16 characters are kept.
    static QString SanitizeId(const QString& id);
    // One condition expression, starting with two spaces.
    static QString ConditionToSSL(const TCondition& condition);

    // The block of one node: CR LF after every line, ending with an empty line.
    QString BuildNodeProcedure(const TDialogueNode& node);
    // The whole script; some entries hold several lines joined by CR LF.
    QStringList BuildSSLScript();

    // Things the writer should know about the last script built.
    const QStringList& Warnings() const { return FWarnings; }

private:
    void AppendBody(QString& block, const TDialogueNode& node, const QString& label);
    void AppendConditionalBody(QString& block, const TDialogueNode& node);

    const TDialogueProject& FProject;
    TSSLLabelTable FLabels;
    QStringList FWarnings;
};
