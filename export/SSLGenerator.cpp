#include "export/SSLGenerator.h"

namespace {

const int LabelLength = 16;

const QLatin1String CRLF("\r\n");

// Names from the display tables; a value outside them (only possible from a
// hand-edited file) gets the first entry instead of reading past the table.
template <int N>
QString TableName(const char* const (&table)[N], int value)
{
    return QString::fromLatin1(table[value >= 0 && value < N ? value : 0]);
}

QString UpperAscii(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return out;
}

// Splits at CR LF, and at a lone CR or LF too: texts typed on other systems
// carry those, and each piece must become a line of its own.
QStringList SplitLines(const QString& text)
{
    QStringList pieces;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        pieces.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    pieces.append(text.mid(start));
    return pieces;
}

// Text copied into a "// " comment: a line break would end the comment and
// leave the rest as script code, so each further line is a comment too.
QString LineComment(const QString& prefix, const QString& text)
{
    return prefix + SplitLines(text).join(QLatin1String("\r\n// "));
}

// Text copied into a "(* ... *)" header: kept on its one line, and a "*)"
// inside it must not close the comment early.
QString BlockCommentText(const QString& text)
{
    QString out = SplitLines(text).join(QLatin1Char(' '));
    out.replace(QLatin1String("*)"), QLatin1String("* )"));
    return out;
}

// A label is an identifier: "-" and anything else that cannot stand in one
// (blanks, line breaks, punctuation from hand-edited or imported IDs) is "_".
bool IsLabelChar(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_';
}

void AddLine(QString& block, const QString& line)
{
    block += line;
    block += CRLF;
}

QString NodeLabelLine(const QString& label)
{
    return QStringLiteral("node_") + label;
}

} // namespace

// ---------------------------------------------------------------------------

TSSLLabelTable::TSSLLabelTable(const TDialogueProject& project)
{
    const TDialogueNodeList& nodes = project.Nodes();
    FPlainLabels.reserve(qsizetype(nodes.size()));
    for (const auto& node : nodes)
        FPlainLabels.insert(TSSLGenerator::SanitizeId(node->ID()));

    FTaken.reserve(qsizetype(nodes.size()));
    FLabelOfId.reserve(qsizetype(nodes.size()));
    FNodeLabels.reserve(qsizetype(nodes.size()));
    for (const auto& node : nodes) {
        const QString plain = TSSLGenerator::SanitizeId(node->ID());
        const bool firstOfId = !FLabelOfId.contains(node->ID());
        QString label = plain;
        if (!firstOfId || FTaken.contains(plain)) {
            label = UniqueVariant(plain);
            FRenamed.append(QStringLiteral("Node ID \"%1\" would share the label node_%2 with another node; "
                                           "its block is labelled node_%3")
                                .arg(node->ID(), plain, label));
        }
        FTaken.insert(label);
        FNodeLabels.insert(node.get(), label);
        if (firstOfId)
            FLabelOfId.insert(node->ID(), label);
    }
}

QString TSSLLabelTable::UniqueVariant(const QString& base)
{
    if (!FTaken.contains(base) && !FPlainLabels.contains(base))
        return base;
    for (int n = 2;; ++n) {
        const QString suffix = QLatin1Char('_') + QString::number(n);
        const QString candidate = base.left(LabelLength - suffix.size()) + suffix;
        if (!FTaken.contains(candidate) && !FPlainLabels.contains(candidate))
            return candidate;
    }
}

QString TSSLLabelTable::JumpLabel(const QString& id)
{
    const auto it = FLabelOfId.constFind(id);
    if (it != FLabelOfId.constEnd())
        return it.value();
    const QString label = UniqueVariant(TSSLGenerator::SanitizeId(id));
    FTaken.insert(label);
    FLabelOfId.insert(id, label);
    return label;
}

// ---------------------------------------------------------------------------

TSSLGenerator::TSSLGenerator(const TDialogueProject& project) : FProject(project), FLabels(project) {}

QString TSSLGenerator::SanitizeId(const QString& id)
{
    QString out;
    out.reserve(LabelLength);
    for (const QChar c : id) {
        if (c == QLatin1Char('{') || c == QLatin1Char('}'))
            continue;
        out += IsLabelChar(c) ? c : QLatin1Char('_');
        if (out.size() == LabelLength)
            break;
    }
    return out;
}

