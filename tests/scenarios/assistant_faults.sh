#!/usr/bin/env bash
# Fault sweep of the assistant's check engine through engine-run: the
# registry values the tables read, the files of the file tables and the
# update server's answers fail in turn. Every run must end with its
# command's end-of-run signal, within a time bound, without crashing; the
# faulted rows must read as failing. One check per family, a table of all
# runs as notes.
. "$(dirname "$0")/lib.sh"

srv="$SCENARIO_WORK/faults-srv"
RUN_LIMIT=${FAULT_RUN_LIMIT:-60}
sweep_start=$(date +%s)
runs=0
declare -A family_failed=()
declare -A finding_failed=()

HKCU_IS='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
ZONE2="$HKCU_IS\\Zones\\2"
DOMAINS="$HKCU_IS\\ZoneMap\\Domains"
SOFT='HKEY_LOCAL_MACHINE\SOFTWARE'
IE_KEY="$SOFT\\Microsoft\\Internet Explorer"
VERSIONS="$SOFT\\Kessaline\\VK820Auto_LCCBBank"
PROVIDERS="$SOFT\\Microsoft\\Cryptography\\Defaults\\Provider"
VK820="$PROVIDERS\\LCCB VK820Auto CSP v1.0"
ZANVO="$PROVIDERS\\Zanvo Cryptographic Service Provider"
RUN="$SOFT\\Microsoft\\Windows\\CurrentVersion\\Run"
UNINSTALL="$SOFT\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
SIGN_CLSID='HKEY_CLASSES_ROOT\CLSID\{F3E92562-1B4D-4BFA-B2D4-E9BCABE3B5CE}'
ROOT_CERT="$SOFT\\Microsoft\\SystemCertificates\\ROOT\\Certificates\\31BD6AEF73031C5A49338E7A06040DD815EF7512"
POLICIES='Software\Microsoft\Windows\CurrentVersion\Policies\Explorer'
SYS='C:\\windows\\system32'
LONG=$(printf 'x%.0s' $(seq 5000))
BLOB='5a,56,53,49,47,01,00,88,3d,71,0e,a4,52,9b,c6,17,e0,2f,64,b8,03,9d,41,7a,cc,15,6e,f2,38,87,0b,59,a6,24,d1,7f,90,4c,1b,e8,36,bd,62,05,9a,f7,2c,83,58,c1,0d,76,ea,31,9f,44,b2,6b,1e,d8,07,95,4a,fc,23,8e,61,b7,12,cd,70,3b,a9,56,e4,08,9c,47,d3,2a,85,1f,6c,f0,39,ae,54,02,bb,68,13,df,7c,26,91,4e,e9,34,8b,60,1a,c5,77,0f,a2,5d,f6,29,94,43,d0,6a,18,be,57,03,cf,7e,25,98,4b,e1,3c,86,6f,11,b4,59,0c,a7,52,fd,28,93,46,d9'

