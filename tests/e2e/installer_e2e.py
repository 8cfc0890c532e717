"""The installer: a silent per-user install puts the shell, its shortcuts and its uninstall entry
in place, the installed shell's own updater replaces the installed files and starts the new
program, and the uninstaller takes everything away again. The uninstaller it writes is signed
as the rest of the build (tests/pe/check_signatures.py checks those). Runs in a Wine prefix of
its own (BUILD_DIR/wineprefix-installer)."""

import os
import re
import subprocess
import sys
import unittest

from harness import IDOK, IDYES, ROOT, WINE_RUN, Shell, artifacts_dir, build_dir, demo_server, e2e_main, \
    ensure_display, wait_until

sys.path.insert(0, os.path.join(ROOT, "tests", "pe"))
from check_signatures import faults_of  # noqa: E402

GAME = "星槎远航录2"
KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\xcyh2"
MANIFEST = "/gamehome/xcyh2/update.txt"
UPDATE_QUESTION = "发现有新版本，是否现在更新！"
UPDATE_DONE = "软件已升至最新版本！"


def project_version():
    """major.minor.revision, from the header the build writes from the project's version."""
    with open(os.path.join(build_dir(), "generated", "BuildVersion.h"), encoding="utf-8") as f:
        text = f.read()
    parts = [re.search(rf"#define XCYH2_VERSION_{n} (\d+)", text).group(1) for n in ("MAJOR", "MINOR", "REVISION")]
    return ".".join(parts)


def signing_cert():
    """The certificate the build signs with, from its cache; None when it signs nothing."""
    with open(os.path.join(build_dir(), "CMakeCache.txt"), encoding="utf-8") as f:
        m = re.search(r"^XCYH2_SIGNING_CERT:FILEPATH=(.*)$", f.read(), re.M)
    return (m and m.group(1).strip()) or None


