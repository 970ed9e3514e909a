#!/usr/bin/env bash
# The soft keyboard, driven through the real windows: the shuffled digits and
# the codes they send, one keyboard at a time, the sticky Shift, the modes,
# a PIN changed with the mouse alone, and one of typed letters and clicked
# digits with a box and a hidden keyboard on the way.
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
  # The recorder writes the keys as its own thread reads them.
  keys_logged() { [ "$(grep -c . "$KEYS" 2>/dev/null)" -ge "$1" ]; }
  # press_logged KEYBOARD ID: a key whose down and up the recorder logs.
  press_logged() { local n; n=$(grep -c . "$KEYS"); wd click "$1" "$2" >/dev/null; wait_for 5 keys_logged $((n + 2)); }
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
      for id in $digit_ids; do press_logged "$kb" "$id"; done
      want=""; caps=$(digit_captions "$kb")
      for ((i = 0; i < ${#caps}; i++)); do c=${caps:i:1}; want+="down 3$c up 3$c "; done
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
  wd click "$kb" 1106 >/dev/null
  wait_for 10 keys_logged 4
  check_eq "Shift A: Shift down, A down, A up, Shift up" "down 10 down 41 up 41 up 10 " "$(tr -d '\r' < "$KEYS" | tr '\n' ' ')"
  check_eq "Shift looks raised again" "0" "$(( $(wd send "$shift_btn" $BM_GETSTATE) & BST_PUSHED ))"

  # Page activation closes the keyboard; mode 0 opens none.
  wd send "$SHEET" $PSM_SETCURSEL 0 0 >/dev/null
  check_eq "changing pages closes the keyboard" "0" "$(keyboards)"
  wd send "$SHEET" $PSM_SETCURSEL 1 0 >/dev/null
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
    # The mark ends on the keyboard's timer once its thread is idle (10 ms
    # after the keys); a user's next key comes far later, a script's may not
    # under load: the click handled, then a user's pause.
    wd send "$kb" 0 >/dev/null; sleep 0.5
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
scenario_mouse_full() { scenario_mouse_change 2 ab12cd full; }
run_scenario mouse-full scenario_mouse_full

# --- mode 1: letters typed, digits clicked; a box; a hidden keyboard --------------------
# Real input throughout: the physical keys type into the field they are pressed in,
# the numeric keyboard sends the digits.
# The box over the page (its caption is the program's title), in BOX.
box_up() { BOX=$(wd wait-class '#32770' 200 "$title" | cut -f1); [ -n "$BOX" ]; }
box_gone() { ! box_up; }
# z_above A B: A lies above B (the window list runs from the top down).
z_above() { wd windows | awk -F'\t' -v a="$1" -v b="$2" '$1 == a { fa = NR } $1 == b { fb = NR } END { exit !(fa && fb && fa < fb) }'; }
rect_is() { [ "$(wd rect "$1")" = "$2" ]; }
rect_is_not() { ! rect_is "$@"; }
scenario_mouse_numeric() {
  tokensim set cfg.SoftKeyBoardMode=1 >/dev/null
  tokensim insert >/dev/null
  old=$(tokensim_get pin)
  open_pin_page
  real_click_item "$PAGE" 1026
  check "numeric: a click on the old-PIN field opens the keyboard" wait_for 10 keyboard_up
  kb=$(keyboard)
  check "numeric: the old PIN typed by clicks" real_soft_type "$kb" 1026 "$old"

  # Letters and Backspace typed in the new-PIN field are taken; the old PIN stays.
  real_click_item "$PAGE" 1027
  real_type ab
  wait_for 5 field_is 1027 ab
  real_soft_type "$kb" 1027 135
  real_keys BackSpace
  wait_for 5 field_is 1027 ab13
  check_eq "numeric: typed letters and Backspace beside clicked digits are taken, no box" \
    "$old|ab13|" "$(field 1026)|$(field 1027)|$(drain_boxes 0)"
  check "numeric: and more digits clicked after them" real_soft_type "$kb" 1027 57

  # A digit typed: the box, and only the field typed in is emptied.
  real_click_item "$PAGE" 1028
  real_type ab1
  check "numeric: a typed digit brings the box" wait_for 10 box_up
  frame=$(frame_window)
  # While the box is up a soft key sends nothing and raises nothing.
  real_click_item "$kb" 1216
  sleep 0.5  # what a click would do is done by then (each key waits 100 ms)
  check_eq "numeric: a soft key under the box leaves the box in front" "$BOX" "$(wd foreground | cut -f1)"
  check "numeric: and above the window it blocks" z_above "$BOX" "$frame"
  screenshot pin-keyboard-under-box
  real_keys Return
  check "numeric: Enter closes the box" wait_for 5 box_gone
  check_eq "numeric: only the field typed in is emptied" "$old|ab1357|" "$(field 1026)|$(field 1027)|$(field 1028)"

  # Hidden from its system menu, the keyboard comes back with a click on the field.
  open_rect=$(wd rect "$kb")
  read -r cl ct cr cb <<< "$(wd client "$kb")"
  menu_up() { wd windows | awk -F'\t' '$3 == 1 && $4 == "#32768"' | grep -q .; }
  # The keyboard's lower margin: its top may lie under the taller management
  # window. A loaded machine may lose a right click: ask until the menu is up.
  for try in 1 2 3; do
    real_click_at $((cl + 2)) $((cb - 3)) 3
    wait_for 10 menu_up && break
    note "no system menu (try $try)"
  done
  real_keys Up Return
  check "numeric: Hide minimises the keyboard" wait_for 5 rect_is_not "$kb" "$open_rect"
  screenshot pin-keyboard-hidden
  real_click_item "$PAGE" 1028
  check "numeric: a click on the field brings it back" wait_for 5 rect_is "$kb" "$open_rect"
  real_type ab
  check "numeric: the focus stays in the field" wait_for 5 field_is 1028 ab
  check "numeric: the repeat typed and clicked" real_soft_type "$kb" 1028 1357
  check_eq "numeric: the apply button is enabled" "1" "$(apply_enabled)"
  screenshot pin-mouse-numeric
  real_click_item "$PAGE" 1010
  check_contains "numeric: the change succeeds" "修改用户口令成功" "$(drain_boxes 5000)"
  check_eq "numeric: the token's PIN has letters and digits" "ab1357" "$(tokensim_get pin)"
}
run_scenario mouse-numeric scenario_mouse_numeric

scenario_exit
