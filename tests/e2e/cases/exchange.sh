# shellcheck shell=bash
# The exchange file handed back to the host: the records of OK at each base
# point and angle, from a host-style file, with Shift-JIS names; "hq" however
# the window closes without OK; a tool folder that cannot take the file.
# Common steps: the test picture on the clipboard, the minimal drawing.

case_ok_each_base_point_at_30_degrees() {
  local b
  for b in 0 1 2 3 4 5 6 7 8; do
    new_case "base-$b"
    host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" \
      --script "$(script "select 1041 $b" "set 1042 30" "click 1")"
    expect_rc 0
    expect_exchange "basepoint-$b.txt"
    expect_bmp "$DWG_DIR/plan_000.BMP" 8
  done
}

case_ok_at_90_degrees_puts_the_direction_straight_up() {
  new_case angle90
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" \
    --script "$(script "select 1041 4" "set 1042 90" "click 1")"
  expect_rc 0
  expect_exchange angle90-center.txt
}

case_host_style_exchange_file_gives_current_attributes() {
  new_case host-style
  host --exchange "$(exchange host.txt)" "$(clip_bmp)" --script "$(script "click 1")"
  expect_rc 0
  expect_exchange host-ok.txt
  expect_file "$DWG_DIR/plan_000.BMP"
}

case_every_way_of_closing_without_ok_gives_hq() {
  local way
  for way in "click 2" "key esc" "sysclose" "close"; do
    new_case "close-${way// /-}"
    host --exchange "$(exchange host.txt)" "$(clip_bmp)" --script "$(script "$way")"
    expect_rc 0
    expect_exchange nothing.txt
    expect_no_file "$TOOL_DIR/zumorika.dat"
    expect_no_file "$DWG_DIR/plan_000.BMP"
  done
}

case_shift_jis_drawing_and_folder_names() {
  # Both folder names hold characters whose second byte is 0x5C, the
  # backslash, as does the drawing's name.
  new_case sjis-drawing
  DWG_DIR="$CASE_DIR/ソフト表"
  mkdir -p "$DWG_DIR"
  host --exchange "$(exchange sjis.txt)" "$(clip_bmp)" --script "$(script "click 1")"
  expect_rc 0
  expect_exchange sjis-drawing.txt
  expect_bmp "$DWG_DIR/表ソ_000.BMP" 8

  new_case sjis-chosen
  DWG_DIR="$CASE_DIR/ソフト表"
  PICS_DIR="$CASE_DIR/画像ソ表"
  mkdir -p "$DWG_DIR" "$PICS_DIR"
  PICS_WIN="$(winpath "$PICS_DIR")\\"
  host --exchange "$(exchange sjis.txt)" "$(clip_bmp)" \
    --script "$(script "radio 1022" "set 1011 \"${PICS_WIN//\\/\\\\}\"" "click 1")"
  expect_rc 0
  expect_exchange sjis-chosen.txt
  expect_bmp "$PICS_DIR/表ソ_000.BMP" 8
  expect_no_file "$DWG_DIR/表ソ_000.BMP"
  [[ "$(sed -n 3p "$TOOL_DIR/zumorika.dat" 2>/dev/null | iconv -f CP932 -t UTF-8 2>/dev/null)" == "$PICS_WIN"$'\r' ]] ||
    fail "the Japanese folder name was not stored in Shift-JIS"
}

# A tool folder the exchange file cannot be written back to (under Program
# Files, a read-only share): the tool says so before any work, naming the
# folder, and ends without touching the host's file. Root ignores
# permissions here, so a folder in the exchange file's place stands in.
case_folder_that_cannot_take_the_exchange_file_is_reported_at_start() {
  new_case unwritable-folder
  mkdir "$TOOL_DIR/JWC_TEMP.TXT"
  printf 'kept' >"$TOOL_DIR/JWC_TEMP.TXT/inside"
  host --keep-exchange "$(clip_bmp)"
  expect_rc 3  # the message box came, then the tool ended without its window
  grep -qF "message: このフォルダには書き込みができないため、Jw_cad に画像を渡せません:" \
    "$CASE_DIR/host.log" || fail "no message about the folder: $(head -c 300 "$CASE_DIR/host.log")"
  grep -qF "$(winpath "$TOOL_DIR")" "$CASE_DIR/host.log" || fail "the message does not name the folder"
  [[ "$(cat "$TOOL_DIR/JWC_TEMP.TXT/inside" 2>/dev/null)" == kept ]] ||
    fail "the exchange file's place was touched"
  expect_no_file "$TOOL_DIR/zumorika.dat"
}
