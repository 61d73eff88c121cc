# shellcheck shell=bash
# Helpers of the end-to-end cases, sourced by scripts/e2e before the cases:
# a fresh case folder, one run of the tool through jwc-host, the exchange file
# and pictures it hands back checked. A check that fails records its reason
# with `fail`; the case goes on and is reported failed at its end.
# The runner sets E2E, WORK, BUILD_DIR, TOOL_EXE and HOST_EXE.

# Z:\... form of an absolute Unix path (Wine's Z: drive is the Unix root).
winpath() { local p="${1//\//\\}"; printf 'Z:%s' "$p"; }

# UTF-8 text with LF -> Shift-JIS with CR LF, placeholders replaced:
# @DWG@ the drawing folder, @PICS@ the chosen picture folder (both Windows
# paths with their trailing separator).
to_host_text() {
  local dwg pics
  dwg="$(winpath "$DWG_DIR")\\"
  pics="$(winpath "$PICS_DIR")\\"
  python3 -c '
import sys
text = open(sys.argv[1], encoding="utf-8").read()
text = text.replace("@DWG@", sys.argv[2]).replace("@PICS@", sys.argv[3])
sys.stdout.buffer.write(text.replace("\n", "\r\n").encode("cp932"))
' "$1" "$dwg" "$pics"
}

CASE_FAILURES=()

fail() { CASE_FAILURES+=("$*"); }

# Makes a fresh case folder: tool/ with the tool, dwg/ for the drawing,
# pics/ as a chosen folder. Names may be overridden before calling host.
new_case() {
  CASE_DIR="$WORK/$1"
  TOOL_DIR="$CASE_DIR/tool"
  DWG_DIR="$CASE_DIR/dwg"
  PICS_DIR="$CASE_DIR/pics"
  mkdir -p "$TOOL_DIR" "$DWG_DIR" "$PICS_DIR"
  cp "$TOOL_EXE" "$TOOL_DIR/zumorika.exe"
  # shellcheck disable=SC2034  # read by the cases
  PICS_WIN="$(winpath "$PICS_DIR")\\" DWG_WIN="$(winpath "$DWG_DIR")\\"
}

# host [jwc-host options...]: one run of the tool with the steps given; the
# returned exchange file lands in $CASE_DIR/out.txt, the output in host.log.
# Sets HOST_RC.
host() {
  HOST_RC=0
  rm -f "$CASE_DIR/out.txt"
  timeout 120 wine "$HOST_EXE" --tool "$(winpath "$TOOL_DIR/zumorika.exe")" \
    --timeout 10000 --out "$(winpath "$CASE_DIR/out.txt")" "$@" \
    >"$CASE_DIR/host.log" 2>&1 </dev/null 9>&- || HOST_RC=$?
  cat "$CASE_DIR/host.log" >>"$CASE_DIR/all.log"
}

# Writes an input exchange file from tests/e2e/input and prints its path.
exchange() {
  to_host_text "$E2E/input/$1" >"$CASE_DIR/in-$1"
  winpath "$CASE_DIR/in-$1"
}

clip_bmp() { printf '%s' "--clip-bmp=$(winpath "$E2E/data/pic7x5.bmp")"; }

# Steps go through a script file: UTF-8 text reaches jwc-host unchanged,
# whatever the code page of Wine's command line.
script() {
  local file="$CASE_DIR/steps-$((++SCRIPT_COUNT)).txt"
  printf '%s\n' "$@" >"$file"
  winpath "$file"
}

SCRIPT_COUNT=0

expect_rc() {
  [[ "$HOST_RC" == "$1" ]] ||
    fail "jwc-host exited $HOST_RC, wanted $1: $(tail -n 3 "$CASE_DIR/host.log" | tr '\n' ' ')"
}

# expect_exchange EXPECTED: the returned file equals tests/e2e/expected/EXPECTED.
expect_exchange() {
  local want="$CASE_DIR/want-$1"
  to_host_text "$E2E/expected/$1" >"$want"
  if [[ ! -f "$CASE_DIR/out.txt" ]]; then
    fail "no exchange file came back (wanted $1)"
  elif ! cmp -s "$want" "$CASE_DIR/out.txt"; then
    fail "exchange file differs from $1:$(printf '\n'; diff <(iconv -f CP932 -t UTF-8 "$want" | od -c) \
      <(iconv -f CP932 -t UTF-8 "$CASE_DIR/out.txt" | od -c) | head -n 12)"
  fi
}

