// The Ferrolink control Sorvel, the class hosts place on their forms.
#ifndef SORVEL_H
#define SORVEL_H

#include "sorvel_export.h"

#include <QWidget>
#include <QtGlobal>

#include <memory>

class QLabel;
class QTimer;

namespace ferrolink {
class InterfaceLibrary;
class ServerConnection;
} // namespace ferrolink

// The Ferrolink control: place one on a form to drive the Ferrolink
// interface, either on this PC through the interface library (local mode) or
// through a Ferrolink server over TCP (network mode, entered by assigning IP).
//
// At run time the control is invisible. Every member runs on the thread of
// the host's user interface and returns when its work is done; members that
// wait keep handling the program's events meanwhile, so the host's own
// handlers may run (and call the control again) inside them.
//
// No member raises an error to the host. The local operations absorb the
// errors of the interface library; when the library cannot be loaded at
// all, the operation moves the control to a server on this PC instead (as
// IP "127.0.0.1" does, handling events for 4 s) and its own write or read
// is lost (a read returns 0; Analogwert reads again through that server).
//
// A server that stops taking requests (stalled or suspended) is never
// waited for beyond the usual: once 64 KiB of requests wait to go out to it,
// writes and heartbeats are lost and reads return 0 at once. The connection
// stays; once the server reads again, everything goes on as before.
//
// Hosts call the members directly or by name through the meta-object, for
// example QMetaObject::invokeMethod(control, "Ausgabe", Qt::DirectConnection,
// Q_ARG(qint16&, value)); arguments passed by reference are the caller's own
// variables and receive the clamped value.
class SORVEL_EXPORT Sorvel : public QWidget
{
    Q_OBJECT
    Q_CLASSINFO("TypeLibrary", "Ferrolink")
    Q_CLASSINFO("Description", "Ferrolink-Interface")
    Q_CLASSINFO("Version", "1.0")
    Q_CLASSINFO("DefaultInterface", "_Sorvel")
    Q_CLASSINFO("EventInterface", "__Sorvel")
    Q_PROPERTY(Com CommPort READ CommPort WRITE setCommPort)

public:
    enum Com : qint32 { COM1 = 0, COM2 = 1, COM3 = 2, COM4 = 3 };
    Q_ENUM(Com)

    explicit Sorvel(QWidget *parent = nullptr);
    ~Sorvel() override;

    // The serial port that lokalstart opens; COM2 (1) at first. Any value is
    // stored as it is; does not pump events.
    Q_INVOKABLE Com CommPort() const;
    Q_INVOKABLE void setCommPort(Com value);
    // Says goodbye to the current server if in network mode ("I", 1 s,
    // close), connects to IPNr (address or host name) on port 2001, handles
    // events for 4 s and enters network mode whether or not the connection
    // was made (a failed one shows "TCP/IP Problem!"); starts the heartbeat
    // "K" every 2 s. Raises nothing.
    Q_INVOKABLE void IP(const QString &IPNr);
    // Stops the heartbeat, leaves network mode if on (pumps events for 1 s)
    // and opens the interface on CommPort. A CommPort beyond 16 bits opens
    // nothing.
    Q_INVOKABLE void lokalstart();
    // Walking bit: writes 1, 2, 4, ..., 128 to Ausgabe, 0.5 s apart, pumping
    // events in between; about 4 s.
    Q_INVOKABLE void Test();
    // Leaves network mode if on (pumps events for 1 s) and closes the
    // interface's port, to try things out without an interface.
    Q_INVOKABLE void simuliert();
    // Writes the digital output byte; Wert is clamped to 0..255 first.
    // Network mode sends "<Wert>S" and does not wait; without a connection,
    // or while 64 KiB wait to go out to a server that does not read, the
    // write is lost.
    Q_INVOKABLE void Ausgabe(qint16 &Wert);
    // Reads the digital input byte. Network mode sends "R" and handles
    // events until its reply has come (replies are matched to reads in
    // order, so a read nested in another's wait gets its own, and the late
    // reply of a read that gave up goes to no one); 0 when the read fails:
    // no connection or a server that does not read (at once), the
    // connection ends, no reply within 5 s, or a library error.
    Q_INVOKABLE qint16 Eingabe();
    // Reads analog input kanal (not clamped). Network mode sends "<kanal>A"
    // and waits as Eingabe does; 0 when the read fails.
    Q_INVOKABLE qint16 Analogwert(qint16 &kanal);
    // Chooses the analog output channel; Nummer is clamped to 1..2 first.
    // Local mode keeps it for Analogsend (0 until chosen); network mode
    // sends "<Nummer>B" instead and does not wait.
    Q_INVOKABLE void Analogkanal(qint16 &Nummer);
    // Writes the chosen analog output; Wert is clamped to 0..255 first.
    // Network mode sends "<Wert>C" and does not wait.
    Q_INVOKABLE void Analogsend(qint16 &Wert);

private:
    enum class Outcome { Done, Failed, FellBack };

    void createComponents();
    void Timer1_Timer();
    void Winsock1_Error();

    // Runs one step of the interface library; absorbs its error and falls
    // back to a server on this PC when the library cannot be loaded.
    template<typename Step> Outcome attempt(Step step);
    // Connects to the server on this PC; false if the control went away
    // meanwhile.
    bool fallBack();
    // "I", 1 s, close; false if the control went away meanwhile.
    bool leaveNetwork();

    std::unique_ptr<ferrolink::InterfaceLibrary> m_library;
    ferrolink::ServerConnection *m_connection = nullptr;
    QTimer *Timer1 = nullptr;
    QLabel *Picture1 = nullptr;
    Com m_commPort = COM2;
    // The control's state, named as the system names it: in network mode,
    // and the analog output channel that local mode writes (0 until chosen).
    bool Netzbetrieb = false;
    qint16 Ausgabekanal = 0;
};

#endif
