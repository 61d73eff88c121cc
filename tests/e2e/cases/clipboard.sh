# shellcheck shell=bash
# The clipboard as real programs leave it: a browser's, a paint program's and
# a Linux program's pictures, files copied in Explorer, and a clipboard held
# by another program while the tool starts.

# make_alpha_pictures DIR: one 4 x 2 picture with straight alpha, as
# DIR/alpha.bmp (BITMAPV5HEADER, alpha mask 0xFF000000), DIR/alpha.png
# (compressed RGBA) and DIR/alpha-rgba.bmp (BITMAPV5HEADER, alpha in the low
# byte: red 0xFF000000 ... alpha 0x000000FF); and DIR/alpha16i.png, three
# copies of it one above the other, 16-bit and interlaced (each sample v as
# v * 257, with the sRGB curve's gAMA, so it reads back to the same 8 bits).
# ALPHA_ON_WHITE lists what each pixel must become on white, "X Y B G R" as
# `pixel` prints it.
make_alpha_pictures() {
  python3 - "$1" <<'PY'
import struct, sys, zlib
rows = [[(255, 0, 0, 0), (200, 100, 50, 128), (0, 0, 255, 255), (0, 255, 0, 255)],
        [(10, 20, 30, 200), (255, 255, 255, 255), (0, 0, 0, 255), (90, 60, 30, 64)]]
w, h = 4, 2
bits = b"".join(struct.pack("<4B", b, g, r, a) for row in reversed(rows) for r, g, b, a in row)
v5 = struct.pack("<IiiHHIIiiII4I", 124, w, h, 1, 32, 3, len(bits), 3780, 3780, 0, 0,
                 0xFF0000, 0xFF00, 0xFF, 0xFF000000)
v5 += struct.pack("<I", 0x73524742) + bytes(48) + struct.pack("<I", 4) + bytes(12)
open(sys.argv[1] + "/alpha.bmp", "wb").write(
    b"BM" + struct.pack("<IHHI", 14 + len(v5) + len(bits), 0, 0, 14 + len(v5)) + v5 + bits)
bits = b"".join(struct.pack("<4B", a, b, g, r) for row in reversed(rows) for r, g, b, a in row)
v5 = v5[:40] + struct.pack("<4I", 0xFF000000, 0xFF0000, 0xFF00, 0xFF) + v5[56:]
open(sys.argv[1] + "/alpha-rgba.bmp", "wb").write(
    b"BM" + struct.pack("<IHHI", 14 + len(v5) + len(bits), 0, 0, 14 + len(v5)) + v5 + bits)
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows)
open(sys.argv[1] + "/alpha.png", "wb").write(
    b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
    chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
# Three rows or more: in two, the mixing of passes libpng's simplified
# reader does to such files happens not to show.
rows, h = rows * 3, h * 3
adam7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
passes = [[b"".join(struct.pack(">4H", *(c * 257 for c in rows[y][x])) for x in range(x0, w, dx))
           for y in range(y0, h, dy)] for x0, y0, dx, dy in adam7]
raw = b"".join(b"\0" + row for rows_of_pass in passes for row in rows_of_pass if row)
open(sys.argv[1] + "/alpha16i.png", "wb").write(
    b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 16, 6, 0, 0, 1)) +
    chunk(b"gAMA", struct.pack(">I", 45455)) + chunk(b"IDAT", zlib.compress(raw, 9)) +
    chunk(b"IEND", b""))
PY
}

# Straight colour over white: round(C * A / 255) + 255 - A. The transparent
# corner is red underneath; (200,100,50) at 128 gives 227,177,152; (10,20,30)
# at 200 gives 63,71,79 (truncating would give 62); opaque pixels stay.
ALPHA_ON_WHITE=("0 0 255 255 255" "1 0 152 177 227" "2 0 255 0 0" "3 0 0 255 0"
                "0 1 79 71 63" "1 1 255 255 255" "2 1 0 0 0" "3 1 199 206 214")

