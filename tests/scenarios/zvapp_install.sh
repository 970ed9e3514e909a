#!/usr/bin/env bash
# The token manager's own installer on a machine without it: carried and run
# by the assistant (repair, first-run installation), over a running token
# manager, its uninstaller, and a failure that leaves nothing behind.
. "$(dirname "$0")/lib.sh"
# Start-menu entries stay in the prefix, not in this machine's own menus.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"

PROVIDER_KEY='HKLM\SOFTWARE\Microsoft\Cryptography\Defaults\Provider\Zanvo Cryptographic Service Provider'
UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Zanvo application'
RUN_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
SETUP="$SIGNED_DIR/LCCB_ZanvoExt.exe"
msn=$(tokensim_get cfg.MsnTitle)

# reg_value KEY NAME: the data of one value, empty when there is none.
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v n="$2" '{ i = index($0, "    " n "    "); if (i) { s = substr($0, i + length(n) + 8); sub(/^REG_[A-Z_]*    /, "", s); print s } }'
}
provider_dir() { echo "$WINEPREFIX/drive_c/Program Files/OstraCSP20407"; }
shortcuts() { find "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu" -name '*.lnk' 2>/dev/null | sed 's:.*/Programs/::' | LC_ALL=C sort; }
# What the installer leaves, one line each; empty when nothing of it is there.
installed_traces() {
  (cd "$(provider_dir)" 2>/dev/null && find . -type f ! -name URLSet.ini | sort)
  reg_value "$PROVIDER_KEY" 'Image Path'
  reg_value "$UNINSTALL_KEY" UninstallString
  reg_value "$RUN_KEY" ZVApp
  reg_value "$RUN_KEY" OrlinUser_20407
  shortcuts
}
# A prefix without the token manager that the staging put there.
without_token_manager() { rm -rf "$(provider_dir)"; }

# Starts the token manager the way logon does: the command of its Run entry.
start_from_run_entry() {
  local cmd; cmd=$(reg_value "$RUN_KEY" ZVApp | tr -d '"')
  (cd "$APP_DIR" && exec wine "$cmd" >/dev/null 2>&1) &
  wd wait "$(tokensim_get cfg.UserTitle)" 30000 >/dev/null
}

repair() {
  without_token_manager
  out=$(engine_run 10 2 yes)
  check_eq "the repair succeeds" "TITLE_CS	1
REPAIR2	100
REPAIR2	0" "$out"
  check_eq "the stand-ins ran for the others, the real installer for the client" "LCCB_SignExt.exe
LCCB_PowerEnterExt.exe
LCCB_PrinterExt.exe
mainsetExt.exe" "$(installs_log)"
  local d; d=$(provider_dir)
  check "the vendor's files and the token manager are in the provider folder" \
    test -f "$d/OstraCSP20407.dll" -a -f "$d/QKCommand.dll" -a -f "$d/ZVCSPApi.dll" -a -f "$APP_DIR/OstraCSP.dll" \
    -a -f "$APP_DIR/ZVCheck.dll" -a -f "$APP_DIR/OrlinUser_20407.exe" -a -f "$APP_DIR/uninst.exe" \
    -a -f "$APP_DIR/ZVApp.exe" -a -f "$APP_DIR/ZVApp.ini"
  check_eq "the CSP is registered where the checks read it" \
    "$ZV_DIR\\OstraCSP.dll|C:\\Program Files\\OstraCSP20407\\OstraCSP20407.dll|0x1" \
    "$(reg_value "$PROVIDER_KEY" 'Image Path')|$(reg_value "$PROVIDER_KEY" realPath)|$(reg_value "$PROVIDER_KEY" Type)"
  check_eq "it starts at every logon" "\"$ZV_EXE\"" "$(reg_value "$RUN_KEY" ZVApp)"
  check_eq "Start-menu entries" "岚川银行泽沃USBKey网银客户端/USBKey管理工具.lnk
岚川银行泽沃USBKey网银客户端/卸载.lnk" "$(shortcuts)"
  check_eq "an entry in the installed programs" "\"$ZV_DIR\\uninst.exe\"" "$(reg_value "$UNINSTALL_KEY" UninstallString)"
  check_contains "then the assistant's web settings" "SetEvent=1" "$(tr -d '\r' < "$APP_DIR/URLSet.ini" 2>/dev/null)"

  start_from_run_entry
  wait_for 10 grep -q QKSetDevChgFunc "$STATE_DIR/calls.log"
  check_contains "the token manager bound its libraries" "QKSetDevChgFunc" "$(calls_log)"
  tokensim insert >/dev/null
  check "an inserted token raises the pop-up" test -n "$(wd wait-class ZVAppMsnWnd 10000 "$msn" | cut -f1)"
  screenshot install-popup
  out=$(engine_run 1 2)
  check_contains "the next client check finds the client installed and complete" "UKEY_WQ2322_ZV" "$out"
  check_contains "and the token through the installed CSP" "UKEY_WQ2301_ZV" "$out"

  # Upgrade over the running token manager: it ends through its own exit,
  # the user's web settings stay, and the new one starts as the user.
  printf '[Setting]\r\nSetEvent=0\r\nTotalNum=0\r\n' > "$APP_DIR/URLSet.ini"
  local before; before=$(md5sum < "$APP_DIR/URLSet.ini")
  : > "$STATE_DIR/calls.log"
  cp "$SETUP" "$WINEPREFIX/drive_c/LCCB_ZanvoExt.exe"
  wine 'C:\LCCB_ZanvoExt.exe' >/dev/null 2>&1
  check_eq "the upgrade succeeds" "0" "$?"
  check_eq "the running token manager ended" "0" "$(zv_processes)"
  check_contains "through its own exit (caches and browser certificates cleared)" "CSPUnAllIECert" "$(calls_log)"
  check_eq "the user's web settings are kept" "$before" "$(md5sum < "$APP_DIR/URLSet.ini")"
  start_from_run_entry
  check_eq "one token manager afterwards" "1" "$(zv_processes)"

  # The uninstaller ends it too and takes away all it made.
  wine "$ZV_DIR\\uninst.exe" /S >/dev/null 2>&1
  wait_for 60 test -z "$(installed_traces)"
  check_eq "nothing of it is left" "" "$(installed_traces)"
  check_eq "the token manager was ended" "0" "$(zv_processes)"
  check "but the user's web settings" test -f "$APP_DIR/URLSet.ini"
}

first_run() {
  without_token_manager
  out=$(engine_run 4 2)
  check_contains "the first full check installs the client without a question" "UKEY_WQ2322_ZV" "$out"
  check_eq "and the token manager" "\"$ZV_EXE\"" "$(reg_value "$RUN_KEY" ZVApp)"
}

failing() {
  without_token_manager
  # A file where the provider folder goes: nothing can be written there.
  printf 'blocker' > "$(provider_dir)"
  out=$(engine_run 10 2 yes)
  check_eq "the installer's failure is the repair's" "REPAIR0	75
REPAIR0	0" "$(tail -2 <<<"$out")"
  check_eq "the blocker is untouched" "blocker" "$(cat "$(provider_dir)")"
  rm -f "$(provider_dir)"
  check_eq "nothing half-installed" "" "$(installed_traces)"
}

assistant_hook ORVANE_UPDATE_HOST 127.0.0.1:9
assistant_hook ORVANE_PROBE_URL http://127.0.0.1:9/
run_scenario repair repair
run_scenario first-run first_run
run_scenario failing failing
scenario_exit
