#ifndef FERROLINK_PANELWINDOW_H
#define FERROLINK_PANELWINDOW_H

#include "simulatedinterface.h"

#include <QWidget>

#include <array>
#include <cstdint>

class QGroupBox;
class QLabel;
class QProgressBar;
class QSlider;
class QTimer;

namespace ferrolink {

class Lamp;
class SwitchButton;

// The front of the simulated interface: the output lines as lamps, the input
// lines as switches a person can set, the analog inputs as sliders and the
// analog outputs as bars, and the state of the port.
//
// The state is shared with every process that uses the simulated interface
// library, so the window polls its change counter and redraws only when
// something changed.
class PanelWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Lines = 8;
    static constexpr int PollIntervalMs = 30;

    explicit PanelWindow(QWidget *parent = nullptr);

private:
    QGroupBox *createOutputs();
    QGroupBox *createInputs();
    QGroupBox *createAnalog();
    QGroupBox *createStatus();
    QLabel *createByteLabel(const QString &objectName);

    void poll();
    void showState();
    void setInputLine(int bit, bool on);
    void setAnalogInput(int channel, int value);

    SimulatedInterface m_interface;
    QTimer *m_pollTimer = nullptr;
    uint32_t m_shownChanges = 0;

    std::array<Lamp *, Lines> m_outputLamps {};
    std::array<SwitchButton *, Lines> m_inputSwitches {};
    QLabel *m_outputByte = nullptr;
    QLabel *m_inputByte = nullptr;
    std::array<QSlider *, SimulatedInterface::AnalogChannels> m_analogInputs {};
    std::array<QLabel *, SimulatedInterface::AnalogChannels> m_analogInputValues {};
    std::array<QProgressBar *, SimulatedInterface::AnalogChannels> m_analogOutputs {};
    QLabel *m_portState = nullptr;
    QLabel *m_hardwareState = nullptr;
};

} // namespace ferrolink

#endif
