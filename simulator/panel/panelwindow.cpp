#include "panelwindow.h"

#include "lamp.h"
#include "switchbutton.h"

#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

namespace ferrolink {

namespace {

// Lines are shown with bit 7 on the left, as the byte is written.
int columnOfBit(int bit)
{
    return PanelWindow::Lines - 1 - bit;
}

QLabel *bitLabel(int bit)
{
    auto *label = new QLabel(QString::number(bit));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QLabel *captionLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

} // namespace

PanelWindow::PanelWindow(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(tr("Ferrolink-Interface (simuliert)"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(createOutputs());
    layout->addWidget(createInputs());
    layout->addWidget(createAnalog());
    layout->addWidget(createStatus());
    layout->setSizeConstraint(QLayout::SetFixedSize);

    showState();

    m_pollTimer = new QTimer(this);
    m_pollTimer->setInterval(PollIntervalMs);
    connect(m_pollTimer, &QTimer::timeout, this, &PanelWindow::poll);
    m_pollTimer->start();
}

QLabel *PanelWindow::createByteLabel(const QString &objectName)
{
    auto *label = new QLabel;
    label->setObjectName(objectName);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(QFontMetrics(font).horizontalAdvance(QStringLiteral("2550")));
    label->setToolTip(tr("Der Wert des Bytes, dezimal"));
    return label;
}

QGroupBox *PanelWindow::createOutputs()
{
    auto *box = new QGroupBox(tr("Digitale Ausgänge (DOUT)"));
    auto *grid = new QGridLayout(box);
    for (int bit = 0; bit < Lines; ++bit) {
        auto *lamp = new Lamp;
        lamp->setObjectName(QStringLiteral("outputLamp%1").arg(bit));
        lamp->setToolTip(tr("Ausgang %1 (Wertigkeit %2)").arg(bit).arg(1 << bit));
        grid->addWidget(lamp, 0, columnOfBit(bit), Qt::AlignCenter);
        grid->addWidget(bitLabel(bit), 1, columnOfBit(bit));
        m_outputLamps[bit] = lamp;
    }
    m_outputByte = createByteLabel(QStringLiteral("outputByte"));
    grid->setColumnMinimumWidth(Lines, 12);
    grid->addWidget(m_outputByte, 0, Lines + 1);
    grid->addWidget(captionLabel(tr("dezimal")), 1, Lines + 1);
    return box;
}

QGroupBox *PanelWindow::createInputs()
{
    auto *box = new QGroupBox(tr("Digitale Eingänge (DIN), zum Schalten anklicken"));
    auto *grid = new QGridLayout(box);
    // Created from bit 7 down, so that Tab walks them left to right.
    for (int bit = Lines - 1; bit >= 0; --bit) {
        auto *line = new SwitchButton;
        line->setObjectName(QStringLiteral("inputSwitch%1").arg(bit));
        line->setToolTip(tr("Eingang %1 (Wertigkeit %2)").arg(bit).arg(1 << bit));
        line->setAccessibleName(tr("Eingang %1").arg(bit));
        connect(line, &SwitchButton::clicked, this,
                [this, bit](bool on) { setInputLine(bit, on); });
        grid->addWidget(line, 0, columnOfBit(bit), Qt::AlignCenter);
        grid->addWidget(bitLabel(bit), 1, columnOfBit(bit));
        m_inputSwitches[bit] = line;
    }
    m_inputByte = createByteLabel(QStringLiteral("inputByte"));
    grid->setColumnMinimumWidth(Lines, 12);
    grid->addWidget(m_inputByte, 0, Lines + 1);
    grid->addWidget(captionLabel(tr("dezimal")), 1, Lines + 1);
    return box;
}

QGroupBox *PanelWindow::createAnalog()
{
    auto *box = new QGroupBox(tr("Analog (AIN, AOUT)"));
    auto *grid = new QGridLayout(box);
    grid->setHorizontalSpacing(10);
    for (int channel = 1; channel <= SimulatedInterface::AnalogChannels; ++channel) {
        const int index = channel - 1;
        const int row = index;

        auto *slider = new QSlider(Qt::Horizontal);
        slider->setObjectName(QStringLiteral("analogInput%1").arg(channel));
        slider->setRange(0, 255);
        slider->setPageStep(16);
        slider->setMinimumWidth(130);
        slider->setToolTip(tr("Analogeingang %1, 0..255").arg(channel));
        connect(slider, &QSlider::valueChanged, this,
                [this, channel](int value) { setAnalogInput(channel, value); });
        auto *value = new QLabel;
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("2550")));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

        auto *bar = new QProgressBar;
        bar->setObjectName(QStringLiteral("analogOutput%1").arg(channel));
        bar->setRange(0, 255);
        bar->setFormat(QStringLiteral("%v"));
        bar->setMinimumWidth(130);
        bar->setToolTip(tr("Analogausgang %1, 0..255").arg(channel));

        grid->addWidget(new QLabel(tr("Eingang %1").arg(channel)), row, 0);
        grid->addWidget(slider, row, 1);
        grid->addWidget(value, row, 2);
        grid->setColumnMinimumWidth(3, 12);
        grid->addWidget(new QLabel(tr("Ausgang %1").arg(channel)), row, 4);
        grid->addWidget(bar, row, 5);

        m_analogInputs[index] = slider;
        m_analogInputValues[index] = value;
        m_analogOutputs[index] = bar;
    }
    return box;
}

QGroupBox *PanelWindow::createStatus()
{
    auto *box = new QGroupBox(tr("Schnittstelle"));
    auto *layout = new QHBoxLayout(box);
    m_portState = new QLabel;
    m_portState->setObjectName(QStringLiteral("portState"));
    m_hardwareState = new QLabel;
    m_hardwareState->setObjectName(QStringLiteral("hardwareState"));
    layout->addWidget(m_portState);
    layout->addStretch();
    layout->addWidget(m_hardwareState);

    if (m_interface.valid()) {
        box->setToolTip(
            tr("Gemeinsamer Zustand: %1").arg(QString::fromLocal8Bit(SimulatedInterface::name())));
    } else {
        box->setTitle(tr("Schnittstelle (nur in diesem Fenster: kein gemeinsamer Speicher)"));
    }
    return box;
}

void PanelWindow::poll()
{
    if (m_interface.changes() != m_shownChanges)
        showState();
}

void PanelWindow::showState()
{
    // Read the counter first: a change made while drawing shows at the next poll.
    m_shownChanges = m_interface.changes();

    const uint8_t outputs = m_interface.outputs();
    for (int bit = 0; bit < Lines; ++bit)
        m_outputLamps[bit]->setOn(outputs & (1u << bit));
    m_outputByte->setText(QString::number(outputs));

    const uint8_t inputs = m_interface.inputs();
    for (int bit = 0; bit < Lines; ++bit)
        m_inputSwitches[bit]->setChecked(inputs & (1u << bit));
    m_inputByte->setText(QString::number(inputs));

    for (int index = 0; index < SimulatedInterface::AnalogChannels; ++index) {
        const int channel = index + 1;
        const uint8_t in = m_interface.analogInput(channel);
        if (!m_analogInputs[index]->isSliderDown()) {
            const QSignalBlocker quiet(m_analogInputs[index]);
            m_analogInputs[index]->setValue(in);
        }
        m_analogInputValues[index]->setText(QString::number(in));
        m_analogOutputs[index]->setValue(m_interface.analogOutput(channel));
    }

    m_portState->setText(m_interface.portOpen() ? tr("Port %1 geöffnet").arg(m_interface.port())
                                                : tr("Port geschlossen"));
    m_hardwareState->setText(m_interface.hardwareFound() ? tr("Hardware gesucht und gefunden")
                                                         : tr("Hardware noch nicht gesucht"));
}

void PanelWindow::setInputLine(int bit, bool on)
{
    const uint8_t mask = uint8_t(1u << bit);
    const uint8_t inputs = m_interface.inputs();
    m_interface.setInputs(uint8_t(on ? inputs | mask : inputs & ~mask));
    showState();
}

void PanelWindow::setAnalogInput(int channel, int value)
{
    m_interface.setAnalogInput(channel, value);
    showState();
}

} // namespace ferrolink
