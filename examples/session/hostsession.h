#ifndef HOSTSESSION_H
#define HOSTSESSION_H

#include <QObject>
#include <QString>
#include <QTextStream>

#include <cstdint>
#include <functional>

class Sorvel;
class QTimer;

namespace ferrolink {
class SimulatedInterface;
}

// A scripted host: it drives a Sorvel step by step through a Ferrolink
// server and prints for every step what it wrote or read and what the
// simulated interface shows.
//
// Writes are not answered by the server, so after each write the session
// waits (pumping events, bounded) until the interface shows the value. Each
// read is compared with what the interface holds. Any mismatch, and any
// message box the control raises, counts as a failure.
class HostSession : public QObject
{
    Q_OBJECT

public:
    static constexpr int WriteTimeoutMs = 3000;

    HostSession(Sorvel &sorvel, ferrolink::SimulatedInterface &interface, QTextStream &out,
                QObject *parent = nullptr);

    // Runs every step; returns the exit status: 0 when everything matched.
    int run(const QString &address, int serverWaitMs);

private:
    void prepareInputs();
    bool connectToServer(const QString &address, int serverWaitMs);
    void writeOutputs();
    void runTest();
    void writeAnalog();
    void readInputs();
    void readAnalog();
    void sayGoodbye();

    void ausgabe(qint16 value, bool byName);
    void analogkanal(qint16 value);
    void analogsend(qint16 channel, qint16 value);
    void eingabe();

    void step(const QString &what);
    void detail(const QString &text);
    void check(bool ok, const QString &what);
    void showInterface();
    bool waitUntil(const std::function<bool()> &condition, int timeoutMs, int pollMs = 5);
    void closeMessageBoxes();

    Sorvel &m_sorvel;
    ferrolink::SimulatedInterface &m_interface;
    QTextStream &m_out;
    QTimer *m_dialogWatch = nullptr;
    int m_steps = 0;
    int m_checks = 0;
    int m_failures = 0;
};

#endif
