#!/usr/bin/env bash
# The demo product installed for real: the package's Setup.exe under Wine, worked as a
# person would (welcome, licence agreed, Install, Finish with "start now" checked),
# then everything it wrote read back and printed: the files under Program Files, the
# kept installer, the uninstall entry, the private key and the Run value, the four
# shortcuts (lnkinfo), the record file, "Installed.log", and the product started
# through HandOver.exe with its window up.
#   install.sh <build dir> <wizard-driver.exe> <package dir> [--keep] [--shots <folder>]
# --keep leaves the installation and the running product in place (for a later
# uninstall); otherwise the product is closed and the installation removed by hand.
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wizard-driver/drive.sh"
source "$here/demo_prefix.sh"
build=$1
DRIVER_EXE=$2
package=$(cd "$3" && pwd) || { echo "no package at $3"; exit 1; }
shift 3
demo_options "$@" || exit 2

drive_init "$build" || exit 1
demo_prefix_init "$build" || exit 1
# The start log stays after a kept run, for the uninstall that follows.
work="$build/demo_install"
rm -rf "$work"
mkdir -p "$work"
cleanup() {
  if [ $keep -eq 0 ]; then
    driver close --caption "Ostrel Main" --timeout 0 >/dev/null 2>&1
    driver wait-gone --caption "Ostrel Main" >/dev/null 2>&1
    demo_remove_by_hand
  fi
  drive_stop
  [ $keep -eq 1 ] || rm -rf "$work"
}
trap cleanup EXIT
# A start from nothing: no earlier installation, no product window.
driver kill --exe Ostrel.exe --timeout 0 >/dev/null 2>&1
demo_remove_by_hand
log="$work/starts.log"

echo "== the wizard"
DRIVE_ENV=("OSTREL_DEMO_LOG=$(winpath "$log")")
drive_start "$package/Setup.exe" >/dev/null || { fail "Setup.exe does not start"; exit 1; }
setup=$DRIVEN_PID
if ! driver wait-window --class TFWelcome --pid "$setup" --timeout 60000 >/dev/null; then
  driver windows --pid "$setup"
  fail "no welcome page"
  exit 1
fi
echo "  welcome page: Next"
shot welcome --class TFWelcome --pid "$setup"
driver click --class TFWelcome --pid "$setup" --button "Next >" >/dev/null || fail "welcome: no Next"
driver wait-window --class TFEULA --pid "$setup" >/dev/null || { fail "no licence page"; exit 1; }
driver list --class TFEULA --pid "$setup" >/dev/null
grep -q 'class=RichEdit.*text=Ostrel Licence Agreement' <<<"$DRIVER_OUT" || fail "the licence text is not shown: $DRIVER_OUT"
driver check --class TFEULA --pid "$setup" --button "I accept the terms of the licence agreement" --state 1 >/dev/null ||
  fail "licence: cannot agree"
echo "  licence page: agreed, Next"
shot licence --class TFEULA --pid "$setup"
driver click --class TFEULA --pid "$setup" --button "Next >" >/dev/null || fail "licence: Next stays disabled"
driver wait-window --class TFAskInstall --pid "$setup" >/dev/null || { fail "no ask-install page"; exit 1; }
echo "  ask-install page: Install"
shot ask-install --class TFAskInstall --pid "$setup"
driver click --class TFAskInstall --pid "$setup" --button "Install" >/dev/null || fail "no Install button"
if ! driver wait-window --class TFFinish --pid "$setup" --timeout 300000 >/dev/null; then
  driver windows --pid "$setup"
  fail "the installation never reached the finish page"
  exit 1
fi
echo "  finish page: 'Start Ostrel now' checked, Finish"
shot finish --class TFFinish --pid "$setup"
driver list --class TFFinish --pid "$setup" >/dev/null
grep -q 'check=1 .*text=Start Ostrel now' <<<"$DRIVER_OUT" || fail "finish: 'Start Ostrel now' is not checked"
driver click --class TFFinish --pid "$setup" --button "Finish" >/dev/null || fail "no Finish button"
driver wait-exit --pid "$setup" --timeout 60000 >/dev/null || fail "Setup.exe did not end after Finish"
[ "$DRIVER_OUT" = "exited code=0" ] || fail "Setup.exe: $DRIVER_OUT"

