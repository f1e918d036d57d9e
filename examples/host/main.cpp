// ferrolink-host: an example host program with a Sorvel on its form.
//
//   ferrolink-host [--connect ADDRESS]
//
// With --connect the host assigns ADDRESS to the control's IP once its
// window is up, as a click on the IP button would.
#include "hostwindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ferrolink-host"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QApplication::translate("main", "Example host program with a Sorvel on its form."));
    parser.addHelpOption();
    const QCommandLineOption connectOption(
        QStringLiteral("connect"),
        QApplication::translate("main", "Assign <address> to IP once the window is up."),
        QStringLiteral("address"));
    parser.addOption(connectOption);
    parser.process(app);

    HostWindow window;
    window.show();
    if (parser.isSet(connectOption)) {
        const QString address = parser.value(connectOption);
        QTimer::singleShot(0, &window, [&window, address] { window.connectTo(address); });
    }
    return app.exec();
}
