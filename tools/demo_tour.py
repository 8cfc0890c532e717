#!/usr/bin/env python3
"""The demo tour: the shell from its loading picture to an installed update, checked stage by
stage, with one screenshot a stage.

    demo_tour.py BUILD_DIR PORT        (tools/run-demo --tour builds and runs it headless)

BUILD_DIR is a Windows build whose three hosts are 127.0.0.1:PORT. The tour starts the demo
server on PORT, copies the built shell into a folder of its own in a Wine prefix of its own
(BUILD_DIR/wineprefix-tour, drive C:, folder xcyh2-tour) beside a demo file, and drives it:

    01 loading        the loading picture, while the server holds the login page back
    02 login          the login page over its background
    03 game           the game tab, entered by the login page's start link
    04 second-tab     a second game page, asked for by another program over DDE
    05 menu           the main window's menu
    06 close-question the close question, answered "no": the window stays
    07 update-offer   the server publishes a newer version; the menu's update item offers it
    08 updater        "yes": the updater downloads the demo file and the shell (sent slowly)
    09 restarted      the updater has replaced both and started the new shell; the server now
                      publishes the new version, so the restarted shell goes on to its login

Screenshots: BUILD_DIR/tour/NN-stage.png; the programs' output: BUILD_DIR/tour/wine.log. The
first stage whose check fails ends the tour with exit code 1 and a line naming the stage (and a
screenshot BUILD_DIR/tour/failed-NN.png with the windows listed beside it in failed-NN.txt). A
screenshot of one colour only shows nothing, and fails its stage too.

    demo_tour.py BUILD_DIR PORT --demo SECONDS

runs only the first four stages (tools/run-demo --headless), keeps the shell running until
SECONDS have passed since it started, and saves BUILD_DIR/demo-loading.png (stage 01) and
BUILD_DIR/demo.png (the game window with its two tabs, at the end), checked the same way.

    demo_tour.py BUILD_DIR PORT --dpi DPI

runs the tour with the screen at DPI dots per inch (96 is 100 %, 144 is 150 %), as a player's
scaled laptop screen; its screenshots go to BUILD_DIR/tour-DPI/.
"""

import hashlib
import json
import os
import shutil
import struct
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402  (reads XCYH2_BUILD_DIR and XCYH2_TEST_PORT when used)

MANIFEST = "/gamehome/xcyh2/update.txt"
LOGIN_PAGE = "/xcyh2/login/login.html"
DEMO_FILE_PATH = "/gamehome/xcyh2/files/readme.txt"
SHELL_FILE_PATH = "/gamehome/xcyh2/files/xcyh2.exe"
FOLDER = "xcyh2-tour"  # on drive C: of the tour's prefix

START_LINK = (453, 288)  # the demo login page's 进入游戏, from the login window's corner
TASKBAR = 40
EXIT_QUESTION = "窗口即将关闭，确定要退出游戏？"
UPDATE_QUESTION = "发现有新版本，是否现在更新！"
UPDATE_DONE = "软件已升至最新版本！"
CLOSE_DIALOG_CLASS = "Xcyh2MsgFrm"   # the skinned close question; a plain message box before it
CLOSE_DIALOG_NO = (136 + 32, 88 + 12)  # its "否" button, from the dialog's corner

OLD_DEMO_FILE = "星槎远航录2 客户端说明\r\n版本 {version}\r\n".encode("gbk")
NEW_DEMO_FILE = ("星槎远航录2 客户端说明\r\n新版本：新的航线、新的港口。\r\n" * 2000).encode("gbk")
# The new shell is the built one with a marker after its image: it runs the same, and the tour
# can tell the installed copy from the old one.
NEW_SHELL_MARKER = b"\r\nxcyh2 demo tour: the updated program file\r\n"


class StageFailed(Exception):
    pass


