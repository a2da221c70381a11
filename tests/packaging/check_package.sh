#!/usr/bin/env bash
# Packages the programs already built in a tree with packaging/make-deb.sh (which runs lintian) and checks the
# package: its files, its control fields and, as root, its life in a throw-away root: installed without setcap
# it says how to do without the capability, installed again with setcap the binary carries it, and a purge
# leaves the root as it was. Without root only the maintainer script's answer to a failing setcap is checked.
#   check_package.sh TREE VERSION LIBDIR MACHINE_INI
set -uo pipefail
tree=$1 version=$2 libdir=$3 machine_ini=$4
source=$(cd "$(dirname "$0")/../.." && pwd)

for tool in cpack dpkg-deb dpkg-shlibdeps lintian getcap setcap; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is missing (scripts/deps.sh installs it)" && exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAILED: $*"
    exit 1
}

"$source/packaging/make-deb.sh" --tree "$tree" --out "$work" || fail "the package could not be made, or lintian found errors"
deb=$work/parlino_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || fail "no $deb"

expected=(
    "${machine_ini#/}" usr/bin/parlino usr/bin/parlino-msg "usr/$libdir/parlino/parlino_sound.so"
    usr/share/applications/parlino.desktop usr/share/doc/parlino/changelog.gz usr/share/doc/parlino/copyright
    usr/share/man/man1/parlino.1.gz usr/share/man/man1/parlino-msg.1.gz usr/share/parlino/help/help.html
)
for translation in "$source"/translations/parlino_*.ts; do
    translation=${translation##*/} && expected+=("usr/share/parlino/translations/${translation%.ts}.qm")
done
for icon in "$source"/resources/app/app-*.png; do
    size=${icon##*/app-} && size=${size%.png}
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/parlino.png")
done
files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | sort)
diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$files") || fail "the package's files (>) are not the expected (<)"

# The store in the package must lead the program to the help in the package.
install_path=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO "./${machine_ini#/}" | sed -n 's/^InstallPath=//p')
grep -qx "${install_path#/}/help/help.html" <<<"$files" || fail "InstallPath=$install_path holds no help/help.html"

dpkg-deb -e "$deb" "$work/control"
[[ $(cat "$work/control/conffiles") == "$machine_ini" ]] || fail "conffiles: $(cat "$work/control/conffiles")"
depends=$(dpkg-deb --field "$deb" Depends)
# The module's libraries count too: Qt Multimedia is linked by nothing else.
for library in libc6 libqt6widgets6 libqt6dbus6 libqt6multimedia6; do
    grep -qw "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
[[ $(dpkg-deb --field "$deb" Recommends) == libcap2-bin ]] || fail "Recommends: $(dpkg-deb --field "$deb" Recommends)"

# What postinst tells when it cannot grant the capability.
hint="setcap cap_net_bind_service=+ep /usr/bin/parlino"
# A root for dpkg --root, made of this machine's files: the maintainer scripts run chrooted in it. Without the
# privilege to make one, postinst runs on the unpacked package, where setcap must fail.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/dev"
if [[ $(id -u) -ne 0 ]] || ! mknod -m 666 "$root/dev/null" c 1 3 2>/dev/null; then
    mkdir "$work/unpacked" && dpkg-deb -x "$deb" "$work/unpacked"
    said=$(DPKG_ROOT=$work/unpacked sh "$work/control/postinst" configure 2>&1) || fail "postinst failed: $said"
    grep -qF "$hint" <<<"$said" || fail "postinst without the capability said: $said"
    echo "PASSED (without root and mknod: no install into a throw-away root)"
    exit 0
fi
touch "$root/var/lib/dpkg/status"
for folder in bin sbin lib lib64; do
    if [[ -L /$folder ]]; then
        mkdir -p "$root/$(readlink "/$folder")" && ln -s "$(readlink "/$folder")" "$root/$folder"
    fi
done
for program in sh cat rm rmdir setcap; do
    for file in $(command -v "$program") $(ldd "$(command -v "$program")" | grep -o '/[^ ]*'); do
        mkdir -p "$root$(dirname "$file")" && cp "$file" "$root$file"
    done
done
snapshot() { (cd "$root" && find . -path ./var/lib/dpkg -prune -o -path ./var/log -prune -o -print | sort); }
before=$(snapshot)

dpkg_root() { dpkg --root="$root" --force-depends "$@" >>"$work/dpkg.log" 2>&1; }
setcap_in_root=$root$(command -v setcap)
mv "$setcap_in_root" "$work/setcap"
dpkg_root -i "$deb" || fail "dpkg -i without setcap: $(cat "$work/dpkg.log")"
grep -qF "$hint" "$work/dpkg.log" || fail "without setcap postinst said: $(cat "$work/dpkg.log")"
getcap "$root/usr/bin/parlino" | grep -q cap_net_bind_service && fail "a capability without setcap"

# Installed again, as an upgrade would, now with setcap.
mv "$work/setcap" "$setcap_in_root"
dpkg_root -i "$deb" || fail "dpkg -i again: $(cat "$work/dpkg.log")"
getcap "$root/usr/bin/parlino" | grep -q 'cap_net_bind_service=ep' || fail "no capability: $(cat "$work/dpkg.log")"

# An administrator's copy of the store goes with the purge too.
touch "$root$machine_ini.save"
dpkg_root --purge parlino || fail "dpkg --purge: $(cat "$work/dpkg.log")"
diff <(echo "$before") <(snapshot) || fail "the purge left the root changed (> left behind, < removed)"
echo PASSED