# expect_pixels FILE "X Y B G R"...: exact pixels of a 24-bit BMP.
expect_pixels() {
  local f="$1" p got x y want
  shift
  [[ -f "$f" ]] || { fail "missing file ${f#"$CASE_DIR"/}"; return; }
  for p in "$@"; do
    read -r x y want <<<"$p"
    got="$(pixel "$f" "$x" "$y")"
    [[ "$got" == "$want" ]] || fail "${f##*/}: pixel ($x, $y) is $got, wanted $want (B G R)"
  done
}

# make_jpeg FILE ORIENTATION PLACE: a 16 x 8 JPEG, left half red, right half
# blue, with an EXIF orientation; PLACE "first" puts a big-endian APP1 right
# after SOI (as cameras write it), "after-jfif" a little-endian one after
# the JFIF segment (as some editors keep it).
make_jpeg() {
  python3 -c '
import sys
w, h = 16, 8
row = bytes([255, 0, 0] * (w // 2) + [0, 0, 255] * (w // 2))
sys.stdout.buffer.write(b"P6 %d %d 255\n" % (w, h) + row * h)' >"$1.ppm"
  cjpeg -quality 100 -sample 1x1 "$1.ppm" >"$1.plain" || { fail "cjpeg failed"; return; }
  python3 - "$1" "$2" "$3" <<'PY'
import struct, sys
path, orientation, place = sys.argv[1], int(sys.argv[2]), sys.argv[3]
e = ">" if place == "first" else "<"
tiff = (b"MM\0\x2a" if e == ">" else b"II\x2a\0") + struct.pack(e + "I", 8)
tiff += struct.pack(e + "HHHIHHI", 1, 0x0112, 3, 1, orientation, 0, 0)
app1 = b"Exif\0\0" + tiff
segment = b"\xff\xe1" + struct.pack(">H", len(app1) + 2) + app1
data = open(path + ".plain", "rb").read()
assert data[2:4] == b"\xff\xe0"
at = 2 if place == "first" else 4 + struct.unpack(">H", data[4:6])[0]
open(path, "wb").write(data[:at] + segment + data[at:])
PY
}

# expect_near FILE X Y "B G R": a pixel within 24 of each value (a JPEG's).
expect_near() {
  local got b g r wb wg wr
  got="$(pixel "$1" "$2" "$3")"
  read -r b g r <<<"$got"
  read -r wb wg wr <<<"$4"
  if [[ -z "$r" ]] || ((b - wb > 24 || wb - b > 24 || g - wg > 24 || wg - g > 24 ||
                        r - wr > 24 || wr - r > 24)); then
    fail "${1##*/}: pixel ($2, $3) is $got, wanted about $4 (B G R)"
  fi
}

# A browser's "Copy image" (Chrome, Edge: "PNG" then a premultiplied
# CF_DIBV5; Firefox adds a premultiplied CF_DIB): the system's CF_BITMAP
# comes first among the picture formats, yet the pixels come from the DIB,
# composed on white, not from a bitmap that dropped the alpha.
case_browser_picture_is_composed_on_white() {
  local option
  for option in --clip-browser --clip-browser-dib; do
    new_case "browser${option#--clip-browser}"
    make_alpha_pictures "$CASE_DIR"
    host --exchange "$(exchange minimal.txt)" "$option=$(winpath "$CASE_DIR/alpha.bmp")" \
      --script "$(script "radio 1034" "click 1")"
    expect_rc 0
    expect_exchange emf.txt  # a picture twice as wide as high
    expect_bmp "$DWG_DIR/plan_000.BMP" 24 4 2
    expect_pixels "$DWG_DIR/plan_000.BMP" "${ALPHA_ON_WHITE[@]}"
  done
}

# A paint program's 32-bit CF_DIB whose fourth bytes are all 0 is opaque:
# the picture is saved as from any bitmap, not as a transparent one.
case_paint_program_dib_with_zero_fourth_bytes_is_opaque() {
  new_case paint
  host --exchange "$(exchange minimal.txt)" "--clip-paint=$(winpath "$E2E/data/pic7x5.bmp")" \
    --script "$(script "radio 1034" "click 1")"
  expect_rc 0
  expect_exchange basic.txt
  expect_same_bytes "$E2E/data/pic7x5.bmp" "$DWG_DIR/plan_000.BMP"
}

# A PNG alone (Wine's mapping of image/png copied in a Linux program):
# decoded and composed on white as straight colour.
case_png_alone_is_composed_on_white() {
  new_case png-alone
  make_alpha_pictures "$CASE_DIR"
  host --exchange "$(exchange minimal.txt)" "--clip-png=$(winpath "$CASE_DIR/alpha.png")" \
    --script "$(script "radio 1034" "click 1")"
  expect_rc 0
  expect_exchange emf.txt
  expect_bmp "$DWG_DIR/plan_000.BMP" 24 4 2
  expect_pixels "$DWG_DIR/plan_000.BMP" "${ALPHA_ON_WHITE[@]}"
}

# One picture file copied in Explorer is read, its extension in any case; a
# JPEG stands upright as its EXIF orientation says (6: turned a quarter
# clockwise, 8: anticlockwise), so its 16 x 8 pixels are saved as 8 x 16.
# A 16-bit interlaced PNG is the same picture as an 8-bit one, and a BMP
# whose masks put alpha in the low byte is composed on white by them.
case_copied_picture_file_is_read() {
  local row name orientation place
  for row in Picture.Png:alpha PIC.BMP:bmp photo.JPG:6:first photo.jpeg:8:after-jfif \
             deep.png:alpha16i masks.bmp:alpha-rgba; do
    name="${row%%:*}"
    new_case "copied-${name,,}"
    make_alpha_pictures "$CASE_DIR"
    case "$row" in
      *:alpha) cp "$CASE_DIR/alpha.png" "$CASE_DIR/$name" ;;
      *:alpha16i) cp "$CASE_DIR/alpha16i.png" "$CASE_DIR/$name" ;;
      *:alpha-rgba) cp "$CASE_DIR/alpha-rgba.bmp" "$CASE_DIR/$name" ;;
      *:bmp) cp "$E2E/data/pic7x5.bmp" "$CASE_DIR/$name" ;;
      *) IFS=: read -r _ orientation place <<<"$row"
         make_jpeg "$CASE_DIR/$name" "$orientation" "$place" ;;
    esac
    host --exchange "$(exchange minimal.txt)" "--clip-files=$(winpath "$CASE_DIR/$name")" \
      --script "$(script "radio 1034" "click 1")"
    expect_rc 0
    local saved="$DWG_DIR/plan_000.BMP"
    case "$row" in
      *:alpha|*:alpha-rgba) expect_exchange emf.txt
                            expect_pixels "$saved" "${ALPHA_ON_WHITE[@]}" ;;
      *:alpha16i) tr -d '\r' 2>/dev/null <"$CASE_DIR/out.txt" | grep -q '"^@BMplan_000.BMP,100,150$' ||
                    fail "$name: the reference is not of a 4 x 6 picture"
                  expect_bmp "$saved" 24 4 6
                  local copy p x y bgr
                  for copy in 0 2 4; do
                    for p in "${ALPHA_ON_WHITE[@]}"; do
                      read -r x y bgr <<<"$p"
                      expect_pixels "$saved" "$x $((y + copy)) $bgr"
                    done
                  done ;;
      *:bmp) expect_exchange basic.txt
             expect_same_bytes "$E2E/data/pic7x5.bmp" "$saved" ;;
      *) tr -d '\r' 2>/dev/null <"$CASE_DIR/out.txt" | grep -q '"^@BMplan_000.BMP,100,200$' ||
           fail "$name: the reference is not of an upright 8 x 16 picture: $(tail -c 40 "$CASE_DIR/out.txt" 2>/dev/null)"
         expect_bmp "$saved" 24 8 16
         [[ -f "$saved" ]] || continue
         # Red was on the left: turned clockwise it is on top.
         local top="0 0 255" bottom="255 0 0"
         [[ $orientation == 8 ]] && { top="255 0 0"; bottom="0 0 255"; }
         expect_near "$saved" 4 3 "$top"
         expect_near "$saved" 4 12 "$bottom" ;;
    esac
  done
}

