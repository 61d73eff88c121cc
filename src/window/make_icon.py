#!/usr/bin/env python3
"""Writes zumorika.ico: a 16-colour picture in a frame (a sun over a green
hill), the window's own icon, at the sizes Windows asks for at 100 to 200 %
scaling (16, 20, 24, 32, 48 and 64 pixels) and for the largest icon views
(256), each drawn from the 16 x 16 design pixel by pixel. Run: python3 make_icon.py zumorika.ico"""
import struct
import sys

# The Windows 16-colour palette as (R, G, B); written as B, G, R, 0.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# Rows top to bottom; one hex digit per pixel, the palette index.
ROWS = [
    "4444444444444444",
    "4ffffffffffffff4",
    "4feeeeeeeeeeeef4",
    "4feeeeeeeeb9eef4",
    "4feeeeeeeb999ef4",
    "4feeeeeeeb999ef4",
    "4feeeeeeeeb9eef4",
    "4feeeeeeeeeeeef4",
    "4feeeeaaeeeeeef4",
    "4feeeaaaaeeeeef4",
    "4feeaaaaaaeeeef4",
    "4feaaaa22aaaaef4",
    "4faaaa2222aaaaf4",
    "4f222222222222f4",
    "4ffffffffffffff4",
    "4444444444444444",
]


SIZES = [16, 20, 24, 32, 48, 64, 256]


def image_bytes(size):
    """One 4-bit DIB with its AND mask, the design scaled to size x size."""
    def index(x, y):
        return int(ROWS[y * 16 // size][x * 16 // size], 16)

    stride = (size * 4 + 31) // 32 * 4
    mask_stride = (size + 31) // 32 * 4
    xor = b""
    for y in reversed(range(size)):  # DIB rows are bottom-up
        row = bytearray(stride)
        for x in range(size):
            row[x // 2] |= index(x, y) << (4 if x % 2 == 0 else 0)
        xor += bytes(row)
    mask = bytes(mask_stride * size)  # every pixel opaque
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    return header + palette + xor + mask


def ico_bytes():
    images = [image_bytes(size) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, image in zip(SIZES, images):
        # A byte holds the size; 0 stands for 256.
        side = size % 256
        entries += struct.pack("<BBBBHHII", side, side, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


if __name__ == "__main__":
    with open(sys.argv[1] if len(sys.argv) > 1 else "zumorika.ico", "wb") as out:
        out.write(ico_bytes())
