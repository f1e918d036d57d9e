// What waiting costs: CPU seconds per wall second of a control inside
// delay(), of a control idling in network mode with its heartbeat, and of
// the running halvex serving that idle control; and how far delay()
// overshoots the time asked for.
#include "benchsupport.h"
#include "delay.h"

#include <sorvel.h>

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr float IdleSeconds = 6.0f;

struct Overshoot
{
    double meanMs = 0;
    double maxMs = 0;
};

Overshoot overshoot(float zeit, int runs)
{
    Overshoot result;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        ferrolink::delay(zeit);
        const double over = timer.nsecsElapsed() / 1e6 - zeit * 1000.0;
        result.meanMs += over / runs;
        result.maxMs = std::max(result.maxMs, over);
    }
    return result;
}

double delayCost(float zeit)
{
    QElapsedTimer wall;
    wall.start();
    const double before = bench::ownCpuSeconds();
    ferrolink::delay(zeit);
    return (bench::ownCpuSeconds() - before) / (wall.nsecsElapsed() / 1e9);
}

void costRow(const char *name, double cost)
{
    std::printf("%-44s %12.5f %10.3f%%  %s\n", name, cost, cost * 100.0,
                cost < 0.01 ? "met" : "MISSED");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    std::printf("Overshoot of delay()\n%-14s %6s %10s %10s\n", "wait", "runs", "mean ms", "max ms");
    for (const auto &[zeit, runs] : { std::pair { 0.05f, 20 }, std::pair { 0.5f, 4 } }) {
        const Overshoot o = overshoot(zeit, runs);
        std::printf("delay(%-5.2f)   %6d %10.2f %10.2f\n", zeit, runs, o.meanMs, o.maxMs);
    }

    const double inDelay = delayCost(4.0f);

    Sorvel control;
    control.IP(QStringLiteral("127.0.0.1"));
    const long server = bench::halvexPid();
    const double serverBefore = bench::processCpuSeconds(server);
    QElapsedTimer wall;
    wall.start();
    const double controlIdle = delayCost(IdleSeconds);
    const double serverIdle
        = (bench::processCpuSeconds(server) - serverBefore) / (wall.nsecsElapsed() / 1e9);
    control.simuliert();

    std::printf("\nCPU while waiting (goal: under 1%% of one core each)\n");
    std::printf("%-44s %12s %11s\n", "who", "CPU s/wall s", "of a core");
    costRow("control in delay(4)", inDelay);
    costRow("control idle in network mode (heartbeat)", controlIdle);
    if (server > 0) {
        costRow("halvex serving that idle control", serverIdle);
        std::printf("(halvex's CPU time is counted in clock ticks of %.2f s: over %.0f s, one "
                    "tick is %.2f%% of a core)\n",
                    1.0 / sysconf(_SC_CLK_TCK), double(IdleSeconds),
                    100.0 / sysconf(_SC_CLK_TCK) / IdleSeconds);
    } else
        std::printf("halvex: HALVEX_PID not set, not measured\n");
    return 0;
}
