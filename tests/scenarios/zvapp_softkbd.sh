#!/usr/bin/env bash
# The soft keyboard, driven through the real windows: the shuffled digits and
# the codes they send, one keyboard at a time, the sticky Shift, the modes,
# and a PIN changed with the mouse alone.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/pin_page_lib.bash"

# --- the keyboard ----------------------------------------------------------------
scenario_keyboard() {
  tokensim insert >/dev/null
  tokensim set cfg.SoftKeyBoardMode=1 >/dev/null
  open_pin_page
  KEYS="$STATE_DIR/keys.log"; : > "$KEYS"
  (wine wdrive keyrec 'C:\tokensim\keys.log' 600000 >/dev/null 2>&1 &)
  RECORDER=$(wd wait "wdrive key recorder" 15000 | cut -f1)
  check "the key recorder is up" test -n "$RECORDER"

  local round all_once=1 codes_match=1
  for round in 1 2 3; do
    focus_notice 1026
    kb=$(keyboard)
    [ -n "$kb" ] || { all_once=0; break; }
    caps=$(digit_captions "$kb")
    # A caption read can time out on a loaded machine; the captions stay
    # while the keyboard is open, so a second read tells a slow read from a
    # wrong shuffle.
    if [ "$(sorted_chars "$caps")" != "0123456789" ]; then
      note "opening $round, first read: [$caps]"; sleep 1; caps=$(digit_captions "$kb")
    fi
    [ "$(sorted_chars "$caps")" = "0123456789" ] || { all_once=0; note "opening $round: [$caps]"; }
    if [ $round -eq 1 ]; then
      screenshot pin-keyboard-numeric
      : > "$KEYS"
      for id in $digit_ids; do press "$kb" "$id"; done
      want=""; for id in $digit_ids; do c=$(wd text "$kb" "$id"); want+="down 3$c up 3$c "; done
      got=$(tr -d '\r' < "$KEYS" | tr '\n' ' ')
      check_eq "each digit key sends the code of its caption" "$want" "$got"
      # (each click brought the recorder to the front again)
      focus_notice 1027
      check_eq "a second opening gives no second keyboard" "1" "$(keyboards)"
    fi
    press "$kb" 1020   # Esc closes it
    [ "$(keyboards)" = 0 ] || note "Esc left a keyboard"
  done
  check "after every opening each digit is on exactly one key" test $all_once = 1
  check_eq "Esc closed the keyboard" "0" "$(keyboards)"

  # Full keyboard: sticky Shift around one key.
  tokensim set cfg.SoftKeyBoardMode=2 >/dev/null
  focus_notice 1026
  kb=$(keyboard)
  check_eq "mode 2 opens the full keyboard" "81" "$(wd children "$kb" | grep -c Button)"
  screenshot pin-keyboard-full
  : > "$KEYS"
  press "$kb" 1064
  shift_btn=$(wd item "$kb" 1064 | cut -f1)
  check_eq "Shift stays down after its click" "$BST_PUSHED" "$(( $(wd send "$shift_btn" $BM_GETSTATE) & BST_PUSHED ))"
  press "$kb" 1106
  check_eq "Shift A: Shift down, A down, A up, Shift up" "down 10 down 41 up 41 up 10 " "$(tr -d '\r' < "$KEYS" | tr '\n' ' ')"
  check_eq "Shift looks raised again" "0" "$(( $(wd send "$shift_btn" $BM_GETSTATE) & BST_PUSHED ))"

  # Page activation closes the keyboard; mode 0 opens none.
  wd send "$SHEET" $PSM_SETCURSEL 0 0 >/dev/null; sleep 0.5
  check_eq "changing pages closes the keyboard" "0" "$(keyboards)"
  wd send "$SHEET" $PSM_SETCURSEL 1 0 >/dev/null; sleep 0.5
  tokensim set cfg.SoftKeyBoardMode=0 >/dev/null
  focus_notice 1026
  check_eq "mode 0 opens no keyboard" "0" "$(keyboards)"
}
run_scenario keyboard scenario_keyboard

# --- the PIN changed with the mouse alone ----------------------------------------------
# Real clicks: each one activates the window under the pointer, as for a user.
keyboard_up() { [ -n "$(keyboard)" ]; }
scenario_mouse_change() {
  local mode=$1 new=$2 name=$3
  tokensim set cfg.SoftKeyBoardMode=$mode >/dev/null
  tokensim insert >/dev/null
  old=$(tokensim_get pin)
  open_pin_page
  real_click_item "$PAGE" 1026
  check "$name: a click on the old-PIN field opens the keyboard" wait_for 10 keyboard_up
  kb=$(keyboard)
  if [ "$mode" = 2 ]; then
    # A soft key that changes nothing leaves no mark for the next typed one.
    real_click_item "$kb" 1032
    real_type a
    check_contains "$name: after a soft Backspace on an empty field a typed character is refused" \
      "$(t ZV_FULLFORMSKBM)" "$(drain_boxes 5000)"
    real_click_item "$PAGE" 1026
  fi
  check "$name: the old PIN typed by clicks" real_soft_type "$kb" 1026 "$old"
  real_click_item "$PAGE" 1027
  check "$name: the new PIN typed by clicks" real_soft_type "$kb" 1027 "$new"
  real_click_item "$PAGE" 1028
  check "$name: and again" real_soft_type "$kb" 1028 "$new"
  check_eq "$name: still one keyboard" "1" "$(keyboards)"
  check_eq "$name: the apply button is enabled" "1" "$(apply_enabled)"
  screenshot "pin-mouse-$name"
  real_click_item "$PAGE" 1010
  check_contains "$name: the change succeeds" "修改用户口令成功" "$(drain_boxes 5000)"
  check_eq "$name: the token's PIN is the new one" "$new" "$(tokensim_get pin)"
}
scenario_mouse_numeric() { scenario_mouse_change 1 135790 numeric; }
scenario_mouse_full() { scenario_mouse_change 2 ab12cd full; }
run_scenario mouse-numeric scenario_mouse_numeric
run_scenario mouse-full scenario_mouse_full

scenario_exit
