# shellcheck shell=bash
# The checks OK makes before anything is written, and their messages: the
# focus goes to the refused input, the window stays, Cancel then hands back
# "hq".

# check_refused CASE INPUT CLIP MESSAGE FOCUS STEPS...: OK is refused with the
# message, the focus goes to FOCUS (or stays when empty), the window stays
# open, and Cancel then gives "hq" with nothing written.
check_refused() {
  local name="$1" input="$2" clip="$3" message="$4" focus="$5"
  shift 5
  new_case "$name"
  local steps=("$@" "click 1" "message \"$message\"")
  [[ -n "$focus" ]] && steps+=("expect-focus $focus")
  # Refused text is selected, so that the user can retype it at once.
  [[ "$focus" == 1011 || "$focus" == 1013 ]] && steps+=("expect-selected $focus")
  steps+=("expect-open" "click 2")
  local exchange_args=()
  [[ -n "$input" ]] && exchange_args=(--exchange "$(exchange "$input")")
  host "${exchange_args[@]}" $clip --script "$(script "${steps[@]}")"
  expect_rc 0
  expect_message "$message"
  expect_exchange nothing.txt
  expect_no_file "$TOOL_DIR/zumorika.dat"
  [[ -z "$(ls -A "$DWG_DIR")" ]] || fail "a picture was written: $(ls "$DWG_DIR")"
}

case_check_folder_must_exist_even_when_unused() {
  local missing
  missing="$(winpath "$WORK")\\nowhere\\"
  check_refused check-folder-missing minimal.txt "$(clip_bmp)" \
    "指定したフォルダが見つかりません" 1011 "set 1011 \"${missing//\\/\\\\}\""
}

case_check_chosen_folder_must_be_given() {
  check_refused check-folder-empty minimal.txt "$(clip_bmp)" \
    "フォルダを指定して下さい" 1011 "radio 1022"
}

case_check_width_out_of_range_then_corrected() {
  new_case check-width
  local steps=() w
  for w in 0 1000000 -5 abc 12.5mm ""; do
    steps+=("set 1013 \"$w\"" "click 1" "message 画像サイズを確認・再入力して下さい"
            "expect-focus 1013" "expect-selected 1013" "expect-open")
  done
  steps+=("set 1013 100" "click 1")
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script "${steps[@]}")"
  expect_rc 0
  expect_exchange basic.txt
}

case_check_untitled_drawing_in_its_own_folder() {
  check_refused check-untitled untitled.txt "$(clip_bmp)" \
    "現在の図面は「無題」状態です" 1021
  # No exchange file at all counts as untitled too.
  check_refused check-no-exchange "" "$(clip_bmp)" \
    "現在の図面は「無題」状態です" 1021
}

case_check_clipboard_without_picture() {
  check_refused check-no-picture minimal.txt --clip-none \
    "クリップボード画像がありません" ""
  check_refused check-text-only minimal.txt "--clip-text=テキストだけ" \
    "クリップボード画像がありません" ""
}
