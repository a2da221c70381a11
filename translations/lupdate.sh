#!/usr/bin/env bash
# Brings every translation in this folder up to date with the program's sources (lupdate): new texts come in
# unfinished, for a translator to finish in Qt Linguist. With --check the shipped files are left as they are, and the
# run fails when a text of the sources has no finished translation in one of them.
#   lupdate.sh [--check] [LUPDATE]
set -euo pipefail
check=false
[[ ${1:-} == --check ]] && check=true && shift
lupdate=${1:-/usr/lib/qt6/bin/lupdate}
source=$(cd "$(dirname "$0")/.." && pwd)
# Every folder the programs are built from.
folders=(codec platform transport netenum forms settings tray chat about app tools)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for ts in "$source"/translations/parlino_*.ts; do
    target=$ts
    $check && target=$work/${ts##*/} && cp "$ts" "$target"
    (cd "$source" && "$lupdate" -silent -I . -locations none -no-obsolete "${folders[@]}" -ts "$target")
    $check || continue
    unfinished=$(python3 - "$target" <<'PY'
import sys, xml.etree.ElementTree as ET
for context in ET.parse(sys.argv[1]).getroot().iter("context"):
    for message in context.iter("message"):
        translation = message.find("translation")
        if translation.get("type") == "unfinished" or not (translation.text or "").strip():
            print(f'  {context.find("name").text}: "{message.find("source").text}"')
PY
    )
    if [[ -n $unfinished ]]; then
        echo "FAILED: ${ts##*/} has no finished translation of:"
        echo "$unfinished"
        failed=1
    fi
done
if $check && ((failed == 0)); then
    echo PASSED
fi
exit $failed
