#!/usr/bin/env bash
# The one-click repair and the first-run installation through engine-run:
# the installers written out of the program's own resources, run in order,
# deleted, and the second vendor's default web settings.
. "$(dirname "$0")/lib.sh"


answers() {
  out=$(engine_run 10 1 no)
  check_eq "No" "TITLE_CS	1
REPAIR1	100
REPAIR1	0" "$out"
  check_eq "No runs nothing" "" "$(installs_log)"
  # The work folder made first by a program of the user (with a DLL for
  # the installers beside it), then a junction in its place: neither is
  # used, nor made ours.
  local target="$WINEPREFIX/drive_c/users/Public/elsewhere"
  mkdir -p "$(work_dir)" "$target"; printf 'planted' > "$(work_dir)/version.dll"
  for kind in made junction; do
    [ "$kind" = junction ] && { rm -rf "$(work_dir)"; ln -s "$target" "$(work_dir)"; }
    out=$(engine_run 10 1 yes)
    check_eq "a work folder $kind beforehand fails the first step" "TITLE_CS	1
REPAIR0	50
REPAIR0	0" "$out"
  done
  check_eq "nothing ran from them" "" "$(installs_log)"
  check_eq "nothing was put where the junction leads" "" "$(ls -A "$target")"
  rm -f "$(work_dir)"; rm -rf "$target"
  mkdir -p "$(temp_dir)"; local temp_before; temp_before=$(ls -A "$(temp_dir)")
  # While each installer waits for its start, another program tries to change it.
  out=$(ENGINE_RUN_CONFIRM=yes ENGINE_RUN_TAMPER=1 engine_run 10 1)
  check_eq "Yes" "TITLE_CS	1
REPAIR2	100
REPAIR2	0" "$(grep -v '^tamper' <<<"$out")"
  check_eq "four installers in order" "LCCB_SignExt.exe
LCCB_PowerEnterExt.exe
LCCB_PrinterExt.exe
LCCB_SovanExt.exe" "$(installs_log)"
  check "each ran in the run's own folder, as its current folder and TEMP" ran_in_run_folder
  check_eq "nobody could write, delete or rename an installer between its check and its start" \
    "4 write=refused delete=refused rename=refused" \
    "$(grep '^tamper' <<<"$out" | cut -f3 | sort | uniq -c | sed 's/^ *//')"
  check "the run's folder is gone with it" test ! -e "$(work_dir)"
  check_eq "nothing was written to the user's Temp" "$temp_before" "$(ls -A "$(temp_dir)")"
}

vendor_two() {
  urlset="$APP_DIR/URLSet.ini"
  printf '[Setting]\r\nTotalNum=0\r\n' > "$urlset"
  # A crash (an error status as exit code) is a failed step like code 4.
  installer_exit LCCB_PrinterExt.exe 0xC0000005
  out=$(engine_run 10 2 yes)
  check_eq "printing installer crashes" "TITLE_CS	1
REPAIR0	50
REPAIR0	0" "$out"
  check_eq "nothing runs after the failed step" "LCCB_SignExt.exe
LCCB_PowerEnterExt.exe
LCCB_PrinterExt.exe" "$(installs_log)"
  # The web settings cannot be written beside the old file: the step fails
  # and the user's file stays as it was.
  : > "$STATE_DIR/installer.ini"; : > "$STATE_DIR/installs.log"
  mkdir "$urlset.new"
  out=$(engine_run 10 2 yes)
  rmdir "$urlset.new"
  check_eq "four stand-ins, then the token manager's own installer" "LCCB_SignExt.exe
LCCB_PowerEnterExt.exe
LCCB_PrinterExt.exe
mainsetExt.exe" "$(installs_log)"
  check_eq "an unwritable web-settings file fails the step" "REPAIR0	75
REPAIR0	0" "$(tail -2 <<<"$out")"
  check_contains "and leaves the old one" "TotalNum=0" "$(tr -d '\r' < "$urlset" 2>/dev/null)"
  out=$(engine_run 10 2 yes)
  check_contains "then the default web settings" "SetEvent=1" "$(tr -d '\r' < "$urlset" 2>/dev/null)"
  check_contains "with the bank's home page of the bank values" "URL0=https://www.lccb-bank.example/" "$(tr -d '\r' < "$urlset" 2>/dev/null)"
  check_eq "and the end" "REPAIR2	100
REPAIR2	0" "$(tail -2 <<<"$out")"
}

first_run() {
  # No provider key: the first full check installs everything first.
  out=$(engine_run 4 1)
  check_eq "installs first" "LCCB_SignExt.exe
LCCB_PowerEnterExt.exe
LCCB_PrinterExt.exe
LCCB_SovanExt.exe" "$(installs_log)"
  check_contains "then checks" "TITLE_WS	1" "$out"
  check_eq "and ends" "TITLE_IE	0" "$(tail -1 <<<"$out")"
  : > "$STATE_DIR/installs.log"
  "$top/scripts/stage-client" "$WINEPREFIX" --vendor 1
  out=$(engine_run 4 1)
  check_eq "with the key present it goes straight to the checks" "" "$(installs_log)"
  check_eq "the checks run" "TITLE_WS	1" "$(head -1 <<<"$out")"
}

assistant_hook ORVANE_UPDATE_HOST 127.0.0.1:9
assistant_hook ORVANE_PROBE_URL http://127.0.0.1:9/
run_scenario answers answers
run_scenario vendor-two vendor_two
run_scenario first-run first_run
scenario_exit