# Copied files that give no picture: the message (with the file's path on a
# second line where there is one file) comes as the window opens, the window
# stays, OK is then refused as without a picture, and nothing is saved. The
# error box ends its text with a full stop, after the path too; jwc-host
# prints a line break inside a message as \n.
case_copied_files_that_give_no_picture_are_reported() {
  local several="ファイルが複数コピーされています。画像ファイルを 1 つだけコピーしてください"
  local row name text
  for row in "two:$several" "notes.txt:コピーされたファイルは PNG, BMP, JPEG の画像ファイルではありません" \
             "missing.png:コピーされたファイルを開けません" \
             "broken.jpg:コピーされたファイルを画像として読み込めません"; do
    name="${row%%:*}"
    text="${row#*:}"
    new_case "copied-refused-$name"
    local files=()
    if [[ $name == two ]]; then
      make_alpha_pictures "$CASE_DIR"
      files=("--clip-files=$(winpath "$CASE_DIR/alpha.png")" "--clip-files=$(winpath "$CASE_DIR/alpha.bmp")")
    else
      [[ $name == missing.png ]] || printf 'not a picture\n' >"$CASE_DIR/$name"
      files=("--clip-files=$(winpath "$CASE_DIR/$name")")
    fi
    # jwc-host answers a box that comes before the window itself.
    host --exchange "$(exchange minimal.txt)" "${files[@]}" --script "$(script \
      "expect-open" "click 1" "message クリップボード画像がありません" "expect-open" "click 2")"
    expect_rc 0
    [[ $name == two ]] || text+="\\n「$(winpath "$CASE_DIR/$name")」"
    grep -qxF "message: $text." "$CASE_DIR/host.log" ||
      fail "$name: no message box saying $text.: $(head -c 300 "$CASE_DIR/host.log")"
    expect_message クリップボード画像がありません
    expect_exchange nothing.txt
    [[ -z "$(ls -A "$DWG_DIR")" ]] || fail "$name: a picture was written: $(ls "$DWG_DIR")"
  done
}

