#include "hostsession.h"

#include "portstate.h"
#include "simulatedinterface.h"

#include <sorvel.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <vector>

namespace {

constexpr quint16 ServerPort = 2001;
constexpr int DialogWatchMs = 100;
constexpr int SampleMs = 5;
constexpr int PortPollMs = 100;
constexpr int ListenAgainTimeoutMs = 5000;

// What the session puts on the inputs before it reads them.
constexpr uint8_t FirstInputs = 0b10100101;
constexpr uint8_t SecondInputs = 0b00111100;
constexpr int AnalogInputs[] = { 77, 200 };

QString byteText(int value)
{
    return QStringLiteral("%1 %2").arg(value, 3).arg(
        QString::number(value & 0xff, 2).rightJustified(8, QLatin1Char('0')));
}

QString seconds(const QElapsedTimer &timer)
{
    return QString::number(timer.elapsed() / 1000.0, 'f', 1);
}

} // namespace

HostSession::HostSession(Sorvel &sorvel, ferrolink::SimulatedInterface &interface, QTextStream &out,
                         QObject *parent)
    : QObject(parent), m_sorvel(sorvel), m_interface(interface), m_out(out)
{
    // A message box of the control would wait for a person; the session
    // notes it as a failure and closes it.
    m_dialogWatch = new QTimer(this);
    m_dialogWatch->setInterval(DialogWatchMs);
    connect(m_dialogWatch, &QTimer::timeout, this, &HostSession::closeMessageBoxes);
}

int HostSession::run(const QString &address, int serverWaitMs)
{
    m_out
        << "Ferrolink host session: a Sorvel drives the simulated interface through the server at "
        << address << ':' << ServerPort << Qt::endl;
    m_out << "simulated interface: " << ferrolink::SimulatedInterface::name() << Qt::endl;
    if (!m_interface.valid()) {
        m_out << "FAILED: the simulated interface's shared memory cannot be opened" << Qt::endl;
        return 1;
    }
    m_dialogWatch->start();

    prepareInputs();
    if (connectToServer(address, serverWaitMs)) {
        runTest();
        writeOutputs();
        writeAnalog();
        readInputs();
        readAnalog();
        sayGoodbye();
    }

    m_dialogWatch->stop();
    m_out << Qt::endl;
    if (m_failures == 0)
        m_out << "session ended: all " << m_checks << " checks passed" << Qt::endl;
    else
        m_out << "session ended: " << m_failures << " of " << m_checks << " checks FAILED"
              << Qt::endl;
    return m_failures == 0 ? 0 : 1;
}

void HostSession::prepareInputs()
{
    step(QStringLiteral("the simulated interface is set up: outputs 0, inputs %1, analog in %2 "
                        "and %3")
             .arg(FirstInputs)
             .arg(AnalogInputs[0])
             .arg(AnalogInputs[1]));
    m_interface.setOutputs(0);
    m_interface.setInputs(FirstInputs);
    for (int channel = 1; channel <= ferrolink::SimulatedInterface::AnalogChannels; ++channel) {
        m_interface.setAnalogInput(channel, AnalogInputs[channel - 1]);
        m_interface.setAnalogOutput(channel, 0);
    }
    showInterface();
}

bool HostSession::connectToServer(const QString &address, int serverWaitMs)
{
    if (serverWaitMs > 0) {
        step(
            QStringLiteral("waiting up to %1 s for the server to listen").arg(serverWaitMs / 1000));
        QElapsedTimer waited;
        waited.start();
        const bool listening
            = waitUntil([] { return PortState::listening(ServerPort); }, serverWaitMs, PortPollMs);
        check(listening, QStringLiteral("the server listens (after %1 s)").arg(seconds(waited)));
        if (!listening)
            return false;
    }

    step(QStringLiteral("IP = \"%1\"").arg(address));
    QElapsedTimer connecting;
    connecting.start();
    const int failuresBefore = m_failures;
    m_sorvel.IP(address);
    detail(QStringLiteral("IP returned after %1 s (the control gives its connection 4 s)")
               .arg(seconds(connecting)));
    // While the server has a client nothing listens on its port.
    check(!PortState::listening(ServerPort),
          QStringLiteral("the server serves this control and no longer listens"));
    return m_failures == failuresBefore;
}

void HostSession::writeOutputs()
{
    ausgabe(5, false);
    ausgabe(300, true);
    ausgabe(-5, false);
    ausgabe(170, false);
}

void HostSession::runTest()
{
    step(QStringLiteral("Test"));
    std::vector<int> seen;
    uint8_t last = m_interface.outputs();
    QTimer sampler;
    sampler.setInterval(SampleMs);
    connect(&sampler, &QTimer::timeout, this, [&] {
        const uint8_t now = m_interface.outputs();
        if (now != last)
            seen.push_back(now);
        last = now;
    });
    sampler.start();
    QElapsedTimer running;
    running.start();
    m_sorvel.Test();
    sampler.stop();

    QStringList values;
    for (int value : seen)
        values << QString::number(value);
    detail(QStringLiteral("outputs seen while Test ran (%1 s): %2")
               .arg(seconds(running), values.join(QLatin1Char(' '))));
    showInterface();
    const std::vector<int> walkingBit { 1, 2, 4, 8, 16, 32, 64, 128 };
    check(seen == walkingBit, QStringLiteral("the walking bit 1 2 4 ... 128 reached the outputs"));
}

void HostSession::writeAnalog()
{
    analogkanal(5);
    analogsend(2, 1000);
    analogkanal(1);
    analogsend(1, 100);
}

