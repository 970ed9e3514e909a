#!/usr/bin/env bash
# Fault sweep of the tray agent, the entries of its start-up: each fails
# once and is slow once, with a fresh start each (the entries called later
# are in zvapp_faults.sh).
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/faults_sweep.bash"

scenario_sweep_start() { sweep start; }
run_scenario sweep-start scenario_sweep_start

scenario_exit
