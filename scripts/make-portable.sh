#!/usr/bin/env bash
# Makes the portable copy: a folder that runs from wherever it is put (a USB stick, FAT included) on any x86-64 Linux
# desktop, carrying every library that is not on resources/portable/base-libraries.txt.
#   make-portable.sh SOURCE_DIR PROGRAM QT_PLUGIN_DIR QT_TRANSLATION_DIR OUT_DIR
# PROGRAM is the portable edition's program file (pv.dat); OUT_DIR is replaced as a whole once the new copy is
# complete. Needs patchelf, strip, readelf and ldd.
set -euo pipefail
source_dir=$1
program=$2
qt_plugins=$3
qt_translations=$4
out=$5

# shellcheck source=portable-libraries.sh
source "$source_dir/scripts/portable-libraries.sh"
portable_load_base "$source_dir"

fail() {
    echo "make-portable: $*" >&2
    exit 1
}

# The Qt plugins the program loads, found by running it with QT_DEBUG_PLUGINS=1 on X11 and Wayland. Not carried:
# the X11 OpenGL integrations (the windows are drawn without OpenGL, and Qt never loads them for this program), the
# image formats other than SVG (Qt looks into them, but the program's images are SVG and the built-in PNG), platform
# themes (each belongs to the desktop's own Qt).
plugins=(
    platforms/libqxcb.so                       # X11
    platforms/libqwayland-generic.so           # Wayland
    wayland-shell-integration/libxdg-shell.so  # windows on Wayland
    wayland-decoration-client/libbradient.so   # title bars where the compositor draws none (GNOME)
    # Qt on Wayland draws those title bars only with a buffer integration, and warns at every start without one.
    wayland-graphics-integration-client/libqt-plugin-wayland-egl.so
    platforminputcontexts/libcomposeplatforminputcontextplugin.so # dead keys and the Compose key
    platforminputcontexts/libibusplatforminputcontextplugin.so    # input methods where QT_IM_MODULE=ibus
    imageformats/libqsvg.so                    # the program's images
    iconengines/libqsvgicon.so                 # the program's icons
    printsupport/libcupsprintersupport.so      # the computer's printers, where it has CUPS
)

partial=$out.partial
rm -rf "$partial"
mkdir -p "$partial/lib" "$partial/translations"

# The program file: stripped (the debug information stays in the build), so that the stick holds what runs.
strip --strip-all -o "$partial/Lockmere.exe" "$program"
chmod 0755 "$partial/Lockmere.exe"
loaded=("$partial/Lockmere.exe")
for plugin in "${plugins[@]}"; do
    [[ -f $qt_plugins/$plugin ]] || fail "the Qt plugin $qt_plugins/$plugin is missing"
    mkdir -p "$partial/plugins/$(dirname "$plugin")"
    install -m 0644 "$qt_plugins/$plugin" "$partial/plugins/$plugin"
    loaded+=("$partial/plugins/$plugin")
done

# Every library those load, except the computer's own and the ones those need in turn.
declare -A host_side=()
while IFS= read -r name; do
    host_side[$name]=1
done < <(portable_base_closure "${loaded[@]}")
declare -A carried=()
for file in "${loaded[@]}"; do
    resolved=$(portable_resolved "$file")
    while IFS=$'\t' read -r name path; do
        [[ $path != "not found" ]] || fail "$file needs $name, which is not installed"
        if ! portable_is_base "$name" && { [[ -z ${host_side[$name]:-} ]] || portable_always_carried "$name"; }; then
            carried[$name]=$path
        fi
    done <<<"$resolved"
done
for name in "${!carried[@]}"; do
    # Under the soname, as a file of its own: FAT holds no links.
    install -m 0644 "${carried[$name]}" "$partial/lib/$name"
done

# Each file finds the carried libraries relative to itself, wherever the stick is mounted.
patchelf --set-rpath '$ORIGIN/lib' "$partial/Lockmere.exe"
for library in "$partial"/lib/*; do
    patchelf --set-rpath '$ORIGIN' "$library"
done
for plugin in "${plugins[@]}"; do
    patchelf --set-rpath '$ORIGIN/../../lib' "$partial/plugins/$plugin"
done

# The languages, and Qt's own texts (standard buttons, the file dialog) for each language file that names its code.
for language_file in "$source_dir"/resources/lang/*.lng; do
    install -m 0644 "$language_file" "$partial/"
    code=$(sed -n 's/^[[:space:]]*lang_code[[:space:]]*=[[:space:]]*\([A-Za-z_]*\).*/\1/p' "$language_file" | head -1)
    if [[ -n $code && -f $qt_translations/qtbase_$code.qm ]]; then
        install -m 0644 "$qt_translations/qtbase_$code.qm" "$partial/translations/"
    fi
done

# The lowest versions of the computer's C and C++ libraries that every file of the copy accepts.
highest_version() {
    find "$partial" -type f \( -name '*.so*' -o -name Lockmere.exe \) -print0 |
        xargs -0 readelf -V --wide 2>/dev/null | grep -o "Name: $1_[0-9][0-9.]*" | sed "s/Name: $1_//" |
        sort -uV | tail -1
}
glibc=$(highest_version GLIBC)
glibcxx=$(highest_version GLIBCXX)
[[ -n $glibc && -n $glibcxx ]] || fail "no glibc or libstdc++ versions found in the copy"
# The GCC release that first shipped each libstdc++ symbol version, for a Readme people can act on.
case $glibcxx in
3.4.28) gcc=10 ;;
3.4.29) gcc=11 ;;
3.4.30) gcc=12 ;;
3.4.31) gcc=13 ;;
3.4.32) gcc=14 ;;
*) gcc= ;;
esac
substitute() {
    sed -e "s/@GLIBC@/$glibc/g" -e "s/@GLIBCXX@/$glibcxx/g" -e "s/@GCC@/${gcc:-a release that has it}/g" "$1"
}
substitute "$source_dir/resources/portable/Lockmere" >"$partial/Lockmere"
chmod 0755 "$partial/Lockmere"
substitute "$source_dir/resources/portable/Readme.txt" >"$partial/Readme.txt"

rm -rf "$out"
mv "$partial" "$out"
echo "portable copy: $out, $(du -sh "$out" | cut -f1), ${#carried[@]} libraries, glibc $glibc or later"
