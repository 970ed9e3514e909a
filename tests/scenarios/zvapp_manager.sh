#!/usr/bin/env bash
# The management window: device list, sheet pages, device information and
# the label change, driven through the real windows.
. "$(dirname "$0")/lib.sh"

PSM_SETCURSEL=$((0x465)); PSM_GETCURRENTPAGEHWND=$((0x476)); PSM_GETTABCONTROL=$((0x474))
TCM_GETITEMCOUNT=$((0x1304)); LB_GETCOUNT=$((0x18B))

log_count() { wc -l < "$STATE_DIR/calls.log" 2>/dev/null || echo 0; }
# log_after N PATTERN: a call-log line after line N matches PATTERN.
log_after() { tail -n +"$(( $1 + 1 ))" "$STATE_DIR/calls.log" 2>/dev/null | iconv -f GBK -t UTF-8 | grep -qP "$2"; }
# The window thread answers once the handler that made the call has ended.
flush() { wd send "$FRAME" 0 >/dev/null; }
listed_is() { [ "$(wd combo "$VIEW" 1003 | paste -sd'|')" = "$1" ]; }
# select_token INDEX READER: the user picks a token; its reads have been made.
select_token() {
  local mark; mark=$(log_count)
  wd select "$VIEW" 1003 "$1" >/dev/null
  wait_for 10 log_after "$mark" "\t$2(\t|\r?$)"; flush
}

tab_count() {
  local tabs; tabs=$(wd send "$SHEET" $PSM_GETTABCONTROL)
  wd send "$(printf '%08x' "$tabs")" $TCM_GETITEMCOUNT
}

# page_kind INDEX: which page sits at the tab (by a control only it has).
page_kind() {
  wd send "$SHEET" $PSM_SETCURSEL "$1" 0 >/dev/null
  local page; page=$(printf '%08x' "$(wd send "$SHEET" $PSM_GETCURRENTPAGEHWND)")
  local ids; ids=$(wd children "$page" | cut -f2 | tr '\n' ' ')
  case " $ids " in
    *" 1009 "*) echo info ;; *" 1027 "*) echo pin ;; *" 1062 "*) echo web ;; *" 1010 "*) echo cert ;; *) echo "?" ;;
  esac
}

pages() { local n i out=""; n=$(tab_count); for ((i = 0; i < n; i++)); do out+="$(page_kind $i) "; done; wd send "$SHEET" $PSM_SETCURSEL 0 0 >/dev/null; echo "$out"; }

# Every page shown in turn: the controls its window, the sheet or the frame
# cut, or whose text does not fit them (in the pages' font), one a line.
clipped_pages() {
  local n i page; n=$(tab_count)
  for ((i = 0; i < n; i++)); do
    wd send "$SHEET" $PSM_SETCURSEL $i 0 >/dev/null
    page=$(printf '%08x' "$(wd send "$SHEET" $PSM_GETCURRENTPAGEHWND)")
    wd clipped "$page" 宋体 9 | sed "s/^/tab $i: /"
  done
  wd send "$SHEET" $PSM_SETCURSEL 0 0 >/dev/null
}
current_page() { printf '%08x' "$(wd send "$SHEET" $PSM_GETCURRENTPAGEHWND)"; }

frame_hidden() { [ "$(wd windows | awk -F'\t' -v h="$FRAME" '$1 == h { print $3 }')" = 0 ]; }

info_page() { wd item "$FRAME" 1009 | cut -f2; }
field() { wd text "$(info_page)" "$1"; }
label_button_enabled() { wd item "$(info_page)" 1009 | cut -f4; }

# Refresh as the tray menu's refresh does (the view's refresh button); it
# has ended when the certificates are withdrawn and the thread answers.
refresh() {
  local mark; mark=$(log_count)
  wd command "$FRAME" 32776 >/dev/null
  wait_for 15 log_after "$mark" '^CSPUnAllIECert'; flush
}


title=$(tokensim_get cfg.UserTitle)
hw=$(tokensim_get cfg.HWName)

