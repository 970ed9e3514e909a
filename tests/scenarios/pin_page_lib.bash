# Sourced by the PIN page scenarios (after lib.sh): opening the page, its
# fields, the soft keyboard's windows and keys, the message boxes.
PSM_SETCURSEL=$((0x465)); WM_COMMAND=$((0x111)); WM_NEXTDLGCTL=$((0x28)); WM_KEYDOWN=$((0x100))
BM_GETSTATE=$((0xF2)); EN_SETFOCUS=$((0x100)); BST_PUSHED=4
KEYBOARD_TITLE="澜岳银行网银虚拟键盘"

title=$(tokensim_get cfg.UserTitle)
t() { lang_text ChangePINPage "$1"; }

# Opens the management window on the PIN page; sets FRAME, VIEW, SHEET, PAGE.
open_pin_page() {
  open_management_window
  wd send "$SHEET" $PSM_SETCURSEL 1 0 >/dev/null
  pin_page_up() { PAGE=$(wd item "$FRAME" 1027 | cut -f2); [ -n "$PAGE" ]; }
  wait_for 10 pin_page_up
}

edit() { wd item "$PAGE" "$1" | cut -f1; }
# Sent, not posted: the page's rules (the keyboard, the grades, a box) have
# run when these return; a box holds them until the driver gives up.
# The user puts the caret into a field (the page's focus rule runs).
focus_field() { wd send "$PAGE" $WM_NEXTDLGCTL "0x$(edit "$1")" 1 >/dev/null; }
# The field's focus notice alone: the foreground window stays what it is.
focus_notice() { wd send "$PAGE" $WM_COMMAND $(( (EN_SETFOCUS << 16) | $1 )) "0x$(edit "$1")" >/dev/null; }
# Text typed on the physical keyboard reaches the field without the soft keyboard's mark.
typed() { wd settext "$PAGE" "$1" "$2" >/dev/null; }
# typed_box FIELD TEXT: typed text that the page answers with a box; the
# boxes' texts are in BOXES once they are closed and the page's rule has ended.
typed_box() {
  wd settext "$PAGE" "$1" "$2" >/dev/null &
  local pid=$!
  BOXES=$(drain_boxes)
  wait "$pid"
}
field() { wd text "$PAGE" "$1"; }
apply_enabled() { wd item "$PAGE" 1010 | cut -f4; }

keyboards() { wd windows | awk -F'\t' -v t="$KEYBOARD_TITLE" '$3 == 1 && $5 == t' | grep -c .; }
keyboard() { wd windows | awk -F'\t' -v t="$KEYBOARD_TITLE" '$3 == 1 && $5 == t { print $1; exit }'; }
# press KEYBOARD ID: a posted click; the keyboard's thread answers once it is handled.
press() { wd click "$1" "$2" >/dev/null; wd send "$1" 0 >/dev/null; }
field_is() { [ "$(field "$1")" = "$2" ]; }
# real_soft_type KEYBOARD FIELD TEXT: clicks with the mouse the keys whose
# captions spell TEXT (letters shown in capitals type small ones) and waits
# for each character to land in FIELD.
real_soft_type() {
  local kb=$1 f=$2 s=$3 i c key keys before
  keys=$(wd children "$kb")
  before=$(field "$f")
  for ((i = 0; i < ${#s}; i++)); do
    c=${s:i:1}
    key=$(awk -F'\t' -v c="${c^^}" '$6 == c { print $1; exit }' <<< "$keys")
    [ -n "$key" ] || { note "no key shows $c"; return 1; }
    real_click "$key"
    wait_for 5 field_is "$f" "$before${s:0:i+1}" || { note "after a click on $c the field holds [$(field "$f")]"; return 1; }
  done
}

digit_ids="131 123 124 125 126 1216 127 128 129 130"
# The digit keys' captions, in table order, joined.
digit_captions() {
  wd children "$1" | awk -F'\t' -v ids="$digit_ids" '{ t[$2] = $6 } END { n = split(ids, a, " "); for (i = 1; i <= n; i++) printf "%s", t[a[i]]; print "" }'
}
sorted_chars() { echo "$1" | fold -w1 | sort | tr -d '\n'; }

