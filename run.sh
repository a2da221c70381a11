#!/usr/bin/env bash
# Builds Parlino and starts it.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)"
exec build/bin/parlino-msg listen "$@"
