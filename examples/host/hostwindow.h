#ifndef HOSTWINDOW_H
#define HOSTWINDOW_H

#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class QTimer;

namespace Ui {
class HostWindow;
}

// The form of the example host: a Sorvel placed on it in Qt Designer, and
// buttons and fields that call the control's members by their names.
//
// Every call goes to the control as written in hostwindow.ui; the window
// only shows what the control gave back: the clamped values it wrote into
// the host's variables, the input byte (read four times a second) and the
// analog readings.
class HostWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int InputRefreshMs = 250;

    explicit HostWindow(QWidget *parent = nullptr);
    ~HostWindow() override;

    // Puts the address into the address field and assigns it to IP, as a
    // click on the IP button does.
    void connectTo(const QString &address);

private:
    void connectButtons();

    void lokalstartClicked();
    void simuliertClicked();
    void testClicked();
    void ipClicked();
    void ausgabeClicked();
    void analogkanalClicked();
    void analogsendClicked();
    void analogwertClicked();
    void refreshInputs();

    void showInputs(int value);
    void showStatus(const QString &text);

    std::unique_ptr<Ui::HostWindow> ui;
    std::array<QLabel *, 8> m_lamps {};
    QTimer *m_inputTimer = nullptr;
};

#endif
