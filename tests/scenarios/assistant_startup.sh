#!/usr/bin/env bash
# The assistant's start-up and main dialog under Wine: single instance and
# activation by another detection tool, the vendor selection, the log next
# to the program, the main dialog with its browser control, and the COM
# registration switches. Wine here has no browser engine: the page itself
# is not shown (the pages are tested in Chromium).
. "$(dirname "$0")/lib.sh"

AS_DIR='C:\Program Files\Orvane_Assistant'
AS_EXE="$AS_DIR\\Orvane_Assistant.exe"
SELECT_TITLE='岚川银行网银助手'
MAIN_TITLE='岚川银行网银助手(V1.0.14.731)'
assistant_hook ORVANE_TRACE_FILE 'C:\assistant-trace.log'
# The environment is the user's: the administrator process must not write there.
export ORVANE_TRACE_FILE='C:\users\Public\user-trace.log'
WAIT=${ASSISTANT_WAIT_MS:-120000}

as_app() { echo "$WINEPREFIX/drive_c/Program Files/Orvane_Assistant"; }
as_trace() { tr -d '\r' < "$WINEPREFIX/drive_c/assistant-trace.log" 2>/dev/null; }
as_start() {
  (cd "$(as_app)" && exec wine "$AS_EXE" "$@" >/dev/null 2>&1) &
  AS_PID=$!
}
as_procs() { wd procs Orvane_Assistant.exe; }
# as_wait_gone: waits until no assistant process is left (about a minute).
as_gone() { [ "$(as_procs)" = 0 ]; }
as_wait_gone() { wait_for 60 as_gone; }
# Top-level windows of the assistant's process titled $1.
windows_titled() { wd windows | awk -F'\t' -v t="$1" '$5 == t' | wc -l; }
# A registry value as reg prints it (after the type column), or "<missing>".
reg_value() {  # KEY [VALUE]
  local out
  if [ -n "${2:-}" ]; then out=$(wine reg query "$1" /v "$2" 2>/dev/null); else out=$(wine reg query "$1" /ve 2>/dev/null); fi
  [ $? -eq 0 ] || { echo "<missing>"; return; }
  printf '%s\n' "$out" | tr -d '\r' | awk -F'REG_SZ' 'NF > 1 { sub(/^[ \t]+/, "", $2); print $2; exit }'
}
reg_key_exists() { wine reg query "$1" >/dev/null 2>&1; }

# Real keys into the assistant's window, after a real click on its caption
# bar makes it the active one.
keys_to() {  # HWND KEY...
  local l t r b hwnd=$1; shift
  read -r l t r b <<< "$(wd rect "$hwnd")"
  real_click_at $(((l + r) / 2)) $((t + 8))
  real_keys "$@"
}

trace_has() { as_trace | grep -qx "$1"; }
# Whether the button has the keyboard focus (BM_GETSTATE's BST_FOCUS).
has_focus() { local state; state=$(wd send "$1" 0xF2 0 0) && [ $((state & 8)) -ne 0 ]; }

select_vendor() {  # BUTTON-ID: the main dialog's handle
  local select
  select=$(wd wait "$SELECT_TITLE" "$WAIT" | cut -f1)
  [ -n "$select" ] || return 1
  real_click_item "$select" "$1" || return 1
  wd wait "$MAIN_TITLE" "$WAIT" | cut -f1
}

