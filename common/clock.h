// The monotonic clock that waits and the watchdog measure time on.
#ifndef FERROLINK_CLOCK_H
#define FERROLINK_CLOCK_H

namespace ferrolink {

// Seconds on a clock that only moves forward. Waits and the server's
// watchdog measure on it, so neither midnight nor a change of the wall
// clock disturbs them. Tests pass their own clock to drive time by hand.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual double seconds() const = 0;

    // The process-wide monotonic clock (std::chrono::steady_clock).
    static const Clock &monotonic();
};

} // namespace ferrolink

#endif
