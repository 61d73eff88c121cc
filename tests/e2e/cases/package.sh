# shellcheck shell=bash
# The package's texts beside the tool: the BAT file and the guide, and the
# BAT file starting the tool as the host does.

case_package_texts_follow_the_host_conventions() {
  new_case package-texts
  "$ZUMORIKA_ROOT/scripts/release" --texts "$CASE_DIR" || { fail "scripts/release --texts failed"; return; }
  python3 - "$CASE_DIR/ZUMORIKA.BAT" "$CASE_DIR/ZUMORIKA.TXT" <<'PY' || fail "the package's texts break the host's conventions"
import sys
bat, guide = (open(p, "rb").read() for p in sys.argv[1:3])
for name, data in (("BAT", bat), ("guide", guide)):
    assert data.endswith(b"\r\n") and b"\n" not in data.replace(b"\r\n", b""), name + ": CR LF"
    data.decode("cp932")
lines = bat.split(b"\r\n")[:-1]
# The first line is the memo shown in the host's dialog; directives follow,
# "REM #" within a line's first ten bytes, up to "REM #e"; then the command.
assert lines[0].startswith(b"REM ") and not lines[0].startswith(b"REM #"), lines[0]
assert "ズモリカ".encode("cp932") in lines[0]
directives = [l for l in lines[1:] if l[:10].find(b"REM #") >= 0]
assert [d.split()[1] for d in directives] == [b"#jww", b"#cd", b"#bz", b"#1", b"#e"], directives
end = lines.index(b"REM #e")
assert lines[end + 1:] == [b'"%~dp0zumorika.exe"'], lines[end + 1:]
PY
}

case_bat_file_runs_the_tool_and_waits() {
  new_case bat
  "$ZUMORIKA_ROOT/scripts/release" --texts "$TOOL_DIR" || fail "scripts/release --texts failed"
  host --launch "cmd /c $(winpath "$TOOL_DIR/ZUMORIKA.BAT")" \
    --exchange "$(exchange host.txt)" "$(clip_bmp)" --script "$(script "click 1")"
  expect_rc 0
  expect_exchange host-ok.txt
}
