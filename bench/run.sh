#!/usr/bin/env bash
# Builds the benchmarks and runs every one of them, printing their figures. Traffic stays on loopback.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DPARLINO_BENCHMARKS=ON >/dev/null
cmake --build build -j "$(nproc)"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} PARLINO_INTERFACES=lo
for bench in build/bin/*_bench; do
    echo "== $(basename "$bench")"
    "$bench"
done
