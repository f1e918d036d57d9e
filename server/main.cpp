// halvex: serves the Ferrolink interface of this PC to one client at a time
// over TCP port 2001 and shows in its window whom it serves and what it does.
#include "commandline.h"
#include "eventlog.h"
#include "halvex.h"
#include "interfacelibrary.h"
#include "signalwatcher.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// A PC without a screen still serves: with no display to connect to, the
// program runs on Qt's offscreen platform (unless a platform was chosen).
void chooseOffscreenWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Each request is a wake-up of the event loop, a read and a reply: Qt's own
// dispatcher does that with fewer system calls than the GLib one, whose
// wake-ups each cost a write and a read of its own. Only this process is
// affected; an explicit QT_NO_GLIB (even empty) is left as it is.
void chooseQtEventDispatcher()
{
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
}

void tellWhenWindowless()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        std::fputs("halvex runs without a window; Ctrl+C ends it.\n", stderr);
}

} // namespace

int main(int argc, char *argv[])
{
    chooseOffscreenWithoutDisplay();
    chooseQtEventDispatcher();
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(FERROLINK_VERSION));
    // Qt has taken its own options (-platform, -style, ...) out of these.
    const ferrolink::CommandLine commandLine(QCoreApplication::arguments());
    if (commandLine.action() != ferrolink::CommandLine::Run)
        return commandLine.report();
    // The window ends the program itself, with the status of how it ended.
    QApplication::setQuitOnLastWindowClosed(false);
    tellWhenWindowless();

    // Before the window: a signal that comes early waits in the event loop.
    ferrolink::SignalWatcher signalWatcher;
    ferrolink::InterfaceLibrary library;
    ferrolink::Halvex window(library);
    window.setAllowList(commandLine.allowList());
    ferrolink::EventLog log;
    QObject::connect(&window, &ferrolink::Halvex::logged, &log, &ferrolink::EventLog::write);
    QObject::connect(&signalWatcher, &ferrolink::SignalWatcher::terminationRequested, &window,
                     &ferrolink::Halvex::Ende_Click);
    QObject::connect(&window, &ferrolink::Halvex::ended, &app, &QCoreApplication::exit);
    if (!window.hasEnded())
        window.show();
    return app.exec();
}
