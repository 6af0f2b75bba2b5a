#!/usr/bin/env bash
# The portable copy on a computer that has none of its libraries: installed by the portable installer from a
# temporary installation of the build, it runs in a mount namespace where the computer's Qt 6, OpenSSL, pugixml,
# zxcvbn and every other library the copy carries are empty files (in-namespace.sh). Started with "sh Lockmere" from
# the root folder, it asks for the password, opens its database, copies an entry's user name, ends on Escape saving
# its settings beside itself, and writes nothing outside its folder but the single-instance lock in the session's
# runtime folder (writes-outside.sh on its trace); on X11 it also opens and closes Qt's file chooser, whose own
# settings must stay in the folder too. Each case puts the copy elsewhere or shows it elsewhere:
#   folder    a folder whose path has spaces and non-ASCII letters, on a virtual X server
#   no-exec   the same without execute permissions, as FAT shows them where its mount hides them
#   fat       a folder with spaces and non-ASCII letters on a FAT32 image made by mkfs.vfat, loop-mounted (the
#             kernel's vfat, or fusefat where it has none)
#   wayland   the folder again, on a Wayland compositor (weston, itself on the virtual X server)
#   portable-copy.sh SOURCE_DIR BUILD_DIR CASE
# Exits 77 (skipped, with the reason printed) where the machine cannot unshare or mount.
set -euo pipefail
source_dir=$1
build_dir=$2
case_name=$3

fail() {
    echo "FAILED: $*" >&2
    exit 1
}
skip() {
    echo "SKIPPED: $*"
    exit 77
}

[[ $(id -u) -eq 0 ]] || skip "hiding the computer's libraries needs root (mount namespaces and bind mounts)"
unshare -m true 2>/dev/null || skip "this machine does not allow a mount namespace (unshare -m)"
for tool in Xvfb xdotool xclip strace; do
    command -v "$tool" >/dev/null || fail "$tool is missing; run scripts/install-deps.sh"
done
fat_kind=
case $case_name in
folder | no-exec) ;;
fat)
    for tool in mkfs.vfat mmd; do
        command -v "$tool" >/dev/null || fail "$tool is missing; run scripts/install-deps.sh"
    done
    if grep -qw vfat /proc/filesystems; then
        fat_kind=vfat
    elif command -v fusefat >/dev/null && [[ -c /dev/fuse ]]; then
        fat_kind=fusefat
    else
        skip "the kernel has no vfat, and FUSE with fusefat is not available"
    fi
    ;;
wayland) command -v weston >/dev/null || fail "weston is missing; run scripts/install-deps.sh" ;;
*) fail "unknown case $case_name" ;;
esac

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The installation the package makes, with the portable copy in lib/lockmere/portable.
DESTDIR=$work/root cmake --install "$build_dir" --prefix /usr >/dev/null
[[ -x $work/root/usr/lib/lockmere/portable/Lockmere.exe ]] || fail "the installation carries no portable copy"

# fusefat makes no new names beyond ASCII (the kernel's vfat does), so the database on FAT has an ASCII name; the
# folder it goes into is made beforehand (in-namespace.sh).
database=$work/Passwörter.ldb
[[ $fat_kind != fusefat ]] || database=$work/Passwoerter.ldb
printf 'pw\npw\n' | "$build_dir/bin/lockmere-cli" create "$database" >/dev/null 2>&1 || fail "cannot create a database"
printf 'pw\n' | "$build_dir/bin/lockmere-cli" add "$database" Web Example --username portable-user --generate \
    >/dev/null 2>&1 || fail "cannot add an entry"

Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.1
done
[[ -s $work/display ]] || fail "Xvfb did not start"
DISPLAY=:$(cat "$work/display")
export DISPLAY
if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    pids+=($!)
fi
mkdir -p "$work/home" "$work/runtime" "$work/trace"
chmod 0700 "$work/runtime"
shown_on=("DISPLAY=$DISPLAY")
if [[ $case_name == wayland ]]; then
    XDG_RUNTIME_DIR=$work/runtime weston --backend=x11-backend.so --use-pixman --socket=lockmere-test --idle-time=0 \
        --width=1000 --height=700 >"$work/weston.out" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        [[ -S $work/runtime/lockmere-test ]] && break
        sleep 0.1
    done
    [[ -S $work/runtime/lockmere-test ]] || fail "weston did not start: $(cat "$work/weston.out")"
    # No DISPLAY, so that Qt cannot fall back to X11; the protocol log shows the windows and the clipboard.
    shown_on=(WAYLAND_DISPLAY=lockmere-test QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1)