def program_version(path):
    """The shell's version as it compares it with the manifest: major.minor.revision from the
    fixed part of its version resource."""
    with open(path, "rb") as f:
        data = f.read()
    # The signature followed by the structure's version 1.0 (the same number also occurs in code).
    at = data.find(struct.pack("<II", 0xFEEF04BD, 0x00010000))
    if at < 0:
        raise StageFailed(f"{path} has no version resource")
    ms, ls = struct.unpack_from("<II", data, at + 8)
    return f"{ms >> 16}.{ms & 0xFFFF}.{ls & 0xFFFF}"


def manifest(version, host, files):
    """A manifest listing (name, path, bytes) files, each with its SHA-256: a build with the
    publisher's key installs nothing without one."""
    lines = [f"version={version}"] + [f"{name}|http://{host}{path}|{hashlib.sha256(body).hexdigest()}"
                                      for name, path, body in files]
    return ("\r\n".join(lines) + "\r\n").encode("gbk")


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


class Tour:
    def __init__(self, build, port, demo_seconds=None, dpi=96):
        os.environ["XCYH2_BUILD_DIR"] = build
        os.environ["XCYH2_TEST_PORT"] = str(port)
        self.h = harness
        self.build = build
        self.port = port
        self.host = f"127.0.0.1:{port}"
        self.dpi = dpi
        self.out = os.path.join(build, "tour" if dpi == 96 else f"tour-{dpi}")
        self.prefix = os.path.join(build, "wineprefix-tour")
        self.folder = os.path.join(self.prefix, "drive_c", FOLDER)
        self.shell_path = os.path.join(self.folder, "xcyh2.exe")
        self.demo_path = os.path.join(self.folder, "readme.txt")
        self.demo_seconds = demo_seconds
        self.stage = "00 preparing"
        self.shell = None
        self.server = None

    # --- plumbing -----------------------------------------------------------------------------

    def begin(self, stage):
        self.stage = stage
        print(f"tour: {stage}", flush=True)

    def check(self, condition, what):
        if not condition:
            raise StageFailed(what)

    def wait(self, condition, timeout, what):
        try:
            return self.h.wait_until(condition, timeout, 0.3, what)
        except AssertionError:
            raise StageFailed(f"timed out after {timeout}s waiting for {what}") from None

    def screenshot(self, name, path=None):
        path = path or os.path.join(self.out, name)
        self.shell.screenshot(path)
        print(f"tour:   {path}", flush=True)
        colours = subprocess.run(["convert", path, "-format", "%k", "info:"], stdout=subprocess.PIPE,
                                 stderr=subprocess.DEVNULL, text=True).stdout.strip()
        self.check(colours not in ("", "0", "1"), f"the screenshot {path} shows one colour only: nothing is on "
                                                  "the screen")

    def visible(self, cls):
        return [w for w in self.shell.windows() if w["class"] == cls and w["visible"]]

    def message_box(self, text):
        return next((w for w in self.shell.message_boxes() if w["text"] == text), None)

    def requested(self, path):
        return path in [r["path"] for r in self.server.requests()]

    # The shell's windows draw their sizes (given at 96 DPI, or in twips) at the screen's scale.
    def px96(self, pixels):
        return round(pixels * self.dpi / 96)

    def title_x(self, window, right_twips):
        """Where a title-bar button starts whose left edge is right_twips before the window's
        right edge, from the window's left."""
        return round((window["w"] * 1440 / self.dpi - right_twips) * self.dpi / 1440)

    def prepare(self):
        os.makedirs(self.out, exist_ok=True)
        for name in os.listdir(self.out):
            if name.endswith((".png", ".txt", ".log")):
                os.remove(os.path.join(self.out, name))
        built = os.path.join(self.build, "bin", "xcyh2.exe")
        self.version = program_version(built)
        self.old_shell = read(built)
        self.new_shell = self.old_shell + NEW_SHELL_MARKER
        self.old_demo = OLD_DEMO_FILE.replace(b"{version}", self.version.encode())
        files = [("readme.txt", DEMO_FILE_PATH, NEW_DEMO_FILE), ("xcyh2.exe", SHELL_FILE_PATH, self.new_shell)]
        self.current_manifest = manifest(self.version, self.host, files)
        self.newer_manifest = manifest(self.version + ".1", self.host, files)

        self.shell = TourShell(self.prefix, f"C:\\{FOLDER}\\xcyh2.exe", os.path.join(self.out, "wine.log"),
                               self.dpi)
        # A fresh copy of the built shell beside the old demo file: the real build is never
        # touched by the update.
        self.shell.kill_all()
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        shutil.copyfile(built, self.shell_path)
        with open(self.demo_path, "wb") as f:
            f.write(self.old_demo)

        self.server.set(MANIFEST, self.current_manifest)
        self.server.set(DEMO_FILE_PATH, NEW_DEMO_FILE, type="application/octet-stream")
        # The new shell goes out slowly (about six seconds), so the updater is seen at work.
        self.server.set(SHELL_FILE_PATH, self.new_shell, type="application/octet-stream",
                        chunk=max(8192, len(self.new_shell) // 60), delay_ms=100)

    def fail(self, reason):
        number = self.stage.split()[0]
        print(f"tour: stage {self.stage} failed: {reason}", file=sys.stderr, flush=True)
        try:
            self.shell.screenshot(os.path.join(self.out, f"failed-{number}.png"))
            with open(os.path.join(self.out, f"failed-{number}.txt"), "w", encoding="utf-8") as f:
                f.write(f"{self.stage}: {reason}\n")
                for w in self.shell.windows():
                    f.write(json.dumps(w, ensure_ascii=False) + "\n")
        except Exception as e:  # the report of the failure is best effort
            print(f"tour: no failure screenshot: {e}", file=sys.stderr)

    # --- the stages ---------------------------------------------------------------------------

    def run(self):
        # A build with the demo publisher key (tools/build-demo) gets its manifest signed.
        key = os.path.join(self.build, "demo-key", "private.pem")
        self.signed = os.path.exists(key)
        with self.h.demo_server(sign_with=key if self.signed else None) as server, self.h.Taskbar(TASKBAR):
            self.server = server
            try:
                self.prepare()
                self.loading()
                self.login()
                self.game()
                self.second_tab()
                if self.demo_seconds is not None:
                    self.demo_end()
                    return 0
                self.menu()
                self.close_question()
                self.update_offer()
                self.updater()
                self.restarted()
            except Exception as e:  # the stage that failed is named, whatever failed in it
                self.fail(str(e) if isinstance(e, StageFailed) else f"{type(e).__name__}: {e}")
                return 1
            finally:
                if self.shell:
                    self.shell.kill_all()
        print(f"tour: every stage passed; screenshots in {self.out}")
        return 0

    def loading(self):
        self.begin("01 loading")
        self.server.hold(LOGIN_PAGE)
        self.shell.start()
        self.started = time.monotonic()
        self.wait(lambda: self.visible("LoadFrm") or self.shell.message_boxes(), 90, "the loading picture")
        boxes = self.shell.message_boxes()
        self.check(not boxes, f"the message {boxes[0]['text'] if boxes else ''!r} came up at start (the manifest "
                              f"names the shell's own version {self.version})")
        time.sleep(1)
        self.screenshot("01-loading.png", self.demo_path_of("demo-loading.png"))
        self.server.release(LOGIN_PAGE)

    def login(self):
        self.begin("02 login")
        self.login_window = self.wait(lambda: (self.visible("LoginFrm") or [None])[0], 60, "the login window")
        self.wait(lambda: not self.shell.window("LoadFrm"), 20, "the loading picture to go")
        time.sleep(1)
        self.screenshot("02-login.png")

    def game(self):
        self.begin("03 game")
        login = self.login_window
        # The login window and its page are drawn at the screen's scale.
        self.shell.click(login["x"] + self.px96(START_LINK[0]), login["y"] + self.px96(START_LINK[1]))
        self.main = self.wait(lambda: (self.visible("WebMainFrm") or [None])[0], 30, "the main window")
        self.wait(lambda: self.requested("/xcyh2/game1.html"), 20, "the game page to be fetched")
        self.wait(lambda: not self.shell.window("LoginFrm"), 20, "the login window to go")
        time.sleep(2)
        self.main = self.shell.window("WebMainFrm")
        self.first_pid = self.main["pid"]
        self.screenshot("03-game.png")

    def second_tab(self):
        self.begin("04 second-tab")
        code = self.shell.dde_send(f"http://{self.host}/xcyh2/game3.html")
        self.check(code == 0, f"the DDE request for a second page was not acknowledged (exit code {code})")
        self.wait(lambda: self.requested("/xcyh2/game3-chart.html"), 20, "the second page to be fetched")
        time.sleep(2)
        self.screenshot("04-second-tab.png")

    def demo_path_of(self, name):
        return os.path.join(self.build, name) if self.demo_seconds is not None else None

    def demo_end(self):
        self.begin("05 demo-end")
        left = self.demo_seconds - (time.monotonic() - self.started)
        if left > 0:
            time.sleep(left)
        self.check(self.shell.running() and self.visible("WebMainFrm"), "the game window went before the end")
        self.screenshot("demo.png", self.demo_path_of("demo.png"))
        print(f"Screenshots: {self.demo_path_of('demo-loading.png')} (loading picture), "
              f"{self.demo_path_of('demo.png')} (the game window, two tabs)")

    def tool_button(self):
        m = self.main
        return m["x"] + self.title_x(m, 1825) + self.px96(12), m["y"] + self.px96(10)

    def open_menu(self):
        self.shell.click(*self.tool_button())
        self.wait(lambda: self.visible("#32768"), 10, "the menu")
        time.sleep(0.5)

    def menu(self):
        self.begin("05 menu")
        self.open_menu()
        self.screenshot("05-menu.png")
        self.shell.key("Escape")
        self.wait(lambda: not self.visible("#32768"), 10, "the menu to close")

    def close_question(self):
        self.begin("06 close-question")
        m = self.main
        self.shell.click(m["x"] + self.title_x(m, 730) + self.px96(20), m["y"] + self.px96(10))

        def question():
            return self.message_box(EXIT_QUESTION) or (self.visible(CLOSE_DIALOG_CLASS) or [None])[0]

        box = self.wait(question, 20, "the close question")
        time.sleep(0.5)
        self.screenshot("06-close-question.png")
        if box["class"] == "#32770":
            self.shell.answer(box, self.h.IDNO)
        else:
            # The dialog is drawn at the screen's scale.
            self.shell.click(box["x"] + self.px96(CLOSE_DIALOG_NO[0]), box["y"] + self.px96(CLOSE_DIALOG_NO[1]))
        self.wait(lambda: not question(), 10, "the close question to go")
        self.check(self.visible("WebMainFrm"), "the main window is gone after the answer no")
        # The window still answers: its menu comes up (and goes) after the answer no.
        self.open_menu()
        self.shell.key("Escape")
        self.wait(lambda: not self.visible("#32768"), 10, "the menu to close after the answer no")
        self.check(self.shell.running(), "the shell ended after the answer no")

    def update_offer(self):
        self.begin("07 update-offer")
        self.server.set(MANIFEST, self.newer_manifest)
        self.open_menu()
        self.shell.key("Down", "Down", "Down", "Down", "Return")  # 更新
        box = self.wait(lambda: self.message_box(UPDATE_QUESTION), 30, "the update question")
        if self.signed:
            self.check(self.requested(MANIFEST + ".sig"), "the signed build offered an update without its signature")
        time.sleep(0.5)
        self.screenshot("07-update-offer.png")
        # The restarted shell's manifest request waits until the update is installed.
        self.server.hold(MANIFEST)
        self.shell.answer(box, self.h.IDYES)
        try:
            code = self.shell.wait_exit(timeout=30)
        except AssertionError:
            raise StageFailed("the shell did not end after the answer yes") from None
        self.check(code == 0, f"the shell ended with exit code {code}")

    def updater(self):
        self.begin("08 updater")
        self.wait(lambda: self.visible("UpdateFrm"), 30, "the updater's window")
        self.wait(lambda: self.requested(SHELL_FILE_PATH), 60, "the updater to download the shell")
        self.wait(lambda: read(self.demo_path) == NEW_DEMO_FILE, 20, "the demo file to be replaced")
        time.sleep(1.5)
        self.check(self.visible("UpdateFrm"), "the updater's window went before the shell was downloaded")
        self.screenshot("08-updater.png")
        # The old program file stays whole until its new copy is complete.
        self.check(read(self.shell_path) == self.old_shell, "the program file is gone or changed while its new "
                                                            "copy downloads")

    def restarted(self):
        self.begin("09 restarted")
        self.wait(lambda: read(self.shell_path) == self.new_shell, 60,
                  "the program file to be replaced by the new one")
        # Installed: the server publishes the new version, which is the restarted shell's own.
        self.server.set(MANIFEST, self.current_manifest)
        self.server.release(MANIFEST)
        done = self.wait(lambda: self.shell.message_boxes() or self.visible("LoginFrm") or self.visible("LoadFrm"),
                         60, "the updater's last message or the restarted shell")
        box = next((w for w in done if w["class"] == "#32770"), None)
        if box is not None:
            self.check(box["text"] == UPDATE_DONE, f"the updater ended with the message {box['text']!r}")
            self.shell.answer(box, self.h.IDOK)
        self.check(read(self.demo_path) == NEW_DEMO_FILE, "the demo file does not hold the new bytes")

        def restarted_login():
            if self.message_box(UPDATE_QUESTION):
                raise StageFailed("the restarted shell offered the update again")
            return next((w for w in self.visible("LoginFrm") if w["pid"] != self.first_pid), None)

        self.wait(restarted_login, 90, "the restarted shell's login window")
        self.wait(lambda: not self.shell.window("LoadFrm"), 20, "the restarted shell's loading picture to go")
        time.sleep(1)
        self.check(self.visible("LoginFrm"), "the restarted shell's login window went away")
        self.screenshot("09-restarted.png")


class TourShell(harness.Shell):
    """The shell in the tour's own prefix and folder, started by its Windows path."""

    def __init__(self, prefix, windows_exe, log_path, dpi):
        super().__init__()
        self.dpi = dpi
        self.prefix = prefix
        self.exe = windows_exe
        self.log_path = log_path

    def start(self):
        # The session is up before the shell starts, nothing of an earlier run is left.
        self.kill_all()
        self.wine("wineserver", "-p", timeout=60)
        self.wine("true", timeout=300)
        self.set_dpi(self.dpi)
        temp = self.temp_dir()
        for name in ("update.txt", "update.txt.sig", "Update.exe", "Update-args.txt", "xcyh2.ico"):
            path = os.path.join(temp, name)
            if os.path.exists(path):
                os.chmod(path, 0o644)
                os.remove(path)
        with open(self.log_path, "ab") as log:
            self.proc = subprocess.Popen([harness.WINE_RUN, self.prefix, "--", "wine", self.exe], env=self.env(),
                                         stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                         start_new_session=True)
        return self


def main(argv):
    demo, dpi = None, 96
    if len(argv) == 5 and argv[3] == "--demo":
        demo = float(argv[4])
    elif len(argv) == 5 and argv[3] == "--dpi" and argv[4].isdigit():
        dpi = int(argv[4])
    elif len(argv) != 3:
        print("usage: demo_tour.py BUILD_DIR PORT [--demo SECONDS | --dpi DPI]", file=sys.stderr)
        return 2
    started = time.monotonic()
    tour = Tour(os.path.abspath(argv[1]), int(argv[2]), demo, dpi)
    try:
        code = tour.run()
    finally:
        tour.h.stop_display()
    print(f"tour: {time.monotonic() - started:.0f} s")
    return code


if __name__ == "__main__":
    sys.exit(main(sys.argv))
