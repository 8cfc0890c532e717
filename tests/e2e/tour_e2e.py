"""The demo tour (what tools/run-demo --tour runs once it has built the shell) passes every stage:
loading, login, game tab, second tab, menu, close question, update offer, the updater replacing a
demo file and the shell, and the restarted shell at its login. It runs the demo's build, which has
the demo publisher key (tools/build-demo), so the update it installs is a signed one."""

import os
import subprocess
import sys
import unittest

from harness import ROOT, e2e_main, test_port
from signed_update_e2e import signed_build


class DemoTour(unittest.TestCase):
    def test_every_stage_passes(self):
        tour = os.path.join(ROOT, "tools", "demo_tour.py")
        build = signed_build()
        result = subprocess.run([sys.executable, tour, build, str(test_port())], stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=280)
        output = result.stdout.decode("utf-8", "replace")
        self.assertEqual(result.returncode, 0, output)
        shots = sorted(name for name in os.listdir(os.path.join(build, "tour")) if name.endswith(".png"))
        self.assertEqual([name[:3] for name in shots], [f"{n:02d}-" for n in range(1, 10)], output)


if __name__ == "__main__":
    e2e_main()
