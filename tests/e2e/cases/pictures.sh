# shellcheck shell=bash
# The saved picture: each BMP depth with exact pixels, JPEG in colour and grey,
# enhanced and old-style metafiles rendered at 300 dpi of the paste's width.

case_bmp_depths_write_exact_pixels() {
  local item bits
  for item in 1031:1 1032:4 1033:8 1034:24; do
    bits="${item#*:}"
    new_case "bmp-$bits"
    host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" \
      --script "$(script "radio 1023" "radio ${item%:*}" "click 1")"
    expect_rc 0
    expect_exchange basic.txt
    expect_bmp "$DWG_DIR/plan_000.BMP" "$bits"
    case "$bits" in
      1) expect_same_bytes "$E2E/data/pic7x5-1bit.bmp" "$DWG_DIR/plan_000.BMP" ;;
      4) expect_same_bytes "$E2E/data/pic7x5-4bit.bmp" "$DWG_DIR/plan_000.BMP" ;;
      24) expect_same_bytes "$E2E/data/pic7x5.bmp" "$DWG_DIR/plan_000.BMP" ;;
    esac
    expect_no_file "$DWG_DIR/plan_000.JPG"
  done
}

case_jpeg_colour_keeps_red_and_blue_apart() {
  new_case jpeg-colour
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" \
    --script "$(script "radio 1024" "radio 1026" "set 1012 500" "click 1")"
  expect_rc 0
  expect_exchange basic-jpeg.txt
  expect_jpeg "$DWG_DIR/plan_000.JPG" 3
  if [[ -f "$DWG_DIR/plan_000.JPG" ]]; then
    local r g b
    read -r r g b <<<"$(jpeg_top_left "$DWG_DIR/plan_000.JPG")"
    [[ -n "$b" ]] && ((r > 200 && b < 60)) ||
      fail "top-left pixel of the JPEG is ($r, $g, $b), wanted red"
  fi
  # Quality 500 is stored as 100.
  [[ "$(sed -n 8p "$TOOL_DIR/zumorika.dat" 2>/dev/null)" == $'100\r' ]] ||
    fail "quality 500 was not stored as 100"
}

case_jpeg_grey_has_one_component() {
  new_case jpeg-grey
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" \
    --script "$(script "radio 1024" "radio 1025" "set 1012 0" "click 1")"
  expect_rc 0
  expect_exchange basic-jpeg.txt
  expect_jpeg "$DWG_DIR/plan_000.JPG" 1
  [[ "$(sed -n 8p "$TOOL_DIR/zumorika.dat" 2>/dev/null)" == $'1\r' ]] ||
    fail "quality 0 was not stored as 1"
}

# A 100 x 50 mm frame recorded on a 1024 x 768 pixel, 320 x 240 mm device:
# 320 x 160 pixels of its own; the top-left quarter painted black.
make_emf() {
  python3 - "$1" <<'PY'
import struct, sys
records = [
    struct.pack("<III", 37, 12, 0x80000000 | 4),        # SELECTOBJECT BLACK_BRUSH
    struct.pack("<II4i", 43, 24, 0, 0, 160, 80),        # RECTANGLE
    struct.pack("<IIIII", 14, 20, 0, 16, 20),           # EOF
]
size = 88 + sum(len(r) for r in records)
header = struct.pack("<II4i4iIIIIHHIIIiiii", 1, 88, 0, 0, 159, 79, 0, 0, 10000, 5000,
                     0x464D4520, 0x10000, size, 1 + len(records), 1, 0, 0, 0, 0,
                     1024, 768, 320, 240)
open(sys.argv[1], "wb").write(header + b"".join(records))
PY
}

# A placeable Windows metafile that paints nothing, 2 x 1 inches.
make_wmf() {
  python3 - "$1" <<'PY'
import struct, sys
body = struct.pack("<HHHIHIH", 1, 9, 0x300, 9 + 3, 0, 3, 0) + struct.pack("<IH", 3, 0)
head = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, 2880, 1440, 1440, 0)
check = 0
for (word,) in struct.iter_unpack("<H", head[:20]):
    check ^= word
open(sys.argv[1], "wb").write(head + struct.pack("<H", check) + body)
PY
}

