"""The module sorvel in local mode, on the recording interface library: what
each kind of member gives back to Python and which calls reach the library."""

import os
import threading
import time
import unittest

from ferrolinktest import CallLog, application

from PyQt6 import uic
from PyQt6.QtCore import Q_RETURN_ARG, QMetaObject, Qt, QTimer
from PyQt6.QtWidgets import QVBoxLayout, QWidget

application()

from sorvel import Sorvel  # noqa: E402  (needs the application first)


class SorvelLocal(unittest.TestCase):
    def setUp(self):
        self.log = CallLog()
        self.control = Sorvel()
        self.control.lokalstart()
        self.log.clear()

    def tearDown(self):
        os.environ.pop("FAKE_RSAPI_DIN", None)
        self.control.deleteLater()

    def test_a_write_returns_the_clamped_value_it_wrote(self):
        # member, argument, value returned, call that reached the library
        cases = [
            ("Ausgabe", 300, 255, "DOUT 255"),
            ("Ausgabe", -7, 0, "DOUT 0"),
            ("Ausgabe", 5, 5, "DOUT 5"),
            ("Analogkanal", 7, 2, None),
            ("Analogkanal", -1, 1, None),
            ("Analogsend", -4, 0, "AOUT 1 0"),
            ("Analogsend", 999, 255, "AOUT 1 255"),
        ]
        for member, argument, returned, call in cases:
            with self.subTest(member=member, argument=argument):
                self.log.clear()
                self.assertEqual(getattr(self.control, member)(argument), returned)
                self.assertEqual(self.log.lines(), [call] if call else [])

    def test_analogsend_writes_the_channel_that_analogkanal_chose(self):
        self.assertEqual(self.control.Analogkanal(2), 2)
        self.assertEqual(self.control.Analogsend(100), 100)
        self.assertEqual(self.log.lines(), ["AOUT 2 100"])

    def test_a_read_returns_what_the_library_read(self):
        os.environ["FAKE_RSAPI_DIN"] = "42"
        self.assertEqual(self.control.Eingabe(), 42)
        self.assertEqual(self.control.Analogwert(2), 1002)
        self.assertEqual(self.log.lines(), ["DIN", "AIN 2"])

    def test_members_are_called_by_name_through_the_meta_object(self):
        os.environ["FAKE_RSAPI_DIN"] = "17"
        meta = self.control.metaObject()
        self.assertEqual(meta.className(), "Sorvel")
        names = [bytes(meta.method(i).name()).decode()
                 for i in range(meta.methodOffset(), meta.methodCount())]
        self.assertEqual(names, ["CommPort", "setCommPort", "IP", "lokalstart", "Test",
                                 "simuliert", "Ausgabe", "Eingabe", "Analogwert",
                                 "Analogkanal", "Analogsend"])
        connection = Qt.ConnectionType.DirectConnection
        self.assertEqual(
            QMetaObject.invokeMethod(self.control, "Eingabe", connection,
                                     Q_RETURN_ARG("qint16")), 17)
        self.assertTrue(self.control.setProperty("CommPort", Sorvel.Com.COM4))
        QMetaObject.invokeMethod(self.control, "lokalstart", connection)
        self.assertEqual(self.log.lines(), ["DIN", "INITSIOS 3"])

    def test_the_enum_names_the_port_that_lokalstart_opens(self):
        self.assertEqual([port.value for port in Sorvel.Com], [0, 1, 2, 3])
        self.assertEqual([port.name for port in Sorvel.Com], ["COM1", "COM2", "COM3", "COM4"])
        fresh = Sorvel()
        self.assertIs(fresh.CommPort(), Sorvel.Com.COM2)
        fresh.setCommPort(Sorvel.Com.COM3)
        self.assertIs(fresh.property("CommPort"), Sorvel.Com.COM3)
        self.log.clear()
        fresh.lokalstart()
        self.assertEqual(self.log.lines()[-1], "INITSIOS 2")
        with self.assertRaises(TypeError):
            fresh.setCommPort(2)

    def test_python_runs_while_a_member_waits(self):
        # A handler of the host reads during the walking bit's waits, and a
        # thread of the host runs meanwhile, as the wait releases the lock.
        os.environ["FAKE_RSAPI_DIN"] = "9"
        reads = []
        timer = QTimer()
        timer.setInterval(200)
        timer.timeout.connect(lambda: reads.append(self.control.Eingabe()))
        timer.start()
        ticks = []
        stop = threading.Event()

        def tick():
            for _ in range(2000):
                if stop.wait(0.01):
                    break
                ticks.append(time.monotonic())

        thread = threading.Thread(target=tick)
        thread.start()
        started = time.monotonic()
        self.control.Test()
        ended = time.monotonic()
        stop.set()
        thread.join(10)
        timer.stop()
        self.assertGreaterEqual(len(reads), 10)
        self.assertEqual(set(reads), {9})
        self.assertGreaterEqual(len([t for t in ticks if started < t < ended]), 100)
        writes = [line for line in self.log.lines() if line.startswith("DOUT")]
        self.assertEqual(writes, [f"DOUT {1 << bit}" for bit in range(8)])

    def test_a_designer_form_with_the_control_gives_a_sorvel(self):
        form = os.path.join(os.environ["FERROLINK_SOURCE_DIR"], "examples", "host",
                            "hostwindow.ui")
        window = QWidget()
        uic.loadUi(form, window)
        self.assertIsInstance(window.sorvel, Sorvel)
        self.assertIsInstance(window.sorvel, QWidget)
        self.assertIs(window.sorvel.window(), window)
        holder = QWidget()
        QVBoxLayout(holder).addWidget(self.control)
        self.assertIs(self.control.parentWidget(), holder)
        self.assertEqual(window.sorvel.Ausgabe(256), 255)
        window.deleteLater()
        holder.deleteLater()


if __name__ == "__main__":
    unittest.main(verbosity=2)
