// delay(): sleeps in the event loop until its deadline, handling events.
#include "delay.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace ferrolink {

void delay(float zeit, const Clock &clock)
{
    const double start = clock.seconds();
    // A NaN would never be exceeded: wait as for 0.
    const double wanted = std::isnan(zeit) ? 0.0 : double(zeit);

    // Wakes the blocking pass at the deadline when no other event comes.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);

    QCoreApplication::processEvents(QEventLoop::AllEvents);
    for (double elapsed = clock.seconds() - start; !(elapsed > wanted);
         elapsed = clock.seconds() - start) {
        const double remaining = wanted - elapsed;
        // Rounded up to whole milliseconds, so the pass after the wake-up
        // finds the elapsed time past the deadline; capped to fit a timer.
        const double milliseconds = std::min(std::ceil(remaining * 1000.0), 1.0e9);
        wake.start(static_cast<int>(milliseconds));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

} // namespace ferrolink
