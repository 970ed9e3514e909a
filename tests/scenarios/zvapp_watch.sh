#!/usr/bin/env bash
# The tray agent at work: insertion and removal, the pop-up, the bank's
# pages, the default-PIN reminder, the expiry warning, the browser watch,
# the tray menu and the confirmed exit.
. "$(dirname "$0")/lib.sh"

title=$(tokensim_get cfg.UserTitle)
hw=$(tokensim_get cfg.HWName)
msn=$(tokensim_get cfg.MsnTitle)
UNIT=86328   # one "day" of the expiry rule, in seconds

# The frame's window thread answers once start-up is done: the readers'
# handlers are registered by then.
frame_answers() { [ -n "$FRAME" ] && wd send "$FRAME" 0 >/dev/null; }
start_agent() {
  zv_start
  FRAME=$(wd wait "$title" 30000 | cut -f1)
  wait_for 20 frame_answers
  # The tray and the taskbar take real clicks a moment after the frame
  # answers; without it the pop-up's click was lost under load.
  sleep 1
}


tray_has_token_icon() { wd tray "$FRAME" 145; }
no_token_icon() { ! wd tray "$FRAME" 145; }
log_has() { calls_log | grep -q "$1"; }
trace_has() { trace_log | grep -qF "$1"; }
# handled EVENT [READER] [SINCE]: the stand-in's watcher recorded that the
# program's EVENT handler (inserted, removed) for READER (any) returned,
# after line SINCE of the call log (0).
handled() {
  calls_log | tail -n +"$(( ${3:-0} + 1 ))" |
    awk -F'\t' -v e="$1" -v r="${2:-}" '$1 == "QKDevChg" && $2 == e && (r == "" || $3 == r) { found = 1 } END { exit !found }'
}
# relisted [SINCE]: the window thread ran a refresh (it lists the readers)
# after line SINCE of the call log; what a handler posted before its
# refresh has been handled by then.
relisted() { calls_log | tail -n +"$(( ${1:-0} + 1 ))" | grep -q '^QKListReaders'; }
log_lines() { calls_log | wc -l; }
# popup_risen: the pop-up stands at its full 181 x 116 in the work area's
# bottom-right corner. A program started before Wine's taskbar keeps the
# work area it first saw (the whole screen): either bottom edge is its corner.
popup_risen() {
  local p; p=$(wd wait-class ZVAppMsnWnd 0 "$msn" | cut -f1)
  [ -n "$p" ] && read -r _ _ wr wb <<< "$(wd workarea)" &&
    wd rect "$p" | awk -v r="$wr" -v b="$wb" '$1 == r - 181 && $3 == r && $4 - $2 == 116 && ($4 == b || $4 == 768) { ok = 1 } END { exit !ok }'
}
browser_log() { tr -d '\r' < "$STATE_DIR/browser.log" 2>/dev/null; }

write_urlset() { printf '%s\r\n' "$@" > "$APP_DIR/URLSet.ini"; }


# --- insertion and removal ------------------------------------------------------
scenario_insert_remove() {
  start_agent
  check "no token icon before insertion" no_token_icon
  tokensim clear-log >/dev/null
  tokensim insert >/dev/null
  check "tray icon 145 appears at insertion" wait_for 10 tray_has_token_icon
  popup=$(wd wait-class ZVAppMsnWnd 10000 "$msn" | cut -f1)
  check "the pop-up window appears, titled MsnTitle" test -n "$popup"
  check "the insertion notice is handed to the pop-up" wait_for 10 trace_has "notice 1: ZV Reader 0 $(lang_text MainFrm IDS_WITHIN) $hw $(lang_text MainFrm IDS_INSERTED)"
  check "then the certificate notice" wait_for 10 trace_has "notice 3: 已将证书注册到浏览器："
  # The certificate notice replaced the first pop-up; it rises, then holds.
  check "the pop-up rises to 181 x 116 in the work area's bottom-right corner" wait_for 10 popup_risen ||
    { note "work area $(wd workarea)"; note "pop-up at $(wd rect "$(wd wait-class ZVAppMsnWnd 0 "$msn" | cut -f1)")"; }
  screenshot watch-popup-inserted
  # The watcher logs its own event line once the handler has returned, which
  # may fall after the refresh the handler posted: it is not a program call.
  seq=$(calls_log | cut -f1 | grep -E '^(PCODE_IsCheck|ZRGetMsnType|ZRGetRegCertInfoLen|CSPLoadCertToIE|OC_GetContainerNum|OC_GetHWApp|OC_ReadFile)$' | uniq | tr '\n' ' ')
  check_contains "insertion calls in order" "PCODE_IsCheck ZRGetMsnType ZRGetRegCertInfoLen CSPLoadCertToIE OC_GetContainerNum" "$seq"
  check_contains "the certificates are registered for the reader" "$(printf 'CSPLoadCertToIE\tZV Reader 0')" "$(calls_log)"
  check_contains "the refresh then runs the default-PIN check" "OC_GetContainerNum PCODE_IsCheck OC_GetHWApp OC_ReadFile" "$seq"
  check "the pop-up sinks and is gone" wait_for 20 bash -c "! wine wdrive find '$msn' >/dev/null 2>&1"

  tokensim clear-log >/dev/null
  : > "$STATE_DIR/trace.log"
  tokensim remove >/dev/null
  check "the removal notice is handed to the pop-up" wait_for 10 trace_has "notice 2: $hw $(lang_text MainFrm IDS_REMOVED)"
  check "tray icon 145 is gone after removal" wait_for 10 no_token_icon
  seq=$(calls_log | cut -f1 | grep -E '^(CSPRefreshIECert|ZVRefreshCachedPin|ZVClearCachedCSP)$' | tr '\n' ' ')
  check_eq "removal: certificates, cached PINs, cached CSP in order" "CSPRefreshIECert ZVRefreshCachedPin ZVClearCachedCSP " "$seq"
  screenshot watch-popup-removed
}
run_scenario insert-remove scenario_insert_remove

