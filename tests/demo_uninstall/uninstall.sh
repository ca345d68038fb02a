#!/usr/bin/env bash
# The demo product uninstalled for real: with Ostrel running, the uninstall entry's
# UninstallString is started as Windows' own Apps settings start it (the command line
# as it stands, through CreateProcessW), Ostrel's window must get the close request
# and end, the confirmation is answered with Uninstall, the finish page with Finish,
# and then the registry, the Start menu, the desktop and Program Files are read back:
# only the install root, the emptied program folder with its ScriptsMacros and the
# kept installer may remain.
#   uninstall.sh <build dir> <wizard-driver.exe> <package dir> [--keep] [--shots <folder>]
# Without an installation in the prefix, it first installs one with install.sh --keep.
# --keep leaves what the uninstallation left; otherwise that is removed by hand too.
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wizard-driver/drive.sh"
source "$here/../demo_install/demo_prefix.sh"
build=$(cd "$1" && pwd) || { echo "no build at $1"; exit 1; }
DRIVER_EXE=$2
package=$(cd "$3" && pwd) || { echo "no package at $3"; exit 1; }
shift 3
demo_options "$@" || exit 2

demo_prefix_init "$build" || exit 1
# The log that install.sh hands the product it starts; a product started here uses it too.
log="$build/demo_install/starts.log"
program_dir="$DEMO_PROGRAM_FILES\\Ostrel\\Ostrel"

drive_init "$build" || exit 1
setup="" apps=""
cleanup() {
  [ -n "$setup" ] && { DRIVEN_PID=$setup; drive_kill; }
  [ -n "$apps" ] && { DRIVEN_PID=$apps; drive_kill; }
  if [ $keep -eq 0 ]; then
    driver kill --exe Ostrel.exe --timeout 0 >/dev/null 2>&1
    demo_remove_by_hand
  fi
  drive_stop
}
trap cleanup EXIT

if ! reg_value "$DEMO_UNINSTALL_KEY" UninstallString >/dev/null; then
  echo "== no installation yet: installing with install.sh --keep"
  "$here/../demo_install/install.sh" "$build" "$DRIVER_EXE" "$package" --keep >"$build/demo_uninstall.install.log" 2>&1 ||
    { cat "$build/demo_uninstall.install.log"; echo "FAILED: the installation before the uninstallation"; exit 1; }
  echo "  installed (log: $build/demo_uninstall.install.log)"
fi

echo "== the product running"
# A product whose start was not logged (an installation kept by hand, a product ended
# meanwhile) is started afresh from its program folder, logging to the known file.
if ! driver windows --caption "Ostrel Main" --exe Ostrel.exe >/dev/null || [ -z "$DRIVER_OUT" ] ||
  [ "$(tr -d '\r' <"$log" 2>/dev/null | tail -1 | cut -c1-6)" != "start " ]; then
  driver kill --exe Ostrel.exe --timeout 0 >/dev/null 2>&1
  driver wait-exit --exe Ostrel.exe >/dev/null
  mkdir -p "$(dirname "$log")"
  driver start --env "OSTREL_DEMO_LOG=$(winpath "$log")" -- "$program_dir\\Ostrel.exe" >/dev/null ||
    fail "the installed Ostrel.exe does not start"
fi
driver wait-window --caption "Ostrel Main" --exe Ostrel.exe --timeout 60000 >/dev/null ||
  { fail "no window captioned 'Ostrel Main' before the uninstallation"; exit 1; }
echo "  window: $DRIVER_OUT"
log_lines=$(tr -d '\r' <"$log" | wc -l)

