#!/usr/bin/env bash
# Works driver_window.exe with wizard-driver.exe under Wine, as a page test would:
#   drive_window.sh <build dir> <wizard-driver.exe> <driver_window.exe>
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wizard-driver/drive.sh"
DRIVER_EXE=$2
window_exe=$3
drive_init "$1" || exit 1
trap drive_stop EXIT

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
# The control line of the list (in DRIVER_OUT) whose text is exactly this.
control_with_text() { printf '%s\n' "$DRIVER_OUT" | grep -E "^control .* text=$1\$" | head -n1; }
expect_field() {  # <line> <key> <value> <what>
  [ "$(field "$2" "$1")" = "$3" ] || fail "$4: $2 is '$(field "$2" "$1")', not '$3' in: $1"
}

caption="Driver check $$"
drive_start "$window_exe" "$caption" || { echo "FAILED: cannot start the window"; exit 1; }
pid=$DRIVEN_PID
sel=(--caption "$caption" --pid "$pid")

# Found by caption and process; the client area has the size it was given.
driver wait-window "${sel[@]}" || { echo "FAILED: no window"; exit 1; }
client=$(field client)
[ "${client#*,*,}" = "320,140" ] || fail "client area $client"
driver wait-window --caption "$caption" --pid $((pid + 100000)) --timeout 300 >/dev/null &&
  fail "a window of another process was taken for this one"

driver list "${sel[@]}" >/dev/null || fail "list"
line=$(control_with_text Ready)
expect_field "$line" class Static "label"
expect_field "$line" rect 12,12,200,13 "label"
line=$(control_with_text Remember)
expect_field "$line" check 0 "check box"
line=$(control_with_text Finish)
expect_field "$line" enabled 0 "Finish before the box is checked"
line=$(printf '%s\n' "$DRIVER_OUT" | grep -E '^control .* class=msctls_progress32 ' | head -n1)
expect_field "$line" pos 40 "progress bar"

# A click whose handler opens a modal box returns at once; the box is answered by id.
driver click "${sel[@]}" --button Ask >/dev/null || fail "click Ask"
driver answer-box --pid "$pid" --id 7 >/dev/null || fail "answer No"
[ "$(field text)" = "Go on?" ] || fail "box text '$(field text)'"
driver wait-window "${sel[@]}" --text No --timeout 5000 >/dev/null || fail "the label did not say No"

driver check "${sel[@]}" --button Remember --state 1 >/dev/null || fail "check Remember"
driver text "${sel[@]}" --button Remember >/dev/null
driver click "${sel[@]}" --button Ask >/dev/null || fail "click Ask again"
driver answer-box --pid "$pid" --id 6 >/dev/null || fail "answer Yes"
driver wait-window "${sel[@]}" --text Yes --timeout 5000 >/dev/null || fail "the label did not say Yes"

# Finish waits until it is enabled, then ends the program.
driver click "${sel[@]}" --button Finish >/dev/null || fail "click Finish"
driver wait-exit --pid "$pid" || fail "the program did not end"
[ "$DRIVER_OUT" = "exited code=61" ] || fail "exit: $DRIVER_OUT"
DRIVEN_PID=""

# The close box of a second run.
drive_start "$window_exe" "$caption" || fail "second start"
pid=$DRIVEN_PID
driver close --caption "$caption" --pid "$pid" >/dev/null || fail "close"
driver wait-gone --caption "$caption" --pid "$pid" >/dev/null || fail "window still open"
driver wait-exit --pid "$pid" >/dev/null || fail "second run did not end"
[ "$DRIVER_OUT" = "exited code=0" ] || fail "second exit: $DRIVER_OUT"
DRIVEN_PID=""

[ $failures -eq 0 ] && echo "wizard driver: all checks passed"
exit $((failures > 0))
