"""The login page: readiness, the app:// commands, dragging and the context menu."""

import threading
import time
import unittest

from harness import IDOK, Shell, demo_server, e2e_main, wait_until

LOGIN_PAGE = "/xcyh2/login/login.html"

# Where the demo login page's links are drawn, from the login window's top-left corner: the
# browser's box is at (415, 179) and the page starts one pixel above and left of it.
START_LINK = (453, 288)      # 进入游戏: app://loadgame|.../game1.html|s1
MINIMIZE_LINK = (445, 317)   # 最小化: app://minimize
EXIT_LINK = (490, 317)       # 退出: app://exitgame
HELP_LINK = (453, 346)       # 登录帮助: help.html?next=app://minimize
PAGE_TEXT = (470, 140)       # the page's heading
BACKDROP = (120, 600)        # the backdrop's picture, outside the login window's controls


def visible(shell, cls):
    w = shell.window(cls)
    return w is not None and w["visible"]


class LoginPage(unittest.TestCase):
    def start_ready(self, server):
        shell = Shell().start()
        self.addCleanup(shell.stop)
        login = shell.wait_for_window("LoginFrm", visible=True, timeout=90)
        wait_until(lambda: shell.window("LoadFrm") is None, 20, message="the start-up window to go")
        time.sleep(0.5)
        return shell, login

    def click_in(self, shell, window, point, button=1):
        shell.click(window["x"] + point[0], window["y"] + point[1], button)

    def test_hidden_until_the_page_completes_then_shown_over_the_backdrop(self):
        with demo_server() as server:
            server.hold(LOGIN_PAGE)
            with Shell(watch=["LoginFrm", "LoginBgFrm"]) as shell:
                shell.wait_for_window("LoadFrm", visible=True, timeout=90)
                shell.wait_for_window("LoginFrm", visible=False, timeout=30)
                # The page is asked for and held: until it completes, neither window shows, not
                # even for a moment (watched from the program's start).
                wait_until(lambda: LOGIN_PAGE in [r["path"] for r in server.requests()], 30,
                           message="the login page to be asked for")
                time.sleep(2)
                self.assertEqual(shell.end_watch("LoginFrm") + shell.end_watch("LoginBgFrm"), [])
                self.assertTrue(visible(shell, "LoadFrm"))
                server.release(LOGIN_PAGE)
                login = shell.wait_for_window("LoginFrm", visible=True, timeout=30)
                background = shell.wait_for_window("LoginBgFrm", visible=True, timeout=10)
                wait_until(lambda: shell.window("LoadFrm") is None, 20, message="the start-up window to go")
                self.assertEqual((login["w"], login["h"]), (1237, 696))
                self.assertEqual(login["owner"], background["hwnd"])
                self.assertEqual((login["x"], login["y"]), (background["x"], background["y"]))
                time.sleep(1)
                shell.screenshot("login-window.png")
                # The page is drawn in its box (white page), the backdrop around it (dark blue).
                r, g, b = shell.pixel(login["x"] + 1100, login["y"] + 560)
                self.assertGreater(r + g + b, 600)
                r, g, b = shell.pixel(login["x"] + 200, login["y"] + 650)
                self.assertLess(r + g + b, 600)

    def test_no_black_screen_between_the_loading_picture_and_the_login_window(self):
        with demo_server() as server:
            server.hold(LOGIN_PAGE)
            with Shell() as shell:
                shell.wait_for_window("LoadFrm", visible=True, timeout=90)
                # Shown is not yet drawn: the watch begins with the picture on the screen.
                wait_until(lambda: shell.screen_mean() >= 0.001, 30, 0.05, "the loading picture on the screen")
                samples, done = [], threading.Event()

                def sample():
                    while not done.is_set():
                        samples.append((time.monotonic(), shell.screen_mean()))
                        done.wait(0.3)

                sampler = threading.Thread(target=sample)
                sampler.start()
                try:
                    time.sleep(1)
                    server.release(LOGIN_PAGE)
                    shell.wait_for_window("LoginFrm", visible=True, timeout=30)
                    wait_until(lambda: shell.window("LoadFrm") is None, 20, message="the start-up window to go")
                    time.sleep(1)
                finally:
                    done.set()
                    sampler.join()
                trace = [(round(t - samples[0][0], 1), round(mean, 4)) for t, mean in samples]
                self.assertGreaterEqual(len(samples), 3, trace)
                black = [t for t, mean in trace if mean < 0.001]
                self.assertEqual(black, [], f"the screen was black at these seconds; samples: {trace}")

    def test_exit_command_ends_the_process(self):
        with demo_server() as server:
            shell, login = self.start_ready(server)
            self.click_in(shell, login, EXIT_LINK)
            self.assertEqual(shell.wait_exit(timeout=30), 0)

    def test_minimize_commands_minimise_both_windows(self):
        for link in (MINIMIZE_LINK, HELP_LINK):
            with self.subTest(link=link), demo_server() as server:
                shell, login = self.start_ready(server)
                self.assertGreater(shell.screen_mean(login["x"], login["y"], login["w"], login["h"]), 0.1)
                self.click_in(shell, login, link)
                bg = wait_until(lambda: (lambda w: w if w and w["iconic"] else None)(shell.window("LoginBgFrm")),
                                15, message="the backdrop to be minimised")
                self.assertTrue(bg["iconic"])
                # What the player sees: the login windows' part of the screen no longer shows them.
                area = (login["x"], login["y"], login["w"], login["h"])
                wait_until(lambda: shell.screen_mean(*area) < 0.02, 10, message="the login windows to leave the screen")
                # Windows hides the owned login window; Wine leaves it shown but it follows the
                # backdrop's move to the minimised position, off the screen.
                login = shell.window("LoginFrm")
                self.assertTrue(not login["visible"] or (login["x"], login["y"]) == (bg["x"], bg["y"]))
                self.assertTrue(shell.running())
                # The help page was not opened: the command cancelled that navigation.
                paths = [r["path"] for r in server.requests()]
                self.assertNotIn("/xcyh2/login/help.html", paths)
                shell.stop()

    def test_start_link_opens_the_game_page(self):
        with demo_server() as server:
            shell, login = self.start_ready(server)
            self.click_in(shell, login, START_LINK)
            main = shell.wait_for_window("WebMainFrm", visible=True, timeout=30)
            wait_until(lambda: shell.window("LoginFrm") is None and shell.window("LoginBgFrm") is None, 10,
                       message="the login windows to go")
            wait_until(lambda: "/xcyh2/game1.html" in [r["path"] for r in server.requests()], 20,
                       message="the game page to be fetched")
            time.sleep(1)
            shell.screenshot("game-page.png")
            self.assertTrue(shell.running())
            # Still the same window, still shown, once the page is in it.
            now = shell.window("WebMainFrm")
            self.assertIsNotNone(now)
            self.assertTrue(now["visible"])
            self.assertEqual(now["hwnd"], main["hwnd"])

    def test_dragging_the_backdrop_takes_the_login_window_along(self):
        with demo_server() as server:
            shell, login = self.start_ready(server)
            x0, y0 = login["x"] + BACKDROP[0], login["y"] + BACKDROP[1]
            shell.drag(x0, y0, x0 - 150, y0 - 80)
            time.sleep(1)
            bg = shell.window("LoginBgFrm")
            moved = shell.window("LoginFrm")
            self.assertEqual((bg["x"], bg["y"]), (login["x"] - 150, login["y"] - 80))
            self.assertEqual((moved["x"], moved["y"]), (bg["x"], bg["y"]))

    def test_right_click_shows_no_context_menu(self):
        with demo_server() as server:
            shell, login = self.start_ready(server)
            shell.start_watch("#32768")
            self.click_in(shell, login, PAGE_TEXT, button=3)
            time.sleep(1.5)
            self.assertEqual(shell.end_watch("#32768"), [])
            self.assertTrue(visible(shell, "LoginFrm"))

    def test_empty_login_page_gives_the_message_and_ends(self):
        with demo_server() as server:
            server.set(LOGIN_PAGE, b"", type="text/html")
            with Shell() as shell:
                box = shell.wait_for_message_box(timeout=90)
                self.assertEqual(box["title"], "提示")
                self.assertEqual(box["text"], "未能连接到服务器，请检查网络连接是否正常！")
                self.assertFalse(visible(shell, "LoginFrm"))
                shell.answer(box, IDOK)
                shell.wait_exit(timeout=30)


if __name__ == "__main__":
    e2e_main()
