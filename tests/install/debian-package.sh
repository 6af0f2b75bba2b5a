#!/usr/bin/env bash
# Packages the existing build with CPack (no rebuild) and inspects the .deb: its control fields and dependencies,
# that every file lies under /usr, that it carries the portable copy, that the changelog names the package's version,
# and that lintian finds no error.
#   debian-package.sh BUILD_DIR GUI(ON|OFF)
set -euo pipefail
build_dir=$1
gui=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

cpack --config "$build_dir/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$work/cpack.log")"
packages=("$work"/lockmere_*.deb)
[[ ${#packages[@]} -eq 1 && -f ${packages[0]} ]] || fail "cpack made no single lockmere package"
deb=${packages[0]}

field() {
    dpkg-deb --field "$deb" "$1"
}
[[ $(field Package) == lockmere ]] || fail "package name $(field Package)"
[[ $(field Section) == utils ]] || fail "section $(field Section)"
[[ -n $(field Maintainer) ]] || fail "no maintainer"
[[ $(dpkg-deb --info "$deb" | grep -c '^  ') -ge 3 ]] || fail "the description has no extended part"
depends=$(field Depends)
needed=(libc6 libssl3 libpugixml1v5 libstdc++6)
if [[ $gui == ON ]]; then
    needed+=(libqt6widgets6 libqt6svg6)
fi
for library in "${needed[@]}"; do
    grep -q "\(^\|, \)$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done

[[ $(field Suggests) == *"xclip | wl-clipboard"* ]] || fail "Suggests lacks the clipboard tools: $(field Suggests)"
if [[ $gui == ON ]]; then
    grep -q "\(^\|, \)qt6-translations-l10n\b" <<<"$depends" || fail "Depends lacks qt6-translations-l10n: $depends"
    [[ $(field Recommends) == *qt6-wayland* ]] || fail "Recommends lacks qt6-wayland: $(field Recommends)"
fi

paths=$(dpkg-deb --contents "$deb" | awk '{print $6}')
outside=$(grep -v -e '^\./$' -e '^\./usr/' <<<"$paths" || true)
[[ -z $outside ]] || fail "files outside /usr: $outside"
grep -qx '\./usr/bin/lockmere-cli' <<<"$paths" || fail "no lockmere-cli in /usr/bin"
if [[ $gui == ON ]]; then
    # The portable installer of the installed program copies the portable copy from there.
    for file in Lockmere Lockmere.exe Readme.txt lib/libQt6Core.so.6 plugins/platforms/libqxcb.so; do
        grep -qx "\./usr/lib/lockmere/portable/$file" <<<"$paths" || fail "the package lacks the portable copy's $file"
    done
fi

dpkg-deb --extract "$deb" "$work/root"
changelog_version=$(gzip -dc "$work/root/usr/share/doc/lockmere/changelog.gz" | dpkg-parsechangelog -l - -S Version)
[[ $changelog_version == "$(field Version)" ]] ||
    fail "the changelog's latest version $changelog_version is not the package's $(field Version)"

lintian --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 || true
grep -v '^running with root privileges' "$work/lintian" || true
! grep -q '^E: ' "$work/lintian" || fail "lintian reports errors"
echo "package checked: $(basename "$deb")"
