#!/usr/bin/env bash
# The demo product updated for real through its online updater: the kept installer is
# started with "updater" and must start the demo updater (OstrelUpdater.exe) with
# "InstallExeRecall"; the updater applies the newer package (told by UpdateSource.txt
# beside it), renames the kept Setup.ini to Setup_old.ini, puts the new one there and
# starts the kept installer with "registry", which rewrites the records and starts the
# updater again with "UpdaterFinish". Then the entry, the key, the shortcuts, the
# record file and the kept installer are read back, and an uninstallation
# (uninstall.sh) must remove the updated installation as it removes a fresh one.
#   update.sh <build dir> <wizard-driver.exe> <package dir> <newer package dir> [--keep] [--shots <folder>]
# Without an installation in the prefix, it first installs <package dir> with
# install.sh --keep. --keep leaves the updated installation (no uninstallation).
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wizard-driver/drive.sh"
source "$here/../demo_install/demo_prefix.sh"
build=$(cd "$1" && pwd) || { echo "no build at $1"; exit 1; }
DRIVER_EXE=$2
package=$(cd "$3" && pwd) || { echo "no package at $3"; exit 1; }
newer=$(cd "$4" && pwd) || { echo "no newer package at $4"; exit 1; }
shift 4
demo_options "$@" || exit 2
options=("$@")

demo_prefix_init "$build" || exit 1
work="$build/demo_update"
rm -rf "$work"
mkdir -p "$work"
log="$work/updater.log"
program_dir="$DEMO_PROGRAM_FILES\\Ostrel\\Ostrel"
kept="$DEMO_TEMPLATES\\Ostrel\\Setup.exe"
new_version=$(sed -n 's/^%PROGRAM_VERSION=\([^\r]*\).*/\1/p' "$newer/Setup.ini")

drive_init "$build" || exit 1
cleanup() {
  drive_stop
  if [ $keep -eq 0 ] && [ "${uninstalled:-0}" -eq 0 ]; then
    demo_remove_by_hand
  fi
}
trap cleanup EXIT

if ! reg_value "$DEMO_UNINSTALL_KEY" UninstallString >/dev/null; then
  echo "== no installation yet: installing with install.sh --keep"
  "$here/../demo_install/install.sh" "$build" "$DRIVER_EXE" "$package" --keep >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; fail "the installation before the update"; exit 1; }
  echo "  installed (log: $work/install.log)"
fi
root=$(host_path "$DEMO_PROGRAM_FILES\\Ostrel")
old_version=$(tr -d '\r\n' <"$root/Ostrel/Version.txt" 2>/dev/null)
echo "  installed version: $old_version; the newer package: $new_version ($newer)"
[ -n "$new_version" ] && [ "$new_version" != "$old_version" ] || fail "the newer package brings no other version"
printf '%s\r\n' "$(winpath "$newer")" >"$root/OnlineUpdater/UpdateSource.txt"
macro_before=$(md5sum <"$root/Ostrel/ScriptsMacros/Welcome.osm")

echo "== the kept installer started with \"updater\""
driver start --env "OSTREL_UPDATER_LOG=$(winpath "$log")" -- "$kept" updater >/dev/null ||
  { fail "the kept Setup.exe does not start"; exit 1; }
