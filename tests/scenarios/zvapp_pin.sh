#!/usr/bin/env bash
# The PIN page, driven through the real windows: the input policy of each
# soft-keyboard mode, the strength lines, the apply button and every result
# of the change.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/pin_page_lib.bash"

# --- input policy and grades ---------------------------------------------------------
scenario_input_rules() {
  tokensim insert >/dev/null
  tokensim set cfg.SoftKeyBoardMode=1 >/dev/null
  open_pin_page

  # Mode 1: text that ZRIsInputNumber marks is refused unless it came from
  # the soft keyboard (mode 2 is shown with real input in zvapp_softkbd.sh).
  typed_box 1026 123456
  check_contains "mode 1: typed digits are refused" "$(t ZV_NUMFORMSKBM)" "$BOXES"
  check_eq "mode 1: and the field emptied" "" "$(field 1026)"
  typed 1026 abcdef
  check_eq "mode 1: unmarked text is taken" "abcdef|" "$(field 1026)|$(drain_boxes 0)"

  # Mode 0: nothing refused, no keyboard, grading still runs.
  tokensim set cfg.SoftKeyBoardMode=0 >/dev/null
  wd send "$SHEET" $PSM_SETCURSEL 0 0 >/dev/null; wd send "$SHEET" $PSM_SETCURSEL 1 0 >/dev/null
  focus_field 1026
  check_eq "mode 0: no keyboard" "0" "$(keyboards)"
  typed 1026 123456
  check_eq "mode 0: typed digits are taken" "123456|" "$(field 1026)|$(drain_boxes 0)"
  check_eq "mode 0: the old PIN is graded" "$(t ZV_OLDPIN_LOW_PWSGRADE)" "$(field 1059)"

  # Grades as the library returns them.
  for row in 3:ZV_OLDPIN_LOW_PWSGRADE 4:ZV_OLDPIN_MID_PWSGRADE 5:ZV_OLDPIN_MID_PWSGRADE 6:ZV_OLDPIN_HIGH_PWSGRADE; do
    tokensim set cfg.fail.ZRGetPWSGrade=${row%%:*} >/dev/null
    typed 1026 "pin${row%%:*}pin"
    check_eq "grade ${row%%:*}" "$(t ${row#*:})" "$(field 1059)"
  done
  tokensim set cfg.fail.ZRGetPWSGrade=0 >/dev/null
  typed_box 1026 zeropin
  check_contains "grade 0 is refused" "$(t ZV_ERROR_PWSGRADE)" "$BOXES"
  check_eq "grade 0 empties the field" "" "$(field 1026)"
  tokensim set cfg.fail.ZRGetPWSGrade= >/dev/null

  # Line 1060 follows the repeat field, whichever was typed last.
  typed 1028 'Abcdef12!xyz'
  typed 1027 abcdefgh
  check_eq "line 1060 shows the repeat field's grade" "$(t ZV_NEWPIN_HIGH_PWSGRADE)" "$(field 1060)"
  screenshot pin-page-grades

  # The apply button follows MinPinLen..MaxPinLen for every field.
  min=$(tokensim_get cfg.MinPinLen); max=$(tokensim_get cfg.MaxPinLen)
  pin() { head -c "$1" /dev/zero | tr '\0' k; }
  for f in 1026 1027 1028; do typed $f "$(pin $min)"; done
  check_eq "apply enabled with three PINs of MinPinLen" "1" "$(apply_enabled)"
  local bad=""
  for f in 1026 1027 1028; do
    typed $f "$(pin $((min - 1)))"; [ "$(apply_enabled)" = 0 ] || bad+=" $f:short"
    typed $f "$(pin $((max + 1)))"; [ "$(apply_enabled)" = 0 ] || bad+=" $f:long"
    typed $f "$(pin $max)";         [ "$(apply_enabled)" = 1 ] || bad+=" $f:max"
  done
  check_eq "apply disabled outside the limits in each field, enabled at MaxPinLen" "" "$bad"
}
run_scenario input-rules scenario_input_rules

