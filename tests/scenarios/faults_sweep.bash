# Sourced by the fault sweeps (after lib.sh): every library entry that the
# agent calls on its everyday path (start, insertion, management window,
# refresh, removal) is made to fail once and to be slow once; the entries
# called later on one agent in zvapp_faults.sh, those of the start-up, with
# a fresh start each, in zvapp_faults_start.sh, so that they run side by side.
# The agent must not crash or hang, its token icon must follow the token,
# and it may show only the boxes that belong to that failure.

FAIL_CODE=0x88000001
# Long enough that a call which blocks the window thread is seen, short
# enough that a slow case costs seconds.
SLOW_MS=${FAULTS_SLOW_MS:-500}
# An entry called more often than this on one path would make its slow case
# take minutes (each call sleeps); those are reported as left out.
SLOW_MAX_CALLS=${FAULTS_SLOW_MAX_CALLS:-8}

title=$(tokensim_get cfg.UserTitle)

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
log_count() { wc -l < "$STATE_DIR/calls.log" 2>/dev/null || echo 0; }
# log_after N PATTERN: a call-log line after line N matches PATTERN.
log_after() { tail -n +"$(( $1 + 1 ))" "$STATE_DIR/calls.log" 2>/dev/null | grep -qE "$2"; }
alive() { [ -n "${ZV_PID:-}" ] && kill -0 "$ZV_PID" 2>/dev/null; }
has_icon() { wd tray "$FRAME" 145; }
no_icon() { ! wd tray "$FRAME" 145; }

# The boxes are recorded in BOXES (one "title: text" a line) and closed;
# a crash dialog of the debugger sets CRASHED.
collect_boxes() {
  local line h cls title text
  while IFS=$'\t' read -r h _ vis cls title; do
    [ "$vis" = 1 ] && [ "$cls" = "#32770" ] || continue
    case "$title" in
      *"Program Error"*|*程序错误*) CRASHED=1; continue ;;
    esac
    text=$(wd text "$h" 65535 | tr '\n' ' ' | sed 's/ *$//')
    BOXES+="$title: $text"$'\n'
    wd click "$h" 1 >/dev/null || wd click "$h" 6 >/dev/null || wd click "$h" 2 >/dev/null
  done < <(wd windows)
}

# legit_box ENTRY MODE TEXT: the box belongs to that failure.
legit_box() {
  [ "$2" = fail ] || return 1
  case "$1" in
    OC_ReadFile) [ "$3" = "$box_tips" ] ;;   # an unreadable tag reminds
    OC_CreateFile) [ "$3" = "$box_effile" ] ;;
    QKGetDevState) [ "$3" = "$box_retry" ] ;;
    OC_VerifyUserPin) [ "$3" = "$box_verify" ] ;;
    *) return 1 ;;
  esac
}

# start_agent: starts ZVApp and waits until its window thread runs; boxes
# shown during start-up are collected. Sets FRAME (empty when it ended).
start_agent() {
  local deadline=$(( $(now_ms) + ${1:-30000} )) lines
  FRAME=
  zv_start
  while [ "$(now_ms)" -lt "$deadline" ]; do
    alive || break
    lines=$(wd windows)
    if grep -qP '\t#32770\t' <<< "$(awk -F'\t' '$3 == 1' <<< "$lines")"; then
      collect_boxes
      [ "$CRASHED" = 1 ] && break
      continue
    fi
    FRAME=$(awk -F'\t' '$4 == "ZVAppMainFrame" { print $1; exit }' <<< "$lines")
    # The title is set when the start-up is over.
    if [ -n "$FRAME" ] && awk -F'\t' -v t="$EXPECT_TITLE" '$4 == "ZVAppMainFrame" && $5 == t { f = 1 } END { exit !f }' <<< "$lines"; then
      wd send "$FRAME" 0 >/dev/null && return 0
    fi
    sleep 0.2
  done
  alive || FRAME=
  return 1
}

stop_agent() {
  if alive; then kill "$ZV_PID" 2>/dev/null; wait "$ZV_PID" 2>/dev/null; fi
  ZV_PID=
  # A debugger left behind by a crash goes with its prefix's processes.
  if [ "${CRASHED:-0}" = 1 ]; then wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; fi
}

