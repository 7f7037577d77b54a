#pragma once
// What the skill check editor computes: the success chance it assumes for a
// player skill, the colour and width of its chance bar, and a simulation of
// ten rolls drawn from an exchangeable random source.

#include "model/DialogueTypes.h"

#include <QString>
#include <QStringList>

#include <cstdint>

struct TTLWTheme;

namespace SkillCheckMath {

constexpr int MinChance = 5;
constexpr int MaxChance = 95;
constexpr int MinDifficulty = 1;
constexpr int MaxDifficulty = 100;

// Player skill - difficulty + 50, kept within 5..95 percent.
int SuccessChance(int playerSkill, int difficulty);
// Width of the bar's fill for a chance, rounded to the nearest pixel.
int FillWidth(int chance, int barWidth);
// Success colour from 70 %, error colour below 40 %, warning in between.
TColor ChanceColor(int chance, const TTLWTheme& theme);
int ClampDifficulty(int difficulty);

}

// Whole numbers drawn uniformly from 0..99, one per simulated roll.
class TRollSource {
public:
    virtual ~TRollSource() = default;
    virtual int NextPercent() = 0;
};

// A Mersenne-twister source; the same seed gives the same rolls.
class TSeededRollSource : public TRollSource {
public:
    explicit TSeededRollSource(std::uint32_t seed);
    int NextPercent() override;
private:
    std::uint32_t FState[624];
    int FIndex = 624;
    void Twist();
    std::uint32_t NextWord();
};

// The program's one source for the editor, seeded from the clock on first use.
TRollSource& DefaultRollSource();

struct TRollSimulation {
    int Chance = 0;
    int PlayerSkill = 0;
    int Difficulty = 0;
    QString Letters;   // "Y" per pass, "N" per fail
    int Passes = 0;
    int Fails = 0;

    // The two result lines shown under the simulation.
    QStringList Lines() const;
};

TRollSimulation SimulateRolls(int playerSkill, int difficulty, TRollSource& source, int rolls = 10);
