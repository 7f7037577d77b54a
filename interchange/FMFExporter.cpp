#include "interchange/FMFExporter.h"

#include "interchange/FMFText.h"
#include "model/AtomicFileWriter.h"
#include "model/TextEncoding.h"


using FMFText::EscapeFMFText;

namespace {

const QLatin1Char Q('"');

QString Quoted(QStringView value)
{
    return Q + EscapeFMFText(value) + Q;
}

const char* OperatorText(TConditionOperator op)
{
    switch (op) {
    case coNEQ: return "!=";
    case coLT: return "<";
    case coGT: return ">";
    case coLTE: return "<=";
    case coGTE: return ">=";
    default: return "==";
    }
}

}

TFMFExporter::TFMFExporter() = default;

TFMFExportResult TFMFExporter::ExportToText(const TDialogueProject* AProject)
{
    QString text;
    return ExportToText(AProject, text);
}

TFMFExportResult TFMFExporter::ExportToText(const TDialogueProject* AProject, QString& AText)
{
    AText.clear();
    FErrors.clear();
    FLines.clear();
    FNameMap.clear();
    FReverseMap.clear();
    FWarnings = 0;
    FProject = AProject;

    TFMFExportResult result;
    if (!FProject) {
        FErrors << QStringLiteral("No project assigned");
        result.Errors = FErrors;
        return result;
    }

    NameNodes();
    WriteHeader();
    WriteVariables();
    WriteStartConditions();
    WriteDescription();
    WriteFloatMessages();
    int position = 0;
    for (const auto& node : FProject->Nodes())
        WriteNode(*node, FMFText::NodeName(++position));

    AText = FLines;
    FLines.clear();
    result.Success = true;
    result.WarningCount = FWarnings;
    result.NodeCount = FProject->NodeCount();
    result.Text = AText;
    return result;
}

TFMFExportResult TFMFExporter::ExportToFile(const TDialogueProject* AProject, const QString& AFilePath)
{
    TFMFExportResult result = ExportToText(AProject);
    if (!result.Success)
        return result;

    const QByteArray bytes = TextEncoding::ToAnsi(result.Text);
    TAtomicFileWriter file(AFilePath);
    if (!file.Open() || !file.Write(bytes) || !file.Commit()) {
        FErrors << QStringLiteral("Failed to write file: ") + file.Reason();
        result.Errors = FErrors;
        result.Success = false;
    }
    return result;
}

void TFMFExporter::NameNodes()
{
    int position = 0;
    FNameMap.reserve(FProject->NodeCount());
    FReverseMap.reserve(FProject->NodeCount());
    for (const auto& node : FProject->Nodes()) {
        const QString name = FMFText::NodeName(++position);
        // With two nodes of one ID, references go to the first, as FindNode
        // does; each node still gets a name of its own.
        if (!FNameMap.contains(node->ID()))
            FNameMap.insert(node->ID(), name);
        FReverseMap.insert(name, node->ID());
    }
}

QString TFMFExporter::NameOf(const QString& nodeID) const
{
    if (nodeID.isEmpty())
        return nodeID;
    return FNameMap.value(nodeID, nodeID);
}

QString TFMFExporter::StartTargetName() const
{
    if (FProject->NodeCount() == 0)
        return QString();
    const QString& start = FProject->StartNodeID();
    if (!start.isEmpty() && FProject->FindNode(start))
        return NameOf(start);
    return FMFText::NodeName(1);
}

void TFMFExporter::Line(QStringView text)
{
    FLines += text;
    FLines += QLatin1String("\r\n");
}

void TFMFExporter::EmptyLine()
{
    FLines += QLatin1String("\r\n");
}

void TFMFExporter::WriteHeader()
{
    Line(u"/*");
    Line(u"    Fan Made Fallout Dialogue Tool");
    Line(u"         dialogue script file");
    EmptyLine();
    Line(u" -- hand editing this file is not recommended");
    EmptyLine();
    Line(u" Created with version 1.0.7");
    Line(u"*/");
    EmptyLine();
}

void TFMFExporter::WriteVariables()
{
    Line(u"VARS {");
    const auto& vars = FProject->GlobalVars();
    for (auto it = vars.cbegin(); it != vars.cend(); ++it)
        Line(QStringLiteral("  LOCAL VAR ") + it.key() + QStringLiteral(" NOTES ") + Quoted(it.value())
             + QLatin1Char(';'));
    Line(u"}");
    EmptyLine();
}

void TFMFExporter::WriteStartConditions()
{
    const QString target = StartTargetName();
    if (FProject->NodeCount() == 0)
        return;
    Line(u"/* Dialogue starting conditions */");
    EmptyLine();
    Line(u"START_CONDITIONS");
    Line(u"DEFAULT_CONDITION -1");
    Line(u"{");
    Line(QStringLiteral("  COND TARGET_NODE ") + Quoted(target));
    Line(u"  {");
    Line(u"    SSL \"default\" VAR_PARAM \"\" EVAL -1 VALUE_TO_CHECK \"\" INI_INDEX 0 LINK 0");
    Line(u"  }");
    Line(u"};");
    EmptyLine();
}

void TFMFExporter::WriteDescription()
{
    // The NPC name, the script name and float IDs are escaped like every
    // other quoted value: a quote in a nickname would otherwise end the
    // value early and lose the rest of it.
    Line(QStringLiteral("NPCNAME ") + Quoted(FProject->NPCName()));
    Line(QStringLiteral("LOCATION ") + Quoted(FProject->NPCScript()));
    Line(QStringLiteral("DESCRIPTION ") + Quoted(FProject->Description()));
    Line(u"UNKNOWN_DESC \"\"");
    Line(u"KNOWN_DESC \"\"");
    Line(u"DETAILED_DESC \"\"");
    EmptyLine();
}

