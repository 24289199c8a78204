#!/usr/bin/env bash
# Drives build/brewpad in a real X server (Xvfb) with the keyboard, as a
# person would, and checks what reaches the disk.
# Usage: x11.sh SCENARIO PATH-TO-BREWPAD
#   start_exit   start, close through File > Exit, settings stored
#   type_save    open a file named on the command line, type, Ctrl+S
#   replace_all  Ctrl+R, find and replace texts, Replace All, Ctrl+S
#   find_typed   Find is there once typing gave an empty file text: Ctrl+F,
#                find, Escape, type over the match, Ctrl+S
#   compile      compile a Java file with an error from the Run menu; the
#                file's bytes stay as they were and no temporary file remains
#   compile_enter_held
#                start the compile from the Run menu with Enter and hold
#                Enter down until the compile is over: the repeated Enter
#                changes nothing in the text (saved, the file is as it was)
#   escape_save  type into a new document, File > Exit, Escape on the save
#                question: the program stays, and its text can still be saved
#                (Save As, which adds it to the new project; No to saving the
#                project at the next exit ends the program)
#   manager_remove  a project named on the command line shows its manager; with
#                its document's editor holding unsaved text, Delete in the
#                manager asks the save question before the document leaves the
#                project (Yes saves the text; the project is saved without it)
#   first_start  a new user's first start (empty home and settings, no
#                brewpad.ini) with the JDK on PATH: Run > Compile Document
#                makes the class, Run > Run Java runs it in a terminal (a fake
#                one that records what it was asked to run, then runs it)
set -euo pipefail
scenario="$1"
app="$(realpath "$2")"
work="$(mktemp -d)"
app_pid=""
x_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$x_pid" ] && kill "$x_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL ($scenario): $*"; exit 1; }

# Waits until a command succeeds, checking every tenth of a second.
wait_for() {
    local tries="$1"; shift
    for _ in $(seq 1 "$tries"); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
x_pid=$!
export DISPLAY="$display"
wait_for 100 xdotool getmouselocation || fail "no X server"

export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$work/cwd" "$work/src"
cd "$work/cwd"
unset QT_QPA_PLATFORM

# Without a window manager, X focus reaches the program a moment after it is
# set; keys sent earlier go to the window that had the focus before. There is
# no condition to wait on from outside, so wait a moment.
settle() { sleep 0.5; }

start() {
    "$app" "$@" &
    app_pid=$!
    wid="$(timeout 30 xdotool search --sync --onlyvisible --name "Tarvik's Brewpad 2.09" | head -n 1)"
    [ -n "$wid" ] || fail "no Brewpad window appeared"
    xdotool windowfocus --sync "$wid"
    settle
}

# File > Exit, then wait for the program to end with status 0.
exit_app() {
    xdotool windowfocus --sync "$wid"
    settle
    xdotool key alt+f
    settle
    xdotool key x
    wait_for 300 bash -c "! kill -0 $app_pid" || fail "Brewpad did not close through File > Exit"
    local status=0
    wait "$app_pid" || status=$?
    app_pid=""
    [ "$status" -eq 0 ] || fail "exit status $status"
}

# Configures (in brewpad.ini) a compiler that notes its start in
# javac.started, waits for the file named by $1 (when given), runs the real
# javac and notes its end in javac.log; the interpreter is the real java.
use_wrapped_javac() {
    mkdir -p "$work/jdk/bin"
    {
        printf '#!/bin/sh\necho started >> "%s"\n' "$work/javac.started"
        [ -z "${1:-}" ] || printf 'while [ ! -e "%s" ]; do sleep 0.05; done\n' "$1"
        printf '"%s" "$@"\nrc=$?\necho ran >> "%s"\nexit $rc\n' \
            "$(readlink -f "$(command -v javac)")" "$work/javac.log"
    } > "$work/jdk/bin/javac"
    chmod +x "$work/jdk/bin/javac"
    ln -s "$(readlink -f "$(command -v java)")" "$work/jdk/bin/java"
    printf '%s\r\n\r\nMS Sans Serif\r\n8\r\nclBlack\r\n4\r\nclWindow\r\n-1\r\n-1\r\n-1\r\n' \
        "$work/jdk/bin/javac" > brewpad.ini
}

case "$scenario" in
start_exit)
    start
    exit_app
    grep -q "LastWindowState" "$XDG_CONFIG_HOME/Tarviksoft/Brewpad.conf" || fail "settings not stored"
    ;;
