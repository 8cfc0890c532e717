"""The main game window with the real pointer and keyboard: the game tab maximised over the work
area, another account's page and another program's DDE request in tabs of their own, F10, the
update item with a current manifest and the exit item; restoring, maximising again and dragging."""

import os
import subprocess
import time
import unittest

from harness import IDOK, IDYES, Shell, Taskbar, demo_server, e2e_main, test_port, wait_until

# Links of the demo login page, from the login window's top-left corner.
START_LINK = (453, 288)         # 进入游戏: game1.html
SECOND_SERVER_LINK = (465, 375)  # 进入二区 星河: game2.html
WM_HOTKEY, VK_F10, HOTKEY_ID = 0x0312, 0x79, 1000
EXIT_QUESTION = "窗口即将关闭，确定要退出游戏？"
# The desktop has a taskbar at the bottom, as a player's has (a window that covers the whole
# screen is also one Wine confines the pointer to, and then clicks elsewhere get lost).
TASKBAR = 40
UP_TO_DATE = "当前版本已是最新，无需更新！"


def px(twips):
    """Twips to pixels as the window converts them (halves to even, as Python rounds)."""
    return round(twips / 15)


def screen_size():
    out = subprocess.run(["xdotool", "getdisplaygeometry"], stdout=subprocess.PIPE, check=True).stdout.split()
    return int(out[0]), int(out[1])


def requested(server, path):
    return path in [r["path"] for r in server.requests()]


class MainWindow(unittest.TestCase):
    def log_in(self, shell, link):
        login = shell.wait_for_window("LoginFrm", visible=True, timeout=90)
        time.sleep(1)
        shell.click(login["x"] + link[0], login["y"] + link[1])
        shell.wait(lambda: shell.window("LoginFrm") is None, 30, "the login window to go")

    def choose(self, shell, main, *keys):
        """Pops up the tool menu with its button and picks an item with the keyboard."""
        width = main["w"] * 15

        def menu_shown():
            return [w for w in shell.windows() if w["class"] == "#32768" and w["visible"]]

        shell.click(main["x"] + px(width - 1825) + 12, main["y"] + 10)
        shell.wait(menu_shown, 10, "the menu")
        time.sleep(0.5)
        shell.key(*keys)

    def test_game_window_from_login_to_exit(self):
        base = f"http://127.0.0.1:{test_port()}/xcyh2/"
        with demo_server() as server, Taskbar(TASKBAR), Shell() as shell:
            login = shell.wait_for_window("LoginFrm", visible=True, timeout=90)
            # No icon file: the window and its tray icon come up without one.
            os.remove(os.path.join(shell.temp_dir(), "xcyh2.ico"))
            self.log_in(shell, START_LINK)
            main = shell.wait_for_window("WebMainFrm", visible=True, timeout=30)
            self.assertEqual(main["title"], "星槎远航录2客户端")
            wait_until(lambda: requested(server, "/xcyh2/game1.html"), 20, message="the game page")

            # Maximised over the work area: the whole screen above the taskbar.
            width, height = screen_size()
            self.assertEqual((main["x"], main["y"], main["w"], main["h"]), (0, 0, width, height - TASKBAR))
            time.sleep(2)
            shell.screenshot("main-window-one-tab.png")

            # Another account: the login window again; its second server opens a second tab.
            other = main["w"] * 15 - 4850
            shell.click(main["x"] + px(other) + 50, main["y"] + 11)
            self.log_in(shell, SECOND_SERVER_LINK)
            wait_until(lambda: requested(server, "/xcyh2/game2.html"), 20, message="the second game page")
            self.assertTrue(shell.window("WebMainFrm")["visible"])

            # Another program asks for a third page over DDE; a local file is refused.
            self.assertEqual(shell.dde_send(base + "game3.html"), 0)
            self.assertEqual(shell.dde_send("file:///C:/windows/win.ini"), 1)
            wait_until(lambda: requested(server, "/xcyh2/game3-chart.html"), 20, message="the framed page")
            time.sleep(2)
            shell.screenshot("main-window-three-tabs.png")

            # F10 with the main window in front hides it; the hot key's message shows it again.
            shell.click(main["x"] + 70, main["y"] + 20)
            shell.key("F10")
            wait_until(lambda: not shell.window("WebMainFrm")["visible"], 10, message="F10 to hide the window")
            shell.post(main, WM_HOTKEY, HOTKEY_ID, VK_F10 << 16)
            wait_until(lambda: shell.window("WebMainFrm")["visible"], 10, message="the window to come back")

            # The update item with a current manifest says so.
            self.choose(shell, main, "Down", "Down", "Down", "Down", "Return")
            box = shell.wait_for_message_box(timeout=30)
            self.assertEqual((box["title"], box["text"]), ("提示", UP_TO_DATE))
            shell.answer(box, IDOK)
            wait_until(lambda: not shell.message_boxes(), 10, message="the message to close")

            # The exit item asks; yes ends the program, successfully.
            self.choose(shell, main, "Up", "Return")
            box = shell.wait_for_message_box(timeout=30)
            self.assertEqual((box["title"], box["text"]), ("提示", EXIT_QUESTION))
            shell.answer(box, IDYES)
            self.assertEqual(shell.wait_exit(timeout=30), 0)

    def test_restore_maximise_and_drag(self):
        with demo_server(), Taskbar(TASKBAR), Shell() as shell:
            self.log_in(shell, START_LINK)
            main = shell.wait_for_window("WebMainFrm", visible=True, timeout=30)
            width, _ = screen_size()

            def main_window_where(condition):
                return lambda: (lambda w: w if w and condition(w) else None)(shell.window("WebMainFrm"))

            def click_minmax(w):
                shell.click(w["x"] + px(w["w"] * 15 - 1105) + 12, w["y"] + 10)

            # Restored by its button, the window goes back to where it was before it was
            # maximised; maximised and restored again, it comes back to exactly that rectangle.
            time.sleep(1)
            click_minmax(main)
            restored = shell.wait(main_window_where(lambda w: w["w"] < width), 10, "the window to restore")
            self.assertEqual((restored["w"], restored["h"]), (1036, 639))
            click_minmax(restored)
            maximised = shell.wait(main_window_where(lambda w: (w["x"], w["y"], w["w"]) == (0, 0, width)), 10,
                                   "the window to maximise again")
            click_minmax(maximised)
            again = shell.wait(main_window_where(lambda w: w["w"] < width), 10, "the window to restore again")
            rect = lambda w: (w["x"], w["y"], w["w"], w["h"])
            self.assertEqual(rect(again), rect(restored))

            # Restored, the title bar drags the window.
            shell.drag(again["x"] + 70, again["y"] + 15, again["x"] + 170, again["y"] + 65)
            shell.wait(main_window_where(lambda w: w["x"] != again["x"]), 10, "the window to move")
            time.sleep(1)
            moved = shell.window("WebMainFrm")
            self.assertEqual((moved["x"] - again["x"], moved["y"] - again["y"]), (100, 50))


if __name__ == "__main__":
    e2e_main()
