"""The main game window with the real pointer and keyboard: the game tab maximised over the work
area, another account's page and another program's DDE request in tabs of their own, the tab
keys, F10, the update item with a current manifest and the exit item with its skinned question;
the close button's looks, restoring, maximising again, dragging and full screen."""

import glob
import os
import subprocess
import time
import unittest

from harness import IDOK, ROOT, Shell, Taskbar, demo_server, e2e_main, test_port, wait_until

# Links of the demo login page, from the login window's top-left corner.
START_LINK = (453, 288)         # 进入游戏: game1.html
SECOND_SERVER_LINK = (465, 375)  # 进入二区 星河: game2.html
# In the maximised main window: a blank spot of the game pages, and a rectangle at the top of
# the pages that each demo game page fills differently.
PAGE_BLANK = (700, 450)
PAGE_TOP = (4, 36, 400, 200)
# The mouse buttons X gives a wheel's notches: away from the player (zoom in) and back.
WHEEL_UP, WHEEL_DOWN = 4, 5
WM_HOTKEY, VK_F10, HOTKEY_ID = 0x0312, 0x79, 1000
EXIT_DIALOG = "Xcyh2MsgFrm"
YES_BUTTON, NO_BUTTON = (56 + 32, 88 + 12), (136 + 32, 88 + 12)  # from the dialog's top-left corner
ART = os.path.join(ROOT, "src", "resources", "art")
# The desktop has a taskbar at the bottom, as a player's has (a window that covers the whole
# screen is also one Wine confines the pointer to, and then clicks elsewhere get lost).
TASKBAR = 40
UP_TO_DATE = "当前版本已是最新，无需更新！"
MANIFEST = "/gamehome/xcyh2/update.txt"


def px(twips):
    """Twips to pixels as the window converts them (halves to even, as Python rounds)."""
    return round(twips / 15)


def screen_size():
    out = subprocess.run(["xdotool", "getdisplaygeometry"], stdout=subprocess.PIPE, check=True).stdout.split()
    return int(out[0]), int(out[1])


def requested(server, path):
    return path in [r["path"] for r in server.requests()]


def screen_rgb(x, y, w, h):
    """The screen's pixels in a rectangle, as RGB bytes."""
    return subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "-depth", "8", "rgb:-"],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True).stdout


def text_height(x, y, w, h):
    """The height in pixels of the first line of text in a screen rectangle of a page (dark on
    white): from its first row with ink to the last one before three blank rows."""
    rgb = screen_rgb(x, y, w, h)
    first = last = None
    for row in range(h):
        line = rgb[row * w * 3:(row + 1) * w * 3]
        if any(line[i] + line[i + 1] + line[i + 2] < 384 for i in range(0, len(line), 3)):
            first = row if first is None else first
            last = row
        elif last is not None and row - last > 3:
            break
    return 0 if first is None else last - first + 1


def art_frame(name, index, w, h):
    """Frame index of a button's picture strip, as RGB bytes."""
    return subprocess.run(["convert", os.path.join(ART, name), "-crop", f"{w}x{h}+{index * w}+0", "+repage",
                           "-depth", "8", "rgb:-"], stdout=subprocess.PIPE, check=True).stdout


