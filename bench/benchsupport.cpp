#include "benchsupport.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {

namespace {

sockaddr_in loopback(uint16_t port)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

void noDelay(int fd)
{
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool receiveAll(int fd, char *into, size_t count)
{
    while (count > 0) {
        const ssize_t got = ::recv(fd, into, count, 0);
        if (got <= 0)
            return false;
        into += got;
        count -= size_t(got);
    }
    return true;
}

bool sendAll(int fd, const char *bytes, size_t count)
{
    while (count > 0) {
        const ssize_t sent = ::send(fd, bytes, count, MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        bytes += sent;
        count -= size_t(sent);
    }
    return true;
}

} // namespace

PlainClient::PlainClient(uint16_t port)
{
    m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(port);
    if (::connect(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    noDelay(m_fd);
}

PlainClient::~PlainClient()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool PlainClient::send(const std::string &bytes)
{
    return m_fd >= 0 && sendAll(m_fd, bytes.data(), bytes.size());
}

bool PlainClient::receive(char *into, size_t count)
{
    return m_fd >= 0 && receiveAll(m_fd, into, count);
}

struct EchoReplyServer::Thread
{
    std::thread thread;
};

namespace {

// Answers each byte received on `fd` with two; ends with the connection.
void serveEchoReplies(int fd, bool polling)
{
    noDelay(fd);
    char request;
    const char reply[2] = { 5, 0 };
    for (;;) {
        if (polling) {
            pollfd wait = { fd, POLLIN, 0 };
            int available = 0;
            if (poll(&wait, 1, -1) != 1 || ioctl(fd, FIONREAD, &available) != 0)
                break;
        }
        if (!receiveAll(fd, &request, 1) || !sendAll(fd, reply, 2))
            break;
    }
    ::close(fd);
}

} // namespace

EchoReplyServer::EchoReplyServer(Where where)
{
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length);
    m_port = ntohs(address.sin_port);
    listen(m_listener, 1);
    const int listener = m_listener;
    if (where != OnThread) {
        const pid_t child = fork();
        if (child == 0) {
            const int fd = accept(listener, nullptr, nullptr);
            if (fd >= 0)
                serveEchoReplies(fd, where == InPollingProcess);
            _exit(0);
        }
        m_child = child;
        return;
    }
    m_thread = new Thread { std::thread([listener] {
        const int fd = accept(listener, nullptr, nullptr);
        if (fd >= 0)
            serveEchoReplies(fd, false);
    }) };
}

EchoReplyServer::~EchoReplyServer()
{
    shutdown(m_listener, SHUT_RDWR);
    if (m_thread) {
        m_thread->thread.join();
        delete m_thread;
    }
    if (m_child > 0) {
        kill(pid_t(m_child), SIGTERM);
        waitpid(pid_t(m_child), nullptr, 0);
    }
    ::close(m_listener);
}

long halvexPid()
{
    const char *text = std::getenv("HALVEX_PID");
    return text ? std::atol(text) : 0;
}

double processCpuSeconds(long pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t end = stat.rfind(')');
    if (end == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(end + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 0; i < 13 && fields >> field; ++i) {
        if (i == 11)
            utime = std::atol(field.c_str());
        if (i == 12)
            stime = std::atol(field.c_str());
    }
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

long processStatusKiB(long pid, const char *field)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    }
    return -1;
}

double ownCpuSeconds()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double percentile(std::vector<double> &samples, double p)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const size_t index = std::min(samples.size() - 1, size_t(p / 100.0 * double(samples.size())));
    return samples[index];
}

} // namespace bench
