// A remote read's round trip: Eingabe and Analogwert of a control in network
// mode against the running halvex, the plain blocking client against the
// same halvex, and the same exchange ("R" out, two bytes back) between two
// plain blocking sockets, the floor of what the network allows. Each row
// shows its median as a ratio of the floor's median of the same run.
//   bench_roundtrip [title [reads]]
#include "benchsupport.h"
#include "protocol.h"

#include "simulatedinterface.h"

#include <sorvel.h>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int DefaultReads = 20000;

using Clock = std::chrono::steady_clock;

struct Run
{
    int warmUp = 1000;
    int reads = DefaultReads;
};

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

// Times `read` (true when it returned the right value); counts the wrong.
std::vector<double> timedReads(const Run &run, const std::function<bool()> &read, int &failed)
{
    std::vector<double> samples;
    samples.reserve(size_t(run.reads));
    for (int i = 0; i < run.warmUp; ++i)
        read();
    for (int i = 0; i < run.reads; ++i) {
        const auto start = Clock::now();
        const bool right = read();
        samples.push_back(microseconds(Clock::now() - start));
        failed += !right;
    }
    return samples;
}

// Blocking "R" and two bytes back over `client`.
bool plainRead(bench::PlainClient &client)
{
    char reply[2];
    return client.send("R") && client.receive(reply, 2);
}

std::vector<double> floorReads(const Run &run, int &failed,
                               bench::EchoReplyServer::Where where
                               = bench::EchoReplyServer::OnThread)
{
    bench::EchoReplyServer server(where);
    bench::PlainClient client(server.port());
    return timedReads(
        run, [&client] { return plainRead(client); }, failed);
}

// The same plain client against halvex: the part of a read the server costs.
std::vector<double> plainReadsViaHalvex(const Run &run, int &failed)
{
    bench::PlainClient client(ferrolink::protocol::Port);
    if (!client.connected()) {
        ++failed;
        return {};
    }
    std::vector<double> samples = timedReads(
        run, [&client] { return plainRead(client); }, failed);
    client.send("I");
    return samples;
}

double median(std::vector<double> samples)
{
    return bench::percentile(samples, 50);
}

void row(const char *name, std::vector<double> samples, double floorMedian, double goal)
{
    const double m = median(samples);
    const double ratio = floorMedian > 0 ? m / floorMedian : 0.0;
    std::printf("%-34s %8zu %10.1f %10.1f %7.2f", name, samples.size(), m,
                bench::percentile(samples, 99), ratio);
    if (goal > 0)
        std::printf("  %4.2fx %s", goal, ratio <= goal ? "met" : "MISSED");
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const std::string title = argc > 1 ? argv[1] : "";
    Run run;
    if (argc > 2) {
        run.reads = std::max(1, std::atoi(argv[2]));
        run.warmUp = std::min(run.warmUp, run.reads);
    }
    // Goals against the floor: one core shows the software's own cost.
    const bool oneCore = title.find("one core") != std::string::npos;
    const double controlGoal = oneCore ? 1.5 : 1.2;
    const double plainGoal = oneCore ? 1.25 : 0.0;

    // The simulated interface answers DIN with what its input lines hold
    // and AIN with the analog input of the channel.
    ferrolink::SimulatedInterface interface;
    interface.setInputs(5);
    interface.setAnalogInput(1, 77);

    int failed = 0;
    Sorvel control;
    control.IP(QStringLiteral("127.0.0.1"));
    const std::vector<double> eingabe = timedReads(
        run, [&control] { return control.Eingabe() == 5; }, failed);
    const std::vector<double> analogwert = timedReads(
        run,
        [&control] {
            qint16 kanal = 1;
            return control.Analogwert(kanal) == 77;
        },
        failed);
    control.simuliert();
    const std::vector<double> viaHalvex = plainReadsViaHalvex(run, failed);
    const std::vector<double> floor = floorReads(run, failed);
    const double floorMedian = median(floor);
    const std::vector<double> otherProcess
        = floorReads(run, failed, bench::EchoReplyServer::InProcess);
    const std::vector<double> polling
        = floorReads(run, failed, bench::EchoReplyServer::InPollingProcess);

    std::printf("Remote read round trip over 127.0.0.1%s%s (%d reads after %d warm-up)\n",
                title.empty() ? "" : ", ", title.c_str(), run.reads, run.warmUp);
    std::printf("%-34s %8s %10s %10s %7s  %s\n", "exchange", "reads", "median us", "p99 us",
                "ratio", "goal");
    row("Sorvel::Eingabe via halvex", eingabe, floorMedian, controlGoal);
    row("Sorvel::Analogwert via halvex", analogwert, floorMedian, controlGoal);
    row("plain blocking client via halvex", viaHalvex, floorMedian, plainGoal);
    row("plain blocking sockets (floor)", floor, floorMedian, 0.0);
    std::printf("what the floor leaves out:\n");
    row("  its server in a process of its own", otherProcess, floorMedian, 0.0);
    row("  and there waiting in poll() first", polling, floorMedian, 0.0);
    std::printf("ratio: median over the floor's median; wrong or failed reads: %d\n", failed);
    return failed == 0 ? 0 : 1;
}