# Every value a fault below touches, as a passing system has it: written
# before each group's faults, so a group starts from the good state.
baseline_reg() {
  cat <<EOF
[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

[$ZONE2]
"2201"=dword:00000000
"1405"=dword:00000000
"1201"=dword:00000000
"2000"=dword:00000000
"1004"=dword:00000000
"1001"=dword:00000000
"1200"=dword:00000000

[$DOMAINS\\lanchuanbank.com.cn]
"http"=dword:00000002

[$DOMAINS\\lanchuanbank.com.cn\\www]
"http"=dword:00000002

[$DOMAINS\\lanchuan-ebank.com.cn\\ebank]
"https"=dword:00000002

[$DOMAINS\\lccb-ca.com.cn\\cs]
"http"=dword:00000002

[$ROOT_CERT]

[HKEY_LOCAL_MACHINE\\$POLICIES]
"NoDriveTypeAutoRun"=dword:00000091

[HKEY_CURRENT_USER\\$POLICIES]
"NoDriveTypeAutoRun"=dword:00000091

[$IE_KEY]
"Version"="9.11.9600.18376"

[$SIGN_CLSID]
@="stand-in"

[$VERSIONS]
"Path"="$SYS"
"Version"="1.0.12.1218"
"ZVVer"="1.0.12.1218"
"PSVer"="1.0.12.1218"
"SIGNVer"="1.0.12.1218"
"PRINTERVer"="1.0.12.1218"

[$UNINSTALL\\68EE4CE2-1407-4be1-AE5A-A376250F847D]

[$UNINSTALL\\Zanvo application]

[$VK820]
"Image Path"="$SYS\\\\vk820aCSP_LCCB_s.dll"
"Type"=dword:00000001
"SigInFile"=dword:00000000

[$ZANVO]
"Signature"=hex:$BLOB
"Image Path"="$SYS\\\\OstraCSP20407\\\\OstraCSP.dll"
"realPath"="$SYS\\\\OstraCSP20407.dll"
"Type"=dword:00000001

[$RUN]
"vk820amgr_LCCB"="control.exe \\"$SYS\\\\vk820aCSP_LCCB.dll\\""
"OrlinUser_20407"="$SYS\\\\OstraCSP20407\\\\OrlinUser_20407.exe"
EOF
}

# reg_group: the baseline, then the faults on stdin, imported in one start.
reg_group() {
  { echo REGEDIT4; echo; baseline_reg; echo; cat; } > "$WINEPREFIX/drive_c/faults.reg"
  wine regedit /S 'C:\faults.reg'
  rm -f "$WINEPREFIX/drive_c/faults.reg"
}

end_signal_ok() {  # CMD LAST-PAIR
  case "$1:$2" in
    1:"TITLE_RC	0" | 2:"TITLE_CE	0" | 4:"TITLE_IE	0" | 4:"REPAIR0	0") return 0 ;;
    10:"REPAIR0	0" | 10:"REPAIR1	0" | 10:"REPAIR2	0") return 0 ;;
  esac
  return 1
}

# run_case FAMILY CASE CMD VENDOR [ANSWER]: one bounded engine-run; the
# results are left in OUT, a table row is printed.
run_case() {
  local family=$1 name=$2 cmd=$3 vendor=$4 answer=${5:-no}
  local raw="$WINEPREFIX/run.out" err="$WINEPREFIX/run.err" rc start took last outcome
  start=$(date +%s.%N)
  timeout -k 5 "$RUN_LIMIT" wine engine-run "$cmd" NX "$vendor" "$answer" > "$raw" 2> "$err"
  rc=$?
  took=$(echo "$(date +%s.%N) - $start" | bc)
  runs=$((runs + 1))
  OUT=$(iconv -f GBK -t UTF-8 < "$raw" 2>/dev/null | tr -d '\r')
  last=$(printf '%s\n' "$OUT" | tail -n 1)
  if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
    outcome="hang (killed after ${RUN_LIMIT}s)"
    wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
  elif [ "$rc" -ne 0 ] || grep -q 'Unhandled exception\|wine: .*exception' "$err"; then
    outcome="crash (exit $rc)"
  elif ! end_signal_ok "$cmd" "$last"; then
    outcome="no end signal"
  else
    outcome=ok
  fi
  note "$(printf '%-28s | %s v%s | %-16s | %s (%.1fs)' "$name" "$cmd" "$vendor" "${last/	/ }" "$outcome" "$took")"
  [ "$outcome" = ok ] || family_failed[$family]+=" $name/$cmd/v$vendor"
}

# findings FAMILY CASE TOKEN...: every token is in OUT: "CODE" as a
# result code, "~TEXT" anywhere, "!CODE" as a code that must not be sent.
findings() {
  local family=$1 name=$2; shift 2
  local t missing=""
  for t in "$@"; do
    case "$t" in
      '~'*) [[ "$OUT" == *"${t#\~}"* ]] || missing+=" $t" ;;
      '!'*) ! grep -q "^${t#!}	" <<<"$OUT" || missing+=" $t" ;;
      *) grep -q "^$t	" <<<"$OUT" || missing+=" $t" ;;
    esac
  done
  if [ -n "$missing" ]; then
    finding_failed[$family]+=" $name:[${missing# }]"
    note "  $name: expected$missing"
  fi
}

