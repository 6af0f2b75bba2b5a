# shellcheck shell=bash
# Which libraries the portable copy carries and which it takes from the computer it runs on: the one rule that
# make-portable.sh builds the copy by and the portable tests check it against. Sourced, not run.
#   portable_load_base SOURCE_DIR      reads resources/portable/base-libraries.txt
#   portable_is_base NAME              whether a library is on that list
#   portable_always_carried NAME       whether the list marks it with "!": carried although a base library needs it
#   portable_resolved FILE             "NAME<TAB>PATH" for every library FILE loads ("not found" as the path)
#   portable_base_closure FILE...      the libraries that the listed ones among FILE's libraries need in turn

portable_base_patterns=()
portable_carried_patterns=()

portable_load_base() {
    local line
    portable_base_patterns=()
    portable_carried_patterns=()
    while IFS= read -r line || [[ -n $line ]]; do
        line=${line%%#*}
        line=${line//[[:space:]]/}
        if [[ $line == !* ]]; then
            portable_carried_patterns+=("${line#!}")
        elif [[ -n $line ]]; then
            portable_base_patterns+=("$line")
        fi
    done <"$1/resources/portable/base-libraries.txt"
    [[ ${#portable_base_patterns[@]} -gt 0 ]]
}

portable_matches() {
    local name=$1 pattern
    shift
    for pattern in "$@"; do
        # shellcheck disable=SC2053 # the pattern is a glob on purpose
        [[ $name == $pattern ]] && return 0
    done
    return 1
}

portable_is_base() {
    portable_matches "$1" "${portable_base_patterns[@]}"
}

portable_always_carried() {
    portable_matches "$1" "${portable_carried_patterns[@]}"
}

# The dynamic loader's own answer, so that the copy is judged by how it is really loaded. The loader and the vDSO
# have no "=>" and are never files of the copy.
portable_resolved() {
    local output
    output=$(LC_ALL=C ldd "$1" 2>&1) || {
        echo "ldd failed on $1: $output" >&2
        return 1
    }
    sed -n -e 's/^[[:space:]]*\([^[:space:]]*\) => not found$/\1\tnot found/p' \
        -e 's/^[[:space:]]*\([^[:space:]]*\) => \(.*\) (0x[0-9a-f]*)$/\1\t\2/p' <<<"$output"
}

portable_base_closure() {
    local file name path
    declare -A seen=()
    for file in "$@"; do
        while IFS=$'\t' read -r name path; do
            if portable_is_base "$name" && [[ -z ${seen[$name]:-} && $path != "not found" ]]; then
                seen[$name]=1
                portable_resolved "$path" | cut -f1
            fi
        done < <(portable_resolved "$file")
    done | sort -u
}
