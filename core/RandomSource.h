#pragma once

#include <random>

// The uniform generator shuffle draws from. Seeded from the clock at start-up and again at every
// progress tick, so the order depends on when the user acts; tests give their own sequence.
class RandomSource {
public:
    RandomSource() = default;
    RandomSource(const RandomSource &) = delete;
    RandomSource &operator=(const RandomSource &) = delete;
    virtual ~RandomSource() = default;

    virtual void seedFromClock() = 0;
    // A value in [0, 1).
    virtual double next() = 0;
};

class ClockSeededRandom : public RandomSource {
public:
    void seedFromClock() override;
    double next() override;

private:
    std::mt19937 m_generator{std::random_device{}()};
};

// The index shuffle picks in a list whose last index is last: r times last, rounded to the nearest
// whole number with ties going to the even one. The two ends are therefore drawn half as often as an
// inner index.
int ShuffleIndex(double r, int last);
