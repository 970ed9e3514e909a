#!/usr/bin/env bash
# Fault sweep of the tray agent, the entries called after its start: each
# fails once and is slow once, on one agent (the start-up's entries are in
# zvapp_faults_start.sh).
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/faults_sweep.bash"

scenario_sweep() { sweep later; }
run_scenario sweep scenario_sweep

scenario_exit
