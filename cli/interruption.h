// Ctrl+C and SIGTERM for the commands that run until stopped.
#ifndef FERROLINK_INTERRUPTION_H
#define FERROLINK_INTERRUPTION_H

namespace ferrolink {

// Ctrl+C (SIGINT) and SIGTERM for the commands that run until stopped: the
// signal only raises a flag, which the command looks at between its steps,
// so that it can end in order (over the network, with the goodbye).
class Interruption
{
public:
    // Catches SIGINT and SIGTERM from now on.
    static void catchSignals();
    static bool requested();
};

} // namespace ferrolink

#endif