single_instance_and_activation() {
  as_start
  local select main second rect normal
  select=$(wd wait "$SELECT_TITLE" "$WAIT" | cut -f1)
  check "the vendor selection opens" test -n "$select"
  screenshot assistant-vendor-selection
  # A second start ends at once: no window, no box.
  (cd "$(as_app)" && timeout 120 wine "$AS_EXE" >/dev/null 2>&1)
  check_eq "a second start ends by itself" 0 $?
  check_eq "one assistant process runs" 1 "$(as_procs)"
  check_eq "still exactly one vendor selection" 1 "$(windows_titled "$SELECT_TITLE")"
  check_eq "no message box appeared" 0 "$(wd windows | awk -F'\t' '$4 == "#32770" && $5 != "'"$SELECT_TITLE"'"' | wc -l)"

  real_click_item "$select" 1
  main=$(wd wait "$MAIN_TITLE" "$WAIT" | cut -f1)
  check "the first vendor button opens the main dialog" test -n "$main"
  normal=$(wd rect "$main")
  wd post "$main" 0x112 0xF020 0 >/dev/null   # minimise
  moved() { [ "$(wd rect "$main")" != "$normal" ]; }
  wait_for 10 moved
  rect=$(wd rect "$main")
  check "the main dialog was minimised" test "$rect" != "$normal"
  wine detect_peer >/dev/null 2>&1
  check_eq "a peer tool finds the detect-tools mutex taken" 0 $?
  restored() { [ "$(wd rect "$main")" = "$normal" ]; }
  wait_for 10 restored
  check_eq "the activation message restores the main dialog" "$normal" "$(wd rect "$main")"
  check_eq "the restored dialog is visible" 1 "$(wd find "$MAIN_TITLE" | cut -f2)"
  check_eq "the first vendor reaches the dialog" "vendor 1" "$(as_trace | grep '^vendor ')"
  wd post "$main" 0x10 >/dev/null
  check "closing the main dialog ends the program" as_wait_gone
}

closing_the_selection() {
  as_start
  local select
  select=$(wd wait "$SELECT_TITLE" "$WAIT" | cut -f1)
  check "the vendor selection opens" test -n "$select"
  keys_to "$select" Escape
  check "Esc in the selection ends the program" as_wait_gone
  check_eq "no main dialog was made" "" "$(as_trace | grep '^vendor ')"
  check "the log was opened next to the program" test -f "$(as_app)/Orvane_Assistant.log"
  check_eq "and holds nothing" 0 "$(stat -c %s "$(as_app)/Orvane_Assistant.log" 2>/dev/null)"
}

# The vendor chosen by keys: Tab to the second vendor, drawn as focused,
# and Return chooses the focused button, not the first one.
second_vendor_main_dialog() {
  as_start
  local main dialog client child ok okw select second
  select=$(wd wait "$SELECT_TITLE" "$WAIT" | cut -f1)
  check "the vendor selection opens" test -n "$select"
  [ -n "$select" ] || return
  second=$(wd item "$select" 1005 | cut -f1)
  keys_to "$select" Tab
  check "Tab moves the focus to the second vendor" wait_for 30 has_focus "$second"
  screenshot assistant-vendor-tab-focus
  real_keys Return
  main=$(wd wait "$MAIN_TITLE" "$WAIT" | cut -f1)
  check "Return chooses the focused second vendor and opens the main dialog" test -n "$main"
  [ -n "$main" ] || return
  check "the dialog carries Vendor 2" wait_for 30 trace_has "vendor 2"
  wait_for 30 bash -c 'tr -d "\r" < "$1" | grep -q "^navigate "' _ "$WINEPREFIX/drive_c/assistant-trace.log"
  screenshot assistant-main-dialog
  check "the trace file the environment names is not written" test ! -e "$WINEPREFIX/drive_c/users/Public/user-trace.log"
  check_eq "the browser control sits in our client site" "browser created, site ours" "$(as_trace | grep -E '^browser (created|missing)')"
  check_eq "before it, the browser's lock-downs are switched on for the process" \
    "browser lock-down: 10 features, 0 refused" "$(as_trace | grep '^browser lock-down')"
  check_eq "the start page of the program's resources is requested" \
    "navigate res://C:\\Program Files\\Orvane_Assistant\\Orvane_Assistant.exe/index.htm 0x00000000" \
    "$(as_trace | grep '^navigate ')"

  # Size in dialog units, measured against the hidden OK button (50 x 14 units).
  read -r cl ct cr cb <<< "$(wd client "$main")"
  ok=$(wd item "$main" 1 | cut -f1)
  read -r bl bt br bb <<< "$(wd rect "$ok")"
  okw=$((br - bl)); okh=$((bb - bt))
  check "the dialog is 469 x 303 dialog units" awk -v w=$((cr - cl)) -v h=$((cb - ct)) -v bw=$okw -v bh=$okh \
    'BEGIN { ew = 469 * bw / 50; eh = 303 * bh / 14; exit !(w >= ew - 10 && w <= ew + 10 && h >= eh - 22 && h <= eh + 22) }'
  read -r wl wt wr wb <<< "$(wd rect "$main")"
  check "the dialog is centred on the screen" awk -v x=$(((wl + wr) / 2)) -v y=$(((wt + wb) / 2)) \
    'BEGIN { exit !(x >= 510 && x <= 514 && y >= 382 && y <= 386) }'
  child=$(wd item "$main" 1001 | cut -f1)
  check "the browser control is a child with id 1001" test -n "$child"
  check_eq "it covers the whole client area" "$cl $ct $cr $cb" "$(wd rect "$child")"
  check_eq "the OK and Cancel buttons are hidden" "0 0" \
    "$(wd children "$main" | awk -F'\t' '$2 == 1 || $2 == 2 { printf "%s%s", s, $3; s = " " }')"

  wd post "$main" 0x112 0x10 0 >/dev/null   # the system menu's About entry
  local about
  about=$(wd wait '关于 岚川银行网银助手' "$WAIT" | cut -f1)
  check "the system menu's About entry opens the about box" test -n "$about"
  [ -n "$about" ] && wd click "$about" 1 >/dev/null
  wd wait-gone '关于 岚川银行网银助手' 10000 >/dev/null
  wd post "$main" 0x10 >/dev/null
  check "closing the main dialog ends the program" as_wait_gone
}