# Another program holding the clipboard while the tool starts: the error is
# shown, the drawing's name is shown all the same (it kept its designed
# caption "LabelB1" before) and the window opens. OK is then refused as if
# there were no picture, even once the clipboard is free again.
case_clipboard_held_at_start_is_reported_and_the_window_still_opens() {
  new_case clip-held
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --clip-held \
    --script "$(script "expect-text 1072 ${DWG_WIN}plan.jww" "click 1" \
                "message クリップボード画像がありません" "expect-open" "click 2")"
  expect_rc 0
  expect_message "クリップボードを開くことができません."
  expect_exchange nothing.txt
  expect_no_file "$TOOL_DIR/zumorika.dat"
  [[ -z "$(ls -A "$DWG_DIR")" ]] || fail "a picture was written: $(ls "$DWG_DIR")"
}

# A clipboard tool holding the clipboard for a moment as the tool starts:
# the tool waits for it and pastes as usual, with no message box.
case_clipboard_busy_for_a_moment_at_start_is_waited_for() {
  new_case clip-busy
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --clip-held-for 400 \
    --script "$(script "click 1")"
  expect_rc 0
  expect_exchange basic.txt
  expect_bmp "$DWG_DIR/plan_000.BMP" 8
}

# make_own_dibs DIR: a 7 x 5 picture as a BMP file of each depth a program
# may place as CF_DIB (DIR/NAME.bmp, NAME in OWN_DIBS), and for each the
# 24-bit BMP the tool must save (DIR/NAME-saved.bmp): a palette picture's
# own colours, 16-bit channels at 0 or full (whose widening to 8 bits is
# the same on every system), runs that cover every pixel.
OWN_DIBS=(1bit 4bit 8bit-top-down 16bit 16bit-565 24bit 32bit-bitfields rle8 rle4)
make_own_dibs() {
  python3 - "$1" <<'PY'
import struct, sys
out, w, h = sys.argv[1], 7, 5
def bmp(bits, rows_bytes, table=(), compression=0, masks=(), top_down=False, size=None):
    info = struct.pack("<IiiHHIIiiII", 40, w, -h if top_down else h, 1, bits, compression,
                       size if size is not None else len(rows_bytes), 0, 0, len(table), 0)
    extra = b"".join(struct.pack("<I", m) for m in masks)
    extra += b"".join(struct.pack("<4B", b, g, r, 0) for r, g, b in table)
    head = 14 + len(info) + len(extra)
    return b"BM" + struct.pack("<IHHI", head + len(rows_bytes), 0, 0, head) + info + extra + rows_bytes
def pad(row):
    return row + bytes(-len(row) % 4)
def pack(indexes, bits):
    data, acc, n = bytearray(), 0, 0
    for i in indexes:
        acc, n = acc << bits | i, n + bits
        if n == 8:
            data.append(acc); acc, n = 0, 0
    if n:
        data.append(acc << (8 - n))
    return bytes(data)
def stored(rows, top_down=False):
    return b"".join(pad(r) for r in (rows if top_down else list(reversed(rows))))
def saved(name, pixels):
    rows = stored([b"".join(bytes((b, g, r)) for r, g, b in row) for row in pixels])
    open("%s/%s-saved.bmp" % (out, name), "wb").write(
        b"BM" + struct.pack("<IHHI", 54 + len(rows), 0, 0, 54) +
        struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 0, 0, 0, 0) + rows)
