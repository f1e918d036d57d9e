// The control Sorvel: its members, local mode, and the fallback to a server.
#include "sorvel.h"

#include "delay.h"
#include "error.h"
#include "interfacelibrary.h"
#include "protocol.h"
#include "serverconnection.h"
#include "sorvelusage.h"

#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <exception>

#include "sorvelicon.xpm"

namespace {

constexpr int HeartbeatMilliseconds = 2000;
constexpr float ConnectSettleSeconds = 4.0f;
constexpr float GoodbyeSeconds = 1.0f;
constexpr float TestStepSeconds = 0.5f;
constexpr const char *FallbackServer = "127.0.0.1";
// Stands for an error that carries no number of ours.
constexpr int UnnumberedError = -1;

// False if `object` went away while events were handled.
bool pause(float zeit, const QObject *object)
{
    const QPointer<const QObject> alive(object);
    ferrolink::delay(zeit);
    return !alive.isNull();
}

} // namespace

using ferrolink::protocol::encodeRequest;

Sorvel::Sorvel(QWidget *parent)
    : QWidget(parent), m_library(std::make_unique<ferrolink::InterfaceLibrary>()),
      m_connection(new ferrolink::ServerConnection(this))
{
    createComponents();

    // Invisible while the host runs: nothing of it shows on the form, in a
    // layout or otherwise. The designer plugin shows the picture instead.
    setFixedSize(0, 0);
    setVisible(false);
}

// Nothing is sent or closed when the control goes away.
Sorvel::~Sorvel() = default;

void Sorvel::createComponents()
{
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(HeartbeatMilliseconds);
    connect(Timer1, &QTimer::timeout, this, &Sorvel::Timer1_Timer);
    Timer1->start();

    connect(m_connection, &ferrolink::ServerConnection::problem, this, &Sorvel::Winsock1_Error);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(0, 0, ferrolink::SorvelPictureSize, ferrolink::SorvelPictureSize);
    Picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Picture1->setAlignment(Qt::AlignCenter);
    Picture1->setPixmap(QPixmap(sorvel_icon));
    Picture1->setToolTip(QString::fromUtf8(ferrolink::SorvelUsage));
}

Sorvel::Com Sorvel::CommPort() const
{
    return m_commPort;
}

void Sorvel::setCommPort(Com value)
{
    m_commPort = value;
}

void Sorvel::IP(const QString &IPNr)
{
    if (Netzbetrieb && !leaveNetwork())
        return;
    m_connection->connectToServer(IPNr, ferrolink::protocol::Port);
    if (!pause(ConnectSettleSeconds, this))
        return;
    Netzbetrieb = true;
    Timer1->start();
}

void Sorvel::lokalstart()
{
    Timer1->stop();
    if (Netzbetrieb && !leaveNetwork())
        return;
    attempt([this] {
        m_library->INITSIOS(ferrolink::protocol::toInt16(static_cast<qint32>(m_commPort)));
    });
}

void Sorvel::Test()
{
    const QPointer<Sorvel> alive(this);
    for (int bit = 0; bit < 8; ++bit) {
        qint16 value = qint16(1 << bit);
        Ausgabe(value);
        if (!alive || !pause(TestStepSeconds, this))
            return;
    }
}

void Sorvel::simuliert()
{
    if (Netzbetrieb && !leaveNetwork())
        return;
    attempt([this] { m_library->CLOSECOM(); });
}

void Sorvel::Ausgabe(qint16 &Wert)
{
    Wert = ferrolink::protocol::clampOutputValue(Wert);
    const qint16 value = Wert;
    if (Netzbetrieb) {
        m_connection->send(encodeRequest(value, ferrolink::protocol::WriteDigital));
        return;
    }
    attempt([this, value] { m_library->DOUT(value); });
}

qint16 Sorvel::Eingabe()
{
    if (Netzbetrieb)
        return m_connection->read(encodeRequest(ferrolink::protocol::ReadDigital));
    qint16 value = 0;
    attempt([this, &value] { value = m_library->DIN(); });
    return value;
}

qint16 Sorvel::Analogwert(qint16 &kanal)
{
    const qint16 channel = kanal;
    if (Netzbetrieb)
        return m_connection->read(encodeRequest(channel, ferrolink::protocol::ReadAnalog));
    qint16 value = 0;
    if (attempt([this, channel, &value] { value = m_library->AIN(channel); })
        == Outcome::FellBack) {
        // Read again, now through the server on this PC.
        qint16 again = channel;
        return Analogwert(again);
    }
    return value;
}

void Sorvel::Analogkanal(qint16 &Nummer)
{
    Nummer = ferrolink::protocol::clampAnalogChannel(Nummer);
    const qint16 channel = Nummer;
    if (Netzbetrieb) {
        m_connection->send(encodeRequest(channel, ferrolink::protocol::ChooseAnalogChannel));
        return;
    }
    Ausgabekanal = channel;
}

void Sorvel::Analogsend(qint16 &Wert)
{
    Wert = ferrolink::protocol::clampOutputValue(Wert);
    const qint16 value = Wert;
    if (Netzbetrieb) {
        m_connection->send(encodeRequest(value, ferrolink::protocol::WriteAnalog));
        return;
    }
    attempt([this, value] { m_library->AOUT(Ausgabekanal, value); });
}

// The heartbeat: keeps the server from dropping a quiet connection. In local
// mode the timer has nothing to do and stops. A connection that was never
// made or is gone is skipped.
void Sorvel::Timer1_Timer()
{
    if (Netzbetrieb)
        m_connection->send(encodeRequest(ferrolink::protocol::Heartbeat));
    else
        Timer1->stop();
}

void Sorvel::Winsock1_Error()
{
    // On the heap: the control (its parent) may go away while the box is
    // open, and takes the box with it.
    const QPointer<QMessageBox> box = new QMessageBox(this);
    box->setIcon(QMessageBox::NoIcon);
    box->setText(QStringLiteral("TCP/IP Problem!"));
    box->setStandardButtons(QMessageBox::Ok);
    box->exec();
    delete box;
}

template<typename Step> Sorvel::Outcome Sorvel::attempt(Step step)
{
    int number = 0;
    try {
        step();
        return Outcome::Done;
    } catch (const ferrolink::Error &error) {
        number = error.number();
    } catch (const std::exception &) {
        number = UnnumberedError;
    }
    if (number != ferrolink::Error::CannotLoadLibrary)
        return Outcome::Failed;
    return fallBack() ? Outcome::FellBack : Outcome::Failed;
}

bool Sorvel::fallBack()
{
    const QPointer<Sorvel> alive(this);
    IP(QString::fromLatin1(FallbackServer));
    return !alive.isNull();
}

bool Sorvel::leaveNetwork()
{
    Netzbetrieb = false;
    m_connection->send(encodeRequest(ferrolink::protocol::Goodbye));
    if (!pause(GoodbyeSeconds, this))
        return false;
    m_connection->close();
    return true;
}
