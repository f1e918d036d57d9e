// The interface library on this PC, as a backend of ferrolink.
#include "localbackend.h"

#include "error.h"
#include "failure.h"
#include "interfacelibrary.h"

namespace ferrolink {

namespace {

bool isLibraryFailure(int number)
{
    return number == Error::CannotLoadLibrary || number == Error::FileNotFound
        || number == Error::EntryPointNotFound;
}

} // namespace

LocalBackend::LocalBackend(std::unique_ptr<InterfaceLibrary> library)
    : m_library(std::move(library))
{
}

LocalBackend::~LocalBackend() = default;

template<typename Call> auto LocalBackend::guarded(Call call) -> decltype(call())
{
    try {
        return call();
    } catch (const Error &error) {
        QString message = QStringLiteral("the interface library %1: %2")
                              .arg(QString::fromStdString(m_library->fileName()),
                                   QString::fromStdString(error.describe()));
        if (error.number() == Error::CannotLoadLibrary)
            message += QStringLiteral(
                "\n(a halvex on this PC can serve instead: ferrolink --server 127.0.0.1 ...)");
        throw Failure(isLibraryFailure(error.number()) ? LibraryFailure : OtherFailure, message);
    }
}

void LocalBackend::open(int16_t port)
{
    guarded([&] { return m_library->INITSIOS(port); });
}

void LocalBackend::writeDigital(int16_t value)
{
    guarded([&] { return m_library->DOUT(value); });
}

int16_t LocalBackend::readDigital()
{
    return guarded([&] { return m_library->DIN(); });
}

int16_t LocalBackend::readAnalog(int16_t channel)
{
    return guarded([&] { return m_library->AIN(channel); });
}

void LocalBackend::writeAnalog(int16_t channel, int16_t value)
{
    guarded([&] { return m_library->AOUT(channel, value); });
}

// The port stays as it is, as the control leaves it when it goes away.
void LocalBackend::finish() { }

} // namespace ferrolink
