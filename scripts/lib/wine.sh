# shellcheck shell=bash
# Wine environment for running the Windows executables of this project.
# Source it, then:  wine_run prog.exe args...   (returns the program's exit code)
#
# The prefix is private to the checkout (.deps/wineprefix, created by
# scripts/setup) so nothing in a user's ~/.wine is touched or relied upon.

# shellcheck source=scripts/lib/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# ZUMORIKA_WINE=10 (set by scripts/lib/wine10 inside the Debian 13 root):
# Wine 10 keeps a prefix of its own, as a prefix once opened by a newer Wine
# is upgraded for it.
if [[ "${ZUMORIKA_WINE:-8}" == 10 ]]; then
  export WINEPREFIX="${ZUMORIKA_WINE10_PREFIX:-$ZUMORIKA_DEPS/wineprefix10}"
else
  export WINEPREFIX="${ZUMORIKA_WINEPREFIX:-$ZUMORIKA_DEPS/wineprefix}"
fi
export WINEARCH=win64
# -all also silences Debian's hint about the missing 32-bit Wine.
export WINEDEBUG="${WINEDEBUG:--all}"
# The Mono and Gecko installers would otherwise pop up in a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="

ZUMORIKA_XVFB_PID=""

_zumorika_stop_display() {
  if [[ -n "$ZUMORIKA_XVFB_PID" ]]; then
    # Let the Wine processes that use this display finish before it goes away;
    # the wineserver may be shared with other runs, so wait only a little.
    timeout 20 wineserver -w >/dev/null 2>&1 || true
    kill "$ZUMORIKA_XVFB_PID" 2>/dev/null || true
    wait "$ZUMORIKA_XVFB_PID" 2>/dev/null || true
    ZUMORIKA_XVFB_PID=""
  fi
}

# Wine's user32 needs an X display even for tests that only touch GDI or the
# clipboard. Without one (CI, ssh), start a private Xvfb; it picks a free
# display number itself (-displayfd), so parallel runs do not collide.
zumorika_ensure_display() {
  if [[ -n "${DISPLAY:-}" ]]; then
    return 0
  fi
  command -v Xvfb >/dev/null 2>&1 || { zumorika_warn "Xvfb is not installed (run scripts/setup)"; return 1; }
  local fdfile
  fdfile="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  ZUMORIKA_XVFB_PID=$!
  zumorika_on_exit _zumorika_stop_display
  local i number=""
  for ((i = 0; i < 200; i++)); do
    number="$(tr -dc '0-9' <"$fdfile")"
    [[ -n "$number" ]] && break
    if ! kill -0 "$ZUMORIKA_XVFB_PID" 2>/dev/null; then
      break
    fi
    sleep 0.05
  done
  rm -f "$fdfile"
  if [[ -z "$number" ]]; then
    zumorika_warn "Xvfb did not start"
    _zumorika_stop_display
    return 1
  fi
  export DISPLAY=":$number"
}

wine_run() {
  zumorika_ensure_display || return 1
  local rc=0
  wine "$@" || rc=$?
  return "$rc"
}

# Every executable we ship or test must load with Windows system DLLs only: a
# libstdc++-6.dll or libwinpthread-1.dll import means the static link broke,
# and the program would not start on a user's machine. Wine's system32 holds
# exactly the system DLLs. Prints each offending import; false if any.
wine_check_imports() {
  local system32="$WINEPREFIX/drive_c/windows/system32" exe dll bad=0
  [[ -d "$system32" ]] || { zumorika_warn "no Wine prefix at $WINEPREFIX (run scripts/setup)"; return 1; }
  for exe in "$@"; do
    while read -r dll; do
      if [[ -z "$(find "$system32" -maxdepth 1 -iname "$dll" -print -quit)" ]]; then
        echo "$exe imports $dll, which is not a Windows system DLL"
        bad=1
      fi
    done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
  done
  [[ $bad == 0 ]]
}

# Fonts for $WINEPREFIX, so the window looks as it does on Windows:
# - Marlett, the symbol font of the title-bar buttons. Debian's Wine 8 does
#   not load the fonts of its data folder (/usr/share/wine/fonts, package
#   fonts-wine) into a prefix, so without a copy in C:\windows\Fonts the
#   buttons show letters. Only Marlett is copied: Wine's Tahoma there would
#   replace the fallback that gives the caption its Japanese glyphs.
# - "ＭＳ ゴシック" and its relatives replaced by IPAGothic, which has MS
#   Gothic's metrics (a taller font clips the labels); Noto Sans CJK JP only
#   when IPAGothic is not installed.
wine_prefix_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" marlett=/usr/share/wine/fonts/marlett.ttf
  if [[ -f "$marlett" ]]; then
    mkdir -p "$fonts" && cp "$marlett" "$fonts/marlett.ttf" || return 1
  else
    zumorika_warn "no $marlett (package fonts-wine): the title-bar buttons will show letters"
  fi
  local font="" candidate name families
  families="$(fc-list : family 2>/dev/null || true)"
  for candidate in "IPAGothic" "IPAゴシック" "Noto Sans CJK JP"; do
    if grep -qF "$candidate" <<<"$families"; then font="$candidate"; break; fi
  done
  if [[ -z "$font" ]]; then
    zumorika_warn "no Japanese font installed (fonts-ipafont-gothic); texts will show as boxes"
    return 0
  fi
  for name in "ＭＳ ゴシック" "MS Gothic" "ＭＳ Ｐゴシック" "MS UI Gothic"; do
    LC_ALL=C.UTF-8 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /t REG_SZ /d "$font" /f \
      >/dev/null 2>&1 || return 1
  done
}
