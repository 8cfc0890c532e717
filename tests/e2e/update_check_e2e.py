"""The start-up update check: the manifest decides whether the question appears, No goes on to
the loading picture, Yes hands over to the updater and ends the shell."""

import os
import shutil
import unittest

from harness import IDNO, IDYES, Shell, demo_server, e2e_main, test_port, wait_until

MANIFEST = "/gamehome/xcyh2/update.txt"
LOGIN_PAGE = "/xcyh2/login/login.html"
QUESTION = "发现有新版本，是否现在更新！"
# Its file line is answered with 404: an updater started from it replaces nothing.
NEWER = b"version=1.2.0\r\nxcyh2.exe|http://127.0.0.1:%d/test/status/404/xcyh2.exe\r\n" % test_port()


def read(path):
    with open(path, "rb") as f:
        return f.read()


def loading_picture_shown(shell):
    w = shell.window("LoadFrm")
    return w is not None and w["visible"]


def temp_dir(shell):
    return shell.temp_dir()


def fresh_shell(**kwargs):
    """A shell run whose temporary folder holds none of the update check's files."""
    shell = Shell(fresh_temp=False, **kwargs)
    shell.temp = temp_dir(shell)
    for name in ("update.txt", "Update.exe", "Update-args.txt"):
        path = os.path.join(shell.temp, name)
        if os.path.exists(path):
            os.chmod(path, 0o644)
            os.remove(path)
    return shell


def started_up(shell):
    """Start-up went on: the loading picture or, once the login page is done, the login windows."""
    visible = {w["class"] for w in shell.windows() if w["visible"]}
    return bool(visible & {"LoadFrm", "LoginFrm", "LoginBgFrm"})


def shell_location(shell):
    """The argument string the shell must hand over: its folder, "|", its program file."""
    folder = "Z:" + os.path.dirname(shell.exe).replace("/", "\\")
    return folder + "|" + folder + "\\xcyh2.exe"


def updater_arguments(shell):
    """The argument string of the Update.exe running in the shell's Wine prefix (not another
    test run's on the same machine), from its process's command line."""
    mine = b"WINEPREFIX=" + os.path.abspath(shell.prefix).encode()
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                argv = f.read().decode("utf-8", "replace").split("\0")
            if not argv or not argv[0].endswith("\\Update.exe"):
                continue
            with open(f"/proc/{pid}/environ", "rb") as f:
                if mine not in f.read().split(b"\0"):
                    continue
        except OSError:
            continue
        return " ".join(a for a in argv[1:] if a)
    return None