echo "== the product started through HandOver.exe"
if driver wait-window --caption "Ostrel Main" --exe Ostrel.exe --timeout 60000 >/dev/null; then
  echo "  window: $DRIVER_OUT"
  shot product --caption "Ostrel Main" --exe Ostrel.exe
else
  fail "no window captioned 'Ostrel Main'"
fi
starts=$(tr -d '\r' <"$log" 2>/dev/null)
echo "  start log: $starts"
program_dir="$DEMO_PROGRAM_FILES\\Ostrel\\Ostrel"
expect "start" "$starts" "start parent=HandOver.exe cmdline=\"$program_dir\\Ostrel.exe\""

echo "== files under $DEMO_PROGRAM_FILES"
root=$(host_path "$DEMO_PROGRAM_FILES\\Ostrel")
files=$(cd "$root" 2>/dev/null && find . -type f | sed 's|^\./||' | sort)
printf '  %s\n' $files
wanted="OnlineUpdater/OstrelUpdater.exe
OnlineUpdater/Regedit_FileList.ini
OnlineUpdater/Upgrade.ini
Ostrel/Data/Settings.ini
Ostrel/HandOver.exe
Ostrel/Installed.log
Ostrel/Manual.ico
Ostrel/Manual/English.pdf
Ostrel/Manual/German.pdf
Ostrel/Ostrel.exe
Ostrel/ScriptsMacros/Welcome.osm
Ostrel/Uninstall.ico
Ostrel/Version.txt
OstrelClassic/ReadMe.txt"
[ "$files" = "$wanted" ] || fail "the program files differ from the payload: $(diff <(echo "$wanted") <(echo "$files") | tr '\n' ' ')"
cmp -s "$root/Ostrel/Ostrel.exe" "$package/Program Files/Ostrel/Ostrel.exe" || fail "Ostrel.exe differs from the payload's"
[ -f "$root/Ostrel/Installed.log" ] && [ ! -s "$root/Ostrel/Installed.log" ] || fail "Installed.log is missing or not empty"
echo "  Installed.log: $( [ -f "$root/Ostrel/Installed.log" ] && echo "present, $(stat -c %s "$root/Ostrel/Installed.log") bytes")"

echo "== HandOver.exe starts nothing but a program of its own folder"
for name in '..\OstrelClassic\ReadMe.txt' 'C:\windows\notepad.exe' Missing.exe ScriptsMacros ''; do
  drive_start "$root/Ostrel/HandOver.exe" ${name:+"$name"} >/dev/null || { fail "HandOver.exe does not start"; break; }
  driver wait-exit --pid "$DRIVEN_PID" >/dev/null
  expect "'$name'" "$DRIVER_OUT" "exited code=2"
done
DRIVEN_PID=""

echo "== the kept installer in $DEMO_TEMPLATES\\Ostrel"
kept=$(host_path "$DEMO_TEMPLATES\\Ostrel")
for f in Setup.exe Setup.ini English/Application.ico Texts/InstallWizard.xlsx; do
  [ -f "$kept/$f" ] && echo "  $f" || fail "the kept installer has no $f"
done
cmp -s "$kept/Setup.exe" "$package/Setup.exe" || fail "the kept Setup.exe differs from the package's"
# The payload goes to the program folders only, whatever the letter case of its folder.
payload_copy=$(find "$kept" -maxdepth 1 -type d -iname 'program files')
[ -z "$payload_copy" ] && echo "  no payload in it" || fail "the kept installer holds the payload: $payload_copy"

echo "== the uninstall entry $DEMO_UNINSTALL_KEY"
setup_copy="$DEMO_TEMPLATES\\Ostrel\\Setup.exe"
expect DisplayName "$(reg_value "$DEMO_UNINSTALL_KEY" DisplayName)" "Ostrel"
expect UninstallString "$(reg_value "$DEMO_UNINSTALL_KEY" UninstallString)" "\"$setup_copy\" uninstall"
expect DisplayIcon "$(reg_value "$DEMO_UNINSTALL_KEY" DisplayIcon)" "$DEMO_TEMPLATES\\Ostrel\\English\\Application.ico"
expect DisplayVersion "$(reg_value "$DEMO_UNINSTALL_KEY" DisplayVersion)" \
  "$(sed -n 's/^%PROGRAM_VERSION=//p' "$package/Setup.ini" | tr -d '\r')"
