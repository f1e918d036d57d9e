// The interface library on this PC, as a backend of ferrolink.
#ifndef FERROLINK_LOCALBACKEND_H
#define FERROLINK_LOCALBACKEND_H

#include "backend.h"

#include <memory>
#include <optional>

namespace ferrolink {

class InterfaceLibrary;

// The interface library on this PC, called as the control calls it in local
// mode: DOUT, DIN, AIN, and AOUT on the chosen channel. The library is found
// by the loader (LD_LIBRARY_PATH, then the simulator beside the program's
// lib folder). Unlike the control, a library that cannot be loaded is
// reported (LibraryFailure with its error number), not replaced by a server.
class LocalBackend : public Backend
{
public:
    explicit LocalBackend(std::unique_ptr<InterfaceLibrary> library);
    ~LocalBackend() override;

    // Opens the interface on `port` (INITSIOS), as lokalstart does.
    void open(int16_t port);

    void writeDigital(int16_t value) override;
    int16_t readDigital() override;
    int16_t readAnalog(int16_t channel) override;
    void writeAnalog(int16_t channel, int16_t value) override;
    void finish() override;

private:
    template<typename Call> auto guarded(Call call) -> decltype(call());

    std::unique_ptr<InterfaceLibrary> m_library;
};

} // namespace ferrolink

#endif
