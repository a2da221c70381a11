#!/usr/bin/env bash
# Builds the fuzzers of the network and file parsers with clang's libFuzzer and runs each for a
# bounded time (seconds, first argument). Their corpora grow in build-fuzz/, outside the tree.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
out=build-fuzz
fuzzers=(frame_fuzzer browse_fuzzer profile_fuzzer rtf_fuzzer smb_message_fuzzer smb_session_fuzzer master_browser_fuzzer)

CXX=clang++ cmake -S . -B "$out" -G Ninja -DPARLINO_FUZZERS=ON -DPARLINO_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug \
    -DPARLINO_SANITIZE=fuzzer-no-link,address,undefined >/dev/null
cmake --build "$out" -j "$(nproc)" --target "${fuzzers[@]}"

for fuzzer in "${fuzzers[@]}"; do
    mkdir -p "$out/corpus-$fuzzer"
    echo "== $fuzzer for ${seconds}s"
    if ! "$out/bin/$fuzzer" -max_total_time="$seconds" -max_len=4096 -artifact_prefix="$out/" "$out/corpus-$fuzzer" >"$out/$fuzzer.log" 2>&1; then
        tail -40 "$out/$fuzzer.log"
        echo "$fuzzer found a fault; the input that shows it is in $out/"
        exit 1
    fi
    grep -E '^Done' "$out/$fuzzer.log"
done