# Pasted 20 mm wide (236 pixels at 300 dpi), fewer than its own 320: the
# picture keeps its own size. At the default 100 mm it is played 1181 pixels
# wide, and the reference is the same as for its own size.
case_enhanced_metafile_is_rendered_at_its_own_size() {
  local row width mm size expected x y
  for row in 20:320x160:emf-narrow.txt:300:150 100:1181x591:emf.txt:1100:550; do
    IFS=: read -r mm size expected x y <<<"$row"
    new_case "emf-$mm"
    make_emf "$CASE_DIR/picture.emf"
    host --exchange "$(exchange minimal.txt)" --clip-emf "$(winpath "$CASE_DIR/picture.emf")" \
      --script "$(script "radio 1034" "set 1013 $mm" "click 1")"
    expect_rc 0
    expect_exchange "$expected"
    width="${size%x*}"
    expect_bmp "$DWG_DIR/plan_000.BMP" 24 "$width" "${size#*x}"
    [[ -f "$DWG_DIR/plan_000.BMP" ]] || continue
    [[ "$(pixel "$DWG_DIR/plan_000.BMP" 10 10)" == "0 0 0" ]] ||
      fail "$mm mm: the painted quarter is not black: $(pixel "$DWG_DIR/plan_000.BMP" 10 10)"
    [[ "$(pixel "$DWG_DIR/plan_000.BMP" "$((width / 2 - 2))" 10)" == "0 0 0" ]] ||
      fail "$mm mm: the painted quarter does not reach the middle"
    [[ "$(pixel "$DWG_DIR/plan_000.BMP" "$x" "$y")" == "255 255 255" ]] ||
      fail "$mm mm: the unpainted part is not white: $(pixel "$DWG_DIR/plan_000.BMP" "$x" "$y")"
  done
}

# emf_own_size FILE: an enhanced metafile's own size in pixels, "W H": its
# frame scaled by the reference device, rounded as MulDiv rounds.
emf_own_size() {
  python3 - "$1" <<'PY'
import struct, sys
head = open(sys.argv[1], "rb").read(88)
left, top, right, bottom = struct.unpack_from("<4i", head, 24)
dev_x, dev_y, mm_x, mm_y = struct.unpack_from("<4i", head, 72)
muldiv = lambda a, b, c: (2 * a * b + c) // (2 * c)
print(muldiv(right - left, dev_x, mm_x * 100), muldiv(bottom - top, dev_y, mm_y * 100))
PY
}

# expect_reference TEXT: the returned image reference is TEXT.
expect_reference() {
  local line
  line="$(tr -d '\r' 2>/dev/null <"$CASE_DIR/out.txt" | tail -n 1)"
  [[ "${line#*\"}" == "$1" ]] || fail "the reference is not $1: $line"
}

# placed_height WIDTH OWN_W OWN_H: the height the reference gives a picture
# of that own size placed WIDTH millimetres wide (3 decimals, no zeros).
placed_height() {
  python3 -c '
import sys
from decimal import Decimal, ROUND_HALF_UP
w, ow, oh = (int(a) for a in sys.argv[1:])
h = Decimal(w * oh / ow).quantize(Decimal("0.001"), ROUND_HALF_UP).normalize()
print(format(h, "f"))' "$@"
}

# A table copied from an office program (grid lines, a grey header row,
# text) pasted 200 mm wide: saved 2362 pixels wide (300 dpi), as high as its
# own proportions give, byte for byte as jwc-host plays the same metafile at
# that size; the reference is that of its own size.
case_vector_picture_is_saved_at_print_resolution() {
  new_case emf-table
  local emf="$CASE_DIR/table.emf" own_w own_h height
  host --make-table-emf "$(winpath "$emf")" --exchange "$(exchange minimal.txt)" \
    --clip-emf "$(winpath "$emf")" --script "$(script "radio 1034" "set 1013 200" "click 1")"
  expect_rc 0
  [[ -f "$emf" ]] || { fail "jwc-host made no table.emf"; return; }
  read -r own_w own_h <<<"$(emf_own_size "$emf")"
  expect_reference "^@BMplan_000.BMP,200,$(placed_height 200 "$own_w" "$own_h")"
  height=$(((2 * own_h * 2362 + own_w) / (2 * own_w)))
  expect_bmp "$DWG_DIR/plan_000.BMP" 24 2362 "$height"
  timeout 60 wine "$HOST_EXE" --play-emf "$(winpath "$emf")" 2362 "$height" \
    "$(winpath "$CASE_DIR/played.bmp")" >>"$CASE_DIR/all.log" 2>&1 </dev/null 9>&- ||
    fail "jwc-host could not play the table"
  expect_same_bytes "$CASE_DIR/played.bmp" "$DWG_DIR/plan_000.BMP"
  # Not blank: the table's left line, 0.25 mm wide, 5 mm from the edge.
  [[ "$(pixel "$DWG_DIR/plan_000.BMP" 79 300 2>/dev/null)" == "0 0 0" ]] || fail "no grid line at x 79"
}

