// The server's window: its widgets and menus, the connection lifecycle with
// the watchdog, and the wiring of socket, requests and log.
#include "halvex.h"

#include "allowlist.h"
#include "commandexecutor.h"
#include "delay.h"
#include "error.h"
#include "interfacelibrary.h"
#include "selftestpattern.h"
#include "windowparts.h"
#include "winsocket.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <cstdlib>

namespace ferrolink {

Halvex::Halvex(InterfaceLibrary &library, const Clock &clock, quint16 port, QWidget *parent)
    : QMainWindow(parent), m_library(library), m_clock(clock), m_port(port),
      m_commands(std::make_unique<CommandExecutor>(library)), m_winsocket(new Winsocket(this)),
      Timer1(new QTimer(this))
{
    setWindowTitle(tr("Ferrolink-Server"));
    createLabels();
    createMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_winsocket->setObjectName(QStringLiteral("Winsocket"));
    connect(m_winsocket, &Winsocket::connectionRequest, this, &Halvex::Winsocket_ConnectionRequest);
    connect(m_winsocket, &Winsocket::dataArrival, this, &Halvex::Winsocket_DataArrival);
    connect(m_winsocket, &Winsocket::connectionRefused, this, &Halvex::Winsocket_ConnectionRefused);
    connect(m_winsocket, &Winsocket::repliesDrained, this, &Halvex::takeRequests);

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(WatchdogInterval);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &Halvex::Timer1_Timer);
    Timer1->start();

    Form_Load();
}

Halvex::~Halvex() = default;

void Halvex::createLabels()
{
    auto *area = new QWidget(this);
    area->setFixedSize(457, 274);
    setCentralWidget(area);

    Label = createLabel(area, QStringLiteral("Label"), QRect(8, 8, 433, 145), serifFont(48, false),
                        Qt::AlignHCenter);
    Label->setText(tr("Warten auf Verbindung"));
    Frame1 = createFrame(area, QStringLiteral("Frame1"), tr("Wert"), QRect(120, 192, 65, 17));
    Label1 = createLabel(area, QStringLiteral("Label1"), QRect(136, 216, 41, 25),
                         serifFont(15.75, false), Qt::AlignRight);
    Frame2 = createFrame(area, QStringLiteral("Frame2"), tr("Aktivität"), QRect(192, 192, 201, 17));
    Label2 = createLabel(area, QStringLiteral("Label2"), QRect(192, 216, 185, 25),
                         serifFont(15.75, true), Qt::AlignLeft);
}

void Halvex::createMenus()
{
    QMenu *datei = menuBar()->addMenu(tr("&Datei"));
    datei->setObjectName(QStringLiteral("Datei"));
    datei->addAction(tr("&Rücksetzen"), this, &Halvex::Ruecksetzen_Click)
        ->setObjectName(QStringLiteral("Rücksetzen"));
    datei->addAction(tr("&Ende"), this, &Halvex::Ende_Click)->setObjectName(QStringLiteral("Ende"));

    QMenu *selbsttest = menuBar()->addMenu(tr("&Selbsttest"));
    selbsttest->setObjectName(QStringLiteral("Selbsttest"));
    selbsttest->addAction(tr("&Testmuster"), this, &Halvex::comm_Click)
        ->setObjectName(QStringLiteral("comm"));
}

// Before the window is first shown: note the start for the watchdog and let
// the interface library look for the hardware. Listening begins only when
// the watchdog first finds the server silent.
void Halvex::Form_Load()
{
    Empfangszeit = m_clock.seconds();
    try {
        m_library.FINDHARD(0);
    } catch (const Error &error) {
        fail(error);
    }
}

void Halvex::INIT()
{
    m_requests.clear();
    m_winsocket->setLocalPort(m_port);
    // Listening replaces a listener and drops a connection, the connection
    // only once the port listens again: a client that sees its connection
    // end can connect again at once.
    if (!m_winsocket->listen()) {
        const QString text
            = tr("Cannot listen on port %1: %2").arg(m_port).arg(m_winsocket->errorString());
        throw Error(m_winsocket->error(), text.toStdString());
    }
    // Only now: after a failed listen the watchdog tries again.
    Timer1->stop();
    setWindowTitle(tr("bereit"));
    Label->setText(tr("Warten auf Verbindung"));
    emit logged(tr("listening on port %1").arg(m_port));
}

void Halvex::setAllowList(const AllowList &allowList)
{
    m_winsocket->setAllowList(allowList);
}

void Halvex::delay(float zeit)
{
    ferrolink::delay(zeit, m_clock);
}

void Halvex::Timer1_Timer()
{
    const double silence = m_clock.seconds() - Empfangszeit;
    if (m_ending || !(silence > SilenceLimit))
        return;
    const bool serving = m_winsocket->state() == Winsocket::Connected;
    const QString client = m_winsocket->remoteHostIP();
    try {
        INIT();
    } catch (const Error &error) {
        fail(error);
        return;
    }
    if (serving)
        emit logged(tr("client %1 dropped by the watchdog: no data for %2 s")
                        .arg(client)
                        .arg(silence, 0, 'f', 1));
    beep();
    showActivity(QT_TR_NOOP("kein Datenempfang"));
}

void Halvex::Winsocket_ConnectionRequest(qintptr requestId)
{
    if (m_winsocket->state() != Winsocket::Closed)
        m_winsocket->close();
    m_requests.clear();
    if (!m_winsocket->accept(requestId)) {
        // The peer gave up before it was taken: wait for the next one.
        try {
            INIT();
        } catch (const Error &error) {
            fail(error);
        }
        return;
    }
    Label->setText(tr("Verbunden mit ") + m_winsocket->remoteHostIP());
    setWindowTitle(tr("verbunden"));
    Empfangszeit = m_clock.seconds();
    Timer1->start();
    emit logged(tr("client %1 connected").arg(m_winsocket->remoteHostIP()));
}

