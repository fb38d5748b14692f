#pragma once

#include <QElapsedTimer>
#include <QTest>

#include <tuple>

// Lets the event loop run for at least `ms` and says how long it really ran, in seconds: on a loaded
// machine it can be far longer, and what a check expects of a position follows the measured time.
inline double runFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    std::ignore = QTest::qWaitFor([&] { return clock.hasExpired(ms); }, ms);
    return static_cast<double>(clock.elapsed()) / 1000.0;
}
