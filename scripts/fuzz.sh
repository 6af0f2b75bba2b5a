#!/usr/bin/env bash
# Runs the libFuzzer targets, one after the other (the fuzzer takes a whole core).
#   scripts/fuzz.sh TARGET SECONDS    one target, e.g. scripts/fuzz.sh database_file 600
#   scripts/fuzz.sh all SECONDS       every target for SECONDS each
# The committed seeds in fuzz/corpus/TARGET are read, never changed; what the fuzzer finds grows a working corpus
# in $FUZZ_BUILD_DIR/corpus/TARGET, crashes land in $FUZZ_BUILD_DIR/crashes/TARGET, the output in
# $FUZZ_BUILD_DIR/logs/TARGET.log. Exits non-zero when a target found a crash. $FUZZ_ARGS is passed on to libFuzzer
# (e.g. FUZZ_ARGS=-max_len=65536).
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $# -ne 2 || ! $2 =~ ^[0-9]+$ ]]; then
    echo "usage: $0 TARGET|all SECONDS" >&2
    exit 2
fi
build=${FUZZ_BUILD_DIR:-build-fuzz}

if [[ ! -f $build/build.ninja ]]; then
    cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi
targets=()
for source in fuzz/targets/*.cpp; do
    name=$(basename "$source" .cpp)
    if [[ $1 == all || $1 == "$name" ]]; then
        targets+=("$name")
    fi
done
if [[ ${#targets[@]} -eq 0 ]]; then
    echo "no fuzz target named $1; there are: $(basename -s .cpp fuzz/targets/*.cpp | tr '\n' ' ')" >&2
    exit 2
fi
cmake --build "$build" -j "${JOBS:-2}" --target "${targets[@]/#/fuzz_}"

failed=0
for name in "${targets[@]}"; do
    mkdir -p "$build/corpus/$name" "$build/crashes/$name" "$build/logs"
    log=$build/logs/$name.log
    echo "fuzzing $name for $2 s"
    # Leaks are reported as failures too; -timeout catches inputs that make a reader hang.
    # shellcheck disable=SC2086 # FUZZ_ARGS holds several arguments
    if "$build/bin/fuzz_$name" -max_total_time="$2" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 ${FUZZ_ARGS:-} \
        -artifact_prefix="$build/crashes/$name/" "$build/corpus/$name" "fuzz/corpus/$name" >"$log" 2>&1; then
        echo "  $(grep -h 'stat::number_of_executed_units' "$log" | tail -1)"
    else
        failed=1
        echo "  FAILED, see $log and $build/crashes/$name/:" >&2
        grep -E 'ERROR|SUMMARY|property violated' "$log" | head -5 >&2 || true
    fi
done
exit $failed
