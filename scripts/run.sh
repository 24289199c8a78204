#!/usr/bin/env bash
# Builds Brewpad and starts it with the files named on the command line.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/build.sh" >&2
exec "$root/build/brewpad" "$@"