# A paste a kilometre wide stays within 64 million pixels (a 256 MB working
# image), keeping the table's proportions; the reference is that of its own
# size.
case_very_wide_vector_paste_stays_within_64_million_pixels() {
  new_case emf-wide
  local emf="$CASE_DIR/table.emf" own_w own_h width height
  host --make-table-emf "$(winpath "$emf")" --exchange "$(exchange minimal.txt)" \
    --clip-emf "$(winpath "$emf")" \
    --script "$(script "radio 1024" "radio 1025" "set 1012 1" "set 1013 999999" "click 1")"
  expect_rc 0
  [[ -f "$emf" && -f "$DWG_DIR/plan_000.JPG" ]] || { fail "no table.emf or no plan_000.JPG"; return; }
  read -r own_w own_h <<<"$(emf_own_size "$emf")"
  expect_reference "^@BMplan_000.JPG,999999,$(placed_height 999999 "$own_w" "$own_h")"
  # SOF0's height and width: the largest picture of the table's proportions.
  local size
  size="$(python3 -c 'import sys, struct; d = open(sys.argv[1], "rb").read()
print(*struct.unpack_from(">HH", d, d.find(b"\xff\xc0") + 5))' "$DWG_DIR/plan_000.JPG")"
  read -r height width <<<"$size"
  ((width * height <= 64000000 && width * height > 63000000 &&
    (2 * height - 2 * own_h * width / own_w) ** 2 <= 4)) ||
    fail "wide paste saved ${width}x$height, own size ${own_w}x$own_h"
}

case_old_metafile_picture_is_taken() {
  new_case wmf
  make_wmf "$CASE_DIR/picture.wmf"
  host --exchange "$(exchange minimal.txt)" --clip-wmf "$(winpath "$CASE_DIR/picture.wmf")" \
    --script "$(script "click 1")"
  expect_rc 0
  # The system converts it to an enhanced metafile; its pixel size is the
  # platform's, so only the picture's kind and the reference's start are fixed.
  grep -q '"^@BMplan_000.BMP,100,' "$CASE_DIR/out.txt" 2>/dev/null ||
    fail "no image reference came back: $(tr -d '\r' <"$CASE_DIR/out.txt" 2>/dev/null | tail -n 1)"
  [[ "$(head -c 2 "$DWG_DIR/plan_000.BMP" 2>/dev/null)" == BM ]] || { fail "no BMP written"; return; }
  # Like an enhanced one, it is played at 300 dpi of the 100 mm: 1181
  # pixels wide, as high as the reference's proportions.
  local placed width height
  placed="$(tr -d '\r' <"$CASE_DIR/out.txt" | tail -n 1 | sed 's/.*,//')"
  width="$(u32 "$DWG_DIR/plan_000.BMP" 18)"
  height="$(u32 "$DWG_DIR/plan_000.BMP" 22)"
  python3 -c 'import sys; w, h, p = map(float, sys.argv[1:]); sys.exit(w != 1181 or abs(h - 1181 * p / 100) > 1)' \
    "$width" "$height" "$placed" || fail "old-style metafile saved ${width}x$height, wanted 1181 wide, as high as ${placed} mm"
}

# A plain Windows metafile (no placeable header, so no size of its own) whose
# window extent is 200 x 100 and whose left half is painted black.
make_wmf_half_black() {
  python3 - "$1" <<'PY'
import struct, sys
def record(function, *params):
    return struct.pack("<IH", 3 + len(params), function) + struct.pack("<%dh" % len(params), *params)
records = (record(0x020B, 0, 0) + record(0x020C, 100, 200) +     # SETWINDOWORG, SETWINDOWEXT (y, x)
           struct.pack("<IHHIH", 7, 0x02FC, 0, 0, 0) +           # CREATEBRUSHINDIRECT solid black
           record(0x012D, 0) + record(0x041B, 100, 100, 0, 0) +  # SELECTOBJECT, RECTANGLE (b, r, t, l)
           record(0x0000))
words = 9 + len(records) // 2
open(sys.argv[1], "wb").write(struct.pack("<HHHIHIH", 1, 9, 0x300, words, 1, 7, 0) + records)
PY
}

