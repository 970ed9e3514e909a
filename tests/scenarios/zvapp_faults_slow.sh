#!/usr/bin/env bash
# Fault sweep of the tray agent, slow entries: each library entry of the
# everyday path is slow once (the failing ones are in zvapp_faults.sh).
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/faults_sweep.bash"

scenario_sweep_slow() { sweep slow; }
run_scenario sweep-slow scenario_sweep_slow

scenario_exit
