// ferrolink: the Ferrolink interface from the shell. See ferrolink --help
// and ferrolink(1).
#include "program.h"

#include <QCoreApplication>

#include <csignal>

int main(int argc, char *argv[])
{
    // A closed output is seen as a failed write, so that the command can
    // still end in order (over the network, with its goodbye).
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ferrolink"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FERROLINK_VERSION));
    return ferrolink::Program().run(QCoreApplication::arguments());
}
