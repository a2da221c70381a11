#!/usr/bin/env bash
# Builds the Debian package build/parlino_<version>_<arch>.deb in a clean build tree (build/deb-tree) and checks
# it with lintian.
#   packaging/make-deb.sh [--out DIR] [-DVARIABLE=VALUE...]
#       the package and its tree go into DIR (default build/); -D sets cache variables of the tree, for example
#       -DPARLINO_HOMEPAGE=https://...
#   packaging/make-deb.sh --tree DIR [--out DIR]
#       packages the programs already built in the tree DIR instead (the package test's way)
set -euo pipefail

tree=
out=$(dirname "$0")/../build
cmake_args=()
while (($#)); do
    case $1 in
    --tree) tree=$(realpath "$2") && shift ;;
    --out) out=$(realpath -m "$2") && shift ;;
    -D*) cmake_args+=("$1") ;;
    *) echo "usage: $0 [--out DIR] [-DVARIABLE=VALUE...] | --tree DIR [--out DIR]" >&2 && exit 64 ;;
    esac
    shift
done
mkdir -p "$out"
out=$(realpath "$out")
cd "$(dirname "$0")/.."

if [[ -z $tree ]]; then
    bash scripts/deps.sh
    tree=$out/deb-tree
    rm -rf "$tree"
    # The build type the tests run, with Debian's hardening (fortified functions, stack protector, read-only
    # relocations bound at start): the programs parse what the network sends. Only what the package holds is
    # built, not the tests (the install step would otherwise build "all"); the package strips the debug data.
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    ldflags=$(dpkg-buildflags --get LDFLAGS)
    cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
        -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
        -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" \
        -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON -DPARLINO_BENCHMARKS=OFF "${cmake_args[@]}" >/dev/null
    cmake --build "$tree" --target parlino parlino-msg parlino_sound parlino_documents
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$tree/CPackConfig.cmake" -B "$work" >"$work/cpack.log" || { cat "$work/cpack.log" >&2 && exit 1; }
package=$(find "$work" -maxdepth 1 -name 'parlino_*.deb')
mv "$package" "$out/"
package=$out/$(basename "$package")
echo "Package: $package"

if command -v lintian >/dev/null; then
    root_ok=()
    [[ $(id -u) -ne 0 ]] || root_ok=(--allow-root)
    lintian "${root_ok[@]}" --fail-on error "$package"
else
    echo "lintian is not installed (apt-get install lintian): the package is not checked" >&2
fi
