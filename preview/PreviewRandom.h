#pragma once
// The preview's source of chance: skill-check rolls and random conditions.
// Injectable, so that a test can fix every draw.

#include <QtGlobal>

#include <random>

class IPreviewRandom {
public:
    virtual ~IPreviewRandom() = default;
    // A uniform integer in 0 .. n - 1 (n >= 1).
    virtual int Below(int n) = 0;
};

// Mersenne twister with unbiased range reduction, so that one seed gives the
// same draws on every platform.
class TSeededPreviewRandom : public IPreviewRandom {
public:
    explicit TSeededPreviewRandom(quint32 seed) : FEngine(seed) {}
    // Seeded from the clock.
    TSeededPreviewRandom();

    int Below(int n) override;

private:
    std::mt19937 FEngine;
};