fi

case $case_name in
fat) target="$work/FAT Stick/Mein Stick ü" ;; # the image is mounted on "FAT Stick"
*) target="$work/Mein Stick ü/Zielordner" ;;
esac
# The FAT image's folder is made on the image.
if [[ $case_name == fat ]]; then
    mkdir -p "${target%/*}"
else
    mkdir -p "$target"
fi
copy=$target/Lockmere
trace=$work/trace/call
PATH=$build_dir/bin:$PATH unshare -m --propagation private bash "$source_dir/tests/portable/in-namespace.sh" "$work" \
    "$work/root/usr/bin" "$target" "$database" "$case_name" "$fat_kind" "$trace" "$source_dir" "${shown_on[@]}" &
inside=$!
pids+=("$inside")

running() {
    kill -0 "$inside" 2>/dev/null
}
# Waits up to 60 seconds, while the copy runs, for a command to succeed; prints what it printed.
await() {
    local output
    for _ in $(seq 600); do
        output=$("$@" 2>/dev/null) && [[ -n $output ]] && {
            echo "$output"
            return 0
        }
        running || return 1
        sleep 0.1
    done
    return 1
}
what_it_said() {
    wait "$inside" 2>/dev/null || true
    grep -v '^\[' "$work/installer.out" "$work/program.out" 2>/dev/null | head -20
}
focus() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
}
x11_window() {
    xdotool search --onlyvisible --name "^$1\$" | head -1
}
x11_other_window() {
    xdotool search --onlyvisible --name "^$1\$" | grep -vx "$2" | head -1
}
wayland_log() {
    grep -E "$1" "$work/program.out"
}

# The first entry selected by SELECT and its user name copied until CHECK finds it on the clipboard: only an open
# database has one. Opening may take a while on a loaded machine (and through fusefat), so both are tried again.
copy_user_name() {
    local select=$1 check=$2
    for _ in $(seq 25); do
        "$select"
        xdotool key ctrl+b
        sleep 0.4
        "$check" && return 0
    done
    return 1
}
# A click on the entry list's first row, below its header.
x11_select() {
    focus "$main"
    xdotool mousemove --window "$main" 228 89 click 1
}
# On Wayland windows have no place to click at: from the group tree, which has the focus after opening, to the entry
# list, whose current entry the space bar selects.
wayland_select() {
    if [[ -z ${tabbed:-} ]]; then
        xdotool key Tab
        tabbed=1
    fi
    xdotool key space
}
x11_clipboard_holds_it() {
    [[ $(xclip -o -selection clipboard 2>/dev/null) == portable-user ]]
}
# Weston offers no other client the clipboard; the copy's protocol log shows that it took it.
wayland_clipboard_taken() {
    [[ -n $(wayland_log 'wl_data_device@[0-9]+\.set_selection\(wl_data_source') ]]
}