# --- apply and its results -----------------------------------------------------------
scenario_apply() {
  tokensim set cfg.SoftKeyBoardMode=0 >/dev/null
  tokensim set pintag=00 >/dev/null
  tokensim insert >/dev/null
  zv_start
  reminder=$(wd wait-class '#32770' 20000 "$(lang_text MainFrm IDS_MSGBOX_TITLE)")
  check "a default PIN gives the reminder at insertion" test -n "$reminder"
  wd click "$(echo "$reminder" | cut -f1)" 1 >/dev/null
  wait_for 10 window_gone "$(echo "$reminder" | cut -f1)"
  open_pin_page
  fill() { typed 1026 "$1"; typed 1027 "$2"; typed 1028 "$3"; drain_boxes 0 >/dev/null; }

  tokensim clear-log >/dev/null
  fill 123456 abcdef12 abcdef13
  wd click "$PAGE" 1010 >/dev/null
  check_contains "different new PINs are refused" "$(t IDS_NEW_PIN_NOT_EQUAL)" "$(drain_boxes 5000)"
  check "and never reach the token" bash -c "! grep -q '^OC_ChangeUserPin' '$STATE_DIR/calls.log'"
  check_eq "the old field keeps its text, the new ones are emptied" "123456||" "$(field 1026)|$(field 1027)|$(field 1028)"

  # Typed on the keyboard into fields clicked with the mouse; Enter applies.
  fill "" "" ""
  for row in 1026:654321 1027:abcdef12 1028:abcdef12; do
    real_click_item "$PAGE" "${row%%:*}"; real_type "${row#*:}"
    wait_for 5 field_is "${row%%:*}" "${row#*:}" || note "field ${row%%:*} holds [$(field "${row%%:*}")]"
  done
  real_keys Return
  text=$(drain_boxes 5000)
  check_contains "Enter applies; a wrong old PIN names the tries the call returned" \
    "$(t IDS_USER_PIN_ERR)"$'\n'"$(t IDS_RETRYNUM)5$(t IDS_RETRYNUMPROMPTING)" "$text"
  check_eq "only the old field is emptied" "|abcdef12|abcdef12" "$(field 1026)|$(field 1027)|$(field 1028)"

  tokensim set locked=1 >/dev/null
  fill 123456 abcdef12 abcdef12
  wd click "$PAGE" 1010 >/dev/null
  check_contains "a locked PIN shows the lock text" "$(t IDS_USER_PIN_LOCKED) $(t IDS_TO_CONTACTOR)" "$(drain_boxes 5000)"

  # A failing tag write skips the second retry read.
  tokensim set locked=0 retries=6 fail.OC_WriteFile=0x88000001 >/dev/null
  fill 123456 abcdef12 abcdef12
  tokensim clear-log >/dev/null
  wd click "$PAGE" 1010 >/dev/null
  check_contains "success" "修改用户口令成功" "$(drain_boxes 5000)"
  # The tag is written after the box; the thread answers when the apply has ended.
  wd send "$FRAME" 0 >/dev/null
  after=$(calls_log | cut -f1 | grep '^OC_' | sed -n '/^OC_ChangeUserPin$/,$p' | tr '\n' ' ')
  check_eq "a failing tag write: no retry read after it" "OC_ChangeUserPin OC_GetSerial OC_WriteFile " "$after"
  check_eq "the tag stays as it was" "00" "$(tokensim_get pintag)"

  # Success writes the tag; the next insertion brings no reminder.
  tokensim set fail.OC_WriteFile= >/dev/null
  fill abcdef12 Abc12345 Abc12345
  tokensim clear-log >/dev/null
  wd click "$PAGE" 1010 >/dev/null
  check_contains "success text" "修改用户口令成功" "$(drain_boxes 5000)"
  wd send "$FRAME" 0 >/dev/null
  after=$(calls_log | cut -f1 | grep '^OC_' | sed -n '/^OC_ChangeUserPin$/,$p' | tr '\n' ' ')
  # The token's serial is compared before its tag is written.
  check_eq "success: the tag is written, then the retries read" "OC_ChangeUserPin OC_GetSerial OC_WriteFile OC_GetUserPinRetryNum " "$after"
  check_eq "PinTag is 01" "01" "$(tokensim_get pintag)"
  check_eq "all fields emptied" "||" "$(field 1026)|$(field 1027)|$(field 1028)"
  check "no PIN in the program's trace" bash -c "! grep -qE 'Abc12345|abcdef12' '$STATE_DIR/trace.log' 2>/dev/null"
  local mark; mark=$(calls_log | wc -l)
  tokensim remove >/dev/null
  seen() { calls_log | tail -n +"$((mark + 1))" | grep -qP "$1"; }
  wait_for 15 seen '^QKDevChg\tremoved'
  tokensim insert >/dev/null
  # The reminder is decided on the tag read after the insertion's state read;
  # a box would be up once the window thread answers after it.
  tag_read() { calls_log | tail -n +"$((mark + 1))" | awk -F'\t' '$1 == "QKDevChg" && $2 == "inserted" { i = 1 } i && $1 == "OC_GetHWApp" { h = 1 } h && $1 == "OC_ReadFile" { f = 1 } END { exit !f }'; }
  wait_for 20 tag_read; wd send "$FRAME" 0 >/dev/null
  check "the next insertion gives no reminder" bash -c "! wine wdrive wait-class '#32770' 1000 '$(lang_text MainFrm IDS_MSGBOX_TITLE)' >/dev/null 2>&1"
}
run_scenario apply scenario_apply