# --- no token ----------------------------------------------------------------
scenario_no_token() {
  open_management_window
  check_eq "no token: list is empty" "" "$(wd combo "$VIEW" 1003)"
  check_eq "no token: label change disabled" "0" "$(label_button_enabled)"
  check_eq "no token: caption is the format text" "$(lang_text DeviceInfoPage IDC_STATIC_DEV_FORMAT_OR_USERNAME)" "$(field 1005)"
  check_eq "no token: fields are empty" "|||||" "$(field 1004)|$(field 1059)|$(field 1058)|$(field 1000)|$(field 1001)|"
  check_eq "no token: information and web-settings pages" "info web " "$(pages)"
  check_contains "prompt names the product" "$hw" "$(wd text "$VIEW" 1026)"
  screenshot manager-no-token

  # The web settings, by mouse and keyboard: the first tab clicked, the
  # arrow key to the next.
  local tabs; tabs=$(printf '%08x' "$(wd send "$SHEET" $PSM_GETTABCONTROL)")
  read -r l t _ _ <<< "$(wd rect "$tabs")"
  real_click_at $((l + 20)) $((t + 10)); real_keys Right
  on_web() { [ -n "$web" ] && [ "$(current_page)" = "$web" ]; }
  web_up() { web=$(wd item "$FRAME" 1062 | cut -f2); on_web; }
  check "the web-settings tab is reached by real input" wait_for 10 web_up
  addresses() { wd send "$(wd item "$web" 1062 | cut -f1)" $LB_GETCOUNT; }
  box() { wd wait-class '#32770' 10000 "$title" | cut -f1; }
  box_gone() { ! wd windows | awk -F'\t' -v h="$1" '$1 == h && $3 == 1' | grep -q .; }
  # An address the browser could never be given is refused when added.
  real_click_item "$web" 1063; real_type 'about:blank'; real_click_item "$web" 1064
  b=$(box)
  check_contains "an unopenable address is refused with a message" "无法打开此网址" "$(wd text "$b" 65535)"
  screenshot manager-web-refused
  real_keys Return; wait_for 10 box_gone "$b"
  check_eq "and is not added" "0" "$(addresses)"
  check_eq "it stays in the box to be mended" "about:blank" "$(wd text "$web" 1063)"
  # A bare host name is one (the refused text is still selected).
  real_type 'www.bank.example'; real_click_item "$web" 1064
  check_eq "a bare host name is added" "1" "$(addresses)"
  real_click_item "$web" 1066; real_click_item "$web" 1013
  b=$(box); real_keys Return; wait_for 10 box_gone "$b"
  check_contains "and set" "URL0=www.bank.example" "$(tr -d '\r' < "$APP_DIR/URLSet.ini" 2>/dev/null)"
  # Edits not yet saved, then a token comes and goes.
  real_click_item "$web" 1063; real_type 'http://bank.example/unsaved'; real_click_item "$web" 1064
  real_click_item "$web" 1092; real_type 'bank.example/request'
  tokensim insert >/dev/null
  four_tabs() { [ "$(tab_count)" = 4 ]; }
  check "a token's pages arrive" wait_for 15 four_tabs
  check "the bare host name is opened as http" wait_for 15 \
    bash -c "grep -q '\"http://www.bank.example\"' '$STATE_DIR/browser.log' 2>/dev/null"
  kept() {
    on_web && [ "$(addresses)" = 2 ] && [ "$(wd text "$web" 1092)" = bank.example/request ] &&
      [ "$(wd item "$web" 1093 | cut -f4)" = 1 ]
  }
  check "with the token in, the web page, its window and its edits stay" kept
  screenshot manager-web-kept
  tokensim remove >/dev/null
  two_tabs() { [ "$(tab_count)" = 2 ]; }
  check "the token's pages go" wait_for 15 two_tabs
  check "with the token out, they stay too" kept
}
run_scenario no-token scenario_no_token