type_save)
    printf 'world\n' > "$work/src/hello.txt"
    start "$work/src/hello.txt"
    xdotool type --delay 20 "hello "
    xdotool key ctrl+s
    wait_for 100 grep -q "^hello world$" "$work/src/hello.txt" || fail "typed text not saved: $(cat "$work/src/hello.txt")"
    exit_app
    ;;
replace_all)
    printf 'one cat, two cat\nred cat\n' > "$work/src/pets.txt"
    start "$work/src/pets.txt"
    xdotool key ctrl+r
    dlg="$(timeout 30 xdotool search --sync --onlyvisible --name '^Replace$' | head -n 1)"
    [ -n "$dlg" ] || fail "no Replace dialog"
    xdotool windowfocus --sync "$dlg"
    settle
    xdotool type --delay 20 "cat"
    xdotool key Tab
    xdotool type --delay 20 "dog"
    xdotool key alt+a
    xdotool key Escape
    xdotool windowfocus --sync "$wid"
    settle
    xdotool key ctrl+s
    wait_for 100 grep -q "^one dog, two dog$" "$work/src/pets.txt" || fail "replaced text not saved: $(cat "$work/src/pets.txt")"
    grep -q "^red dog$" "$work/src/pets.txt" || fail "second line not replaced"
    exit_app
    ;;
find_typed)
    # An empty file: nothing to find until the text typed into it is there.
    : > "$work/src/empty.txt"
    start "$work/src/empty.txt"
    xdotool type --delay 20 "abc abc"
    xdotool key ctrl+Home
    xdotool key ctrl+f
    dlg="$(timeout 30 xdotool search --sync --onlyvisible --name '^Find$' | head -n 1)"
    [ -n "$dlg" ] || fail "no Find dialog after typing"
    xdotool windowfocus --sync "$dlg"
    settle
    xdotool type --delay 20 "abc"
    xdotool key Return
    xdotool key Escape
    xdotool windowfocus --sync "$wid"
    settle
    xdotool type --delay 20 "X"
    xdotool key ctrl+s
    wait_for 100 grep -q "^X abc$" "$work/src/empty.txt" || fail "found text not replaced by typing: $(cat "$work/src/empty.txt")"
    exit_app
    ;;
compile)
    # The configured compiler is a wrapper that notes each run and hands over
    # to the real javac; the interpreter beside it is the real java.
    use_wrapped_javac
    printf 'public class Bad {\n    int x = ;\n}\n' > "$work/src/Bad.java"
    before="$(sha256sum < "$work/src/Bad.java")"
    start "$work/src/Bad.java"
    # Run > Compile Document. The window stays usable while it runs; the exit
    # waits until the compiler is done (an exit during the compile stops it).
    xdotool key alt+r
    settle
    xdotool key d
    wait_for 600 grep -q "^ran$" "$work/javac.log" || fail "the compile did not end"
    exit_app
    [ -s "$work/javac.log" ] || fail "the compiler did not run"
    [ "$(sha256sum < "$work/src/Bad.java")" = "$before" ] || fail "the source file changed"
    ! ls -A "$work/src" | grep -q '^bpd\|bprecover' || fail "a temporary file was left: $(ls -A "$work/src")"
    ;;
