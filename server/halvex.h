#ifndef FERROLINK_HALVEX_H
#define FERROLINK_HALVEX_H

#include "clock.h"
#include "protocol.h"
#include "requestsplitter.h"

#include <QMainWindow>

#include <cstdint>
#include <memory>
#include <optional>

class QCloseEvent;
class QGroupBox;
class QHostAddress;
class QLabel;
class QTimer;

namespace ferrolink {

class AllowList;
class CommandExecutor;
class Error;
class InterfaceLibrary;
class Winsocket;

// The server's window. It owns everything the server has: the one socket
// Winsocket, the watchdog Timer1, the labels that show whom it serves and
// what it does, and the menus.
//
// Lifecycle: the window starts with the socket closed and the watchdog
// running. Every 5 seconds the watchdog looks whether more than 10 seconds
// have passed since the start, the last accepted connection or the last
// received data; if so it resets the server to listening on the port (INIT).
// A connection request is taken, and from then on nothing listens, so one
// client is served at a time. Requests are carried out on the interface
// library; reads are answered with two bytes. While the replies pile up for
// a client that does not read them (Winsocket::ReplyBacklogLimit), no more
// requests are taken from it until they have drained; a client held back
// that way sends nothing more and is dropped by the watchdog.
//
// An error that must end the program (the library cannot be bound at start
// or for "Rücksetzen" and "Testmuster", the port cannot be listened on) is
// written to stderr and, with a display, shown in a message box; then the
// window emits ended() with a non-zero status. "Ende", closing the window
// and Ende_Click() from elsewhere end it with status 0.
//
// What happens to the server (listening, a client taken, refused, dropped
// or saying goodbye, a menu action, the end) is told by logged(), one line
// per event and none per request.
class Halvex : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int WatchdogInterval = 5000; // ms
    static constexpr double SilenceLimit = 10.0; // s

    explicit Halvex(InterfaceLibrary &library, const Clock &clock = Clock::monotonic(),
                    quint16 port = protocol::Port, QWidget *parent = nullptr);
    ~Halvex() override;

    // Listens again on the port, dropping the connection or listener the
    // socket held, and stops the watchdog.
    // Throws ferrolink::Error when listening fails; the socket is then
    // closed and the watchdog goes on, so that it tries again at its next
    // look after 10 silent seconds.
    void INIT();
    // Waits `zeit` seconds while every event of the program is handled.
    void delay(float zeit);

    bool hasEnded() const { return m_ending; }
    // Serves only clients from these networks; set before listening begins.
    void setAllowList(const AllowList &allowList);

signals:
    // The program is to end with `status` (delivered through the event loop).
    void ended(int status);
    // The server beeped (also heard on a system with a bell).
    void beeped();
    // One line of the server's log.
    void logged(const QString &line);

public slots:
    void Timer1_Timer();
    void Winsocket_ConnectionRequest(qintptr requestId);
    void Winsocket_ConnectionRefused(const QHostAddress &peer);
    void Winsocket_DataArrival(qint64 bytesTotal);
    void Ruecksetzen_Click();
    void Ende_Click();
    void comm_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createLabels();
    void createMenus();
    void Form_Load();

    void takeRequests();
    void execute(const Request &request);
    void showValue(int16_t value);
    void showActivity(const char *text);
    void playPattern();
    QString describeReset() const;
    void beep();

    void fail(const Error &error);
    void stop(int status);
    void finish();

    InterfaceLibrary &m_library;
    const Clock &m_clock;
    const quint16 m_port;

    double Empfangszeit = 0.0;
    RequestSplitter m_requests;
    // Carries out the requests on the library (and keeps Ausgabekanal).
    std::unique_ptr<CommandExecutor> m_commands;

    // The component Winsocket of the window (object name "Winsocket").
    Winsocket *m_winsocket = nullptr;
    QTimer *Timer1 = nullptr;
    QLabel *Label = nullptr;
    QGroupBox *Frame1 = nullptr;
    QLabel *Label1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QLabel *Label2 = nullptr;

    // What Label1 and Label2 show, to skip making the same text again.
    std::optional<int16_t> m_shownValue;
    const char *m_shownActivity = nullptr;

    bool m_ending = false;
    bool m_finished = false;
    int m_status = 0;
};

} // namespace ferrolink

#endif
