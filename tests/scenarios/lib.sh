# Sourced by every scenario script. The runner exports:
#   TEMPLATE_PREFIX  a staged Wine prefix, copied for each scenario
#   SCENARIO_WORK    a folder for the scenario copies
#   SHOTS            where screenshots go
#   DISPLAY          the Xvfb display
# Each check prints "ok - NAME" or "not ok - NAME"; diagnostics start with "# ".
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$top/scripts/wine-env"
# A prefix is chosen per scenario; until then the staged template answers.
unset WINEPREFIX

ZV_DIR='C:\Program Files\OstraCSP20407\OstraCSP20407'
ZV_EXE="$ZV_DIR\\ZVApp.exe"
failures=0

# scenario_begin NAME: a fresh copy of the staged prefix for this scenario.
scenario_begin() {
  SCENARIO=$1
  # Scripts may run side by side: each scenario's prefix carries its script's name.
  export WINEPREFIX="$SCENARIO_WORK/$(basename "$0" .sh)-$SCENARIO"
  prefix_copy "$TEMPLATE_PREFIX" "$WINEPREFIX"
  STATE_DIR="$WINEPREFIX/drive_c/tokensim"
  APP_DIR="$WINEPREFIX/drive_c/Program Files/OstraCSP20407/OstraCSP20407"
  assistant_hooks_apply
}

scenario_end() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  # The copy shares Wine's own files with the template: one written here
  # would have changed every later scenario's prefix.
  local touched; touched=$(prefix_shared_touched "$WINEPREFIX")
  [ -z "$touched" ] || { not_ok "the files shared with the staged prefix are left as staged"; note "written: $touched"; }
  rm -rf "$WINEPREFIX"
}

ok() { echo "ok - $SCENARIO: $1"; }
not_ok() { echo "not ok - $SCENARIO: $1"; failures=$((failures + 1)); }
note() { echo "# $*"; }

# check NAME COMMAND...: passes when COMMAND succeeds.
check() {
  local name=$1; shift
  if "$@"; then ok "$name"; else not_ok "$name"; fi
}

# check_eq NAME EXPECTED ACTUAL
check_eq() {
  if [ "$2" == "$3" ]; then ok "$1"; else not_ok "$1"; note "expected [$2]"; note "actual   [$3]"; fi
}

# check_contains NAME NEEDLE HAYSTACK
check_contains() {
  if [[ "$3" == *"$2"* ]]; then ok "$1"; else not_ok "$1"; note "missing [$2] in:"; printf '%s\n' "$3" | sed 's/^/#   /' | head -40; fi
}

