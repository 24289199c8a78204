#!/usr/bin/env bash
# Starts build/brewpad in a real X server (Xvfb) with the accessibility bus
# (AT-SPI) on its own session bus, and reads it as a screen reader would.
# Usage: a11y.sh SCENARIO PATH-TO-BREWPAD
#   names    the main window's tool buttons, by name
#   goto_up  a text of 300 lines: Ctrl+End, then Search > Go to Line 1; the
#            line jumped to is in sight
set -euo pipefail
scenario="$1"
app="$(realpath "$2")"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
x_pid=""
cleanup() {
    [ -n "$x_pid" ] && kill "$x_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL (a11y $scenario): $*"; exit 1; }

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

case "$scenario" in
names)
    files=()
    reader=("$here/a11y_names.py" "New Document" "Open Document" "New Project" "Open Project"
            "Save Project" "Configure")
    ;;
goto_up)
    for i in $(seq 1 300); do echo "line $i"; done > "$work/long.txt"
    files=("$work/long.txt")
    reader=("$here/a11y_goto.py")
    ;;
*)
    fail "unknown scenario"
    ;;
esac

# One private session bus for the program, the bus launcher and the reader.
dbus-run-session -- bash -c '
    log="$1"; app="$2"; count="$3"; shift 3
    "$app" "${@:1:$count}" >"$log" 2>&1 &
    app_pid=$!
    status=0
    /usr/bin/python3 "${@:$((count + 1))}" || status=$?
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    exit "$status"
' a11y "$work/app.log" "$app" "${#files[@]}" "${files[@]}" "${reader[@]}" 2>"$work/bus.log" ||
    { cat "$work/bus.log" "$work/app.log" >&2; fail "the reader failed"; }
