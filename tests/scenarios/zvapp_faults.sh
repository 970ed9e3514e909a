#!/usr/bin/env bash
# Fault sweep of the token manager: every token-library entry the program
# calls on the path start-up, insertion, management window, refresh and
# removal, once failing and once slow. The program must neither crash nor
# hang, and the tray icon must end right. Prints a table of what each case
# showed, message boxes included, for a reader to judge.
#   FAULT_LANES (default 2) lanes run side by side, each in its own prefix.
. "$(dirname "$0")/lib.sh"

lanes=${FAULT_LANES:-2}
sweep="$WINE_BUILD/bin/faultsweep.exe"
out="$SCENARIO_WORK/zvapp_faults"
rm -rf "$out"; mkdir -p "$out"

for ((lane = 0; lane < lanes; lane++)); do
  (
    export WINEPREFIX="$SCENARIO_WORK/zvapp_faults-lane$lane"
    rm -rf "$WINEPREFIX"; cp -a "$TEMPLATE_PREFIX" "$WINEPREFIX"
    timeout 1200 wine "$sweep" "$ZV_EXE" "$lane" "$lanes" 2>/dev/null | tr -d '\r' > "$out/lane$lane"
    echo $? > "$out/lane$lane.rc"
    wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
    rm -rf "$WINEPREFIX"
  ) &
done
wait

results=$(cat "$out"/lane[0-9]*[0-9] 2>/dev/null | grep -v '\.rc$')
SCENARIO=fault-sweep
check_contains "the path runs cleanly without faults" "$(printf 'none\tnone\tok')" "$results"
check "every lane ran to its end" bash -c "! grep -qv '^0$' '$out'/lane*.rc"
entries=$(echo "$results" | awk -F'\t' '$1 != "none" { print $1 }' | awk '!seen[$0]++')
check "the path calls the token libraries" test "$(echo "$entries" | wc -l)" -gt 10

note "$(printf '%-26s %s | %s' entry 'failing -> outcome' 'slow -> outcome')"
for e in $entries; do
  f=$(echo "$results" | awk -F'\t' -v e="$e" '$1 == e && $2 == "fail" { print $3 }')
  s=$(echo "$results" | awk -F'\t' -v e="$e" '$1 == e && $2 == "slow" { print $3 }')
  note "$(printf '%-26s %s | %s' "$e" "$f" "$s")"
done
while IFS=$'\t' read -r e mode outcome; do
  [ "$e" = none ] && continue
  case $outcome in
    ok*) ok "$e $mode: no crash, no hang, icon right" ;;
    *) not_ok "$e $mode: $outcome" ;;
  esac
done <<< "$results"
scenario_exit