def put(name, data, pixels):
    open("%s/%s.bmp" % (out, name), "wb").write(data)
    saved(name, pixels)
def paletted(name, bits, table, index, top_down=False):
    idx = [[index(x, y) for x in range(w)] for y in range(h)]
    put(name, bmp(bits, stored([pack(r, bits) for r in idx], top_down), table, top_down=top_down),
        [[table[i] for i in r] for r in idx])
paletted("1bit", 1, [(30, 60, 90), (200, 150, 100)], lambda x, y: (x + y) % 2)
paletted("4bit", 4, [(i * 16, 255 - i * 16, i * 8) for i in range(16)], lambda x, y: (x * 3 + y) % 16)
paletted("8bit-top-down", 8, [(i, i * 7 % 256, 255 - i) for i in range(256)],
         lambda x, y: (x * 37 + y * 11) % 256, top_down=True)
full = lambda on: 255 if on else 0
rgb = [[(full(x % 2), full(y % 2), full((x + y) % 3 == 0)) for x in range(w)] for y in range(h)]
put("16bit", bmp(16, stored([b"".join(struct.pack("<H", (r & 31) << 10 | (g & 31) << 5 | (b & 31))
                                      for r, g, b in row) for row in rgb])), rgb)
put("16bit-565", bmp(16, stored([b"".join(struct.pack("<H", (r & 31) << 11 | (g & 63) << 5 | (b & 31))
                                          for r, g, b in row) for row in rgb]),
                     compression=3, masks=(0xF800, 0x07E0, 0x001F)), rgb)
colours = [[((x * 40 + y) % 256, (y * 50 + 3) % 256, (x * y * 9 + 7) % 256) for x in range(w)]
           for y in range(h)]
put("24bit", bmp(24, stored([b"".join(bytes((b, g, r)) for r, g, b in row) for row in colours])),
    colours)
put("32bit-bitfields", bmp(32, stored([b"".join(bytes((b, g, r, 0)) for r, g, b in row)
                                      for row in colours]),
                          compression=3, masks=(0xFF0000, 0xFF00, 0xFF)), colours)
