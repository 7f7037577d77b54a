#include "interchange/GameDefineTable.h"

#include <limits>

namespace {

struct TBuiltIn {
    const char* Name;
    qint64 Value;
};

// The standard headers' values of the names dialogues use.
const TBuiltIn BuiltIns[] = {
    {"low_iq", -3}, {"good_reaction", 49}, {"neutral_reaction", 50}, {"bad_reaction", 51},
    {"stat_st", 0}, {"stat_pe", 1}, {"stat_en", 2}, {"stat_ch", 3}, {"stat_iq", 4}, {"stat_ag", 5},
    {"stat_lu", 6}, {"skill_small_guns", 0}, {"skill_big_guns", 1}, {"skill_energy_weapons", 2},
    {"skill_unarmed_combat", 3}, {"skill_melee", 4}, {"skill_throwing", 5}, {"skill_first_aid", 6},
    {"skill_doctor", 7}, {"skill_sneak", 8}, {"skill_lockpick", 9}, {"skill_steal", 10}, {"skill_traps", 11},
    {"skill_science", 12}, {"skill_repair", 13}, {"skill_speech", 14}, {"skill_barter", 15},
    {"skill_gambling", 16}, {"skill_outdoorsman", 17}, {"true", 1}, {"false", 0},
};

constexpr qint64 Limit = qint64(1) << 40;   // far beyond any message number; keeps products in range

// Recursive descent over one token range: expr = term {(+|-) term};
// term = unary {(*|/|%) unary}; unary = [+|-] unary | primary.
class TConstantReader {
public:
    TConstantReader(QStringView source, const QVector<TGameToken>& tokens, int first, int last,
                    const TGameDefineTable& table)
        : FSource(source), FTokens(tokens), FPos(first), FLast(last), FTable(table) {}

    std::optional<qint64> Read()
    {
        const std::optional<qint64> v = Expr(0);
        if (!v || FPos != FLast + 1)
            return std::nullopt;
        return v;
    }

private:
    QStringView Text(int i) const { return FSource.mid(FTokens.at(i).Begin, FTokens.at(i).Length); }
    bool Symbol(const char* s) const
    {
        return FPos <= FLast && FTokens.at(FPos).Kind == gtSymbol && Text(FPos) == QLatin1String(s);
    }
    static std::optional<qint64> Checked(qint64 v)
    {
        if (v > Limit || v < -Limit)
            return std::nullopt;
        return v;
    }

    std::optional<qint64> Expr(int depth)
    {
        std::optional<qint64> left = Term(depth);
        while (left && (Symbol("+") || Symbol("-"))) {
            const bool plus = Symbol("+");
            ++FPos;
            const std::optional<qint64> right = Term(depth);
            if (!right)
                return std::nullopt;
            left = Checked(plus ? *left + *right : *left - *right);
        }
        return left;
    }

    std::optional<qint64> Term(int depth)
    {
        std::optional<qint64> left = Unary(depth);
        while (left && (Symbol("*") || Symbol("/") || Symbol("%"))) {
            const QChar op = Text(FPos).at(0);
            ++FPos;
            const std::optional<qint64> right = Unary(depth);
            if (!right || (op != QLatin1Char('*') && *right == 0))
                return std::nullopt;
            left = Checked(op == QLatin1Char('*') ? *left * *right
                           : op == QLatin1Char('/') ? *left / *right : *left % *right);
        }
        return left;
    }

    std::optional<qint64> Unary(int depth)
    {
        if (depth > 64)
            return std::nullopt;
        if (Symbol("-") || Symbol("+")) {
            const bool minus = Symbol("-");
            ++FPos;
            const std::optional<qint64> v = Unary(depth + 1);
            return v ? std::optional<qint64>(minus ? -*v : *v) : std::nullopt;
        }
        return Primary(depth);
    }

    std::optional<qint64> Primary(int depth)
    {
        if (FPos > FLast)
            return std::nullopt;
        const TGameToken& t = FTokens.at(FPos);
        if (Symbol("(")) {
            ++FPos;
            const std::optional<qint64> v = Expr(depth + 1);
            if (!v || !Symbol(")"))
                return std::nullopt;
            ++FPos;
            return v;
        }
        if (t.Kind == gtNumber) {
            const QStringView text = Text(FPos++);
            bool ok = false;
            // "004" is four in the games' scripts, not octal.
            const qint64 v = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                ? text.mid(2).toLongLong(&ok, 16) : text.toLongLong(&ok, 10);
            return ok ? Checked(v) : std::nullopt;
        }
        if (t.Kind == gtName)
            return FTable.ValueOf(Text(FPos++).toString());
        return std::nullopt;
    }

    QStringView FSource;
    const QVector<TGameToken>& FTokens;
    int FPos;
    int FLast;
    const TGameDefineTable& FTable;
};

}

void TGameDefineTable::Add(const TGameDefine& define)
{
    const QString key = define.Name.toLower();
    if (!FDefines.contains(key))
        FDefines.insert(key, define);
}

bool TGameDefineTable::IsDefined(const QString& name) const
{
    return FDefines.contains(name.toLower());
}

std::optional<qint64> TGameDefineTable::Evaluate(const TGameScript& script, int first, int last) const
{
    if (first > last || last >= script.Tokens.size())
        return std::nullopt;
    return EvaluateTokens(script.Source, script.Tokens, first, last);
}

std::optional<qint64> TGameDefineTable::EvaluateTokens(QStringView source, const QVector<TGameToken>& tokens,
                                                       int first, int last) const
{
    return TConstantReader(source, tokens, first, last, *this).Read();
}

std::optional<qint64> TGameDefineTable::ValueOf(const QString& name) const
{
    const QString key = name.toLower();
    const auto cached = FValues.constFind(key);
    if (cached != FValues.constEnd())
        return cached.value();
    const auto it = FDefines.constFind(key);
    if (it == FDefines.constEnd() || it->FunctionLike) {
        for (const TBuiltIn& b : BuiltIns)
            if (key == QLatin1String(b.Name))
                return b.Value;
        return std::nullopt;
    }
    if (FEvaluating.contains(key))
        return std::nullopt;
    FEvaluating.insert(key);
    TGameScriptLexer lexer(it->Value);
    const QVector<TGameToken> tokens = lexer.Tokenize();
    const std::optional<qint64> value = tokens.isEmpty() ? std::nullopt
                                                         : EvaluateTokens(it->Value, tokens, 0, tokens.size() - 1);
    FEvaluating.remove(key);
    FValues.insert(key, value);
    return value;
}

QString TGameDefineTable::ResolveName(const QString& name) const
{
    QString current = name;
    for (int hops = 0; hops < 16; ++hops) {
        const auto it = FDefines.constFind(current.toLower());
        if (it == FDefines.constEnd() || it->FunctionLike)
            break;
        QString value = it->Value;
        while (value.startsWith(QLatin1Char('(')) && value.endsWith(QLatin1Char(')')))
            value = value.mid(1, value.size() - 2).trimmed();
        if (value.isEmpty() || !TGameScriptLexer::IsNameStart(value.at(0)))
            break;
        bool plain = true;
        for (QChar c : value)
            plain = plain && TGameScriptLexer::IsNameChar(c);
        if (!plain)
            break;
        current = value;
    }
    return current;
}
