// Reads halvex's command line with QCommandLineParser.
#include "commandline.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

namespace ferrolink {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ferrolink::CommandLine", text);
}

QString description()
{
    return tr("Serves the Ferrolink interface of this PC over TCP port 2001 to one client at a\n"
              "time and shows in its window whom it serves and what it does. Without a display\n"
              "it runs without a window.\n"
              "\n"
              "It writes one line to standard error for every connection, refusal, drop,\n"
              "reset and self-test, for its end and for an error that ends it; started by\n"
              "systemd, these lines go to the journal (journalctl --user -u halvex).\n"
              "\n"
              "It ends with Datei > Ende, when its window is closed, with Ctrl+C or with\n"
              "SIGTERM (systemctl --user stop halvex).\n"
              "\n"
              "Qt's own options, such as -platform offscreen, are understood as well.");
}

} // namespace

CommandLine::CommandLine(const QStringList &arguments)
{
    const QString program = QFileInfo(arguments.value(0, QStringLiteral("halvex"))).fileName();
    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    // Not addHelpOption(): its --help-all would list Qt's own options, which
    // helpText() cannot show.
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") },
                                  tr("Displays this help."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption allow(
        QStringLiteral("allow"),
        tr("Serve only clients from <network>: an address (192.168.0.7, ::1) or a network "
           "(192.168.0.0/24, fd00::/8). May be given more than once. Without it every "
           "client is served."),
        tr("network"));
    parser.addOption(allow);

    if (!parser.parse(arguments)) {
        fail(program, parser.errorText());
        return;
    }
    if (parser.isSet(help)) {
        m_action = ShowHelp;
        m_text = parser.helpText();
        return;
    }
    if (parser.isSet(version)) {
        m_action = ShowVersion;
        m_text = program + QLatin1Char(' ') + QCoreApplication::applicationVersion() + u'\n';
        return;
    }
    if (!parser.positionalArguments().isEmpty()) {
        fail(program, tr("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
        return;
    }
    for (const QString &network : parser.values(allow)) {
        QString why;
        if (!m_allowList.add(network, &why)) {
            fail(program, tr("--allow %1: %2.").arg(network, why));
            return;
        }
    }
}

void CommandLine::fail(const QString &program, const QString &problem)
{
    m_action = UsageError;
    m_text = tr("%1: %2 Try '%1 --help'.\n").arg(program, problem);
}

int CommandLine::report() const
{
    const QByteArray text = m_text.toLocal8Bit();
    std::fputs(text.constData(), m_action == UsageError ? stderr : stdout);
    std::fflush(m_action == UsageError ? stderr : stdout);
    return m_action == UsageError ? UsageErrorStatus : EXIT_SUCCESS;
}

} // namespace ferrolink
