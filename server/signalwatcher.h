// SIGINT and SIGTERM, turned into a signal on the event loop.
#ifndef FERROLINK_SIGNALWATCHER_H
#define FERROLINK_SIGNALWATCHER_H

#include <QObject>

class QSocketNotifier;

namespace ferrolink {

// Turns SIGINT and SIGTERM into a Qt signal on the program's thread, so that
// Ctrl+C or a service manager ends the program through its own ending path.
// The handler only writes a byte into a socket pair; the notifier reads it
// in the event loop. One instance per program.
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

    // Whether the handlers could be installed.
    bool isActive() const { return m_notifier != nullptr; }

signals:
    void terminationRequested();

private:
    void onNotified();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace ferrolink

#endif
