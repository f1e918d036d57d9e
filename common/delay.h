// delay(): a wait that goes on handling the program's events.
#ifndef FERROLINK_DELAY_H
#define FERROLINK_DELAY_H

#include "clock.h"

namespace ferrolink {

// Waits until more than `zeit` seconds have passed, handling every event of
// the program meanwhile (timers, sockets, windows). It returns only once the
// elapsed time is strictly greater than `zeit`; 0 or less returns after the
// first pass through the event loop. A handler that runs inside the wait may
// call delay() again; the outer wait then goes on to its own end.
//
// The wait sleeps in the event loop until the next event or its deadline, so
// it costs no CPU while nothing happens. Needs a QCoreApplication.
void delay(float zeit, const Clock &clock = Clock::monotonic());

} // namespace ferrolink

#endif
