#pragma once
// Typed conditions and option requirements as expressions of the game's
// script language. What cannot be written becomes the condition 0 (never
// true), so the guarded line is left out rather than offered wrongly, and
// a warning says why. Names the project does not define and that are not
// of the standard kinds (STAT_, SKILL_, PID_, GVAR_, LVAR_, MVAR_) are
// written as they stand, with a warning: they compile only where a header
// defines them.

#include "export/GameWhere.h"
#include "model/DialogueTypes.h"

#include <QSet>
#include <QString>
#include <QStringList>

class TGameConditionWriter {
public:
    // The global variable whose value is the town's reputation; the games
    // keep one per town, so the project names it in its variable table.
    static const char* const TownReputationVar;

    TGameConditionWriter(const TDialogueProject& project, QStringList& warnings);

    // One condition. `where` opens each warning.
    QString Condition(const TCondition& c, const TGameWhere& where);
    // A node's conditions joined strictly left to right by their joins
    // (the first one's join is not used); empty for no conditions.
    QString NodeConditions(const QVector<TCondition>& conditions, const TGameWhere& where);
    // Everything an option needs to be offered, joined with "and": its own
    // conditions, its guard, and its reputation, karma and item
    // requirements; empty when it needs nothing.
    QString OptionRequirements(const TPlayerOption& option, const TGameWhere& where);

    // A value or variable written as a name or number: a number stays; a
    // valid name is checked against the known names; anything else cannot
    // be written (empty result, with a warning).
    QString NameOrNumber(const QString& text, const QString& what, const TGameWhere& where);

private:
    bool IsKnown(const QString& name) const;
    QString Unwritable(const TGameWhere& where, const QString& why);
    QString Value(const TCondition& c, const TGameWhere& where);
    QString Compare(const QString& left, const TCondition& c, const TGameWhere& where);
    QString SkillName(const QString& variable, const TGameWhere& where);
    QString StatName(const QString& variable, const TGameWhere& where);
    QString ReputationVar(const TGameWhere& where);

    QSet<QString> FProjectNames;   // the global-variable table's names
    QStringList& FWarnings;
};

// The games' name of a skill of the model.
QString GameSkillName(TSkillType skill);
