#!/usr/bin/env bash
# Fault sweep of the tray agent, failing entries: each library entry of the
# everyday path fails once (the slow ones are in zvapp_faults_slow.sh).
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/faults_sweep.bash"

scenario_sweep() { sweep fail; }
run_scenario sweep scenario_sweep

scenario_exit
