#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) on every project source file that a build compiles, in parallel,
# and fails on any finding. Usage: scripts/lint.sh [BUILD_DIR] (default: build, which must be built).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
tidy=${CLANG_TIDY:-clang-tidy-14}
database="$build/lint"
mkdir -p "$database"

# The tree's own sources only, not the moc and resource files that the build generates. The build's
# precompiled headers are g++'s, which clang cannot read: clang-tidy gets a copy of each prefix header with
# no .gch beside it, so it reads the headers themselves.
mapfile -t sources < <(python3 - "$build" "$PWD" "$database" <<'PY'
import json, os, shutil, sys
build, root, database = sys.argv[1:]
entries, files = [], set()
for entry in json.load(open(os.path.join(build, "compile_commands.json"))):
    path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
    if not path.startswith(root + os.sep) or path.startswith(build + os.sep) or "_autogen" in path:
        continue
    words = entry["command"].split(" ")
    for i, word in enumerate(words):
        if word.endswith("/cmake_pch.hxx"):
            copy = os.path.join(database, os.path.relpath(word, build).replace(os.sep, "_"))
            shutil.copyfile(word, copy)
            words[i] = copy
    entries.append(dict(entry, command=" ".join(words)))
    files.add(path)
json.dump(entries, open(os.path.join(database, "compile_commands.json"), "w"), indent=1)
print("\n".join(sorted(files)))
PY
)
echo "clang-tidy: ${#sources[@]} files, $(nproc) at a time"

# Each file's report is printed whole, so parallel runs do not interleave.
printf '%s\n' "${sources[@]}" | xargs -P "$(nproc)" -I{} sh -c \
    'report=$("$0" --quiet -p "$1" "$2" 2>&1) || { printf "%s\n" "$report"; exit 1; }' "$tidy" "$database" {}