compile_enter_held)
    # The compiler waits until the file "go" appears, so that the held Enter
    # repeats while the compile runs.
    use_wrapped_javac "$work/go"
    printf 'public class Bad {\n    int x = ;\n}\n' > "$work/src/Bad.java"
    before="$(sha256sum < "$work/src/Bad.java")"
    start "$work/src/Bad.java"
    # Alt+R opens the Run menu on its first item, Compile Document; the Enter
    # that runs it stays down.
    xdotool key alt+r
    settle
    xdotool keydown Return
    wait_for 300 test -s "$work/javac.started" || fail "the compiler did not start"
    # Long enough for the key to repeat (the server's delay is under a second).
    sleep 1.5
    touch "$work/go"
    wait_for 600 grep -q "^ran$" "$work/javac.log" || fail "the compile did not end"
    # The program takes the compile's end (the error line selected, the text
    # writable again) while Enter still repeats.
    sleep 1
    xdotool keyup Return
    settle
    xdotool key ctrl+s
    settle
    [ "$(sha256sum < "$work/src/Bad.java")" = "$before" ] ||
        fail "the held Enter changed the text: $(od -c "$work/src/Bad.java" | head)"
    exit_app
    ;;
escape_save)
    start
    # File > New > Java Document (below Project and a separator).
    xdotool key alt+f
    settle
    xdotool key n
    settle
    xdotool key Down Return
    settle
    xdotool type --delay 20 "class Kept {}"
    xdotool key alt+f
    settle
    xdotool key x
    # The question is a second window of the program.
    question() { xdotool search --onlyvisible --pid "$app_pid" --name "Brewpad" | grep -v "^$wid$"; }
    wait_for 100 question || fail "no save question at exit"
    ask="$(question | head -n 1)"
    xdotool windowfocus --sync "$ask"
    settle
    xdotool key Escape
    wait_for 100 bash -c "! xdotool search --onlyvisible --pid $app_pid --name Brewpad | grep -qv '^$wid\$'" ||
        fail "the save question stayed open after Escape"
    kill -0 "$app_pid" 2>/dev/null || fail "Escape on the save question ended the program"
    # The text is still there: Save As writes it.
    xdotool windowfocus --sync "$wid"
    settle
    xdotool key ctrl+s
    wait_for 100 bash -c "xdotool search --onlyvisible --pid $app_pid --name . | grep -qv '^$wid\$'" ||
        fail "no save dialog"
    dlg="$(xdotool search --onlyvisible --pid "$app_pid" --name . | grep -v "^$wid$" | head -n 1)"
    xdotool windowfocus --sync "$dlg"
    settle
    xdotool type --delay 20 "$work/src/Kept.java"
    xdotool key Return
    wait_for 100 grep -q "^class Kept {}$" "$work/src/Kept.java" || fail "the typed text was lost"
    # The saved document joined the new project: No to saving that ends the program.
    xdotool windowfocus --sync "$wid"
    settle
    xdotool key alt+f
    settle
    xdotool key x
    wait_for 100 question || fail "no project question at exit"
    xdotool windowfocus --sync "$(question | head -n 1)"
    settle
    xdotool key n
    wait_for 300 bash -c "! kill -0 $app_pid" || fail "No on the project question did not end the program"
    status=0
    wait "$app_pid" || status=$?
    app_pid=""
    [ "$status" -eq 0 ] || fail "exit status $status"
    ;;