# --- the bank's pages ---------------------------------------------------------------
scenario_web_pages() {
  write_urlset '[Setting]' 'SetEvent=1' 'TotalNum=2' 'URL0=http://bank.example/one' 'URL1=http://bank.example/two' \
    '[REQUEST_CERT]' 'REQUEST=1' 'REQUEST_ADDR=http://bank.example/request'
  start_agent
  tokensim insert >/dev/null
  check "each configured address is opened" wait_for 15 bash -c "grep -q 'bank.example/two' '$STATE_DIR/browser.log' 2>/dev/null"
  # Each address starts its own browser: they record in any order.
  check "the first address too" wait_for 10 bash -c "grep -q 'bank.example/one' '$STATE_DIR/browser.log' 2>/dev/null"
  check "a token with containers does not open the request page" bash -c "! grep -q request '$STATE_DIR/browser.log'"
  tokensim remove >/dev/null
  check "removal with SetEvent asks to close the bank's windows (and survives the shell's window list)" wait_for 10 no_token_icon
  check_eq "the agent runs on" "1" "$(zv_processes)"
  : > "$STATE_DIR/browser.log"
  tokensim set c0.inuse=0 >/dev/null
  tokensim insert >/dev/null
  check "an empty token opens the request page" wait_for 15 bash -c "grep -q 'bank.example/request' '$STATE_DIR/browser.log' 2>/dev/null"
  check "and not the bank's pages" bash -c "! grep -q 'bank.example/one' '$STATE_DIR/browser.log'"
}
run_scenario web-pages scenario_web_pages

scenario_damaged_urlset() {
  write_urlset '[Setting]' 'SetEvent=1' 'TotalNum=2000000000' 'URL0=http://bank.example/only' 'URL5=http://bank.example/five'
  start_agent
  tokensim clear-log >/dev/null
  tokensim insert >/dev/null
  check "a damaged TotalNum does not hold up the insertion" wait_for 15 bash -c "grep -q 'bank.example/five' '$STATE_DIR/browser.log' 2>/dev/null"
  # The pages are opened before the handler's refresh runs; then every
  # browser started has written its line.
  wait_for 15 relisted
  all_recorded() { [ "$(browser_log | grep -c bank.example)" -ge "$(wd procs iexplore.exe)" ]; }
  wait_for 10 all_recorded
  check_eq "the keys present are opened once each" "2" "$(browser_log | grep -c bank.example)"
  tokensim remove >/dev/null
  check "the removal completes too" wait_for 15 no_token_icon
}
run_scenario damaged-urlset scenario_damaged_urlset

# --- PIN-code checking ---------------------------------------------------------------
scenario_pin_code() {
  tokensim set cfg.PCodeCheck=1 pcode=0 >/dev/null
  start_agent
  tokensim clear-log >/dev/null
  tokensim insert >/dev/null
  check "a foreign token still gets the tray icon" wait_for 10 tray_has_token_icon
  wait_for 15 handled inserted
  check "but no certificate step" bash -c "! grep -q '^CSPLoadCertToIE' '$STATE_DIR/calls.log'"
  tokensim remove >/dev/null
  wait_for 15 handled removed
  # After the removal's handler too, so that a notice the insertion posted
  # has had its time to arrive.
  check "and no notice" bash -c "! grep -q '^notice' '$STATE_DIR/trace.log' 2>/dev/null"
  check "its removal is ignored" bash -c "! grep -q '^CSPRefreshIECert' '$STATE_DIR/calls.log'"
}
run_scenario pin-code scenario_pin_code

