#ifndef FERROLINK_BENCH_BENCHSUPPORT_H
#define FERROLINK_BENCH_BENCHSUPPORT_H

#include <cstdint>
#include <string>
#include <vector>

// Helpers of the benchmarks. bench/run starts one halvex on a simulated
// interface of its own and tells the programs its process id in HALVEX_PID;
// FERROLINK_INTERFACE_NAME names the shared simulated interface.
namespace bench {

// A blocking TCP client with TCP_NODELAY on 127.0.0.1.
class PlainClient
{
public:
    explicit PlainClient(uint16_t port);
    ~PlainClient();
    PlainClient(const PlainClient &) = delete;
    PlainClient &operator=(const PlainClient &) = delete;

    bool connected() const { return m_fd >= 0; }
    bool send(const std::string &bytes);
    // Reads exactly `count` bytes; false on end or error.
    bool receive(char *into, size_t count);

private:
    int m_fd = -1;
};

// A blocking one-connection server on 127.0.0.1 that answers each byte it
// receives with two bytes: the floor of a read. It runs on a thread of its
// own, or (InProcess) in a process of its own, as halvex does; there it may
// also wait in poll() and ask for the bytes available before each read, the
// system calls an event loop makes for each arrival (InPollingProcess).
class EchoReplyServer
{
public:
    enum Where { OnThread, InProcess, InPollingProcess };

    explicit EchoReplyServer(Where where = OnThread);
    ~EchoReplyServer();
    uint16_t port() const { return m_port; }

private:
    int m_listener = -1;
    uint16_t m_port = 0;
    long m_child = 0;
    struct Thread;
    Thread *m_thread = nullptr;
};

// The halvex of this run (HALVEX_PID), or 0.
long halvexPid();
// CPU seconds (user + system) a process has used; -1 if unknown.
double processCpuSeconds(long pid);
// A "Vm..." field of /proc/<pid>/status in KiB; -1 if unknown.
long processStatusKiB(long pid, const char *field);
// CPU seconds this process has used.
double ownCpuSeconds();

// The p-th percentile (0..100) of samples (sorted in place).
double percentile(std::vector<double> &samples, double p);

} // namespace bench

#endif
