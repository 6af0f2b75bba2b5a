#!/usr/bin/env bash
# The portable copy's launcher as `make portable` made it, with a stand-in program file that reports how it was
# started: it starts the program beside itself from any working directory, through "sh", a relative path or a link,
# in a folder with spaces and non-ASCII letters, handing on the arguments as they were; and it explains instead of
# starting on a computer of another kind or with an older C library than the copy needs.
#   launcher.sh COPY_DIR
set -euo pipefail
built=$1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

needed=$(sed -n 's/^needed=//p' "$built/Lockmere")
[[ $needed =~ ^[0-9]+\.[0-9]+$ ]] || {
    echo "FAILED: the launcher names no glibc version ('$needed')" >&2
    exit 1
}
copy="$work/Mein Stick ü/Lockmere"
mkdir -p "$copy" "$work/bin" "$work/elsewhere"
cp "$built/Lockmere" "$copy/Lockmere"
printf '#!/bin/sh\nprintf "%%s\\n" "started $0" "$@"\n' >"$copy/Lockmere.exe"
chmod +x "$copy/Lockmere.exe"
ln -s "$copy/Lockmere" "$work/bin/lockmere"

# Stand-ins for the machine's answers, first in PATH: "uname -m" and "getconf GNU_LIBC_VERSION".
fake_machine() {
    local machine=$1 libc=$2
    rm -rf "$work/fake"
    mkdir -p "$work/fake"
    printf '#!/bin/sh\necho %s\n' "$machine" >"$work/fake/uname"
    if [[ -n $libc ]]; then
        printf '#!/bin/sh\necho "%s"\n' "$libc" >"$work/fake/getconf"
    else
        printf '#!/bin/sh\necho "getconf: Unrecognized variable" >&2\nexit 1\n' >"$work/fake/getconf"
    fi
    chmod +x "$work/fake/uname" "$work/fake/getconf"
}

# CASE | WORKING_DIRECTORY | LAUNCHER (as given to sh) | MACHINE | LIBC | EXPECTED (status, then a line it prints)
major=${needed%%.*}
minor=${needed#*.}
cases=(
    "from elsewhere|$work/elsewhere|$copy/Lockmere|x86_64|glibc $needed|0|started $copy/Lockmere.exe"
    "from its folder|$copy|Lockmere|x86_64|glibc $needed|0|started $copy/Lockmere.exe"
    "through a link|$work/elsewhere|$work/bin/lockmere|x86_64|glibc $needed|0|started $copy/Lockmere.exe"
    "a later glibc|/|$copy/Lockmere|x86_64|glibc $major.$((minor + 10))|0|started $copy/Lockmere.exe"
    "a later major glibc|/|$copy/Lockmere|x86_64|glibc $((major + 1)).0|0|started $copy/Lockmere.exe"
    "an older glibc|/|$copy/Lockmere|x86_64|glibc $major.$((minor - 1))|1|Lockmere: this copy needs the GNU C library (glibc) $needed or later; this computer has $major.$((minor - 1))."
    "no glibc|/|$copy/Lockmere|x86_64||1|Lockmere: this copy needs the GNU C library (glibc) $needed or later, which this computer does not seem to have."
    "another processor|/|$copy/Lockmere|aarch64|glibc $needed|1|Lockmere: this copy runs on x86-64 (64-bit PC) computers; this one is aarch64."
)
for entry in "${cases[@]}"; do
    IFS='|' read -r name folder launcher machine libc status expected <<<"$entry"
    fake_machine "$machine" "$libc"
    actual_status=0
    output=$(cd "$folder" && PATH=$work/fake:/usr/bin:/bin sh "$launcher" "two words" -hide 2>&1) || actual_status=$?
    [[ $actual_status == "$status" ]] || fail "$name: status $actual_status, not $status: $output"
    [[ $(head -1 <<<"$output") == "$expected" ]] || fail "$name: '$(head -1 <<<"$output")', not '$expected'"
    if [[ $status == 0 && $output != *$'\ntwo words\n-hide' ]]; then
        fail "$name: the arguments arrived as: $output"
    fi
done

rm "$copy/Lockmere.exe"
fake_machine x86_64 "glibc $needed"
output=$(PATH=$work/fake:/usr/bin:/bin sh "$copy/Lockmere" 2>&1) && fail "started without its program file"
[[ $output == "Lockmere: the program file $copy/Lockmere.exe is missing; copy the whole Lockmere folder again." ]] ||
    fail "without its program file: $output"

[[ $failures -eq 0 ]] || exit 1
echo "launcher checked: ${#cases[@]} ways of starting, and a missing program file"
