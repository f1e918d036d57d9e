// Opens the interface library with dlopen() and calls its functions.
#include "interfacelibrary.h"

#include "error.h"
#include "rsapi.h"

#include <dlfcn.h>

namespace ferrolink {

namespace {

std::string lastLoaderError()
{
    const char *text = dlerror();
    return text ? text : "unknown loader error";
}

// dlopen() says "<name>: cannot open shared object file: No such file or
// directory" when no file of that name is on the search path. The same words
// about another name mean a missing dependency: the file itself was found.
bool isFileMissing(const std::string &fileName, const std::string &message)
{
    return message.rfind(fileName + ": cannot open shared object file: No such file", 0) == 0;
}

// Calls the library's function found at `symbol` with the type that
// rsapi.h declares for it.
template<typename Function, typename... Args> int16_t call(void *symbol, Args... args)
{
    return reinterpret_cast<Function *>(symbol)(args...);
}

} // namespace

void InterfaceLibrary::Closer::operator()(void *handle) const
{
    dlclose(handle);
}

InterfaceLibrary::InterfaceLibrary(std::string fileName) : m_fileName(std::move(fileName)) { }

InterfaceLibrary::~InterfaceLibrary() = default;

void *InterfaceLibrary::handle()
{
    if (!m_handle) {
        dlerror();
        m_handle.reset(dlopen(m_fileName.c_str(), RTLD_NOW | RTLD_LOCAL));
        if (!m_handle) {
            const std::string message = lastLoaderError();
            throw Error(isFileMissing(m_fileName, message) ? Error::FileNotFound
                                                           : Error::CannotLoadLibrary,
                        message);
        }
    }
    return m_handle.get();
}

void *InterfaceLibrary::symbol(Function function, const char *name)
{
    void *&slot = m_symbols[function];
    if (!slot) {
        void *library = handle();
        dlerror();
        slot = dlsym(library, name);
        if (!slot)
            throw Error(Error::EntryPointNotFound, lastLoaderError());
    }
    return slot;
}

int16_t InterfaceLibrary::FINDHARD(int16_t x)
{
    return call<decltype(::FINDHARD)>(symbol(FindHard, "FINDHARD"), x);
}

int16_t InterfaceLibrary::INITSIOS(int16_t port)
{
    return call<decltype(::INITSIOS)>(symbol(InitSios, "INITSIOS"), port);
}

int16_t InterfaceLibrary::CLOSECOM()
{
    return call<decltype(::CLOSECOM)>(symbol(CloseCom, "CLOSECOM"));
}

int16_t InterfaceLibrary::DIN()
{
    return call<decltype(::DIN)>(symbol(Din, "DIN"));
}

int16_t InterfaceLibrary::DOUT(int16_t value)
{
    return call<decltype(::DOUT)>(symbol(Dout, "DOUT"), value);
}

int16_t InterfaceLibrary::AIN(int16_t channel)
{
    return call<decltype(::AIN)>(symbol(Ain, "AIN"), channel);
}

int16_t InterfaceLibrary::AOUT(int16_t channel, int16_t value)
{
    return call<decltype(::AOUT)>(symbol(Aout, "AOUT"), channel, value);
}

} // namespace ferrolink
