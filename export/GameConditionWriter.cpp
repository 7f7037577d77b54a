// One allocation per joined string: these files build large texts from many pieces.
#define QT_USE_QSTRINGBUILDER

#include "export/GameConditionWriter.h"

#include "export/GameIdentifiers.h"
#include "export/GameScriptText.h"

const char* const TGameConditionWriter::TownReputationVar = "GVAR_TOWN_REPUTATION";

namespace {

const char* const GameSkills[SkillTypeCount] = {
    "SKILL_SPEECH", "SKILL_BARTER", "SKILL_SCIENCE", "SKILL_REPAIR", "SKILL_LOCKPICK", "SKILL_SNEAK",
    "SKILL_DOCTOR", "SKILL_OUTDOORSMAN", "SKILL_GAMBLING", "SKILL_ENERGY_WEAPONS", "SKILL_SMALL_GUNS",
    "SKILL_BIG_GUNS"};

const char* const StandardPrefixes[] = { "STAT_", "SKILL_", "PID_", "GVAR_", "LVAR_", "MVAR_" };

QString Parenthesized(const QString& e)
{
    return QLatin1Char('(') + e + QLatin1Char(')');
}

// "(a) and (b)" must keep its parentheses; "((a) and (b))" can lose one pair.
QString WithoutOuterParentheses(const QString& e)
{
    if (!e.startsWith(QLatin1Char('(')))
        return e;
    int depth = 0;
    for (qsizetype i = 0; i < e.size(); ++i) {
        if (e[i] == QLatin1Char('('))
            ++depth;
        else if (e[i] == QLatin1Char(')') && --depth == 0)
            return i == e.size() - 1 ? e.mid(1, e.size() - 2) : e;
    }
    return e;
}

} // namespace

QString GameSkillName(TSkillType skill)
{
    return QString::fromLatin1(GameSkills[int(skill) < SkillTypeCount ? int(skill) : 0]);
}

TGameConditionWriter::TGameConditionWriter(const TDialogueProject& project, QStringList& warnings)
    : FWarnings(warnings)
{
    for (auto it = project.GlobalVars().cbegin(); it != project.GlobalVars().cend(); ++it)
        FProjectNames.insert(it.key());
}

bool TGameConditionWriter::IsKnown(const QString& name) const
{
    if (FProjectNames.contains(name))
        return true;
    for (const char* prefix : StandardPrefixes)
        if (name.startsWith(QLatin1String(prefix)) && name.size() > int(qstrlen(prefix)))
            return true;
    return false;
}

QString TGameConditionWriter::Unwritable(const TGameWhere& where, const QString& why)
{
    FWarnings << where.Text() + QStringLiteral(": ") + why + QStringLiteral("; written as a condition that never holds");
    return QStringLiteral("0");
}

QString TGameConditionWriter::NameOrNumber(const QString& text, const QString& what, const TGameWhere& where)
{
    const QString t = text.trimmed();
    if (GameIdentifiers::IsNumber(t))
        return QString::number(t.toInt());
    if (!GameIdentifiers::IsValid(t)) {
        FWarnings << where.Text() + QStringLiteral(": %1 \"%2\" is neither a number nor a name").arg(what, text.left(60));
        return QString();
    }
    if (!IsKnown(t))
        FWarnings << where.Text() + QStringLiteral(": %1 %2 is not defined by the project").arg(what, t);
    return t;
}

QString TGameConditionWriter::Value(const TCondition& c, const TGameWhere& where)
{
    // As the preview reads it: no value is 0.
    if (GameScriptText::IsBlank(c.Value))
        return QStringLiteral("0");
    return NameOrNumber(c.Value, QStringLiteral("value"), where);
}

QString TGameConditionWriter::Compare(const QString& left, const TCondition& c, const TGameWhere& where)
{
    const QString value = Value(c, where);
    if (value.isEmpty())
        return QStringLiteral("0");
    const int op = int(c.Operator) < ConditionOperatorCount ? int(c.Operator) : 0;
    return left % QLatin1Char(' ') % QLatin1String(OperatorSymbols[op]) % QLatin1Char(' ') % value;
}