echo "== the uninstall entry, started as the Apps settings start it"
command=$(reg_value "$DEMO_UNINSTALL_KEY" UninstallString) || { fail "no UninstallString"; exit 1; }
expect "UninstallString" "$command" "\"$DEMO_TEMPLATES\\Ostrel\\Setup.exe\" uninstall"
# Wine's own counterpart of the Apps settings runs the entry's UninstallString as it
# stands (CreateProcessW with that command line) and waits for it.
entry=${DEMO_UNINSTALL_KEY##*\\}
driver start -- 'C:\windows\system32\uninstaller.exe' --remove "$entry" >/dev/null ||
  { fail "Wine's uninstaller does not start"; exit 1; }
apps=${DRIVER_OUT#pid }
if ! driver wait-window --class TFUninstallConfirm --exe Setup.exe --timeout 60000 >/dev/null; then
  driver windows --exe Setup.exe
  fail "no uninstall confirmation"
  exit 1
fi
confirm=$DRIVER_OUT
setup=$(field pid "$confirm")
expect "confirmation caption" "$(field caption "$confirm")" "Ostrel"
driver list --class TFUninstallConfirm --pid "$setup" >/dev/null
grep -q 'visible=1 .*text=Do you want to remove Ostrel and all of its components from your computer?' <<<"$DRIVER_OUT" ||
  fail "the confirmation does not ask: $DRIVER_OUT"
shot confirm --class TFUninstallConfirm --pid "$setup"

echo "== the product asked to close before the question"
# The preparation form sends the close request just before it shows the question.
if driver wait-gone --caption "Ostrel Main" --timeout 30000 >/dev/null; then
  echo "  window: gone"
else
  fail "the window 'Ostrel Main' stays"
fi
driver wait-exit --exe Ostrel.exe --timeout 30000 >/dev/null && echo "  process: ended" || fail "Ostrel.exe still runs"
added=$(tr -d '\r' <"$log" | tail -n +$((log_lines + 1)))
expect "log lines since" "$(tr '\n' '|' <<<"$added")" "close|"

echo "== confirmation: Uninstall"
driver click --class TFUninstallConfirm --pid "$setup" --button "Uninstall" >/dev/null || fail "no Uninstall button"
if ! driver wait-window --class TFFinish --pid "$setup" --timeout 300000 >/dev/null; then
  driver windows --pid "$setup"
  fail "the uninstallation never reached the finish page"
  exit 1
fi
driver list --class TFFinish --pid "$setup" >/dev/null
finish=$DRIVER_OUT
shot finish --class TFFinish --pid "$setup"
grep -q 'visible=1 .*text=Uninstallation complete$' <<<"$finish" || fail "finish: no 'Uninstallation complete'"
grep -q 'visible=1 .*text=Ostrel has been removed from your computer\.' <<<"$finish" ||
  fail "finish: no removal note"
grep -q 'visible=1 .*text=\(Installation complete\|Start Ostrel now\)$' <<<"$finish" &&
  fail "finish: the install texts show"
echo "  finish page: 'Uninstallation complete', Finish"
driver click --class TFFinish --pid "$setup" --button "Finish" >/dev/null || fail "no Finish button"
driver wait-exit --pid "$setup" --timeout 60000 >/dev/null || fail "the uninstaller did not end after Finish"
expect "the uninstaller" "$DRIVER_OUT" "exited code=0"
setup=""
driver wait-exit --pid "$apps" --timeout 30000 >/dev/null || fail "Wine's uninstaller did not end after the uninstaller"
apps=""

echo "== the registry (reg query)"
for key in "$DEMO_UNINSTALL_KEY" "$DEMO_PRIVATE_KEY" "$DEMO_SOFTWARE\\Pellimo" 'HKLM\Software\Pellimo' \
  'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ostrel'; do
  if reg_query "$key"; then fail "$key remains: $REG_OUT"; else echo "  $key: gone"; fi
done
if reg_value "$DEMO_RUN_KEY" Ostrel >/dev/null; then
  fail "the Run value Ostrel remains"
else
  echo "  $DEMO_RUN_KEY /v Ostrel: gone"
fi

# The shared keys that held them stay.
for key in "$DEMO_SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall" "$DEMO_RUN_KEY"; do
  if reg_query "$key"; then echo "  $key: kept"; else fail "the shared key $key is gone"; fi
done

echo "== the Start menu and the desktop"
for path in "$DEMO_START_MENU" "$DEMO_DESKTOP"; do
  if [ -d "$(host_path "$path")" ]; then echo "  $path: kept"; else fail "the shared folder $path is gone"; fi
done
for path in "$DEMO_START_MENU\\Pellimo" "$DEMO_DESKTOP\\Ostrel.lnk"; do
  if [ -e "$(host_path "$path")" ]; then fail "$path remains"; else echo "  $path: gone"; fi
done

echo "== what remains under $DEMO_PROGRAM_FILES\\Ostrel"
root=$(host_path "$DEMO_PROGRAM_FILES\\Ostrel")
if [ -d "$root" ]; then
  left=$(cd "$root" && find . -mindepth 1 | sed 's|^\./||' | sort)
  sed 's/^/  /' <<<"$left"
  # The install root, the program folder of the same name, and the user data in it.
  wanted="Ostrel|Ostrel/ScriptsMacros|Ostrel/ScriptsMacros/Welcome.osm|"
  # After an upgrade the user data came back into the old-layout folder too, and stays.
  [ -d "$root/OstrelClassic/ScriptsMacros" ] &&
    wanted+="OstrelClassic|OstrelClassic/ScriptsMacros|OstrelClassic/ScriptsMacros/Welcome.osm|"
  expect "entries" "$(tr '\n' '|' <<<"$left")" "$wanted"
  cmp -s "$root/Ostrel/ScriptsMacros/Welcome.osm" "$package/Program Files/Ostrel/ScriptsMacros/Welcome.osm" ||
    fail "ScriptsMacros\\Welcome.osm changed"
else
  fail "the install root $DEMO_PROGRAM_FILES\\Ostrel is gone"
fi

echo "== the kept installer in $DEMO_TEMPLATES\\Ostrel, untouched"
kept=$(host_path "$DEMO_TEMPLATES\\Ostrel")
for f in Setup.exe Setup.ini English/Application.ico Texts/InstallWizard.xlsx; do
  [ -f "$kept/$f" ] && echo "  $f" || fail "the kept installer has no $f"
done
cmp -s "$kept/Setup.exe" "$package/Setup.exe" || fail "the kept Setup.exe differs from the package's"

if [ $keep -eq 1 ]; then
  echo "== kept: what the uninstallation left stays"
fi
[ $failures -eq 0 ] && echo "the demo product is uninstalled as the package says"
exit $((failures > 0))
