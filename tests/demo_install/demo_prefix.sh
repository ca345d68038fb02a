# Bash library for the scripts that install and remove the demo product (Ostrel of
# Pellimo) in a build's Wine prefix and read back what the setup wrote. Source it
# after tools/wizard-driver/drive.sh, then call demo_prefix_init <build dir>.
#
#   host_path 'C:\A\B'          the prefix's host path of a Windows path (letter case
#                               of existing folders found as Windows would)
#   reg_query <key> [args...]   reg.exe query in the 64-bit view; output in REG_OUT
#   reg_value <key> <name>      prints the data of one string value; 1 when missing
#   lnk_field <file.lnk> <name> prints one field of lnkinfo's report ("Local path", ...)
#   demo_remove_by_hand         removes every trace of the demo product from the
#                               prefix by its known names, for a clean start
#   demo_options [--keep] [--shots <folder>]
#                               sets keep (0 or 1) and shots (a folder or empty)
#   fail <text>, expect <what> <actual> <wanted>, shot <name> [driver window options]
#                               a check that failed (counted in failures), a check
#                               printed when it holds, a picture of a window into shots
#
# Where the setup puts things on this prefix (a 64-bit Wine, the setup acting as the
# 32-bit program): its Program Files, the shared registry view and the common folders.
DEMO_PROGRAM_FILES='C:\Program Files (x86)'
DEMO_SOFTWARE='HKLM\Software\WOW6432Node'
DEMO_UNINSTALL_KEY="$DEMO_SOFTWARE"'\Microsoft\Windows\CurrentVersion\Uninstall\Ostrel'
DEMO_PRIVATE_KEY="$DEMO_SOFTWARE"'\Pellimo\Ostrel'
DEMO_RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
DEMO_TEMPLATES='C:\ProgramData\Microsoft\Windows\Templates'
DEMO_START_MENU='C:\ProgramData\Microsoft\Windows\Start Menu\Programs'
DEMO_DESKTOP='C:\users\Public\Desktop'

demo_options() {
  keep=0 shots=""
  while [ $# -gt 0 ]; do
    case "$1" in
      --keep) keep=1 ;;
      --shots) shots=$2; shift ;;
      *) echo "unknown option $1"; return 2 ;;
    esac
    shift
  done
}

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
expect() { # expect <what> <actual> <wanted>
  if [ "$2" = "$3" ]; then echo "  $1: $2"; else fail "$1: '$2', not '$3'"; fi
}
shot() { [ -n "$shots" ] && screenshot_window "$shots/$1.png" "${@:2}" >/dev/null; }

demo_prefix_init() {
  eval "$("$WINE_RUN" --env "$1")" || return 1
  DEMO_REG="$WINEPREFIX/drive_c/windows/system32/reg.exe"
}

host_path() {
  local win=$1 path part
  case "$win" in [Cc]:\\*) ;; *) return 1 ;; esac
  path="$WINEPREFIX/drive_c"
  win=${win:3}
  local IFS='\'
  for part in $win; do
    [ -z "$part" ] && continue
    if [ -e "$path/$part" ]; then
      path="$path/$part"
    else
      local found
      found=$(find "$path" -maxdepth 1 -mindepth 1 -iname "$part" -print -quit 2>/dev/null)
      path=${found:-$path/$part}
    fi
  done
  printf '%s' "$path"
}

reg_query() {
  REG_OUT=$("$WINE_RUN" "$DEMO_REG" query "$@" /reg:64 2>/dev/null | tr -d '\r'; exit "${PIPESTATUS[0]}")
}

reg_value() {
  reg_query "$1" /v "$2" || return 1
  local line prefix="    $2    REG_SZ    "
  while IFS= read -r line; do
    if [ "${line:0:${#prefix}}" = "$prefix" ]; then
      printf '%s' "${line:${#prefix}}"
      return 0
    fi
  done <<<"$REG_OUT"
  # An empty string value has nothing after its type.
  while IFS= read -r line; do
    [ "$line" = "    $2    REG_SZ" ] && return 0
  done <<<"$REG_OUT"
  return 1
}

lnk_field() {
  lnkinfo "$1" 2>/dev/null | tr -d '\r' | sed -n -E "s/^[[:space:]]*$2[[:space:]]*: (.*)$/\\1/p" | head -1
}

demo_remove_by_hand() {
  local dir
  "$WINE_RUN" "$DEMO_REG" delete "$DEMO_UNINSTALL_KEY" /f /reg:64 >/dev/null 2>&1
  "$WINE_RUN" "$DEMO_REG" delete "$DEMO_SOFTWARE\\Pellimo" /f /reg:64 >/dev/null 2>&1
  "$WINE_RUN" "$DEMO_REG" delete "$DEMO_RUN_KEY" /v Ostrel /f /reg:64 >/dev/null 2>&1
  for dir in "$DEMO_PROGRAM_FILES\\Ostrel" "$DEMO_TEMPLATES\\Ostrel" "$DEMO_START_MENU\\Pellimo"; do
    dir=$(host_path "$dir")
    case "$dir" in "$WINEPREFIX"/drive_c/*/Ostrel|"$WINEPREFIX"/drive_c/*/Pellimo) rm -rf "$dir" ;; esac
  done
  rm -f "$(host_path "$DEMO_DESKTOP")/Ostrel.lnk"
}