# --- the default-PIN reminder --------------------------------------------------------
scenario_pin_reminder() {
  start_agent
  tokensim set pintag=absent >/dev/null
  tokensim insert >/dev/null
  box=$(wd wait-class '#32770' 15000 "$(lang_text MainFrm IDS_MSGBOX_TITLE)")
  check "a missing PIN-tag file gives the reminder" test -n "$box"
  # Under load the box can be found before its text is set.
  box_has_text() { [ -n "$(wd text "$(echo "$box" | cut -f1)" 65535)" ]; }
  wait_for 10 box_has_text
  check_eq "reminder text" "$(lang_text MainFrm IDS_CHANGEPIN_TIPS)" "$(wd text "$(echo "$box" | cut -f1)" 65535)"
  check "the tag file is created" wait_for 10 log_has '^OC_CreateFile'
  check_eq "the token now has an (empty) tag file" "" "$(tokensim_get pintag)"
  screenshot watch-pin-reminder
  wd click "$(echo "$box" | cut -f1)" 1 >/dev/null
  shown() { [ "$(wd find "$title" | cut -f2)" = 1 ]; }
  check "the main window is shown after the reminder" wait_for 10 shown
  pin_page_active() {
    local view sheet page
    view=$(wd item "$FRAME" 1003 | cut -f2)
    sheet=$(wd children "$view" | awk -F'\t' '$5 == "#32770" { print $1; exit }')
    page=$(printf '%08x' "$(wd send "$sheet" $((0x476)))")
    wd children "$page" | cut -f2 | grep -qx 1027
  }
  check "the PIN page is the active page" wait_for 10 pin_page_active
  local mark; mark=$(log_lines)
  tokensim remove >/dev/null
  wait_for 15 handled removed "" "$mark"
  tokensim set pintag=01 >/dev/null
  mark=$(log_lines)
  tokensim insert >/dev/null
  # The reminder follows the tag's reading in the refresh after the insertion.
  tag_read() { handled inserted "" "$mark" && calls_log | tail -n +"$((mark + 1))" | grep -q '^OC_ReadFile'; }
  wait_for 20 tag_read
  check "a tag 1 gives no reminder" bash -c "! wine wdrive wait-class '#32770' 1500 '$(lang_text MainFrm IDS_MSGBOX_TITLE)' >/dev/null 2>&1"
}
run_scenario pin-reminder scenario_pin_reminder

# --- the expiry warning --------------------------------------------------------------
# A loopback time server (RFC 868) answering the real time.
start_time_server() {
  TIME_PORT=$((37000 + RANDOM % 2000))
  local ready="$WINEPREFIX/time-server.ready"; rm -f "$ready"
  python3 - "$TIME_PORT" "$ready" <<'PY' &
import socket, struct, sys, time
s = socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.0.0.1", int(sys.argv[1]))); s.listen(5); s.settimeout(60)
open(sys.argv[2], "w").close()
try:
    while True:
        c, _ = s.accept()
        c.sendall(struct.pack(">I", int(time.time()) + 2208988800)); c.close()
except Exception:
    pass
PY
  TIME_PID=$!
  wait_for 10 test -e "$ready"
}

expiry_case() { # NAME DAYS NOTAFTER_UNIX EXPECT(yes|no)
  tokensim set cfg.CertExpiredDays=$2 "c0.sig.notafter=@$3" >/dev/null
  : > "$STATE_DIR/trace.log"
  tokensim insert >/dev/null
  wait_for 25 trace_has "notice 3:"
  if [ "$4" = yes ]; then
    wait_for 10 popup_risen
    screenshot "watch-popup-expiry-$2-days"
    local date; date=$(date -u -d "@$3" '+%Y年%-m月%-d日')
    check_contains "$1" "KEY插入，您证书的快要到期。"$'\n'"截止日期为$date。" "$(trace_log)"
  else
    check "$1" bash -c "! grep -q '快要到期' '$STATE_DIR/trace.log'"
  fi
  tokensim remove >/dev/null
  wait_for 10 no_token_icon
}

scenario_expiry_time_server() {
  start_time_server
  export ZVAPP_TIME_SERVER=127.0.0.1:$TIME_PORT
  start_agent
  # The server's time plus 8 hours is "now"; NotAfter lies 3 units and a minute beyond it.
  at=$(( $(date +%s) + 8 * 3600 + 3 * UNIT + 60 ))
  expiry_case "3 units ahead with 7 days warns (time from the server)" 7 $at yes
  at=$(( $(date +%s) + 8 * 3600 + 3 * UNIT + 60 ))
  expiry_case "3 units ahead with 2 days does not warn" 2 $at no
  unset ZVAPP_TIME_SERVER
  kill $TIME_PID 2>/dev/null
}
run_scenario expiry-server scenario_expiry_time_server

scenario_expiry_clock() {
  export ZVAPP_TIME_SERVER=127.0.0.1:9   # nobody answers: the clock is used
  start_agent
  at=$(( $(date +%s) + 3 * UNIT + 60 ))
  expiry_case "without a time server the clock decides (warns)" 7 $at yes
  at=$(( $(date +%s) + 3 * UNIT + 60 ))
  expiry_case "without a time server the clock decides (no warning)" 2 $at no
  unset ZVAPP_TIME_SERVER
}
run_scenario expiry-clock scenario_expiry_clock

