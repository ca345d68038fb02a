#!/usr/bin/env bash
# The first pages of the demo package's Setup.exe in one language, as Windows of that
# language shows them: welcome, licence (the package's licence of the language, the
# choice enabling Next), ask-install, back to the licence with the choice kept, back to
# the welcome page; Cancel there goes straight to the cancelled page, whose OK ends
# the program, and the prefix is as before. Every page's texts are those of the demo's
# table for the language; the licence page is saved as <shots>/licence-<language>.png.
#   first_pages.sh <build dir> <wizard-driver.exe> <package dir> <texts.tsv> English|German <shots>
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wizard-driver/drive.sh"
source "$here/../demo_install/demo_prefix.sh"
source "$here/flows.sh"
DRIVER_EXE=$2
package=$(cd "$3" && pwd) || { echo "no package at $3"; exit 1; }
language=$5
shots=$6
# Wine takes the language of its Windows from the locale it is started in.
case "$language" in
  English) locale=C.UTF-8 licence=en; export LANGUAGE=en ;;
  German) locale=de_DE.UTF-8 licence=de; export LANGUAGE=de ;;
  *) echo "no such language here: $language"; exit 2 ;;
esac
if ! locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | grep -qx "$(printf '%s' "${locale%%.*}.utf8" | tr '[:upper:]' '[:lower:]')"; then
  echo "the locale $locale is not generated (scripts/lib.sh ensure_locale): skipped"
  exit 77
fi
export LANG=$locale LC_ALL=$locale
drive_init "$1" || exit 1
trap drive_stop EXIT
flows_init "$1" "$4" || exit 1
text() { demo_text "$1" "$language"; }

traces=$(demo_traces)
[ -z "$traces" ] || { echo "FAILED: not a clean machine, the prefix holds: $traces"; exit 1; }
before=$(prefix_state)

# The licence as the rich-text view gives it: its paragraphs, without the markup of
# the demo's licences.
licence_text=$(iconv -f UTF-16 -t UTF-8 "$package/EULA/$licence/Service.rtf" | tr -d '\r' | sed -e '1,2d' \
  -e 's/{\\b\\fs22 //; s/{\\b //g; s/}//g; s/\\par$//' | sed '$d' | awk '{ printf "%s%s", sep, $0; sep = "\\n" }')
[ -n "$licence_text" ] || { echo "FAILED: no licence in $package/EULA/$licence"; exit 1; }

drive_start "$package/Setup.exe" >/dev/null || { echo "FAILED: Setup.exe does not start"; exit 1; }
setup=$DRIVEN_PID
welcome=(--class TFWelcome --pid "$setup")
eula=(--class TFEULA --pid "$setup")
ask=(--class TFAskInstall --pid "$setup")
cancelled=(--class TFCancel --pid "$setup")
agree=$(text rb_AgreeEULA-\>Caption)
disapprove=$(text rb_DisapproveOfEULA-\>Caption)
next=$(text bt_Next-\>Caption)
previous=$(text bt_Previous-\>Caption)

# go <window...> -- <button> <page class>: presses the button, waits for the page.
go() {
  local window=()
  while [ "$1" != -- ]; do window+=("$1"); shift; done
  driver click "${window[@]}" --button "$2" >/dev/null || { fail "no usable '$2' on ${window[*]}"; return 1; }
  driver wait-window --class "$3" --pid "$setup" >/dev/null || { fail "'$2' does not lead to $3"; return 1; }
  only_page "$3" "$setup"
}

# licence_page <agreed 0|1>
licence_page() {
  local disapproved=$((1 - $1))
  echo "== licence page"
  driver list "${eula[@]}" >/dev/null || { fail "no licence page"; return 1; }
  expect caption "$(field caption)" "$(text ProductName)"
  local view
  view=$(printf '%s\n' "$DRIVER_OUT" | grep '^control .* class=RichEdit' | head -n1)
  [ "$(field text "$view")" = "$licence_text" ] && echo "  re_EULA: the licence of EULA\\$licence" ||
    fail "re_EULA does not show EULA\\$licence\\Service.rtf: '$(field text "$view")', not '$licence_text'"
  expect_control rb_AgreeEULA "$agree" check="$1"
  expect_control rb_DisapproveOfEULA "$disapprove" check=$disapproved
  expect_control bt_Next "$next" class=Button enabled="$1"
  expect_control bt_Previous "$previous" class=Button enabled=1
  expect_control bt_PrintEULA "$(text bt_PrintEULA-\>Caption)" class=Button enabled=1
  expect_control bt_Cancel "$(text bt_Cancel-\>Caption)" class=Button enabled=1
  expect_control lb_Version V1.0 visible=1
}

# choose <radio button text> <Next enabled 0|1>
choose() {
  driver check "${eula[@]}" --button "$1" --state 1 >/dev/null || { fail "cannot select '$1'"; return 1; }
  wait_control "${eula[@]}" -- "$next" enabled="$2" && echo "  '$1' selected: Next enabled=$2"
}

ask_page() {
  echo "== ask-install page"
  driver list "${ask[@]}" >/dev/null || { fail "no ask-install page"; return 1; }
  expect caption "$(field caption)" "$(text ProductName)"
  # The title text stays hidden behind the title picture.
  expect_control lb_Title "$(text FAskInstall-\>lb_Title-\>Caption)" visible=0
  expect_control lb_AskInstall "$(as_shown "$(text lb_AskInstall-\>Caption)")" visible=1
  expect_control bt_Previous "$previous" class=Button enabled=1
  expect_control bt_Install "$(text bt_Install-\>Caption)" class=Button enabled=1
  expect_control bt_Cancel "$(text bt_Cancel-\>Caption)" class=Button enabled=1
}

if driver wait-window "${welcome[@]}" --timeout 60000 >/dev/null; then
  only_page TFWelcome "$setup"
  check_welcome_page "$setup" "$language"
  go "${welcome[@]}" -- "$next" TFEULA && licence_page 0
  screenshot_window "$shots/licence-$language.png" "${eula[@]}" >/dev/null &&
    echo "  saved ${shots}/licence-$language.png" || fail "no screenshot of the licence page"
  choose "$agree" 1
  choose "$disapprove" 0
  choose "$agree" 1
  go "${eula[@]}" -- "$next" TFAskInstall && ask_page
  echo "== back"
  go "${ask[@]}" -- "$previous" TFEULA && licence_page 1
  go "${eula[@]}" -- "$previous" TFWelcome && check_welcome_page "$setup" "$language"
  echo "== Cancel"
  # No confirmation before anything has been changed.
  if go "${welcome[@]}" -- "$(text bt_Cancel-\>Caption)" TFCancel; then
    driver list "${cancelled[@]}" >/dev/null
    expect caption "$(field caption)" "$(text ProductName)"
    expect_control lb_Cancel "$(text lb_Cancel-\>Caption)" visible=1
    expect_control lb_Notes "$(as_shown "$(text lb_Notes-\>Caption)")" visible=1
    expect_control bt_OK "$(text bt_OK-\>Caption)" class=Button enabled=1
    driver click "${cancelled[@]}" --button "$(text bt_OK-\>Caption)" >/dev/null || fail "no OK on the cancelled page"
  fi
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
[ $failures -eq 0 ] && echo "the first pages in $language, there and back, and cancelled"
exit $((failures > 0))
