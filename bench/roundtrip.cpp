// A remote read's round trip: Eingabe of a control in network mode against
// the running halvex, beside the same exchange ("R" out, two bytes back)
// between two plain blocking sockets, the floor of what the network allows.
#include "benchsupport.h"

#include "simulatedinterface.h"

#include <sorvel.h>

#include <QApplication>

#include <chrono>
#include <cstdio>

namespace {

constexpr int WarmUp = 1000;
constexpr int Reads = 20000;

using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

std::vector<double> controlReads(Sorvel &control, int &failed)
{
    std::vector<double> samples;
    samples.reserve(Reads);
    for (int i = 0; i < WarmUp; ++i)
        control.Eingabe();
    for (int i = 0; i < Reads; ++i) {
        const auto start = Clock::now();
        const qint16 value = control.Eingabe();
        samples.push_back(microseconds(Clock::now() - start));
        failed += value != 5;
    }
    return samples;
}

// Blocking "R" and two bytes back over `client`.
std::vector<double> plainReads(bench::PlainClient &client)
{
    std::vector<double> samples;
    samples.reserve(Reads);
    char reply[2];
    for (int i = 0; i < WarmUp + Reads; ++i) {
        const auto start = Clock::now();
        if (!client.send("R") || !client.receive(reply, 2))
            break;
        if (i >= WarmUp)
            samples.push_back(microseconds(Clock::now() - start));
    }
    return samples;
}

std::vector<double> floorReads()
{
    bench::EchoReplyServer server;
    bench::PlainClient client(server.port());
    return plainReads(client);
}

// The same plain client against halvex: the part of a read the server costs.
std::vector<double> plainReadsViaHalvex()
{
    bench::PlainClient client(2001);
    std::vector<double> samples = plainReads(client);
    client.send("I");
    return samples;
}

void row(const char *name, std::vector<double> samples)
{
    std::printf("%-34s %8zu %12.1f %12.1f\n", name, samples.size(),
                bench::percentile(samples, 50), bench::percentile(samples, 99));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The simulated interface answers DIN with what its input lines hold.
    ferrolink::SimulatedInterface interface;
    interface.setInputs(5);

    Sorvel control;
    control.IP(QStringLiteral("127.0.0.1"));
    int failed = 0;
    std::vector<double> viaControl = controlReads(control, failed);
    control.simuliert();
    std::vector<double> viaHalvex = plainReadsViaHalvex();
    std::vector<double> floor = floorReads();

    std::printf("Remote read round trip over 127.0.0.1 (%d reads after %d warm-up)\n", Reads,
                WarmUp);
    std::printf("%-34s %8s %12s %12s\n", "exchange", "reads", "median us", "p99 us");
    const double controlMedian = bench::percentile(viaControl, 50);
    const double floorMedian = bench::percentile(floor, 50);
    row("Sorvel::Eingabe via halvex", viaControl);
    row("plain blocking client via halvex", viaHalvex);
    row("plain blocking sockets (floor)", floor);
    std::printf("ratio of medians: %.2f (goal: within 2x the floor)%s\n",
                floorMedian > 0 ? controlMedian / floorMedian : 0.0,
                failed ? " -- some reads returned a wrong value" : "");
    std::printf("wrong or failed reads: %d\n", failed);
    return failed == 0 ? 0 : 1;
}
