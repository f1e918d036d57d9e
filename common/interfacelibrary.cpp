#include "interfacelibrary.h"

#include "error.h"

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

template<typename Result, typename... Args>
Result call(void *symbol, Args... args)
{
    return reinterpret_cast<Result (*)(Args...)>(symbol)(args...);
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
    return call<int16_t>(symbol(FindHard, "FINDHARD"), x);
}

int16_t InterfaceLibrary::INITSIOS(int16_t port)
{
    return call<int16_t>(symbol(InitSios, "INITSIOS"), port);
}

int16_t InterfaceLibrary::CLOSECOM()
{
    return call<int16_t>(symbol(CloseCom, "CLOSECOM"));
}

int16_t InterfaceLibrary::DIN()
{
    return call<int16_t>(symbol(Din, "DIN"));
}

int16_t InterfaceLibrary::DOUT(int16_t value)
{
    return call<int16_t>(symbol(Dout, "DOUT"), value);
}

int16_t InterfaceLibrary::AIN(int16_t channel)
{
    return call<int16_t>(symbol(Ain, "AIN"), channel);
}

int16_t InterfaceLibrary::AOUT(int16_t channel, int16_t value)
{
    return call<int16_t>(symbol(Aout, "AOUT"), channel, value);
}

} // namespace ferrolink
