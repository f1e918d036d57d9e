// Ctrl+C and SIGTERM raise a flag that the running command looks at.
#include "interruption.h"

#include <csignal>

namespace ferrolink {

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void raiseFlag(int)
{
    interrupted = 1;
}

} // namespace

void Interruption::catchSignals()
{
    struct sigaction action = {};
    action.sa_handler = raiseFlag;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool Interruption::requested()
{
    return interrupted != 0;
}

} // namespace ferrolink
