"""The display rule of the project's Python tools and tests (the same as tools/lib/display.sh):
$DISPLAY when it is set, waited for up to 10 s (a display that never answers is an error naming
it); a virtual display with a window manager of this process's own only when none is set."""

import os
import subprocess

XDISPLAY = os.path.join(os.path.dirname(os.path.abspath(__file__)), "xdisplay")
_own = None


def ensure_display():
    global _own
    if os.environ.get("DISPLAY"):
        check = subprocess.run([XDISPLAY, "check"], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        if check.returncode != 0:
            raise RuntimeError(check.stderr.decode("utf-8", "replace").strip())
        return os.environ["DISPLAY"]
    proc = subprocess.Popen([XDISPLAY, "start"], stdout=subprocess.PIPE, stdin=subprocess.DEVNULL)
    display = proc.stdout.readline().decode().strip()
    proc.stdout.close()
    if not display:
        proc.terminate()
        proc.wait()
        raise RuntimeError("no virtual display could be started (tools/xdisplay start)")
    _own = proc
    os.environ["DISPLAY"] = display
    return display


def stop_display():
    """Ends the display this process started, if any."""
    global _own
    if _own:
        _own.terminate()
        _own.wait()
        _own = None


def wine_loader():
    """The Wine loader for the build this machine runs (tools/win-arch)."""
    arch = subprocess.run([os.path.join(os.path.dirname(XDISPLAY), "win-arch")], stdout=subprocess.PIPE,
                          check=True).stdout.decode().strip()
    return "/usr/lib/wine/wine64" if arch == "x86_64" else "wine"