# --- the tag goes to the token the PIN was changed on -----------------------------------
# A second token comes while the success box is open; its refresh makes it
# current and shows the PIN page for it again.
scenario_tag_token() {
  tokensim init 2 >/dev/null
  tokensim set cfg.SoftKeyBoardMode=0 >/dev/null
  tokensim set 1 pintag=00 >/dev/null
  tokensim insert 0 >/dev/null
  open_pin_page
  typed 1026 123456; typed 1027 Abc12345; typed 1028 Abc12345
  drain_boxes 0 >/dev/null
  local mark; mark=$(calls_log | wc -l)
  wd click "$PAGE" 1010 >/dev/null
  box=$(wd wait-class '#32770' 10000 "$title")
  check "the success box is open" test -n "$box"
  tokensim insert 1 >/dev/null
  # The refresh ends with the page taking the current token again.
  page_took_reader_1() {
    calls_log | tail -n +"$((mark + 1))" | awk -F'\t' '$1 == "OC_GetDevType" && $3 == "ZV Reader 1" { d = 1 } d && $1 == "OC_GetSerial" && $3 == "ZV Reader 1" { f = 1 } END { exit !f }'
  }
  check "the second token's refresh ran under the box" wait_for 30 page_took_reader_1
  screenshot pin-success-under-insertion
  # Its default-PIN reminder comes on top.
  reminder=$(wd wait-class '#32770' 10000 "$(lang_text MainFrm IDS_MSGBOX_TITLE)")
  [ -n "$reminder" ] && wd click "$(echo "$reminder" | cut -f1)" 1 >/dev/null
  wd click "$(echo "$box" | cut -f1)" 1 >/dev/null
  tag_written() { calls_log | tail -n +"$((mark + 1))" | grep -q '^OC_WriteFile'; }
  wait_for 10 tag_written
  after=$(calls_log | tail -n +"$((mark + 1))" | awk -F'\t' '$1 == "OC_WriteFile" { w = 1 } w && ($1 == "OC_WriteFile" || $1 == "OC_GetUserPinRetryNum") { print $1 "@" $3 }' | head -2 | paste -sd' ')
  check_eq "the tag and the retries go to the changed token" "OC_WriteFile@ZV Reader 0 OC_GetUserPinRetryNum@ZV Reader 0" "$after"
  check_eq "the other token's tag is untouched" "00" "$(tokensim_get 1 pintag)"
}
run_scenario tag-token scenario_tag_token

scenario_exit
