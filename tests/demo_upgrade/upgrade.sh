#!/usr/bin/env bash
# The demo product upgraded for real: the older package installed (install.sh), a
# macro of the user's own added, then the newer package's Setup.exe run as a person
# would: the question about the older version answered Yes, the old kept uninstaller
# runs its own pages to its finish page and is closed there with Finish, the new
# version goes through welcome, licence, Install and Finish. Read back afterwards:
# the uninstall entry, the program files and the user's macros.
#   upgrade.sh <build dir> <wizard-driver.exe> <older package> <newer package> <texts.tsv>
#              [--keep] [--shots <folder>]
# An installation of the older version already in the prefix is taken as it is.
# --keep leaves the upgraded installation in place; otherwise it is removed by hand.
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wizard-driver/drive.sh"
source "$here/../demo_install/demo_prefix.sh"
source "$here/../wizard_flows/flows.sh"
build=$(cd "$1" && pwd) || { echo "no build at $1"; exit 1; }
DRIVER_EXE=$2
old_package=$(cd "$3" && pwd) || { echo "no package at $3"; exit 1; }
package=$(cd "$4" && pwd) || { echo "no package at $4"; exit 1; }
texts=$5
shift 5
demo_options "$@" || exit 2
export LANG=C.UTF-8 LC_ALL=C.UTF-8 LANGUAGE=en

package_version() { sed -n 's/^%PROGRAM_VERSION=\(.*\)$/\1/p' "$1/Setup.ini" | tr -d '\r'; }
old_version=$(package_version "$old_package")
new_version=$(package_version "$package")
[ -n "$old_version" ] && [ "$old_version" \< "$new_version" ] ||
  { echo "FAILED: the packages are not older ($old_version) and newer ($new_version)"; exit 1; }

demo_prefix_init "$build" || exit 1
if [ "$(reg_value "$DEMO_UNINSTALL_KEY" DisplayVersion)" = "$old_version" ]; then
  echo "== the older version $old_version is installed"
else
  echo "== the older version $old_version installed (install.sh)"
  "$here/../demo_install/install.sh" "$build" "$DRIVER_EXE" "$old_package" --keep >"$build/demo_upgrade.install.log" 2>&1 ||
    { cat "$build/demo_upgrade.install.log"; echo "FAILED: the installation of the older version"; exit 1; }
  echo "  installed (log: $build/demo_upgrade.install.log)"
fi

drive_init "$build" || exit 1
flows_init "$build" "$texts" || exit 1
setup="" old=""
cleanup() {
  [ -n "$setup" ] && { DRIVEN_PID=$setup; drive_kill; }
  [ -n "$old" ] && { DRIVEN_PID=$old; drive_kill; }
  if [ $keep -eq 0 ]; then
    driver kill --exe Ostrel.exe --timeout 0 >/dev/null 2>&1
    demo_remove_by_hand
  fi
  drive_stop
}
trap cleanup EXIT

root=$(host_path "$DEMO_PROGRAM_FILES\\Ostrel")
kept_copy="$DEMO_TEMPLATES\\Ostrel\\Setup.exe"
expect "DisplayVersion" "$(reg_value "$DEMO_UNINSTALL_KEY" DisplayVersion)" "$old_version"
expect "Version.txt" "$(tr -d '\r\n' <"$root/Ostrel/Version.txt")" "$old_version"
mkdir -p "$root/Ostrel/ScriptsMacros/Mine"
printf 'the user'"'"'s macro\r\n' >"$root/Ostrel/ScriptsMacros/Mine/Mine.osm"
printf 'edited by the user\r\n' >"$root/Ostrel/ScriptsMacros/Welcome.osm"
echo "  the user's macros: ScriptsMacros/Mine/Mine.osm, ScriptsMacros/Welcome.osm edited"

echo "== the newer version $new_version: the question"
drive_start "$package/Setup.exe" >/dev/null || { fail "Setup.exe does not start"; exit 1; }
setup=$DRIVEN_PID
box=(--class '#32770' --pid "$setup")
if ! driver list "${box[@]}" --timeout 60000 >/dev/null; then
  driver windows --pid "$setup"
  fail "no question about the older version"
  exit 1
fi
expect "box caption" "$(field caption)" "$(demo_text ProductName)"
only_page "" "$setup"
shot question "${box[@]}"
driver answer-box --id 6 "${box[@]}" >/dev/null || { fail "the box has no Yes button"; exit 1; }
expect "box text" "$(field text)" "$(as_shown "$(demo_text MSG_501)")"
echo "  answered Yes"

echo "== the old kept uninstaller, its own pages"
# A second Setup.exe: the kept copy, started with "uninstallanyway", goes from its
# preparation straight to its uninstall page and on to its finish page.
if ! driver wait-window --class TFFinish --exe Setup.exe --timeout 300000 >/dev/null; then
  driver windows --exe Setup.exe
  fail "the old uninstaller never reached its finish page"
  exit 1
