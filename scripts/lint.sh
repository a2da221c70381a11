#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) on every project source file that a build compiles, in parallel,
# and fails on any finding. Usage: scripts/lint.sh [BUILD_DIR] (default: build, which must be configured).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
tidy=${CLANG_TIDY:-clang-tidy-14}

# Sources of this tree only: not the moc and resource files that the build generates.
mapfile -t sources < <(python3 - "$build" "$PWD" <<'PY'
import json, os, sys
build, root = sys.argv[1], sys.argv[2]
files = set()
for entry in json.load(open(os.path.join(build, "compile_commands.json"))):
    path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
    if path.startswith(root + os.sep) and not path.startswith(build + os.sep) and "_autogen" not in path:
        files.add(path)
print("\n".join(sorted(files)))
PY
)
echo "clang-tidy: ${#sources[@]} files, $(nproc) at a time"

# Each file's report is printed whole, so parallel runs do not interleave.
printf '%s\n' "${sources[@]}" | xargs -P "$(nproc)" -I{} sh -c \
    'report=$("$0" --quiet -p "$1" "$2" 2>&1) || { printf "%s\n" "$report"; exit 1; }' "$tidy" "$build" {}
