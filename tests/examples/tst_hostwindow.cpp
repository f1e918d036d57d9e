// The example host's form wired to its Sorvel: every button calls the
// control, the values the control clamped come back into the fields, and the
// input lamps follow the interface. The control works in local mode on the
// simulated interface of this test.
#include "hostwindow.h"
#include "simulatedinterface.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

class TestHostWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void ausgabeShowsTheValueTheControlWrote_data();
    void ausgabeShowsTheValueTheControlWrote();
    void analogOutputIsWrittenOnTheClampedChannel_data();
    void analogOutputIsWrittenOnTheClampedChannel();
    void inputLampsFollowTheInterface();
    void analogwertShowsTheReadingOfTheChosenChannel();
    void lokalstartOpensAndSimuliertClosesThePort();

private:
    template<typename T> T *child(HostWindow &window, const char *name)
    {
        auto *widget = window.findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("the form has no %s", name);
        return widget;
    }

    ferrolink::SimulatedInterface m_interface;
};

void TestHostWindow::init()
{
    QVERIFY(m_interface.valid());
    m_interface.reset();
}

void TestHostWindow::ausgabeShowsTheValueTheControlWrote_data()
{
    QTest::addColumn<int>("entered");
    QTest::addColumn<int>("written");
    QTest::newRow("inside the range") << 77 << 77;
    QTest::newRow("above 255") << 300 << 255;
    QTest::newRow("below 0") << -5 << 0;
    QTest::newRow("far above") << 1000 << 255;
}

void TestHostWindow::ausgabeShowsTheValueTheControlWrote()
{
    QFETCH(int, entered);
    QFETCH(int, written);
    m_interface.setOutputs(0x5a);
    HostWindow window;
    auto *value = child<QSpinBox>(window, "outputValue");
    value->setValue(entered);
    QCOMPARE(value->value(), entered);

    child<QPushButton>(window, "ausgabeButton")->click();

    QCOMPARE(value->value(), written);
    QCOMPARE(int(m_interface.outputs()), written);
}

void TestHostWindow::analogOutputIsWrittenOnTheClampedChannel_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("usedChannel");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("written");
    QTest::newRow("channel 1") << 1 << 1 << 128 << 128;
    QTest::newRow("channel 7 is 2, 1000 is 255") << 7 << 2 << 1000 << 255;
    QTest::newRow("channel 0 is 1, -3 is 0") << 0 << 1 << -3 << 0;
}

void TestHostWindow::analogOutputIsWrittenOnTheClampedChannel()
{
    QFETCH(int, channel);
    QFETCH(int, usedChannel);
    QFETCH(int, value);
    QFETCH(int, written);
    m_interface.setAnalogOutput(usedChannel, 99);
    HostWindow window;
    auto *channelBox = child<QSpinBox>(window, "analogChannel");
    auto *valueBox = child<QSpinBox>(window, "analogValue");
    channelBox->setValue(channel);
    valueBox->setValue(value);

    child<QPushButton>(window, "analogkanalButton")->click();
    child<QPushButton>(window, "analogsendButton")->click();

    QCOMPARE(channelBox->value(), usedChannel);
    QCOMPARE(valueBox->value(), written);
    QCOMPARE(int(m_interface.analogOutput(usedChannel)), written);
}

void TestHostWindow::inputLampsFollowTheInterface()
{
    HostWindow window;
    window.show();
    auto *value = child<QLabel>(window, "inputValue");
    for (const int inputs : { 0b10100101, 0b01011010, 0 }) {
        m_interface.setInputs(static_cast<uint8_t>(inputs));
        QTRY_COMPARE(value->text(), QString::number(inputs));
        for (int bit = 0; bit < 8; ++bit) {
            const QByteArray lamp = "lamp" + QByteArray::number(bit);
            QCOMPARE(child<QLabel>(window, lamp.constData())->property("lit").toBool(),
                     bool(inputs & (1 << bit)));
        }
    }
}

void TestHostWindow::analogwertShowsTheReadingOfTheChosenChannel()
{
    m_interface.setAnalogInput(1, 17);
    m_interface.setAnalogInput(2, 201);
    HostWindow window;
    auto *channel = child<QSpinBox>(window, "analogInputChannel");
    auto *reading = child<QLabel>(window, "analogReading");
    auto *button = child<QPushButton>(window, "analogwertButton");

    channel->setValue(2);
    button->click();
    QCOMPARE(reading->text(), QStringLiteral("201"));
    channel->setValue(1);
    button->click();
    QCOMPARE(reading->text(), QStringLiteral("17"));
}

void TestHostWindow::lokalstartOpensAndSimuliertClosesThePort()
{
    HostWindow window;
    child<QPushButton>(window, "lokalstartButton")->click();
    QVERIFY(m_interface.portOpen());
    QCOMPARE(m_interface.port(), int16_t(1));
    child<QPushButton>(window, "simuliertButton")->click();
    QVERIFY(!m_interface.portOpen());
}

QTEST_MAIN(TestHostWindow)
#include "tst_hostwindow.moc"
