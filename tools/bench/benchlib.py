"""What the Wine benchmarks share: the architecture of the program they time, and whether a
window of a given title is on the display."""

import subprocess


def architecture(exe):
    """i686 or x86_64, from the PE header's machine field."""
    with open(exe, "rb") as f:
        data = f.read(4096)
    pe = int.from_bytes(data[0x3C:0x40], "little")
    return {0x14C: "i686", 0x8664: "x86_64"}.get(int.from_bytes(data[pe + 4:pe + 6], "little"), "unknown")


def visible_window(title):
    """Whether a visible window of exactly that title is on the display (xdotool)."""
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return out.returncode == 0 and out.stdout.strip() != b""
