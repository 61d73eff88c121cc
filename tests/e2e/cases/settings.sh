# shellcheck shell=bash
# The settings file beside the tool: kept from one run to the next, read when
# cut short or out of range, and no obstacle to OK when it cannot be written.

case_settings_kept_from_one_run_to_the_next() {
  new_case settings
  # First run: defaults on screen, then every option changed.
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script \
    "expect-pos 0 0" "expect-check 1021 1" "expect-check 1023 1" "expect-check 1033 1" \
    "expect-check 1026 1" "expect-text 1012 100" "expect-text 1013 100" \
    "expect-sel 1041 0" "expect-text 1042 0" \
    "expect-text 1072 \"${DWG_WIN//\\/\\\\}plan.jww\"" \
    "move 50 60" "radio 1022" "set 1011 \"${PICS_WIN//\\/\\\\}\"" "radio 1024" \
    "radio 1025" "set 1012 50" "set 1013 80" "select 1041 4" "set 1042 45" "click 1")"
  expect_rc 0
  expect_exchange settings-run1.txt
  expect_jpeg "$PICS_DIR/plan_000.JPG" 1
  to_host_text "$E2E/expected/settings-run1.dat" >"$CASE_DIR/want.dat"
  expect_same_bytes "$CASE_DIR/want.dat" "$TOOL_DIR/zumorika.dat"
  # Second run: the options come back; Cancel leaves the file alone.
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script \
    "expect-pos 50 60" "expect-check 1022 1" "expect-text 1011 \"${PICS_WIN//\\/\\\\}\"" \
    "expect-check 1024 1" "expect-check 1025 1" "expect-check 1033 1" \
    "expect-text 1012 50" "expect-text 1013 80" "expect-sel 1041 4" \
    "expect-text 1042 45" "click 2")"
  expect_rc 0
  expect_exchange nothing.txt
  expect_same_bytes "$CASE_DIR/want.dat" "$TOOL_DIR/zumorika.dat"
}

case_settings_file_cut_short_or_out_of_range() {
  new_case settings-short
  printf -- '-8\r\n20\r\n\r\n0\r\n1\r\n' >"$TOOL_DIR/zumorika.dat"
  cp "$TOOL_DIR/zumorika.dat" "$CASE_DIR/before.dat"
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script \
    "expect-pos -8 20" "expect-check 1021 1" "expect-check 1024 1" "expect-check 1031 1" \
    "expect-check 1025 1" "expect-text 1012 0" "expect-text 1013 0" \
    "expect-sel 1041 0" "expect-text 1042 0" \
    "click 1" "message 画像サイズを確認・再入力して下さい" "click 2")"
  expect_rc 0
  expect_exchange nothing.txt
  expect_same_bytes "$CASE_DIR/before.dat" "$TOOL_DIR/zumorika.dat"

  new_case settings-out-of-range
  printf '10\r\n10\r\n\r\n0\r\n0\r\n7\r\n1\r\n250\r\n100\r\n12\r\n0\r\n' >"$TOOL_DIR/zumorika.dat"
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script \
    "expect-check 1033 1" "expect-sel 1041 0" "expect-text 1012 250" "click 2")"
  expect_rc 0
}

case_settings_file_that_cannot_be_written_does_not_stop_ok() {
  new_case unwritable-settings
  mkdir "$TOOL_DIR/zumorika.dat"
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script "click 1")"
  expect_rc 0
  expect_exchange basic.txt
  expect_bmp "$DWG_DIR/plan_000.BMP" 8
  [[ -d "$TOOL_DIR/zumorika.dat" ]] || fail "the folder in the settings file's place was touched"
}
