"""The module sorvel installed by cmake --install into a scratch prefix and
imported from there by a Python that has nothing set but PYTHONPATH: the
module, its type stubs and the control library it loads all come from the
prefix."""

import os
import shutil
import subprocess
import unittest

PROBE = r"""
import sorvel
from PyQt6.QtWidgets import QApplication
app = QApplication(['probe', '-platform', 'offscreen'])
from sorvel import Sorvel
s = Sorvel()
print(sorvel.__file__)
print(s.Analogkanal(7), s.CommPort().name)
with open('/proc/self/maps') as maps:
    print(sorted({line.split()[-1] for line in maps if 'libsorvel.so' in line}))
"""


class SorvelInstalled(unittest.TestCase):
    def test_the_installed_module_imports_with_only_pythonpath(self):
        prefix = os.path.join(os.environ["WORK_DIR"], "prefix")
        shutil.rmtree(prefix, ignore_errors=True)
        subprocess.run([os.environ["CMAKE_COMMAND_PATH"], "--install", os.environ["BUILD_DIR"],
                        "--prefix", prefix], check=True, stdout=subprocess.DEVNULL, timeout=240)
        python_dir = os.path.join(prefix, os.environ["INSTALL_PYTHON_DIR"])
        self.assertTrue(os.path.isfile(os.path.join(python_dir, "sorvel.pyi")))

        result = subprocess.run(["/usr/bin/python3", "-c", PROBE], env={"PYTHONPATH": python_dir},
                                cwd=prefix, capture_output=True, text=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stderr)
        module, members, libraries = result.stdout.splitlines()
        self.assertEqual(module, os.path.join(python_dir, "sorvel.abi3.so"))
        self.assertEqual(members, "2 COM2")
        self.assertEqual(libraries, repr([os.path.join(prefix, "lib", "libsorvel.so.1.0.0")]))


if __name__ == "__main__":
    unittest.main(verbosity=2)