// The refused client was closed before anything of it was read; the server
// goes on listening, and the window and the watchdog stay as they were.
void Halvex::Winsocket_ConnectionRefused(const QHostAddress &peer)
{
    const QString client = peer.isNull() ? tr("of unknown address") : peer.toString();
    emit logged(tr("client %1 refused: not in --allow").arg(client));
}

// Every arrival counts as a sign of life, whatever it holds.
void Halvex::Winsocket_DataArrival(qint64 bytesTotal)
{
    Q_UNUSED(bytesTotal);
    Empfangszeit = m_clock.seconds();
    takeRequests();
}

// The received bytes go into the request splitter, and every complete
// request is carried out in order; a request whose letter has not come yet
// waits for the next arrival. While the replies pile up for a client that
// does not read them, no request is taken: the rest waits in the splitter
// and the socket's bounded buffer, TCP holds the client back, and a client
// from which nothing arrives any more is dropped by the watchdog. Taking
// goes on once the replies have drained.
void Halvex::takeRequests()
{
    while (!m_winsocket->isBackedUp()) {
        if (const std::optional<Request> request = m_requests.next()) {
            execute(*request);
            continue;
        }
        // INIT() on "I" empties the splitter and drops the connection: what
        // followed belonged to the connection that has ended.
        const QByteArray bytes = m_winsocket->getData();
        if (bytes.isEmpty())
            return;
        m_requests.feed(bytes);
    }
}

// Carries out one request and shows it: its value, then what was done. A
// read is answered; the goodbye resets the server to listening; a letter
// that is no command beeps.
void Halvex::execute(const Request &request)
{
    showValue(request.value);
    const CommandExecutor::Outcome outcome = m_commands->execute(request);
    if (outcome.reply)
        m_winsocket->sendData(*outcome.reply);
    if (outcome.goodbye) {
        emit logged(tr("client %1 said goodbye").arg(m_winsocket->remoteHostIP()));
        try {
            INIT();
        } catch (const Error &) {
            // The watchdog tries again at its next look.
        }
    }
    if (outcome.activity)
        showActivity(outcome.activity);
    else
        beep();
}

// Most requests show what the one before showed: the texts are made only
// when they change.
void Halvex::showValue(int16_t value)
{
    if (m_shownValue == value)
        return;
    m_shownValue = value;
    Label1->setText(QString::number(value));
}

void Halvex::showActivity(const char *text)
{
    if (m_shownActivity == text)
        return;
    m_shownActivity = text;
    Label2->setText(tr(text));
}

void Halvex::Ruecksetzen_Click()
{
    if (m_ending)
        return;
    try {
        m_library.DOUT(0);
    } catch (const Error &error) {
        fail(error);
        return;
    }
    emit logged(describeReset());
    m_winsocket->close();
    m_requests.clear();
    // Reset while listening: the watchdog brings the server back to
    // listening, as it does after a reset in any other state.
    if (!Timer1->isActive())
        Timer1->start();
}

QString Halvex::describeReset() const
{
    switch (m_winsocket->state()) {
    case Winsocket::Connected:
        return tr("Rücksetzen chosen: outputs off, client %1 dropped")
            .arg(m_winsocket->remoteHostIP());
    case Winsocket::Listening:
        return tr("Rücksetzen chosen: outputs off, listening stopped");
    case Winsocket::Closed:
        break;
    }
    return tr("Rücksetzen chosen: outputs off");
}

void Halvex::Ende_Click()
{
    if (!m_ending)
        stop(EXIT_SUCCESS);
    finish();
}

void Halvex::comm_Click()
{
    if (m_ending)
        return;
    emit logged(tr("Testmuster chosen: playing the self-test pattern"));
    try {
        playPattern();
    } catch (const Error &error) {
        fail(error);
    }
}

// Events go on being handled during the waits: a client is served between
// two steps, and the pattern stops early when the program is ending.
void Halvex::playPattern()
{
    for (const PatternStep &step : SelfTestPattern) {
        if (m_ending)
            return;
        m_library.DOUT(step.byte);
        if (step.wait > 0.0f)
            delay(step.wait);
    }
}

void Halvex::beep()
{
    QApplication::beep();
    emit beeped();
}

void Halvex::closeEvent(QCloseEvent *event)
{
    Ende_Click();
    event->accept();
}

// An error that ends the program: the server stops serving, says what
// happened on stderr and, with a display, in a message box, then ends.
void Halvex::fail(const Error &error)
{
    if (m_ending)
        return;
    stop(EXIT_FAILURE);
    showFatalError(this, tr("Ferrolink-Server"), QString::fromStdString(error.describe()));
    finish();
}

// Nothing is handled from here on: no watchdog, no socket, no menu action.
void Halvex::stop(int status)
{
    m_ending = true;
    m_status = status;
    Timer1->stop();
    m_winsocket->close();
    m_requests.clear();
}

// ended() goes out through the event loop, so that it also reaches a
// receiver connected after the window was made (an error at start-up) and
// every handler still running returns first.
void Halvex::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            emit logged(m_status == EXIT_SUCCESS ? tr("ending")
                                                 : tr("ending with status %1").arg(m_status));
            emit ended(m_status);
        },
        Qt::QueuedConnection);
}

} // namespace ferrolink
