#!/usr/bin/env python3
"""Writes zumorika.ico: a 16 x 16, 16-colour picture in a frame (a sun over
a green hill), the window's own icon. Run: python3 make_icon.py zumorika.ico"""
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


def ico_bytes():
    xor = b""
    for row in reversed(ROWS):  # DIB rows are bottom-up
        xor += bytes(int(row[i], 16) << 4 | int(row[i + 1], 16) for i in range(0, 16, 2))
    mask = b"\x00\x00\x00\x00" * 16  # every pixel opaque; rows padded to 4 bytes
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 16, 16, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1] if len(sys.argv) > 1 else "zumorika.ico", "wb") as out:
        out.write(ico_bytes())
