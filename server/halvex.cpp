#include "halvex.h"

#include "delay.h"
#include "error.h"
#include "interfacelibrary.h"
#include "winsocket.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace ferrolink {

namespace {

// One write of the self-test pattern and the wait after it (0: none).
struct PatternStep
{
    int16_t byte;
    float wait;
};

// A bit walking from bit 0 to bit 7 and back, everything off, two
// alternating halves, a pair of bits moving outwards, everything off.
constexpr PatternStep Pattern[] = {
    { 1, 0.05f },  { 2, 0.05f },  { 4, 0.05f },   { 8, 0.05f },  { 16, 0.05f },
    { 32, 0.05f }, { 64, 0.05f }, { 128, 0.05f }, { 64, 0.05f }, { 32, 0.05f },
    { 16, 0.05f }, { 8, 0.05f },  { 4, 0.05f },   { 2, 0.05f },  { 1, 0.05f },
    { 0, 0.0f },   { 170, 0.5f }, { 85, 0.5f },   { 170, 0.5f }, { 85, 0.5f },
    { 24, 0.2f },  { 36, 0.2f },  { 66, 0.2f },   { 129, 0.2f }, { 0, 0.0f },
};

// A step of the data handler whose failure is passed over: the handler goes
// on with its next step.
template<typename Step> void ignoringErrors(Step &&step)
{
    try {
        step();
    } catch (const Error &) {
    }
}

// A read of the data handler: a failed read gives 0, so that the client's
// wait for the reply always ends.
template<typename Read> int16_t readingOrZero(Read &&read)
{
    try {
        return read();
    } catch (const Error &) {
        return 0;
    }
}

QFont serifFont(qreal pointSize, bool italic)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSizeF(pointSize);
    font.setBold(true);
    font.setItalic(italic);
    return font;
}

QLabel *createLabel(QWidget *parent, const QString &name, const QRect &geometry, const QFont &font,
                    Qt::Alignment alignment)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QGroupBox *createFrame(QWidget *parent, const QString &name, const QString &caption,
                       const QRect &geometry)
{
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    frame->setGeometry(geometry);
    return frame;
}

// Without a display there is nobody to click a message box away.
bool canShowMessageBoxes()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

} // namespace

Halvex::Halvex(InterfaceLibrary &library, const Clock &clock, quint16 port, QWidget *parent)
    : QMainWindow(parent), m_library(library), m_clock(clock), m_port(port),
      m_winsocket(new Winsocket(this)), Timer1(new QTimer(this))
{
    setWindowTitle(tr("Ferrolink-Server"));
    createLabels();
    createMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_winsocket->setObjectName(QStringLiteral("Winsocket"));
    connect(m_winsocket, &Winsocket::connectionRequest, this, &Halvex::Winsocket_ConnectionRequest);
    connect(m_winsocket, &Winsocket::dataArrival, this, &Halvex::Winsocket_DataArrival);

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
    Timer1->stop();
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
    setWindowTitle(tr("bereit"));
    Label->setText(tr("Warten auf Verbindung"));
}

void Halvex::delay(float zeit)
{
    ferrolink::delay(zeit, m_clock);
}

void Halvex::Timer1_Timer()
{
    if (m_ending || !(m_clock.seconds() - Empfangszeit > SilenceLimit))
        return;
    try {
        INIT();
    } catch (const Error &error) {
        fail(error);
        return;
    }
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
}

// Every arrival counts as a sign of life, whatever it holds. The bytes go
// into the request splitter, and every complete request is carried out in
// order; a request whose letter has not come yet waits for the next arrival.
void Halvex::Winsocket_DataArrival(qint64 bytesTotal)
{
    Q_UNUSED(bytesTotal);
    Empfangszeit = m_clock.seconds();
    m_requests.feed(m_winsocket->getData());
    // INIT() on "I" empties the splitter: what followed belonged to the
    // connection that has ended.
    while (const std::optional<Request> request = m_requests.next())
        execute(*request);
}

// Carries out one request. A failing step is passed over and the next one
// taken, so the client sees no error; every read is answered.
void Halvex::execute(const Request &request)
{
    showValue(request.value);
    switch (request.letter) {
    case protocol::ReadDigital:
        m_winsocket->sendData(readingOrZero([&] { return m_library.DIN(); }));
        showActivity(QT_TR_NOOP("Lese... (D)"));
        break;
    case protocol::WriteDigital:
        ignoringErrors([&] { m_library.DOUT(request.value); });
        showActivity(QT_TR_NOOP("Schreibe... (D)"));
        break;
    case protocol::ReadAnalog:
        m_winsocket->sendData(readingOrZero([&] { return m_library.AIN(request.value); }));
        showActivity(QT_TR_NOOP("Lese... (A)"));
        break;
    case protocol::ChooseAnalogChannel:
        Ausgabekanal = request.value;
        showActivity(QT_TR_NOOP("Analogkanal... (A)"));
        break;
    case protocol::WriteAnalog:
        ignoringErrors([&] { m_library.AOUT(Ausgabekanal, request.value); });
        showActivity(QT_TR_NOOP("Schreibe ... (A)"));
        break;
    case protocol::Goodbye:
        ignoringErrors([&] { INIT(); });
        showActivity(QT_TR_NOOP("Rücksetzen!"));
        break;
    case protocol::Heartbeat:
        showActivity(QT_TR_NOOP("Heartbeat"));
        break;
    default:
        beep();
        break;
    }
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
    m_winsocket->close();
    m_requests.clear();
    // Reset while listening: the watchdog brings the server back to
    // listening, as it does after a reset in any other state.
    if (!Timer1->isActive())
        Timer1->start();
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
    for (const PatternStep &step : Pattern) {
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
    const QString line = QString::fromStdString(error.describe());
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
    if (canShowMessageBoxes())
        QMessageBox::critical(this, tr("Ferrolink-Server"), line);
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
        this, [this] { emit ended(m_status); }, Qt::QueuedConnection);
}

} // namespace ferrolink