# --- the browser watch -------------------------------------------------------------------
scenario_browser_watch() {
  write_urlset '[IECLOSED_PROMPT]' 'Prompt=1'
  start_agent
  tokensim insert >/dev/null
  wait_for 10 tray_has_token_icon
  (wine iexplore.exe about:one >/dev/null 2>&1 &); (wine iexplore.exe about:two >/dev/null 2>&1 &)
  wait_for 10 bash -c '[ "$(wine wdrive procs iexplore.exe | tr -d "\r")" = 2 ]'
  sleep 1.5   # the watch takes a fresh snapshot twice a second
  touch "$STATE_DIR/browser.quit"
  text=$(drain_boxes 5000)
  check_eq "one browser fewer with a token present: the prompt" "$(lang_text MainFrm ZV_CLOSEIEWINDOW)" "$(echo "$text" | head -1)"
  touch "$STATE_DIR/browser.quit"
  check "the prompt is shown once per run" bash -c "! wine wdrive wait-class '#32770' 4000 '$title' >/dev/null 2>&1"
}
run_scenario browser-watch scenario_browser_watch

scenario_browser_watch_off() {
  write_urlset '[IECLOSED_PROMPT]' 'Prompt=0'
  start_agent
  tokensim insert >/dev/null
  wait_for 10 tray_has_token_icon
  (wine iexplore.exe about:one >/dev/null 2>&1 &)
  sleep 2
  touch "$STATE_DIR/browser.quit"
  check "with Prompt 0 there is never a prompt" bash -c "! wine wdrive wait-class '#32770' 4000 '$title' >/dev/null 2>&1"
  # The web page turns the prompt on while the agent runs: a browser that
  # closes from then on brings it. A browser the watch has not counted yet
  # closes unseen, so a few are tried.
  write_urlset '[IECLOSED_PROMPT]' 'Prompt=1'
  browsers() { [ "$(wine wdrive procs iexplore.exe | tr -d '\r')" = "$1" ]; }
  text=""
  for round in 1 2 3 4 5; do
    (wine iexplore.exe "about:round$round" >/dev/null 2>&1 &)
    wait_for 10 browsers 1
    touch "$STATE_DIR/browser.quit"
    wait_for 10 browsers 0
    text=$(drain_boxes 1500)
    [ -n "$text" ] && break
  done
  check_eq "turned on meanwhile: the prompt follows a closing browser" "$(lang_text MainFrm ZV_CLOSEIEWINDOW)" "$(echo "$text" | head -1)"
}
run_scenario browser-watch-off scenario_browser_watch_off

# --- tray icon, its menu and exit, with the mouse ----------------------------------------
window_shown() { [ "$(wd find "$title" | cut -f2)" = 1 ]; }
window_in_front() { [ "$(wd find "$title" | cut -f2,3)" = $'1\t1' ]; }
window_hidden() { [ "$(wd find "$title" | cut -f2)" = 0 ]; }
box_gone() { ! wd wait-class '#32770' 0 "$title" >/dev/null; }
# tray_menu: right-clicks the tray icon; prints the menu window's rectangle.
tray_menu() {
  real_click_at $(tray_icon_at) 3
  local menu; menu=$(wd wait-class '#32768' 5000 | cut -f1)
  [ -n "$menu" ] && wd rect "$menu"
}
# menu_item_at "RECT" N: the middle of item N counted from the top (0, 1) or,
# when negative, from the bottom (-1 the last); items are MENU_ITEM_H high.
MENU_ITEM_H=${MENU_ITEM_H:-18}
menu_item_at() {
  local r=($1) n=$2
  if [ "$n" -ge 0 ]; then echo "$(( (r[0] + r[2]) / 2 )) $(( r[1] + 3 + n * MENU_ITEM_H + MENU_ITEM_H / 2 ))"
  else echo "$(( (r[0] + r[2]) / 2 )) $(( r[3] - 3 + (n + 1) * MENU_ITEM_H - MENU_ITEM_H / 2 ))"; fi
}
scenario_tray_and_exit() {
  # No pop-up: it would lie over the icon.
  tokensim set cfg.MsnType=0 >/dev/null
  start_agent
  tokensim insert >/dev/null
  wait_for 10 tray_has_token_icon
  # Hidden, no field of the window keeps the focus: its caret would blink
  # for nobody. Shown, the field that had the focus gets it back.
  field=$(wd item "$FRAME" 1004 | cut -f1)
  check_eq "hidden: no caret in the management window" 00000000 "$(wd focus "$FRAME" | cut -f2)"
  real_double_click_at $(tray_icon_at)
  check "a double-click on the tray icon shows the management window in front" wait_for 10 window_in_front
  check_eq "shown: the field that had the focus has it again" "$field" "$(wd focus "$FRAME" | cut -f1)"
  screenshot watch-tray-double-click
  wd post "$FRAME" $((0x10)) >/dev/null            # WM_CLOSE hides it again
  wait_for 5 window_hidden

  menu=$(tray_menu)
  check "a right click on the icon opens the tray menu" test -n "$menu"
  screenshot watch-tray-menu
  tokensim clear-log >/dev/null
  real_click_at $(menu_item_at "$menu" 1)
  check "its refresh item refreshes the view" wait_for 10 log_has '^QKGetDevState'
  menu=$(tray_menu)
  real_click_at $(menu_item_at "$menu" 0)
  check "its first item shows the management window" wait_for 10 window_shown
  wd post "$FRAME" $((0x10)) >/dev/null
  wait_for 5 window_hidden

  tokensim clear-log >/dev/null
  menu=$(tray_menu)
  real_click_at $(menu_item_at "$menu" -1)
  box=$(wd wait-class '#32770' 5000 "$title" | cut -f1)
  check_eq "its exit item asks first" "$(lang_text MainFrm IDS_CONFIRM_EXIT) $hw" "$(wd text "$box" 65535)"
  screenshot watch-exit-confirm
  real_click_item "$box" 7                          # No
  wait_for 5 box_gone
  check_eq "No keeps the agent running" "1" "$(zv_processes)"
  menu=$(tray_menu)
  real_click_at $(menu_item_at "$menu" -1)
  box=$(wd wait-class '#32770' 5000 "$title" | cut -f1)
  real_click_item "$box" 6                          # Yes
  check "Yes ends the program" wait_for 15 bash -c '[ "$(wine wdrive procs ZVApp.exe | tr -d "\r")" = 0 ]'
  seq=$(calls_log | cut -f1 | grep -E '^(ZVClearAllCachedPin|CSPUnAllIECert|ZVClearCachedCSP)$' | tr '\n' ' ')
  check_eq "the frame clears the caches and the browser store" "ZVClearAllCachedPin CSPUnAllIECert ZVClearCachedCSP " "$seq"
}
run_scenario tray-exit scenario_tray_and_exit

