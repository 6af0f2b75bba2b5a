#!/usr/bin/env bash
# The portable copy as `make portable` made it: every library any of its files loads, as ldd resolves it, lies inside
# the copy or is one of the computer's base libraries (resources/portable/base-libraries.txt, and what those need in
# turn); a library a file of the copy names itself is carried or on that list. The copy holds no links, finds its
# libraries relative to itself, carries Qt's catalogue of every shipped language, and its Readme and launcher name the
# lowest glibc its files accept.
#   bundle-libraries.sh SOURCE_DIR COPY_DIR
set -euo pipefail
source_dir=$1
copy=$2

# shellcheck source=../../scripts/portable-libraries.sh
source "$source_dir/scripts/portable-libraries.sh"
portable_load_base "$source_dir"

failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

[[ -x $copy/Lockmere.exe && -f $copy/Lockmere && -f $copy/Readme.txt ]] || {
    echo "FAILED: no portable copy in $copy" >&2
    exit 1
}
links=$(find "$copy" -type l)
[[ -z $links ]] || fail "the copy holds links, which FAT cannot: $links"

mapfile -t elf_files < <(cd "$copy" && find . -type f \( -name '*.so*' -o -name Lockmere.exe \) | sed 's|^\./||' | sort)
declare -A expected_runpath=([Lockmere.exe]='$ORIGIN/lib')
for file in "${elf_files[@]}"; do
    case $file in
    lib/*) expected_runpath[$file]='$ORIGIN' ;;
    plugins/*/*) expected_runpath[$file]='$ORIGIN/../../lib' ;;
    esac
done

declare -A host_side=()
while IFS= read -r name; do
    host_side[$name]=1
done < <(portable_base_closure "${elf_files[@]/#/$copy/}")

checked=0
for file in "${elf_files[@]}"; do
    path=$copy/$file
    runpath=$(readelf -d "$path" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
    [[ $runpath == "${expected_runpath[$file]:-}" ]] || fail "$file has the RUNPATH '$runpath'"
    # What the file names itself must be carried or on the list: the libraries of the list's own libraries are
    # there only because those are, and on another computer they may not be.
    while IFS= read -r needed; do
        [[ -f $copy/lib/$needed ]] || portable_is_base "$needed" ||
            fail "$file needs $needed, which the copy does not carry and which is not a base library"
    done < <(readelf -d "$path" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
    while IFS=$'\t' read -r name resolved; do
        if [[ $resolved == "not found" ]]; then
            fail "$file: $name is not found"
            continue
        fi
        # ldd names a carried library through the RUNPATH it was found by, as in "plugins/platforms/../../lib".
        resolved=$(realpath -m -s -- "$resolved")
        if [[ $resolved == "$copy"/* ]]; then
            [[ $resolved == "$copy/lib/$name" ]] || fail "$file: $name resolves to $resolved inside the copy"
        elif ! portable_is_base "$name" && [[ -z ${host_side[$name]:-} ]]; then
            fail "$file: $name resolves to the computer's $resolved"
        fi
    done < <(portable_resolved "$path")
    checked=$((checked + 1))
done
[[ $checked -gt 20 ]] || fail "only $checked programs and libraries in the copy"
for plugin in platforms/libqxcb.so platforms/libqwayland-generic.so imageformats/libqsvg.so; do
    [[ -f $copy/plugins/$plugin ]] || fail "the copy lacks the Qt plugin $plugin"
done
! readelf -S "$copy/Lockmere.exe" | grep -q -e '\.debug_info' -e '\.symtab' || fail "Lockmere.exe is not stripped"

for language_file in "$source_dir"/resources/lang/*.lng; do
    [[ -f $copy/$(basename "$language_file") ]] || fail "the copy lacks $(basename "$language_file")"
    code=$(sed -n 's/^lang_code=\([a-z_]*\).*/\1/p' "$language_file")
    [[ -z $code || -f $copy/translations/qtbase_$code.qm ]] || fail "the copy lacks Qt's texts for $code"
done

glibc=$(find "$copy" -type f \( -name '*.so*' -o -name Lockmere.exe \) -print0 | xargs -0 readelf -V --wide |
    grep -o 'Name: GLIBC_[0-9][0-9.]*' | sed 's/Name: GLIBC_//' | sort -uV | tail -1)
grep -q "The GNU C library (glibc) $glibc or later" "$copy/Readme.txt" ||
    fail "Readme.txt does not name glibc $glibc as the lowest"
grep -qx "needed=$glibc" "$copy/Lockmere" || fail "the launcher does not check for glibc $glibc"
grep -q '@[A-Z]*@' "$copy/Readme.txt" "$copy/Lockmere" && fail "a placeholder is left in Readme.txt or the launcher"

[[ $failures -eq 0 ]] || exit 1
echo "portable copy checked: $checked programs and libraries, glibc $glibc or later, $(du -sh "$copy" | cut -f1)"