def title_button(w, right_twips, width):
    """The screen rectangle of a title-area picture button whose left edge lies right_twips
    before the window's right edge (top 15 twips, 18 pixels high)."""
    return (w["x"] + px(w["w"] * 15 - right_twips), w["y"] + 1, width, 18)


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

            # The tab keys, typed while a page has the focus. Each tab is known by its page's
            # pixels: the DDE request's tab is the selected one, Ctrl+1 and Ctrl+2 show the others.
            shell.click(main["x"] + PAGE_BLANK[0], main["y"] + PAGE_BLANK[1])
            region = (main["x"] + PAGE_TOP[0], main["y"] + PAGE_TOP[1], PAGE_TOP[2], PAGE_TOP[3])

            def press(key, shown):
                """The page a key shows, once it has been drawn."""
                shell.key(key)
                wait_until(lambda: screen_rgb(*region) != shown, 10, message=f"{key} to show another page")
                time.sleep(1)
                return screen_rgb(*region)

            third = screen_rgb(*region)
            first = press("ctrl+1", third)
            second = press("ctrl+2", first)
            self.assertNotEqual(first, third)
            for key, expected in (("ctrl+Tab", third), ("ctrl+Tab", first), ("ctrl+shift+Tab", third),
                                  ("ctrl+Prior", second), ("ctrl+Next", third), ("ctrl+1", first),
                                  ("ctrl+9", third)):
                shell.key(key)
                wait_until(lambda: screen_rgb(*region) == expected, 10, message=f"{key} to show its tab")
            # Ctrl with a letter is the page's: Ctrl+R loads the shown page again.
            server.clear_requests()
            shell.key("ctrl+r")
            wait_until(lambda: requested(server, "/xcyh2/game3.html"), 10, message="Ctrl+R to reach the page")

            # Page zoom, per tab, with the page focused: Ctrl+= twice makes the first page's text
            # taller while the second tab keeps its size; Ctrl+0 draws the page exactly as before,
            # and Ctrl+wheel steps up and back.
            def ctrl_wheel(button):
                shell.xdotool("keydown", "ctrl")
                shell.xdotool("click", button)
                shell.xdotool("keyup", "ctrl")

            shell.key("ctrl+1")
            wait_until(lambda: screen_rgb(*region) == first, 10, message="ctrl+1 to show the first page")
            normal = text_height(*region)
            self.assertGreater(normal, 10)
            shell.key("ctrl+equal", "ctrl+equal")
            wait_until(lambda: text_height(*region) > normal * 1.15, 10, message="ctrl+= to zoom in")
            time.sleep(0.5)
            zoomed = text_height(*region)
            shell.screenshot("main-window-zoomed.png")
            shell.key("ctrl+2")
            wait_until(lambda: screen_rgb(*region) == second, 10, message="the second tab at its own zoom")
            shell.key("ctrl+1")
            wait_until(lambda: text_height(*region) == zoomed, 10, message="the first tab to keep its zoom")
            shell.key("ctrl+0")
            wait_until(lambda: screen_rgb(*region) == first, 10, message="ctrl+0 to draw the page as before")
            ctrl_wheel(WHEEL_UP)
            wait_until(lambda: normal < text_height(*region) < zoomed, 10, message="ctrl+wheel to zoom one step in")
            ctrl_wheel(WHEEL_DOWN)
            wait_until(lambda: screen_rgb(*region) == first, 10, message="ctrl+wheel to zoom back")

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

            # The exit item asks in the skinned dialog over the window: no keeps the window, yes
            # ends the program, successfully.
            for answer in (NO_BUTTON, YES_BUTTON):
                self.choose(shell, main, "Up", "Return")
                dialog = shell.wait_for_window(EXIT_DIALOG, visible=True, timeout=30)
                self.assertEqual((dialog["w"], dialog["h"], dialog["owner"]), (242, 140, main["hwnd"]))
                time.sleep(1)
                if answer == NO_BUTTON:
                    shell.screenshot("main-window-exit-question.png")
                shell.click(dialog["x"] + answer[0], dialog["y"] + answer[1])
                if answer == NO_BUTTON:
                    # The window answers after no: the next round's menu comes up over it.
                    shell.wait(lambda: shell.window(EXIT_DIALOG) is None, 10, "the dialog to go")
                    self.assertTrue(shell.window("WebMainFrm")["visible"])
            self.assertEqual(shell.wait_exit(timeout=30), 0)

    def test_closing_during_a_slow_update_check_ends_the_shell_and_offers_nothing(self):
        """The update item's download lets messages through: the close button still answers,
        and yes ends the shell at once, with no update question and no updater after it."""
        with demo_server() as server, Taskbar(TASKBAR), Shell() as shell:
            self.log_in(shell, START_LINK)
            main = shell.wait_for_window("WebMainFrm", visible=True, timeout=30)
            wait_until(lambda: requested(server, "/xcyh2/game1.html"), 20, message="the game page")
            time.sleep(1)
            log_start = os.path.getsize(shell.log_path)
            parts = os.path.join(shell.temp_dir(), "update.txt.*.part")
            parts_before = set(glob.glob(parts))  # an earlier run, ended by force, may have left some
            # A newer version, which would be offered, sent slowly: about 20 s in all.
            newer = ("version=9.9.9\r\n" + "; padding\r\n" * 400).encode("gbk")
            server.set(MANIFEST, newer, chunk=256, delay_ms=1000)
            server.clear_requests()
            self.choose(shell, main, "Down", "Down", "Down", "Down", "Return")
            wait_until(lambda: requested(server, MANIFEST), 10, message="the manifest to be asked for")
            time.sleep(1)
            close = title_button(main, 730, 43)
            shell.click(close[0] + 20, close[1] + 9)
            dialog = shell.wait_for_window(EXIT_DIALOG, visible=True, timeout=10)
            shell.click(dialog["x"] + YES_BUTTON[0], dialog["y"] + YES_BUTTON[1])
            started = time.monotonic()
            self.assertEqual(shell.wait_exit(timeout=20), 0)
            self.assertLess(time.monotonic() - started, 10)
            self.assertEqual(shell.message_boxes(), [])
            self.assertFalse(os.path.exists(os.path.join(shell.temp_dir(), "Update.exe")), "an updater was written")
            self.assertEqual(set(glob.glob(parts)) - parts_before, set())
            with open(shell.log_path, "rb") as f:
                f.seek(log_start)
                self.assertNotIn(b"Unhandled", f.read())

    def test_restore_maximise_and_drag(self):
        with demo_server(), Taskbar(TASKBAR), Shell() as shell:
            self.log_in(shell, START_LINK)
            main = shell.wait_for_window("WebMainFrm", visible=True, timeout=30)
            width, height = screen_size()

            def main_window_where(condition):
                return lambda: (lambda w: w if w and condition(w) else None)(shell.window("WebMainFrm"))

            def click_minmax(w):
                shell.click(w["x"] + px(w["w"] * 15 - 1105) + 12, w["y"] + 10)

            rect = lambda w: (w["x"], w["y"], w["w"], w["h"])
            away = (main["x"] + 400, main["y"] + 300)  # on the page, away from the title area

            def button_shows(w, right_twips, width, art, frame, message):
                # The hover timer puts the look right within 50 ms of a move.
                x, y, bw, bh = title_button(w, right_twips, width)
                expected = art_frame(art, frame, bw, bh)
                wait_until(lambda: screen_rgb(x, y, bw, bh) == expected, 5, message=message)

            # The close button: normal, hover, pressed, normal again when the pointer leaves with
            # the button held, released outside (no click) and after leaving.
            time.sleep(1)
            x, y, bw, bh = title_button(main, 730, 43)
            looks = [("normal", lambda: shell.xdotool("mousemove", "--sync", *away), 0),
                     ("hover", lambda: shell.xdotool("mousemove", "--sync", x + 20, y + 9), 1),
                     ("pressed", lambda: shell.xdotool("mousedown", 1), 2),
                     ("left while held", lambda: shell.xdotool("mousemove", "--sync", *away), 0),
                     ("released outside", lambda: shell.xdotool("mouseup", 1), 0),
                     ("hover again", lambda: shell.xdotool("mousemove", "--sync", x + 20, y + 9), 1),
                     ("left", lambda: shell.xdotool("mousemove", "--sync", *away), 0)]
            for name, act, frame in looks:
                act()
                button_shows(main, 730, 43, "btn_close.bmp", frame, f"the close button's {name} look")
            self.assertIsNone(shell.window(EXIT_DIALOG))

            # Maximised, the maximise button shows the restore glyph and the title bar does not
            # drag the window.
            button_shows(main, 1105, 25, "btn_max.bmp", 3, "the restore glyph while maximised")
            shell.drag(main["x"] + 70, main["y"] + 15, main["x"] + 170, main["y"] + 65)
            # Once the drag's messages are handled, the close button's hover look shows where it
            # was: a window that moved would show it 100 pixels further on.
            shell.xdotool("mousemove", "--sync", x + 20, y + 9)
            button_shows(main, 730, 43, "btn_close.bmp", 1, "the close button's hover look after the drag")
            self.assertEqual(rect(shell.window("WebMainFrm")), rect(main))
            shell.xdotool("mousemove", "--sync", *away)

            # Restored by its button, the window goes back to where it was before it was
            # maximised and the button shows the maximise glyph; maximised and restored again, it
            # comes back to exactly that rectangle.
            click_minmax(main)
            restored = shell.wait(main_window_where(lambda w: w["w"] < width), 10, "the window to restore")
            self.assertEqual((restored["w"], restored["h"]), (1036, 639))
            shell.xdotool("mousemove", "--sync", restored["x"] + 400, restored["y"] + 300)
            button_shows(restored, 1105, 25, "btn_max.bmp", 0, "the maximise glyph while restored")
            time.sleep(1)
            shell.screenshot("main-window-restored.png")
            click_minmax(restored)
            maximised = shell.wait(main_window_where(lambda w: (w["x"], w["y"], w["w"]) == (0, 0, width)), 10,
                                   "the window to maximise again")
            shell.xdotool("mousemove", "--sync", *away)
            button_shows(maximised, 1105, 25, "btn_max.bmp", 3, "the restore glyph again")
            click_minmax(maximised)
            again = shell.wait(main_window_where(lambda w: w["w"] < width), 10, "the window to restore again")
            self.assertEqual(rect(again), rect(restored))

            # Restored, the title bar drags the window.
            shell.drag(again["x"] + 70, again["y"] + 15, again["x"] + 170, again["y"] + 65)
            shell.wait(main_window_where(lambda w: w["x"] != again["x"]), 10, "the window to move")
            time.sleep(1)
            moved = shell.window("WebMainFrm")
            self.assertEqual((moved["x"] - again["x"], moved["y"] - again["y"]), (100, 50))

            # F11, typed while the page has the focus: the pages alone over the whole screen, the
            # taskbar covered. F10 still hides and shows the window; Esc brings it back to
            # exactly where it was.
            shell.click(moved["x"] + 400, moved["y"] + 300)
            shell.key("F11")
            full = shell.wait(main_window_where(lambda w: rect(w) == (0, 0, width, height)), 10,
                              "F11 to cover the screen")
            time.sleep(1)
            shell.screenshot("main-window-full-screen.png")
            shell.key("F10")
            wait_until(lambda: not shell.window("WebMainFrm")["visible"], 10, message="F10 to hide the full screen")
            shell.post(full, WM_HOTKEY, HOTKEY_ID, VK_F10 << 16)
            wait_until(lambda: shell.window("WebMainFrm")["visible"], 10, message="the full screen to come back")
            self.assertEqual(rect(shell.window("WebMainFrm")), (0, 0, width, height))
            shell.click(PAGE_BLANK[0], PAGE_BLANK[1])
            shell.key("Escape")
            shell.wait(main_window_where(lambda w: rect(w) == rect(moved)), 10, "Esc to bring the window back")


if __name__ == "__main__":
    e2e_main()