# --- typing on while a token comes; readers that come and go ------------------------
# Real keys go to the user's window (a key recorder) while the pop-up shows;
# a real click still ends it. A reader added after start and a reader taken
# away are found by the view's refresh button, clicked for real.
scenario_typing_and_readers() {
  tokensim init 2 >/dev/null
  tokensim set 1 "name=Own Reader" >/dev/null
  start_agent
  keys="$STATE_DIR/keys.log"; : > "$keys"
  (wine wdrive keyrec 'C:\tokensim\keys.log' 120000 >/dev/null 2>&1 &)
  rec=$(wd wait "wdrive key recorder" 15000 | cut -f1)
  real_click "$rec"
  typed() { [ "$(grep -c '^down' "$keys")" -ge "$1" ]; }
  recorder_in_front() { [ "$(wd foreground | cut -f1)" = "$rec" ]; }
  wait_for 5 recorder_in_front
  real_type "ab"; wait_for 5 typed 2
  tokensim insert 0 >/dev/null
  wait_for 10 trace_has "notice 3: "
  popup=$(wd wait-class ZVAppMsnWnd 5000 "$msn" | cut -f1)
  real_type "cd"
  check "with the pop-up up, the keys typed meanwhile reach the user's window" \
    wait_for 5 eval '[ -n "$popup" ] && typed 4'
  screenshot watch-popup-typing
  real_click "$popup"
  clicked_away() { ! wd find "$msn" >/dev/null && typed 5; }
  wait_for 5 bash -c "! wine wdrive find '$msn' >/dev/null 2>&1"
  real_type "e"
  check "a real click still ends the pop-up, and every key typed reached the user's window" wait_for 5 clicked_away

  tokensim remove-reader "Own Reader" >/dev/null
  tokensim add-reader "Late Reader" >/dev/null
  tokensim insert "Late Reader" >/dev/null
  : > "$STATE_DIR/trace.log"
  wd command "$FRAME" 32775 >/dev/null
  view_up() { VIEW=$(wd item "$FRAME" 1003 | cut -f2); [ -n "$VIEW" ] && window_shown; }
  wait_for 10 view_up
  real_click_item "$VIEW" 1013
  listed() { [ "$(wd combo "$VIEW" 1003 | paste -sd'|')" = "$1" ]; }
  check "refresh: the reader added after start is listed with its token" wait_for 10 listed "ZV Reader 0|Late Reader"
  check "its token is handled as an insertion" wait_for 10 trace_has "notice 1: Late Reader "
  check "the reader taken away asks for no retry" box_gone
  screenshot watch-late-reader
  : > "$STATE_DIR/trace.log"
  tokensim remove "Late Reader" >/dev/null
  check "the new reader has its handlers: removal" wait_for 10 trace_has "notice 2: "
  tokensim insert "Late Reader" >/dev/null
  check "and insertion" wait_for 10 trace_has "notice 1: Late Reader "
}
run_scenario typing-readers scenario_typing_and_readers

