// Carries out one request on the interface library: the server's request table.
#ifndef FERROLINK_COMMANDEXECUTOR_H
#define FERROLINK_COMMANDEXECUTOR_H

#include "request.h"

#include <cstdint>
#include <optional>

namespace ferrolink {

class InterfaceLibrary;

// What the server does with each request it takes, apart from the window and
// the socket: which library call a letter makes, which reply a read gets,
// which activity text the window shows, and the analog output channel that
// "B" chooses for "C" (Ausgabekanal, 0 until chosen). No widget and no
// socket, so that the table can be tried without either.
//
// A failing library call is passed over, so a client sees no error; a read
// that fails is answered with 0, so that the client's wait always ends. The
// value is passed on unchecked.
class CommandExecutor
{
public:
    // What became of one request.
    struct Outcome
    {
        // The two bytes to answer a read with; none for the other letters.
        std::optional<int16_t> reply;
        // The activity text the window shows, untranslated (for tr());
        // nullptr for a letter that is no command: the server beeps.
        const char *activity = nullptr;
        // "I": the client said goodbye, the server resets to listening.
        bool goodbye = false;
    };

    explicit CommandExecutor(InterfaceLibrary &library);

    Outcome execute(const Request &request);

    int16_t ausgabekanal() const { return Ausgabekanal; }

private:
    InterfaceLibrary &m_library;
    int16_t Ausgabekanal = 0;
};

} // namespace ferrolink

#endif
