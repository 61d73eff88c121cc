# shellcheck shell=bash
# Where the picture goes and what it is called: numbering past existing
# files, the drawing's folder or a chosen one, the folder chooser, an untitled
# drawing, a picture that cannot be written.

case_numbering_skips_existing_files() {
  new_case numbering
  printf 'old0' >"$DWG_DIR/plan_000.BMP"
  printf 'old1' >"$DWG_DIR/plan_001.BMP"
  printf 'jpeg' >"$DWG_DIR/plan_000.JPG"
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script "click 1")"
  expect_rc 0
  expect_exchange numbering.txt
  expect_bmp "$DWG_DIR/plan_002.BMP" 8
  [[ "$(cat "$DWG_DIR/plan_000.BMP")$(cat "$DWG_DIR/plan_001.BMP")" == old0old1 ]] ||
    fail "an existing picture was overwritten"
}

case_numbering_goes_past_999() {
  new_case numbering-1000
  local n
  for ((n = 0; n < 1000; n++)); do : >"$DWG_DIR/plan_$(printf '%03d' "$n").BMP"; done
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script "click 1")"
  expect_rc 0
  expect_exchange numbering-1000.txt
  expect_bmp "$DWG_DIR/plan_1000.BMP" 8
}

case_chosen_folder_is_referenced_by_full_path() {
  new_case chosen-folder
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" \
    --script "$(script "radio 1022" "set 1011 \"${PICS_WIN//\\/\\\\}\"" "click 1")"
  expect_rc 0
  expect_exchange chosen-folder.txt
  expect_bmp "$PICS_DIR/plan_000.BMP" 8
  expect_no_file "$DWG_DIR/plan_000.BMP"
}

case_chosen_folder_typed_without_separator() {
  new_case chosen-no-separator
  local typed="${PICS_WIN%\\}"
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" \
    --script "$(script "radio 1022" "set 1011 \"${typed//\\/\\\\}\"" "click 1")"
  expect_rc 0
  expect_exchange chosen-folder.txt
  expect_bmp "$PICS_DIR/plan_000.BMP" 8
  expect_no_file "$CASE_DIR/picsplan_000.BMP"
}

# The folder chooser: Cancel leaves the typed folder alone; OK keeps only
# the folder, with its separator, and the picture then goes there.
case_folder_chooser_cancelled_or_confirmed() {
  new_case folder-chooser
  local typed="${PICS_WIN}typed-name"
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" --script "$(script \
    "set 1011 \"${typed//\\/\\\\}\"" "click 1003" "dialog cancel" \
    "expect-text 1011 \"${typed//\\/\\\\}\"" \
    "click 1003" "dialog ok" "expect-text 1011 \"${PICS_WIN//\\/\\\\}\"" \
    "radio 1022" "click 1")"
  expect_rc 0
  expect_file "$PICS_DIR/plan_000.BMP"
  [[ -z "$(ls -A "$DWG_DIR")" ]] || fail "a picture went to the drawing's folder"
}

case_drawing_folder_ignores_a_filled_in_folder() {
  new_case drawing-folder
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" \
    --script "$(script "radio 1021" "set 1011 \"${PICS_WIN//\\/\\\\}\"" "click 1")"
  expect_rc 0
  expect_exchange basic.txt
  expect_bmp "$DWG_DIR/plan_000.BMP" 8
  expect_no_file "$PICS_DIR/plan_000.BMP"
}

case_untitled_drawing_into_chosen_folder() {
  new_case untitled-chosen
  host --exchange "$(exchange untitled.txt)" "$(clip_bmp)" \
    --script "$(script "radio 1022" "set 1011 \"${PICS_WIN//\\/\\\\}\"" "click 1")"
  expect_rc 0
  expect_exchange untitled-chosen.txt
  expect_bmp "$PICS_DIR/無題_000.BMP" 8
}

case_picture_that_cannot_be_written_is_not_referenced() {
  # A folder takes the first picture name; writing the picture there fails.
  new_case unwritable-picture
  mkdir "$DWG_DIR/plan_000.BMP"
  host --exchange "$(exchange minimal.txt)" "$(clip_bmp)" \
    --script "$(script "click 1" "message" "expect-open" "click 2")"
  expect_rc 0
  expect_exchange nothing.txt
  [[ -d "$DWG_DIR/plan_000.BMP" ]] || fail "the folder in the picture's place was touched"
}
