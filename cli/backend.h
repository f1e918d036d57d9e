// The way to the interface a command goes through: local library or server.
#ifndef FERROLINK_BACKEND_H
#define FERROLINK_BACKEND_H

#include <cstdint>

namespace ferrolink {

// The way to the interface that the command's work goes through: the
// interface library on this PC or a server over TCP, chosen once at the
// start. Values arrive clamped where the control clamps them. A failure
// throws Failure with the exit status that names it.
class Backend
{
public:
    virtual ~Backend() = default;

    virtual void writeDigital(int16_t value) = 0;
    virtual int16_t readDigital() = 0;
    virtual int16_t readAnalog(int16_t channel) = 0;
    virtual void writeAnalog(int16_t channel, int16_t value) = 0;
    // Ends the work in order (over the network: the goodbye).
    virtual void finish() = 0;
};

} // namespace ferrolink

#endif
