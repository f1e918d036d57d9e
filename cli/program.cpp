// ferrolink from its arguments to its exit status.
#include "program.h"

#include "commandline.h"
#include "commandrunner.h"
#include "failure.h"
#include "interfacelibrary.h"
#include "localbackend.h"
#include "networkbackend.h"

#include <QCoreApplication>

#include <memory>

namespace ferrolink {

Program::Program() : m_out(stdout), m_err(stderr) { }

int Program::run(const QStringList &arguments)
{
    CommandLine commandLine;
    try {
        const Invocation invocation = commandLine.parse(arguments);
        switch (invocation.command) {
        case Invocation::Command::Help:
            m_out << commandLine.helpText() << Qt::flush;
            return Success;
        case Invocation::Command::Version:
            m_out << QCoreApplication::applicationName() << ' '
                  << QCoreApplication::applicationVersion() << Qt::endl;
            return Success;
        default:
            return carryOut(invocation);
        }
    } catch (const Failure &failure) {
        m_err << "ferrolink: " << failure.message() << Qt::endl;
        if (failure.status() == UsageError)
            m_err << "Try \"ferrolink --help\" for more." << Qt::endl;
        return failure.status();
    }
}

int Program::carryOut(const Invocation &invocation)
{
    std::unique_ptr<Backend> backend;
    if (invocation.server.isEmpty()) {
        auto local = std::make_unique<LocalBackend>(std::make_unique<InterfaceLibrary>());
        if (invocation.port)
            local->open(*invocation.port);
        backend = std::move(local);
    } else {
        auto network
            = std::make_unique<NetworkBackend>(invocation.server, invocation.timeoutMilliseconds);
        network->connectToServer();
        backend = std::move(network);
    }
    return CommandRunner(*backend, invocation, m_out).run();
}

} // namespace ferrolink
