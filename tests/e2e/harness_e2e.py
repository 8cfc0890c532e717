"""The test tools themselves: a command sharing a prefix with a running shell never ends it, and
a display that does not answer stops a run with its name instead of moving it elsewhere."""

import os
import subprocess
import tempfile
import time
import unittest

from harness import WINE_RUN, Shell, demo_server, e2e_main, wait_until


class SharedPrefix(unittest.TestCase):
    def start_shell(self, server):
        shell = Shell().start()
        self.addCleanup(shell.stop)
        shell.wait_for_window("LoginFrm", visible=True, timeout=90)
        return shell

    def test_a_display_check_that_fails_once_leaves_the_running_shell_alone(self):
        # A display check that misses once used to move a command to a private display and end
        # every process of the prefix with it, the shell under test among them.
        with demo_server() as server, tempfile.TemporaryDirectory() as shim:
            shell = self.start_shell(server)
            failed_once = os.path.join(shim, "failed-once")
            with open(os.path.join(shim, "xdpyinfo"), "w") as f:
                f.write(f'#!/bin/sh\n[ -e "{failed_once}" ] || {{ touch "{failed_once}"; exit 1; }}\n'
                        'exec /usr/bin/xdpyinfo "$@"\n')
            os.chmod(os.path.join(shim, "xdpyinfo"), 0o755)
            env = dict(os.environ, PATH=shim + os.pathsep + os.environ["PATH"])
            run = subprocess.run([WINE_RUN, shell.prefix, "--", "wine", "cmd.exe", "/c", "echo shared"], env=env,
                                 stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
            self.assertTrue(os.path.exists(failed_once), "the display check never ran")
            self.assertEqual(run.returncode, 0, run.stderr.decode("utf-8", "replace"))
            self.assertIn(b"shared", run.stdout)
            time.sleep(2)
            self.assertTrue(shell.running())
            self.assertTrue(shell.window("LoginFrm")["visible"])

    def test_an_interrupted_command_ends_only_its_own_processes(self):
        with demo_server() as server:
            shell = self.start_shell(server)
            other = subprocess.Popen([WINE_RUN, shell.prefix, "--", "wine",
                                      os.path.join(shell.build, "bin", "bare_window.exe")],
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                bare = shell.wait_for_window("BareWindow", visible=True, timeout=60)
                shell.proc.terminate()  # the shell's wine-run, as a test's time-out would end it
                shell.proc.wait(timeout=30)
                wait_until(lambda: shell.window("LoginFrm") is None, 30, message="the shell to end")
                self.assertIsNone(other.poll())
                self.assertTrue(shell.window("BareWindow")["visible"])
                shell.close_window(bare)
                self.assertEqual(other.wait(timeout=30), 0)
            finally:
                if other.poll() is None:
                    other.kill()


class Display(unittest.TestCase):
    def test_a_display_that_never_answers_stops_the_run_with_its_name(self):
        prefix = os.path.join(Shell().build, "wineprefix-e2e")
        env = dict(os.environ, DISPLAY=":4242")
        started = time.monotonic()
        run = subprocess.run([WINE_RUN, prefix, "--", "true"], env=env, stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
        elapsed = time.monotonic() - started
        self.assertNotEqual(run.returncode, 0)
        lines = run.stderr.decode("utf-8", "replace").strip().splitlines()
        self.assertEqual(len(lines), 1, lines)
        self.assertIn(":4242", lines[0])
        self.assertGreaterEqual(elapsed, 9)  # it was waited for, not given up at once
        self.assertLess(elapsed, 30)


if __name__ == "__main__":
    e2e_main()
