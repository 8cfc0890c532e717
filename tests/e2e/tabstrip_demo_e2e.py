"""The tab strip in its demo host, driven with the real pointer: hover and leave, select, close.

The demo shows five tabs in the main window's style (rounded tabs, left margin 10) on a
1000-pixel client area: each tab is (1000 - 10 - 25) / 5 = 193 wide, 5 pixels apart.
"""

import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Shell, e2e_main, wait_until  # noqa: E402

HOST_BACKGROUND = (32, 84, 150)
STRIP_TOP = 8          # the strip's y in the client area
TAB_STEP = 193 + 5


def screen(x0, y0, w, h):
    raw = subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x0}+{y0}", "-depth", "8", "rgb:-"],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True).stdout
    return [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]


def client_origin(w):
    """The client area's top-left corner: the first host-background pixel inside the frame."""
    left, top = max(w["x"], 0), max(w["y"], 0)
    column = screen(left + 500, top, 1, w["h"])
    if HOST_BACKGROUND not in column:
        return None
    y = top + column.index(HOST_BACKGROUND)
    row = screen(left, y, w["w"], 1)
    return left + row.index(HOST_BACKGROUND), y


class TabStripDemo(unittest.TestCase):
    def test_hover_leave_select_and_close(self):
        with Shell(exe="tabstrip_demo.exe") as shell:
            w = shell.wait_for_window("Xcyh2TabStripDemo", visible=True)
            time.sleep(1.0)
            left, top = wait_until(lambda: client_origin(w), 10, 0.5, "the demo's client area")
            strip_y = top + STRIP_TOP

            def tab(i, dx):
                return left + 10 + i * TAB_STEP + dx

            def probe(i):  # a pixel in the upper part of a tab's body
                return shell.pixel(tab(i, 60), strip_y + 4)

            selected, normal = probe(0), probe(3)
            self.assertNotEqual(selected, normal)

            # Hover: the tab under the pointer changes its look; leaving the strip restores it.
            shell.xdotool("mousemove", "--sync", tab(3, 100), strip_y + 14)
            wait_until(lambda: probe(3) != normal, 10, 0.2, "the hover picture")
            hovered = probe(3)
            self.assertNotEqual(hovered, selected)
            shell.screenshot("tabstrip-demo-hover.png")
            shell.xdotool("mousemove", "--sync", left + 500, top + 300)
            wait_until(lambda: probe(3) == normal, 10, 0.2, "the normal picture after leaving")

            # A click on a body selects that tab.
            shell.click(tab(2, 100), strip_y + 14)
            wait_until(lambda: probe(2) == selected and probe(0) == normal, 10, 0.2, "tab 2 selected")

            # A click on the last tab's close button removes it: strip background shows there.
            background = shell.pixel(left + 5, strip_y + 4)
            shell.click(tab(4, 193 - 14), strip_y + 13)
            wait_until(lambda: shell.pixel(tab(4, 100), strip_y + 4) == background, 10, 0.2, "tab 4 gone")
            self.assertEqual(probe(2), selected)
            shell.screenshot("tabstrip-demo-closed.png")


if __name__ == "__main__":
    e2e_main()
