#include "core/RandomSource.h"

#include <chrono>
#include <cmath>

void ClockSeededRandom::seedFromClock()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    m_generator.seed(static_cast<std::mt19937::result_type>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}

double ClockSeededRandom::next()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_generator);
}

int ShuffleIndex(double r, int last)
{
    const double x = r * last;
    const double below = std::floor(x);
    const double fraction = x - below;
    double rounded = below;
    if (fraction > 0.5)
        rounded = below + 1;
    else if (fraction == 0.5)
        rounded = std::fmod(below, 2.0) == 0.0 ? below : below + 1;
    return static_cast<int>(rounded);
}