expect Publisher "$(reg_value "$DEMO_UNINSTALL_KEY" Publisher)" "Pellimo"
expect URLInfoAbout "$(reg_value "$DEMO_UNINSTALL_KEY" URLInfoAbout)" "https://www.pellimo.example/ostrel"
# The 32-bit program's entry lies in the 32-bit view only.
reg_query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ostrel' && fail "an uninstall entry in the 64-bit view"

echo "== the Run value"
expect "Ostrel" "$(reg_value "$DEMO_RUN_KEY" Ostrel)" "\"$program_dir\\Ostrel.exe\" Minimum"

echo "== shortcuts"
menu="$DEMO_START_MENU\\Pellimo\\Ostrel"
links=("$menu\\Ostrel.lnk" "$menu\\Uninstall Ostrel.lnk" "$menu\\Ostrel Manual.lnk" "$DEMO_DESKTOP\\Ostrel.lnk")
targets=("$program_dir\\Ostrel.exe" "$setup_copy" "$program_dir\\Manual\\English.pdf" "$program_dir\\Ostrel.exe")
arguments=("" "uninstall" "" "")
icons=("$program_dir\\Ostrel.exe" "$program_dir\\Uninstall.ico" "$program_dir\\Manual.ico" "$program_dir\\Ostrel.exe")
for i in 0 1 2 3; do
  lnk=$(host_path "${links[$i]}")
  echo "  ${links[$i]}"
  if [ ! -f "$lnk" ]; then
    fail "no shortcut ${links[$i]}"
    continue
  fi
  expect "    target" "$(lnk_field "$lnk" 'Local path')" "${targets[$i]}"
  expect "    arguments" "$(lnk_field "$lnk" 'Command line arguments')" "${arguments[$i]}"
  expect "    icon" "$(lnk_field "$lnk" 'Icon location')" "${icons[$i]}"
  expect "    working folder" "$(lnk_field "$lnk" 'Working directory')" "${targets[$i]%\\*}\\"
done

echo "== the private key $DEMO_PRIVATE_KEY"
private=(UninstOnAppDataDir "$setup_copy" Product Ostrel FormCaption "Ostrel Main"
  InstallDir "$DEMO_PROGRAM_FILES\\Ostrel" ExecOnBoot Ostrel UninstRegFolder Ostrel
  LINK_ProgramsExec "${links[0]}" LINK_ProgramUnist "${links[1]}" LINK_ProgramsManual "${links[2]}"
  LINK_DesktopExec "${links[3]}" OnlineUpdaterDir "$DEMO_PROGRAM_FILES\\Ostrel\\OnlineUpdater")
for ((i = 0; i < ${#private[@]}; i += 2)); do
  expect "${private[$i]}" "$(reg_value "$DEMO_PRIVATE_KEY" "${private[$i]}")" "${private[$((i + 1))]}"
done

echo "== Regedit_FileList.ini"
record=$(host_path "$DEMO_PROGRAM_FILES\\Ostrel\\OnlineUpdater\\Regedit_FileList.ini")
text=$(sed '1s/^\xef\xbb\xbf//' "$record" 2>/dev/null | tr -d '\r')
printf '  %s\n' "$text"
sections=$(grep '^\[' <<<"$text")
expect "sections" "$(tr '\n' '|' <<<"$sections")" \
  "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ostrel]|[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]|[HKEY_LOCAL_MACHINE\\Software\\Pellimo\\Ostrel]|"
grep -Fqx "UninstallString=\"$setup_copy\" uninstall" <<<"$text" || fail "the record has no UninstallString line"
grep -Fqx "Ostrel=$program_dir\\Ostrel.exe" <<<"$text" || fail "the record has no Run line with the bare program path"
grep -Fqx "LINK_DesktopExec=${links[3]}" <<<"$text" || fail "the record has no LINK_DesktopExec line"

if [ $keep -eq 1 ]; then
  echo "== kept: the installation stays and Ostrel runs"
else
  echo "== the product's window closed"
  driver close --caption "Ostrel Main" --exe Ostrel.exe >/dev/null || fail "no product window to close"
  driver wait-gone --caption "Ostrel Main" >/dev/null || fail "the product's window stays after its close box"
  expect "last log line" "$(tr -d '\r' <"$log" | tail -1)" "close"
fi
[ $failures -eq 0 ] && echo "the demo product is installed as the package says"
exit $((failures > 0))
