// Reads ferrolink's arguments with QCommandLineParser; --help and --version.
#include "commandline.h"

#include "failure.h"

#include <QRegularExpression>

#include <cmath>

namespace ferrolink {

namespace {

constexpr double MaxTimeoutSeconds = 3600;

struct CommandForm
{
    const char *name;
    Invocation::Command command;
    // The names of its arguments, as --help shows them; nullptr when unused.
    const char *first;
    const char *second;
};

constexpr CommandForm Commands[] = {
    { "write", Invocation::Command::Write, "VALUE", nullptr },
    { "read", Invocation::Command::Read, nullptr, nullptr },
    { "analog", Invocation::Command::Analog, "CHANNEL", nullptr },
    { "analog-write", Invocation::Command::AnalogWrite, "CHANNEL", "VALUE" },
    { "test", Invocation::Command::Test, nullptr, nullptr },
    { "watch", Invocation::Command::Watch, nullptr, nullptr },
};

const char *const Description
    = "Drives the Ferrolink interface from the shell, one request at a time: over TCP\n"
      "through the server halvex at ADDRESS:2001 with --server, otherwise on this PC\n"
      "through the interface library librsapi.so (the simulated interface unless a\n"
      "real library comes first on LD_LIBRARY_PATH).\n"
      "\n"
      "Commands:\n"
      "  write VALUE                 write the digital outputs (VALUE clamped to\n"
      "                              0..255); prints the value written\n"
      "  read                        print the digital input byte\n"
      "  analog CHANNEL              print analog input CHANNEL\n"
      "  analog-write CHANNEL VALUE  write an analog output (CHANNEL clamped to 1..2,\n"
      "                              VALUE to 0..255); prints the two as used\n"
      "  test                        walking bit: 1, 2, 4 ... 128 on the outputs,\n"
      "                              0.5 s a step; prints each value\n"
      "  watch                       print \"INPUT ANALOG1 ANALOG2\" whenever one of them\n"
      "                              changes, until Ctrl+C or --count lines\n"
      "Numbers are whole decimal numbers from -32768 to 32767; a negative one goes\n"
      "after \"--\" (ferrolink analog -- -1).";

const char *const ExitStatuses
    = "\nExit statuses:\n"
      "  0    done\n"
      "  1    any other failure\n"
      "  2    usage error: unknown command or option, missing or bad argument\n"
      "  3    the server refused the connection: it may be serving another client,\n"
      "       or not be listening yet (halvex listens 10 to 15 s after its start)\n"
      "  4    the server cannot be reached (no such host, no route, no connection\n"
      "       within the timeout) or closed the connection\n"
      "  5    the server did not answer a read within the timeout\n"
      "  6    the interface library cannot be loaded (error 48 or 53) or lacks a\n"
      "       function (error 453)\n"
      "  130  test ended by Ctrl+C\n";

[[noreturn]] void usage(const QString &text)
{
    throw Failure(UsageError, text);
}

int16_t number(const QString &text, const QString &what)
{
    bool ok = false;
    const short value = text.toShort(&ok, 10);
    if (!ok)
        usage(QStringLiteral("%1 must be a whole number from -32768 to 32767, not \"%2\"")
                  .arg(what, text));
    return int16_t(value);
}

const CommandForm *findCommand(const QString &name)
{
    for (const CommandForm &form : Commands) {
        if (name == QLatin1String(form.name))
            return &form;
    }
    return nullptr;
}

int arity(const CommandForm &form)
{
    return (form.first ? 1 : 0) + (form.second ? 1 : 0);
}

QString formUsage(const CommandForm &form)
{
    QStringList words = { QString::fromLatin1(form.name) };
    for (const char *argument : { form.first, form.second }) {
        if (argument)
            words << QString::fromLatin1(argument);
    }
    return words.join(u' ');
}

} // namespace

CommandLine::CommandLine()
    : m_server({ "s", "server" },
               "Work through the server halvex at ADDRESS (a dotted IPv4 address or a host "
               "name), port 2001.",
               "ADDRESS"),
      m_timeout({ "t", "timeout" },
                "Over the network, wait at most SECONDS for the connection and for each "
                "reply (default 3).",
                "SECONDS"),
      m_count({ "n", "count" }, "watch: end after N lines.", "N"),
      m_bits({ "b", "bits" }, "Print digital bytes as eight binary digits as well."),
      m_port({ "p", "port" },
             "On this PC, open the interface on PORT first (the library's INITSIOS, as the "
             "control's lokalstart does; the simulated interface needs none).",
             "PORT"),
      m_help({ "h", "help" }, "Show this help and exit."),
      m_version({ "v", "version" }, "Show the version and exit.")
{
    m_parser.setApplicationDescription(QString::fromLatin1(Description));
    m_parser.addOptions({ m_server, m_timeout, m_count, m_bits, m_port, m_help, m_version });
    m_parser.addPositionalArgument("COMMAND", "write, read, analog, analog-write, test or watch.",
                                   "COMMAND [ARGUMENTS]");
}

Invocation CommandLine::parse(const QStringList &arguments)
{
    if (!m_parser.parse(arguments)) {
        QString text = m_parser.errorText();
        static const QRegularExpression negative(QStringLiteral("^-\\d+$"));
        if (!arguments.filter(negative).isEmpty())
            text
                += QStringLiteral(" (a negative number goes after \"--\": ferrolink analog -- -1)");
        usage(text);
    }
    Invocation invocation;
    if (m_parser.isSet(m_help))
        return invocation;
    if (m_parser.isSet(m_version)) {
        invocation.command = Invocation::Command::Version;
        return invocation;
    }
    readCommand(invocation);
    readOptions(invocation);
    return invocation;
}

void CommandLine::readCommand(Invocation &invocation) const
{
    const QStringList positional = m_parser.positionalArguments();
    if (positional.isEmpty())
        usage(QStringLiteral("no command given"));
    const CommandForm *form = findCommand(positional.first());
    if (!form)
        usage(QStringLiteral("unknown command \"%1\"").arg(positional.first()));
    if (positional.size() - 1 != arity(*form))
        usage(QStringLiteral("usage: ferrolink [options] %1").arg(formUsage(*form)));
    invocation.command = form->command;
    const QString name = QString::fromLatin1(form->name) + QStringLiteral(": ");
    if (form->first)
        invocation.first = number(positional.at(1), name + QLatin1String(form->first));
    if (form->second)
        invocation.second = number(positional.at(2), name + QLatin1String(form->second));
}

void CommandLine::readOptions(Invocation &invocation) const
{
    invocation.server = m_parser.value(m_server);
    if (m_parser.isSet(m_server) && invocation.server.isEmpty())
        usage(QStringLiteral("--server needs an address"));
    invocation.bits = m_parser.isSet(m_bits);

    if (m_parser.isSet(m_timeout)) {
        bool ok = false;
        const double seconds = m_parser.value(m_timeout).toDouble(&ok);
        if (!ok || !(seconds > 0 && seconds <= MaxTimeoutSeconds))
            usage(QStringLiteral("--timeout must be a number of seconds above 0 and up to %1, "
                                 "not \"%2\"")
                      .arg(MaxTimeoutSeconds)
                      .arg(m_parser.value(m_timeout)));
        invocation.timeoutMilliseconds = std::max(1, int(std::lround(seconds * 1000)));
    }

    if (m_parser.isSet(m_count)) {
        if (invocation.command != Invocation::Command::Watch)
            usage(QStringLiteral("--count belongs to watch"));
        bool ok = false;
        invocation.count = m_parser.value(m_count).toInt(&ok, 10);
        if (!ok || invocation.count < 1)
            usage(QStringLiteral("--count must be a whole number of at least 1, not \"%1\"")
                      .arg(m_parser.value(m_count)));
    }

    if (m_parser.isSet(m_port)) {
        if (!invocation.server.isEmpty())
            usage(QStringLiteral("--port opens the interface on this PC; it has no use with "
                                 "--server"));
        invocation.port = number(m_parser.value(m_port), QStringLiteral("PORT"));
    }
}

QString CommandLine::helpText() const
{
    return m_parser.helpText() + QString::fromLatin1(ExitStatuses);
}

} // namespace ferrolink
