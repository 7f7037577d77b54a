#include "editors/ValidationAnalysis.h"

#include <QQueue>
#include <QSet>

namespace {

QString TypeName(TNodeType type)
{
    return QString::fromLatin1(NodeTypeNames[type < NodeTypeCount ? type : ntNPCDialogue]);
}

QString Count(qsizetype n) { return QString::number(n); }

}

QString TValidationIssueTable::CountText() const
{
    if (ErrorCount > 0)
        return Count(ErrorCount) + QStringLiteral(" error(s), ") + Count(WarningCount) + QStringLiteral(" warning(s)");
    if (WarningCount == 0)
        return QStringLiteral("All checks passed!");
    return QStringLiteral("No errors, ") + Count(WarningCount) + QStringLiteral(" warning(s)");
}

namespace ValidationAnalysis {

TValidationIssueRow ParseIssueLine(const QString& line)
{
    TValidationIssueRow row;
    if (line.startsWith(QLatin1String("ERROR:"))) {
        row.Severity = QStringLiteral("ERROR");
        row.Issue = line.mid(7).trimmed();
    } else if (line.startsWith(QLatin1String("WARNING:"))) {
        row.Severity = QStringLiteral("WARN");
        row.Issue = line.mid(9).trimmed();
    } else {
        row.Severity = QStringLiteral("INFO");
        row.Issue = line.trimmed();
    }
    // The lower-cased copy has the same length for the messages the model
    // writes; the ID itself is taken from the unchanged line.
    const QString marker = QStringLiteral("node: ");
    const qsizetype at = line.toLower().indexOf(marker);
    if (at >= 0)
        row.NodeID = line.mid(at + marker.size(), 20);
    return row;
}

TValidationIssueTable BuildIssueTable(const QStringList& validationLines)
{
    TValidationIssueTable table;
    table.Rows.reserve(validationLines.size());
    for (const QString& line : validationLines) {
        table.Rows.append(ParseIssueLine(line));
        const QString& severity = table.Rows.last().Severity;
        if (severity == QLatin1String("ERROR"))
            ++table.ErrorCount;
        else if (severity == QLatin1String("WARN"))
            ++table.WarningCount;
    }
    return table;
}

namespace {

struct TFlowWalk {
    QSet<QString> Visited;
    int EndNodes = 0;
    int Loops = 0;
};

QString WalkLine(const TDialogueNode& node)
{
    QString line = QStringLiteral("  [") + TypeName(node.NodeType()) + QStringLiteral("] ") + node.ID().left(14);
    if (!node.Speaker().isEmpty())
        line += QStringLiteral(" (") + node.Speaker() + QLatin1Char(')');
    return line;
}

void WalkFromStart(const TDialogueProject& project, TDialogueNode* start, TFlowWalk& walk, QStringList& lines)
{
    lines << QStringLiteral("=== Reachability from Start Node ===");
    QQueue<TDialogueNode*> queue;
    walk.Visited.insert(start->ID());
    queue.enqueue(start);
    while (!queue.isEmpty()) {
        const TDialogueNode* node = queue.dequeue();
        lines << WalkLine(*node);
        if (node->NodeType() == ntEndDialogue)
            ++walk.EndNodes;
        for (TDialogueNode* next : project.GetConnectedNodes(node->ID())) {
            if (walk.Visited.contains(next->ID())) {
                ++walk.Loops;
                continue;
            }
            walk.Visited.insert(next->ID());
            queue.enqueue(next);
        }
    }
}

bool IsOrphan(const TDialogueNode& node, const TFlowWalk& walk)
{
    return !walk.Visited.contains(node.ID()) && !node.IsStartNode();
}

void AppendTypeBreakdown(const TDialogueProject& project, QStringList& lines)
{
    int perType[NodeTypeCount] = {};
    int options = 0;
    int skillChecks = 0;
    for (const auto& node : project.Nodes()) {
        if (node->NodeType() < NodeTypeCount)
            ++perType[node->NodeType()];
        options += int(node->PlayerOptions().size());
        for (const auto& option : node->PlayerOptions())
            skillChecks += option->HasSkillCheck ? 1 : 0;
    }
    lines << QStringLiteral("=== NODE TYPE BREAKDOWN ===")
          << QStringLiteral("  NPC Dialogue nodes:  ") + Count(perType[ntNPCDialogue])
          << QStringLiteral("  Player Reply nodes:  ") + Count(perType[ntPlayerReply])
          << QStringLiteral("  Conditional nodes:   ") + Count(perType[ntConditional])
          << QStringLiteral("  Script nodes:        ") + Count(perType[ntScript])
          << QStringLiteral("  Total player options: ") + Count(options)
          << QStringLiteral("  Skill checks:        ") + Count(skillChecks);
}

QString OrphanLine(const TDialogueNode& node)
{
    QString line = QStringLiteral("  ") + node.ID() + QStringLiteral("  [") + TypeName(node.NodeType()) + QLatin1Char(']');
    if (!node.Text().trimmed().isEmpty())
        line += QStringLiteral("  \"") + node.Text().left(40) + QLatin1Char('"');
    return line;
}

}

QStringList BuildFlowReport(const TDialogueProject& project)
{
    QStringList lines;
    lines.reserve(2 * qsizetype(project.NodeCount()) + 32);
    lines << QStringLiteral("=== DIALOGUE FLOW ANALYSIS ===")
          << QStringLiteral("Project: ") + project.Name()
          << QStringLiteral("Total nodes: ") + Count(project.NodeCount())
          << QStringLiteral("Float messages: ") + Count(qsizetype(project.FloatMessages().size()))
          << QString();

    TFlowWalk walk;
    walk.Visited.reserve(project.NodeCount());
    if (!project.StartNodeID().isEmpty())
        if (TDialogueNode* start = project.FindNode(project.StartNodeID()))
            WalkFromStart(project, start, walk, lines);

    int orphans = 0;
    for (const auto& node : project.Nodes())
        orphans += IsOrphan(*node, walk) ? 1 : 0;

    lines << QString()
          << QStringLiteral("Reachable nodes: ") + Count(walk.Visited.size()) + QStringLiteral(" / ") + Count(project.NodeCount())
          << QStringLiteral("Orphaned (unreachable) nodes: ") + Count(orphans)
          << QStringLiteral("End dialogue nodes: ") + Count(walk.EndNodes)
          << QStringLiteral("Potential loops detected: ") + Count(walk.Loops)
          << QString();
    AppendTypeBreakdown(project, lines);
    lines << QString();

    if (orphans > 0) {
        lines << QStringLiteral("=== ORPHANED NODES ===");
        for (const auto& node : project.Nodes())
            if (IsOrphan(*node, walk))
                lines << OrphanLine(*node);
    }
    return lines;
}

namespace {

bool ClearIfMissing(const TDialogueProject& project, QString& id)
{
    if (id.isEmpty() || project.FindNode(id))
        return false;
    id.clear();
    return true;
}

}

int AutoFixBrokenLinks(TDialogueProject& project)
{
    int fixes = 0;
    for (const auto& node : project.Nodes()) {
        QString next = node->NextNodeID();
        if (ClearIfMissing(project, next)) {
            node->SetNextNodeID(next);
            ++fixes;
        }
        for (const auto& option : node->PlayerOptions()) {
            fixes += ClearIfMissing(project, option->TargetNodeID) ? 1 : 0;
            if (!option->HasSkillCheck)
                continue;
            fixes += ClearIfMissing(project, option->SkillCheck.SuccessNodeID) ? 1 : 0;
            fixes += ClearIfMissing(project, option->SkillCheck.FailureNodeID) ? 1 : 0;
        }
    }
    if (fixes > 0)
        project.SetModified(true);
    return fixes;
}

QString AutoFixMessage(int fixCount)
{
    if (fixCount == 0)
        return QStringLiteral("No auto-fixable issues found.");
    return QStringLiteral("Auto-fixed ") + Count(fixCount) + QStringLiteral(" broken link(s).");
}

}