# family_checks FAMILY TITLE
family_checks() {
  local f=$1
  if [ -z "${family_failed[$f]:-}" ]; then ok "$f faults: every run ends with its signal"
  else not_ok "$f faults: every run ends with its signal"; note "failing:${family_failed[$f]}"; fi
  if [ -z "${finding_failed[$f]:-}" ]; then ok "$f faults: the faulted rows read as failing"
  else not_ok "$f faults: the faulted rows read as failing"; note "failing:${finding_failed[$f]}"; fi
}

stage_both() {
  "$top/scripts/stage-client" "$WINEPREFIX" --vendor 1
  "$top/scripts/stage-client" "$WINEPREFIX" --vendor 2
  rm -rf "$srv"; version_file "$srv" 10121218
  start_update_server "$srv"
  start_manager
}

note "case | command | last pair | outcome"

registry_faults() {
  stage_both
  reg_group </dev/null
  run_case registry baseline 4 1
  findings registry baseline SITE0 IELEVEL2 ROOTCERT0 AUTORUN0 SIGN0 CONTROL0 PRINTER0 VERSION UKEY_WQ2322 '~IE版本:IE 9.11'
  run_case registry baseline 4 2
  findings registry baseline UKEY_WQ2322_ZV VERSION_ZV

  # Values missing. The provider keys stay: without them a first full
  # check would install instead.
  reg_group <<EOF
[$ZONE2]
"1200"=-
[$DOMAINS\\lanchuanbank.com.cn\\www]
"http"=-
[-$ROOT_CERT]
[$IE_KEY]
"Version"=-
[HKEY_LOCAL_MACHINE\\$POLICIES]
"NoDriveTypeAutoRun"=-
[HKEY_CURRENT_USER\\$POLICIES]
"NoDriveTypeAutoRun"=-
[-$SIGN_CLSID]
[$VERSIONS]
"PSVer"=-
"Path"=-
[$VK820]
"Type"=-
[$ZANVO]
"realPath"=-
EOF
  run_case registry value-missing 4 1
  findings registry value-missing IELEVEL0 SITE10 ROOTCERT1 SIGN3 CONTROL1 PRINTER0 UKEY_WQ2321 '~IE版本:unknow'
  run_case registry value-missing 4 2
  findings registry value-missing UKEY_WQ2321_ZV
  run_case registry value-missing 2 2

  # Keys missing.
  reg_group <<EOF
[-$ZONE2]
[-$DOMAINS\\lanchuanbank.com.cn]
[-HKEY_LOCAL_MACHINE\\$POLICIES]
[-HKEY_CURRENT_USER\\$POLICIES]
[-$VERSIONS]
[-$RUN]
[-$ZANVO]
EOF
  run_case registry key-missing 4 1
  findings registry key-missing IELEVEL0 SITE10 SIGN1 CONTROL1 PRINTER1 VERSION_OLD UKEY_WQ2321
  run_case registry key-missing 1 2
  findings registry key-missing VERSION_OLD_ZV UKEY_WQ2321_ZV
  run_case registry key-missing 2 1
  reg_group <<EOF
[-$UNINSTALL\\68EE4CE2-1407-4be1-AE5A-A376250F847D]
[-$UNINSTALL\\Zanvo application]
[-$VK820]
EOF
  run_case registry client-keys-missing 1 1
  findings registry client-keys-missing UKEY_NO_DRIVER
  run_case registry client-keys-missing 2 2

  # A DWORD where a string is read.
  reg_group <<EOF
[$IE_KEY]
"Version"=dword:00392e39
[$VERSIONS]
"PSVer"=dword:10121218
[$VK820]
"Image Path"=dword:00000001
[$ZANVO]
"Image Path"=dword:00000001
EOF
  run_case registry dword-for-string 4 1
  findings registry dword-for-string CONTROL1 UKEY_WQ2321 '~IE版本:unknow'
  run_case registry dword-for-string 4 2
  findings registry dword-for-string UKEY_WQ2321_ZV
  run_case registry dword-for-string 2 1

  # A string where a DWORD is read (short enough for the 4-byte buffer).
  reg_group <<EOF
[$ZONE2]
"1200"="0"
[$DOMAINS\\lanchuanbank.com.cn]
"http"="2"
[HKEY_LOCAL_MACHINE\\$POLICIES]
"NoDriveTypeAutoRun"="255"
[$VK820]
"Type"="1"
[$ZANVO]
"Type"="1"
EOF
  run_case registry string-for-dword 4 1
  findings registry string-for-dword IELEVEL0 SITE10 UKEY_WQ2321
  run_case registry string-for-dword 4 2
  findings registry string-for-dword UKEY_WQ2321_ZV

  # REG_BINARY in place of DWORDs and strings, with the very bytes a
  # passing value would have: four such bytes are the number they hold (the
  # zone rows pass), the texts still fail.
  reg_group <<EOF
[$ZONE2]
"1200"=hex:00,00,00,00
[$DOMAINS\\lanchuan-ebank.com.cn\\ebank]
"https"=hex:02,00,00,00
[$IE_KEY]
"Version"=hex:39,2e,30,00
[$VERSIONS]
"PSVer"=hex:31,2e,30,2e,31,32,2e,31,32,31,38,00
[$RUN]
"vk820amgr_LCCB"=hex:41
[$ZANVO]
"realPath"=hex:43,3a,5c,77,69,6e,64,6f,77,73,5c,73,79,73,74,65,6d,33,32,5c,4f,73,74,72,61,43,53,50,32,30,34,30,37,2e,64,6c,6c,00
EOF
  run_case registry binary 4 1
  findings registry binary '!IELEVEL0' '!SITE10' CONTROL1 UKEY_WQ2321 '~IE版本:unknow'
  run_case registry binary 4 2
  findings registry binary UKEY_WQ2321_ZV

  # Over-long values: 5000 characters.
  reg_group <<EOF
[$ZONE2]
"1200"="$LONG"
[$DOMAINS\\lccb-ca.com.cn\\cs]
"http"="$LONG"
[$IE_KEY]
"Version"="$LONG"
[$VERSIONS]
"PSVer"="$LONG"
"Path"="$LONG"
[$VK820]
"Image Path"="$LONG"
[$ZANVO]
"realPath"="$LONG"
[$SIGN_CLSID\\InprocServer32]
@="$LONG"
EOF
  run_case registry over-long 4 1
  findings registry over-long IELEVEL0 SITE10 CONTROL1 UKEY_WQ2321 '~IE版本:unknow'
  run_case registry over-long 4 2
  findings registry over-long UKEY_WQ2321_ZV
  run_case registry over-long 2 2

  # Empty values: an empty text, an empty binary.
  reg_group <<EOF
[$ZONE2]
"1200"=""
[$DOMAINS\\lanchuanbank.com.cn\\www]
"http"=""
[$VERSIONS]
"PSVer"=""
[$RUN]
"vk820amgr_LCCB"=""
[$ZANVO]
"Signature"=hex:
EOF
  run_case registry empty 4 1
  findings registry empty IELEVEL0 SITE10 CONTROL1 UKEY_WQ2321
  run_case registry empty 4 2
  findings registry empty UKEY_WQ2321_ZV

  # The repair's web-settings file lies under the Program Files folder.
  reg_group <<EOF
[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\windows\\CurrentVersion]
"ProgramFilesDir"="$LONG"
EOF
  run_case registry program-files-over-long 10 2 yes
  findings registry program-files-over-long '!REPAIR2'
  stop_update_server
  family_checks registry
}

