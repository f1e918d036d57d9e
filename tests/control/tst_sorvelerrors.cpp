// The control on an interface library that lacks DIN: the failing read
// returns 0, the error does not reach the host, and the control stays in
// local mode (only a library that cannot be loaded moves it to a server).
#include "calllog.h"
#include "sorvel.h"

#include <QTest>

class TestSorvelErrors : public QObject
{
    Q_OBJECT

private slots:
    void missingFunctionIsAbsorbed();
};

void TestSorvelErrors::missingFunctionIsAbsorbed()
{
    CallLog log;
    log.clear();
    Sorvel control;
    QCOMPARE(control.Eingabe(), qint16(0));

    qint16 value = 300;
    control.Ausgabe(value);
    QCOMPARE(value, qint16(255));
    QCOMPARE(log.lines(), QStringList({ "DOUT 255" }));
}

QTEST_MAIN(TestSorvelErrors)
#include "tst_sorvelerrors.moc"
