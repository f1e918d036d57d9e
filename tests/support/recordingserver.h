#ifndef FERROLINK_TESTS_RECORDINGSERVER_H
#define FERROLINK_TESTS_RECORDINGSERVER_H

#include <QByteArray>
#include <QByteArrayList>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <deque>

class QTcpServer;
class QTcpSocket;

// A server for testing clients of the remote I/O protocol, on 127.0.0.1.
//
// It records every request received, with the time it came, and answers
// reads in order: "R" with digitalInput(), "<n>A" with analogBase() + n.
// Faults on request: replies held back for a while, reads not answered at
// all, stray replies, a client dropped, a server that stops reading. One client at a time; a new
// one replaces the old.
class RecordingServer : public QObject
{
    Q_OBJECT

public:
    struct Received
    {
        qint64 at; // milliseconds on elapsed()'s clock
        QByteArray request;
    };

    explicit RecordingServer(QObject *parent = nullptr);
    ~RecordingServer() override;

    bool listen(quint16 port);
    void stopListening();

    // Milliseconds since the server was made; the clock of Received::at.
    qint64 elapsed() const { return m_clock.elapsed(); }

    QList<Received> received() const { return m_received; }
    // The requests received, without the heartbeats "K" unless asked.
    QByteArrayList requests(bool withHeartbeats = false) const;
    // The times at which heartbeats came.
    QList<qint64> heartbeatTimes() const;
    void clearReceived() { m_received.clear(); }

    bool hasClient() const { return m_client != nullptr; }
    int connections() const { return m_connections; }
    // When the last client went away (-1 if none has).
    qint64 disconnectedAt() const { return m_disconnectedAt; }

    void setDigitalInput(qint16 value) { m_digitalInput = value; }
    void setAnalogBase(qint16 value) { m_analogBase = value; }
    // Reads are left unanswered while false.
    void setAnswering(bool answering) { m_answering = answering; }
    // Each of the next replies goes out this many milliseconds after its
    // read came (one entry per reply, in order); later ones at once. Replies
    // always leave in the order of their reads.
    void holdReplies(const QList<int> &milliseconds);
    // While false nothing more is read from the client, as from a stalled
    // server: its small buffers fill, then TCP holds the client back. Once
    // true again, everything that waited is read and answered in order.
    void setReading(bool reading);

    // Sends bytes to the client unasked.
    void sendRaw(const QByteArray &bytes);
    // Closes the connection to the client from this side.
    void dropClient();

signals:
    void requestReceived(const QByteArray &request);
    void clientConnected();
    void clientDisconnected();

private:
    struct Reply
    {
        qint64 due;
        QByteArray bytes;
    };

    void applyReading();
    void acceptClient();
    void readClient();
    void clientGone();
    void answer(const QByteArray &request);
    void sendDueReplies();

    QTcpServer *m_server = nullptr;
    QTcpSocket *m_client = nullptr;
    QElapsedTimer m_clock;
    QByteArray m_pending;
    QList<Received> m_received;
    std::deque<Reply> m_replies;
    QList<int> m_holds;
    QTimer m_replyTimer;
    qint16 m_digitalInput = 5;
    qint16 m_analogBase = 1000;
    bool m_answering = true;
    bool m_reading = true;
    int m_connections = 0;
    qint64 m_disconnectedAt = -1;
};

#endif