fi
old=$(field pid)
[ "$old" != "$setup" ] || { fail "the finish page belongs to the new Setup.exe"; exit 1; }
echo "  finish page of the kept copy (pid $old)"
driver list --class TFFinish --pid "$old" >/dev/null
grep -q 'visible=1 .*text=Uninstallation complete$' <<<"$DRIVER_OUT" || fail "old finish page: no 'Uninstallation complete'"
shot old-finish --class TFFinish --pid "$old"
only_page "" "$setup"
driver click --class TFFinish --pid "$old" --button "Finish" >/dev/null || fail "old finish page: no Finish button"
driver wait-exit --pid "$old" --timeout 60000 >/dev/null || fail "the old uninstaller did not end after Finish"
expect "the old uninstaller" "$DRIVER_OUT" "exited code=0"
old=""

echo "== the new version's pages"
if ! driver wait-window --class TFWelcome --pid "$setup" --timeout 60000 >/dev/null; then
  driver windows --pid "$setup"
  fail "no welcome page after the removal"
  exit 1
fi
# Removed before the new version writes anything; the user's macros stay.
reg_value "$DEMO_UNINSTALL_KEY" DisplayVersion >/dev/null && fail "the old uninstall entry is still there"
[ -e "$root/Ostrel/Version.txt" ] && fail "the old program files are still there"
[ -f "$root/Ostrel/ScriptsMacros/Mine/Mine.osm" ] || fail "the user's macro is gone after the removal"
shot welcome --class TFWelcome --pid "$setup"
driver click --class TFWelcome --pid "$setup" --button "Next >" >/dev/null || fail "welcome: no Next"
driver wait-window --class TFEULA --pid "$setup" >/dev/null || { fail "no licence page"; exit 1; }
driver check --class TFEULA --pid "$setup" --button "I accept the terms of the licence agreement" --state 1 >/dev/null ||
  fail "licence: cannot agree"
driver click --class TFEULA --pid "$setup" --button "Next >" >/dev/null || fail "licence: Next stays disabled"
driver wait-window --class TFAskInstall --pid "$setup" >/dev/null || { fail "no ask-install page"; exit 1; }
driver click --class TFAskInstall --pid "$setup" --button "Install" >/dev/null || fail "no Install button"
if ! driver wait-window --class TFFinish --pid "$setup" --timeout 300000 >/dev/null; then
  driver windows --pid "$setup"
  fail "the installation never reached the finish page"
  exit 1
fi
driver list --class TFFinish --pid "$setup" >/dev/null
grep -q 'visible=1 .*text=Installation complete$' <<<"$DRIVER_OUT" || fail "finish: no 'Installation complete'"
shot finish --class TFFinish --pid "$setup"
driver check --class TFFinish --pid "$setup" --button "Start Ostrel now" --state 0 >/dev/null ||
  fail "finish: cannot clear 'Start Ostrel now'"
driver click --class TFFinish --pid "$setup" --button "Finish" >/dev/null || fail "no Finish button"
driver wait-exit --pid "$setup" --timeout 60000 >/dev/null || fail "Setup.exe did not end after Finish"
expect "Setup.exe" "$DRIVER_OUT" "exited code=0"
setup=""
echo "  welcome, licence, Install, Finish"

echo "== what the upgrade left"
expect "DisplayVersion" "$(reg_value "$DEMO_UNINSTALL_KEY" DisplayVersion)" "$new_version"
expect "UninstallString" "$(reg_value "$DEMO_UNINSTALL_KEY" UninstallString)" "\"$kept_copy\" uninstall"
expect "Version.txt" "$(tr -d '\r\n' <"$root/Ostrel/Version.txt")" "$new_version"
cmp -s "$root/Ostrel/Ostrel.exe" "$package/Program Files/Ostrel/Ostrel.exe" && echo "  Ostrel.exe: the newer package's" ||
  fail "Ostrel.exe is not the newer package's"
cmp -s "$(host_path "$kept_copy")" "$package/Setup.exe" && echo "  kept Setup.exe: the newer package's" ||
  fail "the kept Setup.exe is not the newer package's"
expect "ScriptsMacros/Mine/Mine.osm" "$(tr -d '\r' <"$root/Ostrel/ScriptsMacros/Mine/Mine.osm" 2>/dev/null)" \
  "the user's macro"
expect "ScriptsMacros/Welcome.osm" "$(tr -d '\r' <"$root/Ostrel/ScriptsMacros/Welcome.osm" 2>/dev/null)" \
  "edited by the user"

if [ $keep -eq 1 ]; then
  # The macros were this run's own: the installation kept holds what the packages put
  # there. The upgrade brought them back into the old-layout folder as well.
  for folder in "$root"/*/ScriptsMacros; do
    rm -rf "$folder/Mine"
    [ -f "$folder/Welcome.osm" ] && cp "$package/Program Files/Ostrel/ScriptsMacros/Welcome.osm" "$folder/Welcome.osm"
  done
  echo "== kept: the upgraded installation stays (without this run's macros)"
fi
[ $failures -eq 0 ] && echo "the demo product is upgraded from $old_version to $new_version"
exit $((failures > 0))
