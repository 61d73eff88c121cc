# shellcheck shell=bash
# Shared by the scripts in scripts/: the repository root, messages and exit hooks.
# Source it; it defines functions and variables only.

# Always the checkout this file is in: a value inherited from a shell that
# sourced another checkout's helpers would build and test the wrong tree.
ZUMORIKA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export ZUMORIKA_ROOT
# shellcheck disable=SC2034  # used by the scripts that source this file
ZUMORIKA_DEPS="$ZUMORIKA_ROOT/.deps"
# The Debian 13 system root with Wine 10 (scripts/setup, scripts/lib/wine10):
# outside the checkout, so that every clone on the machine shares one.
ZUMORIKA_WINE10_DIR="${ZUMORIKA_WINE10_DIR:-/var/cache/zumorika/wine10}"
export ZUMORIKA_WINE10_DIR

zumorika_note() { printf '==> %s\n' "$*"; }
zumorika_warn() { printf 'warning: %s\n' "$*" >&2; }
zumorika_die() { printf 'error: %s\n' "$*" >&2; exit 1; }

# Several libraries may need cleanup at exit (a started Xvfb, a lock); one EXIT
# trap runs them all, newest first, so that no script overwrites another's trap.
# Each hook belongs to the shell that set it: a subshell that sets a hook of
# its own (say, starts an Xvfb inside $(...)) must not run its parent's hooks,
# which would delete the parent's files or stop its display early.
# Sourcing this file again (wine.sh does) must not forget hooks already set.
if [[ -z "${ZUMORIKA_EXIT_HOOKS+set}" ]]; then
  ZUMORIKA_EXIT_HOOKS=()
fi
_zumorika_run_exit_hooks() {
  local i hook
  for ((i = ${#ZUMORIKA_EXIT_HOOKS[@]} - 1; i >= 0; i--)); do
    hook="${ZUMORIKA_EXIT_HOOKS[i]}"
    [[ "${hook%%:*}" == "$BASHPID" ]] || continue
    eval "${hook#*:}" || true
  done
}
zumorika_on_exit() {
  ZUMORIKA_EXIT_HOOKS+=("$BASHPID:$1")
  trap _zumorika_run_exit_hooks EXIT
  # An interrupted run still goes through the EXIT trap.
  trap 'exit 130' INT
  trap 'exit 143' TERM
}

# cmake --build with as many targets built as possible when one fails, so a
# single broken folder does not hide the state of the others.
zumorika_cmake_build() {
  local dir="$1"; shift
  local keep_going=()
  if [[ -f "$dir/build.ninja" ]]; then
    keep_going=(-- -k 0)
  elif [[ -f "$dir/Makefile" ]]; then
    keep_going=(-- -k)
  fi
  cmake --build "$dir" -j "${ZUMORIKA_JOBS:-2}" "$@" "${keep_going[@]}"
}

# Ninja when installed; an existing build folder keeps the generator it has.
zumorika_generator_args() {
  local dir="$1"
  if [[ -f "$dir/CMakeCache.txt" ]]; then
    return 0
  fi
  if command -v ninja >/dev/null 2>&1; then
    printf '%s\n' -G Ninja
  fi
}
