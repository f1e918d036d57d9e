// ferrolink-session: a scripted host session. A Sorvel connects to the
// server at 127.0.0.1, runs Test, writes the outputs, writes the analog
// outputs, reads the inputs and the analog inputs, and says goodbye; every
// step is printed with what the simulated interface shows.
//
//   ferrolink-session [--wait-for-server SECONDS]
//
// Exits with 0 when every write reached the interface and every read matched
// it, else with 1.
#include "hostsession.h"
#include "simulatedinterface.h"

#include <sorvel.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int DefaultServerWaitSeconds = 30;

// Runs without a display on Qt's offscreen platform.
void chooseOffscreenWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace

int main(int argc, char *argv[])
{
    chooseOffscreenWithoutDisplay();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ferrolink-session"));
    // A message box closed by the session must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Drives the simulated interface through the server at 127.0.0.1 with a Sorvel."));
    parser.addHelpOption();
    const QCommandLineOption waitOption(
        QStringLiteral("wait-for-server"),
        QStringLiteral("Wait up to <seconds> for the server to listen (0: do not wait)."),
        QStringLiteral("seconds"), QString::number(DefaultServerWaitSeconds));
    parser.addOption(waitOption);
    parser.process(app);
    bool valid = false;
    const int waitSeconds = parser.value(waitOption).toInt(&valid);
    if (!valid || waitSeconds < 0 || waitSeconds > 3600) {
        std::fputs("ferrolink-session: --wait-for-server takes 0..3600 seconds\n", stderr);
        return 2;
    }

    QTextStream out(stdout);
    ferrolink::SimulatedInterface interface;
    Sorvel sorvel;
    HostSession session(sorvel, interface, out);
    QTimer::singleShot(0, &session, [&] {
        QCoreApplication::exit(session.run(QStringLiteral("127.0.0.1"), waitSeconds * 1000));
    });
    return app.exec();
}
