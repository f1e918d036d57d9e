// What waiting costs: CPU seconds spent by delay() per wall second, and how
// far each wait overshoots the time asked for.
#include "delay.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Sample
{
    double wall = 0;
    double cpu = 0;
};

Sample measure(float zeit)
{
    QElapsedTimer wall;
    const double cpuBefore = cpuSeconds();
    wall.start();
    ferrolink::delay(zeit);
    return {wall.nsecsElapsed() / 1e9, cpuSeconds() - cpuBefore};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::printf("%-12s %8s %12s %14s %14s\n", "wait", "runs", "wall s", "CPU s/wall s",
                "overshoot ms");
    const struct
    {
        float zeit;
        int runs;
    } cases[] = {{0.05f, 20}, {0.5f, 4}, {4.0f, 1}};
    for (const auto &c : cases) {
        double wall = 0, cpu = 0, overshootMax = 0;
        for (int i = 0; i < c.runs; ++i) {
            const Sample s = measure(c.zeit);
            wall += s.wall;
            cpu += s.cpu;
            overshootMax = std::max(overshootMax, (s.wall - c.zeit) * 1000.0);
        }
        std::printf("delay(%-5.2f) %8d %12.3f %14.5f %14.2f (max)\n", c.zeit, c.runs, wall,
                    cpu / wall, overshootMax);
    }
    std::printf("goal: CPU under 0.01 s per wall second\n");
    return 0;
}
