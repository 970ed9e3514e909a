#!/usr/bin/env bash
# Start-up of the token manager: binding, names, language, single instance,
# missing libraries and bad input.
. "$(dirname "$0")/lib.sh"

title=$(tokensim_get cfg.UserTitle)

# wait_exit PID MS: waits for a background process to end.
wait_exit() {
  local pid=$1 left=$(( $2 / 100 ))
  while kill -0 "$pid" 2>/dev/null; do
    [ $left -le 0 ] && return 1
    sleep 0.1; left=$((left - 1))
  done
  return 0
}
# frame_answers: the main frame exists and its window thread is in its
# message loop, past the start-up and any notice before it.
frame_answers() { local f; f=$(frame_window) && [ -n "$f" ] && wd send "$f" 0 >/dev/null; }

# --- a normal start ---------------------------------------------------------
scenario_begin startup
zv_start
found=$(wd wait "$title" 20000)
check "main window carries the library's title" test -n "$found"
check_eq "main window is hidden" "0" "$(echo "$found" | cut -f2)"
log=$(calls_log)
check_contains "names are read from the library" "ZRGetUserTitle" "$log"
check_contains "product name is read" "ZRGetHWName" "$log"
check_contains "pop-up title is read" "ZRGetMsnTitle" "$log"
check_contains "PIN lengths are read" "ZRGetPinLen" "$log"
check "language already equal: LngSetDefaultItem not called" bash -c "! grep -q '^LngSetDefaultItem' '$STATE_DIR/calls.log'"
order=$(calls_log | cut -f1 | grep -E '^(ZRGetUserTitle|LngGetDefaultItem|ZRGetHWName|ZVCreateCachedPin|ZVCreateCachedCSP)$' | uniq | tr '\n' ' ')
check_eq "start-up call order" "ZRGetUserTitle LngGetDefaultItem ZRGetHWName ZVCreateCachedPin ZVCreateCachedCSP " "$order"
screenshot zvapp-startup-hidden

# A second copy brings the first forward and ends.
first=$(echo "$found" | cut -f1)
zv_start
second=$ZV_PID
check "second copy ends by itself" wait_exit "$second" 15000
check_eq "one ZVApp process remains" "1" "$(zv_processes)"
in_front() { [ "$(wd find "$title" | cut -f2,3)" = $'1\t1' ]; }
wait_for 10 in_front
now=$(wd find "$title")
check_eq "first window is the one found" "$first" "$(echo "$now" | cut -f1)"
check_eq "first window is now visible" "1" "$(echo "$now" | cut -f2)"
check_eq "first window is foreground" "1" "$(echo "$now" | cut -f3)"
screenshot zvapp-second-copy
scenario_end

# --- library language differs from the system's; libraries in the system folder
scenario_begin language
tokensim set cfg.Language=0409 >/dev/null
tokensim clear-log >/dev/null
# Where vendors often install them: found there when not beside the program.
mv "$APP_DIR/tokcsp_sim.dll" "$APP_DIR/tokcmd_sim.dll" "$WINEPREFIX/drive_c/windows/system32/"
zv_start
# A missing-library box would come before the frame, which waits for it.
bound_quietly() { wd wait "$title" 20000 >/dev/null && wait_for 20 frame_answers && ! wd wait-class '#32770' 0 >/dev/null; }
check "both libraries bind from the system folder (the library's title, no missing-library box)" bound_quietly
sets=$(calls_log | grep '^LngSetDefaultItem' )
check_eq "LngSetDefaultItem called once with the system's item" "1" "$(printf '%s\n' "$sets" | grep -c .)"
check_contains "the item is formatted %04X" "$(printf 'LngSetDefaultItem\t0804')" "$sets"
scenario_end

# --- a second copy while the first has no title yet ----------------------------
scenario_begin no-title-yet
# The first copy holds the mutex but sits in the product-name query.
tokensim set cfg.delay.ZRGetHWName=6000 >/dev/null
zv_start
first_pid=$ZV_PID
# The language is asked just before the mutex is taken.
wait_for 20 grep -q '^LngGetDefaultItem' "$STATE_DIR/calls.log"
before=$(wd windows | grep -c .)
zv_start
second=$ZV_PID
check "second copy ends" wait_exit "$second" 8000
check "first copy is still starting (no titled window yet)" bash -c "! wine wdrive find '$title' >/dev/null 2>&1"
after_first=$(wd wait "$title" 20000)
check "first copy finishes its start-up" test -n "$after_first"
check_eq "first window stays hidden (nobody showed it)" "0" "$(echo "$after_first" | cut -f2)"
check_eq "one ZVApp process" "1" "$(zv_processes)"
scenario_end