# cycle ENTRY MODE CALLS WATCH [KEY=VALUE...]: the everyday path once; the
# keys (ENTRY's hook, earlier hooks cleared) are set with the insertion.
# CALLS is how often the clean run called ENTRY, WATCH 0 when the insertion
# cannot be seen by design. Sets OUTCOME.
cycle() {
  local entry=$1 mode=$2 calls=$3 watch=$4; shift 4
  # The handlers' progress may take long on a loaded machine (slack + 20 s
  # before it counts as a hang); the window thread's answer is held to time.
  local slack=4 answer=2300 problems=() mark t0 t1 b
  # Starting the driver costs about 0.2 s of the 2.3 s.
  [ "$mode" = slow ] && { slack=$(( calls * SLOW_MS / 1000 + 4 )); answer=$(( answer + SLOW_MS )); }

  mark=$(log_count)
  tokensim set present=1 "$@" >/dev/null
  if [ "$watch" = 1 ]; then
    wait_for $(( slack + 20 )) log_after "$mark" $'^QKDevChg\tinserted' || problems+=("hang (insertion)")
    alive && ! has_icon && problems+=("icon wrong (insertion)")
  else
    sleep 1
    alive && has_icon && problems+=("icon wrong (no watch, icon anyway)")
  fi

  if alive; then
    wd command "$FRAME" 32775 >/dev/null
    mark=$(log_count)
    wd command "$FRAME" 32776 >/dev/null
    # A box shown by the refresh holds it until it is closed.
    local left=$(( slack + 20 ))
    until wait_for 2 log_after "$mark" '^CSPUnAllIECert'; do
      left=$(( left - 2 ))
      [ $left -le 0 ] && { problems+=("hang (refresh)"); break; }
      collect_boxes
    done
    wait_for 2 log_after "$mark" '^OC_GetContainerNum'
    wd post "$FRAME" 16 >/dev/null   # WM_CLOSE only hides
  fi

  mark=$(log_count)
  tokensim set present=0 >/dev/null
  if alive && [ "$watch" = 1 ]; then
    wait_for $(( slack + 20 )) log_after "$mark" $'^QKDevChg\tremoved' || problems+=("hang (removal)")
    alive && ! wait_for 3 no_icon && problems+=("icon wrong (removal)")
  fi

  # A call still asleep ends within one delay; then the thread must answer.
  local k fast=()
  for k in "$@" "cfg.delay.$entry=$SLOW_MS"; do [[ "$k" == cfg.delay.*=?* ]] && fast+=("${k%%=*}="); done
  [ "$mode" = slow ] && tokensim set "${fast[@]}" >/dev/null
  alive && collect_boxes
  if alive; then
    t0=$(now_ms)
    if ! timeout $(( answer / 1000 + 4 )) wine wdrive send "$FRAME" 0 >/dev/null 2>&1; then
      problems+=("hang (window thread)")
    else
      t1=$(now_ms)
      [ $(( t1 - t0 )) -le "$answer" ] || problems+=("hang (window thread answered in $(( t1 - t0 )) ms)")
    fi
  fi
  ls "$WINEPREFIX"/drive_c/*.dmp >/dev/null 2>&1 && CRASHED=1
  if [ "$CRASHED" = 1 ] || ! alive; then
    if [ "$CRASHED" = 0 ] && [ "${EXIT_OK:-0}" = 1 ]; then problems+=("exits (as designed)"); else problems+=("crash"); fi
  fi
  while IFS= read -r b; do
    [ -n "$b" ] || continue
    if legit_box "$entry" "$mode" "${b#*: }"; then problems+=("legit box \"${b#*: }\"")
    else problems+=("box \"$b\""); fi
  done <<< "$BOXES"
  OUTCOME=ok
  [ ${#problems[@]} -eq 0 ] || OUTCOME=$(IFS=';'; echo "${problems[*]}")
  case "$OUTCOME" in *crash*|*hang*|*"icon wrong"*|*'box "'*) screenshot "faults-$entry-$mode" ;; esac
}

# --- the sweep ---------------------------------------------------------------
# sweep PART: after one clean run, the entries of PART (later or start).
sweep() {
  local part=$1 started; started=$(now_ms)
  box_tips=$(lang_text MainFrm IDS_CHANGEPIN_TIPS)
  box_retry=$(lang_text ZVAppView IDS_RETRY_DEV)
  box_effile=$(lang_text MainFrm IDS_PINTAG_EFFILE)
  box_verify=$(lang_text ZVAppView ZVAPP_VERIFYPIN_ERR)
  EXPECT_TITLE=$title
  tokensim clear-log >/dev/null
  start_agent || { not_ok "the agent starts"; return; }
  sleep 1   # let the start-up finish its calls
  # The clean run: which entries are called, and how often.
  local boot; boot=$(log_count)
  BOXES=""; CRASHED=0
  cycle none fail 0 1
  check_eq "the clean run is clean" ok "$OUTCOME"
  local entries startup rest e n
  entries=$(cut -f1 "$STATE_DIR/calls.log" | grep -v '^QKDevChg$' | sort | uniq -c | awk '{ print $2 "=" $1 }')
  startup=$(head -n "$boot" "$STATE_DIR/calls.log" | cut -f1 | sort -u)
  rest=$(tail -n +"$(( boot + 1 ))" "$STATE_DIR/calls.log" | cut -f1 | grep -v '^QKDevChg$' | sort -u | grep -vxF -f <(echo "$startup"))
  declare -A count
  for e in $entries; do count[${e%%=*}]=${e#*=}; done
  note "entries called: $(echo "$entries" | wc -l) ($(echo "$startup" | wc -w) at start-up, $(echo "$rest" | wc -w) later)"
  # FAULTS_ENTRIES=REGEX sweeps only the matching entries (for a quick look).
  if [ -n "${FAULTS_ENTRIES:-}" ]; then
    startup=$(grep -xE "$FAULTS_ENTRIES" <<< "$startup"); rest=$(grep -xE "$FAULTS_ENTRIES" <<< "$rest")
  fi
  note "start-up: $(echo $startup)"
  note "later: $(echo $rest)"

  declare -A res
  local crashes_fail="" crashes_slow="" icons="" boxes="" skipped="" times="" case_start; case_start=$(now_ms)
  record() {  # record ENTRY MODE
    res[$1.$2]=$OUTCOME
    case "$OUTCOME" in *crash*|*hang*) if [ "$2" = fail ]; then crashes_fail+="$1 "; else crashes_slow+="$1 "; fi ;; esac
    case "$OUTCOME" in *"icon wrong"*) icons+="$1/$2 " ;; esac
    case ";$OUTCOME" in *';box "'*) boxes+="$1/$2 " ;; esac
    times+="$(( $(now_ms) - case_start )) $1/$2"$'\n'; case_start=$(now_ms)
  }
  hook() { [ "$1" = fail ] && echo "cfg.fail.$2=$FAIL_CODE" || echo "cfg.delay.$2=$SLOW_MS"; }

  # Entries always called right after one other entry, as often (one call
  # site's fixed sequence), are slowed together with the head of the chain.
  declare -A head
  while read -r follower first; do head[$follower]=$first; done < <(
    tail -n +"$(( boot + 1 ))" "$STATE_DIR/calls.log" | cut -f1 | grep -v '^QKDevChg$' | awk '
      { if (NR > 1) { key = $1; if (!(key in pred)) pred[key] = p; else if (pred[key] != p) pred[key] = "" } n[$1]++; p = $1 }
      END { for (k in pred) if (pred[k] != "" && pred[k] != k && n[pred[k]] == n[k]) print k, pred[k] }')
  chain_head() { local e=$1; while [ -n "${head[$e]:-}" ]; do e=${head[$e]}; done; echo "$e"; }
  chain_hooks() { local e; for e in $rest; do [ "$(chain_head "$e")" = "$1" ] && hook slow "$e"; done; }

  # Later entries: one agent serves them in turn; a failing hook is cleared
  # with the next insertion, a slow one before the window thread is asked.
  local mode clear=()
  [ "$part" = later ] || rest=""
  for e in $rest; do
    for mode in fail slow; do
      if [ "$mode" = slow ] && [ "${count[$e]}" -gt "$SLOW_MAX_CALLS" ]; then res[$e.slow]="left out (${count[$e]} calls)"; skipped+="$e "; continue; fi
      if ! alive; then
        stop_agent; tokensim set present=0 "${clear[@]}" >/dev/null; clear=()
        start_agent || { OUTCOME="agent did not start"; record "$e" "$mode"; continue; }
      fi
      BOXES=""; CRASHED=0
      if [ "$mode" = slow ]; then
        [ "$(chain_head "$e")" = "$e" ] || continue
        local hooks; mapfile -t hooks < <(chain_hooks "$e")
        # The delays of a chain add up.
        local calls=0; for h in "${hooks[@]}"; do h=${h%%=*}; calls=$(( calls + ${count[${h#cfg.delay.}]} )); done
        cycle "$e" slow "$calls" 1 "${clear[@]}" "${hooks[@]}"
        clear=(); local h
        for h in "${hooks[@]}"; do clear+=("${h%%=*}="); done
        record "$e" slow
        if [ ${#hooks[@]} -gt 1 ]; then
          for h in "${hooks[@]}"; do h=${h%%=*}; h=${h#cfg.delay.}; [ "$h" = "$e" ] && continue
            res[$h.slow]="${res[$e.slow]} (slow together with $e)"; done
        fi
      else
        cycle "$e" fail "${count[$e]}" 1 "${clear[@]}" "$(hook fail "$e")"
        clear=("cfg.fail.$e=")
        record "$e" fail
      fi
    done
  done
  stop_agent
  tokensim set present=0 "${clear[@]}" >/dev/null

  # Start-up entries: a fresh start each, the hook in place from the start.
  # Those called only at start-up are slowed all together, in one start.
  local only_start="" together=()
  for e in $startup; do
    tail -n +"$(( boot + 1 ))" "$STATE_DIR/calls.log" | cut -f1 | grep -qx "$e" || only_start+="$e "
  done
  for e in $only_start; do together+=("$(hook slow "$e")"); done
  startup_case() {  # startup_case NAME MODE CALLS HOOK...
    local name=$1 mode=$2 calls=$3; shift 3
    tokensim set present=0 "$@" >/dev/null
    local watch=1; EXIT_OK=0; EXPECT_TITLE=$title
    if [ "$mode" = fail ]; then
      case "$name" in
        QKListReaders|QKGetDevState|QKSetDevChgFunc) watch=0 ;;      # the watch ends, by design
        ZVCreateCachedPin|ZVCreateCachedCSP) EXIT_OK=1 ;;            # the frame is not created
        ZRGetUserTitle) EXPECT_TITLE= ;;
      esac
    fi
    BOXES=""; CRASHED=0
    if start_agent $(( 30000 + calls * SLOW_MS )); then
      cycle "$name" "$mode" "$calls" "$watch"
    else
      OUTCOME=""
      [ -n "$BOXES" ] && OUTCOME="box \"$BOXES\""
      if ! alive && [ "$EXIT_OK" = 1 ] && [ "$CRASHED" = 0 ]; then OUTCOME="exits (as designed)${OUTCOME:+;$OUTCOME}"
      elif ! alive; then OUTCOME="crash${OUTCOME:+;$OUTCOME}"
      else OUTCOME="hang (start-up)${OUTCOME:+;$OUTCOME}"; fi
    fi
    stop_agent
    local h clear=()
    for h in "$@"; do clear+=("${h%%=*}="); done
    tokensim set "${clear[@]}" >/dev/null
  }
  [ "$part" = start ] || { startup=""; together=(); }
  for e in $startup; do
    startup_case "$e" fail "${count[$e]}" "$(hook fail "$e")"
    record "$e" fail
    case " $only_start " in *" $e "*) continue ;; esac
    if [ "${count[$e]}" -gt "$SLOW_MAX_CALLS" ]; then res[$e.slow]="left out (${count[$e]} calls)"; skipped+="$e "; continue; fi
    startup_case "$e" slow "${count[$e]}" "$(hook slow "$e")"
    record "$e" slow
  done
  if [ ${#together[@]} -gt 0 ]; then
    startup_case together slow "$(echo $only_start | wc -w)" "${together[@]}"
    for e in $only_start; do record "$e" slow; res[$e.slow]="$OUTCOME (all start-up-only entries slow together)"; done
    case_start=$(now_ms)
  fi

  note "entry | failing -> outcome | slow -> outcome"
  for e in $startup $rest; do note "$e | ${res[$e.fail]:-?} | ${res[$e.slow]:-?}"; done
  [ -n "$skipped" ] && note "slow case left out (too many calls for the budget): $skipped"
  check_eq "no entry failing crashes or hangs the agent" "" "$crashes_fail"
  check_eq "no slow entry crashes or hangs the agent" "" "$crashes_slow"
  check_eq "icons right" "" "$icons"
  check_eq "no unexpected box" "" "$boxes"
  note "slowest cases (ms): $(sort -rn <<< "$times" | head -8 | tr '\n' ' ')"
  note "sweep took $(( ($(now_ms) - started) / 1000 )) s"
}
