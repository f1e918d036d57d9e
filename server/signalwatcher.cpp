// SIGINT and SIGTERM through a socket pair into the event loop.
#include "signalwatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace ferrolink {

namespace {

int signalPipe[2] = { -1, -1 };

extern "C" void onTerminationSignal(int)
{
    const char byte = 1;
    // Async-signal-safe; a full pipe already holds a pending request.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

bool installHandler(int signalNumber)
{
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(signalNumber, &action, nullptr) == 0;
}

} // namespace

SignalWatcher::SignalWatcher(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0)
        return;
    m_notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::onNotified);
    installHandler(SIGINT);
    installHandler(SIGTERM);
}

SignalWatcher::~SignalWatcher()
{
    if (!m_notifier)
        return;
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    delete m_notifier;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void SignalWatcher::onNotified()
{
    char bytes[16];
    while (::read(signalPipe[1], bytes, sizeof bytes) > 0) { }
    emit terminationRequested();
}

} // namespace ferrolink