if [[ $case_name == wayland ]]; then
    await wayland_log 'xdg_toplevel@[0-9]+\.set_title\("Enter"\)' >/dev/null ||
        fail "the copy showed no password dialog: $(what_it_said)"
    focus "$(await xdotool search --class '^Weston Compositor$')" || fail "weston shows no window"
    # The keys go to the dialog once the compositor has given it the keyboard.
    dialog=$(grep -nE 'xdg_toplevel@[0-9]+\.set_title\("Enter"\)' "$work/program.out" | head -1 | cut -d: -f1)
    await awk -v after="$dialog" 'NR > after && /wl_keyboard@[0-9]+\.enter\(/ { print; exit }' "$work/program.out" \
        >/dev/null || fail "the password dialog never got the keyboard: $(what_it_said)"
    xdotool type --delay 50 pw
    typed=$(wc -l <"$work/program.out")
    xdotool key Return
    # The main window has the keyboard back once the dialog is gone.
    await awk -v after="$typed" 'NR > after && /wl_keyboard@[0-9]+\.enter\(/ { print; exit }' "$work/program.out" \
        >/dev/null || fail "the password dialog did not close: $(what_it_said)"
    copy_user_name wayland_select wayland_clipboard_taken ||
        fail "the open database's user name did not reach the clipboard: $(what_it_said)"
else
    focus "$(await x11_window Enter)" || fail "the copy showed no password dialog: $(what_it_said)"
    xdotool type --delay 30 pw
    xdotool key Return
    main=$(await x11_window Lockmere) || fail "no main window: $(what_it_said)"
    await bash -c '[[ -z $(xdotool search --onlyvisible --name "^Enter\$") ]] && echo gone' >/dev/null ||
        fail "the password was not taken"
    copy_user_name x11_select x11_clipboard_holds_it ||
        fail "the open database's user name did not reach the clipboard: '$(xclip -o -selection clipboard 2>&1)'"
    # Qt's file chooser keeps what it visited in settings of its own; they too must stay in the copy's folder. Open
    # asks first whether to close the database.
    focus "$main"
    xdotool key ctrl+o
    question=$(await x11_other_window Lockmere "$main") || fail "Open did not ask to close the database"
    focus "$question"
    xdotool key Return
    focus "$(await x11_window Open)" || fail "Open showed no file chooser: $(what_it_said)"
    xdotool key Escape
    await bash -c '[[ -z $(xdotool search --onlyvisible --name "^Open\$") ]] && echo gone' >/dev/null ||
        fail "the file chooser did not close"
    focus "$main"
fi
xdotool key Escape
for _ in $(seq 300); do
    running || break
    sleep 0.1
done
running && fail "the copy did not end on Escape"
wait "$inside" || fail "the work in the namespace failed: $(what_it_said)"
if [[ $case_name == fat ]]; then
    [[ $(cat "$work/file-system") =~ ^(vfat|fuse.fusefat)$ ]] ||
        fail "the copy ran from $(cat "$work/file-system"), not from the FAT image"
fi
[[ $(cat "$work/status") == 0 ]] || fail "the copy ended with status $(cat "$work/status"): $(what_it_said)"

# Its settings were saved in its own folder, and nothing else was written outside it.
grep -q '<fLastDB>1</fLastDB>' "$work/settings-after.xml" || fail "the settings in the copy's folder were lost"
grep -q '<fTop>0</fTop>' "$work/settings-after.xml" || fail "the copy did not save its settings beside itself"
if [[ $case_name != wayland ]]; then
    grep -qx QtProject.conf "$work/files-after" || fail "the file chooser's settings are not in the copy's folder"
fi
[[ -z $(find "$work/home" -mindepth 1 -print -quit) ]] ||
    fail "the copy wrote into the home folder: $(find "$work/home")"
outside=$(bash "$source_dir/tests/portable/writes-outside.sh" "$trace" "$copy" "$work/runtime") ||
    fail "the copy wrote outside its folder:"$'\n'"$outside"
if [[ $case_name == no-exec ]]; then
    grep -q 'execve("/lib64/ld-linux-x86-64.so.2"' "$trace".* ||
        fail "the launcher did not start the copy through the loader"
fi
echo "portable copy ran ($case_name${fat_kind:+, from $(cat "$work/file-system")})" \
    "with $(cat "$work/hidden") of the computer's libraries hidden"