expect_file() { [[ -f "$1" ]] || fail "missing file ${1#"$CASE_DIR"/}"; }

expect_no_file() { [[ ! -e "$1" ]] || fail "unexpected file ${1#"$CASE_DIR"/}"; }

expect_same_bytes() {
  cmp -s "$1" "$2" || fail "${2#"$CASE_DIR"/} differs from ${1#"$ZUMORIKA_ROOT"/}"
}

expect_message() {
  grep -qxF "message: $1" "$CASE_DIR/host.log" || fail "no message box saying $1"
}

# u16 FILE OFFSET / u32 FILE OFFSET: little-endian integers of a file.
u16() { od -An -tu2 -j "$2" -N 2 "$1" | tr -d ' '; }

u32() { od -An -tu4 -j "$2" -N 4 "$1" | tr -d ' '; }

# expect_bmp FILE BITS [WIDTH HEIGHT]: a BMP at that depth, of the test
# picture's size unless another is given.
expect_bmp() {
  local f="$1" bits="$2" width="${3:-7}" height="${4:-5}" entries=0 row
  [[ -f "$f" ]] || { fail "missing file ${f#"$CASE_DIR"/}"; return; }
  [[ "$(head -c 2 "$f")" == BM ]] || { fail "${f##*/} is no BMP"; return; }
  case "$bits" in 1) entries=2 ;; 4) entries=16 ;; 8) entries=256 ;; esac
  row=$(((width * bits + 31) / 32 * 4))
  local got
  got="$(u32 "$f" 18)x$(u32 "$f" 22) bits $(u16 "$f" 28) offset $(u32 "$f" 10) size $(stat -c %s "$f") used $(u32 "$f" 46)"
  local want="${width}x$height bits $bits offset $((54 + 4 * entries)) size $((54 + 4 * entries + height * row)) used $entries"
  [[ "$got" == "$want" ]] || fail "${f##*/}: $got, wanted $want"
}

# expect_jpeg FILE COMPONENTS: a baseline JPEG with that many components.
expect_jpeg() {
  local f="$1" comps="$2"
  [[ -f "$f" ]] || { fail "missing file ${f##*/}"; return; }
  local hex
  hex="$(od -An -tx1 -v "$f" | tr -d ' \n')"
  [[ "$hex" == ffd8* && "$hex" == *ffd9 ]] || { fail "${f##*/} is no JPEG (SOI/EOI)"; return; }
  [[ "$hex" == ffd8ffe0????4a464946* ]] || fail "${f##*/} has no JFIF header"
  # SOF0: ffc0, length, precision 8, height 5, width 7, components.
  [[ "$hex" == *ffc0????0800050007"$(printf '%02x' "$comps")"* ]] ||
    fail "${f##*/}: no baseline 7x5 frame with $comps components"
}

# The top-left pixel of a JPEG as "R G B" (djpeg, part of libjpeg-turbo-progs).
jpeg_top_left() {
  djpeg -pnm "$1" 2>/dev/null | python3 -c '
import sys
data = sys.stdin.buffer.read()
fields, pos = [], 0
while len(fields) < 4:
    while data[pos:pos+1].isspace(): pos += 1
    start = pos
    while not data[pos:pos+1].isspace(): pos += 1
    fields.append(data[start:pos])
pixel = data[pos + 1:pos + 4]
print(" ".join(str(b) for b in pixel))'
}

# pixel FILE X Y: "B G R" of a 24-bit bottom-up BMP's pixel, (0, 0) at the top left.
pixel() {
  local f="$1" w h row
  w="$(u32 "$f" 18)"; h="$(u32 "$f" 22)"; row=$(((w * 24 + 31) / 32 * 4))
  od -An -tu1 -j "$(($(u32 "$f" 10) + (h - 1 - $3) * row + $2 * 3))" -N 3 "$f" | xargs
}

# settings_file FOLDERMODE FILEKIND [LEFT TOP]: a settings file beside the tool.
settings_file() {
  printf '%s\r\n%s\r\n\r\n%s\r\n%s\r\n2\r\n1\r\n100\r\n100\r\n0\r\n0\r\n' \
    "${3:-0}" "${4:-0}" "$1" "$2" >"$TOOL_DIR/zumorika.dat"
}
