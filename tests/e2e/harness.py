"""End-to-end harness: runs the built shell under Wine against the local demo publisher server.

    from harness import Shell, demo_server, e2e_main

    class LoadingPicture(unittest.TestCase):
        def test_shows(self):
            with demo_server() as server, Shell() as shell:
                w = shell.wait_for_window("LoadFrm", visible=True)
                shell.screenshot("loading.png")

Environment (set by CTest): XCYH2_BUILD_DIR (the cross build folder, built with all hosts at
127.0.0.1:XCYH2_TEST_PORT). Wine runs in BUILD_DIR/wineprefix-e2e (BUILD_DIR/wineprefix-offline
for the off-line runs), on $DISPLAY or on a virtual display the harness starts itself.
Screenshots go to BUILD_DIR/e2e-artifacts/.
"""

import contextlib
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import threading
import time
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools"))
from demo_server_client import DemoServer  # noqa: E402
from virtual_display import ensure_display, stop_display  # noqa: E402,F401

WINE_RUN = os.path.join(ROOT, "tools", "wine-run")
IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7


def build_dir():
    d = os.environ.get("XCYH2_BUILD_DIR")
    if not d:
        raise RuntimeError("XCYH2_BUILD_DIR is not set (run through ctest in the cross build)")
    return os.path.abspath(d)


def test_port():
    return int(os.environ.get("XCYH2_TEST_PORT", "47180"))


def artifacts_dir():
    d = os.path.join(build_dir(), "e2e-artifacts")
    os.makedirs(d, exist_ok=True)
    return d


def demo_server(**kwargs):
    """The demo publisher server on the port the test build was made for."""
    return DemoServer(port=test_port(), **kwargs)


def wait_until(condition, timeout=20.0, interval=0.2, message="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out after {timeout}s waiting for {message}")
        time.sleep(interval)


