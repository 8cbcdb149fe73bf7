#!/usr/bin/env bash
# Installs what is missing, builds the program, its three libraries and the simulated analyzer
# (nothing else), and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
bash scripts/build.sh tevrin pollard brannix ombrel analyzer-sim
exec ./build/bin/tevrin "$@"
