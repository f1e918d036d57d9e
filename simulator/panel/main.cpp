// ferrolink-panel: shows the simulated Ferrolink interface and lets a person
// set its inputs, while programs drive it through the simulated library.
#include "panelwindow.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int UsageErrorStatus = 2;

// Answers --help and --version and refuses anything else; -1 when the panel
// is to run (Qt has already taken its own options such as -platform).
int handleArguments()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "main",
        "Shows the outputs of the simulated Ferrolink interface live and lets you set its\n"
        "inputs and analog inputs, while programs drive it through the simulated interface\n"
        "library. It ends when its window is closed.\n"
        "\n"
        "Qt's own options, such as -platform offscreen, are understood as well."));
    // Not addHelpOption(): its --help-all would list Qt's own options, which
    // helpText() cannot show.
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") },
                                  QCoreApplication::translate("main", "Displays this help."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QString program = QCoreApplication::applicationName();
    QString problem;
    if (!parser.parse(QCoreApplication::arguments()))
        problem = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        problem
            = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QStringLiteral("%1: %2 Try '%1 --help'.").arg(program, problem)));
        return UsageErrorStatus;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return EXIT_SUCCESS;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(program),
                    qPrintable(QCoreApplication::applicationVersion()));
        return EXIT_SUCCESS;
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ferrolink-panel"));
    QApplication::setApplicationVersion(QStringLiteral(FERROLINK_VERSION));
    if (const int status = handleArguments(); status >= 0)
        return status;

    ferrolink::PanelWindow window;
    window.show();
    return app.exec();
}
