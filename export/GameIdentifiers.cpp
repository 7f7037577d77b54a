#include "export/GameIdentifiers.h"

namespace GameIdentifiers {
namespace {

bool IsNameStart(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        || c == QLatin1Char('_');
}

bool IsNamePart(QChar c)
{
    return IsNameStart(c) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

const QSet<QString>& ReservedWords()
{
    static const QSet<QString> words = [] {
        const char* const list[] = {
            // the language's keywords
            "procedure", "begin", "end", "if", "then", "else", "call", "variable", "while", "do", "return",
            "and", "or", "not", "bwand", "bwor", "bwxor", "bwnot", "for", "foreach", "in", "import", "export",
            "switch", "case", "default", "break", "continue", "critical", "include", "define", "true", "false",
            "floor", "ifdef", "ifndef", "endif", "undef", "pragma",
            // what a generated script itself declares
            "start", "talk_p_proc", "critter_p_proc", "tlw_hostile", "NAME", "SCRIPT_REALNAME", "STANDALONE",
            // built-ins it calls
            "start_gdialog", "gsay_start", "gsay_end", "gsay_reply", "gsay_message", "giq_option",
            "end_dialogue", "gdialog_mod_barter", "message_str", "float_msg", "display_msg", "self_obj",
            "dude_obj", "random", "roll_vs_skill", "is_success", "is_critical", "global_var", "set_global_var",
            "local_var", "set_local_var", "map_var", "set_map_var", "get_critter_stat", "has_skill",
            "obj_is_carrying_obj_pid", "party_member_obj", "game_time_hour", "give_exp_points",
            "attack_complex", "obj_name",
            // the idiom's macros
            "Reply", "NMessage", "GMessage", "BMessage", "NOption", "GOption", "BOption", "NLowOption",
            "GLowOption", "BLowOption", "gSay_Start", "gSay_End", "mstr", "display_mstr", "floater",
            "dude_name", "dude_iq", "LOW_IQ", "GOOD_REACTION", "NEUTRAL_REACTION", "BAD_REACTION",
            "FLOAT_MSG_NORMAL", "GVAR_PLAYER_REPUTATION",
        };
        QSet<QString> set;
        for (const char* w : list)
            set.insert(QString::fromLatin1(w).toCaseFolded());
        return set;
    }();
    return words;
}

} // namespace

bool IsValid(const QString& name)
{
    if (name.isEmpty() || !IsNameStart(name.front()))
        return false;
    for (const QChar c : name)
        if (!IsNamePart(c))
            return false;
    return true;
}

bool IsReserved(const QString& name)
{
    return ReservedWords().contains(name.toCaseFolded());
}

QString MadeSafe(const QString& raw)
{
    QString out;
    out.reserve(qMin<qsizetype>(raw.size(), MaxLength) + 5);
    if (raw.isEmpty() || !IsNameStart(raw.front()))
        out += QLatin1String("Node_");
    for (const QChar c : raw) {
        if (out.size() >= MaxLength)
            break;
        out += IsNamePart(c) ? c : QLatin1Char('_');
    }
    return out.left(MaxLength);
}

bool IsNumber(const QString& text)
{
    const qsizetype start = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (text.size() == start)
        return false;
    for (qsizetype i = start; i < text.size(); ++i)
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
            return false;
    bool ok = false;
    text.toInt(&ok, 10);   // and it fits the language's 32-bit numbers
    return ok;
}

} // namespace GameIdentifiers

using GameIdentifiers::ReservedWords;

TIdentifierTable::TIdentifierTable() = default;

void TIdentifierTable::Take(const QString& name)
{
    FTaken.insert(name.toCaseFolded());
}

bool TIdentifierTable::IsFree(const QString& name) const
{
    return IsFreeFolded(name.toCaseFolded());
}

bool TIdentifierTable::IsFreeFolded(const QString& folded) const
{
    return !FTaken.contains(folded) && !ReservedWords().contains(folded);
}

QString TIdentifierTable::Claim(const QString& wanted)
{
    QString name = wanted;
    QString folded = wanted.toCaseFolded();
    if (!IsFreeFolded(folded)) {
        // Counting on from the last variant handed out keeps many nodes
        // that want one name from testing every earlier variant again.
        int& n = FNextVariant[folded];
        n = qMax(n, 2);
        const QString base = folded;
        for (;; ++n) {
            folded = base + QLatin1Char('_') + QString::number(n);
            if (IsFreeFolded(folded))
                break;
        }
        name = wanted + QLatin1Char('_') + QString::number(n);
        ++n;
    }
    FTaken.insert(folded);
    return name;
}