# --- a missing CSP control library ---------------------------------------------
scenario_begin missing-rel
printf '[Module]\r\nRel=absent_csp.dll\r\nQKC=tokcmd_sim.dll\r\n' > "$APP_DIR/ZVApp.ini"
zv_start
box=$(wd wait-class '#32770' 20000)
hwnd=$(echo "$box" | cut -f1)
check_eq "stop box is captioned with the program's file name" "ZVApp.exe" "$(echo "$box" | cut -f2)"
check_contains "stop box names the missing file" "absent_csp.dll" "$(wd children "$hwnd")"
screenshot zvapp-missing-library
wd click "$hwnd" 2 >/dev/null; wd click "$hwnd" 1 >/dev/null
wait_for 20 frame_answers
check_eq "program runs on after the notice" "1" "$(zv_processes)"
check "no second notice" bash -c "! wine wdrive wait-class '#32770' 1500 >/dev/null 2>&1"
scenario_end

# --- a missing token command library ---------------------------------------------
scenario_begin missing-qkc
printf '[Module]\r\nRel=tokcsp_sim.dll\r\nQKC=absent_cmd.dll\r\n' > "$APP_DIR/ZVApp.ini"
zv_start
box=$(wd wait-class '#32770' 20000)
hwnd=$(echo "$box" | cut -f1)
check_eq "stop box is captioned with UserTitle" "$title" "$(echo "$box" | cut -f2)"
check_contains "stop box names the missing file" "absent_cmd.dll" "$(wd children "$hwnd")"
wd click "$hwnd" 2 >/dev/null; wd click "$hwnd" 1 >/dev/null
found=$(wd wait "$title" 20000)
check "program creates its window without the command library" test -n "$found"
check_eq "program keeps running" "1" "$(zv_processes)"
scenario_end

# --- bad input -------------------------------------------------------------------
scenario_begin bad-input
long=$(head -c 2000 /dev/zero | tr '\0' 'R')
printf '[Module]\r\nRel=%s\r\nQKC=tokcmd_sim.dll\r\n' "$long" > "$APP_DIR/ZVApp.ini"
zv_start
box=$(wd wait-class '#32770' 20000)
hwnd=$(echo "$box" | cut -f1)
text=$(wd children "$hwnd")
check_contains "a 2,000-character Rel value is named, cut to the path buffer" "$(head -c 259 /dev/zero | tr '\0' 'R')" "$text"
check "the name is cut (not 260 characters)" bash -c "! grep -q '$(head -c 260 /dev/zero | tr '\0' 'R')' <<< \"\$0\"" "$text"
wd click "$hwnd" 2 >/dev/null; wd click "$hwnd" 1 >/dev/null
wait_for 20 frame_answers
check_eq "program survives the long value" "1" "$(zv_processes)"
scenario_end

scenario_begin bad-language-text
big=$(head -c 5000 /dev/zero | tr '\0' 'M')
python3 - "$STATE_DIR/lang.ini" "$big" <<'PY'
import sys, re
path, big = sys.argv[1], sys.argv[2]
data = open(path, 'rb').read().decode('gbk')
data = re.sub(r'(?m)^IDS_MAINFRM_MENU_0=.*$', 'IDS_MAINFRM_MENU_0=' + big, data)
open(path, 'wb').write(data.encode('gbk'))
PY
zv_start
found=$(wd wait "$title" 20000)
check "a 5,000-byte menu text does not stop the start-up" test -n "$found"
check_eq "program runs" "1" "$(zv_processes)"
scenario_end

scenario_begin bad-state
head -c 300 /dev/urandom > "$STATE_DIR/state.ini"
zv_start
found=$(wd wait "$title" 20000)
check "a garbage token state does not stop the start-up" test -n "$found"
check "tokensim reads the garbage state without crashing" bash -c "wine tokensim show >/dev/null 2>&1"
printf '[config]\r\nUserTi' > "$STATE_DIR/state.ini"
check "tokensim reads a truncated state without crashing" bash -c "wine tokensim show >/dev/null 2>&1"
scenario_end

scenario_exit
