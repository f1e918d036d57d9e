// Calls one function of the interface library through the project's binding
// and prints the result, or "error <number>: <text>". Tests run it with
// different library search paths to see which library a program gets.
//   rsapiprobe DOUT 5
#include "error.h"
#include "interfacelibrary.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: rsapiprobe FUNCTION [argument...]\n");
        return 2;
    }
    const auto argument
        = [&](int i) { return static_cast<int16_t>(argc > i + 1 ? std::atoi(argv[i + 1]) : 0); };
    ferrolink::InterfaceLibrary library;
    const char *function = argv[1];
    try {
        int16_t result = 0;
        if (!std::strcmp(function, "FINDHARD"))
            result = library.FINDHARD(argument(1));
        else if (!std::strcmp(function, "INITSIOS"))
            result = library.INITSIOS(argument(1));
        else if (!std::strcmp(function, "CLOSECOM"))
            result = library.CLOSECOM();
        else if (!std::strcmp(function, "DIN"))
            result = library.DIN();
        else if (!std::strcmp(function, "DOUT"))
            result = library.DOUT(argument(1));
        else if (!std::strcmp(function, "AIN"))
            result = library.AIN(argument(1));
        else if (!std::strcmp(function, "AOUT"))
            result = library.AOUT(argument(1), argument(2));
        else
            return 2;
        std::printf("%d\n", result);
        return 0;
    } catch (const ferrolink::Error &error) {
        std::printf("error %d: %s\n", error.number(), error.what());
        return 1;
    }
}
