// ferrolink: the Ferrolink interface from the shell. See ferrolink --help
// and ferrolink(1).
#include "program.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ferrolink"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FERROLINK_VERSION));
    return ferrolink::Program().run(QCoreApplication::arguments());
}
