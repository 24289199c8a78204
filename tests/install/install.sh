#!/usr/bin/env bash
# Installs a built Brewpad into a temporary prefix, as `cmake --install` does
# for a user, and checks what a desktop then finds there; or builds the
# Debian package and checks it.
# Usage: install.sh SCENARIO BUILD-DIR
#   layout        the program, its terminal keeper where the program looks for
#                 it, the desktop entry, the MIME type and every icon size
#   desktop_entry the entry passes desktop-file-validate; its program and icon
#                 are installed; it opens the project type and Java, HTML, text
#   mime_type     the MIME XML is well-formed; update-mime-database gives *.jpr
#                 to the project type ahead of any type the system has for it
#   deb           cpack -G DEB builds a package with the files, the control
#                 fields and dependencies, and no maintainer scripts
#   window_icon   the installed program starts on a real X server (Xvfb) and
#                 its window carries the icon in each size
# Exits 77 (skipped) when a tool the scenario needs is not installed
# (scripts/deps.sh installs them all).
set -euo pipefail
scenario="$1"
build="$(realpath "$2")"
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
need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP ($scenario): $tool not installed"; exit 77; }
    done
}

icon_sizes=(16 32 48 64 128 256)
prefix="$work/prefix"
install_prefix() {
    cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 \
        || { cat "$work/install.log"; fail "cmake --install failed"; }
}

# The width and height a PNG's header gives, as "WxH".
png_size() {
    local bytes
    read -r -a bytes <<<"$(od -An -tu1 -j16 -N8 "$1")"
    echo "$(( (bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3] ))x$((
        (bytes[4] << 24) | (bytes[5] << 16) | (bytes[6] << 8) | bytes[7] ))"
}

# The value of KEY in the desktop entry's main group.
entry_value() {
    sed -n "s/^$1=//p" "$prefix/share/applications/brewpad.desktop"
}

case "$scenario" in
layout)
    install_prefix
    [ -x "$prefix/bin/brewpad" ] || fail "bin/brewpad missing or not executable"
    # ConsoleKeeperPath looks beside the program, then in ../libexec/brewpad.
    [ -x "$prefix/bin/../libexec/brewpad/brewpad-console" ] \
        || fail "the terminal keeper is not at libexec/brewpad/brewpad-console"
    [ -f "$prefix/share/applications/brewpad.desktop" ] || fail "no desktop entry"
    [ -f "$prefix/share/mime/packages/brewpad.xml" ] || fail "no MIME type"
    [ -f "$prefix/share/icons/hicolor/scalable/apps/brewpad.svg" ] || fail "no scalable icon"
    for size in "${icon_sizes[@]}"; do
        png="$prefix/share/icons/hicolor/${size}x${size}/apps/brewpad.png"
        [ -f "$png" ] || fail "no ${size}x${size} icon"
        [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] \
            || fail "${size}x${size} icon is not a PNG"
        [ "$(png_size "$png")" = "${size}x${size}" ] \
            || fail "${size}x${size} icon is $(png_size "$png")"
    done
    ;;
desktop_entry)
    need desktop-file-validate
    install_prefix
    entry="$prefix/share/applications/brewpad.desktop"
    # Errors make the validator fail; a warning is a fault here too. Hints
    # (suggestions of further categories) are not.
    desktop-file-validate "$entry" >"$work/validate.log" 2>&1 \
        || { cat "$work/validate.log"; fail "desktop-file-validate failed"; }
    if grep -q "warning:" "$work/validate.log"; then
        cat "$work/validate.log"; fail "desktop-file-validate warned"
    fi
    exec_line="$(entry_value Exec)"
    [ -x "$prefix/bin/${exec_line%% *}" ] || fail "Exec names '${exec_line%% *}', not an installed program"
    [[ "$exec_line" == *" %F" ]] || fail "Exec does not take the files to open (%F): $exec_line"
    icon="$(entry_value Icon)"
    for size in "${icon_sizes[@]}"; do
        [ -f "$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png" ] \
            || fail "Icon '$icon' has no ${size}x${size} file"
    done
    [ "$(entry_value Terminal)" = false ] || fail "Terminal is not false"
    IFS=';' read -r -a types <<<"$(entry_value MimeType)"
    for wanted in text/x-java text/html text/plain application/x-brewpad-project; do
        printf '%s\n' "${types[@]}" | grep -qxF "$wanted" || fail "MimeType lacks $wanted"
    done
    ;;