QString TGameConditionWriter::SkillName(const QString& variable, const TGameWhere& where)
{
    QString v = variable.trimmed();
    if (GameIdentifiers::IsNumber(v))
        return v;
    for (int s = 0; s < SkillTypeCount; ++s)
        if (v.compare(QLatin1String(SkillNames[s]), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(GameSkills[s]);
    v = v.toUpper().replace(QLatin1Char(' '), QLatin1Char('_'));
    if (!v.startsWith(QLatin1String("SKILL_")))
        v.prepend(QLatin1String("SKILL_"));
    if (!GameIdentifiers::IsValid(v)) {
        FWarnings << where.Text() + QStringLiteral(": skill \"%1\" is not a skill name").arg(variable.left(60));
        return QString();
    }
    return v;
}

QString TGameConditionWriter::StatName(const QString& variable, const TGameWhere& where)
{
    static const char* const stats[][2] = {
        { "strength", "st" }, { "perception", "pe" }, { "endurance", "en" }, { "charisma", "ch" },
        { "intelligence", "iq" }, { "agility", "ag" }, { "luck", "lu" }};
    QString v = variable.trimmed();
    if (GameIdentifiers::IsNumber(v) || v.startsWith(QLatin1String("STAT_")))
        return NameOrNumber(v, QStringLiteral("stat"), where);
    for (const auto& s : stats)
        if (v.compare(QLatin1String(s[0]), Qt::CaseInsensitive) == 0)
            v = QLatin1String(s[1]);
    v = QStringLiteral("STAT_") + v.toLower();
    if (!GameIdentifiers::IsValid(v)) {
        FWarnings << where.Text() + QStringLiteral(": stat \"%1\" is not a stat name").arg(variable.left(60));
        return QString();
    }
    return v;
}

QString TGameConditionWriter::ReputationVar(const TGameWhere& where)
{
    const QString var = QLatin1String(TownReputationVar);
    if (FProjectNames.contains(var))
        return var;
    FWarnings << where.Text() + QStringLiteral(": a reputation test needs the town's reputation variable; add %1 "
                                        "to the project's global variables").arg(var);
    return QString();
}

QString TGameConditionWriter::Condition(const TCondition& c, const TGameWhere& where)
{
    // call(name) or call(dude_obj, name), compared: the usual shape of a test.
    auto named = [&](const QString& name, const char* call, bool ofPlayer = false) {
        if (name.isEmpty())
            return QStringLiteral("0");
        return Compare(QLatin1String(call) % QLatin1Char('(') % QLatin1String(ofPlayer ? "dude_obj, " : "") % name
                           % QLatin1Char(')'), c, where);
    };
    switch (c.CondType) {
    case ctSkillCheck:
        return named(SkillName(c.Variable, where), "has_skill", true);
    case ctStatCheck:
        return named(StatName(c.Variable, where), "get_critter_stat", true);
    case ctReputation:
        return named(ReputationVar(where), "global_var");
    case ctKarma:
        return Compare(QStringLiteral("global_var(GVAR_PLAYER_REPUTATION)"), c, where);
    case ctGlobalVar:
    case ctQuestFlag:
        return named(NameOrNumber(c.Variable, QStringLiteral("variable"), where), "global_var");
    case ctLocalVar:
        return named(NameOrNumber(c.Variable, QStringLiteral("variable"), where), "local_var");
    case ctInventory: {
        const QString item = NameOrNumber(c.Variable, QStringLiteral("item"), where);
        if (item.isEmpty())
            return QStringLiteral("0");
        const QString count = QStringLiteral("obj_is_carrying_obj_pid(dude_obj, %1)").arg(item);
        return GameScriptText::IsBlank(c.Value) ? count + QStringLiteral(" > 0") : Compare(count, c, where);
    }
    case ctTimeOfDay:
        return Compare(QStringLiteral("game_time_hour"), c, where);
    case ctCompanion: {
        const QString who = NameOrNumber(c.Variable, QStringLiteral("companion"), where);
        return who.isEmpty() ? QStringLiteral("0") : QStringLiteral("party_member_obj(%1) != 0").arg(who);
    }
    case ctRandom: {
        const QString chance = Value(c, where);
        return chance.isEmpty() ? QStringLiteral("0") : QStringLiteral("random(0, 99) < ") + chance;
    }
    }
    return Unwritable(where, QStringLiteral("a condition of unknown type"));
}

QString TGameConditionWriter::NodeConditions(const QVector<TCondition>& conditions, const TGameWhere& where)
{
    QString result;
    for (const TCondition& c : conditions) {
        const QString e = Parenthesized(Condition(c, where));
        if (result.isEmpty()) {
            result = e;
            continue;
        }
        switch (c.BoolOp) {
        case boOR: result = Parenthesized(result + QStringLiteral(" or ") + e); break;
        case boNOT: result = Parenthesized(result + QStringLiteral(" and not ") + e); break;
        default: result = Parenthesized(result + QStringLiteral(" and ") + e); break;
        }
    }
    return WithoutOuterParentheses(result);
}

QString TGameConditionWriter::OptionRequirements(const TPlayerOption& option, const TGameWhere& where)
{
    QStringList parts;
    for (const TCondition& c : option.Conditions)
        parts << Parenthesized(Condition(c, where));
    if (!GameScriptText::IsBlank(option.Guard)) {
        QString why;
        const QString guard = GameScriptText::OneLine(option.Guard).trimmed();
        if (GameScriptText::IsUsableCondition(guard, &why))
            parts << Parenthesized(guard);
        else
            parts << Unwritable(where, QStringLiteral("the guard cannot be used (%1)").arg(why));
    }
    if (option.ReputationRequired >= 1) {
        const QString var = ReputationVar(where);
        parts << (var.isEmpty() ? QStringLiteral("0")
                                : QStringLiteral("(global_var(%1) >= %2)").arg(var).arg(option.ReputationRequired));
    }
    if (option.KarmaRequired > -1000)
        parts << QStringLiteral("(global_var(GVAR_PLAYER_REPUTATION) >= %1)").arg(option.KarmaRequired);
    if (!GameScriptText::IsBlank(option.ItemRequired)) {
        const QString item = NameOrNumber(option.ItemRequired, QStringLiteral("item"), where);
        parts << (item.isEmpty() ? QStringLiteral("0") : QStringLiteral("obj_is_carrying_obj_pid(dude_obj, %1)").arg(item));
    }
    return parts.size() == 1 ? WithoutOuterParentheses(parts[0]) : parts.join(QStringLiteral(" and "));
}