# --- lengths the library gets wrong ------------------------------------------------------
scenario_odd_lengths() {
  tokensim set cfg.len.ZRGetRegCertInfoLen=0xFFFFFFFF >/dev/null
  start_agent
  for len in 0xFFFFFFFF 0xFFFFFFFE 0; do
    tokensim set cfg.len.ZRGetRegCertInfoLen=$len >/dev/null
    : > "$STATE_DIR/trace.log"
    local mark; mark=$(log_lines)
    tokensim insert >/dev/null
    check "certificate text length $len: the insertion completes" wait_for 10 trace_has "notice 1: "
    if [ $len = 0 ]; then
      # The certificate notice was posted before the handler's refresh.
      wait_for 15 relisted "$mark"
      check "length 0: no certificate notice" bash -c "! grep -q '^notice 3' '$STATE_DIR/trace.log'"
    else
      # The notice is composed on its own thread, after the time query.
      check "length $len: the notice holds the bounded text" wait_for 10 trace_has "notice 3: 已将证书注册到浏览器："
    fi
    tokensim remove >/dev/null
    wait_for 10 no_token_icon
  done
  check_eq "the agent survived the certificate-text lengths" "1" "$(zv_processes)"
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
  for len in 0xFFFFFFFF 0xFFFFFFFE; do
    tokensim set cfg.len.ZRGetRegCertInfoLen= cfg.len.QKListReaders=$len >/dev/null
    tokensim clear-log >/dev/null
    start_agent
    check_eq "reader list size $len: the agent starts and lives" "1" "$(zv_processes)"
    check "and refuses the list without filling it" bash -c "[ \$(grep -c '^QKListReaders' '$STATE_DIR/calls.log') -ge 1 ] && ! grep -qP '^QKListReaders\tbuf' '$STATE_DIR/calls.log'"
    wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
  done
}
run_scenario odd-lengths scenario_odd_lengths

