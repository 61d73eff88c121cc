# shellcheck shell=bash
# The saved picture: each BMP depth with exact pixels, JPEG in colour and grey,
# enhanced and old-style metafiles rendered.

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

case_enhanced_metafile_is_rendered_at_its_own_size() {
  new_case emf
  make_emf "$CASE_DIR/picture.emf"
  host --exchange "$(exchange minimal.txt)" --clip-emf "$(winpath "$CASE_DIR/picture.emf")" \
    --script "$(script "radio 1034" "click 1")"
  expect_rc 0
  expect_exchange emf.txt
  expect_bmp "$DWG_DIR/plan_000.BMP" 24 320 160
  if [[ -f "$DWG_DIR/plan_000.BMP" ]]; then
    [[ "$(pixel "$DWG_DIR/plan_000.BMP" 10 10)" == "0 0 0" ]] ||
      fail "the painted quarter is not black: $(pixel "$DWG_DIR/plan_000.BMP" 10 10)"
    [[ "$(pixel "$DWG_DIR/plan_000.BMP" 300 150)" == "255 255 255" ]] ||
      fail "the unpainted part is not white: $(pixel "$DWG_DIR/plan_000.BMP" 300 150)"
  fi
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
  [[ "$(head -c 2 "$DWG_DIR/plan_000.BMP" 2>/dev/null)" == BM ]] || fail "no BMP written"
}
