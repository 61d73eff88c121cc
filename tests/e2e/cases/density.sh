# shellcheck shell=bash
# The window at other display densities than 96 dpi.

# scaled V DPI: V × DPI / 96 rounded to the nearest pixel, halves up, as the
# tool rounds (MulDiv).
scaled() { echo $((($1 * $2 + 48) / 96)); }

# A new display density takes effect at the next sign-in on Windows; Wine 10
# likewise reads LogPixels when its server starts (Wine 8 at each program's
# start), so the server is started afresh after each change.
set_log_pixels() {
  local key='HKCU\Control Panel\Desktop'
  if [[ $1 == default ]]; then
    wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1
  else
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 || return 1
  fi
  wineserver -k 2>/dev/null
  wineserver -w
  wineserver -p
}

# The window at 96, 120, 144 and 192 dpi: the client area and, in the layout
# test, every control's place and the fonts are the 96-dpi layout scaled; OK
# writes the same bytes as at 96.
case_window_follows_the_display_density() {
  local tests dpi
  tests="$(find_exe window_tests.exe)"
  [[ -n "$tests" ]] || { fail "window_tests.exe is not built in $BUILD_DIR"; return; }
  zumorika_on_exit "set_log_pixels default"
  for dpi in 96 120 144 192; do
    set_log_pixels "$dpi" || { fail "cannot set LogPixels to $dpi"; continue; }
    new_case "dpi-$dpi"
    host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script \
      "expect-client $(scaled 470 "$dpi") $(scaled 415 "$dpi")" "click 1")"
    expect_rc 0
    expect_exchange basic.txt
    if [[ $dpi == 96 ]]; then
      expect_bmp "$DWG_DIR/plan_000.BMP" 8
    else
      expect_same_bytes "$WORK/dpi-96/dwg/plan_000.BMP" "$DWG_DIR/plan_000.BMP"
    fi
    cp "$tests" "$TOOL_DIR/window_tests.exe"
    (cd "$TOOL_DIR" && ZUMORIKA_EXPECT_DPI="$dpi" WINEDEBUG=-all timeout 120 wine window_tests.exe \
      --gtest_filter='FormTest.LayoutFollowsTheTableAtTheWindowsDensity:FormTest.LabelB1EndsAtGroupBox2sRightEdge' \
      >"$CASE_DIR/layout.log" 2>&1 9>&-) ||
      fail "layout at $dpi dpi: $(grep -m 3 -A3 'Failure' "$CASE_DIR/layout.log" | tr '\n' ' ')"
  done
  set_log_pixels default
}
