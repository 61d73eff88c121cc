# shellcheck shell=bash
# Clipboard data whose fields disagree with its bytes, as careless or old
# programs place it: read as Windows reads it, never past its end.

# make_hostile_dibs DIR: for each NAME in HOSTILE_DIBS a BMP file whose
# DIB --clip-bmp places as CF_DIB byte for byte (DIR/NAME.bmp), the 24-bit
# BMP the tool must save from it, as GDI reads the DIB (DIR/NAME-saved.bmp),
# and the picture's placed height at 100 mm wide (DIR/NAME.height).
HOSTILE_DIBS=(rle8-size-past-block rle4-size-0 core-taller-than-32767 v5-profile-after-bits
              clrused-300)
make_hostile_dibs() {
  python3 - "$1" <<'PY'
import struct, sys
out = sys.argv[1]
def pad(row):
    return row + bytes(-len(row) % 4)
def info(w, h, bits, compression, size_image, used, size=40):
    return struct.pack("<IiiHHIIiiII", size, w, h, 1, bits, compression, size_image, 0, 0, used, 0)
def quads(table):
    return b"".join(struct.pack("<4B", b, g, r, 0) for r, g, b in table)
def put(name, dib, pixels, height):
    w, h = len(pixels[0]), len(pixels)
    open("%s/%s.bmp" % (out, name), "wb").write(b"BM" + struct.pack("<IHHI", 14 + len(dib), 0, 0, 0) + dib)
    rows = b"".join(pad(b"".join(bytes((b, g, r)) for r, g, b in row)) for row in reversed(pixels))
    open("%s/%s-saved.bmp" % (out, name), "wb").write(
        b"BM" + struct.pack("<IHHI", 54 + len(rows), 0, 0, 54) +
        struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 0, 0, 0, 0) + rows)
    open("%s/%s.height" % (out, name), "w").write(height)
black = (0, 0, 0)
# 1068 bytes: 64 x 30000, 8 bits, four bytes of runs (two pixels of colour
# 1, end of line) and biSizeImage 0x7FFFFFF0. The runs stop early: the rest
# stays black.
table = [(i, 255 - i, i * 3 % 256) for i in range(256)]
pixels = [[black] * 64 for _ in range(30000)]
pixels[-1][0] = pixels[-1][1] = table[1]
put("rle8-size-past-block", info(64, 30000, 8, 1, 0x7FFFFFF0, 0) + quads(table) + b"\x02\x01\x00\x00",
    pixels, "46875")
# 7 x 5, 4 bits, biSizeImage 0: each stored row a run of 7 alternating
# colours, end of line; then the end.
table = [(i * 16, 200 - i * 12, 255 - i * 16) for i in range(16)]
runs, pixels = b"", []
for y in range(5):
    a, b = y + 1, y + 9
    runs += bytes((7, a << 4 | b, 0, 0))
    pixels.insert(0, [table[a if x % 2 == 0 else b] for x in range(7)])