# --- a normal token ------------------------------------------------------------
scenario_normal_token() {
  tokensim insert >/dev/null
  tokensim set label=MyKey devtype=1 totalsize=65536 freesize=40960 serial=ZV20260000000001 >/dev/null
  open_management_window
  wait_for 15 listed_is "ZV Reader 0"; flush
  check_eq "token listed" "ZV Reader 0" "$(wd combo "$VIEW" 1003)"
  check_eq "label shown" "MyKey" "$(field 1004)"
  check_eq "label change enabled" "1" "$(label_button_enabled)"
  check_eq "total size in bytes" "65536 字节" "$(field 1058)"
  check_eq "free size in bytes" "40960 字节" "$(field 1000)"
  check_eq "type 1 is the product name and its type text" "$hw$(lang_text DeviceInfoPage IDS_ORLIN1000_TYPE)" "$(field 1059)"
  check_eq "serial shown without a customer id" "ZV20260000000001" "$(field 1001)"
  check_eq "state 1: information, PIN, certificates, web settings" "info pin cert web " "$(pages)"
  check_eq "every page shows all its controls whole, their texts too" "" "$(clipped_pages)"
  screenshot manager-normal-token

  for t in 2 3; do
    tokensim set devtype=$t >/dev/null; refresh
    check_eq "type $t text" "$hw$(lang_text DeviceInfoPage IDS_ORLIN${t}000_TYPE)" "$(field 1059)"
  done
  tokensim set devtype=4 >/dev/null; refresh
  check_eq "type 4 is the unknown text alone" "$(lang_text DeviceInfoPage IDS_UNKNOW_TYPE)" "$(field 1059)"
  for t in 0 5; do
    tokensim set devtype=$t >/dev/null; refresh
    check_eq "type $t leaves the field empty" "" "$(field 1059)"
  done

  tokensim set cid=$(head -c 62 /dev/zero | tr '\0' 'C') >/dev/null; refresh
  check_eq "a 62-byte customer id is shown" "$(head -c 62 /dev/zero | tr '\0' 'C')" "$(field 1001)"
  tokensim set cid=$(head -c 63 /dev/zero | tr '\0' 'C') >/dev/null; refresh
  check_eq "a 63-byte customer id gives way to the serial" "ZV20260000000001" "$(field 1001)"

  for row in "0:IDS_OTHER_APP" "0x80000000:IDS_CONTACT_FIRST" "0x40000000:IDS_REFRESH"; do
    state=${row%%:*}; key=${row#*:}
    tokensim set appstate=$state >/dev/null; refresh
    check_eq "state $state shows its text" "$(lang_text ZVAppView $key)" "$(field 1005)"
    check_eq "state $state: empty label" "" "$(field 1004)"
    check_eq "state $state: label change disabled" "0" "$(label_button_enabled)"
    check_eq "state $state: only the information page (and web settings)" "info web " "$(pages)"
    [ "$state" = 0x40000000 ] && screenshot manager-refresh-state
  done

  # Refresh button: every listed token's certificates registered again.
  tokensim set appstate=1 >/dev/null; refresh
  tokensim clear-log >/dev/null
  refresh
  log=$(calls_log | cut -f1,2)
  check_contains "refresh button withdraws the browser certificates" "CSPUnAllIECert" "$log"
  after=$(calls_log | cut -f1,2 | sed -n '/^CSPUnAllIECert/,$p')
  check_contains "then registers the token's certificates" "$(printf 'CSPLoadCertToIE\tZV Reader 0')" "$after"

  # The page's hide button (a real click) hides the whole main window.
  frame_hidden && not_ok "hide button: the main window was shown before"
  real_click_item "$(info_page)" 1
  if wait_for 10 frame_hidden; then ok "hide button hides the main window"
  else not_ok "hide button hides the main window"; fi
}
run_scenario normal-token scenario_normal_token

# --- page rules over two tokens --------------------------------------------------
scenario_page_rules() {
  tokensim init 2 >/dev/null
  tokensim insert 0 >/dev/null; tokensim insert 1 >/dev/null
  tokensim set 0 appstate=4 >/dev/null
  tokensim set 1 appstate=1 >/dev/null
  open_management_window
  wait_for 15 listed_is "ZV Reader 0|ZV Reader 1"; flush
  check_eq "both tokens listed" "ZV Reader 0|ZV Reader 1" "$(wd combo "$VIEW" 1003 | paste -sd'|')"
  select_token 0 "ZV Reader 0"
  check_eq "state 4: information and PIN pages" "info pin web " "$(pages)"
  select_token 1 "ZV Reader 1"
  check_eq "state 1 after 4: the certificate page comes, the PIN page stays" "info pin cert web " "$(pages)"
  tokensim set 0 appstate=0x80000000 >/dev/null
  select_token 0 "ZV Reader 0"
  check_eq "a token without mask 5 leaves one token page" "info web " "$(pages)"
  select_token 1 "ZV Reader 1"
  check_eq "back to state 1 after a foreign token" "info pin cert web " "$(pages)"
}
run_scenario page-rules scenario_page_rules

# --- label change ----------------------------------------------------------------
scenario_label_change() {
  tokensim insert >/dev/null
  tokensim set label=OldName retries=6 >/dev/null
  open_management_window
  label_is() { [ "$(field 1004)" = "$1" ]; }
  wait_for 15 label_is OldName; flush
  dialog_title="$(lang_text ChangeLabelDlg IDS_REVISE)$hw$(lang_text ChangeLabelDlg IDS_NAME)"
  open_dialog() { wd click "$(info_page)" 1009 >/dev/null; DLG=$(wd wait-class '#32770' 5000 "$dialog_title" | cut -f1); }
  ok_enabled() { wd item "$DLG" 1 | cut -f4; }
  # The button follows each change before the text is set.
  type_in() { wd settext "$DLG" 1015 "$1" >/dev/null; wd settext "$DLG" 1029 "$2" >/dev/null; }
  open_dialog
  check "label dialog opens with its title" test -n "$DLG"
  check_eq "OK starts disabled" "0" "$(ok_enabled)"
  type_in "" 123456;                          check_eq "OK disabled for an empty label" "0" "$(ok_enabled)"
  type_in "$(head -c 33 /dev/zero | tr '\0' L)" 123456; check_eq "OK disabled for a 33-byte label" "0" "$(ok_enabled)"
  # 16 Chinese characters are 32 bytes, one ASCII more is 33 (GBK counts).
  han16=$(printf '中%.0s' $(seq 16))
  wd settext "$DLG" 1015 "${han16}A" >/dev/null
  check_eq "OK disabled for 16 Chinese characters and one more byte" "0" "$(ok_enabled)"
  type_in "$han16" 123456;                    check_eq "OK enabled for 32 bytes of Chinese" "1" "$(ok_enabled)"
  min=$(tokensim_get cfg.MinPinLen); max=$(tokensim_get cfg.MaxPinLen)
  type_in New "$(head -c $((min - 1)) /dev/zero | tr '\0' 1)"; check_eq "OK disabled one byte below MinPinLen" "0" "$(ok_enabled)"
  type_in New "$(head -c $((max + 1)) /dev/zero | tr '\0' 1)"; check_eq "OK disabled one byte above MaxPinLen" "0" "$(ok_enabled)"
  type_in New "$(head -c $max /dev/zero | tr '\0' 1)";       check_eq "OK enabled at MaxPinLen" "1" "$(ok_enabled)"

  # Wrong PIN: the tries left come from the write call.
  type_in NewName 654321
  wd click "$DLG" 1 >/dev/null
  text=$(drain_boxes 5000)
  check_contains "wrong PIN names the tries left that the write returned" "$(lang_text DeviceInfoPage IDS_RETRYNUM)5" "$text"
  check_contains "wrong PIN text" "$(lang_text DeviceInfoPage IDS_USER_PIN_ERR)" "$text"
  check_eq "label unchanged after a wrong PIN" "OldName" "$(field 1004)"

  # Success: the new label is written and shown.
  open_dialog; type_in NewName 123456
  wd click "$DLG" 1 >/dev/null
  text=$(drain_boxes 5000)
  check_contains "success text" "$(lang_text DeviceInfoPage IDS_REVISE) $hw $(lang_text DeviceInfoPage IDS_NAME) $(lang_text DeviceInfoPage IDS_SUCCESS)" "$text"
  check_eq "the new label is shown" "NewName" "$(field 1004)"
  check_eq "the token holds the new label" "NewName" "$(tokensim_get label)"

  # Chinese typed with real keys reaches the token whole; a character GBK
  # lacks is refused at OK with a message, never written as '?'.
  open_dialog
  dlg_label_is() { [ "$(wd text "$DLG" 1015)" = "$1" ]; }
  real_click_item "$DLG" 1015
  # (read through the code page, the Korean character shows as '?')
  check "Chinese typed into the label field arrives whole" real_type_text "$DLG" 1015 "中文名한x" "中文名?x"
  real_click_item "$DLG" 1029; real_type 123456
  screenshot label-typed-chinese
  real_click_item "$DLG" 1
  text=$(drain_boxes 5000)
  check_contains "a character outside GBK is refused with a message" "无法保存的字符" "$text"
  check_eq "and nothing is written" "NewName" "$(tokensim_get label)"
  real_click_item "$DLG" 1015; real_keys End BackSpace BackSpace
  wait_for 5 dlg_label_is "中文名"
  real_click_item "$DLG" 1
  check_contains "the Chinese label is written" "$(lang_text DeviceInfoPage IDS_SUCCESS)" "$(drain_boxes 5000)"
  check_eq "the token holds it in GBK" "中文名" "$(tokensim_get label)"

  # Cancel still reads retries and label again.
  tokensim set label=Changed >/dev/null
  tokensim clear-log >/dev/null
  open_dialog
  wd click "$DLG" 2 >/dev/null
  wait_for 10 log_after 0 '^OC_ReadLabel'; flush
  after=$(calls_log | cut -f1 | tr '\n' ' ')
  check "cancel re-reads the retries" grep -qE 'OC_GetUserPinRetryNum .*OC_GetUserPinRetryNum .*OC_ReadLabel' <<< "$after"
  check_contains "cancel re-reads the label" "OC_ReadLabel" "$after"
  check_eq "cancel shows the label read again" "Changed" "$(field 1004)"

  # A locked PIN shows the lock text.
  tokensim set locked=1 >/dev/null
  open_dialog; type_in NewName 123456
  wd click "$DLG" 1 >/dev/null
  text=$(drain_boxes 5000)
  check_contains "locked PIN: the page's PIN error, the product and the contact text" \
    "$(lang_text DeviceInfoPage IDS_USER_PIN_ERR) $hw $(lang_text DeviceInfoPage IDS_TO_CONTACTOR)" "$text"

  # Real clicks and keys from here. A token whose serial cannot be read
  # still takes the label typed for it.
  tokensim set locked=0 retries=6 fail.OC_GetSerial=0x88000001 >/dev/null
  refresh
  real_open_dialog() {
    real_click_item "$(info_page)" 1009
    DLG=$(wd wait-class '#32770' 5000 "$dialog_title" | cut -f1)
    [ -n "$DLG" ] || { not_ok "the label dialog opens on a real click"; return 1; }
  }
  real_fill() { real_click_item "$DLG" 1015; real_type "$1"; real_click_item "$DLG" 1029; real_type "$2"; }
  if real_open_dialog; then
    real_fill NoSerial 123456
    ok_on() { [ "$(ok_enabled)" = 1 ]; }
    check "typed for real, the label and PIN enable OK" wait_for 5 ok_on
    screenshot manager-label-no-serial
    real_click_item "$DLG" 1
    text=$(drain_boxes 5000)
    check_contains "no readable serial: the label is changed" "$(lang_text DeviceInfoPage IDS_SUCCESS)" "$text"
    check_eq "no readable serial: the token holds the typed label" "NoSerial" "$(tokensim_get label)"
  fi

  # The token leaves while its label dialog is open: the dialog goes,
  # nothing is written and no failure is reported.
  if real_open_dialog; then
    real_fill Gone 123456
    tokensim clear-log >/dev/null
    tokensim remove >/dev/null
    check "the label dialog closes when its token is removed" \
      bash -c "wine wdrive wait-gone '$dialog_title' 10000 >/dev/null 2>&1"
    screenshot manager-label-token-removed
    # Past the dialog the tries are read again; a box would be up by then.
    wait_for 10 log_after 0 '^OC_GetUserPinRetryNum'; flush
    check "and no box follows" bash -c "! wine wdrive wait-class '#32770' 500 '$title' >/dev/null 2>&1"
    check_eq "nothing was written" "" "$(calls_log | cut -f1 | grep -x OC_WriteLabel)"
    check_eq "the token keeps its label" "NoSerial" "$(tokensim_get label)"
  fi
}
run_scenario label-change scenario_label_change

# --- ten tokens and one reader more ------------------------------------------------
scenario_too_many() {
  tokensim init 11 >/dev/null
  for i in $(seq 0 9); do tokensim insert $i >/dev/null; done
  zv_start
  wd wait "$title" 30000 >/dev/null
  FRAME=$(frame_window)
  text=$(drain_boxes 15000)
  check_contains "eleven readers with ten tokens: IDS_RETRY_DEV is shown" "$(lang_text ZVAppView IDS_RETRY_DEV)" "$text"
  wd command "$FRAME" 32775 >/dev/null
  wait_for 15 management_window_shown; flush
  check_eq "the list is abandoned" "10" "$(wd combo "$VIEW" 1003 | grep -c .)"
}
run_scenario too-many scenario_too_many

# --- PIN-code checking ---------------------------------------------------------------
scenario_pin_code() {
  tokensim init 2 >/dev/null
  tokensim set cfg.PCodeCheck=1 >/dev/null
  tokensim set 0 pcode=1 >/dev/null; tokensim set 1 pcode=0 >/dev/null
  tokensim insert 0 >/dev/null; tokensim insert 1 >/dev/null
  open_management_window
  # The list follows the insertions' refreshes, later on a loaded machine.
  wait_for 15 listed_is "ZV Reader 0"
  check_eq "a token whose code does not match is never listed" "ZV Reader 0" "$(wd combo "$VIEW" 1003)"
  refresh
  check_eq "not after a refresh either" "ZV Reader 0" "$(wd combo "$VIEW" 1003)"
}
run_scenario pin-code scenario_pin_code

scenario_exit
