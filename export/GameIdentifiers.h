#pragma once
// Names in the game's script language: what makes a valid identifier, the
// words a generated script must not take for its own names, and a table
// that hands out unique names. The language ignores letter case, so two
// names that differ only in case are the same name.

#include <QHash>
#include <QSet>
#include <QString>

namespace GameIdentifiers {

// Longest name made from a node ID; longer IDs are shortened.
constexpr int MaxLength = 32;

// Letters, digits and "_", not starting with a digit.
bool IsValid(const QString& name);
// Keywords, the built-ins and idiom macros a generated script uses, and the
// names it declares itself.
bool IsReserved(const QString& name);
// `raw` with every character that cannot stand in a name turned into "_",
// "Node_" before a leading digit or an empty name, cut to MaxLength.
QString MadeSafe(const QString& raw);
// A decimal integer, optionally negative.
bool IsNumber(const QString& text);

}

class TIdentifierTable {
public:
    TIdentifierTable();
    // Marks a name as taken (script-level names, defines).
    void Take(const QString& name);
    bool IsFree(const QString& name) const;
    // `wanted` (a valid name) when free, else the first free of wanted_2,
    // wanted_3, ...; the result is taken.
    QString Claim(const QString& wanted);

private:
    bool IsFreeFolded(const QString& folded) const;
    QSet<QString> FTaken;                 // case-folded
    QHash<QString, int> FNextVariant;     // case-folded wanted name -> next number to try
};
