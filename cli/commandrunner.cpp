// The commands of ferrolink: write, read, analog, analog-write, test, watch.
#include "commandrunner.h"

#include "backend.h"
#include "delay.h"
#include "failure.h"
#include "interruption.h"
#include "protocol.h"

#include <QFileDevice>
#include <QtGlobal>

#include <poll.h>

namespace ferrolink {

CommandRunner::CommandRunner(Backend &backend, const Invocation &invocation, QTextStream &out)
    : m_backend(backend), m_invocation(invocation), m_out(out)
{
}

ExitStatus CommandRunner::run()
{
    ExitStatus status = Success;
    try {
        status = carryOut();
    } catch (const Failure &) {
        // A server still connected gets its goodbye all the same, so that it
        // listens again at once; the first failure is the one reported.
        try {
            m_backend.finish();
        } catch (const Failure &) {
        }
        throw;
    }
    m_backend.finish();
    return status;
}

ExitStatus CommandRunner::carryOut()
{
    ExitStatus status = Success;
    switch (m_invocation.command) {
    case Invocation::Command::Write:
        write();
        break;
    case Invocation::Command::Read:
        read();
        break;
    case Invocation::Command::Analog:
        analog();
        break;
    case Invocation::Command::AnalogWrite:
        analogWrite();
        break;
    case Invocation::Command::Test:
        status = test();
        break;
    case Invocation::Command::Watch:
        status = watch();
        break;
    case Invocation::Command::Help:
    case Invocation::Command::Version:
        break;
    }
    return status;
}

void CommandRunner::write()
{
    const int16_t value = protocol::clampOutputValue(m_invocation.first);
    m_backend.writeDigital(value);
    print(byte(value));
}

void CommandRunner::read()
{
    print(byte(m_backend.readDigital()));
}

// The channel goes out as given, as the control's Analogwert sends it.
void CommandRunner::analog()
{
    print(QString::number(m_backend.readAnalog(m_invocation.first)));
}

void CommandRunner::analogWrite()
{
    const int16_t channel = protocol::clampAnalogChannel(m_invocation.first);
    const int16_t value = protocol::clampOutputValue(m_invocation.second);
    m_backend.writeAnalog(channel, value);
    print(QStringLiteral("%1 %2").arg(channel).arg(value));
}

ExitStatus CommandRunner::test()
{
    Interruption::catchSignals();
    for (int bit = 0; bit < 8; ++bit) {
        const auto value = int16_t(1 << bit);
        m_backend.writeDigital(value);
        print(byte(value));
        delay(TestStepSeconds);
        if (Interruption::requested())
            return Interrupted;
    }
    return Success;
}

ExitStatus CommandRunner::watch()
{
    Interruption::catchSignals();
    std::array<int16_t, 3> shown = {};
    int lines = 0;
    while (!Interruption::requested() && !outputGone()) {
        const std::array<int16_t, 3> now = inputs();
        if (lines == 0 || now != shown) {
            print(QStringLiteral("%1 %2 %3").arg(byte(now[0])).arg(now[1]).arg(now[2]));
            shown = now;
            if (++lines == m_invocation.count)
                break;
        }
        delay(WatchIntervalMilliseconds / 1000.0f);
    }
    return Success;
}

// A pipe whose reader has gone ("watch | head -3"): watch ends in order
// instead of waiting for the next change to find out. The write end of such
// a pipe polls as an error.
bool CommandRunner::outputGone() const
{
    if (m_out.status() != QTextStream::Ok)
        return true;
    const auto *file = qobject_cast<const QFileDevice *>(m_out.device());
    if (!file || file->handle() < 0)
        return false;
    pollfd output = { file->handle(), 0, 0 };
    return ::poll(&output, 1, 0) == 1 && (output.revents & (POLLERR | POLLHUP)) != 0;
}

std::array<int16_t, 3> CommandRunner::inputs()
{
    return { m_backend.readDigital(), m_backend.readAnalog(1), m_backend.readAnalog(2) };
}

// "5", or with --bits "5 00000101". A value beyond a byte shows all 16 bits.
QString CommandRunner::byte(int16_t value) const
{
    if (!m_invocation.bits)
        return QString::number(value);
    const bool isByte = value >= 0 && value <= 255;
    const auto bits = static_cast<uint16_t>(value);
    return QStringLiteral("%1 %2").arg(value).arg(bits, isByte ? 8 : 16, 2, QLatin1Char('0'));
}

void CommandRunner::print(const QString &line)
{
    m_out << line << Qt::endl;
}

} // namespace ferrolink
