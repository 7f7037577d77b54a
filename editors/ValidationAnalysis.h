#pragma once
// The validation window's three tools without the window: the problem table,
// the dialogue flow report, node search, and the automatic link repair.
// Core types only, so tests and benchmarks call them directly.

#include "model/DialogueTypes.h"

#include <QString>
#include <QStringList>
#include <QVector>

struct TValidationIssueRow {
    QString Severity;   // "ERROR", "WARN" or "INFO"
    QString Issue;
    QString NodeID;     // the 20 characters after "node: ", or empty
};

struct TValidationIssueTable {
    QVector<TValidationIssueRow> Rows;
    int ErrorCount = 0;
    int WarningCount = 0;

    // "E error(s), W warning(s)", "All checks passed!" or "No errors, W warning(s)".
    QString CountText() const;
};

namespace ValidationAnalysis {

TValidationIssueRow ParseIssueLine(const QString& line);
TValidationIssueTable BuildIssueTable(const QStringList& validationLines);

// Breadth-first walk from the start node plus the node-type breakdown,
// one report line per entry.
QStringList BuildFlowReport(const TDialogueProject& project);

// Clears next-node, option-target and skill-check links naming no node.
// Returns the number of fields cleared; marks the project modified when
// anything changed.
int AutoFixBrokenLinks(TDialogueProject& project);
// "No auto-fixable issues found." or "Auto-fixed N broken link(s)."
QString AutoFixMessage(int fixCount);

}

// Where a search looks; the order is that of the window's field list.
enum TNodeSearchField {
    nsfNone = -1, nsfAllFields, nsfNodeText, nsfSpeaker, nsfNodeID, nsfTag, nsfScriptCode
};

struct TNodeSearchRow {
    QString NodeID;    // first 16 characters
    QString TypeName;
    QString Speaker;
    QString Match;     // "[" + field label + "] " + first 80 characters
};

namespace NodeSearch {

// The entries of the field list, in TNodeSearchField order.
QStringList FieldCaptions();

// Case-insensitive search over the chosen fields, one row per matching
// node in project order. A blank search text finds nothing.
QVector<TNodeSearchRow> Search(const TDialogueProject& project, const QString& text, TNodeSearchField field);
// "Found: N result(s)"
QString ResultCountText(int rows);

}
