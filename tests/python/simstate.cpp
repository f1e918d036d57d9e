// Shows and sets the simulated interface from outside, for tests of programs
// that are not C++ (the Python module). Acts on the interface that
// FERROLINK_INTERFACE_NAME names, as the simulated library does.
//   simstate                  prints "<outputs> <inputs> <analog out 1> <analog out 2>"
//   simstate inputs VALUE     sets the eight input lines
//   simstate analog CHANNEL VALUE   sets analog input CHANNEL (1..2)
#include "simulatedinterface.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    ferrolink::SimulatedInterface interface;
    if (!interface.valid()) {
        std::fprintf(stderr, "simstate: no shared simulated interface %s\n",
                     ferrolink::SimulatedInterface::name());
        return 1;
    }
    if (argc == 1) {
        std::printf("%d %d %d %d\n", interface.outputs(), interface.inputs(),
                    interface.analogOutput(1), interface.analogOutput(2));
        return 0;
    }
    if (argc == 3 && !std::strcmp(argv[1], "inputs")) {
        interface.setInputs(static_cast<uint8_t>(std::atoi(argv[2])));
        return 0;
    }
    if (argc == 4 && !std::strcmp(argv[1], "analog")) {
        interface.setAnalogInput(std::atoi(argv[2]), std::atoi(argv[3]));
        return 0;
    }
    std::fprintf(stderr, "usage: simstate [inputs VALUE | analog CHANNEL VALUE]\n");
    return 2;
}
