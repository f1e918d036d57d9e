"""What the tests of the Python module share: the application, the recording
interface library's call log, the program halvex and the simulated interface.
Every wait is bounded in time."""

import os
import socket
import subprocess
import time

from PyQt6.QtCore import QCoreApplication, QEventLoop
from PyQt6.QtWidgets import QApplication

_application = None


def application():
    """The one QApplication of the test program."""
    global _application
    if _application is None:
        _application = QApplication.instance() or QApplication([])
    return _application


def wait_until(condition, timeout=5.0):
    """Handles events until condition() holds or timeout seconds passed."""
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            return False
        QCoreApplication.processEvents(QEventLoop.ProcessEventsFlag.AllEvents, 50)
        time.sleep(0.02)
    return True


class CallLog:
    """The calls that reached the recording interface library, one a line."""

    def __init__(self):
        self.path = os.environ["FAKE_RSAPI_LOG"]

    def clear(self):
        open(self.path, "w").close()

    def lines(self):
        try:
            with open(self.path) as log:
                return log.read().splitlines()
        except FileNotFoundError:
            return []


class SimulatedInterface:
    """The test's simulated interface, through the program simstate."""

    def __init__(self):
        self.program = os.environ["FERROLINK_SIMSTATE"]

    def state(self):
        """(outputs, inputs, analog output 1, analog output 2)"""
        out = subprocess.run([self.program], check=True, capture_output=True, text=True,
                             timeout=10).stdout
        return tuple(int(field) for field in out.split())

    def outputs(self):
        return self.state()[0]

    def set_inputs(self, value):
        subprocess.run([self.program, "inputs", str(value)], check=True, timeout=10)

    def set_analog_input(self, channel, value):
        subprocess.run([self.program, "analog", str(channel), str(value)], check=True,
                       timeout=10)


def server_answers_read(timeout=2.0):
    """True when a server on port 2001 answers a read ("R") on a new
    connection; says goodbye ("I") afterwards, so that it listens again."""
    try:
        with socket.create_connection(("127.0.0.1", 2001), timeout=timeout) as connection:
            connection.settimeout(timeout)
            connection.sendall(b"R")
            reply = b""
            while len(reply) < 2:
                part = connection.recv(2 - len(reply))
                if not part:
                    return False
                reply += part
            connection.sendall(b"I")
            connection.recv(16)
            return True
    except OSError:
        return False


class Halvex:
    """The program halvex of this build on the offscreen platform, with the
    test's own environment (and so its simulated interface)."""

    def __init__(self):
        environment = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        default_path = os.environ.get("FERROLINK_DEFAULT_LIBRARY_PATH")
        environment.pop("LD_PRELOAD", None)
        if default_path:
            environment["LD_LIBRARY_PATH"] = default_path
        else:
            environment.pop("LD_LIBRARY_PATH", None)
        program = os.path.join(os.environ["FERROLINK_BIN_DIR"], "halvex")
        self.process = subprocess.Popen([program], env=environment,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def wait_until_listening(self, timeout=17.0):
        """It listens 10 to 15 s after its start."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline and self.process.poll() is None:
            if server_answers_read():
                return True
            time.sleep(0.25)
        return False

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(timeout=10)
        self.process.stderr.close()
