#!/usr/bin/env bash
# writes-outside.sh against traces written by hand, a case a line: what strace -ff -y -x records of each kind of
# change, inside and outside the allowed folder, and what only reads. A check that missed a write would let the
# portable tests pass a copy that leaves files on the computer.
#   writes-outside-test.sh SOURCE_DIR
set -euo pipefail
check=$1/tests/portable/writes-outside.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Each case: whether a write outside is expected (1) or not (0), a name, then the trace of the first process.
cases=(
    '0|reads only|openat(AT_FDCWD</>, "/etc/passwd", O_RDONLY|O_CLOEXEC) = 3</etc/passwd>'
    '1|opens for writing outside|openat(AT_FDCWD</>, "/tmp/lockmere.log", O_WRONLY|O_CREAT|O_TRUNC, 0644) = 3</tmp/lockmere.log>'
    '0|opens for writing inside|openat(AT_FDCWD</>, "/stick/Lockmere/Lockmere.xml", O_RDWR|O_CREAT, 0600) = 3</stick/Lockmere/Lockmere.xml>'
    '0|a failed write|openat(AT_FDCWD</>, "/home/u/.config/x", O_WRONLY|O_CREAT, 0600) = -1 EACCES (Permission denied)'
    '0|a file without a name takes its name inside|linkat(3</stick/Lockmere/#123>(deleted), "", AT_FDCWD</>, "/stick/Lockmere/Lockmere.xml", AT_EMPTY_PATH) = 0'
    '1|a file without a name takes its name outside|linkat(3</stick/Lockmere/#123>(deleted), "", AT_FDCWD</>, "/home/u/.config/QtProject.conf", AT_EMPTY_PATH) = 0'
    '1|a link from inside to outside|link("/stick/Lockmere/Lockmere.xml", "/tmp/copy") = 0'
    '1|renames a file away|rename("/home/u/a", "/stick/Lockmere/a") = 0'
    '0|a name beyond ASCII inside|mkdir("\x2f\x73\x74\x69\x63\x6b\x2f\x4c\x6f\x63\x6b\x6d\x65\x72\x65\x2f\xc3\xbc", 0755) = 0'
    '1|relative to a folder descriptor outside|unlinkat(4</home/u/.cache>, "qt", 0) = 0'
    '1|relative to the folder it went to|chdir("/home/u") = 0
mkdir(".local", 0700) = 0'
    '1|out through ..|mkdir("/stick/Lockmere/../elsewhere", 0755) = 0'
    '0|a symbolic link whose text names elsewhere|symlink("/home/u", "/stick/Lockmere/link") = 0'
)
for entry in "${cases[@]}"; do
    IFS='|' read -r expected name _ <<<"$entry"
    trace=${entry#*|*|}
    rm -rf "$work/trace" && mkdir "$work/trace"
    printf '%s\n' "$trace" >"$work/trace/call.100"
    status=0
    bash "$check" "$work/trace/call" /stick/Lockmere >"$work/out" || status=$?
    if [[ $status -ne $expected ]]; then
        echo "FAILED: $name: exit $status, expected $expected; it said: $(cat "$work/out")" >&2
        failures=$((failures + 1))
    fi
done

# A child process starts in the folder its parent works in when it is made.
mkdir -p "$work/trace2"
printf '%s\n' 'chdir("/home/u") = 0' 'clone(child_stack=NULL, flags=CLONE_VM) = 101' >"$work/trace2/call.100"
printf '%s\n' 'creat("notes", 0600) = 3</home/u/notes>' >"$work/trace2/call.101"
bash "$check" "$work/trace2/call" /stick/Lockmere >"$work/out" && {
    echo "FAILED: a child's relative write went unseen" >&2
    failures=$((failures + 1))
}
grep -qx 'creat /home/u/notes' "$work/out" || {
    echo "FAILED: the child's write is named as '$(cat "$work/out")'" >&2
    failures=$((failures + 1))
}

[[ $failures -eq 0 ]] || exit 1
echo "writes-outside.sh: ${#cases[@]} cases and a child process checked"