manager_remove)
    printf 'class A {}\n' > "$work/src/A.java"
    printf 'Tarvik'"'"'s Brewpad 2.09\r\n2\r\nProject\r\n  Demo\r\n\r\nFiles\r\n%s\r\n' \
        "$work/src/A.java" > "$work/Demo.jpr"
    start "$work/Demo.jpr"
    # Questions and dialogs are further windows of the program.
    other() { xdotool search --onlyvisible --pid "$app_pid" --name . | grep -v "^$wid$"; }
    # File > Open Document: the document opens in an editor; the text typed
    # there stays unsaved.
    xdotool key alt+f
    settle
    xdotool key o
    wait_for 100 other || fail "no open dialog"
    xdotool windowfocus --sync "$(other | head -n 1)"
    settle
    xdotool type --delay 20 "$work/src/A.java"
    xdotool key Return
    wait_for 100 bash -c "! xdotool search --onlyvisible --pid $app_pid --name . | grep -qv '^$wid\$'" ||
        fail "the open dialog stayed"
    xdotool windowfocus --sync "$wid"
    settle
    xdotool type --delay 20 "edited "
    # Project > Project Manager twice: closed, then shown again as the
    # active child, its list of the project's documents taking the keys.
    for _ in 1 2; do
        xdotool key alt+p
        settle
        xdotool key p
        settle
    done
    xdotool key Home
    xdotool key Delete
    wait_for 100 other || fail "Delete in the project manager asked nothing"
    [ "$(cat "$work/src/A.java")" = "class A {}" ] || fail "the document changed before the question"
    xdotool windowfocus --sync "$(other | head -n 1)"
    settle
    xdotool key y
    wait_for 100 grep -q "^edited class A {}$" "$work/src/A.java" ||
        fail "Yes did not save the text: $(cat "$work/src/A.java")"
    # The project lost its document: Yes to saving it at exit writes it without.
    xdotool windowfocus --sync "$wid"
    settle
    xdotool key alt+f
    settle
    xdotool key x
    wait_for 100 other || fail "no project question at exit"
    xdotool windowfocus --sync "$(other | head -n 1)"
    settle
    xdotool key y
    wait_for 300 bash -c "! kill -0 $app_pid" || fail "Brewpad did not end"
    status=0
    wait "$app_pid" || status=$?
    app_pid=""
    [ "$status" -eq 0 ] || fail "exit status $status"
    ! grep -q "A.java" "$work/Demo.jpr" || fail "the document is still in the project file"
    ;;
first_start)
    [ ! -e brewpad.ini ] && [ -z "$(ls -A "$XDG_CONFIG_HOME")" ] || fail "not a first start"
    command -v javac >/dev/null || fail "no javac on PATH"
    mkdir -p "$work/bin"
    {
        printf '#!/bin/sh\nprintf "%%s\\n" "$@" > "%s"\n' "$work/terminal.args"
        printf 'shift\n"$@" < /dev/null > "%s" 2>&1\n' "$work/terminal.out"
    } > "$work/bin/x-terminal-emulator"
    chmod +x "$work/bin/x-terminal-emulator"
    export PATH="$work/bin:$PATH"
    # The JDK is to be found on PATH, not through JAVA_HOME.
    unset JAVA_HOME
    printf 'public class Hello {\n    public static void main(String[] args) {\n        System.out.println("Hello from " + args[0]);\n    }\n}\n' \
        > "$work/src/Hello.java"
    start "$work/src/Hello.java"
    # Run > Compile Document, with the compiler found on PATH.
    xdotool key alt+r
    settle
    xdotool key d
    wait_for 600 test -s "$work/src/Hello.class" || fail "the compile made no class file"
    # Run > Run Java: the command line names the class path, class and argument.
    xdotool windowfocus --sync "$wid"
    settle
    xdotool key alt+r
    settle
    xdotool key r
    dlg="$(timeout 30 xdotool search --sync --onlyvisible --name '^Run Java$' | head -n 1)"
    [ -n "$dlg" ] || fail "no Run Java dialog"
    xdotool windowfocus --sync "$dlg"
    settle
    xdotool type --delay 20 -- "-cp $work/src Hello Brewpad"
    xdotool key Return
    wait_for 300 grep -q "^Hello from Brewpad$" "$work/terminal.out" ||
        fail "the class did not run: $(cat "$work/terminal.args" "$work/terminal.out" 2>&1)"
    # The terminal ran our keeper with the interpreter beside the compiler
    # found on PATH, each word an argument of its own.
    java="$(dirname "$(readlink -f "$(command -v javac)")")/java"
    expected="$(printf '%s\n' -e "$(dirname "$app")/brewpad-console" "$java" -cp "$work/src" Hello Brewpad)"
    [ "$(cat "$work/terminal.args")" = "$expected" ] ||
        fail "the terminal was asked to run: $(cat "$work/terminal.args")"
    grep -q "exit status 0" "$work/terminal.out" || fail "the keeper did not report the exit status"
    exit_app
    grep -q "JavaCompiler" "$XDG_CONFIG_HOME/Tarviksoft/Brewpad.conf" || fail "the compiler found was not stored"
    ;;
*)
    fail "unknown scenario"
    ;;
esac
echo "PASS ($scenario)"