file_faults() {
  stage_both
  reg_group </dev/null
  local sys="$WINEPREFIX/drive_c/windows/system32" f
  # kind FILE: missing, empty, a directory, then the file back.
  for kind in missing empty directory; do
    for f in iesign.ocx vk820aCSP_LCCB.sig OstraCSP20407/ZVCheck.dll; do
      mv "$sys/$f" "$sys/$f.kept"
      case $kind in
        empty) : > "$sys/$f" ;;
        directory) mkdir "$sys/$f" ;;
      esac
    done
    run_case file "$kind" 4 1
    [ "$kind" = empty ] && findings file "$kind" SIGN0 UKEY_WQ2322 || findings file "$kind" SIGN4 UKEY_WQ2321
    run_case file "$kind" 4 2
    [ "$kind" = empty ] && findings file "$kind" UKEY_WQ2322_ZV || findings file "$kind" UKEY_WQ2321_ZV
    for f in iesign.ocx vk820aCSP_LCCB.sig OstraCSP20407/ZVCheck.dll; do
      rm -rf "${sys:?}/$f"; mv "$sys/$f.kept" "$sys/$f"
    done
  done
  # The provider's own DLL empty: the CSP cannot be loaded.
  cp "$sys/vk820aCSP_LCCB_s.dll" "$sys/csp.kept"; : > "$sys/vk820aCSP_LCCB_s.dll"
  tokensim insert >/dev/null
  run_case file provider-dll-empty 1 1
  findings file provider-dll-empty UKEY_WQ2322 '!UKEY_CERT_YQ'
  mv "$sys/csp.kept" "$sys/vk820aCSP_LCCB_s.dll"
  # Directories where the engine writes: the version file, an installer,
  # the log.
  local work; work=$(work_dir)
  mkdir -p "$work/Version.ini" "$work/LCCB_SignExt.exe"
  run_case file work-directories 4 1
  findings file work-directories SIGN1 CONTROL1 PRINTER1
  run_case file work-directories 2 1
  run_case file work-directories 10 1 yes
  findings file work-directories REPAIR0
  check "file faults: no installer ran from a directory" test -z "$(installs_log 2>/dev/null)"
  rmdir "$work/Version.ini" "$work/LCCB_SignExt.exe"
  local log="$WINEPREFIX/drive_c/windows/engine-run.log"
  rm -f "$log"; mkdir "$log"
  run_case file log-directory 4 1
  rmdir "$log"
  stop_update_server
  family_checks file
}

