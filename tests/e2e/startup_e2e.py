"""Start-up of the shell: the on-line check, the "/web" switch and the loading picture."""

import os
import time
import unittest

from harness import IDOK, Shell, demo_server, e2e_main, test_port, wait_until

OFFLINE_TEXT = "未能连接到服务器，请检查网络连接是否正常！"
LOGIN_PAGE = "/xcyh2/login/login.html"


class OffLine(unittest.TestCase):
    def test_only_the_message_is_shown_and_the_process_ends_when_it_is_closed(self):
        with Shell(offline=True) as shell:
            box = shell.wait_for_message_box(timeout=60)
            self.assertEqual(box["title"], "提示")
            self.assertEqual(box["text"], OFFLINE_TEXT)
            self.assertEqual(box["buttons"], [IDOK])
            shell.screenshot("offline-message.png")
            # Nothing of the shell's own is drawn.
            classes = {w["class"] for w in shell.windows() if w["visible"]}
            for cls in ("LoadFrm", "LoginBgFrm", "LoginFrm"):
                self.assertNotIn(cls, classes)
            shell.answer(box, IDOK)
            shell.wait_exit(timeout=30)


class WebSwitch(unittest.TestCase):
    def test_opens_the_home_page_and_ends_without_the_loading_picture(self):
        with demo_server(), Shell(args=["/web"], watch=["LoadFrm"]) as shell:
            seen = shell.visible_until_exit("LoadFrm")
            shell.wait_exit(timeout=10)
            self.assertEqual(seen, [])
            wait_until(lambda: shell.opened_urls(), 10, message="the home page to be opened")
            self.assertEqual(shell.opened_urls(), [f"http://127.0.0.1:{test_port()}/"])

    def test_other_spellings_start_normally_with_the_loading_picture(self):
        for args in (["/WEB"], ["/web", "x"]):
            with self.subTest(args=args), demo_server() as server:
                server.hold(LOGIN_PAGE)  # the loading picture stays while the login page loads
                with Shell(args=args) as shell:
                    w = shell.wait_for_window("LoadFrm", visible=True, timeout=60)
                    self.assertEqual((w["w"], w["h"]), (356, 122))
                    self.assertEqual((w["x"], w["y"]), ((1920 - 356) // 2, (1080 - 122) // 2))
                    self.assertTrue(w["exstyle"] & 0x80000)  # layered
                    self.assertFalse(w["style"] & 0x00C00000)  # no caption bar
                    self.assertEqual(shell.opened_urls(), [])
                    time.sleep(1)
                    shell.screenshot("loading-%s.png" % "-".join(a.strip("/") for a in args))
                    # The picture is really on screen: its centre is not the black desktop.
                    r, g, b = shell.pixel(w["x"] + 178, w["y"] + 61)
                    self.assertGreater(r + g + b, 60)
                    self.assertTrue(shell.running())


if __name__ == "__main__":
    e2e_main()
