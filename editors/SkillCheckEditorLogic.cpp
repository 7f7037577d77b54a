#include "editors/SkillCheckEditorLogic.h"

#include "shell/ThemeManager.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace SkillCheckMath {

int SuccessChance(int playerSkill, int difficulty)
{
    // Widened so that extreme inputs from hand-edited records cannot overflow.
    const qint64 raw = qint64(playerSkill) - qint64(difficulty) + 50;
    return int(std::clamp<qint64>(raw, MinChance, MaxChance));
}

int FillWidth(int chance, int barWidth)
{
    return int(std::lround(double(chance) * barWidth / 100.0));
}

TColor ChanceColor(int chance, const TTLWTheme& theme)
{
    if (chance >= 70)
        return theme.ColorSuccess;
    if (chance < 40)
        return theme.ColorError;
    return theme.ColorWarning;
}

int ClampDifficulty(int difficulty) { return std::clamp(difficulty, MinDifficulty, MaxDifficulty); }

}

// MT19937 written out so a seed gives the same rolls with every standard
// library (the distribution classes differ between them).
TSeededRollSource::TSeededRollSource(std::uint32_t seed)
{
    FState[0] = seed;
    for (int i = 1; i < 624; ++i)
        FState[i] = 1812433253u * (FState[i - 1] ^ (FState[i - 1] >> 30)) + std::uint32_t(i);
}

void TSeededRollSource::Twist()
{
    for (int i = 0; i < 624; ++i) {
        const std::uint32_t y = (FState[i] & 0x80000000u) | (FState[(i + 1) % 624] & 0x7fffffffu);
        FState[i] = FState[(i + 397) % 624] ^ (y >> 1) ^ ((y & 1u) ? 0x9908b0dfu : 0u);
    }
    FIndex = 0;
}

std::uint32_t TSeededRollSource::NextWord()
{
    if (FIndex >= 624)
        Twist();
    std::uint32_t y = FState[FIndex++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    return y;
}

int TSeededRollSource::NextPercent()
{
    // Rejection keeps the 100 outcomes exactly equally likely.
    constexpr std::uint32_t limit = 0xFFFFFFFFu - (0xFFFFFFFFu % 100u) - 1u;
    std::uint32_t w;
    do
        w = NextWord();
    while (w > limit);
    return int(w % 100u);
}

TRollSource& DefaultRollSource()
{
    static TSeededRollSource source{std::uint32_t(QDateTime::currentMSecsSinceEpoch())};
    return source;
}

QStringList TRollSimulation::Lines() const
{
    const QString total = QString::number(Passes + Fails);
    return {
        Letters + QStringLiteral("  ->  Pass: ") + QString::number(Passes) + QLatin1Char('/') + total
            + QStringLiteral("  Fail: ") + QString::number(Fails) + QLatin1Char('/') + total,
        QStringLiteral("Chance: ") + QString::number(Chance) + QStringLiteral("%  Skill: ")
            + QString::number(PlayerSkill) + QStringLiteral("  Difficulty: ") + QString::number(Difficulty),
    };
}

TRollSimulation SimulateRolls(int playerSkill, int difficulty, TRollSource& source, int rolls)
{
    TRollSimulation sim;
    sim.PlayerSkill = playerSkill;
    sim.Difficulty = difficulty;
    sim.Chance = SkillCheckMath::SuccessChance(playerSkill, difficulty);
    for (int i = 0; i < rolls; ++i) {
        const bool pass = source.NextPercent() < sim.Chance;
        sim.Letters += pass ? QLatin1Char('Y') : QLatin1Char('N');
        ++(pass ? sim.Passes : sim.Fails);
    }
    return sim;
}
