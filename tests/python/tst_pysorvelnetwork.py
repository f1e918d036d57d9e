"""The module sorvel in network mode against the real halvex, which drives
the test's own simulated interface: a write from Python reaches the
interface, and reads come back through the server. The test program itself
has the recording interface library, which no call may reach."""

import unittest

from ferrolinktest import CallLog, Halvex, SimulatedInterface, application, wait_until

application()

from sorvel import Sorvel  # noqa: E402  (needs the application first)


class SorvelNetwork(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.interface = SimulatedInterface()
        cls.halvex = Halvex()
        if not cls.halvex.wait_until_listening():
            cls.halvex.stop()
            raise RuntimeError("halvex does not serve on port 2001")
        cls.log = CallLog()
        cls.log.clear()
        cls.control = Sorvel()
        cls.control.IP("127.0.0.1")

    def tearDown(self):
        self.assertEqual(self.log.lines(), [], "a call went to the local library")

    @classmethod
    def tearDownClass(cls):
        cls.control.lokalstart()
        cls.halvex.stop()

    def test_a_write_reaches_the_simulated_interface(self):
        for asked, written in [(300, 255), (5, 5), (-3, 0)]:
            with self.subTest(asked=asked):
                self.assertEqual(self.control.Ausgabe(asked), written)
                self.assertTrue(wait_until(lambda: self.interface.outputs() == written),
                                f"outputs {self.interface.outputs()}, expected {written}")

    def test_an_analog_write_reaches_the_chosen_channel(self):
        self.assertEqual(self.control.Analogkanal(2), 2)
        self.assertEqual(self.control.Analogsend(77), 77)
        self.assertTrue(wait_until(lambda: self.interface.state()[3] == 77))

    def test_reads_come_back_through_the_server(self):
        for value in [0, 42, 255]:
            with self.subTest(inputs=value):
                self.interface.set_inputs(value)
                self.assertEqual(self.control.Eingabe(), value)
        self.interface.set_analog_input(1, 123)
        self.assertEqual(self.control.Analogwert(1), 123)


if __name__ == "__main__":
    unittest.main(verbosity=2)
