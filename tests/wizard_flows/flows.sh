# Bash library of the wizard-flow scripts: the demo package's Setup.exe under Wine,
# worked through tools/wizard-driver/drive.sh. Source it after drive.sh and
# tests/demo_install/demo_prefix.sh, then call flows_init <build dir> <texts.tsv>.
#
# (fail and expect come from demo_prefix.sh.)
#
#   demo_text <key> [language]        a text of the demo's text table as the program
#                                     looks it up (an empty cell takes the English one)
#   as_shown <text>                   the text as the driver prints a control's text:
#                                     %P filled, %R1 gone, line breaks written \n
#   control <text>                    the control line of the last list whose text is
#                                     exactly this (as_shown form)
#   expect_control <what> <text> <key=value>...
#   wait_control <window options...> -- <text> <key=value>...
#                                     lists the window until its control with that text
#                                     has those fields, or 15 s have passed
#   only_page <class> <pid>           fails unless that is the one visible page (an
#                                     empty class: unless none is)
#   check_welcome_page <pid> [language]
#                                     lists the welcome page of that Setup.exe and
#                                     checks its caption and controls against the table
#   demo_traces                       prints what of the demo product is in the prefix
#   prefix_state                      prints the traces and what a setup could change
#                                     under other names, to compare before and after

flows_init() {
  FLOWS_TEXTS=$2
  [ -f "$FLOWS_TEXTS" ] || { echo "flows.sh: no text table $FLOWS_TEXTS" >&2; return 1; }
  demo_prefix_init "$1"
}

demo_text() {
  local key=$1 language=${2:-English}
  awk -F '\t' -v key="$key" -v language="$language" '
    /^#/ { next }
    !header { for (i = 1; i <= NF; i++) column[$i] = i; header = 1; next }
    /^\[/ { section = $1; next }
    section == "[InstallWizard]" && $1 == key {
      text = $(column[language])
      if (text == "") text = $(column["English"])
      print text
      exit
    }' "$FLOWS_TEXTS"
}

# The table writes a line break as \n; the program turns %R1 into a carriage return,
# which the driver leaves out, and the driver writes a line feed as \n again.
as_shown() {
  local text=${1//%P/$(demo_text ProductName)}
  text=${text//%R1/}
  printf '%s' "$text"
}

control() {
  local line wanted=$1
  while IFS= read -r line; do
    [[ $line == control\ * ]] || continue
    [ "$(field text "$line")" = "$wanted" ] && { printf '%s' "$line"; return 0; }
  done <<<"$DRIVER_OUT"
  return 1
}

# Fields of the control with this text in DRIVER_OUT; a message per mismatch.
control_mismatch() {
  local text=$1 line pair
  shift
  line=$(control "$text") || { echo "no control with the text '$text'"; return 1; }
  for pair in "$@"; do
    [ "$(field "${pair%%=*}" "$line")" = "${pair#*=}" ] || { echo "'$text': not ${pair} in: $line"; return 1; }
  done
  return 0
}

expect_control() {
  local what=$1 why
  shift
  if why=$(control_mismatch "$@"); then echo "  $what: $1"; else fail "$what: $why"; fi
}

wait_control() {
  local window=() why end=$((SECONDS + 15))
  while [ "$1" != -- ]; do window+=("$1"); shift; done
  shift
  while :; do
    driver list "${window[@]}" >/dev/null || { fail "no window ${window[*]}"; return 1; }
    why=$(control_mismatch "$@") && return 0
    [ $SECONDS -ge $end ] && { fail "$why"; return 1; }
  done
}

only_page() {
  local pages
  driver windows --pid "$2" >/dev/null
  # The preparation form stays visible but fully transparent once a page shows.
  pages=$(printf '%s\n' "$DRIVER_OUT" | grep -o ' class=TF[A-Za-z]*' | grep -v '=TFPrepare$' | tr -d ' ' | sort | tr '\n' ' ')
  [ "$pages" = "${1:+class=$1 }" ] || fail "pages showing: '$pages', not ${1:-none}"
}

check_welcome_page() {
  local window=(--class TFWelcome --pid "$1") language=${2:-English}
  echo "== welcome page"
  driver list "${window[@]}" >/dev/null || { fail "no welcome page"; return 1; }
  expect caption "$(field caption)" "$(demo_text ProductName "$language")"
  expect_control lb_Welcome "$(as_shown "$(demo_text lb_Welcome-\>Caption "$language")")" visible=1
  expect_control lb_StartInstallation "$(as_shown "$(demo_text lb_StartInstallation-\>Caption "$language")")" \
    visible=1
  expect_control lb_Version V1.0 visible=1
  expect_control bt_Next "$(demo_text bt_Next-\>Caption "$language")" class=Button enabled=1
  expect_control bt_Cancel "$(demo_text bt_Cancel-\>Caption "$language")" class=Button enabled=1
}

# What the demo product leaves when installed, by its known names.
demo_traces() {
  local dir key view
  for dir in "$DEMO_PROGRAM_FILES\\Ostrel" "$DEMO_TEMPLATES\\Ostrel" "$DEMO_START_MENU\\Pellimo" \
    "$DEMO_DESKTOP\\Ostrel.lnk"; do
    [ -e "$(host_path "$dir")" ] && echo "file $dir"
  done
  # Both views: a write to the wrong one is a trace too.
  for key in 'HKLM\Software\Pellimo' 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ostrel'; do
    for view in 32 64; do
      "$WINE_RUN" "$DEMO_REG" query "$key" /reg:$view >/dev/null 2>&1 && echo "key $key (view $view)"
    done
  done
  reg_value "$DEMO_RUN_KEY" Ostrel >/dev/null && echo "value $DEMO_RUN_KEY\\Ostrel"
  return 0
}

prefixed() {
  local line
  while IFS= read -r line; do printf '%s %s\n' "$1" "$line"; done
}

# The traces, and the entries where a setup writes under any name: the folders of
# programs, menus and the desktop, the software keys and uninstall entries of both
# views, and the values run at logon.
prefix_state() {
  local dir view key
  demo_traces
  for dir in "$DEMO_PROGRAM_FILES" 'C:\Program Files' "$DEMO_TEMPLATES" "$DEMO_START_MENU" "$DEMO_DESKTOP"; do
    (cd "$(host_path "$dir")" 2>/dev/null && find . -maxdepth 2 | sort | prefixed "file $dir")
  done
  for view in 32 64; do
    for key in 'HKLM\Software' 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'; do
      "$WINE_RUN" "$DEMO_REG" query "$key" /reg:$view 2>/dev/null | tr -d '\r' | grep '^HKEY' | sort |
        prefixed "key (view $view)"
    done
  done
  "$WINE_RUN" "$DEMO_REG" query "$DEMO_RUN_KEY" /reg:64 2>/dev/null | tr -d '\r' | grep '^    ' | prefixed run
  return 0
}
