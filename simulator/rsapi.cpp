// The simulated interface library: the seven functions of the Ferrolink
// interface library acting on the shared simulated interface (see
// simulatedinterface.h for what each does).
#include "rsapi.h"
#include "simulatedinterface.h"

#include <cstdint>

namespace {

ferrolink::SimulatedInterface &interface()
{
    static ferrolink::SimulatedInterface shared;
    return shared;
}

} // namespace

int16_t FINDHARD(int16_t)
{
    interface().setHardwareFound(true);
    return ferrolink::SimulatedInterface::SimulatedPort;
}

int16_t INITSIOS(int16_t port)
{
    interface().openPort(port);
    return 0;
}

int16_t CLOSECOM()
{
    interface().closePort();
    return 0;
}

int16_t DIN()
{
    return interface().inputs();
}

int16_t DOUT(int16_t value)
{
    interface().setOutputs(static_cast<uint8_t>(value & 0xff));
    return 0;
}

int16_t AIN(int16_t channel)
{
    return interface().analogInput(channel);
}

int16_t AOUT(int16_t channel, int16_t value)
{
    interface().setAnalogOutput(channel, value);
    return 0;
}