mime_type)
    need xmllint update-mime-database
    install_prefix
    xml="$prefix/share/mime/packages/brewpad.xml"
    # shared-mime-info ships no schema for these files; the database's own
    # compiler below reads and checks what it understands.
    xmllint --noout "$xml" || fail "brewpad.xml is not well-formed"
    [ "$(xmllint --xpath "string(//*[local-name()='mime-type']/@type)" "$xml")" \
        = application/x-brewpad-project ] || fail "the MIME type is not application/x-brewpad-project"
    # (It would note that the prefix is not among the data folders.)
    XDG_DATA_DIRS="$prefix/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}" \
        update-mime-database "$prefix/share/mime" >"$work/update.log" 2>&1 \
        || { cat "$work/update.log"; fail "update-mime-database failed"; }
    if [ -s "$work/update.log" ]; then
        cat "$work/update.log"; fail "update-mime-database complained"
    fi
    ours="$(grep -E '^[0-9]+:application/x-brewpad-project:\*\.jpr$' "$prefix/share/mime/globs2")" \
        || fail "the compiled database has no *.jpr glob for the project type"
    # Another type in the system's database may claim *.jpr too: a file
    # manager picks the higher weight, which must be ours.
    for globs in /usr/share/mime/globs2 /usr/local/share/mime/globs2; do
        [ -f "$globs" ] || continue
        while IFS=: read -r weight type _; do
            [ "$type" = application/x-brewpad-project ] && continue
            [ "${ours%%:*}" -gt "$weight" ] \
                || fail "$type claims *.jpr with weight $weight, not below ours (${ours%%:*})"
        done < <(grep -E '^[0-9]+:[^:]+:\*\.jpr$' "$globs")
    done
    comment="$(xmllint --xpath "string(//*[local-name()='comment'][not(@*)])" \
        "$prefix/share/mime/application/x-brewpad-project.xml")"
    [ "$comment" = "Brewpad project" ] || fail "the type's comment is '$comment'"
    ;;
deb)
    need cpack dpkg-deb dpkg-shlibdeps
    (cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" \
        >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
    debs=("$work"/out/brewpad_*.deb)
    [ -f "${debs[0]}" ] || fail "cpack made no brewpad_*.deb"
    deb="${debs[0]}"
    field() { dpkg-deb -f "$deb" "$1"; }
    [ "$(field Package)" = brewpad ] || fail "Package is '$(field Package)'"
    [ "$(field Section)" = editors ] || fail "Section is '$(field Section)'"
    [ -n "$(field Maintainer)" ] || fail "no Maintainer"
    [ -n "$(field Description)" ] || fail "no Description"
    # The libraries the program links, as Debian names their packages.
    depends="$(field Depends)"
    for pkg in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqscintilla2-qt6-15; do
        [[ ", $depends," == *", $pkg "* || ", $depends," == *", $pkg,"* ]] \
            || fail "Depends lacks $pkg: $depends"
    done
    # A JDK makes compiling and running possible, but the editor works without.
    [[ "$depends" != *jdk* ]] || fail "Depends requires a JDK: $depends"
    [[ "$(field Recommends)" == *"default-jdk | openjdk-17-jdk-headless"* ]] \
        || fail "Recommends is '$(field Recommends)'"
    dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/contents"
    for path in ./usr/bin/brewpad ./usr/libexec/brewpad/brewpad-console \
        ./usr/share/applications/brewpad.desktop ./usr/share/mime/packages/brewpad.xml \
        ./usr/share/icons/hicolor/scalable/apps/brewpad.svg; do
        grep -qxF "$path" "$work/contents" || fail "the package lacks $path"
    done
    for size in "${icon_sizes[@]}"; do
        grep -qxF "./usr/share/icons/hicolor/${size}x${size}/apps/brewpad.png" "$work/contents" \
            || fail "the package lacks the ${size}x${size} icon"
    done
    # The menu, icon and MIME caches are updated by the file triggers of the
    # packages that own them, not by scripts of ours.
    mkdir "$work/control"
    dpkg-deb -e "$deb" "$work/control"
    for script in preinst postinst prerm postrm; do
        [ ! -e "$work/control/$script" ] || fail "the package has a $script script"
    done
    ;;
window_icon)
    need Xvfb xdotool xprop
    install_prefix
    # Xvfb takes a free display number itself and writes it to the pipe once
    # it accepts clients, so no other X server on the machine gets in the way.
    mkfifo "$work/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    x_pid=$!
    read -r display_number <"$work/display" || true
    [ -n "$display_number" ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
    export DISPLAY=":$display_number"
    export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$work/cwd"
    cd "$work/cwd"
    unset QT_QPA_PLATFORM
    "$prefix/bin/brewpad" &
    app_pid=$!
    wid="$(timeout 30 xdotool search --sync --onlyvisible --name "Tarvik's Brewpad" | head -n 1)"
    [ -n "$wid" ] || fail "no Brewpad window appeared"
    # Qt hands X the icon's sizes up to 128 pixels.
    xprop -id "$wid" _NET_WM_ICON >"$work/icon" || fail "xprop failed"
    for size in 16 32 48 64 128; do
        grep -qF "Icon (${size} x ${size})" "$work/icon" || fail "the window has no ${size}x${size} icon"
    done
    ;;
*)
    fail "unknown scenario"
    ;;
esac
echo "PASS ($scenario)"
