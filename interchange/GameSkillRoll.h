#pragma once
// How the game's skill roll maps onto the editor's skill check. The game
// rolls roll_vs_skill(who, SKILL_X, m): the chance is the skill plus the
// modifier m. The preview's chance is skill - Difficulty + 50, so the same
// roll has Difficulty = 50 - m, and a writer's Difficulty d is written back
// as the modifier 50 - d.

#include "model/DialogueTypes.h"

#include <QString>

#include <optional>

namespace GameSkillRoll {

inline qint32 DifficultyFromModifier(qint32 modifier) { return 50 - modifier; }
inline qint32 ModifierFromDifficulty(qint32 difficulty) { return 50 - difficulty; }

// The editor's skill for a game skill name ("SKILL_SPEECH"); nothing for
// the game's skills the editor has no counterpart of (stealing, traps,
// unarmed, melee, throwing).
std::optional<TSkillType> SkillFromName(const QString& name);
// The game's name of an editor skill.
QString NameOfSkill(TSkillType skill);

}