put("rle4-size-0", info(7, 5, 4, 2, 0, 16) + quads(table) + runs + b"\0\1", pixels, "71.429")
# A core header's bcHeight is a WORD: 2 x 40000, bottom-up.
table = [(200, 30, 60), (20, 220, 90)]
stored = [((r % 2), (r // 7 % 2)) for r in range(40000)]
bits = b"".join(bytes((p0 << 7 | p1 << 6, 0, 0, 0)) for p0, p1 in stored)
core = struct.pack("<IHHHH", 12, 2, 40000, 1, 1) + b"".join(bytes((b, g, r)) for r, g, b in table)
put("core-taller-than-32767", core + bits,
    [[table[p0], table[p1]] for p0, p1 in reversed(stored)], "2000000")
# A V5 header with bit fields and a linked profile, whose name follows the
# bits (12 bytes): red, green, blue, white.
v5 = bytearray(info(4, 1, 32, 3, 16, 0, size=124) + bytes(84))
struct.pack_into("<III", v5, 40, 0xFF0000, 0xFF00, 0xFF)
struct.pack_into("<I", v5, 56, 0x4C494E4B)  # PROFILE_LINKED
struct.pack_into("<II", v5, 112, 124 + 16, 12)
put("v5-profile-after-bits",
    bytes(v5) + struct.pack("<4I", 0xFF0000, 0xFF00, 0xFF, 0xFFFFFF) + b"C:\\srgb.icm\0",
    [[(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)]], "25")
# 7 x 5, 8 bits, biClrUsed 300: GDI takes 256 entries and the bits after
# them; 176 bytes follow, so that 300 entries would fit as well.
table = [(i, i * 5 % 256, 255 - i) for i in range(256)]
index = [[(x * 31 + y * 17) % 256 for x in range(7)] for y in range(5)]
bits = b"".join(pad(bytes(row)) for row in reversed(index))
put("clrused-300", info(7, 5, 8, 0, 0, 300) + quads(table) + bits + bytes(176),
    [[table[i] for i in row] for row in index], "71.429")
PY
}

# Each hostile DIB is the picture Windows makes of it: runs read from the
# block's bytes only (a length past the block or 0 means up to its end, and
# what the runs do not reach is black), a core header up to 65535 rows high
# and upright, the bits where GDI starts them (never a profile's bytes, and
# after at most 256 colours). CF_BITMAP, which the system would make by the
# block's own lengths, is never asked for.
case_hostile_dibs_are_read_as_windows_reads_them() {
  local name dibs
  new_case hostile-dibs
  dibs="$CASE_DIR"
  make_hostile_dibs "$dibs"
  for name in "${HOSTILE_DIBS[@]}"; do
    new_case "hostile-dib-$name"
    host --exchange "$(exchange minimal.txt)" \
      "--clip-bmp-bitmap-on-request=$(winpath "$dibs/$name.bmp")" \
      --script "$(script "radio 1023" "radio 1034" "click 1")"
    expect_rc 0
    expect_same_bytes "$dibs/$name-saved.bmp" "$DWG_DIR/plan_000.BMP"
    grep -qaF "\"^@BMplan_000.BMP,100,$(cat "$dibs/$name.height")" "$CASE_DIR/out.txt" ||
      fail "$name: the reference is not 100 x $(cat "$dibs/$name.height") mm ($(grep -a '@BM' "$CASE_DIR/out.txt"))"
    grep -qxF "clipboard: CF_BITMAP asked for: no" "$CASE_DIR/host.log" ||
      fail "$name: CF_BITMAP was asked for"
  done
}

# A DIB whose rows are cut short (a 7 x 5 24-bit picture less its last 40
# bytes) is refused as the window opens: the system, asked for CF_BITMAP,
# would make it by the header's lengths and read past the block. It never
# is asked; OK is then refused as without a picture, and nothing is saved.
case_dib_cut_short_is_refused_and_not_left_to_the_system() {
  new_case dib-cut-short
  head -c "$(($(stat -c %s "$E2E/data/pic7x5.bmp") - 40))" "$E2E/data/pic7x5.bmp" >"$CASE_DIR/cut.bmp"
  host --exchange "$(exchange minimal.txt)" "--clip-bmp-bitmap-on-request=$(winpath "$CASE_DIR/cut.bmp")" \
    --script "$(script "expect-open" "click 1" "message クリップボード画像がありません" "expect-open" \
                       "click 2")"
  expect_rc 0
  expect_message "未対応のクリップボード データです."
  expect_message クリップボード画像がありません
  expect_exchange nothing.txt
  [[ -z "$(ls -A "$DWG_DIR")" ]] || fail "a picture was written: $(ls "$DWG_DIR")"
  grep -qxF "clipboard: CF_BITMAP asked for: no" "$CASE_DIR/host.log" ||
    fail "CF_BITMAP was asked for"
}