class Prefix:
    def __init__(self):
        self.path = os.path.join(build_dir(), "wineprefix-installer")
        self.bin = os.path.join(build_dir(), "bin")
        ensure_display()

    def run(self, *command, timeout=180):
        # Wine's menu builder would copy Start-menu shortcuts into the Linux desktop's menus.
        env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="winemenubuilder.exe=d")
        return subprocess.run([WINE_RUN, self.path, "--"] + list(command), env=env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)

    def start(self, *command):
        """Starts a command and returns at once: the process, to be waited for."""
        env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="winemenubuilder.exe=d")
        return subprocess.Popen([WINE_RUN, self.path, "--", "wine"] + list(command), env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def settle(self):
        """Waits for every process of this prefix (the uninstaller runs on from a copy of itself)."""
        self.run("wineserver", "-w")

    def unix(self, windows_path):
        drive, rest = windows_path.split(":", 1)
        self.test.assertEqual(drive.upper(), "C", windows_path)
        return os.path.join(self.path, "drive_c", *[p for p in rest.split("\\") if p])

    def probe(self, *args):
        out = self.run(os.path.join(self.bin, "installprobe.exe"), *args)
        return out.returncode, out.stdout.decode("utf-8", "replace").splitlines()

    def registry(self):
        """The uninstall entry's values, or None when the key is missing."""
        out = self.run("wine", "reg", "query", KEY)
        if out.returncode != 0:
            return None
        values = {}
        # reg writes in the console's code page, 936 in this prefix.
        for line in out.stdout.decode("gbk", "replace").splitlines():
            m = re.match(r"\s+(\S+)\s+(REG_\w+)\s+(.*)$", line)
            if m:
                values[m.group(1)] = m.group(3).strip()
        return values


class InstalledShell(Shell):
    """The installed shell in the installer's prefix, started by its Windows path as its shortcut
    starts it."""

    def __init__(self, prefix, program):
        super().__init__()
        self.prefix = prefix
        self.exe = program


def read(path):
    with open(path, "rb") as f:
        return f.read()


class Installer(unittest.TestCase):
    def test_install_update_uninstall(self):
        version = project_version()
        setup = os.path.join(build_dir(), f"xcyh2-setup-{version}.exe")
        self.assertTrue(os.path.exists(setup), f"{setup}: the build makes the installer")
        prefix = Prefix()
        prefix.test = self
        rc, folders = prefix.probe("folders")
        self.assertEqual(rc, 0, folders)
        local, desktop, programs = folders
        shell = os.path.join(prefix.bin, "xcyh2.exe")

        # The default folder under the player's local application data, and one the player chose.
        for chosen in (None, "C:\\游戏\\" + GAME):
            with self.subTest(folder=chosen or "default"):
                folder = chosen or local + "\\" + GAME
                args = ["/S"] + ([f"/D={chosen}"] if chosen else [])
                out = prefix.run(setup, *args)
                prefix.settle()
                self.assertEqual(out.returncode, 0, out.stderr.decode("utf-8", "replace"))

                installed = prefix.unix(folder + "\\xcyh2.exe")
                self.assertEqual(read(installed), read(shell), "the installed shell is the built one")
                uninstaller = prefix.unix(folder + "\\uninst.exe")
                self.assertTrue(os.path.exists(uninstaller))
                self.assertEqual(faults_of("uninst.exe", uninstaller, signing_cert()), [])
                shortcuts = [desktop + f"\\{GAME}.lnk", programs + f"\\{GAME}\\{GAME}.lnk"]
                for lnk in shortcuts:
                    rc, target = prefix.probe("lnk", lnk)
                    self.assertEqual((rc, target), (0, [folder + "\\xcyh2.exe"]), lnk)

                entry = prefix.registry()
                self.assertIsNotNone(entry, "the uninstall entry")
                self.assertEqual(entry["DisplayVersion"], version)
                self.assertEqual(entry["InstallLocation"], folder)
                self.assertEqual(entry["UninstallString"], f'"{folder}\\uninst.exe"')
                self.assertEqual((entry["NoModify"], entry["NoRepair"]), ("0x1", "0x1"))
                self.assertGreater(int(entry["EstimatedSize"], 16), 0)

                if chosen is None:
                    self.update_through_the_installed_shell(prefix, folder, version)
                else:
                    # The player, not an administrator, can replace the program the way the
                    # updater does: a new file beside it, moved over it.
                    newer = os.path.join(prefix.bin, "Update.exe")
                    rc, _ = prefix.probe("update", newer.replace("/", "\\").join(["Z:", ""]), folder + "\\xcyh2.exe")
                    self.assertEqual(rc, 0)
                    self.assertEqual(read(installed), read(newer))
                    self.assertFalse(os.path.exists(installed + ".new"))

                ending = None
                if chosen is None:
                    # The program (startmark.exe since the update) still ending as the player
                    # uninstalls: its file cannot be deleted until it has ended, and is then.
                    ending = prefix.start(folder + "\\xcyh2.exe", "4000")
                    mark = prefix.unix(folder + "\\started.txt")
                    wait_until(lambda: os.path.exists(mark), 30, message="the program to run")
                    os.remove(mark)
                # The uninstaller runs on from a copy in the temporary folder: wait for it.
                out = prefix.run(prefix.unix(folder + "\\uninst.exe"), "/S")
                prefix.settle()
                if ending:
                    ending.wait(timeout=30)
                gone = prefix.unix(folder)
                try:
                    wait_until(lambda: not os.path.exists(gone), timeout=60, message="the installation folder to go")
                except AssertionError as e:
                    left = sorted(os.listdir(gone)) if os.path.isdir(gone) else []
                    raise AssertionError(f"{e}; it still holds {left}") from None
                for lnk in shortcuts:
                    self.assertFalse(os.path.exists(prefix.unix(lnk)), lnk)
                self.assertFalse(os.path.exists(prefix.unix(programs + f"\\{GAME}")))
                self.assertIsNone(prefix.registry(), "the uninstall entry is removed")

    def update_through_the_installed_shell(self, prefix, folder, version):
        """A newer version published: the installed shell asks, hands over to the updater it
        carries, which replaces a file of the folder and the program itself (with startmark.exe,
        which leaves a mark when it runs) and starts the new program."""
        notes, program, mark = (prefix.unix(folder + "\\" + name) for name in ("readme.txt", "xcyh2.exe", "started.txt"))
        with open(notes, "wb") as f:
            f.write(b"old notes")
        new_notes = "新的航线、新的港口。\r\n".encode("gbk") * 1000
        new_program = read(os.path.join(prefix.bin, "startmark.exe"))
        with demo_server() as server:
            server.set("/files/readme.txt", new_notes)
            server.set("/files/xcyh2.exe", new_program)
            server.set(MANIFEST, ("version=%s.1\r\nnotes|%s\r\nexe|%s\r\n" % (
                version, server.url("/files/readme.txt"), server.url("/files/xcyh2.exe"))).encode())
            with InstalledShell(prefix.path, folder + "\\xcyh2.exe") as shell:
                box = shell.wait_for_message_box(timeout=60)
                self.assertEqual(box["text"], UPDATE_QUESTION)
                shell.answer(box, IDYES)
                shell.wait_exit(30)
                box = shell.wait(lambda: next((b for b in shell.message_boxes() if b["text"] == UPDATE_DONE), None),
                                 60, "the updater's last message")
                self.assertEqual(read(notes), new_notes)
                self.assertEqual(read(program), new_program)
                self.assertEqual([n for n in os.listdir(os.path.dirname(program)) if n.endswith(".part")], [])
                shell.answer(box, IDOK)
                wait_until(lambda: os.path.exists(mark), 30, message="the new program to be started")
                with open(mark, encoding="utf-8") as f:
                    self.assertIn(folder + "\\xcyh2.exe", f.read())
        # The uninstaller takes away only what the installer put there.
        for path in (notes, mark):
            os.remove(path)


if __name__ == "__main__":
    e2e_main()
