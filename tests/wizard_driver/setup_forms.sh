#!/usr/bin/env bash
# Setup.exe under Wine, worked with wizard-driver.exe: every form shown through the
# SETUP_SHOW_FORM hook is found by its class and the program's process, with the
# caption and the client area its layout gives at 96 dpi; the preparation form's
# Cancel ends the program.
#   setup_forms.sh <build dir> <wizard-driver.exe> <Setup.exe> <work folder>
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wizard-driver/drive.sh"
DRIVER_EXE=$2
setup_exe=$3
work=$4
rm -rf "$work"
mkdir -p "$work/Texts/LanguageIni_InstallWizard/English"
# A workbook that cannot be read sends start-up to the INI texts beside it.
echo "not a workbook" >"$work/Texts/InstallWizard.xlsx"
printf '[InstallWizard]\r\nProductName=Ostrel\r\nFPrepare->Caption=Ostrel Setup\r\nbt_Cancel->Caption=Cancel\r\n' \
  >"$work/Texts/LanguageIni_InstallWizard/English/Install_English.ini"
cp "$setup_exe" "$work/Setup.exe"
drive_init "$1" || exit 1
trap 'drive_stop; rm -rf "$work"' EXIT

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

#    form                  client area  caption
forms="FPrepare             381x148      Ostrel Setup
FWelcome                    554x368      Ostrel
FAskInstall                 554x368      Ostrel
FAskUpgradeAndRepair        554x368      Ostrel
FCancelConfirm              501x151      Ostrel
FCancel                     554x368      Ostrel
FEULA                       554x368      Ostrel
FFinish                     554x368      Ostrel
FInstall                    554x368      Ostrel
FUpgradeAndRepair           554x368      Ostrel
FUninstallConfirm           281x107      Ostrel
FUninstall                  552x366      Ostrel"

while read -r form size caption; do
  DRIVE_ENV=("SETUP_SHOW_FORM=$form")
  drive_start "$work/Setup.exe" >/dev/null || { fail "$form: Setup.exe does not start"; continue; }
  if driver wait-window --class "T$form" --pid "$DRIVEN_PID" >/dev/null; then
    IFS=, read -r _ _ w h <<<"$(field client)"
    [ "${w}x$h" = "$size" ] || fail "$form: client area ${w}x$h, not $size"
    [ "$(field caption)" = "$caption" ] || fail "$form: caption '$(field caption)', not '$caption'"
    # Only the named form shows (beside the toolkit's own window, which has no size).
    driver windows --pid "$DRIVEN_PID" >/dev/null
    [ "$(printf '%s\n' "$DRIVER_OUT" | grep -c '^window .* class=TF')" -eq 1 ] ||
      fail "$form: other forms show: $DRIVER_OUT"
  else
    fail "$form: no window of class T$form"
  fi
  if [ "$form" = FPrepare ]; then
    # Its Cancel closes the main form, which ends the program.
    driver click --class TFPrepare --pid "$DRIVEN_PID" --button Cancel >/dev/null || fail "FPrepare: no Cancel"
    driver wait-exit --pid "$DRIVEN_PID" >/dev/null || fail "FPrepare: Cancel did not end the program"
    [ "$DRIVER_OUT" = "exited code=0" ] || fail "FPrepare: $DRIVER_OUT"
  fi
  drive_kill
done <<<"$forms"

[ $failures -eq 0 ] && echo "Setup.exe: every form found, measured and captioned"
exit $((failures > 0))