# Enter and Esc in the main dialog never end the program; Alt+F4 does.
main_dialog_keys() {
  as_start
  local main select
  select=$(wd wait "$SELECT_TITLE" "$WAIT" | cut -f1)
  [ -n "$select" ] && keys_to "$select" space
  main=$(wd wait "$MAIN_TITLE" "$WAIT" | cut -f1)
  check "Space on the focused first vendor opens the main dialog" test -n "$main"
  [ -n "$main" ] || return
  check "with the first vendor" wait_for 30 trace_has "vendor 1"
  keys_to "$main" Return
  check "Enter reaches the dialog" wait_for 30 bash -c 'tr -d "\r" < "$1" | grep -q "^command 1 kept open"' _ \
    "$WINEPREFIX/drive_c/assistant-trace.log"
  keys_to "$main" Escape
  check "Esc reaches the dialog" wait_for 30 bash -c 'tr -d "\r" < "$1" | grep -q "^command 2 kept open"' _ \
    "$WINEPREFIX/drive_c/assistant-trace.log"
  check_eq "after Enter and Esc the main dialog is still open" 1 "$(windows_titled "$MAIN_TITLE")"
  check_eq "and the program still runs" 1 "$(as_procs)"
  screenshot assistant-main-after-keys
  # Without a browser engine the control may never become UI-active.
  note "the browser's active object: $(as_trace | grep '^active object' | tail -1 || true)"
  keys_to "$main" alt+F4
  check "Alt+F4 closes the main dialog and ends the program" as_wait_gone
}

read_only_folder() {
  local app; app=$(as_app)
  rm -f "$app/Orvane_Assistant.log"
  # Root ignores permissions; the immutable flag stops even root.
  if ! chattr +i "$app" 2>/dev/null; then note "chattr +i is not possible here"; not_ok "a read-only program folder can be made"; return; fi
  as_start
  local main
  main=$(select_vendor 1005)
  check "the program runs normally in a read-only folder" test -n "$main"
  check "a click on the second vendor reaches the dialog" wait_for 30 trace_has "vendor 2"
  check "no log is made" test ! -e "$app/Orvane_Assistant.log"
  [ -n "$main" ] && wd post "$main" 0x10 >/dev/null
  as_wait_gone
  chattr -i "$app"
}

