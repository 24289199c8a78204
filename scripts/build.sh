#!/usr/bin/env bash
# Installs missing packages and builds Brewpad into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
generator=()
[ -f build/CMakeCache.txt ] || generator=(-G Ninja)
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
