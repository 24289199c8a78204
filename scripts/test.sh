#!/usr/bin/env bash
# Builds Brewpad and runs the whole test suite (widget tests run offscreen).
#   scripts/test.sh [CTEST-ARGS...]             the ordinary build, in build/
#   scripts/test.sh --sanitize [CTEST-ARGS...]  with AddressSanitizer and
#                                               UndefinedBehaviorSanitizer, in build-sanitize/
# The ordinary run then gives each fuzz target a few seconds (scripts/fuzz.sh),
# where clang and its libFuzzer are installed.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--sanitize" ]; then
    shift
    bash scripts/deps.sh
    generator=()
    [ -f build-sanitize/CMakeCache.txt ] || generator=(-G Ninja)
    cmake -S . -B build-sanitize "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DBREWPAD_SANITIZE=ON
    cmake --build build-sanitize -j"$(nproc)"
    cd build-sanitize
    # Qt and the X libraries keep some memory until exit on purpose: leaks are not
    # what this run looks for.
    export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@"
else
    bash scripts/build.sh
    (cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@")
    bash scripts/fuzz.sh --seconds 3
fi