QString TSSLGenerator::ConditionToSSL(const TCondition& c)
{
    const QString& v = c.Variable;
    const QString compare = QLatin1Char(' ') + TableName(OperatorSymbols, c.Operator) + QLatin1Char(' ') + c.Value;
    switch (c.CondType) {
    case ctSkillCheck: return QStringLiteral("  has_skill(dude, SKILL_") + UpperAscii(v) + QLatin1Char(')');
    case ctStatCheck: return QStringLiteral("  stat_level(dude, ") + v + QLatin1Char(')') + compare;
    case ctReputation: return QStringLiteral("  reputation(dude)") + compare;
    case ctKarma: return QStringLiteral("  karma_level(dude)") + compare;
    case ctGlobalVar: return QStringLiteral("  global_var(") + v + QLatin1Char(')') + compare;
    case ctLocalVar: return QStringLiteral("  local_var(") + v + QLatin1Char(')') + compare;
    case ctQuestFlag: return QStringLiteral("  quest_state(") + v + QLatin1Char(')') + compare;
    case ctInventory: return QStringLiteral("  obj_is_carrying_obj(dude, ") + v + QLatin1Char(')') + compare;
    case ctTimeOfDay: return QStringLiteral("  game_time_hour") + compare;
    case ctCompanion: return QStringLiteral("  is_success(") + v + QLatin1Char(')');
    case ctRandom: return QStringLiteral("  random(100) < ") + c.Value;
    }
    // Only a hand-edited file gets here; an always-true test keeps the
    // script's shape.
    return QStringLiteral("  true");
}

QString TSSLGenerator::BuildNodeProcedure(const TDialogueNode& node)
{
    const QString label = FLabels.NodeLabel(&node);
    QString block;
    QString header = QStringLiteral("(* NODE: ") + TableName(NodeTypeNames, node.NodeType());
    if (!node.Speaker().isEmpty())
        header += QStringLiteral("  Speaker: ") + BlockCommentText(node.Speaker());
    AddLine(block, header + QStringLiteral(" *)"));
    AddLine(block, NodeLabelLine(label) + QLatin1Char(':'));
    AddLine(block, QStringLiteral("begin"));
    if (!node.Conditions().isEmpty()) {
        AddLine(block, QStringLiteral("  (* Conditions *)"));
        for (const TCondition& c : node.Conditions())
            AddLine(block, ConditionToSSL(c) + QLatin1Char(';'));
    }
    AppendBody(block, node, label);
    if (!node.NextNodeID().isEmpty())
        AddLine(block, QStringLiteral("  goto node_") + FLabels.JumpLabel(node.NextNodeID()) + QLatin1Char(';'));
    AddLine(block, QStringLiteral("end;"));
    AddLine(block, QString());
    return block;
}

void TSSLGenerator::AppendBody(QString& block, const TDialogueNode& node, const QString& label)
{
    const TPlayerOptionList& options = node.PlayerOptions();
    const QString textName = NodeLabelLine(label) + QStringLiteral("_text");
    switch (node.NodeType()) {
    case ntNPCDialogue:
        AddLine(block, QStringLiteral("  display_msg(") + QString::number(node.Text().size()) + QStringLiteral(");"));
        AddLine(block, QStringLiteral("  reply_msg(") + textName + QStringLiteral(");"));
        break;
    case ntPlayerReply:
        AddLine(block, QStringLiteral("  reply_msg(") + textName + QStringLiteral(");"));
        for (size_t i = 0; i < options.size(); ++i) {
            const TPlayerOption& o = *options[i];
            const QString index = QString::number(i);
            QString line = QStringLiteral("  Option(") + index + QStringLiteral(", ") + NodeLabelLine(label)
                + QStringLiteral("_opt") + index + QStringLiteral("_text");
            if (o.HasSkillCheck)
                line += QStringLiteral(", ") + TableName(SkillNames, o.SkillCheck.Skill);
            AddLine(block, line + QStringLiteral(");"));
            if (!o.HasSkillCheck)
                continue;
            if (!o.SkillCheck.SuccessNodeID.isEmpty())
                AddLine(block, QStringLiteral("      goto_node_") + FLabels.JumpLabel(o.SkillCheck.SuccessNodeID)
                                   + QLatin1Char(';'));
            if (!o.SkillCheck.FailureNodeID.isEmpty())
                AddLine(block, QStringLiteral("      goto_node_") + FLabels.JumpLabel(o.SkillCheck.FailureNodeID)
                                   + QLatin1Char(';'));
        }
        break;
    case ntConditional:
        AppendConditionalBody(block, node);
        break;
    case ntRandom:
        if (options.empty())
            break;
        AddLine(block, QStringLiteral("  (* Random branch *)"));
        for (size_t i = 0; i < options.size(); ++i)
            AddLine(block, QStringLiteral("  if random(") + QString::number(options.size()) + QStringLiteral(") = ")
                               + QString::number(i) + QStringLiteral(" then goto_node_")
                               + FLabels.JumpLabel(options[i]->TargetNodeID) + QLatin1Char(';'));
        break;
    case ntScript:
        for (const auto& script : node.Scripts()) {
            if (!script->IsEnabled || script->ScriptCode.trimmed().isEmpty())
                continue;
            AddLine(block, QStringLiteral("  (* Event: ") + TableName(ScriptEventIdentifiers, script->EventType)
                               + QStringLiteral(" *)"));
            for (const QString& piece : SplitLines(script->ScriptCode))
                AddLine(block, QStringLiteral("  ") + piece);
        }
        break;
    case ntCombatTrigger:
        AddLine(block, QStringLiteral("  attack_complex(self, 8, 0, -1, -1, 0, 0);"));
        break;
    case ntQuestUpdate:
        AddLine(block, QStringLiteral("  (* Quest update *)"));
        if (!node.QuestID().isEmpty()) {
            const QString flag = node.QuestFlag().isEmpty() ? QStringLiteral("1") : node.QuestFlag();
            AddLine(block, QStringLiteral("  set_quest_state(QUEST_") + UpperAscii(node.QuestID())
                               + QStringLiteral(", ") + flag + QStringLiteral(");"));
        }
        break;
    case ntTrade:
        AddLine(block, QStringLiteral("  (* Trade screen *)"));
        AddLine(block, QStringLiteral("  start_gdialog(self, BARTER_SCRIPT, BARTER_BARTER, -1, -1);"));
        break;
    case ntEndDialogue:
        AddLine(block, QStringLiteral("  (* End dialogue *)"));
        break;
    case ntComment:
        break;
    }
}