namespace NodeSearch {

namespace {

struct TFieldMatch {
    QString Label;
    QString Text;
};

bool Contains(const QString& value, const QString& text)
{
    return value.contains(text, Qt::CaseInsensitive);
}

bool MatchScripts(const TDialogueNode& node, const QString& text, int length, TFieldMatch& match)
{
    for (const auto& script : node.Scripts()) {
        if (Contains(script->ScriptCode, text)) {
            match = { QStringLiteral("Script"), script->ScriptCode.left(length) };
            return true;
        }
    }
    return false;
}

bool MatchAllFields(const TDialogueNode& node, const QString& text, TFieldMatch& match)
{
    const std::pair<const char*, const QString*> fields[] = {
        { "Text", &node.Text() }, { "Speaker", &node.Speaker() }, { "ID", &node.ID() },
        { "Tag", &node.Tag() }, { "Quest", &node.QuestID() },
    };
    for (const auto& field : fields) {
        if (Contains(*field.second, text)) {
            match = { QString::fromLatin1(field.first), *field.second };
            return true;
        }
    }
    for (const auto& option : node.PlayerOptions()) {
        if (Contains(option->Text, text)) {
            match = { QStringLiteral("Option"), option->Text };
            return true;
        }
    }
    return MatchScripts(node, text, 60, match);
}

bool MatchOne(const char* label, const QString& value, const QString& text, TFieldMatch& match)
{
    if (!Contains(value, text))
        return false;
    match = { QString::fromLatin1(label), value };
    return true;
}

bool MatchNode(const TDialogueNode& node, const QString& text, TNodeSearchField field, TFieldMatch& match)
{
    switch (field) {
    case nsfAllFields: return MatchAllFields(node, text, match);
    case nsfNodeText: return MatchOne("Text", node.Text(), text, match);
    case nsfSpeaker: return MatchOne("Speaker", node.Speaker(), text, match);
    case nsfNodeID: return MatchOne("ID", node.ID(), text, match);
    case nsfTag: return MatchOne("Tag", node.Tag(), text, match);
    case nsfScriptCode: return MatchScripts(node, text, 80, match);
    case nsfNone: break;
    }
    return false;
}

}

QStringList FieldCaptions()
{
    return { QStringLiteral("All Fields"), QStringLiteral("Node Text"), QStringLiteral("Speaker"),
             QStringLiteral("Node ID"), QStringLiteral("Tag"), QStringLiteral("Script Code") };
}

QVector<TNodeSearchRow> Search(const TDialogueProject& project, const QString& text, TNodeSearchField field)
{
    QVector<TNodeSearchRow> rows;
    const QString needle = text.trimmed();
    if (needle.isEmpty())
        return rows;
    for (const auto& node : project.Nodes()) {
        TFieldMatch match;
        if (!MatchNode(*node, needle, field, match))
            continue;
        rows.append({ node->ID().left(16), TypeName(node->NodeType()), node->Speaker(),
                      QStringLiteral("[") + match.Label + QStringLiteral("] ") + match.Text.left(80) });
    }
    return rows;
}

QString ResultCountText(int rows)
{
    return QStringLiteral("Found: ") + Count(rows) + QStringLiteral(" result(s)");
}

}