# --- a storm of insertions and removals -----------------------------------------------------
# Two readers whose names differ only at the end, a foreign token (its PIN
# code does not match) among them, then the exit in the middle of a storm.
STORM_A="Orvane Virtual Smartcard Reader Interface (WUDF) 0"
STORM_B="Orvane Virtual Smartcard Reader Interface (WUDF) 1"
STORM_F="Foreign Reader"
STORM_S="Sentinel Reader"
scenario_storm() {
  tokensim set 0 "name=$STORM_A" >/dev/null
  tokensim add-reader "$STORM_B" >/dev/null
  tokensim add-reader "$STORM_F" >/dev/null
  tokensim set "$STORM_F" pcode=0 >/dev/null
  tokensim add-reader "$STORM_S" >/dev/null
  tokensim set "$STORM_S" pcode=0 >/dev/null
  tokensim set cfg.PCodeCheck=1 cfg.LogThreads=1 >/dev/null
  start_agent
  tokensim clear-log >/dev/null
  for i in $(seq 1 50); do
    tokensim insert "$STORM_A" >/dev/null; tokensim insert "$STORM_B" >/dev/null
    [ $((i % 10)) -eq 0 ] && tokensim insert "$STORM_F" >/dev/null
    tokensim remove "$STORM_A" >/dev/null; tokensim remove "$STORM_B" >/dev/null
    [ $((i % 10)) -eq 0 ] && tokensim remove "$STORM_F" >/dev/null
  done
  # Then a token of a reader of its own in and out: the watcher hands the
  # events over in order, one handler at a time (about half a second each,
  # a minute or more of backlog on a loaded machine), so once the
  # sentinel's removal has been handled, so has every event of the storm.
  local mark; mark=$(log_lines)
  tokensim insert "$STORM_S" >/dev/null
  wait_for 240 handled inserted "$STORM_S" "$mark" || note "the watcher's backlog did not drain"
  tokensim remove "$STORM_S" >/dev/null
  wait_for 30 handled removed "$STORM_S" "$mark"
  check "after the last removal icon 145 is gone" wait_for 10 no_token_icon
  check_eq "the agent survived" "1" "$(zv_processes)"
  seen() { calls_log | awk -F'\t' -v e="$1" -v r="$2" '$1 == "QKDevChg" && $2 == e && $3 == r' | wc -l; }
  insA=$(seen inserted "$STORM_A"); insB=$(seen inserted "$STORM_B")
  remA=$(seen removed "$STORM_A"); remB=$(seen removed "$STORM_B")
  insF=$(seen inserted "$STORM_F")
  note "storm: A $insA/$remA, B $insB/$remB insertions/removals seen, foreign $insF"
  check "the watcher saw both readers come and go" test "$insA" -gt 0 -a "$insB" -gt 0 -a "$remA" -gt 0 -a "$remB" -gt 0
  # The watcher runs one handler at a time and logs its QKDevChg line when
  # the handler returns, so a handler's calls are the watcher thread's lines
  # before it (the window thread's refreshes interleave). A token already
  # pulled when its handler checks its PIN code is not registered; its
  # removal counts only if the view's listing verified it meanwhile.
  watcher=$(calls_log | awk -F'\t' '$1 == "QKDevChg" { print $NF; exit }')
  wrong=$(calls_log | awk -F'\t' -v a="$STORM_A" -v b="$STORM_B" -v w="$watcher" '
    $NF != w { if ($1 == "PCODE_Compare" && $(NF - 1) == "=> 0x0") verified[$2] = 1; next }
    $1 == "PCODE_Compare" && $(NF - 1) == "=> 0x0" { matched[$2] = 1 }
    $1 == "CSPLoadCertToIE" { loaded[$2] = 1 }
    $1 == "CSPRefreshIECert" { refreshed = 1 }
    $1 == "QKDevChg" {
      r = $3
      if (r == a || r == b) {
        if ($2 == "inserted") {
          if (matched[r] != loaded[r]) print "insertion " NR ": checked " matched[r] + 0 ", loaded " loaded[r] + 0
          if (matched[r]) verified[r] = 1
        } else {
          if (verified[r] != refreshed) print "removal " NR ": verified " verified[r] + 0 ", refreshed " refreshed
          verified[r] = 0
        }
        ++handled
      }
      delete matched; delete loaded; refreshed = 0
    }
    END { if (!handled) print "no handler ran" }' | head -5)
  check_eq "each insertion whose token was still in registers it, each counted removal clears it" "" "$wrong"
  [ -z "$wrong" ] || { mkdir -p "$SHOTS"; calls_log > "$SHOTS/storm-calls.log"; note "call log kept as $SHOTS/storm-calls.log"; }
  check "the window thread still answers" bash -c "wine wdrive send $FRAME 0 >/dev/null 2>&1"

  tokensim insert "$STORM_F" >/dev/null
  check "a foreign token gets icon 145" wait_for 10 tray_has_token_icon
  mark=$(log_lines)
  tokensim insert "$STORM_A" >/dev/null; wait_for 15 handled inserted "$STORM_A" "$mark"
  tokensim remove "$STORM_F" >/dev/null; wait_for 15 handled removed "$STORM_F" "$mark"
  check "its removal keeps the icon while another token is in" tray_has_token_icon
  tokensim remove "$STORM_A" >/dev/null
  check "the last removal takes the icon away" wait_for 10 no_token_icon

  # The exit, confirmed while the storm goes on.
  tokensim clear-log >/dev/null
  ( for i in $(seq 1 30); do
      tokensim insert "$STORM_A" >/dev/null; tokensim insert "$STORM_B" >/dev/null
      tokensim remove "$STORM_A" >/dev/null; tokensim remove "$STORM_B" >/dev/null
    done ) &
  storm_pid=$!
  wait_for 20 log_has '^CSPLoadCertToIE'
  wd command "$FRAME" 32777 >/dev/null
  box=$(wd wait-class '#32770' 5000 "$title" | cut -f1)
  wd click "$box" 6 >/dev/null    # Yes
  clicked=$(date +%s%N)
  wait_for 15 bash -c '[ "$(wine wdrive procs ZVApp.exe | tr -d "\r")" = 0 ]'
  gone=$(date +%s%N)
  kill "$storm_pid" 2>/dev/null; wait "$storm_pid" 2>/dev/null
  ms=$(( (gone - clicked) / 1000000 ))
  note "exit took $ms ms from the confirmation (a handler runs up to about 500 ms)"
  check "the program exits within 2 s of the last handler" test "$ms" -le 3000
  # The library lists no unregistration: no handlers of NULL are handed to it.
  check_eq "no reader is registered again with NULL handlers at exit" "" \
    "$(calls_log | awk -F'\t' '$1 == "QKSetDevChgFunc" && $3 == "NULL" { print $2 }')"
  check_eq "then the frame clears the caches and the browser store" "ZVClearAllCachedPin CSPUnAllIECert ZVClearCachedCSP " \
    "$(calls_log | cut -f1 | grep -E '^(ZVClearAllCachedPin|CSPUnAllIECert|ZVClearCachedCSP)$' | tail -3 | tr '\n' ' ')"
  # QKDevChg lines are the stand-in watcher's own record of an event; a
  # refused late run makes no call of its own.
  late=$(calls_log | awk -F'\t' '$1 == "ZVClearAllCachedPin" { after = 1; next } after && $1 !~ /^(CSPUnAllIECert|ZVClearCachedCSP|QKDevChg)$/ { print $1 }' | sort | uniq -c | tr '\n' ' ')
  check_eq "no handler calls the libraries after that" "" "$late"
  check "no crash report" bash -c "! ls '$WINEPREFIX'/drive_c/*.dmp >/dev/null 2>&1"
}
run_scenario storm scenario_storm

# --- the automatic default-PIN verification ---------------------------------------------
# With the PIN mode on, the default PIN is tried once per insertion, whatever
# the refreshes, never on a token with one try left, and never on a token
# whose tag says its PIN was changed.
scenario_default_pin_once() {
  tokensim set cfg.PinModeEx=1 >/dev/null
  tokensim set pin=Changed99 retries=6 pintag=00 >/dev/null
  tokensim insert >/dev/null
  verifies() { calls_log | grep -c '^OC_VerifyUserPin'; }
  reminder_title=$(lang_text MainFrm IDS_MSGBOX_TITLE)
  # refresh_done: a refresh posted now, waited for (closing boxes meanwhile,
  # the reminder of a tag that says "default" too); refreshes run in order,
  # so every earlier one has run too.
  refresh_done() {
    local mark tries=100 box; mark=$(calls_log | wc -l)
    wd command "$FRAME" 32776 >/dev/null
    until calls_log | tail -n +"$((mark + 1))" | grep -q '^OC_GetDevType'; do
      tries=$((tries - 1)); [ $tries -gt 0 ] || { note "no refresh"; return 1; }
      for t in "$title" "$reminder_title"; do
        box=$(wd wait-class '#32770' 150 "$t") && [ -n "$box" ] && wd click "$(echo "$box" | cut -f1)" 1 >/dev/null
      done
    done
  }
  zv_start
  # The frame by its class: the refused PIN's box bears the same title.
  frame_up() { FRAME=$(frame_window); [ -n "$FRAME" ]; }
  wait_for 30 frame_up
  refresh_done; refresh_done; refresh_done
  check_eq "one try of the default PIN over start and three refreshes" "1" "$(verifies)"
  check_eq "which cost the token one try" "5" "$(tokensim_get retries)"

  local mark
  event_seen() { calls_log | tail -n +"$((mark + 1))" | grep -q "^QKDevChg	$1"; }
  reinsert() {
    mark=$(calls_log | wc -l)
    tokensim remove >/dev/null; wait_for 20 event_seen removed
    tokensim insert >/dev/null; wait_for 20 event_seen inserted
    refresh_done
  }
  tokensim set pintag=01 >/dev/null
  reinsert
  check_eq "a token whose tag says the PIN was changed is not tried" "1|5" "$(verifies)|$(tokensim_get retries)"

  tokensim set retries=1 pintag=00 >/dev/null
  reinsert
  check_eq "a token with one try left is not tried" "1" "$(verifies)"
  check_eq "and keeps its last try" "1|0" "$(tokensim_get retries)|$(tokensim_get locked)"
  drain_boxes 1000 1 "$reminder_title" >/dev/null
}
run_scenario default-pin-once scenario_default_pin_once

# --- web settings saved by the user ------------------------------------------------------
# Mouse and keyboard (X events into the virtual desktop): an address typed,
# added and set. URLSet.ini is replaced whole, nothing is left beside it, and
# a file that cannot be replaced is reported.
scenario_web_settings_saved() {
  write_urlset '[Setting]' 'SetEvent=1' 'TotalNum=1' 'URL0=http://bank.example/one' '[IECLOSED_PROMPT]' 'Prompt=1'
  zv_start
  frame_up() { FRAME=$(frame_window); [ -n "$FRAME" ]; }
  wait_for 30 frame_up
  wd command "$FRAME" 32775 >/dev/null
  view_up() { VIEW=$(wd item "$FRAME" 1003 | cut -f2); [ -n "$VIEW" ]; }
  wait_for 10 view_up
  sheet=$(wd children "$VIEW" | awk -F'\t' '$5 == "#32770" { print $1; exit }')
  # No token: information and web settings; the tab is not what is tried here.
  wd send "$sheet" $((0x465)) 1 0 >/dev/null
  page_up() { PAGE=$(wd item "$FRAME" 1062 | cut -f2); [ -n "$PAGE" ]; }
  wait_for 10 page_up
  click() {
    local r; r=$(wd rect "$(wd item "$PAGE" "$1" | cut -f1)") || return 1
    read -r l t rr b <<< "$r"
    xdotool mousemove $(( (l + rr) / 2 )) $(( (t + b) / 2 )) click 1
  }
  box_text() {
    local box; box=$(wd wait-class '#32770' 10000 "$title" | cut -f1)
    [ -n "$box" ] || return 1
    wd text "$box" 65535
    xdotool key Return
    wait_gone() { ! wd windows | awk -F'\t' -v h="$box" '$1 == h && $3 == 1' | grep -q .; }
    wait_for 10 wait_gone
  }
  click 1063; xdotool type --delay 30 'http://bank.example/added'
  click 1064
  click 1013
  check_eq "set: the success text" "$(lang_text WebSetPage SET_SUCCESS)" "$(box_text)"
  screenshot web-settings-set
  check_eq "the file holds both addresses and kept its other section" \
    "Prompt=1 SetEvent=1 TotalNum=2 URL0=http://bank.example/one URL1=http://bank.example/added" \
    "$(tr -d '\r' < "$APP_DIR/URLSet.ini" | grep = | sort | paste -sd' ')"
  check_eq "nothing is left beside it" "" "$(cd "$APP_DIR" && ls | grep -iv '^\(URLSet.ini\|ZVApp\.\(exe\|ini\)\|tok.*\.dll\)$')"

  # A folder where the file should be: it cannot be replaced.
  rm -f "$APP_DIR/URLSet.ini"; mkdir "$APP_DIR/URLSet.ini"
  click 1013
  check_eq "a file that cannot be replaced: the failure text" "$(lang_text WebSetPage SET_FAIL)" "$(box_text)"
  check_eq "nothing is left beside it either" "" "$(cd "$APP_DIR" && ls | grep -iv '^\(URLSet.ini\|ZVApp\.\(exe\|ini\)\|tok.*\.dll\)$')"
}
run_scenario web-settings-saved scenario_web_settings_saved

scenario_exit
