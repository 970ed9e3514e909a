#!/usr/bin/env bash
# The client check through engine-run: the CSP stand-in answering from the
# simulated token under both vendors' provider names, the file and registry
# tables over a staged client, the manager's mutex.
. "$(dirname "$0")/lib.sh"

srv="$SCENARIO_WORK/client-check-srv"

vendor_one() {
  "$top/scripts/stage-client" "$WINEPREFIX" --vendor 1
  rm -f "$WINEPREFIX/drive_c/windows/system32/iesign.ocx"
  wine reg delete 'HKCR\CLSID\{184A0E38-7403-47C2-A548-5AA1212D32EB}' /f >/dev/null 2>&1
  out=$(engine_run 1 1)
  check_eq "missing file, missing key, manager not running" \
"TITLE_CT	1
SIGN4	90
CONTROL3	90
PRINTER0	90
TITLE_UK	95
VERSION	95
UKEY_WQ2321	50
UKEY_WQ2324	100
TITLE_RC	0" "$out"
  check_contains "the missing file is logged" '文件"C:\windows\system32\iesign.ocx"不存在!' "$(engine_log)"
  check_contains "the manager is looked for" 'Certd未启动' "$(engine_log)"

  start_manager
  tokensim insert >/dev/null
  out=$(engine_run 1 1)
  check_contains "token with a container" "UKEY_WQ2322	95
UKEY_WQ2301	95
UKEY_CERT_YQ	95
TITLE_RC	0" "$out"
  tokensim set c0.inuse=0 >/dev/null
  out=$(engine_run 1 1)
  check_contains "token without containers" "UKEY_WQ2301	95
UKEY_NO_CERT_YQ	95
TITLE_RC	0" "$out"
  tokensim remove >/dev/null
  out=$(engine_run 4 1)
  check_contains "no token, inside the full check" "UKEY_WQ2322	95
UKEY_NO_KEY	50
TITLE_IE	0" "$out"
  check "the full check sends no client end signal" bash -c '! grep -q "^TITLE_RC	0" <<<"$1"' _ "$out"
}

vendor_two() {
  "$top/scripts/stage-client" "$WINEPREFIX" --vendor 2 --client absent
  out=$(engine_run 1 2)
  check_contains "client absent" "TITLE_UK	95
UKEY_NO_DRIVER_ZV	50
UKEY_WQ2324_ZV	100
TITLE_RC	0" "$out"
  check "no version row without a client" bash -c '! grep -q "^VERSION" <<<"$1"' _ "$out"
  "$top/scripts/stage-client" "$WINEPREFIX" --vendor 2 --version 1.0.12.1200
  tokensim insert >/dev/null
  out=$(engine_run 1 2)
  check_contains "second vendor's codes, out of date" "VERSION_OLD_ZV	95
UKEY_WQ2322_ZV	95
UKEY_WQ2301_ZV	95
UKEY_CERT_ZV	95" "$out"
}

version_file "$srv" 10121218
start_update_server "$srv"
run_scenario vendor-one vendor_one
run_scenario vendor-two vendor_two
stop_update_server
rm -rf "$srv" "$srv".*
scenario_exit
