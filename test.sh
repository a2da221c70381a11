#!/usr/bin/env bash
# Checks the formatting and the layer graph, builds Parlino with warnings as errors, lints it with clang-tidy and
# runs every test, then again under ASan + UBSan, then runs the fuzzers for a bounded time.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== formatting (.clang-format)"
git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

echo "== layers (no include from a layer below of a header above)"
python3 scripts/check_layers.py

echo "== build (warnings are errors)"
cmake -S . -B build -G Ninja -DPARLINO_WERROR=ON >/dev/null
cmake --build build -j "$jobs"

echo "== clang-tidy (.clang-tidy)"
bash scripts/lint.sh build
# The fast unit tests first, so that a broken rule shows before the slow windows and processes start.
ctest --test-dir build --output-on-failure -j "$jobs" -L unit
ctest --test-dir build --output-on-failure -j "$jobs" -LE unit

echo "== build with AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DPARLINO_WERROR=ON -DPARLINO_SANITIZE=address,undefined \
    -DPARLINO_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j "$jobs"
# Qt's own allocations at exit are not ours to chase.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== fuzzers"
bash fuzz/run.sh "${PARLINO_FUZZ_SECONDS:-20}"
