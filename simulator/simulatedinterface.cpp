#include "simulatedinterface.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ferrolink {

// Lock-free atomics of these sizes are plain memory, so they work across
// processes that map the same page.
struct SimulatedInterface::State
{
    std::atomic<uint32_t> changes;
    std::atomic<uint8_t> outputs;
    std::atomic<uint8_t> inputs;
    std::atomic<uint8_t> analogInputs[AnalogChannels];
    std::atomic<uint8_t> analogOutputs[AnalogChannels];
    std::atomic<uint8_t> portOpen;
    std::atomic<uint8_t> hardwareFound;
    std::atomic<int16_t> port;
};
static_assert(std::atomic<uint32_t>::is_always_lock_free);
static_assert(std::atomic<int16_t>::is_always_lock_free);
static_assert(std::atomic<uint8_t>::is_always_lock_free);

namespace {

bool isChannel(int channel)
{
    return channel >= 1 && channel <= SimulatedInterface::AnalogChannels;
}

uint8_t toByteRange(int value)
{
    return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

} // namespace

const char *SimulatedInterface::name()
{
    static const std::string shared = [] {
        const char *overridden = std::getenv("FERROLINK_INTERFACE_NAME");
        if (overridden && *overridden)
            return std::string(overridden);
        return "/ferrolink-interface-" + std::to_string(getuid());
    }();
    return shared.c_str();
}

SimulatedInterface::SimulatedInterface()
{
    const int fd = shm_open(name(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0) {
        struct stat info = {};
        // Whoever comes first sizes it; the kernel fills it with zeros.
        if (fstat(fd, &info) == 0 && info.st_size < off_t(sizeof(State))
            && ftruncate(fd, sizeof(State)) != 0) {
            info.st_size = -1;
        }
        void *memory = info.st_size < 0
            ? MAP_FAILED
            : mmap(nullptr, sizeof(State), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        close(fd);
        if (memory != MAP_FAILED) {
            m_state = static_cast<State *>(memory);
            m_shared = true;
        }
    }
    if (!m_state) {
        std::fprintf(stderr,
                     "ferrolink: shared interface state %s unavailable; using a private one\n",
                     name());
        m_state = new State();
    }
}

SimulatedInterface::~SimulatedInterface()
{
    if (m_shared)
        munmap(m_state, sizeof(State));
    else
        delete m_state;
}

bool SimulatedInterface::valid() const
{
    return m_shared;
}

uint8_t SimulatedInterface::outputs() const
{
    return m_state->outputs.load();
}

void SimulatedInterface::setOutputs(uint8_t value)
{
    m_state->outputs.store(value);
    ++m_state->changes;
}

uint8_t SimulatedInterface::inputs() const
{
    return m_state->inputs.load();
}

void SimulatedInterface::setInputs(uint8_t value)
{
    m_state->inputs.store(value);
    ++m_state->changes;
}

uint8_t SimulatedInterface::analogInput(int channel) const
{
    return isChannel(channel) ? m_state->analogInputs[channel - 1].load() : 0;
}

void SimulatedInterface::setAnalogInput(int channel, int value)
{
    if (!isChannel(channel))
        return;
    m_state->analogInputs[channel - 1].store(toByteRange(value));
    ++m_state->changes;
}

uint8_t SimulatedInterface::analogOutput(int channel) const
{
    return isChannel(channel) ? m_state->analogOutputs[channel - 1].load() : 0;
}

void SimulatedInterface::setAnalogOutput(int channel, int value)
{
    if (!isChannel(channel))
        return;
    m_state->analogOutputs[channel - 1].store(toByteRange(value));
    ++m_state->changes;
}

bool SimulatedInterface::portOpen() const
{
    return m_state->portOpen.load() != 0;
}

int16_t SimulatedInterface::port() const
{
    return m_state->port.load();
}

void SimulatedInterface::openPort(int16_t port)
{
    m_state->port.store(port);
    m_state->portOpen.store(1);
    ++m_state->changes;
}

void SimulatedInterface::closePort()
{
    m_state->portOpen.store(0);
    ++m_state->changes;
}

bool SimulatedInterface::hardwareFound() const
{
    return m_state->hardwareFound.load() != 0;
}

void SimulatedInterface::setHardwareFound(bool found)
{
    m_state->hardwareFound.store(found ? 1 : 0);
    ++m_state->changes;
}

uint32_t SimulatedInterface::changes() const
{
    return m_state->changes.load();
}

void SimulatedInterface::reset()
{
    m_state->outputs.store(0);
    m_state->inputs.store(0);
    for (int i = 0; i < AnalogChannels; ++i) {
        m_state->analogInputs[i].store(0);
        m_state->analogOutputs[i].store(0);
    }
    m_state->portOpen.store(0);
    m_state->hardwareFound.store(0);
    m_state->port.store(0);
    ++m_state->changes;
}

} // namespace ferrolink