class Shell:
    """One run of the shell (or another executable of the build) under Wine."""

    def __init__(self, args=(), offline=False, exe="xcyh2.exe", fresh_temp=True, watch=()):
        self.build = build_dir()
        # Window classes watched from just before the program starts (visible_until_exit).
        self.watch = tuple(watch)
        self.watchers = {}
        self.exe = os.path.join(self.build, "bin", exe)
        self.args = list(args)
        self.offline = offline
        self.prefix = os.path.join(self.build, "wineprefix-offline" if offline else "wineprefix-e2e")
        self.fresh_temp = fresh_temp
        # The namespaces the program's Wine session runs in (unshare's options, nsenter's for
        # the commands that join it) and a shell command run inside them before the program.
        # Off line: a network of its own with only loopback.
        self.unshare, self.nsenter, self.inside = (["-n"], ["-n"], "ip link set lo up") if offline else ([], [], "")
        self.proc = None
        self.exit_code = None
        ensure_display()

    # --- wine plumbing ---------------------------------------------------------------------

    def env(self):
        env = dict(os.environ)
        env["WINEDEBUG"] = env.get("WINEDEBUG", "-all")
        return env

    def wine(self, *command, timeout=60, check=False):
        """Runs a command (e.g. 'wine', 'winprobe.exe', ...) in this run's prefix and waits."""
        cmd = self.in_namespace([WINE_RUN, self.prefix, "--"] + list(command))
        return subprocess.run(cmd, env=self.env(), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, timeout=timeout, check=check)

    def set_dpi(self, dpi):
        """The prefix's screen scale (LogPixels) for the programs started after this; Wine reads
        it once a process, and takes every program as aware of it."""
        self.wine("wine", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                  "/d", str(dpi), "/f", timeout=120, check=True)

    def in_namespace(self, cmd):
        """In namespaces of its own (off line), Wine's processes live in the program's: enter them."""
        if self.nsenter and self.proc is not None and self.proc.poll() is None:
            return ["nsenter", "-t", str(self.proc.pid)] + self.nsenter + cmd
        return cmd

    def kill_all(self):
        """Ends every process of the prefix and waits until its wineserver is gone, so the next
        run starts a server of its own (off line: inside its own network namespace)."""
        for flag in ("-k", "-w"):
            subprocess.run(self.in_namespace([WINE_RUN, self.prefix, "--", "wineserver", flag]), env=self.env(),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)

    def temp_dir(self):
        """Unix path of the folder the programs know as %TEMP%, asked of Wine itself."""
        if getattr(self, "_temp_dir", None) is None:
            # Wine has been seen to fail a start of cmd.exe now and then ("ShellExecuteEx failed:
            # internal error") while the prefix is busy: a failed start is asked again.
            windows_path = ""
            for attempt in range(3):
                out = self.wine("cmd.exe", "/c", "echo %TEMP%", timeout=120).stdout.decode("utf-8", "replace")
                lines = out.strip().splitlines()
                windows_path = lines[-1].strip() if lines else ""
                if re.match(r"^[A-Za-z]:\\", windows_path):
                    break
                time.sleep(1 + attempt)
            drive, rest = windows_path.split(":", 1) if ":" in windows_path else ("", windows_path)
            assert drive.upper() == "C", "%%TEMP%% as Wine tells it: %r" % windows_path
            self._temp_dir = os.path.join(self.prefix, "drive_c", *[p for p in rest.split("\\") if p])
            os.makedirs(self._temp_dir, exist_ok=True)
        return self._temp_dir

    def opened_urls(self):
        path = os.path.join(self.prefix, "opened-urls.txt")
        if not os.path.exists(path):
            return []
        with open(path, encoding="utf-8", errors="replace") as f:
            return [line.rstrip("\n") for line in f if line.strip()]

    # --- life cycle ------------------------------------------------------------------------

    def start(self):
        # Make sure the prefix exists before the clock starts, and nothing of an earlier run is left.
        if self.unshare:
            self.wine("true", timeout=180)
            temp = self.temp_dir()
            # Nothing of the preparation may stay running: a run in namespaces of its own (off
            # line) must start a wineserver of its own inside them.
            self.kill_all()
        else:
            # On line the program starts in a session that is already up (wineserver, desktop,
            # services), as on a running system, not racing their start.
            self.kill_all()
            self.wine("wineserver", "-p", timeout=60)
            self.wine("true", timeout=180)
            temp = self.temp_dir()
        if self.fresh_temp:
            for name in ("update.txt", "update.txt.sig", "Update.exe", "Update-args.txt", "xcyh2.ico"):
                path = os.path.join(temp, name)
                if os.path.exists(path):
                    os.chmod(path, 0o644)
                    os.remove(path)
        url_log = os.path.join(self.prefix, "opened-urls.txt")
        if os.path.exists(url_log):
            os.remove(url_log)
        cmd = [WINE_RUN, self.prefix, "--", "wine", self.exe] + self.args
        if self.unshare:
            # A fresh wineserver starts inside the namespaces, since kill_all ended the previous one.
            cmd = ["unshare"] + self.unshare + ["sh", "-c", self.inside + ' && exec "$@"', "sh"] + cmd
        self.session_ready()
        self.log_path = os.path.join(artifacts_dir(), os.path.basename(self.exe.replace("\\", "/")) + ".log")
        with open(self.log_path, "ab") as log:
            self.proc = subprocess.Popen(cmd, env=self.env(), stdin=subprocess.DEVNULL, stdout=log,
                                         stderr=subprocess.STDOUT, start_new_session=True)
        if self.unshare:
            self.wait_for_namespaces()
        return self

    def wait_for_namespaces(self):
        """Returns once unshare has made the program's namespaces. A command that joined them
        before would run in ours, start the prefix's wineserver here (on line, on this disk),
        and the program would use that server: Wine's sockets and files are the server's."""
        names = [{"-n": "net", "-m": "mnt", "-U": "user"}[option] for option in self.nsenter]

        def made():
            try:
                return all(os.readlink(f"/proc/{self.proc.pid}/ns/{n}") != os.readlink(f"/proc/self/ns/{n}")
                           for n in names)
            except OSError:
                return self.proc.poll() is not None
        wait_until(made, 10, 0.01, "the program's namespaces")

    def session_ready(self):
        """Called once the prefix is ready, just before the program starts: the watches begin."""
        for cls in self.watch:
            self.start_watch(cls)

    def start_watch(self, cls):
        """A probe in the session that notes every window of cls it sees visible, looking every
        millisecond: a window shown only for a moment is seen too."""
        probe = os.path.join(self.build, "bin", "winprobe.exe")
        proc = subprocess.Popen(self.in_namespace([WINE_RUN, self.prefix, "--", probe, "watch", cls, "600000"]),
                                env=self.env(), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, start_new_session=True)
        if proc.stdout.readline().strip() != b"watching":
            raise AssertionError(f"the watch for {cls} did not start")
        self.watchers[cls] = proc

    def end_watch(self, cls):
        """Ends the watch of cls; every window it saw visible, as {"class", "hwnd"}."""
        proc = self.watchers.pop(cls, None)
        if proc is None:
            return []
        if proc.poll() is None:
            os.killpg(proc.pid, signal.SIGTERM)
        out = proc.communicate(timeout=30)[0]
        return [json.loads(line) for line in out.decode("utf-8", "replace").splitlines() if line.startswith("{")]

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_exit(self, timeout=30):
        try:
            self.exit_code = self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the program did not exit within {timeout}s")
        return self.exit_code

    def stop(self):
        for cls in list(self.watchers):
            self.end_watch(cls)
        if self.proc is None:
            return
        if self.proc.poll() is None:
            self.kill_all()
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(self.proc.pid, signal.SIGKILL)
                self.proc.wait()
        self.kill_all()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    # --- looking at windows ----------------------------------------------------------------

    def windows(self):
        out = self.wine(os.path.join(self.build, "bin", "winprobe.exe"), "list", timeout=60)
        result = []
        for line in out.stdout.decode("utf-8", "replace").splitlines():
            line = line.strip()
            if line.startswith("{"):
                try:
                    result.append(json.loads(line))
                except json.JSONDecodeError:
                    pass
        return result

    def progress(self, w):
        """(position, upper limit) of the progress bar in window w, or None."""
        out = self.wine(os.path.join(self.build, "bin", "winprobe.exe"), "progress", str(w["hwnd"]), timeout=60)
        fields = out.stdout.decode().split()
        return (int(fields[0]), int(fields[1])) if out.returncode == 0 and len(fields) == 2 else None

    def start_answers(self, w, ms=120000):
        """Asks window w for an answer (WM_NULL, limit 1 s) every 100 ms from now on, for ms
        milliseconds or until it is gone (winprobe answers); the Answers returned holds
        (time.time() when asked, answered) pairs as they come."""
        probe = os.path.join(self.build, "bin", "winprobe.exe")
        proc = subprocess.Popen(self.in_namespace([WINE_RUN, self.prefix, "--", probe, "answers", str(w["hwnd"]),
                                                   str(ms)]),
                                env=self.env(), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, start_new_session=True)
        if proc.stdout.readline().strip() != b"answering":
            raise AssertionError("the questions to the window did not start")
        return Answers(proc)

    def window(self, cls):
        for w in self.windows():
            if w["class"] == cls:
                return w
        return None

    def wait_for_window(self, cls, visible=None, timeout=30, **expected):
        def found():
            w = self.window(cls)
            if w is None:
                return None
            if visible is not None and w["visible"] != visible:
                return None
            for k, v in expected.items():
                if w.get(k) != v:
                    return None
            return w
        return self.wait(found, timeout, f"window {cls} (visible={visible}, {expected})")

    def wait(self, condition, timeout, message):
        """wait_until, leaving the windows and a screenshot in the artifacts when it times out."""
        try:
            return wait_until(condition, timeout, 0.3, message)
        except AssertionError:
            stamp = time.strftime("%H%M%S")
            with open(os.path.join(artifacts_dir(), f"timeout-{stamp}.txt"), "w", encoding="utf-8") as f:
                f.write(f"{message}\nrunning: {self.running()} exit: {self.proc.poll() if self.proc else None}\n")
                for w in self.windows():
                    f.write(json.dumps(w, ensure_ascii=False) + "\n")
            self.screenshot(f"timeout-{stamp}.png")
            raise

    def visible_until_exit(self, cls, timeout=30):
        """Watches the program until it ends (from its start when cls is in `watch`, else from
        now); returns every window of cls seen visible."""
        if cls not in self.watchers:
            self.start_watch(cls)
        deadline = time.monotonic() + timeout
        while self.running() and time.monotonic() < deadline:
            time.sleep(0.05)
        return self.end_watch(cls)

    def message_boxes(self):
        return [w for w in self.windows() if w["class"] == "#32770" and w["visible"]]

    def wait_for_message_box(self, timeout=30):
        return self.wait(lambda: (self.message_boxes() or [None])[0], timeout, "a message box")

    def answer(self, box, button_id):
        self.wine(os.path.join(self.build, "bin", "winprobe.exe"), "button", str(box["hwnd"]), str(button_id))

    def close_window(self, w):
        self.wine(os.path.join(self.build, "bin", "winprobe.exe"), "close", str(w["hwnd"]))

    # --- mouse and screen ------------------------------------------------------------------

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def click(self, x, y, button=1):
        # The pointer arrives at what it clicks, as a player's does. Left resting on the spot by
        # an earlier test, it sent a click that Wine lost on a window that had appeared under it
        # since (the updater's close button, after another updater run had been closed there).
        self.xdotool("mousemove", "--sync", x + 1, y + 1)
        self.xdotool("mousemove", "--sync", x, y)
        time.sleep(0.2)
        self.xdotool("click", button)

    def drag(self, x0, y0, x1, y1, steps=10):
        self.xdotool("mousemove", "--sync", x0, y0)
        time.sleep(0.2)
        self.xdotool("mousedown", 1)
        time.sleep(0.2)
        for i in range(1, steps + 1):
            self.xdotool("mousemove", x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps)
            time.sleep(0.05)
        time.sleep(0.2)
        self.xdotool("mouseup", 1)

    def screenshot(self, name):
        path = name if os.path.isabs(name) else os.path.join(artifacts_dir(), name)
        subprocess.run(["import", "-window", "root", path], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def screen_mean(self, x=0, y=0, w=None, h=None):
        """The mean brightness (0 black .. 1 white) of the screen, or of a rectangle of it,
        from a screenshot scaled down."""
        crop = ["-crop", f"{w}x{h}+{x}+{y}"] if w else []
        out = subprocess.run(["import", "-window", "root"] + crop + ["-resize", "10%", "-colorspace", "gray",
                              "-format", "%[fx:mean]", "info:"],
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True).stdout
        return float(out.decode().strip() or "0")

    def pixel(self, x, y):
        """The screen's colour at x, y as (r, g, b)."""
        out = subprocess.run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8", "rgb:-"],
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True).stdout
        return tuple(out[:3])

    # --- keys, messages and DDE requests from outside ---------------------------------------

    def key(self, *keys):
        """Presses keys (xdotool names, e.g. "F10", "Down", "Return") in the focused window."""
        for k in keys:
            self.xdotool("key", k)
            time.sleep(0.15)

    def post(self, w, msg, wparam=0, lparam=0):
        """Posts a message to a window of the program (winprobe post)."""
        self.wine(os.path.join(self.build, "bin", "winprobe.exe"), "post", str(w["hwnd"]), str(msg), str(wparam),
                  str(lparam))

    def dde_send(self, command, service="xcyh2", topic="YunfanDDE"):
        """Sends one DDE execute request with the tools' client; its exit code: 0 acknowledged,
        1 refused, 2 no such service or topic."""
        return self.wine(os.path.join(self.build, "bin", "ddesend.exe"), service, topic, command,
                         timeout=120).returncode


