# shellcheck shell=bash
# Debian package and archive helpers for scripts/setup.

zumorika_is_installed() {
  [[ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" == installed ]]
}

# True when APT_DIR (default /etc/apt) enables any source-package archive;
# commented-out entries do not count.
zumorika_has_deb_src() {
  local apt="${1:-/etc/apt}" f
  for f in "$apt/sources.list" "$apt"/sources.list.d/*.list; do
    [[ -f "$f" ]] && grep -Eq '^[[:space:]]*deb-src[[:space:]]' "$f" && return 0
  done
  for f in "$apt"/sources.list.d/*.sources; do
    [[ -f "$f" ]] && grep -Eiq '^Types:.*\bdeb-src\b' "$f" && return 0
  done
  return 1
}

# Prints a deb822 sources file that enables the source packages of every
# archive in the given deb822 file (URIs, Suites, Components, Signed-By kept).
zumorika_deb_src_from_deb822() {
  awk '
    function flush() {
      if (uris != "" && suites != "") {
        print "Types: deb-src"
        print "URIs: " uris
        print "Suites: " suites
        if (comps != "") print "Components: " comps
        if (signed != "") print "Signed-By: " signed
        print ""
      }
      uris = suites = comps = signed = ""
    }
    /^[[:space:]]*$/ { flush(); next }
    /^#/ { next }
    tolower($1) == "uris:"       { sub(/^[^:]*:[[:space:]]*/, ""); uris = $0 }
    tolower($1) == "suites:"     { sub(/^[^:]*:[[:space:]]*/, ""); suites = $0 }
    tolower($1) == "components:" { sub(/^[^:]*:[[:space:]]*/, ""); comps = $0 }
    tolower($1) == "signed-by:"  { sub(/^[^:]*:[[:space:]]*/, ""); signed = $0 }
    END { flush() }
  ' "$1"
}

# The same for one-line sources.list entries.
zumorika_deb_src_from_list() {
  sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$1"
}

# The machine's own Debian archive (the first one it uses for a release
# suite, not the security archive), so that other roots come from the same
# place as the machine's packages.
zumorika_debian_archive() {
  local apt="${1:-/etc/apt}" f uri
  for f in "$apt"/sources.list.d/*.sources; do
    [[ -f "$f" ]] || continue
    uri="$(awk 'tolower($1) == "uris:" && $2 !~ /security/ { print $2; exit }' "$f")"
    [[ -n "$uri" ]] && { printf '%s\n' "$uri"; return 0; }
  done
  for f in "$apt/sources.list" "$apt"/sources.list.d/*.list; do
    [[ -f "$f" ]] || continue
    uri="$(awk '$1 == "deb" && $0 !~ /security/ { for (i = 2; i <= NF; i++) if ($i !~ /^\[/ && $i !~ /\]$/) { print $i; exit } }' "$f")"
    [[ -n "$uri" ]] && { printf '%s\n' "$uri"; return 0; }
  done
  return 1
}
