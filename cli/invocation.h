// What one run of ferrolink is asked to do.
#ifndef FERROLINK_INVOCATION_H
#define FERROLINK_INVOCATION_H

#include <QString>

#include <cstdint>
#include <optional>

namespace ferrolink {

// What one run of the command is asked to do, as read from its arguments.
struct Invocation
{
    enum class Command { Help, Version, Write, Read, Analog, AnalogWrite, Test, Watch };

    static constexpr int DefaultTimeoutMilliseconds = 3000;

    Command command = Command::Help;
    // The command's numbers, unclamped: VALUE for write, CHANNEL for analog,
    // CHANNEL and VALUE for analog-write.
    int16_t first = 0;
    int16_t second = 0;
    // The server's address; empty for the interface library on this PC.
    QString server;
    // Local mode: the port to open first (as the control's lokalstart does).
    std::optional<int16_t> port;
    int timeoutMilliseconds = DefaultTimeoutMilliseconds;
    // watch: lines to print before ending; 0 until Ctrl+C.
    int count = 0;
    // Digital bytes as eight binary digits as well.
    bool bits = false;
};

} // namespace ferrolink

#endif
