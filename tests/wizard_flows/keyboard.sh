#!/usr/bin/env bash
# The demo package's Setup.exe worked with the keyboard alone, keys typed on the X
# display as a person types them: on the welcome page Enter is Next, so the licence
# page comes; Esc there is its Cancel, so the cancelled page comes; Esc there, which
# has no Cancel button, is its close box and ends the program. A second run: Tab
# moves the focus from Next to Cancel, and Enter presses the focused button. The
# prefix is as before.
#   keyboard.sh <build dir> <wizard-driver.exe> <package dir> <texts.tsv>
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wizard-driver/drive.sh"
source "$here/../demo_install/demo_prefix.sh"
source "$here/flows.sh"
DRIVER_EXE=$2
package=$(cd "$3" && pwd) || { echo "no package at $3"; exit 1; }
export LANG=C.UTF-8 LC_ALL=C.UTF-8 LANGUAGE=en
command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }
drive_init "$1" || exit 1
trap drive_stop EXIT
flows_init "$1" "$4" || exit 1

traces=$(demo_traces)
[ -z "$traces" ] || { echo "FAILED: not a clean machine, the prefix holds: $traces"; exit 1; }
before=$(prefix_state)
caption=$(demo_text ProductName)

# type_on <page class> <key>: the page's window gets the keyboard, then the key is
# typed on the display.
type_on() {
  local window
  driver wait-window --class "$1" --pid "$setup" >/dev/null || { fail "no $1 to type on"; return 1; }
  window=$(xdotool search --onlyvisible --name "^${caption}\$" 2>/dev/null | tail -n1)
  [ -n "$window" ] || { fail "no visible X window captioned $caption"; return 1; }
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  xdotool key --clearmodifiers "$2"
  echo "  $1: $2"
}

# leads_to <page class>: that page comes and is the only one.
leads_to() {
  driver wait-window --class "$1" --pid "$setup" >/dev/null || { fail "the key does not lead to $1"; return 1; }
  only_page "$1" "$setup"
}

ends() {
  driver wait-exit --pid "$setup" --timeout 30000 >/dev/null || { fail "Setup.exe does not end"; return 1; }
  expect "Setup.exe" "$DRIVER_OUT" "exited code=0"
  DRIVEN_PID=""
}

start() {
  drive_start "$package/Setup.exe" >/dev/null || { echo "FAILED: Setup.exe does not start"; exit 1; }
  setup=$DRIVEN_PID
  driver wait-window --class TFWelcome --pid "$setup" --timeout 60000 >/dev/null || {
    driver windows --pid "$setup"
    fail "no welcome page"
    return 1
  }
}

echo "== Enter, Esc, Esc"
if start; then
  type_on TFWelcome Return && leads_to TFEULA &&
    type_on TFEULA Escape && leads_to TFCancel &&
    type_on TFCancel Escape && ends
fi
drive_kill

echo "== Tab, Enter"
if start; then
  type_on TFWelcome Tab && type_on TFWelcome Return && leads_to TFCancel &&
    type_on TFCancel Return && ends
fi
drive_kill

after=$(prefix_state)
[ "$before" = "$after" ] && echo "  the prefix is as before" ||
  fail "the prefix changed: $(diff <(echo "$before") <(echo "$after") | tr '\n' ' ')"
[ $failures -eq 0 ] && echo "Enter and Esc work the pages as their buttons do"
exit $((failures > 0))
