#!/usr/bin/env bash
# The demo package's Setup.exe on a prefix without the product: the preparation form
# shows with its texts and a full bar, then the welcome page takes over with the texts
# of the demo's table; its close box ends the program and the prefix is as before.
#   clean_start.sh <build dir> <wizard-driver.exe> <package dir> <texts.tsv>
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wizard-driver/drive.sh"
source "$here/../demo_install/demo_prefix.sh"
source "$here/flows.sh"
DRIVER_EXE=$2
package=$(cd "$3" && pwd) || { echo "no package at $3"; exit 1; }
export LANG=C.UTF-8 LC_ALL=C.UTF-8 LANGUAGE=en
drive_init "$1" || exit 1
trap drive_stop EXIT
flows_init "$1" "$4" || exit 1

traces=$(demo_traces)
[ -z "$traces" ] || { echo "FAILED: not a clean machine, the prefix holds: $traces"; exit 1; }
before=$(prefix_state)

echo "== the preparation form"
drive_start "$package/Setup.exe" >/dev/null || { echo "FAILED: Setup.exe does not start"; exit 1; }
setup=$DRIVEN_PID
prepare=(--class TFPrepare --pid "$setup")
if driver wait-window "${prepare[@]}" --timeout 60000 >/dev/null; then
  expect caption "$(field caption)" "$(demo_text FPrepare-\>Caption)"
  driver list "${prepare[@]}" >/dev/null
  expect_control "lb_Prepare" "$(as_shown "$(demo_text lb_Prepare-\>Caption)")"
  expect_control "lb_PrepareProc" "$(demo_text lb_PrepareProc-\>Caption)"
  expect_control "bt_Cancel" "$(demo_text bt_Cancel-\>Caption)" class=Button
  # Four steps of 25, done before the timer decides.
  grep -q '^control .* class=msctls_progress32 .* pos=100 ' <<<"$DRIVER_OUT" && echo "  pb_Prepare: 100" ||
    fail "the preparation bar is not full: $DRIVER_OUT"
else
  fail "no preparation form"
fi

welcome=(--class TFWelcome --pid "$setup")
if driver wait-window "${welcome[@]}" --timeout 30000 >/dev/null; then
  only_page TFWelcome "$setup"
  check_welcome_page "$setup"
  echo "== its close box ends the program"
  driver close "${welcome[@]}" >/dev/null || fail "welcome: no close box"
else
  driver windows --pid "$setup"
  fail "no welcome page"
fi
driver wait-exit --pid "$setup" --timeout 30000 >/dev/null || fail "Setup.exe does not end"
expect "Setup.exe" "$DRIVER_OUT" "exited code=0"
DRIVEN_PID=""

after=$(prefix_state)
[ "$before" = "$after" ] && echo "  the prefix is as before" ||
  fail "the prefix changed: $(diff <(echo "$before") <(echo "$after") | tr '\n' ' ')"
[ $failures -eq 0 ] && echo "a clean start shows the preparation form, then the welcome page"
exit $((failures > 0))
