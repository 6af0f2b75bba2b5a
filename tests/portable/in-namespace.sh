#!/usr/bin/env bash
# The part of portable-copy.sh that runs in its own mount namespace: puts the portable copy in place with the portable
# installer (onto a FAT image for the case "fat"), hides the computer's copies of the libraries it carries, runs it
# traced through its launcher from the root folder, and leaves what the test looks at afterwards in WORK.
#   in-namespace.sh WORK INSTALLED_BIN TARGET DATABASE CASE FAT_KIND TRACE SOURCE_DIR [VARIABLE=VALUE...]
# The variables name the display the copy shows itself on.
set -euo pipefail
work=$1 installed_bin=$2 target=$3 database=$4 case_name=$5 fat_kind=$6 trace=$7 source_dir=$8
shift 8
copy=$target/Lockmere

# On FAT the target is a folder on the image, which is mounted on the target's parent; mtools makes that folder, as
# fusefat makes no names beyond ASCII.
if [[ $case_name == fat ]]; then
    stick=${target%/*}
    truncate -s 256M "$work/fat.img"
    mkfs.vfat -F 32 "$work/fat.img" >/dev/null
    LC_ALL=C.UTF-8 mmd -i "$work/fat.img" "::${target##*/}"
    if [[ $fat_kind == vfat ]]; then
        mount -t vfat -o loop,utf8 "$work/fat.img" "$stick"
    else
        fusefat -o rw+ "$work/fat.img" "$stick" >"$work/fusefat.out" 2>&1
    fi
    mountpoint -q "$stick" || {
        echo "the FAT image could not be mounted: $(tail -2 "$work/fusefat.out" 2>/dev/null)" >&2
        exit 1
    }
fi
lockmere_portable_install "$installed_bin" "$target" "$database" >"$work/installer.out"
findmnt -n -o FSTYPE --target "$copy" >"$work/file-system"
[[ $case_name != no-exec ]] || chmod a-x "$copy/Lockmere.exe" "$copy/Lockmere"
# Open the copied database at start, as a user does once after the first start; without the setting fTop, which the
# program writes back when it saves its settings at the end. Made anew rather than overwritten: fusefat writes no
# file twice.
sed -e 's|<fLastDB>0</fLastDB>|<fLastDB>1</fLastDB>|' -e '/<fTop>/d' \
    -e "s|<LastPath></LastPath>|<LastPath>$copy/$(basename "$database")</LastPath>|" \
    "$copy/Lockmere.xml" >"$work/settings.xml"
rm "$copy/Lockmere.xml"
cp "$work/settings.xml" "$copy/Lockmere.xml"

# The computer's Qt, OpenSSL, pugixml and zxcvbn, and its copies of whatever else the copy carries (but for those its
# own libraries need too), become empty files; Qt's plugin and translation folders and OpenSSL's modules empty ones.
source "$source_dir/scripts/portable-libraries.sh"
portable_load_base "$source_dir"
libraries=/usr/lib/x86_64-linux-gnu
carried=()
for library in "$copy"/lib/*; do
    portable_always_carried "${library##*/}" || carried+=("$libraries/${library##*/}"*)
done
: >"$work/empty"
hidden=0
for library in "$libraries"/libQt6* "$libraries"/libssl.so* "$libraries"/libcrypto.so* "$libraries"/libpugixml.so* \
    "$libraries"/libzxcvbn.so* "${carried[@]}"; do
    [[ -e $library && ! -L $library ]] || continue
    mount --bind "$work/empty" "$library"
    hidden=$((hidden + 1))
done
for folder in "$libraries/qt6" /usr/share/qt6 "$libraries/ossl-modules" "$libraries/engines-3"; do
    if [[ -d $folder ]]; then
        mount -t tmpfs -o size=1m,mode=0755 none "$folder"
    fi
done
echo "$hidden" >"$work/hidden"
[[ ! -s $libraries/libQt6Core.so.6 ]] || {
    echo "the computer's Qt is still there" >&2
    exit 1
}

calls=$(bash "$source_dir/tests/portable/writes-outside.sh" --calls)
status=0
cd /
env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" LANG=C.UTF-8 "$@" \
    strace -ff -qq -y -x -o "$trace" -e signal=none -e trace="$calls" \
    sh "$copy/Lockmere" >"$work/program.out" 2>&1 || status=$?
echo "$status" >"$work/status"
cp "$copy/Lockmere.xml" "$work/settings-after.xml"
ls -A "$copy" >"$work/files-after"
if [[ $fat_kind == fusefat ]]; then
    fusermount -u "$stick"
fi
