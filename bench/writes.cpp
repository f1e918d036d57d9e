// Write throughput: Ausgabe of a control in network mode as fast as a host
// can call it, and "5S" from a plain blocking socket, both counted where
// they reach the interface library of the running halvex (the simulated
// interface counts every call).
#include "benchsupport.h"
#include "delay.h"
#include "protocol.h"
#include "simulatedinterface.h"

#include <sorvel.h>

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

constexpr int Writes = 200000;
constexpr double DrainSeconds = 30.0;

using Clock = std::chrono::steady_clock;

struct Result
{
    double seconds = 0;
    long arrived = 0;
};

// Sends `Writes` writes with `send` and waits (bounded) until they all
// reached the interface or nothing more comes.
Result measure(const std::function<void(int)> &send)
{
    ferrolink::SimulatedInterface interface;
    const uint32_t before = interface.changes();
    const auto start = Clock::now();
    for (int i = 0; i < Writes; ++i)
        send(i);
    uint32_t seen = interface.changes();
    auto lastProgress = Clock::now();
    while (seen - before < uint32_t(Writes) && Clock::now() - lastProgress < std::chrono::seconds(2)
           && Clock::now() - start < std::chrono::duration<double>(DrainSeconds)) {
        ferrolink::delay(0.001f);
        const uint32_t now = interface.changes();
        if (now != seen) {
            seen = now;
            lastProgress = Clock::now();
        }
    }
    const double seconds = std::chrono::duration<double>(lastProgress - start).count();
    return { seconds, long(seen - before) };
}

void row(const char *name, const Result &result)
{
    std::printf("%-32s %9d %9ld %9ld %14.0f\n", name, Writes, result.arrived,
                Writes - result.arrived, result.seconds > 0 ? result.arrived / result.seconds : 0);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    Sorvel control;
    control.IP(QStringLiteral("127.0.0.1"));
    const Result viaControl = measure([&control](int i) {
        qint16 value = qint16(i & 0xff);
        control.Ausgabe(value);
    });
    control.simuliert();

    // The control said goodbye; the server listens again at once.
    bench::PlainClient client(ferrolink::protocol::Port);
    const Result plain = measure([&client](int) { client.send("5S"); });
    client.send("I");

    std::printf("Write throughput, counted at the interface library of halvex%s%s\n",
                argc > 1 ? ", " : "", argc > 1 ? argv[1] : "");
    std::printf("%-32s %9s %9s %9s %14s\n", "writer", "sent", "arrived", "lost", "writes/s");
    row("Sorvel::Ausgabe via halvex", viaControl);
    row("plain socket \"5S\"", plain);
    const double share = plain.seconds > 0 && viaControl.seconds > 0
        ? (viaControl.arrived / viaControl.seconds) / (plain.arrived / plain.seconds)
        : 0.0;
    const bool met = share >= 0.5 && viaControl.arrived == Writes;
    std::printf("control's rate over the plain socket's: %.2f (goal: at least 0.50, none lost): "
                "%s\n",
                share, met ? "met" : "MISSED");
    return 0;
}
