#!/usr/bin/env bash
# Builds the fuzzers of the network and file parsers with clang's libFuzzer and runs each for a
# bounded time (seconds, first argument). Their corpora grow in build-fuzz/, outside the tree.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
out=build-fuzz
mkdir -p "$out"

declare -A sources=(
    [frame_fuzzer]="fuzz/frame_fuzzer.cpp transport/NetbiosDatagram.cpp transport/SmbMailslot.cpp transport/WinPopupDatagram.cpp platform/MailslotPath.cpp"
    [browse_fuzzer]="fuzz/browse_fuzzer.cpp netenum/BrowseFrames.cpp netenum/NameQuery.cpp transport/NetbiosDatagram.cpp platform/MailslotPath.cpp"
    [profile_fuzzer]="fuzz/profile_fuzzer.cpp platform/ProfileFile.cpp"
    [rtf_fuzzer]="fuzz/rtf_fuzzer.cpp chat/RtfReader.cpp chat/RtfWriter.cpp chat/RtfCharset.cpp"
)

for fuzzer in "${!sources[@]}"; do
    # shellcheck disable=SC2086
    clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I. \
        ${sources[$fuzzer]} -o "$out/$fuzzer"
    mkdir -p "$out/corpus-$fuzzer"
    echo "== $fuzzer for ${seconds}s"
    if ! "$out/$fuzzer" -max_total_time="$seconds" -max_len=4096 -artifact_prefix="$out/" "$out/corpus-$fuzzer" >"$out/$fuzzer.log" 2>&1; then
        tail -40 "$out/$fuzzer.log"
        echo "$fuzzer found a fault; the input that shows it is in $out/"
        exit 1
    fi
    grep -E '^Done' "$out/$fuzzer.log"
done
