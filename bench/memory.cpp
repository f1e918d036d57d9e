// Memory of the running halvex under load: its peak resident size before and
// after a soak of mixed requests at full speed from a plain socket client.
#include "benchsupport.h"
#include "protocol.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char **argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const long server = bench::halvexPid();
    if (server <= 0) {
        std::fprintf(stderr, "HALVEX_PID is not set\n");
        return 2;
    }
    bench::PlainClient client(ferrolink::protocol::Port);
    if (!client.connected()) {
        std::fprintf(stderr, "halvex does not accept a connection\n");
        return 2;
    }

    const long peakBefore = bench::processStatusKiB(server, "VmHWM:");
    const long residentBefore = bench::processStatusKiB(server, "VmRSS:");

    // One batch: writes of every kind, two reads, a heartbeat; the two
    // replies are taken before the next batch goes out.
    const std::string batch = "5S200S2B100C1B7C3AKR17S0S";
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    long batches = 0;
    char replies[4];
    while (std::chrono::steady_clock::now() < end) {
        if (!client.send(batch) || !client.receive(replies, sizeof replies))
            break;
        ++batches;
    }
    client.send("I");

    const long peakAfter = bench::processStatusKiB(server, "VmHWM:");
    const long residentAfter = bench::processStatusKiB(server, "VmRSS:");
    const long requests = batches * 11;
    std::printf("Memory of halvex under a %d s soak of mixed requests\n", seconds);
    std::printf("%-28s %12s %12s %12s\n", "", "before KiB", "after KiB", "growth KiB");
    std::printf("%-28s %12ld %12ld %12ld\n", "peak resident (VmHWM)", peakBefore, peakAfter,
                peakAfter - peakBefore);
    std::printf("%-28s %12ld %12ld %12ld\n", "resident (VmRSS)", residentBefore, residentAfter,
                residentAfter - residentBefore);
    std::printf("requests served: %ld (%.0f/s)\n", requests, double(requests) / seconds);
    std::printf("goal: no growth beyond noise (under 1024 KiB): %s\n",
                peakAfter - peakBefore < 1024 ? "met" : "MISSED");
    return 0;
}
