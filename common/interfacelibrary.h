// The binding of the interface library: loaded at run time, bound function by function.
#ifndef FERROLINK_INTERFACELIBRARY_H
#define FERROLINK_INTERFACELIBRARY_H

#include <cstdint>
#include <memory>
#include <string>

namespace ferrolink {

// The binding of the interface library (librsapi.so by default).
//
// The file is opened with dlopen() by name, so the dynamic loader's search
// path decides which library is used: LD_LIBRARY_PATH first, then the
// RUNPATH of the program or library that carries this code (pointing at the
// installed simulator), then the system. Each of the seven functions is
// looked up on its own first call; a library that lacks one still serves
// the others. A failed binding throws ferrolink::Error with
//   48  the file exists but cannot be loaded (not a library, wrong
//       architecture, a dependency missing: dlerror() names it),
//   53  no file of that name was found,
//   453 the function is not in the library.
// Loading is tried again on the next call after a failure.
//
// Not thread-safe: call from one thread only.
class InterfaceLibrary
{
public:
    static constexpr const char *DefaultFileName = "librsapi.so";

    explicit InterfaceLibrary(std::string fileName = DefaultFileName);
    ~InterfaceLibrary();
    InterfaceLibrary(const InterfaceLibrary &) = delete;
    InterfaceLibrary &operator=(const InterfaceLibrary &) = delete;

    int16_t FINDHARD(int16_t x);
    int16_t INITSIOS(int16_t port);
    int16_t CLOSECOM();
    int16_t DIN();
    int16_t DOUT(int16_t value);
    int16_t AIN(int16_t channel);
    int16_t AOUT(int16_t channel, int16_t value);

    // The name dlopen() is given.
    const std::string &fileName() const { return m_fileName; }

private:
    enum Function { FindHard, InitSios, CloseCom, Din, Dout, Ain, Aout, FunctionCount };

    void *handle();
    void *symbol(Function function, const char *name);

    struct Closer
    {
        void operator()(void *handle) const;
    };

    std::string m_fileName;
    std::unique_ptr<void, Closer> m_handle;
    void *m_symbols[FunctionCount] = {};
};

} // namespace ferrolink

#endif
