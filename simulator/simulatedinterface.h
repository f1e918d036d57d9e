#ifndef FERROLINK_SIMULATEDINTERFACE_H
#define FERROLINK_SIMULATEDINTERFACE_H

#include <cstdint>

namespace ferrolink {

// The state of the simulated Ferrolink interface, shared by every process of
// the user on this PC, as the lines of a real interface would be.
//
// The state lives in POSIX shared memory, named "/ferrolink-interface-<uid>"
// (FERROLINK_INTERFACE_NAME overrides the name, so that tests can have an
// interface of their own). It is created, all zero, by the first process
// that opens it and stays until the PC restarts. Every field is an atomic,
// so a change made by one process is seen at once by all others.
//
// What the simulated library (librsapi.so) does with it:
//   FINDHARD(x)       marks the hardware as found and returns SimulatedPort
//   INITSIOS(port)    opens the port: portOpen() true, port() = port; returns 0
//   CLOSECOM()        closes the port; returns 0
//   DOUT(value)       the eight output lines take the low eight bits of value
//   DIN()             the eight input lines, 0..255
//   AIN(channel)      analog input 1 or 2, 0..255; any other channel reads 0
//   AOUT(channel, v)  analog output 1 or 2 takes v, held to 0..255 as an
//                     8-bit converter would; other channels ignore it
// Every function works whether the port is open or not, so a program can be
// tried out without an interface. Each call counts one step in changes().
class SimulatedInterface
{
public:
    static constexpr int16_t SimulatedPort = 1;
    static constexpr int AnalogChannels = 2;

    // Opens (creating if needed) the shared state. valid() is false when the
    // shared memory cannot be had; every call then acts on a private copy.
    SimulatedInterface();
    ~SimulatedInterface();
    SimulatedInterface(const SimulatedInterface &) = delete;
    SimulatedInterface &operator=(const SimulatedInterface &) = delete;

    bool valid() const;
    // The shared-memory name in use.
    static const char *name();

    uint8_t outputs() const;
    void setOutputs(uint8_t value);
    uint8_t inputs() const;
    void setInputs(uint8_t value);
    uint8_t analogInput(int channel) const; // channel 1..2, else 0
    void setAnalogInput(int channel, int value);
    uint8_t analogOutput(int channel) const; // channel 1..2, else 0
    void setAnalogOutput(int channel, int value);
    bool portOpen() const;
    int16_t port() const;
    void openPort(int16_t port);
    void closePort();
    bool hardwareFound() const;
    void setHardwareFound(bool found);

    // Counts every change; a viewer polls it to see whether to redraw.
    uint32_t changes() const;

    // Back to all zero (tests).
    void reset();

private:
    struct State;
    State *m_state = nullptr;
    bool m_shared = false;
};

} // namespace ferrolink

#endif
