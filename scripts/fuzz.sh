#!/usr/bin/env bash
# Builds the fuzz targets (tests/fuzz) with clang's libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer into build-fuzz/ and runs each for a while.
#   scripts/fuzz.sh [--seconds N] [TARGET...]
# TARGET is one of project, settings, colortext, compileroutput, search (all
# by default); N is the run time of each, 60 seconds unless given. Each runs
# on a copy of its seed inputs (tests/fuzz/corpus/TARGET) in build-fuzz/, so
# the inputs it finds never land in the repository. Exits non-zero when a
# target finds a fault; the input that caused it is kept in
# build-fuzz/fuzz-findings/. Without clang and its libFuzzer it does nothing
# and exits 0.
set -euo pipefail
cd "$(dirname "$0")/.."

all_targets=(project settings colortext compileroutput search)
seconds=60
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
    --seconds)
        [ $# -ge 2 ] && [[ "$2" =~ ^[0-9]+$ ]] && [ "$2" -gt 0 ] ||
            { echo "fuzz.sh: --seconds needs a number of seconds" >&2; exit 2; }
        seconds=$2
        shift 2
        ;;
    -*)
        echo "usage: scripts/fuzz.sh [--seconds N] [TARGET...]" >&2
        exit 2
        ;;
    *)
        [[ " ${all_targets[*]} " == *" $1 "* ]] ||
            { echo "fuzz.sh: no target '$1' (${all_targets[*]})" >&2; exit 2; }
        targets+=("$1")
        shift
        ;;
    esac
done
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

# libFuzzer ships with clang, but not every clang install carries its
# runtime: linking a trivial target tells.
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
if ! command -v clang++ >/dev/null ||
    ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
        clang++ -x c++ -fsanitize=fuzzer,address,undefined -o "$probe/probe" - 2>/dev/null; then
    echo "fuzzing skipped: clang with libFuzzer not found"
    exit 0
fi

bash scripts/deps.sh
generator=()
[ -f build-fuzz/CMakeCache.txt ] || generator=(-G Ninja)
# A Debug build keeps the range checks of Qt's containers (Q_ASSERT) on;
# -O1 with line tables only keeps it quick to build and to run.
CC=clang CXX=clang++ cmake -S . -B build-fuzz "${generator[@]}" \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" \
    -DBREWPAD_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

# Qt keeps some memory until exit on purpose; a leak is no finding here.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p build-fuzz/fuzz-corpus build-fuzz/fuzz-findings build-fuzz/fuzz-logs
# Absolute paths: a target may change the current directory while a fault
# is being written down.
root=$(pwd)
failed=()
for t in "${targets[@]}"; do
    corpus=$root/build-fuzz/fuzz-corpus/$t
    log=build-fuzz/fuzz-logs/$t.log
    mkdir -p "$corpus"
    cp tests/fuzz/corpus/"$t"/* "$corpus"/
    # The words of a format, where a target has them, help it past its checks.
    dict=()
    [ -f tests/fuzz/"$t".dict ] && dict=(-dict="$root"/tests/fuzz/"$t".dict)
    # A single input that takes seconds is a fault too (-timeout).
    if build-fuzz/tests/fuzz/fuzz_"$t" "$corpus" "${dict[@]}" -max_total_time="$seconds" -timeout=10 \
        -artifact_prefix="$root"/build-fuzz/fuzz-findings/"$t"- -print_final_stats=1 >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz $t: no fault in ${runs:-?} inputs, $seconds s"
    else
        echo "fuzz $t: FAULT FOUND (log: $log)"
        tail -n 40 "$log"
        failed+=("$t")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found faults in: ${failed[*]}; the inputs are in build-fuzz/fuzz-findings/"
    exit 1
fi