registration() {
  local clsid='{76E04540-7128-4CA9-A02F-9ADA30DFD797}' libid='{04639EC2-DD2D-4319-B385-B24A59BF0D40}'
  local appid='{AF292A48-E8B6-40F3-A619-DD6BC988C08A}' round
  for round in first second; do
    (cd "$(as_app)" && timeout 120 wine "$AS_EXE" /Regserver >/dev/null 2>&1)
    check_eq "/Regserver succeeds ($round run)" 0 $?
    check_eq "LocalServer32 is the quoted program path ($round run)" "\"$AS_EXE\"" \
      "$(reg_value "HKCR\\CLSID\\$clsid\\LocalServer32")"
    check_eq "the class names its type library ($round run)" "$libid" "$(reg_value "HKCR\\CLSID\\$clsid\\TypeLib")"
  done
  check_eq "the class name" "RUVProtocol Class" "$(reg_value "HKCR\\CLSID\\$clsid")"
  check_eq "the ProgID" "RUV.RUVProtocol.1" "$(reg_value "HKCR\\CLSID\\$clsid\\ProgID")"
  check_eq "the version-independent ProgID" "RUV.RUVProtocol" "$(reg_value "HKCR\\CLSID\\$clsid\\VersionIndependentProgID")"
  check "the class is Programmable" reg_key_exists "HKCR\\CLSID\\$clsid\\Programmable"
  check_eq "the ProgID's class" "$clsid" "$(reg_value 'HKCR\RUV.RUVProtocol.1\CLSID')"
  check_eq "the current version" "RUV.RUVProtocol.1" "$(reg_value 'HKCR\RUV.RUVProtocol\CurVer')"
  check_eq "the application id" "RUV" "$(reg_value "HKCR\\AppID\\$appid")"
  check_eq "the program's application id" "$appid" "$(reg_value 'HKCR\AppID\RUV.EXE' AppID)"
  check_eq "the type library is registered with the program" "C:\\Program Files\\Orvane_Assistant\\Orvane_Assistant.exe" \
    "$(reg_value "HKCR\\TypeLib\\$libid\\1.0\\0\\win32")"

  (cd "$(as_app)" && timeout 120 wine "$AS_EXE" /Unregserver >/dev/null 2>&1)
  check_eq "/Unregserver succeeds" 0 $?
  local gone=1 key
  for key in "HKCR\\CLSID\\$clsid" 'HKCR\RUV.RUVProtocol.1' 'HKCR\RUV.RUVProtocol' "HKCR\\AppID\\$appid" \
             'HKCR\AppID\RUV.EXE' "HKCR\\TypeLib\\$libid"; do
    if reg_key_exists "$key"; then gone=0; note "still there: $key"; fi
  done
  check_eq "/Unregserver removes every key and the type library" 1 $gone
  check "the shared CLSID and AppID keys stay" reg_key_exists 'HKCR\AppID'
  check_eq "no assistant process is left" 0 "$(as_procs)"
}

# The system's known DLLs: the loader takes them from System32 whatever lies
# beside a program, so they are the only static imports allowed.
KNOWN_DLLS='advapi32|clbcatq|combase|comdlg32|coml2|difxapi|gdi32|gdiplus|imagehlp|imm32|kernel32|msctf|msvcrt|normaliz|nsi|ole32|oleaut32|psapi|rpcrt4|sechost|setupapi|shcore|shell32|shlwapi|user32|wldap32|ws2_32'
as_tools() { [ "$WINE_ARCH_BUILD" = win64 ] && echo x86_64-w64-mingw32 || echo i686-w64-mingw32; }
# The DLLs a PE file imports: static (its import table) or delay (the
# descriptors of its delay-import libraries, named after them).
pe_imports() {  # FILE static|delay
  if [ "$2" = delay ]; then
    "$(as_tools)"-nm "$1" 2>/dev/null | sed -n 's/.* __DELAY_IMPORT_DESCRIPTOR_lib\(.*\)_delay_a$/\1.dll/p' | sort -u
  else
    "$(as_tools)"-objdump -p "$1" | awk '/DLL Name:/ { print tolower($3) }' | sort -u
  fi
}
not_known() { grep -vxE "($KNOWN_DLLS)\.dll|ntdll\.dll|kernelbase\.dll" || true; }

# The DependentLoadFlags of a PE file's load configuration ("none" without one).
dependent_load_flags() {
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
sections, opt_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
wide = struct.unpack_from("<H", data, pe + 24)[0] == 0x20B
rva, size = struct.unpack_from("<II", data, pe + 24 + (112 if wide else 96) + 10 * 8)
for i in range(sections):
    vsize, va, raw_size, raw = struct.unpack_from("<IIII", data, pe + 24 + opt_size + i * 40 + 8)
    if size and va <= rva < va + vsize:
        print("0x%04x" % struct.unpack_from("<H", data, raw + rva - va + (0x4E if wide else 0x36))[0])
        break
else:
    print("none")
PY
}

