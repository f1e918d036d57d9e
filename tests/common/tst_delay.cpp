// The event-pumping delay: it handles events while it waits, returns only once
// the time has passed, nests, and measures on the clock it is given.
#include "delay.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using namespace ferrolink;

namespace {

// A clock that moves only when the test moves it.
class ManualClock : public Clock
{
public:
    double seconds() const override { return now; }
    double now = 1000.0;
};

} // namespace

class TestDelay : public QObject
{
    Q_OBJECT

private slots:
    void returnsOnlyAfterTheTimeHasPassed_data();
    void returnsOnlyAfterTheTimeHasPassed();
    void handlesEventsWhileItWaits();
    void zeroAndNegativeTimesPumpEventsOnce();
    void anInnerWaitReturnsToTheOuterWait();
    void measuresOnTheGivenClock();
    void zeroWaitsUntilTheClockHasMoved();
};

void TestDelay::returnsOnlyAfterTheTimeHasPassed_data()
{
    QTest::addColumn<float>("zeit");
    QTest::newRow("0.05") << 0.05f;
    QTest::newRow("0.2") << 0.2f;
    QTest::newRow("0.5") << 0.5f;
}

void TestDelay::returnsOnlyAfterTheTimeHasPassed()
{
    QFETCH(float, zeit);
    QElapsedTimer timer;
    timer.start();
    delay(zeit);
    const double elapsed = timer.nsecsElapsed() / 1e9;
    QVERIFY2(elapsed > zeit, qPrintable(QString::number(elapsed)));
    // Generous: only a wait that forgot its deadline comes near this.
    QVERIFY2(elapsed < zeit + 1.0, qPrintable(QString::number(elapsed)));
}

void TestDelay::handlesEventsWhileItWaits()
{
    int ticks = 0;
    QTimer timer;
    timer.setInterval(20);
    connect(&timer, &QTimer::timeout, this, [&ticks] { ++ticks; });
    timer.start();
    bool posted = false;
    QMetaObject::invokeMethod(
        this, [&posted] { posted = true; }, Qt::QueuedConnection);

    delay(0.3f);
    QVERIFY(posted);
    QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
}

void TestDelay::zeroAndNegativeTimesPumpEventsOnce()
{
    for (const float zeit : { 0.0f, -1.0f, -1e9f }) {
        bool handled = false;
        QMetaObject::invokeMethod(
            this, [&handled] { handled = true; }, Qt::QueuedConnection);
        QElapsedTimer timer;
        timer.start();
        delay(zeit);
        QVERIFY(handled);
        QVERIFY(timer.elapsed() < 1000);
    }
}

void TestDelay::anInnerWaitReturnsToTheOuterWait()
{
    QElapsedTimer timer;
    timer.start();
    qint64 innerEnded = -1;

    // A short inner wait: the outer one still lasts its own time.
    QTimer::singleShot(50, this, [&] {
        delay(0.05f);
        innerEnded = timer.elapsed();
    });
    delay(0.4f);
    const qint64 outerEnded = timer.elapsed();
    QVERIFY(innerEnded >= 100);
    QVERIFY(innerEnded < outerEnded);
    // elapsed() counts whole milliseconds, rounded down.
    QVERIFY(outerEnded >= 400);

    // A long inner wait: the outer one returns when the inner one is done.
    timer.restart();
    innerEnded = -1;
    QTimer::singleShot(50, this, [&] {
        delay(0.5f);
        innerEnded = timer.elapsed();
    });
    delay(0.1f);
    QVERIFY(innerEnded >= 550);
    QVERIFY(timer.elapsed() >= innerEnded);
}

void TestDelay::measuresOnTheGivenClock()
{
    // Ten "seconds" pass every 10 ms: a 30-second wait on this clock is
    // over after a few real ticks.
    ManualClock clock;
    QTimer advance;
    advance.setInterval(10);
    connect(&advance, &QTimer::timeout, this, [&clock] { clock.now += 10.0; });
    advance.start();

    const double start = clock.now;
    QElapsedTimer real;
    real.start();
    delay(30.0f, clock);
    QVERIFY(clock.now - start > 30.0);
    QVERIFY(clock.now - start <= 50.0);
    QVERIFY(real.elapsed() < 5000);
}

void TestDelay::zeroWaitsUntilTheClockHasMoved()
{
    ManualClock clock;
    bool moved = false;
    QTimer::singleShot(30, this, [&] {
        clock.now += 0.001;
        moved = true;
    });
    delay(0.0f, clock);
    QVERIFY(moved);
}

QTEST_GUILESS_MAIN(TestDelay)
#include "tst_delay.moc"