class UpdateCheck(unittest.TestCase):
    def test_the_current_version_goes_on_silently_to_the_loading_picture(self):
        with demo_server() as server:
            server.hold(LOGIN_PAGE)  # keeps the loading picture up
            with fresh_shell() as shell:
                shell.wait_for_window("LoadFrm", visible=True, timeout=60)
                self.assertEqual(shell.message_boxes(), [])
                self.assertIn(MANIFEST, [r["path"] for r in server.requests()])
                # The local copy is the downloaded manifest, hidden.
                copy = os.path.join(shell.temp, "update.txt")
                self.assertIn(b"=1.1.0\r\n", read(copy))
                self.assertFalse(os.path.exists(os.path.join(shell.temp, "Update.exe")))

    def test_another_version_asks_and_no_goes_on(self):
        with demo_server() as server:
            server.hold(LOGIN_PAGE)
            server.set(MANIFEST, NEWER)
            with fresh_shell() as shell:
                box = shell.wait_for_message_box(timeout=60)
                self.assertEqual((box["title"], box["text"]), ("提示", QUESTION))
                self.assertEqual(sorted(box["buttons"]), [IDYES, IDNO])
                shell.screenshot("update-question.png")
                self.assertFalse(loading_picture_shown(shell))
                shell.answer(box, IDNO)
                shell.wait_for_window("LoadFrm", visible=True, timeout=30)
                self.assertFalse(os.path.exists(os.path.join(shell.temp, "Update.exe")))

    def test_yes_starts_the_updater_with_the_shells_location_and_ends(self):
        with demo_server() as server:
            server.set(MANIFEST, NEWER)
            with fresh_shell(watch=["LoadFrm"]) as shell:
                box = shell.wait_for_message_box(timeout=60)
                shell.answer(box, IDYES)
                seen = shell.visible_until_exit("LoadFrm")
                shell.wait_exit(timeout=10)
                self.assertEqual(seen, [])
                temp = shell.temp
                self.assertEqual(read(os.path.join(temp, "Update.exe")),
                                 read(os.path.join(shell.build, "bin", "Update.exe")))
                # The updater runs with the shell's location (its file line names no server that
                # answers, so it replaces nothing and says so).
                shell.wait_for_window("UpdateFrm", visible=True, timeout=30)
                self.assertEqual(updater_arguments(shell), shell_location(shell))

    def test_yes_hands_over_from_a_temporary_folder_outside_the_code_page(self):
        """ø is outside code page 936: the updater is written to that folder and starts from it."""
        with demo_server() as server:
            server.set(MANIFEST, NEWER)
            shell = Shell(fresh_temp=False)
            temp = os.path.join(shell.prefix, "drive_c", "tmp\u00f8")
            shutil.rmtree(temp, ignore_errors=True)
            os.makedirs(temp)
            # The folder is the shell's %TEMP% and %TMP%: cmd starts it with both set.
            location = shell_location(shell)
            program = "Z:" + shell.exe.replace("/", "\\")
            shell.exe, shell.args = "cmd.exe", ["/c", f"set TEMP=C:\\tmp\u00f8&& set TMP=C:\\tmp\u00f8&& {program}"]
            with shell:
                box = shell.wait_for_message_box(timeout=60)
                self.assertEqual(box["text"], QUESTION)
                shell.answer(box, IDYES)
                shell.wait_for_window("UpdateFrm", visible=True, timeout=30)
                self.assertEqual(updater_arguments(shell), location)
                self.assertTrue(os.path.exists(os.path.join(temp, "Update.exe")))
                self.assertNotIn(MANIFEST + ".sig", [r["path"] for r in server.requests()])  # a build without a key
            shutil.rmtree(temp, ignore_errors=True)

    def test_with_the_server_down_an_earlier_copy_is_used_without_a_message(self):
        # No server at all: the download fails silently and start-up goes on.
        with fresh_shell() as shell:
            shell.wait(lambda: started_up(shell), 60, "start-up to go on")
            self.assertEqual(shell.message_boxes(), [])
        # An earlier copy that names another version still brings the question.
        probe = Shell(fresh_temp=False)
        copy = os.path.join(temp_dir(probe), "update.txt")
        with open(copy, "wb") as f:
            f.write(NEWER)
        with probe as shell:
            box = shell.wait_for_message_box(timeout=60)
            self.assertEqual(box["text"], QUESTION)
            shell.answer(box, IDNO)
            shell.wait(lambda: started_up(shell), 30, "start-up to go on")
            self.assertEqual(read(copy), NEWER)

    def test_garbage_huge_or_endless_manifests_ask_nothing(self):
        bad = {
            "garbage": bytes((i * 7919 + 13) % 256 for i in range(200_000)),
            "endless": b"notes " * 100_000 + b"no vers-ion here",
            "huge": b"x" * (50 * 1024 * 1024),
        }
        for name, body in bad.items():
            with self.subTest(name), demo_server() as server:
                server.hold(LOGIN_PAGE)
                server.set(MANIFEST, body)
                with fresh_shell() as shell:
                    shell.wait_for_window("LoadFrm", visible=True, timeout=120)
                    self.assertEqual(shell.message_boxes(), [])
                    self.assertEqual(os.path.getsize(os.path.join(shell.temp, "update.txt")), len(body))


if __name__ == "__main__":
    e2e_main()
