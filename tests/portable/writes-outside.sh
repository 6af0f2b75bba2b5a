#!/usr/bin/env bash
# Lists what a traced program changed in the file system outside the folders it may write to: every successful call
# that creates, opens for writing, renames, removes, links or changes the metadata of a path elsewhere. /dev and
# /proc are no files of the computer's. Exits 1 when there is any.
#   writes-outside.sh TRACE_PREFIX ALLOWED_FOLDER...
# TRACE_PREFIX names the files of "strace -ff -y -x -e trace=CALLS -o TRACE_PREFIX", one a process, the first started
# in the root folder; "writes-outside.sh --calls" prints the CALLS it needs.
set -euo pipefail

# The calls that change the file system (open and openat only when they open for writing), and those that tell
# where a process works.
changing=(creat mkdir mkdirat rename renameat renameat2 unlink unlinkat rmdir link linkat symlink symlinkat truncate
    chmod fchmodat chown fchownat lchown utimensat mknod mknodat setxattr lsetxattr)
following=(execve chdir fchdir clone clone3 fork vfork open openat)
if [[ $1 == --calls ]]; then
    (
        IFS=,
        echo "${following[*]},${changing[*]}"
    )
    exit 0
fi
prefix=$1
shift
allowed=("$@" /dev /proc)
declare -A changes=()
for call in "${changing[@]}"; do
    changes[$call]=1
done

inside_allowed() {
    local folder
    for folder in "${allowed[@]}"; do
        [[ $1 == "$folder" || $1 == "$folder"/* ]] && return 0
    done
    return 1
}

# A path argument as the call saw it: strace prints non-ASCII bytes as \xHH; a path relative to a folder descriptor
# comes with that folder (-y), one relative to the working directory with the folder the process works in.
full_path() {
    local folder=$1 path
    path=$(printf '%b' "$2")
    if [[ $path != /* && -n $folder ]]; then
        path=$(printf '%b' "$folder")/$path
    elif [[ $path != /* ]]; then
        path=${working%/}/$path
    fi
    # "folder/../elsewhere" is elsewhere; links are left as they are, as the folder holds none.
    realpath -m -s -- "$path"
}

found=0
string='"((\\.|[^"\\])*)"'
declare -A parent=() started_in=()
for trace in "$prefix".*; do
    pid=${trace##*.}
    while IFS= read -r child; do
        parent[$child]=$pid
    done < <(sed -n 's/^\(clone3\?\|fork\|vfork\)(.*) = \([0-9][0-9]*\)$/\2/p' "$trace")
done

# One process's calls, with the folder it works in: each child starts where its parent was when it made it.
check_process() {
    local pid=$1 line call arguments rest before path folder written
    working=${started_in[$pid]}
    while IFS= read -r line; do
        [[ $line =~ ^([a-z0-9_]+)\((.*)\)\ +=\ +(-?[0-9]+) ]] || continue
        call=${BASH_REMATCH[1]}
        arguments=${BASH_REMATCH[2]}
        result=${BASH_REMATCH[3]}
        [[ $result != -* ]] || continue
        case $call in
        chdir)
            [[ $arguments =~ ^$string ]] && working=$(full_path "" "${BASH_REMATCH[1]}")
            continue
            ;;
        fchdir)
            [[ $arguments =~ ^[0-9]+\<(.*)\>$ ]] && working=$(printf '%b' "${BASH_REMATCH[1]}")
            continue
            ;;
        clone | clone3 | fork | vfork)
            started_in[$result]=$working
            continue
            ;;
        open | openat)
            [[ $arguments =~ O_WRONLY|O_RDWR|O_CREAT|O_TRUNC ]] || continue
            ;;
        *) [[ -n ${changes[$call]:-} ]] || continue ;;
        esac
        # Each path argument, with the folder descriptor written before it, if any.
        rest=$arguments
        first=1
        while [[ $rest =~ ^([^\"]*)$string(.*)$ ]]; do
            before=${BASH_REMATCH[1]}
            path=${BASH_REMATCH[2]}
            rest=${BASH_REMATCH[4]}
            folder=
            if [[ $before =~ [0-9]+\<([^\>]*)\>,\ *$ ]]; then
                folder=${BASH_REMATCH[1]}
            fi
            # The first path of symlink is the link's text, that of link the file linked to (empty where linkat
            # names an open file, as a file made without a name gets its name): neither is written.
            if [[ -n $first && $call =~ ^(sym)?link(at)?$ ]]; then
                first=
                continue
            fi
            first=
            written=$(full_path "$folder" "$path")
            if ! inside_allowed "$written"; then
                echo "$call $written"
                found=1
            fi
        done
    done <"$prefix.$pid"
}

pending=()
for trace in "$prefix".*; do
    pid=${trace##*.}
    if [[ -z ${parent[$pid]:-} ]]; then
        started_in[$pid]=/
        pending+=("$pid")
    fi
done
while [[ ${#pending[@]} -gt 0 ]]; do
    pid=${pending[0]}
    pending=("${pending[@]:1}")
    check_process "$pid"
    for child in "${!parent[@]}"; do
        [[ ${parent[$child]} == "$pid" && -e $prefix.$child ]] && pending+=("$child")
    done
done
exit "$found"
