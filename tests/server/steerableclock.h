#ifndef FERROLINK_TESTS_STEERABLECLOCK_H
#define FERROLINK_TESTS_STEERABLECLOCK_H

#include "clock.h"

// The monotonic clock plus an offset the test moves forward: waits still
// take real time, while the watchdog can be made to see seconds pass at once.
class SteerableClock : public ferrolink::Clock
{
public:
    double seconds() const override { return monotonic().seconds() + m_offset; }
    void advance(double seconds) { m_offset += seconds; }

private:
    double m_offset = 0.0;
};

#endif