# wdrive with its own exit status (not the filter's).
wd() { wine wdrive "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
tokensim() { wine tokensim "$@" 2>&1 | tr -d '\r'; }

# The program's debug trace (what the pop-up was given), for the tests.
export ZVAPP_TRACE_FILE='C:\tokensim\trace.log'
trace_log() { iconv -f GBK -t UTF-8 "$STATE_DIR/trace.log" 2>/dev/null | tr -d '\r'; }

# No time server answers unless a scenario starts one (a refused loopback
# port fails at once, where the production address would time out).
export ZVAPP_TIME_SERVER=${ZVAPP_TIME_SERVER:-127.0.0.1:9}

# The main frame (hidden or not), found by its class.
frame_window() { wd windows | awk -F'\t' '$4 == "ZVAppMainFrame" { print $1; exit }'; }

# Starts ZVApp in the background; its Unix pid is in ZV_PID.
zv_start() {
  (cd "$APP_DIR" && exec wine "$ZV_EXE" "$@" >/dev/null 2>&1) &
  ZV_PID=$!
}

# zv_processes: the number of ZVApp.exe processes in the prefix.
zv_processes() { wd procs ZVApp.exe; }

# The stand-in's call log, one call a line (GBK converted to UTF-8).
calls_log() { iconv -f GBK -t UTF-8 "$STATE_DIR/calls.log" 2>/dev/null | tr -d '\r'; }
# calls_mark: the log's length now; a later check reads only what follows.
calls_mark() { calls_log | wc -l; }

# A declared call sequence, checked in order against the calls after a mark.
# One row a line: "Entry | arg | arg ...", each given field equal to the
# call's field at that place ("*" takes any; fields not given are not read).
# The rows must be met in their order; other calls may come between them. A
# row "! Entry | ..." is a call that must not come between the rows around
# it (after the last row: not until the log ends). Blank and "#" lines are
# skipped.
#   calls_seen MARK TABLE  - status only (for wait_for)
#   calls_why MARK TABLE   - prints the first row that failed, if one did
calls_seen() { calls_match "$1" "$2" 0 >/dev/null; }
calls_why() { calls_match "$1" "$2" 1; }
calls_match() {
  calls_log | tail -n +"$(($1 + 1))" | awk -F'\t' -v table="$2" -v say="$3" '
    function trim(s) { gsub(/^[ \t]+|[ \t]+$/, "", s); return s }
    function matches(row,   j) {
      for (j = 1; j <= width[row]; j++) if (want[row, j] != "*" && want[row, j] != $j) return 0
      return 1
    }
    BEGIN {
      n = split(table, lines, "\n")
      for (i = 1; i <= n; i++) {
        r = trim(lines[i])
        if (r == "" || substr(r, 1, 1) == "#") continue
        rows++; text[rows] = r; never[rows] = substr(r, 1, 1) == "!"
        if (never[rows]) r = trim(substr(r, 2))
        width[rows] = split(r, f, "|")
        for (j = 1; j <= width[rows]; j++) want[rows, j] = trim(f[j])
      }
      from = 1   # rows from..next-1 are the "!" rows now in force
      for (next_row = 1; next_row <= rows && never[next_row]; next_row++) ;
    }
    bad { next }
    {
      for (i = from; i < next_row; i++) if (never[i] && matches(i)) { bad = "came: " text[i] " (" $0 ")"; next }
      if (next_row <= rows && matches(next_row)) {
        from = next_row + 1
        for (next_row++; next_row <= rows && never[next_row]; next_row++) ;
      }
    }
    END {
      if (!bad && next_row <= rows) bad = "not met: " text[next_row]
      if (bad && say) print bad
      exit bad ? 1 : 0
    }'
}
# check_calls NAME MARK <<TABLE: the calls after MARK follow TABLE.
check_calls() {
  local name=$1 mark=$2 table why
  table=$(cat)
  if why=$(calls_why "$mark" "$table"); then ok "$name"; else
    not_ok "$name"; note "$why"; note "calls after the mark:"
    calls_log | tail -n +"$((mark + 1))" | cut -f1-4 | head -40 | sed 's/^/#   /'
  fi
}

# A text of the language file, in UTF-8: lang_text SECTION KEY
lang_text() {
  iconv -f GBK -t UTF-8 "$STATE_DIR/lang.ini" | tr -d '\r' | awk -v s="[$1]" -v k="$2" '
    /^\[/ { insec = ($0 == s); next }
    insec { i = index($0, "="); if (i > 0 && substr($0, 1, i - 1) == k) { v = substr($0, i + 1); gsub(/\\n/, "\n", v); gsub(/\\t/, "\t", v); print v; exit } }'
}

# A value of the stand-in's configuration as the program would read it.
cfg_text() { tokensim show | awk -F'= *' -v k="$1" '$1 ~ "^ *"k" *$" { print $2; exit }'; }

screenshot() {
  mkdir -p "$SHOTS"
  import -display "$DISPLAY" -window root "$SHOTS/$1.png" 2>/dev/null || note "screenshot $1 failed"
}

scenario_exit() { [ "$failures" -eq 0 ]; }

# wait_for SECONDS COMMAND...: polls until COMMAND succeeds.
wait_for() {
  local left=$(( $1 * 10 )); shift
  until "$@"; do
    [ $left -le 0 ] && return 1
    sleep 0.1; left=$((left - 1))
  done
}

# drain_boxes [WAIT_MS] [BUTTONS] [CAPTION]: reads and closes every message
# box captioned CAPTION (default $title), each with the first of the button
# ids BUTTONS it has (default "1 6 2"); prints their texts, one a line.
# WAIT_MS bounds the wait for the first box; one that follows a closed box
# comes at once (the closing thread shows it), so it gets DRAIN_GRACE_MS.
drain_boxes() {
  local wait=${1:-3000} buttons=${2:-1 6 2} caption=${3:-$title} grace=${DRAIN_GRACE_MS:-1500}
  local rounds=0 box h b last="" texts=""
  while [ $rounds -lt 20 ] && box=$(wd wait-class "#32770" "$wait" "$caption") && [ -n "$box" ]; do
    rounds=$((rounds + 1)); h=$(echo "$box" | cut -f1)
    # A box still there after its click is clicked again, not read again.
    [ "$h" = "$last" ] || texts+=$(wd text "$h" 65535)$'\n'
    last=$h
    for b in $buttons; do wd click "$h" "$b" >/dev/null && break; done
    wait_for 5 window_gone "$h"
    [ "$wait" -gt "$grace" ] && wait=$grace
  done
  printf '%s' "$texts"
}
# window_gone HWND: the window no longer exists or is hidden.
window_gone() { ! wd windows | awk -F'\t' -v h="$1" '$1 == h && $3 == 1 { f = 1 } END { exit !f }'; }

# --- Real input: X pointer and keys into the prefix's virtual desktop ---
# The desktop sits at the X origin, so a window's rectangle is in X
# coordinates. Real clicks activate windows and move the focus; posted
# messages do neither. Wait for the effect after each, never a fixed time.
centre_of() { wd rect "$1" | awk 'NF == 4 { printf "%d %d\n", ($1 + $3) / 2, ($2 + $4) / 2 }'; }
# real_click_at X Y [BUTTON] / real_double_click_at X Y
real_click_at() { xdotool mousemove "$1" "$2" sleep 0.1 click "${3:-1}"; }
real_double_click_at() { xdotool mousemove "$1" "$2" sleep 0.1 click --repeat 2 --delay 80 1; }
# real_click HWND [BUTTON]: clicks the centre of a window.
real_click() { local xy; xy=$(centre_of "$1"); [ -n "$xy" ] && real_click_at $xy "${2:-1}"; }
# real_click_item PARENT ID: clicks the control with that id below PARENT.
real_click_item() { local h; h=$(wd item "$1" "$2" | cut -f1); [ -n "$h" ] && real_click "$h"; }
# real_keys KEY...: X key names (Return, BackSpace, a, ctrl+v) to the focus.
real_keys() { xdotool key --delay 60 "$@"; }
real_type() { xdotool type --delay 80 "$1"; }
# real_type_text HWND ID TEXT SHOWN: replaces the text of the focused control
# ID of HWND by TEXT typed on the keys, until it shows SHOWN (as read through
# the code page), up to three tries. xdotool types a character outside the X
# keymap through a keycode it maps for the moment, and Wine now and then
# misses the mapping: the first such character may not arrive. One call
# keeps each mapping until the next key (a call of its own would undo it
# before Wine reads it), so TEXT should end with an ordinary key.
real_type_text() {
  local h=$1 id=$2 text=$3 shown=$4 n
  shows() { [ "$(wd text "$h" "$id")" = "$shown" ]; }
  for n in 1 2 3; do
    xdotool key --delay 60 End shift+Home Delete
    xdotool type --delay 120 "$text"
    wait_for 3 shows && return 0
  done
  return 1
}
# The notification area's icon at its right end (the first one added).
tray_icon_at() {
  local tray; tray=$(wd windows | awk -F'\t' '$4 == "Shell_TrayWnd" { print $1; exit }')
  wd rect "$tray" | awk 'NF == 4 { printf "%d %d\n", $3 - 10, ($2 + $4) / 2 }'
}

# Starts ZVApp and opens its management window; sets FRAME, VIEW, SHEET.
open_management_window() {
  zv_start
  FRAME=$(wd wait "$title" 30000 | cut -f1)
  wd command "$FRAME" 32775 >/dev/null
  wait_for 15 management_window_shown
  wd send "$FRAME" 0 >/dev/null
}
management_window_shown() {
  [ "$(wd windows | awk -F'\t' -v h="$FRAME" '$1 == h { print $3 }')" = 1 ] || return 1
  VIEW=$(wd item "$FRAME" 1003 | cut -f2)
  SHEET=$(wd children "$VIEW" | awk -F'\t' '$5 == "#32770" { print $1; exit }')
  [ -n "$SHEET" ]
}

# A value of the stand-in's state: tokensim_get [READER] KEY (UTF-8 out).
tokensim_get() {
  local prefix=${WINEPREFIX:-$TEMPLATE_PREFIX}
  WINEPREFIX=$prefix wine tokensim get "$@" 2>/dev/null | tr -d '\r' | iconv -f GBK -t UTF-8
}

# run_scenario NAME FUNCTION: runs one scenario in its own prefix copy;
# SCENARIO_ONLY=NAME (a pattern) runs only the matching ones.
run_scenario() {
  if [ -n "${SCENARIO_ONLY:-}" ] && [[ "$1" != $SCENARIO_ONLY ]]; then return 0; fi
  scenario_begin "$1"
  "$2"
  scenario_end
}

# --- The assistant's engine (engine-run, the update server, the stand-ins) ---
# The assistant runs as administrator and takes its test overrides only from
# the machine's registry, never from its environment.
ASSISTANT_HOOKS_KEY='HKLM\Software\Orvane_Assistant\TestHooks'
declare -A assistant_hooks=()
# assistant_hook NAME [VALUE]: sets one override (without VALUE: removes it)
# in the scenario's prefix and in each prefix that scenario_begin makes later.
assistant_hook() {
  if [ $# -gt 1 ]; then assistant_hooks[$1]=$2; else unset "assistant_hooks[$1]"; fi
  [ -n "${WINEPREFIX:-}" ] || return 0
  if [ $# -gt 1 ]; then wine reg add "$ASSISTANT_HOOKS_KEY" /v "$1" /d "$2" /f >/dev/null 2>&1
  else wine reg delete "$ASSISTANT_HOOKS_KEY" /v "$1" /f >/dev/null 2>&1 || true; fi
}
# Writes the remembered overrides into a new prefix.
assistant_hooks_apply() {
  local name
  for name in "${!assistant_hooks[@]}"; do
    wine reg add "$ASSISTANT_HOOKS_KEY" /v "$name" /d "${assistant_hooks[$name]}" /f >/dev/null 2>&1
  done
}
SIGNED_DIR="$WINE_BUILD/bin/signed"

# engine_run CMD VENDOR [yes|no]: the results of one worker command, UTF-8.
engine_run() { wine engine-run "$1" NX "$2" ${3:-} 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r'; }
# The engine's log (next to engine-run), UTF-8.
engine_log() { iconv -f GBK -t UTF-8 "$WINEPREFIX/drive_c/windows/engine-run.log" 2>/dev/null | tr -d '\r'; }
# The installer stand-in's record: one "name<TAB>time<TAB>args" a run.
installs_log() { { tr -d '\r' < "$STATE_DIR/installs.log"; } 2>/dev/null | cut -f1; }
# Where the stand-ins ran: "folder<TAB>current folder<TAB>TEMP" (each with
# its '\'), one line per distinct place.
installs_places() {
  { tr -d '\r' < "$STATE_DIR/installs.log"; } 2>/dev/null |
    awk -F'\t' '{ f = $4; sub(/[^\\]*$/, "", f); print f "\t" $5 "\\\t" $6 "\\" }' | sort -u
}
# The assistant's work folders (common application data): the parent of
# every run's own folder, as Unix path.
work_dir() { echo "$WINEPREFIX/drive_c/ProgramData/Orvane_Assistant"; }
# ran_in_run_folder: every stand-in since the log was emptied ran in one
# run folder of the assistant's, as its current folder and TEMP.
ran_in_run_folder() {
  local places folder cwd temp; places=$(installs_places)
  IFS=$'\t' read -r folder cwd temp <<<"$places"
  [ "$(wc -l <<<"$places")" = 1 ] && [ "$folder" = "$cwd" ] && [ "$folder" = "$temp" ] &&
    [[ "$folder" == 'C:\ProgramData\Orvane_Assistant\Run-'*'\' ]] || { note "ran in [$places]"; return 1; }
}
# installer_exit NAME CODE: the stand-in run as NAME exits with CODE.
installer_exit() { printf '[ExitCode]\r\n%s=%s\r\n' "$1" "$2" >> "$STATE_DIR/installer.ini"; }
# The prefix's temporary folder as Unix path, as the programs see it (where
# it lies differs between Wine builds); asked once per prefix.
temp_dir() {
  local cache="$WINEPREFIX/.temp-dir"
  if [ ! -s "$cache" ]; then
    local win; win=$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
    winepath -u "$win" 2>/dev/null | sed 's:/*$::' > "$cache"
  fi
  cat "$cache"
}
[ -n "${USER:-}" ] || USER=$(id -un)

# start_update_server DIR [--rule NAME=MODE]...: serves DIR on a loopback
# port and points the engine (update host and network probe) at it.
start_update_server() {
  local dir=$1; shift
  UPDATE_LOG="$dir.requests"; : > "$UPDATE_LOG"
  python3 "$top/sim/update-server/update_server.py" --root "$dir" --log "$UPDATE_LOG" "$@" > "$dir.port" &
  UPDATE_PID=$!
  local i; for i in $(seq 100); do grep -q '^port' "$dir.port" 2>/dev/null && break; sleep 0.1; done
  UPDATE_PORT=$(awk '/^port/ { print $2 }' "$dir.port")
  assistant_hook ORVANE_UPDATE_HOST "127.0.0.1:$UPDATE_PORT"
  assistant_hook ORVANE_PROBE_URL "http://127.0.0.1:$UPDATE_PORT/bankremote/lccb/Version.ini"
}
stop_update_server() { [ -n "${UPDATE_PID:-}" ] && kill "$UPDATE_PID" 2>/dev/null; wait "$UPDATE_PID" 2>/dev/null; UPDATE_PID=; }
# version_file DIR TEXT: Version.ini with every component at TEXT.
version_file() {
  mkdir -p "$1"
  printf '[%s]\r\nVER=%s\r\n' SOVAN "$2" ZVVer "$2" PSVer "$2" SIGNVer "$2" PRINTERVer "$2" > "$1/Version.ini"
}
# The manager stand-in holds the first vendor's mutex while it runs; its
# file tells it holds it.
start_manager() {
  rm -f "$STATE_DIR/manager.ready"
  wine manager_standin.exe >/dev/null 2>&1 &
  wait_for 20 test -e "$STATE_DIR/manager.ready" || note "the manager stand-in did not start"
}
