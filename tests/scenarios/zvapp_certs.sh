#!/usr/bin/env bash
# The certificate page: the tree built from the token's containers, the
# labels, the details of a certificate, damaged certificates, and the viewer
# opened on a temporary ".cer" file that is gone once the viewer closed, or
# when the program exits with the viewer still open.
. "$(dirname "$0")/lib.sh"

PSM_SETCURSEL=$((0x465))
title=$(tokensim_get cfg.UserTitle)
t() { lang_text CertManagePage "$1"; }

open_cert_page() {
  open_management_window
  show_page
  PAGE=$(wd item "$FRAME" 1006 | cut -f2)
}
# Shows the certificate page again (each activation rebuilds the tree).
show_page() { wd send "$SHEET" $PSM_SETCURSEL 0 0 >/dev/null; wd send "$SHEET" $PSM_SETCURSEL 2 0 >/dev/null; sleep 1; }
tree() { wd tree "$PAGE" 1006 | paste -sd'|'; }
select_node() { wd tree-select "$PAGE" 1006 "$1" >/dev/null; sleep 0.7; }
details() { wd text "$PAGE" 1007; }
view_enabled() { wd item "$PAGE" 1010 | cut -f4; }
files_gone() { local f; for f in "$@"; do [ ! -e "$f" ] || return 1; done; }
viewer_line() { line=$(tr -d '\r' < "$STATE_DIR/browser.log" | grep -i '\.cer' | head -1); [ -n "$line" ]; }
# view_and_find_file: clicks the view button for real; sets line and file
# (the .cer file the viewer was opened on, as a Unix path).
view_and_find_file() {
  real_click_item "$PAGE" 1010
  wait_for 10 viewer_line
  local winpath rest
  winpath=$(echo "$line" | grep -o '[A-Za-z]:\\[^"]*\.cer' | head -1)
  rest=${winpath#?:\\}
  file="$WINEPREFIX/drive_c/${rest//\\//}"
}


scenario_tree() {
  tokensim insert >/dev/null
  # Slot 0 with both certificates, slot 1 not in use (but with flags and
  # lengths), slot 2 with an exchange flag but no exchange certificate.
  tokensim set c0.exch=cert c0.sig=cert c0.exch.notbefore=2011-03-05T12:00:00Z c0.exch.notafter=2012-10-25T12:00:00Z >/dev/null
  tokensim set c1.name=Unused-Box c1.exch=cert c1.sig=cert >/dev/null
  tokensim set c1.inuse=0 >/dev/null
  tokensim set c2.name=Box-2 c2.sig=cert c2.exch=none >/dev/null
  tokensim set c2.keyflags=3 >/dev/null
  c0=$(tokensim_get c0.name)
  open_cert_page
  kx=$(t IDS_KEYEXCHANGE_CERT); sg=$(t IDS_SIGNATURE_CERT)
  check_eq "slot order, exchange before signature, both certificates listed twice, unused slot and flag without length skipped" \
    "0	1000	$c0|1	110000	$kx|0	1000	$c0|1	120000	$sg|0	1002	Box-2|1	120000	$sg" "$(tree)"
  check_eq "two-key labels" "加密证书|签名证书" "$kx|$sg"

  # The first root is selected: a container shows its certificates, no viewer.
  check_eq "the first container is selected and described" "$(t IDS_CONTAINER)$c0$(t IDS_RIGHT_PARENTHESIS)"$'\n'"  $kx" "$(details)"
  check_eq "no viewer for a container" "0" "$(view_enabled)"

  select_node 1
  check_eq "certificate details" "$(t IDS_ISSUE_TO)张三"$'\n'"$(t IDS_ISSUER)岚川银行CA"$'\n'"$(t IDS_VALIDITY) 2011-3-5 $(t IDS_TO) 2012-10-25 " "$(details)"
  check_contains "details begin with 颁发给：" "颁发给：" "$(details)"
  check_eq "the viewer is offered" "1" "$(view_enabled)"
  screenshot certs-details

  # Viewing (a real click) writes the certificate to a temporary .cer file
  # and opens it; the viewer closed, nothing is left of it.
  : > "$STATE_DIR/browser.log"
  view_and_find_file
  check_contains "the viewer is opened on a .cer file" ".tmp.cer" "$line"
  check "the file exists" test -s "$file"
  if [ -s "$file" ]; then
    size=$(stat -c %s "$file")
    der=$(od -An -tu1 -N4 "$file" | awk '{ if ($2 == 130) print $3 * 256 + $4 + 4; else if ($2 == 129) print $3 + 3; else print $2 + 2 }')
    check_eq "the file holds exactly one certificate, no more" "$der" "$size"
    check_contains "and it is the selected one" "张三" "$(openssl x509 -inform DER -in "$file" -noout -subject -nameopt utf8 2>&1)"
    check_eq "its start date" "Mar  5 12:00:00 2011 GMT" "$(openssl x509 -inform DER -in "$file" -noout -startdate | cut -d= -f2)"
  fi
  temps=("$file" "${file%.cer}")
  check "beside the unique name the system made" test -f "${temps[1]}"
  touch "$STATE_DIR/browser.quit"
  check "the viewer closed, both temporary files are gone" wait_for 10 files_gone "${temps[@]}"

  # Without two keys both certificate nodes read "证书".
  tokensim set cfg.TwoRSAType=0 >/dev/null
  show_page
  check_eq "one-key labels" "证书|证书|证书" "$(tree | tr '|' '\n' | awk -F'\t' '$1 == 1 { print $3 }' | paste -sd'|')"

  # Damaged certificates: no details, no viewer, even right after a good one.
  for kind in garbage truncated; do
    tokensim set c0.exch=$kind >/dev/null
    show_page
    select_node 3; select_node 1
    check_eq "$kind certificate: empty details" "" "$(details)"
    check_eq "$kind certificate: no viewer" "0" "$(view_enabled)"
    : > "$STATE_DIR/browser.log"
    wd command "$PAGE" 1010 >/dev/null; sleep 1
    check_eq "$kind certificate: nothing is opened" "" "$(tr -d '\r' < "$STATE_DIR/browser.log")"
  done

  # A viewer still open when the program exits: its files go with the program.
  tokensim set c0.exch=cert >/dev/null
  show_page
  select_node 1
  : > "$STATE_DIR/browser.log"
  view_and_find_file
  temps=("$file" "${file%.cer}")
  check "the temporary files are there while the viewer is open" test -f "${temps[0]}" -a -f "${temps[1]}"
  wd command "$FRAME" 32777 >/dev/null
  drain_boxes 5000 >/dev/null
  for _ in $(seq 50); do [ "$(zv_processes)" = 0 ] && break; sleep 0.2; done
  check_eq "the program has ended" "0" "$(zv_processes)"
  check "no temporary certificate file is left" files_gone "${temps[@]}"
}
run_scenario tree scenario_tree

# The tree decodes the whole block whatever length the library reports, and a
# certificate is read from the token whose tree is shown, under its own name,
# even while another token's insertion makes that one current.
scenario_block_and_reader() {
  tokensim init 2 >/dev/null
  tokensim set 0 c1.name=Box-1 c1.sig=cert >/dev/null
  tokensim set cfg.len.OC_ReadCSPCtrl=0x100 >/dev/null
  tokensim insert 0 >/dev/null
  c0=$(tokensim_get 0 c0.name)
  open_cert_page
  sg=$(t IDS_SIGNATURE_CERT)
  check_eq "a short reported length still lists every slot" \
    "0	1000	$c0|1	120000	$sg|0	1001	Box-1|1	120000	$sg" "$(tree)"

  # The second token's insertion stops in its certificate step, after it made
  # that token current; a node of the first token's tree is selected then.
  tokensim set cfg.len.OC_ReadCSPCtrl= >/dev/null
  tokensim set 1 delay.CSPLoadCertToIE=8000 >/dev/null
  show_page
  local mark; mark=$(calls_mark)
  tokensim insert 1 >/dev/null
  check "the insertion reaches its certificate step" wait_for 20 calls_seen "$mark" "ZRGetMsnType"
  select_node 3
  check_contains "Box-1's certificate is shown" "$(t IDS_ISSUE_TO)" "$(details)"
  screenshot certs-during-insertion
  check_calls "read from the token of the tree, under the slot's name" "$mark" <<'EOF'
ZRGetMsnType
! OC_ReadCert | * | ZV Reader 1
OC_ReadCert | * | ZV Reader 0 | Box-1
EOF
}
run_scenario block-and-reader scenario_block_and_reader

scenario_exit
