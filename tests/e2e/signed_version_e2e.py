"""A signed manifest can be an old one served again: in a build with the publisher's key the
shell offers, from its menu too, only a newer version than its own; the updater checks the same
against the program it updates, and works from the bytes it checked, whatever happens to the
copy meanwhile."""

import hashlib
import os
import time

import mainwindow_e2e
import signed_update_e2e
from harness import IDNO, IDOK, Shell, Taskbar, demo_server, e2e_main, wait_until
from signed_update_e2e import MANIFEST, NEWER, OLDER, QUESTION, SAME, SignedUpdater, sign
from updater_e2e import DONE, read

NOT_NEWER = "更新文件列表的版本不比已安装的版本新，未进行更新。请重新启动游戏客户端后再试。"
SHELL_UNVERIFIED = "无法验证更新信息的来源，本次不进行更新。请稍后再试！"
UP_TO_DATE = "当前版本已是最新，无需更新！"


class SignedVersions(signed_update_e2e.SignedUpdates):
    # The start-up cases are the parent's; these are the menu's and the updater's.
    test_the_shell_offers_only_a_manifest_signed_with_its_key = None
    test_the_updater_checks_the_signature_again_and_installs_only_hashed_lines = None

    def test_the_menu_offers_only_a_newer_signed_version(self):
        """From the menu an older list, though signed, gets the message of an unverified one."""
        steps = [(OLDER, SHELL_UNVERIFIED, IDOK), (SAME, UP_TO_DATE, IDOK), (NEWER, QUESTION, IDNO)]
        with demo_server(sign_with=self.key) as server, Taskbar(mainwindow_e2e.TASKBAR), \
                Shell(exe=self.program("xcyh2.exe")) as shell:
            server.set(MANIFEST, SAME)
            mainwindow_e2e.MainWindow.log_in(self, shell, mainwindow_e2e.START_LINK)
            main = shell.wait_for_window("WebMainFrm", visible=True, timeout=30)
            time.sleep(1)
            for body, said, answer in steps:
                with self.subTest(said):
                    server.set(MANIFEST, body)
                    mainwindow_e2e.MainWindow.choose(self, shell, main, "Down", "Down", "Down", "Down", "Return")
                    box = shell.wait_for_message_box(timeout=30)
                    self.assertEqual(box["text"], said)
                    shell.answer(box, answer)
                    wait_until(lambda: not shell.message_boxes(), 10, message="the message to close")
            self.assertFalse(os.path.exists(os.path.join(shell.temp_dir(), "Update.exe")))
            self.assertTrue(shell.window("WebMainFrm")["visible"])

    def test_the_updater_started_by_hand_on_an_older_signed_list_starts_nothing(self):
        program = read(self.program("xcyh2.exe"))  # carries the build's version resource
        with demo_server() as server:
            for name, manifest, said in (("older", OLDER, NOT_NEWER), ("the same", SAME, NOT_NEWER)):
                with self.subTest(name):
                    server.clear_requests()
                    with SignedUpdater(self.program("Update.exe"), manifest, sign(self.key, manifest),
                                       files={"xcyh2.exe": program}) as run:
                        box = run.wait_for_message_box(timeout=60)
                        self.assertEqual(box["text"], said)
                        self.assertEqual(server.requests(), [])
                        run.answer(box, IDOK)
                        run.wait_exit(30)
                        self.assertEqual(run.started(), [])
                        self.assertEqual(run.file("xcyh2.exe"), program)

    def test_the_updater_downloads_what_it_checked_though_the_copy_changes(self):
        """The list is read once: a copy rewritten while the first file downloads changes nothing.
        The list is longer than one read of a file, so a second read would see the new copy."""
        marker = read(Shell(exe="startmark.exe").exe)
        data = b"checked data " * 1000
        with demo_server() as server:
            server.set("/files/data.pak", data)
            server.set("/files/startmark.exe", marker)
            server.set("/files/other.exe", b"MZ not what was signed")
            server.hold("/files/data.pak")
            manifest = ("version=9.9.9\r\ndata|%s|%s\r\n%sexe|%s|%s\r\n"
                        % (server.url("/files/data.pak"), hashlib.sha256(data).hexdigest(),
                           "; notes of the publisher\r\n" * 5000, server.url("/files/startmark.exe"),
                           hashlib.sha256(marker).hexdigest())).encode()
            changed = ("version=9.9.9\r\nexe|%s|%s\r\n" % (server.url("/files/other.exe"), "0" * 64)).encode()
            changed += b" " * (len(manifest) - len(changed))
            with SignedUpdater(self.program("Update.exe"), manifest, sign(self.key, manifest)) as run:
                wait_until(lambda: "/files/data.pak" in [r["path"] for r in server.requests()], 60,
                           message="the first file to be asked for")
                with open(os.path.join(run.temp_dir(), "update.txt"), "wb") as f:
                    f.write(changed)
                server.release("/files/data.pak")
                box = run.wait_for_message_box(timeout=60)
                self.assertEqual(box["text"], DONE)
                self.assertEqual([r["path"] for r in server.requests()], ["/files/data.pak", "/files/startmark.exe"])
                self.assertEqual(run.file("data.pak"), data)
                run.answer(box, IDOK)
                wait_until(lambda: run.started(), 30, message="the last file to be started")
                run.wait_exit(30)


if __name__ == "__main__":
    e2e_main()
