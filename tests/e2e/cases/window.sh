# shellcheck shell=bash
# The window and its keyboard: focus at start, the taskbar window when
# minimising, restoring and closing, the tab order, arrow keys, the memo,
# Enter on OK and on a focused button, a saved position off every screen.

case_enter_presses_ok() {
  new_case enter
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script "key enter")"
  expect_rc 0
  expect_exchange basic.txt
}

# The first control of the tab order takes the focus at start, a radio
# button only while checked: focusing an unchecked automatic radio button
# checks it on Windows, which undid a saved "指定フォルダ" every start.
# The process's one taskbar button carries the application title.
case_start_up_focus_keeps_the_saved_choice() {
  new_case start-focus
  settings_file 1 0
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script \
    "expect-focus 1022" "expect-check 1022 1" "expect-check 1021 0" \
    "expect-taskbar k382_ズモリカ" "click 2")"
  expect_rc 0
  new_case start-focus-default
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script \
    "expect-focus 1021" "expect-check 1021 1" "click 2")"
  expect_rc 0
}

# Minimise on the form minimises the application window (the taskbar
# button) and hides the form with it; restoring the taskbar window brings the
# form back with its focus. Wine, unlike Windows, does not hide owned windows
# of a minimised owner by itself. A form minimised another way (another
# program's ShowWindow, Win+Down) comes back the same way, restored, not left
# as a small title bar with no button.
case_minimise_and_restore_through_the_taskbar_window() {
  new_case minimise
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script \
    "expect-shown 1" "minimize" "expect-shown 0" "expect-taskbar k382_ズモリカ" \
    "restore" "expect-shown 1" "expect-focus 1021" \
    "minimize showwindow" "expect-shown 0" "expect-taskbar k382_ズモリカ" \
    "restore" "expect-shown 1" "click 2")"
  expect_rc 0
  expect_exchange nothing.txt
}

# Close from the taskbar button while a check message is open: the box's
# handler still runs, so the form stays and the box comes to the front; the
# run then goes on as usual. (The form was destroyed under the box before.)
case_close_from_the_taskbar_while_a_message_is_open() {
  new_case taskbar-close
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script \
    "set 1013 0" "click 1" "taskbar-close" "sleep 300" \
    "message 画像サイズを確認・再入力して下さい" "expect-open" "set 1013 100" "click 1")"
  expect_rc 0
  expect_exchange basic.txt
  expect_bmp "$DWG_DIR/plan_000.BMP" 8
}

# Tab walks the window in its designed order, into the group boxes and the
# radio group, reaching radio buttons only while checked; the scroll box is
# no stop.
case_tab_order_follows_the_layout() {
  new_case tab-order
  local steps=("expect-focus 1021" "radio 1024" "expect-focus 1024") id
  for id in 1026 1012 1013 1041 1042 1 2 1021 1011 1003 1033 1024; do
    steps+=("key tab" "expect-focus $id")
  done
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script "${steps[@]}" "click 2")"
  expect_rc 0
  expect_exchange nothing.txt
}

# Arrow keys stay within the focused radio group, checking the button they
# land on; labels and group boxes never take the focus.
case_arrow_keys_stay_in_the_radio_group() {
  new_case arrows
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script \
    "expect-focus 1021" "key down" "expect-focus 1022" "expect-check 1022 1" \
    "expect-check 1021 0" "key down" "expect-focus 1021" "expect-check 1021 1" \
    "radio 1033" "key down" "expect-focus 1034" "expect-check 1034 1" "expect-check 1033 0" \
    "key right" "expect-focus 1031" "expect-check 1031 1" \
    "radio 1023" "key right" "expect-focus 1024" "expect-check 1024 1" "expect-check 1023 0" \
    "radio 1026" "key up" "expect-focus 1025" "expect-check 1025 1" "click 2")"
  expect_rc 0
  expect_exchange nothing.txt
}

# Letters typed into the read-only memo do nothing ("y" and "n" were taken
# for OK's and Cancel's mnemonics); Enter there still presses OK, and Alt
# mnemonics still work from it.
case_letters_typed_in_the_memo_do_nothing() {
  new_case memo-letters
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script \
    "mouse 1101" "expect-focus 1101" "key y" "sleep 500" "expect-open" "key n" "sleep 500" \
    "expect-open" "expect-focus 1101" "key enter")"
  expect_rc 0
  expect_exchange basic.txt
  new_case memo-alt
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script \
    "mouse 1101" "expect-focus 1101" "key alt+n")"
  expect_rc 0
  expect_exchange nothing.txt
  expect_no_file "$DWG_DIR/plan_000.BMP"
}

# While a push button has the focus it is the default button: Enter on
# "..." opens the folder chooser again instead of pasting.
case_enter_presses_the_focused_push_button() {
  new_case enter-button
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script \
    "expect-default 1" "click 1003" "dialog cancel" "expect-focus 1003" "expect-default 1003" \
    "key enter" "dialog cancel" "expect-open" "key tab" "expect-focus 1023" \
    "expect-default 1" "click 2")"
  expect_rc 0
  expect_exchange nothing.txt
  expect_no_file "$DWG_DIR/plan_000.BMP"
}

# A saved position on no monitor's work area (a monitor removed since) is
# centred on the nearest monitor; a partly visible one stays as saved.
case_position_off_every_screen_is_centred() {
  local pos
  for pos in 30000:30000 -30000:200; do
    new_case "off-screen-${pos/:/_}"
    settings_file 0 0 "${pos%:*}" "${pos#*:}"
    host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script \
      "expect-centred" "click 2")"
    expect_rc 0
  done
  new_case partly-visible
  settings_file 0 0 -100 -10
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script \
    "expect-pos -100 -10" "click 2")"
  expect_rc 0
}
