// An interface library that cannot be loaded (a file of that name that is
// not a library) ends the server at start: the error's number and text on
// stderr, a non-zero exit status, and nothing served. One that lacks DOUT
// ends it when a menu item writes the outputs.
#include "halvex.h"
#include "interfacelibrary.h"
#include "winsocket.h"

#include "steerableclock.h"

#include <QAction>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using ferrolink::Halvex;

class TestHalvexBadLibrary : public QObject
{
    Q_OBJECT

private slots:
    void theProgramEndsWithTheError();
    void theWindowStopsAndAsksToEnd();
    void aMenuWriteThatFailsEndsTheServer_data();
    void aMenuWriteThatFailsEndsTheServer();
};

void TestHalvexBadLibrary::theProgramEndsWithTheError()
{
    QProcess halvex;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    halvex.setProcessEnvironment(environment);
    halvex.start(QStringLiteral(HALVEX_PROGRAM), {});
    QVERIFY(halvex.waitForFinished(10000));
    QCOMPARE(halvex.exitStatus(), QProcess::NormalExit);
    QCOMPARE(halvex.exitCode(), 1);
    const QString text = QString::fromLocal8Bit(halvex.readAllStandardError());
    QVERIFY2(text.contains(QRegularExpression("^Error 48: .*librsapi\\.so.*$",
                                              QRegularExpression::MultilineOption)),
             qPrintable(text));
}

void TestHalvexBadLibrary::theWindowStopsAndAsksToEnd()
{
    ferrolink::InterfaceLibrary library;
    SteerableClock clock;
    Halvex window(library, clock);
    QVERIFY(window.hasEnded());
    QSignalSpy ended(&window, &Halvex::ended);
    QVERIFY(ended.wait(3000));
    QCOMPARE(ended.first().first().toInt(), 1);
    QVERIFY(!window.findChild<QTimer *>("Timer1")->isActive());

    // Nothing is handled any more: the watchdog does not make it listen.
    clock.advance(Halvex::SilenceLimit + 1.0);
    window.Timer1_Timer();
    const auto *socket = window.findChild<ferrolink::Winsocket *>("Winsocket");
    QCOMPARE(socket->state(), ferrolink::Winsocket::Closed);
    QCOMPARE(window.windowTitle(), QStringLiteral("Ferrolink-Server"));
}

void TestHalvexBadLibrary::aMenuWriteThatFailsEndsTheServer_data()
{
    QTest::addColumn<QString>("item");
    QTest::newRow("Rücksetzen") << "Rücksetzen";
    QTest::newRow("Testmuster") << "comm";
}

void TestHalvexBadLibrary::aMenuWriteThatFailsEndsTheServer()
{
    QFETCH(QString, item);
    ferrolink::InterfaceLibrary library(FINDHARD_ONLY_LIBRARY);
    Halvex window(library);
    QVERIFY(!window.hasEnded());
    QSignalSpy ended(&window, &Halvex::ended);

    window.findChild<QAction *>(item)->trigger();
    QVERIFY(window.hasEnded());
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(ended.first().first().toInt(), 1);
    QVERIFY(!window.findChild<QTimer *>("Timer1")->isActive());
}

QTEST_MAIN(TestHalvexBadLibrary)
#include "tst_halvexbadlibrary.moc"
