#!/usr/bin/python3
"""ferrolink host in Python: the example host's form driven from Python.

    python3 examples/python/host.py [--connect ADDRESS]

The form is the C++ example host's own hostwindow.ui, made in Qt Designer
with a Sorvel on it. PyQt6's uic imports the control from the module sorvel,
as the form names its header sorvel.h, and this script wires the buttons to
the control's members as the C++ host does. With --connect the host assigns
ADDRESS to the control's IP once its window is up, as a click on the IP
button would.
"""

import argparse
import os
import sys

from PyQt6 import uic
from PyQt6.QtCore import QTimer
from PyQt6.QtWidgets import QApplication, QWidget

FORM = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "host", "hostwindow.ui")

LAMP_ON = "background-color: #36d35a; border: 1px solid #1d5c2a; border-radius: 9px;"
LAMP_OFF = "background-color: #2b3a2e; border: 1px solid #1a1a1a; border-radius: 9px;"
INPUT_REFRESH_MS = 250


def written(asked, used):
    """The value the control wrote, and what was asked when it differs."""
    if asked == used:
        return str(used)
    return f"{asked} (begrenzt auf {used})"


class HostWindow(QWidget):
    """The form with its control; shows what the control gives back."""

    def __init__(self):
        super().__init__()
        uic.loadUi(FORM, self)
        self.lamps = [getattr(self, f"lamp{bit}") for bit in range(8)]
        self.show_inputs(0)
        self.connect_buttons()

        self.input_timer = QTimer(self)
        self.input_timer.setInterval(INPUT_REFRESH_MS)
        self.input_timer.timeout.connect(self.refresh_inputs)
        self.input_timer.start()

    def connect_buttons(self):
        self.lokalstartButton.clicked.connect(self.lokalstart_clicked)
        self.simuliertButton.clicked.connect(self.simuliert_clicked)
        self.testButton.clicked.connect(self.test_clicked)
        self.ipButton.clicked.connect(self.ip_clicked)
        self.serverAddress.returnPressed.connect(self.ip_clicked)
        self.ausgabeButton.clicked.connect(self.ausgabe_clicked)
        self.analogkanalButton.clicked.connect(self.analogkanal_clicked)
        self.analogsendButton.clicked.connect(self.analogsend_clicked)
        self.analogwertButton.clicked.connect(self.analogwert_clicked)

    def connect_to(self, address):
        """Puts the address into the field and assigns it to IP."""
        self.serverAddress.setText(address)
        self.ip_clicked()

    def lokalstart_clicked(self):
        self.sorvel.lokalstart()
        port = self.sorvel.CommPort().value
        self.show_status(f"lokalstart: Interface an CommPort {port} geöffnet")

    def simuliert_clicked(self):
        self.sorvel.simuliert()
        self.show_status("simuliert: lokaler Betrieb ohne Interface, Port geschlossen")

    def test_clicked(self):
        self.show_status("Test: Lauflicht 1, 2, 4 ... 128 läuft")
        self.sorvel.Test()
        self.show_status("Test beendet, 128 bleibt stehen")

    def ip_clicked(self):
        address = self.serverAddress.text().strip()
        if not address:
            self.show_status("Bitte eine Serveradresse eingeben")
            return
        self.show_status(f"Verbinde mit {address} ...")
        self.sorvel.IP(address)
        self.show_status(f"Netzbetrieb mit dem Server {address}")

    # The members that take a variable in C++ return the value they wrote.
    def ausgabe_clicked(self):
        asked = self.outputValue.value()
        wert = self.sorvel.Ausgabe(asked)
        self.outputValue.setValue(wert)
        self.show_status(f"Ausgabe = {written(asked, wert)}")

    def analogkanal_clicked(self):
        asked = self.analogChannel.value()
        nummer = self.sorvel.Analogkanal(asked)
        self.analogChannel.setValue(nummer)
        self.show_status(f"Analogkanal = {written(asked, nummer)}")

    def analogsend_clicked(self):
        asked = self.analogValue.value()
        wert = self.sorvel.Analogsend(asked)
        self.analogValue.setValue(wert)
        self.show_status(f"Analogsend = {written(asked, wert)}")

    def analogwert_clicked(self):
        kanal = self.analogInputChannel.value()
        reading = self.sorvel.Analogwert(kanal)
        self.analogReading.setText(str(reading))
        self.show_status(f"Analogwert({kanal}) = {reading}")

    def refresh_inputs(self):
        self.show_inputs(self.sorvel.Eingabe())

    def show_inputs(self, value):
        for bit, lamp in enumerate(self.lamps):
            lit = bool((value >> bit) & 1)
            lamp.setProperty("lit", lit)
            lamp.setStyleSheet(LAMP_ON if lit else LAMP_OFF)
        self.inputValue.setText(str(value))

    def show_status(self, text):
        self.statusLine.setText(text)


def main():
    app = QApplication(sys.argv)
    app.setApplicationName("ferrolink-host")
    parser = argparse.ArgumentParser(
        description="Example host program with a Sorvel on its form, in Python.")
    parser.add_argument("--connect", metavar="ADDRESS",
                        help="assign ADDRESS to IP once the window is up")
    options = parser.parse_args(app.arguments()[1:])

    window = HostWindow()
    window.show()
    if options.connect:
        QTimer.singleShot(0, lambda: window.connect_to(options.connect))
    return app.exec()


if __name__ == "__main__":
    sys.exit(main())
