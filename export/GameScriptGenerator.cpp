// One allocation per joined string: these files build large texts from many pieces.
#define QT_USE_QSTRINGBUILDER

#include "export/GameScriptGenerator.h"

#include "export/GameMessageNumbering.h"
#include "export/GameScriptText.h"
#include "model/TextEncoding.h"

#include <QSet>

namespace {

constexpr int GamesLowIQ = -3;   // the idiom's LOW_IQ: the ...LowOption calls
const char* const Indent = "   ";

QString ReactionPrefix(TReaction r)
{
    switch (r) {
    case rcGood: return QStringLiteral("G");
    case rcBad: return QStringLiteral("B");
    default: return QStringLiteral("N");
    }
}

QString ReactionConstant(TReaction r)
{
    switch (r) {
    case rcGood: return QStringLiteral("GOOD_REACTION");
    case rcBad: return QStringLiteral("BAD_REACTION");
    default: return QStringLiteral("NEUTRAL_REACTION");
    }
}

bool HasCode(const QString& code)
{
    return !GameScriptText::IsBlank(code);
}

bool KeepsBarter(const TDialogueNode& node)
{
    for (const auto& s : node.Scripts())
        if (s->IsEnabled && (s->ScriptCode.contains(QLatin1String("gdialog_mod_barter"), Qt::CaseInsensitive)
                             || s->ScriptCode.contains(QLatin1String("gdialog_barter"), Qt::CaseInsensitive)))
            return true;
    return false;
}

} // namespace

TGameScriptGenerator::TGameScriptGenerator(const TDialogueProject& project)
    : FProject(project), FFramed(!project.GameScript().Parts.isEmpty()), FConditions(project, FWarnings)
{
}

