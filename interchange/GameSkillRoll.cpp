#include "interchange/GameSkillRoll.h"

namespace {
struct TSkillName {
    const char* Name;
    TSkillType Skill;
};
// First entry of each skill is the name written back.
const TSkillName SkillTable[] = {
    {"SKILL_SPEECH", skSpeech}, {"SKILL_BARTER", skBarter}, {"SKILL_SCIENCE", skScience},
    {"SKILL_REPAIR", skRepair}, {"SKILL_LOCKPICK", skLockpick}, {"SKILL_SNEAK", skSneak},
    {"SKILL_DOCTOR", skMedicine}, {"SKILL_FIRST_AID", skMedicine}, {"SKILL_OUTDOORSMAN", skSurvival},
    {"SKILL_GAMBLING", skGambling}, {"SKILL_ENERGY_WEAPONS", skEnergyWeapons}, {"SKILL_SMALL_GUNS", skSmallGuns},
    {"SKILL_BIG_GUNS", skBigGuns},
};
}

std::optional<TSkillType> GameSkillRoll::SkillFromName(const QString& name)
{
    const QString trimmed = name.trimmed();
    for (const TSkillName& s : SkillTable)
        if (trimmed.compare(QLatin1String(s.Name), Qt::CaseInsensitive) == 0)
            return s.Skill;
    return std::nullopt;
}

QString GameSkillRoll::NameOfSkill(TSkillType skill)
{
    for (const TSkillName& s : SkillTable)
        if (s.Skill == skill)
            return QLatin1String(s.Name);
    return QStringLiteral("SKILL_SPEECH");
}
