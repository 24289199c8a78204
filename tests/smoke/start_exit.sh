#!/usr/bin/env bash
# Starts build/brewpad under a real X server (Xvfb), closes it through
# File > Exit with the keyboard and checks that it ended cleanly and stored
# its settings. Usage: start_exit.sh PATH-TO-BREWPAD
set -euo pipefail
app="$(realpath "$1")"
work="$(mktemp -d)"
cleanup() {
    [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "${x_pid:-}" ] && kill "$x_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A free display number.
for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
x_pid=$!
export DISPLAY="$display"
for _ in $(seq 1 100); do
    xdotool getmouselocation >/dev/null 2>&1 && break
    sleep 0.1
done

export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$work/cwd"
cd "$work/cwd"
unset QT_QPA_PLATFORM
"$app" &
app_pid=$!

wid="$(timeout 30 xdotool search --sync --onlyvisible --name "Tarvik's Brewpad 2.09" | head -n 1)"
[ -n "$wid" ] || { echo "FAIL: no Brewpad window appeared"; exit 1; }
xdotool windowfocus --sync "$wid"
xdotool key alt+f
xdotool key x

status=0
for _ in $(seq 1 300); do
    if ! kill -0 "$app_pid" 2>/dev/null; then break; fi
    sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
    echo "FAIL: Brewpad did not close through File > Exit"
    exit 1
fi
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status"; exit 1; }
conf="$XDG_CONFIG_HOME/Tarviksoft/Brewpad.conf"
grep -q "LastWindowState" "$conf" || { echo "FAIL: settings not stored in $conf"; exit 1; }
echo "PASS: started under X, closed through File > Exit, settings stored"
