#!/usr/bin/env python3
"""Writes the seed corpora: exchange files in the form the host writes them
(Shift-JIS, CR LF), number texts and doubles. Run by scripts/fuzz before the
first run; the seeds are small and kept in the repository as well."""
import os
import struct
import sys

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def sj(text):
    return text.encode("cp932")


def write(target, name, data):
    folder = os.path.join(root, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def crlf(lines):
    return b"".join(line + b"\r\n" for line in lines)


header = [
    sj("file=C:\\jww\\図面\\plan.jww"),
    b"hk 0",
    b"hs " + b" ".join([b"1", b"100", b"50"] + [b"1"] * 13),
    b"hzs 420 297",
    b"hcw 1 1.5 2 2.5 3 4 5 6 7 8",
    b"hch 1 1.5 2 2.5 3 4 5 6 7 8",
    b"hcd 0 0 0.5 0.5 1 1 1 1 1 1",
    b"hcc 1 2 3 4 5 6 7 8 9 10",
    b"hn 1 2 3 4",
    b"bz",
    b"lg0",
    sj("lgn一般図"),
    b"ly0",
    sj("lyn壁"),
    b"lc1",
    b"lt1",
    b"lw0",
    b"cn1",
    sj('cn"$ＭＳ ゴシック'),
    b"cc0",
    b"hp1- 100 200",
    b"hp2ln 10 20",
    b"hp3ci 5 5",
    b"hp4ch 7 8",
]

elements = [
    b"lg3", b"lyA", b"lc10 255", b"lt2", b"lw5", b"pn2",
    b"hhp1ln", b"z1", b"z4",
    b"pl",
    b"0 0 100 0", b"100 0 100 100", b"100 100 0 100",
    b"#",
    b"ci 0 0 50",
    b"ci 0 0 50 1 0 360 0",
    b"cn0 2.5 2.5 0.5 4",
    sj('ch 10 20 1 0 "図面テキスト 二語'),
    b"msg",
    b"0 0 10 0",
    sj('cs 0 0 1 0 "寸法'),
    b"pt 1 2",
    b"pt 1 2 0.5 0.25 7",
    sj('BL 10 20 0 "ブロック'),
    b"sl 0 0 10 0",
    b"sl 0 0 10 0 10 10",
    b"sl 0 0 10 0 10 10 0 10",
    b"sc 0 0 5 0 360 1 0 3",
    b"se 0 0 5 0 360 1 0 3",
    b"so 0 0 1 1 2 2 3 3",
    b"sg 0 0 1 1 2 2 3 3",
    b"cc12",
    sj('cv 0 0 0 1 "縦書き'),
]

write("fuzz_jwc_file", "host_full.txt", crlf(header + elements))
write("fuzz_jwc_file", "header_only.txt", crlf(header))
write("fuzz_jwc_file", "untitled_lf.txt", b"hk 0\nhp1 0 0\nlc5\n")
write("fuzz_jwc_file", "ctrl_z.txt", crlf([b"lc7", b"hp1 1 2"]) + b"\x1a" + crlf([b"lc9"]))
write("fuzz_jwc_file", "sjis_edges.txt",
      crlf([b"file=C:\\a\x81", b"lgn\x83\x5c", b"ch 1 2 3 4 \"\x81\x40\x82", b"\xfd\xfe\xff",
            b"\xa0\xb1\xdf", b"ly\x82"]) + b"lc3\r" + b"lc4")
for name, data in [("full", crlf(header + elements)),
                   ("elements", crlf(elements)),
                   ("quotes", crlf([b'cn"$a b', b'ch 1 2 3 4 "x "y"', b"file=a=b c",
                                    b"x=1 2 3 4", b'"quoted first'])) ]:
    write("fuzz_jwc_lines", name + ".txt", data.replace(b"\r\n", b"\n"))

numbers = [b"42", b"  42", b"42 ", b"+7", b"- 7", b"--7", b"2147483647", b"2147483648",
           b"-2147483648", b"$1F", b"x1F", b"0x1f", b"$FFFFFFFF", b"$100000000", b"$",
           b"0x", b"007", b"1.5", b".5", b"5.", b"-2.5e-3", b"1E3", b"1,5", b"e", b"+",
           b"1e400", b"-$80000000", b"$000000001", b"1.7976931348623158e308",
           b"4.9406564584124654e-324", b"0.1e-2", b"99999999999999999999"]
for i, text in enumerate(numbers):
    write("fuzz_numbers", "n%02d" % i, text)

doubles = [0.5, 100.0, 2.0, -0.25, 0.0001, 0.00001, 1 / 3, 2 / 3, 123456789012345.0, 1e15,
           999999999999999.9, 123456789012345678.0, 4.999999999999999, 6.123233995736766e-16,
           -0.0, float("inf"), float("nan"), 5e-324, 1.7976931348623157e308, 617283945061728.5]
for i, value in enumerate(doubles):
    write("fuzz_format_real", "d%02d" % i, struct.pack("<d", value))
for i, text in enumerate([b"0.1", b"1234.5678", b"1e-5", b"9.99999999999999e14"]):
    write("fuzz_format_real", "t%02d" % i, text)

settings = [b"189", b"104", sj("C:\\画像\\ "), b"1", b"1", b"3", b"0", b"90", b"12.5", b"4", b"-30"]
write("fuzz_settings", "full.dat", crlf(settings))
write("fuzz_settings", "short.dat", crlf(settings[:5]))
write("fuzz_settings", "bad.dat", b"-8\n\n\n1\n1\n7\n0\n250\n12.5mm\n12\nabc")

# Text and font records to write and read back: x, y, dx, dy, kind, font
# length, then the font name and the text.
for i, (x, y, dx, dy, kind, font, text) in enumerate([
        (100.0, 200.0, 10.0, 0.0, 0, sj("ＭＳ ゴシック"), sj("^@BMplan_000.BMP,100,75")),
        (-40.0, -17.5, 6.123233995736766e-16, 10.0, 0, b"<>", sj("^@BM図面_001.JPG,12.5,9.375,0,0,1,90")),
        (1e-5, 123456789012345678.0, 0.0, 1e-7, 2, b"", b"x" * 300),
        (0.5, 0.25, 1e-8, 0.0, 12, sj("游明朝"), b"\x81\x40 \x82")]):
    write("fuzz_jwc_roundtrip", "r%02d" % i,
          struct.pack("<dddd", x, y, dx, dy) + struct.pack("<bB", kind, len(font)) + font + text)

# Pictures: the first byte picks the reader (0 a clipboard DIB, 1 PNG,
# 2 BMP file, 3 JPEG), the rest is its data.
import subprocess
import zlib


ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def png(width, height, colour_type, depth, rows, interlaced=False, gamma=None):
    """rows: the picture's rows of bytes, unfiltered; interlaced: Adam7, the
    pixels (of 8 bits or more) taken pass by pass; gamma: a gAMA chunk."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 1 if interlaced else 0)
    if interlaced:
        size = len(rows[0]) // width
        passes = [[b"".join(rows[y][x * size:(x + 1) * size] for x in range(x0, width, dx))
                   for y in range(y0, height, dy)] for x0, y0, dx, dy in ADAM7]
        rows = [row for rows_of_pass in passes for row in rows_of_pass if row]
    raw = b"".join(b"\0" + row for row in rows)
    gama = chunk(b"gAMA", struct.pack(">I", round(gamma * 100000))) if gamma else b""
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + gama + chunk(b"IDAT", zlib.compress(raw)) +
            chunk(b"IEND", b""))


def dib(header_size, width, height, bits, compression, pixels, table=b"", masks=b""):
    header = struct.pack("<IiiHHIIiiII", header_size, width, height, 1, bits, compression,
                         len(pixels), 2835, 2835, len(table) // 4, 0)
    if header_size >= 56:
        extra = masks.ljust(16, b"\0") if masks else struct.pack("<IIII", 0xFF0000, 0xFF00, 0xFF, 0xFF000000)
        header += extra + b"\0" * (header_size - 56)
        masks = b""
    return header + masks + table + pixels


def bmp(dib_bytes, pixel_bytes):
    offset = 14 + len(dib_bytes) - pixel_bytes
    return b"BM" + struct.pack("<IHHI", 14 + len(dib_bytes), 0, 0, offset) + dib_bytes


premultiplied = bytes([0, 0, 0, 0, 0x10, 0x20, 0x40, 0x80, 0xFF, 0, 0, 0xFF, 0, 0, 0, 0])
write("fuzz_pictures", "dib_v5", b"\0" + dib(124, 2, 2, 32, 0, premultiplied))
write("fuzz_pictures", "dib_info_bitfields",
      b"\0" + dib(40, 2, -2, 32, 3, premultiplied, masks=struct.pack("<III", 0xFF0000, 0xFF00, 0xFF)))
write("fuzz_pictures", "png_rgba", b"\1" + png(2, 2, 6, 8, [bytes([255, 0, 0, 128, 0, 0, 0, 0])] * 2))
write("fuzz_pictures", "png_grey16", b"\1" + png(3, 1, 0, 16, [bytes(range(6))]))
# Interlaced 16 bits: libpng's simplified reader mixes their passes, so they
# take the row reader.
rgba16 = [bytes((y * 37 + i * 91) % 256 for i in range(5 * 8)) for y in range(5)]
write("fuzz_pictures", "png_rgba16_interlaced", b"\1" + png(5, 5, 6, 16, rgba16, interlaced=True))
write("fuzz_pictures", "png_grey16_interlaced_gamma",
      b"\1" + png(9, 3, 0, 16, [bytes(range(y, y + 18)) for y in range(3)], interlaced=True, gamma=1 / 1.8))
table = struct.pack("<IIII", 0, 0xFF0000, 0xFF00, 0xFF)
for name, bits, compression, pixels in [("bmp_1", 1, 0, b"\x40\0\0\0"), ("bmp_4", 4, 0, b"\x12\x30\0\0"),
                                        ("bmp_8_rle", 8, 1, b"\x02\x01\x00\x03\x02\x03\x01\x00\x00\x00\x00\x01"),
                                        ("bmp_4_rle", 4, 2, b"\x00\x02\x01\x00\x02\x23\x00\x01"),
                                        ("bmp_24", 24, 0, b"\x10\x20\x30\x40\x50\x60\0\0"),
                                        ("bmp_16", 16, 0, b"\x00\x7c\x1f\x00")]:
    d = dib(40, 2 if bits >= 16 else 3, 1, bits, compression, pixels, table if bits <= 8 else b"")
    write("fuzz_pictures", name, b"\2" + bmp(d, len(pixels)))
# Alpha by the masks: 16 bits 4-4-4-4 and 1-5-5-5, 10-10-10-2, alpha in the
# low byte of a V5 header, of BI_ALPHABITFIELDS and of the 56-byte header.
masks_4444 = struct.pack("<IIII", 0x0F00, 0x00F0, 0x000F, 0xF000)
masks_1555 = struct.pack("<IIII", 0x7C00, 0x03E0, 0x001F, 0x8000)
masks_1010102 = struct.pack("<IIII", 0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000)
masks_rgba = struct.pack("<IIII", 0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF)
for name, header_size, bits, compression, masks, pixels in [
        ("bmp_16_4444", 124, 16, 3, masks_4444, struct.pack("<HH", 0x0F00, 0x8F80)),
        ("bmp_16_1555_56", 56, 16, 3, masks_1555, struct.pack("<HH", 0x7C00, 0x801F)),
        ("bmp_32_1010102", 124, 32, 3, masks_1010102, struct.pack("<II", 0x000FFC00, 0x7FF00200)),
        ("bmp_32_alphabitfields", 40, 32, 6, masks_rgba, struct.pack("<II", 0x00FF0000, 0xC8643280))]:
    d = dib(header_size, 2, 1, bits, compression, pixels, masks=masks)
    write("fuzz_pictures", name, b"\2" + bmp(d, len(pixels)))
write("fuzz_pictures", "dib_v5_alpha_low_byte",
      b"\0" + dib(124, 2, 1, 32, 3, struct.pack("<II", 0x00FF0000, 0xC8643280), masks=masks_rgba))
# Fields that disagree with the data, as careless programs place them: runs
# whose biSizeImage is past the block or 0, a colour table declared longer
# than 256 entries, a V5 header with a linked profile after the bits, a core
# header (its height a WORD).
rle8 = dib(40, 64, 300, 8, 1, b"\x00\x01", table)
write("fuzz_pictures", "dib_rle8_size_past_block", b"\0" + rle8[:20] + struct.pack("<I", 0x7FFFFFF0) + rle8[24:])
rle4 = dib(40, 5, 2, 4, 2, b"\x03\x12\x00\x00\x00\x01", table)
write("fuzz_pictures", "dib_rle4_size_0", b"\0" + rle4[:20] + b"\0\0\0\0" + rle4[24:])
clr300 = dib(40, 2, 1, 8, 0, b"", b"\x10\x20\x30\0" * 256)
write("fuzz_pictures", "dib_8_clrused_300",
      b"\0" + clr300[:32] + struct.pack("<I", 300) + clr300[36:] + b"\x01\x02\0\0" + b"\0" * 176)
v5_profile = bytearray(dib(124, 4, 1, 32, 3, struct.pack("<IIII", 0xFFFFFF, 0xFF0000, 0xFF00, 0xFF),
                           masks=struct.pack("<IIII", 0xFF0000, 0xFF00, 0xFF, 0)))
struct.pack_into("<I", v5_profile, 56, 0x4C494E4B)
struct.pack_into("<II", v5_profile, 112, len(v5_profile), 12)
write("fuzz_pictures", "dib_v5_profile_after_bits", b"\0" + bytes(v5_profile) + b"sRGB.icm\0\0\0\0")
write("fuzz_pictures", "dib_core_8", b"\0" + struct.pack("<IHHHH", 12, 3, 2, 1, 8)
      + bytes(i * 7 % 256 for i in range(768)) + bytes([1, 2, 3, 0, 4, 5, 6, 0]))
try:
    ppm = b"P6 8 4 255\n" + bytes([255, 0, 0] * 16 + [0, 0, 255] * 16)
    jpeg = subprocess.run(["cjpeg", "-quality", "90"], input=ppm, capture_output=True, check=True).stdout
    exif = b"Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0"
    app1 = b"\xff\xe1" + struct.pack(">H", len(exif) + 2) + exif
    write("fuzz_pictures", "jpeg_plain", b"\3" + jpeg)
    write("fuzz_pictures", "jpeg_exif6", b"\3" + jpeg[:2] + app1 + jpeg[2:])
except (OSError, subprocess.CalledProcessError):
    pass  # the JPEG seeds are kept in the repository
