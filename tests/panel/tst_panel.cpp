// The panel shows what any process does to the simulated interface and sets
// the input lines and analog inputs a person chooses. The test's own
// SimulatedInterface stands for that other process: both map the same state.
#include "lamp.h"
#include "panelwindow.h"
#include "simulatedinterface.h"
#include "switchbutton.h"

#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>

using namespace ferrolink;

class TestPanel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void showsTheOutputLinesSetElsewhere_data();
    void showsTheOutputLinesSetElsewhere();
    void showsAnalogValuesAndPortStateSetElsewhere();
    void showsTheLinesWithBitSevenOnTheLeft();
    void clickingAnInputSwitchTogglesOnlyItsLine_data();
    void clickingAnInputSwitchTogglesOnlyItsLine();
    void movingASliderSetsTheAnalogInput();
    void showingTheStateWritesNothingBack();

private:
    template<typename T> T *child(const QString &name)
    {
        T *found = m_panel->findChild<T *>(name);
        if (!found)
            qFatal("panel has no widget %s", qPrintable(name));
        return found;
    }
    QString lampPattern();

    SimulatedInterface m_elsewhere;
    PanelWindow *m_panel = nullptr;
};

void TestPanel::init()
{
    QVERIFY(m_elsewhere.valid());
    m_elsewhere.reset();
    m_panel = new PanelWindow;
    m_panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_panel));
}

void TestPanel::cleanup()
{
    delete m_panel;
    m_panel = nullptr;
}

// The lamps as the panel shows them, bit 7 first: "10100101".
QString TestPanel::lampPattern()
{
    QString pattern;
    for (int bit = PanelWindow::Lines - 1; bit >= 0; --bit)
        pattern += child<Lamp>(QStringLiteral("outputLamp%1").arg(bit))->isOn() ? u'1' : u'0';
    return pattern;
}

void TestPanel::showsTheOutputLinesSetElsewhere_data()
{
    QTest::addColumn<int>("outputs");
    QTest::addColumn<QString>("lamps");

    QTest::newRow("lowest bit") << 1 << "00000001";
    QTest::newRow("highest bit") << 128 << "10000000";
    QTest::newRow("alternating") << 0xA5 << "10100101";
    QTest::newRow("all") << 255 << "11111111";
}

void TestPanel::showsTheOutputLinesSetElsewhere()
{
    QFETCH(int, outputs);
    QFETCH(QString, lamps);

    m_elsewhere.setOutputs(uint8_t(outputs));
    QTRY_COMPARE(lampPattern(), lamps);
    QCOMPARE(child<QLabel>("outputByte")->text(), QString::number(outputs));

    m_elsewhere.setOutputs(0);
    QTRY_COMPARE(lampPattern(), QString("00000000"));
    QCOMPARE(child<QLabel>("outputByte")->text(), QString("0"));
}

void TestPanel::showsAnalogValuesAndPortStateSetElsewhere()
{
    QCOMPARE(child<QLabel>("portState")->text(), QString("Port geschlossen"));
    QCOMPARE(child<QLabel>("hardwareState")->text(), QString("Hardware noch nicht gesucht"));

    m_elsewhere.setAnalogOutput(1, 17);
    m_elsewhere.setAnalogOutput(2, 255);
    m_elsewhere.setAnalogInput(2, 99);
    m_elsewhere.setInputs(0x42);
    m_elsewhere.setHardwareFound(true);
    m_elsewhere.openPort(3);

    QTRY_COMPARE(child<QProgressBar>("analogOutput1")->value(), 17);
    QCOMPARE(child<QProgressBar>("analogOutput2")->value(), 255);
    QCOMPARE(child<QSlider>("analogInput1")->value(), 0);
    QCOMPARE(child<QSlider>("analogInput2")->value(), 99);
    QVERIFY(child<SwitchButton>("inputSwitch1")->isChecked());
    QVERIFY(child<SwitchButton>("inputSwitch6")->isChecked());
    QVERIFY(!child<SwitchButton>("inputSwitch0")->isChecked());
    QCOMPARE(child<QLabel>("inputByte")->text(), QString("66"));
    QCOMPARE(child<QLabel>("portState")->text(), QString("Port 3 geöffnet"));
    QCOMPARE(child<QLabel>("hardwareState")->text(), QString("Hardware gesucht und gefunden"));

    m_elsewhere.closePort();
    QTRY_COMPARE(child<QLabel>("portState")->text(), QString("Port geschlossen"));
}

