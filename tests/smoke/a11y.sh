#!/usr/bin/env bash
# Starts build/brewpad in a real X server (Xvfb) with the accessibility bus
# (AT-SPI) on its own session bus, and reads the main window's tool buttons
# by name as a screen reader would.
# Usage: a11y.sh PATH-TO-BREWPAD
set -euo pipefail
app="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
x_pid=""
cleanup() {
    [ -n "$x_pid" ] && kill "$x_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL (a11y): $*"; exit 1; }

for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
x_pid=$!
export DISPLAY="$display"
# The server is up once its socket is there.
for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
done
[ -e "/tmp/.X11-unix/X${display#:}" ] || fail "no X server"

export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$work/cwd"
cd "$work/cwd"
unset QT_QPA_PLATFORM
# Qt speaks to the accessibility bus only when asked: a desktop asks through
# its settings, this test through the environment.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

# One private session bus for the program, the bus launcher and the reader.
dbus-run-session -- bash -c '
    "$1" >"$3/app.log" 2>&1 &
    app_pid=$!
    status=0
    /usr/bin/python3 "$2/a11y_names.py" "New Document" "Open Document" "New Project" \
        "Open Project" "Save Project" "Configure" || status=$?
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    exit "$status"
' a11y "$app" "$here" "$work" 2>"$work/bus.log" || { cat "$work/bus.log" "$work/app.log" >&2; fail "names not read"; }
