#include "hostwindow.h"
#include "ui_hostwindow.h"

#include <QTimer>

namespace {

const char LampOn[] = "background-color: #36d35a; border: 1px solid #1d5c2a; border-radius: 9px;";
const char LampOff[] = "background-color: #2b3a2e; border: 1px solid #1a1a1a; border-radius: 9px;";

// A spin box's value as the 16-bit variable the control works on; the spin
// boxes of the form stay well inside that range.
qint16 valueOf(const QSpinBox *box)
{
    return static_cast<qint16>(box->value());
}

QString written(int asked, int used)
{
    if (asked == used)
        return QString::number(used);
    return HostWindow::tr("%1 (begrenzt auf %2)").arg(asked).arg(used);
}

} // namespace

HostWindow::HostWindow(QWidget *parent) : QWidget(parent), ui(new Ui::HostWindow)
{
    ui->setupUi(this);
    m_lamps[0] = ui->lamp0;
    m_lamps[1] = ui->lamp1;
    m_lamps[2] = ui->lamp2;
    m_lamps[3] = ui->lamp3;
    m_lamps[4] = ui->lamp4;
    m_lamps[5] = ui->lamp5;
    m_lamps[6] = ui->lamp6;
    m_lamps[7] = ui->lamp7;
    showInputs(0);
    connectButtons();

    m_inputTimer = new QTimer(this);
    m_inputTimer->setInterval(InputRefreshMs);
    connect(m_inputTimer, &QTimer::timeout, this, &HostWindow::refreshInputs);
    m_inputTimer->start();
}

HostWindow::~HostWindow() = default;

void HostWindow::connectButtons()
{
    connect(ui->lokalstartButton, &QPushButton::clicked, this, &HostWindow::lokalstartClicked);
    connect(ui->simuliertButton, &QPushButton::clicked, this, &HostWindow::simuliertClicked);
    connect(ui->testButton, &QPushButton::clicked, this, &HostWindow::testClicked);
    connect(ui->ipButton, &QPushButton::clicked, this, &HostWindow::ipClicked);
    connect(ui->serverAddress, &QLineEdit::returnPressed, this, &HostWindow::ipClicked);
    connect(ui->ausgabeButton, &QPushButton::clicked, this, &HostWindow::ausgabeClicked);
    connect(ui->analogkanalButton, &QPushButton::clicked, this, &HostWindow::analogkanalClicked);
    connect(ui->analogsendButton, &QPushButton::clicked, this, &HostWindow::analogsendClicked);
    connect(ui->analogwertButton, &QPushButton::clicked, this, &HostWindow::analogwertClicked);
}

void HostWindow::connectTo(const QString &address)
{
    ui->serverAddress->setText(address);
    ipClicked();
}

void HostWindow::lokalstartClicked()
{
    ui->sorvel->lokalstart();
    showStatus(tr("lokalstart: Interface an CommPort %1 geöffnet")
                   .arg(static_cast<int>(ui->sorvel->CommPort())));
}

void HostWindow::simuliertClicked()
{
    ui->sorvel->simuliert();
    showStatus(tr("simuliert: lokaler Betrieb ohne Interface, Port geschlossen"));
}

void HostWindow::testClicked()
{
    showStatus(tr("Test: Lauflicht 1, 2, 4 ... 128 läuft"));
    ui->sorvel->Test();
    showStatus(tr("Test beendet, 128 bleibt stehen"));
}

void HostWindow::ipClicked()
{
    const QString address = ui->serverAddress->text().trimmed();
    if (address.isEmpty()) {
        showStatus(tr("Bitte eine Serveradresse eingeben"));
        return;
    }
    showStatus(tr("Verbinde mit %1 ...").arg(address));
    ui->sorvel->IP(address);
    showStatus(tr("Netzbetrieb mit dem Server %1").arg(address));
}

void HostWindow::ausgabeClicked()
{
    const qint16 asked = valueOf(ui->outputValue);
    qint16 wert = asked;
    ui->sorvel->Ausgabe(wert);
    ui->outputValue->setValue(wert);
    showStatus(tr("Ausgabe = %1").arg(written(asked, wert)));
}

void HostWindow::analogkanalClicked()
{
    const qint16 asked = valueOf(ui->analogChannel);
    qint16 nummer = asked;
    ui->sorvel->Analogkanal(nummer);
    ui->analogChannel->setValue(nummer);
    showStatus(tr("Analogkanal = %1").arg(written(asked, nummer)));
}

void HostWindow::analogsendClicked()
{
    const qint16 asked = valueOf(ui->analogValue);
    qint16 wert = asked;
    ui->sorvel->Analogsend(wert);
    ui->analogValue->setValue(wert);
    showStatus(tr("Analogsend = %1").arg(written(asked, wert)));
}

void HostWindow::analogwertClicked()
{
    qint16 kanal = valueOf(ui->analogInputChannel);
    const qint16 reading = ui->sorvel->Analogwert(kanal);
    ui->analogReading->setText(QString::number(reading));
    showStatus(tr("Analogwert(%1) = %2").arg(kanal).arg(reading));
}

void HostWindow::refreshInputs()
{
    showInputs(ui->sorvel->Eingabe());
}

void HostWindow::showInputs(int value)
{
    for (int bit = 0; bit < 8; ++bit) {
        const bool lit = (value >> bit) & 1;
        m_lamps[bit]->setProperty("lit", lit);
        m_lamps[bit]->setStyleSheet(QLatin1String(lit ? LampOn : LampOff));
    }
    ui->inputValue->setText(QString::number(value));
}

void HostWindow::showStatus(const QString &text)
{
    ui->statusLine->setText(text);
}