void TestPanel::showsTheLinesWithBitSevenOnTheLeft()
{
    // As the byte is written, so that the lamps read like its binary digits.
    for (int bit = 0; bit + 1 < PanelWindow::Lines; ++bit) {
        const auto left = [this](const QString &name) {
            return child<QWidget>(name)->mapTo(m_panel, QPoint(0, 0)).x();
        };
        QVERIFY(left(QStringLiteral("outputLamp%1").arg(bit + 1))
                < left(QStringLiteral("outputLamp%1").arg(bit)));
        QVERIFY(left(QStringLiteral("inputSwitch%1").arg(bit + 1))
                < left(QStringLiteral("inputSwitch%1").arg(bit)));
    }
}

void TestPanel::clickingAnInputSwitchTogglesOnlyItsLine_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("bit");
    QTest::addColumn<int>("after");

    QTest::newRow("bit 0 on") << 0 << 0 << 1;
    QTest::newRow("bit 7 on") << 0 << 7 << 128;
    QTest::newRow("keeps the others") << 0x81 << 3 << 0x89;
    QTest::newRow("bit 7 off") << 0xff << 7 << 0x7f;
}

void TestPanel::clickingAnInputSwitchTogglesOnlyItsLine()
{
    QFETCH(int, before);
    QFETCH(int, bit);
    QFETCH(int, after);

    m_elsewhere.setInputs(uint8_t(before));
    QTRY_COMPARE(child<QLabel>("inputByte")->text(), QString::number(before));

    auto *line = child<SwitchButton>(QStringLiteral("inputSwitch%1").arg(bit));
    QTest::mouseClick(line, Qt::LeftButton);
    QCOMPARE(int(m_elsewhere.inputs()), after);
    QCOMPARE(child<QLabel>("inputByte")->text(), QString::number(after));

    // The keyboard works as well: space flips it back.
    line->setFocus();
    QTest::keyClick(line, Qt::Key_Space);
    QCOMPARE(int(m_elsewhere.inputs()), before);
}

void TestPanel::movingASliderSetsTheAnalogInput()
{
    auto *slider = child<QSlider>("analogInput1");
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageUp);
    QCOMPARE(int(m_elsewhere.analogInput(1)), slider->pageStep());
    QTest::keyClick(slider, Qt::Key_End);
    QCOMPARE(int(m_elsewhere.analogInput(1)), 255);
    QCOMPARE(int(m_elsewhere.analogInput(2)), 0);
}

void TestPanel::showingTheStateWritesNothingBack()
{
    // Showing a value set elsewhere must not set it again: that would count
    // a change at every poll and keep the panel redrawing for ever.
    m_elsewhere.setAnalogInput(1, 200);
    m_elsewhere.setInputs(0x55);
    const uint32_t changes = m_elsewhere.changes();
    QTRY_COMPARE(child<QSlider>("analogInput1")->value(), 200);
    QVERIFY(child<SwitchButton>("inputSwitch6")->isChecked());

    auto *poll = m_panel->findChild<QTimer *>();
    QVERIFY(poll && poll->isActive());
    QSignalSpy polls(poll, &QTimer::timeout);
    QTRY_VERIFY(polls.count() >= 3);
    QCOMPARE(m_elsewhere.changes(), changes);
}

QTEST_MAIN(TestPanel)
#include "tst_panel.moc"