void TSSLGenerator::AppendConditionalBody(QString& block, const TDialogueNode& node)
{
    const TPlayerOptionList& options = node.PlayerOptions();
    for (size_t i = 0; i < options.size(); ++i) {
        const TPlayerOption& o = *options[i];
        // An option without a condition is the branch that is always taken.
        QString test = QStringLiteral("  true");
        if (!o.Conditions.isEmpty()) {
            test = ConditionToSSL(o.Conditions.first());
        } else {
            FWarnings.append(QStringLiteral("Conditional node \"%1\" option %2 has no condition; "
                                            "it is written as always taken")
                                 .arg(node.ID(), QString::number(i)));
        }
        AddLine(block, QStringLiteral("  if ") + test + QStringLiteral(" then begin"));
        if (!o.TargetNodeID.isEmpty())
            AddLine(block, QStringLiteral("    goto_node_") + FLabels.JumpLabel(o.TargetNodeID) + QLatin1Char(';'));
        AddLine(block, QStringLiteral("  end;"));
    }
}

QStringList TSSLGenerator::BuildSSLScript()
{
    FWarnings = FLabels.Renamed();
    QStringList lines;
    lines.reserve(16 + qsizetype(FProject.Nodes().size()) + qsizetype(FProject.FloatMessages().size()));
    lines << QStringLiteral("/* ============================================================\r\n"
                            " * Tallowin - Auto-generated SSL Script\r\n"
                            " * DO NOT EDIT MANUALLY - regenerate from TLW project file\r\n"
                            " * ============================================================ */\r\n")
          << QStringLiteral("procedure start begin")
          << QStringLiteral("  (* Script initialization *)")
          << QStringLiteral("end")
          << QString()
          << QStringLiteral("procedure talk begin")
          << QStringLiteral("  if (dialogue_reaction(dude_reaction_to_me) > 25) then begin");
    QString start = FProject.StartNodeID();
    if (start.isEmpty() && FProject.NodeCount() > 0)
        start = FProject.NodeAt(0)->ID();
    if (!FProject.StartNodeID().isEmpty() || FProject.NodeCount() > 0)
        lines << QStringLiteral("    goto node_") + FLabels.JumpLabel(start) + QLatin1Char(';');
    lines << QStringLiteral("  end") << QStringLiteral("end") << QString()
          << QStringLiteral("// =============== Node Definitions ===============");
    if (!FProject.StartNodeID().isEmpty())
        lines << LineComment(QStringLiteral("// START NODE: "), FProject.StartNodeID());
    for (const auto& node : FProject.Nodes())
        if (node->NodeType() != ntComment)
            lines << BuildNodeProcedure(*node);
    if (!FProject.FloatMessages().empty()) {
        lines << QStringLiteral("// =============== Float Messages ===============");
        for (const auto& message : FProject.FloatMessages())
            lines << LineComment(QStringLiteral("// Float: "), message->Text);
    }
    return lines;
}
