#pragma once
// The script's #define constants, and the value of simple integer
// expressions built from numbers, constants, parentheses and + - * / %,
// as scripts use them for message numbers, intelligence and procedure
// names. The games' standard names a dialogue relies on (LOW_IQ, the
// reactions, the skills) have their usual values when the script does not
// define them itself.

#include "interchange/GameScriptParser.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <optional>

class TGameDefineTable {
public:
    // The first definition of a name wins (both branches of an #ifdef are
    // read; the first is the one the games' compiler usually takes).
    void Add(const TGameDefine& define);

    // The value of tokens first..last of the script, or nothing when they
    // are not a constant integer expression.
    std::optional<qint64> Evaluate(const TGameScript& script, int first, int last) const;
    std::optional<qint64> ValueOf(const QString& name) const;
    // A name with the defines that stand for another name followed
    // ("#define START_NODE Node001").
    QString ResolveName(const QString& name) const;
    bool IsDefined(const QString& name) const;

private:
    std::optional<qint64> EvaluateTokens(QStringView source, const QVector<TGameToken>& tokens, int first,
                                         int last) const;

    QHash<QString, TGameDefine> FDefines;   // by lower-case name
    mutable QHash<QString, std::optional<qint64>> FValues;
    mutable QSet<QString> FEvaluating;      // stops self-referring defines
};