class Answers:
    """The answers a window gave to winprobe's questions (Shell.start_answers)."""

    def __init__(self, proc):
        self.proc = proc
        self.lock = threading.Lock()
        self.seen = []
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.proc.stdout:
            fields = line.decode("ascii", "replace").split()
            if len(fields) == 2:
                with self.lock:
                    self.seen.append((int(fields[0]) / 1000.0, fields[1] == "ok"))

    def between(self, start, end):
        """The (time, answered) pairs of the questions asked from start to end (time.time())."""
        with self.lock:
            return [a for a in self.seen if start <= a[0] <= end]

    def stop(self):
        if self.proc.poll() is None:
            os.killpg(self.proc.pid, signal.SIGTERM)
        self.proc.wait(timeout=30)
        self.reader.join(timeout=10)
        self.proc.stdout.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


class Taskbar:
    """A stand-in for a desktop's taskbar: a window along the bottom of the screen that reserves
    its height (_NET_WM_STRUT), so the window manager's work area ends above it, as on a
    player's desktop. Start it before the shell: Wine reads the work area as it starts.

        with demo_server(), Taskbar(40), Shell() as shell: ..."""

    def __init__(self, height=40):
        self.height = height
        self.proc = None

    def work_area_height(self):
        out = subprocess.run(["xprop", "-root", "_NET_WORKAREA"], stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL).stdout.decode()
        numbers = [int(n) for n in out.split("=")[-1].replace(",", " ").split()] if "=" in out else []
        return numbers[3] if len(numbers) >= 4 else None

    def __enter__(self):
        ensure_display()
        size = subprocess.run(["xdotool", "getdisplaygeometry"], stdout=subprocess.PIPE, check=True).stdout.split()
        width, height = int(size[0]), int(size[1])
        name = f"xcyh2taskbar{os.getpid()}"
        self.proc = subprocess.Popen(["xmessage", "-name", name, "-geometry",
                                      f"{width}x{self.height}+0+{height - self.height}", " "],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        found = subprocess.run(["xdotool", "search", "--sync", "--classname", name], stdout=subprocess.PIPE,
                               timeout=20).stdout.split()
        for prop, value in (("_NET_WM_STRUT", f"0, 0, 0, {self.height}"),
                            ("_NET_WM_STRUT_PARTIAL", f"0, 0, 0, {self.height}, 0, 0, 0, 0, 0, 0, 0, {width - 1}")):
            subprocess.run(["xprop", "-id", found[0].decode(), "-f", prop, "32c", "-set", prop, value], check=True)
        wait_until(lambda: self.work_area_height() == height - self.height, 10, message="the work area to shrink")
        return self

    def __exit__(self, *exc):
        if self.proc:
            self.proc.kill()
            self.proc.wait()
            self.proc = None


def e2e_main():
    try:
        unittest.main(verbosity=2)
    finally:
        stop_display()