QString TGameScriptGenerator::ScriptName(const TDialogueProject& project)
{
    QString raw = project.NPCScript().trimmed();
    if (raw.endsWith(QLatin1String(".ssl"), Qt::CaseInsensitive) || raw.endsWith(QLatin1String(".int"), Qt::CaseInsensitive))
        raw.chop(4);
    if (raw.isEmpty())
        raw = project.Name().trimmed();
    QString name;
    for (const QChar c : raw.toLower())
        name += (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                ? c : QLatin1Char('_');
    name = name.left(GameIdentifiers::MaxLength);
    return name.isEmpty() ? QStringLiteral("dialogue") : name;
}

bool TGameScriptGenerator::HasOwnProcedure(const TDialogueNode& node) const
{
    // An end node with nothing to say is the dialogue's end itself.
    if (node.NodeType() == ntComment)
        return false;
    // A script's own ending procedure keeps its place and its kept statements.
    if (FFramed && GameIdentifiers::IsValid(node.ProcedureName()))
        return true;
    return node.NodeType() != ntEndDialogue || TGameMessageNumbering::NodeTextIsMessage(node);
}

// ---------------------------------------------------------------------------

void TGameScriptGenerator::NameProcedures()
{
    // A script read back keeps its own names: the sink takes what is left.
    if (!FFramed)
        FSink = FNames.Claim(QStringLiteral("Node999"));
    int combat = 0;
    for (const auto& nodePtr : FProject.Nodes()) {
        const TDialogueNode& node = *nodePtr;
        if (!HasOwnProcedure(node))
            continue;
        const QString& wanted = node.ProcedureName();
        QString base;
        if (GameIdentifiers::IsValid(wanted))
            base = wanted;
        else if (GameIdentifiers::IsValid(node.ID()) && node.ID().size() <= GameIdentifiers::MaxLength)
            base = node.ID();
        else
            base = GameIdentifiers::MadeSafe(node.ID());
        const QString name = FNames.Claim(base);
        if (!wanted.isEmpty() && name != wanted)
            FWarnings << TGameWhere(node).Text() + QStringLiteral(": procedure name \"%1\" is not a valid unused name; "
                                                          "the procedure is called %2").arg(wanted.left(60), name);
        FNodeProcedures.insert(&node, name);
        // A script read back decides on combat in its own procedures.
        if (node.NodeType() == ntCombatTrigger && !FFramed)
            FCombatIndex.insert(&node, ++combat);
    }
    if (FFramed) {
        // Its empty ending procedure, when it has one, ends the dialogue.
        for (const auto& nodePtr : FProject.Nodes()) {
            const TDialogueNode& node = *nodePtr;
            if (node.NodeType() == ntEndDialogue && FNodeProcedures.contains(&node) && node.Scripts().empty()
                && !TGameMessageNumbering::NodeTextIsMessage(node)) {
                FSink = FNodeProcedures.value(&node);
                break;
            }
        }
        if (FSink.isEmpty())
            FSink = FNames.Claim(QStringLiteral("Node999"));
    }
    // Options that run code or roll a skill first lead to a procedure of
    // their own that does so and then goes on.
    for (const auto& nodePtr : FProject.Nodes()) {
        const TDialogueNode& node = *nodePtr;
        if (!FNodeProcedures.contains(&node) || !TGameMessageNumbering::OptionsAreMessages(node))
            continue;
        const TPlayerOptionList& options = node.PlayerOptions();
        for (size_t i = 0; i < options.size(); ++i)
            if ((options[i]->HasSkillCheck || HasCode(options[i]->ScriptOnSelect))
                && !TGameMessageNumbering::IsBareRoll(FProject, node, *options[i]))
                FOptionProcedures.insert(options[i].get(),
                                         FNames.Claim(FNodeProcedures.value(&node) % QLatin1String("_Option") % QString::number(i + 1)));
    }

    // The order Build defines them in, so the declarations can be written first.
    FProcedureOrder << QStringLiteral("start") << QStringLiteral("talk_p_proc");
    if (!FCombatIndex.isEmpty())
        FProcedureOrder << QStringLiteral("critter_p_proc");
    for (const auto& nodePtr : FProject.Nodes()) {
        const auto it = FNodeProcedures.constFind(nodePtr.get());
        if (it == FNodeProcedures.constEnd())
            continue;
        FProcedureOrder << it.value();
        for (const auto& option : nodePtr->PlayerOptions()) {
            const auto o = FOptionProcedures.constFind(option.get());
            if (o != FOptionProcedures.constEnd())
                FProcedureOrder << o.value();
        }
    }
    if (!FProcedureOrder.contains(FSink))
        FProcedureOrder << FSink;
}

void TGameScriptGenerator::WriteGlobals(QString& out)
{
    const QMap<QString, QString>& vars = FProject.GlobalVars();
    bool any = false;
    for (auto it = vars.cbegin(); it != vars.cend(); ++it) {
        const QString name = it.key();
        const QString value = it.value().trimmed();
        QString why;
        if (!GameIdentifiers::IsValid(name))
            why = QStringLiteral("its name is not a valid name");
        else if (GameIdentifiers::IsReserved(name))
            why = QStringLiteral("its name is one the script uses itself");
        else if (!GameIdentifiers::IsNumber(value))
            why = QStringLiteral("its value \"%1\" is not a number").arg(GameScriptText::OneLine(value.left(40)));
        // Number 0 is the player's karma; a 0 here is far more likely the
        // starting value the preview reads from the same table.
        else if (value.toInt() < 1)
            why = QStringLiteral("its value %1 is no global variable number of its own").arg(value);
        if (!why.isEmpty()) {
            FWarnings << QStringLiteral("Global variable \"%1\" is not written: ").arg(GameScriptText::OneLine(name.left(60)))
                             + why;
            continue;
        }
        // The mod's own headers win over the project's table.
        if (!any)
            out += QLatin1String("\r\n");
        any = true;
        out += QStringLiteral("#ifndef %1\r\n%2#define %1 (%3)\r\n#endif\r\n").arg(name, QLatin1String(Indent), value);
        FNames.Take(name);
    }
}

QString TGameScriptGenerator::Resolve(const QString& id, const TGameWhere& where)
{
    if (id.isEmpty())
        return FSink;
    return ResolveNode(FProject.FindNode(id), id, where);
}

QString TGameScriptGenerator::ResolveNode(const TDialogueNode* node, const QString& id, const TGameWhere& where)
{
    // A comment node passes on to its next node, as in the preview.
    QSet<const TDialogueNode*> seen;
    while (node && node->NodeType() == ntComment) {
        if (seen.contains(node)) {
            FWarnings << where.Text() + QStringLiteral(": the comment nodes after it link in a circle; the link ends the dialogue");
            return FSink;
        }
        seen.insert(node);
        if (node->NextNodeID().isEmpty())
            return FSink;
        node = FProject.FindNode(node->NextNodeID());
    }
    if (!node) {
        FWarnings << where.Text() + QStringLiteral(": links to missing node %1; the link ends the dialogue")
                                 .arg(GameScriptText::OneLine(id.left(40)));
        return FSink;
    }
    return FNodeProcedures.value(node, FSink);
}

QString TGameScriptGenerator::Message(qint32 number, const QString& text, const TGameWhere& where, const QString& what)
{
    if (number <= 0) {
        FWarnings << where.Text() + QStringLiteral(": %1 has no message number and is left out").arg(what);
        return QString();
    }
    FMessageFile.Add(number, text, where);
    return QString::number(number);
}

// ---------------------------------------------------------------------------

template <class T> void TGameScriptGenerator::Line(int depth, const T& text)
{
    for (int i = 0; i < depth; ++i)
        FScript += QLatin1String(Indent);
    FScript += text;
    FScript += QLatin1String("\r\n");
}

void TGameScriptGenerator::BeginProcedure(const QString& name)
{
    FScript += QLatin1String("\r\n");
    Line(0, QStringLiteral("procedure ") + name + QStringLiteral(" begin"));
}

void TGameScriptGenerator::EndProcedure()
{
    Line(0, QStringLiteral("end"));
}

void TGameScriptGenerator::WriteTalk(const QString& name)
{
    BeginProcedure(QStringLiteral("talk_p_proc"));
    Line(1, QStringLiteral("start_gdialog(NAME, self_obj, 4, -1, -1);"));
    Line(1, QStringLiteral("gSay_Start;"));
    Line(1, QStringLiteral("call ") + name + QLatin1Char(';'));
    Line(1, QStringLiteral("gSay_End;"));
    Line(1, QStringLiteral("end_dialogue;"));
    EndProcedure();
}

void TGameScriptGenerator::WriteCritter()
{
    // Combat cannot start inside the dialogue window: a combat node marks
    // the NPC hostile, and its next heartbeat after the dialogue attacks.
    BeginProcedure(QStringLiteral("critter_p_proc"));
    Line(1, QStringLiteral("if (tlw_hostile) then begin"));
    for (const auto& nodePtr : FProject.Nodes()) {
        const TDialogueNode& node = *nodePtr;
        const int index = FCombatIndex.value(&node);
        if (index == 0 || !HasCode(node.CombatScript()))
            continue;
        Line(2, QLatin1String("if (tlw_hostile == ") % QString::number(index) % QLatin1String(") then begin"));
        WriteCode(node.CombatScript(), 3, TGameWhere(node), QStringLiteral("combat script"));
        Line(2, QStringLiteral("end"));
    }
    Line(2, QStringLiteral("tlw_hostile := 0;"));
    Line(2, QStringLiteral("attack_complex(dude_obj, 0, 1, 0, 0, 30000, 0, 0);"));
    Line(1, QStringLiteral("end"));
    EndProcedure();
}

void TGameScriptGenerator::WriteComment(const TDialogueNode& node)
{
    FScript += QLatin1String("\r\n");
    Line(0, QStringLiteral("// ") + GameScriptText::CommentText(TGameWhere(node).Text()) + QStringLiteral(" (comment)"));
    for (const QString& line : GameScriptText::Lines(node.Text()))
        Line(0, line.isEmpty() ? QStringLiteral("//") : QStringLiteral("// ") + GameScriptText::CommentText(line));
}

void TGameScriptGenerator::WriteCode(const QString& code, int depth, const TGameWhere& where, const QString& what)
{
    QString why;
    const bool usable = GameScriptText::IsSelfContainedCode(code, &why);
    if (!usable)
        FWarnings << where.Text() + QStringLiteral(": the %1 cannot be used (%2); written as a comment").arg(what, why);
    for (const QString& line : GameScriptText::Lines(code)) {
        if (usable)
            Line(line.isEmpty() ? 0 : depth, line);
        else
            Line(depth, QStringLiteral("// ") + GameScriptText::CommentText(line));
    }
}

void TGameScriptGenerator::WriteQuest(const TDialogueNode& node, int depth)
{
    const TGameWhere where(node);
    const QString var = FConditions.NameOrNumber(node.QuestID(), QStringLiteral("quest variable"), where);
    if (var.isEmpty())
        return;
    // As in the preview, a flag that is not a number counts as 1; a name is
    // taken as the writer's own constant.
    QString value = node.QuestFlag().trimmed();
    if (value.isEmpty())
        value = QStringLiteral("1");
    else if (!GameIdentifiers::IsNumber(value)) {
        value = FConditions.NameOrNumber(value, QStringLiteral("quest flag"), where);
        if (value.isEmpty())
            value = QStringLiteral("1");
    }
    Line(depth, QLatin1String("set_global_var(") % var % QLatin1String(", ") % value % QLatin1String(");"));
}

void TGameScriptGenerator::WriteNode(const TDialogueNode& node, bool withOptionProcedures)
{
    if (node.NodeType() == ntComment) {
        WriteComment(node);
        return;
    }
    if (!HasOwnProcedure(node))
        return;
    BeginProcedure(FNodeProcedures.value(&node));
    if (node.NodeType() == ntConditional) {
        WriteConditional(node, 1);
    } else {
        const QString guard = FConditions.NodeConditions(node.Conditions(), TGameWhere(node));
        const int depth = guard.isEmpty() ? 1 : 2;
        if (!guard.isEmpty())
            Line(1, QStringLiteral("if (") + guard + QStringLiteral(") then begin"));
        if (node.NodeType() == ntRandom)
            WriteRandom(node, depth);
        else
            WriteSpokenBody(node, depth);
        if (!guard.isEmpty())
            Line(1, QStringLiteral("end"));
    }
    EndProcedure();
    if (withOptionProcedures)
        WriteOptionProcedures(node);
}

void TGameScriptGenerator::WriteOptionProcedures(const TDialogueNode& node)
{
    const TPlayerOptionList& options = node.PlayerOptions();
    for (size_t i = 0; i < options.size(); ++i)
        if (FOptionProcedures.contains(options[i].get()))
            WriteOptionProcedure(node, i);
}

void TGameScriptGenerator::WriteSpokenBody(const TDialogueNode& node, int depth)
{
    const TGameWhere where(node);
    const TNodeType type = node.NodeType();
    const bool hasOptions = TGameMessageNumbering::OptionsAreMessages(node) && !node.PlayerOptions().empty();
    const QString barter = QStringLiteral("gdialog_mod_barter(0);");
    // A script read back keeps its own barter call among the node's statements.
    const bool writeBarter = type == ntTrade && !(FFramed && KeepsBarter(node));

    if (writeBarter && hasOptions)
        Line(depth, barter);
    if (TGameMessageNumbering::NodeTextIsMessage(node)) {
        const QString n = Message(node.MsgNumber(), node.Text(), where, QStringLiteral("text"));
        if (!n.isEmpty()) {
            if (type == ntCombatTrigger)
                Line(depth, QStringLiteral("floater(") + n + QStringLiteral(");"));
            else if (type == ntQuestUpdate)
                Line(depth, QStringLiteral("display_mstr(") + n + QStringLiteral(");"));
            else if (hasOptions)
                Line(depth, QStringLiteral("Reply(") + n + QStringLiteral(");"));
            else
                Line(depth, QStringLiteral("NMessage(") + n + QStringLiteral(");"));
        }
    }
    if (writeBarter && !hasOptions)
        Line(depth, barter);
    if (!GameScriptText::IsBlank(node.QuestID()))
        WriteQuest(node, depth);
    // A script read back keeps the statements of every node there.
    if (type == ntScript || FFramed) {
        for (const auto& s : node.Scripts()) {
            if (!s->IsEnabled || !HasCode(s->ScriptCode))
                continue;
            const int event = int(s->EventType) < ScriptEventCount ? int(s->EventType) : 0;
            if (!FFramed || s->EventType != seOnNodeEnter)
                Line(depth, QStringLiteral("// ") + QLatin1String(ScriptEventIdentifiers[event]));
            WriteCode(s->ScriptCode, depth, where, QStringLiteral("script code"));
        }
    }
    if (type == ntCombatTrigger && FFramed && node.Scripts().empty())
        FWarnings << where.Text() + QStringLiteral(": the script's own procedures decide on combat; "
                                                    "the combat node without statements of its own starts none");
    else if (type == ntCombatTrigger && !FFramed)
        Line(depth, QLatin1String("tlw_hostile := ") % QString::number(FCombatIndex.value(&node)) % QLatin1Char(';'));
    if (hasOptions) {
        for (size_t i = 0; i < node.PlayerOptions().size(); ++i)
            WriteOption(node, i, depth);
    }
    // As in the preview, a node's options lead on when it has any; its
    // next link only when it has none.
    if (type != ntEndDialogue && !hasOptions && !node.NextNodeID().isEmpty())
        Line(depth, QStringLiteral("call ") + Resolve(node.NextNodeID(), where) + QLatin1Char(';'));
}

void TGameScriptGenerator::WriteConditional(const TDialogueNode& node, int depth)
{
    // The branches in order, then the fallback: the node's own conditions
    // lead to its next node, each option's conditions to its target, and
    // the first option without conditions (else the next link, else the
    // end) is taken when nothing holds.
    const TGameWhere where(node);
    QVector<QPair<QString, QString>> branches;
    QString fallback;
    const QString nodeCondition = FConditions.NodeConditions(node.Conditions(), where);
    if (!nodeCondition.isEmpty() && !node.NextNodeID().isEmpty())
        branches.append({ nodeCondition, Resolve(node.NextNodeID(), where) });
    const TPlayerOptionList& options = node.PlayerOptions();
    for (size_t i = 0; i < options.size(); ++i) {
        const TPlayerOption& option = *options[i];
        const TGameWhere optionWhere(node, int(i));
        if (option.HasSkillCheck || HasCode(option.ScriptOnSelect))
            FWarnings << optionWhere.Text()
                    + QStringLiteral(": a branch of a conditional node rolls no skill check and runs no code of its own");
        const QString condition = FConditions.OptionRequirements(option, optionWhere);
        const QString target = Resolve(option.TargetNodeID, optionWhere);
        if (!condition.isEmpty())
            branches.append({ condition, target });
        else if (fallback.isEmpty())
            fallback = target;
        else
            FWarnings << optionWhere.Text() + QStringLiteral(": a second branch without conditions is never taken");
    }
    if (fallback.isEmpty())
        fallback = nodeCondition.isEmpty() && !node.NextNodeID().isEmpty() ? Resolve(node.NextNodeID(), where) : FSink;

    for (int b = 0; b < branches.size(); ++b) {
        Line(depth, (b == 0 ? QStringLiteral("if (") : QStringLiteral("else if (")) + branches[b].first
                        + QStringLiteral(") then begin"));
        Line(depth + 1, QStringLiteral("call ") + branches[b].second + QLatin1Char(';'));
        Line(depth, QStringLiteral("end"));
    }
    if (branches.isEmpty()) {
        Line(depth, QStringLiteral("call ") + fallback + QLatin1Char(';'));
        return;
    }
    Line(depth, QStringLiteral("else begin"));
    Line(depth + 1, QStringLiteral("call ") + fallback + QLatin1Char(';'));
    Line(depth, QStringLiteral("end"));
}

void TGameScriptGenerator::WriteRandom(const TDialogueNode& node, int depth)
{
    // Each branch is taken with the weight of the node it leads to. Testing
    // branch k against what is left of the total after the earlier ones
    // gives every branch its share without a variable.
    struct TBranch { QString Target; qint64 Weight; };
    QVector<TBranch> branches;
    const TPlayerOptionList& options = node.PlayerOptions();
    for (size_t i = 0; i < options.size(); ++i) {
        const TPlayerOption& option = *options[i];
        const TGameWhere optionWhere(node, int(i));
        if (!option.Conditions.isEmpty() || HasCode(option.Guard) || option.HasSkillCheck || HasCode(option.ScriptOnSelect))
            FWarnings << optionWhere.Text()
                    + QStringLiteral(": conditions, skill checks and code of a random branch are not used");
        const TDialogueNode* target = FProject.FindNode(option.TargetNodeID);
        branches.append({ Resolve(option.TargetNodeID, optionWhere), target ? qMax(0, target->RandomWeight()) : 1 });
    }
    qint64 total = 0;
    for (const TBranch& b : branches)
        total += b.Weight;
    if (total == 0) {
        for (TBranch& b : branches)
            b.Weight = 1;
        total = branches.size();
    }
    branches.erase(std::remove_if(branches.begin(), branches.end(), [](const TBranch& b) { return b.Weight == 0; }),
                   branches.end());
    if (branches.isEmpty()) {
        if (!node.NextNodeID().isEmpty())
            Line(depth, QStringLiteral("call ") + Resolve(node.NextNodeID(), TGameWhere(node)) + QLatin1Char(';'));
        return;
    }
    for (int b = 0; b + 1 < branches.size(); ++b) {
        Line(depth, (b == 0 ? QStringLiteral("if (") : QStringLiteral("else if ("))
                        % QLatin1String("random(1, ") % QString::number(total) % QLatin1String(") <= ")
                        % QString::number(branches[b].Weight) % QLatin1String(") then begin"));
        Line(depth + 1, QStringLiteral("call ") + branches[b].Target + QLatin1Char(';'));
        Line(depth, QStringLiteral("end"));
        total -= branches[b].Weight;
    }
    if (branches.size() == 1) {
        Line(depth, QStringLiteral("call ") + branches[0].Target + QLatin1Char(';'));
        return;
    }
    Line(depth, QStringLiteral("else begin"));
    Line(depth + 1, QStringLiteral("call ") + branches.back().Target + QLatin1Char(';'));
    Line(depth, QStringLiteral("end"));
}

void TGameScriptGenerator::WriteOption(const TDialogueNode& node, size_t index, int depth)
{
    const TPlayerOption& option = *node.PlayerOptions()[index];
    const TGameWhere where(node, int(index));
    if (TGameMessageNumbering::IsBareRoll(FProject, node, option)) {
        WriteRoll(option, where, depth);
        return;
    }
    const QString number = Message(option.MsgNumber, option.Text, where, QStringLiteral("text"));
    if (number.isEmpty())
        return;
    if (GameScriptText::IsBlank(option.Text))
        FWarnings << where.Text() + QStringLiteral(": the option has no text");
    const QString requirements = FConditions.OptionRequirements(option, where);
    const QString target = FOptionProcedures.contains(&option) ? FOptionProcedures.value(&option)
                                                                : Resolve(option.TargetNodeID, where);
    const qint32 iq = option.IntelligenceRequired;
    QString call;
    if (iq == GamesLowIQ)
        call = ReactionPrefix(option.Reaction) % QLatin1String("LowOption(") % number % QLatin1String(", ") % target
            % QLatin1String(");");
    else if (iq < 0)
        call = QLatin1String("giq_option(") % QString::number(iq) % QLatin1String(", NAME, ") % number % QLatin1String(", ")
            % target % QLatin1String(", ") % ReactionConstant(option.Reaction) % QLatin1String(");");
    else
        call = ReactionPrefix(option.Reaction) % QLatin1String("Option(") % number % QLatin1String(", ") % target
            % QLatin1String(", ") % QString::number(iq) % QLatin1String(");");
    if (requirements.isEmpty()) {
        Line(depth, call);
        return;
    }
    Line(depth, QStringLiteral("if (") + requirements + QStringLiteral(") then begin"));
    Line(depth + 1, call);
    Line(depth, QStringLiteral("end"));
}

void TGameScriptGenerator::WriteOptionProcedure(const TDialogueNode& node, size_t index)
{
    const TPlayerOption& option = *node.PlayerOptions()[index];
    const TGameWhere where(node, int(index));
    BeginProcedure(FOptionProcedures.value(&option));
    if (HasCode(option.ScriptOnSelect))
        WriteCode(option.ScriptOnSelect, 1, where, QStringLiteral("script run on choosing it"));
    if (!option.HasSkillCheck) {
        Line(1, QStringLiteral("call ") + Resolve(option.TargetNodeID, where) + QLatin1Char(';'));
        EndProcedure();
        return;
    }
    WriteRoll(option, where, 1);
    EndProcedure();
}

void TGameScriptGenerator::WriteRoll(const TPlayerOption& option, const TGameWhere& where, int depth)
{
    const TSkillCheck& sc = option.SkillCheck;
    if (!GameScriptText::IsBlank(sc.SuccessMessage) || !GameScriptText::IsBlank(sc.FailureMessage))
        FWarnings << where.Text() + QStringLiteral(": the skill check's success and failure messages are not written; "
                                            "put them in the nodes it leads to");
    if (sc.CritSuccessBonus != 0)
        FWarnings << where.Text() + QStringLiteral(": the skill check's critical-success bonus is not written");
    // The modifier that gives the chance the editor and the preview show:
    // skill - difficulty + 50.
    const qint64 modifier = 50 - qint64(sc.Difficulty);
    const QString success = Resolve(sc.SuccessNodeID.isEmpty() ? option.TargetNodeID : sc.SuccessNodeID, where);
    const QString failure = Resolve(sc.FailureNodeID.isEmpty() ? option.TargetNodeID : sc.FailureNodeID, where);
    Line(depth, QLatin1String("if (is_success(roll_vs_skill(dude_obj, ") % GameSkillName(sc.Skill) % QLatin1String(", ")
                    % QString::number(modifier) % QLatin1String("))) then begin"));
    if (sc.XPReward > 0)
        Line(depth + 1, QLatin1String("give_exp_points(") % QString::number(sc.XPReward) % QLatin1String(");"));
    Line(depth + 1, QStringLiteral("call ") + success + QLatin1Char(';'));
    Line(depth, QStringLiteral("end"));
    Line(depth, QStringLiteral("else begin"));
    Line(depth + 1, QStringLiteral("call ") + failure + QLatin1Char(';'));
    Line(depth, QStringLiteral("end"));
}

// ---------------------------------------------------------------------------

void TGameScriptGenerator::Build()
{
    FMessageFile.Reserve(FProject.NodeCount() * 4 + int(FProject.FloatMessages().size()));
    const QString name = ScriptName(FProject);
    if (name.size() > 8)
        FWarnings << QStringLiteral("Script name %1 is longer than the 8 characters the games' script list allows").arg(name);

    QString& head = FScript;
    // Room for what nodes and options usually take, so a large script is
    // not copied as it grows; pages reserved but never written cost nothing.
    qsizetype options = 0;
    for (const auto& node : FProject.Nodes())
        options += qsizetype(node->PlayerOptions().size());
    head.reserve(4096 + FProject.NodeCount() * 256 + options * 128);
    if (FFramed) {
        NameProcedures();
        BuildFramed(StartProcedure());
        WriteMessages();
        return;
    }
    head += QStringLiteral("/* %1: dialogue script written by Tallowin.\r\n")
                .arg(GameScriptText::CommentText(FProject.Name()).replace(QLatin1String("*/"), QLatin1String("* /")));
    head += QStringLiteral("   Edit the dialogue project and export again; message numbers refer to %1.msg. */\r\n").arg(name);
    head += QStringLiteral("#define SCRIPT_REALNAME \"%1\"\r\n").arg(name);
    head += QStringLiteral("#ifdef STANDALONE\r\n"
                           "   #define NAME (900)\r\n"
                           "   #include \"dialogue_stub.h\"\r\n"
                           "#else\r\n"
                           "   #include \"../headers/define.h\"\r\n"
                           "   #define NAME SCRIPT_%1\r\n"
                           "   #include \"../headers/command.h\"\r\n"
                           "#endif\r\n").arg(name.toUpper());
    WriteGlobals(head);
    NameProcedures();

    FScript += QLatin1String("\r\n");
    for (const QString& p : FProcedureOrder)
        FScript += QLatin1String("procedure ") % p % QLatin1String(";\r\n");
    if (!FCombatIndex.isEmpty())
        FScript += QLatin1String("\r\nvariable tlw_hostile;\r\n");

    const QString start = StartProcedure();
    BeginProcedure(QStringLiteral("start"));
    EndProcedure();
    WriteTalk(start);
    if (!FCombatIndex.isEmpty())
        WriteCritter();
    for (const auto& node : FProject.Nodes())
        WriteNode(*node);
    BeginProcedure(FSink);
    EndProcedure();

    WriteMessages();
}

QString TGameScriptGenerator::StartProcedure()
{
    if (!FProject.StartNodeID().isEmpty())
        return Resolve(FProject.StartNodeID(), TGameWhere(QStringLiteral("The start node")));
    if (FProject.NodeCount() > 0) {
        FWarnings << QStringLiteral("The project has no start node; the dialogue starts at the first node");
        return ResolveNode(FProject.NodeAt(0), FProject.NodeAt(0)->ID(), TGameWhere(*FProject.NodeAt(0)));
    }
    FWarnings << QStringLiteral("The project has no nodes; the dialogue ends at once");
    return FSink;
}

void TGameScriptGenerator::WriteMessages()
{
    const TFloatMessageList& floats = FProject.FloatMessages();
    for (size_t i = 0; i < floats.size(); ++i)
        Message(floats[i]->MsgNumber, floats[i]->Text, TGameWhere(QStringLiteral("Float message %1").arg(i + 1)),
                QStringLiteral("text"));
    // The lines the script's kept text uses; the dialogue's own text wins.
    const QMap<qint32, QString>& kept = FProject.GameScript().Messages;
    if (!kept.isEmpty()) {
        const QHash<qint32, QString> used = FMessageFile.TextsByNumber();
        const TGameWhere where(QStringLiteral("The script's kept text"));
        for (auto it = kept.cbegin(); it != kept.cend(); ++it) {
            const auto u = used.constFind(it.key());
            if (u == used.constEnd())
                FMessageFile.Add(it.key(), it.value(), where);
            else if (u.value() != it.value())
                FWarnings << QStringLiteral("Message %1: the script's kept text uses it too, with another text; "
                                            "the dialogue's text is written").arg(it.key());
        }
    }
    FMessages = FMessageFile.Text(FWarnings);

    const QString lacking = TextEncoding::AnsiLacks(FScript);
    if (!lacking.isEmpty())
        FWarnings << QStringLiteral("Script: characters its code page lacks are written as \"?\": ") + lacking.left(40);
}

// ---------------------------------------------------------------------------

void TGameScriptGenerator::WriteInPlace(const TDialogueNode* node, const QString& start)
{
    const qsizetype at = FScript.size();
    if (node)
        WriteNode(*node, false);
    else
        WriteTalk(start);
    if (FScript.mid(at, 2) == QLatin1String("\r\n"))
        FScript.remove(at, 2);
    if (FScript.endsWith(QLatin1String("\r\n")))
        FScript.chop(2);
}

void TGameScriptGenerator::BuildFramed(const QString& start)
{
    const QVector<TGameScriptPart>& parts = FProject.GameScript().Parts;
    // The node each place stands for, by its procedure name as the script wrote it.
    QHash<QString, const TDialogueNode*> byName;
    for (const auto& node : FProject.Nodes())
        if (FNodeProcedures.contains(node.get()) && !node->ProcedureName().isEmpty())
            byName.insert(node->ProcedureName().toLower(), node.get());
    const QString talk = QStringLiteral("talk_p_proc");
    int lastDeclaration = -1;
    int firstProcedure = -1;
    int lastProcedure = -1;
    QSet<const TDialogueNode*> placed;
    QSet<QString> declaredInPlace;
    bool talkPlaced = false;
    for (int i = 0; i < parts.size(); ++i) {
        if (parts[i].Kind == TGameScriptPart::gpDeclaration) {
            lastDeclaration = i;
            if (const TDialogueNode* node = byName.value(parts[i].Text.toLower()))
                declaredInPlace.insert(FNodeProcedures.value(node));
        }
        if (parts[i].Kind != TGameScriptPart::gpProcedure)
            continue;
        if (firstProcedure < 0)
            firstProcedure = i;
        lastProcedure = i;
        talkPlaced = talkPlaced || parts[i].Text.compare(talk, Qt::CaseInsensitive) == 0;
        if (const TDialogueNode* node = byName.value(parts[i].Text.toLower()))
            placed.insert(node);
    }
    // The procedures the frame has no place for: nodes added in the editor,
    // the options' own procedures, the end of the dialogue when no node is it.
    // A script with no dialogue left needs no end of one.
    const bool sinkWritten = !FNodeProcedures.key(FSink) && (talkPlaced || !FNodeProcedures.isEmpty());
    QStringList undeclared;
    for (const QString& p : FProcedureOrder) {
        if (p == QLatin1String("start") || p == talk || (p == FSink && !FNodeProcedures.key(FSink) && !sinkWritten))
            continue;
        if (!declaredInPlace.contains(p))
            undeclared << p;
    }
    auto declareUnknown = [&](bool lineFirst) {
        for (const QString& p : undeclared)
            FScript += lineFirst ? QLatin1String("\r\nprocedure ") % p % QLatin1String(";")
                                 : QLatin1String("procedure ") % p % QLatin1String(";\r\n");
    };
    auto defineUnknown = [&]() {
        // After the last place, whose line end is the frame's text.
        const qsizetype at = FScript.size();
        const bool afterPlace = lastProcedure >= 0;
        if (afterPlace)
            FScript += QLatin1String("\r\n");
        for (const auto& nodePtr : FProject.Nodes()) {
            const TDialogueNode& node = *nodePtr;
            if (placed.contains(&node))
                WriteOptionProcedures(node);
            else
                WriteNode(node);
        }
        if (sinkWritten) {
            BeginProcedure(FSink);
            EndProcedure();
        }
        if (afterPlace && FScript.size() == at + 2)
            FScript.chop(2);
        else if (afterPlace && FScript.endsWith(QLatin1String("\r\n")))
            FScript.chop(2);
    };

    QSet<QString> declared;   // a name declared twice in the script is written once
    for (int i = 0; i < parts.size(); ++i) {
        const TGameScriptPart& part = parts[i];
        if (i == (lastDeclaration >= 0 ? lastDeclaration : firstProcedure)) {
            QString globals;
            WriteGlobals(globals);
            if (!globals.isEmpty())
                FScript += globals.mid(2) + QLatin1String("\r\n");
            if (lastDeclaration < 0)
                declareUnknown(false);
        }
        switch (part.Kind) {
        case TGameScriptPart::gpText:
            FScript += part.Text;
            break;
        case TGameScriptPart::gpDeclaration:
            // A deleted node's declaration goes with it.
            if (const TDialogueNode* node = byName.value(part.Text.toLower())) {
                const QString name = FNodeProcedures.value(node);
                if (!declared.contains(name))
                    FScript += QLatin1String("procedure ") % name % QLatin1Char(';');
                declared.insert(name);
            }
            if (i == lastDeclaration)
                declareUnknown(true);
            break;
        case TGameScriptPart::gpProcedure:
            if (part.Text.compare(talk, Qt::CaseInsensitive) == 0)
                WriteInPlace(nullptr, start);
            else if (const TDialogueNode* node = byName.value(part.Text.toLower()))
                WriteInPlace(node, start);
            if (i == lastProcedure)
                defineUnknown();
            break;
        }
    }
    if (lastProcedure < 0) {
        if (lastDeclaration < 0 && firstProcedure < 0)
            declareUnknown(true);
        defineUnknown();
    }
}