def runs(name, bits, table, compression):
    # Each stored row: a run of 4, 3 literal pixels, end of line; then the end.
    data, idx = bytearray(), []
    for y in range(h):
        a, b = (y * 10 + 1) % len(table), (y * 10 + 2) % len(table)
        literal = [(y + 3) % len(table), (y + 4) % len(table), (y + 5) % len(table)]
        if bits == 8:
            data += bytes((4, a, 0, 3)) + bytes(literal) + b"\0" + bytes((0, 0))
            row = [a] * 4 + literal
        else:
            data += bytes((4, a << 4 | b, 0, 3)) + pack(literal + [0], 4) + bytes((0, 0))
            row = [a, b, a, b] + literal
        idx.insert(0, row)
    data += bytes((0, 1))
    put(name, bmp(bits, bytes(data), table, compression=compression),
        [[table[i] for i in r] for r in idx])
runs("rle8", 8, [(i, 255 - i, i * 3 % 256) for i in range(256)], 1)
runs("rle4", 4, [(i * 16, i * 5, 255 - i * 16) for i in range(16)], 2)
PY
}

# The source program's own DIB is the picture, at every depth: saved with
# the colours the DIB gives, and CF_BITMAP, which the system would make from
# it, is never asked for (jwc-host offers it by delayed rendering).
case_own_dib_of_each_depth_is_the_picture() {
  local name dibs
  new_case own-dibs
  dibs="$CASE_DIR"
  make_own_dibs "$dibs"
  for name in "${OWN_DIBS[@]}"; do
    new_case "own-dib-$name"
    host --exchange "$(exchange minimal.txt)" \
      "--clip-bmp-bitmap-on-request=$(winpath "$dibs/$name.bmp")" \
      --script "$(script "radio 1023" "radio 1034" "click 1")"
    expect_rc 0
    expect_exchange basic.txt
    expect_same_bytes "$dibs/$name-saved.bmp" "$DWG_DIR/plan_000.BMP"
    grep -qxF "clipboard: CF_BITMAP asked for: no" "$CASE_DIR/host.log" ||
      fail "$name: CF_BITMAP was asked for ($(grep 'CF_BITMAP' "$CASE_DIR/host.log"))"
  done
}

# make_grey16 DIR: DIR/grey16.png and DIR/grey16i.png (interlaced), 3 x 1,
# 16-bit grey of levels 32, 64 and 128 (each v * 257), no gAMA, sRGB, iCCP
# or cICP: nothing says how the samples are coded.
make_grey16() {
  python3 - "$1" <<'PY'
import struct, sys, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
for name, interlace, raw in (("grey16", 0, b"\0" + b"".join(struct.pack(">H", v * 257) for v in (32, 64, 128))),
                             # Adam7 keeps x 0, 2 and 1 of a 3 x 1 picture in passes 1, 4, 6.
                             ("grey16i", 1, b"".join(b"\0" + struct.pack(">H", v * 257) for v in (32, 128, 64)))):
    open("%s/%s.png" % (sys.argv[1], name), "wb").write(
        b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 3, 1, 16, 0, 0, 0, interlace)) +
        chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
PY
}

# A 16-bit PNG that says nothing of its colours is sRGB, as browsers show it:
# levels 32, 64 and 128 stay 32, 64 and 128 (taken as linear light they
# became 99, 136 and 186), whether it is on the clipboard as "PNG" or copied
# as a file, interlaced or not.
case_sixteen_bit_png_without_colour_chunk_is_srgb() {
  local row file option
  for row in grey16:--clip-png grey16i:--clip-png grey16:--clip-files grey16i:--clip-files; do
    IFS=: read -r file option <<<"$row"
    new_case "$file${option#--clip}"
    make_grey16 "$CASE_DIR"
    host --exchange "$(exchange minimal.txt)" "$option=$(winpath "$CASE_DIR/$file.png")" \
      --script "$(script "radio 1034" "click 1")"
    expect_rc 0
    expect_bmp "$DWG_DIR/plan_000.BMP" 24 3 1
    expect_pixels "$DWG_DIR/plan_000.BMP" "0 0 32 32 32" "1 0 64 64 64" "2 0 128 128 128"
  done
}
