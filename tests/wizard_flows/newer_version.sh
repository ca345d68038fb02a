#!/usr/bin/env bash
# The demo package's Setup.exe where a newer version of the product is installed:
# with the private key and the uninstall entry of such a version in the prefix's
# 32-bit view, it shows MSG_102 + " (102)" with the error icon, shows no page, and
# ends once the box is answered. The keys are removed afterwards.
#   newer_version.sh <build dir> <wizard-driver.exe> <package dir> <texts.tsv>
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wizard-driver/drive.sh"
source "$here/../demo_install/demo_prefix.sh"
source "$here/flows.sh"
DRIVER_EXE=$2
package=$(cd "$3" && pwd) || { echo "no package at $3"; exit 1; }
export LANG=C.UTF-8 LC_ALL=C.UTF-8 LANGUAGE=en
drive_init "$1" || exit 1
flows_init "$1" "$4" || exit 1

# The keys as the setup reads them from Setup.ini; written through the 32-bit view,
# which a 32-bit setup sees.
private_key='HKLM\Software\Pellimo\Ostrel'
uninstall_entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ostrel'
reg32() { "$WINE_RUN" "$DEMO_REG" "$@" /reg:32 >/dev/null 2>&1; }
remove_keys() {
  reg32 delete "$uninstall_entry" /f
  # The publisher key was not there before either.
  reg32 delete 'HKLM\Software\Pellimo' /f
}
trap 'drive_stop; remove_keys' EXIT

traces=$(demo_traces)
[ -z "$traces" ] || { trap drive_stop EXIT; echo "FAILED: not a clean machine, the prefix holds: $traces"; exit 1; }
before=$(prefix_state)
setup_version=$(sed -n 's/^%PROGRAM_VERSION=\(.*\)\r\?$/\1/p' "$package/Setup.ini" | tr -d '\r')
wanted="$(demo_text MSG_102) (102)"

# Greater as strings: by a later digit, and by being longer with the same start.
for installed in 1.0.1 "$setup_version.1"; do
  echo "== installed $installed, the package brings $setup_version"
  reg32 add "$private_key" /v UninstRegFolder /d Ostrel /f &&
    reg32 add "$uninstall_entry" /v DisplayVersion /d "$installed" /f || fail "cannot write the keys"
  expect "DisplayVersion in the 32-bit view" "$(reg_value "$DEMO_UNINSTALL_KEY" DisplayVersion)" "$installed"
  drive_start "$package/Setup.exe" >/dev/null || { fail "Setup.exe does not start"; break; }
  setup=$DRIVEN_PID
  box=(--class '#32770' --pid "$setup")
  if driver list "${box[@]}" --timeout 60000 >/dev/null; then
    expect "box caption" "$(field caption)" "$(demo_text ProductName)"
    # Wine places the text right of the icon when the box has one.
    icon=$(printf '%s\n' "$DRIVER_OUT" | grep '^control .* id=1088 ' | head -n1)
    IFS=, read -r icon_left _ icon_width _ <<<"$(field rect "$icon")"
    IFS=, read -r text_left _ <<<"$(field rect "$(printf '%s\n' "$DRIVER_OUT" | grep '^control .* id=65535 ')")"
    [ -n "$icon" ] && [ "$(field visible "$icon")" = 1 ] && [ "${text_left:-0}" -ge $((icon_left + icon_width)) ] &&
      echo "  the box has an icon" || fail "the box shows no icon: $DRIVER_OUT"
    only_page "" "$setup"
    driver answer-box --id 1 "${box[@]}" >/dev/null || fail "the box has no OK button"
    expect "box text" "$(field text)" "$wanted"
  else
    driver windows --pid "$setup"
    fail "no message box"
  fi
  driver wait-exit --pid "$setup" --timeout 30000 >/dev/null || fail "Setup.exe does not end after the box"
  expect "Setup.exe" "$DRIVER_OUT" "exited code=0"
  drive_kill
  remove_keys
done

after=$(prefix_state)
[ "$before" = "$after" ] && echo "  the prefix is as before" ||
  fail "the prefix changed: $(diff <(echo "$before") <(echo "$after") | tr '\n' ' ')"
[ $failures -eq 0 ] && echo "a newer installed version is refused with MSG_102"
exit $((failures > 0))