void HostSession::readInputs()
{
    eingabe();
    step(QStringLiteral("the inputs change on the simulated interface to %1").arg(SecondInputs));
    m_interface.setInputs(SecondInputs);
    eingabe();
}

void HostSession::readAnalog()
{
    for (int channel = 1; channel <= ferrolink::SimulatedInterface::AnalogChannels; ++channel) {
        qint16 kanal = static_cast<qint16>(channel);
        step(QStringLiteral("Analogwert(%1)").arg(kanal));
        const qint16 value = m_sorvel.Analogwert(kanal);
        const int held = m_interface.analogInput(channel);
        detail(QStringLiteral("read %1; the interface holds %2").arg(value).arg(held));
        check(value == held, QStringLiteral("Analogwert(%1) matches the interface").arg(channel));
    }
}

void HostSession::sayGoodbye()
{
    step(QStringLiteral("lokalstart (leaves the server with \"I\", then opens the port here)"));
    m_sorvel.lokalstart();
    showInterface();
    check(m_interface.portOpen(), QStringLiteral("the port is open"));
    check(waitUntil([] { return PortState::listening(ServerPort); }, ListenAgainTimeoutMs,
                    PortPollMs),
          QStringLiteral("the server listens again for the next client"));

    step(QStringLiteral("simuliert (closes the port)"));
    m_sorvel.simuliert();
    showInterface();
    check(!m_interface.portOpen(), QStringLiteral("the port is closed"));
}

void HostSession::ausgabe(qint16 value, bool byName)
{
    qint16 wert = value;
    if (byName) {
        step(QStringLiteral("Ausgabe = %1, called by name through the meta-object").arg(value));
        QMetaObject::invokeMethod(&m_sorvel, "Ausgabe", Qt::DirectConnection,
                                  Q_ARG(qint16 &, wert));
    } else {
        step(QStringLiteral("Ausgabe = %1").arg(value));
        m_sorvel.Ausgabe(wert);
    }
    detail(QStringLiteral("the variable holds %1 afterwards%2")
               .arg(wert)
               .arg(wert == value ? QString() : QStringLiteral(" (clamped to 0..255)")));
    const int expected = qBound(0, static_cast<int>(value), 255);
    check(wert == expected, QStringLiteral("the written-back value is %1").arg(expected));
    check(waitUntil([&] { return m_interface.outputs() == expected; }, WriteTimeoutMs),
          QStringLiteral("the outputs show %1").arg(expected));
    showInterface();
}

void HostSession::analogkanal(qint16 value)
{
    qint16 nummer = value;
    step(QStringLiteral("Analogkanal = %1").arg(value));
    m_sorvel.Analogkanal(nummer);
    detail(QStringLiteral("the variable holds %1 afterwards").arg(nummer));
    check(nummer == qBound(1, static_cast<int>(value), 2),
          QStringLiteral("the channel is clamped to 1..2"));
}

void HostSession::analogsend(qint16 channel, qint16 value)
{
    qint16 wert = value;
    step(QStringLiteral("Analogsend = %1").arg(value));
    m_sorvel.Analogsend(wert);
    detail(QStringLiteral("the variable holds %1 afterwards").arg(wert));
    const int expected = qBound(0, static_cast<int>(value), 255);
    check(wert == expected, QStringLiteral("the written-back value is %1").arg(expected));
    check(waitUntil([&] { return m_interface.analogOutput(channel) == expected; }, WriteTimeoutMs),
          QStringLiteral("analog output %1 shows %2").arg(channel).arg(expected));
    showInterface();
}

void HostSession::eingabe()
{
    step(QStringLiteral("Eingabe"));
    const qint16 value = m_sorvel.Eingabe();
    const int held = m_interface.inputs();
    detail(QStringLiteral("read %1; the interface holds %2").arg(byteText(value), byteText(held)));
    check(value == held, QStringLiteral("Eingabe matches the inputs"));
}

void HostSession::step(const QString &what)
{
    m_out << Qt::endl << '[' << ++m_steps << "] " << what << Qt::endl;
}

void HostSession::detail(const QString &text)
{
    m_out << "    " << text << Qt::endl;
}

void HostSession::check(bool ok, const QString &what)
{
    ++m_checks;
    if (!ok)
        ++m_failures;
    m_out << "    " << (ok ? "ok     " : "FAILED ") << what << Qt::endl;
}

void HostSession::showInterface()
{
    m_out << "    interface: outputs " << byteText(m_interface.outputs()) << " | inputs "
          << byteText(m_interface.inputs()) << " | analog in " << m_interface.analogInput(1) << ' '
          << m_interface.analogInput(2) << " | analog out " << m_interface.analogOutput(1) << ' '
          << m_interface.analogOutput(2) << " | port "
          << (m_interface.portOpen() ? QStringLiteral("%1 open").arg(m_interface.port())
                                     : QStringLiteral("closed"))
          << Qt::endl;
}

bool HostSession::waitUntil(const std::function<bool()> &condition, int timeoutMs, int pollMs)
{
    if (condition())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(pollMs);
    QElapsedTimer waited;
    waited.start();
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition() || waited.hasExpired(timeoutMs))
            loop.quit();
    });
    poll.start();
    loop.exec();
    return condition();
}

void HostSession::closeMessageBoxes()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box)
        return;
    check(false, QStringLiteral("no message box (the control showed \"%1\")").arg(box->text()));
    if (QAbstractButton *ok = box->button(QMessageBox::Ok))
        ok->click();
    else
        box->done(0);
}
