# Bash library for scripts that work a Windows program of a build under Wine with
# wizard-driver.exe and take screenshots of its windows. Source it, then:
#
#   drive_init <build dir>                 prefix, display and the driver of that build
#   drive_start <program.exe> [args...]    starts it in the background; sets DRIVEN_PID
#                                          (its Windows process id). Variables to hand
#                                          it: DRIVE_ENV=(NAME=VALUE ...)
#   driver <command> [options...]          runs wizard-driver.exe; output in DRIVER_OUT
#                                          (also printed), exit code passed through
#   field <key> [line]                     the value of key=... in the line (default:
#                                          the first line of DRIVER_OUT); text= and
#                                          caption= run to the end of the line
#   screenshot <file.png> [x,y,w,h]        the display, cropped to the rectangle
#   screenshot_window <file.png> [driver window options...]
#                                          waits for the window, has it painted and
#                                          crops to it once the picture is steady;
#                                          its window line in SHOT_WINDOW
#   drive_own_frames <program.exe> on|off  Wine draws that program's window frames
#                                          itself, as Windows would, rather than the
#                                          window manager (a setting of the prefix)
#   drive_kill                             ends DRIVEN_PID if it still runs
#   drive_stop                             drive_kill, then ends the driver
#
# The driver's commands poll with a timeout of their own, so a script never sleeps.

drive_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
drive_top=$(cd "$drive_here/../.." && pwd)
WINE_RUN="$drive_top/tools/wine/wine-run"

# A Windows path for a host path, through Wine's Z: drive (the whole file system).
winpath() {
  local p
  p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  p=${p//\//\\}
  printf 'Z:%s' "$p"
}

drive_init() {
  DRIVE_BUILD=$(cd "$1" && pwd) || return 1
  DRIVER_EXE=${DRIVER_EXE:-$DRIVE_BUILD/tools/wizard-driver/wizard-driver.exe}
  [ -f "$DRIVER_EXE" ] || { echo "drive.sh: no $DRIVER_EXE" >&2; return 1; }
  "$WINE_RUN" --prepare "$DRIVE_BUILD" || return 1
  eval "$("$WINE_RUN" --env "$DRIVE_BUILD")"
  DRIVE_TMP=$(mktemp -d "${TMPDIR:-/tmp}/drive.XXXXXX")
  DRIVEN_PID=""
  DRIVE_ENV=()
  # One driver process for the whole script: it also holds the programs it started,
  # so that their exit codes can be read after they ended.
  coproc DRIVER_PROC { exec "$WINE_RUN" "$DRIVER_EXE" serve 2>"$DRIVE_TMP/driver.err"; }
  DRIVER_PROC_IN=${DRIVER_PROC[1]}
  DRIVER_PROC_OUT=${DRIVER_PROC[0]}
}

driver() {
  local IFS=$'\x1f' line rc="" out=""
  case "$*" in *$'\n'*) echo "drive.sh: no line breaks in driver arguments" >&2; return 2 ;; esac
  printf '%s\n' "$*" >&"$DRIVER_PROC_IN" || { echo "drive.sh: the driver is not running" >&2; return 3; }
  while IFS= read -r line <&"$DRIVER_PROC_OUT"; do
    line=${line%$'\r'}
    if [[ $line == $'\x1e'* ]]; then
      rc=${line#$'\x1e'}
      break
    fi
    out+=${out:+$'\n'}$line
  done
  DRIVER_OUT=$out
  [ -n "$out" ] && printf '%s\n' "$out"
  if [ -z "$rc" ]; then
    echo "drive.sh: the driver ended" >&2
    cat "$DRIVE_TMP/driver.err" >&2
    return 3
  fi
  return "$rc"
}

drive_start() {
  local exe=$1 e args=()
  shift
  for e in "${DRIVE_ENV[@]}"; do args+=(--env "$e"); done
  driver start "${args[@]}" -- "$(winpath "$exe")" "$@" || return 1
  DRIVEN_PID=${DRIVER_OUT#pid }
}

field() {
  local key=$1 line
  if [ $# -ge 2 ]; then line=" $2"; else line=" ${DRIVER_OUT%%$'\n'*}"; fi
  case "$line" in *" $key="*) ;; *) return 1 ;; esac
  line=${line#*" $key="}
  case "$key" in text|caption) ;; *) line=${line%% *} ;; esac
  printf '%s' "$line"
}

screenshot() {
  local out=$1 rect=${2-} x y w h
  mkdir -p "$(dirname "$out")"
  if [ -n "$rect" ]; then
    IFS=, read -r x y w h <<<"$rect"
    import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$out"
  else
    import -display "$DISPLAY" -window root "$out"
  fi
}

screenshot_window() {
  local out=$1 rect i
  shift
  driver paint "$@" >/dev/null || return 1
  SHOT_WINDOW=${DRIVER_OUT#painted }
  rect=$(field rect "$SHOT_WINDOW")
  # What the program painted reaches the X server a little later: taken again until
  # two pictures in a row are the same.
  screenshot "$DRIVE_TMP/shot.png" "$rect" || return 1
  for i in 1 2 3 4 5 6 7 8 9 10; do
    screenshot "$out" "$rect" || return 1
    compare -metric AE "$DRIVE_TMP/shot.png" "$out" null: >/dev/null 2>&1 && return 0
    cp "$out" "$DRIVE_TMP/shot.png"
  done
  echo "drive.sh: the picture of $out did not settle" >&2
  return 1
}

drive_own_frames() {
  local key="HKCU\\Software\\Wine\\AppDefaults\\$1\\X11 Driver"
  local reg="$WINEPREFIX/drive_c/windows/system32/reg.exe"
  if [ "$2" = on ]; then
    "$WINE_RUN" "$reg" add "$key" /v Decorated /d N /f >/dev/null
  else
    "$WINE_RUN" "$reg" delete "$key" /v Decorated /f >/dev/null 2>&1 || true
  fi
}

drive_kill() {
  if [ -n "${DRIVEN_PID:-}" ]; then
    if ! driver wait-exit --pid "$DRIVEN_PID" --timeout 0 >/dev/null; then
      driver kill --pid "$DRIVEN_PID" >/dev/null
      driver wait-exit --pid "$DRIVEN_PID" --timeout 10000 >/dev/null
    fi
    DRIVEN_PID=""
  fi
}

drive_stop() {
  drive_kill
  if [ -n "${DRIVER_PROC_PID:-}" ]; then
    eval "exec $DRIVER_PROC_IN>&-"
    wait "$DRIVER_PROC_PID" 2>/dev/null
  fi
  [ -n "${DRIVE_TMP:-}" ] && rm -rf "$DRIVE_TMP"
  DRIVE_TMP=""
}
