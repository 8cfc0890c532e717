#!/usr/bin/env python3
"""icon_subset.py IN.ico OUT.ico MAX_PIXELS [PNG_FROM_PIXELS]: writes an icon file holding only
the images of IN that are at most MAX_PIXELS wide, in their order. The updater's window and
taskbar need only the small images; the large ones would weigh on the shell that carries it.
With PNG_FROM_PIXELS, the 32-bit images at least that wide are stored PNG-compressed, as icon
files may hold them since Windows Vista: the same pixels, a fraction of the bytes."""
import struct
import sys
import zlib


def png_chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def dib_to_png(image):
    """The PNG of a 32-bit icon DIB (header, bottom-up BGRA rows, AND mask), or None when the
    image is of another kind and stays as it is."""
    header, width, height2, planes, bits, compression = struct.unpack_from("<IiiHHI", image, 0)
    height = height2 // 2
    if header != 40 or bits != 32 or compression != 0 or width <= 0 or height <= 0:
        return None
    row = width * 4
    pixels = image[header:header + row * height]
    mask_row = ((width + 31) // 32) * 4
    mask = image[header + row * height:header + row * height + mask_row * height]
    if len(pixels) != row * height:
        return None
    # An image whose alpha is all zero takes its transparency from the AND mask.
    use_mask = all(pixels[i] == 0 for i in range(3, len(pixels), 4)) and len(mask) == mask_row * height
    raw = bytearray()
    for y in range(height - 1, -1, -1):  # PNG rows go top down
        raw.append(0)
        line = pixels[y * row:(y + 1) * row]
        for x in range(width):
            b, g, r, a = line[4 * x:4 * x + 4]
            if use_mask:
                a = 0 if mask[y * mask_row + x // 8] & (0x80 >> (x % 8)) else 255
            raw += bytes((r, g, b, a))
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))


def main(source, target, largest, png_from=None):
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
            image = data[offset:offset + size]
            if png_from is not None and width >= png_from:
                image = dib_to_png(image) or image
            kept.append((entry[:8], image))
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
    main(sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]) if len(sys.argv) > 4 else None)