# An old-style metafile picture that gives no size (METAFILEPICT's extents
# negative: a ratio alone; or zero: nothing) is 100 mm on its longer side
# with its ratio: from the extents, else from its window extent. It is
# played at 300 dpi of the paste's 100 mm as any metafile, not stretched to
# the whole screen (1280 x 1023 before, placed 100 x 79.9 mm). One that
# gives its size (40 x 20 mm) is converted by the system as before.
case_old_metafile_picture_without_size_keeps_its_ratio() {
  local row extents ratio placed width height
  for row in 8,0,0:0.5 7,-2,-1:0.5 8,-3,-3:1 8,4000,2000:0.5; do
    IFS=: read -r extents ratio <<<"$row"
    new_case "wmf-unsized-${extents//,/_}"
    make_wmf_half_black "$CASE_DIR/picture.wmf"
    host --exchange "$(exchange minimal.txt)" --clip-wmf "$(winpath "$CASE_DIR/picture.wmf")" \
      --clip-wmf-extents "$extents" --script "$(script "radio 1034" "click 1")"
    expect_rc 0
    [[ "$(head -c 2 "$DWG_DIR/plan_000.BMP" 2>/dev/null)" == BM ]] || { fail "$extents: no BMP written"; continue; }
    placed="$(tr -d '\r' <"$CASE_DIR/out.txt" | tail -n 1 | sed 's/.*,//')"
    width="$(u32 "$DWG_DIR/plan_000.BMP" 18)"
    height="$(u32 "$DWG_DIR/plan_000.BMP" 22)"
    python3 -c 'import sys; w, h, p, r = map(float, sys.argv[1:])
sys.exit(w != 1181 or abs(p - 100 * r) > 0.5 or abs(h - 1181 * p / 100) > 1)' \
      "$width" "$height" "$placed" "$ratio" ||
      fail "$extents: saved ${width}x$height placed 100 x $placed mm, wanted 1181 wide in a ratio of $ratio"
    [[ "$(pixel "$DWG_DIR/plan_000.BMP" 100 "$((height / 2))")" == "0 0 0" ]] ||
      fail "$extents: the left half is not black"
    [[ "$(pixel "$DWG_DIR/plan_000.BMP" 1100 "$((height / 2))")" == "255 255 255" ]] ||
      fail "$extents: the right half is not white"
  done
}

# An enhanced metafile whose frame's edges lie 4 * 10^9 hundredths of a
# millimetre apart (-2 * 10^9 to 2 * 10^9, more than a 32-bit difference
# holds) on a device of 1024 x 768 pixels and 3.2 x 2.4 km: 12800 x 320
# pixels of its own, kept at a 100 mm paste. Its 32-bit difference was
# negative: an empty picture.
case_metafile_frame_wider_than_32_bits_keeps_its_size() {
  new_case emf-frame64
  python3 - "$CASE_DIR/wide.emf" <<'PY'
import struct, sys
records = [
    struct.pack("<III", 37, 12, 0x80000000 | 4),            # SELECTOBJECT BLACK_BRUSH
    struct.pack("<II4i", 43, 24, -6400, 0, 0, 320),         # RECTANGLE, the left half
    struct.pack("<IIIII", 14, 20, 0, 16, 20),               # EOF
]
size = 88 + sum(len(r) for r in records)
header = struct.pack("<II4i4iIIIIHHIIIiiii", 1, 88, -6400, 0, 6399, 319,
                     -2000000000, 0, 2000000000, 100000000,
                     0x464D4520, 0x10000, size, 1 + len(records), 1, 0, 0, 0, 0,
                     1024, 768, 3200000, 2400000)
open(sys.argv[1], "wb").write(header + b"".join(records))
PY
  host --exchange "$(exchange minimal.txt)" --clip-emf "$(winpath "$CASE_DIR/wide.emf")" \
    --script "$(script "radio 1034" "click 1")"
  expect_rc 0
  expect_reference "^@BMplan_000.BMP,100,2.5"
  # Wine's own playing subtracts the edges in 32 bits too: only the size is
  # checked, not what it draws.
  expect_bmp "$DWG_DIR/plan_000.BMP" 24 12800 320
}
