// The monotonic clock of the program, on std::chrono::steady_clock.
#include "clock.h"

#include <chrono>

namespace ferrolink {

namespace {
class SteadyClock final : public Clock
{
public:
    double seconds() const override
    {
        using namespace std::chrono;
        return duration<double>(steady_clock::now().time_since_epoch()).count();
    }
};
} // namespace

const Clock &Clock::monotonic()
{
    static const SteadyClock clock;
    return clock;
}

} // namespace ferrolink