setup=${DRIVER_OUT#pid }
driver wait-exit --pid "$setup" --timeout 60000 >/dev/null || fail "Setup.exe updater did not end"
expect "Setup.exe updater" "$DRIVER_OUT" "exited code=0"

echo "== the updater applies $new_version and has the kept installer re-register it"
end=$((SECONDS + 180))
until grep -q '^UpdaterFinish' "$log" 2>/dev/null || grep -q '^error' "$log" 2>/dev/null || [ $SECONDS -ge $end ]; do
  sleep 1
done
driver wait-exit --exe OstrelUpdater.exe --timeout 60000 >/dev/null || fail "OstrelUpdater.exe still runs"
driver wait-exit --exe Setup.exe --timeout 60000 >/dev/null || fail "a Setup.exe still runs"
lines=$(tr -d '\r' <"$log" 2>/dev/null)
sed 's/^/  log: /' <<<"$lines"
expect "the updater's log" "$(tr '\n' '|' <<<"$lines")" \
  "InstallExeRecall|applied $new_version from $(winpath "$newer")|registry $kept|UpdaterFinish|"

echo "== the files"
expect "Version.txt" "$(tr -d '\r\n' <"$root/Ostrel/Version.txt")" "$new_version"
cmp -s "$root/Ostrel/Ostrel.exe" "$newer/Program Files/Ostrel/Ostrel.exe" || fail "Ostrel.exe is not the newer package's"
[ "$(md5sum <"$root/Ostrel/ScriptsMacros/Welcome.osm")" = "$macro_before" ] && echo "  ScriptsMacros: the user's" ||
  fail "the user's ScriptsMacros changed"
kept_dir=$(host_path "$DEMO_TEMPLATES\\Ostrel")
[ -e "$kept_dir/Setup_old.ini" ] && fail "Setup_old.ini remains beside the kept installer" || echo "  Setup_old.ini: gone"
expect "the kept Setup.ini's version" "$(sed -n 's/^%PROGRAM_VERSION=\([^\r]*\).*/\1/p' "$kept_dir/Setup.ini")" \
  "$new_version"

echo "== the uninstall entry and the private key"
expect DisplayVersion "$(reg_value "$DEMO_UNINSTALL_KEY" DisplayVersion)" "$new_version"
expect UninstallString "$(reg_value "$DEMO_UNINSTALL_KEY" UninstallString)" "\"$kept\" uninstall"
expect DisplayName "$(reg_value "$DEMO_UNINSTALL_KEY" DisplayName)" "Ostrel"
menu="$DEMO_START_MENU\\Pellimo\\Ostrel"
links=("$menu\\Ostrel.lnk" "$menu\\Uninstall Ostrel.lnk" "$menu\\Ostrel Manual.lnk" "$DEMO_DESKTOP\\Ostrel.lnk")
private=(UninstOnAppDataDir "$kept" Product Ostrel InstallDir "$DEMO_PROGRAM_FILES\\Ostrel" UninstRegFolder Ostrel
  ExecOnBoot Ostrel LINK_ProgramsExec "${links[0]}" LINK_ProgramUnist "${links[1]}"
  LINK_ProgramsManual "${links[2]}" LINK_DesktopExec "${links[3]}"
  OnlineUpdaterDir "$DEMO_PROGRAM_FILES\\Ostrel\\OnlineUpdater")
for ((i = 0; i < ${#private[@]}; i += 2)); do
  expect "${private[$i]}" "$(reg_value "$DEMO_PRIVATE_KEY" "${private[$i]}")" "${private[$((i + 1))]}"
done
expect "the Run value" "$(reg_value "$DEMO_RUN_KEY" Ostrel)" "\"$program_dir\\Ostrel.exe\" Minimum"

echo "== the shortcuts point at the install root"
targets=("$program_dir\\Ostrel.exe" "$kept" "$program_dir\\Manual\\English.pdf" "$program_dir\\Ostrel.exe")
for i in 0 1 2 3; do
  lnk=$(host_path "${links[$i]}")
  [ -f "$lnk" ] || { fail "no shortcut ${links[$i]}"; continue; }
  expect "${links[$i]}" "$(lnk_field "$lnk" 'Local path')" "${targets[$i]}"
done

echo "== Regedit_FileList.ini"
record=$(sed '1s/^\xef\xbb\xbf//' "$root/OnlineUpdater/Regedit_FileList.ini" 2>/dev/null | tr -d '\r')
section=$(awk '/^\[/ { s = $0; next } s == "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ostrel]" && /^DisplayVersion=/' <<<"$record")
expect "the entry's DisplayVersion line" "$section" "DisplayVersion=$new_version"
grep -Fqx "InstallDir=$DEMO_PROGRAM_FILES\\Ostrel" <<<"$record" || fail "the record has no InstallDir line"

uninstalled=0
if [ $keep -eq 1 ]; then
  echo "== kept: the updated installation stays"
else
  echo "== the updated installation uninstalled (uninstall.sh)"
  drive_stop
  if "$here/../demo_uninstall/uninstall.sh" "$build" "$DRIVER_EXE" "$package" "${options[@]}" >"$work/uninstall.log" 2>&1; then
    echo "  removed as a fresh installation is (log: $work/uninstall.log)"
  else
    cat "$work/uninstall.log"
    fail "the uninstallation after the update"
  fi
  uninstalled=1
  drive_init "$build" || exit 1
fi
[ $failures -eq 0 ] && echo "the demo product is updated as the newer package says"
exit $((failures > 0))
