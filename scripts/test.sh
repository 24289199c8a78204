#!/usr/bin/env bash
# Builds Brewpad and runs the whole test suite (widget tests run offscreen).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@"
