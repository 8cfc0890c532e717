"""The updater program: it downloads the listed files into the shell's folder in order, replaces
each old file only with a complete (and, when the line says so, checked) new one, tells the
player how it went and starts the last file saved; a stop, a kill, bad lines or a folder it
cannot write leave the player's files as they were."""

import glob
import hashlib
import os
import shlex
import shutil
import subprocess
import time
import unittest

from harness import IDNO, IDOK, IDYES, WINE_RUN, Shell, demo_server, e2e_main, wait_until

DONE = "软件已升至最新版本！"
PARTLY = "部分文件未能更新（请检查网络、磁盘空间以及游戏文件夹是否可以写入），游戏仍可使用原有版本。"
NO_MANIFEST = "找不到更新文件列表，无法更新。请重新启动游戏客户端后再试。"
STOP_QUESTION = "您是否要退出更新！"
OLD_SHELL = b"MZ the old shell, still runnable " * 64


def read(path):
    with open(path, "rb") as f:
        return f.read()


def read_if_there(path):
    try:
        return read(path)
    except OSError:
        return None


def generated(n):
    """The demo server's test bodies: byte i is i % 251."""
    return bytes(i % 251 for i in range(n))


class Updater(Shell):
    """One run of Update.exe in a Wine prefix of its own. The shell's folder is C:\\game, holding
    an old program file xcyh2.exe (and whatever `files` adds); the temporary folder holds the
    manifest copy update.txt (none when manifest is None).

    disk_bytes: the shell's folder is a disk of that size (a tmpfs in a user and mount namespace
    of the updater's own, which needs no administrator), holding those files.
    running_ms: the old program file, a copy of startmark.exe, runs when the updater starts and
    ends on its own that long after it started, as the shell does after starting the updater.
    zeros: {name: size} files of that many zero bytes, made sparse (they take no room)."""

    ARGS = "C:\\game|C:\\game\\xcyh2.exe"
    known_temp_dir = None  # asking Wine costs seconds; the prefix keeps it

    def __init__(self, manifest, files=None, fresh=True, disk_bytes=None, running_ms=None, zeros=None):
        super().__init__(args=[self.ARGS], exe="Update.exe", fresh_temp=False)
        self.prefix = os.path.join(self.build, "wineprefix-updater")
        self.game = os.path.join(self.prefix, "drive_c", "game")
        self.manifest = manifest
        self.files = dict(files or {})
        self.zeros = dict(zeros or {})
        self.fresh = fresh  # False: the shell's folder stays as the last run left it
        self._temp_dir = Updater.known_temp_dir
        self.running_ms = running_ms
        self.program = None
        if disk_bytes:
            game = shlex.quote(self.game)
            self.unshare, self.nsenter = ["-U", "-r", "-m"], ["-U", "-m"]
            self.inside = (f'seed=$(mktemp -d) && cp -a {game}/. "$seed" && '
                           f"mount -t tmpfs -o size={disk_bytes} xcyh2-small-disk {game} && "
                           f'cp -a "$seed"/. {game} && rm -rf "$seed"')

    def start(self):
        Updater.known_temp_dir = self.temp_dir()
        copy = os.path.join(Updater.known_temp_dir, "update.txt")
        if os.path.exists(copy):
            os.remove(copy)
        if self.manifest is not None:
            with open(copy, "wb") as f:
                f.write(self.manifest)
        if not self.fresh:
            return super().start()
        subprocess.run(["chattr", "-i", self.game], stderr=subprocess.DEVNULL)
        shutil.rmtree(self.game, ignore_errors=True)
        os.makedirs(self.game)
        self.files.setdefault("xcyh2.exe", OLD_SHELL)
        for name, body in self.files.items():
            with open(os.path.join(self.game, name), "wb") as f:
                f.write(body)
        for name, size in self.zeros.items():
            with open(os.path.join(self.game, name), "wb") as f:
                f.truncate(size)
        return super().start()

    def session_ready(self):
        super().session_ready()
        if self.running_ms is None:
            return
        self.program = subprocess.Popen([WINE_RUN, self.prefix, "--", "wine", "C:\\game\\xcyh2.exe",
                                         str(self.running_ms)], env=self.env(), stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        wait_until(lambda: self.started(), 30, message="the old program to run")

    def stop(self):
        super().stop()
        if self.program:
            self.program.wait(timeout=30)

    def path(self, name=""):
        """A file of the shell's folder; on a disk of the updater's own, as its processes see it."""
        folder = self.game
        if self.unshare and self.running():
            folder = f"/proc/{self.proc.pid}/root{folder}"
        return os.path.join(folder, name)

    def file(self, name):
        return read_if_there(self.path(name))

    def part_files(self):
        return glob.glob(self.path("*.part"))

    def started(self):
        """Command lines the stand-in program was started with."""
        return (self.file("started.txt") or b"").decode("utf-8").splitlines()

    def close_button(self):
        w = self.wait_for_window("UpdateFrm", visible=True, timeout=60)
        return w["x"] + w["w"] - 49 + 21, w["y"] + 9


class UpdaterRuns(unittest.TestCase):
    def setUp(self):
        self.marker = read(os.path.join(Shell(exe="startmark.exe").exe))

    def test_downloads_the_listed_files_in_order_and_starts_the_last_one_alone(self):
        with demo_server() as server:
            server.set("/files/startmark.exe", self.marker)
            slow = "/test/slow/245760/data.pak"  # 60 pieces, 0.2 s apart
            manifest = ("version=1.2.0\r\ndata|%s\r\nexe|%s\r\n"
                        % (server.url(slow), server.url("/files/startmark.exe"))).encode()
            with Updater(manifest) as run:
                run.wait_for_window("UpdateFrm", visible=True, timeout=60)
                wait_until(lambda: run.part_files(), 20, message="the first download to begin")
                time.sleep(1)
                shot = run.screenshot("updater.png")
                shutil.copy(shot, os.path.join(run.build, "updater.png"))

                # A second updater ends at once (it does not wait for the first, which waits for
                # the player at its end), leaving the first one alone.
                run.wine("wine", run.exe, Updater.ARGS, timeout=60)
                self.assertTrue(run.running())
                self.assertEqual(len([w for w in run.windows() if w["class"] == "UpdateFrm"]), 1)

                box = run.wait_for_message_box(timeout=60)
                self.assertEqual((box["title"], box["text"]), ("提示", DONE))
                self.assertEqual(run.file("data.pak"), generated(245760))
                self.assertEqual(run.file("startmark.exe"), self.marker)
                self.assertEqual(run.started(), [])  # nothing before the player has read the message
                paths = [r["path"] for r in server.requests()]
                self.assertEqual(paths, [slow, "/files/startmark.exe"])
                run.answer(box, IDOK)
                wait_until(lambda: run.started(), 30, message="the last file to be started")
                run.wait_exit(30)
                self.assertEqual(len(run.started()), 1)
                self.assertEqual(run.file("xcyh2.exe"), OLD_SHELL)
                self.assertEqual(run.part_files(), [])

    def test_stopping_or_killing_mid_download_keeps_the_old_program_and_starts_nothing(self):
        with demo_server() as server:
            server.set("/files/startmark.exe", self.marker)
            slow = "/test/slow/819200/xcyh2.exe"  # 200 pieces, 0.2 s apart
            manifest = ("version=1.2.0\r\nexe|%s\r\ndata|%s\r\nexe|%s\r\n"
                        % (server.url(slow), server.url("/test/bytes/1000/data.pak"),
                           server.url("/files/startmark.exe"))).encode()

            # Close, then No: the download goes on; Close again, then Yes: it stops.
            with Updater(manifest) as run:
                wait_until(lambda: run.part_files(), 60, message="the first download to begin")
                run.click(*run.close_button())
                box = run.wait_for_message_box(timeout=20)
                self.assertEqual((box["title"], box["text"]), ("提示", STOP_QUESTION))
                self.assertEqual(sorted(box["buttons"]), [IDYES, IDNO])
                run.answer(box, IDNO)
                wait_until(lambda: not run.message_boxes(), 10, message="the question to go")
                size = os.path.getsize(run.part_files()[0])
                wait_until(lambda: os.path.getsize(run.part_files()[0]) > size, 10, message="the download to go on")
                run.click(*run.close_button())
                run.answer(run.wait_for_message_box(timeout=20), IDYES)
                self.assertEqual(run.visible_until_exit("#32770", timeout=30), [])
                run.wait_exit(10)
                self.assertEqual([r["path"] for r in server.requests()], [slow])
                self.assertEqual(run.file("xcyh2.exe"), OLD_SHELL)
                self.assertIsNone(run.file("data.pak"))
                self.assertEqual(run.started(), [])
                self.assertEqual(run.part_files(), [])

            # Killed in the middle of replacing the program file: the old one stays, byte for byte.
            server.clear_requests()
            with Updater(manifest) as run:
                wait_until(lambda: run.part_files() and os.path.getsize(run.part_files()[0]) > 16384, 60,
                           message="the download to be under way")
                run.kill_all()
                self.assertEqual(run.file("xcyh2.exe"), OLD_SHELL)
                self.assertIsNone(run.file("data.pak"))
                self.assertEqual(len(run.part_files()), 1)

            # The next update completes and takes away what the killed one left.
            server.set("/files/xcyh2.exe", self.marker)
            manifest = ("exe|%s\r\n" % server.url("/files/xcyh2.exe")).encode()
            with Updater(manifest, fresh=False) as run:
                run.answer(run.wait_for_message_box(timeout=60), IDOK)
                wait_until(lambda: run.started(), 30, message="the new shell to be started")
                run.wait_exit(30)
                self.assertEqual(run.file("xcyh2.exe"), self.marker)
                self.assertEqual(run.part_files(), [])

    def test_failed_downloads_keep_the_old_files_are_reported_and_the_last_file_is_still_started(self):
        new_data = b"new data " * 1000
        with demo_server() as server:
            server.set("/files/new.dat", new_data)
            server.set("/files/startmark.exe", self.marker + b"tampered")
            right = hashlib.sha256(new_data).hexdigest().upper()
            wrong = hashlib.sha256(b"something else").hexdigest()
            manifest = ("version=1.2.0\r\n"
                        "data|%s\r\n"        # cut off: the old data.pak stays
                        "data|%s|%s\r\n"     # checked and right
                        "bad|%s\r\n"         # no plain file name: passed over, reported
                        "exe|%s|%s\r\n"      # checked and wrong: the old program stays and is started
                        % (server.url("/test/cutoff/5000/data.pak"), server.url("/files/new.dat"), right,
                           server.url("/files/CON.txt"), server.url("/files/startmark.exe"), wrong)).encode()
            with Updater(manifest, {"data.pak": b"old data", "startmark.exe": self.marker}) as run:
                box = run.wait_for_message_box(timeout=60)
                self.assertEqual(box["text"], PARTLY)
                self.assertEqual(run.file("data.pak"), b"old data")
                self.assertEqual(run.file("new.dat"), new_data)
                self.assertEqual(run.file("startmark.exe"), self.marker)
                self.assertIsNone(run.file("CON.txt"))
                run.answer(box, IDOK)
                wait_until(lambda: run.started(), 30, message="the old program to be started")
                run.wait_exit(30)
                self.assertEqual(run.part_files(), [])

            # The last listed file does not arrive and was never there: an earlier line's data file
            # is not "opened"; the shell named in the arguments is started instead.
            manifest = ("data|%s|%s\r\n"
                        "exe|%s\r\n"
                        % (server.url("/files/new.dat"), right, server.url("/files/missing.exe"))).encode()
            with Updater(manifest, {"xcyh2.exe": self.marker}) as run:
                box = run.wait_for_message_box(timeout=60)
                self.assertEqual(box["text"], PARTLY)
                self.assertEqual(run.file("new.dat"), new_data)
                run.answer(box, IDOK)
                wait_until(lambda: run.started(), 30, message="the shell to be started")
                run.wait_exit(30)

            # A disk that fills up in the middle of a download: the old file stays, nothing of
            # the new one is left, the player is told.
            server.clear_requests()
            manifest = ("data|%s\r\n" % server.url("/test/bytes/1000000/data.pak")).encode()
            with Updater(manifest, {"data.pak": b"old data"}, disk_bytes=65536) as run:
                box = run.wait_for_message_box(timeout=60)
                disk = os.statvfs(run.path())
                self.assertEqual(disk.f_blocks * disk.f_frsize, 65536)
                self.assertEqual([r["path"] for r in server.requests()], ["/test/bytes/1000000/data.pak"])
                self.assertEqual(box["text"], PARTLY)
                self.assertEqual(run.file("data.pak"), b"old data")
                self.assertEqual(run.part_files(), [])
                run.answer(box, IDOK)
                run.wait_exit(30)

            # A folder that cannot be written: the old files stay, the player is told.
            manifest = ("exe|%s\r\n" % server.url("/files/new.dat")).encode()
            run = Updater(manifest, {"new.dat": b"old"})
            try:
                with run:
                    subprocess.run(["chattr", "+i", run.game], check=True)
                    box = run.wait_for_message_box(timeout=60)
                    self.assertEqual(box["text"], PARTLY)
                    self.assertEqual(run.file("new.dat"), b"old")
                    run.answer(box, IDOK)
                    run.wait_exit(30)
            finally:
                subprocess.run(["chattr", "-i", run.game], stderr=subprocess.DEVNULL)

    def test_a_running_old_program_is_replaced_once_it_ends_and_kept_when_it_runs_on(self):
        new_program = self.marker + b"\0the new program"
        with demo_server() as server:
            server.set("/files/xcyh2.exe", new_program)
            manifest = ("version=1.2.0\r\nexe|%s\r\n" % server.url("/files/xcyh2.exe")).encode()

            # Ending a few seconds after the updater has started: the new copy waits beside it.
            with Updater(manifest, {"xcyh2.exe": self.marker}, running_ms=8000) as run:
                wait_until(lambda: [p for p in run.part_files() if read_if_there(p) == new_program], 30,
                           message="the new program to be downloaded")
                self.assertIsNone(run.program.poll(), "the old program ended too soon to be in the way")
                self.assertEqual(run.file("xcyh2.exe"), self.marker)
                box = run.wait_for_message_box(timeout=30)
                self.assertEqual(box["text"], DONE)
                wait_until(lambda: run.program.poll() is not None, 10, message="the old program's end")
                self.assertEqual(run.file("xcyh2.exe"), new_program)
                self.assertEqual(run.part_files(), [])
                run.answer(box, IDOK)
                wait_until(lambda: len(run.started()) == 2, 30, message="the new program to be started")
                run.wait_exit(30)

            # Running on past the time the updater waits: the old program stays and the player is told.
            with Updater(manifest, {"xcyh2.exe": self.marker}, running_ms=60000) as run:
                box = run.wait_for_message_box(timeout=60)
                self.assertEqual(box["text"], PARTLY)
                self.assertIsNone(run.program.poll())
                self.assertEqual(run.file("xcyh2.exe"), self.marker)
                self.assertEqual(run.part_files(), [])
                run.answer(box, IDOK)
                run.wait_exit(30)

    def test_a_missing_or_unusable_manifest_ends_promptly_and_starts_nothing(self):
        with demo_server() as server:
            with Updater(None) as run:
                box = run.wait_for_message_box(timeout=60)
                self.assertEqual((box["title"], box["text"]), ("提示", NO_MANIFEST))
                run.answer(box, IDOK)
                run.wait_exit(20)
            bad = {
                "huge": b"x|" + b"x" * (50 * 1024 * 1024),
                "garbage": bytes((i * 7919 + 13) % 256 for i in range(200_000)),
                "no usable name": b"version=2\r\n" + b"x|http://127.0.0.1/files/a/..\r\n" * 10_000,
            }
            for name, manifest in bad.items():
                with self.subTest(name), Updater(manifest) as run:
                    began = time.monotonic()
                    box = run.wait_for_message_box(timeout=60)
                    self.assertLess(time.monotonic() - began, 45)
                    # Garbage may hold nothing that even looks like a file line.
                    self.assertIn(box["text"], (PARTLY, DONE) if name == "garbage" else (PARTLY,))
                    run.answer(box, IDOK)
                    run.wait_exit(20)
                    self.assertEqual(run.file("xcyh2.exe"), OLD_SHELL)
                    self.assertEqual(run.started(), [])
            self.assertEqual(server.requests(), [])


if __name__ == "__main__":
    e2e_main()