void TFMFExporter::WriteFloatMessages()
{
    for (const auto& message : FProject->FloatMessages()) {
        const QString text = Quoted(message->Text);
        Line(QStringLiteral("FLOATNODE ") + Quoted(message->ID));
        Line(QStringLiteral("  NOTES ") + text);
        Line(u"  {");
        Line(QStringLiteral("    ") + text);
        Line(u"  }");
        EmptyLine();
    }
}

void TFMFExporter::WriteNode(const TDialogueNode& node, const QString& name)
{
    Line(QStringLiteral("NODE ") + Q + name + Q);
    Line(QStringLiteral("  NOTES ") + Quoted(node.Notes()));
    Line(u"  IS_WTG = false");
    Line(u"{");
    Line(QStringLiteral("  NPCTEXT ") + Quoted(node.Text()));
    WriteScripts(node);
    WriteSkillChecks(node, name);
    WriteOptions(node, name);
    Line(u"}");
    EmptyLine();
}

void TFMFExporter::WriteScripts(const TDialogueNode& node)
{
    for (const auto& script : node.Scripts()) {
        if (script->ScriptCode.trimmed().isEmpty())
            continue;
        QStringList pieces = script->ScriptCode.split(QLatin1String("\r\n"), Qt::SkipEmptyParts);
        Line(u"  INSERT_CUSTOM_CODE {");
        for (qsizetype i = 0; i < pieces.size(); ++i)
            Line(QStringLiteral("    ") + Quoted(pieces[i]) + (i + 1 < pieces.size() ? QStringLiteral(",") : QString()));
        Line(u"  }");
    }
}

void TFMFExporter::WriteSkillChecks(const TDialogueNode& node, const QString& name)
{
    bool first = true;
    int index = 0;
    for (const auto& option : node.PlayerOptions()) {
        const int i = index++;
        if (!option->HasSkillCheck)
            continue;
        if (first)
            Line(QStringLiteral("  /* Skill checks for node ") + name + QStringLiteral(" */"));
        first = false;
        const TSkillCheck& check = option->SkillCheck;
        Line(QStringLiteral("  DEFINE_SKILL_CHECK SkillCheck_%1_%2 {").arg(i).arg(name));
        Line(QStringLiteral("    SKILL_NUM = %1;").arg(int(check.Skill)));
        Line(QStringLiteral("    DIFFICULTY_MODIFIER = %1;").arg(check.Difficulty));
        if (!check.SuccessNodeID.isEmpty())
            Line(QStringLiteral("    ONSUCCESS => ") + NameOf(check.SuccessNodeID) + QLatin1Char(';'));
        if (!check.FailureNodeID.isEmpty())
            Line(QStringLiteral("    ONFAILURE => ") + NameOf(check.FailureNodeID) + QLatin1Char(';'));
        Line(u"  }");
        EmptyLine();
    }
}

void TFMFExporter::WriteOptions(const TDialogueNode& node, const QString& name)
{
    Line(u"  OPTIONS {");
    int index = 0;
    for (const auto& option : node.PlayerOptions()) {
        const int i = index++;
        QString line = QStringLiteral("    INT=") + QString::number(i + 1);
        if (option->HasSkillCheck)
            line += QLatin1String(" LINKFLAGS SKILL_CHECK");
        line += option->IsHidden ? QLatin1String(" REACTION=REACTION_BAD") : QLatin1String(" REACTION=REACTION_NEUTRAL");
        line += QLatin1String(" PLAYERTEXT ") + Quoted(option->Text);
        const QString target = option->HasSkillCheck ? QStringLiteral("SkillCheck_%1_%2").arg(i).arg(name)
                                                     : NameOf(option->TargetNodeID);
        line += QLatin1String(" LINKTO ") + Quoted(target);
        if (!option->Conditions.isEmpty()) {
            line += QLatin1String(" CONDITIONS {");
            for (qsizetype c = 0; c < option->Conditions.size(); ++c) {
                if (c > 0)
                    line += QLatin1String(", ");
                line += ConditionClause(option->Conditions[c], c + 1 == option->Conditions.size());
            }
            line += QLatin1String(" }");
        }
        line += QLatin1String(" NOTES \"\"");
        Line(line);
    }
    Line(u"  }");
}

QString TFMFExporter::ConditionClause(const TCondition& condition, bool last) const
{
    const QLatin1String word(FMFText::ConditionTypeWord(condition.CondType));
    const QString value = FMFText::IsBareConditionValue(condition.Value) ? condition.Value
                                                                          : Quoted(condition.Value);
    QString clause = word;
    if (condition.CondType == ctRandom)
        clause += QLatin1Char(' ') + Quoted(value);
    else if (!condition.Variable.isEmpty())
        clause += QLatin1Char(' ') + condition.Variable + QLatin1Char(' ') + QLatin1String(OperatorText(condition.Operator))
            + QLatin1Char(' ') + value;
    else
        clause += QLatin1Char(' ') + QLatin1String(OperatorText(condition.Operator)) + QLatin1Char(' ') + value;
    clause += last ? QLatin1String(" LINK_NEXT NONE") : QLatin1String(" LINK_NEXT AND");
    return clause;
}