download_faults() {
  stage_both
  reg_group </dev/null
  stop_update_server
  local mode
  # Each server fault: the full check, the update of both vendors.
  for mode in 404 hang close refused garbage over-long no-section; do
    rm -rf "$srv"; mkdir -p "$srv"
    case $mode in
      404|hang|close) version_file "$srv" 10121300; start_update_server "$srv" --rule "Version.ini=$mode" ;;
      refused) assistant_hook ORVANE_UPDATE_HOST 127.0.0.1:9; assistant_hook ORVANE_PROBE_URL http://127.0.0.1:9/bankremote/lccb/Version.ini ;;
      garbage) { head -c 3000 /dev/urandom | tr '\0[]=' 'zzzz'
                 printf '\r\n[%s]\r\nVER=%s\r\n' SOVAN 'zz!?' PSVer '-1' SIGNVer '' PRINTERVer "$(head -c 40 /dev/urandom | tr -dc 'g-z')"; } > "$srv/Version.ini"
               start_update_server "$srv" ;;
      over-long) printf '[%s]\r\nVER=10121300%s\r\n' SOVAN "${LONG//x/0}" ZVVer "${LONG//x/0}" PSVer "${LONG//x/0}" SIGNVer "${LONG//x/0}" PRINTERVer "${LONG//x/0}" > "$srv/Version.ini"
                 start_update_server "$srv" ;;
      no-section) printf 'VER=10121300\r\nSOVAN=10121300\r\n' > "$srv/Version.ini"; start_update_server "$srv" ;;
    esac
    run_case download "$mode" 4 1
    case $mode in
      *) findings download "$mode" SIGN1 CONTROL1 PRINTER1 VERSION_OLD ;;
    esac
    run_case download "$mode" 2 1
    run_case download "$mode" 2 2
    if [ "$mode" = refused ]; then assistant_hook ORVANE_UPDATE_HOST; assistant_hook ORVANE_PROBE_URL; else stop_update_server; fi
  done
  check "download faults: nothing downloaded ran" test -z "$(installs_log 2>/dev/null)"
  family_checks download
}

run_scenario registry registry_faults
run_scenario files file_faults
run_scenario downloads download_faults
rm -rf "$srv" "$srv".*
note "fault sweep: $runs runs in $(( $(date +%s) - sweep_start ))s"
scenario_exit