# The program file itself (read from the build, no Wine needed).
program_file() {
  local exe="$WINE_BUILD/bin/Orvane_Assistant.exe" dlls tools
  tools=$(as_tools)
  dlls=$(pe_imports "$exe" static)
  check "the program's imports can be read" test -n "$dlls"
  check_eq "its static imports are the system's known DLLs only" "" "$(printf '%s\n' "$dlls" | not_known)"
  check_contains "the manifest asks for administrator rights" 'level=""requireAdministrator""' \
    "$($tools-windres -i "$exe" -O rc 2>/dev/null | grep requestedExecutionLevel)"
  check_contains "and the common controls version 6" 'Microsoft.Windows.Common-Controls"" version=""6.0.0.0' \
    "$($tools-windres -i "$exe" -O rc 2>/dev/null | grep -A1 'Common-Controls' | tr -d '\n' | tr -s ' ')"
  check_eq "its load configuration asks for System32 for the imports' own dependencies" 0x0800 \
    "$(dependent_load_flags "$exe")"
}

# DLLs of every name the program loads, and those names' own dependencies
# that are not known DLLs (Wine's builtin files tell them), planted beside a
# copy of the program in a user's Downloads folder; Wine is told to prefer
# such native copies, as the Windows loader prefers a DLL in the program's
# folder. Each planted DLL marks its loading; the loader's own trace says
# where every module came from. The program starts and takes none of them.
planted_dlls() {
  local exe="$WINE_BUILD/bin/Orvane_Assistant.exe" probe="$WINE_BUILD/bin/planted_probe.dll"
  local dir="$WINEPREFIX/drive_c/users/Public/Downloads" winedlls names known_deps name overrides="" select trace
  winedlls=/usr/lib/x86_64-linux-gnu/wine/$([ "$WINE_ARCH_BUILD" = win64 ] && echo x86_64 || echo i386)-windows
  names=$({ pe_imports "$exe" static; pe_imports "$exe" delay; } | not_known)
  # Wine takes the known DLLs' own dependencies (its user32 imports version,
  # zlib1 and ucrtbase) through the program's folder, which Windows does not:
  # those names are left out, or no program could start here.
  known_deps=$(for name in $(pe_imports "$exe" static | grep -xE "($KNOWN_DLLS)\.dll"); do
                 pe_imports "$winedlls/$name" static; done | sort -u)
  names=$(for name in $names; do echo "$name"; [ -f "$winedlls/$name" ] && pe_imports "$winedlls/$name" static; done |
          not_known | sort -u | grep -vxF -f <(printf '%s\n' "$known_deps") || true)
  note "planted: $(echo $names)"
  mkdir -p "$dir"
  cp "$exe" "$dir/"
  for name in $names; do
    cp "$probe" "$dir/$name"
    overrides="$overrides${overrides:+;}${name%.dll}=n,b"
  done
  trace="$WINEPREFIX/planted-loader.log"
  (cd "$dir" && WINEDLLOVERRIDES="$overrides" WINEDEBUG=+loaddll \
     exec wine 'C:\users\Public\Downloads\Orvane_Assistant.exe' >/dev/null 2>"$trace") &
  select=$(wd wait "$SELECT_TITLE" 60000 | cut -f1)
  check "beside the planted DLLs the program starts: its vendor selection opens" test -n "$select"
  screenshot assistant-planted-dlls
  [ -n "$select" ] && wd post "$select" 0x10 >/dev/null
  as_wait_gone
  check_eq "no planted DLL leaves its marker" "" "$(cd "$dir" && ls ./*.loaded 2>/dev/null)"
  check_eq "the loader took no module from the program's folder" "" \
    "$(grep -ai 'Loaded L".*Public\\\\Downloads' "$trace" | grep -vi 'Orvane_Assistant.exe' | head -5)"
}

SCENARIO=program-file; program_file
run_scenario planted-dlls planted_dlls
run_scenario single-instance single_instance_and_activation
run_scenario close-selection closing_the_selection
run_scenario second-vendor second_vendor_main_dialog
run_scenario main-dialog-keys main_dialog_keys
run_scenario read-only-folder read_only_folder
run_scenario registration registration
scenario_exit
