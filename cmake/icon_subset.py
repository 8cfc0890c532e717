#!/usr/bin/env python3
"""icon_subset.py IN.ico OUT.ico MAX_PIXELS: writes an icon file holding only the images of IN
that are at most MAX_PIXELS wide, in their order. The updater's window and taskbar need only
the small images; the large ones would weigh on the shell that carries it."""
import struct
import sys


def main(source, target, largest):
    data = open(source, "rb").read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1 or count == 0:
        sys.exit(f"{source}: not an icon file")
    kept = []
    for i in range(count):
        entry = data[6 + 16 * i:22 + 16 * i]
        width = entry[0] or 256
        size, offset = struct.unpack_from("<II", entry, 8)
        if offset + size > len(data):
            sys.exit(f"{source}: image {i} runs past the end of the file")
        if width <= largest:
            kept.append((entry[:8], data[offset:offset + size]))
    if not kept:
        sys.exit(f"{source}: no image of at most {largest} pixels")
    out = bytearray(struct.pack("<HHH", 0, 1, len(kept)))
    offset = 6 + 16 * len(kept)
    for head, image in kept:
        out += head + struct.pack("<II", len(image), offset)
        offset += len(image)
    for _, image in kept:
        out += image
    with open(target, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], int(sys.argv[3]))
